// The HTML button: its generated faces to the pixel, pressed and disabled
// faces, caption placement and the default-button behaviour.

#include "controls/HTMLButton.h"
#include "controls/HTMLDraw.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/PainterCanvas.h"
#include "tests/support/RecordingCanvas.h"
#include "platform/graphics/Themes.h"
#include "tests/support/TestSupport.h"

#include <QDialog>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

constexpr TColor kFace = 200 + 100 * 256 + 50 * 65536; // red 200, green 100, blue 50

// Faces for widths 0 to 6 at height 4 (images 6 rows high), each row as
// RRGGBB per pixel.
struct Expected {
    TBtnBackground kind;
    int width;
    const char* rows;
};
const Expected kExpected[] = {
    {stHShade, 0, "673319964B25 673319964B25 673319964B25 673319964B25 673319964B25 673319964B25"},
    {stHShade, 1,
     "673319864321A65329 673319864321A65329 673319864321A65329 673319864321A65329 673319864321A65329 "
     "673319864321A65329"},
    {stHShade, 2,
     "6733197F3F1F964B25AE572B 6733197F3F1F964B25AE572B 6733197F3F1F964B25AE572B 6733197F3F1F964B25AE572B "
     "6733197F3F1F964B25AE572B 6733197F3F1F964B25AE572B"},
    {stHShade, 3,
     "6733197A3D1E8D4623A05028B2592C 6733197A3D1E8D4623A05028B2592C 6733197A3D1E8D4623A05028B2592C "
     "6733197A3D1E8D4623A05028B2592C 6733197A3D1E8D4623A05028B2592C 6733197A3D1E8D4623A05028B2592C"},
    {stHShade, 4,
     "673319773B1D864321964B25A65329B55A2D 673319773B1D864321964B25A65329B55A2D 673319773B1D864321964B25A65329B55A2D "
     "673319773B1D864321964B25A65329B55A2D 673319773B1D864321964B25A65329B55A2D 673319773B1D864321964B25A65329B55A2D"},
    {stHShade, 5,
     "673319743A1D8241208F47239C4E27AA552AB75B2D 673319743A1D8241208F47239C4E27AA552AB75B2D "
     "673319743A1D8241208F47239C4E27AA552AB75B2D 673319743A1D8241208F47239C4E27AA552AB75B2D "
     "673319743A1D8241208F47239C4E27AA552AB75B2D 673319743A1D8241208F47239C4E27AA552AB75B2D"},
    {stHShade, 6,
     "67331973391C7F3F1F8A4522964B25A25128AE572BB95C2E 67331973391C7F3F1F8A4522964B25A25128AE572BB95C2E "
     "67331973391C7F3F1F8A4522964B25A25128AE572BB95C2E 67331973391C7F3F1F8A4522964B25A25128AE572BB95C2E "
     "67331973391C7F3F1F8A4522964B25A25128AE572BB95C2E 67331973391C7F3F1F8A4522964B25A25128AE572BB95C2E"},
    {stVShadeInv, 0, "673319673319 773B1D773B1D 864321864321 964B25964B25 A65329A65329 B55A2DB55A2D"},
    {stVShadeInv, 1,
     "673319673319673319 773B1D773B1D773B1D 864321864321864321 964B25964B25964B25 A65329A65329A65329 "
     "B55A2DB55A2DB55A2D"},
    {stVShadeInv, 2,
     "673319673319673319673319 773B1D773B1D773B1D773B1D 864321864321864321864321 964B25964B25964B25964B25 "
     "A65329A65329A65329A65329 B55A2DB55A2DB55A2DB55A2D"},
    {stVShadeInv, 3,
     "673319673319673319673319673319 773B1D773B1D773B1D773B1D773B1D 864321864321864321864321864321 "
     "964B25964B25964B25964B25964B25 A65329A65329A65329A65329A65329 B55A2DB55A2DB55A2DB55A2DB55A2D"},
    {stVShadeInv, 4,
     "673319673319673319673319673319673319 773B1D773B1D773B1D773B1D773B1D773B1D 864321864321864321864321864321864321 "
     "964B25964B25964B25964B25964B25964B25 A65329A65329A65329A65329A65329A65329 B55A2DB55A2DB55A2DB55A2DB55A2DB55A2D"},
    {stVShadeInv, 5,
     "673319673319673319673319673319673319673319 773B1D773B1D773B1D773B1D773B1D773B1D773B1D "
     "864321864321864321864321864321864321864321 964B25964B25964B25964B25964B25964B25964B25 "
     "A65329A65329A65329A65329A65329A65329A65329 B55A2DB55A2DB55A2DB55A2DB55A2DB55A2DB55A2D"},
    {stVShadeInv, 6,
     "673319673319673319673319673319673319673319673319 773B1D773B1D773B1D773B1D773B1D773B1D773B1D773B1D "
     "864321864321864321864321864321864321864321864321 964B25964B25964B25964B25964B25964B25964B25964B25 "
     "A65329A65329A65329A65329A65329A65329A65329A65329 B55A2DB55A2DB55A2DB55A2DB55A2DB55A2DB55A2DB55A2D"},
    {stHardBump, 0, "C06030C06030 A25128A25128 974B25974B25 954A25954A25 954A25954A25 894422894422"},
    {stHardBump, 1,
     "C06030C06030C06030 A25128A25128A25128 974B25974B25974B25 954A25954A25954A25 954A25954A25954A25 "
     "894422894422894422"},
    {stHardBump, 2,
     "C06030C06030C06030C06030 A25128A25128A25128A25128 974B25974B25974B25974B25 954A25954A25954A25954A25 "
     "954A25954A25954A25954A25 894422894422894422894422"},
    {stHardBump, 3,
     "C06030C06030C06030C06030C06030 A25128A25128A25128A25128A25128 974B25974B25974B25974B25974B25 "
     "954A25954A25954A25954A25954A25 954A25954A25954A25954A25954A25 894422894422894422894422894422"},
    {stHardBump, 4,
     "C06030C06030C06030C06030C06030C06030 673319A25128A25128A25128A25128A25128 673319974B25974B25974B25974B25974B25 "
     "673319954A25954A25954A25954A25954A25 673319954A25954A25954A25954A25954A25 673319894422894422894422894422894422"},
    {stHardBump, 5,
     "C06030C06030C06030C06030C06030C06030C06030 673319A25128A25128A25128A25128A25128924924 "
     "673319974B25974B25974B25974B25974B25924924 673319954A25954A25954A25954A25954A25924924 "
     "673319954A25954A25954A25954A25954A25924924 673319894422894422894422894422894422924924"},
    {stHardBump, 6,
     "C06030C06030C06030C06030C06030C06030C06030C06030 673319A25128A25128A25128A25128A25128A25128A25128 "
     "673319974B25974B25974B25974B25974B25974B25974B25 673319954A25954A25954A25954A25954A25954A25954A25 "
     "673319954A25954A25954A25954A25954A25954A25954A25 673319894422894422894422894422894422894422894422"},
    {stIRadial, 0, "643219643219 854221854221 A75329A75329 A75329C86432 A75329A75329 854221854221"},
    {stIRadial, 1,
     "72391C72391C72391C 8E47238E47238E4723 AB552AAB552AAB552A AB552AC86432C86432 AB552AAB552AAB552A "
     "8E47238E47238E4723"},
    {stIRadial, 2,
     "552A1572391C72391C72391C 72391C8E47238E47238E4723 8E4723AB552AAB552AAB552A 8E4723AB552AC86432AB552A "
     "8E4723AB552AAB552AAB552A 72391C8E47238E47238E4723"},
    {stIRadial, 3,
     "6432197C3E1F7C3E1F7C3E1F7C3E1F 7C3E1F954A25954A25954A25954A25 954A25AE572BAE572BAE572BAE572B "
     "954A25AE572BC86432C86432AE572B 954A25AE572BAE572BAE572BAE572B 7C3E1F954A25954A25954A25954A25"},
    {stIRadial, 4,
     "6432196432197C3E1F7C3E1F7C3E1F643219 6432197C3E1F954A25954A25954A257C3E1F 7C3E1F954A25AE572BAE572BAE572B954A25 "
     "7C3E1F954A25AE572BC86432AE572B954A25 7C3E1F954A25AE572BAE572BAE572B954A25 6432197C3E1F954A25954A25954A257C3E1F"},
    {stIRadial, 5,
     "6F371B6F371B8542218542218542218542216F371B 6F371B8542219B4D269B4D269B4D269B4D26854221 "
     "8542219B4D26B2592CB2592CB2592CB2592C9B4D26 8542219B4D26B2592CC86432C86432B2592C9B4D26 "
     "8542219B4D26B2592CB2592CB2592CB2592C9B4D26 6F371B8542219B4D269B4D269B4D269B4D26854221"},
    {stIRadial, 6,
     "643219783C1E783C1E8C46238C46238C4623783C1E783C1E 783C1E783C1E8C4623A05028A05028A050288C4623783C1E "
     "783C1E8C4623A05028B45A2DB45A2DB45A2DA050288C4623 783C1E8C4623A05028B45A2DC86432B45A2DA050288C4623 "
     "783C1E8C4623A05028B45A2DB45A2DB45A2DA050288C4623 783C1E783C1E8C4623A05028A05028A050288C4623783C1E"},
};

