// The report file: what is written reads back the same, pictures once
// each; damaged and hostile files are refused cleanly.

#include "tests/platform/report/ReportFixture.h"
#include "platform/graphics/Bitmap.h"
#include "platform/report/TPageDrawable.h"
#include "platform/report/TPageRenderer.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <zlib.h>

namespace {

// What a street map draws: a polyline, a polygon, an ellipse and a turned text.
void DrawMap(TPagePainter& p, const QRectF& r)
{
    TPagePen pen;
    pen.Color = 0x00FF00;
    pen.Width = 3;
    p.SetPen(pen);
    const QPointF line[] = {r.topLeft(), r.center(), r.bottomRight()};
    p.DrawPolyline(line, 3);
    TPageBrush brush;
    brush.Color = 0x123456;
    p.SetBrush(brush, nullptr);
    p.DrawPolygon(line, 3, true);
    p.DrawEllipse(r.adjusted(0.1, 0.1, -0.1, -0.1));
    TPageFont font;
    font.Angle = 900;
    p.SetFont(font);
    p.DrawText(r.center(), QStringLiteral("Main St"));
}

QImage Photo(int w, int h, int seed)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 7 + seed) & 255, (y * 5 + x * seed) & 255, (x * y + seed * 3) & 255));
    return image;
}

void PrintEverything(TBaseReport& r)
{
    r.SetFont(QStringLiteral("Times New Roman"), 12);
    r.SetBold(true);
    r.SetFontColor(0xFF0000);
    r.GotoXY(1, 1);
    r.PrintLeft(QStringLiteral("Quote \" and \\ and ünïcödé"), 1);
    r.SetPen(0x0000FF, TPenStyle(1), 2, TPenMode(4));
    r.SetBrush(0xC0C0C0, TBrushStyle(0), nullptr);
    r.Rectangle(1, 2, 3, 2.5);
    r.Ellipse(4, 2, 5, 3);
    r.MoveTo(1, 4);
    r.LineTo(7.5, 4);
    r.SetTabShade(20);
    r.SetTab(1, TTabJustify::tjLeft, 1, 0, TTabLines::FromBits(15), 0);
    r.PrintTab(QStringLiteral("cell"));

    // A drawing, twice from separate bitmaps: stored once.
    for (int i = 0; i < 2; ++i) {
        TBitmap bar(60, 96);
        bar.SetPixelFormat(pf32bit);
        QImage image(60, 96, QImage::Format_RGB32);
        for (int y = 0; y < 96; ++y)
            for (int x = 0; x < 60; ++x) image.setPixel(x, y, qRgb(255 - y, 255 - y, 255));
        bar.SetImage(image);
        r.PrintBitmapRect(7.85, 0.5, 8.25, 10.35, bar);
    }
    // A 1-bit sheet and a photograph.
    QImage sheet(333, 77, QImage::Format_Mono);
    sheet.fill(1);
    for (int x = 0; x < 333; x += 3) sheet.setPixel(x, x % 77, 0);
    r.PrintImageRect(0.75, 5, 7.8, 6, sheet);
    r.PrintImageRect(1, 6, 2, 7, Photo(120, 90, 3));
    TBitmap pattern(8, 8);
    r.SetBrush(0, TBrushStyle(0), &pattern);
    r.Rectangle(2, 7, 3, 8);
    r.NewPage();
    const DrawnPicture map(DrawMap);
    r.StretchDraw(QRectF(QPointF(0.75, 0.75), QPointF(7.8, 5.45)), map);
    r.Rectangle(1, 6, 2, 6); // the surface's own pen and brush again
}

QByteArray Sample() { return RecordReport(PrintEverything); }

void Put32(QByteArray& b, qsizetype at, quint32 v) { qToLittleEndian(v, b.data() + at); }
void Put64(QByteArray& b, qsizetype at, quint64 v) { qToLittleEndian(v, b.data() + at); }
quint64 Get64(const QByteArray& b, qsizetype at) { return qFromLittleEndian<quint64>(b.constData() + at); }
quint32 Get32(const QByteArray& b, qsizetype at) { return qFromLittleEndian<quint32>(b.constData() + at); }

