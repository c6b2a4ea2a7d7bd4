// Stretching a column, keeping cells in view and whole-row heights.
#include "grid/TExtStringGrid.h"
#include "tests/support/PrintQString.h"

#include <gtest/gtest.h>

namespace {

class Grid : public TExtStringGrid {
public:
    Grid() : TExtStringGrid(nullptr, QStringLiteral("Grid"))
    {
        SetBorderStyle(TBorderStyle::bsNone);
        resize(300, 200);
        SetDefaultColWidth(50);
        SetDefaultRowHeight(20);
        SetColCount(3);
        SetRowCount(100);
    }
};

} // namespace

TEST(StretchColumn, TheColumnTakesTheWidthTheOthersLeave)
{
    Grid g;
    g.StretchColumn(-1); // Stretch off: nothing
    EXPECT_EQ(g.ColWidths(2), 50);
    g.ColumnSize().StretchColumn = -1;
    g.SetColumnSizeStretch(true);
    EXPECT_EQ(g.ColWidths(2), g.GridWidth() - 100 - 1);
    g.SetColWidths(0, 400);
    g.StretchColumn(2);
    EXPECT_EQ(g.ColWidths(2), 50); // no room left: the default width
    try {
        g.StretchColumn(3);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Stretch column index out of range");
    }
}

TEST(ScrollInView, TheWindowStaysWithinTheFixedPartAndTheLastPage)
{
    Grid g;
    const int visible = g.VisibleRowCount();
    ASSERT_GT(visible, 2);
    g.ScrollInView(1, 99);
    EXPECT_EQ(g.Row(), 99);
    // Centring would overshoot: the last full window.
    EXPECT_EQ(g.TopRow(), 100 - visible);
    g.ScrollInView(1, 2);
    EXPECT_EQ(g.Row(), 2);
    // Centring would fall under the fixed row.
    EXPECT_EQ(g.TopRow(), g.FixedRows());
    g.ScrollInView(5, 500); // outside the grid: nothing
    EXPECT_EQ(g.Row(), 2);
}

TEST(IntegralHeight, HeightsSnapToWholeRowsAndAZeroRowHeightSkipsIt)
{
    Grid g;
    g.SetColCount(20); // not all columns visible
    g.SetIntegralHeight(true);
    g.SetBounds(0, 0, 300, 205);
    EXPECT_EQ(g.Height(), 200 - 1);
    g.SetDefaultRowHeight(0);
    g.SetBounds(0, 0, 300, 205);
    EXPECT_EQ(g.Height(), 205);
}
