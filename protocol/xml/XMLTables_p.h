#pragma once
// Generated data of the encodings and character classes (XMLTables.cpp).

#include <cstdint>

namespace xmltables {

struct TByteOfChar {
    char16_t character;
    uint8_t byte;
};
struct TReverseTable {
    const TByteOfChar* pairs; // sorted by character
    int count;
};
struct TCharRange {
    char16_t first;
    char16_t last;
};

// Index = encoding value 1 to 11; index 0 holds the US-ASCII table.
extern const char16_t* const kCodePages[12];
extern const TReverseTable kReverse[12];

extern const TCharRange kLetterRanges[];
extern const int kLetterRangesCount;
extern const TCharRange kDigitRanges[];
extern const int kDigitRangesCount;

} // namespace xmltables
