#pragma once
// A Horspool search over bytes, case-sensitive or not, and a replace-all
// built on it.

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
qsizetype BMPos(const char* pattern, const char* text, qsizetype patternLength, const TBMTable& table,
                qsizetype textLength);
qsizetype BMPosNoCase(const char* pattern, const char* text, qsizetype patternLength, const TBMTable& table,
                      qsizetype textLength);

// Every non-overlapping occurrence of find replaced, left to right. An empty
// source, an empty find or a find longer than the source gives the source.
QString FastReplace(const QString& source, const QString& find, const QString& replace, bool caseSensitive = true);
