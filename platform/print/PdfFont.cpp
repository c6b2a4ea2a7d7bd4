#include "platform/print/PdfFont_p.h"

#include "platform/report/ReportFonts.h"

#include <QRawFont>
#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace {

// Every table is read through these: an offset past the end reads as zero,
// so a damaged table gives wrong numbers but never a read outside it.
quint16 U16(const QByteArray& t, qsizetype at)
{
    if (at < 0 || at + 2 > t.size()) return 0;
    return qFromBigEndian<quint16>(t.constData() + at);
}

qint16 S16(const QByteArray& t, qsizetype at) { return qint16(U16(t, at)); }

quint32 U32(const QByteArray& t, qsizetype at)
{
    if (at < 0 || at + 4 > t.size()) return 0;
    return qFromBigEndian<quint32>(t.constData() + at);
}

void PutU16(QByteArray& t, qsizetype at, quint16 v) { qToBigEndian<quint16>(v, t.data() + at); }
void PutU32(QByteArray& t, qsizetype at, quint32 v) { qToBigEndian<quint32>(v, t.data() + at); }
void AppendU16(QByteArray& t, quint16 v)
{
    t.append(char(v >> 8));
    t.append(char(v & 0xFF));
}
void AppendU32(QByteArray& t, quint32 v)
{
    AppendU16(t, quint16(v >> 16));
    AppendU16(t, quint16(v & 0xFFFF));
}

constexpr char32_t NoCharacter = 0xFFFFFFFF;

// The tables the face is read from and the ones copied into the subset.
const char* const TableTags[] = {"head", "hhea", "hmtx", "maxp", "loca", "glyf", "cmap",
                                 "kern", "post", "OS/2", "name", "cvt ", "fpgm", "prep"};

// Faces whose tables are kept between documents.
constexpr size_t MaxKeptFaces = 16;

// A number as a PDF file states it: at most one decimal, no "-0".
QByteArray Number(double v)
{
    const double r = std::round(v * 10) / 10;
    if (r == std::floor(r)) return QByteArray::number(qint64(r));
    return QByteArray::number(r, 'f', 1);
}

// The characters a PDF name may hold without escapes, at most 63 of them.
QByteArray PdfNameCharacters(const QString& s)
{
    QByteArray out;
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-') out.append(char(u));
        if (out.size() == 63) break;
    }
    return out;
}

quint32 Checksum(const QByteArray& t)
{
    quint32 sum = 0;
    for (qsizetype i = 0; i < t.size(); i += 4) {
        quint32 word = 0;
        for (int k = 0; k < 4; ++k) word = (word << 8) | (i + k < t.size() ? uchar(t[i + k]) : 0);
        sum += word;
    }
    return sum;
}

void AppendUtf16Hex(QByteArray& out, char32_t c)
{
    char16_t units[2];
    const qsizetype n = QChar::requiresSurrogates(c) ? 2 : 1;
    if (n == 2) {
        units[0] = QChar::highSurrogate(c);
        units[1] = QChar::lowSurrogate(c);
    } else {
        units[0] = char16_t(c);
    }
    for (qsizetype i = 0; i < n; ++i) out.append(QByteArray::number(units[i], 16).rightJustified(4, '0').toUpper());
}

