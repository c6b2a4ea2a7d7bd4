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
#include <QGlyphRun>
#include <QTextLayout>
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
    // Right-to-left texts ending in a mark, beside Latin.
    QStringLiteral("Customer: \u0633\u0644\u0627\u0645\u064C"),      // Arabic, tanwin at the end
    QStringLiteral("Account: \u0643\u0650\u062A\u0627\u0628\u064F"), // Arabic, damma at the end
    QStringLiteral("Maldives \u078B\u07A8\u0788\u07AC\u0780\u07A8"), // Thaana
    QStringLiteral("Hebrew \u05DC\u05B0\u05DA\u05B8 abc"),           // Hebrew, qamats at the end
    QStringLiteral("Text \u05D0\u05B7\u05EA\u05BC\u05B0 12 \u05DC\u05B0\u05DA\u05B8"),
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
        QStringLiteral("\u0633\u0644\u0627\u0645\u064C"),
        QStringLiteral("\u0643\u0650\u062A\u0627\u0628\u064F abc"),
        QStringLiteral("\u078B\u07A8\u0788\u07AC\u0780\u07A8"),
        QStringLiteral("abc \u05D0\u05B7\u05EA\u05BC\u05B0"),
        QStringLiteral("\u05DC\u05B0\u05DA\u05B8 12 \u0633\u0644\u0627\u0645\u064C"),
    };
}

// Text as a reader compares it: the marks pdftotext puts around a
// right-to-left run dropped, accents composed.
QString Logical(const QString& text)
{
    static const QRegularExpression marks(QStringLiteral("[\u200E\u200F\u202A-\u202E\u2066-\u2069]"));
    return QString(text).remove(marks).normalized(QString::NormalizationForm_C);
}

// How often each text stands in a reader's text of the PDF (marks of
// direction dropped, accents composed).
int Occurrences(const QString& readerText, const QString& text)
{
    return int(Logical(readerText).count(Logical(text)));
}

ToolResult Poppler(const QString& pdf) { return RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}); }

ToolResult Mupdf(const QString& pdf)
{
    return RunTool(QStringLiteral("mutool"),
                   {QStringLiteral("draw"), QStringLiteral("-q"), QStringLiteral("-F"), QStringLiteral("txt"), pdf});
}

} // namespace

TEST(PdfText, ScriptsDrawAsThePreviewDrawsThem)
{
    const QByteArray report = TextReport(Scripts());
    QTemporaryDir dir;
    ExpectDrawnAsPreview(report, RenderToPdf(dir.path(), report), 500);
    // Bold where the face the system picks has it.
    const QByteArray bold = TextReport(Scripts(), QStringLiteral("Liberation Serif"), true);
    ExpectDrawnAsPreview(bold, RenderToPdf(dir.path(), bold), 500);
    const QByteArray rightToLeft = TextReport(RightToLeftTexts());
    ExpectDrawnAsPreview(rightToLeft, RenderToPdf(dir.path(), rightToLeft), 300);
}

