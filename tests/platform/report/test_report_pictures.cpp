// What reaches a report file always reads back: pictures past the page
// picture limits are scaled as they enter the page surface, a picture that
// draws itself far outside its frame is cut to the frame, and what the
// recorder cannot hold is left out and told.

#include "tests/platform/report/ReportFixture.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/PictureLimits.h"
#include "platform/report/FramedPainter_p.h"
#include "platform/report/ReportRecorder_p.h"
#include "platform/report/TPageDrawable.h"

#include <QPainterPath>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Every position a replayed page holds, and its pictures' sizes.
class Positions : public TPagePainter {
public:
    std::vector<QPointF> Points;
    std::vector<QSize> Images;
    std::vector<std::pair<QPointF, QPointF>> Lines;
    int Polygons = 0;
    QStringList Texts;
    void BeginPage(int, QSizeF) override { }
    void EndPage() override { }
    void SetFont(const TPageFont&) override { }
    void SetPen(const TPagePen&) override { }
    void SetBrush(const TPageBrush&, const QImage*) override { }
    void SetClip(const QRectF*) override { }
    void DrawText(QPointF origin, const QString& text) override
    {
        Points.push_back(origin);
        Texts << text;
    }
    void DrawLine(QPointF from, QPointF to) override
    {
        Points.insert(Points.end(), {from, to});
        Lines.emplace_back(from, to);
    }
    void DrawRectangle(const QRectF& r) override { Points.insert(Points.end(), {r.topLeft(), r.bottomRight()}); }
    void DrawEllipse(const QRectF& r) override { DrawRectangle(r); }
    void DrawPolyline(const QPointF* points, int count) override
    {
        Points.insert(Points.end(), points, points + count);
    }
    void DrawPolygon(const QPointF* points, int count, bool) override
    {
        DrawPolyline(points, count);
        ++Polygons;
    }
    void FillRect(const QRectF& r, TColor) override { DrawRectangle(r); }
    void DrawImage(const QRectF& r, const QImage& image, int) override
    {
        DrawRectangle(r);
        Images.push_back(image.size());
    }
};

Positions Replay(const QByteArray& file, int page = 0)
{
    TReportFileReader reader;
    reader.LoadFromBytes(file);
    Positions p;
    reader.PlayPage(page, p);
    return p;
}

QImage Filled(int w, int h, QImage::Format format)
{
    QImage image(w, h, format);
    if (image.depth() == 1) {
        image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        image.fill(0);
    } else {
        image.fill(Qt::darkCyan);
    }
    return image;
}

const QRectF frame(QPointF(0.75, 0.75), QPointF(7.8, 5.45));

} // namespace

TEST(ReportPictures, PicturesPastThePageLimitsAreScaledInProportionAsTheyEnterThePage)
{
    const QImage wide = Filled(24000, 60, QImage::Format_RGB32);
    const QImage tall = Filled(40, 30000, QImage::Format_Mono);
    const QImage dense = Filled(8500, 8000, QImage::Format_ARGB32); // 272 MB as stored
    QStringList leftOut;
    TReportFileWriter writer;
    writer.OnLeftOut = [&](const QString& what) { leftOut << what; };
    writer.OnPrint = [&](TBaseReport& r) {
        r.PrintImageRect(0.75, 1, 7.8, 2, wide);  // a hazard map
        r.PrintImageRect(4, 5.9, 4.5, 7.3, tall); // a logo
        r.PrintImageRect(1, 3, 7, 7.5, dense);    // a photo
    };
    TReportFileReader reader;
    ASSERT_NO_THROW(reader.LoadFromBytes(writer.Record()));
    ASSERT_EQ(reader.ImageCount(), 3);
    const QImage a = reader.Image(0), b = reader.Image(1), c = reader.Image(2);
    EXPECT_EQ(a.width(), PictureLimits::MaxPageSide);
    EXPECT_EQ(a.height(), 50);
    EXPECT_EQ(b.height(), PictureLimits::MaxPageSide);
    EXPECT_EQ(b.depth(), 1) << "a 1-bit picture stays 1-bit";
    EXPECT_LE(qint64(c.width()) * c.height() * 4, PictureLimits::MaxPagePixelBytes);
    EXPECT_NEAR(double(c.width()) / c.height(), 8500.0 / 8000, 0.01);
    // Scaled, not left out: each picture is on its page where it was put.
    EXPECT_TRUE(leftOut.isEmpty()) << leftOut.join(QLatin1Char('|')).toStdString();
    const Positions p = Replay(writer.Record());
    ASSERT_EQ(p.Images.size(), 3u);
    EXPECT_EQ(p.Points[0], QPointF(0.75, 1));
    EXPECT_EQ(p.Points[1], QPointF(7.8, 2));
    // Within the limits, a picture goes as it is.
    const QImage fits = Filled(PictureLimits::MaxPageSide, 10, QImage::Format_Mono);
    TReportFileReader same;
    same.LoadFromBytes(RecordReport([&](TBaseReport& r) { r.PrintImageRect(1, 1, 2, 2, fits); }));
    EXPECT_EQ(same.Image(0).size(), fits.size());
}

