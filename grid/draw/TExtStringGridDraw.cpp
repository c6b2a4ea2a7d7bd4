// The painting pipeline of the string grid: the cell's canvas (font, brush,
// alignment), the fixed-cell looks, tree lines, the user drawing events and
// the focus rectangle. The text, graphic and border painters have their
// own files beside this one.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/cells/TCellProperties.h"
#include "grid/draw/CellPaint_p.h"
#include "grid/draw/GraphicPainters_p.h"
#include "grid/draw/PaintSteps_p.h"
#include "grid/text/CellText.h"
#include "grid/draw/CellDrawing.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/ImageList.h"

#include <cmath>

namespace {

// A cell's own colours, style, size and name, where set.
void TakeCellProperties(const TCellProperties& p, TBrush& brush, TFont& font)
{
    if (p.BrushColor != clNone) brush.SetColor(p.BrushColor);
    if (p.FontColor != clNone) font.SetColor(p.FontColor);
    if (!p.FontStyle.Empty()) font.SetStyle(p.FontStyle);
    if (p.FontSize != 0) font.SetSize(p.FontSize);
    if (!p.FontName.isEmpty()) font.SetName(p.FontName);
}

} // namespace

void TExtStringGrid::PaintSteps::Bands(TExtStringGrid& grid, int col, int row, bool printing, TBrush& brush)
{
    const TExtStringGridPrivate& d = *grid.d;
    const TBands& b = d.bands;
    const int period = b.Period();
    // A period of 0 (or less) has no bands.
    if (b.Active() && period > 0 && (!printing || b.Print()) && col >= grid.FixedCols() &&
        col < grid.ColCount() - d.fixedRightCols && row >= grid.FixedRows() && row < grid.RowCount() - d.fixedFooters) {
        const int n = row - grid.FixedRows();
        brush.SetColor(n % period < b.PrimaryLength() ? b.PrimaryColor() : b.SecondaryColor());
    }
}

void TExtStringGrid::PaintSteps::SelectionLook(TExtStringGrid& grid, int col, int rc, int row, TGridDrawState& state,
                                               TBrush& brush, TFont& font)
{
    const TExtStringGridPrivate& d = *grid.d;
    const TMouseActions& ma = d.mouseActions;
    const bool selecting = d.draw.mouseSelecting;
    bool select = false;
    if (ma.DisjunctRowSelect) {
        select = grid.IsRowSelected(row) ? !(row == grid.Row() && selecting)
                                         : (state.Contains(TGridDrawStateItem::gdSelected) && selecting);
    } else if (ma.DisjunctColSelect) {
        select = grid.IsColSelected(rc) ? !(col == grid.Col() && selecting)
                                        : (state.Contains(TGridDrawStateItem::gdSelected) && selecting);
    } else {
        select = grid.IsSelected(col, row);
    }
    if (!select) return;
    brush.SetColor(d.selectionColor);
    font.SetColor(d.selectionTextColor);
    if (ma.DisjunctRowSelect || ma.DisjunctColSelect)
        state = TGridDrawState{TGridDrawStateItem::gdSelected};
    else
        state += TGridDrawStateItem::gdSelected;
}

void TExtStringGrid::PrepareCellCanvas(int col, int row, TGridDrawState& state, bool printing, bool selectionAware,
                                       bool remapColumn, TBrush& brush, TFont& font, TAlignment& hAlign,
                                       TVAlignment& vAlign, bool&)
{
    const int rc = remapColumn ? DisplayToRealCol(col) : col;
    const bool fixedArea = col < FixedCols() || row < FixedRows();
    font = printing ? d->printSettings.Font : (fixedArea ? d->fixedFont : Font());
    brush.SetColor(clNone);
    if (const TCellProperties* p = CellPropertiesOf(rc, row)) TakeCellProperties(*p, brush, font);
    if (brush.Color() == clNone) {
        brush.SetColor(Color());
        PaintSteps::Bands(*this, col, row, printing, brush);
    }
    const bool fixed = IsFixed(col, row) || fixedArea;
    if (fixed && !printing) {
        brush.SetColor(FixedColor());
        font.SetColor(d->fixedFont.Color());
        state += TGridDrawStateItem::gdFixed;
    }
    if (printing)
        GetCellPrintColor(rc, row, state, brush, font);
    else
        GetCellColor(rc, row, state, brush, font);

    if (selectionAware && !printing && d->showSelection && !fixed)
        PaintSteps::SelectionLook(*this, col, rc, row, state, brush, font);
    if (state.Contains(TGridDrawStateItem::gdSelected) && d->draw.mouseSelecting) {
        brush.SetColor(d->selectionColor);
        font.SetColor(d->selectionTextColor);
    }
    // Cells picked one by one look selected.
    if (d->mouseActions.DisjunctCellSelect && IsDisjunctCellSelected(col, row)) {
        brush.SetColor(d->selectionColor);
        font.SetColor(d->selectionTextColor);
        state += TGridDrawStateItem::gdSelected;
    }
    GetCellAlign(rc, row, hAlign, vAlign);
}

