// The row and column counts and the fixed counts they drive: with
// FixedRowAlways (FixedColAlways) a grid of two or more rows (columns) keeps
// one fixed row (column), and a grid whose fixed count fell to 0 still
// reads 1.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/TFooterPanel.h"

int TExtStringGrid::FixedRows() const
{
    const int fixed = TBaseGrid::FixedRows();
    return fixed == 0 && d && d->fixedRowAlways ? 1 : fixed;
}

int TExtStringGrid::FixedCols() const
{
    const int fixed = TBaseGrid::FixedCols();
    return fixed == 0 && d && d->fixedColAlways ? 1 : fixed;
}

void TExtStringGrid::SetRowCount(int value)
{
    // A grid that had only its header row gets back the selection it hid.
    if (d->fixedRowAlways && RowCount() <= FixedRows() && d->typed.selectionHidden) RestoreSelection();
    // An edit in progress ends in its own row before that row may go.
    if (value < RowCount()) {
        CloseEditorControl();
        HideEditor();
    }
    TBaseGrid::SetRowCount(value);
    if (value >= 2 && d->fixedRowAlways && TBaseGrid::FixedRows() != 1) TBaseGrid::SetFixedRows(1);
    if (d->footer.panel) d->footer.panel->update();
}

void TExtStringGrid::SetColCount(int value)
{
    TBaseGrid::SetColCount(value);
    if (value >= 2 && d->fixedColAlways && TBaseGrid::FixedCols() != 1) TBaseGrid::SetFixedCols(1);
    if (d->footer.panel) d->footer.panel->update();
    // The stretch column follows the new columns.
    const TColumnSize& cs = d->columnSize;
    if (cs.Stretch && ColCount() > 0 && cs.StretchColumn < ColCount()) StretchColumn(cs.StretchColumn);
}
