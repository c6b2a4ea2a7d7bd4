// The string grid's painting through the recording canvas: cell colours and
// bands, borders, the focus rectangle, text formats, graphics and glyphs,
// and the guide line on real pixels.
#include "grid/TExtStringGrid.h"
#include "grid/cells/TCellGraphic.h"
#include "grid/cells/TCellProperties.h"
#include "platform/core/RegionalSettings.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/PainterCanvas.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TestSupport.h"
#include "tests/grid/TestGrids.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

class Grid : public PaintTestGrid {
public:
    explicit Grid(const QString& name = QStringLiteral("Grid")) : PaintTestGrid(nullptr, name) { }
};

TEST(CellPaintingColours, BandsRunPrimaryPrimarySecondary)
{
    Grid g;
    TBands b;
    b.SetActive(true);
    b.SetPrimaryColor(clYellow);
    b.SetPrimaryLength(2);
    b.SetSecondaryColor(clAqua);
    b.SetSecondaryLength(1);
    g.SetBands(b);
    g.FocusCell(4, 9); // out of the way: the current cell paints selected
    EXPECT_EQ(g.CellBrush(1, 1), clYellow);
    EXPECT_EQ(g.CellBrush(1, 2), clYellow);
    EXPECT_EQ(g.CellBrush(1, 3), clAqua);
    EXPECT_EQ(g.CellBrush(1, 4), clYellow);
    EXPECT_EQ(g.CellBrush(0, 3), g.FixedColor()); // fixed cells are not banded
    g.GetCellProperties(2, 3)->BrushColor = clLime;
    EXPECT_EQ(g.CellBrush(2, 3), clLime); // a cell colour is never banded
}

TEST(CellPaintingColours, UnmarkedDisjunctRowsAndColumnsShowNoSelection)
{
    Grid g;
    g.SetSelectionColor(clRed);
    g.SetSelectionTextColor(clYellow);
    g.Font().SetColor(clNavy);
    g.SetCellText(2, 3, QStringLiteral("text"));
    g.FocusCell(2, 3); // the current cell paints selected
    // The colours the text is drawn in and over (the fill before it).
    TColor fill = clNone;
    TColor text = clNone;
    const auto paint = [&](int col, int row) {
        fill = text = clNone;
        for (const TCanvasCall& c : g.PaintCell(col, row).Calls()) {
            if (c.Op == QLatin1String("FillRect")) fill = c.Brush.Color();
            if (c.Op == QLatin1String("TextRun")) {
                text = c.Font.Color();
                break;
            }
        }
    };
    paint(2, 3);
    ASSERT_EQ(fill, clRed);
    EXPECT_EQ(text, clYellow);

    // Rows marked one by one: the current cell's row is not, so it shows
    // the grid's colours, and the colour event has its say again.
    g.MouseActions().DisjunctRowSelect = true;
    paint(2, 3);
    EXPECT_EQ(fill, g.Color());
    EXPECT_EQ(text, clNavy);
    g.OnGetCellColor = [&](QObject*, int row, int col, TGridDrawState, TBrush& brush, TFont&) {
        if (row == 3 && col == 2) brush.SetColor(clFuchsia);
    };
    paint(2, 3);
    EXPECT_EQ(fill, clFuchsia);
    g.OnGetCellColor = nullptr;
    // Marked, it keeps the selection colours.
    g.SetRowSelect(3, true);
    paint(2, 3);
    EXPECT_EQ(fill, clRed);
    EXPECT_EQ(text, clYellow);

    // Columns alike.
    g.MouseActions().DisjunctRowSelect = false;
    g.SetRowSelect(3, false);
    g.MouseActions().DisjunctColSelect = true;
    paint(2, 3);
    EXPECT_EQ(fill, g.Color());
    g.SetColSelect(2, true);
    paint(2, 3);
    EXPECT_EQ(fill, clRed);
}

TEST(CellPaintingColours, BandsWithoutPeriodAreSkipped)
{
    Grid g;
    TBands b;
    b.SetActive(true);
    b.SetPrimaryLength(0);
    b.SetSecondaryLength(0);
    g.SetBands(b);
    EXPECT_EQ(g.CellBrush(1, 2), g.Color());
}

TEST(CellPaintingColours, ColourEventSeesRowBeforeColumn)
{
    Grid g;
    int seenRow = -1, seenCol = -1;
    g.OnGetCellColor = [&](QObject*, int row, int col, TGridDrawState, TBrush& brush, TFont&) {
        if (row == 4 && col == 2) brush.SetColor(clFuchsia);
        if (row == 4 && col == 2) seenRow = row, seenCol = col;
    };
    EXPECT_EQ(g.CellBrush(2, 4), clFuchsia);
    EXPECT_EQ(seenRow, 4);
    EXPECT_EQ(seenCol, 2);
}

