#pragma once
// Writing of bitmap files that stay near the size of what they show, in
// forms every bitmap reader takes: a picture of up to 256 colours as 8-bit
// palette pixels, run-length coded when that is smaller, any other as
// 24-bit pixels. Rows bottom-up, as bitmaps are usually stored; alpha is
// not kept (a bitmap is opaque, as Qt's own bitmap writer makes it).

#include <QByteArray>
#include <QImage>

namespace BitmapWriter {

// The bitmap file of image; empty for a null image.
QByteArray Write(const QImage& image);

} // namespace BitmapWriter
