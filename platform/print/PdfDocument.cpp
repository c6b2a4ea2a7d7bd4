#include "platform/print/PdfDocument_p.h"

#include "platform/core/Exception.h"

#include <zlib.h>

namespace {

// Content streams are small and many: level 2 costs what the fastest one
// does and packs a profile some 10 % larger than the default level, at
// two thirds of its time.
constexpr int DeflateLevel = 2;

// US Letter portrait, in points.
constexpr QSizeF BlankPage(612, 792);

// A date as the document information holds it: "D:YYYYMMDDHHmmSS" and the
// offset from UTC as "+HH'mm'" (or "Z").
QByteArray DateString(const QDateTime& time)
{
    const int offset = time.offsetFromUtc() / 60;
    QByteArray text = "D:" + time.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    if (offset == 0) return text + 'Z';
    const int minutes = qAbs(offset);
    text += offset < 0 ? '-' : '+';
    text += QByteArray::number(minutes / 60).rightJustified(2, '0') + '\'';
    text += QByteArray::number(minutes % 60).rightJustified(2, '0') + '\'';
    return text;
}

} // namespace

struct PdfDocument::Data {
    PdfOutput Out;
    // Offsets by object number; -1 for a number no object took.
    std::vector<qsizetype> Offsets{-1};
    int PagesObject = 0, ResourcesObject = 0;
    std::vector<int> Pages;
    PdfOutput Fonts, XObjects, Patterns;
    int ResourceCount = 0;
    z_stream Zip{};
    QByteArray Packed;
    bool InObject = false;

    Data()
    {
        if (deflateInit(&Zip, DeflateLevel) != Z_OK)
            throw Exception(QStringLiteral("The PDF compressor did not start."));
    }
    ~Data() { deflateEnd(&Zip); }

    void Deflate(QByteArrayView in)
    {
        deflateReset(&Zip);
        const uLong bound = deflateBound(&Zip, uLong(in.size()));
        if (Packed.size() < qsizetype(bound)) Packed.resize(qsizetype(bound));
        Zip.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
        Zip.avail_in = uInt(in.size());
        Zip.next_out = reinterpret_cast<Bytef*>(Packed.data());
        Zip.avail_out = uInt(bound);
        if (deflate(&Zip, Z_FINISH) != Z_STREAM_END) throw Exception(QStringLiteral("The PDF compressor failed."));
    }
    qsizetype PackedSize() const { return qsizetype(Zip.total_out); }
};

PdfDocument::PdfDocument() : d(std::make_unique<Data>())
{
    d->Out.Reserve(1 << 20);
    // The binary comment marks the file as binary for programs that guess.
    // 1.6: faces with CFF outlines go in as OpenType files, and text tells
    // its characters where its glyphs cannot (ActualText).
    d->Out << "%PDF-1.6\n%\xE2\xE3\xCF\xD3\n";
    d->PagesObject = Reserve();
    d->ResourcesObject = Reserve();
}

PdfDocument::~PdfDocument() = default;

int PdfDocument::Reserve()
{
    d->Offsets.push_back(-1);
    return int(d->Offsets.size()) - 1;
}

PdfOutput& PdfDocument::BeginObject(int n)
{
    Q_ASSERT(n > 0 && n < int(d->Offsets.size()) && d->Offsets[size_t(n)] < 0 && !d->InObject);
    d->InObject = true;
    d->Offsets[size_t(n)] = d->Out.Size();
    d->Out.Int(n) << " 0 obj\n";
    return d->Out;
}

void PdfDocument::EndObject()
{
    d->InObject = false;
    d->Out << "\nendobj\n";
}

void PdfDocument::Stream(int n, QByteArrayView entries, QByteArrayView data, bool deflate)
{
    PdfOutput& out = BeginObject(n);
    QByteArrayView body = data;
    if (deflate) {
        d->Deflate(data);
        body = QByteArrayView(d->Packed.constData(), d->PackedSize());
    }
    out << "<<" << entries;
    if (deflate) out << " /Filter /FlateDecode";
    out << " /Length ";
    out.Int(body.size()) << ">>\nstream\n" << body << "\nendstream";
    EndObject();
}

void PdfDocument::AddPage(QSizeF points, QByteArrayView content)
{
    const int contents = Reserve(), page = Reserve();
    Stream(contents, {}, content);
    PdfOutput& out = BeginObject(page);
    out << "<</Type /Page /Parent ";
    out.Ref(d->PagesObject) << " /MediaBox [0 0";
    out.SNum(points.width()).SNum(points.height()) << "] /Resources ";
    out.Ref(d->ResourcesObject) << " /Contents ";
    out.Ref(contents) << ">>";
    EndObject();
    d->Pages.push_back(page);
}

QByteArray PdfDocument::AddResource(ResourceKind kind, int object)
{
    static constexpr const char* prefixes[] = {"F", "Im", "P"};
    QByteArray name = prefixes[kind];
    name += QByteArray::number(++d->ResourceCount);
    PdfOutput& list = kind == FontResource ? d->Fonts : kind == XObjectResource ? d->XObjects : d->Patterns;
    list.Name(name) << ' ';
    list.Ref(object) << ' ';
    return name;
}

QByteArray PdfDocument::Finish(const QString& title, const QDateTime& created)
{
    if (d->Pages.empty()) AddPage(BlankPage, {});
    PdfOutput& out = BeginObject(d->PagesObject);
    out << "<</Type /Pages /Count ";
    out.Int(qint64(d->Pages.size())) << " /Kids [";
    for (const int page : d->Pages) out.Ref(page) << ' ';
    out << "]>>";
    EndObject();

    BeginObject(d->ResourcesObject) << "<<";
    if (d->Fonts.Size()) out << " /Font <<" << d->Fonts.View() << ">>";
    if (d->XObjects.Size()) out << " /XObject <<" << d->XObjects.View() << ">>";
    if (d->Patterns.Size()) out << " /Pattern <<" << d->Patterns.View() << ">>";
    out << ">>";
    EndObject();

    const int info = Reserve(), catalog = Reserve();
    BeginObject(info) << "<</Title ";
    out.TextString(title) << " /Creator (Tamsel) /Producer (Tamsel) /CreationDate ";
    out.String(DateString(created)) << ">>";
    EndObject();
    BeginObject(catalog) << "<</Type /Catalog /Pages ";
    out.Ref(d->PagesObject) << ">>";
    EndObject();

    const qsizetype xref = out.Size();
    out << "xref\n0 ";
    out.Int(qint64(d->Offsets.size())) << "\n0000000000 65535 f \n";
    for (size_t i = 1; i < d->Offsets.size(); ++i) {
        const qsizetype offset = d->Offsets[i];
        char entry[] = "0000000000 00000 n \n";
        if (offset < 0) {
            entry[17] = 'f';
        } else {
            qint64 v = offset;
            for (int k = 9; k >= 0; --k, v /= 10) entry[k] = char('0' + v % 10);
        }
        out << QByteArrayView(entry, 20);
    }
    out << "trailer\n<</Size ";
    out.Int(qint64(d->Offsets.size())) << " /Root ";
    out.Ref(catalog) << " /Info ";
    out.Ref(info) << ">>\nstartxref\n";
    out.Int(xref) << "\n%%EOF\n";
    return out.Take();
}