namespace {

// Pages of rows of texts side by side, as the report's pages stand labels
// and values.
QByteArray RowReport(const std::vector<QStringList>& rows)
{
    return Record([&](TBaseReport& r) {
        TPagePainter& p = r.Painter();
        TPageFont font;
        font.Family = QStringLiteral("Liberation Sans");
        font.Size = 10;
        p.SetFont(font);
        double y = 0.75;
        for (const QStringList& row : rows) {
            for (qsizetype k = 0; k < row.size(); ++k) p.DrawText(QPointF(0.5 + 2.5 * double(k), y), row[k]);
            y += 0.3;
        }
    });
}

// A page that leans right to left: names, addresses with numbers, marks,
// ligatures, Latin labels beside them.
std::vector<QStringList> RightToLeftRows()
{
    return {
        {QStringLiteral("\u0627\u0644\u0645\u0627\u0644\u0643"),
         QStringLiteral("\u0645\u062D\u0645\u062F \u0639\u0628\u062F \u0627\u0644\u0644\u0647"),
         QStringLiteral("Owner")},
        {QStringLiteral("\u0627\u0644\u0639\u0646\u0648\u0627\u0646"),
         QStringLiteral("\u0634\u0627\u0631\u0639 \u0627\u0644\u0645\u0644\u0643 \u0641\u0647\u062F 1234"),
         QStringLiteral("Address")},
        {QStringLiteral("\u0627\u0644\u0633\u0639\u0631"), QStringLiteral("450,000 \u0631\u064A\u0627\u0644"),
         QStringLiteral("Price")},
        {QStringLiteral("\u0627\u0644\u063A\u0631\u0641"),
         QStringLiteral("4 \u063A\u0631\u0641 \u0648 3 \u062D\u0645\u0627\u0645\u0627\u062A"), QStringLiteral("Rooms")},
        {QStringLiteral("\u05E8\u05D7\u05D5\u05D1 \u05D4\u05E8\u05E6\u05DC 12, \u05EA\u05DC \u05D0\u05D1\u05D9\u05D1"),
         QStringLiteral("Tel Aviv")},
        {QStringLiteral("\u0639\u062F\u062F \u0627\u0644\u063A\u0631\u0641 \u0664 "
                        "\u0648\u062D\u0645\u0627\u0645\u0627\u062A \u0663"),
         QStringLiteral("\u0627\u0644\u0645\u0633\u0627\u062D\u0629 350 \u0645\u00B2")},
        {QStringLiteral("\u0645\u064F\u062D\u064E\u0645\u064E\u0651\u062F"),
         QStringLiteral("\u0628\u0650\u0633\u0652\u0645\u0650 \u0627\u0644\u0644\u064E\u0651\u0647\u0650"),
         QStringLiteral("\u0644\u0627 \u0625\u0644\u0647")},
        {QStringLiteral("\u05E9\u05B8\u05C1\u05DC\u05D5\u05B9\u05DD"),
         QStringLiteral("\u05DE\u05D7\u05D9\u05E8: 1,250,000 \u20AA")},
        {QStringLiteral("\u0643\u0650\u062A\u0627\u0628\u064C"), QStringLiteral("\u05D0\u05B7\u05EA\u05BC\u05B0"),
         QStringLiteral("\u078B\u07A8\u0788\u07AC\u0780\u07A8 12")},
        {QStringLiteral("\u062A\u0627\u0631\u064A\u062E \u0627\u0644\u0628\u064A\u0639"), QStringLiteral("2024/05/12"),
         QStringLiteral("Date")},
    };
}

// A page that leans left to right, right-to-left names inside and beside
// its texts.
std::vector<QStringList> MixedRows()
{
    return {
        {QStringLiteral("Customer: \u0645\u062D\u0645\u062F \u0633\u0644\u0627\u0645"),
         QStringLiteral("Phone 555-1234")},
        {QStringLiteral("Mixed \u05E9\u05DC\u05D5\u05DD 123 abc"), QStringLiteral("Owner of record")},
        {QStringLiteral("Seller"),
         QStringLiteral("\u0641\u0627\u0637\u0645\u0629 \u0627\u0644\u0632\u0647\u0631\u0627\u0621")},
        {QStringLiteral("Buyer"), QStringLiteral("\u05D9\u05D5\u05E1\u05E3 \u05DB\u05D4\u05DF 2")},
        {QStringLiteral("Agent"), QStringLiteral("\u0633\u0644\u0627\u0645\u064C"),
         QStringLiteral("\u078B\u07A8\u0788\u07AC\u0780\u07A8")},
        {QStringLiteral("Subject property at 1200 Main Street, Springfield")},
        {QStringLiteral("Assessed value 412,000 for the year 2025")},
    };
}

} // namespace

