#pragma once
// Small picture files that declare far more pixels than they carry, as a
// hostile server could send them, for the tests and the picture benchmark.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>
#include <algorithm>
#include <initializer_list>

namespace picturebombs {

// A BMP file header and BITMAPINFOHEADER declaring width x height, with the
// given pixel bits and compression (0 = none, 1 = RLE8), a palette of one
// entry (red) for 8 bits or less, then extra bytes.
inline QByteArray BitmapDeclaring(qint32 width, qint32 height, quint16 bpp = 24, quint32 compression = 0,
                                  const QByteArray& extra = QByteArray())
{
    const int palette = bpp <= 8 ? 4 : 0;
    QByteArray b(54 + palette, '\0');
    if (palette) b[56] = char(0xFF);
    auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, b.data() + at); };
    auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, b.data() + at); };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, quint32(b.size() + extra.size()));
    put32(10, quint32(b.size()));
    put32(14, 40);
    put32(18, quint32(width));
    put32(22, quint32(height));
    put16(26, 1);
    put16(28, bpp);
    put32(30, compression);
    put32(34, quint32(extra.size()));
    put32(46, palette ? 1 : 0);
    return b + extra;
}

// A JPEG of one 8 x 8 grey block whose frame header is rewritten to declare
// width x height: a few hundred bytes that libjpeg decodes at the declared
// size (the missing data is filled in). pad bytes follow the end marker.
inline QByteArray JpegDeclaring(quint16 width, quint16 height, bool progressive = false, int pad = 0)
{
    QImage grey(8, 8, QImage::Format_Grayscale8);
    grey.fill(100);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(50);
    writer.setProgressiveScanWrite(progressive);
    writer.write(grey);
    QByteArray data = buffer.data();
    for (qsizetype i = 2; i + 9 < data.size(); ++i) {
        const auto m = static_cast<unsigned char>(data[i + 1]);
        if (static_cast<unsigned char>(data[i]) == 0xFF && (m == 0xC0 || m == 0xC2)) {
            qToBigEndian(height, data.data() + i + 5);
            qToBigEndian(width, data.data() + i + 7);
            break;
        }
    }
    return data + QByteArray(pad, '\0');
}

// One frame of a GIF: its rectangle in the logical screen, every pixel of
// it colour 0 (red) of a four-colour table.
struct GifRect {
    quint16 left = 0;
    quint16 top = 0;
    quint16 width = 1;
    quint16 height = 1;
};

// A GIF of a logical screen of width x height holding the given frames,
// each with all its pixels in its data (three-bit codes, a clear code
// before every second pixel, so the code size never grows).
inline QByteArray GifDeclaring(quint16 width, quint16 height, std::initializer_list<GifRect> frames)
{
    QByteArray b("GIF89a");
    auto put16 = [&](quint16 v) {
        b.append(char(v & 0xFF));
        b.append(char(v >> 8));
    };
    put16(width);
    put16(height);
    b.append(char(0x81)); // a global table of four colours
    b.append(char(0));
    b.append(char(0));
    b.append(QByteArray("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\xFF\xFF\xFF", 12));
    for (const GifRect& f : frames) {
        b.append(QByteArray("\x21\xF9\x04\x00\x0A\x00\x00\x00", 8)); // graphic control
        b.append(char(0x2C));
        put16(f.left);
        put16(f.top);
        put16(f.width);
        put16(f.height);
        b.append(char(0));
        b.append(char(2)); // minimum code size
        QByteArray codes;
        quint32 bits = 0;
        int count = 0;
        auto code = [&](quint32 c) {
            bits |= c << count;
            count += 3;
            while (count >= 8) {
                codes.append(char(bits & 0xFF));
                bits >>= 8;
                count -= 8;
            }
        };
        const qint64 pixels = qint64(f.width) * f.height;
        for (qint64 i = 0; i < pixels; ++i) {
            if (i % 2 == 0) code(4); // clear
            code(0);
        }
        code(5); // end of information
        if (count > 0) codes.append(char(bits & 0xFF));
        for (qsizetype at = 0; at < codes.size(); at += 255) {
            const qsizetype n = std::min<qsizetype>(255, codes.size() - at);
            b.append(char(n));
            b.append(codes.constData() + at, n);
        }
        b.append(char(0));
    }
    b.append(char(0x3B));
    return b;
}

// The CRC-32 a PNG chunk ends with, over its type and data.
inline quint32 PngCrc(const QByteArray& typeAndData)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char ch : typeAndData) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG of a one-pixel header followed by a text chunk that declares
// length bytes and holds none of them (41 bytes).
inline QByteArray PngDeclaringText(quint32 length)
{
    QByteArray b("\x89PNG\r\n\x1a\n", 8);
    auto put32 = [&](quint32 v) {
        char bytes[4];
        qToBigEndian(v, bytes);
        b.append(bytes, 4);
    };
    put32(13);
    b.append("IHDR", 4);
    put32(1);
    put32(1);
    b.append("\x08\x02\x00\x00\x00", 5);
    put32(PngCrc(b.mid(12, 17)));
    put32(length);
    b.append("tEXt", 4);
    return b;
}

// An icon file whose one entry holds picture (a PNG, or a bitmap header
// and its bits); entrySize is what the directory says the entry takes.
inline QByteArray IconHolding(const QByteArray& picture, qint64 entrySize = -1)
{
    QByteArray b(22, '\0');
    qToLittleEndian<quint16>(1, b.data() + 2); // an icon
    qToLittleEndian<quint16>(1, b.data() + 4); // one entry
    b[6] = char(16);
    b[7] = char(16);
    qToLittleEndian<quint16>(1, b.data() + 10);
    qToLittleEndian<quint16>(32, b.data() + 12);
    qToLittleEndian(quint32(entrySize < 0 ? picture.size() : entrySize), b.data() + 14);
    qToLittleEndian<quint32>(22, b.data() + 18);
    return b + picture;
}

// The BITMAPINFOHEADER of an icon's bitmap entry: width x height pixels
// (the height doubled, as icons count their mask) of bpp bits, and extra
// bytes after it.
inline QByteArray IconBitmapDeclaring(qint32 width, qint32 height, quint16 bpp = 32,
                                      const QByteArray& extra = QByteArray())
{
    QByteArray b(40, '\0');
    qToLittleEndian<quint32>(40, b.data());
    qToLittleEndian(quint32(width), b.data() + 4);
    qToLittleEndian(quint32(height * 2), b.data() + 8);
    qToLittleEndian<quint16>(1, b.data() + 12);
    qToLittleEndian(bpp, b.data() + 14);
    return b + extra;
}

} // namespace picturebombs
