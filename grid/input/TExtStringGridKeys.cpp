// The keyboard: a key down walks one table of bindings, the grid's own key
// rules (check boxes by Space, Home and End, the TAB walk, clipboard and row
// keys, Ctrl+A, disjunct marks) and the standard key handling among them in
// the order they run; typing into cells and the incremental row search.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/input/KeyBindings_p.h"
#include "platform/core/RegionalSettings.h"
#include "platform/kernel/WindowMessage.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {

// PgUp, PgDn, End, Home and the arrows.
constexpr TKeyRange kNavigationKeys{Win::VK_PRIOR, Win::VK_DOWN};

} // namespace

// The grid's key-down table with its conditions and actions.
struct TExtStringGrid::KeyBindings {
    struct Press : TKeyPress {
        int leftCol = 0;    // the left column at the key down
        int row = 0;        // the current row at the key down
        int page = 0;       // the rows PgUp and PgDn move by
        bool moved = false; // the base grid's handling took the key
    };
    using Binding = TKeyBinding<TExtStringGrid, Press>;
    static const Binding Table[];

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
    static bool StoppedBeforeFixedCells(TExtStringGrid& g, const Press& p);
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
    static void ToLastDataCell(TExtStringGrid& g, Press& p);
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
    static void Mark(TExtStringGrid& g, const Press& p, bool rows);
    static void MarkRows(TExtStringGrid& g, Press& p) { Mark(g, p, true); }
    static void MarkCols(TExtStringGrid& g, Press& p) { Mark(g, p, false); }
    static void FlipRowMark(TExtStringGrid& g, Press&) { g.SetRowSelect(g.Row(), !g.RowSelect(g.Row())); }
    static void FlipColMark(TExtStringGrid& g, Press&) { g.SetColSelect(g.Col(), !g.ColSelect(g.Col())); }
    static void DeleteRow(TExtStringGrid& g, Press& p);
};

