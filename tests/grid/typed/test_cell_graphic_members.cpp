// What callers ask of cells and their graphics: dates with the zero-date
// rule, graphic handles, images, button and radio cells, the room graphics
// take, the selected columns, header repainting and points in the grid.
#include "grid/TExtStringGrid.h"
#include "grid/cells/TCellGraphic.h"
#include "grid/edit/TExtInplaceEdit.h"
#include "platform/core/RegionalSettings.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/PainterCanvas.h"
#include "tests/support/PrintQString.h"
#include "tests/grid/TestGrids.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

// A 5 x 6 grid of 60 x 20 cells, one fixed row and column, that records
// what it invalidates.
class Grid : public TExtStringGrid {
public:
    Grid() : TExtStringGrid(nullptr, QStringLiteral("Grid")) { ShapeGrid(*this, 400, 300, 5, 6, 60, 20); }
    TCellGraphic* Graphic(int col, int row, TCellType type) { return AttachGraphic(*this, col, row, type); }
    void InvalidateRect(const TRect& r) override
    {
        invalidated.push_back(r);
        TExtStringGrid::InvalidateRect(r);
    }
    bool Invalidated(const TRect& cell) const
    {
        for (const TRect& r : invalidated)
            if (r.Intersected(cell) == cell) return true;
        return false;
    }
    std::vector<TRect> invalidated;
};

int TextWidth(const QString& text)
{
    QImage image(1, 1, QImage::Format_RGB32);
    TPainterCanvas canvas(&image);
    canvas.Font().SetName(QStringLiteral("Tahoma"));
    return canvas.TextWidth(text);
}

} // namespace

TEST(CellDates, ZeroDatesShowUnlessSwitchedOff)
{
    ScopedRegionalSettings us{TFormatSettings{}};
    Grid g;
    g.SetCellDate(1, 1, EncodeDate(2003, 12, 31));
    EXPECT_EQ(g.GetCellText(1, 1), "12/31/2003");
    EXPECT_TRUE(g.ShowZeroDates());
    g.SetCellDate(1, 2, 0);
    EXPECT_EQ(g.GetCellText(1, 2), "12/30/1899");
    g.SetShowZeroDates(false);
    g.SetCellDate(1, 2, 0);
    EXPECT_EQ(g.GetCellText(1, 2), "");
    g.SetCellDate(1, 3, -5);
    EXPECT_EQ(g.GetCellText(1, 3), "");
    g.SetCellDate(1, 3, EncodeDate(2002, 1, 2));
    EXPECT_EQ(g.GetCellText(1, 3), "1/2/2002");
}

TEST(CellGraphicMembers, HandlesImagesButtonsAndRadioOptions)
{
    Grid g;
    EXPECT_EQ(g.GetCellGraphicHandle(1, 1), -1);
    TCellGraphic* bitmap = g.Graphic(1, 1, ctBitmap);
    TBitmap picture(8, 8);
    bitmap->Graphic = &picture;
    EXPECT_EQ(g.GetCellGraphicHandle(1, 1), reinterpret_cast<qintptr>(&picture));
    g.Graphic(2, 1, ctImageList)->CellIndex = 7;
    EXPECT_EQ(g.GetCellGraphicHandle(2, 1), 7);
    g.Graphic(3, 1, ctCheckBox);
    EXPECT_EQ(g.GetCellGraphicHandle(3, 1), -1);
    bitmap->Graphic = nullptr;

    EXPECT_EQ(g.GetCellImages(1, 2), nullptr);
    TCellGraphic* images = g.Graphic(1, 2, ctImages);
    images->Images = {3, 1};
    ASSERT_NE(g.GetCellImages(1, 2), nullptr);
    g.GetCellImages(1, 2)->push_back(4);
    EXPECT_EQ(images->Images, (std::vector<int>{3, 1, 4}));

    // Both tests read the base cell of a merged area.
    g.Graphic(1, 3, ctButton);
    g.Graphic(2, 3, ctBitButton);
    EXPECT_TRUE(g.IsButtonCell(1, 3));
    EXPECT_TRUE(g.IsButtonCell(2, 3));
    EXPECT_FALSE(g.IsButtonCell(3, 3));
    g.MergeCells(1, 3, 2, 1);
    EXPECT_TRUE(g.IsButtonCell(2, 3));

    g.Graphic(1, 4, ctRadio)->Options = QStringList{"a", "b"};
    g.MergeCells(1, 4, 2, 1);
    ASSERT_NE(g.GetRadioOptions(2, 4), nullptr);
    EXPECT_EQ(*g.GetRadioOptions(2, 4), (QStringList{"a", "b"}));
    EXPECT_EQ(g.GetRadioOptions(3, 4), nullptr);
}

