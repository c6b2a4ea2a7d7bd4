// Fixed cells beyond the header row and column: footer rows and right
// columns painted as fixed, taking no selection and no editor; and the fixed
// counts FixedRowAlways and FixedColAlways keep.
#include "grid/TExtStringGrid.h"
#include "grid/cells/TCellProperties.h"
#include "tests/grid/edit/TypeIntoFocus.h"
#include "tests/support/RecordingCanvas.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class Grid : public TExtStringGrid {
public:
    Grid() : TExtStringGrid(nullptr, QStringLiteral("Grid"))
    {
        SetBorderStyle(TBorderStyle::bsNone);
        resize(500, 300);
        SetDefaultColWidth(60);
        SetDefaultRowHeight(20);
        SetColCount(6);
        SetRowCount(8);
        SetOptions(Options() + TGridOption::goEditing + TGridOption::goRangeSelect);
    }
    // What painting the cell records: its fill colour and the state the
    // colour hook was asked with.
    TColor PaintedBrush(int col, int row)
    {
        canvas.Clear();
        PaintTo(canvas, CalcCellRect(col, row));
        const auto fills = canvas.CallsOf(QStringLiteral("FillRect"));
        return fills.isEmpty() ? clNone : fills.front().Brush.Color();
    }
    bool PaintedAsFixed(int col, int row)
    {
        bool fixed = false;
        OnGetCellColor = [&](QObject*, int r, int c, TGridDrawState state, TBrush&, TFont&) {
            if (c == RealColIndex(col) && r == row) fixed = state.Contains(TGridDrawStateItem::gdFixed);
        };
        PaintedBrush(col, row);
        OnGetCellColor = nullptr;
        return fixed;
    }
    QPoint Center(int col, int row) const
    {
        const TRect r = CellRect(col, row);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    TRecordingCanvas canvas;
};

TEST(FixedFootersAndRightCols, PaintAsFixedCellsAndNeverSelected)
{
    Grid g;
    g.SetSelectionColor(clLime);
    g.SetSelection(TGridRect(1, 1, 5, 7)); // over the footer row and right column
    EXPECT_EQ(g.PaintedBrush(2, 7), clLime);
    EXPECT_FALSE(g.PaintedAsFixed(2, 7));

    g.SetFixedFooters(1);
    g.SetFixedRightCols(1);
    EXPECT_EQ(g.PaintedBrush(2, 7), g.FixedColor());
    EXPECT_TRUE(g.PaintedAsFixed(2, 7));
    EXPECT_EQ(g.PaintedBrush(5, 3), g.FixedColor());
    EXPECT_TRUE(g.PaintedAsFixed(5, 3));
    // The cells between stay selected.
    EXPECT_EQ(g.PaintedBrush(4, 6), clLime);
    EXPECT_FALSE(g.PaintedAsFixed(4, 6));
}

TEST(FixedFootersAndRightCols, HiddenColumnsCountAndMergedAreasFollowTheirBase)
{
    Grid g;
    g.SetFixedRightCols(1);
    g.HideColumn(2);
    // Five columns shown; the last one shows the last stored column.
    ASSERT_EQ(g.ColCount(), 5);
    EXPECT_TRUE(g.PaintedAsFixed(4, 3));
    EXPECT_FALSE(g.PaintedAsFixed(3, 3));
    g.UnHideColumnsAll();

    // An area reaching into the footer row from above is as fixed as its
    // base cell: not at all.
    g.SetFixedRightCols(0);
    g.SetFixedFooters(1);
    g.MergeCells(2, 6, 1, 2);
    EXPECT_FALSE(g.PaintedAsFixed(2, 6));
}

