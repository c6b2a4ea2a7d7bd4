// The PDF writer's font faces: text laid out as wide as Qt measures it,
// characters the face lacks from the fallback face, the subset file read
// back by FreeType with the used outlines (and their components) only, the
// map back to the characters, and damaged tables refused without a crash.

#include "platform/print/PdfFont_p.h"
#include "platform/report/ReportFonts.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <QRawFont>
#include <QRegularExpression>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

const QString Sans = QStringLiteral("Liberation Sans");
const QString Serif = QStringLiteral("Liberation Serif");
const QString Mono = QStringLiteral("Liberation Mono");
const QString Symbols = QStringLiteral("DejaVu Sans");

// Qt's face for a report font, at its design size so that advances are
// the font's units.
QFont QtFace(const QString& family, bool bold, bool italic, int pixelSize = 2048)
{
    TPageFont page;
    page.Family = family;
    page.Bold = bold;
    page.Italic = italic;
    QFont f = ReportFonts::QtFont(page);
    f.setPixelSize(pixelSize);
    return f;
}

QHash<QByteArray, QByteArray> Tables(const QString& family, bool bold = false, bool italic = false)
{
    const QRawFont raw = QRawFont::fromFont(QtFace(family, bold, italic));
    QHash<QByteArray, QByteArray> tables;
    for (const char* tag : {"head", "hhea", "hmtx", "maxp", "loca", "glyf", "cmap", "kern", "post", "OS/2", "name",
                            "cvt ", "fpgm", "prep"}) {
        const QByteArray t = raw.fontTable(tag);
        if (!t.isEmpty()) tables.insert(tag, t);
    }
    return tables;
}

quint16 U16(const QByteArray& t, qsizetype at) { return qFromBigEndian<quint16>(t.constData() + at); }
quint32 U32(const QByteArray& t, qsizetype at) { return qFromBigEndian<quint32>(t.constData() + at); }
void Put16(QByteArray& t, qsizetype at, quint16 v) { qToBigEndian<quint16>(v, t.data() + at); }

float Sum(const std::vector<PdfFont::Glyph>& glyphs)
{
    float sum = 0;
    for (const PdfFont::Glyph& g : glyphs) sum += g.Advance;
    return sum;
}

quint16 GlyphOf(PdfFont& font, const QString& character)
{
    std::vector<PdfFont::Glyph> glyphs;
    font.Layout(character, glyphs);
    return glyphs.empty() ? 0 : glyphs[0].Id;
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

// A 'name' table holding one PostScript name (Windows, UTF-16BE).
QByteArray NameTable(const QString& postScriptName)
{
    QByteArray name(18, '\0');
    Put16(name, 2, 1);  // one record
    Put16(name, 4, 18); // strings after it
    Put16(name, 6, 3);
    Put16(name, 8, 1);
    Put16(name, 10, 0x409);
    Put16(name, 12, 6);
    Put16(name, 14, quint16(postScriptName.size() * 2));
    for (const QChar c : postScriptName) {
        name.append(char(c.unicode() >> 8));
        name.append(char(c.unicode() & 0xFF));
    }
    return name;
}

// A Windows Unicode character map (format 4) of single characters.
QByteArray CharacterMap(const std::vector<std::pair<char16_t, quint16>>& glyphs)
{
    const int segments = int(glyphs.size()) + 1;
    QByteArray map(12 + 16 + segments * 8, '\0');
    Put16(map, 2, 1);
    Put16(map, 4, 3);
    Put16(map, 6, 1);
    qToBigEndian<quint32>(12, map.data() + 8);
    const qsizetype at = 12;
    Put16(map, at, 4);
    Put16(map, at + 2, quint16(map.size() - at));
    Put16(map, at + 6, quint16(segments * 2));
    const qsizetype ends = at + 14, starts = ends + segments * 2 + 2, deltas = starts + segments * 2;
    for (int i = 0; i < segments; ++i) {
        const char16_t c = i < int(glyphs.size()) ? glyphs[i].first : 0xFFFF;
        const quint16 g = i < int(glyphs.size()) ? glyphs[i].second : 1;
        Put16(map, ends + i * 2, c);
        Put16(map, starts + i * 2, c);
        Put16(map, deltas + i * 2, quint16(g - c));
    }
    return map;
}

} // namespace