TEST(CellGraphicSizes, RadioGroupsTakeTheirTextsAndPicturesFollowTheTextRule)
{
    Grid g;
    EXPECT_EQ(g.GetCellGraphicSize(1, 1), TPoint(0, 0));
    TCellGraphic* radio = g.Graphic(1, 1, ctRadio);
    radio->Options = QStringList{"One", "Three"};
    const int lineHeight = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        TPainterCanvas canvas(&image);
        canvas.Font().SetName(QStringLiteral("Tahoma"));
        return canvas.TextHeight(QStringLiteral("gh"));
    }();
    // One above the other: the widest option and its button.
    EXPECT_EQ(g.GetCellGraphicSize(1, 1), TPoint(12 + TextWidth("Three"), 2 * lineHeight));
    radio->CellBoolean = true; // side by side
    EXPECT_EQ(g.GetCellGraphicSize(1, 1), TPoint(TextWidth("One") + 12 + TextWidth("Three") + 12, lineHeight));

    // A bitmap's width counts beside the text or in an empty cell only.
    TBitmap picture(30, 16);
    TCellGraphic* bitmap = g.Graphic(2, 1, ctBitmap);
    bitmap->Graphic = &picture;
    EXPECT_EQ(g.GetCellGraphicSize(2, 1), TPoint(30, 16));
    g.SetCellText(2, 1, QStringLiteral("text"));
    EXPECT_EQ(g.GetCellGraphicSize(2, 1), TPoint(0, 16));
    bitmap->CellHAlign = haAfterText;
    EXPECT_EQ(g.GetCellGraphicSize(2, 1), TPoint(30, 16));
    bitmap->CellHAlign = haFull;
    EXPECT_EQ(g.GetCellGraphicSize(2, 1), TPoint(60, 16));

    // The scaled form: the bitmap counts whatever the text, pictures scale.
    bitmap->CellHAlign = haLeft;
    QImage image(1, 1, QImage::Format_RGB32);
    TPainterCanvas canvas(&image);
    EXPECT_EQ(g.GetCellGraphicSizeScaled(2, 1, 2.0, 100, 50, canvas), TPoint(30, 16));
    TBitmap big(200, 200);
    TCellGraphic* fitted = g.Graphic(3, 1, ctPicture);
    fitted->Graphic = &big;
    fitted->CellAngle = 2;
    EXPECT_EQ(g.GetCellGraphicSizeScaled(3, 1, 2.0, 100, 50, canvas), TPoint(100, 100));
    g.Graphic(1, 2, ctButton)->CellIndex = 40 | (18 << 16);
    EXPECT_EQ(g.GetCellGraphicSize(1, 2), TPoint(40, 18));
    g.Graphic(2, 2, ctProgressPie);
    EXPECT_EQ(g.GetCellGraphicSize(2, 2), TPoint(20, 20));
    bitmap->Graphic = nullptr;
    fitted->Graphic = nullptr;
}

TEST(CellGraphicSizes, AutoSizingMakesRoomForRadioGroups)
{
    Grid g;
    TCellGraphic* radio = g.Graphic(2, 2, ctRadio);
    radio->Options = QStringList{"Residential", "Land"};
    radio->CellBoolean = true;
    g.AutoSizeCol(2);
    const int room = TextWidth("Residential") + 12 + TextWidth("Land") + 12;
    EXPECT_EQ(g.ColWidths(2), room + 2 + 2 * (g.GridLineWidth() + 1));
}

TEST(SelectedColumns, ColumnsAreSelectedAndTheListReselects)
{
    Grid g;
    g.SelectColumn(2);
    EXPECT_EQ(g.Selection(), TGridRect(2, 1, 2, 5));
    EXPECT_TRUE(g.IsSelected(2, 5));
    EXPECT_FALSE(g.IsSelected(3, 1));
    g.UnSelectColumn(2);
    EXPECT_EQ(g.Selection(), TGridRect(g.Col(), g.Row(), g.Col(), g.Row()));

    // The list: the first listed column replaces the selection, the others
    // add to it.
    g.SelectedColumns().Add(3);
    EXPECT_EQ(g.Selection(), TGridRect(3, 1, 3, 5));
    g.SelectedColumns().Add(1);
    EXPECT_EQ(g.Selection(), TGridRect(1, 1, 3, 5));
    g.SelectedColumns().Delete(0);
    EXPECT_EQ(g.Selection(), TGridRect(1, 1, 1, 5));

    // Unselecting one column of several keeps the others selected.
    g.SelectedColumns().Clear();
    g.SelectedColumns().Add(3);
    g.SelectedColumns().Add(4);
    EXPECT_EQ(g.Selection(), TGridRect(3, 1, 4, 5));
    g.UnSelectColumn(4);
    EXPECT_EQ(g.Selection(), TGridRect(3, 1, 3, 5));
    EXPECT_TRUE(g.IsSelected(3, 2));
    EXPECT_FALSE(g.IsSelected(4, 2));
    g.SelectedColumns().Add(4);
    g.UnSelectColumn(3);
    EXPECT_EQ(g.Selection(), TGridRect(4, 1, 4, 5));
    g.SelectedColumns().Clear();
    g.SelectedColumns().Add(1);
    g.SelectedColumns().Add(4);
    g.UnSelectColumn(2); // inside: the part left of it stays
    EXPECT_EQ(g.Selection(), TGridRect(1, 1, 1, 5));
    g.UnSelectColumn(3); // outside: nothing changes
    EXPECT_EQ(g.Selection(), TGridRect(1, 1, 1, 5));
    g.SelectedColumns().Clear();
    g.SelectedColumns().Add(1);

    // With disjunct column selection each listed column is marked alone.
    g.MouseActions().DisjunctColSelect = true;
    g.SelectedColumns().Add(4);
    EXPECT_TRUE(g.ColSelect(1));
    EXPECT_FALSE(g.ColSelect(2));
    EXPECT_TRUE(g.ColSelect(4));
    EXPECT_TRUE(g.IsSelected(4, 3));
    EXPECT_FALSE(g.IsSelected(3, 3));
    g.SelectedColumns().SetItem(0, 2);
    EXPECT_FALSE(g.ColSelect(1));
    EXPECT_TRUE(g.ColSelect(2));
    EXPECT_TRUE(g.ColSelect(4));
    g.UnSelectColumn(4);
    EXPECT_FALSE(g.ColSelect(4));
}