// The first of count entries, sorted by their key, whose key is not below c.
template <class Key>
qsizetype FirstNotBelow(qsizetype count, char32_t c, Key key)
{
    qsizetype lo = 0, hi = count;
    while (lo < hi) {
        const qsizetype mid = (lo + hi) / 2;
        if (key(mid) < c)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

} // namespace

struct PdfFont::Data {
    QHash<QByteArray, QByteArray> Tables;
    QByteArray Loca, Glyf, Cmap;
    int UnitsPerEm = 1000;
    double Scale = 1; // thousandths of the em per font unit
    int NumGlyphs = 0;
    bool LongLoca = false;

    std::vector<quint16> Advances; // per glyph
    // Kerning pairs sorted by left glyph, then right; the pairs of a left
    // glyph start at KernStart[left].
    struct KernPair {
        quint16 Right;
        qint16 Value;
    };
    std::vector<KernPair> Kerning;
    std::vector<quint32> KernStart;

    // The character map subtable in use (format 4 or 12), and the glyphs of
    // the Basic Multilingual Plane as looked up (glyph + 1; 0: not yet).
    int CmapFormat = 0;
    qsizetype CmapAt = 0, CmapEnd = 0;
    std::vector<quint16> Bmp;

    // The character each used glyph stands for (NoCharacter: unused).
    std::vector<char32_t> UsedFor;
    bool Used = false;

    QByteArray PostScriptName;
    float Ascent = 0, Descent = 0, CapHeight = 0, ItalicAngle = 0;
    QRectF BoundingBox;
    float UnderlinePosition = 0, UnderlineThickness = 0, StrikeOutPosition = 0;
    int Flags = 32;
    int StemV = 80;

    PdfFont* Fallback = nullptr;

    bool Read();
    void ReadCmap();
    void ReadKerning();
    void ReadMetrics();
    void ReadName(const QString& fallbackName);
    quint16 CmapLookup(char32_t c) const;
    quint16 GlyphFor(char32_t c);
    int Kern(quint16 left, quint16 right) const;
    void MarkUsed(quint16 glyph, char32_t c);
    QByteArray GlyphData(int glyph) const;
};

bool PdfFont::Data::Read()
{
    const QByteArray& head = Tables.value("head");
    const QByteArray& hhea = Tables.value("hhea");
    const QByteArray& maxp = Tables.value("maxp");
    const QByteArray& hmtx = Tables.value("hmtx");
    Loca = Tables.value("loca");
    Glyf = Tables.value("glyf");
    Cmap = Tables.value("cmap");
    if (head.size() < 54 || hhea.size() < 36 || maxp.size() < 6 || hmtx.isEmpty() || Loca.isEmpty() || Glyf.isEmpty())
        return false;
    if (U32(head, 12) != 0x5F0F3CF5) return false;
    UnitsPerEm = U16(head, 18);
    if (UnitsPerEm < 16 || UnitsPerEm > 16384) return false;
    Scale = 1000.0 / UnitsPerEm;
    const int locaFormat = S16(head, 50);
    if (locaFormat != 0 && locaFormat != 1) return false;
    LongLoca = locaFormat == 1;
    NumGlyphs = U16(maxp, 4);
    if (NumGlyphs == 0) return false;
    if (Loca.size() < qsizetype(NumGlyphs + 1) * (LongLoca ? 4 : 2)) return false;

    const int metrics = std::min<int>(U16(hhea, 34), NumGlyphs);
    if (metrics == 0 || hmtx.size() < qsizetype(metrics) * 4) return false;
    Advances.resize(NumGlyphs);
    for (int g = 0; g < NumGlyphs; ++g) Advances[g] = U16(hmtx, qsizetype(std::min(g, metrics - 1)) * 4);

    Bmp.assign(0x10000, 0);
    UsedFor.assign(NumGlyphs, NoCharacter);
    ReadCmap();
    ReadKerning();
    ReadMetrics();
    return true;
}

void PdfFont::Data::ReadCmap()
{
    // Prefer the full Unicode map, then the BMP one.
    const int count = U16(Cmap, 2);
    int best = 0;
    for (int i = 0; i < count && 4 + i * 8 + 8 <= Cmap.size(); ++i) {
        const qsizetype rec = 4 + qsizetype(i) * 8;
        const quint16 platform = U16(Cmap, rec), encoding = U16(Cmap, rec + 2);
        const quint32 at = U32(Cmap, rec + 4);
        if (at >= quint32(Cmap.size())) continue;
        const int format = U16(Cmap, at);
        const bool unicode = platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10));
        if (!unicode) continue;
        const int rank = format == 12 ? 2 : format == 4 ? 1 : 0;
        if (rank <= best) continue;
        qsizetype end = 0;
        if (format == 4)
            end = at + U16(Cmap, at + 2);
        else if (format == 12)
            end = at + U32(Cmap, at + 4);
        // A length past the table (common in fonts with a long format 4
        // subtable) is cut to the table.
        if (end <= at || end > Cmap.size()) end = Cmap.size();
        best = rank;
        CmapFormat = format;
        CmapAt = at;
        CmapEnd = end;
    }
}

