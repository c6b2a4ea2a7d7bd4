// Text of the canvas over a QImage at 96 dpi with the bundled font: the
// pixels of Qt's own text drawing in the canvas's font, runs at their
// measured advances, colours and fonts that change between runs, clipping of
// runs, shortened lines, and backgrounds that stay transparent after opaque
// drawing.

#include "tests/platform/DrawingFixtures.h"

#include <QFontMetrics>
#include <QPainter>
#include <QSet>
#include <gtest/gtest.h>

using drawingtest::ImageCanvas;

namespace {

// The text through Qt's own text drawing in font, its cell's top-left at
// (x, y), on white.
QImage QtText(const QFont& font, QSize size, int x, int y, const QString& text, TColor color)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(0xFFFFFFFF);
    img.setDotsPerMeterX(qRound(96 / 0.0254));
    img.setDotsPerMeterY(qRound(96 / 0.0254));
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setFont(font);
    p.setPen(ToQColor(color));
    p.drawText(QPoint(x, y + QFontMetrics(font).ascent()), text);
    return img;
}

// Colours found in the rectangle of the image.
QSet<TColor> ColoursIn(const QImage& img, const QRect& r)
{
    QSet<TColor> out;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) out.insert(FromQRgb(img.pixel(x, y)));
    return out;
}

} // namespace

TEST(CanvasTextPixels, RunsMatchQtsOwnTextInTheCanvasFont)
{
    // One canvas throughout: each change of size or style must reach the
    // font the text is drawn in, and colour changes in between must not keep
    // a stale font.
    const QStringList texts = {
        QStringLiteral("Hello World, 123 (gh)! ~ValUe~"),
        QString::fromUtf16(u"Caf\u00e9 \u00c5ngstr\u00f6m \u00bd\u00b0 \u00df\u00ff \u00a9"),
        QString::fromUtf16(u"\u20ac 5 \u2013 \u03a9\u03bc"), // beyond Latin-1
        QString::fromUtf16(u"a\u00adb\tc"),                  // soft hyphen and a control character
    };
    const std::vector<TFontStyles> styles = {{},
                                             {TFontStyle::fsBold},
                                             {TFontStyle::fsItalic},
                                             {TFontStyle::fsUnderline},
                                             {TFontStyle::fsStrikeOut},
                                             {TFontStyle::fsBold, TFontStyle::fsUnderline}};
    ImageCanvas c(400, 40);
    c->Brush().SetStyle(TBrushStyle::bsClear);
    for (int size : {8, 10, 14}) {
        for (const TFontStyles& style : styles) {
            for (const QString& text : texts) {
                c->Font().SetColor(clRed);
                c->Font().SetSize(size);
                c->Font().SetStyle(style);
                c->Font().SetColor(clNavy);
                c.canvas->Release();
                c.image.fill(0xFFFFFFFF);
                c->TextOut(3, 4, text);
                const QImage expected = QtText(c.canvas->CurrentQFont(), c.image.size(), 3, 4, text, clNavy);
                EXPECT_EQ(c.Image(), expected) << size << " " << int(style.Bits()) << " " << qPrintable(text);
            }
        }
    }
}

TEST(CanvasTextPixels, ARunIsDrawnAtTheSumOfItsCharactersAdvances)
{
    // Kerning is off, as on the platform: a run looks like its characters
    // drawn one after the other at their measured widths.
    const QString text = QStringLiteral("AVATAR office Ty, WAVE");
    for (TFontStyles style : {TFontStyles{}, TFontStyles{TFontStyle::fsBold}}) {
        ImageCanvas whole(300, 30);
        ImageCanvas pieces(300, 30);
        for (ImageCanvas* c : {&whole, &pieces}) {
            (*c)->Brush().SetStyle(TBrushStyle::bsClear);
            (*c)->Font().SetSize(12);
            (*c)->Font().SetStyle(style);
            (*c)->Font().SetColor(clBlack);
        }
        whole->TextOut(2, 2, text);
        int x = 2;
        for (QChar ch : text) {
            pieces->TextOut(x, 2, QString(ch));
            x += pieces->TextWidth(QString(ch));
        }
        EXPECT_EQ(whole->PenPos().X, x);
        EXPECT_EQ(whole.Image(), pieces.Image()) << int(style.Bits());
    }
}

