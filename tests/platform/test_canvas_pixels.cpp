// The canvas over a QImage at 96 dpi: the Windows geometry of fills,
// rectangles and lines, the inverting focus rectangle, edges, frame
// controls, clipping, text backgrounds and bitmaps.

#include "platform/graphics/Bitmap.h"
#include "tests/platform/DrawingFixtures.h"

#include <QFontMetrics>
#include <QPainter>
#include <gtest/gtest.h>

using drawingtest::ImageCanvas;

namespace {

// Number of pixels of colour c in the image.
int Count(const QImage& img, TColor c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (FromQRgb(img.pixel(x, y)) == c) ++n;
    return n;
}

} // namespace

TEST(CanvasGeometry, FillRectExcludesRightAndBottomEdges)
{
    ImageCanvas c;
    c->Brush().SetColor(clRed);
    c->FillRect(TRect(2, 3, 6, 5));
    EXPECT_EQ(c.At(2, 3), clRed);
    EXPECT_EQ(c.At(5, 4), clRed);
    EXPECT_EQ(c.At(6, 4), clWhite);
    EXPECT_EQ(c.At(5, 5), clWhite);
    EXPECT_EQ(c.At(1, 3), clWhite);
    EXPECT_EQ(Count(c.Image(), clRed), 8);
}

TEST(CanvasGeometry, ClearBrushAndNoneAreNeverPainted)
{
    ImageCanvas c;
    c->Brush().SetColor(clNone);
    EXPECT_EQ(c->Brush().Style(), TBrushStyle::bsClear);
    EXPECT_EQ(c->Brush().Color(), clNone);
    c->FillRect(TRect(0, 0, 10, 10));
    c->Pen().SetStyle(TPenStyle::psClear);
    c->Rectangle(0, 0, 10, 10);
    EXPECT_EQ(Count(c.Image(), clWhite), 40 * 30);
    // A colour makes the brush solid again; the style alone keeps the colour.
    c->Brush().SetColor(clLime);
    EXPECT_EQ(c->Brush().Style(), TBrushStyle::bsSolid);
    c->Brush().SetStyle(TBrushStyle::bsClear);
    EXPECT_EQ(c->Brush().Color(), clNone);
    c->Brush().SetStyle(TBrushStyle::bsSolid);
    EXPECT_EQ(c->Brush().Color(), clLime);
}

TEST(CanvasGeometry, NoneIsNotPaintedByPenOrFont)
{
    ImageCanvas c(60, 30);
    c->Pen().SetColor(clNone);
    c->MoveTo(0, 0);
    c->LineTo(20, 0);
    c->Brush().SetStyle(TBrushStyle::bsClear);
    c->Font().SetColor(clNone);
    c->TextOut(2, 2, QStringLiteral("Text"));
    EXPECT_EQ(Count(c.Image(), clWhite), 60 * 30);
    EXPECT_EQ(c->PenPos().X, 2 + c->TextWidth(QStringLiteral("Text")));
}

TEST(CanvasGeometry, SavedClearBrushRestoresClear)
{
    ImageCanvas c;
    c->Brush().SetStyle(TBrushStyle::bsClear);
    const TColor saved = c->Brush().Color();
    c->Brush().SetColor(clYellow);
    c->Brush().SetColor(saved);
    EXPECT_EQ(c->Brush().Style(), TBrushStyle::bsClear);
}

TEST(CanvasGeometry, RectangleOutlineAndInteriorStopBeforeRightAndBottom)
{
    ImageCanvas c;
    c->Pen().SetColor(clBlack);
    c->Brush().SetColor(clYellow);
    c->Rectangle(1, 1, 5, 4);
    // Outline on x = 1 and 4, y = 1 and 3.
    EXPECT_EQ(c.At(1, 1), clBlack);
    EXPECT_EQ(c.At(4, 1), clBlack);
    EXPECT_EQ(c.At(4, 3), clBlack);
    EXPECT_EQ(c.At(1, 3), clBlack);
    EXPECT_EQ(c.At(2, 2), clYellow);
    EXPECT_EQ(c.At(3, 2), clYellow);
    EXPECT_EQ(c.At(5, 2), clWhite);
    EXPECT_EQ(c.At(2, 4), clWhite);
    EXPECT_EQ(Count(c.Image(), clBlack), 10);
}

