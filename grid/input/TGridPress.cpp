// The plain click (Press), whose move and release every gesture runs, and
// the gestures that change only a step of them: the selection resizer, the
// armed OLE drag, pressed button cells and embedded buttons, and the
// selection of whole rows or columns from their headers.
#include "grid/input/Gestures_p.h"

#include "grid/TArrowWindow.h"
#include "grid/THTMLHintWindow.h"
#include "grid/cells/TCellGraphic.h"

#include <QLabel>

namespace {
constexpr int kDragDistance = 4;
} // namespace

// ---------------------------------------------------------------------------
// Press

void TExtStringGrid::Gestures::Press::Move(TShiftState shift, int x, int y)
{
    TGridInputState& in = In();
    // Dragging selects a range and opens no editor.
    if (g.d->mouseActions.RangeSelectAndEdit && g.Options().Contains(TGridOption::goEditing))
        g.SetOptions(g.Options() - TGridOption::goEditing);
    int c = -1, r = -1;
    g.MouseToCell(x, y, c, r);
    if (!Track(c, r, x, y)) return;
    FollowPointer(g, shift, c, r, x, y);
    const QString size = SizeText(x, y);
    if (size.isEmpty()) return;
    in.sizeHint = size;
    if (in.hintShowSizing) {
        const QPoint at = g.mapToGlobal(g.ClientOrigin() + QPoint(x, y));
        g.HintWindow()->SetColor(g.d->hintColor);
        g.HintWindow()->ActivateHint(TRect(at.x(), at.y(), at.x(), at.y()), in.sizeHint);
    }
}

void TExtStringGrid::Gestures::Press::FollowPointer(TExtStringGrid& grid, TShiftState shift, int col, int row, int x,
                                                    int y)
{
    TGridInputState& in = grid.d->input;
    if (in.hoverCell.X >= 0 && (col != in.hoverCell.X || row != in.hoverCell.Y)) {
        grid.HideCellHint();
        in.hoverCell = TPoint(col, row);
    }
    const TGridRect before = grid.Selection();
    grid.TBaseGrid::MouseMove(shift, x, y);
    if (grid.d->selectionRectangle && !(grid.Selection() == before)) grid.InvalidateGrid();
}

void TExtStringGrid::Gestures::Press::Release(TShiftState shift, int x, int y)
{
    TGridInputState& in = In();
    in.cursorState = 0;
    const bool ownSizing = EndsSizing(x);
    in.buttonDown = false;
    int c = -1, r = -1;
    g.MouseToCell(x, y, c, r);
    const bool onCell = c >= 0 && r >= 0;
    if (onCell && g.IsButtonCell(g.RealColIndex(c), r)) {
        TRect button;
        g.GetCellGraphicRect(c, r, button);
        if (button.Contains(TPoint(x, y))) return;
    }
    // A release that ends a sizing (the sizing cursor shows from the press
    // at a border to the release) is no click and no sort.
    const bool sizingEnded = ownSizing || g.IsOnSizingEdge(x, y);
    if (!sizingEnded) g.Click();
    Clicked(c, r);
    MarkSelection();
    EndMoveMarks();
    BeforeGridUp(x, y);
    g.TBaseGrid::MouseUp(TMouseButton::mbLeft, shift, x, y);
    AfterGridUp(shift, x, y);
    if (onCell) ReleaseEvents(c, r);
    if (in.dblClickSized) {
        in.dblClickSized = false;
        return;
    }
    if (onCell && !sizingEnded) SortClick(shift, c, r, x);
}

// The rows (columns) of the selection take their marks; a row (column)
// Ctrl-clicked when marked loses its.
void TExtStringGrid::Gestures::Press::MarkSelection()
{
    const TGridRect sel = g.Selection();
    if (g.d->mouseActions.DisjunctRowSelect) {
        for (int row = std::max(sel.Top, g.FixedRows()); row <= sel.Bottom && row < g.RowCount(); ++row)
            g.SetRowSelect(row, true);
        if (unmarkRow >= 0 && unmarkRow < g.RowCount()) g.SetRowSelect(unmarkRow, false);
    }
    if (g.d->mouseActions.DisjunctColSelect) {
        for (int col = std::max(sel.Left, g.FixedCols()); col <= sel.Right && col < g.ColCount(); ++col)
            g.SetColSelect(col, true);
        if (unmarkCol >= 0 && unmarkCol < g.ColCount()) g.SetColSelect(unmarkCol, false);
    }
}