QString Rows(const QImage& img)
{
    QStringList rows;
    for (int y = 0; y < img.height(); ++y) {
        QString row;
        for (int x = 0; x < img.width(); ++x)
            row += QStringLiteral("%1").arg(img.pixel(x, y) & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
        rows << row;
    }
    return rows.join(u' ');
}

TEST(HTMLButtonTexture, ExactPixelsForWidthsZeroToSix)
{
    for (const Expected& e : kExpected) {
        const QImage img = BuildButtonTexture(e.kind, kFace, e.width, 4);
        ASSERT_EQ(img.width(), e.width + 2);
        ASSERT_EQ(img.height(), 6);
        EXPECT_EQ(Rows(img), QString::fromLatin1(e.rows)) << "kind " << e.kind << " width " << e.width;
    }
}

TEST(HTMLButtonTexture, HardBumpOfNarrowFacesHasNoEdges)
{
    // Widths below 4 give an edge radius of 0: the face is the plain
    // vertical bump (and nothing divides by zero).
    for (int w = 0; w < 4; ++w) {
        const QImage img = BuildButtonTexture(stHardBump, kFace, w, 10);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 1; x < img.width(); ++x) EXPECT_EQ(img.pixel(x, y), img.pixel(0, y)) << w;
    }
    const QImage wide = BuildButtonTexture(stHardBump, kFace, 40, 10);
    EXPECT_NE(wide.pixel(0, 6), wide.pixel(20, 6));
}

