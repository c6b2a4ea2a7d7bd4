#include "grid/TBaseGrid.h"

#include "grid/cells/TCellGraphic.h"
#include "grid/cells/TCellMerges.h"
#include "grid/cells/TCellProperties.h"

#include <algorithm>

TBaseGrid::TBaseGrid(QWidget* parent, const QString& name) : TStringGrid(parent, name)
{
    TCustomGrid::SetDefaultDrawing(false);
    TCustomGrid::SetGridLineWidth(0);
    SetOptions(Options() + TGridOption::goDrawFocusSelected);
}

TBaseGrid::~TBaseGrid() { FreeCellProperties(0, 0, StoreCols() - 1, RowCount() - 1); }

// ---------------------------------------------------------------------------
// Settings

void TBaseGrid::SetGridLineWidth(int value)
{
    m_lineWidth = std::max(0, value);
    TCustomGrid::SetGridLineWidth(0);
    InvalidateGrid();
}

void TBaseGrid::SetGridLineColor(TColor value)
{
    m_lineColor = value;
    InvalidateGrid();
}

void TBaseGrid::SetFooterRowFlag(bool value)
{
    if (value == m_footerRow) return;
    m_footerRow = value;
    InvalidateGrid();
}

// ---------------------------------------------------------------------------
// The cell store

TCellProperties* TBaseGrid::CellPropertiesOf(int col, int row) const
{
    return dynamic_cast<TCellProperties*>(Objects(col, row));
}

TCellProperties* TBaseGrid::EnsureCellProperties(int col, int row) { return GetCellProperties(col, row); }

int TBaseGrid::StoreCols() const { return ColCount(); }

TCellProperties* TBaseGrid::GetCellProperties(int col, int row)
{
    if (TCellProperties* p = CellPropertiesOf(col, row)) return p;
    auto* p = new TCellProperties(this, col, row);
    SetObjects(col, row, p);
    return p;
}

bool TBaseGrid::HasCellProperties(int col, int row) const { return Objects(col, row) != nullptr; }

void TBaseGrid::SetCellObject(int col, int row, TObject* obj)
{
    TObject* old = Objects(col, row);
    if (old == obj) return;
    SetObjects(col, row, obj);
    delete old;
}

void TBaseGrid::ClearCell(int col, int row)
{
    SetCellText(col, row, QString());
    SetCellObject(col, row, nullptr);
}

void TBaseGrid::ClearColumn(int col)
{
    for (int r = 0; r < RowCount(); ++r) {
        SetCellObject(col, r, nullptr);
        SetCells(col, r, QString());
    }
}

void TBaseGrid::ClearRow(int row)
{
    const int cols = std::max(StoreCols(), StoredCols(row));
    for (int c = 0; c < cols; ++c) {
        SetCellObject(c, row, nullptr);
        SetCells(c, row, QString());
    }
}

void TBaseGrid::FreeCellProperties(int fromCol, int fromRow, int toCol, int toRow)
{
    fromRow = std::max(0, fromRow);
    toRow = std::min(toRow, RowCount() - 1);
    for (int r = fromRow; r <= toRow; ++r) {
        const int last = std::min(toCol, StoredCols(r) - 1);
        for (int c = std::max(0, fromCol); c <= last; ++c) {
            if (TObject* o = Objects(c, r)) {
                SetObjects(c, r, nullptr);
                delete o;
            }
        }
    }
}

TCellGraphic* TBaseGrid::GetCellAttachment(int col, int row) const
{
    const TCellProperties* p = CellPropertiesOf(col, row);
    return p ? p->CellGraphic() : nullptr;
}

void TBaseGrid::SetCellAttachment(int col, int row, TCellGraphic* graphic)
{
    GetCellProperties(col, row)->SetCellGraphic(graphic);
    RepaintCell(RealToDisplayCol(col), row);
}

// ---------------------------------------------------------------------------
// Texts

QString TBaseGrid::GetCellText(int col, int row)
{
    const TPoint b = TCellMerges::BaseCell(*this, col, row);
    QString value = Cells(b.X, b.Y);
    const int limit = m_userRowCount < 0 ? RowCount() : m_userRowCount;
    if (b.Y < limit) GetDisplText(b.X, b.Y, value);
    return value;
}

void TBaseGrid::SetCellText(int col, int row, const QString& value)
{
    const TPoint b = TCellMerges::BaseCell(*this, col, row);
    SetCells(b.X, b.Y, value);
    if (HasCellProperties(b.X, b.Y) && parentWidget()) RepaintCell(RealToDisplayCol(b.X), b.Y);
    if (m_footerRow && row == RowCount() - 1) LastRowChanged();
}

