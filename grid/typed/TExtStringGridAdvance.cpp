// Advancing to the next cell after Enter or a finished edit.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"

namespace {

// The walk from a cell to the next: the data area, the cell stepped from
// (with its horizontal span) and whether the grid has grown on the way.
struct TAdvanceWalk {
    TExtStringGrid& grid;
    int firstCol;
    int firstRow;
    int c;
    int r;
    int lastCol = 0;
    int lastRow = 0;
    int sx = 0;
    bool grown = false; // one row or column at most
};

// With AdvanceInsert (and OnCanAddRow allowing it) a row is appended.
bool AppendRow(TAdvanceWalk& w)
{
    TExtStringGrid& g = w.grid;
    bool canAdd = g.Navigation().AdvanceInsert && !w.grown;
    if (canAdd && g.OnCanAddRow) g.OnCanAddRow(&g, canAdd);
    if (!canAdd) return false;
    g.AddRow();
    w.grown = true;
    if (g.OnAutoAddRow) g.OnAutoAddRow(&g, g.RowCount() - 1);
    return true;
}

// With AdvanceInsert a column is appended.
bool AppendColumn(TAdvanceWalk& w)
{
    TExtStringGrid& g = w.grid;
    if (!g.Navigation().AdvanceInsert || w.grown) return false;
    g.SetColCount(g.ColCount() + 1);
    w.grown = true;
    if (g.OnAutoInsertCol) g.OnAutoInsertCol(&g, g.ColCount() - 1);
    return true;
}

// Back one cell on the inner axis; from its first cell to its last and one
// back on the outer axis (from the first to the last).
void StepBack(int& inner, int firstInner, int lastInner, int& outer, int firstOuter, int lastOuter)
{
    if (inner > firstInner) {
        --inner;
        return;
    }
    inner = lastInner;
    outer = outer > firstOuter ? outer - 1 : lastOuter;
}

void BackAlongRows(TAdvanceWalk& w) { StepBack(w.c, w.firstCol, w.lastCol, w.r, w.firstRow, w.lastRow); }
void BackDownColumns(TAdvanceWalk& w) { StepBack(w.r, w.firstRow, w.lastRow, w.c, w.firstCol, w.lastCol); }

// Merged areas are stepped over; past the last column the next row, past
// the last row a new one or the first.
void ForwardAlongRows(TAdvanceWalk& w)
{
    // The current cell may lie past the data area: compare with >=.
    if (w.c + w.sx < w.lastCol) {
        w.c += 1 + w.sx;
        return;
    }
    w.c = w.firstCol;
    if (w.r < w.lastRow || AppendRow(w))
        ++w.r;
    else
        w.r = w.firstRow;
}

// Past the last row the next column (wrapping to the first), past the last
// column a new one or the first.
void ForwardDownColumns(TAdvanceWalk& w)
{
    if (w.r < w.lastRow) {
        ++w.r;
        return;
    }
    w.r = w.firstRow;
    if (w.c < w.lastCol) {
        w.c += 1 + w.sx;
        if (w.c >= w.grid.ColCount()) w.c = w.firstCol;
    } else if (AppendColumn(w)) {
        w.c += 1 + w.sx;
    } else {
        w.c = w.firstCol;
    }
    w.grid.InvalidateGrid();
}

using AdvanceStep = void (*)(TAdvanceWalk& walk);
// By direction (adLeftRight, adTopBottom), then backward and forward.
constexpr AdvanceStep kAdvanceSteps[2][2] = {{BackAlongRows, ForwardAlongRows}, {BackDownColumns, ForwardDownColumns}};

} // namespace

void TExtStringGrid::AdvanceToNextCell(int col, int row, bool force, bool showEditor, bool forward)
{
    TNavigation& nav = d->navigation;
    if (!nav.AdvanceOnEnter && !force) return;
    if (d->mouseActions.RangeSelectAndEdit && !Options().Contains(TGridOption::goEditing))
        SetOptions(Options() + TGridOption::goEditing);

    TAdvanceWalk w{*this, FixedCols(), FixedRows(), col, row};
    // One pass over the data area at most, and one row or column added.
    const long long cells = (long long)std::max(ColCount(), 1) * std::max(RowCount(), 1);
    for (long long step = 0; step <= cells; ++step) {
        w.lastCol = ColCount() - 1 - d->fixedRightCols;
        w.lastRow = RowCount() - 1 - d->fixedFooters;
        w.sx = std::max(GetCellSpan(DisplayToRealCol(w.c), w.r).X, 0);
        kAdvanceSteps[nav.AdvanceDirection == adLeftRight ? 0 : 1][forward ? 1 : 0](w);
        const int rc = RealColIndex(w.c);
        if (rc < 0 || w.c < w.firstCol || w.r < w.firstRow || !IsEditableCell(rc, w.r)) continue;

        bool allow = true;
        if (OnCellChanging) OnCellChanging(this, row, col, w.r, w.c, allow);
        if (allow) {
            // The changing event ran here: the move does not raise it again.
            d->edit.advancing = true;
            FocusCell(w.c, w.r);
            d->edit.advancing = false;
        } else {
            SelectCell(col, row);
        }
        if (showEditor || IsCheckOrRadioCell(rc, w.r)) ShowEditor();
        return;
    }
}
