// The PDF writer's font faces, read and cut by HarfBuzz: widths as the face
// states them, the map back to the characters (a glyph stands for the
// characters it first stood for, the missing glyph for none), the
// descriptor, the subset read back by Qt with the used outlines (and their
// components) only, TrueType and CFF alike, and faces without outlines or
// damaged refused or bounded without a crash; in the written PDF, every
// script drawn from the face the preview draws it with, and characters no
// installed face has as the preview draws them.

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
#include <QPainterPath>
#include <QRawFont>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fonttest;
using namespace outputtest;

namespace {

const QString Sans = QStringLiteral("Liberation Sans");
const QString Serif = QStringLiteral("Liberation Serif");
const QString Mono = QStringLiteral("Liberation Mono");

// Qt's face for a report font at a pixel size.
QRawFont Raw(const QString& family, bool bold = false, bool italic = false, int pixelSize = 2048)
{
    TPageFont page;
    page.Family = family;
    page.Bold = bold;
    page.Italic = italic;
    QFont f = ReportFonts::QtFont(page);
    f.setPixelSize(pixelSize);
    return QRawFont::fromFont(f);
}

std::unique_ptr<PdfFont> Open(const QString& family, bool bold = false, bool italic = false)
{
    return PdfFont::Open(Raw(family, bold, italic));
}

// The face of a font file's bytes, as Qt hands it out.
std::unique_ptr<PdfFont> Open(const QByteArray& file) { return PdfFont::Open(QRawFont(file, 2048)); }

// Every table of the face, as a file is made of them.
QMap<QByteArray, QByteArray> Tables(const QString& family)
{
    const QRawFont raw = Raw(family);
    QMap<QByteArray, QByteArray> tables;
    for (const char* tag : {"head", "hhea", "hmtx", "maxp", "loca", "glyf", "cmap", "kern", "post", "OS/2", "name",
                            "cvt ", "fpgm", "prep", "GDEF", "GPOS", "GSUB", "gasp"}) {
        const QByteArray t = raw.fontTable(tag);
        if (!t.isEmpty()) tables.insert(tag, t);
    }
    return tables;
}

quint16 GlyphOf(const QString& family, char32_t c)
{
    quint32 id = 0;
    int count = 1;
    const QString s = QString::fromUcs4(&c, 1);
    Raw(family).glyphIndexesForChars(s.constData(), int(s.size()), &id, &count);
    return quint16(id);
}

// The glyph → characters entries of a ToUnicode program, and the size of
// each block of them.
QHash<int, QString> ReadToUnicode(const QByteArray& cmap, QList<int>* blocks = nullptr)
{
    QHash<int, QString> map;
    const QString text = QString::fromLatin1(cmap.mid(cmap.indexOf("endcodespacerange")));
    static const QRegularExpression entry(QStringLiteral("^<([0-9A-F]{4})> <([0-9A-F]+)>$"),
                                          QRegularExpression::MultilineOption);
    for (auto it = entry.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        QString chars;
        const QString hex = m.captured(2);
        for (qsizetype i = 0; i + 4 <= hex.size(); i += 4) chars += QChar(char16_t(hex.mid(i, 4).toUInt(nullptr, 16)));
        map.insert(m.captured(1).toInt(nullptr, 16), chars);
    }
    static const QRegularExpression block(QStringLiteral("^(\\d+) beginbfchar$"), QRegularExpression::MultilineOption);
    if (blocks)
        for (auto it = block.globalMatch(text); it.hasNext();) blocks->append(it.next().captured(1).toInt());
    return map;
}

// The table of a font file by its tag.
QByteArray TableOf(const QByteArray& file, const char* tag)
{
    const int count = Get16(file, 4);
    for (int i = 0; i < count; ++i) {
        const qsizetype rec = 12 + i * 16;
        if (file.mid(rec, 4) == tag) return file.mid(Get32(file, rec + 8), Get32(file, rec + 12));
    }
    return {};
}

} // namespace

TEST(PdfFont, WidthsAreTheFacesAdvancesForEveryStyle)
{
    const QString text = QStringLiteral("AVAILABLE Type, To WAVE Yard. \u00E9\u00FC");
    for (const QString& family : {Sans, Serif, Mono}) {
        for (const bool bold : {false, true}) {
            for (const bool italic : {false, true}) {
                const QRawFont raw = Raw(family, bold, italic, 1000);
                const auto font = PdfFont::Open(raw);
                ASSERT_NE(font, nullptr) << family.toStdString();
                EXPECT_EQ(font->OutlineKind(), PdfFont::TrueTypeOutlines);
                EXPECT_EQ(font->GlyphCount(), Get16(raw.fontTable("maxp"), 4));
                std::vector<quint32> ids(size_t(text.size()));
                std::vector<QPointF> advances(ids.size());
                int count = int(ids.size());
                ASSERT_TRUE(raw.glyphIndexesForChars(text.constData(), int(text.size()), ids.data(), &count));
                ASSERT_TRUE(
                    raw.advancesForGlyphIndexes(ids.data(), advances.data(), count, QRawFont::UseDesignMetrics));
                for (int i = 0; i < count; ++i)
                    EXPECT_NEAR(font->GlyphWidth(quint16(ids[size_t(i)])), advances[size_t(i)].x(), 0.05)
                        << family.toStdString() << bold << italic << " " << i;
            }
        }
    }
}

