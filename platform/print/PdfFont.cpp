#include "platform/print/PdfFont_p.h"

#include "platform/graphics/PictureReader.h"
#include "platform/report/ReportFonts.h"

#include <QRawFont>
#include <QtEndian>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_CID_H
#include <algorithm>
#include <cmath>
#include <functional>
#include <hb-ot.h>
#include <hb-subset.h>
#include <hb.h>
#include <vector>

namespace {

// The tables a face is read from: outlines, metrics and names. Shaping is
// Qt's, so the character map and the layout tables stay out, and with them
// whatever damage they hold.
const char* const TableTags[] = {"head", "hhea", "hmtx", "maxp", "loca", "glyf", "CFF ", "OS/2", "post", "name"};

// The tables of a face whose glyphs are colour pictures (PNG in 'CBDT' or
// 'sbix'), with the metrics that place them.
const char* const PictureTableTags[] = {"head", "hhea", "hmtx", "maxp", "CBDT", "CBLC", "sbix", "OS/2", "post", "name"};

// Faces kept while the program runs.
constexpr size_t MaxKeptFaces = 16;

// What a glyph stands for: nothing yet, nothing (used inside a cluster that
// tells its characters itself), several characters (kept aside), or the
// one character held.
constexpr char32_t NotUsed = 0xFFFFFFFF;
constexpr char32_t NoCharacters = 0xFFFFFFFE;
constexpr char32_t SeveralCharacters = 0xFFFFFFFD;

// The codes of colour pictures: 0 draws nothing, the last is the font's
// own (PdfFonts).
constexpr size_t MaxPictureCodes = 255;

constexpr hb_tag_t Tag(const char* t) { return HB_TAG(t[0], t[1], t[2], t[3]); }

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

void AppendUtf16Hex(QByteArray& out, QStringView chars)
{
    for (const QChar c : chars) out.append(QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper());
}

struct BlobDeleter {
    void operator()(hb_blob_t* b) const { hb_blob_destroy(b); }
};
struct FaceDeleter {
    void operator()(hb_face_t* f) const { hb_face_destroy(f); }
};
struct FontDeleter {
    void operator()(hb_font_t* f) const { hb_font_destroy(f); }
};
using Blob = std::unique_ptr<hb_blob_t, BlobDeleter>;
using Face = std::unique_ptr<hb_face_t, FaceDeleter>;
using Font = std::unique_ptr<hb_font_t, FontDeleter>;

// A blob over a copy of bytes, owned by HarfBuzz.
Blob BlobOf(const QByteArray& bytes)
{
    auto* owned = new QByteArray(bytes);
    return Blob(hb_blob_create(owned->constData(), unsigned(owned->size()), HB_MEMORY_MODE_READONLY, owned,
                               [](void* p) { delete static_cast<QByteArray*>(p); }));
}

unsigned TableLength(hb_face_t* face, const char* tag)
{
    const Blob table(hb_face_reference_table(face, Tag(tag)));
    return hb_blob_get_length(table.get());
}

// A field of a small table; zero past its end.
quint32 Field(hb_face_t* face, const char* tag, unsigned at, int bytes)
{
    const Blob table(hb_face_reference_table(face, Tag(tag)));
    unsigned length = 0;
    const char* data = hb_blob_get_data(table.get(), &length);
    if (!data || at + unsigned(bytes) > length) return 0;
    quint32 v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | uchar(data[at + unsigned(i)]);
    return v;
}

// The face made of the tables table() gives (a null table is none), as
// one file HarfBuzz reads; null without outlines to embed.
Face BuildFace(const std::function<QByteArray(const char*)>& table)
{
    Face builder(hb_face_builder_create());
    bool outlines = false;
    for (const char* tag : TableTags) {
        const QByteArray bytes = table(tag);
        if (bytes.isEmpty()) continue;
        outlines |= qstrcmp(tag, "glyf") == 0 || qstrcmp(tag, "CFF ") == 0;
        const Blob blob = BlobOf(bytes);
        hb_face_builder_add_table(builder.get(), Tag(tag), blob.get());
    }
    if (!outlines) return nullptr;
    const Blob file(hb_face_reference_blob(builder.get()));
    Face face(hb_face_create(file.get(), 0));
    const unsigned upem = hb_face_get_upem(face.get());
    if (upem < 16 || upem > 16384 || hb_face_get_glyph_count(face.get()) == 0) return nullptr;
    const bool trueType = TableLength(face.get(), "glyf") && TableLength(face.get(), "loca");
    if (!trueType && !TableLength(face.get(), "CFF ")) return nullptr;
    // The subsetter must take it: a trial with the missing glyph alone.
    hb_subset_input_t* input = hb_subset_input_create_or_fail();
    if (!input) return nullptr;
    hb_set_add(hb_subset_input_glyph_set(input), 0);
    hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_NO_HINTING | HB_SUBSET_FLAGS_RETAIN_GIDS);
    const Face trial(hb_subset_or_fail(face.get(), input));
    hb_subset_input_destroy(input);
    if (!trial) return nullptr;
    return face;
}

