// Line work beyond the base grid's grid lines: cell borders, the frame
// round the cell being edited, the soft window frame and the XOR guide line
// of column moving and sizing.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/draw/TGridGlyphs.h"
#include "grid/input/TGridCursors.h"
#include "platform/graphics/PainterCanvas.h"

#include <QPainter>

void TExtStringGrid::DrawCellBorders(TCanvas& canvas, int rcol, int row, TRect r)
{
    const TPen saved = canvas.Pen();
    TCellBorders borders;
    GetCellBorder(rcol, row, canvas.Pen(), borders);
    if (!borders.Empty()) {
        TPen left = canvas.Pen(), top = canvas.Pen(), right = canvas.Pen(), bottom = canvas.Pen();
        if (OnGetCellBorderProp) OnGetCellBorderProp(this, row, rcol, left, top, right, bottom);
        const int half = (canvas.Pen().Width() + 1) / 2;
        r = TRect(r.Left + half, r.Top + half, r.Right - half, r.Bottom - half);
        auto line = [&](const TPen& pen, int x1, int y1, int x2, int y2) {
            canvas.Pen() = pen;
            canvas.MoveTo(x1, y1);
            canvas.LineTo(x2, y2);
        };
        if (borders.Contains(cbLeft)) line(left, r.Left, r.Top, r.Left, r.Bottom);
        if (borders.Contains(cbRight)) line(right, r.Right - 1, r.Top, r.Right - 1, r.Bottom);
        if (borders.Contains(cbTop)) line(top, r.Left, r.Top, r.Right, r.Top);
        if (borders.Contains(cbBottom)) line(bottom, r.Left, r.Bottom - 1, r.Right, r.Bottom - 1);
    }
    canvas.Pen() = saved;
}

void TExtStringGrid::Paint()
{
    TCanvas& canvas = *Canvas();
    canvas.Pen().SetStyle(TPenStyle::psSolid);
    TBaseGrid::Paint();
    if (EditorMode() || d->edit.editorShown) {
        TColor c = GridLineWidth() > 0 ? GridLineColor() : Color();
        if (!Options().Contains(TGridOption::goHorzLine) && !Options().Contains(TGridOption::goVertLine)) c = Color();
        canvas.Pen().SetColor(c);
        canvas.Brush().SetStyle(TBrushStyle::bsClear);
        canvas.Rectangle(GetCellRect(Col(), Row()));
        canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    }
    if (d->input.panning) {
        // The origin mark of the pan, in the pan's directions.
        const QString mark = d->input.intelliPan == ipVertical ? QStringLiteral("INTLI3")
            : d->input.intelliPan == ipHorizontal              ? QStringLiteral("INTLI2")
                                                               : QStringLiteral("INTLI1");
        TGridGlyphs::DrawTransparent(canvas, d->input.panOrigin.X - 16, d->input.panOrigin.Y - 16,
                                     TGridCursors::PanMark(mark));
    }
    canvas.Pen().SetColor(clBlack);
}

void TExtStringGrid::PaintSizingLine(int x) { DrawMoveLine(*Canvas(), x); }

void TExtStringGrid::DrawMoveLine(TCanvas& canvas, int x)
{
    const TPen saved = canvas.Pen();
    canvas.Pen().SetColor(clBlack);
    canvas.Pen().SetStyle(TPenStyle::psDot);
    canvas.Pen().SetMode(TPenMode::pmXor);
    canvas.Pen().SetWidth(1);
    canvas.MoveTo(x, 0);
    canvas.LineTo(x, std::max(Height(), CalcCellRect(0, RowCount() - 1).Bottom));
    canvas.Pen() = saved;
}

void TExtStringGrid::DrawSoftFrame(TCanvas& canvas)
{
    if ((d->look != glSoft && d->look != glDUV) || BorderStyle() != TBorderStyle::bsSingle || d->flat) return;
    const int w = Width();
    const int h = Height();
    const TPen saved = canvas.Pen();
    canvas.Pen().SetColor(clGray);
    canvas.Polyline({TPoint(1, h), TPoint(1, 1), TPoint(w - 2, 1), TPoint(w - 2, h - 2), TPoint(1, h - 2)});
    if (TWinControl* parent = parentWidget() ? TWinControl::Of(parentWidget()) : nullptr) {
        canvas.Pen().SetColor(parent->Color());
        canvas.Polyline({TPoint(0, h), TPoint(0, 0), TPoint(w - 1, 0), TPoint(w - 1, h - 1), TPoint(0, h - 1)});
    } else if (parentWidget()) {
        canvas.Pen().SetColor(FromQColor(parentWidget()->palette().window().color()));
        canvas.Polyline({TPoint(0, h), TPoint(0, 0), TPoint(w - 1, 0), TPoint(w - 1, h - 1), TPoint(0, h - 1)});
    }
    canvas.Pen() = saved;
}

void TExtStringGrid::PaintBorder()
{
    TBaseGrid::PaintBorder();
    if (d->updateCount >= 1) return;
    if ((d->look != glSoft && d->look != glDUV) || BorderStyle() != TBorderStyle::bsSingle || d->flat) return;
    QPainter painter(this);
    TPainterCanvas canvas(&painter);
    DrawSoftFrame(canvas);
}
