// Pointer moves, sizing, the timer, the wheel and update blocks of the
// string grid.
#include "grid/TExtStringGrid.h"
#include "grid/column/TExtColumnGrid.h"
#include "grid/column/TGridColumnItem.h"
#include "tests/support/TestSupport.h"
#include "tests/grid/input/InputTestGrid.h"
#include "grid/THTMLHintWindow.h"
#include "grid/TExtStringGrid_p.h"
#include "platform/clipboard/DragDrop_p.h"
#include "grid/input/TGridCursors.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class Grid : public InputTestGrid {
public:
    Grid() : InputTestGrid(nullptr, QStringLiteral("Moves"), 5, 8) { }
    using InputTestGrid::MovingCol;
};

} // namespace

TEST(GridMoves, CursorStateFollowsTheHeaders)
{
    Grid g;
    g.MouseActions().ColSelect = true;
    g.MouseActions().RowSelect = true;
    g.MouseActions().AllSelect = true;
    QTest::mouseMove(&g, g.Center(2, 0));
    EXPECT_EQ(g.CursorState(), 1);
    QTest::mouseMove(&g, g.Center(0, 3));
    EXPECT_EQ(g.CursorState(), 2);
    QTest::mouseMove(&g, g.Center(0, 0));
    EXPECT_EQ(g.CursorState(), 3);
    QTest::mouseMove(&g, g.Center(2, 3));
    EXPECT_EQ(g.CursorState(), 0);

    // A press on a column header then selects the whole column.
    QTest::mouseMove(&g, g.Center(2, 0));
    QTest::mouseClick(&g, Qt::LeftButton, Qt::NoModifier, g.Center(2, 0));
    EXPECT_EQ(g.Selection(), TGridRect(2, 1, 2, 7));
}

TEST(GridMoves, DragStartsFourPixelsAwayAndARefusalSelects)
{
    Grid g;
    g.DragDropSettings().OleDropSource = true;
    int asked = 0, started = 0;
    g.OnOleDrag = [&](QObject*, int, int, const QString&, bool& allow) {
        ++asked;
        allow = asked > 1;
    };
    g.OnOleDragStart = [&](QObject*, int) { ++started; };
    int dragged = 0;
    DragDropTesting::SetDragRunner([&](QDrag&, TESGDropSource&) {
        ++dragged;
        return Qt::IgnoreAction;
    });
    g.FocusCell(2, 3);
    const QPoint p = g.Center(2, 3);
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseMove(&g, p + QPoint(3, 3), -1);
    EXPECT_EQ(asked, 0);
    QTest::mouseMove(&g, p + QPoint(4, 0), -1);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(started, 0);
    // The refused drag goes on as a range selection from the pressed cell.
    QTest::mouseMove(&g, g.Center(3, 5), -1);
    EXPECT_EQ(g.Selection(), TGridRect(2, 3, 3, 5));
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, g.Center(3, 5));
    g.FocusCell(2, 3);

    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseMove(&g, p + QPoint(0, 5), -1);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(dragged, 1);
    DragDropTesting::SetDragRunner(nullptr);
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, p + QPoint(0, 5));
}

TEST(GridMoves, SizingIsVetoedAndDroppedOutsideTheControl)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goColSizing);
    g.SetHintShowSizing(true);
    const TRect header = g.CellRect(1, 0);
    const QPoint border(header.Right, header.Top + 5);
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, border);
    QTest::mouseMove(&g, border + QPoint(40, 0), -1);
    EXPECT_TRUE(g.SizeHintText().startsWith(QStringLiteral("cw=<b>")));
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, border + QPoint(40, 0));
    EXPECT_NEAR(g.ColWidths(1), 120, 2);

    // Released beyond the right edge: the width stays.
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, QPoint(g.CellRect(1, 0).Right, 5));
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, QPoint(g.width() + 50, 5));
    EXPECT_NEAR(g.ColWidths(1), 120, 2);

    // A refusing OnColumnSize keeps the column.
    g.OnColumnSize = [](QObject*, int, bool& allow) { allow = false; };
    const int before = g.ColWidths(2);
    const QPoint b2(g.CellRect(2, 0).Right, 5);
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, b2);
    QTest::mouseMove(&g, b2 + QPoint(30, 0), -1);
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, b2 + QPoint(30, 0));
    EXPECT_EQ(g.ColWidths(2), before);
}