TEST(FixedFootersAndRightCols, AClickDoesNotSelectAndNoEditorOpens)
{
    Grid g;
    g.SetFixedFooters(1);
    g.SetFixedRightCols(1);
    g.show();
    QApplication::setActiveWindow(&g);
    g.setFocus();
    int clicks = 0;
    g.OnClickCell = [&](QObject*, int, int) { ++clicks; };

    g.FocusCell(2, 3);
    QTest::mouseClick(&g, Qt::LeftButton, {}, g.Center(2, 7));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(g.Row(), 3);
    QTest::mouseClick(&g, Qt::LeftButton, {}, g.Center(5, 2));
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(g.Col(), 2);
    // A normal cell beside them still selects.
    QTest::mouseClick(&g, Qt::LeftButton, {}, g.Center(4, 6));
    EXPECT_EQ(g.Col(), 4);
    EXPECT_EQ(g.Row(), 6);

    // A current cell that the fixed-cell event declares fixed opens no
    // editor there.
    g.FocusCell(4, 6);
    g.OnIsFixedCell = [](QObject*, int row, int col, bool& fixed) { fixed = row == 6 && col == 4; };
    QTest::keyClick(&g, Qt::Key_F2);
    EXPECT_FALSE(g.EditorMode());
    g.OnIsFixedCell = nullptr;
    QTest::keyClick(&g, Qt::Key_F2);
    EXPECT_TRUE(g.EditorMode());
}

// Shown and focused, not editing, with one fixed footer row and one fixed
// right column.
void ShowWithFixedFooterAndRightCol(Grid& g)
{
    g.SetOptions(g.Options() - TGridOption::goEditing);
    g.SetFixedFooters(1);
    g.SetFixedRightCols(1);
    g.show();
    QApplication::setActiveWindow(&g);
    g.setFocus();
}

TEST(FixedFootersAndRightCols, TheKeysStopBeforeThem)
{
    Grid g;
    ShowWithFixedFooterAndRightCol(g);
    const auto current = [&] { return QPoint(g.Col(), g.Row()); };
    const auto after = [&](Qt::Key key) {
        QTest::keyClick(&g, key);
        return current();
    };

    // Down from the last data row, and PageDown, stay on it.
    g.FocusCell(2, 5);
    EXPECT_EQ(after(Qt::Key_Down), QPoint(2, 6));
    EXPECT_EQ(after(Qt::Key_Down), QPoint(2, 6));
    EXPECT_EQ(after(Qt::Key_PageDown), QPoint(2, 6));
    // Right from the last normal column, and End, likewise.
    g.FocusCell(3, 2);
    EXPECT_EQ(after(Qt::Key_Right), QPoint(4, 2));
    EXPECT_EQ(after(Qt::Key_Right), QPoint(4, 2));
    EXPECT_EQ(after(Qt::Key_End), QPoint(4, 2));
    // Nor does the program put the current cell there.
    g.SetRow(7);
    g.SetCol(5);
    EXPECT_EQ(current(), QPoint(4, 2));
    // The cells the fixed-cell event declares fixed are refused too.
    g.OnIsFixedCell = [](QObject*, int row, int col, bool& fixed) { fixed = row == 3 && col == 4; };
    EXPECT_EQ(after(Qt::Key_Down), QPoint(4, 2));
    after(Qt::Key_Left);
    EXPECT_EQ(after(Qt::Key_Down), QPoint(3, 3));
}

