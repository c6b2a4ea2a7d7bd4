// The PDF writer, read back with poppler's tools: text that can be
// extracted, embedded fonts, photographs as JPEG at the asked quality,
// 1-bit sheets without loss, the street map as vector; a damaged report
// writes nothing.

#include "platform/print/TMetafileGraphic.h"
#include "platform/print/TRenderPDF.h"
#include "platform/report/TReportDump.h"
#include "platform/report/TReportFileReader.h"
#include "tests/platform/print/OutputFixtures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace outputtest;

namespace {

QString RenderToPdf(const QTemporaryDir& dir, const QByteArray& report, int quality = 90)
{
    return outputtest::RenderToPdf(dir.path(), report, quality);
}

// The first values of the first quantisation table of a JPEG file.
QList<int> Quantisation(const QString& jpegFile)
{
    QFile f(jpegFile);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray b = f.readAll();
    const qsizetype at = b.indexOf("\xFF\xDB");
    if (at < 0 || at + 8 > b.size()) return {};
    return {uchar(b[at + 5]), uchar(b[at + 6]), uchar(b[at + 7])};
}

} // namespace

TEST(RenderPDF, TextStaysTextInEmbeddedFontsPageByPage)
{
    QTemporaryDir dir;
    const QString pdf = RenderToPdf(dir,
                                    Record(
                                        [](TBaseReport& r) {
                                            r.SetFont(QStringLiteral("Arial"), 12);
                                            r.PrintLeft(QStringLiteral("Subject property"), 1);
                                            r.NewLine();
                                            r.SetFont(QStringLiteral("Times New Roman"), 10);
                                            r.SetBold(true);
                                            r.PrintLeft(QStringLiteral("Market summary"), 1);
                                            r.NewPage();
                                            r.PrintLeft(QStringLiteral("Second page"), 1);
                                        },
                                        QStringLiteral("Profile of 12 Oak Lane")));

    const ToolResult text = RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_EQ(text.Exit, 0) << text.Err.toStdString();
    const QStringList pages = text.Out.split(QLatin1Char('\f'));
    ASSERT_GE(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QLatin1String("Subject property")));
    EXPECT_TRUE(pages[0].contains(QLatin1String("Market summary")));
    EXPECT_TRUE(pages[1].contains(QLatin1String("Second page")));

    const ToolResult info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.Err.isEmpty()) << info.Err.toStdString();
    EXPECT_TRUE(info.Out.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n")))) << info.Out.toStdString();
    EXPECT_TRUE(info.Out.contains(QLatin1String("612 x 792 pts"))) << info.Out.toStdString();
    EXPECT_TRUE(info.Out.contains(QLatin1String("Profile of 12 Oak Lane"))) << info.Out.toStdString();

    const ToolResult fonts = RunTool(QStringLiteral("pdffonts"), {pdf});
    ASSERT_EQ(fonts.Exit, 0) << fonts.Err.toStdString();
    const QStringList lines = fonts.Out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2);
    ASSERT_GE(lines.size(), 2) << fonts.Out.toStdString();
    for (const QString& line : lines) {
        const QStringList f = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        ASSERT_GE(f.size(), 6);
        EXPECT_EQ(f[f.size() - 5], QStringLiteral("yes")) << "not embedded: " << line.toStdString();
    }
    EXPECT_TRUE(fonts.Out.contains(QLatin1String("LiberationSans"))) << fonts.Out.toStdString();
    EXPECT_TRUE(fonts.Out.contains(QLatin1String("LiberationSerif-Bold"))) << fonts.Out.toStdString();
}

