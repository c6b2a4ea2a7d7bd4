// The base grid: cell texts through merges, property objects, and the
// painting of cells, merged areas and grid lines through the recording
// canvas.
#include "grid/TBaseGrid.h"
#include "grid/cells/TCellProperties.h"
#include "tests/support/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace {

int g_alive = 0;
struct Counted : TObject {
    Counted() { ++g_alive; }
    ~Counted() override { --g_alive; }
};

class Grid : public TBaseGrid {
public:
    Grid() : TBaseGrid(nullptr, QStringLiteral("Grid"))
    {
        SetBorderStyle(TBorderStyle::bsNone);
        resize(400, 300);
        SetColCount(6);
        SetRowCount(20);
        SetDefaultColWidth(50);
        SetDefaultRowHeight(20);
    }
    QVector<std::pair<QPoint, TRect>> content;
    using TBaseGrid::KeyDown;

protected:
    void DrawCellContent(TCanvas& c, int col, int row, TRect r, TGridDrawState s) override
    {
        content.push_back({QPoint(col, row), r});
        TBaseGrid::DrawCellContent(c, col, row, r, s);
    }
};

TEST(BaseGridCells, TextsGoThroughTheBaseCell)
{
    Grid g;
    g.MergeCells(1, 1, 3, 2);
    g.SetCellText(3, 2, QStringLiteral("area"));
    EXPECT_EQ(g.GetCellRaw(1, 1), QStringLiteral("area"));
    EXPECT_EQ(g.GetCellText(2, 1), QStringLiteral("area"));
    EXPECT_TRUE(g.GetCellRaw(3, 2).isEmpty());
    g.SetCellRaw(2, 2, QStringLiteral("own"));
    g.SplitCells(2, 2);
    EXPECT_EQ(g.GetCellText(2, 2), QStringLiteral("own"));
    EXPECT_EQ(g.GetCellText(1, 1), QStringLiteral("area"));
}

TEST(BaseGridCells, DisplayTextHookStopsAtTheUserRowCount)
{
    Grid g;
    g.OnGetDisplText = [](QObject*, int, int, QString& v) { v += QLatin1Char('!'); };
    g.SetCellText(1, 5, QStringLiteral("a"));
    g.SetCellText(1, 15, QStringLiteral("b"));
    g.SetUserRowCount(10);
    EXPECT_EQ(g.GetCellText(1, 5), QStringLiteral("a!"));
    EXPECT_EQ(g.GetCellText(1, 15), QStringLiteral("b"));
}

TEST(BaseGridCells, ClearingFreesPropertyObjects)
{
    int before = g_alive;
    {
        Grid g;
        g.SetCellObject(1, 1, new Counted);
        g.SetCellObject(2, 1, new Counted);
        g.SetCellObject(3, 4, new Counted);
        g.SetCellObject(4, 7, new Counted);
        g.SetCellObject(4, 19, new Counted);
        EXPECT_EQ(g_alive, before + 5);
        g.ClearCell(1, 1);
        EXPECT_EQ(g_alive, before + 4);
        g.ClearRow(1);
        EXPECT_EQ(g_alive, before + 3);
        g.ClearColumn(3);
        EXPECT_EQ(g_alive, before + 2);
        g.SetRowCount(10); // row 19 goes
        EXPECT_EQ(g_alive, before + 1);
    }
    EXPECT_EQ(g_alive, before); // the rest with the grid
}

TEST(BaseGridPaint, CellsGetTheirLinesAndShrunkContent)
{
    Grid g;
    g.SetGridLineWidth(1);
    TRecordingCanvas canvas;
    g.PaintTo(canvas, g.CalcCellRect(2, 3));
    ASSERT_EQ(g.content.size(), 1);
    EXPECT_EQ(g.content[0].first, QPoint(2, 3));
    const TRect cell = g.CalcCellRect(2, 3);
    EXPECT_EQ(cell, TRect(100, 60, 150, 80));
    EXPECT_EQ(g.content[0].second, cell.Inflated(-1, -1));
    const auto lines = canvas.CallsOf(QStringLiteral("LineTo"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].From, TPoint(100, 79)); // bottom line
    EXPECT_EQ(lines[0].To, TPoint(150, 79));
    EXPECT_EQ(lines[1].From, TPoint(149, 79)); // right line
    EXPECT_EQ(lines[1].To, TPoint(149, 59));
    EXPECT_EQ(lines[0].Pen.Color(), clSilver);
}