namespace {

// Drags the right border of header cell col (the bottom border of row
// row's fixed cell) by dx (dy) pixels.
void DragColumnBorder(TExtStringGrid& g, int col, int dx, int releaseX = -1)
{
    const QPoint border(g.CellRect(col, 0).Right, 5);
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, border);
    QTest::mouseMove(&g, border + QPoint(dx, 0), -1);
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier,
                        releaseX < 0 ? border + QPoint(dx, 0) : QPoint(releaseX, 5));
}

void DragRowBorder(TExtStringGrid& g, int row, int dy)
{
    const QPoint border(10, g.CellRect(0, row).Bottom);
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, border);
    QTest::mouseMove(&g, border + QPoint(0, dy), -1);
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, border + QPoint(0, dy));
}

} // namespace

TEST(GridMoves, ASizingEndsWithItsEventAndTheWidthHook)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goColSizing);
    QList<int> ended;
    g.OnEndColumnSize = [&](QObject*, int col) { ended << col; };
    g.OnUpdateColumnSize = [](QObject*, int, int& width) { width = std::min(width, 100); };
    DragColumnBorder(g, 1, 40);
    EXPECT_EQ(ended, QList<int>{1});
    EXPECT_EQ(g.ColWidths(1), 100);
    // Released outside the control: dropped, no end of sizing.
    DragColumnBorder(g, 2, 30, g.width() + 40);
    EXPECT_EQ(ended, QList<int>{1});
    EXPECT_EQ(g.ColWidths(2), 80);
    // Widths set by the program are no sizing.
    g.SetColWidths(3, 50);
    EXPECT_EQ(ended, QList<int>{1});
}

TEST(GridMoves, AllColumnAndRowSizeScaleTheOthers)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goColSizing + TGridOption::goRowSizing);
    g.MouseActions().AllColumnSize = true;
    g.MouseActions().AllRowSize = true;
    int rowEnded = -1;
    g.OnEndRowSize = [&](QObject*, int row) { rowEnded = row; };
    DragColumnBorder(g, 1, 40); // 80 -> 120: one and a half
    for (int c = 1; c < g.ColCount(); ++c) EXPECT_EQ(g.ColWidths(c), 120) << c;
    EXPECT_EQ(g.ColWidths(0), 80); // the fixed column keeps its width
    DragRowBorder(g, 2, 20);       // 20 -> 40: twice
    EXPECT_EQ(rowEnded, 2);
    for (int r = 1; r < g.RowCount(); ++r) EXPECT_EQ(g.RowHeights(r), 40) << r;
    EXPECT_EQ(g.RowHeights(0), 20);
}

TEST(GridMoves, ARowSizedLiveEndsAtTheRelease)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goRowSizing);
    g.MouseActions().AllRowSize = true;
    QList<int> ended;
    g.OnEndRowSize = [&](QObject*, int row) { ended << row; };
    const QPoint border(10, g.CellRect(0, 2).Bottom);
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, border);
    QTest::mouseMove(&g, border + QPoint(0, 5), -1);
    // The row follows the pointer; the sizing has not ended.
    EXPECT_EQ(g.RowHeights(2), 25);
    EXPECT_TRUE(ended.isEmpty());
    EXPECT_EQ(g.RowHeights(3), 20);
    QTest::mouseMove(&g, border + QPoint(0, 20), -1);
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, border + QPoint(0, 20));
    // Once, at the release, the others scaled by the height it ended at.
    EXPECT_EQ(ended, QList<int>{2});
    for (int r = 1; r < g.RowCount(); ++r) EXPECT_EQ(g.RowHeights(r), 40) << r;
}

TEST(GridMoves, ColumnItemsLimitWhatTheUserSizes)
{
    TExtColumnGrid g(nullptr, QStringLiteral("Columns"));
    g.SetBorderStyle(TBorderStyle::bsNone);
    g.resize(500, 300);
    g.SetColCount(4);
    g.SetRowCount(5);
    for (int c = 0; c < 4; ++c) g.SetColWidths(c, 80);
    g.SetOptions(g.Options() + TGridOption::goColSizing);
    g.show();
    g.Columns().Items(1)->MaxSize = 90;
    g.Columns().Items(2)->MinSize = 70;
    DragColumnBorder(g, 1, 40);
    EXPECT_EQ(g.ColWidths(1), 90);
    EXPECT_EQ(g.Columns().Items(1)->Width(), 90);
    DragColumnBorder(g, 2, -30);
    EXPECT_EQ(g.ColWidths(2), 70);
}

