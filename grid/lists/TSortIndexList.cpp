#include "grid/lists/TSortIndexList.h"

void TSortIndexList::AddIndex(int column, bool ascending)
{
    Add(ascending ? column : int(unsigned(column) | DescendingBit));
}

int TSortIndexList::FindIndex(int column) const
{
    for (int i = 0; i < Count(); ++i) {
        if (ColumnOf(Item(i)) == column) return i;
    }
    return -1;
}

void TSortIndexList::ToggleIndex(int column)
{
    const int i = FindIndex(column);
    if (i >= 0) SetItem(i, int(unsigned(Item(i)) ^ DescendingBit));
}