TEST(PdfFont, AGlyphStandsForTheCharactersItFirstStoodForAndTheMissingOneForNone)
{
    const auto sans = Open(Sans);
    EXPECT_FALSE(sans->Used());
    const quint16 a = GlyphOf(Sans, 'a'), b = GlyphOf(Sans, 'b'), c = GlyphOf(Sans, 'c');
    EXPECT_TRUE(sans->Use(a, u"a"));
    EXPECT_TRUE(sans->Used());
    EXPECT_TRUE(sans->Use(a, u"a"));
    EXPECT_FALSE(sans->Use(a, u"x")) << "a glyph that stood for other characters";
    EXPECT_TRUE(sans->Use(b, u"fi")) << "a ligature stands for its characters";
    EXPECT_TRUE(sans->Use(b, u"fi"));
    EXPECT_FALSE(sans->Use(b, u"f"));
    EXPECT_FALSE(sans->Use(0, u"\u6771"));
    EXPECT_FALSE(sans->Use(0, u"\u4EAC"));
    sans->UseInCluster(c, {});
    sans->UseInCluster(c, u"\u0301");
    EXPECT_TRUE(sans->Use(c, u"\u0301")) << "its own once given in a cluster";
    EXPECT_FALSE(sans->Use(quint16(sans->GlyphCount()), u"z")) << "past the face";

    const QHash<int, QString> map = ReadToUnicode(sans->ToUnicode());
    EXPECT_EQ(map.value(a), QStringLiteral("a"));
    EXPECT_EQ(map.value(b), QStringLiteral("fi"));
    EXPECT_EQ(map.value(c), QStringLiteral("\u0301"));
    EXPECT_FALSE(map.contains(0)) << "the missing glyph copies as no character";
    EXPECT_EQ(map.size(), 3);

    // Surrogate pairs and blocks of a hundred.
    const auto other = Open(Sans);
    for (int g = 1; g <= 250; ++g) other->Use(quint16(g), QString(QChar(char16_t(0x4E00 + g))));
    other->Use(251, u"\U0001F600");
    QList<int> blocks;
    const QHash<int, QString> many = ReadToUnicode(other->ToUnicode(), &blocks);
    EXPECT_EQ(many.size(), 251);
    EXPECT_EQ(blocks, (QList<int>{100, 100, 51}));
    EXPECT_EQ(many.value(251), QStringLiteral("\U0001F600"));
    EXPECT_TRUE(other->ToUnicode().contains("1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange"));
}

TEST(PdfFont, MetricsAndDescriptorAreTheFacesOwn)
{
    const auto sans = Open(Sans);
    sans->Use(GlyphOf(Sans, 'H'), u"H");
    EXPECT_TRUE(sans->DescriptorEntries().startsWith("/Flags 32 /FontBBox [")) << sans->DescriptorEntries().data();
    EXPECT_TRUE(sans->DescriptorEntries().contains(" /ItalicAngle 0 /Ascent 905 /Descent -212 /CapHeight "))
        << sans->DescriptorEntries().data();
    EXPECT_TRUE(Open(Sans, false, true)->DescriptorEntries().startsWith("/Flags 96 "));
    EXPECT_TRUE(Open(Sans, false, true)->DescriptorEntries().contains("/ItalicAngle -12"));
    EXPECT_TRUE(Open(Serif, true, false)->DescriptorEntries().startsWith("/Flags 34 "));
    EXPECT_TRUE(Open(Mono)->DescriptorEntries().startsWith("/Flags 33 "));
    const QRegularExpression entries(QStringLiteral(
        "^/Flags \\d+ /FontBBox \\[-?\\d+ -?\\d+ \\d+ \\d+\\] /ItalicAngle -?[\\d.]+ /Ascent \\d+ /Descent -\\d+ "
        "/CapHeight \\d+ /StemV \\d+$"));
    for (const QString& family : {Sans, Serif, Mono})
        EXPECT_TRUE(entries.match(QString::fromLatin1(Open(family)->DescriptorEntries())).hasMatch());
    // The box holds the glyphs used: "W" reaches further right than "H".
    const auto right = [](const PdfFont& f) {
        const QStringList box =
            QString::fromLatin1(f.DescriptorEntries()).section(u'[', 1).section(u']', 0, 0).split(u' ');
        return box.size() == 4 ? box[2].toInt() : -1;
    };
    const auto wide = Open(Sans);
    wide->Use(GlyphOf(Sans, 'W'), u"W");
    EXPECT_GT(right(*wide), right(*sans) + 200);
}

TEST(PdfFont, WidthsListTheUsedGlyphsInRunsOfConsecutiveIds)
{
    const auto sans = Open(Sans);
    EXPECT_EQ(sans->Widths(), "[]");
    const quint16 a = GlyphOf(Sans, 'A'), b = GlyphOf(Sans, 'B'), i = GlyphOf(Sans, 'i');
    ASSERT_EQ(b, a + 1);
    ASSERT_GT(i, b + 1);
    for (const auto& [g, c] : {std::pair{a, u"A"}, {b, u"B"}, {a, u"A"}, {i, u"i"}}) sans->Use(g, c);
    auto w = [&](quint16 g) { return QByteArray::number(qRound(sans->GlyphWidth(g) * 10) / 10.0); };
    EXPECT_EQ(sans->Widths(),
              "[" + QByteArray::number(a) + " [" + w(a) + ' ' + w(b) + "] " + QByteArray::number(i) + " [" + w(i) +
                  "]]");
    EXPECT_EQ(w(a), "667");
}