void TExtStringGrid::Gestures::Press::EndMoveMarks()
{
    TGridInputState& in = In();
    const bool shown = in.moveImage && in.moveImage->isVisible();
    for (TArrowWindow* a : in.moveArrows)
        if (a) a->hide();
    if (in.moveImage) in.moveImage->hide();
    if (shown) g.ApplyCursor(nullptr);
}

void TExtStringGrid::Gestures::Press::AfterGridUp(TShiftState shift, int x, int y)
{
    In().sizeHint.clear();
    PickCell(shift, x, y);
}

// With DisjunctCellSelect the clicked cell joins the cells picked (with
// Ctrl it leaves them when there), and so does every cell of a selection
// of more than one.
void TExtStringGrid::Gestures::Press::PickCell(TShiftState shift, int x, int y)
{
    if (!g.d->mouseActions.DisjunctCellSelect) return;
    int c = -1, r = -1;
    g.MouseToCell(x, y, c, r);
    if (c < 0 || r < 0 || g.IsFixed(c, r)) return;
    auto& cells = In().disjunctCells;
    if (shift.Contains(TShiftStateItem::ssCtrl)) {
        if (!cells.erase({c, r})) cells.insert({c, r});
    } else {
        // The cells picked before lose their selection look.
        for (const auto& [col, row] : cells) g.RepaintCell(col, row);
        cells.clear();
        cells.insert({c, r});
    }
    const TGridRect sel = g.Selection();
    if (sel.Right > sel.Left || sel.Bottom > sel.Top)
        for (int row = sel.Top; row <= sel.Bottom; ++row)
            for (int col = sel.Left; col <= sel.Right; ++col) cells.insert({col, row});
    g.RepaintCell(c, r);
}

// A check box or radio group let go of over a normal column (or a fixed
// one that sorts) tells its state.
void TExtStringGrid::Gestures::Press::ReleaseEvents(int col, int row)
{
    if (col < g.FixedCols() && !g.d->sortSettings.FixedCols) return;
    const int rc = g.RealColIndex(col);
    bool state = false;
    if (g.IsCheckBoxCell(rc, row) && g.GetCheckBoxState(rc, row, state)) {
        if (g.OnCheckBoxMouseUp) g.OnCheckBoxMouseUp(&g, rc, row, state);
    } else if (g.IsRadioButtonCell(rc, row)) {
        int index = -1;
        g.GetRadioIndex(rc, row, index);
        if (g.OnRadioMouseUp) g.OnRadioMouseUp(&g, rc, row, index);
    }
}

// A header cell pressed and let go of in the sort row sorts, unless its
// filter button was hit or the sort event refuses.
void TExtStringGrid::Gestures::Press::SortClick(TShiftState shift, int col, int row, int x)
{
    if (g.HasColumnFilter(g.RealColIndex(col)) && row == 0 && g.CellRect(col, row).Right - x <= 16) return;
    const TSortSettings& ss = g.d->sortSettings;
    if (row != ss.Row() || In().downRow != ss.Row() || g.FixedRows() <= 0 || !ss.Show || g.RowCount() <= 2) return;
    if (col < g.FixedCols() && !ss.FixedCols) return;
    bool doSort = true;
    if (g.OnCanSort) g.OnCanSort(&g, g.RealColIndex(col), doSort);
    if (doSort) g.SortOnHeaderClick(g.RealColIndex(col), shift);
}

// ---------------------------------------------------------------------------
// The selection resizer

// The copied cells fill the selection the drag made. Swept above or left of
// them, the series runs back from them instead: a paste at the top-left
// would write over cells the user never swept.
void TExtStringGrid::Gestures::FillHandle::AfterGridUp(TShiftState shift, int x, int y)
{
    Press::AfterGridUp(shift, x, y);
    const TGridRect swept = g.Selection();
    if (swept.Top < m_source.Top || swept.Left < m_source.Left) {
        if (g.d->navigation.AllowSmartClipboard)
            g.SmartFill((m_source.Right - m_source.Left + 1) * (m_source.Bottom - m_source.Top + 1), m_source);
    } else {
        g.PasteSelectionFromClipboard();
    }
}