TEST(HTMLButtonTexture, EveryFaceAtEverySmallSize)
{
    QRandomGenerator rnd(7);
    for (int kind = stNormal; kind <= stXPTheme; ++kind)
        for (int w = 0; w <= 6; ++w)
            for (int h = 0; h <= 6; ++h) {
                const QImage img = BuildButtonTexture(TBtnBackground(kind), kFace, w, h, &rnd);
                EXPECT_EQ(img.size(), QSize(w + 2, h + 2));
            }
    // System colours are turned into their RGB value first.
    const QImage normal = BuildButtonTexture(stNormal, clBtnFace, 3, 3);
    EXPECT_EQ(normal.pixel(1, 1) & 0xFFFFFF, ToQRgb(clBtnFace) & 0xFFFFFF);
    const QImage plain = BuildButtonTexture(stNormal, kFace, 3, 3);
    EXPECT_EQ(plain.pixel(1, 1) & 0xFFFFFF, 0xC86432u);
}

TEST(HTMLButtonTexture, NoiseAndMetalStayWithinTheirShades)
{
    QRandomGenerator rnd(11);
    const QImage noise = BuildButtonTexture(stNoise, clWhite, 30, 20, &rnd);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) {
            const int v = qRed(noise.pixel(x, y));
            EXPECT_GE(v, 255 * (255 - 159 / 2) / 255);
            EXPECT_LE(v, 255 * (255 - 128 / 2) / 255);
        }
    const QImage metal = BuildButtonTexture(stLMetal, clWhite, 30, 20, &rnd);
    // Away from the streaks the shade darkens to the lower right.
    EXPECT_GT(qRed(metal.pixel(0, 0)), qRed(metal.pixel(31, 21)));
}

QImage Paint(THTMLButton& b, bool down, bool focused)
{
    QImage img(b.width(), b.height(), QImage::Format_RGB32);
    img.fill(Qt::magenta);
    TPainterCanvas canvas(&img, 96);
    b.PaintTo(canvas, down, focused);
    canvas.Release();
    return img;
}