void TBaseGrid::SetCellText(int col, int row, QString&& value)
{
    const TPoint b = TCellMerges::BaseCell(*this, col, row);
    SetCells(b.X, b.Y, std::move(value));
    if (HasCellProperties(b.X, b.Y) && parentWidget()) RepaintCell(RealToDisplayCol(b.X), b.Y);
    if (m_footerRow && row == RowCount() - 1) LastRowChanged();
}

void TBaseGrid::GetDisplText(int col, int row, QString& value)
{
    if (OnGetDisplText) OnGetDisplText(this, col, row, value);
}

// ---------------------------------------------------------------------------
// Merges

bool TBaseGrid::IsBaseCell(int col, int row) const
{
    return TCellMerges::BaseCell(*this, col, row) == TPoint(col, row);
}

bool TBaseGrid::BaseCell(int col, int row, int& baseCol, int& baseRow) const
{
    const TPoint b = TCellMerges::BaseCell(*this, col, row);
    baseCol = b.X;
    baseRow = b.Y;
    return b == TPoint(col, row);
}

TPoint TBaseGrid::BaseCellPoint(int col, int row) const { return TCellMerges::BaseCell(*this, col, row); }

bool TBaseGrid::IsMergedCell(int col, int row) const { return TCellMerges::IsMerged(*this, col, row); }
bool TBaseGrid::IsXMergedCell(int col, int row) const { return TCellMerges::Span(*this, col, row).X > 0; }
bool TBaseGrid::IsYMergedCell(int col, int row) const { return TCellMerges::Span(*this, col, row).Y > 0; }
TPoint TBaseGrid::GetCellSpan(int col, int row) const { return TCellMerges::Span(*this, col, row); }

bool TBaseGrid::HasMergedCellsInRows(int row1, int row2) const
{
    bool found = false;
    for (int c = 0; c < StoreCols(); ++c) {
        if (GetCellSpan(c, row1).Y > 0 && GetCellSpan(c, row2).Y > 0) {
            if (BaseCellPoint(c, row1).Y != BaseCellPoint(c, row2).Y) return false;
            found = true;
        }
    }
    return found;
}

void TBaseGrid::MergeCells(int col, int row, int spanX, int spanY)
{
    TCellMerges::Merge(*this, col, row, spanX, spanY);
}

void TBaseGrid::SplitCells(int col, int row) { TCellMerges::Split(*this, col, row); }

void TBaseGrid::MoveToBaseCell()
{
    const int rc = DisplayToRealCol(Col());
    const TPoint b = BaseCellPoint(rc, Row());
    const int dc = RealToDisplayCol(b.X);
    if (dc != Col() || b.Y != Row()) FocusCell(std::max(dc, FixedCols()), std::max(b.Y, FixedRows()));
}

// ---------------------------------------------------------------------------
// Rectangles

TRect TBaseGrid::CalcCellRect(int col, int row) const { return CellBounds(col, row); }

TRect TBaseGrid::GetCellRect(int col, int row) const
{
    const TGridRect a = TCellMerges::Area(*this, DisplayToRealCol(col), row);
    if (a.Left == a.Right && a.Top == a.Bottom) return CalcCellRect(col, row);
    return CalcCellRect(RealToDisplayCol(a.Left), a.Top).United(CalcCellRect(RealToDisplayCol(a.Right), a.Bottom));
}

TPoint TBaseGrid::GetMergedCellRect(int col, int row) const
{
    const TRect r = GetCellRect(col, row);
    return TPoint(r.Width(), r.Height());
}

void TBaseGrid::RepaintCell(int col, int row)
{
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) return;
    InvalidateRect(GetCellRect(col, row));
}

void TBaseGrid::RepaintStoredCell(int col, int row)
{
    // Stored columns count the hidden ones: the screen shows the display
    // column.
    RepaintCell(RealToDisplayCol(col), row);
}

int TBaseGrid::FixedColsWidth() const { return FixedWidth(); }
int TBaseGrid::FixedRowsHeight() const { return FixedHeight(); }

// ---------------------------------------------------------------------------
// Hooks

bool TBaseGrid::IsFixed(int, int) { return false; }
int TBaseGrid::GetCellIndent(int) { return 0; }
bool TBaseGrid::HasNodeColumn() { return false; }

