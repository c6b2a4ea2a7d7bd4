#pragma once
// Line breaks of multi-line cells: CR is "\r" and LF "\n".

#include <QString>

// Every LF becomes CR LF (an existing CR LF becomes CR CR LF).
void LFToCRLF(QString& text);
// Every "~" becomes CR LF.
void TildeToCRLF(QString& text);
// Every CR followed by LF loses the CR, then the text is put in double
// quotes.
void QuoteMultiline(QString& text);
// Every backslash + "n" becomes one CR.
void ExpandNewlineEscapes(const QString& text, QString& result);
// line: the text before the first CR (all of it when there is none); the
// text loses that line, the CR and one LF right after it. Without multiLine
// the text is emptied.
void CutFirstLine(QString& text, bool multiLine, QString& line);
// 1 + the number of CRs with multiLine, else 1.
int CountLines(const QString& text, bool multiLine);