// A face without outlines whose glyphs are colour pictures HarfBuzz reads;
// null for any other.
Face BuildPictureFace(const std::function<QByteArray(const char*)>& table)
{
    Face builder(hb_face_builder_create());
    for (const char* tag : PictureTableTags) {
        const QByteArray bytes = table(tag);
        if (bytes.isEmpty()) continue;
        const Blob blob = BlobOf(bytes);
        hb_face_builder_add_table(builder.get(), Tag(tag), blob.get());
    }
    const Blob file(hb_face_reference_blob(builder.get()));
    Face face(hb_face_create(file.get(), 0));
    const unsigned upem = hb_face_get_upem(face.get());
    if (upem < 16 || upem > 16384 || hb_face_get_glyph_count(face.get()) == 0) return nullptr;
    if (!hb_ot_color_has_png(face.get())) return nullptr;
    return face;
}

// The faces read, by the identity of Qt's face; a null face is one that
// cannot be embedded. Shared, never copied: PDFs are written on the GUI
// thread.
using Codes = std::shared_ptr<const std::vector<quint16>>;

struct Kept {
    QByteArray Key;
    std::shared_ptr<hb_face_t> Face;
    QString Name;
    bool LatinIsGlyphForCharacter = false;
    Codes Cids;
    bool Pictures = false;
    double PictureScale = 1;
};

// What Qt scales a face's colour pictures by beyond the size the face
// gives them (it fits a picture's strike into the em, ascent to descent):
// a picture's width as Qt places it against the face's own.
double PictureScaleOf(const QRawFont& raw, hb_face_t* face)
{
    const Font font(hb_font_create(face));
    const double upem = hb_face_get_upem(face);
    const unsigned glyphs = std::min(hb_face_get_glyph_count(face), 256u);
    for (unsigned g = 1; g < glyphs; ++g) {
        hb_glyph_extents_t e;
        if (!hb_font_get_glyph_extents(font.get(), g, &e) || e.width <= 0) continue;
        const double qt = raw.boundingRect(g).width() / raw.pixelSize();
        if (qt > 0) return std::clamp(qt * upem / e.width, 0.25, 4.0);
    }
    return 1;
}

// The CID of each glyph of CFF outlines keyed by CIDs (FreeType reads the
// charset); null for any other face.
Codes CidsOf(hb_face_t* face)
{
    if (!face || !TableLength(face, "CFF ")) return nullptr;
    const Blob file(hb_face_reference_blob(face));
    unsigned length = 0;
    const char* data = hb_blob_get_data(file.get(), &length);
    FT_Library library = nullptr;
    if (!data || FT_Init_FreeType(&library)) return nullptr;
    FT_Face ft = nullptr;
    std::shared_ptr<std::vector<quint16>> cids;
    if (!FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(data), FT_Long(length), 0, &ft)) {
        FT_Bool keyed = 0;
        if (!FT_Get_CID_Is_Internally_CID_Keyed(ft, &keyed) && keyed) {
            cids = std::make_shared<std::vector<quint16>>(std::min<size_t>(size_t(ft->num_glyphs), 65536));
            for (size_t g = 0; g < cids->size(); ++g) {
                FT_UInt cid = 0;
                if (FT_Get_CID_From_Glyph_Index(ft, FT_UInt(g), &cid) || cid > 0xFFFF) cid = 0;
                (*cids)[g] = quint16(cid);
            }
        }
        FT_Done_Face(ft);
    }
    FT_Done_FreeType(library);
    return cids;
}

