// The keyboard: a key down walks one table of bindings, the grid's own key
// rules (check boxes by Space, Home and End, the TAB walk, clipboard and row
// keys, Ctrl+A, disjunct marks) and the standard key handling among them in
// the order they run; typing into cells and the incremental row search.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "platform/core/RegionalSettings.h"
#include "platform/kernel/WindowMessage.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include <limits>

namespace {

// The keys a binding answers: one virtual key, a range of them, or any.
struct TKeyRange {
    int first;
    int last;
    constexpr bool Contains(int key) const { return key >= first && key <= last; }
};

constexpr TKeyRange Key(int key) { return {key, key}; }
constexpr TKeyRange kAnyKey{std::numeric_limits<int>::min(), std::numeric_limits<int>::max()};
// PgUp, PgDn, End, Home and the arrows.
constexpr TKeyRange kNavigationKeys{Win::VK_PRIOR, Win::VK_DOWN};

constexpr TShiftState kNone{};
constexpr TShiftState kCtrl{TShiftStateItem::ssCtrl};
constexpr TShiftState kShift{TShiftStateItem::ssShift};
constexpr TShiftState kAlt{TShiftStateItem::ssAlt};
constexpr TShiftState kModifiers{TShiftStateItem::ssCtrl, TShiftStateItem::ssShift, TShiftStateItem::ssAlt};

} // namespace

// One rule of the key-down table: the keys it answers, the modifiers that
// must be down and those that must be up, a condition on the grid's state
// (none: always) and the action. The table is walked top to bottom for each
// key down; every binding that matches runs, and one that takes the key
// (sets it to 0) ends the walk, so the standard handling and the bindings
// after it never see that key.
struct TExtStringGrid::KeyBinding {
    // The key down being walked through the table.
    struct Press {
        int& key;          // 0 once a binding has taken it
        TShiftState shift; // as it was at the key down
        int pressed;       // the key as pressed (OnKeyDown may change it)
        int leftCol = 0;   // the left column at the key down
    };
    using Condition = bool (*)(TExtStringGrid& grid, const Press& press);
    using Action = void (*)(TExtStringGrid& grid, Press& press);

    TKeyRange keys;
    TShiftState down; // all of these held
    TShiftState up;   // none of these held
    Condition when;   // nullptr: always
    Action run;

    bool Matches(TExtStringGrid& grid, const Press& press) const
    {
        return keys.Contains(press.key) && (press.shift.Bits() & down.Bits()) == down.Bits() &&
            (press.shift.Bits() & up.Bits()) == 0 && (!when || when(grid, press));
    }

    static void Dispatch(TExtStringGrid& grid, Press& press);

    // ----- Conditions
    static bool Panning(TExtStringGrid& g, const Press&) { return g.d->input.panning; }
    static bool InRowSelect(TExtStringGrid& g) { return g.Options().Contains(TGridOption::goRowSelect); }
    static bool HomeEndByRows(TExtStringGrid& g, const Press&) { return g.d->navigation.HomeEndKey == heFirstLastRow; }
    // By columns the grid moves itself only in row-select mode; otherwise the
    // standard handling moves to the first or last column.
    static bool HomeEndByColumnsInRowSelect(TExtStringGrid& g, const Press&)
    {
        return g.d->navigation.HomeEndKey != heFirstLastRow && InRowSelect(g);
    }
    static bool Tabs(TExtStringGrid& g, const Press&) { return g.Options().Contains(TGridOption::goTabs); }
    static bool EditableCheckCell(TExtStringGrid& g, const Press&);
    static bool CheckOrRadioCell(TExtStringGrid& g, const Press&);
    static bool KeepsLeftColumn(TExtStringGrid& g, const Press& p);
    static bool SelectionMoved(TExtStringGrid& g, const Press&);
    static bool ClipboardShortCuts(TExtStringGrid& g, const Press&) { return g.d->navigation.AllowClipboardShortCuts; }
    static bool InsertRowAllowed(TExtStringGrid& g, const Press&) { return g.d->navigation.AllowInsertRow; }
    static bool RowAndRangeSelect(TExtStringGrid& g, const Press&)
    {
        return InRowSelect(g) && g.Options().Contains(TGridOption::goRangeSelect);
    }
    static bool DisjunctRows(TExtStringGrid& g, const Press&) { return g.d->mouseActions.DisjunctRowSelect; }
    static bool DisjunctCols(TExtStringGrid& g, const Press&) { return g.d->mouseActions.DisjunctColSelect; }
    static bool DeleteRowAllowed(TExtStringGrid& g, const Press&)
    {
        return g.d->navigation.AllowDeleteRow && g.RowCount() - g.d->fixedFooters - g.FixedRows() >= 1;
    }