TEST(CanvasTextPixels, EveryRunTakesTheFontColourOfItsTime)
{
    // More colours than the canvas keeps pens for, then the first again.
    const TColor colours[] = {clRed,   clBlue,    clGreen, clMaroon, clNavy, clPurple, clTeal,
                              clOlive, clFuchsia, clAqua,  clLime,   clGray, clRed};
    ImageCanvas c(13 * 20, 20);
    c->Brush().SetStyle(TBrushStyle::bsClear);
    c->Font().SetSize(10);
    int i = 0;
    for (TColor colour : colours) {
        c->Font().SetColor(colour);
        c->TextOut(i * 20 + 2, 2, QStringLiteral("Mg"));
        ++i;
    }
    const QImage& img = c.Image();
    for (int k = 0; k < i; ++k) {
        const QSet<TColor> found = ColoursIn(img, QRect(k * 20, 0, 20, 20));
        EXPECT_EQ(found, (QSet<TColor>{clWhite, colours[k]})) << k;
    }
}

TEST(CanvasTextPixels, ColourChangesKeepTheFontAndOtherChangesReachIt)
{
    ImageCanvas c;
    c->Font().SetSize(10);
    const int plain = c->TextWidth(QStringLiteral("Mmmm"));
    c->Font().SetColor(clRed);
    EXPECT_EQ(c->TextWidth(QStringLiteral("Mmmm")), plain);
    c->Font().SetStyle({TFontStyle::fsBold});
    const int bold = c->TextWidth(QStringLiteral("Mmmm"));
    EXPECT_GT(bold, plain);
    c->Font().SetColor(clBlue);
    EXPECT_EQ(c->TextWidth(QStringLiteral("Mmmm")), bold);
    c->Font().SetSize(20);
    EXPECT_GT(c->TextWidth(QStringLiteral("Mmmm")), bold);
    c->Font().SetStyle({});
    c->Font().SetSize(10);
    EXPECT_EQ(c->TextWidth(QStringLiteral("Mmmm")), plain);
}

TEST(CanvasTextPixels, AClippedRunLeavesTheCanvasClipInForce)
{
    for (bool canvasClip : {false, true}) {
        ImageCanvas c(60, 40);
        c->Brush().SetStyle(TBrushStyle::bsClear);
        c->Font().SetColor(clBlack);
        c->Font().SetSize(12);
        if (canvasClip) c->IntersectClipRect(TRect(0, 0, 50, 40));
        TRect r(10, 5, 20, 30);
        c->DrawText(QStringLiteral("WWWWWWWW"), r, Win::DT_SINGLELINE | Win::DT_NOPREFIX);
        const QImage& img = c.Image();
        int inside = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x) {
                if (FromQRgb(img.pixel(x, y)) != clBlack) continue;
                EXPECT_TRUE(x >= 10 && x < 20 && y >= 5 && y < 30) << x << "," << y;
                ++inside;
            }
        EXPECT_GT(inside, 5);
        // Afterwards only the canvas's own clip applies.
        c->Brush().SetColor(clRed);
        c->FillRect(TRect(0, 32, 60, 40));
        EXPECT_EQ(c.At(0, 35), clRed);
        EXPECT_EQ(c.At(49, 35), clRed);
        EXPECT_EQ(c.At(55, 35), canvasClip ? clWhite : clRed);
    }
}

