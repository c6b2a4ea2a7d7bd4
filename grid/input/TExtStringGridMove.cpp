// Pointer moves: selections started in the headers, the OLE drag start,
// the cursor state that decides what a header click does, link cursors
// with the anchor enter and exit events, sizing vetoes and the live size
// hint, the disjunct cell selection, and what follows a moved column or row.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/TArrowWindow.h"
#include "grid/TFooterPanel.h"
#include "grid/THTMLHintWindow.h"
#include "grid/cells/TCellProperties.h"
#include "grid/draw/CellDrawing.h"
#include "controls/HTMLText.h"
#include "grid/input/TGridCursors.h"
#include "grid/text/CellLinks.h"
#include "grid/text/CellText.h"
#include "platform/core/FloatFormat.h"

#include <QCursor>
#include <algorithm>
#include <QLabel>
#include <QPixmap>

namespace {

constexpr int kDragDistance = 4;
constexpr int kBorderMargin = 4;

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
int TExtStringGrid::MoveTargetCol() const { return d->input.moveTargetCol; }
int TExtStringGrid::MoveTargetRow() const { return d->input.moveTargetRow; }
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
    if (in.buttonDown && d->mouseActions.RangeSelectAndEdit && Options().Contains(TGridOption::goEditing))
        SetOptions(Options() - TGridOption::goEditing);

    int c = -1, r = -1;
    MouseToCell(x, y, c, r);

    // Selections started in the headers follow the pointer.
    if (in.buttonDown && in.selectAnchor >= 0 && c >= 0 && r >= 0) {
        if (in.cursorState == 2 && d->mouseActions.RowSelect)
            SetSelection(
                TGridRect(FixedCols(), std::min(in.selectAnchor, r), ColCount() - 1, std::max(in.selectAnchor, r)));
        else if (in.cursorState == 1 && d->mouseActions.ColSelect)
            SetSelection(
                TGridRect(std::min(in.selectAnchor, c), FixedRows(), std::max(in.selectAnchor, c), RowCount() - 1));
    }

    // The border of the fixed column, over any row, sizes that column.
    if (!in.buttonDown)
        in.overFixedColBorder =
            d->mouseActions.SizeFixedCol && FixedCols() > 0 && c >= 0 && r >= 0 && std::abs(x - ColWidths(0)) < 3;
    if (in.fixedColSizing && x != in.fixedColX) {
        DrawSizingLine(in.fixedColX);
        in.fixedColX = x;
        DrawSizingLine(x);
    }

    // The OLE drag starts once the pointer left the press point.
    if (in.oleDragArmed && c >= 0 && r >= 0) {
        const bool far = std::abs(x - in.downPos.X) >= kDragDistance || std::abs(y - in.downPos.Y) >= kDragDistance;
        if (far && d->dragDropSettings.OleDropSource) {
            in.oleDragArmed = false;
            bool allow = true;
            const int dc = in.downCol, dr = in.downRow;
            const QString text = dc >= 0 && dr >= 0 ? GetCellText(RealColIndex(dc), dr) : QString();
            if (OnOleDrag) OnOleDrag(this, dr, dc, text, allow);
            if (allow) {
                if (OnOleDragStart) OnOleDragStart(this, dr);
                const bool column = dr < FixedRows() && d->dragDropSettings.OleColumnDragDrop;
                if (column)
                    StartColumnDrag(dc);
                else
                    StartCellDrag();
                return;
            }
            // Refused: the gesture selects a range instead.
            FocusCell(dc, dr, true);
            BeginSelecting();
        }
    }