TEST(CellPaintingLines, BorderOfTwoPixelsSitsAtBottomMinusTwo)
{
    Grid g;
    g.OnGetCellBorder = [](QObject*, int row, int col, TPen& pen, TCellBorders& borders) {
        if (row == 2 && col == 1) {
            pen.SetWidth(2);
            pen.SetColor(clRed);
            borders += cbBottom;
        }
    };
    const TRect cell = g.CalcCellRect(1, 2);
    const auto lines = g.PaintCell(1, 2).CallsOf(QStringLiteral("LineTo"));
    bool found = false;
    for (const auto& l : lines) {
        if (l.Pen.Color() == clRed) {
            found = true;
            EXPECT_EQ(l.From.Y, cell.Bottom - 2);
            EXPECT_EQ(l.To.Y, cell.Bottom - 2);
            EXPECT_EQ(l.Pen.Width(), 2);
        }
    }
    EXPECT_TRUE(found);
}

TEST(CellPaintingLines, EachSideTakesItsOwnPen)
{
    Grid g;
    g.OnGetCellBorder = [](QObject*, int, int, TPen&, TCellBorders& b) { b = TCellBorders{cbLeft, cbTop}; };
    g.OnGetCellBorderProp = [](QObject*, int, int, TPen& left, TPen& top, TPen&, TPen&) {
        left.SetColor(clGreen);
        top.SetColor(clBlue);
    };
    const auto lines = g.PaintCell(2, 2).CallsOf(QStringLiteral("LineTo"));
    int green = 0, blue = 0;
    for (const auto& l : lines) {
        green += l.Pen.Color() == clGreen;
        blue += l.Pen.Color() == clBlue;
    }
    EXPECT_EQ(green, 1);
    EXPECT_EQ(blue, 1);
}

TEST(CellPaintingLines, FocusRectangleOnlyWithFocusAndWithoutRowSelect)
{
    Grid g;
    g.FocusCell(2, 3);
    EXPECT_TRUE(g.PaintCell(2, 3).CallsOf(QStringLiteral("DrawFocusRect")).isEmpty()); // no focus
    g.show();
    g.activateWindow();
    g.setFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return g.hasFocus(); }));
    const auto focus = g.PaintCell(2, 3).CallsOf(QStringLiteral("DrawFocusRect"));
    ASSERT_EQ(focus.size(), 1);
    const TRect cell = g.CalcCellRect(2, 3);
    EXPECT_EQ(focus[0].Rect, TRect(cell.Left, cell.Top, cell.Right - 1, cell.Bottom - 1));
    g.SetOptions(g.Options() + TGridOption::goRowSelect);
    EXPECT_TRUE(g.PaintCell(2, 3).CallsOf(QStringLiteral("DrawFocusRect")).isEmpty());
}

TEST(CellPaintingText, MultiLineGridLeavesOtherGridsSingleLine)
{
    Grid multi(QStringLiteral("Multi"));
    multi.SetMultilinecells(true);
    multi.SetCellText(1, 1, QStringLiteral("a\nb"));
    multi.PaintCell(1, 1);
    Grid plain(QStringLiteral("Plain"));
    plain.SetCellText(1, 1, QStringLiteral("one\ntwo"));
    const auto texts = plain.PaintCell(1, 1).CallsOf(QStringLiteral("DrawText"));
    ASSERT_FALSE(texts.isEmpty());
    EXPECT_TRUE(texts.back().Flags & Win::DT_SINGLELINE);
    EXPECT_EQ(texts.back().Text, QStringLiteral("one"));
}

TEST(CellPaintingText, PasswordCellsShowStars)
{
    Grid g;
    g.OnIsPasswordCell = [](QObject*, int row, int col, bool& p) { p = row == 2 && col == 1; };
    g.SetCellText(1, 2, QStringLiteral("secret"));
    const auto texts = g.PaintCell(1, 2).CallsOf(QStringLiteral("DrawText"));
    ASSERT_FALSE(texts.isEmpty());
    EXPECT_EQ(texts.back().Text, QStringLiteral("******"));
}

TEST(CellPaintingText, TextStartingWithTheOldWideMarkStaysAsTyped)
{
    Grid g;
    g.SetWideCell(1, 1, QStringLiteral("AB\u00e9"));
    EXPECT_EQ(g.GetCellText(1, 1), QStringLiteral("AB\u00e9"));
    EXPECT_EQ(g.GetWideCell(1, 1), QStringLiteral("AB\u00e9"));
    const QString typed = QStringLiteral("|\\path");
    g.SetCellText(1, 2, typed);
    EXPECT_EQ(g.GetWideCell(1, 2), typed);
    EXPECT_TRUE(g.PaintCell(1, 2).Runs().contains(typed));
}

