#pragma once
// A small shown grid for the input tests: cell centres, clicks, keys and
// attached cell graphics.

#include "grid/TExtStringGrid.h"
#include "grid/cells/TCellGraphic.h"

#include <QTest>

class InputTestGrid : public TExtStringGrid {
public:
    InputTestGrid(QWidget* parent, const QString& name, int cols, int rows) : TExtStringGrid(parent, name)
    {
        SetBorderStyle(TBorderStyle::bsNone);
        resize(500, 300);
        SetDefaultColWidth(80);
        SetDefaultRowHeight(20);
        SetColCount(cols);
        SetRowCount(rows);
        if (!parent) show();
    }
    QPoint Center(int col, int row) const
    {
        const TRect r = CellRect(col, row);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    void ClickAt(QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mouseClick(this, Qt::LeftButton, mods, p);
    }
    void ClickCell(int col, int row, Qt::KeyboardModifiers mods = Qt::NoModifier) { ClickAt(Center(col, row), mods); }
    void Press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(this, key, mods); }
    TCellGraphic* AddGraphic(int col, int row, TCellType type)
    {
        auto* g = new TCellGraphic;
        g->CellType = type;
        SetCellAttachment(col, row, g);
        return g;
    }
};
