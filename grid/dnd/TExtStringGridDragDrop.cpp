// Drag and drop: the grid as a drop target for text, rich text, a dragged
// column and a dropped file, and as the source of its selected cells.
#include "grid/TExtStringGrid.h"

#include "grid/TArrowWindow.h"
#include "grid/TExtStringGrid_p.h"
#include "grid/dnd/TGridDropSource.h"
#include "grid/dnd/TGridDropTarget.h"
#include "grid/io/TBlockBudget.h"
#include "grid/io/TObjectReader.h"
#include "grid/io/TextPaste_p.h"
#include "grid/text/CellText.h"
#include "controls/HTMLText.h"
#include "platform/clipboard/DragDrop.h"
#include "platform/graphics/PainterCanvas.h"

#include <QImage>
#include <QPixmap>
#include <algorithm>

namespace {

// Lines and fields of a text as a paste counts them.
void TextShape(const QString& text, int& lines, int& fields)
{
    lines = 0;
    fields = 0;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') ++end;
        ++lines;
        fields = std::max(fields, int(QStringView(text).mid(start, end - start).count(u'\t')) + 1);
        if (end >= text.size()) break;
        start = end + ((text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ? 2 : 1);
    }
}

struct TDropShape {
    int lines = 0;
    int fields = 0;
};

// The dropped text's shape, checked as its paste will check it before any
// row is added: text past the caps takes nothing, not even the rows.
TDropShape CheckedDropShape(const QString& text, bool insert)
{
    TDropShape shape;
    TextShape(text, shape.lines, shape.fields);
    TBlockBudget budget;
    budget.Claim(shape.fields, shape.lines);
    if (insert) budget.Rows(shape.lines);
    if (!budget.Fits()) throw EReadError(budget.Refusal(QStringLiteral("The dropped text")));
    return shape;
}

// The rows a text drop adds, taken out again (with the top row and the
// remembered drag block as they were) when its paste fails or takes
// nothing.
class TDropRows {
public:
    // A drop on the fixed row of a grid of that row alone goes to a new
    // row below it.
    TDropRows(TExtStringGrid& grid, int& row)
        : m_grid(grid), m_oldRows(grid.RowCount()), m_oldTop(grid.TopRow()), m_oldDragRect(grid.OleDragRect())
    {
        if (row == 0 && grid.RowCount() == 1 && grid.FixedRowAlways()) {
            grid.SetRowCount(2);
            row = 1;
        }
        m_row = row;
        m_grown = grid.RowCount() - m_oldRows;
    }
    // Pastes the text at column col of the drop row, lines rows inserted
    // there first when insert is set; the fields pasted.
    int Paste(int col, const QString& text, int lines, bool insert)
    {
        int pasted = 0;
        try {
            if (insert) Insert(lines);
            FollowDragRect();
            pasted = m_grid.PasteText(col, m_row, text);
        } catch (...) {
            RollBack();
            throw;
        }
        if (pasted == 0) RollBack();
        return pasted;
    }

private:
    // All the rows in one step; the rows on view stay.
    void Insert(int lines)
    {
        const int before = m_grid.RowCount();
        m_grid.InsertRows(m_row, lines);
        m_inserted = m_grid.RowCount() - before;
        m_grid.SetTopRow(std::min(m_grid.RowCount() - 1, m_oldTop > m_grid.FixedRows() ? m_oldTop + 1 : m_oldTop));
    }
    // The block dragged out of this grid, which a move removes or clears
    // afterwards, follows the rows really inserted: down by them when they
    // went in above it; grown by them when they went in inside it, where
    // the drop itself fills them and keeps them.
    void FollowDragRect()
    {
        TRect r = m_grid.OleDragRect();
        if (r.Top < 0 || m_inserted <= 0 || m_row > r.Bottom) return;
        if (m_row <= r.Top) r.Top += m_inserted;
        r.Bottom += m_inserted;
        m_grid.SetOleDragRect(r);
    }
    void RollBack()
    {
        if (m_inserted > 0) m_grid.RemoveRows(m_row, m_inserted);
        if (m_grown > 0) m_grid.SetRowCount(m_oldRows);
        m_grid.SetTopRow(std::min(m_grid.RowCount() - 1, m_oldTop));
        m_grid.SetOleDragRect(m_oldDragRect);
    }

    TExtStringGrid& m_grid;
    const int m_oldRows;
    const int m_oldTop;
    const TRect m_oldDragRect;
    int m_row = 0;
    int m_grown = 0;
    int m_inserted = 0;
};

} // namespace