TEST(PdfText, TheTextLayerGivesTheCharactersBackInTheirOrder)
{
    QTemporaryDir dir;
    // Every text as a reader gives it back, poppler's and mupdf's alike.
    // mupdf reads no ActualText, so not the characters no face has.
    static const QRegularExpression noFace(QStringLiteral("[\uE000-\uF8FF]"));
    // A text alone on its line is the whole line.
    const auto expectLogical = [&](const QByteArray& report, const QStringList& texts, bool alone) {
        const QString pdf = RenderToPdf(dir.path(), report);
        for (const bool mupdf : {false, true}) {
            const ToolResult text = mupdf ? Mupdf(pdf) : Poppler(pdf);
            ASSERT_EQ(text.Exit, 0) << text.Err.toStdString();
            QStringList lines = Logical(text.Out).split(QLatin1Char('\n'));
            for (QString& line : lines) line = line.trimmed();
            for (const QString& expected : texts) {
                if (mupdf && expected.contains(noFace)) continue;
                EXPECT_TRUE(alone ? lines.contains(Logical(expected)) : Occurrences(text.Out, expected) >= 1)
                    << (mupdf ? "mupdf: " : "poppler: ") << expected.toStdString() << "\n"
                    << text.Out.toStdString();
            }
        }
        const ToolResult check = RunTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
        EXPECT_EQ(check.Exit, 0) << check.Out.toStdString() << check.Err.toStdString();
    };
    // A page of mostly left-to-right text, and one of mostly right-to-left
    // text, which readers turn the other way.
    expectLogical(TextReport(Scripts()), Scripts(), true);
    expectLogical(TextReport(RightToLeftTexts()), RightToLeftTexts(), true);
    // Texts side by side on pages of either leaning.
    for (const std::vector<QStringList>& rows : {RightToLeftRows(), MixedRows()}) {
        QStringList texts;
        for (const QStringList& row : rows) texts << row;
        expectLogical(RowReport(rows), texts, false);
    }
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
        ExpectDrawnAsPreview(report, pdf, 200);
    }
}

namespace {

// The glyphs of text as the preview's painter lays it out: one line of the
// whole text in its own direction. Sorted by place, then id.
struct PlacedGlyph {
    quint32 Id;
    double X, Y;
};

std::vector<PlacedGlyph> WholeLine(const QFont& font, const QString& text)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setTextDirection(text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setNumColumns(int(text.size()));
    layout.endLayout();
    std::vector<PlacedGlyph> glyphs;
    const double baseline = line.y() + line.ascent();
    for (const QGlyphRun& run : line.glyphRuns()) {
        const QList<quint32> ids = run.glyphIndexes();
        const QList<QPointF> places = run.positions();
        for (qsizetype k = 0; k < ids.size(); ++k) glyphs.push_back({ids[k], places[k].x(), places[k].y() - baseline});
    }
    return glyphs;
}

std::vector<PlacedGlyph> Sorted(std::vector<PlacedGlyph> glyphs)
{
    std::sort(glyphs.begin(), glyphs.end(), [](const PlacedGlyph& a, const PlacedGlyph& b) {
        if (std::fabs(a.X - b.X) > 1e-3) return a.X < b.X;
        return a.Id < b.Id;
    });
    return glyphs;
}

// Each glyph the preview draws, drawn once by the layout at the same place.
void ExpectDrawnOnceAsThePreview(PdfFonts& fonts, PdfTextLayout& layout, const TPageFont& page, const QString& text)
{
    const PdfFonts::TextFont& font = fonts.Font(page);
    layout.Shape(font, text);
    std::vector<PlacedGlyph> ours;
    for (const PdfTextLayout::Glyph& g : layout.Glyphs()) ours.push_back({g.Id, g.X, g.Y});
    ours = Sorted(ours);
    const std::vector<PlacedGlyph> preview = Sorted(WholeLine(font.Font, text));
    ASSERT_EQ(ours.size(), preview.size()) << text.toStdString();
    int apart = 0;
    for (size_t i = 0; i < ours.size(); ++i)
        apart += ours[i].Id != preview[i].Id || std::fabs(ours[i].X - preview[i].X) > 0.02 ||
            std::fabs(ours[i].Y - preview[i].Y) > 0.02;
    EXPECT_EQ(apart, 0) << text.toStdString();
}

// Clusters of several characters drawn as several glyphs, marks reordered
// before their base, a vowel split in two.
const QString ClusterWords[] = {
    QStringLiteral("\u0926\u0947\u0935\u0928\u093E\u0917\u0930\u0940"), // देवनागरी
    QStringLiteral("\u0915\u093F\u0924\u093E\u092C"),                   // किताब
    QStringLiteral("\u0939\u093F\u0928\u094D\u0926\u0940"),             // हिन्दी
    QStringLiteral("\u0E2A\u0E21\u0E0A\u0E32\u0E22\u0E48"),             // สมชาย่
    QStringLiteral("\u0E1C\u0E39\u0E49\u0E43\u0E2B\u0E0D\u0E48"),       // ผู้ใหญ่
    QStringLiteral("a\u0327\u0308b"),                                   // two marks
    QStringLiteral("\u0645\u064F\u062D\u064E\u0645\u064E\u0651\u062F"), // مُحَمَّد
    QStringLiteral("\u05E9\u05B8\u05C1\u05DC\u05D5\u05B9\u05DD"),       // שָׁלוֹם
};

} // namespace