    if (!in.buttonDown) {
        // The cursor state decides what a press in the headers does.
        in.cursorState = 0;
        const TGridRect sel = Selection();
        const TRect corner = CellRect(sel.Right, sel.Bottom);
        const bool onResizer = d->navigation.AllowSmartClipboard && d->selectionResizer && d->selectionRectangle &&
            !corner.IsEmpty() &&
            PointInRectInclusive(TRect(corner.Right - 4, corner.Bottom - 4, corner.Right, corner.Bottom), x, y);
        const bool nearColBorder = [&] {
            if (c < 0 || !Options().Contains(TGridOption::goColSizing)) return false;
            const TRect cell = CellRect(c, std::max(r, 0));
            return x - cell.Left < kBorderMargin || cell.Right - x < kBorderMargin;
        }();
        const bool nearRowBorder = [&] {
            if (r < 0 || !Options().Contains(TGridOption::goRowSizing)) return false;
            const TRect cell = CellRect(std::max(c, 0), r);
            return y - cell.Top < kBorderMargin || cell.Bottom - y < kBorderMargin;
        }();
        if (onResizer)
            in.cursorState = 5;
        else if (c >= 0 && r >= 0 && c < FixedCols() && r < FixedRows() && d->mouseActions.AllSelect)
            in.cursorState = 3;
        else if (c >= FixedCols() && r >= 0 && r < FixedRows() && d->mouseActions.ColSelect && !nearColBorder)
            in.cursorState = 1;
        else if (r >= FixedRows() && c >= 0 && c < FixedCols() && d->mouseActions.RowSelect && !nearRowBorder)
            in.cursorState = 2;

        // Links under the pointer.
        bool link = false;
        if (c >= FixedCols() && r >= FixedRows()) {
            const int rc = RealColIndex(c);
            const QString text = GetCellText(rc, r);
            if (GetTextKind(text, d->enableHTML) == tkHTML) {
                const QString anchor = AnchorAt(c, r, x, y);
                if (!anchor.isEmpty()) {
                    link = true;
                    if (anchor != in.anchor) {
                        in.anchor = anchor;
                        if (OnAnchorEnter) OnAnchorEnter(this, r, c, in.anchor);
                    }
                } else if (!in.anchor.isEmpty()) {
                    const QString was = in.anchor;
                    in.anchor.clear();
                    if (OnAnchorExit) OnAnchorExit(this, r, c, was);
                }
            } else if (d->urlShow && IsURL(text)) {
                link = true;
            }
        }
        // A sizing border shows the sizing cursor unless its event refuses.
        TGridState sizing = TGridState::gsNormal;
        int sizingIndex = -1;
        CalcSizingState(x, y, sizing, sizingIndex);
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
        ApplyCursor(gridCursor ? &cursor : nullptr);
    }

    // The hint of the cell left behind goes; the new cell's may show.
    if (in.hoverCell.X >= 0 && (c != in.hoverCell.X || r != in.hoverCell.Y)) {
        HideCellHint();
        in.hoverCell = TPoint(c, r);
    }

    if (in.buttonDown) TrackMove(x, y);
    const TGridRect before = Selection();
    TBaseGrid::MouseMove(shift, x, y);
    if (d->selectionRectangle && !(Selection() == before)) InvalidateGrid();

    // The live size hint of a column or row being sized.
    if (in.buttonDown && in.sizingCol >= 0) {
        const int w = std::max(0, x - CellBounds(in.sizingCol, 0).Left);
        in.sizeHint = QStringLiteral("cw=<b>%1</b>").arg(w);
    } else if (in.buttonDown && in.sizingRow >= 0) {
        const int h = std::max(0, y - CellBounds(0, in.sizingRow).Top);
        in.sizeHint = QStringLiteral("rh=<b>%1</b>").arg(h);
    } else if (in.fixedColSizing) {
        in.sizeHint = QStringLiteral("cw=<b>%1</b>").arg(x);
    } else {
        return;
    }
    if (in.hintShowSizing) {
        const QPoint at = mapToGlobal(ClientOrigin() + QPoint(x, y));
        HintWindow()->SetColor(d->hintColor);
        HintWindow()->ActivateHint(TRect(at.x(), at.y(), at.x(), at.y()), in.sizeHint);
    }
}

