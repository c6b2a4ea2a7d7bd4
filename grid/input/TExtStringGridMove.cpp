// Pointer moves: a move with the button held goes to the running gesture
// (input/Gestures_p.h); without one the pointer hovers: the cursor state
// that decides what a press starts, link cursors with the anchor enter and
// exit events, the sizing cursors their events let show. Then what follows
// a moved column, and a column or row the mouse sized.
#include "grid/TExtStringGrid.h"

#include "grid/TArrowWindow.h"
#include "grid/TExtStringGrid_p.h"
#include "grid/cells/TCellProperties.h"
#include "grid/input/Gestures_p.h"
#include "grid/draw/CellDrawing.h"
#include "controls/HTMLText.h"
#include "grid/input/TGridCursors.h"
#include "grid/text/CellLinks.h"
#include "grid/text/CellText.h"

#include <QCursor>
#include <algorithm>
#include <QLabel>

namespace {

// Where a column (row) index goes when another one moves from -> to.
int FollowMove(int index, int from, int to)
{
    if (index == from) return to;
    if (from < to && index > from && index <= to) return index - 1;
    if (from > to && index >= to && index < from) return index + 1;
    return index;
}

} // namespace

int TExtStringGrid::CursorState() const { return d->input.cursorState; }
int TExtStringGrid::MoveTargetCol() const { return d->input.gesture ? d->input.gesture->TargetCol() : -1; }
int TExtStringGrid::MoveTargetRow() const { return d->input.gesture ? d->input.gesture->TargetRow() : -1; }
QWidget* TExtStringGrid::MoveImage() const { return d->input.moveImage; }
QWidget* TExtStringGrid::MoveArrow(int direction) const
{
    return direction >= 0 && direction < 4 ? d->input.moveArrows[direction] : nullptr;
}
QString TExtStringGrid::SizeHintText() const { return d->input.sizeHint; }
bool TExtStringGrid::HintShowSizing() const { return d->input.hintShowSizing; }
void TExtStringGrid::SetHintShowSizing(bool value) { d->input.hintShowSizing = value; }
bool TExtStringGrid::IsDisjunctCellSelected(int col, int row) const
{
    return d->input.disjunctCells.count({col, row}) > 0;
}
int TExtStringGrid::DisjunctCellCount() const { return int(d->input.disjunctCells.size()); }

void TExtStringGrid::MouseMove(TShiftState shift, int x, int y)
{
    TGridInputState& in = d->input;
    // Held here: a handler of the gesture may let a new press replace it.
    const std::shared_ptr<TGridGesture> gesture = in.buttonDown ? in.gesture : nullptr;
    if (gesture) {
        gesture->Move(shift, x, y);
        if (const QCursor* cursor = gesture->Cursor()) ApplyCursor(cursor);
        return;
    }
    int c = -1, r = -1;
    MouseToCell(x, y, c, r);
    Gestures::Hover::Move(*this, c, r, x, y);
    Gestures::Press::FollowPointer(*this, shift, c, r, x, y);
}

void TExtStringGrid::Gestures::Hover::Move(TExtStringGrid& g, int c, int r, int x, int y)
{
    TGridInputState& in = g.d->input;
    // The border of the fixed column, over any row, sizes that column.
    in.overFixedColBorder =
        g.d->mouseActions.SizeFixedCol && g.FixedCols() > 0 && c >= 0 && r >= 0 && std::abs(x - g.ColWidths(0)) < 3;
    // The cursor state decides what a press in the headers does.
    in.cursorState = CursorStateAt(g, c, r, x, y);
    ShowCursor(g, LinkAt(g, c, r, x, y), x, y);
}

// The 4 by 4 pixel square at the bottom-right corner of the selection.
bool TExtStringGrid::Gestures::Hover::OnResizer(TExtStringGrid& g, int x, int y)
{
    const TExtStringGridPrivate& d = *g.d;
    if (!d.navigation.AllowSmartClipboard || !d.selectionResizer || !d.selectionRectangle) return false;
    const TGridRect sel = g.Selection();
    const TRect corner = g.CellRect(sel.Right, sel.Bottom);
    return !corner.IsEmpty() &&
        PointInRectInclusive(TRect(corner.Right - 4, corner.Bottom - 4, corner.Right, corner.Bottom), x, y);
}

int TExtStringGrid::Gestures::Hover::CursorStateAt(TExtStringGrid& g, int c, int r, int x, int y)
{
    if (OnResizer(g, x, y)) return 5;
    const TExtStringGridPrivate& d = *g.d;
    const TMouseActions& ma = d.mouseActions;
    if (c >= 0 && r >= 0 && c < g.FixedCols() && r < g.FixedRows() && ma.AllSelect) return 3;
    if (c >= g.FixedCols() && r >= 0 && r < g.FixedRows() && ma.ColSelect) {
        const TRect cell = g.CellRect(c, r);
        const bool border = g.Options().Contains(TGridOption::goColSizing) &&
            (x - cell.Left < kBorderMargin || cell.Right - x < kBorderMargin);
        return border ? 0 : 1;
    }
    if (r >= g.FixedRows() && c >= 0 && c < g.FixedCols() && ma.RowSelect) {
        const TRect cell = g.CellRect(c, r);
        const bool border = g.Options().Contains(TGridOption::goRowSizing) &&
            (y - cell.Top < kBorderMargin || cell.Bottom - y < kBorderMargin);
        return border ? 0 : 2;
    }
    return 0;
}

