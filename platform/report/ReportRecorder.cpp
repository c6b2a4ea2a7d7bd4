#include "platform/report/ReportRecorder_p.h"

#include "platform/core/Exception.h"
#include "platform/report/PagePicture_p.h"
#include "platform/report/ReportFormat_p.h"
#include "platform/report/TReportFileReader.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <zlib.h>

using namespace ReportFormat;

namespace {

QByteArray Deflate(const QByteArray& raw, int level)
{
    uLongf size = compressBound(uLong(raw.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.constData()),
                  uLong(raw.size()), level) != Z_OK)
        throw Exception(QStringLiteral("Cannot compress the report file."));
    out.truncate(qsizetype(size));
    return out;
}

void PutU32(QByteArray& b, quint32 v)
{
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}

void PutU64(QByteArray& b, quint64 v)
{
    char c[8];
    qToLittleEndian(v, c);
    b.append(c, 8);
}

void PutU16(QByteArray& b, quint16 v)
{
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}

void PutF64(QByteArray& b, double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, 8);
    PutU64(b, bits);
}

// At most this many colours make an image a drawing, stored losslessly as
// 8-bit pixels; more make it a photograph, stored as JPEG.
constexpr int drawingColours = 256;

// An opaque 32-bit image with at most drawingColours colours as 8-bit
// pixels with their palette; a null image when it has more.
QImage Indexed(const QImage& image)
{
    // The colours seen so far in an open-addressed table four times as
    // large as the palette may grow: a probe or two a colour change.
    constexpr quint32 tableSize = 4 * drawingColours;
    static_assert(tableSize == 1u << 10, "the hash below takes the top 10 bits");
    quint32 keys[tableSize];
    quint8 values[tableSize];
    bool taken[tableSize] = {};
    QList<QRgb> colours;
    colours.reserve(drawingColours);
    const int width = image.width(), height = image.height();
    QImage out(image.size(), QImage::Format_Indexed8);
    if (out.isNull()) return {};
    QRgb last = 0;
    int lastIndex = -1;
    for (int y = 0; y < height; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* to = out.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const QRgb c = row[x] | 0xFF000000u;
            if (c != last || lastIndex < 0) {
                quint32 slot = (c * 2654435761u) >> 22; // top 10 bits: 0..tableSize-1
                while (taken[slot] && keys[slot] != c) slot = (slot + 1) & (tableSize - 1);
                if (!taken[slot]) {
                    if (colours.size() == drawingColours) return {};
                    taken[slot] = true;
                    keys[slot] = c;
                    values[slot] = quint8(colours.size());
                    colours.append(c);
                }
                last = c;
                lastIndex = values[slot];
            }
            to[x] = uchar(lastIndex);
        }
    }
    out.setColorTable(colours);
    return out;
}

QByteArray PixelRows(const QImage& image, const QList<QRgb>& palette)
{
    QByteArray raw;
    if (image.depth() <= 8) {
        PutU32(raw, quint32(palette.size()));
        for (QRgb c : palette) PutU32(raw, c);
    }
    const qsizetype rowBytes = (qsizetype(image.width()) * image.depth() + 7) / 8;
    raw.reserve(raw.size() + rowBytes * image.height());
    for (int y = 0; y < image.height(); ++y)
        raw.append(reinterpret_cast<const char*>(image.constScanLine(y)), rowBytes);
    return raw;
}

bool Sound(double v) { return std::isfinite(v) && std::fabs(v) <= MaxCoordinate; }
bool Sound(QPointF p) { return Sound(p.x()) && Sound(p.y()); }
bool Sound(const QRectF& r) { return Sound(r.topLeft()) && Sound(r.bottomRight()); }

} // namespace

struct TReportRecorder::PageZip {
    z_stream Stream{};
    ~PageZip() { deflateEnd(&Stream); }
};

TReportRecorder::TReportRecorder() = default;
TReportRecorder::~TReportRecorder() = default;

QByteArray TReportRecorder::PackPage(const QByteArray& raw)
{
    if (!m_zip) {
        auto zip = std::make_unique<PageZip>();
        if (deflateInit(&zip->Stream, 1) != Z_OK) throw Exception(QStringLiteral("Cannot compress the report file."));
        m_zip = std::move(zip);
    } else if (deflateReset(&m_zip->Stream) != Z_OK) {
        throw Exception(QStringLiteral("Cannot compress the report file."));
    }
    z_stream& z = m_zip->Stream;
    const uLong bound = deflateBound(&z, uLong(raw.size()));
    QByteArray out(qsizetype(bound), Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.constData()));
    z.avail_in = uInt(raw.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(bound);
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) throw Exception(QStringLiteral("Cannot compress the report file."));
    out.truncate(qsizetype(z.total_out));
    return out;
}

bool TReportRecorder::Keep(bool sound)
{
    if (!sound) ++m_leftOut;
    return sound;
}

void TReportRecorder::LeftOut(const QString& what) const
{
    if (OnLeftOut) OnLeftOut(what);
}