void TExtStringGrid::SetOleDropTarget(bool value)
{
    d->dragDropSettings.OleDropTarget = value;
    if (value) {
        if (!d->dnd.target) d->dnd.target = new TGridDropTarget(this);
        d->dnd.target->Register(this);
    } else if (d->dnd.target) {
        d->dnd.target->Revoke();
    }
    setAcceptDrops(value);
}

void TExtStringGrid::SetOleDropRTF(bool value)
{
    // Whether drags offer rich text and drops take it.
    SetDropFormatFlag(value);
    d->dragDropSettings.OleDropRTF = value;
}

TRect TExtStringGrid::OleDragRect() const { return d->dnd.dragRect; }
void TExtStringGrid::SetOleDragRect(const TRect& value) { d->dnd.dragRect = value; }
TRect TExtStringGrid::LastDropRect() const { return d->dnd.dropRect; }

QString TExtStringGrid::SelectionAsDragText()
{
    TGridRect s = Selection();
    if (Options().Contains(TGridOption::goRowSelect) && d->dragDropSettings.OleEntireRows) {
        s.Left = 0;
        s.Right = ColCount() - 1;
    }
    if (d->mouseActions.DisjunctRowSelect) {
        s.Top = FixedRows();
        s.Bottom = RowCount() - 1;
    }
    const QString text = RectAsText(TRect(s.Left, s.Top, s.Right, s.Bottom), d->mouseActions.DisjunctRowSelect);
    // A drag carries no line end after the last row.
    return text.endsWith(QStringLiteral("\r\n")) ? text.chopped(2) : text;
}

void TExtStringGrid::HideDropMarkers()
{
    for (QWidget* w : {d->dnd.rowArrow, d->dnd.colArrowTop, d->dnd.colArrowBottom})
        if (w) w->hide();
}

bool TExtStringGrid::DragOver(int x, int y, bool columnDrag)
{
    int col = -1;
    int row = -1;
    MouseToCell(x, y, col, row);
    bool allow = col >= 0 && row >= 0;
    if (!columnDrag && allow) {
        // Scrolling near the edges while cells are dragged.
        if (row == 0 && TopRow() > FixedRows())
            SetTopRow(TopRow() - 1);
        else if (row == TopRow() + VisibleRowCount() && row < RowCount())
            SetTopRow(TopRow() + 1);
    }
    if (allow) {
        if (columnDrag) {
            allow = row < FixedRows() && col >= FixedCols();
        } else if (row < FixedRows()) {
            allow = d->fixedRowAlways && RowCount() == 1;
        }
    }
    if (OnOleDragOver) OnOleDragOver(this, row, col, allow);
    HideDropMarkers();
    if (allow && !columnDrag) {
        if (!d->dnd.rowArrow) d->dnd.rowArrow = new TArrowWindow(this, 2);
        const int markRow = (row == 0 && d->fixedRowAlways) ? std::min(1, RowCount() - 1) : row;
        const TRect r = CellRect(d->dragDropSettings.OleEntireRows ? FixedCols() : col, markRow);
        const QPoint at = mapToGlobal(ClientOrigin() + QPoint(x - 10 - d->dnd.rowArrow->width(), r.Top));
        d->dnd.rowArrow->move(at);
        d->dnd.rowArrow->show();
    } else if (allow) {
        if (!d->dnd.colArrowTop) d->dnd.colArrowTop = new TArrowWindow(this, 1);
        if (!d->dnd.colArrowBottom) d->dnd.colArrowBottom = new TArrowWindow(this, 0);
        const TRect r = CellRect(col, 0);
        d->dnd.colArrowTop->move(mapToGlobal(ClientOrigin() + QPoint(r.Left - d->dnd.colArrowTop->width() / 2, -8)));
        d->dnd.colArrowBottom->move(
            mapToGlobal(ClientOrigin() + QPoint(r.Left - d->dnd.colArrowBottom->width() / 2, FixedRowsHeight())));
        d->dnd.colArrowTop->show();
        d->dnd.colArrowBottom->show();
    }
    return allow;
}

void TExtStringGrid::DragLeave() { HideDropMarkers(); }

