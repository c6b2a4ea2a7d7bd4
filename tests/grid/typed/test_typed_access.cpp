// Typed cell access, check boxes, radio cells and picture sizes, and
// advancing to the next cell.
#include "grid/TExtStringGrid.h"
#include "grid/cells/TCellGraphic.h"
#include "platform/core/RegionalSettings.h"
#include "platform/graphics/Bitmap.h"
#include "tests/support/PrintQString.h"

#include <gtest/gtest.h>

namespace {

class Grid : public TExtStringGrid {
public:
    Grid() : TExtStringGrid(nullptr, QStringLiteral("Grid"))
    {
        resize(400, 300);
        SetColCount(4);
        SetRowCount(4);
    }
    TCellGraphic* Graphic(int col, int row, TCellType type)
    {
        auto* g = new TCellGraphic;
        g->CellType = type;
        SetCellAttachment(col, row, g);
        return g;
    }
};

} // namespace

TEST(TypedAccess, NumbersAreReadAndWritten)
{
    ScopedRegionalSettings us{TFormatSettings{}};
    Grid g;
    EXPECT_EQ(g.CellAsInteger(1, 1), 0);
    g.SetCellText(1, 1, "12a");
    EXPECT_THROW(g.CellAsInteger(1, 1), EExtGridError);
    g.SetCellInteger(1, 1, -42);
    EXPECT_EQ(g.GetCellText(1, 1), "-42");
    EXPECT_EQ(g.CellAsInteger(1, 1), -42);
    g.SetCellFloat(2, 1, 3.14159);
    EXPECT_EQ(g.GetCellText(2, 1), "3.14");
    g.SetCellText(2, 2, "(1,234.50)");
    EXPECT_DOUBLE_EQ(g.CellAsFloat(2, 2), -1234.5);
    EXPECT_DOUBLE_EQ(g.CellAsFloat(3, 3), 0);
    g.SetCellText(3, 3, "abc");
    EXPECT_DOUBLE_EQ(g.CellAsFloat(3, 3), 0); // no number at all reads as empty
}

TEST(TypedAccess, DataCheckBoxesShowTheirCheckTexts)
{
    Grid g;
    g.Graphic(1, 1, ctDataCheckBox);
    g.SetCellText(1, 1, "maybe");
    bool state = true;
    ASSERT_TRUE(g.GetCheckBoxState(1, 1, state));
    EXPECT_FALSE(state);
    // Neither text: toggling sets the true text.
    EXPECT_TRUE(g.ToggleCheckBox(1, 1, false));
    EXPECT_EQ(g.GetCellText(1, 1), "Y");
    EXPECT_TRUE(g.ToggleCheckBox(1, 1, false));
    EXPECT_EQ(g.GetCellText(1, 1), "N");
    // Setting the state writes the text a reader sees.
    g.SetCheckBoxState(1, 1, true);
    EXPECT_EQ(g.GetCellText(1, 1), "Y");
    ASSERT_TRUE(g.GetCheckBoxState(1, 1, state));
    EXPECT_TRUE(state);

    TCellGraphic* plain = g.Graphic(2, 1, ctCheckBox);
    g.SetCheckBoxState(2, 1, true);
    EXPECT_TRUE(plain->CellBoolean);
    g.OnCanEditCell = [](QObject*, int, int, bool& can) { can = false; };
    EXPECT_FALSE(g.ToggleCheckBox(2, 1, true));
    EXPECT_TRUE(plain->CellBoolean);
    EXPECT_TRUE(g.ToggleCheckBox(2, 1, false));
    EXPECT_FALSE(plain->CellBoolean);

    // No graphic: nothing, and nothing read.
    g.SetCheckBoxState(3, 3, true);
    EXPECT_FALSE(g.GetCheckBoxState(3, 3, state));
    EXPECT_EQ(g.GetCellText(3, 3), "");
}