TEST(GridMoves, DisjunctCellsAreASetOfPairs)
{
    Grid g;
    g.MouseActions().DisjunctCellSelect = true;
    QTest::mouseClick(&g, Qt::LeftButton, Qt::NoModifier, g.Center(1, 1));
    QTest::mouseClick(&g, Qt::LeftButton, Qt::ControlModifier, g.Center(3, 2));
    EXPECT_TRUE(g.IsDisjunctCellSelected(1, 1));
    EXPECT_TRUE(g.IsDisjunctCellSelected(3, 2));
    EXPECT_EQ(g.DisjunctCellCount(), 2);
    QTest::mouseClick(&g, Qt::LeftButton, Qt::ControlModifier, g.Center(3, 2));
    EXPECT_FALSE(g.IsDisjunctCellSelected(3, 2));
    QTest::mouseClick(&g, Qt::LeftButton, Qt::NoModifier, g.Center(2, 4));
    EXPECT_EQ(g.DisjunctCellCount(), 1);
}

TEST(GridMoves, MovedColumnsTakeTheSortColumnAlong)
{
    Grid g;
    g.SortSettings().Column = 1;
    g.MoveColumn(1, 3);
    EXPECT_EQ(g.SortSettings().Column, 3);
    g.SortSettings().Column = 2;
    g.MoveColumn(4, 1); // 2 lies between: shifts right
    EXPECT_EQ(g.SortSettings().Column, 3);
}

TEST(GridTimer, HoverAndBlink)
{
    Grid g;
    g.HoverAt(g.Center(3, 4).x(), g.Center(3, 4).y());
    EXPECT_EQ(g.Col(), 3);
    EXPECT_EQ(g.Row(), 4);
    g.HoverAt(g.Center(0, 2).x(), g.Center(0, 2).y()); // a fixed cell: nothing
    EXPECT_EQ(g.Row(), 4);

    g.SetEnableBlink(true);
    g.SetCellText(2, 2, QStringLiteral("<bliNK>now</BLINK>"));
    QCoreApplication::processEvents();
    const unsigned before = g.PaintCounter();
    g.TimerTick();
    EXPECT_TRUE(testsupport::WaitUntil([&] { return g.PaintCounter() > before; }));
}

TEST(GridTimer, UpdateBlocksPaintOnceAtTheEnd)
{
    Grid g;
    QCoreApplication::processEvents();
    const unsigned before = g.PaintCounter();
    g.BeginUpdate();
    g.BeginUpdate();
    g.SetCellText(1, 1, QStringLiteral("x"));
    g.repaint();
    g.EndUpdate();
    g.repaint();
    EXPECT_EQ(g.PaintCounter(), before);
    g.EndUpdate();
    g.EndUpdate(); // one too many stays at 0
    EXPECT_EQ(g.UpdateCount(), 0);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return g.PaintCounter() > before; }));
}

TEST(GridTimer, CtrlWheelZoomsWithinTenSteps)
{
    Grid g;
    const int width = g.ColWidths(1);
    for (int i = 0; i < 14; ++i) {
        QWheelEvent e(QPointF(50, 50), g.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&g, &e);
    }
    EXPECT_EQ(g.ZoomLevel(), 10);
    EXPECT_EQ(g.ColWidths(1), width + 10);
}

