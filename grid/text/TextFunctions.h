#pragma once
// Text functions of the grid: character searches, the quote handling of the
// delimited import, line breaks of multi-line cells, proper case, links in
// cells and "R<row>C<col>" cell references. Positions are 1-based, 0 meaning
// "not found"; CR is "\r" and LF "\n".

#include "platform/graphics/Geometry.h"

#include <QString>
#include <cstddef>

// Position of c in text; it is also stored in pos when found (untouched
// when absent).
int CharPosOut(QChar c, const QString& text, int& pos);
// Position of pattern in text with the text's letters a..z upper-cased; the
// pattern is taken as it is.
int UpperPos(const QString& pattern, const QString& text);
// Every character replaced by c, the length kept.
void FillChars(QString& text, QChar c);
// Characters 0x80..0xFF read as bytes of the OEM code page (437) become the
// characters they stand for.
void OemToAnsiString(QString& text);

// Runs of the quote character become one.
void UndoubleChar(QChar quote, const QString& text, QString& result);
// Position of the quote closing a delimited field: the quote in the last
// position, or the last of an odd run of quotes followed by another
// character; 0 when there is none.
int FindSingleChar(QChar quote, const QString& text);
// The same over any run of characters with size() and operator[] (the
// import scans bytes and UTF-16 in place).
template <class Text, class Char>
std::size_t FindSingleIn(const Text& text, Char quote)
{
    std::size_t run = 0;
    const std::size_t n = std::size_t(text.size());
    for (std::size_t i = 1; i <= n; ++i) {
        if (text[i - 1] == quote) {
            if (i == n) return i;
            ++run;
        } else if (run % 2 == 1) {
            return i - 1;
        } else {
            run = 0;
        }
    }
    return 0;
}
int CountSingleChars(QChar quote, const QString& text);
int CountChar(QChar c, const QString& text);

// Every LF becomes CR LF (an existing CR LF becomes CR CR LF).
void LFToCRLF(QString& text);
// Every backslash + "n" becomes one CR.
void ExpandNewlineEscapes(const QString& text, QString& result);
// line: the text before the first CR (all of it when there is none); the
// text loses that line, the CR and one LF right after it. Without multiLine
// the text is emptied.
void CutFirstLine(QString& text, bool multiLine, QString& line);
// 1 + the number of CRs with multiLine, else 1.
int CountLines(const QString& text, bool multiLine);

// Names in proper case: "MCDONALD" is "McDonald", "JOHN SMITH III" is
// "John Smith III", "o'neil-smith" is "O'Neil-Smith".
void ProperCase(const QString& text, QString& result);

bool IsURL(const QString& text);
// Drops everything up to and including the first "://", else the first
// "mailto:".
void StripURLProtocol(QString& text);
// "R<row>C<col>" (any case): X the column, Y the row.
bool ParseRCReference(const QString& text, TPoint& cell);