TEST(CanvasGeometry, RectangleWithoutPenIsOnePixelSmaller)
{
    ImageCanvas c;
    c->Pen().SetStyle(TPenStyle::psClear);
    c->Brush().SetColor(clRed);
    c->Rectangle(0, 0, 4, 3);
    EXPECT_EQ(Count(c.Image(), clRed), 3 * 2);
    EXPECT_EQ(c.At(2, 1), clRed);
    EXPECT_EQ(c.At(3, 1), clWhite);
}

TEST(CanvasGeometry, LineToLeavesOutTheEndPixel)
{
    ImageCanvas c;
    c->Pen().SetColor(clBlue);
    c->MoveTo(0, 0);
    c->LineTo(5, 0);
    EXPECT_EQ(c->PenPos(), TPoint(5, 0));
    c->MoveTo(0, 2);
    c->LineTo(0, 6);
    c->MoveTo(10, 10);
    c->LineTo(7, 7);
    c->MoveTo(20, 5);
    c->LineTo(15, 5); // right to left
    EXPECT_EQ(c.At(4, 0), clBlue);
    EXPECT_EQ(c.At(5, 0), clWhite);
    EXPECT_EQ(c.At(0, 5), clBlue);
    EXPECT_EQ(c.At(0, 6), clWhite);
    EXPECT_EQ(c.At(10, 10), clBlue);
    EXPECT_EQ(c.At(8, 8), clBlue);
    EXPECT_EQ(c.At(7, 7), clWhite);
    EXPECT_EQ(c.At(20, 5), clBlue);
    EXPECT_EQ(c.At(16, 5), clBlue);
    EXPECT_EQ(c.At(15, 5), clWhite);
    EXPECT_EQ(Count(c.Image(), clBlue), 5 + 4 + 3 + 5);
}

TEST(CanvasGeometry, ClosedPolylineDrawsEveryCorner)
{
    ImageCanvas c;
    c->Pen().SetColor(clBlack);
    c->Polyline({TPoint(1, 1), TPoint(4, 1), TPoint(4, 4), TPoint(1, 4), TPoint(1, 1)});
    EXPECT_EQ(Count(c.Image(), clBlack), 12);
    EXPECT_EQ(c.At(4, 4), clBlack);
    EXPECT_EQ(c.At(2, 2), clWhite);
}

TEST(CanvasGeometry, XorDottedLineTwiceRestoresTheImage)
{
    for (int mode : {Win::TRANSPARENT, Win::OPAQUE}) {
        ImageCanvas c;
        c->Brush().SetColor(clSilver);
        c->FillRect(TRect(0, 10, 40, 20));
        const QImage before = c.Image().copy();
        c->Pen().SetColor(clWhite);
        c->Pen().SetStyle(TPenStyle::psDot);
        c->Pen().SetMode(TPenMode::pmXor);
        c->SetBkMode(mode);
        c->MoveTo(3, 0);
        c->LineTo(3, 30);
        const QImage once = c.Image().copy();
        // Dots of three pixels inverted; the gaps between them are left alone
        // with a transparent background and XOR-ed with the brush colour with
        // an opaque one.
        EXPECT_EQ(FromQRgb(once.pixel(3, 0)), clBlack);
        EXPECT_EQ(FromQRgb(once.pixel(3, 2)), clBlack);
        EXPECT_EQ(FromQRgb(once.pixel(3, 3)), mode == Win::TRANSPARENT ? clWhite : RGB(0x3F, 0x3F, 0x3F));
        EXPECT_EQ(FromQRgb(once.pixel(3, 6)), clBlack);
        c->MoveTo(3, 0);
        c->LineTo(3, 30);
        EXPECT_EQ(c.Image(), before) << mode;
    }
}