TEST(PdfFont, BaseFontIsATagOfTheUsedGlyphsAndTheSanitizedPostScriptName)
{
    const QRegularExpression form(QStringLiteral("^[A-Z]{6}\\+[A-Za-z0-9-]+$"));
    const auto sans = Open(Sans), other = Open(Sans);
    for (PdfFont* f : {sans.get(), other.get()}) f->Use(GlyphOf(Sans, 'T'), u"T");
    EXPECT_TRUE(sans->BaseFont().endsWith("+LiberationSans"));
    EXPECT_TRUE(form.match(QString::fromLatin1(sans->BaseFont())).hasMatch());
    EXPECT_EQ(sans->BaseFont(), other->BaseFont());
    other->Use(GlyphOf(Sans, 'x'), u"x");
    EXPECT_NE(sans->BaseFont().left(6), other->BaseFont().left(6));
    EXPECT_TRUE(Open(Serif, true, false)->BaseFont().endsWith("+LiberationSerif-Bold"));

    // A hostile name cannot end the name or open a dictionary.
    auto tables = Tables(Sans);
    tables["name"] = NameTable(QStringLiteral("Evil"), QStringLiteral("Evil) /Bad <<Name>>\n#20%\u00E9-1"));
    const auto evil = Open(Sfnt(tables));
    ASSERT_NE(evil, nullptr);
    EXPECT_EQ(evil->BaseFont().mid(7), "EvilBadName20-1");
    // No PostScript name: the family and style Qt names the face by; no
    // names at all: a name still.
    tables["name"] = NameTable(QStringLiteral("Liberation Sans"), QString(), QStringLiteral("Bold"));
    EXPECT_EQ(Open(Sfnt(tables))->BaseFont().mid(7), "LiberationSans-Bold");
    tables.remove("name");
    EXPECT_EQ(Open(Sfnt(tables))->BaseFont().mid(7), "Font");
    tables["name"] = NameTable(QStringLiteral("Long"), QString(500, QLatin1Char('x')));
    EXPECT_LE(Open(Sfnt(tables))->BaseFont().size(), 7 + 63);
}

TEST(PdfFont, TheSubsetKeepsTheUsedOutlinesAndTheirComponentsUnderTheirIdsWithoutHinting)
{
    const auto sans = Open(Sans);
    const quint16 h = GlyphOf(Sans, 'H'), eAcute = GlyphOf(Sans, U'\u00E9'), e = GlyphOf(Sans, 'e');
    const quint16 z = GlyphOf(Sans, 'Z');
    sans->Use(h, u"H");
    sans->Use(eAcute, u"\u00E9");
    // é is made of e and the accent.
    const auto tables = Tables(Sans);
    const bool longLoca = Get16(tables["head"], 50) == 1;
    const quint32 at = longLoca ? Get32(tables["loca"], eAcute * 4) : Get16(tables["loca"], eAcute * 2) * 2u;
    ASSERT_LT(qint16(Get16(tables["glyf"], at)), 0) << "not a composite glyph";

    const QByteArray file = sans->SubsetFile();
    ASSERT_FALSE(file.isEmpty());
    EXPECT_EQ(Get32(file, 0), 0x00010000u);
    EXPECT_LT(file.size(), tables["glyf"].size() / 10);
    for (const char* tag : {"fpgm", "prep", "cvt ", "name", "cmap", "GSUB", "GPOS", "kern"})
        EXPECT_TRUE(TableOf(file, tag).isEmpty()) << tag;

    const QRawFont original = Raw(Sans);
    const QRawFont subset(file, 2048, QFont::PreferNoHinting);
    ASSERT_TRUE(subset.isValid());
    for (const quint16 g : {h, eAcute, e, quint16(0)}) {
        EXPECT_FALSE(subset.pathForGlyph(g).isEmpty()) << g;
        EXPECT_EQ(subset.pathForGlyph(g), original.pathForGlyph(g)) << g;
    }
    EXPECT_FALSE(original.pathForGlyph(z).isEmpty());
    EXPECT_TRUE(subset.pathForGlyph(z).isEmpty());
}

TEST(PdfFont, CffFacesAreReadAndCutAsCff)
{
    const QByteArray otf = CffFont(QStringLiteral("Tamsel Cff Face"));
    const auto cff = Open(otf);
    ASSERT_NE(cff, nullptr);
    EXPECT_EQ(cff->OutlineKind(), PdfFont::CffOutlines);
    EXPECT_EQ(cff->GlyphCount(), 10);
    EXPECT_TRUE(cff->BaseFont().endsWith("+TamselCff-Regular"));
    EXPECT_FLOAT_EQ(cff->GlyphWidth(4), float(CffAdvance(4)));
    cff->Use(4, u"C");
    const QByteArray file = cff->SubsetFile();
    ASSERT_FALSE(file.isEmpty());
    EXPECT_EQ(file.left(4), "OTTO");
    EXPECT_FALSE(TableOf(file, "CFF ").isEmpty());
    EXPECT_TRUE(TableOf(file, "glyf").isEmpty());
    const QRawFont original(otf, 1000), subset(file, 1000);
    ASSERT_TRUE(subset.isValid());
    EXPECT_FALSE(subset.pathForGlyph(4).isEmpty());
    EXPECT_EQ(subset.pathForGlyph(4), original.pathForGlyph(4));
    EXPECT_FALSE(original.pathForGlyph(5).isEmpty());
    EXPECT_TRUE(subset.pathForGlyph(5).isEmpty());
    EXPECT_EQ(cff->Code(4), 4) << "named by its id";

    // Keyed by CIDs: the pages name glyphs by their CIDs, and so do the
    // widths and the map back to the characters; the subset keeps both.
    const QByteArray keyedFile = CffFont(QStringLiteral("Tamsel Cid Face"), true);
    const auto keyed = Open(keyedFile);
    ASSERT_NE(keyed, nullptr);
    EXPECT_EQ(keyed->OutlineKind(), PdfFont::CidKeyedCffOutlines);
    for (int g = 0; g < keyed->GlyphCount(); ++g) EXPECT_EQ(keyed->Code(quint16(g)), CffCid(g)) << g;
    keyed->Use(4, u"C");
    keyed->Use(5, u"D");
    EXPECT_EQ(keyed->Widths(),
              "[" + QByteArray::number(CffCid(4)) + " [" + QByteArray::number(CffAdvance(4)) + "] " +
                  QByteArray::number(CffCid(5)) + " [" + QByteArray::number(CffAdvance(5)) + "]]");
    const QHash<int, QString> map = ReadToUnicode(keyed->ToUnicode());
    EXPECT_EQ(map.value(CffCid(4)), QStringLiteral("C"));
    EXPECT_EQ(map.value(CffCid(5)), QStringLiteral("D"));
    // The CFF table alone, cut as the OpenType file is.
    const QByteArray bare = keyed->SubsetFile();
    EXPECT_EQ(bare.left(4), QByteArray("\x01\x00\x04", 3) + bare[3]);
    EXPECT_LT(bare.size(), TableOf(keyedFile, "CFF ").size());
}

