#pragma once
// The class library's everyday string and integer helpers, with its results.
// Including this header also gives the float conversions (FloatFormat.h) and
// the date and time functions (DateTime.h); the regional settings they follow
// are in RegionalSettings.h.
//
// Integer texts (StrToInt and kin, as the class library reads them): optional
// leading spaces, an optional sign, then decimal digits, or hexadecimal digits
// after "$", "0x", "0X", "x" or "X"; nothing after the digits (not even a
// blank). A decimal value must fit the type; a hexadecimal one may use all of
// its bits ("$FFFFFFFF" is -1 as a 32-bit integer). StrToInt raises
// EConvertError "'%s' is not a valid integer value".

#include "platform/core/DateTime.h"
#include "platform/core/Exception.h"
#include "platform/core/FloatFormat.h"

#include <QString>
#include <concepts>

// Case changes: UpperCase and LowerCase touch only the letters a..z / A..Z;
// the Ansi forms change every letter.
QString UpperCase(const QString& s);
QString LowerCase(const QString& s);
QString AnsiUpperCase(const QString& s);
QString AnsiLowerCase(const QString& s);

// Removes the characters up to and including the blank (control characters
// and spaces) at both ends, at the start, at the end.
QString Trim(const QString& s);
QString TrimLeft(const QString& s);
QString TrimRight(const QString& s);

// Compares without regard to the case of a..z: negative, zero or positive as
// the first text sorts before, with or after the second (by character code
// after upper-casing a..z; a text sorts before any longer one it starts).
int CompareText(const QString& a, const QString& b);
bool SameText(const QString& a, const QString& b);

// The text in single quotes, its single quotes doubled: O'Neil -> 'O''Neil'.
QString QuotedStr(const QString& s);

enum TReplaceFlag : unsigned { rfReplaceAll = 1u << 0, rfIgnoreCase = 1u << 1 };
using TReplaceFlags = unsigned;
// Replaces the first (or with rfReplaceAll every) occurrence of oldPattern,
// left to right, never inside a replacement; rfIgnoreCase compares every
// letter without regard to case. An empty oldPattern changes nothing.
QString StringReplace(const QString& s, const QString& oldPattern, const QString& newPattern, TReplaceFlags flags);

int StrToInt(const QString& text);
int StrToIntDef(const QString& text, int defaultValue);
bool TryStrToInt(const QString& text, int& value);
qint64 StrToInt64(const QString& text);
qint64 StrToInt64Def(const QString& text, qint64 defaultValue);
bool TryStrToInt64(const QString& text, qint64& value);

template <std::integral T>
QString IntToStr(T value)
{
    return QString::number(value);
}

// The value of a hexadecimal digit (either case); -1 for any other
// character.
int HexDigitValue(char16_t c);

// Upper-case hexadecimal with at least digits digits (zero-padded, never
// cut). A negative value is written in two's complement over 32 bits, or 64
// for a 64-bit type: IntToHex(-1, 2) is "FFFFFFFF" for an int.
QString IntToHex32(quint32 value, int digits);
QString IntToHex64(quint64 value, int digits);
template <std::integral T>
QString IntToHex(T value, int digits)
{
    if constexpr (sizeof(T) <= 4) {
        return IntToHex32(quint32(value), digits);
    } else {
        return IntToHex64(quint64(value), digits);
    }
}