// Where the tables of the sample lie.
constexpr qsizetype pageTable = 24 + 4 * 2; // the title "test"

QString LoadError(const QByteArray& bytes)
{
    TReportFileReader reader;
    try {
        reader.LoadFromBytes(bytes);
    } catch (const EReportFileError& e) {
        EXPECT_EQ(reader.PageCount(), 0);
        return e.Message();
    }
    return QString();
}

// A one-page file around the given raw operations.
QByteArray WithOperations(const QByteArray& ops, const QByteArray& raw = {})
{
    QByteArray file = RecordReport([](TBaseReport& r) { r.PrintLeft(QStringLiteral("x"), 1); });
    uLongf size = compressBound(uLong(ops.size()));
    QByteArray packed(qsizetype(size), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(ops.constData()),
              uLong(ops.size()), 6);
    packed.truncate(qsizetype(size));
    const quint64 offset = Get64(file, pageTable);
    file.truncate(qsizetype(offset));
    file.append(raw.isEmpty() ? packed : raw);
    Put32(file, pageTable + 8, quint32(raw.isEmpty() ? packed.size() : raw.size()));
    Put32(file, pageTable + 12, quint32(ops.size()));
    return file;
}

QByteArray Ops(std::initializer_list<int> bytes)
{
    QByteArray b;
    for (int v : bytes) b.append(char(v));
    return b;
}

QByteArray F64(double v)
{
    QByteArray b(8, 0);
    quint64 bits;
    std::memcpy(&bits, &v, 8);
    qToLittleEndian(bits, b.data());
    return b;
}

QByteArray U32(quint32 v)
{
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
}

} // namespace

TEST(ReportFile, RoundTripKeepsEveryOperation)
{
    TReportFileReader reader;
    reader.LoadFromBytes(Sample());
    EXPECT_EQ(reader.Version(), 1);
    EXPECT_EQ(reader.Title(), QStringLiteral("test"));
    ASSERT_EQ(reader.PageCount(), 2);
    EXPECT_EQ(reader.PageSize(0), QSizeF(8.5, 11));
    EXPECT_EQ(reader.ImageCount(), 4); // bar, sheet, photo, pattern

    const QStringList first = TReportDump::PageLines(reader, 0);
    EXPECT_TRUE(first.contains(QStringLiteral("font \"Liberation Serif\" 12 bold $FF0000")));
    EXPECT_TRUE(first.contains(QStringLiteral("pen $0000FF dash 2 copy")));
    EXPECT_TRUE(first.contains(QStringLiteral("brush $C0C0C0 solid")));
    EXPECT_TRUE(first.contains(QStringLiteral("rect 1 2 3 2.5")));
    EXPECT_TRUE(first.contains(QStringLiteral("ellipse 4 2 5 3")));
    EXPECT_TRUE(first.contains(QStringLiteral("line 1 4 7.5 4")));
    EXPECT_TRUE(first.contains(QStringLiteral("fill 1 0.8333 2 1 $CCCCCC")));
    EXPECT_EQ(first.filter(QStringLiteral("image 7.85 0.5 8.25 10.35 #0 60x96")).size(), 2);
    EXPECT_TRUE(first.contains(QStringLiteral("image 0.75 5 7.8 6 #1 333x77")));
    EXPECT_TRUE(first.contains(QStringLiteral("image 1 6 2 7 #2 120x90")));
    EXPECT_TRUE(first.contains(QStringLiteral("brush $000000 solid pattern #3")));
    EXPECT_EQ(FindText(first, QStringLiteral("Quote \\\" and \\\\ and ünïcödé")).X, 1);

    const QStringList second = TReportDump::PageLines(reader, 1);
    EXPECT_EQ(second.mid(0, 8),
              QStringList({"clip 0.75 0.75 7.8 5.45", "pen $00FF00 solid 3 copy",
                           "polyline 0.75,0.75 4.275,3.1 7.8,5.45", "brush $123456 solid",
                           "polygon winding 0.75,0.75 4.275,3.1 7.8,5.45", "ellipse 0.85 0.85 7.7 5.35",
                           "font \"Liberation Sans\" 10 $000000 angle 900", "text 4.275 3.1 \"Main St\""}));
    EXPECT_EQ(second.mid(8),
              QStringList({"clip off", "pen $0000FF dash 2 copy", "brush $000000 solid pattern #3", "rect 1 6 2 6"}));
}

