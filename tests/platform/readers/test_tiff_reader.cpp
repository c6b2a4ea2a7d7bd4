// Map sheets: every compression, strips and tiles, 1 and 8 bits, and the
// hostile ones (truncated, oversized, malformed) refused cleanly and quietly.

#include "platform/readers/TiffReader.h"
#include "tests/platform/readers/TiffFixtures.h"

#include <gtest/gtest.h>

using tifftest::Sheet;

namespace {

// Reads the sheet, with libtiff's terminal output captured: nothing may
// reach it.
QImage ReadQuietly(TTiffReader& reader, const QByteArray& data, QString* error = nullptr)
{
    testing::internal::CaptureStderr();
    QImage image;
    try {
        image = reader.Read(data);
    } catch (const ETiffError& e) {
        if (error) *error = e.Message();
    }
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed, "");
    return image;
}

void ExpectSheetPixels(const QImage& image, const Sheet& s)
{
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.width(), s.width);
    ASSERT_EQ(image.height(), s.height);
    int wrong = 0;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            if (s.bits == 1) {
                const bool dark = qGray(image.pixel(x, y)) < 128;
                const bool ink = tifftest::Ink(x, y) != 0;
                // Ink is black on a white-is-zero sheet, white on the other.
                wrong += dark != (ink == (s.photometric == PHOTOMETRIC_MINISWHITE));
            } else if (s.palette) {
                wrong += image.pixel(x, y) != qRgb(0, tifftest::Grey(x, y), tifftest::Grey(x, y));
            } else {
                const int g = tifftest::Grey(x, y);
                wrong += qGray(image.pixel(x, y)) != (s.photometric == PHOTOMETRIC_MINISWHITE ? 255 - g : g);
            }
        }
    EXPECT_EQ(wrong, 0);
}

class TiffCompression : public testing::TestWithParam<uint16_t> { };

} // namespace

TEST_P(TiffCompression, OneBitStripsAndTilesDecodeToTheirPixels)
{
    for (int tile : {0, 16}) {
        Sheet s;
        s.compression = GetParam();
        s.tile = tile;
        // CCITT codes have no tiles in libtiff's encoder worth testing.
        if (tile && (GetParam() == COMPRESSION_CCITTFAX3 || GetParam() == COMPRESSION_CCITTFAX4)) continue;
        const QByteArray data = tifftest::Write(s);
        ASSERT_FALSE(data.isEmpty());
        TTiffReader reader;
        QString error;
        const QImage image = ReadQuietly(reader, data, &error);
        EXPECT_EQ(error, QString());
        EXPECT_EQ(image.format(), QImage::Format_Mono);
        ExpectSheetPixels(image, s);
    }
}

INSTANTIATE_TEST_SUITE_P(Compressions, TiffCompression,
                         testing::Values(uint16_t(COMPRESSION_NONE), uint16_t(COMPRESSION_PACKBITS),
                                         uint16_t(COMPRESSION_CCITTFAX3), uint16_t(COMPRESSION_CCITTFAX4),
                                         uint16_t(COMPRESSION_LZW), uint16_t(COMPRESSION_ADOBE_DEFLATE)));

TEST(TiffReader, EightBitGreyInvertedAndPaletteSheets)
{
    for (uint16_t compression : {uint16_t(COMPRESSION_NONE), uint16_t(COMPRESSION_LZW)}) {
        Sheet grey;
        grey.bits = 8;
        grey.photometric = PHOTOMETRIC_MINISBLACK;
        grey.compression = compression;
        TTiffReader reader;
        QImage image = ReadQuietly(reader, tifftest::Write(grey));
        EXPECT_EQ(image.format(), QImage::Format_Grayscale8);
        ExpectSheetPixels(image, grey);

        Sheet inverted = grey;
        inverted.photometric = PHOTOMETRIC_MINISWHITE;
        inverted.tile = 16;
        ExpectSheetPixels(ReadQuietly(reader, tifftest::Write(inverted)), inverted);

        Sheet palette = grey;
        palette.palette = true;
        image = ReadQuietly(reader, tifftest::Write(palette));
        EXPECT_EQ(image.format(), QImage::Format_Indexed8);
        ExpectSheetPixels(image, palette);
    }
    // A white-is-black 1-bit sheet keeps its meaning.
    Sheet black;
    black.photometric = PHOTOMETRIC_MINISBLACK;
    TTiffReader reader;
    ExpectSheetPixels(ReadQuietly(reader, tifftest::Write(black)), black);
}

