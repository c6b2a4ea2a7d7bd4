// Advancing to the next cell after Enter or a finished edit.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"

void TExtStringGrid::AdvanceToNextCell(int col, int row, bool force, bool showEditor, bool forward)
{
    TNavigation& nav = d->navigation;
    if (!nav.AdvanceOnEnter && !force) return;
    if (d->mouseActions.RangeSelectAndEdit && !Options().Contains(TGridOption::goEditing))
        SetOptions(Options() + TGridOption::goEditing);

    const int firstCol = FixedCols();
    const int firstRow = FixedRows();
    // One pass over the data area at most, and one row or column added.
    const long long cells = (long long)std::max(ColCount(), 1) * std::max(RowCount(), 1);
    bool grown = false;
    int c = col;
    int r = row;
    for (long long step = 0; step <= cells; ++step) {
        const int lastCol = ColCount() - 1 - d->fixedRightCols;
        const int lastRow = RowCount() - 1 - d->fixedFooters;
        const TPoint span = GetCellSpan(DisplayToRealCol(c), r);
        const int sx = std::max(span.X, 0);
        if (!forward) {
            if (nav.AdvanceDirection == adLeftRight) {
                if (c > firstCol)
                    --c;
                else if (r > firstRow) {
                    --r;
                    c = lastCol;
                } else {
                    r = lastRow;
                    c = lastCol;
                }
            } else {
                if (r > firstRow)
                    --r;
                else if (c > firstCol) {
                    --c;
                    r = lastRow;
                } else {
                    c = lastCol;
                    r = lastRow;
                }
            }
        } else if (nav.AdvanceDirection == adLeftRight) {
            // The current cell may lie past the data area: compare with >=.
            if (c + sx >= lastCol) {
                if (r >= lastRow) {
                    bool canAdd = nav.AdvanceInsert && !grown;
                    if (canAdd && OnCanAddRow) OnCanAddRow(this, canAdd);
                    if (canAdd) {
                        AddRow();
                        grown = true;
                        ++r;
                        c = firstCol;
                        if (OnAutoAddRow) OnAutoAddRow(this, RowCount() - 1);
                    } else {
                        c = firstCol;
                        r = firstRow;
                    }
                } else {
                    c = firstCol;
                    ++r;
                }
            } else {
                c += 1 + sx;
            }
        } else {
            if (r >= lastRow) {
                if (c >= lastCol) {
                    if (nav.AdvanceInsert && !grown) {
                        SetColCount(ColCount() + 1);
                        grown = true;
                        c += 1 + sx;
                        r = firstRow;
                        if (OnAutoInsertCol) OnAutoInsertCol(this, ColCount() - 1);
                    } else {
                        c = firstCol;
                        r = firstRow;
                    }
                } else {
                    r = firstRow;
                    c += 1 + sx;
                    if (c >= ColCount()) c = firstCol;
                }
                InvalidateGrid();
            } else {
                ++r;
            }
        }
        const int rc = RealColIndex(c);
        if (rc < 0 || c < firstCol || r < firstRow || !IsEditableCell(rc, r)) continue;

        bool allow = true;
        if (OnCellChanging) OnCellChanging(this, row, col, r, c, allow);
        if (allow) {
            // The changing event ran here: the move does not raise it again.
            d->edit.advancing = true;
            FocusCell(c, r);
            d->edit.advancing = false;
        } else {
            SelectCell(col, row);
        }
        if (showEditor || IsCheckOrRadioCell(rc, r)) ShowEditor();
        return;
    }
}
