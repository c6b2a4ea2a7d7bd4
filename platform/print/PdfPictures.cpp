#include "platform/print/PdfPictures_p.h"

#include "platform/graphics/PictureReader.h"
#include "platform/print/PdfDocument_p.h"
#include "platform/report/TReportFileReader.h"

#include <QBuffer>
#include <QImageWriter>
#include <algorithm>

namespace {

// libjpeg's tables for quality 50, in natural order.
constexpr quint8 StandardTables[2][64] = {
    {16, 11,  10,  16, 24, 40, 51, 61, 12,  12,  14,  19,  26, 58, 60, 55,  14,  13,  16,  24, 40, 57,
     69, 56,  14,  17, 22, 29, 51, 87, 80,  62,  18,  22,  37, 56, 68, 109, 103, 77,  24,  35, 55, 64,
     81, 104, 113, 92, 49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98,  112, 100, 103, 99},
    {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
     99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
     99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99}};

// The natural position of each value as a file stores them (zig-zag).
constexpr quint8 ZigZag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
                               41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
                               30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

int Scaled(int base, int quality)
{
    const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    return std::clamp((base * scale + 50) / 100, 1, 255);
}

int Be16(const uchar* p) { return (p[0] << 8) | p[1]; }

constexpr double PointsPerPixel = 72.0 / 96.0;

} // namespace

PdfPictures::PdfPictures(PdfDocument& document, const TReportFileReader& reader, int jpegQuality)
    : m_document(document), m_reader(reader), m_quality(std::clamp(jpegQuality, 1, 100))
{ }

bool PdfPictures::ReadJpeg(QByteArrayView jpeg, int quality, QSize& size, int& components, bool& standard)
{
    quality = std::clamp(quality, 1, 100);
    const auto* b = reinterpret_cast<const uchar*>(jpeg.data());
    const qsizetype n = jpeg.size();
    if (n < 4 || b[0] != 0xFF || b[1] != 0xD8) return false;
    bool tables[2] = {false, false}, scaled = true, frame = false;
    int tableOf[3] = {0, 0, 0};
    components = 0;
    qsizetype p = 2;
    while (p + 4 <= n) {
        if (b[p] != 0xFF) return false;
        const int marker = b[p + 1];
        if (marker == 0xFF) {
            ++p; // fill byte
            continue;
        }
        if (marker == 0xD9) return false;
        const qsizetype length = Be16(b + p + 2);
        if (length < 2 || p + 2 + length > n) return false;
        const uchar* s = b + p + 4;
        const uchar* end = b + p + 2 + length;
        if (marker == 0xDB) {
            while (s < end) {
                const int precision = s[0] >> 4, id = s[0] & 15;
                if (precision != 0 || end - s < 65) {
                    scaled = false;
                    break;
                }
                if (id > 1) {
                    scaled = false;
                } else {
                    tables[id] = true;
                    for (int i = 0; i < 64 && scaled; ++i)
                        scaled = s[1 + i] == Scaled(StandardTables[id][ZigZag[i]], quality);
                }
                s += 65;
            }
        } else if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {
            if (length < 8) return false;
            components = s[5];
            if (s[0] != 8 || (components != 1 && components != 3) || length < 8 + 3 * components) return false;
            size = QSize(Be16(s + 3), Be16(s + 1));
            for (int i = 0; i < components; ++i) tableOf[i] = s[6 + 3 * i + 2];
            frame = true;
        } else if ((marker >= 0xC3 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)) {
            return false; // lossless or arithmetic coding
        } else if (marker == 0xDA) {
            if (!frame || size.isEmpty()) return false;
            // The standard tables as libjpeg assigns them: luminance to the
            // first component, chrominance to the others.
            standard = scaled && tables[0] && tableOf[0] == 0 &&
                (components == 1 || (tables[1] && tableOf[1] == 1 && tableOf[2] == 1));
            return true;
        }
        p += 2 + length;
    }
    return false;
}

