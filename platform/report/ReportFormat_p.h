#pragma once
// The layout of a report file, shared by the writer and the reader. All
// numbers little-endian.
//
//   header     magic "TAMSLRPT", u32 version, u32 page count, u32 image
//              count, u32 title length (UTF-16 units), then the title
//   page table per page: u64 offset, u32 stored size, u32 operations size,
//              f64 width, f64 height (inches)
//   image table per image: u64 offset, u32 size, u16 encoding, u16 bits
//              per pixel, u32 width, u32 height
//   data       the pages' zlib-compressed operations and the images, each
//              lying after the tables and inside the file
//
// A page's operations are records of a one-byte Op and its fields: f64
// coordinates in inches, u32 colours ($BBGGRR), strings as a u32 count of
// UTF-16 units followed by them. Images are stored once each: JPEG data
// (photographs), or the zlib-compressed pixel rows of a 1-, 8- or 32-bit
// image (palette first for 1 and 8 bits: u32 count, count u32 ARGB).

#include "platform/graphics/PictureLimits.h"

#include <QByteArray>
#include <cstdint>

namespace ReportFormat {

constexpr char Magic[8] = {'T', 'A', 'M', 'S', 'L', 'R', 'P', 'T'};
constexpr std::uint32_t Version = 1;
constexpr int HeaderSize = 24;
constexpr int PageEntrySize = 32;
constexpr int ImageEntrySize = 24;

enum Op : std::uint8_t {
    OpFont = 1,     // u8 style bits, f64 size, u32 colour, i32 angle, string family
    OpPen = 2,      // u32 colour, u8 style, u8 mode, i32 width
    OpBrush = 3,    // u32 colour, u8 style, i32 pattern image (-1: none)
    OpClip = 4,     // u8 on, when on 4 f64 (left, top, right, bottom)
    OpText = 5,     // 2 f64, string
    OpLine = 6,     // 4 f64
    OpRect = 7,     // 4 f64 (left, top, right, bottom)
    OpEllipse = 8,  // 4 f64
    OpPolyline = 9, // u32 count, count pairs of f64
    OpPolygon = 10, // u8 winding, u32 count, count pairs of f64
    OpFill = 11,    // 4 f64, u32 colour
    OpImage = 12,   // 4 f64, u32 image
};

enum FontStyleBit : std::uint8_t { FontBold = 1, FontItalic = 2, FontUnderline = 4, FontStrikeOut = 8 };

enum Encoding : std::uint16_t { EncodingJpeg = 1, EncodingPixels = 2 };

// Bounds of the values a page may hold.
constexpr double MaxCoordinate = 10000; // inches
constexpr double MaxFontSize = 2000;    // points
constexpr int MaxPenWidth = 10000;
constexpr int MaxPenStyle = 6;   // inside frame
constexpr int MaxPenMode = 15;   // not xor
constexpr int MaxBrushStyle = 7; // diagonal cross
// zlib never packs more than about 1032 bytes into one.
constexpr std::int64_t MaxInflateRatio = 1032;
constexpr std::int64_t MaxImagePixelBytes = PictureLimits::MaxPagePixelBytes;

} // namespace ReportFormat
