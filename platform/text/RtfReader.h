#pragma once
// A small, bounded reader of rich text (RTF): the text with its paragraphs
// and their alignment, bold, italic, underline, font sizes and colours.
// Windows-1252 byte escapes and Unicode escapes are decoded; destinations
// the text does not need (font and style tables, pictures, objects,
// document information, "\*" groups) are skipped. The input may come from the server: its size, its group depth
// and every numeric parameter are bounded, and a breach raises ERtfError
// rather than using memory or stack beyond them.

#include "platform/core/Exception.h"

#include <QByteArray>
#include <QList>
#include <QString>

class ERtfError : public Exception {
    using Exception::Exception;
};

struct TRtfRun {
    QString Text;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    int HalfPoints = 24; // font size in half points (12 pt)
    int Color = -1;      // 0xRRGGBB, or -1 for the default colour
    bool operator==(const TRtfRun&) const = default;
};

// \ql, \qr, \qc, \qj; \pard goes back to the left.
enum class TRtfAlignment { Left, Right, Center, Justify };

struct TRtfParagraph {
    QList<TRtfRun> Runs;
    // As in effect at the paragraph's \par (the last paragraph: at its last
    // character).
    TRtfAlignment Alignment = TRtfAlignment::Left;
};

struct TRtfDocument {
    QList<TRtfParagraph> Paragraphs;
    // The text with paragraphs ended by CR LF (none after the last).
    QString PlainText() const;
};

class TRtfReader {
public:
    static constexpr qsizetype kMaxInput = 4 * 1024 * 1024;
    static constexpr int kMaxDepth = 100;

    // Raises ERtfError "Not a rich text document" when the data does not
    // start with "{\rtf", and ERtfError for input past the limits.
    static TRtfDocument Read(const QByteArray& data);
};