TEST(PdfFont, TextIsAsWideAsQtMeasuresItKerningIncluded)
{
    const QString texts[] = {QStringLiteral("AVAILABLE Type, To"), QStringLiteral("WAVE Yard. LT Vo 'Fe' P.A.")};
    for (const QString& family : {Sans, Serif}) {
        for (const bool bold : {false, true}) {
            for (const bool italic : {false, true}) {
                const auto font = PdfFont::Open(family, bold, italic);
                ASSERT_NE(font, nullptr) << family.toStdString();
                const QFontMetricsF qt(QtFace(family, bold, italic));
                for (const QString& text : texts) {
                    std::vector<PdfFont::Glyph> glyphs;
                    font->Layout(text, glyphs);
                    ASSERT_EQ(glyphs.size(), size_t(text.size()));
                    const double ours = Sum(glyphs) * 2048 / 1000.0;
                    const double theirs = qt.horizontalAdvance(text);
                    EXPECT_NEAR(ours, theirs, theirs * 1e-4)
                        << family.toStdString() << bold << italic << " " << text.toStdString();
                }
            }
        }
    }

    // The kerning is there: "AV" is narrower than its two glyphs.
    const auto sans = PdfFont::Open(Sans, false, false);
    std::vector<PdfFont::Glyph> av;
    sans->Layout(u"AV", av);
    ASSERT_EQ(av.size(), 2u);
    EXPECT_LT(av[0].Advance, sans->GlyphWidth(av[0].Id) - 10);
    EXPECT_FLOAT_EQ(av[1].Advance, sans->GlyphWidth(av[1].Id));
    EXPECT_NEAR(sans->GlyphWidth(av[1].Id), 667, 0.5);
}

TEST(PdfFont, LayoutReusesTheOutputAndTakesSurrogatePairsAsOneCharacter)
{
    const auto sans = PdfFont::Open(Sans, false, false);
    std::vector<PdfFont::Glyph> glyphs;
    sans->Layout(u"a long text that sets the capacity", glyphs);
    const auto* storage = glyphs.data();
    sans->Layout(u"b\U0001F600c", glyphs);
    EXPECT_EQ(glyphs.data(), storage);
    ASSERT_EQ(glyphs.size(), 3u);
    EXPECT_EQ(glyphs[1].Id, 0) << "Liberation has no emoji";
    EXPECT_NE(glyphs[0].Id, 0);
    EXPECT_NE(glyphs[2].Id, 0);
    EXPECT_EQ(ReadToUnicode(sans->ToUnicode()).value(0), QStringLiteral("\U0001F600"));
}

TEST(PdfFont, CharactersTheFaceLacksComeFromTheFallbackFace)
{
    const auto sans = PdfFont::Open(Sans, false, false);
    const auto symbols = PdfFont::Open(Symbols, false, false);
    ASSERT_NE(symbols, nullptr);
    std::vector<PdfFont::Glyph> glyphs;

    ASSERT_FALSE(QRawFont::fromFont(QtFace(Sans, false, false)).supportsCharacter(U'\u2605'));
    // Without a fallback: the missing glyph.
    sans->Layout(u"a\u2605", glyphs);
    ASSERT_EQ(glyphs.size(), 2u);
    EXPECT_EQ(glyphs[1].Id, 0);
    EXPECT_EQ(glyphs[1].Face, 0);

    sans->SetFallback(symbols.get());
    EXPECT_FALSE(symbols->Used());
    sans->Layout(u"a\u2605\u2605b", glyphs);
    ASSERT_EQ(glyphs.size(), 4u);
    const quint16 star = GlyphOf(*symbols, QStringLiteral("\u2605"));
    EXPECT_NE(star, 0);
    EXPECT_EQ(glyphs[0].Face, 0);
    EXPECT_EQ(glyphs[1].Face, 1);
    EXPECT_EQ(glyphs[1].Id, star);
    EXPECT_EQ(glyphs[2].Face, 1);
    EXPECT_EQ(glyphs[3].Face, 0);
    EXPECT_FLOAT_EQ(glyphs[1].Advance, symbols->GlyphWidth(star));
    EXPECT_TRUE(symbols->Used());
    EXPECT_EQ(ReadToUnicode(symbols->ToUnicode()).value(star), QStringLiteral("\u2605"));
    EXPECT_TRUE(symbols->Widths().startsWith("[" + QByteArray::number(star) + " ["));
}