void TBaseGrid::PrepareCellCanvas(int, int, TGridDrawState&, bool, bool, bool, TBrush&, TFont&, TAlignment&,
                                  TVAlignment&, bool&)
{ }

void TBaseGrid::DrawCellContent(TCanvas& canvas, int col, int row, TRect rect, TGridDrawState)
{
    QString text = GetCellText(DisplayToRealCol(col), row);
    canvas.SetBkMode(Win::TRANSPARENT);
    canvas.DrawText(text, rect, Win::DT_SINGLELINE | Win::DT_VCENTER | Win::DT_CENTER);
}

// ---------------------------------------------------------------------------
// Painting

void TBaseGrid::Paint()
{
    TStringGrid::Paint();
    ++m_paintCounter;
}

void TBaseGrid::DrawCell(int col, int row, TRect rect, TGridDrawState state) { DrawCellArea(col, row, rect, state); }

namespace {

// The pen of a cell's grid lines: grey and one pixel for fixed cells, the
// grid line's colour and width for the others. Answers half the pen's
// width, by which the lines stand inside the cell, or -1 for no lines.
int SetGridLinePen(TCanvas& canvas, bool fixed, int lineWidth, TColor lineColor)
{
    if (fixed) {
        canvas.Pen().SetColor(clGray);
        canvas.Pen().SetWidth(1);
        return 1;
    }
    if (lineWidth <= 0) return -1;
    canvas.Pen().SetColor(lineColor);
    canvas.Pen().SetWidth(lineWidth);
    return (lineWidth + 1) / 2;
}

// The grid lines along a cell's bottom and right edges.
void DrawGridLines(TCanvas& canvas, const TRect& r, int half, bool bottom, bool right)
{
    if (bottom) {
        canvas.MoveTo(r.Left - half + 1, r.Bottom - half);
        canvas.LineTo(r.Right - half + 1, r.Bottom - half);
    }
    if (right) {
        canvas.MoveTo(r.Right - half, r.Bottom - half);
        canvas.LineTo(r.Right - half, r.Top - half);
    }
}

// A scrolled cell (area) that reaches under the fixed cells is clipped to
// the scrolling part; answers whether the clip was narrowed (and is to be
// restored).
bool ClipToScrollingPart(const TBaseGrid& grid, TCanvas& canvas, int col, int row, const TRect& r)
{
    const int fw = col >= grid.FixedCols() ? grid.FixedColsWidth() : 0;
    const int fh = row >= grid.FixedRows() ? grid.FixedRowsHeight() : 0;
    const bool clip = (grid.FixedCols() >= 1 && col >= grid.FixedCols() && r.Left < fw) ||
        (grid.FixedRows() >= 1 && row >= grid.FixedRows() && r.Top < fh);
    if (!clip) return false;
    canvas.SaveClip();
    canvas.IntersectClipRect(TRect(fw, fh, grid.GridWidth(), grid.GridHeight()));
    return true;
}

} // namespace

void TBaseGrid::DrawCellArea(int col, int row, TRect, TGridDrawState state)
{
    TCanvas* cv = Canvas();
    if (!cv) return;
    TCanvas& canvas = *cv;
    const int rc = DisplayToRealCol(col);

    if (m_footerRow && row == RowCount() - 1) {
        canvas.Brush().SetColor(Color());
        canvas.Pen().SetColor(Color());
        canvas.FillRect(CalcCellRect(col, row));
        return;
    }

    const TPoint base = BaseCellPoint(rc, row);
    if (base != TPoint(rc, row)) {
        // A covered part: the area is painted once per pass, on behalf of
        // the first of its cells the walk reaches.
        TCellProperties* p = CellPropertiesOf(base.X, base.Y);
        if (p && p->PaintStamp != m_paintCounter) {
            p->PaintStamp = m_paintCounter;
            DrawCellArea(RealToDisplayCol(base.X), base.Y, GetCellRect(col, row), state);
        }
        return;
    }
    if (TCellProperties* p = CellPropertiesOf(rc, row); p && IsMergedCell(rc, row)) p->PaintStamp = m_paintCounter;

    if (IsFixed(col, row)) {
        state += TGridDrawStateItem::gdFixed;
        state -= TGridDrawStateItem::gdSelected;
    }
    const bool fixed = state.Contains(TGridDrawStateItem::gdFixed);
    TRect r = GetCellRect(col, row);
    const bool clip = ClipToScrollingPart(*this, canvas, col, row, r);

    canvas.Pen().SetWidth(1);
    canvas.Font() = Font();
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool reserved = false;
    PrepareCellCanvas(col, row, state, false, true, true, canvas.Brush(), canvas.Font(), ha, va, reserved);
    canvas.Pen().SetColor(canvas.Brush().Color());
    canvas.FillRect(r);

    const int half = SetGridLinePen(canvas, fixed, m_lineWidth, m_lineColor);
    if (col == 0 && row >= FixedRows()) r.Left += GetCellIndent(row);
    if (half >= 0) {
        const TGridOptions o = Options();
        const bool bottom = fixed ? o.Contains(TGridOption::goFixedHorzLine) : o.Contains(TGridOption::goHorzLine);
        const bool right = fixed ? o.Contains(TGridOption::goFixedVertLine) : o.Contains(TGridOption::goVertLine);
        DrawGridLines(canvas, r, half, bottom && !(rc == 0 && HasNodeColumn()), right);
    }
    const int shrink = fixed ? 1 : m_lineWidth;
    r.Inflate(-shrink, -shrink);
    DrawCellContent(canvas, col, row, r, state);
    if (clip) canvas.RestoreClip();
}