TEST(FixedFootersAndRightCols, EndAndPageDownLandOnTheLastDataCell)
{
    Grid g;
    ShowWithFixedFooterAndRightCol(g);
    const auto after = [&](Qt::Key key, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(&g, key, mods);
        return QPoint(g.Col(), g.Row());
    };

    // Columns 1 to 4 and rows 1 to 6 hold the data.
    g.FocusCell(1, 2);
    EXPECT_EQ(after(Qt::Key_End), QPoint(4, 2));
    g.FocusCell(1, 2);
    EXPECT_EQ(after(Qt::Key_End, Qt::ControlModifier), QPoint(4, 6));
    g.FocusCell(2, 4);
    EXPECT_EQ(after(Qt::Key_PageDown), QPoint(2, 6));
    // Shift+End stretches the selection to the last data column.
    g.FocusCell(2, 3);
    after(Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(g.Selection(), TGridRect(2, 3, 4, 3));

    // End by rows, and by columns in row-select mode, alike.
    g.Navigation().HomeEndKey = heFirstLastRow;
    g.FocusCell(2, 1);
    EXPECT_EQ(after(Qt::Key_End), QPoint(2, 6));
    g.Navigation().HomeEndKey = heFirstLastColumn;
    g.SetOptions(g.Options() + TGridOption::goRowSelect);
    g.FocusCell(1, 3);
    EXPECT_EQ(after(Qt::Key_End), QPoint(4, 3));
}

TEST(FixedFootersAndRightCols, ANewShapeMovesTheCurrentCellOntoTheLastDataCell)
{
    Grid g;
    g.SetFixedFooters(1);
    g.SetFixedRightCols(1);
    const auto current = [&] { return QPoint(g.Col(), g.Row()); };

    // Fewer rows bring the footer row onto the current row, fewer columns
    // the right column onto the current column.
    g.FocusCell(3, 6);
    g.SetRowCount(6);
    EXPECT_EQ(current(), QPoint(3, 4));
    g.FocusCell(4, 2);
    g.SetColCount(5);
    EXPECT_EQ(current(), QPoint(3, 2));
    // Both, one after the other.
    g.FocusCell(3, 4);
    g.SetRowCount(5);
    g.SetColCount(4);
    EXPECT_EQ(current(), QPoint(2, 3));

    // A footer row or a right column turned on under the current cell.
    g.SetFixedFooters(0);
    g.FocusCell(1, 4);
    g.SetFixedFooters(1);
    EXPECT_EQ(current(), QPoint(1, 3));
    g.SetFixedRightCols(0);
    g.FocusCell(3, 1);
    g.SetFixedRightCols(1);
    EXPECT_EQ(current(), QPoint(2, 1));
    g.SetFixedFooters(0);
    g.FocusCell(2, 4);
    g.SetFloatingFooterVisible(true);
    EXPECT_EQ(current(), QPoint(2, 3));
    // The selection comes along, none of it left in a fixed cell.
    EXPECT_EQ(g.Selection(), TGridRect(2, 3, 2, 3));
}

TEST(FixedFootersAndRightCols, AWholeRowSelectedEndsOnItsLastDataCell)
{
    Grid g;
    g.SetFixedRightCols(1);
    g.SetOptions(g.Options() - TGridOption::goEditing + TGridOption::goRowSelect);
    g.MouseActions().DisjunctRowSelect = true;
    g.show();
    QApplication::setActiveWindow(&g);
    g.setFocus();
    // Shift+click on the right column, then a click in the same row.
    QTest::mouseClick(&g, Qt::LeftButton, Qt::ShiftModifier, g.Center(5, 1));
    EXPECT_LT(g.Col(), 5);
    QTest::mouseClick(&g, Qt::LeftButton, {}, g.Center(2, 1));
    EXPECT_LT(g.Col(), 5);
    QTest::mouseClick(&g, Qt::LeftButton, Qt::ControlModifier, g.Center(3, 4));
    EXPECT_LT(g.Col(), 5);
    // A program selection over the right column and the footer row.
    g.SetFixedFooters(1);
    g.SetSelection(TGridRect(1, 2, 5, 7));
    EXPECT_EQ(QPoint(g.Col(), g.Row()), QPoint(4, 6));
}

TEST(FixedFootersAndRightCols, AnOpenEditEndsInItsCellBeforeTheRowGoesOrTurnsFixed)
{
    Grid g;
    g.show();
    QApplication::setActiveWindow(&g);
    g.setFocus();
    const auto editCell = [&](int col, int row, const QString& text) {
        QTest::mouseClick(&g, Qt::LeftButton, {}, g.Center(col, row));
        QTest::keyClick(&g, Qt::Key_F2);
        ASSERT_TRUE(g.EditorMode());
        TypeIntoFocus(text);
    };
    // The row under the editor goes: the edit goes with it.
    editCell(2, 6, QStringLiteral("gone"));
    g.SetRowCount(4);
    EXPECT_FALSE(g.EditorMode());
    QTest::mouseClick(&g, Qt::LeftButton, {}, g.Center(2, 1));
    for (int row = 0; row < g.RowCount(); ++row) EXPECT_NE(g.Cells(2, row), QStringLiteral("gone")) << row;

    // The row under the editor turns into a footer: the edit stays there.
    editCell(1, 3, QStringLiteral("kept"));
    g.SetFixedFooters(1);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Cells(1, 3), QStringLiteral("kept"));
    TypeIntoFocus(QStringLiteral("x"));
    QTest::mouseClick(&g, Qt::LeftButton, {}, g.Center(2, 1));
    EXPECT_EQ(g.Cells(1, 3), QStringLiteral("kept"));
}