void TExtStringGrid::GetCellAlign(int col, int row, TAlignment& hAlign, TVAlignment& vAlign)
{
    vAlign = d->vAlignment;
    hAlign = taLeftJustify;
    if (d->autoNumAlign) {
        QString text = GetCellText(col, row);
        if (text.startsWith(QLatin1Char('='))) GetCellRawValue(col, row, text);
        if (GetNumberType(text) != ntNone) hAlign = taRightJustify;
    }
    if (const TCellProperties* p = CellPropertiesOf(col, row)) hAlign = p->Alignment;
    GetCellAlignment(col, row, hAlign, vAlign);
}

// The room and text flag come from the painter of the graphic's kind.
TCellGraphic* TExtStringGrid::GetCellGraphicInfo(int col, int row, TCellHAlign& hAlign, TCellVAlign& vAlign,
                                                 bool& drawText, int& height, int& width)
{
    width = 0;
    height = 0;
    drawText = true;
    hAlign = haLeft;
    vAlign = vaTop;
    TCellGraphic* g = GetCellGraphic(col, row);
    if (!g) return nullptr;
    const GraphicPainter& painter = GraphicPainter::Of(g->CellType);
    if (painter.measure) {
        const TSize size = painter.measure(*this, col, row, *g);
        width = size.cx;
        height = size.cy;
    }
    drawText = painter.drawText;
    hAlign = g->CellHAlign;
    vAlign = g->CellVAlign;
    return g;
}

void TExtStringGrid::DrawGradient(TCanvas& canvas, TColor fromColor, TColor toColor, int steps, bool horizontal,
                                  const TRect& r)
{
    if (steps <= 0) steps = 1;
    const TColor from = ColorToRGB(fromColor);
    const TColor to = ColorToRGB(toColor);
    const double dr = double(GetRValue(to) - GetRValue(from)) / steps;
    const double dg = double(GetGValue(to) - GetGValue(from)) / steps;
    const double db = double(GetBValue(to) - GetBValue(from)) / steps;
    const double band = double(horizontal ? r.Width() : r.Height()) / steps;
    for (int i = 0; i < steps; ++i) {
        const TColor c = RGB(GetRValue(from) + int(std::lround(i * dr)), GetGValue(from) + int(std::lround(i * dg)),
                             GetBValue(from) + int(std::lround(i * db)));
        canvas.Pen().SetColor(c);
        canvas.Brush().SetColor(c);
        const int a = int(std::lround(i * band));
        const int b = a + int(std::lround(band)) + 1;
        if (horizontal)
            canvas.Rectangle(r.Left + a, r.Top, r.Left + b, r.Bottom);
        else
            canvas.Rectangle(r.Left, r.Top + a, r.Right, r.Top + b);
    }
}

int TExtStringGrid::PaintSteps::RowIndicator(TExtStringGrid& grid, TCanvas& canvas, int rc, int row, const TRect& rect)
{
    const TBitmap* indicator = grid.d->rowIndicator.get();
    if (rc != 0 || row != grid.Row() || grid.FixedCols() <= 0 || !indicator || indicator->Empty()) return 0;
    const TColor saved = canvas.Brush().Color();
    canvas.Brush().SetColor(grid.FixedColor());
    canvas.FillRect(rect);
    const int top = rect.Top + (rect.Height() - indicator->Height()) / 2;
    DrawBitmapTransparent(canvas, *indicator, grid.FixedColor(), TRect(rect.Left, top, rect.Right, rect.Bottom));
    canvas.Brush().SetColor(saved);
    return indicator->Width();
}

