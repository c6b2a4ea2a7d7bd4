// The string grid's construction defaults, attribute hooks, version, stored
// column widths and height snapping.
#include "grid/TExtStringGrid.h"
#include "controls/HTMLPicture.h"
#include "grid/cells/TCellProperties.h"
#include "platform/core/IniFile.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/SystemMetrics.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class Grid : public TExtStringGrid {
public:
    Grid() : TExtStringGrid(nullptr, QStringLiteral("Grid")) { SetBorderStyle(TBorderStyle::bsNone); }
};

TEST(ExtStringGridSettings, ConstructionDefaults)
{
    Grid g;
    EXPECT_EQ(g.Font().Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(g.FixedFont().Name(), QStringLiteral("Tahoma"));
    EXPECT_TRUE(g.ActiveCellFont().Style().Contains(TFontStyle::fsBold));
    EXPECT_EQ(g.DefaultRowHeight(), 21);
    EXPECT_EQ(g.Look(), glSoft);
    EXPECT_EQ(g.FloatFormat(), QStringLiteral("%.2f"));
    EXPECT_EQ(g.GridLineWidth(), 1);
    EXPECT_EQ(g.GridLineColor(), clSilver);
    EXPECT_TRUE(g.Options().Contains(TGridOption::goDrawFocusSelected));
    EXPECT_TRUE(g.Navigation().EditSelectAll);
    EXPECT_FALSE(g.Navigation().AllowInsertRow);
    EXPECT_EQ(g.ColumnSize().StretchColumn, -1);
    EXPECT_EQ(g.PrintSettings().PageNumSep, QStringLiteral("/"));
    EXPECT_EQ(g.GetVersionNr(), 0x02040002);
    EXPECT_EQ(g.GetVersionString(), QStringLiteral("2.4.0.2 Dec, 2002"));
}

TEST(ExtStringGridHooks, CheckTextsAndFixedCells)
{
    Grid g;
    QString v;
    g.GetCheckTrue(1, 1, v);
    EXPECT_EQ(v, QStringLiteral("Y"));
    g.GetCheckFalse(1, 1, v);
    EXPECT_EQ(v, QStringLiteral("N"));
    g.OnGetCheckTrue = [](QObject*, int col, int, QString& value) {
        if (col == 2) value = QStringLiteral("yes");
    };
    g.GetCheckTrue(2, 1, v);
    EXPECT_EQ(v, QStringLiteral("yes"));
    int asked = 0;
    g.OnIsFixedCell = [&](QObject*, int row, int col, bool& fixed) {
        ++asked;
        fixed = row == 3 && col == 2;
    };
    bool fixed = false;
    g.IsFixedCell(1, 0, fixed); // in the fixed row: not asked
    EXPECT_TRUE(fixed);
    EXPECT_EQ(asked, 0);
    fixed = false;
    g.IsFixedCell(2, 3, fixed);
    EXPECT_TRUE(fixed);
    EXPECT_EQ(asked, 1);
}

TEST(ExtStringGridHooks, CellColoursKeepWhatCameBeforeUnlessSet)
{
    Grid g;
    TBrush brush;
    TFont font;
    brush.SetColor(clAqua);
    font.SetColor(clMaroon);
    g.GetCellProperties(1, 1); // colours clNone
    g.GetCellColor(1, 1, TGridDrawState{}, brush, font);
    EXPECT_EQ(brush.Color(), clAqua);
    EXPECT_EQ(font.Color(), clMaroon);
    TCellProperties* p = g.GetCellProperties(2, 1);
    p->BrushColor = clYellow;
    p->FontSize = 14;
    g.GetCellColor(2, 1, TGridDrawState{}, brush, font);
    EXPECT_EQ(brush.Color(), clYellow);
    EXPECT_EQ(font.Size(), 14);
}

TEST(ExtStringGridColumnSizes, StoredInAnIniFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("grid.ini"));
    {
        Grid g;
        g.SetColCount(3);
        g.ColumnSize().Location = clIniFile;
        g.ColumnSize().Key = file;
        g.ColumnSize().Section = QStringLiteral("Comps");
        g.SetColWidths(1, 120);
        g.SaveColumnSizes();
    }
    EXPECT_EQ(TIniFile(file).ReadInteger(QStringLiteral("Comps"), QStringLiteral("Col1"), 0), 120);
    Grid g;
    g.SetColCount(5); // more columns than were stored
    g.SetColWidths(4, 33);
    g.ColumnSize().Location = clIniFile;
    g.ColumnSize().Key = file;
    g.ColumnSize().Section = QStringLiteral("Comps");
    g.LoadColumnSizes();
    EXPECT_EQ(g.ColWidths(1), 120);
    EXPECT_EQ(g.ColWidths(4), g.DefaultColWidth());
}

TEST(ExtStringGridColumnSizes, SavedOnDestructionAndBackWhenLoadedOrShown)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("sizes.ini"));
    auto setUp = [&](Grid& g) {
        g.SetColCount(4);
        g.ColumnSize().Save = true;
        g.ColumnSize().Location = clIniFile;
        g.ColumnSize().Key = file;
        g.ColumnSize().Section = QStringLiteral("View");
    };
    {
        Grid g;
        setUp(g);
        g.SetColWidths(1, 140);
        g.SetColWidths(3, 25);
    } // the user closes the form: the widths are written
    {
        // A form sets its grid up, then it is loaded.
        Grid g;
        setUp(g);
        EXPECT_EQ(g.ColWidths(1), g.DefaultColWidth());
        g.Loaded();
        EXPECT_EQ(g.ColWidths(1), 140);
        EXPECT_EQ(g.ColWidths(3), 25);
        g.SetColWidths(1, 90);
    }
    {
        // A grid made in code gets them when its window first shows.
        Grid g;
        setUp(g);
        g.show();
        EXPECT_EQ(g.ColWidths(1), 90);
        EXPECT_EQ(g.ColWidths(3), 25);
        g.ColumnSize().Save = false;
        g.SetColWidths(1, 70);
    }
    // Without Save nothing was written.
    EXPECT_EQ(TIniFile(file).ReadInteger(QStringLiteral("View"), QStringLiteral("Col1"), 0), 90);
    Grid g;
    setUp(g);
    g.ColumnSize().Save = false;
    g.Loaded();
    g.show();
    EXPECT_EQ(g.ColWidths(1), g.DefaultColWidth());
}

