#include "platform/graphics/BitmapWriter.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <vector>

namespace BitmapWriter {

namespace {

constexpr int kFileHeader = 14;
constexpr int kInfoHeader = 40;
constexpr quint32 kRle8 = 1;

// Up to 256 distinct colours with their palette index: a small open table,
// since a picture of millions of pixels is looked up pixel by pixel.
class ColourTable {
public:
    // The index of c, added when new; -1 once a 257th colour comes.
    int IndexOf(QRgb c)
    {
        c |= 0xFF000000u;
        if (c == m_lastColour) return m_lastIndex;
        unsigned slot = Hash(c);
        while (m_slots[slot].used) {
            if (m_slots[slot].colour == c) return Remember(c, m_slots[slot].index);
            slot = (slot + 1) & (kSlots - 1);
        }
        if (m_colours.size() == 256) return -1;
        m_slots[slot] = {c, int(m_colours.size()), true};
        m_colours.push_back(c);
        return Remember(c, m_slots[slot].index);
    }
    const std::vector<QRgb>& Colours() const { return m_colours; }

private:
    static constexpr unsigned kSlots = 1024;
    struct Slot {
        QRgb colour = 0;
        int index = 0;
        bool used = false;
    };
    static unsigned Hash(QRgb c) { return (c * 2654435761u) >> 22; }
    int Remember(QRgb c, int index)
    {
        m_lastColour = c;
        m_lastIndex = index;
        return index;
    }
    std::array<Slot, kSlots> m_slots{};
    std::vector<QRgb> m_colours;
    QRgb m_lastColour = 0;
    int m_lastIndex = -1;
};

// The picture as palette indexes, rows top-down; false past 256 colours.
bool ToIndexes(const QImage& image, std::vector<QRgb>& palette, std::vector<uchar>& indexes)
{
    const int w = image.width();
    const int h = image.height();
    indexes.resize(size_t(w) * size_t(h));
    if (image.format() == QImage::Format_Indexed8 && image.colorCount() > 0 && image.colorCount() <= 256) {
        const QList<QRgb> table = image.colorTable();
        palette.assign(table.begin(), table.end());
        for (QRgb& c : palette) c |= 0xFF000000u;
        for (int y = 0; y < h; ++y) {
            const uchar* line = image.constScanLine(y);
            uchar* out = indexes.data() + size_t(y) * size_t(w);
            for (int x = 0; x < w; ++x) out[x] = line[x] < palette.size() ? line[x] : 0;
        }
        return true;
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    ColourTable colours;
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* out = indexes.data() + size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x) {
            const int i = colours.IndexOf(line[x]);
            if (i < 0) return false;
            out[x] = uchar(i);
        }
    }
    palette = colours.Colours();
    return true;
}

void Put16(QByteArray& b, qsizetype at, quint16 v) { qToLittleEndian(v, b.data() + at); }
void Put32(QByteArray& b, qsizetype at, quint32 v) { qToLittleEndian(v, b.data() + at); }

// File and information headers, the palette after them.
QByteArray Headers(int w, int h, int bpp, quint32 compression, const std::vector<QRgb>& palette, qsizetype pixelBytes)
{
    const qsizetype paletteBytes = qsizetype(palette.size()) * 4;
    const qsizetype offset = kFileHeader + kInfoHeader + paletteBytes;
    QByteArray b(offset, '\0');
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, quint32(offset + pixelBytes));
    Put32(b, 10, quint32(offset));
    Put32(b, 14, kInfoHeader);
    Put32(b, 18, quint32(w));
    Put32(b, 22, quint32(h));
    Put16(b, 26, 1);
    Put16(b, 28, quint16(bpp));
    Put32(b, 30, compression);
    Put32(b, 34, quint32(pixelBytes));
    Put32(b, 38, 2835); // 72 dots per inch
    Put32(b, 42, 2835);
    Put32(b, 46, quint32(palette.size()));
    Put32(b, 50, quint32(palette.size()));
    for (size_t i = 0; i < palette.size(); ++i) {
        char* e = b.data() + kFileHeader + kInfoHeader + 4 * qsizetype(i);
        e[0] = char(qBlue(palette[i]));
        e[1] = char(qGreen(palette[i]));
        e[2] = char(qRed(palette[i]));
    }
    return b;
}

QByteArray Plain8(int w, int h, const std::vector<uchar>& indexes)
{
    const qsizetype stride = (qsizetype(w) + 3) & ~qsizetype(3);
    QByteArray pixels(stride * h, '\0');
    for (int y = 0; y < h; ++y)
        std::copy_n(indexes.data() + size_t(h - 1 - y) * size_t(w), w, pixels.data() + stride * y);
    return pixels;
}

// Runs of one index as (count, index); stretches without runs in absolute
// mode (0, count, indexes, padded to a word); each row closed by an end of
// line, the last by the end of the bitmap.
QByteArray Rle8(int w, int h, const std::vector<uchar>& indexes)
{
    QByteArray out;
    out.reserve(qsizetype(h) * 4);
    const auto runAt = [w](const uchar* row, int x) {
        int n = 1;
        while (x + n < w && n < 255 && row[x + n] == row[x]) ++n;
        return n;
    };
    for (int y = h - 1; y >= 0; --y) {
        const uchar* row = indexes.data() + size_t(y) * size_t(w);
        int x = 0;
        while (x < w) {
            const int run = runAt(row, x);
            if (run >= 3 || w - x < 3) {
                const int n = run >= 3 ? run : 1;
                out.append(char(n));
                out.append(char(row[x]));
                x += n;
                continue;
            }
            int n = 0;
            while (x + n < w && n < 255 && runAt(row, x + n) < 3) ++n;
            if (n < 3) {
                for (int i = 0; i < n; ++i) {
                    out.append(char(1));
                    out.append(char(row[x + i]));
                }
            } else {
                out.append(char(0));
                out.append(char(n));
                out.append(reinterpret_cast<const char*>(row + x), n);
                if (n & 1) out.append(char(0));
            }
            x += n;
        }
        out.append(char(0));
        out.append(char(y == 0 ? 1 : 0));
    }
    return out;
}

QByteArray Pixels24(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width();
    const int h = rgb.height();
    const qsizetype stride = (qsizetype(w) * 3 + 3) & ~qsizetype(3);
    QByteArray pixels(stride * h, '\0');
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(h - 1 - y));
        char* out = pixels.data() + stride * y;
        for (int x = 0; x < w; ++x) {
            out[3 * x] = char(qBlue(line[x]));
            out[3 * x + 1] = char(qGreen(line[x]));
            out[3 * x + 2] = char(qRed(line[x]));
        }
    }
    return pixels;
}

} // namespace

QByteArray Write(const QImage& image)
{
    if (image.isNull()) return QByteArray();
    const int w = image.width();
    const int h = image.height();
    std::vector<QRgb> palette;
    std::vector<uchar> indexes;
    if (ToIndexes(image, palette, indexes)) {
        const QByteArray rle = Rle8(w, h, indexes);
        const qsizetype plainSize = ((qsizetype(w) + 3) & ~qsizetype(3)) * h;
        if (rle.size() < plainSize) return Headers(w, h, 8, kRle8, palette, rle.size()) + rle;
        const QByteArray plain = Plain8(w, h, indexes);
        return Headers(w, h, 8, 0, palette, plain.size()) + plain;
    }
    const QByteArray pixels = Pixels24(image);
    return Headers(w, h, 24, 0, {}, pixels.size()) + pixels;
}

} // namespace BitmapWriter
