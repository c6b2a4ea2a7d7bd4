#pragma once
// A literal of a declaration written back: in double quotes, or in
// apostrophes when the text holds a double quote and no apostrophe, so that
// it reads back as it was.

#include "protocol/xml/TXMLOutput.h"

inline void AppendDTDLiteral(TXMLOutput& out, const QString& text)
{
    const char16_t q = (text.contains(u'"') && !text.contains(u'\'')) ? u'\'' : u'"';
    out.Append(q);
    out.Append(text);
    out.Append(q);
}