TEST(IsEditableCell, OnlyTheBaseCellOfAMergedArea)
{
    Grid g;
    g.MergeCells(1, 1, 2, 2);
    EXPECT_TRUE(g.IsEditableCell(1, 1));
    EXPECT_FALSE(g.IsEditableCell(2, 1));
    EXPECT_FALSE(g.IsEditableCell(1, 2));
    EXPECT_TRUE(g.IsEditableCell(3, 1));
    g.SplitCells(1, 1);
    EXPECT_TRUE(g.IsEditableCell(2, 2));
    EXPECT_FALSE(g.IsEditableCell(0, 2)); // the fixed column
    g.SetOptions(g.Options() - TGridOption::goEditing);
    EXPECT_FALSE(g.IsEditableCell(1, 1));
}

TEST(FixedRowAlways, TheRowCountKeepsOneFixedRow)
{
    Grid g;
    g.SetFixedRowAlways(true);
    g.SetRowCount(1);
    EXPECT_EQ(g.RowCount(), 1);
    EXPECT_EQ(g.FixedRows(), 1); // the class library has none left
    EXPECT_TRUE(g.PaintedAsFixed(2, 0));
    g.SetRowCount(4);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_FALSE(g.PaintedAsFixed(2, 1));

    // Without it a grid of one row has no fixed row.
    Grid h;
    h.SetRowCount(1);
    EXPECT_EQ(h.FixedRows(), 0);
    h.SetRowCount(4);
    EXPECT_EQ(h.FixedRows(), 0);
}

TEST(FixedRowAlways, TheFixedCountsAnswerAlikeWhicheverClassAsks)
{
    Grid g;
    g.SetFixedRowAlways(true);
    g.SetFixedColAlways(true);
    g.SetRowCount(1);
    g.SetColCount(1);
    const TBaseGrid& base = g;
    const TCustomGrid& custom = g;
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(base.FixedRows(), 1);
    EXPECT_EQ(custom.FixedRows(), 1);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_EQ(base.FixedCols(), 1);
    EXPECT_EQ(custom.FixedCols(), 1);
    // Without the settings the class library's count is the answer.
    g.SetFixedRowAlways(false);
    g.SetFixedColAlways(false);
    EXPECT_EQ(custom.FixedRows(), 0);
    EXPECT_EQ(base.FixedCols(), 0);
    g.SetRowCount(5);
    g.SetColCount(4);
    g.SetFixedRows(2);
    EXPECT_EQ(custom.FixedRows(), 2);
    EXPECT_EQ(g.FixedRows(), 2);
}

TEST(FixedColAlways, TheColumnCountKeepsOneFixedColumn)
{
    Grid g;
    g.SetFixedColAlways(true);
    g.SetColCount(1);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_TRUE(g.PaintedAsFixed(0, 3));
    g.SetFixedCols(0);
    g.SetColCount(3);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_TRUE(g.PaintedAsFixed(0, 3));
    EXPECT_FALSE(g.PaintedAsFixed(1, 3));
}

} // namespace
