// The one picture reader: bitmaps that do not carry their pixels, pictures
// past the size cap and JPEGs that declare more than their bytes could hold
// are refused, GIFs by the canvas they are read into; large JPEGs come
// back scaled by libjpeg; real pictures of every kind come back whole.

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/PictureReader.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/PictureBombs.h"

#include <QBuffer>
#include <QImageWriter>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

using picturebombs::BitmapDeclaring;
using picturebombs::GifDeclaring;
using picturebombs::IconBitmapDeclaring;
using picturebombs::IconHolding;
using picturebombs::JpegDeclaring;
using picturebombs::PngDeclaringText;

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
    // Run-length bitmaps of 60 bytes: past the cap, or far more pixels than
    // bytes (Qt's own reader takes both).
    const QByteArray endOfBitmap("\x00\x01", 2);
    EXPECT_EQ(BitmapDeclaring(4, 3145728, 8, 1, endOfBitmap).size(), 60);
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
    // A small run-length bitmap: one row of 4 pixels of the one (red)
    // palette entry.
    const QImage small =
        PictureReader::ReadBitmap(BitmapDeclaring(4, 1, 8, 1, QByteArray("\x04\x00\x00\x00\x00\x01", 6)));
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

TEST(PictureReader, GifBombsAreRefusedByTheCanvasTheyAreReadInto)
{
    // A few dozen bytes: one pixel in a logical screen of 27 million.
    const QByteArray screen = GifDeclaring(5200, 5200, {{}});
    EXPECT_LT(screen.size(), 64);
    EXPECT_TRUE(PictureReader::ReadGif(screen).isNull());
    EXPECT_TRUE(PictureReader::ReadPicture(screen).isNull());
    EXPECT_TRUE(PictureReader::ReadImage(screen).isNull());
    // A small screen whose later frame reaches far beyond it.
    const QByteArray frame = GifDeclaring(4, 4, {{}, {60000, 60000, 1, 1}});
    EXPECT_TRUE(PictureReader::ReadPicture(frame).isNull());
    // Within the cap, but far more pixels than the bytes could hold.
    const QByteArray flat = GifDeclaring(2000, 2000, {{0, 0, 2, 2}});
    EXPECT_LT(flat.size(), 100);
    EXPECT_TRUE(PictureReader::ReadPicture(flat).isNull());
    // An empty screen is read as large as the first frame reaches.
    EXPECT_TRUE(PictureReader::ReadPicture(GifDeclaring(0, 0, {{5000, 5000, 1, 1}})).isNull());
}

namespace {

QByteArray BigEndian32(quint32 v)
{
    const char bytes[4] = {char(v >> 24), char((v >> 16) & 0xFF), char((v >> 8) & 0xFF), char(v & 0xFF)};
    return QByteArray(bytes, 4);
}

// A chunk of the given type declaring length bytes and holding data (its
// checksum left zero: the walk does not read it).
QByteArray PngChunk(const char* type, quint32 length, const QByteArray& data)
{
    return BigEndian32(length) + QByteArray(type, 4) + data + BigEndian32(0);
}

// A real PNG with chunk inserted after its header chunk.
QByteArray PngWith(const QByteArray& chunk)
{
    QByteArray png = Encode(Halves(8, 8), "png");
    png.insert(8 + 25, chunk);
    return png;
}

} // namespace