TEST(PdfFont, MetricsAndDescriptorAreTheFacesOwn)
{
    const auto sans = PdfFont::Open(Sans, false, false);
    const QFontMetricsF qt(QtFace(Sans, false, false, 1000));
    EXPECT_NEAR(sans->Ascent(), qt.ascent(), 1);
    EXPECT_NEAR(-sans->Descent(), qt.descent(), 1);
    EXPECT_NEAR(sans->CapHeight(), qt.capHeight(), 1);
    EXPECT_NEAR(-sans->UnderlinePosition(), qt.underlinePos(), 1);
    EXPECT_NEAR(sans->UnderlineThickness(), qt.lineWidth(), 2);
    EXPECT_GT(sans->StrikeOutPosition(), 150);
    EXPECT_LT(sans->StrikeOutPosition(), sans->CapHeight() / 2 + 50);
    EXPECT_EQ(sans->ItalicAngle(), 0);
    EXPECT_LT(sans->BoundingBox().left(), 0);
    EXPECT_GT(sans->BoundingBox().bottom(), sans->Ascent());
    EXPECT_TRUE(sans->DescriptorEntries().startsWith("/Flags 32 /FontBBox ["));
    EXPECT_TRUE(sans->DescriptorEntries().contains(" /Ascent 905 /Descent -212 /CapHeight "));

    const auto italic = PdfFont::Open(Sans, false, true);
    EXPECT_LT(italic->ItalicAngle(), -5);
    EXPECT_TRUE(italic->DescriptorEntries().startsWith("/Flags 96 "));
    const auto serif = PdfFont::Open(Serif, true, false);
    EXPECT_TRUE(serif->DescriptorEntries().startsWith("/Flags 34 "));
    const auto mono = PdfFont::Open(Mono, false, false);
    EXPECT_TRUE(mono->DescriptorEntries().startsWith("/Flags 33 "));
    const QRegularExpression entries(QStringLiteral(
        "^/Flags \\d+ /FontBBox \\[-?\\d+ -?\\d+ \\d+ \\d+\\] /ItalicAngle -?[\\d.]+ /Ascent \\d+ /Descent -\\d+ "
        "/CapHeight \\d+ /StemV \\d+$"));
    for (const PdfFont* f : {sans.get(), italic.get(), serif.get(), mono.get()})
        EXPECT_TRUE(entries.match(QString::fromLatin1(f->DescriptorEntries())).hasMatch())
            << f->DescriptorEntries().data();
}

TEST(PdfFont, WidthsListTheUsedGlyphsInRunsOfConsecutiveIds)
{
    const auto sans = PdfFont::Open(Sans, false, false);
    EXPECT_FALSE(sans->Used());
    EXPECT_EQ(sans->Widths(), "[]");
    std::vector<PdfFont::Glyph> glyphs;
    sans->Layout(u"ABAi", glyphs);
    EXPECT_TRUE(sans->Used());
    const quint16 a = glyphs[0].Id, b = glyphs[1].Id, i = glyphs[3].Id;
    ASSERT_EQ(b, a + 1);
    ASSERT_GT(i, b + 1);
    auto w = [&](quint16 g) { return QByteArray::number(qRound(sans->GlyphWidth(g) * 10) / 10.0); };
    EXPECT_EQ(sans->Widths(),
              "[" + QByteArray::number(a) + " [" + w(a) + ' ' + w(b) + "] " + QByteArray::number(i) + " [" + w(i) +
                  "]]");
}

