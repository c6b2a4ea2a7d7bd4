// Grids the grid tests start from: a frameless grid of a given size, counts
// and cell sizes, graphics attached to its cells, and a grid whose cells are
// painted one at a time onto the recording canvas.
#pragma once

#include "grid/TExtStringGrid.h"
#include "grid/cells/TCellGraphic.h"
#include "tests/support/RecordingCanvas.h"

#include <QEvent>
#include <QObject>

// Sizes of 0 keep the grid's defaults.
inline void ShapeGrid(TExtStringGrid& grid, int width, int height, int cols, int rows, int colWidth = 0,
                      int rowHeight = 0)
{
    grid.SetBorderStyle(TBorderStyle::bsNone);
    grid.resize(width, height);
    if (colWidth > 0) grid.SetDefaultColWidth(colWidth);
    if (rowHeight > 0) grid.SetDefaultRowHeight(rowHeight);
    grid.SetColCount(cols);
    grid.SetRowCount(rows);
}

// A graphic of the given type owned by the cell.
inline TCellGraphic* AttachGraphic(TExtStringGrid& grid, int col, int row, TCellType type)
{
    auto* g = new TCellGraphic;
    g->CellType = type;
    grid.SetCellAttachment(col, row, g);
    return g;
}

// A 5 x 10 grid of 60 x 20 cells that paints a cell on its own and answers
// what was recorded.
class PaintTestGrid : public TExtStringGrid {
public:
    explicit PaintTestGrid(QWidget* parent = nullptr, const QString& name = QStringLiteral("Grid"))
        : TExtStringGrid(parent, name)
    {
        ShapeGrid(*this, 400, 300, 5, 10, 60, 20);
    }
    TRecordingCanvas& PaintCell(int col, int row)
    {
        canvas.Clear();
        PaintTo(canvas, CalcCellRect(col, row));
        return canvas;
    }
    TColor CellBrush(int col, int row)
    {
        const auto fills = PaintCell(col, row).CallsOf(QStringLiteral("FillRect"));
        return fills.isEmpty() ? clNone : fills.front().Brush.Color();
    }
    TCellGraphic* AddGraphic(int col, int row, TCellType type) { return AttachGraphic(*this, col, row, type); }

    TRecordingCanvas canvas;
};

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

// A grid that counts how often it was asked to repaint whole.
template <class Base>
class RepaintCounting : public Base {
public:
    using Base::Base;
    // Whole repaints since the last call.
    int WholeRepaints()
    {
        const int n = whole;
        whole = 0;
        return n;
    }
    void InvalidateRect(const TRect& r) override
    {
        if (r == TRect(0, 0, this->ClientWidth(), this->ClientHeight())) ++whole;
        Base::InvalidateRect(r);
    }
    int whole = 0;
};