TEST(PdfText, EachGlyphOfAClusterIsDrawnOnceAndTheClusterCopiesWhole)
{
    PdfDocument document;
    PdfFonts fonts(document);
    PdfTextLayout layout(fonts);
    const TPageFont page = PageFont(QStringLiteral("Liberation Sans"), false, false, 16);
    for (const QString& word : ClusterWords) ExpectDrawnOnceAsThePreview(fonts, layout, page, word);

    // Every time a word stands on the page, the reader finds it.
    QStringList lines;
    for (const QString& word : ClusterWords) lines << QStringList(4, word).join(QLatin1Char(' '));
    for (const QString& word : ClusterWords) lines << QStringLiteral("%1 %1, %1").arg(word);
    const QByteArray report = TextReport(lines);
    QTemporaryDir dir;
    const QString pdf = RenderToPdf(dir.path(), report);
    ExpectDrawnAsPreview(report, pdf, 500);
    const ToolResult text = Poppler(pdf);
    ASSERT_EQ(text.Exit, 0) << text.Err.toStdString();
    for (const QString& word : ClusterWords) EXPECT_EQ(Occurrences(text.Out, word), 7) << word.toStdString();
}

TEST(PdfText, LongRightToLeftParagraphsDrawAndCopyInTheirOrder)
{
    // A legal description of some 450 characters, its numbers inside.
    const QString description = QStringLiteral(
        "\u0642\u0637\u0639\u0629 \u0627\u0644\u0623\u0631\u0636 \u0631\u0642\u0645 1234 \u0645\u0646 "
        "\u0627\u0644\u0645\u062E\u0637\u0637 "
        "\u0631\u0642\u0645 567 \u0627\u0644\u0648\u0627\u0642\u0639\u0629 \u0641\u064A \u062D\u064A "
        "\u0627\u0644\u0646\u0632\u0647\u0629 "
        "\u0628\u0645\u062F\u064A\u0646\u0629 \u0627\u0644\u0631\u064A\u0627\u0636\u060C "
        "\u064A\u062D\u062F\u0647\u0627 "
        "\u0634\u0645\u0627\u0644\u0627\u064B \u0634\u0627\u0631\u0639 \u0639\u0631\u0636 20 "
        "\u0645\u062A\u0631\u0627\u064B "
        "\u0628\u0637\u0648\u0644 30 \u0645\u062A\u0631\u0627\u064B\u060C \u0648\u062C\u0646\u0648\u0628\u0627\u064B "
        "\u062C\u0627\u0631 "
        "\u0628\u0637\u0648\u0644 30 \u0645\u062A\u0631\u0627\u064B\u060C \u0648\u0634\u0631\u0642\u0627\u064B "
        "\u0645\u0645\u0631 "
        "\u0645\u0634\u0627\u0629 \u0639\u0631\u0636 6 \u0623\u0645\u062A\u0627\u0631 \u0628\u0637\u0648\u0644 25 "
        "\u0645\u062A\u0631\u0627\u064B\u060C \u0648\u063A\u0631\u0628\u0627\u064B \u062C\u0627\u0631 "
        "\u0628\u0637\u0648\u0644 25 "
        "\u0645\u062A\u0631\u0627\u064B\u060C \u0648\u0645\u0633\u0627\u062D\u062A\u0647\u0627 "
        "\u0627\u0644\u0625\u062C\u0645\u0627\u0644\u064A\u0629 "
        "750 \u0645\u062A\u0631\u0627\u064B \u0645\u0631\u0628\u0639\u0627\u064B\u060C \u0628\u0645\u0648\u062C\u0628 "
        "\u0627\u0644\u0635\u0643 \u0631\u0642\u0645 9876543 \u0648\u062A\u0627\u0631\u064A\u062E 1445/03/15\u060C "
        "\u0648\u0647\u064A \u0645\u062E\u0635\u0635\u0629 \u0644\u0644\u0627\u0633\u062A\u062E\u062F\u0627\u0645 "
        "\u0627\u0644\u0633\u0643\u0646\u064A \u0648\u0641\u0642 \u0627\u0634\u062A\u0631\u0627\u0637\u0627\u062A "
        "\u0627\u0644\u0628\u0644\u062F\u064A\u0629\u060C \u0648\u0644\u0627 \u064A\u062C\u0648\u0632 "
        "\u0627\u0644\u0628\u0646\u0627\u0621 "
        "\u0639\u0644\u064A\u0647\u0627 \u0625\u0644\u0627 \u0628\u0639\u062F \u0627\u0644\u062D\u0635\u0648\u0644 "
        "\u0639\u0644\u0649 \u0631\u062E\u0635\u0629 \u0628\u0646\u0627\u0621 \u0633\u0627\u0631\u064A\u0629 "
        "\u0627\u0644\u0645\u0641\u0639\u0648\u0644.");
    ASSERT_GT(description.size(), 400);
    const QString hebrew =
        QStringLiteral("\u05D4\u05DE\u05D2\u05E8\u05E9 \u05D1\u05D2\u05D5\u05E9 6789 \u05D7\u05DC\u05E7\u05D4 12, ")
            .repeated(14);

    // Drawn where the preview draws it, the text of a few thousand
    // characters too.
    PdfDocument document;
    PdfFonts fonts(document);
    PdfTextLayout layout(fonts);
    const TPageFont page = PageFont(QStringLiteral("Liberation Sans"), false, false, 3);
    for (const QString& text : {description, hebrew, description + QLatin1Char(' ') + description.repeated(5)})
        ExpectDrawnOnceAsThePreview(fonts, layout, page, text);

    // Copied in the order of its sentences.
    const QByteArray report = Record([&](TBaseReport& r) {
        TPagePainter& p = r.Painter();
        p.SetFont(page);
        p.DrawText(QPointF(0.3, 1), description);
        p.DrawText(QPointF(0.3, 1.5), hebrew);
    });
    QTemporaryDir dir;
    const QString pdf = RenderToPdf(dir.path(), report);
    ExpectDrawnAsPreview(report, pdf, 200);
    for (const bool mupdf : {false, true}) {
        const ToolResult text = mupdf ? Mupdf(pdf) : Poppler(pdf);
        ASSERT_EQ(text.Exit, 0) << text.Err.toStdString();
        EXPECT_EQ(Occurrences(text.Out, description), 1) << mupdf << "\n" << text.Out.toStdString();
        EXPECT_EQ(Occurrences(text.Out, hebrew.trimmed()), 1) << mupdf << "\n" << text.Out.toStdString();
    }
}

