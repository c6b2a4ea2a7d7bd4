#pragma once
// The floating footer's panel: a strip along the bottom of its grid that
// stays in view while the rows scroll. It shows the grid's last row (the
// footer row with its column calculations), or a preview of the current
// row: one column's cell, or a template filled from the row's cells
// (TFloatingFooter, TExtStringGrid::FormatFooterTemplate).

#include "platform/graphics/Canvas.h"

#include <QWidget>

class TExtStringGrid;

class TFooterPanel : public QWidget {
public:
    // A child of the grid, hidden until the footer is shown.
    explicit TFooterPanel(TExtStringGrid* grid);
    ~TFooterPanel() override;

    TExtStringGrid* Grid() const { return m_grid; }
    // Places the panel along the bottom of the grid's cell area with the
    // footer height (0 while the footer is not visible).
    void Place();
    // Paints the panel's content on a canvas of its size.
    void PaintTo(TCanvas& canvas);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PaintLastRow(TCanvas& canvas);
    void PaintPreview(TCanvas& canvas);
    TExtStringGrid* m_grid;
};
