// Colour values: the byte order of plain colours, the fixed table of system
// colours and the conversions to and from Qt.

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

#include <gtest/gtest.h>

TEST(Color, PlainColoursKeepRedInTheLowByte)
{
    EXPECT_EQ(RGB(0x11, 0x22, 0x33), 0x332211u);
    EXPECT_EQ(clRed, 0x0000FFu);
    EXPECT_EQ(clBlue, 0xFF0000u);
    EXPECT_EQ(GetRValue(clRed), 255);
    EXPECT_EQ(GetBValue(clRed), 0);
    EXPECT_EQ(GetBValue(clNavy), 128);
    EXPECT_EQ(GetGValue(clOlive), 128);
    EXPECT_EQ(GetRValue(clOlive), 128);
    EXPECT_EQ(GetBValue(clOlive), 0);
}

TEST(Color, QtConversionsDoNotSwapRedAndBlue)
{
    EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(clBlue), QColor(0, 0, 255));
    EXPECT_EQ(ToQColor(RGB(1, 2, 3)), QColor(1, 2, 3));
    EXPECT_EQ(FromQColor(QColor(255, 0, 0)), clRed);
    EXPECT_EQ(FromQColor(QColor(10, 20, 30)), RGB(10, 20, 30));
    EXPECT_EQ(ToQRgb(clRed), 0xFFFF0000u);
    EXPECT_EQ(FromQRgb(0xFF0000FFu), clBlue);
    EXPECT_EQ(FromQRgb(0x80102030u), RGB(0x10, 0x20, 0x30));
}

TEST(Color, SystemColoursComeFromTheFixedTable)
{
    EXPECT_TRUE(IsSystemColor(clBtnFace));
    EXPECT_FALSE(IsSystemColor(clWhite));
    EXPECT_EQ(clBtnFace, 0xFF00000Fu);
    EXPECT_EQ(clHighlight, 0xFF00000Du);
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
    EXPECT_EQ(ColorToRGB(clHighlight), RGB(10, 36, 106));
    EXPECT_EQ(ColorToRGB(clHighlightText), clWhite);
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
    EXPECT_EQ(ColorToRGB(clBtnShadow), RGB(128, 128, 128));
    EXPECT_EQ(ColorToRGB(clInfoBk), RGB(255, 255, 225));
    EXPECT_EQ(ColorToRGB(cl3DDkShadow), RGB(64, 64, 64));
    // Not the index read as a plain colour.
    EXPECT_NE(ColorToRGB(clBtnFace), 0x00000Fu);
    EXPECT_EQ(ToQColor(clHighlight), QColor(10, 36, 106));
    // Outside the table: black.
    EXPECT_EQ(ColorToRGB(clSystemColor + 200), clBlack);
    EXPECT_EQ(GetSysColor(-1), clBlack);
}

TEST(Color, NoneAndPlainColoursWithHighBits)
{
    EXPECT_EQ(clNone, 0x1FFFFFFFu);
    EXPECT_FALSE(IsSystemColor(clNone));
    EXPECT_EQ(ColorToRGB(clNone), clBlack);
    EXPECT_EQ(ColorToRGB(0x02123456u), 0x123456u);
}

TEST(Geometry, MulDivRoundsHalfAwayFromZero)
{
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(4, 1, 3), 1);
    EXPECT_EQ(MulDiv(8, 96, 72), 11);
    EXPECT_EQ(MulDiv(1, 2, 0), -1);
    EXPECT_EQ(MulDiv(100000, 100000, 1), -1); // overflow
}

TEST(Geometry, RectanglesExcludeRightAndBottom)
{
    const TRect r(2, 3, 6, 5);
    EXPECT_EQ(r.Width(), 4);
    EXPECT_TRUE(r.Contains(5, 4));
    EXPECT_FALSE(r.Contains(6, 4));
    EXPECT_FALSE(r.Contains(5, 5));
    EXPECT_EQ(r.ToQRect(), QRect(2, 3, 4, 2));
    EXPECT_EQ(TRect::FromQRect(QRect(2, 3, 4, 2)), r);
    EXPECT_EQ(r.Intersected(TRect(10, 10, 12, 12)), TRect());
    EXPECT_EQ(r.Inflated(1, 1), TRect(1, 2, 7, 6));
}