TEST(TypedAccess, RadioCellsStepAndWrap)
{
    Grid g;
    TCellGraphic* radio = g.Graphic(1, 2, ctRadio);
    radio->Options = QStringList{"a", "b", "c"};
    radio->CellIndex = 1;
    EXPECT_TRUE(g.StepRadioButton(1, 2, false));
    EXPECT_EQ(radio->CellIndex, 2);
    EXPECT_EQ(g.GetCellText(1, 2), "c");
    EXPECT_TRUE(g.StepRadioButton(1, 2, false));
    EXPECT_EQ(radio->CellIndex, 0);
    EXPECT_EQ(g.GetCellText(1, 2), "a");
    // Bound to the text: the index stays -1.
    radio->CellIndex = -1;
    g.SetCellText(1, 2, "b");
    EXPECT_TRUE(g.StepRadioButton(1, 2, false));
    EXPECT_EQ(g.GetCellText(1, 2), "c");
    EXPECT_EQ(radio->CellIndex, -1);
    // Without options: nothing happens.
    TCellGraphic* empty = g.Graphic(2, 2, ctRadio);
    empty->CellIndex = 0;
    EXPECT_FALSE(g.StepRadioButton(2, 2, false));
    EXPECT_EQ(g.GetCellText(2, 2), "");
    int index = 9;
    EXPECT_TRUE(g.GetRadioIndex(2, 2, index));
    EXPECT_EQ(index, 0);
    EXPECT_TRUE(g.IsRadioButtonCell(1, 2));
    EXPECT_TRUE(g.IsCheckOrRadioCell(1, 2));
    EXPECT_FALSE(g.IsCheckBoxCell(1, 2));
}

TEST(TypedAccess, PictureSizesFollowTheStretchMode)
{
    TBitmap picture(200, 200);
    TCellGraphic g;
    g.CellType = ctPicture;
    g.Graphic = &picture;
    g.CellAngle = 2;
    EXPECT_EQ(TExtStringGrid::GetPictureSize(g, 100, 50), TPoint(50, 50));
    g.CellAngle = 1;
    g.CellIndex = 4;
    EXPECT_EQ(TExtStringGrid::GetPictureSize(g, 100, 50), TPoint(96, 46));
    g.CellIndex = 0;
    g.CellAngle = 3;
    EXPECT_EQ(TExtStringGrid::GetPictureSize(g, 100, 50), TPoint(100, 50));
    g.CellAngle = 4;
    EXPECT_EQ(TExtStringGrid::GetPictureSize(g, 300, 300), TPoint(200, 200));
    EXPECT_EQ(TExtStringGrid::GetPictureSize(g, 100, 300), TPoint(100, 100));
    g.CellAngle = 0;
    EXPECT_EQ(TExtStringGrid::GetPictureSize(g, 10, 10), TPoint(200, 200));

    // A picture of no height has no undefined factor; a margin wider than
    // the cell gives no negative size.
    TBitmap flat(40, 0);
    g.Graphic = &flat;
    g.CellAngle = 2;
    EXPECT_EQ(TExtStringGrid::GetPictureSize(g, 100, 50), TPoint(flat.Width(), 50));
    g.CellAngle = 1;
    g.CellIndex = 500;
    EXPECT_EQ(TExtStringGrid::GetPictureSize(g, 100, 50), TPoint(0, 0));
    g.CellType = ctBitmap;
    EXPECT_EQ(TExtStringGrid::GetPictureSize(g, 100, 50), TPoint(0, 0));
}

TEST(Advance, LeftToRightWrapsToTheFirstDataCell)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.Navigation().AdvanceOnEnter = true;
    g.FocusCell(3, 3);
    g.AdvanceToNextCell(3, 3, false, false, true);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 1);
    g.AdvanceToNextCell(1, 1, false, false, true);
    EXPECT_EQ(g.Col(), 2);
    // Off without Force.
    g.Navigation().AdvanceOnEnter = false;
    g.AdvanceToNextCell(2, 1, false, false, true);
    EXPECT_EQ(g.Col(), 2);
    g.AdvanceToNextCell(2, 1, true, false, false);
    EXPECT_EQ(g.Col(), 1);
}

TEST(Advance, MergedAreasAndReadOnlyColumnsAreSteppedOver)
{
    Grid g;
    g.SetColCount(6);
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.MergeCells(1, 1, 3, 1);
    g.AdvanceToNextCell(1, 1, true, false, true);
    EXPECT_EQ(g.Col(), 4);
    g.OnCanEditCell = [](QObject*, int, int col, bool& can) { can = col != 5; };
    g.AdvanceToNextCell(4, 1, true, false, true);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 2);
}