int TExtStringGrid::DropText(int x, int y, const QString& text)
{
    HideDropMarkers();
    d->dnd.dropRect = TRect(-1, -1, -1, -1);
    int col = -1;
    int row = -1;
    MouseToCell(x, y, col, row);
    if (col < 0 || row < 0) return 0;
    const bool insert = d->dragDropSettings.OleInsertRows;
    const TDropShape shape = CheckedDropShape(text, insert);
    if (!TakesTextPaste(*this)) return 0;
    if (Options().Contains(TGridOption::goRowSelect)) col = d->dragDropSettings.OleEntireRows ? 0 : FixedCols();
    bool allow = true;
    if (OnOleDrop) OnOleDrop(this, row, col, text, allow);
    if (!allow || shape.lines == 0) return 0;

    // An edit in progress ends in its own cell before the drop changes
    // cells and moves the current one.
    CloseEditorControl();
    HideEditor();
    const TUpdateScope update(*this);
    const int pasted = TDropRows(*this, row).Paste(col, text, shape.lines, insert);
    if (pasted == 0) return 0;
    const int left = std::max(col, FixedCols());
    const TRect block(left, row, std::min(ColCount() - 1, col + shape.fields - 1),
                      std::min(RowCount() - 1, row + shape.lines - 1));
    d->dnd.dropRect = block;
    SetSelection(TGridRect{block.Left, block.Top, block.Right, block.Bottom});
    if (OnOleDropped) OnOleDropped(this, block);
    return pasted;
}

bool TExtStringGrid::DropRTF(int x, int y, const QString& rtf)
{
    HideDropMarkers();
    int col = -1;
    int row = -1;
    MouseToCell(x, y, col, row);
    if (col < 0 || row < 0) return false;
    bool allow = true;
    if (OnOleDrop) OnOleDrop(this, row, col, rtf, allow);
    if (!allow) return false;
    const int rc = RealColIndex(col);
    if (rc < 0) return false;
    CloseEditorControl();
    HideEditor();
    SetCellText(rc, row, rtf);
    return true;
}

bool TExtStringGrid::DropColumn(int x, int y, int column)
{
    HideDropMarkers();
    // Column data that does not read (of the wrong length) comes as -1.
    if (column < 0) return false;
    int col = -1;
    int row = -1;
    MouseToCell(x, y, col, row);
    if (OnOleDropCol) OnOleDropCol(this, row, col, column);
    return true;
}

bool TExtStringGrid::DropFiles(int x, int y, const QStringList& files)
{
    if (files.size() != 1) return false;
    int col = -1;
    int row = -1;
    MouseToCell(x, y, col, row);
    const QString& file = files.front();
    bool allow = true;
    if (OnOleDropFile) OnOleDropFile(this, row, col, file, allow);
    if (!allow) return false;
    const QString upper = file.toUpper();
    const bool csv = upper.contains(QStringLiteral(".CSV"));
    const bool xls = !csv && upper.contains(QStringLiteral(".XLS"));
    if (!csv && !xls) return false;
    if (OnOleDrop) OnOleDrop(this, -1, -1, file, allow);
    if (!allow) return false;
    if (csv)
        LoadFromCSV(file);
    else
        LoadFromXLS(file);
    return true;
}

void TExtStringGrid::RemoveDraggedCells()
{
    const TRect src = d->dnd.dragRect;
    if (src.Top < 0) return;
    const TRect pasted = d->dnd.dropRect;
    BeginUpdate();
    for (int r = src.Top; r <= src.Bottom && r < RowCount(); ++r)
        for (int c = src.Left; c <= src.Right && c < ColCount(); ++c) {
            // What was just dropped into the source block stays.
            if (pasted.Top >= 0 && c >= pasted.Left && c <= pasted.Right && r >= pasted.Top && r <= pasted.Bottom)
                continue;
            const int rc = RealColIndex(c);
            if (rc >= 0) SetCellText(rc, r, QString());
        }
    CellsChanged(src);
    EndUpdate();
    d->dnd.dragRect = TRect(-1, -1, -1, -1);
}

QPixmap TExtStringGrid::DragImage(const QString& text, int width, int height) const
{
    QImage image(std::max(width, 8), std::max(height, 8), QImage::Format_RGB32);
    {
        TPainterCanvas canvas(&image);
        canvas.Font() = Font();
        canvas.Brush().SetColor(clWindow);
        canvas.Pen().SetColor(clBlack);
        canvas.Rectangle(0, 0, image.width(), image.height());
        canvas.SetBkMode(Win::TRANSPARENT);
        TRect r(3, 0, image.width() - 3, image.height());
        canvas.DrawText(text, r,
                        Win::DT_LEFT | Win::DT_VCENTER | Win::DT_SINGLELINE | Win::DT_NOPREFIX | Win::DT_END_ELLIPSIS);
    }
    return QPixmap::fromImage(image);
}

