// Bitmap files written near the size of what they show: few colours as
// run-length or plain 8-bit pixels, many as 24-bit; every form reads back,
// through the one picture reader, as it was.

#include "platform/graphics/BitmapWriter.h"
#include "platform/graphics/PictureReader.h"

#include <QtEndian>
#include <gtest/gtest.h>
#include <random>

namespace {

quint16 BitsPerPixel(const QByteArray& file) { return qFromLittleEndian<quint16>(file.constData() + 28); }
quint32 Compression(const QByteArray& file) { return qFromLittleEndian<quint32>(file.constData() + 30); }

// Equal pixels, whatever the formats.
bool SamePixels(const QImage& a, const QImage& b)
{
    return a.size() == b.size() && a.convertToFormat(QImage::Format_ARGB32) == b.convertToFormat(QImage::Format_ARGB32);
}

QImage Flat(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(qRgb(250, 250, 250));
    for (int y = h / 4; y < h / 2; ++y)
        for (int x = w / 3; x < w / 2; ++x) img.setPixel(x, y, qRgb(0, 40, 160));
    return img;
}

} // namespace

TEST(BitmapWriter, FewColoursAreRunLengthCodedNearTheirSize)
{
    const QImage flat = Flat(2400, 1600);
    const QByteArray file = BitmapWriter::Write(flat);
    EXPECT_EQ(BitsPerPixel(file), 8);
    EXPECT_EQ(Compression(file), 1u);
    // Runs of at most 255 pixels: 11 of them and a line end per row.
    EXPECT_LE(file.size(), 14 + 40 + 2 * 4 + 1600 * 24);
    EXPECT_TRUE(SamePixels(PictureReader::ReadBitmap(file), flat));

    // Runs, stretches without runs of odd and even length, a lone pixel
    // before a row's end: every mode of the coding, at widths that pad.
    for (int w : {1, 2, 3, 4, 5, 7, 258, 600}) {
        QImage mixed(w, 9, QImage::Format_RGB32);
        std::mt19937 random(w);
        for (int y = 0; y < mixed.height(); ++y)
            for (int x = 0; x < w; ++x)
                mixed.setPixel(x, y, (x / 5) % 3 == 1 ? qRgb(int(random() % 6) * 40, 0, 0) : qRgb(0, 0, 200 + y));
        const QByteArray written = BitmapWriter::Write(mixed);
        EXPECT_EQ(BitsPerPixel(written), 8) << w;
        if (w > 200) { EXPECT_EQ(Compression(written), 1u) << w; }
        EXPECT_TRUE(SamePixels(PictureReader::ReadBitmap(written), mixed)) << w;
    }
}

TEST(BitmapWriter, NoisyPalettesArePlainAndManyColours24Bit)
{
    // 256 colours at random: run-length coding would only grow.
    QImage noisy(301, 200, QImage::Format_RGB32);
    std::mt19937 random(7);
    for (int y = 0; y < noisy.height(); ++y)
        for (int x = 0; x < noisy.width(); ++x) noisy.setPixel(x, y, qRgb(int(random() % 256), 7, 9));
    const QByteArray plain = BitmapWriter::Write(noisy);
    EXPECT_EQ(BitsPerPixel(plain), 8);
    EXPECT_EQ(Compression(plain), 0u);
    EXPECT_EQ(plain.size(), 14 + 40 + 256 * 4 + 304 * 200);
    EXPECT_TRUE(SamePixels(PictureReader::ReadBitmap(plain), noisy));
    // An indexed picture keeps its own palette.
    const QImage indexed = noisy.convertToFormat(QImage::Format_Indexed8);
    EXPECT_TRUE(SamePixels(PictureReader::ReadBitmap(BitmapWriter::Write(indexed)), noisy));

    QImage photo(175, 131, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x) photo.setPixel(x, y, qRgb(x, y, (x * y) % 256));
    const QByteArray file = BitmapWriter::Write(photo);
    EXPECT_EQ(BitsPerPixel(file), 24);
    EXPECT_EQ(file.size(), 14 + 40 + 528 * 131);
    EXPECT_TRUE(SamePixels(PictureReader::ReadBitmap(file), photo));
}

TEST(BitmapWriter, PicturesWithAlphaAreWrittenOpaqueAndNothingForNoPicture)
{
    QImage logo(40, 20, QImage::Format_ARGB32);
    logo.fill(qRgba(0, 0, 0, 0));
    for (int x = 0; x < 20; ++x) logo.setPixel(x, 10, qRgba(200, 0, 0, 255));
    const QByteArray file = BitmapWriter::Write(logo);
    EXPECT_EQ(BitsPerPixel(file), 8);
    const QImage back = PictureReader::ReadBitmap(file);
    ASSERT_EQ(back.size(), logo.size());
    EXPECT_EQ(back.pixel(30, 3), qRgb(0, 0, 0));
    EXPECT_EQ(back.pixel(5, 10), qRgb(200, 0, 0));
    EXPECT_TRUE(BitmapWriter::Write(QImage()).isEmpty());
}