TEST(PictureReader, PngChunksAreWalkedBeforeTheyAreDecoded)
{
    // 41 bytes: a one-pixel header, then a text chunk declaring 2 GiB.
    const QByteArray header = QByteArray("\x89PNG\r\n\x1a\n", 8) +
        PngChunk("IHDR", 13, BigEndian32(1) + BigEndian32(1) + QByteArray("\x08\x02\x00\x00\x00", 5));
    const QByteArray bomb = header + BigEndian32(0x7FFFFFFF) + QByteArray("tEXt", 4);
    EXPECT_EQ(bomb.size(), 41);
    EXPECT_TRUE(PictureReader::ReadImage(bomb).isNull());
    // Every road through the reader gets its clean error.
    QBuffer stream;
    stream.setData(bomb);
    stream.open(QIODevice::ReadOnly);
    TBitmap bitmap;
    EXPECT_THROW(bitmap.LoadFromStream(stream), EInvalidGraphic);

    // A last chunk longer than what is left of the data.
    QByteArray cut = Encode(Halves(8, 8), "png");
    cut = cut.left(cut.indexOf("IEND") - 4) + PngChunk("prVt", 100, QByteArray(87, 'x'));
    EXPECT_TRUE(PictureReader::ReadImage(cut).isNull());
    // Chunks present in full but holding more than the largest picture.
    const QByteArray bulky(int(PictureReader::MaxPixels * 4) + 1, 'x');
    EXPECT_TRUE(PictureReader::ReadImage(PngWith(PngChunk("prVt", quint32(bulky.size()), bulky))).isNull());
    // A header past the picture limits, or not first.
    const QByteArray wide = QByteArray("\x89PNG\r\n\x1a\n", 8) +
        PngChunk("IHDR", 13, BigEndian32(40000) + BigEndian32(1) + QByteArray("\x08\x02\x00\x00\x00", 5)) +
        PngChunk("IEND", 0, {});
    EXPECT_TRUE(PictureReader::ReadImage(wide).isNull());
    QByteArray late = Encode(Halves(8, 8), "png");
    late.insert(8, PngChunk("prVt", 5, "abcde"));
    EXPECT_TRUE(PictureReader::ReadImage(late).isNull());
    // A picture with a small extra chunk of its own reads as ever.
    const QImage fine = PictureReader::ReadImage(PngWith(PngChunk("prVt", 4, "abcd")));
    ASSERT_FALSE(fine.isNull());
    EXPECT_TRUE(Reddish(fine.pixel(1, 1)));
    EXPECT_TRUE(Bluish(fine.pixel(6, 6)));
}