TEST(CanvasTextPixels, ShortenedLinesShowTheirPrefixWithThreeDots)
{
    // Two lines shortened one after the other, the second longer than the
    // first: each shows its own prefix.
    ImageCanvas c(200, 40);
    ImageCanvas expected(200, 40);
    for (ImageCanvas* x : {&c, &expected}) {
        (*x)->Brush().SetStyle(TBrushStyle::bsClear);
        (*x)->Font().SetColor(clBlack);
        (*x)->Font().SetSize(10);
    }
    auto prefixThatFits = [&](const QString& text, int width) {
        const int dots = c->TextWidth(QStringLiteral("..."));
        int keep = 0;
        while (keep < text.size() && c->TextWidth(text.left(keep + 1)) + dots <= width) ++keep;
        return text.left(keep) + QStringLiteral("...");
    };
    const QString first = QStringLiteral("abcdefghijklmnop");
    const QString second = QStringLiteral("Quarterly report of the northern district");
    TRect r1(0, 0, 50, 18);
    TRect r2(0, 20, 160, 38);
    c->DrawText(first, r1, Win::DT_SINGLELINE | Win::DT_END_ELLIPSIS);
    c->DrawText(second, r2, Win::DT_SINGLELINE | Win::DT_END_ELLIPSIS);
    expected->TextOut(0, 0, prefixThatFits(first, 50));
    expected->TextOut(0, 20, prefixThatFits(second, 160));
    EXPECT_EQ(c.Image(), expected.Image());
}

TEST(CanvasTextBackground, TransparentTextGetsNoBoxAfterOpaqueDrawing)
{
    // A rectangle with a solid brush leaves the painter's own background
    // mode opaque; text drawn transparently afterwards must not paint a box,
    // neither through glyphs (Latin-1) nor through the text layout.
    ImageCanvas c(200, 60, 0xFFFFFF00);
    c->Brush().SetColor(clWhite);
    c->Rectangle(0, 0, 10, 10);
    c->Font().SetColor(clBlack);
    c->Font().SetSize(10);
    c->Brush().SetStyle(TBrushStyle::bsClear);
    c->TextOut(12, 2, QStringLiteral("Hi there"));
    c->TextOut(100, 2, QString::fromUtf16(u"Hi \u20ac\u2013\u03a9"));
    c->Brush().SetColor(clWhite);
    c->Rectangle(0, 0, 10, 10);
    c->SetBkMode(Win::TRANSPARENT);
    TRect r(12, 30, 200, 60);
    c->DrawText(QString::fromUtf16(u"Tx \u20ac and more"), r, Win::DT_SINGLELINE | Win::DT_NOPREFIX);
    const QSet<TColor> found = ColoursIn(c.Image(), QRect(11, 0, 189, 60));
    EXPECT_EQ(found, (QSet<TColor>{clYellow, clBlack}));
}

TEST(CanvasTextBackground, StyledPenGapsFollowTheBackgroundMode)
{
    // Transparent: the gaps of a dotted outline keep what was there, even
    // after a solid rectangle left the painter opaque. Opaque: they take
    // the brush colour, as the dotted lines of the canvas's own pen do.
    ImageCanvas c(100, 50, 0xFFFFFF00);
    c->Brush().SetColor(clWhite);
    c->Rectangle(0, 0, 5, 5);
    c->Brush().SetStyle(TBrushStyle::bsClear);
    c->Pen().SetStyle(TPenStyle::psDot);
    c->Pen().SetColor(clBlack);
    c->Ellipse(10, 5, 45, 45);
    c->Arc(50, 5, 95, 45, 95, 25, 50, 25);
    EXPECT_EQ(ColoursIn(c.Image(), QRect(6, 0, 94, 50)), (QSet<TColor>{clYellow, clBlack}));

    ImageCanvas o(100, 50, 0xFFFFFF00);
    o->Brush().SetColor(clWhite);
    o->Rectangle(0, 0, 5, 5);
    o->Brush().SetColor(clAqua);
    o->Pen().SetStyle(TPenStyle::psDot);
    o->Pen().SetColor(clBlack);
    o->Arc(50, 5, 95, 45, 95, 25, 50, 25);
    const QSet<TColor> arc = ColoursIn(o.Image(), QRect(6, 0, 94, 50));
    EXPECT_TRUE(arc.contains(clAqua));
    EXPECT_FALSE(arc.contains(clWhite));
}
