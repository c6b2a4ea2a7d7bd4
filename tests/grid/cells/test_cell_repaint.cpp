// A cell's property setters and merging repaint the cell where it shows:
// with hidden columns its stored column sits further right than its display
// column; after a column or row move, in the cell it moved to.
#include "grid/TExtStringGrid.h"
#include "grid/cells/TCellProperties.h"
#include "tests/grid/TestGrids.h"

#include <QVector>
#include <gtest/gtest.h>

namespace {

class Grid : public TExtStringGrid {
public:
    explicit Grid(bool hideOne = true) : TExtStringGrid(nullptr, QStringLiteral("Grid"))
    {
        ShapeGrid(*this, 600, 300, 7, 6, 60, 20);
        if (hideOne) HideColumn(1); // stored column c shows in display column c - 1 from here on
        show();
    }
    void InvalidateRect(const TRect& r) override
    {
        invalidated.append(r);
        TExtStringGrid::InvalidateRect(r);
    }
    // The union of what was invalidated since the last call.
    TRect Taken()
    {
        TRect u = invalidated.isEmpty() ? TRect() : invalidated.front();
        for (const TRect& r : invalidated) {
            u.Left = std::min(u.Left, r.Left);
            u.Top = std::min(u.Top, r.Top);
            u.Right = std::max(u.Right, r.Right);
            u.Bottom = std::max(u.Bottom, r.Bottom);
        }
        invalidated.clear();
        return u;
    }
    QVector<TRect> invalidated;
};

TEST(CellRepaint, PropertySettersRepaintTheDisplayedCell)
{
    Grid g;
    ASSERT_EQ(g.DisplColIndex(4), 3);
    TCellProperties* p = g.GetCellProperties(4, 2);
    const TRect shown = g.GetCellRect(3, 2);
    g.Taken();
    p->SetBrushColor(clRed);
    EXPECT_EQ(g.Taken(), shown);
    p->SetVAlignment(vtaBottom);
    EXPECT_EQ(g.Taken(), shown);
    p->SetWordWrap(true);
    EXPECT_EQ(g.Taken(), shown);
    // And the colour shows there.
    EXPECT_EQ(p->BrushColor, clRed);
}

TEST(CellRepaint, PropertySettersRepaintTheCellAfterAMove)
{
    Grid g(false);
    TCellProperties* moved = g.GetCellProperties(1, 2);
    TCellProperties* shifted = g.GetCellProperties(2, 2); // one to the left after the move
    g.MoveColumn(1, 4);
    ASSERT_EQ(g.CellPropertiesOf(4, 2), moved);
    ASSERT_EQ(g.CellPropertiesOf(1, 2), shifted);
    g.Taken();
    moved->SetBrushColor(clRed);
    EXPECT_EQ(g.Taken(), g.GetCellRect(4, 2));
    shifted->SetBrushColor(clRed);
    EXPECT_EQ(g.Taken(), g.GetCellRect(1, 2));

    g.MoveRow(2, 4);
    ASSERT_EQ(g.CellPropertiesOf(4, 4), moved);
    g.Taken();
    moved->SetVAlignment(vtaBottom);
    EXPECT_EQ(g.Taken(), g.GetCellRect(4, 4));

    // Rows inserted and removed above it.
    g.InsertRows(1, 2);
    ASSERT_EQ(g.CellPropertiesOf(4, 6), moved);
    g.Taken();
    moved->SetBrushColor(clBlue);
    EXPECT_EQ(g.Taken(), g.GetCellRect(4, 6));
    g.RemoveRows(1, 3);
    ASSERT_EQ(g.CellPropertiesOf(4, 3), moved);
    g.Taken();
    moved->SetBrushColor(clRed);
    EXPECT_EQ(g.Taken(), g.GetCellRect(4, 3));
}

TEST(CellRepaint, MergingAndSplittingRepaintTheDisplayedArea)
{
    Grid g;
    // Stored columns 3 and 4 show as display columns 2 and 3.
    TRect area = g.CalcCellRect(2, 1);
    const TRect last = g.CalcCellRect(3, 2);
    area.Right = last.Right;
    area.Bottom = last.Bottom;
    g.Taken();
    g.MergeCells(3, 1, 2, 2);
    EXPECT_EQ(g.Taken(), area);
    g.SplitCells(4, 2);
    EXPECT_EQ(g.Taken(), area);
}

} // namespace