QByteArray PdfPictures::Picture(int index)
{
    if (const auto it = m_pictures.constFind(index); it != m_pictures.constEnd()) return it.value();
    const int object = Write(index);
    const QByteArray name = object ? m_document.AddResource(PdfDocument::XObjectResource, object) : QByteArray();
    m_pictures.insert(index, name);
    m_objects.insert(index, object);
    return name;
}

QByteArray PdfPictures::Pattern(int index, double pageHeight)
{
    const QPair<int, qint64> key(index, qRound64(pageHeight * 100));
    if (const auto it = m_patterns.constFind(key); it != m_patterns.constEnd()) return it.value();
    QByteArray name;
    const QByteArray picture = Picture(index);
    if (!picture.isEmpty()) {
        const QSize size = m_reader.Stored(index).Size;
        const int object = m_document.Reserve();
        PdfOutput entries, content;
        entries << "/Type /Pattern /PatternType 1 /PaintType 1 /TilingType 1 /BBox [0 0";
        entries.SNum(size.width()).SNum(size.height()) << "] /XStep ";
        entries.Int(size.width()) << " /YStep ";
        entries.Int(size.height()) << " /Matrix [";
        entries.Num(PointsPerPixel, 4) << " 0 0";
        entries.SNum(-PointsPerPixel, 4) << " 0";
        entries.SNum(pageHeight) << "] /Resources <</XObject <<";
        entries.Name(picture) << ' ';
        entries.Ref(m_objects.value(index)) << ">>>>";
        content.Int(size.width()) << " 0 0 ";
        content.Int(-size.height()) << " 0 ";
        content.Int(size.height()) << " cm ";
        content.Name(picture) << " Do";
        m_document.Stream(object, entries.View(), content.View());
        name = m_document.AddResource(PdfDocument::PatternResource, object);
    }
    m_patterns.insert(key, name);
    return name;
}

int PdfPictures::Write(int index)
{
    const TReportFileReader::StoredPicture stored = m_reader.Stored(index);
    if (stored.Encoding != TReportFileReader::StoredPicture::Jpeg) return WriteDecoded(index, false);
    QSize size;
    int components = 0;
    bool standard = false;
    // A damaged file would reach the reader of the PDF as it is: only a
    // whole one is copied, what can be decoded of any other is made again.
    if (ReadJpeg(stored.Data, m_quality, size, components, standard) && standard && size == stored.Size &&
        PictureReader::JpegDecodesWhole(stored.Data))
        return WriteJpeg(stored.Data, size, components);
    return WriteDecoded(index, true);
}

int PdfPictures::WriteDecoded(int index, bool recode)
{
    const QImage image = m_reader.Image(index);
    const int object = image.isNull() ? 0 : recode ? WriteRecoded(image) : WritePixels(image);
    if (!object && OnLeftOut) {
        const QSize size = m_reader.Stored(index).Size;
        OnLeftOut(QStringLiteral("A picture of %1 x %2 pixels could not be decoded and was left out of the PDF "
                                 "from page %3 on.")
                      .arg(size.width())
                      .arg(size.height())
                      .arg(Page + 1));
    }
    return object;
}

int PdfPictures::WriteJpeg(QByteArrayView jpeg, QSize size, int components)
{
    const int object = m_document.Reserve();
    PdfOutput entries;
    entries << "/Type /XObject /Subtype /Image /Width ";
    entries.Int(size.width()) << " /Height ";
    entries.Int(size.height()) << (components == 1 ? " /ColorSpace /DeviceGray" : " /ColorSpace /DeviceRGB")
                               << " /BitsPerComponent 8 /Filter /DCTDecode";
    m_document.Stream(object, entries.View(), jpeg, false);
    return object;
}

