// Bitmaps, the program's bitmap resources, image lists, system icons and the
// theme switch.

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"
#include "tests/support/RecordingCanvas.h"
#include "platform/graphics/Resources.h"
#include "platform/graphics/SystemIcons.h"
#include "platform/graphics/Themes.h"
#include "tests/platform/DrawingFixtures.h"

#include <QBuffer>
#include <gtest/gtest.h>

using drawingtest::ImageCanvas;

TEST(Bitmap, SizeChangesKeepPixelsAndFillWhite)
{
    TBitmap b;
    EXPECT_TRUE(b.Empty());
    b.SetSize(3, 2);
    b.Canvas().SetPixel(0, 0, clRed);
    b.SetWidth(5);
    EXPECT_EQ(b.Width(), 5);
    EXPECT_EQ(FromQRgb(b.Image().pixel(0, 0)), clRed);
    EXPECT_EQ(FromQRgb(b.Image().pixel(4, 1)), clWhite);
    EXPECT_EQ(b.Canvas().Pixel(0, 0), clRed);
    int changes = 0;
    b.OnChange = [&](TGraphic*) { ++changes; };
    b.SetHeight(4);
    EXPECT_EQ(changes, 1);
}

TEST(Bitmap, SavesAndLoadsBmpFiles)
{
    TBitmap b(7, 3);
    b.Canvas().SetPixel(6, 2, clBlue);
    b.SetPixelFormat(pf4bit);
    QBuffer buf;
    buf.open(QIODevice::ReadWrite);
    b.SaveToStream(buf);
    QByteArray data = buf.data();
    EXPECT_TRUE(data.startsWith("BM"));
    buf.seek(0);
    TBitmap c;
    c.LoadFromStream(buf);
    EXPECT_EQ(c.Width(), 7);
    EXPECT_EQ(c.Height(), 3);
    EXPECT_EQ(FromQRgb(c.Image().pixel(6, 2)), clBlue);
    EXPECT_EQ(c.PixelFormat(), pf4bit);
    // Cut short of its pixels: refused.
    QBuffer cut;
    cut.setData(data.left(data.size() - 4));
    cut.open(QIODevice::ReadOnly);
    TBitmap d;
    EXPECT_THROW(d.LoadFromStream(cut), EInvalidGraphic);
    QBuffer junk;
    junk.setData("not a picture at all");
    junk.open(QIODevice::ReadOnly);
    EXPECT_THROW(d.LoadFromStream(junk), EInvalidGraphic);
}

TEST(Bitmap, AssignCopiesPixelsAndTransparency)
{
    TBitmap a(2, 2);
    a.Canvas().SetPixel(1, 1, clGreen);
    a.SetTransparent(true);
    TBitmap b;
    b.Assign(&a);
    EXPECT_TRUE(b.Transparent());
    EXPECT_EQ(FromQRgb(b.Image().pixel(1, 1)), clGreen);
    a.Canvas().SetPixel(1, 1, clRed);
    EXPECT_EQ(FromQRgb(b.Image().pixel(1, 1)), clGreen); // a copy, not shared
}

