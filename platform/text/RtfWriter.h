#pragma once
// Writes a rich-text document (paragraphs of formatted runs) as RTF that the
// reader reads back to the same runs: bold, italic, underline, font size
// and colour per run, paragraphs ended by \par with their alignment,
// characters past ASCII as Unicode escapes.

#include "platform/text/RtfReader.h"

#include <QByteArray>

class TRtfWriter {
public:
    // fontName goes into the font table as font 0.
    static QByteArray Write(const TRtfDocument& document, const QString& fontName = QStringLiteral("Tahoma"));
};
