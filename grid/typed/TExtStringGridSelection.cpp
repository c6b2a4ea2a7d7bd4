// Cell graphics by kind, disjunct selection marks, headers and repainting.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/cells/TCellProperties.h"
#include "grid/text/CellLines.h"
#include "platform/core/FloatFormat.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Graphics

TCellGraphic* TExtStringGrid::CreateCellGraphic(int col, int row)
{
    auto* graphic = new TCellGraphic;
    SetCellAttachment(col, row, graphic);
    return graphic;
}

bool TExtStringGrid::RemoveCellGraphic(int col, int row)
{
    if (!HasCellProperties(col, row)) return false;
    TCellProperties* p = GetCellProperties(col, row);
    TCellGraphic* g = p->TakeCellGraphic();
    if (!g) return false;
    // A virtual check box belongs to whoever made it.
    if (g->CellType != ctVirtCheckBox) delete g;
    RepaintCell(DisplColIndex(col), row);
    return true;
}

bool TExtStringGrid::GetCellComment(int col, int row, QString& text)
{
    const TCellGraphic* g = GetCellGraphic(col, row);
    if (!g || g->CellType != ctComment) return false;
    text = g->CellText;
    return true;
}

void TExtStringGrid::GetCellErrorRange(int col, int row, int& from, int& length)
{
    const TCellGraphic* g = GetCellGraphic(col, row);
    from = g ? g->CellErrFrom : 0;
    length = g ? g->CellErrLen : 0;
}

bool TExtStringGrid::GetRotatedAngle(int col, int row, int& angle)
{
    const TCellGraphic* g = GetCellGraphic(col, row);
    if (!g || g->CellType != ctRotated) return false;
    angle = g->CellAngle;
    return true;
}

void TExtStringGrid::GetCellGraphicRect(int col, int row, TRect& rect)
{
    const TCellGraphic* g = GetCellGraphic(RealColIndex(col), row);
    if (!g) return;
    const unsigned pos = unsigned(Round(g->CellValue));
    const unsigned size = unsigned(g->CellIndex);
    const TRect r = GetCellRect(col, row);
    rect.Left = r.Left + int(pos & 0xFFFF);
    rect.Top = r.Top + int(pos >> 16);
    rect.Right = rect.Left + int(size & 0xFFFF);
    rect.Bottom = rect.Top + int(size >> 16);
    if (g->CellVAlign == vaFull) {
        rect.Top = r.Top;
        rect.Bottom = r.Bottom;
    }
    if (g->CellHAlign == haFull) {
        rect.Left = r.Left;
        rect.Right = r.Right;
    }
}

// ---------------------------------------------------------------------------
// Selection marks

namespace {

bool Mark(const std::vector<char>& marks, int i) { return i >= 0 && size_t(i) < marks.size() && marks[size_t(i)]; }

// Sets a mark; true when it changed.
bool SetMark(std::vector<char>& marks, int i, bool value)
{
    if (size_t(i) >= marks.size()) {
        if (!value) return false;
        marks.resize(size_t(i) + 1, 0);
    }
    if (bool(marks[size_t(i)]) == value) return false;
    marks[size_t(i)] = value;
    return true;
}

} // namespace

bool TExtStringGrid::RowSelect(int row) const
{
    if (row < 0 || row >= RowCount()) throw EExtGridError(QStringLiteral("Invalid row accessed"));
    return Mark(d->typed.rowMarks, row);
}

void TExtStringGrid::SetRowSelect(int row, bool value)
{
    if (row < 0 || row >= RowCount()) throw EExtGridError(QStringLiteral("Invalid row accessed"));
    if (SetMark(d->typed.rowMarks, row, value)) RepaintRow(row);
}

bool TExtStringGrid::ColSelect(int col) const
{
    if (col < 0 || col >= ColCount()) throw EExtGridError(QStringLiteral("Invalid column accessed"));
    return Mark(d->typed.colMarks, col);
}

void TExtStringGrid::SetColSelect(int col, bool value)
{
    if (col < 0 || col >= ColCount()) throw EExtGridError(QStringLiteral("Invalid column accessed"));
    if (SetMark(d->typed.colMarks, col, value)) RepaintCol(col);
}

void TExtStringGrid::ClearRowSelect()
{
    std::vector<char>& marks = d->typed.rowMarks;
    for (size_t r = 0; r < marks.size(); ++r)
        if (marks[r]) RepaintRow(int(r));
    marks.clear();
}