TEST(CellPaintingGraphics, ProgressWithoutNumberPaintsAsZero)
{
    Grid g;
    g.AddGraphic(1, 1, ctProgress);
    g.SetCellText(1, 1, QStringLiteral("half"));
    EXPECT_NO_THROW(g.PaintCell(1, 1));
    EXPECT_TRUE(g.canvas.Runs().contains(QStringLiteral("0%")));
    EXPECT_THROW(g.CellAsInteger(1, 1), EExtGridError); // outside painting it is an error
    g.SetCellText(1, 1, QStringLiteral("50"));
    const QStringList runs = g.PaintCell(1, 1).Runs();
    EXPECT_EQ(runs.count(QStringLiteral("50%")), 2); // bar part and rest, each clipped
    // Past 100 the bar is full and the caption still tells the value.
    g.SetCellText(1, 1, QStringLiteral("150"));
    EXPECT_TRUE(g.PaintCell(1, 1).Runs().contains(QStringLiteral("150%")));
}

TEST(CellPaintingGraphics, DataImagesDrawOnlyValidIndices)
{
    Grid g;
    TImageList images(16, 16);
    QImage red(16, 16, QImage::Format_RGB32);
    red.fill(Qt::red);
    images.Add(red);
    images.Add(red);
    g.SetGridImages(&images);
    g.AddGraphic(1, 1, ctDataImage);
    auto drawn = [&] {
        const auto& c = g.PaintCell(1, 1);
        return c.CallsOf(QStringLiteral("DrawImage")).size() + c.CallsOf(QStringLiteral("DrawImageTransparent")).size();
    };
    g.SetCellText(1, 1, QStringLiteral("1"));
    EXPECT_EQ(drawn(), 1);
    g.SetCellText(1, 1, QStringLiteral("2"));
    EXPECT_EQ(drawn(), 0);
    g.SetCellText(1, 1, QStringLiteral("-1"));
    EXPECT_EQ(drawn(), 0);
    g.SetCellText(1, 1, QStringLiteral("x"));
    EXPECT_EQ(drawn(), 1); // not a number: index 0
}

TEST(CellPaintingGraphics, AnImageListFreedFirstIsLetGo)
{
    Grid g;
    auto images = std::make_unique<TImageList>(16, 16);
    QImage red(16, 16, QImage::Format_RGB32);
    red.fill(Qt::red);
    images->Add(red);
    g.SetGridImages(images.get());
    g.AddGraphic(1, 1, ctImageList)->CellIndex = 0;
    g.FocusCell(4, 9); // out of the way
    const TRect r = g.CalcCellRect(1, 1);
    const auto redPixels = [&] {
        const QImage shot = g.grab().toImage();
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (shot.pixelColor(x, y) == QColor(Qt::red)) ++n;
        return n;
    };
    EXPECT_EQ(redPixels(), 16 * 16);
    images.reset();
    EXPECT_EQ(g.GridImages(), nullptr);
    // The cell paints without the image, and reads nothing of the freed list.
    EXPECT_EQ(redPixels(), 0);
    EXPECT_TRUE(g.PaintCell(1, 1).CallsOf(QStringLiteral("DrawImage")).isEmpty());
}

TEST(CellPaintingGraphics, ReadOnlyDataCheckBoxIsDrawnDisabled)
{
    Grid g;
    g.ControlLook().SetControlStyle(csWinXP);
    g.AddGraphic(1, 1, ctDataCheckBox);
    g.SetCellText(1, 1, QStringLiteral("Y"));
    g.OnCanEditCell = [](QObject*, int, int, bool& can) { can = false; };
    const auto images = g.PaintCell(1, 1).CallsOf(QStringLiteral("DrawImageTransparent"));
    ASSERT_EQ(images.size(), 1);
    EXPECT_EQ(images[0].Rect.Width(), 20); // the 20-pixel WinXP glyphs
    g.OnCanEditCell = nullptr;
    g.ControlLook().SetControlStyle(csBrevon);
    const auto brevon = g.PaintCell(1, 1).CallsOf(QStringLiteral("DrawImageTransparent"));
    ASSERT_EQ(brevon.size(), 1);
    EXPECT_EQ(brevon[0].Rect.Width(), 16);
    g.ControlLook().SetControlStyle(csClassic);
    const auto frames = g.PaintCell(1, 1).CallsOf(QStringLiteral("DrawFrameControl"));
    ASSERT_EQ(frames.size(), 1);
    EXPECT_TRUE((frames[0].Flags >> 16) & Win::DFCS_CHECKED);
    g.ControlLook().SetControlStyle(csGlyph); // no glyph: nothing
    EXPECT_TRUE(g.PaintCell(1, 1).CallsOf(QStringLiteral("DrawImageTransparent")).isEmpty());
}