TEST(HTMLButtonFaces, PressedTextureMovesTwoPixels)
{
    THTMLButton b(nullptr, QStringLiteral("Btn"));
    EXPECT_EQ(b.objectName(), QStringLiteral("Btn"));
    b.resize(60, 30);
    b.SetBackground(stHShade);
    b.SetColor(kFace);
    b.SetCaption(QString());
    const QImage up = Paint(b, false, false);
    const QImage down = Paint(b, true, false);
    for (int x = 3; x < 55; ++x) EXPECT_EQ(down.pixel(x + 2, 10), up.pixel(x, 10)) << x;
    // The white frame along the top and left edges.
    EXPECT_EQ(up.pixel(0, 15) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(up.pixel(30, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_NE(up.pixel(30, 1) & 0xFFFFFF, 0xFFFFFFu);
}

QRect Box(const QImage& img, QRgb color, const QRect& area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF)) box |= QRect(x, y, 1, 1);
    return box;
}

TEST(HTMLButtonFaces, PressedCaptionMovesOnePixel)
{
    THTMLButton b;
    b.resize(80, 30);
    b.SetCaption(QStringLiteral("<B>Log in</B>"));
    const QRect inner(4, 4, 72, 22);
    const QRect up = Box(Paint(b, false, false), qRgb(0, 0, 0), inner);
    const QRect down = Box(Paint(b, true, false), qRgb(0, 0, 0), inner);
    ASSERT_FALSE(up.isEmpty());
    EXPECT_EQ(down, up.translated(1, 1));
}

TEST(HTMLButtonFaces, DisabledCaptionIsEmbossed)
{
    THTMLButton b;
    b.resize(80, 30);
    b.SetCaption(QStringLiteral("Log in"));
    b.setEnabled(false);
    const QImage img = Paint(b, false, false);
    const QRect inner(4, 4, 72, 22);
    const QRect grey = Box(img, ToQRgb(clGray), inner);
    const QRect white = Box(img, qRgb(255, 255, 255), inner);
    ASSERT_FALSE(grey.isEmpty());
    ASSERT_FALSE(white.isEmpty());
    EXPECT_EQ(white.right(), grey.right() + 1);
    EXPECT_EQ(white.bottom(), grey.bottom() + 1);
    EXPECT_TRUE(Box(img, qRgb(0, 0, 0), inner).isEmpty());
    // Every grey pixel not covered by another has its white copy below right.
    for (int y = grey.top(); y <= grey.bottom(); ++y)
        for (int x = grey.left(); x <= grey.right(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (ToQRgb(clGray) & 0xFFFFFF) &&
                (img.pixel(x + 1, y + 1) & 0xFFFFFF) != (ToQRgb(clGray) & 0xFFFFFF)) {
                EXPECT_EQ(img.pixel(x + 1, y + 1) & 0xFFFFFF, 0xFFFFFFu) << x << "," << y;
            }
}

QVector<TCanvasCall> Texts(const TRecordingCanvas& c)
{
    QVector<TCanvasCall> out;
    for (const auto& call : c.Calls())
        if (call.Op == QLatin1String("DrawText") && !(call.Flags & Win::DT_CALCRECT)) out << call;
    return out;
}

TEST(HTMLButtonLayout, TextBlockPlacement)
{
    THTMLButton b;
    b.resize(100, 40);
    b.SetCaption(QStringLiteral("abc"));
    TRecordingCanvas c;
    b.PaintTo(c, false, false);
    // Area (4,4)-(96,36): 24 x 16 centred.
    auto t = Texts(c);
    ASSERT_EQ(t.size(), 1);
    EXPECT_EQ(t[0].Rect.Left, 4 + (92 - 24) / 2 + 1);
    EXPECT_EQ(t[0].Rect.Top, 4 + (32 - 16) / 2);
    EXPECT_EQ(t[0].Font.Color(), clWindowText);

    b.SetAlignment(TBtnHAlignment::haRight);
    b.SetVAlignment(TBtnVAlignment::vaBottom);
    c.Clear();
    b.PaintTo(c, true, false);
    t = Texts(c);
    ASSERT_EQ(t.size(), 1);
    EXPECT_EQ(t[0].Rect.Left, 96 - 24 + 1 + 1);
    EXPECT_EQ(t[0].Rect.Top, 36 - 16 + 1);

    // Wider than the area: no negative offset; taller: starts above it.
    b.SetAlignment(TBtnHAlignment::haCenter);
    b.SetCaption(QStringLiteral("abcdefghijklmnop<BR>2<BR>3"));
    c.Clear();
    b.PaintTo(c, false, false);
    t = Texts(c);
    ASSERT_EQ(t.size(), 3);
    EXPECT_EQ(t[0].Rect.Left, 5);
    EXPECT_EQ(t[0].Rect.Top, 36 - 48);
}

TEST(HTMLButtonLayout, EllipsisOrWrap)
{
    THTMLButton b;
    b.resize(60, 60);
    b.SetCaption(QStringLiteral("one two three"));
    TRecordingCanvas c;
    b.PaintTo(c, false, false);
    EXPECT_EQ(Texts(c).size(), 3);
    EXPECT_EQ(Texts(c).at(1).Rect.Top, Texts(c).at(0).Rect.Top + 16);
    b.SetEllipsis(true);
    c.Clear();
    b.PaintTo(c, false, false);
    const auto t = Texts(c);
    ASSERT_EQ(t.size(), 1);
    EXPECT_TRUE(t[0].Flags & Win::DT_END_ELLIPSIS);
}

TEST(HTMLButtonLayout, NoControlsAndHiddenText)
{
    THTMLButton b;
    b.resize(100, 40);
    b.SetCaption(QStringLiteral("a<CONTROL TYPE=\"BUTTON\" ID=\"x\" VALUE=\"v\" WIDTH=\"40\">b<Z>zz</Z>"));
    TRecordingCanvas c;
    b.PaintTo(c, false, false);
    const auto t = Texts(c);
    ASSERT_EQ(t.size(), 2);
    EXPECT_EQ(t[1].Rect.Left, t[0].Rect.Left + 8);
    EXPECT_TRUE(c.CallsOf(QStringLiteral("DrawFrameControl")).size() == 1); // the face only
    EXPECT_TRUE(c.CallsOf(QStringLiteral("ThemePart")).isEmpty());
}

TEST(HTMLButtonLayout, StoredPropertiesChangeNothingDrawn)
{
    THTMLButton b;
    b.resize(80, 30);
    b.SetCaption(QStringLiteral("<FONT SIZE=\"10\"><B>Log in</B></FONT>"));
    const QImage before = Paint(b, false, false);
    b.SetStyle(TButtonStyle::bsNew);
    b.SetLayout(blGlyphTop);
    b.SetSpacing(10);
    b.SetMargin(5);
    EXPECT_EQ(Paint(b, false, false), before);
    b.SetMargin(-5);
    EXPECT_EQ(b.Margin(), 5);
    b.SetMargin(-1);
    EXPECT_EQ(b.Margin(), -1);
}

TEST(HTMLButtonFaces, RadialSquareFace)
{
    THTMLButton b;
    b.resize(40, 40);
    b.SetColor(clWhite);
    b.SetBackground(stIRadial);
    const QImage& tex = b.BackgroundBitmap().Image();
    ASSERT_EQ(tex.size(), QSize(42, 42));
    EXPECT_GT(qRed(tex.pixel(21, 21)), qRed(tex.pixel(1, 1)));
    EXPECT_EQ(tex.pixel(1, 1), tex.pixel(41, 41));
    EXPECT_EQ(tex.pixel(1, 41), tex.pixel(41, 1));
}

TEST(HTMLButtonFaces, FlatFacesAndFocusFrame)
{
    THTMLButton b;
    b.resize(50, 20);
    b.SetCaption(QString());
    b.SetFlat(true);
    b.SetColor(clSilver);
    b.SetHoverColor(clYellow);
    b.SetDownColor(clAqua);
    TRecordingCanvas c;
    b.PaintTo(c, false, false);
    auto rects = c.CallsOf(QStringLiteral("Rectangle"));
    ASSERT_EQ(rects.size(), 1);
    EXPECT_EQ(rects[0].Rect, TRect(0, 0, 50, 20));
    EXPECT_EQ(rects[0].Brush.Color(), clSilver);
    EXPECT_EQ(rects[0].Pen.Color(), clBtnShadow);
    c.Clear();
    b.PaintTo(c, true, false);
    rects = c.CallsOf(QStringLiteral("Rectangle"));
    ASSERT_EQ(rects.size(), 1);
    EXPECT_EQ(rects[0].Brush.Color(), clAqua);
    EXPECT_EQ(rects[0].Pen.Width(), 2);

    // Classic face with the default style: frame, push button and focus frame.
    b.SetFlat(false);
    b.SetButtonStyle(true);
    c.Clear();
    b.PaintTo(c, false, true);
    rects = c.CallsOf(QStringLiteral("Rectangle"));
    ASSERT_EQ(rects.size(), 1);
    EXPECT_EQ(rects[0].Pen.Color(), clWindowFrame);
    const auto frames = c.CallsOf(QStringLiteral("DrawFrameControl"));
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0].Rect, TRect(1, 1, 49, 19));
    EXPECT_EQ(frames[0].Flags, Win::DFC_BUTTON | (0x2010u << 16));
    const auto focus = c.CallsOf(QStringLiteral("DrawFocusRect"));
    ASSERT_EQ(focus.size(), 1);
    EXPECT_EQ(focus[0].Rect, TRect(4, 4, 46, 16));
}

