#pragma once
// The sort columns in order of precedence: each entry is a column number in
// bits 0..30, bit 31 set for a descending sort.

#include "grid/lists/TIntList.h"

class TSortIndexList : public TIntList {
public:
    using TIntList::TIntList;

    static constexpr unsigned DescendingBit = 0x80000000u;
    static int ColumnOf(int entry) { return int(unsigned(entry) & ~DescendingBit); }
    static bool IsAscending(int entry) { return (unsigned(entry) & DescendingBit) == 0; }

    void AddIndex(int column, bool ascending);
    // Position of the first entry for the column, -1 when there is none.
    int FindIndex(int column) const;
    // Flips the direction of the column's first entry (through SetItem).
    void ToggleIndex(int column);
};
