#pragma once
// What the grid's text pastes and its text drops share.

#include "grid/TExtStringGrid.h"

// Whether the grid takes pasted text at all: while editing, or where the
// clipboard may always write or a range selection edits.
inline bool TakesTextPaste(TExtStringGrid& grid)
{
    return grid.Options().Contains(TGridOption::goEditing) || grid.Navigation().AllowClipboardAlways ||
        grid.MouseActions().RangeSelectAndEdit;
}