TEST(Resources, EveryNamedBitmapExistsWithItsSize)
{
    struct Expect {
        const char* name;
        int w, h;
        TPixelFormat format;
    };
    const Expect table[] = {
        {"ESGCHK01", 20, 20, pf4bit}, {"ESGCHK02", 20, 20, pf4bit},    {"ESGCHK03", 20, 20, pf4bit},
        {"ESGCHK04", 20, 20, pf4bit}, {"ESGCHK05", 16, 16, pf8bit},    {"ESGCHK06", 16, 16, pf8bit},
        {"ESGCHK07", 16, 16, pf8bit}, {"ESGCHK08", 16, 16, pf8bit},    {"ESGRAD01", 16, 16, pf4bit},
        {"ESGRAD02", 16, 16, pf4bit}, {"ESGRAD03", 16, 16, pf4bit},    {"ESGRAD04", 16, 16, pf4bit},
        {"ESGRAD05", 16, 16, pf8bit}, {"ESGRAD06", 16, 16, pf8bit},    {"ESGRAD07", 16, 16, pf8bit},
        {"ESGRAD08", 16, 16, pf8bit}, {"ESGLEAFOPEN", 16, 16, pf8bit}, {"ESGLEAFCLOSE", 16, 16, pf8bit},
        {"ESGFILT", 16, 16, pf4bit},  {"ExtSpinUp", 9, 6, pf4bit},     {"ExtSpinDown", 9, 6, pf4bit},
        {"EsgSpinUp", 9, 6, pf4bit},  {"EsgSpinDown", 9, 6, pf4bit},
    };
    for (const Expect& e : table) {
        TBitmap b;
        ASSERT_NO_THROW(b.LoadFromResourceName(QString::fromLatin1(e.name))) << e.name;
        EXPECT_EQ(b.Width(), e.w) << e.name;
        EXPECT_EQ(b.Height(), e.h) << e.name;
        EXPECT_EQ(b.PixelFormat(), e.format) << e.name;
        // Drawn with the corner colour left out: the corners are background.
        EXPECT_EQ(b.TransparentColor(), clFuchsia) << e.name;
        EXPECT_EQ(FromQRgb(b.Image().pixel(0, 0)), clFuchsia) << e.name;
        int drawn = 0;
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x)
                if (FromQRgb(b.Image().pixel(x, y)) != clFuchsia) ++drawn;
        EXPECT_GT(drawn, 4) << e.name;
    }
    // Checked and unchecked differ.
    TBitmap on, off;
    on.LoadFromResourceName(QStringLiteral("esgchk01"));
    off.LoadFromResourceName(QStringLiteral("ESGCHK02"));
    EXPECT_NE(on.Image(), off.Image());
    TBitmap up, down;
    up.LoadFromResourceName(QStringLiteral("ExtSpinUp"));
    down.LoadFromResourceName(QStringLiteral("ExtSpinDown"));
    EXPECT_EQ(up.Image().mirrored(false, true), down.Image());
}

TEST(Resources, MissingNamesAreReported)
{
    TBitmap b;
    EXPECT_THROW(b.LoadFromResourceName(QStringLiteral("NOSUCHBITMAP")), EResNotFound);
    EXPECT_FALSE(HasResource(QStringLiteral("ESGCHK01"), TResourceType::RCData));
    EXPECT_TRUE(HasResource(QStringLiteral("esgchk01"), TResourceType::Bitmap));
    EXPECT_FALSE(HasResource(QStringLiteral("../ESGCHK01"), TResourceType::Bitmap));
    EXPECT_TRUE(LoadResourceData(QStringLiteral("nothing"), TResourceType::RCData).isEmpty());
}

TEST(ImageList, OnlyIndicesInsideTheListDraw)
{
    TImageList list(4, 4);
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(0xFFFF0000);
    QImage strip(8, 4, QImage::Format_RGB32);
    strip.fill(0xFF0000FF);
    EXPECT_EQ(list.Add(red), 0);
    EXPECT_EQ(list.AddImages(strip), 1);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_FALSE(list.HasImage(-1));
    EXPECT_FALSE(list.HasImage(3));
    EXPECT_TRUE(list.HasImage(2));
    TRecordingCanvas rec;
    list.Draw(rec, 0, 0, -1);
    list.Draw(rec, 0, 0, 3);
    EXPECT_TRUE(rec.Calls().isEmpty());
    list.Draw(rec, 5, 6, 0);
    ASSERT_EQ(rec.CallsOf(QStringLiteral("DrawImage")).size(), 1);
    EXPECT_EQ(rec.Calls()[0].Rect, TRect(5, 6, 9, 10));
    TBitmap out;
    EXPECT_FALSE(list.GetBitmap(-1, out));
    EXPECT_TRUE(list.GetBitmap(0, out));
    EXPECT_EQ(FromQRgb(out.Image().pixel(2, 2)), clRed);
}