TEST(CellPaintingGraphics, RadioGroupMarksTheItemOfTheCellText)
{
    Grid g;
    g.SetDefaultRowHeight(60);
    TCellGraphic* r = g.AddGraphic(1, 1, ctRadio);
    r->Options = QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")};
    r->CellIndex = -1;
    g.SetCellText(1, 1, QStringLiteral("two"));
    const auto frames = g.PaintCell(1, 1).CallsOf(QStringLiteral("DrawFrameControl"));
    ASSERT_EQ(frames.size(), 3);
    EXPECT_FALSE((frames[0].Flags >> 16) & Win::DFCS_CHECKED);
    EXPECT_TRUE((frames[1].Flags >> 16) & Win::DFCS_CHECKED);
    EXPECT_FALSE((frames[2].Flags >> 16) & Win::DFCS_CHECKED);
}

TEST(CellPaintingHTML, LocalFilesThatAreNoRegularFileDrawNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::blue);
    const QString file = dir.filePath(QStringLiteral("p.bmp"));
    ASSERT_TRUE(img.save(file, "BMP"));
    Grid g;
    g.SetDefaultRowHeight(40);
    auto images = [&](const QString& src) {
        g.SetCellText(1, 1, QStringLiteral("<IMG SRC=\"FILE://%1\">x").arg(src));
        const auto& c = g.PaintCell(1, 1);
        return c.CallsOf(QStringLiteral("DrawImage")).size() + c.CallsOf(QStringLiteral("DrawImageTransparent")).size();
    };
    EXPECT_GT(images(file), 0);
    EXPECT_EQ(images(dir.path()), 0);                  // a folder
    EXPECT_EQ(images(QStringLiteral("/dev/zero")), 0); // no regular file
}

TEST(CellPaintingMerges, MergedAreaTextIsDrawnOnceInTheArea)
{
    Grid g;
    g.MergeCells(1, 1, 2, 2);
    g.SetCellText(2, 2, QStringLiteral("merged"));
    TRecordingCanvas canvas;
    g.PaintTo(canvas, TRect(0, 0, 400, 300));
    int count = 0;
    for (const auto& c : canvas.CallsOf(QStringLiteral("DrawText"))) {
        if (c.Text != QStringLiteral("merged")) continue;
        ++count;
        const TRect area = g.GetCellRect(1, 1);
        EXPECT_EQ(c.Rect.Left, area.Left + 1 + 2); // grid line and margin
        EXPECT_EQ(c.Rect.Right, area.Right - 1 - 2);
    }
    EXPECT_EQ(count, 1);
}

// A grid whose display column 1 is real column 2 (real column 1 hidden).
class Shifted : public Grid {
public:
    int DisplayToRealCol(int c) const override { return c >= 1 ? c + 1 : c; }
    int RealToDisplayCol(int r) const override { return r >= 2 ? r - 1 : r; }
};

TEST(CellPaintingMerges, PropertiesAndMergesAreReadByRealColumn)
{
    Shifted g;
    g.SetColCount(6);
    g.GetCellProperties(2, 2)->BrushColor = clLime;
    EXPECT_EQ(g.CellBrush(1, 2), clLime);
    g.MergeCells(2, 4, 2, 1); // real columns 2 and 3: display 1 and 2
    EXPECT_EQ(g.GetCellRect(1, 4), g.CalcCellRect(1, 4).United(g.CalcCellRect(2, 4)));
    EXPECT_EQ(g.GetCellRect(2, 4), g.GetCellRect(1, 4));
}

TEST(CellPaintingPixels, GuideLineTwiceLeavesThePictureUnchanged)
{
    Grid g;
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 5; ++c) g.SetCellText(c, r, QStringLiteral("r%1c%2").arg(r).arg(c));
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        TPainterCanvas canvas(&image);
        g.PaintTo(canvas, TRect(0, 0, 400, 300));
    }
    const QImage before = image.copy();
    {
        TPainterCanvas canvas(&image);
        g.DrawMoveLine(canvas, 95);
    }
    EXPECT_NE(image, before);
    {
        TPainterCanvas canvas(&image);
        g.DrawMoveLine(canvas, 95);
    }
    EXPECT_EQ(image, before);
}

