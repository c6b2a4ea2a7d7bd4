// Text of every script in the PDF: shaped and placed as the preview draws
// it (the page rendered from the PDF against the preview's own renderer),
// characters the page font lacks from the faces the system picks, and the
// text layer giving back the characters in their logical order.

#include "platform/print/PdfDocument_p.h"
#include "platform/print/PdfFont_p.h"
#include "platform/print/PdfFonts_p.h"
#include "platform/print/PdfText_p.h"
#include "platform/report/ReportFonts.h"
#include "platform/report/ReportMetrics_p.h"
#include "platform/report/TPageRenderer.h"
#include "platform/report/TReportFileReader.h"
#include "tests/platform/print/FontFixtures.h"
#include "tests/platform/print/OutputFixtures.h"

#include <QFontDatabase>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace outputtest;

namespace {

// The texts of the scripts the report meets, one a line.
const QString ScriptTexts[] = {
    QStringLiteral("Customer: \u0645\u062D\u0645\u062F \u0633\u0644\u0627\u0645"), // Arabic, joined
    QStringLiteral("\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD"),           // Hebrew
    QStringLiteral("Cafe\u0301 Zu\u0308rich"),                                     // decomposed Latin
    QStringLiteral("\u738B\u5C0F\u660E"),                                          // Chinese
    QStringLiteral("\u6771\u4EAC\u90FD \u5C71\u7530\u592A\u90CE"),                 // Japanese
    QStringLiteral("Box \uE000\uE001 end"),                                        // no face has it
    // Right-to-left runs with numbers and Latin inside and around them.
    QStringLiteral("Mixed \u05E9\u05DC\u05D5\u05DD 123 abc"),
    QStringLiteral("\u05DE\u05D7\u05D9\u05E8 450,000 \u05E9\u05F4\u05D7"),
    QStringLiteral("\u0639\u062F\u062F 42 \u063A\u0631\u0641"),
    QStringLiteral("\u0639\u062F\u062F \u0664\u0662 \u063A\u0631\u0641"), // Arabic-Indic digits
    QStringLiteral("\u05E9\u05DC\u05D5\u05DD 2026"),                      // right to left only
};

QByteArray TextReport(const QStringList& texts, const QString& family = QStringLiteral("Liberation Sans"),
                      bool bold = false)
{
    return Record([&](TBaseReport& r) {
        TPagePainter& p = r.Painter();
        TPageFont font;
        font.Family = family;
        font.Size = 16;
        font.Bold = bold;
        p.SetFont(font);
        double y = 1;
        for (const QString& text : texts) {
            p.DrawText(QPointF(1, y), text);
            y += 0.5;
        }
    });
}

QStringList Scripts() { return QStringList(std::begin(ScriptTexts), std::end(ScriptTexts)); }

// Texts that lean right to left, Latin, numbers and their signs inside.
QStringList RightToLeftTexts()
{
    return {
        QStringLiteral("Customer: \u0645\u062D\u0645\u062F \u0633\u0644\u0627\u0645"),
        QStringLiteral("\u05E9\u05DC\u05D5\u05DD: \u05E2\u05D5\u05DC\u05DD (abc) 12%"),
        QStringLiteral("\u05DE\u05D7\u05D9\u05E8 450,000 \u05E9\u05F4\u05D7"),
        QStringLiteral("\u0639\u062F\u062F \u0664\u0662 \u063A\u0631\u0641."),
        QStringLiteral("Mixed \u05E9\u05DC\u05D5\u05DD 123 abc"),
        QStringLiteral("Zu\u0308rich"),
    };
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
    const ToolResult r = RunTool(QStringLiteral("pdftoppm"),
                                 {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-singlefile"), pdf,
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

// The first page of the PDF against the preview's: cells of 4 x 4 pixels
// (antialiasing may differ, the glyphs and their places may not), those
// with ink, and those that differ.
void ExpectAsPreview(const QByteArray& report, const QString& pdf, int minInked)
{
    QTemporaryDir dir;
    const int dpi = 144;
    const QImage ours = Raster(dir, pdf, dpi), preview = Preview(report, dpi);
    ASSERT_FALSE(ours.isNull());
    ASSERT_EQ(ours.size(), preview.size());
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
    EXPECT_GT(inked, minInked);
    EXPECT_LT(differing, inked / 50) << differing << " of " << inked << " cells, worst " << worst;
}

} // namespace

TEST(PdfText, ScriptsDrawAsThePreviewDrawsThem)
{
    const QByteArray report = TextReport(Scripts());
    QTemporaryDir dir;
    ExpectAsPreview(report, RenderToPdf(dir.path(), report), 500);
    // Bold where the face the system picks has it.
    const QByteArray bold = TextReport(Scripts(), QStringLiteral("Liberation Serif"), true);
    ExpectAsPreview(bold, RenderToPdf(dir.path(), bold), 500);
    const QByteArray rightToLeft = TextReport(RightToLeftTexts());
    ExpectAsPreview(rightToLeft, RenderToPdf(dir.path(), rightToLeft), 300);
}

TEST(PdfText, TheTextLayerGivesTheCharactersBackInTheirOrder)
{
    QTemporaryDir dir;
    const auto expectLogical = [&](const QStringList& texts) {
        const QString pdf = RenderToPdf(dir.path(), TextReport(texts));
        const ToolResult text = RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        ASSERT_EQ(text.Exit, 0) << text.Err.toStdString();
        const QStringList lines = Logical(text.Out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString& expected : texts)
            EXPECT_TRUE(lines.contains(Logical(expected))) << expected.toStdString() << "\n" << text.Out.toStdString();

        const ToolResult check = RunTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
        EXPECT_EQ(check.Exit, 0) << check.Out.toStdString() << check.Err.toStdString();
    };
    // A page of mostly left-to-right text, and one of mostly right-to-left
    // text, which readers turn the other way.
    expectLogical(Scripts());
    expectLogical(RightToLeftTexts());
}

namespace {

TPageFont PageFont(const QString& family, bool bold = false, bool italic = false, double size = 10)
{
    TPageFont font;
    font.Family = family;
    font.Bold = bold;
    font.Italic = italic;
    font.Size = size;
    return font;
}

// A family of our own from font file bytes, gone when the test ends.
struct AppFont {
    int Id;
    explicit AppFont(const QByteArray& file) : Id(QFontDatabase::addApplicationFontFromData(file)) { }
    ~AppFont()
    {
        if (Id >= 0) QFontDatabase::removeApplicationFont(Id);
    }
};

} // namespace

TEST(PdfText, PlainLatinTakesTheGlyphsAndAdvancesOfTheShapedRoad)
{
    QString chars;
    for (char16_t c = 0x20; c < 0x7F; ++c) chars += QChar(c);
    QStringList texts;
    for (const QChar first : chars) {
        QString line;
        for (const QChar second : chars) line += QString(first) + second;
        texts << line;
    }
    QString latin1;
    for (char16_t c = 0xA0; c < 0x180; ++c)
        if (c != 0xAD) latin1 += QChar(c);
    texts << latin1;
    PdfDocument document;
    PdfFonts fonts(document);
    PdfTextLayout layout(fonts);
    for (const QString& family : {QStringLiteral("Liberation Sans"), QStringLiteral("Liberation Serif"),
                                  QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans")}) {
        for (const bool bold : {false, true}) {
            for (const bool italic : {false, true}) {
                const PdfFonts::TextFont& font = fonts.Font(PageFont(family, bold, italic));
                ASSERT_NE(font.Face, nullptr);
                // DejaVu Sans joins "fi" and "fl": shaped whatever the text.
                const bool ligatures = family == QLatin1String("DejaVu Sans");
                EXPECT_EQ(font.Face->LatinIsGlyphForCharacter(), !ligatures) << family.toStdString();
                for (const QString& text : texts) {
                    const double plain = layout.Lay(font, text);
                    const std::vector<PdfTextLayout::Glyph> quick = layout.Glyphs();
                    const double shaped = layout.Shape(font, text);
                    const std::vector<PdfTextLayout::Glyph>& slow = layout.Glyphs();
                    if (!ligatures) {
                        ASSERT_EQ(quick.size(), size_t(text.size())) << family.toStdString() << " took the shaped road";
                    }
                    ASSERT_EQ(quick.size(), slow.size()) << family.toStdString() << bold << italic;
                    // Each advance the same to Qt's unit of a 64th of a
                    // pixel, of a pixel 1/1440 inch.
                    int apart = 0;
                    for (size_t i = 0; i < quick.size(); ++i) {
                        EXPECT_EQ(quick[i].Id, slow[i].Id) << family.toStdString() << " at " << i;
                        const double a = (i + 1 < quick.size() ? quick[i + 1].X : plain) - quick[i].X;
                        const double b = (i + 1 < slow.size() ? slow[i + 1].X : shaped) - slow[i].X;
                        apart += std::fabs(a - b) > 1.0 / 64 + 1e-9 || slow[i].Y != 0 || quick[i].Face != slow[i].Face;
                    }
                    EXPECT_EQ(apart, 0) << family.toStdString() << bold << italic;
                    // The rounding of 64ths adds up to less than a
                    // thousandth of an inch along a line of 15 inches.
                    EXPECT_NEAR(plain, shaped, ReportFonts::ReferenceDpi / 1000.0)
                        << family.toStdString() << bold << italic;
                }
            }
        }
    }
}

TEST(PdfText, DrawnTextIsAsWideAsTheReportMeasuredIt)
{
    PdfDocument document;
    PdfFonts fonts(document);
    PdfTextLayout layout(fonts);
    TReportMetrics metrics;
    QStringList texts = Scripts();
    texts << QStringLiteral("AVAILABLE Type, To WAVE Yard.") << QStringLiteral("\u05E9\u05DC\u05D5\u05DD 123 abc");
    for (const QString& family : {QStringLiteral("Liberation Sans"), QStringLiteral("Liberation Serif")}) {
        for (const bool bold : {false, true}) {
            const TPageFont page = PageFont(family, bold, false, 9);
            for (const QString& text : texts) {
                const double drawn = layout.Lay(fonts.Font(page), text);
                EXPECT_NEAR(drawn, metrics.Width(page, text), 0.01) << text.toStdString();
                // The glyphs stand within it.
                for (const PdfTextLayout::Glyph& g : layout.Glyphs()) {
                    EXPECT_GE(g.X, -1);
                    EXPECT_LE(g.X, drawn + 1);
                }
            }
        }
    }
}

TEST(PdfText, CffFacesAreEmbeddedAsThemselves)
{
    // Named by glyph ids, as an OpenType file; keyed by CIDs, which a reader
    // finds the glyphs by, as the CFF table alone.
    for (const bool cidKeyed : {false, true}) {
        const QString family = cidKeyed ? QStringLiteral("Tamsel Cid Test") : QStringLiteral("Tamsel Cff Test");
        const AppFont cff(fonttest::CffFont(family, cidKeyed));
        ASSERT_GE(cff.Id, 0);
        const QString text = QStringLiteral("ABC DEFGH");
        const QByteArray report = TextReport({text, QStringLiteral("HGF EDCBA")}, family);
        QTemporaryDir dir;
        const QString pdf = RenderToPdf(dir.path(), report);
        const ToolResult fonts = RunTool(QStringLiteral("pdffonts"), {pdf});
        ASSERT_EQ(fonts.Exit, 0) << fonts.Err.toStdString();
        const QStringList lines = fonts.Out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2);
        ASSERT_EQ(lines.size(), 1) << fonts.Out.toStdString();
        const QString kind = cidKeyed ? QStringLiteral("TamselCid-Regular +CID Type 0C")
                                      : QStringLiteral("TamselCff-Regular +CID Type 0C \\(OT\\)");
        EXPECT_TRUE(lines[0].contains(QRegularExpression(QStringLiteral("\\+%1 +Identity-H +yes yes yes").arg(kind))))
            << fonts.Out.toStdString();
        const ToolResult back = RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        EXPECT_TRUE(back.Out.split(QLatin1Char('\n')).contains(text)) << back.Out.toStdString();
        const ToolResult check = RunTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
        EXPECT_EQ(check.Exit, 0) << check.Out.toStdString() << check.Err.toStdString();
        ExpectAsPreview(report, pdf, 200);
    }
}
