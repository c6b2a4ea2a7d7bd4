#pragma once
// State of typed access, graphics, headers and selection lists.

#include "grid/lists/TIntList.h"
#include "platform/grids/GridTypes.h"

#include <QStringList>
#include <vector>

class TExtStringGrid;

struct TGridTypedState {
    std::vector<char> rowMarks; // disjunct row selection, grown on demand
    std::vector<char> colMarks;
    QStringList columnHeaders;
    QStringList rowHeaders;
    TGridRect hiddenSelection;
    bool selectionHidden = false;
    // The data area spans every cell, fixed ones included.
    bool dataAreaAllCells = true;
    // SetCellDate writes a date of 0 or less.
    bool showZeroDates = true;
    // Its changes reselect the columns (ApplySelectedColumns).
    TIntList selectedColumns;
};

// Every column unselected, then the listed ones selected: the first
// replacing the selection, the others adding to it.
void ApplySelectedColumns(TExtStringGrid& grid, const TIntList& columns);