// The silver lines of the tree beside column 0: (x, y1) .. (x, y2) for the
// vertical ones, or the stub when y1 == y2.
QVector<TCanvasCall> TreeLines(TRecordingCanvas& canvas)
{
    QVector<TCanvasCall> out;
    for (const auto& l : canvas.CallsOf(QStringLiteral("LineTo")))
        if (l.Pen.Color() == clSilver && l.Pen.Width() == 1) out << l;
    return out;
}

TEST(CellPaintingNodes, TreeLinesFollowTheNodeRows)
{
    Grid g;
    g.SetOptions(g.Options() - TGridOption::goFixedHorzLine - TGridOption::goFixedVertLine);
    g.AddGraphic(0, 1, ctNode);
    g.AddGraphic(0, 5, ctNode);
    ASSERT_EQ(g.NodeCount(), 2);
    EXPECT_TRUE(TreeLines(g.PaintCell(0, 2)).isEmpty()); // ShowTree is off
    g.CellNode().SetShowTree(true);

    auto stub = [](const QVector<TCanvasCall>& lines) {
        for (const auto& l : lines)
            if (l.From.Y == l.To.Y && l.To.X - l.From.X == 8) return l;
        return TCanvasCall{};
    };
    // A node row has the stub alone, at its middle.
    auto lines = TreeLines(g.PaintCell(0, 1));
    ASSERT_EQ(lines.size(), 1);
    TCanvasCall s = stub(lines);
    ASSERT_EQ(s.Op, QStringLiteral("LineTo"));
    EXPECT_GE(s.From.Y, g.CalcCellRect(0, 1).Top + 9);
    EXPECT_LE(s.From.Y, g.CalcCellRect(0, 1).Top + 10);
    // A row inside a node: the line runs on down past the cell.
    lines = TreeLines(g.PaintCell(0, 3));
    ASSERT_EQ(lines.size(), 2);
    s = stub(lines);
    const TCanvasCall& down = lines[0].From.X == lines[0].To.X ? lines[0] : lines[1];
    EXPECT_EQ(down.From.X, s.From.X);
    EXPECT_LE(down.From.Y, g.CalcCellRect(0, 3).Top);
    EXPECT_GT(down.To.Y, g.CalcCellRect(0, 3).Bottom);
    // The last row ends the line at its middle.
    lines = TreeLines(g.PaintCell(0, 9));
    ASSERT_EQ(lines.size(), 2);
    s = stub(lines);
    const TCanvasCall& end = lines[0].From.X == lines[0].To.X ? lines[0] : lines[1];
    EXPECT_EQ(end.To.Y, s.From.Y);
    // Without nodes there is no tree.
    g.RemoveCellGraphic(0, 1);
    g.RemoveCellGraphic(0, 5);
    EXPECT_EQ(g.NodeCount(), 0);
    EXPECT_TRUE(TreeLines(g.PaintCell(0, 3)).isEmpty());
}

TEST(CellPaintingText, HeadersBreakAtTheGridsCarriageReturn)
{
    Grid g;
    g.SetRowHeights(0, 40);
    g.SetColumnHeaders({QString(), QStringLiteral("Sale\\nPrice")});
    ASSERT_EQ(g.GetCellText(1, 0), QStringLiteral("Sale\rPrice"));
    // One line while cells are single-line.
    auto texts = g.PaintCell(1, 0).CallsOf(QStringLiteral("DrawText"));
    ASSERT_FALSE(texts.isEmpty());
    EXPECT_EQ(texts.back().Text, QStringLiteral("Sale"));
    g.SetMultilinecells(true);
    texts = g.PaintCell(1, 0).CallsOf(QStringLiteral("DrawText"));
    ASSERT_FALSE(texts.isEmpty());
    EXPECT_FALSE(texts.back().Flags & Win::DT_SINGLELINE);
    const QStringList runs = g.canvas.Runs();
    EXPECT_TRUE(runs.contains(QStringLiteral("Sale")));
    EXPECT_TRUE(runs.contains(QStringLiteral("Price")));
    // CR LF and a lone LF break the same way.
    g.SetCellText(1, 1, QStringLiteral("one\r\ntwo\nthree"));
    g.SetRowHeights(1, 60);
    const QStringList lines = g.PaintCell(1, 1).Runs();
    EXPECT_TRUE(lines.contains(QStringLiteral("one")));
    EXPECT_TRUE(lines.contains(QStringLiteral("two")));
    EXPECT_TRUE(lines.contains(QStringLiteral("three")));
}