TEST(BaseGridPaint, WideLinesUseTheirHalfWidth)
{
    Grid g;
    g.SetGridLineWidth(3);
    g.SetGridLineColor(clRed);
    TRecordingCanvas canvas;
    g.PaintTo(canvas, g.CalcCellRect(2, 3));
    const auto lines = canvas.CallsOf(QStringLiteral("LineTo"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].From, TPoint(100 - 2 + 1, 80 - 2));
    EXPECT_EQ(lines[0].Pen.Width(), 3);
    EXPECT_EQ(lines[0].Pen.Color(), clRed);
    EXPECT_EQ(g.content[0].second, TRect(103, 63, 147, 77));
}

TEST(BaseGridPaint, NoLinesWithZeroLineWidth)
{
    Grid g;
    g.SetGridLineWidth(0);
    TRecordingCanvas canvas;
    g.PaintTo(canvas, g.CalcCellRect(2, 3));
    EXPECT_TRUE(canvas.CallsOf(QStringLiteral("LineTo")).isEmpty());
    EXPECT_EQ(g.content[0].second, g.CalcCellRect(2, 3));
}

TEST(BaseGridPaint, MergedAreaPaintedOnceWithItsWholeRectangle)
{
    Grid g;
    g.MergeCells(2, 2, 3, 2);
    TRecordingCanvas canvas;
    g.PaintTo(canvas, TRect(0, 0, 400, 300));
    int areas = 0;
    for (const auto& [cell, r] : g.content) {
        if (cell == QPoint(2, 2)) {
            ++areas;
            EXPECT_EQ(r, TRect(101, 41, 249, 79));
        }
        EXPECT_FALSE(cell.x() >= 2 && cell.x() <= 4 && cell.y() >= 2 && cell.y() <= 3 && cell != QPoint(2, 2));
    }
    EXPECT_EQ(areas, 1);
}

TEST(BaseGridPaint, AreaWhoseBaseLiesOutsideTheUpdateIsPaintedInTheFirstPass)
{
    Grid g;
    g.MergeCells(1, 1, 3, 1);
    TRecordingCanvas canvas;
    // The very first paint of the grid reaches only the last cell of the area.
    g.PaintTo(canvas, g.CalcCellRect(3, 1));
    ASSERT_EQ(g.content.size(), 1);
    EXPECT_EQ(g.content[0].first, QPoint(1, 1));
    EXPECT_EQ(g.content[0].second, TRect(51, 21, 199, 39));
}

TEST(BaseGridPaint, AreaUnderTheFixedColumnsIsClipped)
{
    Grid g;
    g.SetColCount(12);
    g.MergeCells(1, 5, 3, 1);
    g.SetLeftCol(2);
    ASSERT_EQ(g.LeftCol(), 2); // the base cell scrolls under the fixed column
    TRecordingCanvas canvas;
    g.PaintTo(canvas, g.CalcCellRect(2, 5));
    const auto fills = canvas.CallsOf(QStringLiteral("FillRect"));
    ASSERT_FALSE(fills.isEmpty());
    ASSERT_TRUE(fills[0].Clip.has_value());
    EXPECT_EQ(fills[0].Clip->boundingRect().left(), 50);
    EXPECT_EQ(fills[0].Rect.Left, 0); // the area starts left of the fixed column's edge
}

TEST(BaseGridPaint, FooterRowIsAPlainBlock)
{
    Grid g;
    g.SetRowCount(5);
    g.SetFooterRowFlag(true);
    TRecordingCanvas canvas;
    g.PaintTo(canvas, g.CalcCellRect(2, 4));
    EXPECT_TRUE(g.content.isEmpty());
    EXPECT_EQ(canvas.CallsOf(QStringLiteral("FillRect")).size(), 1);
}

TEST(BaseGridKeys, ArrowsLeaveAMergedAreaInOneStep)
{
    Grid g;
    g.MergeCells(2, 2, 3, 3);
    g.FocusCell(3, 3); // inside the area: moved to its base cell by the keys
    int key = Win::VK_RIGHT;
    g.FocusCell(2, 2);
    TShiftState none;
    Grid& k = g;
    k.KeyDown(key, none);
    EXPECT_EQ(g.Col(), 5);
    EXPECT_EQ(g.Row(), 2);
    key = Win::VK_LEFT;
    k.KeyDown(key, none);
    EXPECT_EQ(g.Col(), 2); // into the area: its base cell
    key = Win::VK_DOWN;
    k.KeyDown(key, none);
    EXPECT_EQ(g.Row(), 5);
    // From a covered cell, Left and Up leave the area by one step.
    g.FocusCell(4, 4);
    key = Win::VK_LEFT;
    k.KeyDown(key, none);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 2);
    g.FocusCell(3, 4);
    key = Win::VK_UP;
    k.KeyDown(key, none);
    EXPECT_EQ(g.Col(), 2);
    EXPECT_EQ(g.Row(), 1);
}

} // namespace
