#pragma once
// Numbers of the wire: reading a number text strictly, and writing numbers
// independent of the regional settings.

#include <QString>

// The text's value when the whole text is a number in the form
// [sign] digits [. digits] [e|E [sign] digits] ("." only, no blanks, no hex,
// no "inf" or "nan"); otherwise the default.
double StrToFloatDefault(const QString& text, double defaultValue);

// Numbers written into requests never depend on the regional settings.
// Shortest general form with up to 15 significant digits ("34.0522", "0.5",
// "1E-6"), "." as the decimal point.
QString WireFloatToStr(double value);
// The mask "##0.0": one decimal, at least one integer digit, halves rounded
// away from zero ("2.0", "0.5", "0.3" for 0.25).
QString WireFormatOneDecimal(double value);
