#include "grid/draw/CellDrawing.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/PainterCanvas.h"
#include "tests/support/RecordingCanvas.h"

#include <gtest/gtest.h>

TEST(CellDrawing, BoundsAndColours)
{
    EXPECT_EQ(MaxOf(3, -2), 3);
    EXPECT_EQ(MinOf(3, -2), -2);
    EXPECT_EQ(MinOf(4, 4), 4);
    // The edges belong to the rectangle.
    const TRect r(10, 20, 30, 40);
    EXPECT_TRUE(PointInRectInclusive(r, 10, 20));
    EXPECT_TRUE(PointInRectInclusive(r, 30, 40));
    EXPECT_FALSE(PointInRectInclusive(r, 31, 40));
    EXPECT_FALSE(PointInRectInclusive(r, 30, 19));
    EXPECT_EQ(ChooseBound(10, 4, 4), 10);
    EXPECT_EQ(ChooseBound(10, 20, 5), 5);
    EXPECT_EQ(ChooseBound(10, 20, 15), 20);
    EXPECT_EQ(ChooseBound(10, 5, 0), 10);
    EXPECT_EQ(ChooseBound(10, -20, 0), 10);
    EXPECT_EQ(DimColor(RGB(200, 101, 2)), RGB(100, 50, 1));
    EXPECT_EQ(DimColor(clWhite), RGB(127, 127, 127));
    EXPECT_EQ(DimColor(clBtnFace), DimColor(GetSysColor(Win::COLOR_BTNFACE)));
}

TEST(CellDrawing, ErrorUnderlineZigZagsUnderTheRange)
{
    TRecordingCanvas canvas; // characters 8 pixels wide
    DrawErrorUnderline(canvas, "abcdef", TRect(10, 20, 100, 40), 2, 1, 2);
    const auto lines = canvas.CallsOf("LineTo");
    ASSERT_FALSE(lines.isEmpty());
    // From character 1 (x 1 + 8) to the start of character 2 (x 1 + 16).
    EXPECT_EQ(lines.front().From, TPoint(10 + 9, 20 + 2 + 3));
    EXPECT_EQ(lines.front().To, TPoint(10 + 12, 20 + 2));
    EXPECT_EQ(lines[1].To, TPoint(10 + 15, 20 + 2 + 3));
    EXPECT_EQ(lines.size(), 4);
    for (const auto& l : lines) {
        EXPECT_EQ(l.Pen.Color(), clRed);
        EXPECT_EQ(l.Pen.Width(), 2);
    }
    canvas.Clear();
    // A range past the end runs to 4 pixels beyond the last character.
    DrawErrorUnderline(canvas, "ab", TRect(0, 0, 50, 20), 0, 5, 3);
    EXPECT_GT(canvas.CallsOf("LineTo").size(), 0);
    EXPECT_EQ(canvas.CallsOf("LineTo").front().From.X, 1 + 16 + 4);
}

TEST(CellDrawing, CircularGaugeFillsFromTwelveOClock)
{
    TRecordingCanvas canvas;
    DrawCircularGauge(canvas, TRect(0, 0, 20, 20), clRed, 25);
    ASSERT_EQ(canvas.CallsOf("Ellipse").size(), 1);
    EXPECT_EQ(canvas.CallsOf("Ellipse").front().Rect, TRect(0, 0, 20, 20));
    const auto lines = canvas.CallsOf("LineTo");
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].From, TPoint(10, 0));
    EXPECT_EQ(lines[0].To, TPoint(10, 10));
    // A quarter: the radius points at three o'clock.
    EXPECT_EQ(lines[1].To, TPoint(20, 10));
    const auto fills = canvas.CallsOf("FloodFill");
    ASSERT_EQ(fills.size(), 1);
    EXPECT_EQ(fills.front().Color, clGray);
    EXPECT_EQ(fills.front().Brush.Color(), clRed);
}

TEST(CellDrawing, TransparentBitmapsTakeTheBackground)
{
    TBitmap bitmap(4, 3);
    bitmap.Canvas().Brush().SetColor(clFuchsia);
    bitmap.Canvas().FillRect(TRect(0, 0, 4, 3));
    bitmap.Canvas().SetPixel(2, 1, clBlue);
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        TPainterCanvas canvas(&image);
        canvas.Brush().SetColor(clGreen);
        DrawBitmapTransparent(canvas, bitmap, clYellow, TRect(5, 5, 6, 6));
        // The canvas's own brush is left as it was.
        EXPECT_EQ(canvas.Brush().Color(), clGreen);
    }
    EXPECT_EQ(FromQRgb(image.pixel(5, 5)), clYellow);
    EXPECT_EQ(FromQRgb(image.pixel(7, 6)), clBlue);
    EXPECT_EQ(FromQRgb(image.pixel(8, 7)), clYellow);
    // At its own size, whatever the rectangle.
    EXPECT_EQ(FromQRgb(image.pixel(9, 5)), clBlack);

    // A resource the program lacks draws nothing and raises nothing.
    TRecordingCanvas recording;
    DrawResourceBitmap(recording, clWhite, TRect(0, 0, 10, 10), "NOSUCHBITMAP");
    EXPECT_TRUE(recording.Calls().isEmpty());
}