int PdfPictures::WriteRecoded(const QImage& image)
{
    const bool gray = image.format() == QImage::Format_Grayscale8;
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(m_quality);
    if (!writer.write(gray ? image : image.convertToFormat(QImage::Format_RGB32))) return 0;
    QSize size;
    int components = 0;
    bool standard = false;
    if (!ReadJpeg(jpeg, m_quality, size, components, standard)) return 0;
    return WriteJpeg(jpeg, size, components);
}

int PdfPictures::WritePixels(const QImage& image)
{
    const int w = image.width(), h = image.height();
    const QList<QRgb> palette = image.colorTable();
    const bool indexed = image.depth() <= 8;
    // Transparency, of palette entries or of pixels, becomes a soft mask.
    bool transparent = false;
    if (indexed) {
        transparent = std::any_of(palette.begin(), palette.end(), [](QRgb c) { return qAlpha(c) < 255; });
    } else {
        for (int y = 0; y < h && !transparent; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < w; ++x)
                if (qAlpha(row[x]) < 255) {
                    transparent = true;
                    break;
                }
        }
    }

    const int object = m_document.Reserve();
    int mask = 0;
    if (transparent) {
        mask = m_document.Reserve();
        QByteArray alpha(qsizetype(w) * h, Qt::Uninitialized);
        uchar* out = reinterpret_cast<uchar*>(alpha.data());
        for (int y = 0; y < h; ++y) {
            const uchar* row = image.constScanLine(y);
            for (int x = 0; x < w; ++x) {
                QRgb c;
                if (image.depth() == 1)
                    c = palette.value((row[x >> 3] >> (7 - (x & 7))) & 1);
                else if (image.depth() == 8)
                    c = palette.value(row[x]);
                else
                    c = reinterpret_cast<const QRgb*>(row)[x];
                *out++ = uchar(qAlpha(c));
            }
        }
        PdfOutput entries;
        entries << "/Type /XObject /Subtype /Image /Width ";
        entries.Int(w) << " /Height ";
        entries.Int(h) << " /ColorSpace /DeviceGray /BitsPerComponent 8";
        m_document.Stream(mask, entries.View(), alpha);
    }

    PdfOutput entries;
    entries << "/Type /XObject /Subtype /Image /Width ";
    entries.Int(w) << " /Height ";
    entries.Int(h) << " /BitsPerComponent " << (image.depth() == 1 ? "1" : "8") << " /ColorSpace ";
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    const auto opaque = [](QRgb c) { return c | 0xFF000000u; };
    if (image.depth() == 1 && palette.size() == 2 && opaque(palette[0]) == black && opaque(palette[1]) == white) {
        entries << "/DeviceGray";
    } else if (image.depth() == 1 && palette.size() == 2 && opaque(palette[0]) == white &&
               opaque(palette[1]) == black) {
        // White-is-zero: the bits as they are, read the other way round.
        entries << "/DeviceGray /Decode [1 0]";
    } else if (indexed) {
        QByteArray lookup;
        lookup.reserve(palette.size() * 3);
        for (const QRgb c : palette) lookup.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
        entries << "[/Indexed /DeviceRGB ";
        entries.Int(palette.size() - 1) << ' ';
        entries.Hex(lookup) << ']';
    } else {
        entries << "/DeviceRGB";
    }
    if (mask) {
        entries << " /SMask ";
        entries.Ref(mask);
    }

    QByteArray rows;
    if (indexed) {
        const qsizetype rowBytes = (qsizetype(w) * image.depth() + 7) / 8;
        rows.resize(rowBytes * h);
        for (int y = 0; y < h; ++y) std::memcpy(rows.data() + y * rowBytes, image.constScanLine(y), size_t(rowBytes));
    } else {
        rows.resize(qsizetype(w) * h * 3);
        uchar* out = reinterpret_cast<uchar*>(rows.data());
        for (int y = 0; y < h; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                *out++ = uchar(qRed(row[x]));
                *out++ = uchar(qGreen(row[x]));
                *out++ = uchar(qBlue(row[x]));
            }
        }
    }
    m_document.Stream(object, entries.View(), rows);
    return object;
}