void TReportRecorder::U32(quint32 v) { PutU32(m_ops, v); }
void TReportRecorder::F64(double v) { PutF64(m_ops, v); }

void TReportRecorder::Rect(const QRectF& r)
{
    F64(r.left());
    F64(r.top());
    F64(r.right());
    F64(r.bottom());
}

void TReportRecorder::String(const QString& s)
{
    U32(quint32(s.size()));
    for (QChar c : s) {
        char b[2];
        qToLittleEndian(c.unicode(), b);
        m_ops.append(b, 2);
    }
}

void TReportRecorder::Points(const QPointF* points, int count)
{
    U32(quint32(count));
    for (int i = 0; i < count; ++i) {
        F64(points[i].x());
        F64(points[i].y());
    }
}

void TReportRecorder::BeginPage(int, QSizeF inches)
{
    m_ops.clear();
    m_pageSize = inches;
    m_pageOpen = true;
    m_leftOut = 0;
}

void TReportRecorder::EndPage()
{
    if (!m_pageOpen) return;
    m_pageOpen = false;
    // The reader bounds the operations of a page and of all pages: past
    // that, a page is left empty.
    if (m_ops.size() > TReportFileReader::MaxPageOperationsSize ||
        m_operationsBytes + m_ops.size() > MaxOperationsTotal) {
        LeftOut(QStringLiteral("Page %1 was left empty: the report holds as much as a report file may.")
                    .arg(m_pages.size() + 1));
        m_ops.clear();
    }
    m_operationsBytes += m_ops.size();
    m_pages.push_back(Page{PackPage(m_ops), quint32(m_ops.size()), m_pageSize});
    m_ops.clear();
    if (m_leftOut > 0)
        LeftOut(QStringLiteral("%1 drawings of page %2 lay too far off the page and were left out.")
                    .arg(m_leftOut)
                    .arg(m_pages.size()));
    m_leftOut = 0;
}

void TReportRecorder::SetFont(const TPageFont& font)
{
    Byte(OpFont);
    Byte(quint8((font.Bold ? FontBold : 0) | (font.Italic ? FontItalic : 0) | (font.Underline ? FontUnderline : 0) |
                (font.StrikeOut ? FontStrikeOut : 0)));
    // Sizes past what a file may hold are drawn at the largest it may.
    F64(std::isfinite(font.Size) && font.Size > 0 ? std::min(font.Size, MaxFontSize) : 10.0);
    U32(font.Color & 0xFFFFFF);
    U32(quint32(font.Angle));
    String(font.Family);
}

void TReportRecorder::SetPen(const TPagePen& pen)
{
    Byte(OpPen);
    U32(pen.Color & 0xFFFFFF);
    Byte(quint8(pen.Style));
    Byte(quint8(pen.Mode));
    U32(quint32(std::clamp(pen.Width, 0, MaxPenWidth)));
}

void TReportRecorder::SetBrush(const TPageBrush& brush, const QImage* pattern)
{
    const int index = pattern && !pattern->isNull() ? ImageIndex(*pattern) : -1;
    // A pattern that cannot be stored leaves a plain brush.
    Byte(OpBrush);
    U32(brush.Color & 0xFFFFFF);
    Byte(quint8(brush.Style));
    U32(quint32(index));
}

void TReportRecorder::SetClip(const QRectF* r)
{
    Byte(OpClip);
    Byte(r ? 1 : 0);
    if (r) {
        // A clip reaching past what a page may hold is cut to it.
        const auto bound = [](double v) {
            return std::isfinite(v) ? std::clamp(v, -MaxCoordinate, MaxCoordinate) : 0.0;
        };
        Rect(QRectF(QPointF(bound(r->left()), bound(r->top())), QPointF(bound(r->right()), bound(r->bottom()))));
    }
}

void TReportRecorder::DrawText(QPointF origin, const QString& text)
{
    if (!Keep(Sound(origin))) return;
    Byte(OpText);
    F64(origin.x());
    F64(origin.y());
    String(text);
}

void TReportRecorder::DrawLine(QPointF from, QPointF to)
{
    if (!Keep(Sound(from) && Sound(to))) return;
    Byte(OpLine);
    F64(from.x());
    F64(from.y());
    F64(to.x());
    F64(to.y());
}

void TReportRecorder::DrawRectangle(const QRectF& r)
{
    if (!Keep(Sound(r))) return;
    Byte(OpRect);
    Rect(r);
}

void TReportRecorder::DrawEllipse(const QRectF& r)
{
    if (!Keep(Sound(r))) return;
    Byte(OpEllipse);
    Rect(r);
}

void TReportRecorder::DrawPolyline(const QPointF* points, int count)
{
    if (count <= 0 || !Keep(std::all_of(points, points + count, [](QPointF p) { return Sound(p); }))) return;
    Byte(OpPolyline);
    Points(points, count);
}

void TReportRecorder::DrawPolygon(const QPointF* points, int count, bool winding)
{
    if (count <= 0 || !Keep(std::all_of(points, points + count, [](QPointF p) { return Sound(p); }))) return;
    Byte(OpPolygon);
    Byte(winding ? 1 : 0);
    Points(points, count);
}

