#include "platform/print/PdfFonts_p.h"

#include "platform/print/PdfDocument_p.h"
#include "platform/print/PdfFont_p.h"

#include <QHash>
#include <map>
#include <tuple>

namespace {

const QString FallbackFamily = QStringLiteral("DejaVu Sans");

struct Named {
    PdfFont* Face = nullptr;
    int Object = 0;
    QByteArray Name;
};

} // namespace

struct PdfFonts::Data {
    PdfDocument& Document;
    std::map<std::tuple<QString, bool, bool>, std::unique_ptr<PdfFont>> Faces;
    PdfFont* Fallback = nullptr;
    bool FallbackTried = false;
    std::vector<Named> Used;
    QHash<PdfFont*, size_t> ByFace;

    explicit Data(PdfDocument& document) : Document(document) { }

    PdfFont* Open(const QString& family, bool bold, bool italic)
    {
        const auto key = std::make_tuple(family, bold, italic);
        if (const auto it = Faces.find(key); it != Faces.end()) return it->second.get();
        std::unique_ptr<PdfFont>& face = Faces[key];
        face = PdfFont::Open(family, bold, italic);
        return face.get();
    }

    PdfFont* FallbackFace()
    {
        if (!FallbackTried) {
            FallbackTried = true;
            Fallback = Open(FallbackFamily, false, false);
        }
        return Fallback;
    }
};

PdfFonts::PdfFonts(PdfDocument& document) : d(std::make_unique<Data>(document)) { }

PdfFonts::~PdfFonts() = default;

PdfFont* PdfFonts::Face(const TPageFont& font)
{
    const auto key = std::make_tuple(font.Family, font.Bold, font.Italic);
    if (const auto it = d->Faces.find(key); it != d->Faces.end() && it->second) return it->second.get();
    PdfFont* fallback = d->FallbackFace();
    PdfFont* face = d->Open(font.Family, font.Bold, font.Italic);
    if (!face) return fallback;
    if (face != fallback) face->SetFallback(fallback);
    return face;
}

PdfFont* PdfFonts::Fallback() { return d->FallbackFace(); }

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

void PdfFonts::WriteAll()
{
    PdfDocument& doc = d->Document;
    for (const Named& named : d->Used) {
        PdfFont& face = *named.Face;
        if (!face.Used()) continue;
        const QByteArray baseFont = face.BaseFont();
        const int cidFont = doc.Reserve(), descriptor = doc.Reserve(), file = doc.Reserve(), toUnicode = doc.Reserve();

        PdfOutput& out = doc.BeginObject(named.Object);
        out << "<</Type /Font /Subtype /Type0 /BaseFont ";
        out.Name(baseFont) << " /Encoding /Identity-H /DescendantFonts [";
        out.Ref(cidFont) << "] /ToUnicode ";
        out.Ref(toUnicode) << ">>";
        doc.EndObject();

        doc.BeginObject(cidFont) << "<</Type /Font /Subtype /CIDFontType2 /BaseFont ";
        out.Name(baseFont) << " /CIDSystemInfo <</Registry (Adobe) /Ordering (Identity) /Supplement 0>>"
                           << " /FontDescriptor ";
        out.Ref(descriptor) << " /CIDToGIDMap /Identity /W " << face.Widths() << ">>";
        doc.EndObject();

        doc.BeginObject(descriptor) << "<</Type /FontDescriptor /FontName ";
        out.Name(baseFont) << ' ' << face.DescriptorEntries() << " /FontFile2 ";
        out.Ref(file) << ">>";
        doc.EndObject();

        const QByteArray subset = face.SubsetFile();
        PdfOutput entries;
        entries << " /Length1 ";
        entries.Int(subset.size());
        doc.Stream(file, entries.View(), subset);
        doc.Stream(toUnicode, {}, face.ToUnicode());
    }
}