// The steps of a key down, in the order they run.
const TExtStringGrid::KeyBindings::Binding TExtStringGrid::KeyBindings::Table[] = {
    // A key ends panning and goes nowhere.
    {kAnyKey, kNoKeys, kNoKeys, Panning, StopPanning},
    // The left column and the selection at the key down, for the steps after
    // the standard handling.
    {kAnyKey, kNoKeys, kNoKeys, nullptr, Remember},
    {SingleKey(Win::VK_SPACE), kNoKeys, kNoKeys, EditableCheckCell, ToggleCheckCell},
    {SingleKey(Win::VK_RETURN), kNoKeys, kNoKeys, CheckOrRadioCell, AdvanceFromCheckCell},
    {SingleKey(Win::VK_HOME), kNoKeys, kNoKeys, HomeEndByRows, FirstRow},
    {SingleKey(Win::VK_HOME), kNoKeys, kNoKeys, HomeEndByColumnsInRowSelect, FirstColumn},
    {SingleKey(Win::VK_END), kNoKeys, kNoKeys, HomeEndByRows, LastRow},
    {SingleKey(Win::VK_END), kNoKeys, kNoKeys, HomeEndByColumnsInRowSelect, LastColumn},
    {SingleKey(Win::VK_TAB), kNoKeys, kNoKeys, Tabs, TabWalk},
    // OnKeyDown, then the base grid's moves; a key they move by goes on.
    {kAnyKey, kNoKeys, kNoKeys, nullptr, StandardHandling},
    {SingleKey(Win::VK_END), kNoKeys, kNoKeys, StoppedBeforeFixedCells, ToLastDataCell},
    {SingleKey(Win::VK_NEXT), kNoKeys, kNoKeys, StoppedBeforeFixedCells, ToLastDataCell},
    {kAnyKey, kNoKeys, kNoKeys, KeepsLeftColumn, KeepLeftColumn},
    {kAnyKey, kNoKeys, kNoKeys, SelectionMoved, RepaintSelection},
    // The clipboard keys, after OnKeyDown has seen them; Ctrl wins over
    // Shift.
    {SingleKey('X'), kCtrlKey, kNoKeys, ClipboardShortCuts,
     Clipboard<&TExtStringGrid::OnClipboardCut, &TExtStringGrid::CutSelectionToClipboard>},
    {SingleKey('V'), kCtrlKey, kNoKeys, ClipboardShortCuts,
     Clipboard<&TExtStringGrid::OnClipboardPaste, &TExtStringGrid::PasteSelectionFromClipboard>},
    {SingleKey(Win::VK_INSERT), kCtrlKey, kNoKeys, ClipboardShortCuts,
     Clipboard<&TExtStringGrid::OnClipboardCopy, &TExtStringGrid::CopySelectionToClipboard>},
    {SingleKey('C'), kCtrlKey, kNoKeys, ClipboardShortCuts,
     Clipboard<&TExtStringGrid::OnClipboardCopy, &TExtStringGrid::CopySelectionToClipboard>},
    {SingleKey(Win::VK_INSERT), kShiftKey, kCtrlKey, ClipboardShortCuts,
     Clipboard<&TExtStringGrid::OnClipboardPaste, &TExtStringGrid::PasteSelectionFromClipboard>},
    {SingleKey(Win::VK_DELETE), kShiftKey, kCtrlKey, ClipboardShortCuts,
     Clipboard<&TExtStringGrid::OnClipboardCut, &TExtStringGrid::CutSelectionToClipboard>},
    {SingleKey(Win::VK_INSERT), kNoKeys, kModifierKeys, InsertRowAllowed, InsertRow},
    // Ctrl+A selects the data area only with row and range selection, and
    // is not passed on either way.
    {SingleKey('A'), kCtrlKey, kNoKeys, RowAndRangeSelect, SelectDataArea},
    {SingleKey('A'), kCtrlKey, kNoKeys, nullptr, TakeKey},
    {kNavigationKeys, kNoKeys, kNoKeys, DisjunctRows, MarkRows},
    {kNavigationKeys, kNoKeys, kNoKeys, DisjunctCols, MarkCols},
    {SingleKey(Win::VK_SPACE), kNoKeys, kNoKeys, DisjunctRows, FlipRowMark},
    {SingleKey(Win::VK_SPACE), kNoKeys, kNoKeys, DisjunctCols, FlipColMark},
    {SingleKey(Win::VK_DELETE), kNoKeys, kAltKey, DeleteRowAllowed, DeleteRow},
};

void TExtStringGrid::KeyDown(int& key, TShiftState shift)
{
    d->input.keypadDecimal = key == Win::VK_DECIMAL;
    // The steps after the base grid's move see the key it moved by; the
    // caller sees it taken.
    int walked = key;
    KeyBindings::Press press{{walked, shift}};
    WalkKeyBindings(KeyBindings::Table, *this, press);
    key = press.moved ? 0 : walked;
}

bool TExtStringGrid::KeyBindings::EditableCheckCell(TExtStringGrid& g, const Press&)
{
    const int rc = g.RealColIndex(g.Col());
    const int row = g.Row();
    if (rc < 0 || !g.IsCheckCell(rc, row)) return false;
    bool canEdit = g.Options().Contains(TGridOption::goEditing) || g.d->mouseActions.RangeSelectAndEdit;
    g.CanEditCell(rc, row, canEdit);
    return canEdit;
}

bool TExtStringGrid::KeyBindings::CheckOrRadioCell(TExtStringGrid& g, const Press&)
{
    const int rc = g.RealColIndex(g.Col());
    return rc >= 0 && g.IsCheckOrRadioCell(rc, g.Row());
}

bool TExtStringGrid::KeyBindings::KeepsLeftColumn(TExtStringGrid& g, const Press& p)
{
    // A vertical move in row-select mode.
    const bool vertical =
        p.key == Win::VK_PRIOR || p.key == Win::VK_NEXT || p.key == Win::VK_UP || p.key == Win::VK_DOWN;
    return vertical && InRowSelect(g) && g.d->navigation.KeepHorizScroll;
}