// Fixed right columns of a flat grid get black frames.
void TExtStringGrid::PaintSteps::FixedRightFrame(TExtStringGrid& grid, TCanvas& canvas, int rc, const TRect& r)
{
    const TExtStringGridPrivate& d = *grid.d;
    if (d.fixedRightCols <= 0 || grid.ColCount() + grid.NumHiddenColumns() - rc > d.fixedRightCols ||
        d.look == glClassic || !d.flat)
        return;
    const TPen saved = canvas.Pen();
    canvas.Pen().SetColor(clBlack);
    canvas.Pen().SetWidth(1);
    if (grid.Options().Contains(TGridOption::goFixedHorzLine)) {
        canvas.MoveTo(r.Left - 1, r.Top - 1);
        canvas.LineTo(r.Right + 1, r.Top - 1);
        canvas.MoveTo(r.Left - 1, r.Bottom + 1);
        canvas.LineTo(r.Right + 1, r.Bottom + 1);
    }
    if (grid.Options().Contains(TGridOption::goFixedVertLine)) {
        canvas.MoveTo(r.Left - 1, r.Top - 1);
        canvas.LineTo(r.Left - 1, r.Bottom + 1);
        canvas.MoveTo(r.Right + 1, r.Top - 1);
        canvas.LineTo(r.Right + 1, r.Bottom + 1);
    }
    canvas.Pen() = saved;
}

// Tree lines beside the node column.
void TExtStringGrid::PaintSteps::TreeLines(TExtStringGrid& grid, TCanvas& canvas, int rc, int row, const TRect& rect)
{
    if (grid.NodeCount() <= 0 || rc != 0 || row < grid.FixedRows() || !grid.d->cellNode.ShowTree()) return;
    canvas.Pen().SetColor(clSilver);
    canvas.Pen().SetWidth(1);
    const int m = rect.Top + rect.Height() / 2;
    canvas.MoveTo(rect.Left - 8, m);
    canvas.LineTo(rect.Left, m);
    const int kind = grid.GetNodeLineKind(row);
    if (kind == 1) {
        canvas.MoveTo(rect.Left - 8, rect.Top);
        canvas.LineTo(rect.Left - 8, m);
    } else if (kind == 2) {
        canvas.MoveTo(rect.Left - 8, rect.Top);
        canvas.LineTo(rect.Left - 8, rect.Bottom + 4);
    }
    canvas.Pen().SetStyle(TPenStyle::psSolid);
}

// The focus rectangle round the current cell (its merged area) of a
// focused grid that selects cells rather than rows.
void TExtStringGrid::PaintSteps::FocusRect(TExtStringGrid& grid, TCanvas& canvas, int rc, int row, const TRect& rect)
{
    if (grid.d->hideFocusRect || grid.Options().Contains(TGridOption::goRowSelect) || !grid.hasFocus() ||
        grid.BaseCellPoint(rc, row) != grid.BaseCellPoint(grid.DisplayToRealCol(grid.Col()), grid.Row()))
        return;
    TRect f = rect;
    f.Inflate(grid.GridLineWidth() - 1, grid.GridLineWidth() - 1);
    f.Right -= 1;
    f.Bottom -= 1;
    canvas.DrawFocusRect(f);
}