TEST(ReportFile, PicturesComeBackAsStored)
{
    TReportFileReader reader;
    reader.LoadFromBytes(Sample());
    // Drawings and sheets losslessly, photographs close to their pixels.
    const QImage bar = reader.Image(0);
    ASSERT_FALSE(bar.isNull());
    EXPECT_EQ(bar.pixel(10, 50), qRgb(205, 205, 255));
    const QImage sheet = reader.Image(1);
    ASSERT_EQ(sheet.depth(), 1);
    EXPECT_EQ(sheet.pixelIndex(3, 3), 0);
    EXPECT_EQ(sheet.pixelIndex(4, 3), 1);
    const QImage photo = reader.Image(2);
    const QImage original = Photo(120, 90, 3);
    ASSERT_EQ(photo.size(), original.size());
    double error = 0;
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x) error += std::abs(qGreen(photo.pixel(x, y)) - qGreen(original.pixel(x, y)));
    EXPECT_LT(error / (120 * 90), 12);
}

// The pictures a replay hands over: decoded, or only their index for a
// painter that takes them from the file.
class PictureTaker : public TPagePainter {
public:
    explicit PictureTaker(bool pixels) : m_pixels(pixels) { }
    std::vector<std::pair<int, QImage>> Drawn;
    void BeginPage(int, QSizeF) override { }
    void EndPage() override { }
    void SetFont(const TPageFont&) override { }
    void SetPen(const TPagePen&) override { }
    void SetBrush(const TPageBrush&, const QImage*) override { }
    void SetClip(const QRectF*) override { }
    void DrawText(QPointF, const QString&) override { }
    void DrawLine(QPointF, QPointF) override { }
    void DrawRectangle(const QRectF&) override { }
    void DrawEllipse(const QRectF&) override { }
    void DrawPolyline(const QPointF*, int) override { }
    void DrawPolygon(const QPointF*, int, bool) override { }
    void FillRect(const QRectF&, TColor) override { }
    void DrawImage(const QRectF&, const QImage& image, int index) override { Drawn.emplace_back(index, image); }
    bool NeedsImagePixels() const override { return m_pixels; }

private:
    bool m_pixels;
};

TEST(ReportFile, PicturesAsStoredForAPainterThatTakesThemByIndex)
{
    TReportFileReader reader;
    reader.LoadFromBytes(Sample());
    const TReportFileReader::StoredPicture sheet = reader.Stored(1), photo = reader.Stored(2);
    EXPECT_EQ(sheet.Encoding, TReportFileReader::StoredPicture::Pixels);
    EXPECT_EQ(sheet.Bits, 1);
    EXPECT_EQ(sheet.Size, reader.Image(1).size());
    EXPECT_EQ(photo.Encoding, TReportFileReader::StoredPicture::Jpeg);
    EXPECT_EQ(photo.Size, QSize(120, 90));
    // The photo's bytes are the JPEG file the picture decodes from.
    EXPECT_EQ(QImage::fromData(photo.Data.toByteArray(), "JPEG"), reader.Image(2));
    EXPECT_THROW(reader.Stored(reader.ImageCount()), EListError);
    EXPECT_THROW(reader.Stored(-1), EListError);

    for (const bool pixels : {true, false}) {
        PictureTaker taker(pixels);
        reader.PlayPage(0, taker);
        ASSERT_EQ(taker.Drawn.size(), 4u);
        for (const auto& [index, image] : taker.Drawn) {
            EXPECT_GE(index, 0);
            EXPECT_EQ(image.isNull(), !pixels) << index;
        }
    }
}