// End goes to the last column (with Ctrl the last row too), PgDn a page
// down: a target among the right columns or the footer rows, which the
// move refuses, is the last data column or row instead.
bool TExtStringGrid::KeyBindings::StoppedBeforeFixedCells(TExtStringGrid& g, const Press& p)
{
    if (!p.moved) return false;
    const int lastRow = g.RowCount() - g.d->fixedFooters - 1;
    if (p.key == Win::VK_NEXT) return p.row + p.page > lastRow;
    return g.d->fixedRightCols > 0 || (p.shift.Contains(TShiftStateItem::ssCtrl) && g.d->fixedFooters > 0);
}

bool TExtStringGrid::KeyBindings::SelectionMoved(TExtStringGrid& g, const Press&)
{
    return g.d->selectionRectangle && !(g.Selection() == g.d->input.keySelection);
}

void TExtStringGrid::KeyBindings::StopPanning(TExtStringGrid& g, Press& p)
{
    g.StopPanning();
    p.key = 0;
}

void TExtStringGrid::KeyBindings::Remember(TExtStringGrid& g, Press& p)
{
    p.leftCol = g.LeftCol();
    p.row = g.Row();
    p.page = std::max(1, g.VisibleRowCount());
    g.d->input.keySelection = g.Selection();
}

void TExtStringGrid::KeyBindings::ToggleCheckCell(TExtStringGrid& g, Press&)
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

void TExtStringGrid::KeyBindings::AdvanceFromCheckCell(TExtStringGrid& g, Press& p)
{
    // Enter on a check-box or radio cell advances (AdvanceOnEnter); it ends
    // there when the new row holds one in the same column.
    const int rc = g.RealColIndex(g.Col());
    g.AdvanceToNextCell(g.Col(), g.Row(), false, false, true);
    if (g.IsCheckOrRadioCell(rc, g.Row())) p.key = 0;
}

void TExtStringGrid::KeyBindings::FirstRow(TExtStringGrid& g, Press& p)
{
    g.SetRow(g.FixedRows());
    g.MoveToBaseCell();
    p.key = 0;
}

void TExtStringGrid::KeyBindings::FirstColumn(TExtStringGrid& g, Press& p)
{
    g.SetCol(g.FixedCols());
    g.MoveToBaseCell();
    g.SetLeftCol(g.FixedCols());
    p.key = 0;
}

void TExtStringGrid::KeyBindings::LastRow(TExtStringGrid& g, Press& p)
{
    int row = g.d->floatingFooter.Visible() && g.RowCount() > 2 ? g.RowCount() - 2 : g.RowCount() - 1;
    // Footer rows are never current.
    const int lastData = g.RowCount() - g.d->fixedFooters - 1;
    if (row > lastData && lastData >= g.FixedRows()) row = lastData;
    g.SetRow(row);
    g.MoveToBaseCell();
    p.key = 0;
}

void TExtStringGrid::KeyBindings::LastColumn(TExtStringGrid& g, Press& p)
{
    // The right columns are never current.
    g.SetCol(std::max(g.FixedCols(), g.ColCount() - g.d->fixedRightCols - 1));
    g.MoveToBaseCell();
    g.SetLeftCol(std::max(g.FixedCols(), g.ColCount() - g.VisibleColCount()));
    p.key = 0;
}

void TExtStringGrid::KeyBindings::TabWalk(TExtStringGrid& g, Press& p)
{
    g.TabKey(p.shift.Contains(TShiftStateItem::ssShift));
    p.key = 0;
}