bool TBaseGrid::SelectCell(int col, int row)
{
    RepaintCell(Col(), Row());
    const bool result = TStringGrid::SelectCell(col, row);
    RepaintCell(col, row);
    return result;
}

// ---------------------------------------------------------------------------
// Keys and wheel

void TBaseGrid::KeyDown(int& key, TShiftState shift)
{
    const int rc = DisplayToRealCol(Col());
    const TPoint b = BaseCellPoint(rc, Row());
    const TPoint span = GetCellSpan(rc, Row());
    const int bc = RealToDisplayCol(b.X);
    const bool merged = span.X > 0 || span.Y > 0;
    switch (key) {
    case Win::VK_NEXT:
        if (TopRow() + VisibleRowCount() - FixedRows() == RowCount() - 1 && m_footerRow && RowCount() >= 2)
            SetRow(RowCount() - 2);
        break;
    case Win::VK_LEFT:
    case Win::VK_UP:
        // Inside an area: first to its base cell, so the move leaves the
        // area by one step.
        if (merged && (bc != Col() || b.Y != Row())) FocusCell(std::max(bc, FixedCols()), std::max(b.Y, FixedRows()));
        break;
    case Win::VK_RIGHT:
        if (merged && Col() < ColCount() - 1) FocusCell(std::min(bc + span.X, ColCount() - 1), Row());
        break;
    case Win::VK_DOWN:
        if (merged && Row() < RowCount() - 1) FocusCell(Col(), std::min(b.Y + span.Y, RowCount() - 1));
        break;
    default: break;
    }
    TStringGrid::KeyDown(key, shift);
    MoveToBaseCell();
}

bool TBaseGrid::DoMouseWheelDown(TShiftState shift, TPoint mousePos)
{
    const bool result = TStringGrid::DoMouseWheelDown(shift, mousePos);
    if (VisibleRowCount() - FixedRows() <= Row() - TopRow() && Row() < RowCount() - 1 && m_footerRow)
        SetTopRow(TopRow() + 1);
    MoveToBaseCell();
    return result;
}

bool TBaseGrid::DoMouseWheelUp(TShiftState shift, TPoint mousePos)
{
    const bool result = TStringGrid::DoMouseWheelUp(shift, mousePos);
    MoveToBaseCell();
    return result;
}

void TBaseGrid::TopLeftChanged()
{
    TStringGrid::TopLeftChanged();
    if (FixedCols() > 0) {
        const int last = std::min(RowCount() - 1, TopRow() + VisibleRowCount());
        for (int r = TopRow(); r <= last; ++r)
            for (int c = 0; c < FixedCols(); ++c)
                if (IsMergedCell(DisplayToRealCol(c), r)) RepaintCell(c, r);
    }
    if (FixedRows() > 0) {
        const int last = std::min(ColCount() - 1, LeftCol() + VisibleColCount());
        for (int c = LeftCol(); c <= last; ++c)
            for (int r = 0; r < FixedRows(); ++r)
                if (IsMergedCell(DisplayToRealCol(c), r)) RepaintCell(c, r);
    }
}

void TBaseGrid::SizeChanged(int oldColCount, int oldRowCount)
{
    // Rows dropped by a lower count take their property objects with them.
    for (int r = RowCount(); r < oldRowCount; ++r) {
        for (int c = 0; c < StoredCols(r); ++c) {
            delete Objects(c, r); // the row's storage goes next
        }
    }
    TStringGrid::SizeChanged(oldColCount, oldRowCount);
}
