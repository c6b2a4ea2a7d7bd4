// Measuring cell texts as they are drawn: rich text by its formatted runs
// rather than its source, rotated text by its angle, and the column and row
// sizing and the large-text hint that rest on it.
#include "grid/TExtStringGrid.h"
#include "grid/cells/TCellGraphic.h"
#include "platform/graphics/PainterCanvas.h"
#include "tests/support/PrintQString.h"
#include "tests/grid/TestGrids.h"

#include <QImage>
#include <cmath>
#include <gtest/gtest.h>

namespace {

class Grid : public TExtStringGrid {
public:
    Grid() : TExtStringGrid(nullptr, QStringLiteral("Grid")) { ShapeGrid(*this, 600, 300, 4, 4, 60, 20); }
    TCellGraphic* Rotated(int col, int row, int angle)
    {
        TCellGraphic* g = AttachGraphic(*this, col, row, ctRotated);
        g->CellAngle = angle;
        return g;
    }
};

// Text measured as the grid measures it: its face, the given size and style.
struct Measure {
    QImage image{1, 1, QImage::Format_RGB32};
    TPainterCanvas canvas{&image};
    TSize Of(const QString& text, int size = 0, TFontStyles style = {})
    {
        TFont f;
        f.SetName(QStringLiteral("Tahoma"));
        if (size > 0) f.SetSize(size);
        f.SetStyle(style);
        canvas.Font() = f;
        return canvas.TextExtent(text);
    }
};

} // namespace

TEST(CellTextSize, PlainTextWithMargins)
{
    Grid g;
    Measure m;
    g.SetCellText(1, 1, QStringLiteral("Assessed value"));
    TSize size;
    g.GetCellTextSize(1, 1, size, false);
    const TSize text = m.Of(QStringLiteral("Assessed value"));
    EXPECT_EQ(size.cx, text.cx + 4);
    EXPECT_EQ(size.cy, m.Of(QStringLiteral("gh")).cy + 4);
}

TEST(CellTextSize, RichTextIsMeasuredAsItsRunsNotItsSource)
{
    Grid g;
    Measure m;
    const QString rtf = QStringLiteral("{\\rtf1\\ansi {\\b\\fs40 Big} small}");
    g.SetCellText(1, 1, rtf);
    TSize size;
    g.GetCellTextSize(1, 1, size, false);
    const TSize big = m.Of(QStringLiteral("Big"), 20, TFontStyles{TFontStyle::fsBold});
    const TSize small = m.Of(QStringLiteral(" small"), 12);
    EXPECT_EQ(size.cx, big.cx + small.cx + 4);
    EXPECT_EQ(size.cy, std::max(m.Of("gh", 20, TFontStyles{TFontStyle::fsBold}).cy, m.Of("gh", 12).cy) + 4);
    EXPECT_LT(size.cx, m.Of(rtf).cx); // not the source

    // Two paragraphs take two lines.
    g.SetCellText(1, 2, QStringLiteral("{\\rtf1\\ansi one\\par two}"));
    g.GetCellTextSize(1, 2, size, false);
    EXPECT_EQ(size.cy, 2 * m.Of("gh", 12).cy + 4);

    // Sizing the column fits the rendered text.
    g.AutoSizeCol(1);
    EXPECT_EQ(g.ColWidths(1), std::max(big.cx + small.cx, m.Of("one", 12).cx) + 2 + 2 * (g.GridLineWidth() + 1));
}

TEST(CellTextSize, RotatedTextTakesTheBoxOfItsAngle)
{
    Grid g;
    Measure m;
    g.SetCellText(1, 1, QStringLiteral("Rotated"));
    const TSize text = m.Of(QStringLiteral("Rotated"));
    g.Rotated(1, 1, 90);
    TSize size;
    g.GetCellTextSize(1, 1, size, false);
    EXPECT_EQ(size, (TSize{text.cy + 12 + 4, text.cx + 12 + 4}));

    // At 45 degrees both sides of the text lean into each direction.
    g.Rotated(1, 1, 45);
    g.GetCellTextSize(1, 1, size, false);
    const int across = int(std::lround(std::cos(M_PI / 4) * text.cx)) + int(std::lround(std::sin(M_PI / 4) * text.cy));
    EXPECT_EQ(size.cx, across + 12 + 4);
    EXPECT_GT(size.cx, text.cx * 7 / 10 + 12);

    // A column of upright text grows to the text's height, its row to the
    // text's length.
    g.Rotated(1, 1, 90);
    g.AutoSizeCol(1);
    EXPECT_EQ(g.ColWidths(1), text.cy + 12 + 2 + 2 * (g.GridLineWidth() + 1));
    g.AutoSizeRow(1);
    EXPECT_EQ(g.RowHeights(1), text.cx + 12 + 2 + 2 * g.GridLineWidth());
}

TEST(CellTextSize, TheLargeTextHintComesFromTheMeasuredText)
{
    Grid g;
    g.SetHintShowLargeText(true);
    g.Rotated(2, 1, 90);
    g.SetCellText(2, 1, QStringLiteral("Upright text"));
    g.SetCellText(1, 1, QStringLiteral("Upright text"));
    g.SetColWidths(1, 200);
    g.SetColWidths(2, 200);
    const TRect flat = g.CellRect(1, 1);
    const TRect upright = g.CellRect(2, 1);
    // Flat the text fits a wide cell; upright it is taller than the row.
    EXPECT_EQ(g.CellHintAt(flat.Left + 5, flat.Top + 5), QString());
    EXPECT_EQ(g.CellHintAt(upright.Left + 5, upright.Top + 5), QStringLiteral("Upright text"));
}
