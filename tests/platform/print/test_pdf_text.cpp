// Text of every script in the PDF: shaped and placed as the preview draws
// it (the page rendered from the PDF against the preview's own renderer),
// characters the page font lacks from the faces the system picks, and the
// text layer giving back the characters in their logical order.

#include "platform/report/TPageRenderer.h"
#include "platform/report/TReportFileReader.h"
#include "tests/platform/print/OutputFixtures.h"

#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace outputtest;

namespace {

// The texts of the scripts the report meets, one a line.
const QString ScriptTexts[] = {
    QStringLiteral("Customer: \u0645\u062D\u0645\u062F"),          // Arabic, joined
    QStringLiteral("\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD"), // Hebrew
    QStringLiteral("Cafe\u0301 Zu\u0308rich"),                         // decomposed Latin
    QStringLiteral("\u738B\u5C0F\u660E"),                              // Chinese
    QStringLiteral("\u6771\u4EAC\u90FD \u5C71\u7530\u592A\u90CE"),     // Japanese
    QStringLiteral("Box \uE000 end"),                                  // no face has it
};

QByteArray ScriptReport(const QString& family = QStringLiteral("Liberation Sans"), bool bold = false)
{
    return Record([&](TBaseReport& r) {
        TPagePainter& p = r.Painter();
        TPageFont font;
        font.Family = family;
        font.Size = 16;
        font.Bold = bold;
        p.SetFont(font);
        double y = 1;
        for (const QString& text : ScriptTexts) {
            p.DrawText(QPointF(1, y), text);
            y += 0.5;
        }
    });
}

// The first page as the preview draws it.
QImage Preview(const QByteArray& report, int dpi)
{
    TReportFileReader reader;
    reader.LoadFromBytes(report);
    const QSizeF inches = reader.PageSize(0);
    QImage image(qRound(inches.width() * dpi), qRound(inches.height() * dpi), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TPageRenderer renderer(painter, dpi);
    reader.PlayPage(0, renderer);
    painter.end();
    return image;
}

QImage Raster(const QTemporaryDir& dir, const QString& pdf, int dpi)
{
    const ToolResult r = RunTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi),
                                                             QStringLiteral("-singlefile"), pdf,
                                                             dir.filePath(QStringLiteral("page"))});
    if (r.Exit != 0) return {};
    return QImage(dir.filePath(QStringLiteral("page.ppm"))).convertToFormat(QImage::Format_RGB32);
}

// Darkness of a square cell of the image, 0..255.
double Ink(const QImage& image, int x0, int y0, int cell)
{
    double sum = 0;
    for (int y = y0; y < y0 + cell; ++y)
        for (int x = x0; x < x0 + cell; ++x) sum += 255 - qGray(image.pixel(x, y));
    return sum / (cell * cell);
}

// Text as a reader compares it: the marks pdftotext puts around a
// right-to-left run dropped, accents composed.
QString Logical(const QString& text)
{
    static const QRegularExpression marks(QStringLiteral("[\u200E\u200F\u202A-\u202E\u2066-\u2069]"));
    return QString(text).remove(marks).normalized(QString::NormalizationForm_C);
}

} // namespace

TEST(PdfText, ScriptsDrawAsThePreviewDrawsThem)
{
    const QByteArray report = ScriptReport();
    QTemporaryDir dir;
    const QString pdf = RenderToPdf(dir.path(), report);
    const int dpi = 144;
    const QImage ours = Raster(dir, pdf, dpi), preview = Preview(report, dpi);
    ASSERT_FALSE(ours.isNull());
    ASSERT_EQ(ours.size(), preview.size());
    // Cells of 4 x 4 pixels: antialiasing may differ, the glyphs and their
    // places may not.
    const int cell = 4;
    int inked = 0, differing = 0;
    double worst = 0;
    for (int y = 0; y + cell <= ours.height(); y += cell)
        for (int x = 0; x + cell <= ours.width(); x += cell) {
            const double a = Ink(ours, x, y, cell), b = Ink(preview, x, y, cell);
            if (a < 8 && b < 8) continue;
            ++inked;
            const double diff = std::fabs(a - b);
            worst = std::max(worst, diff);
            differing += diff > 48;
        }
    EXPECT_GT(inked, 500);
    EXPECT_LT(differing, inked / 50) << differing << " of " << inked << " cells, worst " << worst;
}

TEST(PdfText, TheTextLayerGivesTheCharactersBackInTheirOrder)
{
    QTemporaryDir dir;
    const QString pdf = RenderToPdf(dir.path(), ScriptReport());
    const ToolResult text = RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_EQ(text.Exit, 0) << text.Err.toStdString();
    const QStringList lines = Logical(text.Out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& expected : ScriptTexts)
        EXPECT_TRUE(lines.contains(Logical(expected))) << expected.toStdString() << "\n" << text.Out.toStdString();

    const ToolResult check = RunTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
    EXPECT_EQ(check.Exit, 0) << check.Out.toStdString() << check.Err.toStdString();
}
