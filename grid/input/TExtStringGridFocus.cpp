// The focus: coming to the grid it closes a control still open over a cell
// (its own close comes later, once its focus-out is handled) and opens the
// editor with AlwaysEdit, and a grid that is all fixed row (column) shows no
// selection; leaving it, a pressed embedded button comes up.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"

void TExtStringGrid::WMSetFocus(bool fromOwnWindow)
{
    const int rc = RealColIndex(Col());
    const bool checkBox = rc >= 0 && IsCheckBoxCell(rc, Row());
    if (!checkBox && d->edit.SpecialEditorOpen()) CloseEditorControl();
    if (d->navigation.AlwaysEdit && !checkBox) {
        // Coming back from its own editor, or in a row or column move, the
        // grid keeps its editor closed.
        const bool reopen = InplaceEditor() == nullptr || (!fromOwnWindow && MovingCol() < 0 && MovingRow() < 0);
        if (reopen) ShowEditor();
    }
    if ((RowCount() == 1 && d->fixedRowAlways) || (ColCount() == 1 && d->fixedColAlways)) SelectNothing();
}

void TExtStringGrid::WMKillFocus()
{
    if (const std::shared_ptr<TGridGesture> gesture = d->input.gesture) gesture->FocusLost();
}
