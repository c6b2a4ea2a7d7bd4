// The painting pipeline of the string grid: the cell's canvas (font, brush,
// alignment), the fixed-cell looks, tree lines, the user drawing events and
// the focus rectangle. The text, graphic and border painters have their
// own files beside this one.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/cells/TCellProperties.h"
#include "grid/draw/CellPaint_p.h"
#include "grid/text/CellText.h"
#include "grid/draw/CellDrawing.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/ImageList.h"

#include <cmath>

void TExtStringGrid::PrepareCellCanvas(int col, int row, TGridDrawState& state, bool printing, bool selectionAware,
                                       bool remapColumn, TBrush& brush, TFont& font, TAlignment& hAlign,
                                       TVAlignment& vAlign, bool&)
{
    const int rc = remapColumn ? DisplayToRealCol(col) : col;
    const bool fixedArea = col < FixedCols() || row < FixedRows();
    font = printing ? d->printSettings.Font : (fixedArea ? d->fixedFont : Font());
    brush.SetColor(clNone);
    if (const TCellProperties* p = CellPropertiesOf(rc, row)) {
        if (p->BrushColor != clNone) brush.SetColor(p->BrushColor);
        if (p->FontColor != clNone) font.SetColor(p->FontColor);
        if (!p->FontStyle.Empty()) font.SetStyle(p->FontStyle);
        if (p->FontSize != 0) font.SetSize(p->FontSize);
        if (!p->FontName.isEmpty()) font.SetName(p->FontName);
    }
    if (brush.Color() == clNone) {
        brush.SetColor(Color());
        const TBands& b = d->bands;
        const int period = b.Period();
        // A period of 0 (or less) has no bands.
        if (b.Active() && period > 0 && (!printing || b.Print()) && col >= FixedCols() &&
            col < ColCount() - d->fixedRightCols && row >= FixedRows() && row < RowCount() - d->fixedFooters) {
            const int n = row - FixedRows();
            brush.SetColor(n % period < b.PrimaryLength() ? b.PrimaryColor() : b.SecondaryColor());
        }
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

    if (selectionAware && !printing && d->showSelection && !fixed) {
        const TMouseActions& ma = d->mouseActions;
        const bool selecting = d->draw.mouseSelecting;
        bool select = false;
        if (ma.DisjunctRowSelect) {
            select = IsRowSelected(row) ? !(row == Row() && selecting)
                                        : (state.Contains(TGridDrawStateItem::gdSelected) && selecting);
        } else if (ma.DisjunctColSelect) {
            select = IsColSelected(rc) ? !(col == Col() && selecting)
                                       : (state.Contains(TGridDrawStateItem::gdSelected) && selecting);
        } else {
            select = IsSelected(col, row);
        }
        if (select) {
            brush.SetColor(d->selectionColor);
            font.SetColor(d->selectionTextColor);
            if (ma.DisjunctRowSelect || ma.DisjunctColSelect)
                state = TGridDrawState{TGridDrawStateItem::gdSelected};
            else
                state += TGridDrawStateItem::gdSelected;
        }
    }
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
    const int check = std::max(0, d->controlLook.CheckSize());
    const TImageList* images = d->gridImages.get();
    switch (g->CellType) {
    case ctBitmap:
    case ctIcon: {
        const TGraphic* pic = g->CellType == ctBitmap ? g->Graphic : g->Icon;
        if (pic) {
            width = std::max(0, pic->Width());
            height = std::max(0, pic->Height());
        }
        break;
    }
    case ctImageList:
    case ctDataImage:
        if (images) {
            width = images->Width();
            height = images->Height();
        }
        drawText = g->CellType == ctImageList;
        break;
    case ctCheckBox: width = height = check; break;
    case ctDataCheckBox:
    case ctVirtCheckBox:
        width = height = check;
        drawText = false;
        break;
    case ctRotated:
    case ctRadio:
    case ctProgress: drawText = false; break;
    case ctImages:
        if (images) {
            const int n = int(g->Images.size());
            width = g->CellBoolean ? n * images->Width() : images->Width();
            height = g->CellBoolean ? images->Height() : n * images->Height();
        }
        break;
    case ctPicture:
    case ctFilePicture:
        if (g->Graphic) {
            // Fitted into the cell, the margin in CellIndex kept free.
            const TRect cell = GetCellRect(DisplColIndex(col), row);
            const int m = std::max(0, g->CellIndex);
            const int cw = std::max(0, cell.Width() - m);
            const int ch = std::max(0, cell.Height() - m);
            const int pw = std::max(0, g->Graphic->Width());
            const int ph = std::max(0, g->Graphic->Height());
            if (g->CellAngle == 1) {
                width = cw;
                height = ch;
            } else if (g->CellAngle == 2 && pw > 0 && ph > 0) {
                const double f = std::min(double(cw) / pw, double(ch) / ph);
                width = int(std::lround(pw * f));
                height = int(std::lround(ph * f));
            } else {
                width = pw;
                height = ph;
            }
        }
        break;
    case ctButton:
    case ctBitButton:
        width = g->CellIndex & 0xFFFF;
        height = (g->CellIndex >> 16) & 0xFFFF;
        break;
    case ctProgressPie: width = height = 20; break;
    default: break;
    }
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
    TCellGraphic* graphic = o.graphic;
    if (state.Contains(TGridDrawStateItem::gdSelected) && !state.Contains(TGridDrawStateItem::gdFocused) &&
        d->selectionColor == clNone)
        canvas.Brush().SetColor(clHighlight);
    if (d->draw.zoom != 0) canvas.Font().SetSize(canvas.Font().Size() + d->draw.zoom);

    int indicator = 0;
    if (rc == 0 && row == Row() && FixedCols() > 0 && d->rowIndicator && !d->rowIndicator->Empty()) {
        const TColor saved = canvas.Brush().Color();
        canvas.Brush().SetColor(FixedColor());
        canvas.FillRect(rect);
        const int top = rect.Top + (rect.Height() - d->rowIndicator->Height()) / 2;
        DrawBitmapTransparent(canvas, *d->rowIndicator, FixedColor(), TRect(rect.Left, top, rect.Right, rect.Bottom));
        canvas.Brush().SetColor(saved);
        indicator = d->rowIndicator->Width();
        rect.Left += indicator;
    }
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

    // Fixed right columns of a flat grid get black frames.
    if (d->fixedRightCols > 0 && ColCount() + NumHiddenColumns() - rc <= d->fixedRightCols && d->look != glClassic &&
        d->flat) {
        const TPen saved = canvas.Pen();
        canvas.Pen().SetColor(clBlack);
        canvas.Pen().SetWidth(1);
        const TRect& r = rect;
        if (Options().Contains(TGridOption::goFixedHorzLine)) {
            canvas.MoveTo(r.Left - 1, r.Top - 1);
            canvas.LineTo(r.Right + 1, r.Top - 1);
            canvas.MoveTo(r.Left - 1, r.Bottom + 1);
            canvas.LineTo(r.Right + 1, r.Bottom + 1);
        }
        if (Options().Contains(TGridOption::goFixedVertLine)) {
            canvas.MoveTo(r.Left - 1, r.Top - 1);
            canvas.LineTo(r.Left - 1, r.Bottom + 1);
            canvas.MoveTo(r.Right + 1, r.Top - 1);
            canvas.LineTo(r.Right + 1, r.Bottom + 1);
        }
        canvas.Pen() = saved;
    }

    // Tree lines beside the node column.
    if (NodeCount() > 0 && rc == 0 && row >= FixedRows() && d->cellNode.ShowTree()) {
        canvas.Pen().SetColor(clSilver);
        canvas.Pen().SetWidth(1);
        const int m = rect.Top + rect.Height() / 2;
        canvas.MoveTo(rect.Left - 8, m);
        canvas.LineTo(rect.Left, m);
        const int kind = GetNodeLineKind(row);
        if (kind == 1) {
            canvas.MoveTo(rect.Left - 8, rect.Top);
            canvas.LineTo(rect.Left - 8, m);
        } else if (kind == 2) {
            canvas.MoveTo(rect.Left - 8, rect.Top);
            canvas.LineTo(rect.Left - 8, rect.Bottom + 4);
        }
        canvas.Pen().SetStyle(TPenStyle::psSolid);
    }

    if (graphic) DrawCellGraphic(canvas, o, rect);

    if (OnDrawCell) {
        const int g = GridLineWidth();
        OnDrawCell(this, rc, row, TRect(rect.Left + 1, rect.Top + 1, rect.Right - g, rect.Bottom - g), state);
    }
    if (OnCustomCellDraw) OnCustomCellDraw(this, canvas, rc, row, state, rect, false);

    if (!d->hideFocusRect && !Options().Contains(TGridOption::goRowSelect) && hasFocus() &&
        BaseCellPoint(rc, row) == BaseCellPoint(DisplayToRealCol(Col()), Row())) {
        TRect f = rect;
        f.Inflate(GridLineWidth() - 1, GridLineWidth() - 1);
        f.Right -= 1;
        f.Bottom -= 1;
        canvas.DrawFocusRect(f);
    }
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