namespace {

// The effect of a finished drag: 0 none, 1 copy, 2 move. A drop that
// reported no effect of its own has the one its place last offered.
int OleEffect(TDragResult result, TDropEffect effect, const TGridDropSource& source)
{
    if (result == TDragResult::Cancel) return 0;
    if (effect == TDropEffect::None) effect = source.LastEffect();
    return effect == TDropEffect::Move ? 2 : effect == TDropEffect::Copy ? 1 : 0;
}

// Removes the rows from..to that take holds for, from the bottom up (so
// every index stays true), each run of adjacent ones in one step.
template <class Take>
void RemoveRowRuns(TExtStringGrid& grid, int from, int to, Take&& take)
{
    const TUpdateScope update(grid);
    for (int r = to; r >= from;) {
        if (!take(r)) {
            --r;
            continue;
        }
        int first = r;
        while (first > from && take(first - 1)) --first;
        grid.RemoveRows(first, r - first + 1);
        r = first - 1;
    }
}

} // namespace

int TExtStringGrid::StartCellDrag()
{
    const TGridRect s = Selection();
    const int rc = RealColIndex(s.Left);
    const QString topLeft = rc >= 0 ? Cells(rc, s.Top) : QString();
    const QString rtf = d->dragDropSettings.OleDropRTF && topLeft.contains(QStringLiteral("{\\")) ? topLeft : QString();
    const QString text = SelectionAsDragText();
    d->dnd.dragRect = TRect(s.Left, s.Top, s.Right, s.Bottom);
    d->dnd.dropRect = TRect(-1, -1, -1, -1);
    // The drag indicator: its left edge at the pointer, its bottom at the
    // pointer's height.
    QString first = rc >= 0 ? GetCellText(rc, s.Top) : QString();
    if (GetTextKind(first, false) != tkPlain) first.clear();
    TGridDropSource source;
    const QPixmap image = DragImage(first.section(u'\r', 0, 0).left(64), 80, 18);
    source.SetIndicator(image, QPoint(0, image.height()));
    TDropEffect effect = TDropEffect::None;
    const TDragResult result = StartTextDragDrop(
        source, this, text, rtf, d->dragDropSettings.OleCopyAlways ? TDropEffect::Copy : TDropEffect::None, effect);
    const int oleEffect = OleEffect(result, effect, source);
    FinishCellDrag(oleEffect);
    return oleEffect;
}

void TExtStringGrid::FinishCellDrag(int effect)
{
    const TDragDropSettings& dd = d->dragDropSettings;
    if (effect == 2) {
        const TRect src = d->dnd.dragRect;
        if (dd.OleRemoveRows && Options().Contains(TGridOption::goRowSelect)) {
            // The rows a drop into this grid just filled stay: a drop onto
            // its source, or overlapping it, is no move for them.
            const TRect dropped = d->dnd.dropRect;
            const auto source = [&](int r) { return dropped.Top < 0 || r < dropped.Top || r > dropped.Bottom; };
            if (d->mouseActions.DisjunctRowSelect)
                RemoveRowRuns(*this, FixedRows(), RowCount() - d->fixedFooters - 1,
                              [&](int r) { return RowSelect(r) && source(r); });
            else if (src.Top >= FixedRows())
                RemoveRowRuns(*this, src.Top, std::min(src.Bottom, RowCount() - 1), source);
            d->dnd.dragRect = TRect(-1, -1, -1, -1);
        } else if (!dd.OleCopyAlways) {
            RemoveDraggedCells();
        }
    }
    if (effect != 0 && OnOleDragStop) OnOleDragStop(this, effect);
}

int TExtStringGrid::StartColumnDrag(int col)
{
    const int rc = RealColIndex(col);
    TGridDropSource source;
    const QPixmap image = DragImage(rc >= 0 ? HTMLStrip(GetCellText(rc, 0)) : QString(), ColWidths(col), RowHeights(0));
    source.SetIndicator(image, QPoint(0, image.height()));
    TDropEffect effect = TDropEffect::None;
    const TDragResult result = StartColumnDragDrop(source, this, col, TDropEffect::None, effect);
    const int oleEffect = OleEffect(result, effect, source);
    HideDropMarkers();
    if (oleEffect != 0 && OnOleDragStop) OnOleDragStop(this, oleEffect);
    return oleEffect;
}