TEST(CellPaintingGlyphs, IndexedSortShowsEachColumnsPlaceAndWay)
{
    Grid g;
    g.SortSettings().Show = true;
    g.SortSettings().IndexShow = true;
    g.SortSettings().Column = 1; // the last plain sort
    g.SortIndexes().AddIndex(2, true);
    g.SortIndexes().AddIndex(3, false);
    auto triangle = [&](int col) {
        const auto polys = g.PaintCell(col, 0).CallsOf(QStringLiteral("Polygon"));
        return polys.isEmpty() ? QVector<TPoint>() : polys.front().Points;
    };
    // Ascending points up, descending down; each shows its place.
    QVector<TPoint> up = triangle(2);
    ASSERT_EQ(up.size(), 3);
    EXPECT_EQ(up[0].Y, up[1].Y);
    EXPECT_LT(up[2].Y, up[0].Y);
    EXPECT_EQ(g.canvas.CallsOf(QStringLiteral("Polygon")).front().Brush.Color(), g.SortSettings().IndexColor);
    EXPECT_TRUE(g.canvas.Runs().contains(QStringLiteral("1")));
    QVector<TPoint> down = triangle(3);
    ASSERT_EQ(down.size(), 3);
    EXPECT_GT(down[2].Y, down[0].Y);
    EXPECT_TRUE(g.canvas.Runs().contains(QStringLiteral("2")));
    // The plain glyph is an outline of slanted lines.
    auto plainGlyphLines = [&](int col) {
        int n = 0;
        for (const auto& l : g.PaintCell(col, 0).CallsOf(QStringLiteral("LineTo")))
            n += l.From.X != l.To.X && l.From.Y != l.To.Y;
        return n;
    };
    // The column of the last plain sort is not in the list: no glyph.
    EXPECT_TRUE(triangle(1).isEmpty());
    EXPECT_EQ(plainGlyphLines(1), 0);

    // Without IndexShow only the first sort column shows the plain glyph.
    g.SortSettings().IndexShow = false;
    g.SortSettings().Column = 3;
    EXPECT_EQ(plainGlyphLines(3), 0); // second in the list
    EXPECT_GT(plainGlyphLines(2), 0); // first in the list
}

TEST(CellPaintingText, EachTextKindGoesToItsPainter)
{
    Grid g;
    g.SetDefaultRowHeight(30);
    g.SetCellText(1, 1, QStringLiteral("=1+2"));                // a formula shows as written
    g.SetCellText(2, 1, QStringLiteral("<B>bold</B> rest"));    // HTML
    g.SetCellText(3, 1, QStringLiteral("{\\rtf1 rich words}")); // rich text
    EXPECT_TRUE(g.PaintCell(1, 1).Runs().contains(QStringLiteral("=1+2")));
    const QStringList html = g.PaintCell(2, 1).Runs();
    EXPECT_TRUE(html.contains(QStringLiteral("bold")));
    EXPECT_FALSE(html.join(QString()).contains(QStringLiteral("<B>")));
    // Rich text goes out run by run (12 points: 12 pixels a character),
    // without its source.
    g.SetColWidths(3, 150);
    EXPECT_EQ(g.PaintCell(3, 1).Runs().join(QString()), QStringLiteral("rich words"));
    g.SetEnableHTML(false); // then tags are text
    EXPECT_TRUE(g.PaintCell(2, 1).Runs().join(QString()).contains(QStringLiteral("<B>")));
}

TEST(CellPaintingGlyphs, SortGlyphSitsBesideTheCaption)
{
    Grid g;
    g.SortSettings().Show = true;
    g.SortSettings().Column = 2;
    g.SetCellText(2, 0, QStringLiteral("Price")); // 5 characters of 8 pixels
    auto glyphX = [&] {
        // The plain ascending glyph ends its outline at (x, y - 4).
        for (const auto& l : g.PaintCell(2, 0).CallsOf(QStringLiteral("LineTo")))
            if (l.Pen.Color() == clWhite && l.From.Y > l.To.Y && l.From.X > l.To.X) return l.To.X;
        return -1;
    };
    const TRect cell = g.CalcCellRect(2, 0);
    const int left = cell.Left + 1; // inside the grid line
    EXPECT_EQ(glyphX(), left + 40 + 10);
    g.OnGetAlignment = [](QObject*, int row, int col, TAlignment& h, TVAlignment&) {
        if (row == 0 && col == 2) h = taCenter;
    };
    EXPECT_EQ(glyphX(), left + 8);
    // Only the sort row of a grid of more than two rows shows it.
    g.SetRowCount(2);
    EXPECT_EQ(glyphX(), -1);
}

