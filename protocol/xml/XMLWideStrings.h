#pragma once
// The wide-string routines of the reader and the model. They are exact on
// purpose: no Unicode case folding and no Unicode white space.

#include <QString>
#include <QStringView>
#include <cstdint>

// Characters up to the first zero character (the whole string without one).
qsizetype WideLength(QStringView s);
// 0 when both have the same length and the same characters, else 1.
int WideCompare(QStringView a, QStringView b);
// As WideCompare, but two characters that are both below 256 are compared
// after turning ASCII a-z into A-Z; other characters exactly.
int WideCompareText(QStringView a, QStringView b);
// Removes spaces, tabs, line feeds and carriage returns at both ends.
QString WideTrim(QStringView s);
// Whether s holds nothing but spaces, tabs, line feeds and carriage returns.
bool WideIsBlank(QStringView s);
// The character of a code.
inline QChar WideCharOf(uint16_t code) { return QChar(code); }
// s up to its first zero character.
QString WideCopy(QStringView s);