TEST(GridTimer, WidthsFollowTheControlAndSurviveAZeroWidth)
{
    Grid g;
    g.ColumnSize().SynchWithGrid = true;
    g.resize(1000, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(g.ColWidths(1), 160);
    g.resize(0, 300);
    QCoreApplication::processEvents();
    g.resize(500, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(g.ColWidths(1), 80);
}

TEST(GridPanning, MovesTowardThePointerAndEndsOnAKey)
{
    Grid g;
    g.SetIntelliPan(ipBoth);
    g.FocusCell(2, 3);
    const QPoint origin = g.Center(2, 3);
    QTest::mousePress(&g, Qt::MiddleButton, Qt::NoModifier, origin);
    ASSERT_TRUE(g.Panning());
    g.PanStep(origin.x() + 3, origin.y() - 4); // inside the dead zone
    EXPECT_EQ(g.Row(), 3);
    g.PanStep(origin.x() + 20, origin.y() + 20);
    EXPECT_EQ(g.Row(), 4);
    EXPECT_EQ(g.Col(), 3);
    g.SetIntelliPan(ipVertical);
    g.PanStep(origin.x() + 20, origin.y() - 20);
    EXPECT_EQ(g.Row(), 3);
    EXPECT_EQ(g.Col(), 3);
    QTest::keyClick(&g, Qt::Key_A);
    EXPECT_FALSE(g.Panning());
    EXPECT_EQ(g.Row(), 3); // the key only ended panning

    // Not in a grid without data rows, nor with ipNone.
    g.SetIntelliPan(ipNone);
    QTest::mousePress(&g, Qt::MiddleButton, Qt::NoModifier, origin);
    EXPECT_FALSE(g.Panning());
}

TEST(GridMoves, EnhancedColumnMovesShowTheirMarksAndScroll)
{
    Grid g;
    g.SetColCount(12);
    g.SetOptions(g.Options() + TGridOption::goColMoving);
    g.SetCells(1, 0, QStringLiteral("Price"));
    g.SetCells(1, 1, QStringLiteral("p1"));
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, g.Center(1, 0));
    QTest::mouseMove(&g, g.Center(3, 0), -1);
    EXPECT_EQ(g.MoveTargetCol(), 3);
    ASSERT_NE(g.MoveImage(), nullptr);
    EXPECT_TRUE(g.MoveImage()->isVisible());
    // The arrows mark the trailing edge of a target past the moved column.
    ASSERT_NE(g.MoveArrow(1), nullptr);
    EXPECT_TRUE(g.MoveArrow(0)->isVisible());
    const QPoint arrow = g.mapFromGlobal(g.MoveArrow(1)->pos()) + QPoint(g.MoveArrow(1)->width() / 2, 0);
    EXPECT_EQ(arrow.x(), g.CellRect(3, 0).Right - 5);
    // Past the right edge the view scrolls one column per move.
    const int left = g.LeftCol();
    QTest::mouseMove(&g, QPoint(g.width() + 5, 10), -1);
    EXPECT_EQ(g.LeftCol(), left + 1);
    QTest::mouseMove(&g, QPoint(g.width() + 6, 10), -1);
    EXPECT_EQ(g.LeftCol(), left + 2);
    QTest::mouseMove(&g, g.Center(4, 0), -1);
    const int target = g.MoveTargetCol();
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, g.Center(4, 0));
    EXPECT_FALSE(g.MoveImage()->isVisible());
    EXPECT_FALSE(g.MoveArrow(0)->isVisible());
    EXPECT_EQ(g.MoveTargetCol(), -1);
    EXPECT_EQ(g.Cells(target, 1), QStringLiteral("p1"));

    // A right button let go during a move neither ends nor completes it.
    const int l = g.LeftCol();
    g.SetCells(l, 1, QStringLiteral("q1"));
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, g.Center(l, 0));
    QTest::mouseMove(&g, g.Center(l + 1, 0), -1);
    QTest::mouseRelease(&g, Qt::RightButton, Qt::NoModifier, g.Center(l + 1, 0));
    EXPECT_EQ(g.Cells(l, 1), QStringLiteral("q1"));
    EXPECT_EQ(g.MovingCol(), l);
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, g.Center(l + 1, 0));
    EXPECT_EQ(g.Cells(l + 1, 1), QStringLiteral("q1"));

    // Without EnhRowColMove nothing floats.
    g.SetEnhRowColMove(false);
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, g.Center(4, 0));
    QTest::mouseMove(&g, g.Center(5, 0), -1);
    EXPECT_EQ(g.MoveTargetCol(), -1);
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, g.Center(5, 0));
}