TEST(HTMLButtonBehaviour, DefaultAndCancelButtons)
{
    QWidget form;
    form.resize(300, 100);
    auto* edit = new QLineEdit(&form);
    auto* ok = new THTMLButton(&form, QStringLiteral("OkBtn"));
    auto* cancel = new THTMLButton(&form, QStringLiteral("CancelBtn"));
    ok->move(0, 40);
    cancel->move(100, 40);
    ok->SetDefault(true);
    cancel->SetCancel(true);
    int okClicks = 0, cancelClicks = 0;
    ok->OnClick = [&](QObject* sender) {
        EXPECT_EQ(sender, ok);
        ++okClicks;
    };
    cancel->OnClick = [&](QObject*) { ++cancelClicks; };
    form.show();
    QApplication::setActiveWindow(&form);
    edit->setFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return edit->hasFocus(); }));
    EXPECT_TRUE(ok->DefaultStyle());
    EXPECT_FALSE(cancel->DefaultStyle());

    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(okClicks, 1);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(cancelClicks, 1);

    // Another button with the focus takes the style and the Enter key.
    cancel->setFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return cancel->hasFocus(); }));
    EXPECT_FALSE(ok->DefaultStyle());
    EXPECT_TRUE(cancel->DefaultStyle());
    QTest::keyClick(cancel, Qt::Key_Return);
    EXPECT_EQ(okClicks, 1);
    EXPECT_EQ(cancelClicks, 2);

    ok->setEnabled(false);
    edit->setFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return edit->hasFocus(); }));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(okClicks, 1);
}