TEST(CellPaintingGraphics, PiesAreGaugesAndErrorsZigZag)
{
    Grid g;
    TCellGraphic* pie = g.AddGraphic(1, 1, ctProgressPie);
    pie->BarColor = clRed;
    pie->CellAngle = 25;
    const auto& c = g.PaintCell(1, 1);
    const auto ellipses = c.CallsOf(QStringLiteral("Ellipse"));
    ASSERT_EQ(ellipses.size(), 1);
    EXPECT_EQ(ellipses[0].Pen.Color(), clGray);
    EXPECT_EQ(ellipses[0].Rect.Width(), 20);
    const auto fills = c.CallsOf(QStringLiteral("FloodFill"));
    ASSERT_EQ(fills.size(), 1);
    EXPECT_EQ(fills[0].Brush.Color(), clRed);
    EXPECT_EQ(fills[0].Color, clGray); // bounded by the outline
    EXPECT_TRUE(c.CallsOf(QStringLiteral("Polygon")).isEmpty());

    // An error range is underlined by a red zig-zag two pixels wide.
    TCellGraphic* err = g.AddGraphic(2, 2, ctNone);
    err->CellErrFrom = 2;
    err->CellErrLen = 3;
    g.SetCellText(2, 2, QStringLiteral("abcdefgh"));
    QVector<TCanvasCall> red;
    for (const auto& l : g.PaintCell(2, 2).CallsOf(QStringLiteral("LineTo")))
        if (l.Pen.Color() == clRed) red << l;
    ASSERT_GE(red.size(), 3);
    for (const auto& l : red) EXPECT_EQ(l.Pen.Width(), 2);
    EXPECT_NE(red[0].To.Y, red[1].To.Y);
    EXPECT_EQ(red[0].To.Y, red[2].To.Y);
    // It starts under the third character (8 pixels each in the recording
    // canvas, after the cell's grid line, margin and the edit's own margin).
    EXPECT_EQ(red[0].From.X, g.CalcCellRect(2, 2).Left + 1 + 2 + 1 + 16);
}

TEST(AutoRows, DeletingActsOnlyOnDataRows)
{
    Grid g;
    g.SetRowCount(3);
    g.SetFixedFooters(1);
    int fired = 0;
    g.OnAutoDeleteRow = [&](QObject*, int row) {
        EXPECT_EQ(row, 1);
        ++fired;
    };
    g.SetCellText(2, 1, QStringLiteral("data"));
    g.AutoDeleteRow(0); // fixed
    g.AutoDeleteRow(2); // footer
    EXPECT_EQ(fired, 0);
    g.AutoDeleteRow(1); // the only data row: emptied
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_TRUE(g.GetCellText(2, 1).isEmpty());
    EXPECT_EQ(fired, 1);
    g.SetRowCount(2); // no data row left between the fixed row and the footer
    g.AutoDeleteRow(1);
    EXPECT_EQ(g.RowCount(), 2);
}

TEST(AutoRows, TheFloatingFootersRowIsOneFooterRow)
{
    Grid g;
    g.SetRowCount(4); // the fixed row, two data rows, the footer row
    g.SetFloatingFooterVisible(true);
    ASSERT_EQ(g.FixedFooters(), 1);
    g.SetCellText(1, 1, QStringLiteral("first"));
    g.SetCellText(1, 2, QStringLiteral("second"));
    g.SetCellText(1, 3, QStringLiteral("footer"));
    std::vector<int> fired;
    g.OnAutoDeleteRow = [&](QObject*, int row) { fired.push_back(row); };
    g.AutoDeleteRow(3); // the footer row stays
    EXPECT_EQ(g.RowCount(), 4);
    g.AutoDeleteRow(2); // the last data row goes
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_EQ(g.GetCellText(1, 1), QStringLiteral("first"));
    EXPECT_EQ(g.GetCellText(1, 2), QStringLiteral("footer"));
    g.AutoDeleteRow(1); // the only data row left is emptied
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_EQ(g.GetCellText(1, 1), QString());
    EXPECT_EQ(fired, (std::vector<int>{2, 1}));
}

TEST(AutoRows, InsertingFiresAfterTheRowExists)
{
    Grid g;
    g.SetCellText(1, 2, QStringLiteral("below"));
    int rows = 0;
    g.OnAutoInsertRow = [&](QObject*, int row) {
        EXPECT_EQ(row, 2);
        rows = g.RowCount();
        EXPECT_EQ(g.GetCellText(1, 3), QStringLiteral("below"));
    };
    g.AutoInsertRow(2);
    EXPECT_EQ(rows, 11);
}

} // namespace

