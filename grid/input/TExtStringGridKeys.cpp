// The keyboard: the grid's own key rules (check boxes by Space, Home and
// End, the TAB walk, clipboard and row keys, Ctrl+A, disjunct marks), then
// the standard key handling; typing into cells and the incremental row
// search.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "platform/core/RegionalSettings.h"
#include "platform/kernel/WindowMessage.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {

bool IsNavigationKey(int key) { return key >= Win::VK_PRIOR && key <= Win::VK_DOWN; }

} // namespace

void TExtStringGrid::KeyDown(int& key, TShiftState shift)
{
    TGridInputState& in = d->input;
    in.keypadDecimal = key == Win::VK_DECIMAL;
    if (in.panning) {
        StopPanning();
        key = 0;
        return;
    }
    const bool ctrl = shift.Contains(TShiftStateItem::ssCtrl);
    const bool shiftDown = shift.Contains(TShiftStateItem::ssShift);
    const bool alt = shift.Contains(TShiftStateItem::ssAlt);
    const int left = LeftCol();
    in.keySelection = Selection();
    const int rc = RealColIndex(Col());
    const int row = Row();

    if (key == Win::VK_SPACE && rc >= 0 && IsCheckCell(rc, row)) {
        bool canEdit = Options().Contains(TGridOption::goEditing) || d->mouseActions.RangeSelectAndEdit;
        CanEditCell(rc, row, canEdit);
        if (canEdit) {
            if (IsCheckBoxCell(rc, row)) {
                ToggleCheckBox(rc, row, true);
                bool state = false;
                GetCheckBoxState(rc, row, state);
                if (OnCheckBoxClick) OnCheckBoxClick(this, rc, row, state);
            }
            if (IsRadioButtonCell(rc, row)) {
                StepRadioButton(rc, row, true);
                int index = -1;
                GetRadioIndex(rc, row, index);
                if (OnRadioClick) OnRadioClick(this, rc, row, index);
            }
            RepaintCell(Col(), row);
        }
    }

    // Enter on a check-box or radio cell advances (AdvanceOnEnter); it ends
    // there when the new row holds one in the same column.
    if (key == Win::VK_RETURN && rc >= 0 && IsCheckOrRadioCell(rc, row)) {
        AdvanceToNextCell(Col(), row, false, false, true);
        if (IsCheckOrRadioCell(rc, Row())) {
            key = 0;
            return;
        }
    }

    const THomeEndAction homeEnd = d->navigation.HomeEndKey;
    const bool rowSelect = Options().Contains(TGridOption::goRowSelect);
    if (key == Win::VK_HOME && homeEnd == heFirstLastRow) {
        SetRow(FixedRows());
        MoveToBaseCell();
        key = 0;
        return;
    }
    if (key == Win::VK_HOME && rowSelect) {
        SetCol(FixedCols());
        MoveToBaseCell();
        SetLeftCol(FixedCols());
        key = 0;
        return;
    }
    if (key == Win::VK_END && homeEnd == heFirstLastRow) {
        SetRow(d->floatingFooter.Visible() && RowCount() > 2 ? RowCount() - 2 : RowCount() - 1);
        MoveToBaseCell();
        key = 0;
        return;
    }
    if (key == Win::VK_END && rowSelect) {
        SetCol(ColCount() - 1);
        MoveToBaseCell();
        SetLeftCol(std::max(FixedCols(), ColCount() - VisibleColCount()));
        key = 0;
        return;
    }
    if (key == Win::VK_TAB && Options().Contains(TGridOption::goTabs)) {
        TabKey(shiftDown);
        key = 0;
        return;
    }

    const int keyBefore = key;
    TBaseGrid::KeyDown(key, shift);
    if (key == 0) return;

    if ((keyBefore == Win::VK_PRIOR || keyBefore == Win::VK_NEXT || keyBefore == Win::VK_UP ||
         keyBefore == Win::VK_DOWN) &&
        rowSelect && d->navigation.KeepHorizScroll) {
        // Painting waits meanwhile; an enclosing update block keeps its count.
        const int saved = d->updateCount;
        ++d->updateCount;
        SetLeftCol(left);
        d->updateCount = saved;
    }

    const TGridRect now = Selection();
    if (!(now == in.keySelection) && d->selectionRectangle) {
        InvalidateRect(CellRect(now.Left, now.Top).United(CellRect(now.Right, now.Bottom)));
        in.keySelection = now;
    }

    // The clipboard keys and Ctrl+A, after OnKeyDown has seen them; they
    // go no further.
    const bool clip = d->navigation.AllowClipboardShortCuts;
    auto clipboard = [&](const std::function<void(QObject*, bool&)>& event, void (TExtStringGrid::*op)()) {
        bool allow = true;
        if (event) event(this, allow);
        if (allow) (this->*op)();
        key = 0;
    };
    if (clip && ctrl && key == 'X') return clipboard(OnClipboardCut, &TExtStringGrid::CutSelectionToClipboard);
    if (clip && ctrl && key == 'V') return clipboard(OnClipboardPaste, &TExtStringGrid::PasteSelectionFromClipboard);
    if (clip && ctrl && (key == Win::VK_INSERT || key == 'C'))
        return clipboard(OnClipboardCopy, &TExtStringGrid::CopySelectionToClipboard);
    if (clip && !ctrl && shiftDown && key == Win::VK_INSERT)
        return clipboard(OnClipboardPaste, &TExtStringGrid::PasteSelectionFromClipboard);
    if (clip && !ctrl && shiftDown && key == Win::VK_DELETE)
        return clipboard(OnClipboardCut, &TExtStringGrid::CutSelectionToClipboard);
    if (ctrl && key == 'A') {
        if (rowSelect && Options().Contains(TGridOption::goRangeSelect))
            SetSelection(TGridRect(FixedCols(), FixedRows(), ColCount() - d->fixedRightCols - 1,
                                   RowCount() - d->fixedFooters - 1));
        key = 0;
        return;
    }

    if (key == Win::VK_INSERT && d->navigation.AllowInsertRow && !ctrl && !shiftDown && !alt) {
        bool canInsert = true;
        if (OnCanInsertRow) OnCanInsertRow(this, Row(), canInsert);
        if (canInsert) {
            if (d->navigation.InsertPosition == pInsertAfter) {
                AutoInsertRow(Row() + 1);
                SetRow(std::min(Row() + 1, RowCount() - 1));
            } else {
                // The rows from the current one move down; the current
                // cell stays on the new row.
                const int row = Row();
                AutoInsertRow(row);
                if (Row() != row) SetRow(row);
            }
            CalcFooter(-1);
        }
    }

    if (IsNavigationKey(key)) {
        if (d->mouseActions.DisjunctRowSelect) {
            if (!shiftDown && !ctrl) ClearRowSelect();
            if (shiftDown) {
                const TGridRect s = Selection();
                for (int r = FixedRows(); r < RowCount(); ++r) SetRowSelect(r, r >= s.Top && r <= s.Bottom);
            } else {
                SetRowSelect(Row(), true);
            }
        }
        if (d->mouseActions.DisjunctColSelect) {
            if (!shiftDown && !ctrl) ClearColSelect();
            if (shiftDown) {
                const TGridRect s = Selection();
                for (int c = FixedCols(); c < ColCount(); ++c) SetColSelect(c, c >= s.Left && c <= s.Right);
            } else {
                SetColSelect(Col(), true);
            }
        }
    }
    if (key == Win::VK_SPACE) {
        if (d->mouseActions.DisjunctRowSelect) SetRowSelect(Row(), !RowSelect(Row()));
        if (d->mouseActions.DisjunctColSelect) SetColSelect(Col(), !ColSelect(Col()));
    }

    if (key == Win::VK_DELETE && d->navigation.AllowDeleteRow && !alt &&
        RowCount() - d->fixedFooters - FixedRows() >= 1) {
        bool canDelete = true;
        if (OnCanDeleteRow) OnCanDeleteRow(this, Row(), canDelete);
        if (canDelete) {
            AutoDeleteRow(Row());
            CalcFooter(-1);
        }
    }
}

