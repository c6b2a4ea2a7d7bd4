#pragma once
// Floating-point numbers as the class library writes, reads and rounds them.
// The decimal and thousand separators come from the regional settings
// (RegionalSettings.h) at every call.
//
// Decimal digits: a value is first taken to 18 significant digits (the
// precision of the class library's extended type), then rounded to what is
// shown, half away from zero: FormatFloat("0", 2.5) is "3", "##0.0" of 2.35
// is "2.4". Round() is different: it rounds halves to even.
//
// FormatFloat(format, value), masks:
//   0  a digit, or 0          #  a digit, or nothing (no leading or trailing zeros)
//   .  decimal point: the first one places it; the separator is written only
//      when a digit follows it ("#.##" of 1 is "1", "#.00" of 0.25 is ".25")
//   ,  anywhere: thousand separators every three integer digits
//   E+ E- e+ e-  scientific form; the 0s after it give the exponent's least
//      digits; "+" writes the sign always, "-" only for negative exponents
//   'text' "text"  written as is; any other character is written as is
//   ;  separates sections: positive;negative;zero. Without (or with an empty)
//      negative section, the first section is used with "-" written first;
//      without a zero section, the first. A value that rounds to zero in its
//      section takes the zero section and no sign.
//   Integer digits beyond the placeholders are all written at the first one
//   ("0" of 1234 is "1234"); "#" of 0 writes nothing. An empty format is
//   FloatToStr; NaN and infinities are "NAN", "INF", "-INF"; values of 1E18
//   and above, which the masks cannot hold, are written by FloatToStr.
//
// FloatToStr(value): the general form with 15 significant digits: fixed
// notation while the value has at most 15 integer digits and is at least
// 0.0001 (its first digit no further than the fourth decimal), else
// scientific with the shortest exponent and no "+": "0.3" for 0.1 + 0.2,
// "1E20", "1.5E-5", "1.23456789012346E17".
//
// FloatToStrF(value, format, precision, digits): precision significant digits
// (1..18), digits decimals (0..18) for ffFixed and ffNumber (ffNumber adds
// thousand separators), exponent digits (0..4) for ffGeneral and ffExponent
// (ffExponent always writes "E+"/"E-"). ffFixed and ffNumber values with more
// integer digits than precision are written in the general form.
//
// StrToFloat(text): optional blanks, optional sign, digits with at most one
// regional decimal separator (at least one digit), optional exponent ("E" or
// "e", optional sign, digits), optional blanks. No thousand separators, no
// other decimal point. Raises EConvertError "'%s' is not a valid floating
// point value"; a value beyond the range of a double is not valid, one too
// small for it is 0.

#include "platform/core/Exception.h"

#include <QString>

// The class library's error for a floating-point value that cannot be made
// into an integer (NaN, infinite, beyond 64 bits).
class EInvalidOp : public Exception {
public:
    EInvalidOp() : Exception(QStringLiteral("Invalid floating point operation")) { }
    using Exception::Exception;
};

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber };

QString FormatFloat(const QString& format, double value);
QString FloatToStr(double value);
QString FloatToStrF(double value, TFloatFormat format, int precision, int digits);

double StrToFloat(const QString& text);
bool TryStrToFloat(const QString& text, double& value);
double StrToFloatDef(const QString& text, double defaultValue);

// Nearest integer, halves to even (Round(2.5) = 2, Round(3.5) = 4,
// Round(-2.5) = -2); Trunc drops the fraction. Both raise EInvalidOp for NaN,
// infinities and values outside 64-bit integers.
qint64 Round(double value);
qint64 Trunc(double value);