TEST(HTMLButtonBehaviour, PaintsItselfWhenShown)
{
    THTMLButton b(nullptr, QStringLiteral("GoBtn"));
    b.resize(80, 30);
    b.SetCaption(QStringLiteral("<B>Go</B>"));
    b.show();
    const QImage img = b.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(img.size(), QSize(80, 30));
    EXPECT_FALSE(Box(img, qRgb(0, 0, 0), QRect(4, 4, 72, 22)).isEmpty());
    EXPECT_EQ(img.pixel(40, 6) & 0xFFFFFF, ToQRgb(clBtnFace) & 0xFFFFFF);
}

TEST(HTMLButtonBehaviour, MouseClickFiresOnClick)
{
    THTMLButton b;
    b.resize(60, 24);
    b.show();
    int clicks = 0;
    b.OnClick = [&](QObject*) { ++clicks; };
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(30, 12));
    EXPECT_EQ(clicks, 1);
    b.SetCaption(QStringLiteral("<B>Go</B>"));
    EXPECT_EQ(b.Caption(), QStringLiteral("<B>Go</B>"));
    EXPECT_EQ(b.text(), QStringLiteral("<B>Go</B>"));
}

TEST(HTMLButtonBehaviour, KeyAndMouseEventsAsTheClassLibrarysButton)
{
    QWidget form;
    form.resize(200, 80);
    auto* b = new THTMLButton(&form, QStringLiteral("GoBtn"));
    b->setGeometry(10, 10, 80, 30);
    QStringList events;
    b->OnClick = [&](QObject*) { events << QStringLiteral("click"); };
    b->OnKeyDown = [&](QObject* sender, int& key, TShiftState shift) {
        EXPECT_EQ(sender, b);
        events << QStringLiteral("down %1%2").arg(key).arg(shift.Contains(TShiftStateItem::ssShift) ? "+shift" : "");
        if (key == Win::VK_SPACE && shift.Contains(TShiftStateItem::ssShift)) key = 0; // consumed
    };
    b->OnKeyPress = [&](QObject*, TKeyChar& key) { events << QStringLiteral("press %1").arg(uint(key)); };
    b->OnKeyUp = [&](QObject*, int& key, TShiftState) { events << QStringLiteral("up %1").arg(key); };
    b->OnMouseDown = [&](QObject*, TMouseButton button, TShiftState, int x, int y) {
        events << QStringLiteral("mousedown %1 %2,%3").arg(int(button)).arg(x).arg(y);
    };
    b->OnMouseUp = [&](QObject*, TMouseButton button, TShiftState, int x, int y) {
        events << QStringLiteral("mouseup %1 %2,%3").arg(int(button)).arg(x).arg(y);
    };
    b->OnMouseMove = [&](QObject*, TShiftState, int x, int y) { events << QStringLiteral("move %1,%2").arg(x).arg(y); };
    form.show();
    QApplication::setActiveWindow(&form);
    b->setFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return b->hasFocus(); }));

    // Space: down, its character, up, and the click on release.
    QTest::keyClick(b, Qt::Key_Space);
    EXPECT_EQ(events,
              (QStringList{QStringLiteral("down 32"), QStringLiteral("press 32"), QStringLiteral("up 32"),
                           QStringLiteral("click")}));
    // A key the handler consumes reaches nothing else: no click.
    events.clear();
    QTest::keyPress(b, Qt::Key_Space, Qt::ShiftModifier);
    QTest::keyRelease(b, Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_FALSE(events.contains(QStringLiteral("click"))) << events.join(u',').toStdString();
    EXPECT_TRUE(events.contains(QStringLiteral("down 32+shift"))) << events.join(u',').toStdString();

    // The mouse: down, the click, then up, in client coordinates.
    events.clear();
    QTest::mouseMove(b, QPoint(20, 12));
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(30, 12));
    QTest::mouseClick(b, Qt::RightButton, {}, QPoint(5, 6));
    const QStringList moves = events.filter(QRegularExpression(QStringLiteral("^move ")));
    EXPECT_EQ(moves.value(0), QStringLiteral("move 20,12"));
    for (const QString& m : moves) events.removeAll(m);
    EXPECT_EQ(
        events,
        (QStringList{QStringLiteral("mousedown 0 30,12"), QStringLiteral("click"), QStringLiteral("mouseup 0 30,12"),
                     QStringLiteral("mousedown 1 5,6"), QStringLiteral("mouseup 1 5,6")}));
}