void TExtStringGrid::ClearColSelect()
{
    std::vector<char>& marks = d->typed.colMarks;
    for (size_t c = 0; c < marks.size(); ++c)
        if (marks[c]) RepaintCol(int(c));
    marks.clear();
}

void TExtStringGrid::SelectionToRowSelect(bool clearOthers)
{
    const TGridRect s = Selection();
    for (int r = FixedRows(); r < RowCount(); ++r) {
        const bool inside = r >= s.Top && r <= s.Bottom;
        if (inside || clearOthers) SetRowSelect(r, inside);
    }
}

void TExtStringGrid::SelectionToColSelect(bool clearOthers)
{
    const TGridRect s = Selection();
    for (int c = FixedCols(); c < ColCount(); ++c) {
        const bool inside = c >= s.Left && c <= s.Right;
        if (inside || clearOthers) SetColSelect(c, inside);
    }
}

void TExtStringGrid::HideSelection()
{
    d->typed.hiddenSelection = Selection();
    SetSelection(TGridRect(ColCount(), RowCount(), ColCount(), RowCount()));
    d->typed.selectionHidden = true;
}

void TExtStringGrid::RestoreSelection()
{
    d->typed.selectionHidden = false;
    SetSelection(d->typed.hiddenSelection);
}

bool TExtStringGrid::DataAreaAllCells() const { return d->typed.dataAreaAllCells; }
void TExtStringGrid::SetDataAreaAllCells(bool value) { d->typed.dataAreaAllCells = value; }
int TExtStringGrid::DataAreaLeft() const { return d->typed.dataAreaAllCells ? 0 : FixedCols(); }
int TExtStringGrid::DataAreaTop() const { return d->typed.dataAreaAllCells ? 0 : FixedRows(); }

int TExtStringGrid::DataAreaRight() const
{
    return d->typed.dataAreaAllCells ? ColCount() - 1 : ColCount() - d->fixedRightCols - 1;
}

int TExtStringGrid::DataAreaBottom() const
{
    return d->typed.dataAreaAllCells ? RowCount() - 1 : RowCount() - d->fixedFooters - 1;
}

// ---------------------------------------------------------------------------
// Headers

const QStringList& TExtStringGrid::ColumnHeaders() const { return d->typed.columnHeaders; }

void TExtStringGrid::SetColumnHeaders(const QStringList& value)
{
    d->typed.columnHeaders = value;
    ColumnHeadersChanged();
    if (FixedRows() > 0)
        for (int c = 0; c < StoreCols(); ++c) SetCellText(c, 0, QString());
    for (int i = 0; i < value.size() && i < ColCount(); ++i) {
        QString text;
        ExpandNewlineEscapes(value[i], text);
        SetCellText(i, 0, text);
    }
}

const QStringList& TExtStringGrid::RowHeaders() const { return d->typed.rowHeaders; }

void TExtStringGrid::SetRowHeaders(const QStringList& value)
{
    d->typed.rowHeaders = value;
    for (int i = 0; i < value.size() && i < RowCount(); ++i) {
        QString text;
        ExpandNewlineEscapes(value[i], text);
        SetCellText(0, i, text);
    }
}

// ---------------------------------------------------------------------------
// Repainting

void TExtStringGrid::RepaintRow(int row) { InvalidateRow(row); }
void TExtStringGrid::RepaintCol(int col) { InvalidateCol(col); }

void TExtStringGrid::RepaintRect(const TRect& cells)
{
    if (cells.Left < 0 || cells.Top < 0 || cells.Right < 0 || cells.Bottom < 0) return;
    const TRect a = GetCellRect(cells.Left, cells.Top);
    const TRect b = GetCellRect(cells.Right, cells.Bottom);
    if (a.IsEmpty() || b.IsEmpty())
        InvalidateGrid();
    else
        InvalidateRect(a.United(b));
}

void TExtStringGrid::RepaintHeaders(int col1, int row1, int col2, int row2)
{
    if (FixedRows() > 0) {
        if (col1 >= 0 && col1 < ColCount()) RepaintCell(col1, 0);
        if (col2 >= 0 && col2 < ColCount()) RepaintCell(col2, 0);
    }
    if (FixedCols() > 0) {
        if (row1 >= 0 && row1 < RowCount()) RepaintCell(0, row1);
        if (row2 >= 0 && row2 < RowCount()) RepaintCell(0, row2);
    }
}