TEST(ImageList, MaskedColoursAreLeftOut)
{
    TImageList list(3, 1);
    TBitmap b(3, 1);
    b.Canvas().SetPixel(0, 0, clFuchsia);
    b.Canvas().SetPixel(1, 0, clRed);
    b.Canvas().SetPixel(2, 0, clFuchsia);
    list.AddMasked(b, clFuchsia);
    ImageCanvas c(3, 1, 0xFF00FF00);
    list.Draw(*c, 0, 0, 0);
    EXPECT_EQ(c.At(0, 0), clLime);
    EXPECT_EQ(c.At(1, 0), clRed);
    list.Draw(*c, 0, 0, 0, false);
    EXPECT_EQ(c.At(1, 0), ColorToRGB(clBtnShadow));
}

TEST(SystemIcons, SizesAndNeverNull)
{
    EXPECT_EQ(SystemIconSize(false), TSize(16, 16));
    EXPECT_EQ(SystemIconSize(true), TSize(32, 32));
    EXPECT_EQ(SystemIcon(QStringLiteral("3"), false).size(), QSize(16, 16));
    EXPECT_EQ(SystemIcon(QStringLiteral("/no/such/file.txt"), true).size(), QSize(32, 32));
    EXPECT_EQ(SystemIcon(QString(5000, QLatin1Char('a')), false).size(), QSize(16, 16));
}

TEST(Themes, SwitchDecidesWhetherThemesOpen)
{
    const bool was = IsThemeActive();
    EXPECT_TRUE(ThemeLibraryLoaded());
    SetThemesActive(false);
    EXPECT_FALSE(IsThemeActive());
    EXPECT_EQ(OpenThemeData(nullptr, QStringLiteral("button")), nullptr);
    SetThemesActive(true);
    HTHEME button = OpenThemeData(nullptr, QStringLiteral("BUTTON"));
    HTHEME list = OpenThemeData(nullptr, QStringLiteral("edit;spin"));
    EXPECT_NE(button, nullptr);
    EXPECT_EQ(ThemeClassName(button), QStringLiteral("button"));
    EXPECT_EQ(ThemeClassName(list), QStringLiteral("spin"));
    EXPECT_EQ(OpenThemeData(nullptr, QStringLiteral("edit")), nullptr);
    TRecordingCanvas rec;
    EXPECT_TRUE(DrawThemeBackground(button, rec, Win::BP_CHECKBOX, Win::CBS_CHECKEDNORMAL, TRect(0, 0, 13, 13)));
    EXPECT_FALSE(DrawThemeBackground(nullptr, rec, 1, 1, TRect(0, 0, 13, 13)));
    const auto parts = rec.CallsOf(QStringLiteral("ThemePart"));
    ASSERT_EQ(parts.size(), 1);
    EXPECT_EQ(parts[0].Text, QStringLiteral("button"));
    EXPECT_EQ(parts[0].Part, Win::BP_CHECKBOX);
    EXPECT_EQ(parts[0].State, Win::CBS_CHECKEDNORMAL);
    // Drawn through the desktop style on an image: something appears, inside
    // the rectangle only.
    ImageCanvas c(60, 30, 0xFF00FF00);
    DrawThemeBackground(button, *c, Win::BP_PUSHBUTTON, Win::PBS_NORMAL, TRect(5, 5, 45, 25));
    HTHEME combo = OpenThemeData(nullptr, QStringLiteral("combobox"));
    DrawThemeBackground(combo, *c, Win::CP_DROPDOWNBUTTON, Win::CBXS_PRESSED, TRect(47, 5, 59, 25));
    EXPECT_NE(c.At(25, 15), clLime);
    EXPECT_EQ(c.At(2, 2), clLime);
    EXPECT_EQ(c.At(25, 27), clLime);
    CloseThemeData(button);
    CloseThemeData(list);
    CloseThemeData(combo);
    CloseThemeData(nullptr);
    SetThemesActive(was);
}

TEST(Themes, PlatformVersion)
{
    EXPECT_EQ(Win32MajorVersion(), 5);
    EXPECT_EQ(Win32MinorVersion(), 1);
    SetWin32Version(5, 0);
    EXPECT_EQ(Win32MinorVersion(), 0);
    SetWin32Version(5, 1);
}
