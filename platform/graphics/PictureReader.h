#pragma once
// Decoding of picture files whose bytes may come from anywhere (the server,
// the user's files, the program's resources). Every picture is read through
// here, so that one set of checks holds everywhere:
//  - a bitmap must carry the pixels it declares (uncompressed and bit-field
//    bitmaps; a run-length one as much as it could plausibly need), and no
//    picture becomes larger than MaxPixels;
//  - a JPEG is decoded by libjpeg at 1/2, 1/4 or 1/8 of its size when that
//    is what brings it within MaxPixels, straight into the image, with
//    libjpeg's own memory bounded; one that declares far more pixels than
//    its bytes could hold is refused;
//  - a GIF is refused when the canvas it is read into (its logical screen
//    and every frame's rectangle) is past MaxPixels or declares more pixels
//    than its bytes could plausibly hold;
//  - a PNG's chunks are walked before it is decoded: one that declares more
//    bytes than the data holds, a header past the limits, or chunks holding
//    more than MaxPixels 32-bit pixels in all, refuse it;
//  - an icon's entries are checked as the pictures they are: each must lie
//    within the data, a PNG entry is walked as a PNG, a bitmap entry must
//    declare a picture within the limits and carry its pixels;
//  - other formats Qt reads are taken only when they hold one picture whose
//    header declares its size (PPM, XBM, XPM): no other container reaches
//    Qt's readers.
// Bytes reach Qt's image readers only through here, and only once they
// passed these checks; the size query included (ImageSize).
// A refused or broken picture is a null image; nothing here raises.

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

namespace PictureReader {

// About 16 million pixels (64 MB as 32-bit pixels).
constexpr qint64 MaxPixels = 16LL * 1024 * 1024;
// The longest side of any picture.
constexpr int MaxSide = 32767;
// A compressed picture (JPEG, run-length bitmap) may declare at most this
// many pixels per byte of its file: flat JPEGs compress to about a bit per
// 8 x 8 block, nothing real to less than half of that.
constexpr qint64 MaxPixelsPerByte = 1024;
// What libjpeg may allocate for one picture beyond the image itself.
constexpr long MaxJpegWorkMemory = 128L * 1024 * 1024;

// A BMP file; null when it is short of its pixels or too large.
QImage ReadBitmap(const QByteArray& data);
// A JPEG file, scaled down by a power of two when needed (see above). A
// file cut off inside its picture data shows what it has.
QImage ReadJpeg(const QByteArray& data);
// True when the whole of a JPEG file's coded data decodes without a fault
// (a reader would show it as it is); the pixels are not made. Bounded as
// ReadJpeg is: false for a file that declares more pixels per byte than
// MaxPixelsPerByte, and for one of more scans than any encoder writes.
bool JpegDecodesWhole(QByteArrayView data);
// A GIF file, its first frame drawn on its canvas; null when refused.
QImage ReadGif(const QByteArray& data);
// Bitmap, JPEG, GIF or icon, told apart by content; null for anything else.
QImage ReadPicture(const QByteArray& data);
// ReadPicture, and any other format Qt reads (PNG among them) within the
// same size limits.
QImage ReadImage(const QByteArray& data);
// The size a picture that ReadImage takes declares, without decoding it;
// invalid when it is refused (a JPEG too large to read whole counts: it is
// read scaled down).
QSize ImageSize(const QByteArray& data);
// The kind of picture, told by content: "bmp", "jpeg", "gif", "ico" or
// "png"; empty for anything else. Nothing is read.
QByteArray FormatOf(const QByteArray& data);

} // namespace PictureReader
