// Pointer moves: selections started in the headers, the OLE drag start,
// the cursor state that decides what a header click does, link cursors
// with the anchor enter and exit events, sizing vetoes and the live size
// hint, the disjunct cell selection, and what follows a moved column or row.
#include "grid/TExtStringGrid.h"

#include "controls/HTMLDraw.h"
#include "grid/TExtStringGrid_p.h"
#include "grid/util/CellText.h"
#include "grid/util/TextFunctions.h"
#include "platform/graphics/PainterCanvas.h"

#include <QCursor>
#include <QImage>
#include <QToolTip>

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
            SetSelection(TGridRect(FixedCols(), std::min(in.selectAnchor, r), ColCount() - 1,
                                   std::max(in.selectAnchor, r)));
        else if (in.cursorState == 1 && d->mouseActions.ColSelect)
            SetSelection(TGridRect(std::min(in.selectAnchor, c), FixedRows(), std::max(in.selectAnchor, c),
                                   RowCount() - 1));
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
                StartDragSeam(column);
                return;
            }
            // Refused: the gesture selects a range instead.
            FocusCell(dc, dr, true);
        }
    }

    if (!in.buttonDown) {
        // The cursor state decides what a press in the headers does.
        in.cursorState = 0;
        const TGridRect sel = Selection();
        const TRect corner = CellRect(sel.Right, sel.Bottom);
        const bool onResizer = d->navigation.AllowSmartClipboard && d->selectionResizer && d->selectionRectangle &&
                               !corner.IsEmpty() && x >= corner.Right - 4 && x <= corner.Right &&
                               y >= corner.Bottom - 4 && y <= corner.Bottom;
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
        if (onResizer) in.cursorState = 5;
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
                TRect rect = GetCellRect(c, r);
                rect.Left += 1 + d->draw.marginX;
                rect.Top += 1 + d->draw.marginY;
                if (IsCheckBoxCell(rc, r)) rect.Left += d->controlLook.CheckSize;
                QImage image(1, 1, QImage::Format_RGB32);
                TPainterCanvas canvas(&image);
                canvas.Font() = Font();
                THTMLDrawOptions o;
                o.XPos = x;
                o.YPos = y;
                o.CheckHotSpot = true;
                o.Images = d->gridImages;
                o.PictureCache = d->draw.pictureCache.get();
                o.PictureContainer = d->pictureContainer;
                THTMLDrawResults res;
                const bool hit = HTMLDraw(canvas, text, rect, o, res) && !res.AnchorVal.isEmpty();
                if (hit) {
                    link = true;
                    if (res.AnchorVal != in.anchor) {
                        in.anchor = res.AnchorVal;
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
        if (link) setCursor(Qt::PointingHandCursor);
        else if (in.cursorState == 1) setCursor(Qt::SizeVerCursor);
        else if (in.cursorState == 2) setCursor(Qt::SizeHorCursor);
        else if (in.cursorState == 3 || in.cursorState == 5) setCursor(Qt::CrossCursor);
        else unsetCursor();
    }

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
    } else {
        return;
    }
    if (in.hintShowSizing) QToolTip::showText(mapToGlobal(QPoint(x, y)), in.sizeHint, this);
}

// A press at a sizing border asks the sizing events first; a refusal keeps
// the column (row) as it is.
bool TExtStringGrid::VetoSizing(int x, int y)
{
    TGridInputState& in = d->input;
    in.sizingCol = in.sizingRow = -1;
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
            }
        }
    }
    // A move of a column (row) by its header asks first as well.
    MouseToCell(x, y, c, r);
    if (c >= FixedCols() && r >= 0 && r < FixedRows() && Options().Contains(TGridOption::goColMoving) && in.sizingCol < 0) {
        bool allow = true;
        if (OnColumnMove) OnColumnMove(this, c, allow);
        if (!allow) return true;
    }
    if (r >= FixedRows() && c >= 0 && c < FixedCols() && Options().Contains(TGridOption::goRowMoving) && in.sizingRow < 0) {
        bool allow = true;
        if (OnRowMove) OnRowMove(this, r, allow);
        if (!allow) return true;
    }
    return false;
}

// After the release: a sizing that ended outside the control is dropped,
// and the disjunct cell selection follows the click.
void TExtStringGrid::EndSizingAndCellMarks(TShiftState shift, int x, int y)
{
    TGridInputState& in = d->input;
    if (in.sizingCol >= 0 && x > ClientWidth()) SetColWidths(in.sizingCol, in.sizingWidth);
    if (in.sizingRow >= 0 && y > ClientHeight()) SetRowHeights(in.sizingRow, in.sizingHeight);
    const bool sized = in.sizingCol >= 0 || in.sizingRow >= 0;
    in.sizingCol = in.sizingRow = -1;
    in.sizeHint.clear();
    if (sized) QToolTip::hideText();

    if (!d->mouseActions.DisjunctCellSelect || sized) return;
    int c = -1, r = -1;
    MouseToCell(x, y, c, r);
    if (c < 0 || r < 0 || IsFixed(c, r)) return;
    auto& cells = in.disjunctCells;
    if (shift.Contains(TShiftStateItem::ssCtrl)) {
        if (!cells.erase({c, r})) cells.insert({c, r});
    } else {
        cells.clear();
        cells.insert({c, r});
        InvalidateGrid();
    }
    const TGridRect sel = Selection();
    if (sel.Right > sel.Left || sel.Bottom > sel.Top)
        for (int row = sel.Top; row <= sel.Bottom; ++row)
            for (int col = sel.Left; col <= sel.Right; ++col) cells.insert({col, row});
    RepaintCell(c, r);
}

void TExtStringGrid::ColumnMoved(int fromIndex, int toIndex)
{
    TBaseGrid::ColumnMoved(fromIndex, toIndex);
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


// ----- Drag seam. The drag objects live in grid/io/; until they stand on
// this branch an allowed drag start ends here.
void TExtStringGrid::StartDragSeam(bool) {}