// Whether the layout tables leave Latin text glyph for character, kerned by
// the 'kern' table alone (see LatinIsGlyphForCharacter): no ligature or
// contextual substitution shaping applies to Latin text by default takes
// the glyphs of Latin letters, digits and punctuation alone, and positions
// come from the 'kern' table where it is, a table that reads whole.
bool LayoutKeepsLatinPlain(const QRawFont& raw)
{
    Face builder(hb_face_builder_create());
    for (const char* tag : {"GSUB", "GPOS", "maxp"}) {
        const Blob blob = BlobOf(raw.fontTable(tag));
        hb_face_builder_add_table(builder.get(), Tag(tag), blob.get());
    }
    const Blob file(hb_face_reference_blob(builder.get()));
    const Face layout(hb_face_create(file.get(), 0));

    QString latin;
    for (char16_t c = 0x20; c < 0x300; ++c)
        if (c < 0x7F || c >= 0xA0) latin += QChar(c);
    std::vector<quint32> ids(size_t(latin.size()));
    int count = int(ids.size());
    if (!raw.glyphIndexesForChars(latin.constData(), int(latin.size()), ids.data(), &count)) return false;
    struct Set {
        hb_set_t* s = hb_set_create();
        ~Set() { hb_set_destroy(s); }
    };
    Set plain;
    for (int i = 0; i < count; ++i)
        if (ids[size_t(i)]) hb_set_add(plain.s, ids[size_t(i)]);
    const auto meets = [&](hb_set_t* glyphs) {
        Set both;
        hb_set_set(both.s, glyphs);
        hb_set_intersect(both.s, plain.s);
        return !hb_set_is_empty(both.s);
    };

    // The lookups of the features of Latin text (else of the default
    // script) in the default language, as shaping takes them.
    const auto collect = [&](hb_tag_t table, const hb_tag_t* features, hb_set_t* lookups) {
        for (const hb_tag_t script : {HB_TAG('l', 'a', 't', 'n'), HB_OT_TAG_DEFAULT_SCRIPT}) {
            unsigned scriptIndex = 0;
            if (!hb_ot_layout_table_find_script(layout.get(), table, script, &scriptIndex)) continue;
            for (; *features; ++features) {
                unsigned feature = 0;
                if (!hb_ot_layout_language_find_feature(layout.get(), table, scriptIndex,
                                                        HB_OT_LAYOUT_DEFAULT_LANGUAGE_INDEX, *features, &feature))
                    continue;
                hb_tag_t indexes[64];
                for (unsigned start = 0;;) {
                    unsigned n = 64;
                    hb_ot_layout_feature_get_lookups(layout.get(), table, feature, start, &n, indexes);
                    for (unsigned k = 0; k < n; ++k) hb_set_add(lookups, indexes[k]);
                    if (n < 64) break;
                    start += n;
                }
            }
            return;
        }
    };
    Set lookups;
    // Ligatures and contextual forms; the composition of marks ('ccmp')
    // and a language's own forms ('locl') leave the default language's
    // plain text alone.
    const hb_tag_t substitutions[] = {HB_TAG('r', 'l', 'i', 'g'), HB_TAG('l', 'i', 'g', 'a'),
                                      HB_TAG('c', 'l', 'i', 'g'), HB_TAG('c', 'a', 'l', 't'),
                                      HB_TAG('r', 'c', 'l', 't'), HB_TAG_NONE};
    collect(HB_OT_TAG_GSUB, substitutions, lookups.s);
    for (hb_codepoint_t lookup = HB_SET_VALUE_INVALID; hb_set_next(lookups.s, &lookup);) {
        Set before, input, after, output;
        hb_ot_layout_lookup_collect_glyphs(layout.get(), HB_OT_TAG_GSUB, lookup, before.s, input.s, after.s, output.s);
        if (meets(input.s) && (hb_set_is_empty(before.s) || meets(before.s)) &&
            (hb_set_is_empty(after.s) || meets(after.s))) {
            return false;
        }
    }
    Set positions;
    const hb_tag_t kerning[] = {HB_TAG('k', 'e', 'r', 'n'), HB_TAG('d', 'i', 's', 't'), HB_TAG_NONE};
    collect(HB_OT_TAG_GPOS, kerning, positions.s);
    const QByteArray kern = raw.fontTable("kern");
    return (hb_set_is_empty(positions.s) || !kern.isEmpty()) && ReportFonts::KerningReadable(kern);
}

std::vector<Kept>& KeptFaces()
{
    static std::vector<Kept> kept;
    return kept;
}

} // namespace

