// The PDF writer's own drawing, read back with poppler's tools: brushes
// (colours, hatches, pictures), pens and their dashes, clips, ellipses and
// fill rules as pixels of the rendered page; hatches without seams at any
// resolution; turned and decorated text by its place; pictures stored once,
// photos kept byte for byte, damaged ones made again or left out; the
// document information as a reader shows it; a report without pages as one
// blank page.

#include "platform/graphics/PictureReader.h"
#include "platform/print/PdfOutput_p.h"
#include "platform/print/PdfPictures_p.h"
#include "platform/print/TRenderPDF.h"
#include "platform/report/TReportFileReader.h"
#include "tests/platform/print/OutputFixtures.h"

#include <QBuffer>
#include <QColor>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace outputtest;

namespace {

QString RenderToPdf(const QTemporaryDir& dir, const QByteArray& report, int quality = 90)
{
    return outputtest::RenderToPdf(dir.path(), report, quality);
}

// The first page at 96 pixels an inch: one pixel is a pen or hatch pixel.
QImage Raster(const QTemporaryDir& dir, const QString& pdf)
{
    const ToolResult r = RunTool(QStringLiteral("pdftoppm"),
                                 {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-singlefile"), pdf,
                                  dir.filePath(QStringLiteral("page"))});
    if (r.Exit != 0) return {};
    return QImage(dir.filePath(QStringLiteral("page.ppm"))).convertToFormat(QImage::Format_RGB32);
}

bool Dark(const QImage& page, int x, int y) { return qGray(page.pixel(x, y)) < 100; }
bool White(const QImage& page, int x, int y) { return qGray(page.pixel(x, y)) > 240; }

// Dark pixels of a square of inches, as a fraction.
double DarkShare(const QImage& page, double x1, double y1, double x2, double y2)
{
    int dark = 0, all = 0;
    for (int y = int(y1 * 96); y < int(y2 * 96); ++y)
        for (int x = int(x1 * 96); x < int(x2 * 96); ++x, ++all) dark += Dark(page, x, y);
    return all ? double(dark) / all : 0;
}

// How much a square's rows differ from each other in darkness, and its
// columns: a horizontal hatch has dark and light rows, all columns alike.
void RowAndColumnSpread(const QImage& page, double x1, double y1, double x2, double y2, double& rows, double& columns)
{
    const int left = int(x1 * 96), top = int(y1 * 96), right = int(x2 * 96), bottom = int(y2 * 96);
    const auto spread = [](const std::vector<double>& v) {
        double mean = 0, square = 0;
        for (const double x : v) mean += x;
        mean /= double(v.size());
        for (const double x : v) square += (x - mean) * (x - mean);
        return std::sqrt(square / double(v.size()));
    };
    std::vector<double> r, c;
    for (int y = top; y < bottom; ++y) {
        double sum = 0;
        for (int x = left; x < right; ++x) sum += Dark(page, x, y);
        r.push_back(sum / (right - left));
    }
    for (int x = left; x < right; ++x) {
        double sum = 0;
        for (int y = top; y < bottom; ++y) sum += Dark(page, x, y);
        c.push_back(sum / (bottom - top));
    }
    rows = spread(r);
    columns = spread(c);
}

// Of the dark pixels of a square, the share whose neighbour up and to the
// right is dark too, less the share whose neighbour down and to the right
// is: positive for lines rising to the right, negative for falling ones.
double Slant(const QImage& page, double x1, double y1, double x2, double y2)
{
    int up = 0, down = 0, dark = 0;
    for (int y = int(y1 * 96) + 1; y < int(y2 * 96) - 1; ++y)
        for (int x = int(x1 * 96); x < int(x2 * 96) - 1; ++x) {
            if (!Dark(page, x, y)) continue;
            ++dark;
            up += Dark(page, x + 1, y - 1);
            down += Dark(page, x + 1, y + 1);
        }
    return dark ? double(up - down) / dark : 0;
}

TPagePen Pen(int style, int width, int mode = 4)
{
    TPagePen pen;
    pen.Color = clBlack;
    pen.Style = TPenStyle(style);
    pen.Width = width;
    pen.Mode = TPenMode(mode);
    return pen;
}

TPageBrush Brush(TColor colour, int style)
{
    TPageBrush brush;
    brush.Color = colour;
    brush.Style = TBrushStyle(style);
    return brush;
}

// A tile of 16 x 16 pixels: red on the left half, blue on the right but
// green at its bottom.
QImage Tile()
{
    QImage tile(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            tile.setPixel(x, y, x < 8 ? qRgb(255, 0, 0) : y < 8 ? qRgb(0, 0, 255) : qRgb(0, 255, 0));
    return tile;
}

bool Reddish(QRgb c) { return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60; }
bool Bluish(QRgb c) { return qBlue(c) > 200 && qRed(c) < 60 && qGreen(c) < 60; }

QByteArray FileBytes(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The pdfimages -list rows: page, type, colour, encoding and object number.
struct ListedImage {
    int Page;
    QString Type, Colour, Encoding;
    int Object;
};
std::vector<ListedImage> ListImages(const QString& pdf)
{
    std::vector<ListedImage> out;
    const ToolResult list = RunTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    for (const QString& line : list.Out.split(QLatin1Char('\n')).mid(2)) {
        const QStringList f = line.simplified().split(QLatin1Char(' '));
        if (f.size() >= 11) out.push_back(ListedImage{f[0].toInt(), f[2], f[5], f[8], f[10].toInt()});
    }
    return out;
}

} // namespace

TEST(PdfWriter, BrushesFillWithColoursHatchesAndPictures)
{
    const QImage tile = Tile();
    const QByteArray report = Record([&](TBaseReport& r) {
        TPagePainter& p = r.Painter();
        p.SetPen(Pen(5, 1)); // clear: fills alone
        const auto fill = [&](const TPageBrush& brush, const QImage* pattern, QRectF area) {
            p.SetBrush(brush, pattern);
            p.DrawRectangle(area);
        };
        fill(Brush(0x0000FF, 0), nullptr, QRectF(QPointF(1, 1), QPointF(3, 2)));    // solid red
        fill(Brush(clBlack, 2), nullptr, QRectF(QPointF(1, 2.5), QPointF(3, 3.5))); // horizontal
        fill(Brush(clBlack, 3), nullptr, QRectF(QPointF(4, 2.5), QPointF(6, 3.5))); // vertical
        fill(Brush(clBlack, 4), nullptr, QRectF(QPointF(1, 4), QPointF(3, 5)));     // rising
        fill(Brush(clBlack, 5), nullptr, QRectF(QPointF(4, 4), QPointF(6, 5)));     // falling
        fill(Brush(clBlack, 6), nullptr, QRectF(QPointF(1, 5.5), QPointF(3, 6.5))); // cross
        fill(Brush(clBlack, 0), &tile, QRectF(QPointF(4, 5.5), QPointF(6, 6.5)));   // picture
        fill(Brush(clBlack, 1), nullptr, QRectF(QPointF(1, 7), QPointF(3, 8)));     // clear
        fill(Brush(0x00FF00, 2), nullptr, QRectF(QPointF(4, 7), QPointF(6, 8)));    // green hatch
    });
    QTemporaryDir dir;
    const QImage page = Raster(dir, RenderToPdf(dir, report));
    ASSERT_EQ(page.size(), QSize(816, 1056));

    EXPECT_TRUE(Reddish(page.pixel(192, 144))) << std::hex << page.pixel(192, 144);

    double rows = 0, columns = 0;
    RowAndColumnSpread(page, 1.1, 2.6, 2.9, 3.4, rows, columns);
    EXPECT_GT(rows, 0.2) << "horizontal hatch";
    EXPECT_LT(columns, 0.05) << "horizontal hatch";
    EXPECT_GT(DarkShare(page, 1.1, 2.6, 2.9, 3.4), 0.05);
    EXPECT_LT(DarkShare(page, 1.1, 2.6, 2.9, 3.4), 0.4);
    RowAndColumnSpread(page, 4.1, 2.6, 5.9, 3.4, rows, columns);
    EXPECT_LT(rows, 0.05) << "vertical hatch";
    EXPECT_GT(columns, 0.2) << "vertical hatch";

    EXPECT_GT(Slant(page, 1.1, 4.1, 2.9, 4.9), 0.5) << "rising hatch";
    EXPECT_LT(Slant(page, 4.1, 4.1, 5.9, 4.9), -0.5) << "falling hatch";
    RowAndColumnSpread(page, 1.1, 5.6, 2.9, 6.4, rows, columns);
    EXPECT_GT(rows, 0.1) << "cross hatch";
    EXPECT_GT(columns, 0.1) << "cross hatch";

    // The tile upright at 96 pixels an inch from the page's top-left corner.
    const auto greenish = [](QRgb c) { return qGreen(c) > 200 && qRed(c) < 60 && qBlue(c) < 60; };
    for (int x = 4 * 96; x < 6 * 96; x += 16) {
        for (int y = 33 * 16; y < int(6.5 * 96) - 16; y += 16) {
            EXPECT_TRUE(Reddish(page.pixel(x + 4, y + 4))) << x << ", " << y;
            EXPECT_TRUE(Bluish(page.pixel(x + 12, y + 4))) << x << ", " << y;
            EXPECT_TRUE(greenish(page.pixel(x + 12, y + 12))) << x << ", " << y;
        }
    }
    EXPECT_EQ(DarkShare(page, 1.05, 7.05, 2.95, 7.95), 0) << "a clear brush fills nothing";
    // The hatch takes the brush's colour and leaves its gaps open.
    int green = 0, white = 0;
    for (int y = 7 * 96 + 4; y < 8 * 96 - 4; ++y) {
        const QRgb c = page.pixel(5 * 96, y);
        green += qGreen(c) > 100 && qRed(c) < 60 && qBlue(c) < 60;
        white += White(page, 5 * 96, y);
    }
    EXPECT_GT(green, 5);
    EXPECT_GT(white, 40);
}

TEST(PdfWriter, PensDashClipsCutAndShapesFillByTheirRule)
{
    const QByteArray report = Record([&](TBaseReport& r) {
        TPagePainter& p = r.Painter();
        const std::pair<int, double> lines[] = {{0, 1}, {1, 1.5}, {2, 2}, {3, 2.5}};
        for (const auto& [style, y] : lines) {
            p.SetPen(Pen(style, 3));
            p.DrawLine(QPointF(1, y), QPointF(7, y));
        }
        p.SetPen(Pen(0, 3, 2)); // no-op mode
        p.DrawLine(QPointF(1, 3), QPointF(7, 3));

        const QRectF clip(QPointF(1, 3.5), QPointF(2, 4.5));
        p.SetClip(&clip);
        p.FillRect(QRectF(QPointF(0.5, 3.25), QPointF(2.5, 4.75)), clBlack);
        p.SetClip(nullptr);
        p.FillRect(QRectF(QPointF(3, 3.5), QPointF(4, 4.5)), clBlack);

        p.SetPen(Pen(5, 1));
        p.SetBrush(Brush(clBlack, 0), nullptr);
        p.DrawEllipse(QRectF(QPointF(5, 3.5), QPointF(7, 5.5)));

        // A square with a square inside, drawn the same way round: a hole
        // when filled alternately, none when by winding.
        for (const bool winding : {false, true}) {
            const double x = winding ? 4 : 1;
            const QPointF square[] = {{x, 6},         {x + 2, 6},     {x + 2, 8},     {x, 8},         {x, 6},
                                      {x + 0.5, 6.5}, {x + 1.5, 6.5}, {x + 1.5, 7.5}, {x + 0.5, 7.5}, {x + 0.5, 6.5}};
            p.DrawPolygon(square, 10, winding);
        }
        // A rectangle of no height still draws its line.
        p.SetPen(Pen(0, 3));
        p.DrawRectangle(QRectF(QPointF(1, 9), QPointF(7, 9)));
    });
    QTemporaryDir dir;
    const QImage page = Raster(dir, RenderToPdf(dir, report));
    ASSERT_FALSE(page.isNull());

    // Share of dark pixels along each line, and how often it turns.
    const auto along = [&](double y, double& share, int& turns) {
        int dark = 0;
        turns = 0;
        bool last = Dark(page, 96, int(y * 96));
        for (int x = 96; x < 7 * 96; ++x) {
            const bool d = Dark(page, x, int(y * 96));
            dark += d;
            turns += d != last;
            last = d;
        }
        share = dark / double(6 * 96);
    };
    double solid = 0, dash = 0, dot = 0, dashDot = 0, nop = 0, flat = 0;
    int solidTurns = 0, dashTurns = 0, dotTurns = 0, dashDotTurns = 0, turns = 0;
    along(1, solid, solidTurns);
    along(1.5, dash, dashTurns);
    along(2, dot, dotTurns);
    along(2.5, dashDot, dashDotTurns);
    along(3, nop, turns);
    along(9, flat, turns);
    EXPECT_GT(solid, 0.98);
    EXPECT_EQ(solidTurns, 0);
    EXPECT_NEAR(dash, 4.0 / 6, 0.1);
    EXPECT_NEAR(dot, 1.0 / 3, 0.1);
    EXPECT_NEAR(dashDot, 5.0 / 9, 0.1);
    EXPECT_GT(dotTurns, dashTurns);
    EXPECT_GT(dashTurns, 20);
    EXPECT_EQ(nop, 0);
    EXPECT_GT(flat, 0.98);

    EXPECT_GT(DarkShare(page, 1.05, 3.55, 1.95, 4.45), 0.99) << "inside the clip";
    EXPECT_EQ(DarkShare(page, 0.55, 3.3, 0.95, 4.7), 0) << "left of the clip";
    EXPECT_EQ(DarkShare(page, 1.05, 3.3, 1.95, 3.45), 0) << "above the clip";
    EXPECT_GT(DarkShare(page, 3.05, 3.55, 3.95, 4.45), 0.99) << "after the clip";

    EXPECT_TRUE(Dark(page, 6 * 96, int(4.5 * 96)));
    EXPECT_TRUE(Dark(page, int(5.05 * 96), int(4.5 * 96)));
    EXPECT_TRUE(Dark(page, 6 * 96, int(3.55 * 96)));
    EXPECT_TRUE(White(page, int(5.1 * 96), int(3.6 * 96))) << "the ellipse leaves its corners";
    EXPECT_TRUE(White(page, int(6.9 * 96), int(5.4 * 96)));

    EXPECT_TRUE(Dark(page, int(1.25 * 96), int(7 * 96)));
    EXPECT_TRUE(White(page, 2 * 96, 7 * 96)) << "even-odd leaves the hole";
    EXPECT_TRUE(Dark(page, 5 * 96, 7 * 96)) << "winding fills it";
}

TEST(PdfWriter, TextTurnsAndIsUnderlinedAndStruckOutWhereItStands)
{
    const QByteArray report = Record([&](TBaseReport& r) {
        TPagePainter& p = r.Painter();
        TPageFont font;
        font.Size = 20;
        font.Underline = true;
        p.SetFont(font);
        p.DrawText(QPointF(1, 2), QStringLiteral("Underlined"));
        font.Underline = false;
        font.StrikeOut = true;
        p.SetFont(font);
        p.DrawText(QPointF(1, 3), QStringLiteral("Struck"));
        font.StrikeOut = false;
        font.Angle = 900;
        p.SetFont(font);
        p.DrawText(QPointF(6, 6), QStringLiteral("Upward"));
        font.Angle = 0;
        font.Color = 0x0000FF;
        p.SetFont(font);
        p.DrawText(QPointF(1, 8), QStringLiteral("Red"));
    });
    QTemporaryDir dir;
    const QString pdf = RenderToPdf(dir, report);

    const ToolResult text = RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    ASSERT_EQ(text.Exit, 0) << text.Err.toStdString();
    static const QRegularExpression wordPattern(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    std::map<QString, QRectF> words;
    for (auto m = wordPattern.globalMatch(text.Out); m.hasNext();) {
        const auto w = m.next();
        words[w.captured(5)] = QRectF(QPointF(w.captured(1).toDouble() / 72, w.captured(2).toDouble() / 72),
                                      QPointF(w.captured(3).toDouble() / 72, w.captured(4).toDouble() / 72));
    }
    ASSERT_TRUE(words.count(QStringLiteral("Underlined"))) << text.Out.toStdString();
    ASSERT_TRUE(words.count(QStringLiteral("Upward"))) << text.Out.toStdString();
    const QRectF under = words[QStringLiteral("Underlined")];
    EXPECT_NEAR(under.left(), 1, 0.05);
    EXPECT_LT(under.top(), 2);
    EXPECT_GT(under.bottom(), 1.9);
    // Turned a quarter counter-clockwise: it rises from its origin.
    const QRectF up = words[QStringLiteral("Upward")];
    EXPECT_GT(up.height(), 2 * up.width()) << up.width() << " x " << up.height();
    EXPECT_NEAR(up.bottom(), 6, 0.1);
    EXPECT_LT(up.top(), 5.3);
    EXPECT_LT(up.left(), 6);
    EXPECT_GT(up.right(), 5.7);

    const QImage page = Raster(dir, pdf);
    ASSERT_FALSE(page.isNull());
    // The underline: a dark row just below the base line across the word,
    // where the letters alone leave gaps.
    int bestRun = 0;
    for (int y = 2 * 96 + 1; y < 2 * 96 + 6; ++y) {
        int run = 0;
        for (int x = int(under.left() * 96) + 2; x < int(under.right() * 96) - 2; ++x) run += Dark(page, x, y);
        bestRun = qMax(bestRun, run);
    }
    EXPECT_GT(bestRun, int(under.width() * 96) - 8) << "no underline";
    // The strike-out: a dark row through the middle of the letters.
    const QRectF struck = words[QStringLiteral("Struck")];
    bestRun = 0;
    for (int y = 3 * 96 - 12; y < 3 * 96 - 2; ++y) {
        int run = 0;
        for (int x = int(struck.left() * 96) + 2; x < int(struck.right() * 96) - 2; ++x) run += Dark(page, x, y);
        bestRun = qMax(bestRun, run);
    }
    EXPECT_GT(bestRun, int(struck.width() * 96) - 8) << "no strike-out";
    // Text in the font's colour.
    int red = 0;
    for (int y = 8 * 96 - 16; y < 8 * 96; ++y)
        for (int x = 96; x < 96 + 40; ++x) red += Reddish(page.pixel(x, y));
    EXPECT_GT(red, 20);
}

TEST(PdfWriter, PicturesAreStoredOnceAndPhotosKeepTheirBytes)
{
    const QImage photo = Photo(200, 150);
    const QByteArray report = Record([&](TBaseReport& r) {
        for (int page = 0; page < 3; ++page) {
            if (page) r.NewPage();
            r.PrintImageRect(1, 1, 3, 2.5, photo);
        }
    });
    TReportFileReader reader;
    reader.LoadFromBytes(report);
    ASSERT_EQ(reader.ImageCount(), 1);
    const TReportFileReader::StoredPicture stored = reader.Stored(0);
    ASSERT_EQ(stored.Encoding, TReportFileReader::StoredPicture::Jpeg);

    for (const int quality : {90, 75}) {
        QTemporaryDir dir;
        const QString pdf = RenderToPdf(dir, report, quality);
        const std::vector<ListedImage> images = ListImages(pdf);
        ASSERT_EQ(images.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(images[size_t(i)].Page, i + 1);
            EXPECT_EQ(images[size_t(i)].Object, images[0].Object) << "one object for every page";
            EXPECT_EQ(images[size_t(i)].Encoding, QStringLiteral("jpeg"));
            EXPECT_EQ(images[size_t(i)].Colour, QStringLiteral("rgb"));
        }
        const ToolResult extract =
            RunTool(QStringLiteral("pdfimages"),
                    {QStringLiteral("-j"), QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                     QStringLiteral("1"), pdf, dir.filePath(QStringLiteral("img"))});
        ASSERT_EQ(extract.Exit, 0);
        const QByteArray jpeg = FileBytes(dir.filePath(QStringLiteral("img-000.jpg")));
        ASSERT_FALSE(jpeg.isEmpty());
        if (quality == 90) {
            EXPECT_TRUE(jpeg == stored.Data) << "made at the asked quality: kept as stored";
        } else {
            EXPECT_FALSE(jpeg == stored.Data) << "made again at the asked quality";
            const QImage back = QImage::fromData(jpeg, "JPEG");
            EXPECT_EQ(back.size(), QSize(200, 150));
            EXPECT_NEAR(qRed(back.pixel(50, 40)), qRed(photo.pixel(50, 40)), 24);
        }
    }
}

TEST(PdfWriter, PicturesKeepTheirPalettesAndTransparency)
{
    QImage few(40, 40, QImage::Format_RGB32);
    few.fill(qRgb(0, 0, 255));
    for (int y = 0; y < 40; ++y)
        for (int x = 20; x < 40; ++x) few.setPixel(x, y, qRgb(255, 0, 0));
    QImage seeThrough(40, 40, QImage::Format_ARGB32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) seeThrough.setPixel(x, y, x < 20 ? qRgba(0, 0, 0, 0) : qRgba(0, 0, 255, 255));
    // White-is-zero, and a sheet with colours of its own.
    QImage sheet(40, 40, QImage::Format_Mono);
    sheet.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    sheet.fill(0);
    for (int y = 0; y < 40; ++y)
        for (int x = 20; x < 40; ++x) sheet.setPixel(x, y, 1);
    QImage coloured = sheet.copy();
    coloured.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});

    const QByteArray report = Record([&](TBaseReport& r) {
        r.PrintImageRect(1, 1, 3, 3, few);
        r.Painter().FillRect(QRectF(QPointF(4, 1), QPointF(6, 3)), 0x0000FF);
        r.PrintImageRect(4, 1, 6, 3, seeThrough);
        r.PrintImageRect(1, 4, 3, 6, sheet);
        r.PrintImageRect(4, 4, 6, 6, coloured);
    });
    QTemporaryDir dir;
    const QString pdf = RenderToPdf(dir, report);
    const std::vector<ListedImage> images = ListImages(pdf);
    ASSERT_EQ(images.size(), 5u) << "four pictures and one soft mask";
    EXPECT_EQ(images[0].Colour, QStringLiteral("index"));
    EXPECT_EQ(images[1].Colour, QStringLiteral("rgb"));
    EXPECT_EQ(images[2].Type, QStringLiteral("smask"));
    EXPECT_EQ(images[3].Colour, QStringLiteral("gray"));
    EXPECT_EQ(images[4].Colour, QStringLiteral("index"));

    const QImage page = Raster(dir, pdf);
    ASSERT_FALSE(page.isNull());
    EXPECT_TRUE(Bluish(page.pixel(int(1.5 * 96), 2 * 96)));
    EXPECT_TRUE(Reddish(page.pixel(int(2.5 * 96), 2 * 96)));
    EXPECT_TRUE(Reddish(page.pixel(int(4.5 * 96), 2 * 96))) << "the fill shows through";
    EXPECT_TRUE(Bluish(page.pixel(int(5.5 * 96), 2 * 96)));
    EXPECT_TRUE(White(page, int(1.5 * 96), 5 * 96));
    EXPECT_TRUE(Dark(page, int(2.5 * 96), 5 * 96));
    EXPECT_TRUE(Reddish(page.pixel(int(4.5 * 96), 5 * 96)));
    EXPECT_TRUE(Bluish(page.pixel(int(5.5 * 96), 5 * 96)));
}

TEST(PdfWriter, TitleShowsWithItsParenthesesBackslashesAndScripts)
{
    for (const QString& title : {QStringLiteral("Profile (draft) of C:\\Homes\\12 Oak \\(Lane)"),
                                 QStringLiteral("Profil de 12 rue Égée — Ελληνικά, 日本語 (詳細)")}) {
        QTemporaryDir dir;
        const QString pdf = RenderToPdf(dir, Record([](TBaseReport&) {}, title));
        const ToolResult info = RunTool(QStringLiteral("pdfinfo"), {pdf});
        ASSERT_EQ(info.Exit, 0) << info.Err.toStdString();
        EXPECT_TRUE(info.Err.isEmpty()) << info.Err.toStdString();
        EXPECT_TRUE(info.Out.contains(
            QRegularExpression(QStringLiteral("^Title: +%1\n").arg(QRegularExpression::escape(title)))))
            << info.Out.toStdString();
        EXPECT_TRUE(info.Out.contains(QRegularExpression(QStringLiteral("Creator:\\s+Tamsel\\n"))));
    }
}

TEST(PdfWriter, NumbersNamesAndStringsAreWrittenSafely)
{
    PdfOutput out;
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    for (const double v : {0.0, -0.001, 1.5, -2.25, 612.0, 0.125, 1e300, -inf, nan, 3.14159}) out.Num(v) << ' ';
    EXPECT_EQ(out.View().toByteArray(), QByteArray("0 0 1.5 -2.25 612 0.13 10000000 -10000000 0 3.14 "));
    out.Clear();
    out.Num(0.000123456, 6).SNum(-1, 5).Int(-42);
    EXPECT_EQ(out.View().toByteArray(), QByteArray("0.000123 -1-42"));
    out.Clear();
    out.Name("Liberation Sans#(1)/x");
    out.String("a(b)c\\d\n");
    EXPECT_EQ(out.View().toByteArray(), QByteArray("/Liberation#20Sans#23#281#29#2Fx(a\\(b\\)c\\\\d\\012)"));
}

TEST(PdfWriter, HatchesJoinWithoutSeamsAtAnyResolution)
{
    // Each hatch in a rectangle of 3 x 1 inches, one under the other.
    const auto area = [](int style) { return QRectF(1, 1 + (style - 2) * 1.5, 3, 1); };
    const QByteArray report = Record([&](TBaseReport& r) {
        TPagePainter& p = r.Painter();
        p.SetPen(Pen(5, 1));
        for (int style = 2; style <= 7; ++style) {
            p.SetBrush(Brush(clBlack, style), nullptr);
            p.DrawRectangle(area(style));
        }
    });
    QTemporaryDir dir;
    const QString pdf = RenderToPdf(dir, report);
    for (const int dpi : {72, 100, 150, 300}) {
        const ToolResult r = RunTool(QStringLiteral("pdftoppm"),
                                     {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"),
                                      QStringLiteral("-singlefile"), pdf, dir.filePath(QStringLiteral("hatch"))});
        ASSERT_EQ(r.Exit, 0) << r.Err.toStdString();
        EXPECT_TRUE(r.Err.isEmpty()) << r.Err.toStdString();
        const QImage page(dir.filePath(QStringLiteral("hatch.pgm")));
        ASSERT_FALSE(page.isNull());
        for (int style = 2; style <= 7; ++style) {
            // The ink of every column and row inside the area: where cells
            // meet with a seam, a column (or row) is much lighter than the rest.
            const QRect inside = QRectF(area(style).topLeft() * dpi, area(style).size() * dpi)
                                     .toRect()
                                     .adjusted(dpi / 10, dpi / 10, -dpi / 10, -dpi / 10);
            std::vector<double> columns, rows;
            for (int x = inside.left(); x <= inside.right(); ++x) {
                double ink = 0;
                for (int y = inside.top(); y <= inside.bottom(); ++y) ink += 255 - qGray(page.pixel(x, y));
                columns.push_back(ink);
            }
            for (int y = inside.top(); y <= inside.bottom(); ++y) {
                double ink = 0;
                for (int x = inside.left(); x <= inside.right(); ++x) ink += 255 - qGray(page.pixel(x, y));
                rows.push_back(ink);
            }
            const auto lightest = [](std::vector<double> v) {
                std::sort(v.begin(), v.end());
                return v.front() / std::max(1.0, v[v.size() / 2]);
            };
            // Rows through the crossings of a diagonal cross hold half the
            // ink of the others by nature.
            const double least = style == 7 ? 0.45 : 0.8;
            if (style != 3) { EXPECT_GT(lightest(columns), least) << "style " << style << " at " << dpi << " dpi"; }
            if (style != 2) { EXPECT_GT(lightest(rows), least) << "style " << style << " at " << dpi << " dpi"; }
        }
    }
}

TEST(PdfWriter, APageOfManyHatchesStaysNearTheSizeItRecordsAndStillShowsThem)
{
    // Each full-page hatch would write some 5 KB of lines; past the page's
    // budget every further one draws the page's lines written once.
    constexpr int Shapes = 3000;
    const QRectF late(2, 2, 2, 1);
    const QByteArray report = Record([&](TBaseReport& r) {
        TPagePainter& p = r.Painter();
        p.SetPen(Pen(5, 1));
        p.SetBrush(Brush(clBlack, 2), nullptr);
        for (int i = 0; i < Shapes; ++i) p.DrawRectangle(QRectF(0, 0, 8.5, 11));
        // Drawn after the budget: a vertical hatch in red.
        p.SetBrush(Brush(clRed, 3), nullptr);
        p.DrawRectangle(late);
    });
    QTemporaryDir dir;
    const QString pdf = RenderToPdf(dir, report);
    const QString plain = dir.filePath(QStringLiteral("plain.pdf"));
    const ToolResult unpacked =
        RunTool(QStringLiteral("qpdf"), {QStringLiteral("--stream-data=uncompress"), pdf, plain});
    ASSERT_EQ(unpacked.Exit, 0) << unpacked.Err.toStdString();
    // The lines alone of every hatch would take 14 MB.
    EXPECT_LT(QFileInfo(plain).size(), 6 << 20);

    const ToolResult r = RunTool(QStringLiteral("pdftoppm"),
                                 {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-singlefile"), pdf,
                                  dir.filePath(QStringLiteral("late"))});
    ASSERT_EQ(r.Exit, 0) << r.Err.toStdString();
    const QImage page(dir.filePath(QStringLiteral("late.ppm")));
    ASSERT_FALSE(page.isNull());
    // Inside the late shape: red columns every 8 pixels, as a hatch drawn
    // directly has them.
    const int y = int(late.center().y() * 96);
    int redColumns = 0;
    for (int x = int(late.left() * 96) + 2; x < int(late.right() * 96) - 2; ++x) {
        const QColor c = page.pixelColor(x, y - 3);
        if (c.red() > 200 && c.green() < 80 && c.blue() < 80) ++redColumns;
    }
    EXPECT_GE(redColumns, 20);
    EXPECT_LE(redColumns, 26);
}

TEST(PdfWriter, DocumentInformationNamesTheProducerAndTheTimeOfMaking)
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    QTemporaryDir dir;
    const QString pdf = RenderToPdf(dir, Record([](TBaseReport& r) { r.PrintLeft(QStringLiteral("x"), 1); }));
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);
    const ToolResult info = RunTool(QStringLiteral("pdfinfo"), {QStringLiteral("-isodates"), pdf});
    ASSERT_EQ(info.Exit, 0) << info.Err.toStdString();
    EXPECT_TRUE(info.Err.isEmpty()) << info.Err.toStdString();
    EXPECT_TRUE(info.Out.contains(QRegularExpression(QStringLiteral("Producer:\\s+Tamsel\\n"))))
        << info.Out.toStdString();
    const QRegularExpressionMatch created =
        QRegularExpression(QStringLiteral("CreationDate:\\s+(\\S+)\\n")).match(info.Out);
    ASSERT_TRUE(created.hasMatch()) << info.Out.toStdString();
    // pdfinfo writes the offset from UTC as "+HH" or "+HH:MM".
    QString text = created.captured(1);
    if (QRegularExpression(QStringLiteral("[+-]\\d\\d$")).match(text).hasMatch()) text += QStringLiteral(":00");
    const QDateTime time = QDateTime::fromString(text, Qt::ISODate);
    ASSERT_TRUE(time.isValid()) << created.captured(1).toStdString();
    EXPECT_LE(before, time) << created.captured(1).toStdString();
    EXPECT_LE(time, after) << created.captured(1).toStdString();
}