// ---------------------------------------------------------------------------
// The armed OLE drag

bool TExtStringGrid::Gestures::DragStart::Track(int col, int row, int x, int y)
{
    if (!m_armed || col < 0 || row < 0) return true;
    const TGridInputState& in = In();
    const bool far = std::abs(x - in.downPos.X) >= kDragDistance || std::abs(y - in.downPos.Y) >= kDragDistance;
    if (!far || !g.d->dragDropSettings.OleDropSource) return true;
    m_armed = false;
    bool allow = true;
    const int dc = in.downCol, dr = in.downRow;
    const QString text = dc >= 0 && dr >= 0 ? g.GetCellText(g.RealColIndex(dc), dr) : QString();
    if (g.OnOleDrag) g.OnOleDrag(&g, dr, dc, text, allow);
    if (!allow) {
        // Refused: the gesture selects a range instead.
        g.FocusCell(dc, dr, true);
        g.BeginSelecting();
        return true;
    }
    if (g.OnOleDragStart) g.OnOleDragStart(&g, dr);
    if (dr < g.FixedRows() && g.d->dragDropSettings.OleColumnDragDrop)
        g.StartColumnDrag(dc);
    else
        g.StartCellDrag();
    return false;
}

// A drag that never started: the click selects the cell (its row with
// goRowSelect).
void TExtStringGrid::Gestures::DragStart::Clicked(int col, int row)
{
    if (!m_armed) return;
    m_armed = false;
    if (col < 0 || row < 0) return;
    if (g.Options().Contains(TGridOption::goRowSelect))
        g.SetSelection(TGridRect(g.FixedCols(), row, g.ColCount() - 1, row));
    else
        g.FocusCell(col, row);
}

// ---------------------------------------------------------------------------
// Button cells and embedded buttons

void TExtStringGrid::Gestures::ButtonCell::Release(TShiftState shift, int x, int y)
{
    TGridInputState& in = In();
    in.cursorState = 0;
    in.buttonDown = false;
    LetGo();
    if (g.OnButtonClick) g.OnButtonClick(&g, g.RealColIndex(m_col), m_row);
    g.TBaseGrid::MouseUp(TMouseButton::mbLeft, shift, x, y);
}

void TExtStringGrid::Gestures::ButtonCell::Cancel() { LetGo(); }

// The button is drawn released and the mouse no longer held.
void TExtStringGrid::Gestures::ButtonCell::LetGo()
{
    if (TCellGraphic* graphic = g.GetCellGraphic(g.RealColIndex(m_col), m_row)) graphic->CellBoolean = false;
    g.RepaintCell(m_col, m_row);
    g.releaseMouse();
}

TExtStringGrid::Gestures::HtmlButton::HtmlButton(TExtStringGrid& grid, int col, int row)
    : Press(grid), m_col(col), m_row(row)
{
    g.d->draw.htmlButtonDown = true;
    g.RepaintCell(m_col, m_row);
}

void TExtStringGrid::Gestures::HtmlButton::Release(TShiftState shift, int x, int y)
{
    LetGo();
    Press::Release(shift, x, y);
}

void TExtStringGrid::Gestures::HtmlButton::FocusLost()
{
    if (g.d->draw.htmlButtonDown) LetGo();
}

void TExtStringGrid::Gestures::HtmlButton::LetGo()
{
    if (!m_down) return;
    m_down = false;
    g.d->draw.htmlButtonDown = false;
    g.RepaintCell(m_col, m_row);
}

// ---------------------------------------------------------------------------
// Rows or columns from their headers

bool TExtStringGrid::Gestures::HeaderSelect::Track(int col, int row, int /*x*/, int /*y*/)
{
    if (col < 0 || row < 0) return true;
    const int state = In().cursorState;
    if (m_rows && state == 2 && g.d->mouseActions.RowSelect)
        g.SetSelection(TGridRect(g.FixedCols(), std::min(m_anchor, row), g.ColCount() - 1, std::max(m_anchor, row)));
    else if (!m_rows && state == 1 && g.d->mouseActions.ColSelect)
        g.SetSelection(TGridRect(std::min(m_anchor, col), g.FixedRows(), std::max(m_anchor, col), g.RowCount() - 1));
    return true;
}