quint16 PdfFont::Data::CmapLookup(char32_t c) const
{
    quint32 glyph = 0;
    if (CmapFormat == 4) {
        if (c > 0xFFFF) return 0;
        const QByteArray& t = Cmap;
        const qsizetype segCount = U16(t, CmapAt + 6) / 2;
        const qsizetype ends = CmapAt + 14, starts = ends + segCount * 2 + 2;
        const qsizetype deltas = starts + segCount * 2, rangeOffsets = deltas + segCount * 2;
        if (rangeOffsets + segCount * 2 > CmapEnd) return 0;
        const qsizetype lo = FirstNotBelow(segCount, c, [&](qsizetype i) { return U16(t, ends + i * 2); });
        if (lo == segCount) return 0;
        const quint16 start = U16(t, starts + lo * 2);
        if (c < start) return 0;
        const quint16 delta = U16(t, deltas + lo * 2);
        const quint16 rangeOffset = U16(t, rangeOffsets + lo * 2);
        if (rangeOffset == 0) {
            glyph = quint16(c + delta);
        } else {
            const qsizetype at = rangeOffsets + lo * 2 + rangeOffset + (c - start) * 2;
            if (at + 2 > CmapEnd) return 0;
            const quint16 g = U16(t, at);
            glyph = g == 0 ? 0 : quint16(g + delta);
        }
    } else if (CmapFormat == 12) {
        const QByteArray& t = Cmap;
        const qsizetype groups = CmapAt + 16;
        const qsizetype count = std::clamp<qsizetype>((CmapEnd - groups) / 12, 0, U32(t, CmapAt + 12));
        const qsizetype lo = FirstNotBelow(count, c, [&](qsizetype i) { return U32(t, groups + i * 12 + 4); });
        if (lo == count) return 0;
        const quint32 start = U32(t, groups + lo * 12);
        if (c < start) return 0;
        glyph = U32(t, groups + lo * 12 + 8) + (c - start);
    }
    return glyph < quint32(NumGlyphs) ? quint16(glyph) : 0;
}

quint16 PdfFont::Data::GlyphFor(char32_t c)
{
    if (c > 0xFFFF) return CmapLookup(c);
    quint16& known = Bmp[c];
    if (known == 0) known = CmapLookup(c) + 1;
    return known - 1;
}

void PdfFont::Data::ReadKerning()
{
    const QByteArray& t = Tables.value("kern");
    if (t.size() < 4) return;
    struct Entry {
        quint32 Key;
        int Value;
        bool Override;
    };
    std::vector<Entry> pairs;
    // The Windows header (version 0, 16-bit counts) or the Apple one
    // (version 1.0, 32-bit counts, coverage bits the other way round).
    const bool apple = U16(t, 0) == 1;
    const quint32 count = apple ? U32(t, 4) : U16(t, 2);
    qsizetype at = apple ? 8 : 4;
    for (quint32 i = 0; i < count && at + 8 <= t.size(); ++i) {
        qsizetype length, data;
        bool horizontal, override = false;
        int format;
        if (apple) {
            length = U32(t, at);
            const quint16 coverage = U16(t, at + 4);
            horizontal = (coverage & 0xE000) == 0;
            format = coverage & 0xFF;
            data = at + 8;
        } else {
            length = U16(t, at + 2);
            const quint16 coverage = U16(t, at + 4);
            horizontal = (coverage & 0x7) == 0x1;
            override = coverage & 0x8;
            format = coverage >> 8;
            data = at + 6;
        }
        if (horizontal && format == 0) {
            // The pair count, not the subtable length (which overflows 16
            // bits in large tables), says where the pairs end, within the
            // table.
            const qsizetype n = std::min<qsizetype>(U16(t, data), (t.size() - data - 8) / 6);
            for (qsizetype p = 0; p < n; ++p) {
                const qsizetype rec = data + 8 + p * 6;
                pairs.push_back({U32(t, rec), S16(t, rec + 4), override});
            }
        }
        if (length < 6) break;
        at += length;
    }
    if (pairs.empty()) return;
    std::stable_sort(pairs.begin(), pairs.end(), [](const Entry& a, const Entry& b) { return a.Key < b.Key; });
    KernStart.assign(NumGlyphs + 1, 0);
    Kerning.reserve(pairs.size());
    std::vector<quint16> lefts;
    lefts.reserve(pairs.size());
    for (size_t i = 0; i < pairs.size();) {
        int value = 0;
        size_t j = i;
        for (; j < pairs.size() && pairs[j].Key == pairs[i].Key; ++j)
            value = pairs[j].Override ? pairs[j].Value : value + pairs[j].Value;
        const quint16 left = quint16(pairs[i].Key >> 16);
        if (left < NumGlyphs && value != 0) {
            Kerning.push_back({quint16(pairs[i].Key & 0xFFFF), qint16(std::clamp(value, -32768, 32767))});
            lefts.push_back(left);
        }
        i = j;
    }
    // KernStart[g] is the first pair whose left glyph is g or later.
    size_t k = 0;
    for (int g = 0; g <= NumGlyphs; ++g) {
        while (k < lefts.size() && lefts[k] < g) ++k;
        KernStart[g] = quint32(k);
    }
}

