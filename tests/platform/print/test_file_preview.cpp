// The preview: paging and zoom with their events, files that cannot be
// shown, and pages drawn with 1-bit map sheets averaged to grey.

#include "platform/print/PreviewRenderer_p.h"
#include "platform/print/SheetCache_p.h"
#include "platform/print/TFilePreview.h"
#include "platform/report/TReportFileReader.h"
#include "tests/platform/print/OutputFixtures.h"

#include <QPainter>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>

using namespace outputtest;

namespace {

QString ThreePages(const QTemporaryDir& dir)
{
    return Write(dir.filePath(QStringLiteral("profile.rpt")), [](TBaseReport& r) {
        for (int page = 1; page <= 3; ++page) {
            if (page > 1) r.NewPage();
            r.PrintLeft(QStringLiteral("Page %1").arg(page), 1);
        }
    });
}

struct Events {
    QList<int> Pages;
    QList<double> Zooms;
    void Watch(TFilePreview& preview)
    {
        preview.OnPageChange = [this, &preview](QObject* sender) {
            EXPECT_EQ(sender, &preview);
            Pages << preview.CurrentPage();
        };
        preview.OnZoomChange = [this, &preview](QObject*) { Zooms << preview.ZoomFactor(); };
    }
};

} // namespace

TEST(FilePreview, PagingMovesWithinTheFileAndReportsEachChange)
{
    QTemporaryDir dir;
    TFilePreview preview;
    Events events;
    events.Watch(preview);
    EXPECT_EQ(preview.PageCount(), 0);
    EXPECT_EQ(preview.CurrentPage(), 0);

    preview.FileName = ThreePages(dir);
    preview.Start();
    EXPECT_TRUE(preview.Active());
    EXPECT_EQ(preview.PageCount(), 3);
    preview.NextPage();
    preview.LastPage();
    preview.NextPage(); // past the end: nothing
    preview.PriorPage();
    preview.FirstPage();
    preview.PriorPage(); // before the start: nothing
    preview.GotoPage(3);
    preview.GotoPage(3); // already there
    preview.GotoPage(0);
    preview.GotoPage(4);
    EXPECT_EQ(events.Pages, (QList<int>{1, 2, 3, 2, 1, 3}));
    EXPECT_TRUE(events.Zooms.isEmpty());

    preview.Finish();
    EXPECT_FALSE(preview.Active());
    EXPECT_EQ(preview.PageCount(), 0);
    EXPECT_EQ(preview.CurrentPage(), 0);
    preview.NextPage();
    EXPECT_EQ(events.Pages.size(), 6);
}

TEST(FilePreview, ZoomStepsOutOnlyWhileAboveTheStepAndSizesThePage)
{
    TFilePreview preview;
    Events events;
    events.Watch(preview);
    preview.SetShadowDepth(2);
    EXPECT_EQ(preview.ZoomFactor(), 100);
    // The page at 96 per inch, a ground of 10 around it, and the shadow.
    EXPECT_EQ(preview.size(), QSize(816 + 20 + 2, 1056 + 20 + 2));

    preview.SetZoomFactor(90);
    EXPECT_EQ(preview.size(), QSize(734 + 22, 950 + 22));
    preview.ZoomIn();
    preview.SetZoomFactor(100); // unchanged: no event
    preview.ZoomStep = 40;
    preview.ZoomOut();
    preview.ZoomOut();
    preview.ZoomOut(); // 20 is not above 40
    EXPECT_EQ(events.Zooms, (QList<double>{90, 100, 60, 20}));
    EXPECT_EQ(preview.ZoomFactor(), 20);

    preview.SetZoomFactor(100000);
    EXPECT_EQ(preview.ZoomFactor(), TFilePreview::MaxZoomFactor);
    preview.SetZoomFactor(-5);
    EXPECT_EQ(preview.ZoomFactor(), 1);
    EXPECT_EQ(preview.size(), QSize(8 + 22, 11 + 22));
}

TEST(FilePreview, AFileThatCannotBeShownLeavesThePreviewAsItWas)
{
    QTemporaryDir dir;
    TFilePreview preview;
    preview.FileName = ThreePages(dir);
    preview.Start();
    preview.NextPage();
    Events events;
    events.Watch(preview);

    preview.FileName = dir.filePath(QStringLiteral("missing.rpt"));
    EXPECT_THROW(preview.Start(), EFOpenError);
    const QString damaged = dir.filePath(QStringLiteral("damaged.rpt"));
    QByteArray bytes = Record([](TBaseReport& r) { r.PrintLeft(QStringLiteral("x"), 1); });
    bytes.truncate(bytes.size() - 5);
    AtomicFile::WriteAll(damaged, bytes);
    preview.FileName = damaged;
    EXPECT_THROW(preview.Start(), EReportFileError);

    EXPECT_EQ(preview.PageCount(), 3);
    EXPECT_EQ(preview.CurrentPage(), 2);
    EXPECT_TRUE(events.Pages.isEmpty());
}