TEST(PdfFont, BaseFontIsATagOfTheUsedGlyphsAndTheSanitizedPostScriptName)
{
    const QRegularExpression form(QStringLiteral("^[A-Z]{6}\\+[A-Za-z0-9-]+$"));
    const auto sans = PdfFont::Open(Sans, false, false);
    const auto other = PdfFont::Open(Sans, false, false);
    std::vector<PdfFont::Glyph> glyphs;
    sans->Layout(u"Tag", glyphs);
    other->Layout(u"Tag", glyphs);
    EXPECT_TRUE(sans->BaseFont().endsWith("+LiberationSans"));
    EXPECT_TRUE(form.match(QString::fromLatin1(sans->BaseFont())).hasMatch());
    EXPECT_EQ(sans->BaseFont(), other->BaseFont());
    other->Layout(u"x", glyphs);
    EXPECT_NE(sans->BaseFont().left(6), other->BaseFont().left(6));
    EXPECT_TRUE(PdfFont::Open(Serif, true, false)->BaseFont().endsWith("+LiberationSerif-Bold"));

    // A hostile name cannot end the name or open a dictionary.
    auto tables = Tables(Sans);
    tables["name"] = NameTable(QStringLiteral("Evil) /Bad <<Name>>\n#20%\u00E9-1"));
    const auto evil = PdfFont::FromTables(tables, Sans);
    ASSERT_NE(evil, nullptr);
    EXPECT_EQ(evil->BaseFont().mid(7), "EvilBadName20-1");
    // None at all: the family and style.
    tables.remove("name");
    EXPECT_EQ(PdfFont::FromTables(tables, QStringLiteral("Liberation Sans-Bold"))->BaseFont().mid(7),
              "LiberationSans-Bold");
    tables["name"] = NameTable(QString(500, QLatin1Char('x')));
    EXPECT_LE(PdfFont::FromTables(tables, Sans)->BaseFont().size(), 7 + 63);
}

TEST(PdfFont, ToUnicodeMapsEveryUsedGlyphBackInBlocksOfAHundred)
{
    const auto sans = PdfFont::Open(Sans, false, false);
    QString text;
    for (char16_t c = 0x20; c < 0x17F; ++c) text += QChar(c);
    text += QStringLiteral("AAA");
    std::vector<PdfFont::Glyph> glyphs;
    sans->Layout(text, glyphs);
    QList<int> blocks;
    const QHash<int, QString> map = ReadToUnicode(sans->ToUnicode(), &blocks);
    ASSERT_GT(map.size(), 300);
    int total = 0;
    for (const int n : blocks) {
        EXPECT_LE(n, 100);
        total += n;
    }
    EXPECT_EQ(total, map.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A glyph several characters share maps to the first of them.
        const QString back = map.value(glyphs[i].Id);
        if (glyphs[i].Id == 0) continue;
        EXPECT_EQ(GlyphOf(*sans, back), glyphs[i].Id) << i;
    }
    EXPECT_EQ(map.value(GlyphOf(*sans, QStringLiteral("\u00E9"))), QStringLiteral("\u00E9"));
    // A glyph two characters share maps to the first laid out.
    auto tables = Tables(Sans);
    tables["cmap"] = CharacterMap({{'a', 68}, {'b', 68}, {'c', 70}});
    const auto shared = PdfFont::FromTables(tables, Sans);
    shared->Layout(u"bac", glyphs);
    EXPECT_EQ(glyphs[0].Id, 68);
    EXPECT_EQ(glyphs[1].Id, 68);
    EXPECT_EQ(glyphs[2].Id, 70);
    const QHash<int, QString> sharedMap = ReadToUnicode(shared->ToUnicode());
    EXPECT_EQ(sharedMap.size(), 2);
    EXPECT_EQ(sharedMap.value(68), QStringLiteral("b"));
    EXPECT_TRUE(sans->ToUnicode().contains("1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange"));
}