void TReportRecorder::FillRect(const QRectF& r, TColor color)
{
    if (!Keep(Sound(r))) return;
    Byte(OpFill);
    Rect(r);
    U32(color & 0xFFFFFF);
}

void TReportRecorder::DrawImage(const QRectF& r, const QImage& image, int)
{
    if (image.isNull() || !Keep(Sound(r))) return;
    const int index = ImageIndex(image);
    if (index < 0) return;
    Byte(OpImage);
    Rect(r);
    U32(quint32(index));
}

int TReportRecorder::ImageIndex(const QImage& picture)
{
    if (auto it = m_byKey.constFind(picture.cacheKey()); it != m_byKey.constEnd()) return it.value();
    // The page surface fits pictures already; any other road is fitted here.
    const QImage source = PagePicture::Fit(picture);
    if (source.isNull()) {
        LeftOut(QStringLiteral("A picture of %1 x %2 pixels was left out of page %3.")
                    .arg(picture.width())
                    .arg(picture.height())
                    .arg(m_pages.size() + 1));
        return -1;
    }
    // The same picture made again (a new bitmap per page) is stored once.
    const size_t content = qHashBits(source.constBits(), size_t(source.sizeInBytes()), size_t(source.width()));
    for (auto it = m_byContent.constFind(content); it != m_byContent.constEnd() && it.key() == content; ++it) {
        if (m_kept[size_t(it.value())] == source) {
            m_byKey.insert(source.cacheKey(), it.value());
            return it.value();
        }
    }

    QImage image = source;
    if (image.depth() == 1)
        image = image.convertToFormat(QImage::Format_Mono);
    else if (image.format() != QImage::Format_Indexed8)
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);

    Image stored{{}, EncodingPixels, quint16(image.depth()), quint32(image.width()), quint32(image.height())};
    if (image.format() == QImage::Format_RGB32) {
        if (QImage indexed = Indexed(image); !indexed.isNull()) {
            image = indexed;
            stored.Bits = 8;
        } else {
            QBuffer buffer(&stored.Data);
            buffer.open(QIODevice::WriteOnly);
            QImageWriter writer(&buffer, "jpeg");
            writer.setQuality(90);
            if (!writer.write(image))
                throw Exception(
                    QStringLiteral("Cannot store a picture in the report file: %1").arg(writer.errorString()));
            stored.Encoding = EncodingJpeg;
        }
    }
    // The reader keeps every picture decoded and bounds them in all.
    const qint64 decoded = stored.Encoding == EncodingJpeg
        ? qint64(stored.Width) * stored.Height * 4
        : (qint64(stored.Width) * stored.Bits + 31) / 32 * 4 * stored.Height;
    if (m_pictureBytes + decoded > MaxPictureBytesTotal) {
        LeftOut(QStringLiteral("A picture of %1 x %2 pixels was left out of page %3: the report holds as many "
                               "pictures as a report file may.")
                    .arg(picture.width())
                    .arg(picture.height())
                    .arg(m_pages.size() + 1));
        return -1;
    }
    m_pictureBytes += decoded;
    if (stored.Encoding == EncodingPixels) stored.Data = Deflate(PixelRows(image, image.colorTable()), 1);

    const int index = int(m_images.size());
    m_images.push_back(std::move(stored));
    m_byContent.insert(content, index);
    m_byKey.insert(source.cacheKey(), index);
    // Keeping the source keeps its key from being reused by another image.
    m_kept.push_back(source);
    return index;
}

QByteArray TReportRecorder::File(const QString& title) const
{
    const qint64 tables = HeaderSize + qint64(title.size()) * 2 + qint64(m_pages.size()) * PageEntrySize +
        qint64(m_images.size()) * ImageEntrySize;
    QByteArray out;
    qint64 total = tables;
    for (const Page& p : m_pages) total += p.Stored.size();
    for (const Image& i : m_images) total += i.Data.size();
    out.reserve(qsizetype(total));

    out.append(Magic, 8);
    PutU32(out, Version);
    PutU32(out, quint32(m_pages.size()));
    PutU32(out, quint32(m_images.size()));
    PutU32(out, quint32(title.size()));
    for (QChar c : title) PutU16(out, c.unicode());

    quint64 offset = quint64(tables);
    for (const Page& p : m_pages) {
        PutU64(out, offset);
        PutU32(out, quint32(p.Stored.size()));
        PutU32(out, p.OperationsSize);
        PutF64(out, p.Size.width());
        PutF64(out, p.Size.height());
        offset += quint64(p.Stored.size());
    }
    for (const Image& i : m_images) {
        PutU64(out, offset);
        PutU32(out, quint32(i.Data.size()));
        PutU16(out, i.Encoding);
        PutU16(out, i.Bits);
        PutU32(out, i.Width);
        PutU32(out, i.Height);
        offset += quint64(i.Data.size());
    }
    for (const Page& p : m_pages) out.append(p.Stored);
    for (const Image& i : m_images) out.append(i.Data);
    return out;
}
