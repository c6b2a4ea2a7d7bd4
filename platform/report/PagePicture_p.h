#pragma once
// Pictures as a report page may hold them (PictureLimits): what the page
// surface and the report recorder check a picture against before it goes
// into a report file.

#include <QImage>

namespace PagePicture {

// The bytes the picture's pixels take in a report file: 1 bit a pixel for
// a 1-bit picture, 1 byte for a palette picture, 4 for any other.
qint64 StoredBytes(const QImage& image);
bool Fits(const QImage& image);
// The picture itself when it fits, otherwise scaled down in proportion
// until it does (1-bit and palette pictures stay so); null when it cannot
// be made to fit.
QImage Fit(const QImage& image);

} // namespace PagePicture