TEST(ReportFile, ExecuteWritesTheFileAndAFailedReportLeavesNone)
{
    QTemporaryDir dir;
    TReportFileWriter writer;
    writer.FileName = dir.filePath(QStringLiteral("profile.rpt"));
    writer.OnPrint = PrintEverything;
    writer.Execute();
    TReportFileReader reader;
    reader.LoadFromFile(writer.FileName);
    EXPECT_EQ(reader.PageCount(), 2);

    TReportFileWriter failing;
    failing.FileName = dir.filePath(QStringLiteral("failed.rpt"));
    failing.OnPrint = [](TBaseReport& r) {
        r.PrintLeft(QStringLiteral("half"), 1);
        throw Exception(QStringLiteral("page failed"));
    };
    EXPECT_THROW(failing.Execute(), Exception);
    EXPECT_FALSE(QFile::exists(failing.FileName));
    EXPECT_THROW(reader.LoadFromFile(dir.filePath(QStringLiteral("missing.rpt"))), EFOpenError);
}

TEST(ReportFile, RendererDrawsAPage)
{
    TReportFileReader reader;
    reader.LoadFromBytes(RecordReport([](TBaseReport& r) {
        r.SetBrush(0x0000FF, TBrushStyle(0), nullptr);
        r.Rectangle(1, 1, 2, 2);
        r.SetPen(0xFF0000, TPenStyle(0), 4, TPenMode(4));
        r.Rectangle(3, 1, 5, 1); // no height: still a line
    }));
    QImage page(850, 1100, QImage::Format_RGB32);
    page.fill(Qt::black);
    QPainter painter(&page);
    TPageRenderer renderer(painter, 100);
    reader.PlayPage(0, renderer);
    painter.end();
    EXPECT_EQ(page.pixel(5, 5), qRgb(255, 255, 255)); // the white page
    EXPECT_EQ(page.pixel(150, 150), qRgb(255, 0, 0)); // BGR $0000FF is red
    EXPECT_EQ(page.pixel(400, 100), qRgb(0, 0, 255)); // the blue rule
    EXPECT_EQ(page.pixel(400, 110), qRgb(255, 255, 255));
}

TEST(ReportFile, RefusesWhatIsNoReportFile)
{
    EXPECT_FALSE(LoadError(QByteArray()).isEmpty());
    EXPECT_FALSE(LoadError(QByteArray("GIF89a and more bytes than a header holds")).isEmpty());
    QByteArray newer = Sample();
    Put32(newer, 8, 2);
    EXPECT_TRUE(LoadError(newer).contains(QStringLiteral("version 2")));
}

TEST(ReportFile, EveryTruncationIsRefused)
{
    const QByteArray sample = Sample();
    for (qsizetype n = 0; n < sample.size(); n += (n < 2000 ? 1 : 97))
        EXPECT_FALSE(LoadError(sample.left(n)).isEmpty()) << n;
    EXPECT_TRUE(LoadError(sample).isEmpty());
}

TEST(ReportFile, FlippedBytesGiveACleanErrorOrASoundFile)
{
    const QByteArray sample = Sample();
    for (qsizetype i = 0; i < sample.size(); i += (i < 600 ? 1 : 13)) {
        for (char flip : {char(0x01), char(0x80), char(0xFF)}) {
            QByteArray bytes = sample;
            bytes[i] = char(bytes[i] ^ flip);
            TReportFileReader reader;
            try {
                reader.LoadFromBytes(bytes);
            } catch (const EReportFileError&) {
                continue;
            }
            // It loaded: every page replays and every picture decodes or
            // is null.
            for (int p = 0; p < reader.PageCount(); ++p) TReportDump::PageLines(reader, p);
        }
    }
}