TEST(CanvasFocus, FocusRectangleIsADottedInversionThatDrawingTwiceRemoves)
{
    ImageCanvas c;
    c->Brush().SetColor(clYellow);
    c->FillRect(TRect(0, 0, 40, 30));
    c->Brush().SetColor(clYellow);
    c->Font().SetColor(clBlack);
    const QImage before = c.Image().copy();
    const TRect r(2, 2, 12, 8);
    c->DrawFocusRect(r);
    const QImage once = c.Image().copy();
    // Dots where x + y is even on the frame: yellow XOR yellow = black.
    EXPECT_EQ(FromQRgb(once.pixel(2, 2)), clBlack);
    EXPECT_EQ(FromQRgb(once.pixel(3, 2)), clYellow);
    EXPECT_EQ(FromQRgb(once.pixel(4, 2)), clBlack);
    EXPECT_EQ(FromQRgb(once.pixel(11, 3)), clBlack);
    EXPECT_EQ(FromQRgb(once.pixel(11, 7)), clBlack);
    EXPECT_EQ(FromQRgb(once.pixel(11, 6)), clYellow);
    // The inside and the outside are untouched.
    EXPECT_EQ(FromQRgb(once.pixel(5, 5)), clYellow);
    EXPECT_EQ(FromQRgb(once.pixel(12, 2)), clYellow);
    EXPECT_EQ(FromQRgb(once.pixel(2, 8)), clYellow);
    int changed = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            if (once.pixel(x, y) != before.pixel(x, y)) ++changed;
    EXPECT_EQ(changed, (2 * 10 + 2 * 4) / 2);
    c->DrawFocusRect(r);
    EXPECT_EQ(c.Image(), before);
}

TEST(CanvasFocus, AClearBrushXorsWithItsStoredColourSoTheFrameShowsOnWhite)
{
    // The renderer clears the brush of a white cell before it frames the
    // focused link in black text: the dots invert the white pixels.
    ImageCanvas c;
    c->Brush().SetColor(clWhite);
    c->Brush().SetColor(clNone);
    c->Font().SetColor(clBlack);
    const QImage before = c.Image().copy();
    const TRect r(2, 2, 12, 8);
    c->DrawFocusRect(r);
    const QImage once = c.Image().copy();
    EXPECT_EQ(FromQRgb(once.pixel(2, 2)), clBlack);
    EXPECT_EQ(FromQRgb(once.pixel(3, 2)), clWhite);
    EXPECT_EQ(FromQRgb(once.pixel(11, 7)), clBlack);
    EXPECT_EQ(FromQRgb(once.pixel(2, 4)), clBlack);
    EXPECT_EQ(Count(once, clBlack), (2 * 10 + 2 * 4) / 2);
    c->DrawFocusRect(r);
    EXPECT_EQ(c.Image(), before);
    // Another stored colour: its XOR shows on the white cell.
    c->Brush().SetColor(clYellow);
    c->Brush().SetStyle(TBrushStyle::bsClear);
    c->DrawFocusRect(r);
    EXPECT_EQ(c.At(2, 2), clBlue);
    EXPECT_EQ(c.At(3, 2), clWhite);
}

TEST(CanvasFocus, InvertRectTwiceRestores)
{
    ImageCanvas c;
    c->Brush().SetColor(clRed);
    c->FillRect(TRect(0, 0, 5, 5));
    const QImage before = c.Image().copy();
    c->InvertRect(TRect(1, 1, 4, 4));
    EXPECT_EQ(c.At(2, 2), clAqua);
    EXPECT_EQ(c.At(4, 4), clRed);
    c->InvertRect(TRect(1, 1, 4, 4));
    EXPECT_EQ(c.Image(), before);
}