void TExtStringGrid::MouseToCellScreen(TPoint pt, int& col, int& row) const
{
    const QPoint p = mapFromGlobal(QPoint(pt.X, pt.Y)) - ClientOrigin();
    MouseToCell(p.x(), p.y(), col, row);
}

bool TExtStringGrid::IsOnSizingEdge(int x, int y) const
{
    int c = -1;
    int r = -1;
    MouseToCell(x, y, c, r);
    if (c < 0 || r < 0) return false;
    const TRect cell = CellRect(c, r);
    if (r < FixedRows() && Options().Contains(TGridOption::goColSizing) && (x - cell.Left < 4 || cell.Right - x < 4))
        return true;
    return c < FixedCols() && Options().Contains(TGridOption::goRowSizing) && (y - cell.Top < 4 || cell.Bottom - y < 4);
}

TExtInplaceEdit* TExtStringGrid::GetInplaceEditor() const { return TextEditor(); }

// ---------------------------------------------------------------------------
// Selected columns

namespace {

// The column's data rows as a selection.
TGridRect ColumnArea(const TExtStringGrid& grid, int col)
{
    return TGridRect(col, grid.FixedRows(), col, grid.RowCount() - 1);
}

void AddColumn(TExtStringGrid& grid, int col)
{
    if (grid.MouseActions().DisjunctColSelect) {
        grid.SetColSelect(col, true);
        return;
    }
    const TGridRect sel = grid.Selection();
    const TGridRect area = ColumnArea(grid, col);
    grid.SetSelection(TGridRect(std::min(sel.Left, area.Left), std::min(sel.Top, area.Top),
                                std::max(sel.Right, area.Right), std::max(sel.Bottom, area.Bottom)));
}

bool ValidColumn(const TExtStringGrid& grid, int col)
{
    return col >= grid.FixedCols() && col < grid.ColCount() && grid.RowCount() > grid.FixedRows();
}

} // namespace

void TExtStringGrid::SelectColumn(int col)
{
    if (!ValidColumn(*this, col)) return;
    if (d->mouseActions.DisjunctColSelect)
        SetColSelect(col, true);
    else
        SetSelection(ColumnArea(*this, col));
}

void TExtStringGrid::UnSelectColumn(int col)
{
    if (!ValidColumn(*this, col)) return;
    if (d->mouseActions.DisjunctColSelect) {
        SetColSelect(col, false);
        return;
    }
    const TGridRect sel = Selection();
    if (col < sel.Left || col > sel.Right) return;
    // The rectangle gives up the column and what lies beyond it from its
    // left edge (a column inside it splits it: the left part stays); the
    // last column leaves the current cell alone.
    if (col == sel.Left && col == sel.Right)
        SetSelection(TGridRect(Col(), Row(), Col(), Row()));
    else if (col == sel.Left)
        SetSelection(TGridRect(col + 1, sel.Top, sel.Right, sel.Bottom));
    else
        SetSelection(TGridRect(sel.Left, sel.Top, col - 1, sel.Bottom));
}

TIntList& TExtStringGrid::SelectedColumns() { return d->typed.selectedColumns; }

void ApplySelectedColumns(TExtStringGrid& grid, const TIntList& columns)
{
    for (int c = grid.FixedCols(); c < grid.ColCount(); ++c) grid.UnSelectColumn(c);
    bool first = true;
    for (int i = 0; i < columns.Count(); ++i) {
        const int col = columns.Item(i);
        if (!ValidColumn(grid, col)) continue;
        if (first)
            grid.SelectColumn(col);
        else
            AddColumn(grid, col);
        first = false;
    }
}

// ---------------------------------------------------------------------------
// Graphic handles

qintptr TExtStringGrid::GetCellGraphicHandle(int col, int row)
{
    const TCellGraphic* g = GetCellGraphic(col, row);
    if (!g) return -1;
    switch (g->CellType) {
    case ctBitmap: return reinterpret_cast<qintptr>(g->Graphic);
    case ctIcon: return reinterpret_cast<qintptr>(g->Icon);
    case ctImageList: return g->CellIndex;
    default: return -1;
    }
}

std::vector<int>* TExtStringGrid::GetCellImages(int col, int row)
{
    TCellGraphic* g = GetCellGraphic(col, row);
    return g && g->CellType == ctImages ? &g->Images : nullptr;
}