TEST(PdfFont, TheSubsetKeepsTheUsedOutlinesAndTheirComponentsUnderTheirIds)
{
    const auto sans = PdfFont::Open(Sans, false, false);
    std::vector<PdfFont::Glyph> glyphs;
    sans->Layout(u"H\u00E9", glyphs);
    const quint16 h = glyphs[0].Id, eAcute = glyphs[1].Id;
    const quint16 e = GlyphOf(*PdfFont::Open(Sans, false, false), QStringLiteral("e"));
    const quint16 z = GlyphOf(*PdfFont::Open(Sans, false, false), QStringLiteral("Z"));

    // é is made of e and the accent.
    const auto tables = Tables(Sans);
    const QByteArray& loca = tables["loca"];
    const bool longLoca = U16(tables["head"], 50) == 1;
    const quint32 at = longLoca ? U32(loca, eAcute * 4) : U16(loca, eAcute * 2) * 2u;
    ASSERT_LT(qint16(U16(tables["glyf"], at)), 0) << "not a composite glyph";

    const QByteArray file = sans->SubsetFile();
    EXPECT_LT(file.size(), tables["glyf"].size() / 10);
    // Sorted, aligned tables, their checksums and the file's right.
    const int count = U16(file, 4);
    QByteArray previous;
    for (int i = 0; i < count; ++i) {
        const qsizetype rec = 12 + i * 16;
        const QByteArray tag = file.mid(rec, 4);
        EXPECT_LT(previous, tag);
        previous = tag;
        const quint32 offset = U32(file, rec + 8), length = U32(file, rec + 12);
        EXPECT_EQ(offset % 4, 0u);
        ASSERT_LE(offset + length, quint32(file.size()));
        quint32 sum = 0;
        QByteArray table = file.mid(offset, (length + 3) & ~3u);
        if (tag == "head") qToBigEndian<quint32>(0, table.data() + 8);
        for (qsizetype k = 0; k < table.size(); k += 4) sum += U32(table, k);
        EXPECT_EQ(sum, U32(file, rec + 4)) << tag.data();
    }
    quint32 whole = 0;
    for (qsizetype k = 0; k < file.size(); k += 4) whole += U32(file, k);
    EXPECT_EQ(whole, 0xB1B0AFBAu);

    const QRawFont original = QRawFont::fromFont(QtFace(Sans, false, false));
    const QRawFont subset(file, 2048, QFont::PreferNoHinting);
    ASSERT_TRUE(subset.isValid());
    for (const quint16 g : {h, eAcute, e}) {
        EXPECT_FALSE(subset.pathForGlyph(g).isEmpty()) << g;
        EXPECT_EQ(subset.pathForGlyph(g), original.pathForGlyph(g)) << g;
    }
    EXPECT_FALSE(original.pathForGlyph(z).isEmpty());
    EXPECT_TRUE(subset.pathForGlyph(z).isEmpty());
}