struct PdfFont::Data {
    std::shared_ptr<hb_face_t> Face;
    Font Metrics;
    int UnitsPerEm = 1000;
    double Scale = 1; // thousandths of the em per font unit
    int NumGlyphs = 0;
    Outlines Kind = TrueTypeOutlines;
    std::vector<char32_t> UsedFor; // per glyph
    QHash<quint16, QString> Several;
    bool Used = false;
    QByteArray PostScriptName;
    bool LatinIsGlyphForCharacter = false;
    Codes Cids;
    double PictureScale = 1;
    // The face as FreeType opened it for the screen; invalid when the face
    // came from elsewhere (its file is opened then).
    QRawFont Screen;
    // Colour pictures: the glyph of each code, and the code of each glyph
    // (0: none yet).
    std::vector<quint16> CodeGlyphs;
    std::vector<quint8> GlyphCodes;
    // Codes of their own for glyphs drawn for other characters, from the
    // first code past the CIDs on: the glyph and the characters of each,
    // and the code of each glyph and characters.
    struct Alias {
        quint16 Glyph;
        QString Characters;
    };
    std::vector<Alias> Aliases;
    QHash<QString, int> AliasCodes;
    int FirstAlias = -1;

    quint16 Code(int glyph) const
    {
        if (Kind == ColourPictures) return size_t(glyph) < GlyphCodes.size() ? GlyphCodes[size_t(glyph)] : 0;
        return Cids && size_t(glyph) < Cids->size() ? (*Cids)[size_t(glyph)] : quint16(glyph);
    }
    void GiveCode(quint16 glyph)
    {
        if (Kind != ColourPictures || glyph == 0 || GlyphCodes[glyph] || CodeGlyphs.size() >= MaxPictureCodes) return;
        GlyphCodes[glyph] = quint8(CodeGlyphs.size());
        CodeGlyphs.push_back(glyph);
    }
    // The used glyphs (with the missing one) as (code, glyph), by code.
    std::vector<std::pair<quint16, quint16>> UsedByCode() const;
    // The characters the glyph's own code stands for.
    QString Own(quint16 glyph) const
    {
        const char32_t c = UsedFor[glyph];
        if (c == NotUsed || c == NoCharacters) return {};
        if (c == SeveralCharacters) return Several.value(glyph);
        return QString(QChar(char16_t(c)));
    }

    bool Read(std::shared_ptr<hb_face_t> face, const QString& fallbackName, bool pictures);
    void ReadName(const QString& fallbackName);
    // The glyphs used, the missing one first.
    std::vector<quint32> UsedGlyphs() const;
    // A font file of the face as FreeType (as readers) opens it.
    QRawFont Opened(hb_blob_t* file) const;
    // Whether the subset's file reads as the face (see SubsetFile); whole
    // is the whole face as FreeType opens it (invalid when it does not).
    bool SubsetReadsAsFace(hb_blob_t* file, const QRawFont& whole) const;
    // A font file of the face as the document embeds it: CFF outlines
    // keyed by CIDs as their table alone.
    static QByteArray Embedded(hb_face_t* file, bool cffTable);
};

bool PdfFont::Data::Read(std::shared_ptr<hb_face_t> face, const QString& fallbackName, bool pictures)
{
    if (!face) return false;
    Face = std::move(face);
    Metrics.reset(hb_font_create(Face.get()));
    UnitsPerEm = int(hb_face_get_upem(Face.get()));
    Scale = 1000.0 / UnitsPerEm;
    NumGlyphs = int(std::min(hb_face_get_glyph_count(Face.get()), 65536u));
    Kind = pictures ? ColourPictures : TableLength(Face.get(), "glyf") ? TrueTypeOutlines : CffOutlines;
    UsedFor.assign(size_t(NumGlyphs), NotUsed);
    if (pictures) {
        CodeGlyphs.assign(1, 0);
        GlyphCodes.assign(size_t(NumGlyphs), 0);
    }
    ReadName(fallbackName);
    return true;
}

void PdfFont::Data::ReadName(const QString& fallbackName)
{
    char16_t text[128];
    unsigned length = 127;
    hb_ot_name_get_utf16(Face.get(), HB_OT_NAME_ID_POSTSCRIPT_NAME, HB_LANGUAGE_INVALID, &length,
                         reinterpret_cast<uint16_t*>(text));
    PostScriptName = PdfNameCharacters(QString::fromUtf16(text, qsizetype(std::min(length, 127u))));
    if (PostScriptName.isEmpty()) PostScriptName = PdfNameCharacters(fallbackName);
    if (PostScriptName.isEmpty()) PostScriptName = "Font";
}

PdfFont::PdfFont() : d(std::make_unique<Data>()) { }

PdfFont::~PdfFont() = default;