TEST(PdfWriter, AReportWithoutPagesGivesOneBlankPage)
{
    // A report file of no pages and no pictures, titled "empty".
    QByteArray report("TAMSLRPT");
    for (const quint32 v : {1u, 0u, 0u, 5u}) {
        const quint32 le = qToLittleEndian(v);
        report.append(reinterpret_cast<const char*>(&le), 4);
    }
    for (const char c : QByteArray("empty")) report.append(c).append('\0');
    TReportFileReader reader;
    reader.LoadFromBytes(report);
    ASSERT_EQ(reader.PageCount(), 0);

    QTemporaryDir dir;
    const QString pdf = RenderToPdf(dir, report);
    const ToolResult info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_EQ(info.Exit, 0) << info.Err.toStdString();
    EXPECT_TRUE(info.Err.isEmpty()) << info.Err.toStdString();
    EXPECT_TRUE(info.Out.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n")))) << info.Out.toStdString();
    EXPECT_TRUE(info.Out.contains(QLatin1String("612 x 792 pts"))) << info.Out.toStdString();
    EXPECT_TRUE(info.Out.contains(QRegularExpression(QStringLiteral("Title:\\s+empty\\n")))) << info.Out.toStdString();
    const QImage page = Raster(dir, pdf);
    ASSERT_EQ(page.size(), QSize(816, 1056));
    EXPECT_EQ(DarkShare(page, 0, 0, 8.5, 11), 0);
    EXPECT_TRUE(White(page, 408, 528));
}

TEST(PdfWriter, DamagedPhotosAreMadeAgainFromWhatDecodesOrLeftOutWithANote)
{
    const QImage photo = Photo(200, 150);
    const QByteArray report = Record([&](TBaseReport& r) {
        r.PrintLeft(QStringLiteral("Photo"), 1);
        r.PrintImageRect(1, 1, 3, 2.5, photo);
    });
    TReportFileReader reader;
    reader.LoadFromBytes(report);
    ASSERT_EQ(reader.ImageCount(), 1);
    const QByteArray jpeg = reader.Stored(0).Data.toByteArray();
    const qsizetype at = report.indexOf(jpeg);
    ASSERT_GT(at, 0);
    // The coded data begins after the scan header.
    const qsizetype scan = jpeg.indexOf("\xFF\xDA");
    ASSERT_GT(scan, 0);
    const qsizetype data = scan + 2 + ((uchar(jpeg[scan + 2]) << 8) | uchar(jpeg[scan + 3]));

    // Its second half (and its end marker) overwritten: the first rows
    // still decode.
    QByteArray cut = report;
    const qsizetype half = data + (jpeg.size() - data) / 2;
    for (qsizetype i = half; i < jpeg.size(); ++i) cut[at + i] = char(0xA5);
    // Nothing of it decodes.
    const QByteArray broken = testsupport::WithUndecodableJpegs(report);
    ASSERT_NE(broken, report);

    for (const bool decodes : {true, false}) {
        QTemporaryDir dir;
        TRenderPDF render;
        QStringList notes;
        render.OnLeftOut = [&](const QString& what) { notes << what; };
        QByteArray bytes = decodes ? cut : broken;
        QBuffer stream(&bytes);
        stream.open(QIODevice::ReadOnly);
        const QString pdf = dir.filePath(QStringLiteral("damaged.pdf"));
        render.Render(stream, pdf);
        // qpdf decodes the picture's data too: a copied damaged file fails.
        EXPECT_EQ(testsupport::PdfCheckProblems(pdf), QString());
        EXPECT_TRUE(
            RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).Out.contains(QLatin1String("Photo")));

        const ToolResult raster = RunTool(QStringLiteral("pdftoppm"),
                                          {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-singlefile"),
                                           pdf, dir.filePath(QStringLiteral("page"))});
        ASSERT_EQ(raster.Exit, 0);
        EXPECT_TRUE(raster.Err.isEmpty()) << raster.Err.toStdString();
        const QImage page = QImage(dir.filePath(QStringLiteral("page.ppm"))).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(page.isNull());
        const std::vector<ListedImage> images = ListImages(pdf);
        if (decodes) {
            EXPECT_TRUE(notes.isEmpty()) << notes.join(QLatin1Char('\n')).toStdString();
            ASSERT_EQ(images.size(), 1u);
            EXPECT_EQ(images[0].Encoding, QStringLiteral("jpeg"));
            const ToolResult extract =
                RunTool(QStringLiteral("pdfimages"), {QStringLiteral("-j"), pdf, dir.filePath(QStringLiteral("img"))});
            ASSERT_EQ(extract.Exit, 0);
            const QByteArray written = FileBytes(dir.filePath(QStringLiteral("img-000.jpg")));
            EXPECT_NE(written, cut.mid(at, jpeg.size())) << "the damaged data is not copied";
            EXPECT_TRUE(PictureReader::JpegDecodesWhole(written));
            // The photo's top rows as the report drew them: 2 inches for
            // 200 pixels, at the page's 96 pixels an inch.
            for (const int x : {10, 100, 190}) {
                const QRgb shown = page.pixel(96 + x * 192 / 200, 96 + 5);
                const QRgb drawn = photo.pixel(x, 5);
                EXPECT_NEAR(qRed(shown), qRed(drawn), 40) << x;
                EXPECT_NEAR(qGreen(shown), qGreen(drawn), 40) << x;
                EXPECT_NEAR(qBlue(shown), qBlue(drawn), 40) << x;
            }
        } else {
            EXPECT_TRUE(images.empty()) << "left out";
            EXPECT_EQ(notes,
                      QStringList{QStringLiteral("A picture of 200 x 150 pixels could not be decoded and was "
                                                 "left out of the PDF from page 1 on.")});
            EXPECT_EQ(DarkShare(page, 1.05, 1.05, 2.95, 2.45), 0) << "its area stays empty";
        }
    }
}
