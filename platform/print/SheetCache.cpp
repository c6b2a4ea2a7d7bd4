#include "platform/print/SheetCache_p.h"

#include <algorithm>
#include <vector>

QImage TSheetCache::ScaleMono(const QImage& image, QSize size) { return ScaleMono(image, image.rect(), size); }

QImage TSheetCache::ScaleMono(const QImage& image, const QRect& source, QSize size)
{
    const int sw = source.width(), sh = source.height();
    const int dw = size.width(), dh = size.height();
    if (image.depth() != 1 || !image.rect().contains(source) || sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0 || dw > sw ||
        dh > sh)
        return {};
    const int sx = source.x(), sy0 = source.y();
    const QList<QRgb> table = image.colorTable();
    const int grey0 = qGray(table.value(0, qRgb(255, 255, 255)));
    const int grey1 = qGray(table.value(1, qRgb(0, 0, 0)));
    const bool lsb = image.format() == QImage::Format_MonoLSB;

    // The destination column of each source column, and how many source
    // pixels each destination pixel averages.
    std::vector<int> column(size_t(sw) + 8);
    for (int x = 0; x < sw; ++x) column[size_t(x)] = int(qint64(x) * dw / sw);
    for (int x = sw; x < sw + 8; ++x) column[size_t(x)] = dw; // padding bits land in a spare slot
    std::vector<int> width(size_t(dw) + 1, 0);
    for (int x = 0; x < sw; ++x) ++width[size_t(column[size_t(x)])];

    QImage out(dw, dh, QImage::Format_Grayscale8);
    if (out.isNull()) return {};
    std::vector<qint64> ones(size_t(dw) + 1);
    // Bytes are read from the one holding the part's first column; the
    // bits before it land in no column.
    const int skip = sx % 8;
    const int firstByte = sx / 8;
    const int bytesPerRow = (skip + sw + 7) / 8;
    int sy = 0;
    for (int dy = 0; dy < dh; ++dy) {
        const int end = int(qint64(dy + 1) * sh / dh);
        std::fill(ones.begin(), ones.end(), 0);
        const int rows = std::max(1, end - sy);
        for (; sy < end; ++sy) {
            const uchar* row = image.constScanLine(sy0 + sy) + firstByte;
            for (int b = 0; b < bytesPerRow; ++b) {
                uchar byte = row[b];
                if (b == 0 && skip) byte &= lsb ? uchar(0xFF << skip) : uchar(0xFF >> skip);
                if (b == bytesPerRow - 1 && (skip + sw) % 8)
                    byte &= lsb ? uchar(0xFF >> (8 - (skip + sw) % 8)) : uchar(0xFF << (8 - (skip + sw) % 8));
                if (byte == 0) continue;
                const int x = b * 8 - skip;
                if (byte == 0xFF && x >= 0 && column[size_t(x)] == column[size_t(x) + 7]) {
                    ones[size_t(column[size_t(x)])] += 8;
                    continue;
                }
                for (int bit = 0; bit < 8; ++bit)
                    if (byte & (lsb ? (1 << bit) : (0x80 >> bit))) ++ones[size_t(column[size_t(x + bit)])];
            }
        }
        uchar* dst = out.scanLine(dy);
        for (int dx = 0; dx < dw; ++dx) {
            const qint64 total = qint64(std::max(1, width[size_t(dx)])) * rows;
            dst[dx] = uchar(grey0 + (grey1 - grey0) * ones[size_t(dx)] / total);
        }
    }
    return out;
}

QImage TSheetCache::Scaled(int index, const QImage& image, QSize size)
{
    if (size.width() <= image.width() && size.height() <= image.height())
        return Scaled(index, image, image.rect(), size);
    // Enlarged: only pictures shown larger than they are come here.
    const Key key{index, -1, -1, image.width(), image.height(), size.width(), size.height()};
    if (auto it = m_images.find(key); it != m_images.end()) {
        it->Used = ++m_clock;
        return it->Image;
    }
    return Keep(key, image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

QImage TSheetCache::Scaled(int index, const QImage& image, const QRect& source, QSize size)
{
    if (!image.rect().contains(source) || size.width() <= 0 || size.height() <= 0 || size.width() > source.width() ||
        size.height() > source.height())
        return {};
    if (source == image.rect() && size == image.size()) return image;
    const Key key{index, source.x(), source.y(), source.width(), source.height(), size.width(), size.height()};
    if (auto it = m_images.find(key); it != m_images.end()) {
        it->Used = ++m_clock;
        return it->Image;
    }
    if (image.depth() == 1) return Keep(key, ScaleMono(image, source, size));
    QImage part = source == image.rect() ? image : image.copy(source);
    if (size == part.size()) return Keep(key, part);
    // Averaging converts to 32 bits first: a palette picture much larger
    // than the result is sampled down to twice its size before.
    if (part.depth() != 32 && (part.width() > 2 * size.width() || part.height() > 2 * size.height()))
        part = part.scaled(std::min(part.width(), 2 * size.width()), std::min(part.height(), 2 * size.height()),
                           Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return Keep(key, part.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

QImage TSheetCache::Keep(const Key& key, const QImage& scaled)
{
    if (scaled.isNull()) return {};
    m_bytes += scaled.sizeInBytes();
    m_images.insert(key, Entry{scaled, ++m_clock});
    while (m_bytes > MaxBytes && m_images.size() > 1) {
        auto oldest = m_images.begin();
        for (auto i = m_images.begin(); i != m_images.end(); ++i)
            if (i->Used < oldest->Used) oldest = i;
        m_bytes -= oldest->Image.sizeInBytes();
        m_images.erase(oldest);
    }
    return scaled;
}

void TSheetCache::Clear()
{
    m_images.clear();
    m_bytes = 0;
}
