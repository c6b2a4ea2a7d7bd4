#include "grid/TFooterPanel.h"

#include "controls/HTMLDraw.h"
#include "grid/TExtStringGrid.h"
#include "grid/cells/TCellProperties.h"
#include "platform/graphics/PainterCanvas.h"

#include <QPainter>

TFooterPanel::TFooterPanel(TExtStringGrid* grid) : QWidget(grid), m_grid(grid)
{
    setObjectName(QStringLiteral("FooterPanel"));
    hide();
}

TFooterPanel::~TFooterPanel() = default;

void TFooterPanel::Place()
{
    const TFloatingFooter& f = m_grid->FloatingFooter();
    const int h = f.Visible() ? std::max(0, f.FooterHeight - 1) : 0;
    setGeometry(0, std::max(0, m_grid->GridHeight() - h), m_grid->GridWidth(), h);
    setVisible(f.Visible() && h > 0);
    update();
}

void TFooterPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    TPainterCanvas canvas(&painter);
    PaintTo(canvas);
}

void TFooterPanel::PaintTo(TCanvas& canvas)
{
    if (m_grid->FloatingFooter().FooterStyle() == fsFixedLastRow)
        PaintLastRow(canvas);
    else
        PaintPreview(canvas);
}

void TFooterPanel::PaintLastRow(TCanvas& canvas)
{
    TExtStringGrid& g = *m_grid;
    const int row = g.RowCount() - 1;
    const TRect all(0, 0, width(), height());
    canvas.Brush().SetColor(g.FixedColor());
    canvas.FillRect(all);
    // The fixed columns, then the scrolled ones from the left column on, at
    // their places in the grid above.
    const auto paintColumn = [&](int col) {
        const TRect cell = g.CalcCellRect(col, row);
        TRect r(cell.Left, 0, cell.Right, height());
        if (r.Left >= all.Right) return;
        const int rc = g.RealColIndex(col);
        if (rc < 0) return;
        if (col >= g.FixedCols())
            if (const TCellProperties* p = g.CellPropertiesOf(rc, row); p && p->BrushColor != clNone) {
                canvas.Brush().SetColor(p->BrushColor);
                canvas.FillRect(r);
            }
        g.PaintFooterCell(canvas, col, row, r);
        canvas.Pen().SetColor(g.GridLineColor());
        canvas.Pen().SetWidth(1);
        const TGridOptions o = g.Options();
        if (o.Contains(TGridOption::goFixedVertLine) || o.Contains(TGridOption::goVertLine)) {
            canvas.MoveTo(r.Right - 1, 0);
            canvas.LineTo(r.Right - 1, height());
        }
    };
    for (int c = 0; c < g.FixedCols(); ++c) paintColumn(c);
    for (int c = std::max(g.LeftCol(), g.FixedCols()); c < g.ColCount(); ++c) paintColumn(c);
    if (g.Options().Contains(TGridOption::goFixedHorzLine) || g.Options().Contains(TGridOption::goHorzLine)) {
        canvas.Pen().SetColor(g.GridLineColor());
        canvas.MoveTo(0, 0);
        canvas.LineTo(all.Right, 0);
    }
}

void TFooterPanel::PaintPreview(TCanvas& canvas)
{
    TExtStringGrid& g = *m_grid;
    const TFloatingFooter& f = g.FloatingFooter();
    const TRect all(0, 0, width(), height());
    canvas.Brush().SetColor(f.Color());
    canvas.FillRect(all);
    // A raised one-pixel edge.
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetColor(clWhite);
    canvas.MoveTo(0, all.Bottom - 1);
    canvas.LineTo(0, 0);
    canvas.LineTo(all.Right - 1, 0);
    canvas.Pen().SetColor(TColor(0x808080));
    canvas.LineTo(all.Right - 1, all.Bottom - 1);
    canvas.LineTo(0, all.Bottom - 1);
    const TRect inner(2, 1, all.Right - 2, all.Bottom - 1);
    if (f.FooterStyle() == fsColumnPreview) {
        const int col = g.DisplColIndex(f.Column());
        if (col >= 0 && g.Row() >= 0 && g.Row() < g.RowCount()) g.PaintFooterCell(canvas, col, g.Row(), inner);
        return;
    }
    canvas.Font() = g.Font();
    THTMLDrawOptions options;
    options.ShadowColor = TColor(0x808080);
    options.Window = this;
    THTMLDrawResults results;
    HTMLDraw(canvas, g.FormatFooterTemplate(f.CustomTemplate()), inner, options, results);
}
