#pragma once
// Small text operations shared by the service documents, the connections, the
// shell and the report: a Horspool search and a replace-all built on it, XML
// escaping, "Y"/"N" flags, money text clean-up, the listing-type abbreviation,
// and locale-independent number texts for the wire.

#include "platform/core/Exception.h"

#include <QString>
#include <array>
#include <cstdint>

// Raised by the shift-table builders.
class EBMError : public Exception {
public:
    using Exception::Exception;
};

// One shift per byte value.
using TBMTable = std::array<std::uint32_t, 256>;

// Case-sensitive shift table of a pattern; a length below 1 raises EBMError
// "Buffer length is 0".
void MakeBMTable(const char* pattern, qsizetype length, TBMTable& table);
// The same with every pattern byte taken in upper case (Windows-1252).
void MakeBMTableNoCase(const char* pattern, qsizetype length, TBMTable& table);

// Start of the first occurrence of the pattern in the text, -1 when none.
// The table must have been built for the pattern by the matching builder.
qsizetype BMPos(const char* pattern, const char* text, qsizetype patternLength,
                const TBMTable& table, qsizetype textLength);
qsizetype BMPosNoCase(const char* pattern, const char* text, qsizetype patternLength,
                      const TBMTable& table, qsizetype textLength);

// Every non-overlapping occurrence of find replaced, left to right. An empty
// source, an empty find or a find longer than the source gives the source.
QString FastReplace(const QString& source, const QString& find, const QString& replace,
                    bool caseSensitive = true);

// "&", the double quote, "'", "<" and ">" as entity references, in that order.
QString XmlEscape(const QString& text);

QString BoolToYN(bool value);
// True exactly for the text "Y".
bool YNToBool(const QString& text);

// The text (at most 255 characters) with every "$" and "," removed.
QString MoneyToInt(const QString& text);

// "F" gives "Full", "P" gives "Partial", anything else comes back unchanged.
QString ExpandListingAbbrev(const QString& text);

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
