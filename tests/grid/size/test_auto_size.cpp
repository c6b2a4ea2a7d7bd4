// AutoSize: switching it on fits every scrolling column to its cells with a
// 10-pixel margin.
#include "grid/TExtStringGrid.h"
#include "platform/graphics/PainterCanvas.h"
#include "tests/grid/TestGrids.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

class Grid : public TExtStringGrid {
public:
    Grid() : TExtStringGrid(nullptr, QStringLiteral("Grid"))
    {
        ShapeGrid(*this, 600, 300, 4, 4, 64);
        SetCellText(0, 1, QStringLiteral("a row header far wider than its column"));
        SetCellText(1, 1, QStringLiteral("ab"));
        SetCellText(1, 2, QStringLiteral("abcd"));
        SetCellText(2, 2, QStringLiteral("a much longer text than the default"));
    }
    int TextWidth(const QString& text)
    {
        QImage image(1, 1, QImage::Format_RGB32);
        TPainterCanvas canvas(&image);
        canvas.Font() = Font();
        return canvas.TextWidth(text);
    }
};

TEST(AutoSize, SwitchingItOnFitsTheScrollingColumnsWithTenPixelsMore)
{
    Grid g;
    EXPECT_FALSE(g.AutoSize());
    g.SetAutoSize(true);
    EXPECT_TRUE(g.AutoSize());
    const int w1 = g.ColWidths(1);
    const int w2 = g.ColWidths(2);
    // Each column follows its widest text.
    EXPECT_GE(w1, g.TextWidth(QStringLiteral("abcd")) + 10);
    EXPECT_LT(w1, g.DefaultColWidth());
    EXPECT_EQ(w2 - w1,
              g.TextWidth(QStringLiteral("a much longer text than the default")) - g.TextWidth(QStringLiteral("abcd")));
    // The fixed column keeps its width.
    EXPECT_EQ(g.ColWidths(0), g.DefaultColWidth());
    // Sizing to the contents alone leaves out the 10 pixels.
    g.AutoSizeCol(2, false);
    EXPECT_EQ(g.ColWidths(2), w2 - 10);

    // Switching it off sizes nothing.
    g.SetCellText(1, 3, QStringLiteral("a new long text in column one"));
    g.SetAutoSize(false);
    EXPECT_EQ(g.ColWidths(1), w1);
}

} // namespace