int PdfFont::Data::Kern(quint16 left, quint16 right) const
{
    if (Kerning.empty() || left >= NumGlyphs) return 0;
    const auto first = Kerning.begin() + KernStart[left], last = Kerning.begin() + KernStart[left + 1];
    const auto it = std::lower_bound(first, last, right, [](const KernPair& p, quint16 r) { return p.Right < r; });
    return it != last && it->Right == right ? it->Value : 0;
}

void PdfFont::Data::ReadMetrics()
{
    const QByteArray& head = Tables.value("head");
    const QByteArray& hhea = Tables.value("hhea");
    const QByteArray& post = Tables.value("post");
    const QByteArray& os2 = Tables.value("OS/2");
    const bool hasOs2 = os2.size() >= 78;

    const double xMin = S16(head, 36), yMin = S16(head, 38), xMax = S16(head, 40), yMax = S16(head, 42);
    BoundingBox = QRectF(xMin * Scale, yMin * Scale, (xMax - xMin) * Scale, (yMax - yMin) * Scale);

    // As Qt takes them: the typographic values when the face asks for them,
    // the Windows ones when the horizontal header has none.
    double ascent = S16(hhea, 4), descent = S16(hhea, 6);
    if (hasOs2 && (U16(os2, 62) & 0x80)) {
        ascent = S16(os2, 68);
        descent = S16(os2, 70);
    } else if (ascent == 0 && descent == 0 && hasOs2) {
        ascent = U16(os2, 74);
        descent = -double(U16(os2, 76));
    }
    Ascent = float(ascent * Scale);
    Descent = float(-std::abs(descent) * Scale);

    double capHeight = 0;
    if (hasOs2 && U16(os2, 0) >= 2 && os2.size() >= 90) capHeight = S16(os2, 88);
    if (capHeight <= 0) {
        const QByteArray h = GlyphData(GlyphFor(U'H'));
        if (h.size() >= 10) capHeight = S16(h, 8);
    }
    if (capHeight <= 0) capHeight = ascent * 0.7;
    CapHeight = float(capHeight * Scale);

    // Line positions are the middle of the line, above the base line; the
    // underline where Qt draws it, at the position the face gives.
    if (post.size() >= 16) {
        ItalicAngle = float(qint32(U32(post, 4)) / 65536.0);
        UnderlinePosition = float(S16(post, 8) * Scale);
        UnderlineThickness = float(S16(post, 10) * Scale);
    }
    if (UnderlineThickness <= 0) {
        UnderlineThickness = 50;
        UnderlinePosition = -100;
    }
    // Where the screen and the printer draw it, so the PDF shows the same.
    StrikeOutPosition = Ascent / 3;

    const bool italic = ItalicAngle != 0 || (U16(head, 44) & 0x2) || (hasOs2 && (U16(os2, 62) & 0x1));
    const bool fixedPitch = post.size() >= 16 && U32(post, 12) != 0;
    // Serif by the family class, or by the Latin text PANOSE serif style
    // when the class is not given.
    bool serif = false;
    if (hasOs2) {
        const int familyClass = U16(os2, 30) >> 8;
        if (familyClass == 0)
            serif = uchar(os2[32]) == 2 && uchar(os2[33]) >= 2 && uchar(os2[33]) <= 10;
        else
            serif = familyClass <= 5 || familyClass == 7;
    }
    Flags = 32 | (italic ? 64 : 0) | (fixedPitch ? 1 : 0) | (serif ? 2 : 0);
    if (hasOs2) {
        const int weight = std::clamp<int>(U16(os2, 4), 100, 900);
        StemV = 10 + 220 * (weight - 50) / 900;
    }
}