void TExtStringGrid::TabKey(bool backward)
{
    const int lastRow = RowCount() - d->fixedFooters - 1;
    const int lastCol = ColCount() - d->fixedRightCols - 1;
    const bool leftRight = d->navigation.TabAdvanceDirection == adLeftRight;
    int col = Col();
    int row = Row();
    bool leave = false;
    if (backward) {
        if (leftRight) {
            if (col > FixedCols())
                --col;
            else {
                col = lastCol;
                row = row <= FixedRows() ? lastRow : row - 1;
            }
        } else {
            if (row > FixedRows())
                --row;
            else {
                row = lastRow;
                col = col <= FixedCols() ? lastCol : col - 1;
            }
        }
    } else {
        const TPoint span = GetCellSpan(RealColIndex(col), row);
        if (leftRight) {
            const int next = col + span.X + 1;
            if (next < ColCount() - d->fixedRightCols) {
                col = next;
            } else {
                col = FixedCols();
                if (row >= lastRow) {
                    row = FixedRows();
                    leave = true;
                } else {
                    ++row;
                }
            }
        } else {
            const int next = row + span.Y + 1;
            if (next < RowCount() - d->fixedFooters) {
                row = next;
            } else {
                row = FixedRows();
                if (col < lastCol)
                    ++col;
                else {
                    col = FixedCols();
                    leave = true;
                }
            }
        }
    }
    FocusCell(col, row);
    if (leave && d->navigation.TabToNextAtEnd && parentWidget()) {
        // The form moves the focus on, as a TAB typed in its last control.
        QCoreApplication::postEvent(parentWidget(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
    }
    if (d->navigation.AlwaysEdit) SetFocus();
}

void TExtStringGrid::KeyUp(int& key, TShiftState shift)
{
    switch (key) {
    case Win::VK_PRIOR:
    case Win::VK_NEXT:
    case Win::VK_END:
    case Win::VK_LEFT:
    case Win::VK_UP:
    case Win::VK_RIGHT:
    case Win::VK_DOWN:
    case Win::VK_INSERT:
    case Win::VK_DELETE: d->input.autoGotoText.clear(); break;
    default: break;
    }
    const int k = key;
    TBaseGrid::KeyUp(key, shift);
    if (!d->navigation.AlwaysEdit) return;
    const bool arrow = k == Win::VK_LEFT || k == Win::VK_UP || k == Win::VK_RIGHT || k == Win::VK_DOWN;
    const bool tab = k == Win::VK_TAB && Options().Contains(TGridOption::goTabs);
    if ((arrow || tab) && !IsCheckCell(RealColIndex(Col()), Row())) ShowEditor();
}

void TExtStringGrid::KeyPress(TKeyChar& key)
{
    const int rc = RealColIndex(Col());
    const int row = Row();
    const bool check = rc >= 0 && IsCheckCell(rc, row);
    if (d->mouseActions.RangeSelectAndEdit && !check && rc >= 0 && IsEditableCell(rc, row) &&
        !Options().Contains(TGridOption::goEditing)) {
        SetOptions(Options() + TGridOption::goEditing);
        const TRect r = CellRect(Col(), row);
        LeftButtonDown(TShiftState{}, r.Left + 2, r.Top + 2);
        TBaseGrid::KeyPress(key);
        return;
    }
    // The keypad's decimal key types the locale's separator.
    if (key == '.' && d->input.keypadDecimal && d->edit.excelStyleDecimalSeparator)
        key = RegionalSettings::DecimalSeparator().unicode();
    d->input.keypadDecimal = false;
    if (check && key != 13) {
        key = 0;
        return;
    }

    // Typing finds rows when the grid is sorted and not editable; in an
    // editable grid it starts an edit.
    if (d->navigation.AutoGotoWhenSorted && !Options().Contains(TGridOption::goEditing) && (key == 8 || key >= 0x20)) {
        QString& text = d->input.autoGotoText;
        if (key == 8)
            text.chop(1);
        else if (d->navigation.AutoGotoIncremental)
            text += QString::fromUcs4(&key, 1);
        else
            text = QString::fromUcs4(&key, 1);
        const int found = FindAutoGotoRow(text.toUpper());
        if (found >= 0) SetRow(found);
        key = 0;
        return;
    }
    // Backspace starts an edit as a typed character does: on an empty text.
    if (key == 8 && Options().Contains(TGridOption::goEditing) && !EditorMode()) {
        TBaseGrid::KeyPress(key);
        if (key == 0) return;
        ShowEditorWithChar(key);
        key = 0;
        return;
    }
    TBaseGrid::KeyPress(key);
}

int TExtStringGrid::FindAutoGotoRow(const QString& text)
{
    if (RowCount() < 2 || text.isEmpty()) return -1;
    const int col = d->sortSettings.Show ? d->sortSettings.Column : 1;
    // A column that does not exist finds nothing; footer rows are not data.
    if (col < 0 || col >= StoreCols()) return -1;
    const int last = RowCount() - d->fixedFooters - (FooterRowFlag() ? 1 : 0);
    for (int r = FixedRows(); r < last; ++r) {
        QString cell;
        GetCellDisplayText(col, r, cell);
        if (cell.left(text.size()).toUpper() == text) return r;
    }
    return -1;
}