TEST(GridHints, CellTextsAnchorsAndTheEventAtTheHoveredCell)
{
    Grid g;
    g.SetCells(1, 1, QStringLiteral("<b>short</b>"));
    g.SetCells(2, 1, QStringLiteral("a text far too long for a cell of eighty pixels"));
    g.SetCells(1, 0, QStringLiteral("header"));
    g.SetCells(3, 1, QStringLiteral("<a href=\"more\">see more</a>"));
    g.SetEnableHTML(true);
    const QPoint shortCell = g.Center(1, 1), longCell = g.Center(2, 1);
    EXPECT_EQ(g.CellHintAt(shortCell.x(), shortCell.y()), QString());

    g.SetHintShowLargeText(true);
    EXPECT_EQ(g.CellHintAt(shortCell.x(), shortCell.y()), QString());
    EXPECT_EQ(g.CellHintAt(longCell.x(), longCell.y()), g.Cells(2, 1));
    EXPECT_EQ(g.HoverCell(), TPoint(2, 1));
    g.SetHintShowCells(true);
    EXPECT_EQ(g.CellHintAt(shortCell.x(), shortCell.y()), QStringLiteral("short"));
    g.SetHTMLHint(true);
    EXPECT_EQ(g.CellHintAt(shortCell.x(), shortCell.y()), QStringLiteral("<b>short</b>"));
    EXPECT_EQ(g.CellHintAt(g.Center(1, 0).x(), g.Center(1, 0).y()), QString()); // fixed cells have none

    // The anchor under the pointer, which the anchor event may change.
    g.SetHintShowCells(false);
    g.SetHintShowLargeText(false);
    g.SetAnchorHint(true);
    const TRect link = g.CellRect(3, 1);
    const QPoint onLink(link.Left + 8, (link.Top + link.Bottom) / 2);
    EXPECT_EQ(g.CellHintAt(onLink.x(), onLink.y()), QStringLiteral("more"));
    g.OnAnchorHint = [](QObject*, int, int, QString& anchor) { anchor = QStringLiteral("Go to ") + anchor; };
    EXPECT_EQ(g.CellHintAt(onLink.x(), onLink.y()), QStringLiteral("Go to more"));
    g.OnGridHint = [](QObject*, int row, int col, QString& hint) {
        if (col == 2 && row == 1) hint = QStringLiteral("from the event");
    };
    EXPECT_EQ(g.CellHintAt(longCell.x(), longCell.y()), QStringLiteral("from the event"));

    // Shown by the hint window at the cell on the hint request; moving to
    // another cell takes it away.
    QHelpEvent request(QEvent::ToolTip, longCell + g.ClientOrigin(), g.mapToGlobal(longCell));
    QApplication::sendEvent(&g, &request);
    ASSERT_NE(g.HintWindow(), nullptr);
    EXPECT_TRUE(g.HintWindow()->isVisible());
    EXPECT_EQ(g.HintWindow()->Hint(), QStringLiteral("from the event"));
    EXPECT_EQ(g.HintWindow()->Color(), g.HintColor());
    QTest::mouseMove(&g, g.Center(2, 3));
    EXPECT_FALSE(g.HintWindow()->isVisible());
}

TEST(GridCursors, OwnImagesForHeadersLinksAndPanning)
{
    Grid g;
    g.MouseActions().ColSelect = true;
    g.MouseActions().RowSelect = true;
    g.MouseActions().AllSelect = true;
    QTest::mouseMove(&g, g.Center(2, 0));
    EXPECT_TRUE(TGridCursors::IsCursor(g.cursor(), TGridCursors::crColSelect));
    QTest::mouseMove(&g, g.Center(0, 3));
    EXPECT_TRUE(TGridCursors::IsCursor(g.cursor(), TGridCursors::crRowSelect));
    QTest::mouseMove(&g, g.Center(0, 0));
    EXPECT_TRUE(TGridCursors::IsCursor(g.cursor(), TGridCursors::crSelectAll));
    g.SetURLShow(true);
    g.SetCells(2, 3, QStringLiteral("https://example.org"));
    QTest::mouseMove(&g, g.Center(2, 3));
    EXPECT_TRUE(TGridCursors::IsCursor(g.cursor(), TGridCursors::crLink));
    QTest::mouseMove(&g, g.Center(3, 3));
    EXPECT_EQ(g.cursor().shape(), Qt::ArrowCursor);

    // Panning shows where it goes; the origin mark follows the pan mode.
    g.SetIntelliPan(ipBoth);
    const QPoint origin = g.Center(2, 3);
    QTest::mousePress(&g, Qt::MiddleButton, Qt::NoModifier, origin);
    EXPECT_TRUE(TGridCursors::IsCursor(g.cursor(), TGridCursors::crPan));
    g.PanStep(origin.x() - 20, origin.y() + 20);
    EXPECT_TRUE(TGridCursors::IsCursor(g.cursor(), TGridCursors::crPanDownLeft));
    QTest::keyClick(&g, Qt::Key_Escape);
    EXPECT_EQ(TGridCursors::PanCursor(0, -1), TGridCursors::crPanUp);
    EXPECT_EQ(TGridCursors::PanCursor(1, -1), TGridCursors::crPanUpRight);
    EXPECT_EQ(TGridCursors::PanCursor(1, 0), TGridCursors::crPanRight);
    for (const char* mark : {"INTLI1", "INTLI2", "INTLI3"})
        EXPECT_EQ(TGridCursors::PanMark(QString::fromLatin1(mark)).size(), QSize(32, 32)) << mark;
    EXPECT_TRUE(TGridCursors::PanMark(QStringLiteral("../8000")).isNull());
    for (int id = TGridCursors::crPan; id <= TGridCursors::crSelectAll; ++id)
        EXPECT_EQ(TGridCursors::Cursor(id).shape(), Qt::BitmapCursor) << id;
    EXPECT_EQ(TGridCursors::Cursor(7999).shape(), Qt::ArrowCursor);
}