TEST(ReportFile, CountsAndSizesPastTheirCapsAreRefusedBeforeAllocating)
{
    const QByteArray sample = Sample();
    QByteArray pages = sample;
    Put32(pages, 12, 0xFFFFFFFF);
    EXPECT_TRUE(LoadError(pages).contains(QStringLiteral("pages")));
    QByteArray images = sample;
    Put32(images, 16, 99999);
    EXPECT_TRUE(LoadError(images).contains(QStringLiteral("tables run past")));
    QByteArray title = sample;
    Put32(title, 20, 0x7FFFFFFF);
    EXPECT_FALSE(LoadError(title).isEmpty());
    QByteArray ops = sample;
    Put32(ops, pageTable + 12, 0xFFFFFFFF);
    EXPECT_TRUE(LoadError(ops).contains(QStringLiteral("bytes of operations")));
    // More operations than the stored bytes could ever unpack to.
    QByteArray ratio = sample;
    Put32(ratio, pageTable + 12, Get32(sample, pageTable + 8) * 2000);
    EXPECT_TRUE(LoadError(ratio).contains(QStringLiteral("bytes of operations")));

    const qsizetype imageTable = pageTable + 2 * 32;
    QByteArray wide = sample;
    Put32(wide, imageTable + 16, 20001);
    EXPECT_TRUE(LoadError(wide).contains(QStringLiteral("20001 x")));
    QByteArray many = sample;
    Put32(many, imageTable + 16, 20000);
    Put32(many, imageTable + 20, 20000);
    EXPECT_TRUE(LoadError(many).contains(QStringLiteral("more pixels than its data")));
    QByteArray bits = sample;
    qToLittleEndian(quint16(7), bits.data() + imageTable + 14);
    EXPECT_TRUE(LoadError(bits).contains(QStringLiteral("7 bits")));
}

TEST(ReportFile, DataPointingOutsideOrIntoTheTablesIsRefused)
{
    const QByteArray sample = Sample();
    QByteArray past = sample;
    Put64(past, pageTable, quint64(sample.size()) + 5);
    EXPECT_TRUE(LoadError(past).contains(QStringLiteral("outside")));
    QByteArray wrap = sample;
    Put64(wrap, pageTable, ~quint64(0) - 3);
    EXPECT_TRUE(LoadError(wrap).contains(QStringLiteral("outside")));
    QByteArray self = sample;
    Put64(self, pageTable, 0); // the page "is" the header
    EXPECT_TRUE(LoadError(self).contains(QStringLiteral("outside")));
    QByteArray longer = sample;
    Put32(longer, pageTable + 8, quint32(sample.size()));
    EXPECT_TRUE(LoadError(longer).contains(QStringLiteral("outside")));
}

TEST(ReportFile, DamagedOperationsAreRefused)
{
    EXPECT_TRUE(LoadError(WithOperations(Ops({99}))).contains(QStringLiteral("unknown operation 99")));
    EXPECT_TRUE(LoadError(WithOperations(Ops({6, 0, 0}))).contains(QStringLiteral("ends inside")));
    // A text claiming four billion characters.
    EXPECT_TRUE(LoadError(WithOperations(Ops({5}) + F64(1) + F64(1) + U32(0xFFFFFFFF)))
                    .contains(QStringLiteral("ends inside")));
    // A polyline claiming more points than follow.
    EXPECT_TRUE(LoadError(WithOperations(Ops({9}) + U32(100000000) + F64(1))).contains(QStringLiteral("ends inside")));
    EXPECT_TRUE(LoadError(WithOperations(Ops({6}) + F64(qQNaN()) + F64(1) + F64(1) + F64(1)))
                    .contains(QStringLiteral("out of range")));
    EXPECT_TRUE(LoadError(WithOperations(Ops({6}) + F64(1e300) + F64(1) + F64(1) + F64(1)))
                    .contains(QStringLiteral("out of range")));
    EXPECT_TRUE(LoadError(WithOperations(Ops({12}) + F64(1) + F64(1) + F64(2) + F64(2) + U32(5)))
                    .contains(QStringLiteral("picture 5")));
    EXPECT_TRUE(LoadError(WithOperations(Ops({2}) + U32(0) + Ops({9, 4}) + U32(1))).contains(QStringLiteral("pen")));
    EXPECT_TRUE(
        LoadError(WithOperations(Ops({3}) + U32(0) + Ops({8}) + U32(0xFFFFFFFF))).contains(QStringLiteral("brush")));
    EXPECT_TRUE(LoadError(WithOperations(Ops({1, 0}) + F64(-4) + U32(0) + U32(0) + U32(0)))
                    .contains(QStringLiteral("font size")));
    // Stored bytes that are no zlib data, or unpack to another size.
    EXPECT_TRUE(LoadError(WithOperations(Ops({6}) + F64(1) + F64(1) + F64(1) + F64(1), QByteArray(40, 'z')))
                    .contains(QStringLiteral("do not unpack")));
    // A sound page of the same form loads.
    EXPECT_TRUE(LoadError(WithOperations(Ops({6}) + F64(1) + F64(1) + F64(2) + F64(2))).isEmpty());
}