QByteArray PdfFont::Key(const QRawFont& raw)
{
    // Qt draws characters no installed face has with a face of boxes: no
    // tables and no names (asking its family crashes Qt).
    const QByteArray head = raw.isValid() ? raw.fontTable("head") : QByteArray();
    if (head.isEmpty()) return {};
    // The family, style and header (which holds the file's checksum and
    // dates).
    return raw.familyName().toUtf8() + '\x1F' + raw.styleName().toUtf8() + '\x1F' + QByteArray::number(raw.weight()) +
        '\x1F' + QByteArray::number(int(raw.style())) + '\x1F' + head;
}

std::unique_ptr<PdfFont> PdfFont::Open(const QRawFont& raw)
{
    QByteArray key = Key(raw);
    if (key.isEmpty()) return nullptr;
    std::vector<Kept>& kept = KeptFaces();
    const Kept* found = nullptr;
    for (const Kept& k : kept)
        if (k.Key == key) found = &k;
    if (!found) {
        const auto table = [&](const char* tag) { return raw.fontTable(tag); };
        Face face = BuildFace(table);
        const bool pictures = !face;
        if (pictures) face = BuildPictureFace(table);
        QString name = raw.familyName();
        if (!raw.styleName().isEmpty()) name += QLatin1Char('-') + raw.styleName();
        const bool plain = face && !pictures && LayoutKeepsLatinPlain(raw);
        Codes cids = pictures ? nullptr : CidsOf(face.get());
        const double scale = pictures && face ? PictureScaleOf(raw, face.get()) : 1;
        if (kept.size() >= MaxKeptFaces) kept.clear();
        kept.push_back(Kept{std::move(key), std::shared_ptr<hb_face_t>(face.release(), FaceDeleter()), name, plain,
                            std::move(cids), pictures, scale});
        found = &kept.back();
    }
    std::unique_ptr<PdfFont> font(new PdfFont);
    if (!font->d->Read(found->Face, found->Name, found->Pictures)) return nullptr;
    font->d->LatinIsGlyphForCharacter = found->LatinIsGlyphForCharacter;
    font->d->Cids = found->Cids;
    font->d->PictureScale = found->PictureScale;
    // Held by the document only: Qt may give the engine of a face removed
    // since to another.
    if (!found->Pictures) font->d->Screen = raw;
    return font;
}

std::vector<std::pair<quint16, quint16>> PdfFont::Data::UsedByCode() const
{
    std::vector<std::pair<quint16, quint16>> used;
    for (int g = 0; g < NumGlyphs; ++g)
        if (UsedFor[size_t(g)] != NotUsed) used.emplace_back(Code(g), quint16(g));
    std::sort(used.begin(), used.end());
    return used;
}

bool PdfFont::Use(quint16 glyph, QStringView characters)
{
    if (glyph >= d->NumGlyphs) return false;
    d->Used = true;
    d->GiveCode(glyph);
    char32_t& kept = d->UsedFor[glyph];
    if (glyph == 0) {
        kept = NoCharacters;
        return false;
    }
    const bool single = characters.size() == 1 && !characters[0].isSurrogate();
    if (kept == NotUsed || kept == NoCharacters) {
        if (characters.isEmpty()) {
            kept = NoCharacters;
            return false;
        }
        if (single) {
            kept = characters[0].unicode();
        } else {
            kept = SeveralCharacters;
            d->Several.insert(glyph, characters.toString());
        }
        return true;
    }
    if (single) return kept == characters[0].unicode();
    return kept == SeveralCharacters && d->Several.value(glyph) == characters;
}

void PdfFont::UseInCluster(quint16 glyph, QStringView characters)
{
    if (glyph >= d->NumGlyphs) return;
    d->Used = true;
    d->GiveCode(glyph);
    char32_t& kept = d->UsedFor[glyph];
    if (kept != NotUsed && kept != NoCharacters) return;
    if (glyph == 0 || characters.isEmpty())
        kept = NoCharacters;
    else
        Use(glyph, characters);
}

QString PdfFont::Characters(quint16 glyph, int code) const
{
    if (glyph >= d->NumGlyphs) return {};
    if (code >= d->FirstAlias && d->FirstAlias >= 0 && size_t(code - d->FirstAlias) < d->Aliases.size())
        return d->Aliases[size_t(code - d->FirstAlias)].Characters;
    return d->Own(glyph);
}