TEST(GridCursors, SizingBordersShowTheSizingCursorUnlessRefused)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goColSizing + TGridOption::goRowSizing);
    const QPoint colBorder(g.CellRect(2, 0).Right, 5);
    const QPoint rowBorder(10, g.CellRect(0, 3).Bottom);
    QTest::mouseMove(&g, colBorder);
    EXPECT_EQ(g.cursor().shape(), Qt::SplitHCursor);
    QTest::mouseMove(&g, rowBorder);
    EXPECT_EQ(g.cursor().shape(), Qt::SplitVCursor);
    QTest::mouseMove(&g, g.Center(2, 3));
    EXPECT_EQ(g.cursor().shape(), Qt::ArrowCursor);

    // A refusing event keeps the cursor from showing at that border only.
    std::vector<int> asked;
    g.OnColumnSize = [&](QObject*, int col, bool& allow) {
        asked.push_back(col);
        allow = col != 2;
    };
    g.OnRowSize = [](QObject*, int, bool& allow) { allow = false; };
    QTest::mouseMove(&g, colBorder);
    EXPECT_EQ(g.cursor().shape(), Qt::ArrowCursor);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back(), 2);
    QTest::mouseMove(&g, QPoint(g.CellRect(3, 0).Right, 5));
    EXPECT_EQ(g.cursor().shape(), Qt::SplitHCursor);
    QTest::mouseMove(&g, rowBorder);
    EXPECT_EQ(g.cursor().shape(), Qt::ArrowCursor);
}

TEST(GridCursors, TheGridsOwnCursorComesBackAfterItsOwnCursors)
{
    Grid g;
    g.MouseActions().ColSelect = true;
    g.SetURLShow(true);
    g.SetCells(2, 3, QStringLiteral("https://example.org"));
    g.setCursor(Qt::CrossCursor);
    QTest::mouseMove(&g, g.Center(3, 3));
    EXPECT_EQ(g.cursor().shape(), Qt::CrossCursor);
    QTest::mouseMove(&g, g.Center(2, 3));
    EXPECT_TRUE(TGridCursors::IsCursor(g.cursor(), TGridCursors::crLink));
    QTest::mouseMove(&g, g.Center(3, 3));
    EXPECT_EQ(g.cursor().shape(), Qt::CrossCursor);

    // A cursor set from outside resets the cursor state.
    QTest::mouseMove(&g, g.Center(2, 0));
    EXPECT_EQ(g.CursorState(), 1);
    g.setCursor(Qt::IBeamCursor);
    EXPECT_EQ(g.CursorState(), 0);
    QTest::mouseMove(&g, g.Center(3, 4));
    EXPECT_EQ(g.cursor().shape(), Qt::IBeamCursor);

    // Panning gives it back when it ends.
    g.SetIntelliPan(ipBoth);
    QTest::mousePress(&g, Qt::MiddleButton, Qt::NoModifier, g.Center(2, 4));
    EXPECT_TRUE(TGridCursors::IsCursor(g.cursor(), TGridCursors::crPan));
    QTest::keyClick(&g, Qt::Key_Escape);
    EXPECT_EQ(g.cursor().shape(), Qt::IBeamCursor);
}