TEST(HTMLButtonBehaviour, AModalResultEndsTheDialog)
{
    QDialog dialog;
    auto* ok = new THTMLButton(&dialog, QStringLiteral("OkBtn"));
    auto* plain = new THTMLButton(&dialog, QStringLiteral("HelpBtn"));
    ok->setGeometry(0, 0, 60, 24);
    plain->setGeometry(0, 30, 60, 24);
    ok->SetModalResult(mrOk);
    int clicks = 0;
    ok->OnClick = [&](QObject*) {
        ++clicks;
        EXPECT_EQ(dialog.result(), int(mrOk)); // the dialog has its result first
    };
    dialog.show();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return dialog.isVisible(); }));
    // A button without one leaves the dialog open.
    QTest::mouseClick(plain, Qt::LeftButton, {}, QPoint(30, 12));
    EXPECT_TRUE(dialog.isVisible());
    QTest::mouseClick(ok, Qt::LeftButton, {}, QPoint(30, 12));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), int(mrOk));
}

TEST(HTMLButtonBehaviour, OnClickRunsBeforeTheDialogEndsAndMayKeepItOpen)
{
    QDialog dialog;
    auto* edit = new QLineEdit(&dialog);
    edit->setObjectName(QStringLiteral("edName"));
    auto* ok = new THTMLButton(&dialog, QStringLiteral("OkBtn"));
    ok->setGeometry(0, 30, 60, 24);
    ok->SetModalResult(mrOk);
    QStringList events;
    QObject::connect(&dialog, &QDialog::finished,
                     [&](int result) { events << QStringLiteral("finished %1").arg(result); });
    // The handler refuses an empty name by setting the result back to none.
    ok->OnClick = [&](QObject*) {
        events << QStringLiteral("click %1").arg(dialog.isVisible() ? "open" : "closed");
        if (edit->text().isEmpty()) dialog.setResult(mrNone);
    };
    dialog.open();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return dialog.isVisible(); }));
    QTest::mouseClick(ok, Qt::LeftButton, {}, QPoint(30, 12));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(events, QStringList{QStringLiteral("click open")});

    // A handler may also take the button's own result back for this click.
    events.clear();
    ok->OnClick = [&](QObject*) {
        events << QStringLiteral("click");
        ok->SetModalResult(mrNone);
    };
    QTest::mouseClick(ok, Qt::LeftButton, {}, QPoint(30, 12));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(events, QStringList{QStringLiteral("click")});

    // Good input: the handler runs with the dialog still open, which then
    // ends with the button's result.
    events.clear();
    ok->SetModalResult(mrOk);
    ok->OnClick = [&](QObject*) {
        events << QStringLiteral("click %1").arg(dialog.isVisible() ? "open" : "closed");
        if (edit->text().isEmpty()) dialog.setResult(mrNone);
    };
    edit->setText(QStringLiteral("Ann"));
    QTest::mouseClick(ok, Qt::LeftButton, {}, QPoint(30, 12));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(events, (QStringList{QStringLiteral("click open"), QStringLiteral("finished 1")}));
    EXPECT_EQ(dialog.result(), int(mrOk));
}