TEST(TiffReader, TruncatedSheetsFailCleanlyWithLibtiffsMessageAtTheHandler)
{
    Sheet s;
    s.width = 300;
    s.height = 200;
    s.rowsPerStrip = 200;
    for (uint16_t compression : {uint16_t(COMPRESSION_NONE), uint16_t(COMPRESSION_CCITTFAX4), uint16_t(COMPRESSION_LZW),
                                 uint16_t(COMPRESSION_ADOBE_DEFLATE)}) {
        s.compression = compression;
        const QByteArray data = tifftest::Write(s);
        // libtiff writes the directory after the strips: keep it and cut
        // into the strip data instead, then cut the directory itself.
        QByteArray holed = data;
        for (qsizetype i = 8; i < holed.size() / 2 && i < 8 + 40; ++i) holed[i] = char(0xFF);
        TTiffReader reader;
        QStringList heard;
        reader.OnMessage = [&](TTiffReader*, bool, const QString& text) { heard << text; };
        QString error;
        ReadQuietly(reader, data.left(data.size() - 30), &error);
        EXPECT_FALSE(error.isEmpty()) << compression;
        EXPECT_FALSE(heard.isEmpty()) << compression;
        EXPECT_EQ(heard, reader.Messages());
        for (qsizetype cut : {qsizetype(0), qsizetype(3), qsizetype(8), data.size() / 2}) {
            error.clear();
            ReadQuietly(reader, data.left(cut), &error);
            EXPECT_FALSE(error.isEmpty()) << compression << " cut " << cut;
        }
        // Damaged code words decode to something or fail; never crash.
        ReadQuietly(reader, holed);
    }
}

TEST(TiffReader, DeclaredSizesPastTheCapOrTheDataAreRefusedBeforeAllocation)
{
    TTiffReader reader;
    QString error;
    EXPECT_TRUE(ReadQuietly(reader, tifftest::HandMadeSheet(20001, 10, 25010), &error).isNull());
    EXPECT_TRUE(error.contains(QStringLiteral("too large"))) << error.toStdString();
    error.clear();
    EXPECT_TRUE(ReadQuietly(reader, tifftest::HandMadeSheet(100, 30000, 16), &error).isNull());
    EXPECT_TRUE(error.contains(QStringLiteral("too large"))) << error.toStdString();

    // Within the cap but far more than the data holds: an uncompressed
    // 20,000 square sheet in 64 bytes; a Group 4 one with more rows than it
    // has bits; a PackBits one past its best ratio.
    for (uint16_t compression : {uint16_t(COMPRESSION_NONE), uint16_t(COMPRESSION_CCITTFAX4),
                                 uint16_t(COMPRESSION_PACKBITS), uint16_t(COMPRESSION_LZW)}) {
        error.clear();
        EXPECT_TRUE(ReadQuietly(reader, tifftest::HandMadeSheet(20000, 20000, 64, compression), &error).isNull());
        EXPECT_TRUE(error.contains(QStringLiteral("more pixels"))) << compression << error.toStdString();
    }
    // The same sheet with its data present is read.
    const QImage image = ReadQuietly(reader, tifftest::HandMadeSheet(640, 100, 8000), &error);
    ASSERT_EQ(image.size(), QSize(640, 100));
    EXPECT_EQ(image.pixel(639, 99), qRgb(255, 255, 255));
}

TEST(TiffReader, MalformedDirectoriesAndUnsupportedKindsAreErrors)
{
    TTiffReader reader;
    QString error;
    ReadQuietly(reader, QByteArray("not a tiff at all, just text"), &error);
    EXPECT_TRUE(error.startsWith(QStringLiteral("Not a TIFF image"))) << error.toStdString();

    // The directory offset points past the end, then at the header itself.
    QByteArray header("II*\0", 4);
    header.append(QByteArray("\xF0\xFF\x00\x00", 4));
    error.clear();
    ReadQuietly(reader, header, &error);
    EXPECT_FALSE(error.isEmpty());
    header = QByteArray("II*\0\x00\x00\x00\x00", 8);
    error.clear();
    ReadQuietly(reader, header, &error);
    EXPECT_FALSE(error.isEmpty());

    // A strip whose data lies past the end of the file; a directory that
    // names itself as the next one.
    tifftest::HandMade h;
    h.Entry(TIFFTAG_IMAGEWIDTH, 64);
    h.Entry(TIFFTAG_IMAGELENGTH, 64);
    h.Entry(TIFFTAG_BITSPERSAMPLE, 1, false);
    h.Entry(TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE, false);
    h.Entry(TIFFTAG_STRIPOFFSETS, 1000000);
    h.Entry(TIFFTAG_ROWSPERSTRIP, 64);
    h.Entry(TIFFTAG_STRIPBYTECOUNTS, 512);
    h.SetData(QByteArray(600, '\0'));
    error.clear();
    EXPECT_TRUE(ReadQuietly(reader, h.Bytes(8), &error).isNull());
    EXPECT_FALSE(error.isEmpty());

    // Colour sheets are not map sheets.
    tifftest::HandMade rgb;
    rgb.Entry(TIFFTAG_IMAGEWIDTH, 4);
    rgb.Entry(TIFFTAG_IMAGELENGTH, 4);
    rgb.Entry(TIFFTAG_BITSPERSAMPLE, 8, false);
    rgb.Entry(TIFFTAG_SAMPLESPERPIXEL, 3, false);
    rgb.Entry(TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB, false);
    rgb.Entry(TIFFTAG_STRIPOFFSETS, 8 + 2 + 8 * 12 + 4);
    rgb.Entry(TIFFTAG_ROWSPERSTRIP, 4);
    rgb.Entry(TIFFTAG_STRIPBYTECOUNTS, 48);
    rgb.SetData(QByteArray(48, '\x7F'));
    error.clear();
    ReadQuietly(reader, rgb.Bytes(), &error);
    EXPECT_TRUE(error.startsWith(QStringLiteral("Unsupported"))) << error.toStdString();
}