void TExtStringGrid::TrackMove(int x, int y)
{
    TGridInputState& in = d->input;
    const int movingCol = MovingCol();
    const int movingRow = MovingRow();
    if (!in.enhRowColMove || (movingCol < 0 && movingRow < 0)) return;
    if (x == in.downPos.X && y == in.downPos.Y) return;
    const bool column = movingCol >= 0;

    // The view scrolls while the pointer is past the fixed part or the edge.
    const int leftCol = LeftCol();
    const int topRow = TopRow();
    if (column) {
        if (x < FixedWidth() && LeftCol() > FixedCols())
            SetLeftCol(LeftCol() - 1);
        else if (x > ClientWidth() && LeftCol() + VisibleColCount() < ColCount())
            SetLeftCol(LeftCol() + 1);
    } else {
        if (y < FixedHeight() && TopRow() > FixedRows())
            SetTopRow(TopRow() - 1);
        else if (y > ClientHeight() && TopRow() + VisibleRowCount() < RowCount())
            SetTopRow(TopRow() + 1);
    }
    if (LeftCol() != leftCol || TopRow() != topRow) repaint();

    // The gap before the target: its leading edge, or its trailing edge
    // less 5 pixels when it lies past the moved one.
    auto arrow = [&](int dir) {
        if (!in.moveArrows[dir]) in.moveArrows[dir] = new TArrowWindow(this, dir);
        return in.moveArrows[dir];
    };
    if (column) {
        int c = -1, r = -1;
        MouseToCell(std::clamp(x, FixedWidth(), std::max(FixedWidth(), ClientWidth() - 1)), 0, c, r);
        if (c >= FixedCols()) {
            in.moveTargetCol = c;
            const TRect cell = CellRect(c, 0);
            const int gap = c > movingCol ? cell.Right - 5 : cell.Left;
            TArrowWindow* down = arrow(1);
            TArrowWindow* up = arrow(0);
            down->move(mapToGlobal(ClientOrigin() + QPoint(gap - down->width() / 2, -down->height())));
            up->move(mapToGlobal(ClientOrigin() + QPoint(gap - up->width() / 2, FixedHeight())));
            down->show();
            up->show();
        }
    } else {
        int c = -1, r = -1;
        MouseToCell(0, std::clamp(y, FixedHeight(), std::max(FixedHeight(), ClientHeight() - 1)), c, r);
        if (r >= FixedRows()) {
            in.moveTargetRow = r;
            const TRect cell = CellRect(0, r);
            const int gap = r > movingRow ? cell.Bottom - 5 : cell.Top;
            TArrowWindow* right = arrow(2);
            TArrowWindow* left = arrow(3);
            right->move(mapToGlobal(ClientOrigin() + QPoint(-right->width(), gap - right->height() / 2)));
            left->move(mapToGlobal(ClientOrigin() + QPoint(FixedWidth(), gap - left->height() / 2)));
            right->show();
            left->show();
        }
    }

    // The image of the moved header cell follows the pointer.
    if (!in.moveImage) {
        in.moveImage = new QLabel(this, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
        in.moveImage->setAttribute(Qt::WA_ShowWithoutActivating);
    }
    if (!in.moveImage->isVisible()) {
        const int rc = RealColIndex(column ? movingCol : 0);
        const QString text = rc >= 0 ? HTMLStrip(GetCellText(rc, column ? 0 : movingRow)) : QString();
        const QPixmap image = column ? DragImage(text, ColWidths(movingCol), RowHeights(0))
                                     : DragImage(text, ColWidths(0), RowHeights(movingRow));
        in.moveImage->setPixmap(image);
        in.moveImage->resize(image.size());
    }
    const QPoint at = mapToGlobal(ClientOrigin() + QPoint(x, y));
    in.moveImage->move(at.x() - in.moveImage->width() / 2, at.y() - in.moveImage->height() / 2);
    in.moveImage->show();
    const QCursor drag(Qt::DragMoveCursor);
    ApplyCursor(&drag);
}

void TExtStringGrid::EndMoveMarks()
{
    TGridInputState& in = d->input;
    const bool shown = in.moveImage && in.moveImage->isVisible();
    for (TArrowWindow* a : in.moveArrows)
        if (a) a->hide();
    if (in.moveImage) in.moveImage->hide();
    in.moveTargetCol = in.moveTargetRow = -1;
    if (shown) ApplyCursor(nullptr);
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

// A press at a sizing border asks the sizing events first; a refusal keeps
// the column (row) as it is.
bool TExtStringGrid::VetoSizing(int x, int y)
{
    TGridInputState& in = d->input;
    in.sizingCol = in.sizingRow = -1;
    in.sizingPending = false;
    int c = -1, r = -1;
    if (Options().Contains(TGridOption::goColSizing)) {
        MouseToCell(x - 6, y, c, r);
        if (r == 0 && c >= 0 && c < ColCount()) {
            const TRect cell = CellBounds(c, r);
            if (std::abs(x - cell.Right) <= kBorderMargin) {
                bool allow = true;
                if (OnColumnSize) OnColumnSize(this, c, allow);
                if (!allow) return true;
                in.sizingCol = c;
                in.sizingWidth = ColWidths(c);
                in.sizingPending = true;
            }
        }
    }
    if (Options().Contains(TGridOption::goRowSizing) && in.sizingCol < 0) {
        MouseToCell(x, y - 6, c, r);
        if (c == 0 && r >= 0 && r < RowCount()) {
            const TRect cell = CellBounds(c, r);
            if (std::abs(y - cell.Bottom) <= kBorderMargin) {
                bool allow = true;
                if (OnRowSize) OnRowSize(this, r, allow);
                if (!allow) return true;
                in.sizingRow = r;
                in.sizingHeight = RowHeights(r);
                in.sizingPending = true;
            }
        }
    }
    // A move of a column (row) by its header asks first as well.
    MouseToCell(x, y, c, r);
    if (c >= FixedCols() && r >= 0 && r < FixedRows() && Options().Contains(TGridOption::goColMoving) &&
        in.sizingCol < 0) {
        bool allow = true;
        if (OnColumnMove) OnColumnMove(this, c, allow);
        if (!allow) return true;
    }
    if (r >= FixedRows() && c >= 0 && c < FixedCols() && Options().Contains(TGridOption::goRowMoving) &&
        in.sizingRow < 0) {
        bool allow = true;
        if (OnRowMove) OnRowMove(this, r, allow);
        if (!allow) return true;
    }
    return false;
}

void TExtStringGrid::ColWidthsChanged()
{
    if (d->scroll.stretchGuard && d->columnSize.Stretch && d->columnSize.StretchColumn < ColCount())
        StretchColumn(d->columnSize.StretchColumn);
    TBaseGrid::ColWidthsChanged();
    TGridInputState& in = d->input;
    const int col = in.sizingCol;
    if (!in.sizingPending || col < 0 || col >= ColCount()) return;
    // Off while the steps below set widths of their own.
    in.sizingPending = false;
    if (d->mouseActions.AllColumnSize && in.sizingWidth >= 1) {
        const double f = double(ColWidths(col)) / in.sizingWidth;
        for (int c = FixedCols(); c < ColCount(); ++c)
            if (c != col) SetColWidths(c, int(Round(ColWidths(c) * f)));
    }
    if (OnEndColumnSize) OnEndColumnSize(this, col);
    int width = ColWidths(col);
    UpdateColumnSize(RealColIndex(col), width);
    if (width != ColWidths(col)) SetColWidths(col, width);
    if (d->footer.panel) d->footer.panel->update();
}

void TExtStringGrid::RowHeightsChanged()
{
    TBaseGrid::RowHeightsChanged();
    TGridInputState& in = d->input;
    const int row = in.sizingRow;
    if (!in.sizingPending || row < 0 || row >= RowCount()) return;
    in.sizingPending = false;
    if (d->mouseActions.AllRowSize && in.sizingHeight >= 1) {
        const double f = double(RowHeights(row)) / in.sizingHeight;
        for (int r = FixedRows(); r < RowCount(); ++r)
            if (r != row) SetRowHeights(r, int(Round(RowHeights(r) * f)));
    }
    if (OnEndRowSize) OnEndRowSize(this, row);
}

// A sizing released outside the control is dropped before the new width
// (height) is set: it gets none of the end-of-sizing steps.
void TExtStringGrid::DropSizingOutside(int x, int y)
{
    TGridInputState& in = d->input;
    if ((in.sizingCol >= 0 && x > ClientWidth()) || (in.sizingRow >= 0 && y > ClientHeight())) in.sizingPending = false;
}

// After the release: a sizing that ended outside the control is undone,
// and the disjunct cell selection follows the click.
void TExtStringGrid::EndSizingAndCellMarks(TShiftState shift, int x, int y)
{
    TGridInputState& in = d->input;
    in.sizingPending = false;
    if (in.sizingCol >= 0 && x > ClientWidth()) SetColWidths(in.sizingCol, in.sizingWidth);
    if (in.sizingRow >= 0 && y > ClientHeight()) SetRowHeights(in.sizingRow, in.sizingHeight);
    const bool sized = in.sizingCol >= 0 || in.sizingRow >= 0;
    in.sizingCol = in.sizingRow = -1;
    in.sizeHint.clear();
    if (sized && d->footer.hint) d->footer.hint->hide();

    if (!d->mouseActions.DisjunctCellSelect || sized) return;
    int c = -1, r = -1;
    MouseToCell(x, y, c, r);
    if (c < 0 || r < 0 || IsFixed(c, r)) return;
    auto& cells = in.disjunctCells;
    if (shift.Contains(TShiftStateItem::ssCtrl)) {
        if (!cells.erase({c, r})) cells.insert({c, r});
    } else {
        // The cells picked before lose their selection look.
        for (const auto& [col, row] : cells) RepaintCell(col, row);
        cells.clear();
        cells.insert({c, r});
    }
    const TGridRect sel = Selection();
    if (sel.Right > sel.Left || sel.Bottom > sel.Top)
        for (int row = sel.Top; row <= sel.Bottom; ++row)
            for (int col = sel.Left; col <= sel.Right; ++col) cells.insert({col, row});
    RepaintCell(c, r);
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
