#include "platform/print/PdfImages_p.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <QMap>
#include <QRegularExpression>
#include <algorithm>
#include <vector>

namespace {

struct Object {
    int Number = 0;
    qsizetype Offset = 0; // in the old file
    QByteArray Bytes;     // from "N 0 obj" up to the next object
};

// The number after the last "startxref", or -1.
qsizetype StartXref(const QByteArray& pdf)
{
    const qsizetype at = pdf.lastIndexOf("startxref");
    if (at < 0) return -1;
    bool ok = false;
    const qsizetype value = pdf.mid(at + 9, 24).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
    return ok ? value : -1;
}

QByteArray Encode(const QByteArray& jpeg, bool gray, int quality)
{
    QImage image = QImage::fromData(jpeg, "JPEG");
    if (image.isNull()) return {};
    image = image.convertToFormat(gray ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    return writer.write(image) ? out : QByteArray();
}

} // namespace

bool PdfImages::SetJpegQuality(QByteArray& pdf, int quality)
{
    quality = std::clamp(quality, 1, 100);
    const qsizetype xref = StartXref(pdf);
    if (xref <= 0 || xref >= pdf.size() || !pdf.mid(xref, 4).startsWith("xref")) return false;

    // The cross-reference section: "xref", "0 N", N entries, then the trailer.
    const qsizetype tableEnd = pdf.indexOf("trailer", xref);
    if (tableEnd < 0) return false;
    const QList<QByteArray> lines = pdf.mid(xref, tableEnd - xref).split('\n');
    if (lines.size() < 2) return false;
    const QList<QByteArray> section = lines[1].trimmed().split(' ');
    if (section.size() != 2 || section[0] != "0") return false;
    bool ok = false;
    const int count = section[1].toInt(&ok);
    if (!ok || count < 1 || lines.size() < count + 2) return false;
    std::vector<Object> objects;
    for (int i = 1; i < count; ++i) {
        const QList<QByteArray> f = lines[i + 2].trimmed().split(' ');
        if (f.size() != 3) return false;
        if (f[2] != "n") continue;
        const qsizetype offset = f[0].toLongLong(&ok);
        if (!ok || offset <= 0 || offset >= xref) return false;
        objects.push_back({i, offset, {}});
    }
    if (objects.empty()) return false;
    std::sort(objects.begin(), objects.end(), [](const Object& a, const Object& b) { return a.Offset < b.Offset; });
    QMap<int, size_t> byNumber;
    for (size_t i = 0; i < objects.size(); ++i) {
        const qsizetype end = i + 1 < objects.size() ? objects[i + 1].Offset : xref;
        objects[i].Bytes = pdf.mid(objects[i].Offset, end - objects[i].Offset);
        if (!objects[i].Bytes.startsWith(QByteArray::number(objects[i].Number) + " 0 obj")) return false;
        byNumber.insert(objects[i].Number, i);
    }

    static const QRegularExpression lengthRef(QStringLiteral("/Length (\\d+) 0 R"));
    bool changed = false;
    for (Object& o : objects) {
        const qsizetype streamAt = o.Bytes.indexOf("stream\n");
        if (streamAt < 0) continue;
        const QByteArray dict = o.Bytes.left(streamAt);
        if (!dict.contains("/Subtype /Image") || !dict.contains("/Filter /DCTDecode")) continue;
        const auto m = lengthRef.match(QString::fromLatin1(dict));
        if (!m.hasMatch() || !byNumber.contains(m.captured(1).toInt())) continue;
        Object& lengthObject = objects[byNumber.value(m.captured(1).toInt())];
        const QByteArray head = QByteArray::number(lengthObject.Number) + " 0 obj";
        const qsizetype length = lengthObject.Bytes.mid(head.size()).replace("endobj", "").trimmed().toLongLong(&ok);
        const qsizetype dataAt = streamAt + 7;
        if (!ok || length <= 0 || dataAt + length > o.Bytes.size()) continue;
        const QByteArray jpeg = Encode(o.Bytes.mid(dataAt, length), dict.contains("/DeviceGray"), quality);
        if (jpeg.isEmpty()) continue;
        o.Bytes = o.Bytes.left(dataAt) + jpeg + o.Bytes.mid(dataAt + length);
        lengthObject.Bytes = head + "\n" + QByteArray::number(jpeg.size()) + "\nendobj\n";
        changed = true;
    }
    if (!changed) return false;

    // The file again, each object at its new offset.
    QByteArray out = pdf.left(objects.front().Offset);
    QMap<int, qsizetype> offsets;
    for (const Object& o : objects) {
        offsets.insert(o.Number, out.size());
        out += o.Bytes;
    }
    const qsizetype newXref = out.size();
    out += "xref\n0 " + QByteArray::number(count) + "\n";
    for (int i = 0; i < count; ++i) {
        if (offsets.contains(i))
            out += QByteArray::number(offsets.value(i)).rightJustified(10, '0') + " 00000 n \n";
        else
            out += lines[i + 2].trimmed() + " \n";
    }
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    out += pdf.mid(tableEnd, startxref - tableEnd);
    out += "startxref\n" + QByteArray::number(newXref) + "\n%%EOF\n";
    pdf = out;
    return true;
}
