// The one picture reader: bitmaps that do not carry their pixels, pictures
// past the size cap and JPEGs that declare more than their bytes could hold
// are refused; large JPEGs come back scaled by libjpeg; real pictures of
// every kind come back whole.

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/PictureReader.h"
#include "tests/support/PictureBombs.h"

#include <QBuffer>
#include <QImageWriter>
#include <gtest/gtest.h>

using picturebombs::BitmapDeclaring;
using picturebombs::JpegDeclaring;

namespace {

QByteArray Encode(const QImage& img, const char* format)
{
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    QImageWriter w(&b, format);
    w.write(img);
    return b.data();
}

// Left half red, right half blue.
QImage Halves(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(qRgb(0, 0, 255));
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        std::fill(line, line + w / 2, qRgb(255, 0, 0));
    }
    return img;
}

bool Reddish(QRgb c) { return qRed(c) > 180 && qBlue(c) < 80; }
bool Bluish(QRgb c) { return qBlue(c) > 180 && qRed(c) < 80; }

} // namespace

TEST(PictureReader, BitmapBombsAreRefused)
{
    // 54 bytes declaring 4 x 3,145,728 pixels, none of them there.
    const QByteArray tall = BitmapDeclaring(4, 3145728);
    EXPECT_EQ(tall.size(), 54);
    EXPECT_TRUE(PictureReader::ReadBitmap(tall).isNull());
    EXPECT_TRUE(PictureReader::ReadPicture(tall).isNull());
    EXPECT_TRUE(PictureReader::ReadBitmap(BitmapDeclaring(5790, -5790)).isNull());
    // Run-length bitmaps: past the cap, or far more pixels than bytes.
    const QByteArray endOfBitmap("\x00\x01", 2);
    EXPECT_TRUE(PictureReader::ReadBitmap(BitmapDeclaring(5790, 5790, 8, 1, endOfBitmap)).isNull());
    EXPECT_TRUE(PictureReader::ReadBitmap(BitmapDeclaring(4, 3145728, 8, 1, endOfBitmap)).isNull());
    // The cap holds even for pixels that are all there (1 bit each).
    const qint64 side = 4097;
    const QByteArray full = BitmapDeclaring(side, side, 1, 0, QByteArray(((side + 31) / 32) * 4 * side, '\0'));
    EXPECT_TRUE(PictureReader::ReadBitmap(full).isNull());
    TBitmap bitmap;
    QBuffer stream;
    stream.setData(full);
    stream.open(QIODevice::ReadOnly);
    EXPECT_THROW(bitmap.LoadFromStream(stream), EInvalidGraphic);
}

TEST(PictureReader, RealBitmapsComeBackWhole)
{
    const QImage read = PictureReader::ReadBitmap(Encode(Halves(40, 30), "bmp"));
    ASSERT_EQ(read.size(), QSize(40, 30));
    EXPECT_TRUE(Reddish(read.pixel(3, 15)));
    EXPECT_TRUE(Bluish(read.pixel(36, 15)));
    // A small run-length bitmap: one row of 4 pixels of palette entry 1.
    QByteArray rle = BitmapDeclaring(4, 1, 8, 1, QByteArray("\x04\x01\x00\x00\x00\x01", 6));
    rle[54 + 4 + 2] = char(0xFF); // palette entry 1: red
    const QImage small = PictureReader::ReadBitmap(rle);
    ASSERT_EQ(small.size(), QSize(4, 1));
    EXPECT_EQ(small.pixel(2, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_FALSE(PictureReader::ReadImage(Encode(Halves(8, 8), "png")).isNull());
}

TEST(PictureReader, JpegBombsAreRefusedOrScaled)
{
    // A few hundred bytes declaring 8,192 x 8,192: implausible, refused.
    const QByteArray bomb = JpegDeclaring(8192, 8192);
    EXPECT_LT(bomb.size(), 1000);
    EXPECT_TRUE(PictureReader::ReadJpeg(bomb).isNull());
    EXPECT_TRUE(PictureReader::ReadPicture(bomb).isNull());
    // Bytes enough to be plausible: decoded at half size, within the cap.
    const QImage half = PictureReader::ReadJpeg(JpegDeclaring(8192, 8192, false, 8192 * 8192 / 1024));
    ASSERT_EQ(half.size(), QSize(4096, 4096));
    EXPECT_LE(qint64(half.width()) * half.height(), PictureReader::MaxPixels);
    // A progressive picture keeps all its coefficients while decoding: one
    // whose coefficients would pass libjpeg's memory bound is refused.
    EXPECT_TRUE(PictureReader::ReadJpeg(JpegDeclaring(30000, 30000, true, 30000 * 30000 / 1024)).isNull());
    // Beyond what even 1/8 brings within the cap.
    EXPECT_TRUE(PictureReader::ReadJpeg(JpegDeclaring(65000, 65000, false, 65000 / 1024 * 65000 + 65000)).isNull());
}

TEST(PictureReader, ALargePhotoIsScaledByAPowerOfTwo)
{
    const QImage read = PictureReader::ReadJpeg(Encode(Halves(4200, 4100), "jpeg"));
    ASSERT_EQ(read.size(), QSize(2100, 2050));
    EXPECT_TRUE(Reddish(read.pixel(100, 1000)));
    EXPECT_TRUE(Bluish(read.pixel(2000, 1000)));
    // Within the cap: full size, rows in place.
    const QImage whole = PictureReader::ReadJpeg(Encode(Halves(4000, 4000), "jpeg"));
    ASSERT_EQ(whole.size(), QSize(4000, 4000));
    EXPECT_TRUE(Reddish(whole.pixel(10, 3990)));
    EXPECT_TRUE(Bluish(whole.pixel(3990, 10)));
}