TEST(HTMLButtonBehaviour, AFontGivenWithSetFontIsTheFaceFont)
{
    THTMLButton b;
    b.resize(120, 30);
    b.SetCaption(QStringLiteral("Go"));
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(14);
    f.setBold(true);
    b.setFont(f);
    EXPECT_EQ(b.Font().Name(), QStringLiteral("Arial"));
    EXPECT_EQ(b.Font().Size(), 14);
    EXPECT_TRUE(b.Font().Style().Contains(TFontStyle::fsBold));
    TRecordingCanvas canvas;
    b.PaintTo(canvas, false, false);
    const QVector<TCanvasCall> runs = canvas.CallsOf(QStringLiteral("TextRun"));
    ASSERT_FALSE(runs.isEmpty());
    EXPECT_EQ(runs.first().Font.Size(), 14);
    EXPECT_EQ(runs.first().Font.Name(), QStringLiteral("Arial"));
    // Font() keeps working as before.
    b.Font().SetSize(9);
    canvas.Clear();
    b.PaintTo(canvas, false, false);
    EXPECT_EQ(canvas.CallsOf(QStringLiteral("TextRun")).first().Font.Size(), 9);
}

TEST(HTMLButtonBehaviour, AFreedImageListIsForgotten)
{
    THTMLButton b;
    b.resize(120, 30);
    b.SetCaption(QStringLiteral("<IMG SRC=\"IDX:0\">Go"));
    auto list = std::make_unique<TImageList>(16, 16);
    QImage red(16, 16, QImage::Format_RGB32);
    red.fill(Qt::red);
    list->Add(red);
    b.SetImages(list.get());
    EXPECT_EQ(b.Images(), list.get());
    TRecordingCanvas canvas;
    b.PaintTo(canvas, false, false);
    EXPECT_FALSE(canvas.CallsOf(QStringLiteral("DrawImage")).isEmpty() &&
                 canvas.CallsOf(QStringLiteral("DrawImageTransparent")).isEmpty());
    // A copy of the list is a list of its own.
    {
        TImageList copy = *list;
        EXPECT_FALSE(copy.LifeWatch().expired());
    }
    EXPECT_EQ(b.Images(), list.get());
    list.reset();
    EXPECT_EQ(b.Images(), nullptr);
    canvas.Clear();
    b.PaintTo(canvas, false, false); // draws without the list (ASan would catch a use)
    EXPECT_TRUE(canvas.CallsOf(QStringLiteral("DrawImage")).isEmpty());
    EXPECT_TRUE(canvas.Runs().join(QString()).contains(QStringLiteral("Go")));
}

} // namespace
