#pragma once
// State of typed access, graphics, headers and selection lists.

#include "platform/grids/GridTypes.h"

#include <QStringList>
#include <vector>

struct TGridTypedState {
    std::vector<char> rowMarks; // disjunct row selection, grown on demand
    std::vector<char> colMarks;
    QStringList columnHeaders;
    QStringList rowHeaders;
    TGridRect hiddenSelection;
    bool selectionHidden = false;
    // The data area spans every cell, fixed ones included.
    bool dataAreaAllCells = true;
};