void PdfFont::Data::ReadName(const QString& fallbackName)
{
    const QByteArray& t = Tables.value("name");
    const int count = U16(t, 2);
    const qsizetype storage = U16(t, 4);
    QString windows, mac;
    for (int i = 0; i < count && 6 + qsizetype(i) * 12 + 12 <= t.size(); ++i) {
        const qsizetype rec = 6 + qsizetype(i) * 12;
        if (U16(t, rec + 6) != 6) continue;
        const quint16 platform = U16(t, rec), encoding = U16(t, rec + 2);
        const qsizetype length = U16(t, rec + 8), at = storage + U16(t, rec + 10);
        if (at + length > t.size()) continue;
        const QByteArray bytes = t.mid(at, length);
        if ((platform == 3 || platform == 0) && windows.isEmpty()) {
            for (qsizetype k = 0; k + 1 < bytes.size(); k += 2) windows.append(QChar(U16(bytes, k)));
        } else if (platform == 1 && encoding == 0 && mac.isEmpty()) {
            mac = QString::fromLatin1(bytes);
        }
    }
    PostScriptName = PdfNameCharacters(windows.isEmpty() ? mac : windows);
    if (PostScriptName.isEmpty()) PostScriptName = PdfNameCharacters(fallbackName);
    if (PostScriptName.isEmpty()) PostScriptName = "Font";
}

void PdfFont::Data::MarkUsed(quint16 glyph, char32_t c)
{
    Used = true;
    if (UsedFor[glyph] == NoCharacter) UsedFor[glyph] = c;
}

QByteArray PdfFont::Data::GlyphData(int glyph) const
{
    if (glyph < 0 || glyph >= NumGlyphs) return {};
    const qsizetype start = LongLoca ? U32(Loca, glyph * 4) : qsizetype(U16(Loca, glyph * 2)) * 2;
    const qsizetype end = LongLoca ? U32(Loca, glyph * 4 + 4) : qsizetype(U16(Loca, glyph * 2 + 2)) * 2;
    // An outline shorter than its header, or outside the table, is no outline.
    if (end - start < 10 || end > Glyf.size()) return {};
    return Glyf.mid(start, end - start);
}

PdfFont::PdfFont() : d(std::make_unique<Data>()) { }

PdfFont::~PdfFont() = default;

std::unique_ptr<PdfFont> PdfFont::Open(const QString& family, bool bold, bool italic)
{
    TPageFont page;
    page.Family = family;
    page.Bold = bold;
    page.Italic = italic;
    // The machine's faces do not change while the program runs, and finding
    // one costs more than writing a page: their tables are kept (shared, not
    // copied), a few faces at the most. PDFs are written on the GUI thread.
    struct Kept {
        QString Family;
        bool Bold, Italic;
        QHash<QByteArray, QByteArray> Tables;
    };
    static std::vector<Kept> kept;
    const Kept* found = nullptr;
    for (const Kept& k : kept)
        if (k.Bold == bold && k.Italic == italic && k.Family == family) found = &k;
    if (!found) {
        QHash<QByteArray, QByteArray> tables;
        const QRawFont raw = QRawFont::fromFont(ReportFonts::QtFont(page));
        if (raw.isValid()) {
            for (const char* tag : TableTags) {
                const QByteArray table = raw.fontTable(tag);
                if (!table.isEmpty()) tables.insert(tag, table);
            }
        }
        if (kept.size() >= MaxKeptFaces) kept.clear();
        kept.push_back(Kept{family, bold, italic, std::move(tables)});
        found = &kept.back();
    }
    if (found->Tables.isEmpty()) return nullptr;
    const QHash<QByteArray, QByteArray>& tables = found->Tables;
    QString name = family;
    if (bold || italic) name += QLatin1Char('-');
    if (bold) name += QLatin1String("Bold");
    if (italic) name += QLatin1String("Italic");
    return FromTables(tables, name);
}