TEST(ReportPictures, APictureDrawingFarOutsideItsFrameIsCutToItAndTheFileReadsBack)
{
    const QImage huge = Filled(25000, 100, QImage::Format_RGB32);
    const DrawnPicture far([&](TPagePainter& p, const QRectF& r) {
        TPagePen pen;
        pen.Width = 2;
        p.SetPen(pen);
        // A street crossing the frame from far left to far right.
        p.DrawLine(QPointF(-400000, r.center().y()), QPointF(400000, r.center().y()));
        const QPointF road[] = {{-500000, 1}, {2, 2}, {3, 3}, {900000, 4}};
        p.DrawPolyline(road, 4);
        // A block reaching out, one wholly far away.
        const QPointF block[] = {{1, 1}, {300000, 1}, {300000, 300000}, {1, 4}};
        p.DrawPolygon(block, 4, false);
        p.DrawRectangle(QRectF(QPointF(-1e6, 2), QPointF(1e6, 3)));
        p.DrawRectangle(QRectF(QPointF(50000, 50000), QPointF(60000, 60000)));
        p.DrawEllipse(QRectF(QPointF(-200000, -200000), QPointF(200004, 200004)));
        p.FillRect(QRectF(QPointF(2, -1e7), QPointF(2.5, 1e7)), 0xFF);
        // Labels placed far away, and one that reaches into the frame.
        p.DrawText(QPointF(-300000, 2), QStringLiteral("FAR WEST RD"));
        p.DrawText(QPointF(3, 3), QStringLiteral("MAIN ST"));
        // A bitmap stretched over a hundred thousand inches, and one wider
        // than a page picture may be.
        p.DrawImage(QRectF(QPointF(-100000, 1), QPointF(100000, 2)), huge, -1);
        p.DrawImage(r, huge, -1);
    });
    QStringList leftOut;
    TReportFileWriter writer;
    writer.OnLeftOut = [&](const QString& what) { leftOut << what; };
    writer.OnPrint = [&](TBaseReport& r) {
        r.PrintLeft(QStringLiteral("before"), 1);
        r.StretchDraw(frame, far);
        r.GotoXY(1, 6);
        r.PrintLeft(QStringLiteral("after"), 1);
    };
    const QByteArray file = writer.Record();
    Positions p;
    ASSERT_NO_THROW(p = Replay(file));
    const QRectF near = frame.adjusted(-200, -200, 200, 200);
    for (const QPointF& point : p.Points) EXPECT_TRUE(near.contains(point)) << point.x() << " " << point.y();
    EXPECT_EQ(p.Texts, (QStringList{QStringLiteral("before"), QStringLiteral("MAIN ST"), QStringLiteral("after")}));
    // The street still crosses the whole frame, the block and the huge
    // ellipse still fill their part of it.
    ASSERT_EQ(p.Lines.size(), 1u);
    EXPECT_LT(p.Lines[0].first.x(), frame.left());
    EXPECT_GT(p.Lines[0].second.x(), frame.right());
    EXPECT_EQ(p.Lines[0].first.y(), frame.center().y());
    EXPECT_EQ(p.Polygons, 2);
    ASSERT_EQ(p.Images.size(), 2u);
    for (const QSize& s : p.Images) EXPECT_LE(s.width(), PictureLimits::MaxPageSide);
    EXPECT_TRUE(leftOut.isEmpty()) << leftOut.join(QLatin1Char('|')).toStdString();
}

TEST(ReportPictures, CutShapesKeepWhatShowsInsideTheFrame)
{
    const QRectF bound(0, 0, 10, 10);
    QPointF a(-1e6, 5), b(1e6, 5);
    ASSERT_TRUE(TFramedPainter::ClipLine(a, b, bound));
    EXPECT_NEAR(a.x(), 0, 1e-6);
    EXPECT_NEAR(b.x(), 10, 1e-6);
    EXPECT_EQ(a.y(), 5);
    QPointF c(20, 20), d(30, 1);
    EXPECT_FALSE(TFramedPainter::ClipLine(c, d, bound));
    QPointF e(2, 2), f(3, 4);
    ASSERT_TRUE(TFramedPainter::ClipLine(e, f, bound));
    EXPECT_EQ(e, QPointF(2, 2)) << "a line inside stays as it is";

    // A concave polygon with a vertex a million inches out: inside the
    // bound, every point is covered as before.
    const QPointF shape[] = {{1, 1}, {1e6, 3}, {1, 5}, {5, 3}};
    const std::vector<QPointF> cut = TFramedPainter::ClipPolygon(shape, 4, bound);
    QPolygonF before, after;
    for (const QPointF& p : shape) before << p;
    for (const QPointF& p : cut) {
        after << p;
        EXPECT_TRUE(bound.adjusted(-1e-9, -1e-9, 1e-9, 1e-9).contains(p));
    }
    for (double x = 0.25; x < 10; x += 0.5)
        for (double y = 0.25; y < 10; y += 0.5)
            EXPECT_EQ(before.containsPoint(QPointF(x, y), Qt::OddEvenFill),
                      after.containsPoint(QPointF(x, y), Qt::OddEvenFill))
                << x << " " << y;
    const QPointF away[] = {{20, 20}, {30, 20}, {30, 30}};
    EXPECT_TRUE(TFramedPainter::ClipPolygon(away, 3, bound).empty());
}