int PdfFont::Alias(quint16 glyph, QStringView characters)
{
    if (d->Kind != TrueTypeOutlines || glyph >= d->NumGlyphs || characters.isEmpty()) return -1;
    d->Used = true;
    char32_t& kept = d->UsedFor[glyph];
    if (kept == NotUsed) kept = NoCharacters;
    if (glyph != 0 && d->Own(glyph) == characters) return d->Code(glyph);
    QString key{QChar(char16_t(glyph))};
    key += characters;
    if (const auto it = d->AliasCodes.constFind(key); it != d->AliasCodes.constEnd()) return it.value();
    if (d->FirstAlias < 0) d->FirstAlias = d->NumGlyphs;
    const int code = d->FirstAlias + int(d->Aliases.size());
    if (code > 0xFFFF) return -1;
    d->Aliases.push_back(Data::Alias{glyph, characters.toString()});
    d->AliasCodes.insert(key, code);
    return code;
}

float PdfFont::GlyphWidth(quint16 glyph) const
{
    if (glyph >= d->NumGlyphs) return 0.f;
    return float(hb_font_get_glyph_h_advance(d->Metrics.get(), glyph) * d->Scale * d->PictureScale);
}

int PdfFont::GlyphCount() const { return d->NumGlyphs; }

quint16 PdfFont::Code(quint16 glyph) const { return d->Code(glyph); }

PdfFont::Outlines PdfFont::OutlineKind() const
{
    return d->Kind == CffOutlines && d->Cids ? CidKeyedCffOutlines : d->Kind;
}

int PdfFont::CodeCount() const { return int(d->CodeGlyphs.size()); }

quint16 PdfFont::GlyphOfCode(int code) const
{
    return code >= 0 && size_t(code) < d->CodeGlyphs.size() ? d->CodeGlyphs[size_t(code)] : 0;
}

QImage PdfFont::Picture(quint16 glyph) const
{
    if (d->Kind != ColourPictures || glyph >= d->NumGlyphs) return {};
    const Blob png(hb_ot_color_glyph_reference_png(d->Metrics.get(), glyph));
    unsigned length = 0;
    const char* data = hb_blob_get_data(png.get(), &length);
    if (!data || length == 0) return {};
    return PictureReader::ReadImage(QByteArray(data, qsizetype(length)));
}

QRectF PdfFont::PictureBox(quint16 glyph) const
{
    hb_glyph_extents_t e;
    if (glyph >= d->NumGlyphs || !hb_font_get_glyph_extents(d->Metrics.get(), glyph, &e)) return {};
    // Extents run down from the top; the box is the PDF's way up.
    const double s = d->Scale * d->PictureScale;
    return QRectF(e.x_bearing * s, (e.y_bearing + e.height) * s, e.width * s, -e.height * s);
}

bool PdfFont::LatinIsGlyphForCharacter() const { return d->LatinIsGlyphForCharacter; }

bool PdfFont::Used() const { return d->Used; }

