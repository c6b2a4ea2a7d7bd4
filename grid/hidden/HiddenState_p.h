#pragma once
// State of hidden rows and columns, nodes and filtering.

#include "grid/hidden/TColumnMap.h"
#include "grid/hidden/THiddenRows.h"
#include "grid/filter/TConditionMatcher.h"

#include <vector>

struct TGridHiddenState {
    TColumnMap columns;
    THiddenRows rows;
    // Node rows, counted again when the cell objects changed since the
    // count was taken (nodeStamp) or a graphic may have changed its kind.
    int nodeCount = 0;
    quint64 nodeStamp = 0;
    bool nodeCountValid = false;
    bool filterActive = false;
    // FixedRows when the filter was switched on, and whether an empty row
    // stands in for a filter that no row passed.
    int filterFixedRows = 0;
    bool filterRowAdded = false;
    // The filter's conditions compiled for the run in progress.
    std::vector<TConditionMatcher> matchers;
    // Set while rows move in and out of the hidden store (no index shifting).
    bool movingRows = false;
};