TEST(PictureReader, RealGifsComeBackOnTheirCanvas)
{
    // Every pixel of the frame carried: read whole, the size of its screen.
    const QByteArray gif = GifDeclaring(300, 200, {{0, 0, 300, 200}});
    const QImage read = PictureReader::ReadPicture(gif);
    ASSERT_EQ(read.size(), QSize(300, 200));
    EXPECT_EQ(read.pixel(150, 100) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(read.pixel(299, 199) & 0xFFFFFF, 0xFF0000u);
    // A frame within a screen somewhat larger than itself.
    EXPECT_EQ(PictureReader::ReadGif(GifDeclaring(320, 240, {{10, 10, 300, 200}})).size(), QSize(320, 240));
    // A cut-off file reads as far as it goes.
    EXPECT_FALSE(PictureReader::ReadGif(gif.left(gif.size() / 2)).isNull());
    EXPECT_TRUE(PictureReader::ReadGif(gif.left(12)).isNull());
}

namespace {

// What refusing a picture may cost at most: nothing near what it declares.
constexpr qint64 kCheap = qint64(64) << 20;

} // namespace

TEST(PictureReader, PicturesInsideIconsAreCheckedBeforeQtReadsThem)
{
    // 63 bytes: an icon whose one entry is a PNG with a text chunk that
    // declares 2 GiB.
    const QByteArray png = PngDeclaringText(0x7FFFFFFF);
    const QByteArray ico = IconHolding(png);
    EXPECT_EQ(ico.size(), 63);
    // An icon whose bitmap entry declares far more pixels than it holds, or
    // more than any picture may have.
    const QByteArray hollow = IconHolding(IconBitmapDeclaring(4000, 4000));
    const QByteArray huge = IconHolding(IconBitmapDeclaring(30000, 30000));
    // A PNG entry cut off inside a chunk, and an entry past the file's end.
    const QByteArray cut = IconHolding(Encode(Halves(16, 16), "png").left(60));
    const QByteArray beyond = IconHolding(Encode(Halves(16, 16), "png"), 100000);
    for (const QByteArray& bomb : {ico, hollow, huge, cut, beyond}) {
        QImage picture, image;
        QSize size(1, 1);
        const qint64 growth = peakmemory::PeakGrowth([&] {
            picture = PictureReader::ReadPicture(bomb);
            image = PictureReader::ReadImage(bomb);
            size = PictureReader::ImageSize(bomb);
        });
        EXPECT_TRUE(picture.isNull());
        EXPECT_TRUE(image.isNull());
        EXPECT_FALSE(size.isValid());
        EXPECT_GE(growth, 0);
        EXPECT_LT(growth, kCheap) << bomb.size() << " bytes";
    }
    // Through a bitmap's stream as well.
    QBuffer stream;
    stream.setData(ico);
    stream.open(QIODevice::ReadOnly);
    TBitmap bitmap;
    const qint64 growth = peakmemory::PeakGrowth([&] { EXPECT_THROW(bitmap.LoadFromStream(stream), EInvalidGraphic); });
    EXPECT_LT(growth, kCheap);

    // Sound icons of both kinds read as ever.
    const QImage fromPng = PictureReader::ReadPicture(IconHolding(Encode(Halves(16, 16), "png")));
    ASSERT_EQ(fromPng.size(), QSize(16, 16));
    EXPECT_TRUE(Reddish(fromPng.pixel(2, 8)));
    EXPECT_TRUE(Bluish(fromPng.pixel(13, 8)));
    const QImage fromBitmap = PictureReader::ReadImage(Encode(Halves(16, 16), "ico"));
    ASSERT_EQ(fromBitmap.size(), QSize(16, 16));
    EXPECT_TRUE(Reddish(fromBitmap.pixel(2, 8)));
    EXPECT_EQ(PictureReader::ImageSize(Encode(Halves(16, 16), "ico")), QSize(16, 16));
}

TEST(PictureReader, TheSizeOfAPictureIsAskedWithTheSameChecks)
{
    // 41 bytes of PNG whose text chunk declares 2 GiB: no size, and no
    // memory spent on the way.
    const QByteArray png = PngDeclaringText(0x7FFFFFFF);
    EXPECT_EQ(png.size(), 41);
    QSize size(1, 1);
    const qint64 growth = peakmemory::PeakGrowth([&] { size = PictureReader::ImageSize(png); });
    EXPECT_FALSE(size.isValid());
    EXPECT_GE(growth, 0);
    EXPECT_LT(growth, kCheap);
    EXPECT_FALSE(PictureReader::ImageSize(BitmapDeclaring(4, 3145728)).isValid());
    EXPECT_FALSE(PictureReader::ImageSize(GifDeclaring(0, 0, {{30000, 1, 1, 1}})).isValid());
    EXPECT_FALSE(PictureReader::ImageSize(QByteArray("not a picture")).isValid());
    // Sound pictures tell the size their header declares.
    EXPECT_EQ(PictureReader::ImageSize(Encode(Halves(30, 20), "png")), QSize(30, 20));
    EXPECT_EQ(PictureReader::ImageSize(Encode(Halves(30, 20), "bmp")), QSize(30, 20));
    EXPECT_EQ(PictureReader::ImageSize(Encode(Halves(30, 20), "jpeg")), QSize(30, 20));
    EXPECT_EQ(PictureReader::ImageSize(GifDeclaring(30, 20, {{0, 0, 30, 20}})), QSize(30, 20));
}

namespace {

// A progressive grey JPEG declaring width x height whose scans carry no
// data: a frame header, one quantisation and one Huffman table, then scans
// of ten bytes each, every one of them run over the whole declared picture.
QByteArray EmptyScansJpeg(quint16 width, quint16 height, int scans)
{
    QByteArray j("\xFF\xD8", 2);
    j += QByteArray("\xFF\xDB\x00\x43\x00", 5) + QByteArray(64, '\x01');
    j += QByteArray("\xFF\xC2\x00\x0B\x08", 5);
    for (const quint16 v : {height, width}) {
        j += char(v >> 8);
        j += char(v & 0xFF);
    }
    j += QByteArray("\x01\x01\x11\x00", 4);
    // DC table 0: one code of one bit, difference category 0.
    j += QByteArray("\xFF\xC4\x00\x14\x00\x01", 6) + QByteArray(15, '\0') + QByteArray(1, '\0');
    for (int i = 0; i < scans; ++i) j += QByteArray("\xFF\xDA\x00\x08\x01\x01\x00\x00\x00\x00", 10);
    return j + QByteArray("\xFF\xD9", 2);
}

// A sound progressive grey JPEG of side x side written by libjpeg: in the
// usual scans, or with every coefficient in a scan of its own, first its
// high bits and then its last bit (127 scans).
QByteArray ProgressiveJpeg(int side, bool everyCoefficientApart)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = JDIMENSION(side);
    c.image_height = JDIMENSION(side);
    c.input_components = 1;
    c.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&c);
    jpeg_simple_progression(&c);
    std::vector<jpeg_scan_info> script;
    if (everyCoefficientApart) {
        script.push_back(jpeg_scan_info{1, {0, 0, 0, 0}, 0, 0, 0, 0});
        for (int k = 1; k < 64; ++k) script.push_back(jpeg_scan_info{1, {0, 0, 0, 0}, k, k, 0, 1});
        for (int k = 1; k < 64; ++k) script.push_back(jpeg_scan_info{1, {0, 0, 0, 0}, k, k, 1, 0});
        c.scan_info = script.data();
        c.num_scans = int(script.size());
    }
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row(size_t(side), 0);
    while (c.next_scanline < c.image_height) {
        for (int x = 0; x < side; ++x)
            row[size_t(x)] = static_cast<unsigned char>((x * 7 + int(c.next_scanline) * 3) ^ x);
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    QByteArray data(reinterpret_cast<const char*>(out), qsizetype(size));
    jpeg_destroy_compress(&c);
    std::free(out);
    return data;
}

} // namespace

