// The painters of the cell graphics by kind: the room each kind takes and
// whether the text goes beside it, where a graphic stands in its cell, and
// the kinds whose drawing reads the cell (comment marks, check boxes, rows
// of images).
#include "grid/TExtStringGrid.h"
#include "grid/cells/TCellGraphic.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TestSupport.h"
#include "tests/grid/TestGrids.h"

#include <gtest/gtest.h>

namespace {

class Grid : public PaintTestGrid {
public:
    Grid() : PaintTestGrid(nullptr, QStringLiteral("Grid")) { }

    struct Info {
        TCellGraphic* graphic = nullptr;
        int width = -1;
        int height = -1;
        bool drawText = false;
        TCellHAlign hAlign = haFull;
        TCellVAlign vAlign = vaFull;
    };
    Info GraphicInfo(int col, int row)
    {
        Info i;
        i.graphic = GetCellGraphicInfo(col, row, i.hAlign, i.vAlign, i.drawText, i.height, i.width);
        return i;
    }
    // The destinations of the pictures drawn in the cell.
    QVector<TRect> Pictures(int col, int row)
    {
        QVector<TRect> out;
        const auto& c = PaintCell(col, row);
        for (const TCanvasCall& call : c.Calls())
            if (call.Op == QLatin1String("DrawImage") || call.Op == QLatin1String("DrawImageTransparent"))
                out.append(call.Rect);
        return out;
    }
};

QImage Filled(int w, int h, Qt::GlobalColor colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TEST(GraphicPainters, EachKindTakesItsRoomAndSaysWhetherTextGoesBeside)
{
    Grid g;
    TImageList images(16, 12);
    images.Add(Filled(16, 12, Qt::red));
    g.SetGridImages(&images);
    const int check = g.ControlLook().CheckSize();
    ASSERT_GT(check, 0);

    EXPECT_EQ(g.GraphicInfo(1, 1).graphic, nullptr);
    const Grid::Info none = g.GraphicInfo(1, 1);
    EXPECT_EQ(none.width, 0);
    EXPECT_TRUE(none.drawText);

    struct Case {
        TCellType type;
        int width;
        int height;
        bool drawText;
    };
    const Case cases[] = {
        {ctImageList, 16, 12, true},
        {ctDataImage, 16, 12, false},
        {ctCheckBox, check, check, true},
        {ctDataCheckBox, check, check, false},
        {ctVirtCheckBox, check, check, false},
        {ctRotated, 0, 0, false},
        {ctRadio, 0, 0, false},
        {ctProgress, 0, 0, false},
        {ctProgressPie, 20, 20, true},
        {ctComment, 0, 0, true},
        {ctNode, 0, 0, true},
        {ctNone, 0, 0, true},
    };
    for (const Case& c : cases) {
        TCellGraphic* graphic = g.AddGraphic(2, 2, c.type);
        graphic->CellHAlign = haCenter;
        graphic->CellVAlign = vaBottom;
        const Grid::Info i = g.GraphicInfo(2, 2);
        SCOPED_TRACE(int(c.type));
        EXPECT_EQ(i.graphic, graphic);
        EXPECT_EQ(i.width, c.width);
        EXPECT_EQ(i.height, c.height);
        EXPECT_EQ(i.drawText, c.drawText);
        EXPECT_EQ(i.hAlign, haCenter);
        EXPECT_EQ(i.vAlign, vaBottom);
    }

    // A row of images is as long as its list, across or down.
    TCellGraphic* row = g.AddGraphic(2, 2, ctImages);
    row->Images = {0, 0, 0};
    row->CellBoolean = true;
    EXPECT_EQ(g.GraphicInfo(2, 2).width, 48);
    EXPECT_EQ(g.GraphicInfo(2, 2).height, 12);
    row->CellBoolean = false;
    EXPECT_EQ(g.GraphicInfo(2, 2).width, 16);
    EXPECT_EQ(g.GraphicInfo(2, 2).height, 36);

    // A button's size is packed in its index: width low, height high.
    g.AddGraphic(2, 2, ctButton)->CellIndex = (16 << 16) | 40;
    EXPECT_EQ(g.GraphicInfo(2, 2).width, 40);
    EXPECT_EQ(g.GraphicInfo(2, 2).height, 16);

    // Without an image list the image kinds take no room.
    g.SetGridImages(nullptr);
    g.AddGraphic(2, 2, ctImageList);
    EXPECT_EQ(g.GraphicInfo(2, 2).width, 0);
    EXPECT_TRUE(g.Pictures(2, 2).isEmpty());
}

TEST(GraphicPainters, TheGraphicStandsWhereItsAlignmentsPutIt)
{
    Grid g;
    TImageList images(16, 12);
    images.Add(Filled(16, 12, Qt::red));
    g.SetGridImages(&images);
    TCellGraphic* graphic = g.AddGraphic(2, 2, ctImageList);
    const TRect cell = g.CellRect(2, 2);
    const int L = cell.Left, T = cell.Top, R = cell.Right, B = cell.Bottom;
    struct Case {
        TCellHAlign h;
        TCellVAlign v;
        TPoint at;
    };
    const Case cases[] = {
        {haLeft, vaTop, TPoint(L + 1, T + 1)},
        {haRight, vaBottom, TPoint(R - 1 - 16, B - 1 - 12)},
        {haCenter, vaCenter, TPoint(L + (R - L - 16) / 2, T + (B - T - 12) / 2)},
        {haFull, vaFull, TPoint(L, T)},
        {haLeft, vaUnderText, TPoint(L + 1, B - 12)},
        {haLeft, vaAboveText, TPoint(L + 1, T + 1)},
    };
    for (const Case& c : cases) {
        graphic->CellHAlign = c.h;
        graphic->CellVAlign = c.v;
        SCOPED_TRACE(int(c.h) * 10 + int(c.v));
        const QVector<TRect> drawn = g.Pictures(2, 2);
        ASSERT_EQ(drawn.size(), 1);
        EXPECT_EQ(drawn[0].Left, c.at.X);
        EXPECT_EQ(drawn[0].Top, c.at.Y);
    }

    // A stretched picture fills its whole place: the full alignments give it
    // the cell.
    TBitmap bitmap;
    bitmap.SetImage(Filled(8, 8, Qt::blue));
    TCellGraphic* picture = g.AddGraphic(2, 2, ctPicture);
    picture->Graphic = &bitmap;
    picture->CellAngle = 3; // its own size, stretched into its place
    picture->CellHAlign = haFull;
    picture->CellVAlign = vaFull;
    QVector<TRect> drawn = g.Pictures(2, 2);
    ASSERT_EQ(drawn.size(), 1);
    EXPECT_EQ(drawn[0], cell);
    picture->CellHAlign = haLeft;
    picture->CellVAlign = vaTop;
    drawn = g.Pictures(2, 2);
    ASSERT_EQ(drawn.size(), 1);
    EXPECT_EQ(drawn[0], TRect(L + 1, T + 1, L + 9, T + 9));
    picture->Graphic = nullptr;
}

TEST(GraphicPainters, CommentsMarkTheTopRightCorner)
{
    Grid g;
    g.AddGraphic(2, 2, ctComment)->CellText = QStringLiteral("a note");
    const TRect cell = g.CellRect(2, 2);
    const auto polygons = g.PaintCell(2, 2).CallsOf(QStringLiteral("Polygon"));
    ASSERT_EQ(polygons.size(), 1);
    const QVector<TPoint> corner{TPoint(cell.Right - 7, cell.Top + 1), TPoint(cell.Right - 2, cell.Top + 1),
                                 TPoint(cell.Right - 2, cell.Top + 6)};
    EXPECT_EQ(polygons[0].Points, corner);
    EXPECT_EQ(polygons[0].Brush.Color(), clRed);
}

TEST(GraphicPainters, CheckBoxesReadTheirStateFromTheirKind)
{
    Grid g;
    g.ControlLook().SetControlStyle(csClassic);
    auto checked = [&](int col, int row) {
        const auto frames = g.PaintCell(col, row).CallsOf(QStringLiteral("DrawFrameControl"));
        EXPECT_EQ(frames.size(), 1);
        return !frames.isEmpty() && ((frames[0].Flags >> 16) & Win::DFCS_CHECKED) != 0;
    };
    // A plain check box keeps its own state, whatever the text says.
    TCellGraphic* plain = g.AddGraphic(1, 1, ctCheckBox);
    g.SetCellText(1, 1, QStringLiteral("Y"));
    EXPECT_FALSE(checked(1, 1));
    plain->CellBoolean = true;
    EXPECT_TRUE(checked(1, 1));
    // A virtual one is checked by the check-true text.
    g.AddGraphic(2, 2, ctVirtCheckBox);
    g.OnGetCheckTrue = [](QObject*, int, int, QString& value) { value = QStringLiteral("yes"); };
    g.SetCellText(2, 2, QStringLiteral("yes"));
    EXPECT_TRUE(checked(2, 2));
    g.SetCellText(2, 2, QStringLiteral("Y"));
    EXPECT_FALSE(checked(2, 2));
}

TEST(GraphicPainters, ImageRowsAdvanceAlongTheirDirection)
{
    Grid g;
    g.SetDefaultRowHeight(60);
    TImageList images(16, 12);
    images.Add(Filled(16, 12, Qt::red));
    images.Add(Filled(16, 12, Qt::green));
    g.SetGridImages(&images);
    TCellGraphic* row = g.AddGraphic(2, 2, ctImages);
    row->Images = {0, 5, 1}; // 5 is no image: skipped, its place kept
    row->CellBoolean = true;
    const TRect cell = g.CellRect(2, 2);
    QVector<TRect> drawn = g.Pictures(2, 2);
    ASSERT_EQ(drawn.size(), 2);
    EXPECT_EQ(drawn[0].Left, cell.Left + 1);
    EXPECT_EQ(drawn[1].Left, cell.Left + 1 + 32);
    EXPECT_EQ(drawn[1].Top, drawn[0].Top);
    row->CellBoolean = false;
    drawn = g.Pictures(2, 2);
    ASSERT_EQ(drawn.size(), 2);
    EXPECT_EQ(drawn[1].Top, drawn[0].Top + 24);
    EXPECT_EQ(drawn[1].Left, drawn[0].Left);
}

} // namespace
