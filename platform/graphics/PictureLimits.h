#pragma once
// The largest picture a report page holds. The page surface scales every
// picture down to these before it records it, the report file reader
// refuses a stored picture beyond them, and the readers that feed report
// pages (map sheets, street-map bitmaps) refuse larger sides, so whatever
// a report records reads back.

#include <QtGlobal>

namespace PictureLimits {

// The longest side of a page picture, in pixels.
constexpr int MaxPageSide = 20000;
// The pixels of one page picture as stored: 1 bit, 8 bits (palette) or
// 32 bits a pixel, rows whole bytes.
constexpr qint64 MaxPagePixelBytes = qint64(256) << 20;

} // namespace PictureLimits