TEST(FilePreview, DrawsThePageWithMapSheetsAveragedToGrey)
{
    QTemporaryDir dir;
    TFilePreview preview;
    preview.FileName = Write(dir.filePath(QStringLiteral("sheet.rpt")), [](TBaseReport& r) {
        r.SetBrush(clBlack, TBrushStyle(0), nullptr);
        r.Rectangle(1, 1, 2, 2);
        r.PrintImageRect(1, 3, 6, 6.5, Sheet(5000, 3500));
    });
    preview.Start();
    for (const double zoom : {100.0, 50.0}) {
        preview.SetZoomFactor(zoom);
        const QImage shown = preview.grab().toImage();
        const double dpi = 96 * zoom / 100;
        const auto at = [&](double x, double y) { return shown.pixel(10 + int(x * dpi), 10 + int(y * dpi)); };
        EXPECT_EQ(qGray(at(1.5, 1.5)), 0);
        EXPECT_EQ(qGray(at(0.5, 0.5)), 255);
        // Lines every tenth pixel of a sheet shrunk more than ten times
        // show as an even grey, not lost and not black.
        int lighter = 255, darker = 0;
        for (double x = 1.2; x < 5.8; x += 0.13)
            for (double y = 3.2; y < 6.3; y += 0.17) {
                lighter = std::min(lighter, qGray(at(x, y)));
                darker = std::max(darker, qGray(at(x, y)));
            }
        EXPECT_GT(lighter, 150) << zoom;
        EXPECT_LT(darker, 245) << zoom;
    }
}

TEST(FilePreview, SheetScalingAveragesEveryBox)
{
    // Left half ink in the first byte order, and its mirror in the other.
    for (const QImage::Format format : {QImage::Format_Mono, QImage::Format_MonoLSB}) {
        QImage image(16, 4, format);
        image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        image.fill(0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x) image.setPixel(x, y, 1);
        image.setPixel(12, 0, 1); // one ink pixel in a box of 4 x 4
        const QImage out = TSheetCache::ScaleMono(image, QSize(4, 1));
        ASSERT_EQ(out.size(), QSize(4, 1));
        EXPECT_EQ(qGray(out.pixel(0, 0)), 0);
        EXPECT_EQ(qGray(out.pixel(1, 0)), 0);
        EXPECT_EQ(qGray(out.pixel(2, 0)), 255);
        EXPECT_EQ(qGray(out.pixel(3, 0)), 255 - 255 / 16);
    }
    // Sheets whose photometric makes index 0 black.
    QImage inverted(8, 8, QImage::Format_Mono);
    inverted.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    inverted.fill(1);
    EXPECT_EQ(qGray(TSheetCache::ScaleMono(inverted, QSize(1, 1)).pixel(0, 0)), 255);
    EXPECT_TRUE(TSheetCache::ScaleMono(inverted, QSize(9, 8)).isNull());

    TSheetCache cache;
    const QImage sheet = Sheet(300, 200);
    const QImage a = cache.Scaled(4, sheet, QSize(30, 20));
    EXPECT_EQ(cache.Scaled(4, sheet, QSize(30, 20)).cacheKey(), a.cacheKey());
    cache.Scaled(4, sheet, QSize(60, 40));
    EXPECT_EQ(cache.Count(), 2);
}

TEST(FilePreview, ASheetDrawnFarLargerThanThePageRasterisesOnlyTheVisibleSheet)
{
    // A 1-bit sheet drawn 10,000 inches tall (and one wider than the
    // page): at any zoom what is scaled is no larger than the sheet shown.
    QImage sheet = Sheet(5000, 3500);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5000; ++x) sheet.setPixel(x, y, 1); // the top rows ink
    for (const double zoom : {90.0, 100.0, 400.0}) {
        const double dpi = 96 * zoom / 100;
        QImage page(int(8.5 * dpi), int(11 * dpi), QImage::Format_RGB32);
        QPainter painter(&page);
        TSheetCache cache;
        TPreviewRenderer renderer(painter, dpi, 1, cache);
        renderer.BeginPage(0, QSizeF(8.5, 11));
        renderer.DrawImage(QRectF(QPointF(0.5, 0.5), QPointF(8, 10000)), sheet, 0);
        renderer.DrawImage(QRectF(QPointF(-5000, 5), QPointF(5000, 6)), sheet, 0);
        renderer.EndPage();
        painter.end();
        EXPECT_LE(cache.Bytes(), qint64(page.width()) * page.height() * 4) << zoom;
        EXPECT_GE(cache.Count(), 1);
        // The sheet's top rows, enlarged, at the top of its frame; white
        // above it.
        EXPECT_LT(qGray(page.pixel(int(4 * dpi), int(0.5 * dpi) + 2)), 128) << zoom;
        EXPECT_EQ(qGray(page.pixel(int(4 * dpi), int(0.3 * dpi))), 255) << zoom;
    }
    // A picture wholly off the sheet costs nothing.
    QImage page(100, 100, QImage::Format_RGB32);
    QPainter painter(&page);
    TSheetCache cache;
    TPreviewRenderer renderer(painter, 10, 1, cache);
    renderer.BeginPage(0, QSizeF(8.5, 11));
    renderer.DrawImage(QRectF(QPointF(20, 20), QPointF(9000, 9000)), sheet, 0);
    EXPECT_EQ(cache.Count(), 0);
    renderer.EndPage();
}