std::unique_ptr<PdfFont> PdfFont::FromTables(const QHash<QByteArray, QByteArray>& tables, const QString& name)
{
    std::unique_ptr<PdfFont> font(new PdfFont);
    font->d->Tables = tables;
    if (!font->d->Read()) return nullptr;
    font->d->ReadName(name);
    return font;
}

void PdfFont::SetFallback(PdfFont* fallback) { d->Fallback = fallback == this ? nullptr : fallback; }

void PdfFont::Layout(QStringView text, std::vector<Glyph>& out)
{
    out.clear();
    const qsizetype n = text.size();
    out.reserve(size_t(n));
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
        else if (QChar::isSurrogate(c))
            c = QChar::ReplacementCharacter;
        Glyph g;
        g.Id = d->GlyphFor(c);
        Data* face = d.get();
        if (g.Id == 0 && d->Fallback) {
            if (const quint16 other = d->Fallback->d->GlyphFor(c)) {
                g.Id = other;
                g.Face = 1;
                face = d->Fallback->d.get();
            }
        }
        face->MarkUsed(g.Id, c);
        out.push_back(g);
    }
    for (size_t i = 0; i < out.size(); ++i) {
        const Data& face = out[i].Face ? *d->Fallback->d : *d;
        int units = face.Advances[out[i].Id];
        if (i + 1 < out.size() && out[i + 1].Face == out[i].Face) units += face.Kern(out[i].Id, out[i + 1].Id);
        out[i].Advance = float(units * face.Scale);
    }
}

float PdfFont::GlyphWidth(quint16 id) const { return id < d->NumGlyphs ? float(d->Advances[id] * d->Scale) : 0.f; }

float PdfFont::Ascent() const { return d->Ascent; }
float PdfFont::Descent() const { return d->Descent; }
float PdfFont::CapHeight() const { return d->CapHeight; }
float PdfFont::ItalicAngle() const { return d->ItalicAngle; }
QRectF PdfFont::BoundingBox() const { return d->BoundingBox; }
float PdfFont::UnderlinePosition() const { return d->UnderlinePosition; }
float PdfFont::UnderlineThickness() const { return d->UnderlineThickness; }
float PdfFont::StrikeOutPosition() const { return d->StrikeOutPosition; }
bool PdfFont::Used() const { return d->Used; }

QByteArray PdfFont::BaseFont() const
{
    // The tag tells subsets of one face apart: a hash of the glyphs kept.
    quint64 hash = 14695981039346656037ull;
    for (int g = 0; g < d->NumGlyphs; ++g) {
        if (d->UsedFor[g] == NoCharacter) continue;
        hash = (hash ^ quint64(g)) * 1099511628211ull;
    }
    QByteArray tag(6, 'A');
    for (char& c : tag) {
        c = char('A' + hash % 26);
        hash /= 26;
    }
    return tag + '+' + d->PostScriptName;
}

QByteArray PdfFont::Widths() const
{
    QByteArray out = "[";
    int previous = -2;
    for (int g = 0; g < d->NumGlyphs; ++g) {
        if (d->UsedFor[g] == NoCharacter) continue;
        if (g != previous + 1) {
            if (previous >= 0) out += "] ";
            out += QByteArray::number(g) + " [";
        } else {
            out += ' ';
        }
        out += Number(d->Advances[g] * d->Scale);
        previous = g;
    }
    if (previous >= 0) out += ']';
    return out + ']';
}

QByteArray PdfFont::DescriptorEntries() const
{
    const QRectF& box = d->BoundingBox;
    auto n = [](double v) { return QByteArray::number(qRound(v)); };
    return "/Flags " + QByteArray::number(d->Flags) + " /FontBBox [" + n(box.left()) + ' ' + n(box.top()) + ' ' +
        n(box.right()) + ' ' + n(box.bottom()) + "] /ItalicAngle " + Number(d->ItalicAngle) + " /Ascent " +
        n(d->Ascent) + " /Descent " + n(d->Descent) + " /CapHeight " + n(d->CapHeight) + " /StemV " +
        QByteArray::number(d->StemV);
}

