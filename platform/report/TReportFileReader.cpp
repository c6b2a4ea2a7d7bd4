#include "platform/report/TReportFileReader.h"

#include "platform/report/ReportFormat_p.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <vector>
#include <zlib.h>

using namespace ReportFormat;

namespace {

[[noreturn]] void Damaged(const QString& what)
{
    throw EReportFileError(QStringLiteral("The report file is damaged: %1.").arg(what));
}

// Reads fields from a byte range, refusing to read past its end.
class Cursor {
public:
    Cursor(const char* data, qint64 size, QString where) : m_p(data), m_end(data + size), m_where(std::move(where)) { }

    qint64 Left() const { return m_end - m_p; }
    bool AtEnd() const { return m_p == m_end; }
    void Need(qint64 n) const
    {
        if (n < 0 || n > Left()) Damaged(QStringLiteral("%1 ends inside a field").arg(m_where));
    }
    quint8 U8()
    {
        Need(1);
        return quint8(*m_p++);
    }
    template <class T>
    T Number()
    {
        Need(qint64(sizeof(T)));
        const T v = qFromLittleEndian<T>(m_p);
        m_p += sizeof(T);
        return v;
    }
    quint16 U16() { return Number<quint16>(); }
    quint32 U32() { return Number<quint32>(); }
    quint64 U64() { return Number<quint64>(); }
    double F64()
    {
        const quint64 bits = U64();
        double v;
        std::memcpy(&v, &bits, 8);
        return v;
    }
    // A coordinate: finite and within the bounds a page can use.
    double Coordinate()
    {
        const double v = F64();
        if (!std::isfinite(v) || std::fabs(v) > MaxCoordinate)
            Damaged(QStringLiteral("%1 holds a position out of range").arg(m_where));
        return v;
    }
    QRectF Rect()
    {
        const double l = Coordinate(), t = Coordinate(), r = Coordinate(), b = Coordinate();
        return QRectF(QPointF(l, t), QPointF(r, b));
    }
    QString String() { return Chars(U32()); }
    QString Chars(quint32 n)
    {
        Need(qint64(n) * 2); // checked before anything is allocated
        QString s(qsizetype(n), Qt::Uninitialized);
        for (quint32 i = 0; i < n; ++i) s[qsizetype(i)] = QChar(qFromLittleEndian<quint16>(m_p + 2 * i));
        m_p += qint64(n) * 2;
        return s;
    }
    const QString& Where() const { return m_where; }

private:
    const char* m_p;
    const char* m_end;
    QString m_where;
};

struct PageEntry {
    QByteArray Operations;
    QSizeF Size;
};

struct ImageEntry {
    qint64 Offset = 0;
    quint32 Size = 0;
    quint16 Encoding = 0, Bits = 0;
    quint32 Width = 0, Height = 0;
    mutable QImage Decoded;
    mutable bool Tried = false;
};

QByteArray Inflate(const char* data, qint64 size, qint64 expected, bool& ok)
{
    ok = false;
    QByteArray out(qsizetype(expected), Qt::Uninitialized);
    uLongf length = uLongf(expected);
    const int rc =
        uncompress(reinterpret_cast<Bytef*>(out.data()), &length, reinterpret_cast<const Bytef*>(data), uLong(size));
    ok = rc == Z_OK && qint64(length) == expected;
    return out;
}

// Unpacks stored pixel rows; a null image when they do not add up.
QImage DecodePixels(const QByteArray& file, const ImageEntry& e)
{
    const qint64 rowBytes = (qint64(e.Width) * e.Bits + 7) / 8;
    const qint64 palette = e.Bits <= 8 ? 4 + 4 * (qint64(1) << e.Bits) : 0;
    const qint64 most = palette + rowBytes * e.Height;
    const qint64 least = (e.Bits <= 8 ? 4 : 0) + rowBytes * e.Height;
    // Only what the table allowed; the exact size is checked after.
    QByteArray raw(qsizetype(most), Qt::Uninitialized);
    uLongf length = uLongf(most);
    const int rc = uncompress(reinterpret_cast<Bytef*>(raw.data()), &length,
                              reinterpret_cast<const Bytef*>(file.constData() + e.Offset), uLong(e.Size));
    if (rc != Z_OK || qint64(length) < least) return {};
    const char* p = raw.constData();
    const char* end = p + length;
    QList<QRgb> colours;
    if (e.Bits <= 8) {
        const quint32 count = qFromLittleEndian<quint32>(p);
        p += 4;
        // Every index a pixel can hold must name a colour.
        if ((e.Bits == 1 && count != 2) || count == 0 || count > (1u << e.Bits) ||
            end - p != qint64(count) * 4 + rowBytes * e.Height)
            return {};
        for (quint32 i = 0; i < count; ++i, p += 4) colours.append(qFromLittleEndian<quint32>(p));
    } else if (end - p != rowBytes * e.Height) {
        return {};
    }
    const QImage::Format format = e.Bits == 1 ? QImage::Format_Mono
        : e.Bits == 8                         ? QImage::Format_Indexed8
                                              : QImage::Format_ARGB32;
    QImage image(int(e.Width), int(e.Height), format);
    if (image.isNull()) return {};
    if (e.Bits <= 8) image.setColorTable(colours);
    for (quint32 y = 0; y < e.Height; ++y, p += rowBytes) std::memcpy(image.scanLine(int(y)), p, size_t(rowBytes));
    if (e.Bits == 8) {
        // An index past the palette would be read out of it when drawn.
        const int width = image.width(), height = image.height();
        const qsizetype count = colours.size();
        for (int y = 0; y < height; ++y) {
            const uchar* row = image.constScanLine(y);
            for (int x = 0; x < width; ++x)
                if (row[x] >= count) return {};
        }
    }
    return image;
}

QImage DecodeJpeg(const QByteArray& file, const ImageEntry& e)
{
    QByteArray bytes = QByteArray::fromRawData(file.constData() + e.Offset, qsizetype(e.Size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    if (reader.size() != QSize(int(e.Width), int(e.Height))) return {};
    QImage image;
    if (!reader.read(&image) || image.size() != QSize(int(e.Width), int(e.Height))) return {};
    return image;
}

} // namespace

struct TReportFileReader::Data {
    QByteArray File;
    int Version = 0;
    QString Title;
    std::vector<PageEntry> Pages;
    std::vector<ImageEntry> Images;
};

namespace {

// Walks one page's operations; with a painter, draws them. Every field is
// checked, so a page that walks without painter replays without error.
template <class Painter>
void Walk(const QByteArray& ops, int page, int imageCount, Painter* painter, const TReportFileReader* reader)
{
    Cursor c(ops.constData(), ops.size(), QStringLiteral("page %1").arg(page + 1));
    std::vector<QPointF> points;
    const auto imageRef = [&](quint32 index) {
        if (index >= quint32(imageCount))
            Damaged(QStringLiteral("page %1 names picture %2 of %3").arg(page + 1).arg(index).arg(imageCount));
        return int(index);
    };
    const auto readPoints = [&]() {
        const quint32 n = c.U32();
        c.Need(qint64(n) * 16);
        points.resize(n);
        for (quint32 i = 0; i < n; ++i) {
            const double x = c.Coordinate();
            points[i] = QPointF(x, c.Coordinate());
        }
    };
    while (!c.AtEnd()) {
        const quint8 op = c.U8();
        switch (op) {
        case OpFont: {
            TPageFont f;
            const quint8 style = c.U8();
            f.Bold = style & FontBold;
            f.Italic = style & FontItalic;
            f.Underline = style & FontUnderline;
            f.StrikeOut = style & FontStrikeOut;
            f.Size = c.F64();
            if (!std::isfinite(f.Size) || f.Size <= 0 || f.Size > MaxFontSize)
                Damaged(QStringLiteral("page %1 holds a font size out of range").arg(page + 1));
            f.Color = c.U32() & 0xFFFFFF;
            f.Angle = int(qint32(c.U32())) % 3600;
            f.Family = c.String();
            if (painter) painter->SetFont(f);
            break;
        }
        case OpPen: {
            TPagePen p;
            p.Color = c.U32() & 0xFFFFFF;
            const quint8 style = c.U8(), mode = c.U8();
            const qint32 width = qint32(c.U32());
            if (style > MaxPenStyle || mode > MaxPenMode || width < 0 || width > MaxPenWidth)
                Damaged(QStringLiteral("page %1 holds an unknown pen").arg(page + 1));
            p.Style = TPenStyle(style);
            p.Mode = TPenMode(mode);
            p.Width = width;
            if (painter) painter->SetPen(p);
            break;
        }
        case OpBrush: {
            TPageBrush b;
            b.Color = c.U32() & 0xFFFFFF;
            const quint8 style = c.U8();
            if (style > MaxBrushStyle) Damaged(QStringLiteral("page %1 holds an unknown brush").arg(page + 1));
            b.Style = TBrushStyle(style);
            const quint32 pattern = c.U32();
            b.Pattern = pattern == 0xFFFFFFFFu ? -1 : imageRef(pattern);
            if (painter) {
                const QImage image = b.Pattern >= 0 ? reader->Image(b.Pattern) : QImage();
                painter->SetBrush(b, image.isNull() ? nullptr : &image);
            }
            break;
        }
        case OpClip: {
            const quint8 on = c.U8();
            if (on > 1) Damaged(QStringLiteral("page %1 holds an unknown clip").arg(page + 1));
            if (on) {
                const QRectF r = c.Rect();
                if (painter) painter->SetClip(&r);
            } else if (painter) {
                painter->SetClip(nullptr);
            }
            break;
        }
        case OpText: {
            const double x = c.Coordinate(), y = c.Coordinate();
            const QString text = c.String();
            if (painter) painter->DrawText(QPointF(x, y), text);
            break;
        }
        case OpLine: {
            const double x1 = c.Coordinate(), y1 = c.Coordinate(), x2 = c.Coordinate(), y2 = c.Coordinate();
            if (painter) painter->DrawLine(QPointF(x1, y1), QPointF(x2, y2));
            break;
        }
        case OpRect:
        case OpEllipse: {
            const QRectF r = c.Rect();
            if (painter) {
                if (op == OpRect)
                    painter->DrawRectangle(r);
                else
                    painter->DrawEllipse(r);
            }
            break;
        }
        case OpPolyline:
            readPoints();
            if (painter) painter->DrawPolyline(points.data(), int(points.size()));
            break;
        case OpPolygon: {
            const quint8 winding = c.U8();
            if (winding > 1) Damaged(QStringLiteral("page %1 holds an unknown fill rule").arg(page + 1));
            readPoints();
            if (painter) painter->DrawPolygon(points.data(), int(points.size()), winding == 1);
            break;
        }
        case OpFill: {
            const QRectF r = c.Rect();
            const TColor colour = c.U32() & 0xFFFFFF;
            if (painter) painter->FillRect(r, colour);
            break;
        }
        case OpImage: {
            const QRectF r = c.Rect();
            const int index = imageRef(c.U32());
            if (painter) painter->DrawImage(r, painter->NeedsImagePixels() ? reader->Image(index) : QImage(), index);
            break;
        }
        default: Damaged(QStringLiteral("page %1 holds an unknown operation %2").arg(page + 1).arg(op));
        }
    }
}

} // namespace

TReportFileReader::TReportFileReader() : d(std::make_unique<Data>()) { }
TReportFileReader::~TReportFileReader() = default;

void TReportFileReader::Clear() { d = std::make_unique<Data>(); }

void TReportFileReader::LoadFromFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    LoadFromStream(file);
}

void TReportFileReader::LoadFromStream(QIODevice& stream)
{
    Clear();
    const qint64 size = stream.isSequential() ? -1 : stream.size() - stream.pos();
    if (size > MaxFileSize) throw EReportFileError(QStringLiteral("The report file is too large."));
    // A file of known size is read as it is: asking for the cap would make
    // the buffer that large.
    QByteArray data = size >= 0 ? stream.read(size) : stream.read(MaxFileSize + 1);
    if (data.size() > MaxFileSize) throw EReportFileError(QStringLiteral("The report file is too large."));
    LoadFromBytes(data);
}

void TReportFileReader::LoadFromBytes(const QByteArray& bytes)
{
    Clear();
    auto data = std::make_unique<Data>();
    data->File = bytes;
    const QByteArray& file = data->File;
    const qint64 fileSize = file.size();
    if (fileSize > MaxFileSize) throw EReportFileError(QStringLiteral("The report file is too large."));
    if (fileSize < HeaderSize || std::memcmp(file.constData(), Magic, 8) != 0)
        throw EReportFileError(QStringLiteral("This is not a report file."));

    Cursor c(file.constData() + 8, fileSize - 8, QStringLiteral("the header"));
    const quint32 version = c.U32();
    if (version != ReportFormat::Version)
        throw EReportFileError(QStringLiteral("The report file has version %1; this program reads version %2.")
                                   .arg(version)
                                   .arg(ReportFormat::Version));
    data->Version = int(version);
    const quint32 pageCount = c.U32(), imageCount = c.U32(), titleLength = c.U32();
    if (pageCount > quint32(MaxPages)) Damaged(QStringLiteral("it claims %1 pages").arg(pageCount));
    if (imageCount > quint32(MaxImages)) Damaged(QStringLiteral("it claims %1 pictures").arg(imageCount));
    const qint64 tables =
        HeaderSize + qint64(titleLength) * 2 + qint64(pageCount) * PageEntrySize + qint64(imageCount) * ImageEntrySize;
    if (tables > fileSize) Damaged(QStringLiteral("its tables run past its end"));
    data->Title = c.Chars(titleLength);

    // Every blob lies after the tables and inside the file.
    const auto blob = [&](quint64 offset, quint64 length, const QString& what) {
        if (offset < quint64(tables) || offset > quint64(fileSize) || length > quint64(fileSize) - offset)
            Damaged(QStringLiteral("%1 lies outside the file's data").arg(what));
    };

    Cursor pages(file.constData() + HeaderSize + qint64(titleLength) * 2, qint64(pageCount) * PageEntrySize,
                 QStringLiteral("the page table"));
    struct Stored {
        quint64 Offset;
        quint32 Size, OperationsSize;
    };
    std::vector<Stored> stored;
    data->Pages.resize(pageCount);
    stored.reserve(pageCount);
    qint64 operationsTotal = 0;
    for (quint32 i = 0; i < pageCount; ++i) {
        const quint64 offset = pages.U64();
        const quint32 storedSize = pages.U32(), opsSize = pages.U32();
        const double w = pages.F64(), h = pages.F64();
        const QString what = QStringLiteral("page %1").arg(i + 1);
        blob(offset, storedSize, what);
        if (qint64(opsSize) > MaxPageOperationsSize || qint64(opsSize) > qint64(storedSize) * MaxInflateRatio + 64)
            Damaged(QStringLiteral("%1 claims %2 bytes of operations").arg(what).arg(opsSize));
        if (!(w > 0 && w <= 100 && h > 0 && h <= 100)) Damaged(QStringLiteral("%1 has no sound page size").arg(what));
        data->Pages[i].Size = QSizeF(w, h);
        stored.push_back(Stored{offset, storedSize, opsSize});
        // Entries may share their data; every page's copy is kept all the same.
        operationsTotal += opsSize;
        if (operationsTotal > MaxOperationsTotal)
            Damaged(QStringLiteral("its pages claim more than %1 bytes of operations in all").arg(MaxOperationsTotal));
    }

    Cursor images(file.constData() + HeaderSize + qint64(titleLength) * 2 + qint64(pageCount) * PageEntrySize,
                  qint64(imageCount) * ImageEntrySize, QStringLiteral("the picture table"));
    data->Images.resize(imageCount);
    qint64 pictureTotal = 0;
    for (quint32 i = 0; i < imageCount; ++i) {
        ImageEntry& e = data->Images[i];
        const quint64 offset = images.U64();
        e.Size = images.U32();
        e.Encoding = images.U16();
        e.Bits = images.U16();
        e.Width = images.U32();
        e.Height = images.U32();
        const QString what = QStringLiteral("picture %1").arg(i + 1);
        blob(offset, e.Size, what);
        e.Offset = qint64(offset);
        if (e.Width == 0 || e.Height == 0 || e.Width > quint32(MaxImageSide) || e.Height > quint32(MaxImageSide))
            Damaged(QStringLiteral("%1 claims %2 x %3 pixels").arg(what).arg(e.Width).arg(e.Height));
        if (e.Encoding == EncodingPixels) {
            if (e.Bits != 1 && e.Bits != 8 && e.Bits != 32)
                Damaged(QStringLiteral("%1 has %2 bits per pixel").arg(what).arg(e.Bits));
            const qint64 bytes = (qint64(e.Width) * e.Bits + 7) / 8 * e.Height;
            if (bytes > MaxImagePixelBytes || bytes > qint64(e.Size) * MaxInflateRatio + 1024 * 4 + 64)
                Damaged(QStringLiteral("%1 claims more pixels than its data can hold").arg(what));
        } else if (e.Encoding == EncodingJpeg) {
            if (qint64(e.Width) * e.Height * 4 > MaxImagePixelBytes)
                Damaged(QStringLiteral("%1 claims more pixels than a page picture may have").arg(what));
        } else {
            Damaged(QStringLiteral("%1 is stored in an unknown way").arg(what));
        }
        // What the picture takes once decoded (rows as QImage pads them).
        pictureTotal += e.Encoding == EncodingJpeg ? qint64(e.Width) * e.Height * 4
                                                   : (qint64(e.Width) * e.Bits + 31) / 32 * 4 * e.Height;
        if (pictureTotal > MaxPictureBytesTotal)
            Damaged(QStringLiteral("its pictures claim more than %1 bytes in all").arg(MaxPictureBytesTotal));
    }

    for (quint32 i = 0; i < pageCount; ++i) {
        bool ok = false;
        data->Pages[i].Operations =
            Inflate(file.constData() + stored[i].Offset, stored[i].Size, stored[i].OperationsSize, ok);
        if (!ok) Damaged(QStringLiteral("the operations of page %1 do not unpack").arg(i + 1));
        Walk<TPagePainter>(data->Pages[i].Operations, int(i), int(imageCount), nullptr, nullptr);
    }
    d = std::move(data);
}

int TReportFileReader::Version() const { return d->Version; }
const QString& TReportFileReader::Title() const { return d->Title; }
int TReportFileReader::PageCount() const { return int(d->Pages.size()); }
int TReportFileReader::ImageCount() const { return int(d->Images.size()); }

QSizeF TReportFileReader::PageSize(int page) const
{
    if (page < 0 || page >= PageCount()) throw EListError::IndexOutOfBounds(page);
    return d->Pages[size_t(page)].Size;
}

QImage TReportFileReader::Image(int index) const
{
    if (index < 0 || index >= ImageCount()) throw EListError::IndexOutOfBounds(index);
    const ImageEntry& e = d->Images[size_t(index)];
    if (!e.Tried) {
        e.Tried = true;
        e.Decoded = e.Encoding == EncodingJpeg ? DecodeJpeg(d->File, e) : DecodePixels(d->File, e);
    }
    return e.Decoded;
}

TReportFileReader::StoredPicture TReportFileReader::Stored(int index) const
{
    if (index < 0 || index >= ImageCount()) throw EListError::IndexOutOfBounds(index);
    const ImageEntry& e = d->Images[size_t(index)];
    StoredPicture p;
    p.Encoding = e.Encoding == EncodingJpeg ? StoredPicture::Jpeg : StoredPicture::Pixels;
    p.Bits = e.Bits;
    p.Size = QSize(int(e.Width), int(e.Height));
    p.Data = QByteArrayView(d->File.constData() + e.Offset, qsizetype(e.Size));
    return p;
}

void TReportFileReader::PlayPage(int page, TPagePainter& painter) const
{
    if (page < 0 || page >= PageCount()) throw EListError::IndexOutOfBounds(page);
    const PageEntry& p = d->Pages[size_t(page)];
    painter.BeginPage(page, p.Size);
    Walk(p.Operations, page, ImageCount(), &painter, this);
    painter.EndPage();
}
