#include "platform/print/PdfFonts_p.h"

#include "platform/print/PdfDocument_p.h"
#include "platform/print/PdfFont_p.h"
#include "platform/report/ReportFonts.h"

#include <QFontMetricsF>
#include <QRectF>
#include <QHash>
#include <map>
#include <tuple>
#include <vector>

namespace {

// The faces a page font falls back to as a whole when its own face cannot
// be embedded: the report's own, then one with most characters.
const QString FallbackFamilies[] = {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};

struct Named {
    PdfFont* Face = nullptr;
    int Object = 0;
    QByteArray Name;
};

} // namespace

struct PdfFonts::Data {
    PdfDocument& Document;
    std::map<QByteArray, std::unique_ptr<PdfFont>> Faces; // by PdfFont::Key
    QHash<QRawFont, PdfFont*> ByRaw;
    std::map<std::tuple<QString, double, bool, bool>, std::unique_ptr<TextFont>> Fonts;
    std::vector<Named> Used;
    QHash<PdfFont*, size_t> ByFace;

    explicit Data(PdfDocument& document) : Document(document) { }
};

PdfFonts::PdfFonts(PdfDocument& document) : d(std::make_unique<Data>(document)) { }

PdfFonts::~PdfFonts() = default;

PdfFont* PdfFonts::Face(const QRawFont& raw)
{
    if (const auto it = d->ByRaw.constFind(raw); it != d->ByRaw.constEnd()) return it.value();
    PdfFont* face = nullptr;
    if (const QByteArray key = PdfFont::Key(raw); !key.isEmpty()) {
        const auto it = d->Faces.find(key);
        if (it != d->Faces.end())
            face = it->second.get();
        else
            face = (d->Faces[key] = PdfFont::Open(raw)).get();
    }
    d->ByRaw.insert(raw, face);
    return face;
}

const PdfFonts::TextFont& PdfFonts::Font(const TPageFont& font)
{
    const auto key = std::make_tuple(font.Family, font.Size, font.Bold, font.Italic);
    if (const auto it = d->Fonts.find(key); it != d->Fonts.end()) return *it->second;
    auto made = std::make_unique<TextFont>();
    made->Font = ReportFonts::QtFont(font);
    made->Raw = QRawFont::fromFont(made->Font);
    made->Face = Face(made->Raw);
    for (const QString& family : FallbackFamilies) {
        if (made->Face) break;
        TPageFont other = font;
        other.Family = family;
        made->Font = ReportFonts::QtFont(other);
        made->Raw = QRawFont::fromFont(made->Font);
        made->Face = Face(made->Raw);
    }
    // The size the report laid the text out at: whole pixels at the
    // reference resolution.
    made->PointsPerUnit = 72.0 / ReportFonts::ReferenceDpi;
    made->Size = made->Font.pixelSize() * made->PointsPerUnit;
    // Where Qt draws the lines, as the preview shows them.
    const QFontMetricsF metrics(made->Font);
    made->LineThickness = metrics.lineWidth() * made->PointsPerUnit;
    made->UnderlinePosition = -metrics.underlinePos() * made->PointsPerUnit;
    made->StrikeOutPosition = metrics.strikeOutPos() * made->PointsPerUnit;
    return *(d->Fonts[key] = std::move(made));
}

const QByteArray& PdfFonts::Resource(PdfFont* face)
{
    if (const auto it = d->ByFace.constFind(face); it != d->ByFace.constEnd()) return d->Used[it.value()].Name;
    Named named;
    named.Face = face;
    named.Object = d->Document.Reserve();
    named.Name = d->Document.AddResource(PdfDocument::FontResource, named.Object);
    d->ByFace.insert(face, d->Used.size());
    d->Used.push_back(std::move(named));
    return d->Used.back().Name;
}

namespace {

// A picture as an RGB image with its transparency as a soft mask; its
// object.
int WritePicture(PdfDocument& doc, const QImage& picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width(), h = image.height();
    QByteArray rgb(qsizetype(w) * h * 3, Qt::Uninitialized), alpha(qsizetype(w) * h, Qt::Uninitialized);
    uchar* colour = reinterpret_cast<uchar*>(rgb.data());
    uchar* cover = reinterpret_cast<uchar*>(alpha.data());
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            *colour++ = uchar(qRed(row[x]));
            *colour++ = uchar(qGreen(row[x]));
            *colour++ = uchar(qBlue(row[x]));
            *cover++ = uchar(qAlpha(row[x]));
        }
    }
    const int object = doc.Reserve(), mask = doc.Reserve();
    PdfOutput gray, colours;
    gray << "/Type /XObject /Subtype /Image /Width ";
    gray.Int(w) << " /Height ";
    gray.Int(h) << " /ColorSpace /DeviceGray /BitsPerComponent 8";
    doc.Stream(mask, gray.View(), alpha);
    colours << "/Type /XObject /Subtype /Image /Width ";
    colours.Int(w) << " /Height ";
    colours.Int(h) << " /ColorSpace /DeviceRGB /BitsPerComponent 8 /SMask ";
    colours.Ref(mask);
    doc.Stream(object, colours.View(), rgb);
    return object;
}