TEST(FilePreview, ATextRunIsDrawnOnlyAsFarAsTheSheetShowsIt)
{
    const QRectF sheet(0, 0, 8.5, 11);
    TPageFont font;
    // A short run goes whole, or not at all when it lies off the sheet.
    const QString street = QStringLiteral("MAIN ST");
    const auto whole = TPreviewRenderer::VisiblePieces(font, QPointF(1, 1), street, sheet);
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(whole[0].Length, street.size());
    EXPECT_TRUE(TPreviewRenderer::VisiblePieces(font, QPointF(1, 20), street, sheet).empty());
    EXPECT_TRUE(TPreviewRenderer::VisiblePieces(font, QPointF(-50, 1), street, sheet).empty());

    // A run of 200,000 characters at the largest size: a character or two
    // of it can show.
    const QString run(200000, QLatin1Char('W'));
    font.Size = 2000;
    int drawn = 0;
    for (const auto& p : TPreviewRenderer::VisiblePieces(font, QPointF(0.5, 5), run, sheet)) drawn += p.Length;
    EXPECT_GE(drawn, 1);
    EXPECT_LE(drawn, 4);
    // Turned upright and starting far off the sheet.
    font.Angle = 900;
    drawn = 0;
    for (const auto& p : TPreviewRenderer::VisiblePieces(font, QPointF(4, 9000), run, sheet)) drawn += p.Length;
    EXPECT_LE(drawn, 4);

    // At 10 points, what shows begins where the run does and covers the
    // sheet's width, placed where the whole run puts it.
    font = TPageFont{};
    const auto pieces = TPreviewRenderer::VisiblePieces(font, QPointF(1, 5), run, sheet);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].From, 0);
    EXPECT_EQ(pieces[0].Offset, 0);
    EXPECT_GT(pieces[0].Length, 40);
    EXPECT_LT(pieces[0].Length, 200);
    EXPECT_TRUE(TPreviewRenderer::VisiblePieces(font, QPointF(1, 5), run, QRectF()).empty());
}

TEST(FilePreview, APageOfAHundredInchesIsDrawnWithinTheLimitAndShownAtItsZoom)
{
    QTemporaryDir dir;
    const QString name = Write(dir.filePath(QStringLiteral("big.rpt")), [](TBaseReport& r) {
        r.SetBrush(clBlack, TBrushStyle(0), nullptr);
        r.Rectangle(0, 0, 1, 1);
    });
    // The first page made 100 x 100 inches, the largest a file may hold.
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    const qsizetype entry = 24 + 2 * qsizetype(qFromLittleEndian<quint32>(bytes.constData() + 20));
    const double side = 100;
    quint64 bits;
    std::memcpy(&bits, &side, 8);
    qToLittleEndian(bits, bytes.data() + entry + 16);
    qToLittleEndian(bits, bytes.data() + entry + 24);
    file.seek(0);
    file.write(bytes);
    file.close();

    TFilePreview preview;
    preview.FileName = name;
    preview.Start();
    preview.SetZoomFactor(100);
    EXPECT_GE(preview.width(), 9600);
    // Only a corner is painted; the page is drawn whole, but smaller.
    const QImage corner = preview.grab(QRect(0, 0, 200, 200)).toImage();
    const QSize drawn = preview.DrawnPageSize();
    EXPECT_LE(qint64(drawn.width()) * drawn.height(), TFilePreview::MaxPagePixels);
    EXPECT_GT(qint64(drawn.width()) * drawn.height(), TFilePreview::MaxPagePixels * 9 / 10);
    // Shown at its zoom: the inch square black, white beside it.
    const double k = corner.width() / 200.0;
    EXPECT_EQ(qGray(corner.pixel(int((10 + 48) * k), int((10 + 48) * k))), 0);
    EXPECT_EQ(qGray(corner.pixel(int((10 + 150) * k), int((10 + 48) * k))), 255);
}