TEST(PdfFont, FacesWithoutOutlinesAreRefusedAndDamagedOnesBounded)
{
    const auto good = Tables(Sans);
    auto with = [&](const char* tag, const QByteArray& table) {
        auto t = good;
        if (table.isNull())
            t.remove(tag);
        else
            t[tag] = table;
        return Open(Sfnt(t));
    };
    ASSERT_NE(with("name", good["name"]), nullptr);
    for (const char* tag : {"glyf", "head", "maxp"}) EXPECT_EQ(with(tag, {}), nullptr) << tag;
    for (const QByteArray& junk : {QByteArray(), QByteArray("not a font"), QByteArray(5000, '\xFF')})
        EXPECT_EQ(Open(junk), nullptr);

    // Outlines pointing past the glyph table, a composite glyph made of
    // itself, every other outline spanning the whole table, huge counts in
    // the tables shaping reads: the subset ends, no larger than the face.
    auto t = good;
    QByteArray loca = good["loca"], glyf = good["glyf"], kern = good["kern"], cmap = good["cmap"];
    const bool longLoca = Get16(good["head"], 50) == 1;
    const quint16 a = GlyphOf(Sans, 'A'), eAcute = GlyphOf(Sans, U'\u00E9');
    const quint32 at = longLoca ? Get32(loca, eAcute * 4) : Get16(loca, eAcute * 2) * 2u;
    Put16(glyf, at + 12, eAcute); // first component: itself
    const qsizetype entries = loca.size() / (longLoca ? 4 : 2);
    for (qsizetype i = a + 1; i < entries; ++i) {
        const quint32 offset = i % 2 ? quint32(glyf.size()) : 0;
        if (longLoca)
            Put32(loca, i * 4, offset);
        else
            Put16(loca, i * 2, quint16(offset / 2));
    }
    if (kern.size() > 12) {
        Put16(kern, 2, 0xFFFF);
        Put16(kern, 10, 0xFFFF);
    }
    Put16(cmap, 2, 0xFFFF);
    t["loca"] = loca;
    t["glyf"] = glyf;
    t["kern"] = kern;
    t["cmap"] = cmap;
    t["post"] = QByteArray(5, 'x');
    t["OS/2"] = QByteArray(3, 'x');
    const QByteArray file = Sfnt(t);
    const auto damaged = Open(file);
    if (damaged) {
        for (int g = 0; g < damaged->GlyphCount(); ++g) damaged->Use(quint16(g), u"x");
        EXPECT_LT(damaged->SubsetFile().size(), file.size() * 2);
        EXPECT_FALSE(damaged->DescriptorEntries().isEmpty());
        EXPECT_FALSE(damaged->ToUnicode().isEmpty());
    }
}