TEST(ExtStringGridColumnSizes, NothingWithoutKeyOrSection)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("none.ini"));
    Grid g;
    g.ColumnSize().Location = clIniFile;
    g.ColumnSize().Key = file;
    g.SaveColumnSizes(); // no section
    EXPECT_FALSE(QFile::exists(file));
    g.SetColWidths(1, 99);
    g.LoadColumnSizes();
    EXPECT_EQ(g.ColWidths(1), 99);
}

TEST(ExtStringGridBounds, IntegralHeightSnapsToRowsButNotWithoutRowHeight)
{
    Grid g;
    g.SetColCount(2);
    g.SetIntegralHeight(true);
    g.SetDefaultColWidth(40);
    g.SetBounds(0, 0, 300, 100); // all columns visible
    EXPECT_EQ(g.Height(), 100 + 21 - 100 % 21 - 1 - GetSystemMetrics(Win::SM_CYHSCROLL));
    g.SetColCount(30); // columns out of view
    g.SetBounds(0, 0, 300, 100);
    EXPECT_EQ(g.Height(), 100 - 100 % 21 - 1);
    g.SetDefaultRowHeight(0);
    g.SetBounds(0, 0, 300, 100);
    EXPECT_EQ(g.Height(), 100);
}

TEST(ExtStringGridUpdates, EndUpdateNeverFallsBelowZero)
{
    Grid g;
    g.BeginUpdate();
    g.BeginUpdate();
    EXPECT_EQ(g.UpdateCount(), 2);
    g.EndUpdate();
    g.EndUpdate();
    g.EndUpdate();
    EXPECT_EQ(g.UpdateCount(), 0);
}

TEST(ExtStringGridCells, ClearEmptiesHiddenStorageAndFreesProperties)
{
    Grid g;
    g.SetCellText(4, 2, QStringLiteral("x"));
    g.SetCells(7, 2, QStringLiteral("beyond the columns"));
    g.GetCellProperties(1, 1)->BrushColor = clRed;
    g.Clear();
    EXPECT_TRUE(g.Cells(4, 2).isEmpty());
    EXPECT_TRUE(g.Cells(7, 2).isEmpty());
    EXPECT_FALSE(g.HasCellProperties(1, 1));
}

TEST(ExtStringGridReferences, APictureContainerFreedFirstIsLetGo)
{
    Grid g;
    g.resize(200, 100);
    g.SetCellText(1, 1, QStringLiteral("<IMG src=\"logo\">text"));
    auto* container = new TPictureContainer;
    g.SetPictureContainer(container);
    EXPECT_EQ(g.PictureContainer(), container);
    delete container;
    EXPECT_EQ(g.PictureContainer(), nullptr);
    // The HTML cell paints without the container.
    EXPECT_FALSE(g.grab().isNull());
}

TEST(ExtStringGridLoaded, HeadersGoIntoTheColumnsAndRowsThereAreThen)
{
    Grid g;
    g.SetColCount(2);
    g.SetRowCount(2);
    g.SetColumnHeaders({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C\\nD")});
    g.SetRowHeaders({QString(), QStringLiteral("one"), QStringLiteral("two")});
    EXPECT_EQ(g.Cells(1, 0), QStringLiteral("B"));
    EXPECT_TRUE(g.Cells(2, 0).isEmpty());
    EXPECT_TRUE(g.Cells(0, 2).isEmpty());
    g.SetColCount(3);
    g.SetRowCount(3);
    g.Loaded();
    EXPECT_EQ(g.Cells(2, 0), QStringLiteral("C\rD"));
    EXPECT_EQ(g.Cells(0, 1), QStringLiteral("one"));
    EXPECT_EQ(g.Cells(0, 2), QStringLiteral("two"));

    // Without headers, texts written straight into the fixed cells stay.
    Grid plain;
    plain.SetCells(1, 0, QStringLiteral("own"));
    plain.Loaded();
    EXPECT_EQ(plain.Cells(1, 0), QStringLiteral("own"));
}

TEST(ExtStringGridReferences, TheRowIndicatorIsTheGridsOwnCopy)
{
    Grid g;
    g.resize(200, 100);
    g.SetFixedCols(1);
    g.FocusCell(1, 1);
    {
        TBitmap indicator;
        indicator.SetSize(8, 6);
        g.SetRowIndicator(&indicator);
        ASSERT_NE(g.RowIndicator(), nullptr);
        EXPECT_NE(g.RowIndicator(), &indicator);
    }
    EXPECT_EQ(g.RowIndicator()->Width(), 8);
    EXPECT_EQ(g.RowIndicator()->Height(), 6);
    // Painted after the caller's bitmap is gone.
    EXPECT_FALSE(g.grab().isNull());
    g.SetRowIndicator(nullptr);
    EXPECT_EQ(g.RowIndicator(), nullptr);
}

} // namespace
