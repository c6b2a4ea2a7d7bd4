// The class library's grid: dimension and index rules, storage, moves and
// the paint walk.
#include "platform/grids/StringGrid.h"
#include "tests/support/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace {

class Grid : public TStringGrid {
public:
    Grid() : TStringGrid(nullptr, QStringLiteral("Grid"))
    {
        SetBorderStyle(TBorderStyle::bsNone);
        resize(400, 300);
    }
    using TCustomGrid::CellBounds;
};

TEST(CustomGridDimensions, FixedCountsStayBelowCounts)
{
    Grid g;
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_THROW(g.SetFixedCols(5), EInvalidGridOperation);
    EXPECT_THROW(g.SetFixedRows(7), EInvalidGridOperation);
    EXPECT_THROW(g.SetFixedRows(-1), EInvalidGridOperation);
    g.SetFixedCols(3);
    g.SetColCount(2); // lowering the count lowers the fixed count
    EXPECT_EQ(g.FixedCols(), 1);
    g.SetColCount(0);
    EXPECT_EQ(g.ColCount(), 1);
    EXPECT_EQ(g.FixedCols(), 0);
    g.SetRowCount(3);
    g.SetFixedRows(2);
    EXPECT_EQ(g.Row(), 2); // the current row leaves the fixed part
    EXPECT_EQ(g.TopRow(), 2);
}

TEST(CustomGridDimensions, WidthsHeightsAndRectangles)
{
    Grid g;
    g.SetColCount(4);
    g.SetRowCount(100);
    g.SetDefaultColWidth(50);
    g.SetDefaultRowHeight(20);
    g.SetGridLineWidth(1);
    g.SetColWidths(2, 80);
    EXPECT_EQ(g.ColWidths(2), 80);
    EXPECT_EQ(g.ColWidths(3), 50);
    EXPECT_EQ(g.CellRect(2, 1), TRect(102, 21, 182, 41));
    EXPECT_EQ(g.CellRect(0, 0), TRect(0, 0, 50, 20));
    g.SetTopRow(10);
    EXPECT_EQ(g.CellRect(1, 10), TRect(51, 21, 101, 41));
    EXPECT_TRUE(g.CellRect(1, 5).IsEmpty());              // scrolled out of view
    EXPECT_EQ(g.CellBounds(1, 9), TRect(51, 0, 101, 20)); // above the window, from TopRow
    int c = 0, r = 0;
    g.MouseToCell(120, 30, c, r);
    EXPECT_EQ(c, 2);
    EXPECT_EQ(r, 10);
    g.MouseToCell(10, 10, c, r);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(r, 0);
    g.MouseToCell(390, 30, c, r); // past the last column
    EXPECT_EQ(c, -1);
    EXPECT_EQ(g.VisibleRowCount(), (300 - 21 + 1) / 21);
    g.SetTopRow(1000);
    EXPECT_EQ(g.TopRow(), 100 - g.VisibleRowCount()); // the last page at most
}

TEST(CustomGridDimensions, ScrollBarExtentsAreBounded)
{
    Grid g;
    g.SetRowCount(100);
    g.SetColCount(40);
    g.show();
    const int styles = g.ScrollBarExtent();
    EXPECT_GT(styles, 0);
    g.SetScrollBarExtent(1'000'000);
    EXPECT_EQ(g.ScrollBarExtent(), TCustomGrid::kMaxScrollBarExtent);
    EXPECT_EQ(g.GridWidth(), 0); // wider than the grid: no cells show
    EXPECT_EQ(g.GridHeight(), 0);
    g.SetScrollBarExtent(0);
    EXPECT_EQ(g.ScrollBarExtent(), 0);
    EXPECT_EQ(g.GridWidth(), 400);
    g.SetScrollBarExtent(-1);
    EXPECT_EQ(g.ScrollBarExtent(), styles);
    EXPECT_EQ(g.GridWidth(), 400 - styles);
}

TEST(CustomGridStorage, DataOutlivesLowerColumnCounts)
{
    Grid g;
    g.SetCells(4, 2, QStringLiteral("far"));
    g.SetColCount(2);
    EXPECT_EQ(g.Cells(4, 2), QStringLiteral("far")); // read by real index
    g.SetColCount(5);
    EXPECT_EQ(g.Cells(4, 2), QStringLiteral("far"));
    g.SetCells(9, 1, QStringLiteral("beyond"));
    EXPECT_EQ(g.Cells(9, 1), QStringLiteral("beyond"));
    EXPECT_THROW(g.SetCells(0, 5, QStringLiteral("x")), EInvalidGridOperation);
    g.SetRowCount(2);
    EXPECT_TRUE(g.Cells(4, 2).isEmpty()); // rows follow RowCount
}