TEST(Advance, AppendsOneRowAtTheEndWithAdvanceInsert)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.Navigation().AdvanceInsert = true;
    int added = -1;
    g.OnAutoAddRow = [&](QObject*, int row) { added = row; };
    g.FocusCell(3, 3);
    g.AdvanceToNextCell(3, 3, true, false, true);
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(added, 4);
    EXPECT_EQ(g.Row(), 4);
    EXPECT_EQ(g.Col(), 1);
    g.OnCanAddRow = [](QObject*, bool& can) { can = false; };
    g.FocusCell(3, 4);
    g.AdvanceToNextCell(3, 4, true, false, true);
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.Row(), 1);
}

TEST(Advance, WalksEitherWayAlongRowsOrDownColumns)
{
    Grid g; // data cells 1..3 x 1..3
    g.SetOptions(g.Options() + TGridOption::goEditing);
    const auto at = [&](int col, int row, bool forward) {
        g.AdvanceToNextCell(col, row, true, false, forward);
        return QPoint(g.Col(), g.Row());
    };
    // Back along the rows: to the end of the row above, from the first cell
    // to the last.
    EXPECT_EQ(at(1, 2, false), QPoint(3, 1));
    EXPECT_EQ(at(1, 1, false), QPoint(3, 3));
    g.Navigation().AdvanceDirection = adTopBottom;
    EXPECT_EQ(at(1, 1, true), QPoint(1, 2));
    EXPECT_EQ(at(1, 3, true), QPoint(2, 1));
    EXPECT_EQ(at(3, 3, true), QPoint(1, 1));
    EXPECT_EQ(at(2, 1, false), QPoint(1, 3));
    EXPECT_EQ(at(1, 1, false), QPoint(3, 3));
    // With AdvanceInsert the last cell opens a new column.
    g.Navigation().AdvanceInsert = true;
    int inserted = -1;
    g.OnAutoInsertCol = [&](QObject*, int col) { inserted = col; };
    EXPECT_EQ(at(3, 3, true), QPoint(4, 1));
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(inserted, 4);
}

TEST(Advance, NoEditableCellEndsAfterOnePassAndAddsAtMostOneRow)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.Navigation().AdvanceInsert = true;
    g.OnCanEditCell = [](QObject*, int, int, bool& can) { can = false; };
    g.FocusCell(2, 2);
    g.AdvanceToNextCell(2, 2, true, false, true);
    EXPECT_EQ(g.Col(), 2);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(g.RowCount(), 5);
    g.Navigation().AdvanceDirection = adTopBottom;
    g.AdvanceToNextCell(2, 2, true, false, true);
    EXPECT_EQ(g.ColCount(), 5);
}

TEST(Advance, ACurrentCellPastTheDataAreaStillWraps)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.SetFixedRightCols(1); // column 3 is past the data area
    g.AdvanceToNextCell(3, 1, true, false, true);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 2);
    bool asked = false;
    g.OnCellChanging = [&](QObject*, int oldRow, int oldCol, int newRow, int newCol, bool& allow) {
        asked = oldRow == 2 && oldCol == 1 && newRow == 2 && newCol == 2;
        allow = false;
    };
    g.AdvanceToNextCell(1, 2, true, false, true);
    EXPECT_TRUE(asked);
    EXPECT_EQ(g.Col(), 1);
}

TEST(DataArea, EveryCellUntilTheAllCellsFlagIsCleared)
{
    Grid g;
    g.SetColCount(6);
    g.SetRowCount(8);
    g.SetFixedRightCols(1);
    g.SetFixedFooters(1);
    EXPECT_TRUE(g.DataAreaAllCells());
    EXPECT_EQ(g.DataAreaLeft(), 0);
    EXPECT_EQ(g.DataAreaTop(), 0);
    EXPECT_EQ(g.DataAreaRight(), 5);
    EXPECT_EQ(g.DataAreaBottom(), 7);
    g.SetDataAreaAllCells(false);
    EXPECT_EQ(g.DataAreaLeft(), 1);
    EXPECT_EQ(g.DataAreaTop(), 1);
    EXPECT_EQ(g.DataAreaRight(), 4);
    EXPECT_EQ(g.DataAreaBottom(), 6);
}