TEST(Repainting, HeadersOfTheOldAndNewCurrentCellRepaint)
{
    Grid g;
    g.invalidated.clear();
    g.RepaintHeaders(2, 3, 4, 1);
    EXPECT_TRUE(g.Invalidated(g.CellRect(2, 0)));
    EXPECT_TRUE(g.Invalidated(g.CellRect(4, 0)));
    EXPECT_TRUE(g.Invalidated(g.CellRect(0, 3)));
    EXPECT_TRUE(g.Invalidated(g.CellRect(0, 1)));
    EXPECT_FALSE(g.Invalidated(g.CellRect(3, 0)));
    EXPECT_FALSE(g.Invalidated(g.CellRect(2, 3)));

    // Moving the current cell with the active-cell look repaints them.
    g.SetActiveCellShow(true);
    g.FocusCell(1, 1, true);
    g.invalidated.clear();
    g.FocusCell(3, 4, true);
    EXPECT_TRUE(g.Invalidated(g.CellRect(1, 0)));
    EXPECT_TRUE(g.Invalidated(g.CellRect(3, 0)));
    EXPECT_TRUE(g.Invalidated(g.CellRect(0, 1)));
    EXPECT_TRUE(g.Invalidated(g.CellRect(0, 4)));
    EXPECT_FALSE(g.Invalidated(g.CellRect(2, 0)));
    EXPECT_FALSE(g.Invalidated(g.CellRect(0, 2)));
}

TEST(GridPoints, ScreenPointsAndSizingEdges)
{
    Grid g;
    g.show();
    const TRect cell = g.CellRect(2, 3);
    const QPoint screen = g.mapToGlobal(g.ClientOrigin() + QPoint(cell.Left + 5, cell.Top + 5));
    int col = -1, row = -1;
    g.MouseToCellScreen(TPoint(screen.x(), screen.y()), col, row);
    EXPECT_EQ(col, 2);
    EXPECT_EQ(row, 3);

    const TRect header = g.CellRect(2, 0);
    EXPECT_FALSE(g.IsOnSizingEdge(header.Right - 2, header.Top + 5)); // no sizing allowed
    g.SetOptions(g.Options() + TGridOption::goColSizing);
    EXPECT_TRUE(g.IsOnSizingEdge(header.Right - 2, header.Top + 5));
    EXPECT_TRUE(g.IsOnSizingEdge(header.Left + 3, header.Top + 5));
    EXPECT_FALSE(g.IsOnSizingEdge(header.Left + 4, header.Top + 5));
    EXPECT_FALSE(g.IsOnSizingEdge(cell.Right - 2, cell.Top + 5)); // not in a fixed row
    const TRect side = g.CellRect(0, 3);
    EXPECT_FALSE(g.IsOnSizingEdge(side.Left + 5, side.Bottom - 2));
    g.SetOptions(g.Options() + TGridOption::goRowSizing);
    EXPECT_TRUE(g.IsOnSizingEdge(side.Left + 5, side.Bottom - 2));
    EXPECT_FALSE(g.IsOnSizingEdge(side.Left + 5, side.Top + 8));
}

TEST(GridPoints, TheInplaceEditorOnceOneWasMade)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.show();
    EXPECT_EQ(g.GetInplaceEditor(), nullptr);
    g.FocusCell(2, 3);
    g.ShowEditor();
    ASSERT_NE(g.GetInplaceEditor(), nullptr);
    EXPECT_TRUE(g.GetInplaceEditor()->isVisible());
    EXPECT_EQ(g.GetInplaceEditor()->parentWidget(), &g);
}