TEST(CanvasEdges, SunkenEdgeColoursAndCorners)
{
    ImageCanvas c;
    TRect r(0, 0, 10, 8);
    c->DrawEdge(r, Win::EDGE_SUNKEN, Win::BF_RECT | Win::BF_ADJUST | Win::BF_MIDDLE);
    EXPECT_EQ(r, TRect(2, 2, 8, 6));
    // Outer ring: shadow above and left, highlight below and right, which
    // owns the top-right and bottom-left corners.
    EXPECT_EQ(c.At(0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(c.At(8, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(c.At(9, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(c.At(0, 7), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(c.At(0, 6), ColorToRGB(clBtnShadow));
    EXPECT_EQ(c.At(9, 7), ColorToRGB(clBtnHighlight));
    // Inner ring: dark shadow and light.
    EXPECT_EQ(c.At(1, 1), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(c.At(8, 1), ColorToRGB(cl3DLight));
    EXPECT_EQ(c.At(1, 6), ColorToRGB(cl3DLight));
    // Middle.
    EXPECT_EQ(c.At(4, 4), ColorToRGB(clBtnFace));
    EXPECT_EQ(c.At(10, 4), clWhite);
}

TEST(CanvasEdges, RaisedEdgeOnChosenSidesOnly)
{
    ImageCanvas c(40, 30, 0xFF00FF00);
    TRect r(0, 0, 10, 8);
    c->DrawEdge(r, Win::BDR_RAISEDINNER, Win::BF_LEFT);
    EXPECT_EQ(r, TRect(0, 0, 10, 8)); // no BF_ADJUST
    EXPECT_EQ(c.At(0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(c.At(0, 7), ColorToRGB(clBtnHighlight)); // whole left side
    EXPECT_EQ(c.At(1, 0), clLime);
    TRect s(20, 0, 30, 8);
    c->DrawEdge(s, Win::EDGE_RAISED, Win::BF_BOTTOMRIGHT);
    EXPECT_EQ(c.At(29, 0), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(c.At(20, 7), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(c.At(28, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(c.At(20, 6), ColorToRGB(clBtnShadow));
    EXPECT_EQ(c.At(20, 0), clLime);
}

TEST(CanvasEdges, FlatAndMonoBorders)
{
    ImageCanvas c;
    TRect r(0, 0, 6, 6);
    c->DrawEdge(r, Win::EDGE_RAISED, Win::BF_RECT | Win::BF_FLAT);
    EXPECT_EQ(c.At(0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(c.At(5, 5), ColorToRGB(clBtnShadow));
    EXPECT_EQ(c.At(1, 1), ColorToRGB(clBtnFace));
    TRect m(10, 0, 16, 6);
    c->DrawEdge(m, Win::EDGE_SUNKEN, Win::BF_RECT | Win::BF_MONO);
    EXPECT_EQ(c.At(10, 0), ColorToRGB(clWindowFrame));
}

TEST(CanvasFrameControls, PushButtonAdjustsInsideItsEdge)
{
    ImageCanvas c;
    TRect r(0, 0, 20, 10);
    c->DrawFrameControl(r, Win::DFC_BUTTON, Win::DFCS_BUTTONPUSH | Win::DFCS_ADJUSTRECT);
    EXPECT_EQ(r, TRect(2, 2, 18, 8));
    EXPECT_EQ(c.At(0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(c.At(19, 9), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(c.At(18, 8), ColorToRGB(clBtnShadow));
    EXPECT_EQ(c.At(10, 5), ColorToRGB(clBtnFace));
    TRect pushed(0, 12, 20, 22);
    c->DrawFrameControl(pushed, Win::DFC_BUTTON, Win::DFCS_BUTTONPUSH | Win::DFCS_PUSHED);
    EXPECT_EQ(pushed, TRect(0, 12, 20, 22));
    EXPECT_EQ(c.At(0, 12), ColorToRGB(cl3DDkShadow));
}

TEST(CanvasFrameControls, CheckBoxAndRadioShowTheirState)
{
    ImageCanvas c(60, 20);
    TRect off(0, 0, 13, 13);
    c->DrawFrameControl(off, Win::DFC_BUTTON, Win::DFCS_BUTTONCHECK);
    TRect on(20, 0, 33, 13);
    c->DrawFrameControl(on, Win::DFC_BUTTON, Win::DFCS_BUTTONCHECK | Win::DFCS_CHECKED);
    TRect flat(40, 0, 53, 13);
    c->DrawFrameControl(flat, Win::DFC_BUTTON, Win::DFCS_BUTTONCHECK | Win::DFCS_CHECKED | Win::DFCS_FLAT);
    const QImage& img = c.Image();
    int offMarks = 0;
    int onMarks = 0;
    for (int y = 2; y < 11; ++y)
        for (int x = 2; x < 11; ++x) {
            if (FromQRgb(img.pixel(x, y)) == clBlack) ++offMarks;
            if (FromQRgb(img.pixel(20 + x, y)) == clBlack) ++onMarks;
        }
    EXPECT_EQ(offMarks, 0);
    EXPECT_EQ(onMarks, 21); // the tick
    EXPECT_EQ(FromQRgb(img.pixel(0, 0)), ColorToRGB(clBtnShadow));
    EXPECT_EQ(FromQRgb(img.pixel(1, 1)), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(FromQRgb(img.pixel(2, 2)), clWhite);
    EXPECT_EQ(FromQRgb(img.pixel(52, 12)), ColorToRGB(clBtnShadow)); // flat: one grey ring
    EXPECT_EQ(FromQRgb(img.pixel(51, 11)), clWhite);

    ImageCanvas r(30, 14);
    TRect a(0, 0, 12, 12);
    r->DrawFrameControl(a, Win::DFC_BUTTON, Win::DFCS_BUTTONRADIO | Win::DFCS_CHECKED);
    TRect b(14, 0, 26, 12);
    r->DrawFrameControl(b, Win::DFC_BUTTON, Win::DFCS_BUTTONRADIO);
    EXPECT_EQ(r.At(5, 5), clBlack);
    EXPECT_EQ(r.At(19, 5), clWhite);
    EXPECT_EQ(r.At(4, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(r.At(11, 5), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(r.At(0, 0), clWhite); // outside the disc
}

TEST(CanvasFrameControls, ScrollArrowsPointTheirWay)
{
    ImageCanvas c(40, 20);
    TRect down(0, 0, 16, 16);
    c->DrawFrameControl(down, Win::DFC_SCROLL, Win::DFCS_SCROLLCOMBOBOX);
    TRect up(20, 0, 36, 16);
    c->DrawFrameControl(up, Win::DFC_SCROLL, Win::DFCS_SCROLLUP);
    // A down arrow is wide at its top row, an up arrow at its bottom row.
    auto rowWidth = [&](int x0, int y) {
        int n = 0;
        for (int x = x0 + 2; x < x0 + 14; ++x)
            if (c.At(x, y) == ColorToRGB(clBtnText)) ++n;
        return n;
    };
    int top = -1, bottom = -1;
    for (int y = 2; y < 14; ++y)
        if (rowWidth(0, y)) {
            if (top < 0) top = y;
            bottom = y;
        }
    ASSERT_GE(top, 0);
    EXPECT_EQ(bottom - top + 1, 4);
    EXPECT_EQ(rowWidth(0, top), 7);
    EXPECT_EQ(rowWidth(0, bottom), 1);
    EXPECT_EQ(rowWidth(20, top), 1);
    EXPECT_EQ(rowWidth(20, bottom), 7);
}

TEST(CanvasClip, ClipRegionsLimitDrawingAndRestore)
{
    ImageCanvas c;
    c->Brush().SetColor(clRed);
    c->SaveClip();
    c->IntersectClipRect(TRect(5, 5, 10, 10));
    c->ExcludeClipRect(TRect(5, 5, 6, 6));
    EXPECT_EQ(c->ClipRect(), TRect(5, 5, 10, 10));
    c->FillRect(TRect(0, 0, 40, 30));
    c->RestoreClip();
    EXPECT_FALSE(c->HasClip());
    EXPECT_EQ(Count(c.Image(), clRed), 25 - 1);
    EXPECT_EQ(c.At(5, 5), clWhite);
    c->Brush().SetColor(clBlue);
    c->FillRect(TRect(0, 0, 2, 2));
    EXPECT_EQ(c.At(0, 0), clBlue);
}

// A clip set again after a restore to no clip still holds, on an image
// and on a caller's painter (a widget's paint event), with and without a
// clip of the caller.
TEST(CanvasClip, AClipSetAfterARestoreHolds)
{
    auto paint = [](TCanvas& c) {
        c.Brush().SetColor(clRed);
        c.SaveClip();
        c.ExcludeClipRect(TRect(30, 0, 40, 30));
        c.FillRect(TRect(0, 0, 40, 30));
        c.RestoreClip();
        c.SaveClip();
        c.ExcludeClipRect(TRect(10, 10, 20, 20));
        c.Brush().SetColor(clBlue);
        c.FillRect(TRect(0, 0, 40, 30));
        c.RestoreClip();
    };
    auto check = [](const QImage& img, const TRect& outerClip) {
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const TColor got = FromQRgb(img.pixel(x, y));
                TColor want = clBlue;
                if (!outerClip.Contains(x, y))
                    want = clWhite;
                else if (TRect(10, 10, 20, 20).Contains(x, y))
                    want = x < 30 ? clRed : clWhite;
                ASSERT_EQ(got, want) << "pixel " << x << "," << y;
            }
    };
    ImageCanvas own;
    paint(*own);
    check(own.Image(), TRect(0, 0, 40, 30));
    for (const TRect& outer : {TRect(0, 0, 40, 30), TRect(2, 2, 38, 28)}) {
        QImage img(40, 30, QImage::Format_RGB32);
        img.fill(0xFFFFFFFF);
        {
            QPainter painter(&img);
            if (outer != TRect(0, 0, 40, 30)) painter.setClipRect(outer.ToQRect());
            TPainterCanvas c(&painter);
            paint(c);
        }
        check(img, outer);
    }
}

TEST(CanvasText, SolidBrushPaintsTheTextCellUntilTransparentModeIsSet)
{
    ImageCanvas c(120, 40);
    c->Font().SetColor(clBlack);
    c->Brush().SetColor(clYellow);
    c->TextOut(2, 2, QStringLiteral("Hi"));
    const TSize ext = c->TextExtent(QStringLiteral("Hi"));
    EXPECT_EQ(c->PenPos(), TPoint(2 + ext.cx, 2));
    EXPECT_EQ(c.At(2, 2), clYellow);
    EXPECT_EQ(c.At(2 + ext.cx - 1, 2 + ext.cy - 1), clYellow);
    EXPECT_EQ(c.At(2 + ext.cx, 2), clWhite);
    c->SetBkMode(Win::TRANSPARENT);
    c->TextOut(60, 2, QStringLiteral("Hi"));
    EXPECT_EQ(c.At(60, 2), clWhite);
    // Any change of the brush makes text opaque again.
    c->Brush().SetColor(clAqua);
    EXPECT_EQ(c->BkMode(), Win::OPAQUE);
    c->TextOut(60, 20, QStringLiteral("Hi"));
    EXPECT_EQ(c.At(60, 20), clAqua);
}

TEST(CanvasText, FontSizeFollowsTheDeviceResolution)
{
    ImageCanvas low(200, 100, 0xFFFFFFFF, 96);
    ImageCanvas high(200, 100, 0xFFFFFFFF, 192);
    low->Font().SetSize(10);
    high->Font().SetSize(10);
    const int h96 = low->TextHeight(QStringLiteral("gh"));
    const int h192 = high->TextHeight(QStringLiteral("gh"));
    EXPECT_GE(h96, 12);
    EXPECT_LE(h96, 18);
    EXPECT_NEAR(h192, 2 * h96, 2);
    const TTextMetric tm = low->TextMetrics();
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_GT(tm.tmAveCharWidth, 0);
    EXPECT_GT(low->TextWidth(QStringLiteral("WWW")), low->TextWidth(QStringLiteral("iii")));
}

TEST(CanvasText, TextIsDrawnInTheFontColourInsideItsCell)
{
    ImageCanvas c(100, 40);
    c->Brush().SetStyle(TBrushStyle::bsClear);
    c->Font().SetColor(clRed);
    c->Font().SetSize(12);
    c->TextOut(5, 5, QStringLiteral("Mm"));
    const TSize ext = c->TextExtent(QStringLiteral("Mm"));
    const QImage& img = c.Image();
    int inside = 0;
    int outside = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (FromQRgb(img.pixel(x, y)) != clRed) continue;
            if (x >= 5 && x < 5 + ext.cx && y >= 5 && y < 5 + ext.cy)
                ++inside;
            else
                ++outside;
        }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
    // Antialiasing is off: only the font colour and the background appear.
    EXPECT_EQ(Count(img, clRed) + Count(img, clWhite), 100 * 40);
}

TEST(CanvasText, RotatedTextRunsUpwards)
{
    ImageCanvas c(60, 80);
    c->Brush().SetStyle(TBrushStyle::bsClear);
    c->Font().SetColor(clBlack);
    c->Font().SetSize(12);
    c->Font().SetOrientation(900);
    c->TextOut(10, 70, QStringLiteral("WWWW"));
    const QImage& img = c.Image();
    int minX = 100, maxX = -1, minY = 100, maxY = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (FromQRgb(img.pixel(x, y)) == clBlack) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    ASSERT_GE(maxX, 0);
    EXPECT_GT(maxY - minY, 2 * (maxX - minX));
    EXPECT_LE(maxY, 70);
}

// Rotated text stays inside its rectangle unless DT_NOCLIP; the unrotated
// extent, which would fit, does not decide.
TEST(CanvasText, RotatedTextIsClippedToItsRectangle)
{
    const TRect cell(10, 50, 160, 80);
    auto ink = [&](unsigned flags, bool outside) {
        ImageCanvas c(200, 100);
        c->Brush().SetStyle(TBrushStyle::bsClear);
        c->Font().SetColor(clBlack);
        c->Font().SetSize(10);
        c->Font().SetOrientation(900);
        TRect r = cell;
        c->DrawText(QStringLiteral("WWWW"), r, Win::DT_BOTTOM | Win::DT_SINGLELINE | flags);
        const QImage& img = c.Image();
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (FromQRgb(img.pixel(x, y)) != clWhite && cell.Contains(x, y) != outside) ++n;
        return n;
    };
    EXPECT_GT(ink(0, false), 0);
    EXPECT_EQ(ink(0, true), 0);
    EXPECT_GT(ink(Win::DT_NOCLIP, true), 0);
}

TEST(CanvasBitmaps, TransparentColourIsLeftOut)
{
    TBitmap bmp(4, 4);
    bmp.Canvas().Brush().SetColor(clFuchsia);
    bmp.Canvas().FillRect(TRect(0, 0, 4, 4));
    bmp.Canvas().Brush().SetColor(clRed);
    bmp.Canvas().FillRect(TRect(1, 1, 3, 3));
    EXPECT_EQ(bmp.TransparentColor(), clFuchsia); // bottom-left pixel
    bmp.SetTransparent(true);
    ImageCanvas c(10, 10, 0xFF00FF00);
    c->Draw(2, 2, bmp);
    EXPECT_EQ(c.At(2, 2), clLime);
    EXPECT_EQ(c.At(3, 3), clRed);
    EXPECT_EQ(c.At(4, 4), clRed);
    EXPECT_EQ(c.At(5, 5), clLime);
    // Opaque drawing copies every pixel.
    bmp.SetTransparent(false);
    c->Draw(6, 6, bmp);
    EXPECT_EQ(c.At(6, 6), clFuchsia);
    // A fixed transparent colour.
    bmp.SetTransparentColor(clRed);
    bmp.SetTransparent(true);
    ImageCanvas d(10, 10, 0xFF00FF00);
    d->Draw(0, 0, bmp);
    EXPECT_EQ(d.At(1, 1), clLime);
    EXPECT_EQ(d.At(0, 0), clFuchsia);
}

TEST(CanvasBitmaps, BrushCopyReplacesAColourWithTheBrush)
{
    TBitmap bmp(3, 1);
    bmp.Canvas().SetPixel(0, 0, clFuchsia);
    bmp.Canvas().SetPixel(1, 0, clRed);
    bmp.Canvas().SetPixel(2, 0, clFuchsia);
    ImageCanvas c(5, 5);
    c->Brush().SetColor(clBlue);
    c->BrushCopy(TRect(0, 0, 3, 1), bmp, TRect(0, 0, 3, 1), clFuchsia);
    EXPECT_EQ(c.At(0, 0), clBlue);
    EXPECT_EQ(c.At(1, 0), clRed);
    EXPECT_EQ(c.At(2, 0), clBlue);
}

TEST(CanvasBitmaps, StretchTileAndCopyRect)
{
    TBitmap bmp(2, 2);
    bmp.Canvas().SetPixel(0, 0, clRed);
    bmp.Canvas().SetPixel(1, 0, clBlue);
    bmp.Canvas().SetPixel(0, 1, clBlue);
    bmp.Canvas().SetPixel(1, 1, clRed);
    ImageCanvas c(20, 20);
    c->StretchDraw(TRect(0, 0, 4, 4), bmp);
    EXPECT_EQ(c.At(1, 1), clRed);
    EXPECT_EQ(c.At(2, 1), clBlue);
    EXPECT_EQ(c.At(3, 3), clRed);
    c->TileDraw(TRect(10, 10, 15, 13), bmp);
    EXPECT_EQ(c.At(10, 10), clRed);
    EXPECT_EQ(c.At(12, 10), clRed);
    EXPECT_EQ(c.At(14, 12), clRed);
    EXPECT_EQ(c.At(13, 12), clBlue);
    EXPECT_EQ(c.At(15, 12), clWhite); // clipped to the rectangle
    EXPECT_EQ(c.At(10, 13), clWhite);
    // CopyRect from the canvas itself, with an inverting copy mode.
    ImageCanvas d(4, 4);
    d->SetCopyMode(cmSrcInvert);
    d->Brush().SetColor(clWhite);
    d->CopyRect(TRect(0, 0, 2, 2), *c.canvas, TRect(0, 0, 2, 2));
    EXPECT_EQ(d.At(0, 0), clAqua); // white XOR red
}

TEST(CanvasBitmaps, FloodFillStopsAtTheBorderColour)
{
    ImageCanvas c(12, 12);
    c->Pen().SetColor(clGray);
    c->Brush().SetStyle(TBrushStyle::bsClear);
    c->Rectangle(0, 0, 10, 10);
    c->Brush().SetColor(clGreen);
    c->FloodFill(5, 5, clGray, TFillStyle::fsBorder);
    EXPECT_EQ(c.At(5, 5), clGreen);
    EXPECT_EQ(c.At(1, 1), clGreen);
    EXPECT_EQ(c.At(0, 0), clGray);
    EXPECT_EQ(c.At(11, 11), clWhite);
}

TEST(CanvasText, MeasuredWidthsMatchTheFontsOwn)
{
    ImageCanvas c(10, 10);
    const QString sample = QStringLiteral("Hello World, 123 (gh)! ~ValUe~");
    for (int size : {6, 8, 10, 13, 20}) {
        for (bool bold : {false, true}) {
            c->Font().SetSize(size);
            c->Font().SetStyle(bold ? TFontStyles{TFontStyle::fsBold} : TFontStyles{});
            const QFontMetrics fm(c.canvas->CurrentQFont());
            EXPECT_EQ(c->TextWidth(sample), fm.horizontalAdvance(sample)) << size << bold;
            EXPECT_EQ(c->TextWidth(QStringLiteral("caf\u00e9")), fm.horizontalAdvance(QStringLiteral("caf\u00e9")));
        }
    }
}

TEST(CanvasBitmaps, BitBltWithRasterOperations)
{
    ImageCanvas src(4, 4, 0xFFFF0000);
    ImageCanvas dst(8, 8, 0xFFFFFFFF);
    BitBlt(*dst, 2, 2, 2, 2, *src, 0, 0, Win::SRCCOPY);
    EXPECT_EQ(dst.At(2, 2), clRed);
    EXPECT_EQ(dst.At(4, 4), clWhite);
    BitBlt(*dst, 2, 2, 2, 2, *src, 0, 0, Win::SRCINVERT);
    EXPECT_EQ(dst.At(3, 3), clBlack); // red XOR red
    BitBlt(*dst, 0, 0, 1, 1, *src, 0, 0, Win::NOTSRCCOPY);
    EXPECT_EQ(dst.At(0, 0), clAqua);
    StretchBlt(*dst, 4, 4, 4, 4, *src, 0, 0, 1, 1, Win::SRCCOPY);
    EXPECT_EQ(dst.At(7, 7), clRed);
}

TEST(CanvasClip, ACallersPainterClipIsKept)
{
    QImage img(10, 10, QImage::Format_RGB32);
    img.fill(0xFFFFFFFF);
    {
        QPainter painter(&img);
        painter.setClipRect(QRect(0, 0, 5, 10));
        TPainterCanvas c(&painter);
        c.Brush().SetColor(clRed);
        c.IntersectClipRect(TRect(0, 0, 10, 5));
        c.FillRect(TRect(0, 0, 10, 10));
        c.ResetClip();
        c.Brush().SetColor(clBlue);
        c.FillRect(TRect(0, 8, 10, 10));
    }
    EXPECT_EQ(FromQRgb(img.pixel(4, 4)), clRed);
    EXPECT_EQ(FromQRgb(img.pixel(6, 4)), clWhite);
    EXPECT_EQ(FromQRgb(img.pixel(4, 6)), clWhite);
    EXPECT_EQ(FromQRgb(img.pixel(4, 9)), clBlue);
    EXPECT_EQ(FromQRgb(img.pixel(6, 9)), clWhite);
}