namespace {

// The lines of a reader's text, marks of direction dropped, accents
// composed, blanks around them trimmed.
QStringList ReaderLines(const QString& text)
{
    QStringList lines = Logical(text).split(QLatin1Char('\n'));
    for (QString& line : lines) line = line.trimmed();
    return lines;
}

// The first page as mupdf draws it against the preview's, as
// ExpectDrawnAsPreview compares them: glyphs drawn under codes of their own are
// drawn as their glyphs there too.
void ExpectMupdfDrawsAsPreview(const QByteArray& report, const QString& pdf, int minInked)
{
    QTemporaryDir dir;
    const int dpi = 144;
    const QString png = dir.filePath(QStringLiteral("mupdf.png"));
    const ToolResult r = RunTool(QStringLiteral("mutool"),
                                 {QStringLiteral("draw"), QStringLiteral("-q"), QStringLiteral("-r"),
                                  QString::number(dpi), QStringLiteral("-o"), png, pdf, QStringLiteral("1")});
    ASSERT_EQ(r.Exit, 0) << r.Err.toStdString();
    ExpectPageAsPreview(QImage(png).convertToFormat(QImage::Format_RGB32), report, dpi, minInked);
}

// The glyphs of a text drawn under codes not their own.
int GlyphsUnderOtherCodes(PdfTextLayout& layout, const PdfFonts::TextFont& font, const QString& text)
{
    layout.Lay(font, text);
    return int(std::count_if(layout.Glyphs().begin(), layout.Glyphs().end(),
                             [](const PdfTextLayout::Glyph& g) { return g.Code >= 0; }));
}

} // namespace