    // ----- Actions
    static void TakeKey(TExtStringGrid&, Press& p) { p.key = 0; }
    static void StopPanning(TExtStringGrid& g, Press& p);
    static void Remember(TExtStringGrid& g, Press& p);
    static void ToggleCheckCell(TExtStringGrid& g, Press& p);
    static void AdvanceFromCheckCell(TExtStringGrid& g, Press& p);
    static void FirstRow(TExtStringGrid& g, Press& p);
    static void FirstColumn(TExtStringGrid& g, Press& p);
    static void LastRow(TExtStringGrid& g, Press& p);
    static void LastColumn(TExtStringGrid& g, Press& p);
    static void TabWalk(TExtStringGrid& g, Press& p);
    static void StandardHandling(TExtStringGrid& g, Press& p);
    static void KeepLeftColumn(TExtStringGrid& g, Press& p);
    static void RepaintSelection(TExtStringGrid& g, Press& p);
    // The clipboard keys: the event may refuse, the operation runs, the key
    // goes no further.
    template <std::function<void(QObject*, bool&)> TExtStringGrid::*Event, void (TExtStringGrid::*Operation)()>
    static void Clipboard(TExtStringGrid& g, Press& p)
    {
        bool allow = true;
        if (g.*Event) (g.*Event)(&g, allow);
        if (allow) (g.*Operation)();
        p.key = 0;
    }
    static void InsertRow(TExtStringGrid& g, Press& p);
    static void SelectDataArea(TExtStringGrid& g, Press& p);
    static void MarkRows(TExtStringGrid& g, Press& p);
    static void MarkCols(TExtStringGrid& g, Press& p);
    static void FlipRowMark(TExtStringGrid& g, Press&) { g.SetRowSelect(g.Row(), !g.RowSelect(g.Row())); }
    static void FlipColMark(TExtStringGrid& g, Press&) { g.SetColSelect(g.Col(), !g.ColSelect(g.Col())); }
    static void DeleteRow(TExtStringGrid& g, Press& p);

    static const KeyBinding Table[];
};

// The steps of a key down, in the order they run.
const TExtStringGrid::KeyBinding TExtStringGrid::KeyBinding::Table[] = {
    // A key ends panning and goes nowhere.
    {kAnyKey, kNone, kNone, Panning, StopPanning},
    // The left column and the selection at the key down, for the steps after
    // the standard handling.
    {kAnyKey, kNone, kNone, nullptr, Remember},
    {Key(Win::VK_SPACE), kNone, kNone, EditableCheckCell, ToggleCheckCell},
    {Key(Win::VK_RETURN), kNone, kNone, CheckOrRadioCell, AdvanceFromCheckCell},
    {Key(Win::VK_HOME), kNone, kNone, HomeEndByRows, FirstRow},
    {Key(Win::VK_HOME), kNone, kNone, HomeEndByColumnsInRowSelect, FirstColumn},
    {Key(Win::VK_END), kNone, kNone, HomeEndByRows, LastRow},
    {Key(Win::VK_END), kNone, kNone, HomeEndByColumnsInRowSelect, LastColumn},
    {Key(Win::VK_TAB), kNone, kNone, Tabs, TabWalk},
    // OnKeyDown, then the base grid's moves.
    {kAnyKey, kNone, kNone, nullptr, StandardHandling},
    {kAnyKey, kNone, kNone, KeepsLeftColumn, KeepLeftColumn},
    {kAnyKey, kNone, kNone, SelectionMoved, RepaintSelection},
    // The clipboard keys, after OnKeyDown has seen them; Ctrl wins over
    // Shift.
    {Key('X'), kCtrl, kNone, ClipboardShortCuts,
     Clipboard<&TExtStringGrid::OnClipboardCut, &TExtStringGrid::CutSelectionToClipboard>},
    {Key('V'), kCtrl, kNone, ClipboardShortCuts,
     Clipboard<&TExtStringGrid::OnClipboardPaste, &TExtStringGrid::PasteSelectionFromClipboard>},
    {Key(Win::VK_INSERT), kCtrl, kNone, ClipboardShortCuts,
     Clipboard<&TExtStringGrid::OnClipboardCopy, &TExtStringGrid::CopySelectionToClipboard>},
    {Key('C'), kCtrl, kNone, ClipboardShortCuts,
     Clipboard<&TExtStringGrid::OnClipboardCopy, &TExtStringGrid::CopySelectionToClipboard>},
    {Key(Win::VK_INSERT), kShift, kCtrl, ClipboardShortCuts,
     Clipboard<&TExtStringGrid::OnClipboardPaste, &TExtStringGrid::PasteSelectionFromClipboard>},
    {Key(Win::VK_DELETE), kShift, kCtrl, ClipboardShortCuts,
     Clipboard<&TExtStringGrid::OnClipboardCut, &TExtStringGrid::CutSelectionToClipboard>},
    {Key(Win::VK_INSERT), kNone, kModifiers, InsertRowAllowed, InsertRow},
    // Ctrl+A selects the data area only with row and range selection, and
    // is not passed on either way.
    {Key('A'), kCtrl, kNone, RowAndRangeSelect, SelectDataArea},
    {Key('A'), kCtrl, kNone, nullptr, TakeKey},
    {kNavigationKeys, kNone, kNone, DisjunctRows, MarkRows},
    {kNavigationKeys, kNone, kNone, DisjunctCols, MarkCols},
    {Key(Win::VK_SPACE), kNone, kNone, DisjunctRows, FlipRowMark},
    {Key(Win::VK_SPACE), kNone, kNone, DisjunctCols, FlipColMark},
    {Key(Win::VK_DELETE), kNone, kAlt, DeleteRowAllowed, DeleteRow},
};

