#pragma once
// Small TIFF fixtures made in the test: well-formed ones through libtiff's
// own encoders, hostile ones byte by byte.

#include <QByteArray>
#include <QImage>
#include <QTemporaryDir>
#include <QFile>

#include <tiffio.h>

#include <cstdint>
#include <vector>

namespace tifftest {

struct Sheet {
    int width = 61;
    int height = 23;
    int bits = 1;
    uint16_t compression = COMPRESSION_NONE;
    uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    int tile = 0; // tile side; 0 writes strips
    int rowsPerStrip = 5;
    bool palette = false;
    bool eightBitMap = false; // the palette's 16-bit table holds 8-bit values
};

// The pixel the fixtures hold at (x, y): ink (1) or a grey level.
inline int Ink(int x, int y) { return ((x * 7 + y * 3) % 5 == 0) || x == y ? 1 : 0; }
inline int Grey(int x, int y) { return (x * 11 + y * 5) & 0xFF; }

inline QByteArray Write(const Sheet& s)
{
    QTemporaryDir dir;
    const QByteArray path = (dir.path() + QStringLiteral("/sheet.tif")).toLocal8Bit();
    TIFF* t = TIFFOpen(path.constData(), "w");
    if (!t) return {};
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, uint32_t(s.width));
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, uint32_t(s.height));
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, uint16_t(s.bits));
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, uint16_t(1));
    TIFFSetField(t, TIFFTAG_COMPRESSION, s.compression);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, s.palette ? uint16_t(PHOTOMETRIC_PALETTE) : s.photometric);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG));
    std::vector<uint16_t> map(256);
    if (s.palette) {
        for (int i = 0; i < 256; ++i) map[size_t(i)] = uint16_t(s.eightBitMap ? i : i * 257);
        std::vector<uint16_t> red(256, 0);
        TIFFSetField(t, TIFFTAG_COLORMAP, red.data(), map.data(), map.data());
    }
    const int rowBytes = (s.width * s.bits + 7) / 8;
    auto fillRow = [&](uchar* row, int y, int x0, int count) {
        for (int i = 0; i < count; ++i) {
            const int x = x0 + i;
            if (x >= s.width || y >= s.height) continue;
            if (s.bits == 1) {
                if (Ink(x, y)) row[i / 8] |= uchar(0x80 >> (i % 8));
            } else {
                row[i] = uchar(Grey(x, y));
            }
        }
    };
    bool ok = true;
    if (s.tile) {
        TIFFSetField(t, TIFFTAG_TILEWIDTH, uint32_t(s.tile));
        TIFFSetField(t, TIFFTAG_TILELENGTH, uint32_t(s.tile));
        const int tileRow = (s.tile * s.bits + 7) / 8;
        std::vector<uchar> buf(size_t(tileRow) * size_t(s.tile));
        for (int ty = 0; ty < s.height; ty += s.tile)
            for (int tx = 0; tx < s.width; tx += s.tile) {
                std::fill(buf.begin(), buf.end(), 0);
                for (int r = 0; r < s.tile; ++r) fillRow(buf.data() + r * tileRow, ty + r, tx, s.tile);
                ok = ok && TIFFWriteTile(t, buf.data(), uint32_t(tx), uint32_t(ty), 0, 0) >= 0;
            }
    } else {
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, uint32_t(s.rowsPerStrip));
        std::vector<uchar> row(static_cast<size_t>(rowBytes));
        for (int y = 0; y < s.height; ++y) {
            std::fill(row.begin(), row.end(), 0);
            fillRow(row.data(), y, 0, s.width);
            ok = ok && TIFFWriteScanline(t, row.data(), uint32_t(y), 0) >= 0;
        }
    }
    TIFFClose(t);
    QFile f(QString::fromLocal8Bit(path));
    if (!ok || !f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// A little-endian TIFF of one directory, written by hand: each entry a tag
// with one SHORT or LONG value, the strip data after the directory.
class HandMade {
public:
    void Entry(uint16_t tag, uint32_t value, bool isLong = true) { m_entries.push_back({tag, value, isLong}); }
    void SetData(const QByteArray& d) { m_data = d; }
    QByteArray Bytes(uint32_t nextDirectory = 0) const
    {
        QByteArray b("II*\0", 4);
        Put32(b, 8);
        Put16(b, uint16_t(m_entries.size()));
        for (const E& e : m_entries) {
            Put16(b, e.tag);
            Put16(b, e.isLong ? 4 : 3);
            Put32(b, 1);
            if (e.isLong)
                Put32(b, e.value);
            else {
                Put16(b, uint16_t(e.value));
                Put16(b, 0);
            }
        }
        Put32(b, nextDirectory);
        return b + m_data;
    }

private:
    struct E {
        uint16_t tag;
        uint32_t value;
        bool isLong;
    };
    static void Put16(QByteArray& b, uint16_t v) { b.append(char(v & 0xFF)).append(char(v >> 8)); }
    static void Put32(QByteArray& b, uint32_t v)
    {
        Put16(b, uint16_t(v & 0xFFFF));
        Put16(b, uint16_t(v >> 16));
    }
    std::vector<E> m_entries;
    QByteArray m_data;
};

// A 1-bit uncompressed sheet of the given size whose one strip holds
// dataBytes bytes of data.
inline QByteArray HandMadeSheet(uint32_t width, uint32_t height, uint32_t dataBytes,
                                uint16_t compression = COMPRESSION_NONE)
{
    HandMade h;
    h.Entry(TIFFTAG_IMAGEWIDTH, width);
    h.Entry(TIFFTAG_IMAGELENGTH, height);
    h.Entry(TIFFTAG_BITSPERSAMPLE, 1, false);
    h.Entry(TIFFTAG_COMPRESSION, compression, false);
    h.Entry(TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE, false);
    h.Entry(TIFFTAG_STRIPOFFSETS, 8 + 2 + 9 * 12 + 4);
    h.Entry(TIFFTAG_SAMPLESPERPIXEL, 1, false);
    h.Entry(TIFFTAG_ROWSPERSTRIP, height);
    h.Entry(TIFFTAG_STRIPBYTECOUNTS, dataBytes);
    h.SetData(QByteArray(qsizetype(dataBytes), '\0'));
    return h.Bytes();
}

} // namespace tifftest