QByteArray PdfFont::BaseFont() const
{
    // The tag tells subsets of one face apart: a hash of the glyphs kept.
    quint64 hash = 14695981039346656037ull;
    for (int g = 0; g < d->NumGlyphs; ++g) {
        if (d->UsedFor[size_t(g)] == NotUsed) continue;
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
    for (const auto& [code, glyph] : d->UsedByCode()) {
        if (code == previous) continue;
        if (code != previous + 1) {
            if (previous >= 0) out += "] ";
            out += QByteArray::number(code) + " [";
        } else {
            out += ' ';
        }
        out += Number(GlyphWidth(glyph));
        previous = code;
    }
    if (!d->Aliases.empty()) {
        if (previous >= 0) out += "] ";
        out += QByteArray::number(d->FirstAlias) + " [";
        for (size_t i = 0; i < d->Aliases.size(); ++i) out += (i ? " " : "") + Number(GlyphWidth(d->Aliases[i].Glyph));
        previous = 0;
    }
    if (previous >= 0) out += ']';
    return out + ']';
}

QByteArray PdfFont::DescriptorEntries() const
{
    hb_face_t* face = d->Face.get();
    hb_font_t* font = d->Metrics.get();
    hb_position_t ascent = 0, descent = 0, capHeight = 0;
    hb_ot_metrics_get_position(font, HB_OT_METRICS_TAG_HORIZONTAL_ASCENDER, &ascent);
    hb_ot_metrics_get_position(font, HB_OT_METRICS_TAG_HORIZONTAL_DESCENDER, &descent);
    if (!hb_ot_metrics_get_position(font, HB_OT_METRICS_TAG_CAP_HEIGHT, &capHeight) || capHeight <= 0)
        capHeight = hb_position_t(ascent * 0.7);
    const float italicAngle = hb_style_get_value(font, HB_STYLE_TAG_SLANT_ANGLE);
    const float weight = std::clamp(hb_style_get_value(font, HB_STYLE_TAG_WEIGHT), 100.f, 900.f);

    // The box of the glyphs used.
    double left = 0, bottom = -std::abs(descent), right = 0, top = ascent;
    for (int g = 0; g < d->NumGlyphs; ++g) {
        if (d->UsedFor[size_t(g)] == NotUsed) continue;
        hb_glyph_extents_t e;
        if (!hb_font_get_glyph_extents(font, hb_codepoint_t(g), &e)) continue;
        left = std::min<double>(left, e.x_bearing);
        right = std::max<double>(right, e.x_bearing + e.width);
        top = std::max<double>(top, e.y_bearing);
        bottom = std::min<double>(bottom, e.y_bearing + e.height);
    }

    // Serif by the family class, or by the Latin text PANOSE serif style
    // when the class is not given; fixed pitch as the face says.
    const bool fixedPitch = Field(face, "post", 12, 4) != 0;
    const int familyClass = int(Field(face, "OS/2", 30, 2) >> 8);
    const int panoseFamily = int(Field(face, "OS/2", 32, 1)), panoseSerif = int(Field(face, "OS/2", 33, 1));
    const bool serif = familyClass == 0 ? panoseFamily == 2 && panoseSerif >= 2 && panoseSerif <= 10
                                        : familyClass <= 5 || familyClass == 7;
    const bool italic = italicAngle != 0 || (Field(face, "head", 44, 2) & 0x2);
    const int flags = 32 | (italic ? 64 : 0) | (fixedPitch ? 1 : 0) | (serif ? 2 : 0);
    const int stemV = int(10 + 220 * (weight - 50) / 900);

    const double s = d->Scale;
    auto n = [](double v) { return QByteArray::number(qRound(v)); };
    return "/Flags " + QByteArray::number(flags) + " /FontBBox [" + n(left * s) + ' ' + n(bottom * s) + ' ' +
        n(right * s) + ' ' + n(top * s) + "] /ItalicAngle " + Number(italicAngle) + " /Ascent " + n(ascent * s) +
        " /Descent " + n(-std::abs(descent) * s) + " /CapHeight " + n(capHeight * s) + " /StemV " +
        QByteArray::number(stemV);
}

std::vector<quint32> PdfFont::Data::UsedGlyphs() const
{
    std::vector<quint32> used{0};
    for (int g = 1; g < NumGlyphs; ++g)
        if (UsedFor[size_t(g)] != NotUsed) used.push_back(quint32(g));
    return used;
}

QRawFont PdfFont::Data::Opened(hb_blob_t* file) const
{
    unsigned length = 0;
    const char* data = hb_blob_get_data(file, &length);
    return data ? QRawFont(QByteArray(data, qsizetype(length)), UnitsPerEm, QFont::PreferNoHinting) : QRawFont();
}

bool PdfFont::Data::SubsetReadsAsFace(hb_blob_t* file, const QRawFont& whole) const
{
    // HarfBuzz finds every glyph used and no more than the face has, with
    // the face's advances.
    const std::vector<quint32> used = UsedGlyphs();
    const ::Face read(hb_face_create(file, 0));
    const unsigned glyphs = hb_face_get_glyph_count(read.get());
    if (glyphs <= used.back() || glyphs > unsigned(NumGlyphs) || hb_face_get_upem(read.get()) != unsigned(UnitsPerEm))
        return false;
    const Font font(hb_font_create(read.get()));
    for (const quint32 g : used)
        if (hb_font_get_glyph_h_advance(font.get(), g) != hb_font_get_glyph_h_advance(Metrics.get(), g)) return false;
    // FreeType opens it, as readers do, and takes the advances it takes
    // from the whole face.
    const QRawFont loaded = Opened(file);
    if (!loaded.isValid()) return false;
    if (!whole.isValid()) return true;
    std::vector<QPointF> cut(used.size()), face(used.size());
    const int n = int(used.size());
    if (!loaded.advancesForGlyphIndexes(used.data(), cut.data(), n, QRawFont::UseDesignMetrics) ||
        !whole.advancesForGlyphIndexes(used.data(), face.data(), n, QRawFont::UseDesignMetrics))
        return false;
    for (size_t i = 0; i < cut.size(); ++i)
        if (std::abs(cut[i].x() - face[i].x()) > 0.5) return false;
    return true;
}

QByteArray PdfFont::Data::Embedded(hb_face_t* file, bool cffTable)
{
    const Blob blob(cffTable ? hb_face_reference_table(file, Tag("CFF ")) : hb_face_reference_blob(file));
    unsigned length = 0;
    const char* data = hb_blob_get_data(blob.get(), &length);
    return data ? QByteArray(data, qsizetype(length)) : QByteArray();
}

QByteArray PdfFont::SubsetFile() const
{
    hb_subset_input_t* input = hb_subset_input_create_or_fail();
    if (!input) return {};
    hb_set_t* glyphs = hb_subset_input_glyph_set(input);
    hb_set_add(glyphs, 0);
    for (int g = 0; g < d->NumGlyphs; ++g)
        if (d->UsedFor[size_t(g)] != NotUsed) hb_set_add(glyphs, hb_codepoint_t(g));
    // Ids kept, as the pages name them; the missing glyph keeps its box, as
    // the screen draws it; hinting and names are of no use to a reader.
    hb_subset_input_set_flags(
        input, HB_SUBSET_FLAGS_NO_HINTING | HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NOTDEF_OUTLINE);
    hb_set_add(hb_subset_input_set(input, HB_SUBSET_SETS_DROP_TABLE_TAG), Tag("name"));
    const Face subset(hb_subset_or_fail(d->Face.get(), input));
    hb_subset_input_destroy(input);
    if (!subset) return {};
    const Blob cut(hb_face_reference_blob(subset.get()));
    // The whole face's file is made and opened only when the screen's is
    // not at hand: for a large face that costs more than the subset.
    QRawFont whole = d->Screen;
    if (whole.isValid()) {
        whole.setPixelSize(d->UnitsPerEm);
    } else {
        const Blob file(hb_face_reference_blob(d->Face.get()));
        whole = d->Opened(file.get());
    }
    if (!d->SubsetReadsAsFace(cut.get(), whole)) return {};
    return Data::Embedded(subset.get(), OutlineKind() == CidKeyedCffOutlines);
}

QByteArray PdfFont::WholeFile() const
{
    if (d->Kind == ColourPictures) return {};
    const Blob whole(hb_face_reference_blob(d->Face.get()));
    if (!d->Opened(whole.get()).isValid()) return {};
    return Data::Embedded(d->Face.get(), OutlineKind() == CidKeyedCffOutlines);
}

QByteArray PdfFont::ToUnicode() const
{
    QByteArray entries;
    int inBlock = 0;
    const int digits = d->Kind == ColourPictures ? 2 : 4;
    QByteArray out = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                     "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                     "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n1 begincodespacerange\n";
    out += digits == 2 ? "<00> <FF>" : "<0000> <FFFF>";
    out += "\nendcodespacerange\n";
    auto flush = [&] {
        if (inBlock == 0) return;
        out += QByteArray::number(inBlock) + " beginbfchar\n" + entries + "endbfchar\n";
        entries.clear();
        inBlock = 0;
    };
    int previous = -1;
    for (const auto& [code, g] : d->UsedByCode()) {
        const char32_t c = d->UsedFor[g];
        if (g == 0 || code == previous || c == NotUsed || c == NoCharacters || (digits == 2 && code == 0)) continue;
        previous = code;
        entries += '<' + QByteArray::number(code, 16).rightJustified(digits, '0').toUpper() + "> <";
        if (c == SeveralCharacters) {
            AppendUtf16Hex(entries, d->Several.value(g));
        } else {
            const QChar one{char16_t(c)};
            AppendUtf16Hex(entries, QStringView(&one, 1));
        }
        entries += ">\n";
        if (++inBlock == 100) flush();
    }
    for (size_t i = 0; i < d->Aliases.size(); ++i) {
        entries += '<' + QByteArray::number(d->FirstAlias + int(i), 16).rightJustified(4, '0').toUpper() + "> <";
        AppendUtf16Hex(entries, d->Aliases[i].Characters);
        entries += ">\n";
        if (++inBlock == 100) flush();
    }
    flush();
    return out + "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
}

QByteArray PdfFont::CidToGidMap() const
{
    if (d->Aliases.empty()) return {};
    QByteArray map(2 * (d->FirstAlias + qsizetype(d->Aliases.size())), Qt::Uninitialized);
    uchar* out = reinterpret_cast<uchar*>(map.data());
    for (int cid = 0; cid < d->FirstAlias; ++cid) qToBigEndian(quint16(cid), out + 2 * cid);
    for (size_t i = 0; i < d->Aliases.size(); ++i)
        qToBigEndian(d->Aliases[i].Glyph, out + 2 * (d->FirstAlias + qsizetype(i)));
    return map;
}