TEST(ReportPictures, WhatNoPageMayHoldIsLeftOutAndTold)
{
    QStringList leftOut;
    TReportFileWriter writer;
    writer.OnLeftOut = [&](const QString& what) { leftOut << what; };
    writer.OnPrint = [](TBaseReport& r) {
        r.PrintLeft(QStringLiteral("kept"), 1);
        r.MoveTo(1, 1);
        r.LineTo(1e6, 1);
        r.Rectangle(qInf(), 0, 1, 1);
        r.SetFontSize(5000);
        r.PrintLeft(QStringLiteral("huge"), 1);
        r.NewPage();
        r.PrintLeft(QStringLiteral("page two"), 1);
    };
    TReportFileReader reader;
    ASSERT_NO_THROW(reader.LoadFromBytes(writer.Record()));
    EXPECT_EQ(reader.PageCount(), 2);
    const QStringList lines = TReportDump::PageLines(reader, 0);
    EXPECT_TRUE(FindText(lines, QStringLiteral("kept")).Found);
    EXPECT_TRUE(lines.filter(QStringLiteral("line ")).isEmpty());
    EXPECT_TRUE(FindText(lines, QStringLiteral("huge")).Found) << "drawn at the largest size a file holds";
    EXPECT_EQ(leftOut, QStringList{QStringLiteral("2 drawings of page 1 lay too far off the page and were left out.")});
}

TEST(ReportPictures, PastTheCapsOfAWholeFilePicturesAreLeftOutAndPagesLeftEmpty)
{
    TReportRecorder recorder;
    QStringList leftOut;
    recorder.OnLeftOut = [&](const QString& what) { leftOut << what; };
    // Room for two drawings of 100 x 100 (one colour: 8-bit, 10,000 bytes
    // each once decoded) and for about two pages of text.
    recorder.MaxPictureBytesTotal = 20000;
    recorder.MaxOperationsTotal = 200;
    {
        TBaseReport r(recorder);
        for (int i = 0; i < 3; ++i)
            r.PrintImageRect(1, 1 + i, 2, 2 + i, Filled(100, 100, QImage::Format_RGB32).copy(0, 0, 100 - i, 100));
        r.NewPage();
        r.PrintLeft(QStringLiteral("page two"), 1);
        r.NewPage();
        r.PrintLeft(QStringLiteral("page three"), 1);
        r.Finish();
    }
    TReportFileReader reader;
    ASSERT_NO_THROW(reader.LoadFromBytes(recorder.File(QStringLiteral("caps"))));
    EXPECT_EQ(reader.PageCount(), 3);
    EXPECT_EQ(reader.ImageCount(), 2);
    EXPECT_TRUE(FindText(TReportDump::PageLines(reader, 1), QStringLiteral("page two")).Found);
    EXPECT_TRUE(TReportDump::PageLines(reader, 2).filter(QStringLiteral("text ")).isEmpty());
    ASSERT_EQ(leftOut.size(), 2);
    EXPECT_TRUE(leftOut[0].startsWith(QStringLiteral("A picture of 98 x 100 pixels was left out of page 1")));
    EXPECT_EQ(leftOut[1], QStringLiteral("Page 3 was left empty: the report holds as much as a report file may."));
}

TEST(ReportPictures, DrawingsOfUpTo256ColoursKeepEveryPixelAndMoreMakeAPhotograph)
{
    for (const int colours : {1, 2, 255, 256, 257}) {
        // Colours changing at every pixel, near each other and far apart,
        // so the palette sees many lookups and colliding colours.
        QImage drawing(97, 13, QImage::Format_RGB32);
        for (int y = 0; y < drawing.height(); ++y)
            for (int x = 0; x < drawing.width(); ++x) {
                const int i = (x * 7 + y * 31) % colours;
                drawing.setPixel(x, y, qRgb(i & 0xFF, (i * 1024) & 0xFF, i >= 256 ? 1 : 0));
            }
        TReportFileReader reader;
        reader.LoadFromBytes(RecordReport([&](TBaseReport& r) { r.PrintImageRect(1, 1, 3, 2, drawing); }));
        ASSERT_EQ(reader.ImageCount(), 1);
        const QImage stored = reader.Image(0);
        if (colours <= 256) {
            EXPECT_EQ(stored.format(), QImage::Format_Indexed8) << colours;
            EXPECT_EQ(stored.convertToFormat(QImage::Format_RGB32), drawing) << colours;
        } else {
            EXPECT_NE(stored.format(), QImage::Format_Indexed8);
            EXPECT_EQ(stored.size(), drawing.size());
        }
    }
}