namespace {

// Lines of text in a page font of 16 points, half an inch apart.
QByteArray LinesReport(const QStringList& texts, const QString& family = Sans)
{
    return Record([&](TBaseReport& r) {
        TPagePainter& p = r.Painter();
        TPageFont font;
        font.Family = family;
        font.Size = 16;
        p.SetFont(font);
        double y = 1;
        for (const QString& text : texts) {
            p.DrawText(QPointF(1, y), text);
            y += 0.5;
        }
    });
}

// The PDF's text, accents composed.
QStringList TextLines(const QString& pdf)
{
    const ToolResult text = RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    return text.Out.normalized(QString::NormalizationForm_C).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

TEST(PdfFont, ScriptsOfTheInstalledFacesAreDrawnFromThem)
{
    // Each with the family the installed face of its script is of.
    const std::pair<QString, const char*> scripts[] = {
        {QStringLiteral("\u0928\u092E\u0938\u094D\u0924\u0947 \u0926\u0941\u0928\u093F\u092F\u093E"), "Devanagari"},
        {QStringLiteral("\u09A8\u09AE\u09B8\u09CD\u0995\u09BE\u09B0"), "Bengali"},
        {QStringLiteral("\u0BB5\u0BA3\u0B95\u0BCD\u0B95\u0BAE\u0BCD"), "Tamil"},
        {QStringLiteral("\u0C28\u0C2E\u0C38\u0C4D\u0C15\u0C3E\u0C30\u0C02"), "Telugu"},
        {QStringLiteral("\u0AA8\u0AAE\u0AB8\u0ACD\u0AA4\u0AC7"), "Gujarati"},
        {QStringLiteral("\u0A38\u0A24\u0A3F \u0A38\u0A4D\u0A30\u0A40"), "Gurmukhi"},
        {QStringLiteral("\u0CA8\u0CAE\u0CB8\u0CCD\u0C95\u0CBE\u0CB0"), "Kannada"},
        {QStringLiteral("\u0D28\u0D2E\u0D38\u0D4D\u0D15\u0D3E\u0D30\u0D02"), "Malayalam"},
        {QStringLiteral("\u0D86\u0DBA\u0DD4\u0DB6\u0DDD\u0DC0\u0DB1\u0DCA"), "Sinhala"},
        {QStringLiteral("\u0B13\u0B21\u0B3C\u0B3F\u0B06"), "Oriya"},
        {QStringLiteral("\u0E2A\u0E27\u0E31\u0E2A\u0E14\u0E35"), "Thai"},
        {QStringLiteral("\u179F\u17BD\u179F\u17D2\u178F\u17B8"), "Khmer"},
        {QStringLiteral("\u072B\u0720\u0721\u0710"), "Syriac"},
    };
    QStringList texts;
    for (const auto& [text, script] : scripts) texts << text;

    // Not the missing glyph: every glyph of the script's own face.
    PdfDocument document;
    PdfFonts fonts(document);
    PdfTextLayout layout(fonts);
    TPageFont page;
    page.Family = Sans;
    for (const auto& [text, script] : scripts) {
        layout.Lay(fonts.Font(page), text);
        ASSERT_FALSE(layout.Glyphs().empty()) << script;
        for (const PdfTextLayout::Glyph& g : layout.Glyphs()) {
            ASSERT_NE(g.Face, nullptr) << script;
            EXPECT_NE(g.Id, 0) << script;
            EXPECT_TRUE(g.Face->BaseFont().contains("Noto")) << script << " " << g.Face->BaseFont().data();
            EXPECT_TRUE(g.Face->BaseFont().contains(script)) << script << " " << g.Face->BaseFont().data();
        }
    }

    // Embedded, and as the preview draws them.
    const QByteArray report = LinesReport(texts);
    QTemporaryDir dir;
    const QString pdf = RenderToPdf(dir.path(), report);
    const ToolResult listed = RunTool(QStringLiteral("pdffonts"), {pdf});
    ASSERT_EQ(listed.Exit, 0) << listed.Err.toStdString();
    for (const auto& [text, script] : scripts) {
        const QRegularExpression line(QStringLiteral("\\+Noto(Sans|Serif)%1\\S* +CID TrueType +Identity-H +yes yes yes")
                                          .arg(QLatin1String(script)));
        EXPECT_TRUE(listed.Out.contains(line)) << script << "\n" << listed.Out.toStdString();
    }
    ExpectDrawnAsPreview(report, pdf, 500);
}

TEST(PdfFont, CharactersNoInstalledFaceHasAreDrawnInThePageFontsMissingGlyph)
{
    // Private-use and unassigned characters, alone and beside a script of
    // an installed face: in the page font itself.
    const QString named = QStringLiteral("Name: \uF8FF\U0010FFFD\u038B end");
    const QString mixed = QStringLiteral("\U000F0001\u0379 Box \u0928\u092E\u0938");
    const QString unassigned = QStringLiteral("Box \uE000\U000F0001 \u0378 end");
    PdfDocument document;
    PdfFonts fonts(document);
    PdfTextLayout layout(fonts);
    TPageFont page;
    page.Family = Sans;
    const PdfFonts::TextFont& font = fonts.Font(page);
    for (const QString& text : {named, mixed, unassigned}) {
        EXPECT_GT(layout.Lay(font, text), 0);
        int missing = 0;
        for (const PdfTextLayout::Glyph& g : layout.Glyphs()) {
            ASSERT_NE(g.Face, nullptr);
            if (g.Id != 0) continue;
            ++missing;
            EXPECT_EQ(g.Face, font.Face) << "the page font's missing glyph";
        }
        EXPECT_GE(missing, 2) << text.toStdString();
    }

    for (const QString& family : {Sans, Serif}) {
        QTemporaryDir dir;
        // The preview draws the missing glyph where the page font stands
        // in, and so does the PDF; the text reads back.
        const QByteArray drawn = LinesReport({unassigned, unassigned + unassigned, named, mixed}, family);
        const QString pdf = RenderToPdf(dir.path(), drawn);
        ExpectDrawnAsPreview(drawn, pdf, 100);
        const QStringList back = TextLines(pdf);
        for (const QString& text : {unassigned, named, mixed})
            EXPECT_TRUE(back.contains(text)) << back.join(u'\n').toStdString();
    }
}

namespace {

// The extent of each line of the PDF's first page, in points, from the
// word boxes a reader finds: (text, left, right).
struct LineBox {
    QString Text;
    double Left = 0, Right = 0;
};
std::vector<LineBox> LineBoxes(const QString& pdf)
{
    const ToolResult r = RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    std::vector<LineBox> lines;
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"[\\d.]+\">([^<]*)</word>"));
    double lineTop = -100;
    for (auto it = word.globalMatch(r.Out); it.hasNext();) {
        const auto m = it.next();
        const double top = m.captured(2).toDouble();
        if (std::fabs(top - lineTop) > 4) {
            lines.push_back(LineBox{QString(), m.captured(1).toDouble(), 0});
            lineTop = top;
        } else {
            lines.back().Text += QLatin1Char(' ');
        }
        lines.back().Text += m.captured(4);
        lines.back().Right = m.captured(3).toDouble();
    }
    return lines;
}

// Liberation Sans's tables, under a name of its own.
QMap<QByteArray, QByteArray> SansTablesNamed(const QString& family, const QString& postScript)
{
    const QRawFont raw = Raw(Sans);
    QMap<QByteArray, QByteArray> tables;
    for (const char* tag :
         {"head", "hhea", "hmtx", "maxp", "loca", "glyf", "cmap", "kern", "post", "OS/2", "GDEF", "GPOS", "GSUB"})
        tables.insert(tag, raw.fontTable(tag));
    tables["name"] = NameTable(family, postScript);
    return tables;
}

} // namespace