void TExtStringGrid::KeyBindings::StandardHandling(TExtStringGrid& g, Press& p)
{
    // OnKeyDown first: a key it takes goes no further.
    if (g.OnKeyDown) {
        g.OnKeyDown(&g, p.key, p.shift);
        if (p.key == 0) return;
    }
    // Then the base grid's handling, which fires OnKeyDown again unless it
    // is set aside meanwhile; one assigned meanwhile is kept.
    struct SetAside {
        TExtStringGrid& g;
        std::function<void(QObject*, int&, TShiftState)> handler = std::exchange(g.OnKeyDown, nullptr);
        ~SetAside()
        {
            if (!g.OnKeyDown) g.OnKeyDown = std::move(handler);
        }
    } aside{g};
    // It takes the keys it moves by; the steps after the move still see
    // them.
    int key = p.key;
    g.TBaseGrid::KeyDown(key, p.shift);
    p.moved = key == 0;
}

void TExtStringGrid::KeyBindings::ToLastDataCell(TExtStringGrid& g, Press& p)
{
    const int lastRow = g.RowCount() - g.d->fixedFooters - 1;
    const int lastCol = g.ColCount() - g.d->fixedRightCols - 1;
    int col = g.Col();
    int row = g.Row();
    if (p.key == Win::VK_NEXT)
        row = lastRow;
    else {
        col = lastCol;
        if (p.shift.Contains(TShiftStateItem::ssCtrl)) row = lastRow;
    }
    if (col < g.FixedCols() || row < g.FixedRows() || (col == g.Col() && row == g.Row())) return;
    const bool extend = p.shift.Contains(TShiftStateItem::ssShift) &&
        g.Options().Contains(TGridOption::goRangeSelect) && !InRowSelect(g);
    g.FocusCell(col, row, !extend);
    g.MoveToBaseCell();
}

void TExtStringGrid::KeyBindings::KeepLeftColumn(TExtStringGrid& g, Press& p)
{
    // Painting waits meanwhile; an enclosing update block keeps its count.
    const int saved = g.d->updateCount;
    ++g.d->updateCount;
    g.SetLeftCol(p.leftCol);
    g.d->updateCount = saved;
}

void TExtStringGrid::KeyBindings::RepaintSelection(TExtStringGrid& g, Press&)
{
    const TGridRect now = g.Selection();
    g.InvalidateRect(g.CellRect(now.Left, now.Top).United(g.CellRect(now.Right, now.Bottom)));
    g.d->input.keySelection = now;
}

void TExtStringGrid::KeyBindings::InsertRow(TExtStringGrid& g, Press&)
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

void TExtStringGrid::KeyBindings::SelectDataArea(TExtStringGrid& g, Press& p)
{
    g.SetSelection(TGridRect(g.FixedCols(), g.FixedRows(), g.ColCount() - g.d->fixedRightCols - 1,
                             g.RowCount() - g.d->fixedFooters - 1));
    p.key = 0;
}

// Without Shift or Ctrl the marks start again; with Shift the rows (columns)
// of the selection are marked, else the current one.
void TExtStringGrid::KeyBindings::Mark(TExtStringGrid& g, const Press& p, bool rows)
{
    const bool shift = p.shift.Contains(TShiftStateItem::ssShift);
    if (!shift && !p.shift.Contains(TShiftStateItem::ssCtrl)) rows ? g.ClearRowSelect() : g.ClearColSelect();
    void (TExtStringGrid::*const set)(int, bool) = rows ? &TExtStringGrid::SetRowSelect : &TExtStringGrid::SetColSelect;
    if (!shift) {
        (g.*set)(rows ? g.Row() : g.Col(), true);
        return;
    }
    const TGridRect s = g.Selection();
    const int low = rows ? s.Top : s.Left;
    const int high = rows ? s.Bottom : s.Right;
    const int end = rows ? g.RowCount() : g.ColCount();
    for (int i = rows ? g.FixedRows() : g.FixedCols(); i < end; ++i) (g.*set)(i, i >= low && i <= high);
}

void TExtStringGrid::KeyBindings::DeleteRow(TExtStringGrid& g, Press&)
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
