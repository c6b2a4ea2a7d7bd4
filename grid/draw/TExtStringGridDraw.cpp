// The painting pipeline of the string grid.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/cells/TCellProperties.h"

void TExtStringGrid::PrepareCellCanvas(int col, int row, TGridDrawState& state, bool printing, bool,
                                       bool remapColumn, TBrush& brush, TFont& font, TAlignment& hAlign,
                                       TVAlignment& vAlign, bool&)
{
    const int rc = remapColumn ? DisplayToRealCol(col) : col;
    const bool fixed = IsFixed(col, row) || col < FixedCols() || row < FixedRows();
    font = fixed ? d->fixedFont : Font();
    if (printing) font = d->printSettings.Font;
    brush.SetColor(Color());
    if (fixed && !printing) {
        brush.SetColor(FixedColor());
        font.SetColor(d->fixedFont.Color());
        state += gdFixed;
    }
    GetCellColor(rc, row, state, brush, font);
    GetCellAlign(rc, row, hAlign, vAlign);
}

void TExtStringGrid::GetCellAlign(int col, int row, TAlignment& hAlign, TVAlignment& vAlign)
{
    vAlign = d->vAlignment;
    hAlign = taLeftJustify;
    if (const TCellProperties* p = CellPropertiesOf(col, row)) hAlign = p->Alignment;
    GetCellAlignment(col, row, hAlign, vAlign);
}

void TExtStringGrid::DrawCellContent(TCanvas& canvas, int col, int row, TRect rect, TGridDrawState state)
{
    TBaseGrid::DrawCellContent(canvas, col, row, rect, state);
}

void TExtStringGrid::Paint() { TBaseGrid::Paint(); }

void TExtStringGrid::DrawSizingLine(int x) { TBaseGrid::DrawSizingLine(x); }

void TExtStringGrid::DrawMoveLine(TCanvas& canvas, int x)
{
    const TPen saved = canvas.Pen();
    canvas.Pen().SetColor(clBlack);
    canvas.Pen().SetStyle(psDot);
    canvas.Pen().SetMode(pmXor);
    canvas.Pen().SetWidth(1);
    canvas.MoveTo(x, 0);
    canvas.LineTo(x, std::max(ClientHeight(), CalcCellRect(0, RowCount() - 1).Bottom));
    canvas.Pen() = saved;
}