TEST(PdfFont, ADamagedInstalledFaceIsMeasuredAsDrawnAndEmbeddedReadably)
{
    // Liberation Sans under a name of its own, with counts far beyond its
    // kerning and character map tables and outlines spanning the whole
    // glyph table.
    QMap<QByteArray, QByteArray> tables =
        SansTablesNamed(QStringLiteral("Tamsel Damaged"), QStringLiteral("TamselDamaged"));
    QByteArray& kern = tables["kern"];
    ASSERT_GT(kern.size(), 12);
    Put16(kern, 2, 0xFFFF);
    Put16(kern, 10, 0xFFFF);
    Put16(kern, 8, 0); // subtable length
    QByteArray& loca = tables["loca"];
    const bool longLoca = Get16(tables["head"], 50) == 1;
    const qsizetype entries = loca.size() / (longLoca ? 4 : 2);
    for (qsizetype i = 40; i < entries; i += 2) {
        if (longLoca)
            Put32(loca, i * 4, quint32(tables["glyf"].size()));
        else
            Put16(loca, i * 2, quint16(tables["glyf"].size() / 2));
    }
    // Kept while the tests run: Qt keeps the face of a font added from
    // memory under its id, which a font added later would take.
    static const int damaged = QFontDatabase::addApplicationFontFromData(Sfnt(tables));
    ASSERT_GE(damaged, 0);

    // Kerned text: measured, drawn in the preview and drawn in the PDF
    // alike, to a hundredth of a point.
    const QStringList texts{QStringLiteral("AVAILABLE Type, To WAVE Yard"), QStringLiteral("Cafe\u0301 \u6771\u4EAC")};
    TPageFont page;
    page.Family = QStringLiteral("Tamsel Damaged");
    page.Size = 16;
    TReportMetrics metrics;
    const double measured = metrics.Width(page, texts[0]) * 72 / ReportFonts::ReferenceDpi;
    const double shaped =
        QFontMetricsF(ReportFonts::QtFont(page)).horizontalAdvance(texts[0]) * 72 / ReportFonts::ReferenceDpi;
    TPageFont healthy = page;
    healthy.Family = Sans;
    const double unkerned = [&] {
        double sum = 0;
        const QRawFont face = QRawFont::fromFont(ReportFonts::QtFont(healthy));
        std::vector<quint32> ids(size_t(texts[0].size()));
        std::vector<QPointF> advances(ids.size());
        int count = int(ids.size());
        face.glyphIndexesForChars(texts[0].constData(), int(texts[0].size()), ids.data(), &count);
        face.advancesForGlyphIndexes(ids.data(), advances.data(), count, QRawFont::UseDesignMetrics);
        for (const QPointF& a : advances) sum += a.x();
        return sum * 72 / ReportFonts::ReferenceDpi;
    }();
    EXPECT_NEAR(measured, shaped, 0.01);
    EXPECT_NEAR(measured, metrics.Width(healthy, texts[0]) * 72 / ReportFonts::ReferenceDpi, 0.01);
    EXPECT_LT(measured, unkerned - 1) << "kerned";

    const QByteArray report = LinesReport(texts, page.Family);
    QTemporaryDir dir;
    const QString pdf = RenderToPdf(dir.path(), report);
    const std::vector<LineBox> lines = LineBoxes(pdf);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Text, texts[0]);
    EXPECT_NEAR(lines[0].Left, 72, 0.5);
    EXPECT_NEAR(lines[0].Right - lines[0].Left, measured, 0.05) << "unkerned: " << unkerned;
    ExpectDrawnAsPreview(report, pdf, 200);

    // The text reads back, and every face embedded loads in the readers.
    const QStringList back = TextLines(pdf);
    for (const QString& text : texts)
        EXPECT_TRUE(back.contains(text.normalized(QString::NormalizationForm_C))) << back.join(u'\n').toStdString();
    const ToolResult fonts = RunTool(QStringLiteral("pdffonts"), {pdf});
    EXPECT_TRUE(fonts.Err.isEmpty()) << fonts.Err.toStdString();
    const QStringList listed = fonts.Out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2);
    EXPECT_GE(listed.size(), 2);
    for (const QString& line : listed)
        EXPECT_TRUE(line.contains(QLatin1String(" yes yes yes "))) << fonts.Out.toStdString();
    const ToolResult drawn =
        RunTool(QStringLiteral("pdftoppm"),
                {QStringLiteral("-r"), QStringLiteral("30"), pdf, dir.filePath(QStringLiteral("page"))});
    EXPECT_EQ(drawn.Exit, 0);
    EXPECT_TRUE(drawn.Err.isEmpty()) << drawn.Err.toStdString();
    ExpectMupdfLoads(pdf);
}

TEST(PdfFont, ColourEmojiAreDrawnAsTheirPicturesAndReadBack)
{
    // The avocado and the crab are only in the colour face; the house also
    // in a plain one, from which the preview draws it.
    const QString text = QStringLiteral("Avocado \U0001F951 crab \U0001F980 house \U0001F3E0");
    const QByteArray report = Record([&](TBaseReport& r) {
        TPagePainter& p = r.Painter();
        TPageFont font;
        font.Family = Sans;
        font.Size = 36;
        p.SetFont(font);
        p.DrawText(QPointF(1, 1.5), text);
    });
    QTemporaryDir dir;
    const QString pdf = RenderToPdf(dir.path(), report);

    // Cells of colour (not grey) in both pages, nearly all in the same
    // places.
    const int dpi = 144, cell = 4;
    const QImage ours = PdfPage(pdf, dpi), preview = PreviewPage(report, dpi);
    ASSERT_EQ(ours.size(), preview.size());
    const auto coloured = [&](const QImage& image, int x0, int y0) {
        int n = 0;
        for (int y = y0; y < y0 + cell; ++y)
            for (int x = x0; x < x0 + cell; ++x) {
                const QRgb c = image.pixel(x, y);
                n += std::max({qRed(c), qGreen(c), qBlue(c)}) - std::min({qRed(c), qGreen(c), qBlue(c)}) > 60;
            }
        return n >= cell * cell / 2;
    };
    int inPreview = 0, inOurs = 0, both = 0;
    for (int y = 0; y + cell <= ours.height(); y += cell)
        for (int x = 0; x + cell <= ours.width(); x += cell) {
            const bool a = coloured(ours, x, y), b = coloured(preview, x, y);
            inOurs += a;
            inPreview += b;
            both += a && b;
        }
    EXPECT_GT(inPreview, 100);
    EXPECT_GT(both, inPreview * 8 / 10) << both << " of " << inPreview << " coloured cells, " << inOurs
                                        << " in the PDF";
    EXPECT_LT(inOurs, inPreview * 12 / 10);

    EXPECT_TRUE(TextLines(pdf).contains(text)) << TextLines(pdf).join(u'\n').toStdString();
    ExpectMupdfLoads(pdf);
}

