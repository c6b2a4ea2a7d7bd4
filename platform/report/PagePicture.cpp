#include "platform/report/PagePicture_p.h"

#include "platform/graphics/PictureLimits.h"

#include <algorithm>
#include <cmath>

namespace PagePicture {

namespace {

qint64 Bytes(qint64 width, qint64 height, const QImage& like)
{
    if (like.depth() == 1) return (width + 7) / 8 * height;
    if (like.format() == QImage::Format_Indexed8) return width * height;
    return width * height * 4;
}

bool Within(qint64 width, qint64 height, const QImage& like)
{
    return width > 0 && height > 0 && width <= PictureLimits::MaxPageSide && height <= PictureLimits::MaxPageSide &&
        Bytes(width, height, like) <= PictureLimits::MaxPagePixelBytes;
}

} // namespace

qint64 StoredBytes(const QImage& image) { return Bytes(image.width(), image.height(), image); }

bool Fits(const QImage& image) { return !image.isNull() && Within(image.width(), image.height(), image); }

QImage Fit(const QImage& image)
{
    if (image.isNull()) return {};
    if (Fits(image)) return image;
    const double w = image.width(), h = image.height();
    double scale = std::min({1.0, PictureLimits::MaxPageSide / w, PictureLimits::MaxPageSide / h,
                             std::sqrt(double(PictureLimits::MaxPagePixelBytes) / double(StoredBytes(image)))});
    qint64 tw = 0, th = 0;
    // Rounding can leave the size a pixel past a limit: shrink on until it
    // is within.
    for (int i = 0; i < 100; ++i, scale *= 0.99) {
        tw = std::max<qint64>(1, qint64(std::floor(w * scale)));
        th = std::max<qint64>(1, qint64(std::floor(h * scale)));
        if (Within(tw, th, image)) break;
    }
    if (!Within(tw, th, image)) return {};
    // 1-bit and palette pictures are sampled, so they keep their format
    // (and their size in memory); others are averaged.
    const bool sampled = image.depth() == 1 || image.format() == QImage::Format_Indexed8;
    QImage scaled = image.scaled(int(tw), int(th), Qt::IgnoreAspectRatio,
                                 sampled ? Qt::FastTransformation : Qt::SmoothTransformation);
    return Fits(scaled) ? scaled : QImage();
}

} // namespace PagePicture