TEST(RenderPDF, PhotosAreJpegAtTheAskedQualityAndSheetsStayOneBit)
{
    const QByteArray report = Record([](TBaseReport& r) {
        r.PrintImageRect(1, 1, 4, 3.25, Photo(320, 240));
        r.PrintImageRect(1, 4, 7, 8.5, Sheet(400, 300));
    });
    for (const int quality : {90, 50}) {
        QTemporaryDir dir;
        const QString pdf = RenderToPdf(dir, report, quality);
        const ToolResult list = RunTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
        ASSERT_EQ(list.Exit, 0) << list.Err.toStdString();
        EXPECT_TRUE(list.Err.isEmpty()) << list.Err.toStdString();
        EXPECT_TRUE(
            list.Out.contains(QRegularExpression(QStringLiteral("image\\s+320\\s+240\\s+rgb\\s+3\\s+8\\s+jpeg"))))
            << list.Out.toStdString();
        EXPECT_TRUE(
            list.Out.contains(QRegularExpression(QStringLiteral("image\\s+400\\s+300\\s+gray\\s+1\\s+1\\s+image"))))
            << list.Out.toStdString();

        const ToolResult extract =
            RunTool(QStringLiteral("pdfimages"), {QStringLiteral("-j"), pdf, dir.filePath(QStringLiteral("img"))});
        ASSERT_EQ(extract.Exit, 0) << extract.Err.toStdString();
        // libjpeg's luminance table scaled for the quality.
        const QList<int> expected = quality == 90 ? QList<int>{3, 2, 2} : QList<int>{16, 11, 12};
        EXPECT_EQ(Quantisation(dir.filePath(QStringLiteral("img-000.jpg"))), expected) << "quality " << quality;

        // The sheet keeps black lines on white (mostly light at 10 dpi).
        const ToolResult raster = RunTool(QStringLiteral("pdftoppm"),
                                          {QStringLiteral("-r"), QStringLiteral("10"), QStringLiteral("-gray"),
                                           QStringLiteral("-singlefile"), pdf, dir.filePath(QStringLiteral("page"))});
        ASSERT_EQ(raster.Exit, 0) << raster.Err.toStdString();
        const QImage page(dir.filePath(QStringLiteral("page.pgm")));
        ASSERT_FALSE(page.isNull());
        int sum = 0, count = 0;
        for (int y = 42; y < 84; ++y)
            for (int x = 12; x < 68; ++x, ++count) sum += qGray(page.pixel(x, y));
        EXPECT_GT(sum / count, 150);
    }
}

TEST(RenderPDF, StreetMapStaysVectorOnThePage)
{
    const QByteArray report = Record([](TBaseReport& r) {
        const TMetafileGraphic map(StreetMap());
        r.StretchDraw(QRectF(0.75, 0.75, 5, 2.5), map);
    });
    TReportFileReader reader;
    reader.LoadFromBytes(report);
    const QStringList ops = TReportDump::PageLines(reader, 0);
    EXPECT_EQ(reader.ImageCount(), 0);
    EXPECT_TRUE(ops.contains(QStringLiteral("polyline 0.75,2 3.25,2 5.75,2")))
        << ops.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(ops.contains(QStringLiteral("text 1.25 1.75 \"Elm Street\"")))
        << ops.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(ops.contains(QStringLiteral("font \"Liberation Sans\" 21.6 $000000")))
        << ops.join(QLatin1Char('\n')).toStdString();

    QTemporaryDir dir;
    const QString pdf = RenderToPdf(dir, report);
    EXPECT_TRUE(
        RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).Out.contains(QLatin1String("Elm Street")));
    const ToolResult list = RunTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    EXPECT_EQ(list.Out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), 2)
        << "only the table's head: " << list.Out.toStdString();
}

TEST(RenderPDF, DamagedStreetMapsLeaveTheirAreaEmpty)
{
    QByteArray truncated = StreetMap();
    truncated.chop(30);
    for (const QByteArray& data : {truncated, QByteArray("not a picture"), QByteArray()}) {
        const QByteArray report = Record([&](TBaseReport& r) {
            const TMetafileGraphic map(data);
            r.StretchDraw(QRectF(1, 1, 4, 2), map);
        });
        TReportFileReader reader;
        reader.LoadFromBytes(report);
        for (const QString& op : TReportDump::PageLines(reader, 0))
            EXPECT_TRUE(op.startsWith(QLatin1String("clip")) || op.startsWith(QLatin1String("pen")) ||
                        op.startsWith(QLatin1String("brush")))
                << op.toStdString();
    }
}

TEST(RenderPDF, DamagedReportWritesNothing)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("report.pdf"));
    AtomicFile::WriteAll(name, "earlier");
    QByteArray report = Record([](TBaseReport& r) { r.PrintLeft(QStringLiteral("x"), 1); });
    report[8] = char(9); // a version this program does not read
    QBuffer stream(&report);
    stream.open(QIODevice::ReadOnly);
    EXPECT_THROW(TRenderPDF().Render(stream, name), EReportFileError);
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("earlier"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("report.pdf")});
}

TEST(RenderPDF, PdfFileNamesAreKnownInAnyCase)
{
    for (const char* name : {"report.pdf", "REPORT.PDF", "/tmp/a b/Report.Pdf", "x.tar.pdf"})
        EXPECT_TRUE(IsPdfFileName(QString::fromLatin1(name))) << name;
    for (const char* name : {"report.rpt", "report.pdf.rpt", "report.pdfx", "pdf", "report", ""})
        EXPECT_FALSE(IsPdfFileName(QString::fromLatin1(name))) << name;
}