void TExtStringGrid::KeyBinding::Dispatch(TExtStringGrid& grid, Press& press)
{
    for (const KeyBinding& binding : Table) {
        if (!binding.Matches(grid, press)) continue;
        binding.run(grid, press);
        if (press.key == 0) return;
    }
}

void TExtStringGrid::KeyDown(int& key, TShiftState shift)
{
    d->input.keypadDecimal = key == Win::VK_DECIMAL;
    KeyBinding::Press press{key, shift, key};
    KeyBinding::Dispatch(*this, press);
}

bool TExtStringGrid::KeyBinding::EditableCheckCell(TExtStringGrid& g, const Press&)
{
    const int rc = g.RealColIndex(g.Col());
    const int row = g.Row();
    if (rc < 0 || !g.IsCheckCell(rc, row)) return false;
    bool canEdit = g.Options().Contains(TGridOption::goEditing) || g.d->mouseActions.RangeSelectAndEdit;
    g.CanEditCell(rc, row, canEdit);
    return canEdit;
}

bool TExtStringGrid::KeyBinding::CheckOrRadioCell(TExtStringGrid& g, const Press&)
{
    const int rc = g.RealColIndex(g.Col());
    return rc >= 0 && g.IsCheckOrRadioCell(rc, g.Row());
}

bool TExtStringGrid::KeyBinding::KeepsLeftColumn(TExtStringGrid& g, const Press& p)
{
    // The key as pressed: a vertical move in row-select mode.
    const bool vertical =
        p.pressed == Win::VK_PRIOR || p.pressed == Win::VK_NEXT || p.pressed == Win::VK_UP || p.pressed == Win::VK_DOWN;
    return vertical && InRowSelect(g) && g.d->navigation.KeepHorizScroll;
}

bool TExtStringGrid::KeyBinding::SelectionMoved(TExtStringGrid& g, const Press&)
{
    return g.d->selectionRectangle && !(g.Selection() == g.d->input.keySelection);
}

void TExtStringGrid::KeyBinding::StopPanning(TExtStringGrid& g, Press& p)
{
    g.StopPanning();
    p.key = 0;
}

void TExtStringGrid::KeyBinding::Remember(TExtStringGrid& g, Press& p)
{
    p.leftCol = g.LeftCol();
    g.d->input.keySelection = g.Selection();
}

void TExtStringGrid::KeyBinding::ToggleCheckCell(TExtStringGrid& g, Press&)
{
    const int rc = g.RealColIndex(g.Col());
    const int row = g.Row();
    if (g.IsCheckBoxCell(rc, row)) {
        g.ToggleCheckBox(rc, row, true);
        bool state = false;
        g.GetCheckBoxState(rc, row, state);
        if (g.OnCheckBoxClick) g.OnCheckBoxClick(&g, rc, row, state);
    }
    if (g.IsRadioButtonCell(rc, row)) {
        g.StepRadioButton(rc, row, true);
        int index = -1;
        g.GetRadioIndex(rc, row, index);
        if (g.OnRadioClick) g.OnRadioClick(&g, rc, row, index);
    }
    g.RepaintCell(g.Col(), row);
}

void TExtStringGrid::KeyBinding::AdvanceFromCheckCell(TExtStringGrid& g, Press& p)
{
    // Enter on a check-box or radio cell advances (AdvanceOnEnter); it ends
    // there when the new row holds one in the same column.
    const int rc = g.RealColIndex(g.Col());
    g.AdvanceToNextCell(g.Col(), g.Row(), false, false, true);
    if (g.IsCheckOrRadioCell(rc, g.Row())) p.key = 0;
}

void TExtStringGrid::KeyBinding::FirstRow(TExtStringGrid& g, Press& p)
{
    g.SetRow(g.FixedRows());
    g.MoveToBaseCell();
    p.key = 0;
}