TEST(PdfFont, AGlyphDrawnForOtherCharactersGetsACodeOfItsOwnPastTheGlyphs)
{
    const auto sans = Open(Sans);
    const quint16 a = GlyphOf(Sans, 'a'), b = GlyphOf(Sans, 'b');
    const int glyphs = sans->GlyphCount();
    EXPECT_TRUE(sans->Use(a, u"a"));
    EXPECT_EQ(sans->Alias(a, u"a"), a) << "its own characters: its own code";
    EXPECT_TRUE(sans->CidToGidMap().isEmpty());
    const int ab = sans->Alias(a, u"ba");
    const int marked = sans->Alias(a, u"\u200Fa");
    const int other = sans->Alias(b, u"a");
    EXPECT_EQ(ab, glyphs);
    EXPECT_EQ(marked, glyphs + 1);
    EXPECT_EQ(other, glyphs + 2);
    EXPECT_EQ(sans->Alias(a, u"ba"), ab) << "the same glyph and characters: the same code";
    EXPECT_EQ(sans->Alias(a, {}), -1);
    EXPECT_EQ(sans->Characters(a), QStringLiteral("a"));
    EXPECT_EQ(sans->Characters(a, marked), QStringLiteral("\u200Fa"));
    EXPECT_EQ(sans->Characters(b), QString()) << "b was drawn only for other characters";

    // Each code reads its characters, draws its glyph, as wide.
    const QHash<int, QString> map = ReadToUnicode(sans->ToUnicode());
    EXPECT_EQ(map.value(a), QStringLiteral("a"));
    EXPECT_EQ(map.value(ab), QStringLiteral("ba"));
    EXPECT_EQ(map.value(marked), QStringLiteral("\u200Fa"));
    EXPECT_EQ(map.value(other), QStringLiteral("a"));
    EXPECT_FALSE(map.contains(b));
    const QByteArray glyphMap = sans->CidToGidMap();
    ASSERT_EQ(glyphMap.size(), 2 * (glyphs + 3));
    const auto glyphOf = [&](int cid) { return int(Get16(glyphMap, 2 * cid)); };
    EXPECT_EQ(glyphOf(0), 0);
    EXPECT_EQ(glyphOf(a), a);
    EXPECT_EQ(glyphOf(glyphs - 1), glyphs - 1);
    EXPECT_EQ(glyphOf(ab), a);
    EXPECT_EQ(glyphOf(marked), a);
    EXPECT_EQ(glyphOf(other), b);
    QHash<int, double> widths;
    static const QRegularExpression run(QStringLiteral("(\\d+) \\[([^\\]]*)\\]"));
    for (auto it = run.globalMatch(QString::fromLatin1(sans->Widths())); it.hasNext();) {
        const auto m = it.next();
        int cid = m.captured(1).toInt();
        for (const QString& w : m.captured(2).split(QLatin1Char(' '))) widths.insert(cid++, w.toDouble());
    }
    EXPECT_EQ(widths.size(), 5) << sans->Widths().toStdString(); // a, b and the three codes
    for (const int cid : {ab, marked}) EXPECT_NEAR(widths.value(cid), sans->GlyphWidth(a), 0.06);
    EXPECT_NEAR(widths.value(other), sans->GlyphWidth(b), 0.06);
    // The subset keeps the glyph drawn only under a code of its own.
    const QRawFont subset(sans->SubsetFile(), 1000);
    ASSERT_TRUE(subset.isValid());
    EXPECT_FALSE(subset.pathForGlyph(b).isEmpty());

    // Codes run out at the last two-byte code.
    int last = other;
    for (int i = 0; last >= 0 && i < 0x10000; ++i) {
        const int code = sans->Alias(b, QString::number(i));
        if (code < 0) break;
        last = code;
    }
    EXPECT_EQ(last, 0xFFFF);
    EXPECT_EQ(sans->Alias(b, u"one more"), -1);
    EXPECT_EQ(sans->CidToGidMap().size(), 2 * 0x10000);

    // CFF outlines name their glyphs by CIDs of their own: no codes past
    // them.
    const auto cff = Open(CffFont(QStringLiteral("Tamsel Cff Face")));
    ASSERT_NE(cff, nullptr);
    EXPECT_EQ(cff->Alias(4, u"x"), -1);
    EXPECT_TRUE(cff->CidToGidMap().isEmpty());
}