TEST(PdfText, ClustersDrawnOutOfTheOrderOfTheirCharactersReadInOrderInEveryReader)
{
    // Vowel signs drawn before their consonant, in two parts around it, a
    // reph drawn after the consonant it stands before.
    const QStringList words = {
        QStringLiteral("\u0915\u093F\u0924\u093E\u092C"),                                // किताब
        QStringLiteral("\u0939\u093F\u0928\u094D\u0926\u0940"),                          // हिन्दी
        QStringLiteral("\u0930\u093E\u091C\u0947\u0936 \u0936\u0930\u094D\u092E\u093E"), // राजेश शर्मा
        QStringLiteral("\u0995\u09CB\u09A5\u09BE\u09AF\u09BC"),                          // কোথায়
        QStringLiteral("\u0995\u09CC\u09B6\u09B2"),                                      // কৌশল
        QStringLiteral("\u0BA4\u0BCA\u0B9F\u0BB0\u0BCD"),                                // தொடர்
        QStringLiteral("\u0B95\u0BBE\u0BB0\u0BCD\u0BA4\u0BCD\u0BA4\u0BBF\u0B95\u0BCD"), // கார்த்திக்
        QStringLiteral("\u0BAE\u0BB2\u0BC8\u0BAF\u0BBE\u0BB3\u0BAE\u0BCD"),             // மலையாளம்
        QStringLiteral("\u0D15\u0D4A\u0D32\u0D4D\u0D32\u0D02"),                         // കൊല്ലം
        QStringLiteral("\u0967\u0968 \u0917\u093E\u0902\u0927\u0940 \u092E\u093E\u0930\u094D\u0917"), // १२ गांधी मार्ग
    };
    QStringList lines;
    for (const QString& word : words) lines << QStringLiteral("%1 %1, %1").arg(word);
    const QByteArray report = TextReport(lines);
    QTemporaryDir dir;
    const QString pdf = RenderToPdf(dir.path(), report);
    ExpectDrawnAsPreview(report, pdf, 300);
    ExpectMupdfDrawsAsPreview(report, pdf, 300);
    for (const bool mupdf : {false, true}) {
        const ToolResult text = mupdf ? Mupdf(pdf) : Poppler(pdf);
        ASSERT_EQ(text.Exit, 0) << text.Err.toStdString();
        const QStringList read = ReaderLines(text.Out);
        for (const QString& line : lines)
            EXPECT_TRUE(read.contains(Logical(line))) << (mupdf ? "mupdf: " : "poppler: ") << line.toStdString() << "\n"
                                                      << text.Out.toStdString();
    }

    // Clusters whose glyphs stand in the order of their characters keep
    // their glyphs' own codes.
    PdfDocument document;
    PdfFonts fonts(document);
    PdfTextLayout layout(fonts);
    const PdfFonts::TextFont& font = fonts.Font(PageFont(QStringLiteral("Liberation Sans"), false, false, 16));
    for (const QString& text : {QStringLiteral("Cafe\u0301 Zu\u0308rich a\u0327\u0308b"),
                                QStringLiteral("\u0926\u0947\u0935\u0928\u093E\u0917\u0930\u0940"),
                                QStringLiteral("\u0E1C\u0E39\u0E49\u0E43\u0E2B\u0E0D\u0E48")})
        EXPECT_EQ(GlyphsUnderOtherCodes(layout, font, text), 0) << text.toStdString();
    EXPECT_EQ(GlyphsUnderOtherCodes(layout, font, words[0]), 2) << "the vowel sign and its consonant";
}