TEST(GridForm, SizeWithFormFollowsTheFormsChangeOfSize)
{
    QWidget form;
    form.resize(400, 300);
    auto* g = new TExtStringGrid(&form, QStringLiteral("Follows"));
    g->SetBounds(10, 10, 200, 100);
    g->SetColCount(3);
    g->SetDefaultColWidth(40);
    g->ColumnSize().Stretch = true;
    form.show();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return form.width() == 400; }));
    g->SetSizeWithForm(true);
    form.resize(450, 320);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return g->width() == 250; }));
    EXPECT_EQ(g->height(), 120);
    // The stretch column fills what the others leave.
    EXPECT_EQ(g->ColWidths(0) + g->ColWidths(1) + g->ColWidths(2) + 1, g->GridWidth());
    // A change that would leave no grid keeps its size, and the next change
    // counts from the form's new size.
    form.resize(100, 320);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return form.width() == 100; }));
    EXPECT_EQ(g->width(), 250);
    form.resize(110, 330);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return g->width() == 260; }));
    EXPECT_EQ(g->height(), 130);
    g->SetSizeWithForm(false);
    form.resize(300, 300);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return form.width() == 300; }));
    EXPECT_EQ(g->width(), 260);
}

TEST(GridMoves, TheFixedColumnIsSizedFromItsBorderOverTheBody)
{
    Grid g;
    g.SetHintShowSizing(true);
    int clicks = 0;
    g.OnClick = [&](QObject*) { ++clicks; };
    const QPoint border(g.ColWidths(0) + 1, g.Center(0, 4).y());
    // Without SizeFixedCol the border is no handle: a press there is a click.
    QTest::mouseMove(&g, border);
    EXPECT_NE(g.cursor().shape(), Qt::SplitHCursor);
    g.MouseActions().SizeFixedCol = true;
    QTest::mouseMove(&g, border + QPoint(0, 1));
    EXPECT_EQ(g.cursor().shape(), Qt::SplitHCursor);

    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, border);
    QTest::mouseMove(&g, QPoint(120, border.y()), -1);
    EXPECT_EQ(g.SizeHintText(), QStringLiteral("cw=<b>120</b>"));
    ASSERT_NE(g.HintWindow(), nullptr);
    EXPECT_TRUE(g.HintWindow()->isVisible());
    EXPECT_EQ(g.HintWindow()->Hint(), QStringLiteral("cw=<b>120</b>"));
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, QPoint(120, border.y()));
    EXPECT_EQ(g.ColWidths(0), 120);
    EXPECT_FALSE(g.HintWindow()->isVisible());
    EXPECT_EQ(g.Selection(), TGridRect(1, 1, 1, 1)); // no cell was clicked
    EXPECT_EQ(clicks, 0);

    // Released beyond the control's right edge, the width stays.
    const QPoint newBorder(121, border.y());
    QTest::mouseMove(&g, newBorder);
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, newBorder);
    QTest::mouseMove(&g, QPoint(g.width() + 40, border.y()), -1);
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, QPoint(g.width() + 40, border.y()));
    EXPECT_EQ(g.ColWidths(0), 120);

    // Away from the border the cursor is the grid's own again.
    QTest::mouseMove(&g, g.Center(2, 4));
    EXPECT_NE(g.cursor().shape(), Qt::SplitHCursor);
}

TEST(GridMoves, TheRightButtonLeavesAnEnhancedMoveToTheLeftButton)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goColMoving);
    g.SetCells(1, 1, QStringLiteral("p1"));
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, g.Center(1, 0));
    QTest::mouseMove(&g, g.Center(3, 0), -1);
    ASSERT_TRUE(g.MoveImage() && g.MoveImage()->isVisible());
    QTest::mousePress(&g, Qt::RightButton, Qt::NoModifier, g.Center(2, 0));
    QTest::mouseRelease(&g, Qt::RightButton, Qt::NoModifier, g.Center(2, 0));
    // Still carried: nothing moved yet, the marks still show.
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("p1"));
    EXPECT_TRUE(g.MoveImage()->isVisible());
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, g.Center(3, 0));
    EXPECT_EQ(g.Cells(3, 1), QStringLiteral("p1"));
}