TEST(ReportFile, UndecodablePicturesAreNullAndLeaveTheirAreaEmpty)
{
    QByteArray file = Sample();
    const qsizetype imageTable = pageTable + 2 * 32;
    // The photograph's JPEG data overwritten.
    const quint64 photo = Get64(file, imageTable + 2 * 24);
    for (int i = 0; i < 64; ++i) file[qsizetype(photo) + 20 + i] = char(i * 37);
    // The sheet's declared size no longer matches its pixels.
    Put32(file, imageTable + 1 * 24 + 20, 76);
    TReportFileReader reader;
    reader.LoadFromBytes(file);
    EXPECT_TRUE(reader.Image(1).isNull());
    const QStringList lines = TReportDump::PageLines(reader, 0);
    EXPECT_TRUE(lines.contains(QStringLiteral("image 0.75 5 7.8 6 #1 undecodable")));
    (void)reader.Image(2); // decodes to something or nothing, never past its data
}

namespace {

// A file whose pages all name one block of operations and whose pictures
// all name one block of data.
QByteArray Sharing(int pages, const QByteArray& ops, int pictures, quint32 side)
{
    uLongf size = compressBound(uLong(ops.size()));
    QByteArray packed(qsizetype(size), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(ops.constData()),
              uLong(ops.size()), 9);
    packed.truncate(qsizetype(size));
    const quint64 data = 24 + quint64(pages) * 32 + quint64(pictures) * 24;
    QByteArray file("TAMSLRPT", 8);
    file += U32(1) + U32(quint32(pages)) + U32(quint32(pictures)) + U32(0);
    for (int i = 0; i < pages; ++i) {
        QByteArray offset(8, 0);
        qToLittleEndian(data, offset.data());
        file += offset + U32(quint32(packed.size())) + U32(quint32(ops.size())) + F64(8.5) + F64(11);
    }
    for (int i = 0; i < pictures; ++i) {
        QByteArray entry(24, 0);
        qToLittleEndian(data, entry.data());
        qToLittleEndian(quint32(packed.size()), entry.data() + 8);
        qToLittleEndian(quint16(1), entry.data() + 12); // JPEG
        qToLittleEndian(quint16(32), entry.data() + 14);
        qToLittleEndian(side, entry.data() + 16);
        qToLittleEndian(side, entry.data() + 20);
        file += entry;
    }
    return file + packed;
}

} // namespace

TEST(ReportFile, EntriesSharingOneBlockAreBoundedInAll)
{
    // Lines of 33 bytes each, 60 MB of them, pack into a few tens of KB.
    QByteArray ops;
    const QByteArray line = Ops({6}) + F64(1) + F64(1) + F64(2) + F64(2);
    const int lines = (60 << 20) / int(line.size());
    ops.reserve(qsizetype(lines) * line.size());
    for (int i = 0; i < lines; ++i) ops += line;
    const QByteArray many = Sharing(5, ops, 0, 0); // 300 MB unpacked from one block
    ASSERT_LT(many.size(), 200 * 1024);
    EXPECT_TRUE(LoadError(many).contains(QStringLiteral("bytes of operations in all")))
        << LoadError(many).toStdString();
    EXPECT_TRUE(LoadError(Sharing(2, Ops({6}) + F64(1) + F64(1) + F64(2) + F64(2), 0, 0)).isEmpty());

    // Pictures of 8000 x 8000 pixels, 256 MB each once decoded, all from
    // the same bytes: two are within the cap, a third is past it.
    const QByteArray small = Ops({6}) + F64(1) + F64(1) + F64(2) + F64(2);
    EXPECT_TRUE(LoadError(Sharing(1, small, 2, 8000)).isEmpty());
    EXPECT_TRUE(LoadError(Sharing(1, small, 3, 8000)).contains(QStringLiteral("pictures claim more than")));
    EXPECT_TRUE(LoadError(Sharing(1, small, 3, 8000)).startsWith(QStringLiteral("The report file is damaged")));
}