namespace {

// A 16 x 16 sheet in one strip of uncompressed bytes, all of one value,
// with the photometric tag only when given (-1: none).
QByteArray UniformSheet(int bits, int photometric, uchar value, uint16_t compression = COMPRESSION_NONE,
                        uint32_t tileWidth = 0)
{
    tifftest::HandMade h;
    h.Entry(TIFFTAG_IMAGEWIDTH, 16);
    h.Entry(TIFFTAG_IMAGELENGTH, 16);
    h.Entry(TIFFTAG_BITSPERSAMPLE, uint32_t(bits), false);
    h.Entry(TIFFTAG_COMPRESSION, compression, false);
    if (photometric >= 0) h.Entry(TIFFTAG_PHOTOMETRIC, uint32_t(photometric), false);
    // The data starts right after the directory; offset 256 lies within it.
    if (tileWidth) {
        h.Entry(TIFFTAG_TILEWIDTH, tileWidth);
        h.Entry(TIFFTAG_TILELENGTH, 16);
        h.Entry(TIFFTAG_TILEOFFSETS, 256);
        h.Entry(TIFFTAG_TILEBYTECOUNTS, 16 * 16 * uint32_t(bits) / 8);
    } else {
        h.Entry(TIFFTAG_STRIPOFFSETS, 256);
        h.Entry(TIFFTAG_ROWSPERSTRIP, 16);
        h.Entry(TIFFTAG_STRIPBYTECOUNTS, 16 * 16 * uint32_t(bits) / 8);
    }
    h.SetData(QByteArray(1024, char(value)));
    return h.Bytes();
}

} // namespace

TEST(TiffReader, MissingPhotometricsAndColourMapsAndUnknownCodings)
{
    TTiffReader reader;
    QString error;

    // Without a photometric, a 1-bit sheet is white at zero, an 8-bit one
    // black at zero.
    QImage image = ReadQuietly(reader, UniformSheet(1, -1, 0x0F), &error);
    EXPECT_EQ(error, QString());
    ASSERT_EQ(image.format(), QImage::Format_Mono);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(7, 0), qRgb(0, 0, 0));
    image = ReadQuietly(reader, UniformSheet(8, -1, 40), &error);
    ASSERT_EQ(image.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(qGray(image.pixel(3, 3)), 40);

    // A palette sheet without its map is read as grey levels.
    image = ReadQuietly(reader, UniformSheet(8, PHOTOMETRIC_PALETTE, 40), &error);
    EXPECT_EQ(error, QString());
    ASSERT_EQ(image.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(qGray(image.pixel(3, 3)), 40);

    // A map of 8-bit values in its 16-bit table is taken as it stands.
    Sheet palette;
    palette.bits = 8;
    palette.palette = true;
    palette.eightBitMap = true;
    image = ReadQuietly(reader, tifftest::Write(palette), &error);
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    ExpectSheetPixels(image, palette);

    // Codings no map sheet comes in.
    for (uint16_t compression : {uint16_t(COMPRESSION_JPEG), uint16_t(COMPRESSION_THUNDERSCAN), uint16_t(34712)}) {
        error.clear();
        EXPECT_TRUE(ReadQuietly(reader, UniformSheet(1, PHOTOMETRIC_MINISWHITE, 0, compression), &error).isNull());
        EXPECT_EQ(error,
                  QStringLiteral("Unsupported TIFF image (1 bits, 1 samples, photometric 0, compression %1)")
                      .arg(compression));
    }

    // Tiles cut across bytes.
    error.clear();
    EXPECT_TRUE(ReadQuietly(reader, UniformSheet(1, PHOTOMETRIC_MINISWHITE, 0, COMPRESSION_NONE, 12), &error).isNull());
    EXPECT_EQ(error, QStringLiteral("TIFF tiles are not valid"));
}

TEST(TiffReader, ReadsFilesAndNamesAMissingOne)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("053-120-07.tif"));
    Sheet s;
    s.compression = COMPRESSION_CCITTFAX4;
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(tifftest::Write(s));
    f.close();
    TTiffReader reader;
    ExpectSheetPixels(reader.ReadFile(path), s);
    EXPECT_THROW(reader.ReadFile(dir.filePath(QStringLiteral("gone.tif"))), ETiffError);
}