TEST(PictureReader, TheWholeFileCheckOfAJpegIsBoundedAsTheReaderIs)
{
    // About 1,100 bytes: 8,192 x 8,192 declared, a hundred scans without
    // data. Its coefficients alone would take 128 MiB: refused before any is
    // made, as ReadJpeg refuses it.
    const QByteArray bomb = EmptyScansJpeg(8192, 8192, 100);
    EXPECT_LT(bomb.size(), 1200);
    bool whole = true;
    const qint64 growth = peakmemory::PeakGrowth([&] { whole = PictureReader::JpegDecodesWhole(bomb); });
    EXPECT_FALSE(whole);
    EXPECT_GE(growth, 0);
    EXPECT_LT(growth, kCheap);
    EXPECT_TRUE(PictureReader::ReadJpeg(bomb).isNull());

    // A sound file of more scans than any encoder writes is not taken whole
    // (a copy of it would cost its reader as much); shown, it still reads.
    const QByteArray scans = ProgressiveJpeg(64, true);
    EXPECT_EQ(PictureReader::ReadJpeg(scans).size(), QSize(64, 64));
    EXPECT_FALSE(PictureReader::JpegDecodesWhole(scans));
    // Progressive and baseline pictures as they are written pass.
    EXPECT_TRUE(PictureReader::JpegDecodesWhole(ProgressiveJpeg(64, false)));
    EXPECT_TRUE(PictureReader::JpegDecodesWhole(Encode(Halves(64, 48), "jpeg")));
}