TEST(CellPaintingText, FloatFormatReadsNumbersAsTheRegionalSettingsWriteThem)
{
    Grid g;
    TFormatSettings comma = RegionalSettings::Current();
    comma.DecimalSeparator = u',';
    comma.ThousandSeparator = u'.';
    ScopedRegionalSettings scoped(comma);
    g.SetCellText(1, 1, QStringLiteral("1.234,5"));
    g.SetCellText(1, 2, QStringLiteral("word"));
    g.SetCellText(1, 3, QString());
    QList<int> asked;
    g.OnGetFloatFormat = [&](QObject*, int, int row, bool& isFloat, QString& format) {
        asked << (isFloat ? row : -row);
        format = QStringLiteral("%.0f");
        if (row == 3) isFloat = true; // an empty cell made a number
    };
    const auto shown = [&](int row) {
        const auto texts = g.PaintCell(1, row).CallsOf(QStringLiteral("DrawText"));
        return texts.isEmpty() ? QString() : texts.back().Text;
    };
    EXPECT_EQ(shown(1), QStringLiteral("1235"));
    EXPECT_EQ(shown(2), QStringLiteral("word"));
    EXPECT_EQ(shown(3), QStringLiteral("0"));
    EXPECT_EQ(asked, (QList<int>{1, -2, -3}));
}

TEST(CellPaintingPixels, DuvFixedCellsShowTheirGradientUnderTheCaption)
{
    Grid g;
    g.SetLook(glDUV);
    g.SetFlat(false);
    g.SetCellText(1, 0, QStringLiteral("H"));
    g.SetCellText(1, 1, QStringLiteral("body"));
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        TPainterCanvas canvas(&image);
        g.PaintTo(canvas, TRect(0, 0, 400, 300));
    }
    // From silver at the top to nearly white at the bottom, left of the
    // caption; the body cell keeps one colour.
    const TRect head = g.CellRect(2, 0);
    const int x = head.Left + head.Width() / 2;
    const QColor top = image.pixelColor(x, head.Top + 2);
    const QColor bottom = image.pixelColor(x, head.Bottom - 4);
    EXPECT_LE(top.red(), 0xCC);
    EXPECT_LT(top.red(), bottom.red());
    const TRect body = g.CellRect(2, 2);
    EXPECT_EQ(image.pixelColor(x, body.Top + 2), image.pixelColor(x, body.Bottom - 4));
}

TEST(CellPaintingPixels, TransparentBitmapsLetTheCellColourThroughTheirTopLeftColour)
{
    Grid g;
    g.GetCellProperties(2, 2)->BrushColor = clYellow;
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x) picture.setPixel(x, y, qRgb(255, 0, 0));
    TBitmap bitmap;
    bitmap.SetImage(picture);
    TCellGraphic* graphic = g.AddGraphic(2, 2, ctBitmap);
    graphic->Graphic = &bitmap;
    graphic->CellTransparent = true;
    g.FocusCell(4, 9); // the cell paints unselected
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        TPainterCanvas canvas(&image);
        g.PaintTo(canvas, TRect(0, 0, 400, 300));
    }
    // The picture stands at the cell's top-left corner, one pixel in.
    const TRect cell = g.CellRect(2, 2);
    const QPoint at(cell.Left + 1, cell.Top + 1);
    EXPECT_EQ(image.pixelColor(at + QPoint(0, 0)), QColor(Qt::yellow));
    EXPECT_EQ(image.pixelColor(at + QPoint(7, 7)), QColor(Qt::yellow));
    EXPECT_EQ(image.pixelColor(at + QPoint(3, 3)), QColor(Qt::red));
    graphic->Graphic = nullptr;
}

TEST(CellPaintingPixels, BitButtonGlyphsStandOnTheButtonFace)
{
    Grid g;
    QImage picture(6, 6, QImage::Format_RGB32);
    picture.fill(Qt::magenta);
    for (int y = 2; y < 4; ++y)
        for (int x = 2; x < 4; ++x) picture.setPixel(x, y, qRgb(0, 0, 255));
    TBitmap glyph;
    glyph.SetImage(picture);
    TCellGraphic* button = g.AddGraphic(2, 2, ctBitButton);
    button->CellIndex = (16 << 16) | 40;
    button->Graphic = &glyph;
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        TPainterCanvas canvas(&image);
        g.PaintTo(canvas, TRect(0, 0, 400, 300));
    }
    // Find the glyph by its blue centre; its corners show the face.
    const TRect cell = g.CellRect(2, 2);
    QPoint blue(-1, -1);
    for (int y = cell.Top; y < cell.Bottom && blue.x() < 0; ++y)
        for (int x = cell.Left; x < cell.Right; ++x)
            if (image.pixelColor(x, y) == QColor(Qt::blue)) {
                blue = QPoint(x, y);
                break;
            }
    ASSERT_GE(blue.x(), 0);
    const QColor face = ToQColor(clBtnFace);
    EXPECT_EQ(image.pixelColor(blue - QPoint(2, 2)), face);
    EXPECT_EQ(image.pixelColor(blue + QPoint(3, 3)), face);
    button->Graphic = nullptr;
}
