#pragma once
// Small text tests of the lexer: keywords compare with ASCII letters in any
// case; blank means spaces, tabs, line feeds and carriage returns only.

#include "protocol/xml/XMLChars.h"

#include <QStringView>

namespace lexchars {

inline bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }
inline char16_t FoldAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }

inline bool SameText(QStringView a, QStringView b)
{
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i].unicode()) != FoldAscii(b[i].unicode())) return false;
    return true;
}

inline bool IsAllBlank(const char16_t* p, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (!IsBlank(p[i])) return false;
    return true;
}
inline bool IsAllBlank(QStringView s)
{
    return IsAllBlank(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size()));
}

} // namespace lexchars