TEST(PdfFont, ThaanaIsDrawnFromTheInstalledNotoFaceInThePreviewAndThePdf)
{
    // Names in Thaana, with the vowel marks over and under their letters,
    // in a regular and a bold page font.
    const QString name = QStringLiteral(
        "\u078b\u07a8\u0788\u07ac\u0780\u07a8 \u0783\u07a6\u0787\u07b0\u0794\u07a8\u078c\u07aa\u0782\u07b0");
    const QString mixed = QStringLiteral("Owner: \u0789\u07aa\u0799\u07a6\u0787\u07b0\u0789\u07a6\u078b\u07aa 12");
    const QStringList texts{name, mixed};

    // Every glyph from the installed face of its style, none missing.
    PdfDocument document;
    PdfFonts fonts(document);
    PdfTextLayout layout(fonts);
    for (const bool bold : {false, true}) {
        TPageFont page;
        page.Family = Sans;
        page.Bold = bold;
        layout.Lay(fonts.Font(page), name);
        ASSERT_FALSE(layout.Glyphs().empty());
        for (const PdfTextLayout::Glyph& g : layout.Glyphs()) {
            ASSERT_NE(g.Face, nullptr);
            EXPECT_NE(g.Id, 0);
            if (g.Face->BaseFont().contains("Liberation")) continue; // the space
            EXPECT_TRUE(g.Face->BaseFont().endsWith(bold ? "+NotoSansThaana-Bold" : "+NotoSansThaana-Regular"))
                << g.Face->BaseFont().data();
        }
    }

    // Each text in both styles, a line apart.
    const int dpi = 144;
    const QByteArray report = Record([&](TBaseReport& r) {
        TPagePainter& p = r.Painter();
        TPageFont font;
        font.Family = Sans;
        font.Size = 20;
        double y = 1;
        for (const bool bold : {false, true}) {
            font.Bold = bold;
            p.SetFont(font);
            for (const QString& text : texts) {
                p.DrawText(QPointF(1, y), text);
                y += 0.5;
            }
        }
    });

    // The preview draws the names: ink above the base line of each.
    const QImage preview = PreviewPage(report, dpi);
    for (const int line : {0, 2}) {
        int inked = 0;
        const int base = qRound((1 + line * 0.5) * dpi);
        for (int y = base - dpi / 4; y < base + dpi / 12; ++y)
            for (int x = dpi; x < dpi * 5; ++x) inked += qGray(preview.pixel(x, y)) < 128;
        EXPECT_GT(inked, 400) << "line " << line;
    }

    // The PDF draws them as the preview: cells of 4 x 4 pixels, the same
    // ink a pixel apart at the most (the preview and the reader place the
    // glyphs of right-to-left runs a fraction of a pixel apart, whatever
    // the resolution).
    QTemporaryDir dir;
    const QString pdf = RenderToPdf(dir.path(), report);
    const QImage ours = PdfPage(pdf, dpi);
    ASSERT_EQ(ours.size(), preview.size());
    const Comparison c = Compare(preview, ours, 1);
    EXPECT_GT(c.Inked, 600);
    EXPECT_LT(c.Differing, c.Inked / 50) << c.Differing << " of " << c.Inked << " cells differ";

    // From subsets of the Noto faces that the readers load, and the text
    // reads back.
    const ToolResult listed = RunTool(QStringLiteral("pdffonts"), {pdf});
    ASSERT_EQ(listed.Exit, 0) << listed.Err.toStdString();
    EXPECT_TRUE(listed.Err.isEmpty()) << listed.Err.toStdString();
    for (const char* style : {"Regular", "Bold"}) {
        const QRegularExpression line(
            QStringLiteral("[A-Z]{6}\\+NotoSansThaana-%1 +CID TrueType +Identity-H +yes yes yes")
                .arg(QLatin1String(style)));
        EXPECT_TRUE(listed.Out.contains(line)) << style << "\n" << listed.Out.toStdString();
    }
    static const QRegularExpression marks(QStringLiteral("[\u200E\u200F\u202A-\u202E\u2066-\u2069]"));
    const QStringList back = TextLines(pdf).replaceInStrings(marks, QString());
    for (const QString& text : texts) EXPECT_EQ(back.count(text), 2) << back.join(u'\n').toStdString();
    const ToolResult checked = RunTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
    EXPECT_EQ(checked.Exit, 0) << checked.Out.toStdString();
    ExpectMupdfLoads(pdf);
}

TEST(PdfFont, AFaceWhoseSubsetReadersCannotLoadIsEmbeddedWhole)
{
    // Liberation Sans under a name of its own, its horizontal header of a
    // version HarfBuzz does not read: Qt draws with the face, and HarfBuzz's
    // subsetter cuts it, but leaves the header and the advances out of the
    // cut, which no reader loads.
    QMap<QByteArray, QByteArray> tables =
        SansTablesNamed(QStringLiteral("Tamsel Header"), QStringLiteral("TamselHeader"));
    Put16(tables["hhea"], 0, 5);
    const QByteArray file = Sfnt(tables);
    // Kept while the tests run (Qt keeps a font added from memory under
    // its id).
    static const int added = QFontDatabase::addApplicationFontFromData(file);
    ASSERT_GE(added, 0);
    const auto face = Open(file);
    ASSERT_NE(face, nullptr);
    for (const char c : QByteArray("Header")) face->Use(GlyphOf(Sans, char32_t(c)), QString(QChar(c)));
    EXPECT_TRUE(face->SubsetFile().isEmpty()) << "a cut that does not read as the face";
    const QByteArray whole = face->WholeFile();
    EXPECT_TRUE(QRawFont(whole, 2048).isValid());
    EXPECT_EQ(TableOf(whole, "hhea"), tables["hhea"]);

    // A page drawn in it: the PDF embeds the whole face, which the readers
    // load and draw as the preview does.
    const QStringList texts{QStringLiteral("Header damaged: Hamburgefonstiv 0123"),
                            QStringLiteral("AVAILABLE Type, To WAVE Yard")};
    const QByteArray report = LinesReport(texts, QStringLiteral("Tamsel Header"));
    QTemporaryDir dir;
    const QString pdf = RenderToPdf(dir.path(), report);
    const ToolResult listed = RunTool(QStringLiteral("pdffonts"), {pdf});
    ASSERT_EQ(listed.Exit, 0) << listed.Err.toStdString();
    EXPECT_TRUE(listed.Err.isEmpty()) << listed.Err.toStdString();
    static const QRegularExpression embeddedWhole(
        QStringLiteral("\\nTamselHeader +CID TrueType +Identity-H +yes +no +yes "));
    EXPECT_TRUE(listed.Out.contains(embeddedWhole)) << listed.Out.toStdString();
    const ToolResult checked = RunTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
    EXPECT_EQ(checked.Exit, 0) << checked.Out.toStdString() << checked.Err.toStdString();
    ExpectMupdfLoads(pdf);
    ExpectDrawnAsPreview(report, pdf, 200);
    // The text reads back; its spacing aside, as the widths the document
    // states are HarfBuzz's reading of the face, which takes no advances
    // from a header it does not read.
    const QStringList back = TextLines(pdf).replaceInStrings(QStringLiteral(" "), QString());
    for (const QString& text : texts)
        EXPECT_TRUE(back.contains(QString(text).remove(QLatin1Char(' ')))) << back.join(u'\n').toStdString();
}