QByteArray PdfFont::SubsetFile() const
{
    // The glyphs kept: those used, the missing glyph, and the glyphs
    // composite glyphs are made of (each looked at once, so a cycle of
    // components ends).
    std::vector<bool> keep(d->NumGlyphs, false);
    std::vector<quint16> pending;
    keep[0] = true;
    pending.push_back(0);
    for (int g = 1; g < d->NumGlyphs; ++g)
        if (d->UsedFor[g] != NoCharacter) {
            keep[g] = true;
            pending.push_back(quint16(g));
        }
    while (!pending.empty()) {
        const QByteArray outline = d->GlyphData(pending.back());
        pending.pop_back();
        if (S16(outline, 0) >= 0) continue;
        qsizetype at = 10;
        for (;;) {
            if (at + 4 > outline.size()) break;
            const quint16 flags = U16(outline, at), component = U16(outline, at + 2);
            if (component < d->NumGlyphs && !keep[component]) {
                keep[component] = true;
                pending.push_back(component);
            }
            at += 4 + ((flags & 0x1) ? 4 : 2);
            if (flags & 0x8)
                at += 2;
            else if (flags & 0x40)
                at += 4;
            else if (flags & 0x80)
                at += 8;
            if (!(flags & 0x20)) break;
        }
    }

    // Outlines of a sound face do not overlap, so the kept ones fit in the
    // face's glyph table (with alignment); a damaged location table whose
    // outlines each span the table gets no more.
    const qsizetype budget = d->Glyf.size() + qsizetype(d->NumGlyphs) * 4;
    QByteArray glyf, loca;
    loca.reserve(qsizetype(d->NumGlyphs + 1) * 4);
    for (int g = 0; g < d->NumGlyphs; ++g) {
        AppendU32(loca, quint32(glyf.size()));
        if (!keep[g]) continue;
        const QByteArray outline = d->GlyphData(g);
        if (glyf.size() + outline.size() > budget) continue;
        glyf += outline;
        while (glyf.size() % 4) glyf.append('\0');
    }
    AppendU32(loca, quint32(glyf.size()));

    QHash<QByteArray, QByteArray> tables;
    for (const char* tag : {"head", "hhea", "hmtx", "maxp", "cvt ", "fpgm", "prep"})
        if (d->Tables.contains(tag)) tables.insert(tag, d->Tables.value(tag));
    tables.insert("glyf", glyf);
    tables.insert("loca", loca);
    QByteArray& head = tables["head"];
    head.detach();
    PutU32(head, 8, 0);
    PutU16(head, 50, 1);

    QList<QByteArray> tags = tables.keys();
    std::sort(tags.begin(), tags.end());
    const quint16 count = quint16(tags.size());
    quint16 power = 1, log = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++log;
    }
    QByteArray file;
    AppendU32(file, 0x00010000);
    AppendU16(file, count);
    AppendU16(file, quint16(power * 16));
    AppendU16(file, log);
    AppendU16(file, quint16(count * 16 - power * 16));
    qsizetype offset = 12 + qsizetype(count) * 16;
    QByteArray body;
    qsizetype headAt = 0;
    for (const QByteArray& tag : tags) {
        const QByteArray& table = tables.value(tag);
        file += tag;
        AppendU32(file, Checksum(table));
        AppendU32(file, quint32(offset + body.size()));
        AppendU32(file, quint32(table.size()));
        if (tag == "head") headAt = offset + body.size();
        body += table;
        while (body.size() % 4) body.append('\0');
    }
    file += body;
    PutU32(file, headAt + 8, 0xB1B0AFBA - Checksum(file));
    return file;
}

QByteArray PdfFont::ToUnicode() const
{
    QByteArray entries;
    int inBlock = 0;
    QByteArray out = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                     "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                     "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                     "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    auto flush = [&] {
        if (inBlock == 0) return;
        out += QByteArray::number(inBlock) + " beginbfchar\n" + entries + "endbfchar\n";
        entries.clear();
        inBlock = 0;
    };
    for (int g = 0; g < d->NumGlyphs; ++g) {
        const char32_t c = d->UsedFor[g];
        if (c == NoCharacter) continue;
        entries += '<' + QByteArray::number(g, 16).rightJustified(4, '0').toUpper() + "> <";
        AppendUtf16Hex(entries, c);
        entries += ">\n";
        if (++inBlock == 100) flush();
    }
    flush();
    return out + "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
}