void TExtStringGrid::KeyBinding::FirstColumn(TExtStringGrid& g, Press& p)
{
    g.SetCol(g.FixedCols());
    g.MoveToBaseCell();
    g.SetLeftCol(g.FixedCols());
    p.key = 0;
}

void TExtStringGrid::KeyBinding::LastRow(TExtStringGrid& g, Press& p)
{
    g.SetRow(g.d->floatingFooter.Visible() && g.RowCount() > 2 ? g.RowCount() - 2 : g.RowCount() - 1);
    g.MoveToBaseCell();
    p.key = 0;
}

void TExtStringGrid::KeyBinding::LastColumn(TExtStringGrid& g, Press& p)
{
    g.SetCol(g.ColCount() - 1);
    g.MoveToBaseCell();
    g.SetLeftCol(std::max(g.FixedCols(), g.ColCount() - g.VisibleColCount()));
    p.key = 0;
}

void TExtStringGrid::KeyBinding::TabWalk(TExtStringGrid& g, Press& p)
{
    g.TabKey(p.shift.Contains(TShiftStateItem::ssShift));
    p.key = 0;
}

void TExtStringGrid::KeyBinding::StandardHandling(TExtStringGrid& g, Press& p) { g.TBaseGrid::KeyDown(p.key, p.shift); }

void TExtStringGrid::KeyBinding::KeepLeftColumn(TExtStringGrid& g, Press& p)
{
    // Painting waits meanwhile; an enclosing update block keeps its count.
    const int saved = g.d->updateCount;
    ++g.d->updateCount;
    g.SetLeftCol(p.leftCol);
    g.d->updateCount = saved;
}

void TExtStringGrid::KeyBinding::RepaintSelection(TExtStringGrid& g, Press&)
{
    const TGridRect now = g.Selection();
    g.InvalidateRect(g.CellRect(now.Left, now.Top).United(g.CellRect(now.Right, now.Bottom)));
    g.d->input.keySelection = now;
}

void TExtStringGrid::KeyBinding::InsertRow(TExtStringGrid& g, Press&)
{
    bool canInsert = true;
    if (g.OnCanInsertRow) g.OnCanInsertRow(&g, g.Row(), canInsert);
    if (!canInsert) return;
    if (g.d->navigation.InsertPosition == pInsertAfter) {
        g.AutoInsertRow(g.Row() + 1);
        g.SetRow(std::min(g.Row() + 1, g.RowCount() - 1));
    } else {
        // The rows from the current one move down; the current cell stays
        // on the new row.
        const int row = g.Row();
        g.AutoInsertRow(row);
        if (g.Row() != row) g.SetRow(row);
    }
    g.CalcFooter(-1);
}

void TExtStringGrid::KeyBinding::SelectDataArea(TExtStringGrid& g, Press& p)
{
    g.SetSelection(TGridRect(g.FixedCols(), g.FixedRows(), g.ColCount() - g.d->fixedRightCols - 1,
                             g.RowCount() - g.d->fixedFooters - 1));
    p.key = 0;
}

// Without Shift or Ctrl the marks start again; with Shift the rows (columns)
// of the selection are marked, else the current one.
void TExtStringGrid::KeyBinding::MarkRows(TExtStringGrid& g, Press& p)
{
    const bool shift = p.shift.Contains(TShiftStateItem::ssShift);
    if (!shift && !p.shift.Contains(TShiftStateItem::ssCtrl)) g.ClearRowSelect();
    if (!shift) {
        g.SetRowSelect(g.Row(), true);
        return;
    }
    const TGridRect s = g.Selection();
    for (int r = g.FixedRows(); r < g.RowCount(); ++r) g.SetRowSelect(r, r >= s.Top && r <= s.Bottom);
}

void TExtStringGrid::KeyBinding::MarkCols(TExtStringGrid& g, Press& p)
{
    const bool shift = p.shift.Contains(TShiftStateItem::ssShift);
    if (!shift && !p.shift.Contains(TShiftStateItem::ssCtrl)) g.ClearColSelect();
    if (!shift) {
        g.SetColSelect(g.Col(), true);
        return;
    }
    const TGridRect s = g.Selection();
    for (int c = g.FixedCols(); c < g.ColCount(); ++c) g.SetColSelect(c, c >= s.Left && c <= s.Right);
}

void TExtStringGrid::KeyBinding::DeleteRow(TExtStringGrid& g, Press&)
{
    bool canDelete = true;
    if (g.OnCanDeleteRow) g.OnCanDeleteRow(&g, g.Row(), canDelete);
    if (!canDelete) return;
    g.AutoDeleteRow(g.Row());
    g.CalcFooter(-1);
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
