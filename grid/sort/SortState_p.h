#pragma once
// State of sorting and the row and column maintenance.

#include "grid/lists/TIntList.h"
#include "grid/lists/TSortIndexList.h"

struct TGridSortState {
    // The sort columns of an indexed sort, in priority order.
    TSortIndexList indexes;
    // The columns whose equal cells a header sort merges afterwards.
    TIntList mergeColumns;
};
