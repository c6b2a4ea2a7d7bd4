// The HTML renderer's own pixels through the canvas over a QImage at 96 dpi
// (antialiasing off): background bands and the error zig-zag.

#include "controls/HTMLDraw.h"
#include "platform/graphics/PainterCanvas.h"

#include <gtest/gtest.h>

namespace {

constexpr QRgb kRed = 0xFFFF0000;

struct ImageFixture {
    QImage image{120, 60, QImage::Format_RGB32};
    ImageFixture() { image.fill(Qt::white); }
    int Draw(const QString& text, const TRect& rect)
    {
        TPainterCanvas canvas(&image, 96);
        canvas.Font().SetName(QStringLiteral("DejaVu Sans"));
        canvas.Font().SetSize(8);
        canvas.Font().SetColor(clBlack);
        canvas.Brush().SetColor(clWhite);
        const int height = canvas.TextMetrics().tmHeight;
        THTMLDrawOptions o;
        THTMLDrawResults r;
        HTMLDraw(canvas, text, rect, o, r);
        canvas.Release();
        return height;
    }
    QRgb At(int x, int y) const { return image.pixel(x, y) | 0xFF000000; }
};

TEST(HTMLPixels, ErrorZigZagUnderTheText)
{
    ImageFixture f;
    const int h = f.Draw(QStringLiteral("<E>nn</E>"), TRect(0, 0, 120, 60));
    // The text starts at 1: the zig-zag at 0, a multiple of 4, starts below
    // the base line and goes up and down in 2-pixel steps.
    EXPECT_EQ(f.At(0, h + 1), kRed);
    EXPECT_EQ(f.At(1, h), kRed);
    EXPECT_EQ(f.At(2, h - 1), kRed);
    EXPECT_EQ(f.At(3, h), kRed);
    EXPECT_EQ(f.At(4, h + 1), kRed);
    EXPECT_EQ(f.At(5, h), kRed);
    EXPECT_NE(f.At(0, h - 1), kRed);
    EXPECT_NE(f.At(2, h + 1), kRed);
    // Nothing red past the text's right end.
    for (int x = 40; x < 120; ++x)
        for (int y = h - 2; y <= h + 2; ++y) EXPECT_NE(f.At(x, y), kRed) << x << "," << y;
}

TEST(HTMLPixels, ParagraphAndBodyBackgrounds)
{
    ImageFixture f;
    const int h =
        f.Draw(QStringLiteral("<BODY BGCOLOR=\"clSilver\"><P BGCOLOR=\"#00FF00\">ab</P>c"), TRect(10, 5, 110, 55));
    const QRgb silver = 0xFFC0C0C0;
    const QRgb lime = 0xFF00FF00;
    // The band covers the whole width of the rectangle, one line high.
    EXPECT_EQ(f.At(10, 5), lime);
    EXPECT_EQ(f.At(109, 5), lime);
    EXPECT_EQ(f.At(109, 5 + h - 1), lime);
    EXPECT_EQ(f.At(109, 5 + h), silver);
    // The body fills the rectangle, right and bottom edges excluded.
    EXPECT_EQ(f.At(10, 54), silver);
    EXPECT_EQ(f.At(109, 54), silver);
    EXPECT_EQ(f.At(110, 30), 0xFFFFFFFF);
    EXPECT_EQ(f.At(50, 55), 0xFFFFFFFF);
    EXPECT_EQ(f.At(9, 30), 0xFFFFFFFF);
}

} // namespace

TEST(HTMLPixels, RotatedTextStaysInItsRectangle)
{
    // A grid row below another: the turned text must not reach the row
    // above; what turns into the line's own band shows.
    const TRect cell(10, 30, 110, 50);
    for (int angle : {90, 45, 315}) {
        SCOPED_TRACE(angle);
        ImageFixture f;
        f.Draw(QStringLiteral("<R a=\"%1\">WWWWWW</R>").arg(angle), cell);
        int inside = 0;
        for (int y = 0; y < f.image.height(); ++y)
            for (int x = 0; x < f.image.width(); ++x) {
                if (f.At(x, y) == 0xFFFFFFFF) continue;
                ASSERT_TRUE(cell.Contains(x, y)) << x << "," << y;
                ++inside;
            }
        if (angle != 90) { EXPECT_GT(inside, 0); }
    }
}
