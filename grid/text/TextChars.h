#pragma once
// Characters of the grid's texts: searches, fills, the OEM code page and
// proper case of names. Positions are 1-based, 0 meaning "not found".

#include <QString>

// Position of c in text (0 when absent).
int CharPos(QChar c, const QString& text);
// The same; it is also stored in pos when found (untouched when absent).
int CharPosOut(QChar c, const QString& text, int& pos);
// Position of pattern in text (0 when absent, an empty pattern included);
// also stored in pos.
int VarPos(const QString& pattern, const QString& text, int& pos);
// The first character of text that is one of set; the null character when
// none is.
QChar FirstCharOfSet(QStringView set, const QString& text);
// Position of pattern in text with the text's letters a..z upper-cased; the
// pattern is taken as it is.
int UpperPos(const QString& pattern, const QString& text);
// Every character replaced by c, the length kept.
void FillChars(QString& text, QChar c);
// Characters 0x80..0xFF read as bytes of the OEM code page (437) become the
// characters they stand for.
void OemToAnsiString(QString& text);

// How often c occurs in text.
int CountChar(QChar c, const QString& text);

// Names in proper case: "MCDONALD" is "McDonald", "JOHN SMITH III" is
// "John Smith III", "o'neil-smith" is "O'Neil-Smith".
void ProperCase(const QString& text, QString& result);