TEST(PdfFont, DamagedTablesAreRefusedOrBoundedWithoutACrash)
{
    const auto good = Tables(Sans);
    auto with = [&](const char* tag, const QByteArray& table) {
        auto t = good;
        if (table.isNull())
            t.remove(tag);
        else
            t[tag] = table;
        return PdfFont::FromTables(t, Sans);
    };
    ASSERT_NE(with("name", good["name"]), nullptr);
    // Missing or cut tables the face needs: refused.
    for (const char* tag : {"glyf", "loca", "head", "hmtx", "hhea", "maxp"}) EXPECT_EQ(with(tag, {}), nullptr) << tag;
    EXPECT_EQ(with("hmtx", good["hmtx"].left(100)), nullptr);
    EXPECT_EQ(with("loca", good["loca"].left(good["loca"].size() - 2)), nullptr);
    EXPECT_EQ(with("head", good["head"].left(40)), nullptr);
    QByteArray head = good["head"];
    Put16(head, 18, 0); // no units per em
    EXPECT_EQ(with("head", head), nullptr);

    // Counts far beyond their tables: read as far as the table goes.
    QByteArray kern = good["kern"];
    Put16(kern, 2, 0xFFFF);  // subtables
    Put16(kern, 10, 0xFFFF); // pairs
    QByteArray cmap = good["cmap"];
    for (int i = 0; i < U16(cmap, 2); ++i) {
        const quint32 sub = U32(cmap, 4 + i * 8 + 4);
        if (U16(cmap, sub) == 4) Put16(cmap, sub + 6, 0xFFFE); // segments
    }
    QByteArray name = good["name"];
    Put16(name, 2, 0xFFFF);
    auto t = good;
    t["kern"] = kern;
    t["cmap"] = cmap;
    t["name"] = name;
    t["post"] = QByteArray(5, 'x');
    t["OS/2"] = QByteArray(3, 'x');
    auto damaged = PdfFont::FromTables(t, Sans);
    ASSERT_NE(damaged, nullptr);
    std::vector<PdfFont::Glyph> glyphs;
    damaged->Layout(u"AVAILABLE\u00E9\U0001F600", glyphs);
    EXPECT_EQ(glyphs.size(), 11u);
    EXPECT_FALSE(damaged->SubsetFile().isEmpty());
    EXPECT_FALSE(damaged->ToUnicode().isEmpty());
    EXPECT_FALSE(damaged->DescriptorEntries().isEmpty());

    // Outlines pointing past the glyph table, and a composite glyph made of
    // itself: the subset still ends, with those outlines empty.
    t = good;
    QByteArray loca = good["loca"];
    const bool longLoca = U16(good["head"], 50) == 1;
    const auto sans = PdfFont::Open(Sans, false, false);
    const quint16 a = GlyphOf(*sans, QStringLiteral("A")), eAcute = GlyphOf(*sans, QStringLiteral("\u00E9"));
    if (longLoca)
        qToBigEndian<quint32>(0x7FFFFFF0, loca.data() + (a + 1) * 4);
    else
        Put16(loca, (a + 1) * 2, 0xFFF0);
    QByteArray glyf = good["glyf"];
    const quint32 at = longLoca ? U32(loca, eAcute * 4) : U16(loca, eAcute * 2) * 2u;
    Put16(glyf, at + 12, eAcute); // first component: itself
    t["loca"] = loca;
    t["glyf"] = glyf;
    damaged = PdfFont::FromTables(t, Sans);
    ASSERT_NE(damaged, nullptr);
    damaged->Layout(u"A\u00E9", glyphs);
    const QRawFont subset(damaged->SubsetFile(), 2048);
    EXPECT_TRUE(subset.isValid());
    EXPECT_TRUE(subset.pathForGlyph(a).isEmpty());

    // Every other outline spanning the whole glyph table: the subset is no
    // larger than the face.
    t = good;
    const qsizetype entries = loca.size() / (longLoca ? 4 : 2);
    for (qsizetype i = 0; i < entries; ++i) {
        const quint32 offset = i % 2 ? quint32(glyf.size()) : 0;
        if (longLoca)
            qToBigEndian<quint32>(offset, loca.data() + i * 4);
        else
            Put16(loca, i * 2, quint16(offset / 2));
    }
    t["loca"] = loca;
    damaged = PdfFont::FromTables(t, Sans);
    ASSERT_NE(damaged, nullptr);
    QString text;
    for (char16_t c = 0x20; c < 0x17F; ++c) text += QChar(c);
    damaged->Layout(text, glyphs);
    EXPECT_LT(damaged->SubsetFile().size(), glyf.size() + loca.size() * 2 + 100000);
}
