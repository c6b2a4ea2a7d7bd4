// The street map as a report picture: it draws itself as page operations,
// cut to its frame, and an image street map enters the page within the page
// picture limits.

#include "platform/graphics/PictureLimits.h"
#include "platform/print/TMetafileGraphic.h"
#include "platform/report/TReportDump.h"
#include "platform/report/TReportFileReader.h"
#include "platform/report/TReportFileWriter.h"
#include "tests/platform/readers/WmfBuilder.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/PictureBombs.h"

#include <QBuffer>
#include <QImage>
#include <QStringList>
#include <gtest/gtest.h>

#include <memory>

namespace {

// A dark green picture of width x height as PNG bytes.
QByteArray GreenPng(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray png;
    QBuffer b(&png);
    b.open(QIODevice::WriteOnly);
    image.save(&b, "PNG");
    return png;
}

} // namespace

TEST(MetafileGraphic, AStreetMapReachingThousandsOfInchesOutStillMakesAReadableReport)
{
    // A window of 20 x 20 units on a 7-inch frame: 32000 units are some
    // eleven thousand inches.
    Wmf w;
    w.Rec(0x020C, {20, 20})
        .Rec(0x02FC, {0, 0x00C4, 0x00C4, 0})
        .Rec(0x012D, {0})
        .Rec(0x041B, {10, 32000, 9, -32000})       // a road across the map, from far out to far out
        .Rec(0x041B, {32000, 32000, 25000, 25000}) // a block far away
        .Rec(0x0214, {10, -32000})
        .Rec(0x0213, {10, 32000})
        .Rec(0x0521, {4}, QByteArray("FAR\0", 4) + QByteArray("\x05\x00\x00\x83", 4)); // y 5, x -32000
    const TMetafileGraphic map(w.Bytes());
    TReportFileWriter writer;
    writer.OnPrint = [&](TBaseReport& r) {
        r.StretchDraw(QRectF(QPointF(0.75, 0.75), QPointF(7.8, 5.45)), map);
        r.GotoXY(1, 6);
        r.PrintLeft(QStringLiteral("Prepared by"), 1);
    };
    TReportFileReader reader;
    ASSERT_NO_THROW(reader.LoadFromBytes(writer.Record()));
    const QStringList lines = TReportDump::PageLines(reader, 0);
    // The road is there, cut to the frame and the margin around it.
    const QStringList rects = lines.filter(QStringLiteral("rect "));
    ASSERT_EQ(rects.size(), 1) << lines.join(QLatin1Char('|')).toStdString();
    const QStringList box = rects.first().mid(5).split(QLatin1Char(' '));
    EXPECT_LT(box.value(0).toDouble(), 0.75);
    EXPECT_GT(box.value(0).toDouble(), -10);
    EXPECT_GT(box.value(2).toDouble(), 7.8);
    EXPECT_LT(box.value(2).toDouble(), 20);
    EXPECT_EQ(lines.filter(QStringLiteral("line ")).size(), 1);
    EXPECT_TRUE(lines.filter(QStringLiteral("FAR")).isEmpty());
    EXPECT_EQ(lines.filter(QStringLiteral("Prepared by")).size(), 1);
}

TEST(MetafileGraphic, AnImageStreetMapWiderThanAPagePictureIsScaledOntoThePage)
{
    const QByteArray png = GreenPng(24000, 12);
    ASSERT_FALSE(png.isEmpty());
    const TMetafileGraphic map(png);
    TReportFileReader reader;
    ASSERT_NO_THROW(reader.LoadFromBytes([&] {
        TReportFileWriter writer;
        writer.OnPrint = [&](TBaseReport& r) { r.StretchDraw(QRectF(QPointF(0.75, 0.75), QPointF(7.8, 5.45)), map); };
        return writer.Record();
    }()));
    ASSERT_EQ(reader.ImageCount(), 1);
    EXPECT_EQ(reader.Image(0).width(), PictureLimits::MaxPageSide);
    EXPECT_EQ(TReportDump::PageLines(reader, 0).filter(QStringLiteral("image 0.75 0.75 7.8 5.45 #0")).size(), 1);
}

TEST(MetafileGraphic, BytesThatAreNoMetafileAreSizedWithThePictureReadersChecks)
{
    // 41 bytes of PNG whose text chunk declares 2 GiB, and the same inside
    // an icon: refused without the memory they declare.
    const QByteArray png = picturebombs::PngDeclaringText(0x7FFFFFFF);
    for (const QByteArray& bomb : {png, picturebombs::IconHolding(png)}) {
        std::unique_ptr<TMetafileGraphic> map;
        const qint64 growth = peakmemory::PeakGrowth([&] { map = std::make_unique<TMetafileGraphic>(bomb); });
        EXPECT_GE(growth, 0);
        EXPECT_LT(growth, qint64(64) << 20) << bomb.size() << " bytes";
        EXPECT_EQ(map->Width(), 0);
        EXPECT_EQ(map->Height(), 0);
    }
    // A sound picture still tells its size.
    const TMetafileGraphic map(GreenPng(40, 25));
    EXPECT_EQ(map.Width(), 40);
    EXPECT_EQ(map.Height(), 25);
}
