#pragma once
// Small picture files that declare far more pixels than they carry, as a
// hostile server could send them, for the tests and the picture benchmark.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>

namespace picturebombs {

// A BMP file header and BITMAPINFOHEADER declaring width x height, with the
// given pixel bits and compression (0 = none, 1 = RLE8), then extra bytes.
inline QByteArray BitmapDeclaring(qint32 width, qint32 height, quint16 bpp = 24, quint32 compression = 0,
                                  const QByteArray& extra = QByteArray())
{
    const quint32 palette = bpp <= 8 ? (1u << bpp) * 4 : 0;
    QByteArray b(54 + int(palette), '\0');
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

} // namespace picturebombs