void TExtStringGrid::DrawCellContent(TCanvas& canvas, int col, int row, TRect rect, TGridDrawState state)
{
    const int rc = DisplayToRealCol(col);
    TCellPaintOptions o;
    o.col = rc;
    o.row = row;
    bool reserved = false;
    PrepareCellCanvas(col, row, state, false, false, true, canvas.Brush(), canvas.Font(), o.hAlign, o.vAlign, reserved);
    o.graphic =
        GetCellGraphicInfo(rc, row, o.graphicHAlign, o.graphicVAlign, o.drawText, o.graphicHeight, o.graphicWidth);
    if (state.Contains(TGridDrawStateItem::gdSelected) && !state.Contains(TGridDrawStateItem::gdFocused) &&
        d->selectionColor == clNone)
        canvas.Brush().SetColor(clHighlight);
    if (d->draw.zoom != 0) canvas.Font().SetSize(canvas.Font().Size() + d->draw.zoom);

    const int indicator = PaintSteps::RowIndicator(*this, canvas, rc, row, rect);
    rect.Left += indicator;
    o.savedBrush = canvas.Brush().Color();
    o.savedFont = canvas.Font().Color();
    const bool fixed = IsFixed(col, row) || col < FixedCols() || row < FixedRows();
    if (fixed && d->look == glDUV && !d->flat) {
        const TPen pen = canvas.Pen();
        DrawGradient(canvas, d->draw.duvTop, d->draw.duvBottom, 10, false, rect);
        canvas.Pen() = pen;
        canvas.Brush().SetColor(o.savedBrush);
        o.backgroundPainted = true;
    }

    o.state = state;
    o.rect = rect;
    DrawCellText(canvas, o);
    state = o.state;

    canvas.Brush().SetColor(o.savedBrush);
    canvas.Font().SetColor(o.savedFont);
    rect.Inflate(1, 1);
    DrawCellBorders(canvas, rc, row, rect);
    rect.Left -= indicator;
    if (fixed && !d->flat) DrawFixedLook(canvas, rect, rc);
    PaintSteps::FixedRightFrame(*this, canvas, rc, rect);
    PaintSteps::TreeLines(*this, canvas, rc, row, rect);

    if (o.graphic) DrawCellGraphic(canvas, o, rect);

    if (OnDrawCell) {
        const int g = GridLineWidth();
        OnDrawCell(this, rc, row, TRect(rect.Left + 1, rect.Top + 1, rect.Right - g, rect.Bottom - g), state);
    }
    if (OnCustomCellDraw) OnCustomCellDraw(this, canvas, rc, row, state, rect, false);
    PaintSteps::FocusRect(*this, canvas, rc, row, rect);
}

void TExtStringGrid::DrawFixedLook(TCanvas& canvas, TRect& rect, int)
{
    const TPen saved = canvas.Pen();
    TRect& r = rect;
    const TColor half = DimColor(FixedColor());
    // The shadow along the bottom, the light along the top and left.
    auto raisedLines = [&] {
        canvas.Pen().SetColor(half);
        canvas.MoveTo(r.Left, r.Bottom - 1);
        canvas.LineTo(r.Right - 1, r.Bottom - 1);
        canvas.Pen().SetColor(clWhite);
        canvas.MoveTo(r.Right, r.Top + 1);
        canvas.LineTo(r.Left + 1, r.Top + 1);
        canvas.LineTo(r.Left + 1, r.Bottom - 1);
    };
    switch (d->look) {
    case glClassic: {
        TRect e = r;
        canvas.DrawEdge(e, Win::BDR_RAISEDINNER, Win::BF_LEFT);
        e = r;
        canvas.DrawEdge(e, Win::BDR_RAISEDINNER, Win::BF_TOP);
        e = r;
        canvas.DrawEdge(e, Win::EDGE_RAISED, Win::BF_BOTTOMRIGHT);
        canvas.Pen().SetColor(clBlack);
        canvas.MoveTo(r.Right - 1, r.Top);
        canvas.LineTo(r.Right - 1, r.Bottom - 1);
        canvas.LineTo(r.Left - 1, r.Bottom - 1);
        break;
    }
    case glDUV:
        r.Inflate(1, 1);
        r.Bottom -= 1;
        raisedLines();
        break;
    case glSoft:
        r.Inflate(1, 1);
        r.Bottom -= 1;
        if (Options().Contains(TGridOption::goFixedHorzLine)) raisedLines();
        if (Options().Contains(TGridOption::goFixedVertLine)) {
            canvas.Pen().SetColor(half);
            canvas.MoveTo(r.Right - 2, r.Top);
            canvas.LineTo(r.Right - 2, r.Bottom - 1);
            canvas.Pen().SetColor(clWhite);
            canvas.MoveTo(r.Right - 1, r.Top);
            canvas.LineTo(r.Right - 1, r.Bottom - 1);
        }
        break;
    case glStandard: break;
    }
    canvas.Pen() = saved;
}