TEST(CustomGridStorage, MovesInsertsAndDeletesKeepObjects)
{
    Grid g;
    TObject a, b;
    for (int r = 0; r < 5; ++r) g.SetCells(0, r, QString::number(r));
    g.SetObjects(1, 1, &a);
    g.SetObjects(1, 3, &b);
    g.MoveRow(1, 3);
    EXPECT_EQ(g.RowTexts(3).value(0), QStringLiteral("1"));
    EXPECT_EQ(g.RowTexts(1).value(0), QStringLiteral("2"));
    EXPECT_EQ(g.Objects(1, 3), &a);
    EXPECT_EQ(g.Objects(1, 2), &b);
    g.DeleteRow(2);
    EXPECT_EQ(g.RowCount(), 4);
    EXPECT_EQ(g.Objects(1, 2), &a);
    g.InsertRow(0);
    EXPECT_EQ(g.Cells(0, 0), QString());
    EXPECT_EQ(g.Cells(0, 1), QStringLiteral("0"));
    g.SetCells(3, 1, QStringLiteral("c3"));
    g.MoveColumn(3, 1);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("c3"));
    EXPECT_EQ(g.Cells(0, 1), QStringLiteral("0"));
    g.InsertColumn(0);
    EXPECT_EQ(g.Cells(2, 1), QStringLiteral("c3"));
    g.DeleteColumn(0);
    g.DeleteColumn(0);
    EXPECT_EQ(g.Cells(0, 1), QStringLiteral("c3"));
    EXPECT_EQ(g.ColCount(), 4);
}

TEST(CustomGridSelection, CurrentCellAndOptions)
{
    Grid g;
    g.SetRowCount(10);
    bool refuse = false;
    g.OnSelectCell = [&](QObject*, int, int row, bool& can) { can = !(refuse && row == 4); };
    g.FocusCell(2, 3);
    EXPECT_EQ(g.Selection(), TGridRect(2, 3, 2, 3));
    g.FocusCell(4, 6, false); // extend
    EXPECT_EQ(g.Selection(), TGridRect(2, 3, 4, 6));
    refuse = true;
    g.SetRow(4);
    EXPECT_EQ(g.Row(), 6);
    g.SetOptions(g.Options() + TGridOption::goRowSelect);
    EXPECT_EQ(g.Selection().Left, 1);
    EXPECT_EQ(g.Selection().Right, 4);
    g.FocusCell(-3, 99);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 9);
}

TEST(CustomGridPaint, WalksOnlyTheCellsOfTheUpdateRegion)
{
    Grid g;
    g.SetColCount(5); // fits: no horizontal scroll bar
    g.SetRowCount(100000);
    g.SetDefaultColWidth(40);
    g.SetDefaultRowHeight(20);
    g.SetTopRow(5000);
    QVector<QPoint> drawn;
    g.OnDrawCell = [&](QObject*, int col, int row, TRect, TGridDrawState) { drawn << QPoint(col, row); };
    TRecordingCanvas canvas;
    g.PaintTo(canvas, TRect(50, 50, 70, 60)); // inside column 1, row 5001
    ASSERT_EQ(drawn.size(), 1);
    EXPECT_EQ(drawn[0], QPoint(1, 5001));
    drawn.clear();
    g.PaintTo(canvas, TRect(0, 0, 400, 300));
    EXPECT_EQ(drawn.size(), 5 * 15); // the fixed row and 14 rows of 21 pixels, the last one partly visible
    EXPECT_EQ(drawn.front(), QPoint(0, 0));
    EXPECT_EQ(drawn[5], QPoint(0, 5000));
    EXPECT_EQ(drawn.back(), QPoint(4, 5013));
}

TEST(CustomGridPaint, SizingLineIsDrawnInXorAndRemovedByTheSecondCall)
{
    Grid g;
    struct Probe : Grid {
        using TCustomGrid::DrawSizingLine;
        using TCustomGrid::SizingLines;
    } p;
    p.DrawSizingLine(77);
    ASSERT_EQ(p.SizingLines().size(), 1u);
    TRecordingCanvas canvas;
    p.PaintTo(canvas, TRect(0, 0, 400, 300));
    const auto lines = canvas.CallsOf(QStringLiteral("LineTo"));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.back().From, TPoint(77, 0));
    EXPECT_EQ(lines.back().Pen.Mode(), TPenMode::pmXor);
    EXPECT_EQ(lines.back().Pen.Style(), TPenStyle::psDot);
    p.DrawSizingLine(77);
    EXPECT_TRUE(p.SizingLines().empty());
}

} // namespace