TEST(PdfText, RightToLeftTextsWithLatinInsideStayWholeOnTheirLineInEveryReader)
{
    const QStringList mixed = {
        QStringLiteral("\u0641\u0627\u0637\u0645\u0629 \u0627\u0644\u0632\u0647\u0631\u0627\u0621 (Agent)"),
        QStringLiteral("\u05E9\u05DC\u05D5\u05DD: \u05E2\u05D5\u05DC\u05DD (abc) 12%"),
        QStringLiteral("\u05E9\u05DC\u05D5\u05DD abc \u05E2\u05D5\u05DC\u05DD"),
        QStringLiteral("123 \u05E9\u05DC\u05D5\u05DD"),
        QStringLiteral("Agent \u0641\u0627\u0637\u0645\u0629Smith"),
    };
    QTemporaryDir dir;
    const auto expectWholeLines = [&](const QStringList& texts) {
        const QByteArray report = TextReport(texts);
        const QString pdf = RenderToPdf(dir.path(), report);
        ExpectDrawnAsPreview(report, pdf, 200);
        ExpectMupdfDrawsAsPreview(report, pdf, 200);
        for (const bool mupdf : {false, true}) {
            const ToolResult text = mupdf ? Mupdf(pdf) : Poppler(pdf);
            ASSERT_EQ(text.Exit, 0) << text.Err.toStdString();
            const QStringList read = ReaderLines(text.Out);
            for (const QString& expected : texts)
                EXPECT_TRUE(read.contains(Logical(expected)))
                    << (mupdf ? "mupdf: " : "poppler: ") << expected.toStdString() << "\n"
                    << text.Out.toStdString();
        }
    };
    // A page readers take for right to left, and one they take for left to
    // right.
    expectWholeLines(mixed);
    expectWholeLines(mixed +
                     QStringList{QStringLiteral("Subject property at 1200 Main Street, Springfield"),
                                 QStringLiteral("Assessed value 412,000 for the year 2025 and more")});

    // Plain Latin and right-to-left text without Latin inside keep their
    // glyphs' own codes; the Latin run inside a right-to-left text draws
    // its first glyph and the one after it under codes of their own.
    PdfDocument document;
    PdfFonts fonts(document);
    PdfTextLayout layout(fonts);
    const PdfFonts::TextFont& font = fonts.Font(PageFont(QStringLiteral("Liberation Sans"), false, false, 16));
    for (const QString& text : {QStringLiteral("Subject property (at 1200 Main Street)"),
                                QStringLiteral("Customer: \u0645\u062D\u0645\u062F"),
                                QStringLiteral("\u05DE\u05D7\u05D9\u05E8 450,000 \u05E9\u05F4\u05D7"),
                                QStringLiteral("\u0639\u062F\u062F \u0664\u0662 \u063A\u0631\u0641.")})
        EXPECT_EQ(GlyphsUnderOtherCodes(layout, font, text), 0) << text.toStdString();
    EXPECT_EQ(GlyphsUnderOtherCodes(layout, font, mixed[0]), 2);
}