// A link under the pointer; over an HTML cell the anchor events follow the
// anchor under it.
bool TExtStringGrid::Gestures::Hover::LinkAt(TExtStringGrid& g, int c, int r, int x, int y)
{
    if (c < g.FixedCols() || r < g.FixedRows()) return false;
    TGridInputState& in = g.d->input;
    const QString text = g.GetCellText(g.RealColIndex(c), r);
    if (GetTextKind(text, g.d->enableHTML) != tkHTML) return g.d->urlShow && IsURL(text);
    const QString anchor = g.AnchorAt(c, r, x, y);
    if (!anchor.isEmpty()) {
        if (anchor != in.anchor) {
            in.anchor = anchor;
            if (g.OnAnchorEnter) g.OnAnchorEnter(&g, r, c, in.anchor);
        }
        return true;
    }
    if (!in.anchor.isEmpty()) {
        const QString was = in.anchor;
        in.anchor.clear();
        if (g.OnAnchorExit) g.OnAnchorExit(&g, r, c, was);
    }
    return false;
}

// A sizing border shows the sizing cursor unless its event refuses; a link
// and the header states show theirs; else the grid's own cursor.
void TExtStringGrid::Gestures::Hover::ShowCursor(TExtStringGrid& g, bool link, int x, int y)
{
    const TGridInputState& in = g.d->input;
    TGridState sizing = TGridState::gsNormal;
    int sizingIndex = -1;
    g.CalcSizingState(x, y, sizing, sizingIndex);
    QCursor cursor;
    if (in.overFixedColBorder || sizing == TGridState::gsColSizing)
        cursor = QCursor(Qt::SplitHCursor);
    else if (sizing == TGridState::gsRowSizing)
        cursor = QCursor(Qt::SplitVCursor);
    else if (link)
        cursor = TGridCursors::Cursor(TGridCursors::crLink);
    else if (in.cursorState == 1)
        cursor = TGridCursors::Cursor(TGridCursors::crColSelect);
    else if (in.cursorState == 2)
        cursor = TGridCursors::Cursor(TGridCursors::crRowSelect);
    else if (in.cursorState == 3 || in.cursorState == 5)
        cursor = TGridCursors::Cursor(TGridCursors::crSelectAll);
    const bool gridCursor = in.overFixedColBorder || sizing != TGridState::gsNormal || link || in.cursorState != 0;
    g.ApplyCursor(gridCursor ? &cursor : nullptr);
}

void TExtStringGrid::ApplyCursor(const QCursor* cursor)
{
    TGridInputState& in = d->input;
    in.settingCursor = true;
    if (cursor)
        setCursor(*cursor);
    else if (in.hasOwnCursor)
        setCursor(in.ownCursor);
    else
        unsetCursor();
    in.settingCursor = false;
}

void TExtStringGrid::CalcSizingState(int x, int y, TGridState& state, int& index)
{
    TBaseGrid::CalcSizingState(x, y, state, index);
    int c = -1, r = -1;
    bool allow = true;
    if (state == TGridState::gsColSizing) {
        MouseToCell(x - 6, y, c, r);
        if (r == 0 && c >= 0 && OnColumnSize) OnColumnSize(this, c, allow);
    } else if (state == TGridState::gsRowSizing) {
        MouseToCell(x, y - 6, c, r);
        if (c == 0 && r >= 0 && OnRowSize) OnRowSize(this, r, allow);
    }
    if (!allow) {
        state = TGridState::gsNormal;
        index = -1;
    }
}

void TExtStringGrid::ColWidthsChanged()
{
    if (d->scroll.stretchGuard && d->columnSize.Stretch && d->columnSize.StretchColumn < ColCount())
        StretchColumn(d->columnSize.StretchColumn);
    TBaseGrid::ColWidthsChanged();
    // Held here: the end-of-sizing event may let a new press replace it.
    if (const std::shared_ptr<TGridGesture> gesture = d->input.gesture) gesture->ColWidthsChanged();
}

void TExtStringGrid::RowHeightsChanged()
{
    TBaseGrid::RowHeightsChanged();
    if (const std::shared_ptr<TGridGesture> gesture = d->input.gesture) gesture->RowHeightsChanged();
}

void TExtStringGrid::ColumnMoved(int fromIndex, int toIndex)
{
    // The indexes moved are displayed columns; the cells move by real
    // column, and the hidden columns' flags and widths move with them, so
    // a hidden column stays hidden with its own data.
    if (NumHiddenColumns() > 0) {
        const int realFrom = RealColIndex(fromIndex);
        const int realTo = RealColIndex(toIndex);
        if (realFrom >= 0 && realTo >= 0) {
            fromIndex = realFrom;
            toIndex = realTo;
            d->hidden.columns.MoveColumn(fromIndex, toIndex);
        }
    }
    TBaseGrid::ColumnMoved(fromIndex, toIndex);
    d->hidden.rows.ColumnMoved(fromIndex, toIndex);
    TCellProperties::FollowMovedCells(*this, std::min(fromIndex, toIndex), 0, std::max(fromIndex, toIndex),
                                      StoreRows() - 1);
    d->input.dblClickSized = d->input.buttonDown; // the release that ends the move never sorts
    TSortSettings& ss = d->sortSettings;
    ss.Column = FollowMove(ss.Column, fromIndex, toIndex);
    TSortIndexList& list = SortIndexes();
    for (int i = 0; i < list.Count(); ++i) {
        const int entry = list.Item(i);
        const int col = FollowMove(TSortIndexList::ColumnOf(entry), fromIndex, toIndex);
        list.SetItem(i, int(unsigned(col) | (unsigned(entry) & TSortIndexList::DescendingBit)));
    }
}