// A face of colour pictures as a Type 3 font: each code's glyph procedure
// draws the glyph's picture in its box (code 0 draws nothing); the
// pictures are its own resources.
void WritePictures(PdfDocument& doc, const PdfFont& face, int object)
{
    const int codes = face.CodeCount();
    const int toUnicode = doc.Reserve();
    QRectF box;
    PdfOutput procs, widths, names, pictures;
    for (int code = 0; code < codes; ++code) {
        const quint16 glyph = face.GlyphOfCode(code);
        const double width = face.GlyphWidth(glyph);
        PdfOutput proc;
        proc.Num(width, 1) << " 0 d0\n";
        const QImage picture = code ? face.Picture(glyph) : QImage();
        const QRectF place = face.PictureBox(glyph);
        if (!picture.isNull() && !place.isEmpty()) {
            const QByteArray name = "P" + QByteArray::number(code);
            pictures << '/' << name << ' ';
            pictures.Ref(WritePicture(doc, picture)) << ' ';
            proc << "q ";
            proc.Num(place.width(), 1) << " 0 0 ";
            proc.Num(place.height(), 1).SNum(place.left(), 1).SNum(place.top(), 1) << " cm /" << name << " Do Q\n";
            box |= place;
        }
        const int n = doc.Reserve();
        doc.Stream(n, {}, proc.View());
        procs << "/g" << QByteArray::number(code) << ' ';
        procs.Ref(n) << ' ';
        names << " /g" << QByteArray::number(code);
        widths.Num(width, 1) << ' ';
    }
    // Readers that extract text guess a Type 3 font's size from the width
    // of its "m", as 0.6 of the em: code 255, never drawn, is one.
    for (int code = codes; code < 255; ++code) widths << "0 ";
    widths << "600";
    names << " 255 /m";
    const int m = doc.Reserve();
    doc.Stream(m, {}, "600 0 d0\n");
    procs << "/m ";
    procs.Ref(m);
    PdfOutput& out = doc.BeginObject(object);
    out << "<</Type /Font /Subtype /Type3 /FontBBox [";
    out.Num(box.left(), 0).SNum(box.top(), 0).SNum(box.right(), 0).SNum(box.bottom(), 0)
        << "] /FontMatrix [0.001 0 0 0.001 0 0] /CharProcs <<" << procs.View()
        << ">> /Encoding <</Type /Encoding /Differences [0" << names.View() << "]>> /FirstChar 0 /LastChar ";
    out.Int(255) << " /Widths [" << widths.View() << "] /Resources <</XObject <<" << pictures.View()
                 << ">>>> /ToUnicode ";
    out.Ref(toUnicode) << ">>";
    doc.EndObject();
    doc.Stream(toUnicode, {}, face.ToUnicode());
}

} // namespace

void PdfFonts::WriteAll()
{
    PdfDocument& doc = d->Document;
    for (const Named& named : d->Used) {
        PdfFont& face = *named.Face;
        if (!face.Used()) continue;
        const PdfFont::Outlines kind = face.OutlineKind();
        if (kind == PdfFont::ColourPictures) {
            WritePictures(doc, face, named.Object);
            continue;
        }
        const bool cff = kind != PdfFont::TrueTypeOutlines;
        // The subset, or the whole face when the subset does not read as
        // the face (a whole face's name has no subset tag); neither leaves
        // the face to the reader's own.
        QByteArray file = face.SubsetFile();
        QByteArray baseFont = face.BaseFont();
        if (file.isEmpty()) {
            file = face.WholeFile();
            if (!file.isEmpty()) baseFont = baseFont.mid(baseFont.indexOf('+') + 1);
        }
        const int cidFont = doc.Reserve(), descriptor = doc.Reserve(), fileObject = doc.Reserve(),
                  toUnicode = doc.Reserve();

        PdfOutput& out = doc.BeginObject(named.Object);
        out << "<</Type /Font /Subtype /Type0 /BaseFont ";
        out.Name(baseFont) << " /Encoding /Identity-H /DescendantFonts [";
        out.Ref(cidFont) << "] /ToUnicode ";
        out.Ref(toUnicode) << ">>";
        doc.EndObject();

        // The pages name glyphs by their ids, which the subset keeps (CFF
        // outlines keyed by CIDs by their CIDs, which it keeps too); glyphs
        // drawn under codes of their own by codes past the ids, which the
        // map of CIDs to glyphs maps to them.
        const QByteArray glyphMap = face.CidToGidMap();
        const int glyphMapObject = glyphMap.isEmpty() ? 0 : doc.Reserve();
        doc.BeginObject(cidFont) << "<</Type /Font /Subtype " << (cff ? "/CIDFontType0" : "/CIDFontType2")
                                 << " /BaseFont ";
        out.Name(baseFont) << " /CIDSystemInfo <</Registry (Adobe) /Ordering (Identity) /Supplement 0>>"
                           << " /FontDescriptor ";
        out.Ref(descriptor);
        if (glyphMapObject) {
            out << " /CIDToGIDMap ";
            out.Ref(glyphMapObject);
        } else if (!cff) {
            out << " /CIDToGIDMap /Identity";
        }
        out << " /W " << face.Widths() << ">>";
        doc.EndObject();
        if (glyphMapObject) doc.Stream(glyphMapObject, {}, glyphMap);

        doc.BeginObject(descriptor) << "<</Type /FontDescriptor /FontName ";
        out.Name(baseFont) << ' ' << face.DescriptorEntries();
        if (!file.isEmpty()) {
            out << (cff ? " /FontFile3 " : " /FontFile2 ");
            out.Ref(fileObject);
        }
        out << ">>";
        doc.EndObject();

        if (!file.isEmpty()) {
            PdfOutput entries;
            if (cff) {
                entries << (kind == PdfFont::CffOutlines ? " /Subtype /OpenType" : " /Subtype /CIDFontType0C");
            } else {
                entries << " /Length1 ";
                entries.Int(file.size());
            }
            doc.Stream(fileObject, entries.View(), file);
        }
        doc.Stream(toUnicode, {}, face.ToUnicode());
    }
}
