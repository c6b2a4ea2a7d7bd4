// The picture container and cache: every format, GIF frames, references to
// resources and files, and the faults mended in loading (bounds-checked GIF
// frames, frame numbers outside the frames or that do not decode, GIFs
// past the size cap, only regular files of bounded size, resources that are
// no picture).

#include "controls/HTMLPicture.h"
#include "controls/PictureDecoder_p.h"
#include "platform/graphics/PictureReader.h"
#include "platform/graphics/Bitmap.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/PictureBombs.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TestSupport.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QByteArray Fixture(const char* name)
{
    QFile f(testsupport::SourcePath(QStringLiteral("tests/controls/fixtures/pictures/") + QString::fromLatin1(name)));
    if (!f.open(QIODevice::ReadOnly)) return QByteArray();
    return f.readAll();
}

void Load(THTMLPicture& p, const QByteArray& data)
{
    QBuffer b;
    b.setData(data);
    b.open(QIODevice::ReadOnly);
    p.LoadFromStream(b);
}

QByteArray Encode(const QImage& img, const char* format, int quality = -1)
{
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    QImageWriter w(&b, format);
    if (quality >= 0) w.setQuality(quality);
    w.write(img);
    return b.data();
}

QImage TwoColour(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(0xFFFF0000);
    for (int y = 0; y < h; ++y)
        for (int x = w / 2; x < w; ++x) img.setPixel(x, y, 0xFF0000FF);
    return img;
}

bool IsNear(QRgb p, int r, int g, int b)
{
    return std::abs(qRed(p) - r) < 40 && std::abs(qGreen(p) - g) < 40 && std::abs(qBlue(p) - b) < 40;
}

} // namespace

TEST(PictureGif, FramesAreCountedAndShownOneByOne)
{
    const QByteArray gif = Fixture("three.gif");
    ASSERT_FALSE(gif.isEmpty());
    THTMLPicture p;
    Load(p, gif);
    EXPECT_FALSE(p.Empty());
    EXPECT_EQ(p.GetFrameCount(), 3);
    EXPECT_EQ(p.Frame(), 1);
    EXPECT_EQ(p.Width(), 8);
    EXPECT_EQ(p.GetPictureWidth(), 8);
    EXPECT_EQ(p.GetPictureHeight(), 6);
    EXPECT_TRUE(IsNear(p.Image().pixel(0, 0), 255, 0, 0));
    int changes = 0;
    p.OnFrameChange = [&](THTMLPicture* sender) {
        EXPECT_EQ(sender, &p);
        ++changes;
    };
    p.SetFrame(2);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(p.Frame(), 2);
    EXPECT_EQ(p.FrameLeft(), 2);
    EXPECT_EQ(p.FrameTop(), 1);
    EXPECT_EQ(p.FrameWidth(), 4);
    EXPECT_EQ(p.FrameHeight(), 3);
    // The frame itself is shown; the renderer still lays out the logical screen.
    EXPECT_EQ(p.Image().size(), QSize(4, 3));
    EXPECT_TRUE(IsNear(p.Image().pixel(1, 1), 0, 128, 0));
    EXPECT_EQ(p.GetPictureWidth(), 8);
    EXPECT_EQ(p.GetPictureHeight(), 6);
    p.SetFrame(3);
    EXPECT_EQ(p.FrameLeft(), 1);
    EXPECT_EQ(p.FrameTop(), 2);
    EXPECT_EQ(p.Image().size(), QSize(3, 2));
    EXPECT_TRUE(IsNear(p.Image().pixel(0, 0), 0, 0, 255));
}

TEST(PictureGif, FrameNumbersOutsideTheFramesAreIgnored)
{
    THTMLPicture p;
    Load(p, Fixture("three.gif"));
    p.SetFrame(2);
    const QImage shown = p.Image();
    int changes = 0;
    p.OnFrameChange = [&](THTMLPicture*) { ++changes; };
    for (int bad : {0, -1, 4, 1000}) {
        p.SetFrame(bad);
        EXPECT_EQ(p.Frame(), 2) << bad;
    }
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(p.Empty());
    EXPECT_EQ(p.Image(), shown);
}

TEST(PictureGif, AFrameThatDoesNotDecodeIsIgnored)
{
    // The third frame's image descriptor is complete, its picture data gone.
    const QByteArray gif = Fixture("three.gif");
    const QVector<int> starts = picturedecoder::FrameStarts(gif);
    ASSERT_EQ(starts.size(), 3);
    THTMLPicture p;
    Load(p, gif.left(starts[2] + 18));
    ASSERT_EQ(p.GetFrameCount(), 3);
    int changes = 0;
    p.OnFrameChange = [&](THTMLPicture*) { ++changes; };
    p.SetFrame(2);
    const QImage shown = p.Image();
    EXPECT_EQ(shown.size(), QSize(4, 3));
    EXPECT_NO_THROW(p.SetFrame(3));
    EXPECT_EQ(p.Frame(), 2);
    EXPECT_EQ(p.FrameLeft(), 2);
    EXPECT_EQ(p.Image(), shown);
    EXPECT_EQ(changes, 1);
    p.SetFrame(1);
    EXPECT_EQ(p.Frame(), 1);
    EXPECT_EQ(changes, 2);
}

TEST(PictureGif, AGifLargerThanTheCapIsRefused)
{
    // One pixel in a logical screen of 27 million: the canvas is what counts.
    THTMLPicture p;
    try {
        Load(p, picturebombs::GifDeclaring(5200, 5200, {{}}));
        FAIL() << "no error";
    } catch (const EPictureLoadError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Could not load image. Invalid format"));
    }
    EXPECT_TRUE(p.Image().isNull());
    // The same frame on a small screen shows.
    Load(p, picturebombs::GifDeclaring(8, 8, {{}}));
    EXPECT_EQ(p.Image().size(), QSize(8, 8));
}

TEST(PictureGif, AFailedLoadKeepsTheShownPicture)
{
    THTMLPicture p;
    Load(p, Fixture("three.gif"));
    const QImage shown = p.Image();
    try {
        Load(p, QByteArray("GIF89a but nothing after it"));
        FAIL() << "no error";
    } catch (const EPictureLoadError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Could not load image. Invalid format"));
    }
    EXPECT_EQ(p.Image(), shown);
}

TEST(PictureGif, AFrameCountsOnlyWithACompleteImageDescriptor)
{
    const QByteArray gif = Fixture("three.gif");
    const QVector<int> starts = picturedecoder::FrameStarts(gif);
    ASSERT_EQ(starts.size(), 3);
    const int third = starts[2];
    // Cut inside the third frame's image descriptor: two frames remain.
    for (int cut = third + 9; cut < third + 18; ++cut) {
        const QByteArray part = gif.left(cut);
        EXPECT_EQ(picturedecoder::FrameStarts(part).size(), 2) << cut;
        THTMLPicture p;
        Load(p, part);
        EXPECT_EQ(p.GetFrameCount(), 2) << cut;
        p.SetFrame(3);
        EXPECT_EQ(p.Frame(), 1) << cut;
    }
    EXPECT_EQ(picturedecoder::FrameStarts(gif.left(third + 18)).size(), 3);
}

TEST(PictureGif, EveryTruncationIsReadWithinItsBytes)
{
    // Run under the address sanitizer: no read past the data, whatever the cut.
    const QByteArray gif = Fixture("three.gif");
    for (int cut = 0; cut <= gif.size(); ++cut) {
        const QByteArray part(gif.constData(), cut); // own buffer of exactly cut bytes
        THTMLPicture p;
        try {
            Load(p, part);
        } catch (const EPictureLoadError&) { }
        const int frames = p.GetFrameCount();
        EXPECT_LE(frames, 3);
        for (int f = 1; f <= 3; ++f) {
            try {
                p.SetFrame(f);
            } catch (const EPictureLoadError&) { }
        }
        const picturedecoder::GifFrame fr = picturedecoder::ExtractGifFrame(part, 2);
        EXPECT_LE(fr.bytes.size(), part.size());
    }
    // A header too short for the logical screen size.
    const picturedecoder::GifFrame tiny = picturedecoder::ExtractGifFrame(QByteArray("GIF89a"), 1);
    EXPECT_EQ(tiny.screenWidth, 0);
}

TEST(PictureGif, AGifWithoutFrameStartsLoadsWhole)
{
    THTMLPicture p;
    Load(p, Fixture("plain.gif"));
    EXPECT_EQ(p.GetFrameCount(), 0);
    EXPECT_EQ(p.Width(), 4);
    EXPECT_EQ(p.Height(), 2);
    EXPECT_EQ(p.GetPictureWidth(), 4);
    EXPECT_TRUE(IsNear(p.Image().pixel(3, 1), 0, 0, 255));
}

TEST(PictureFormats, JpegDecodedByLibjpeg)
{
    const QByteArray jpeg = Encode(TwoColour(16, 8), "jpeg", 100);
    ASSERT_TRUE(jpeg.startsWith("\xFF\xD8"));
    const QImage direct = PictureReader::ReadJpeg(jpeg);
    ASSERT_FALSE(direct.isNull());
    THTMLPicture p;
    Load(p, jpeg);
    EXPECT_EQ(p.GetFrameCount(), -1);
    EXPECT_EQ(p.Width(), 16);
    EXPECT_EQ(p.Height(), 8);
    EXPECT_EQ(p.GetPictureWidth(), 16);
    EXPECT_TRUE(IsNear(p.Image().pixel(2, 4), 255, 0, 0));
    EXPECT_TRUE(IsNear(p.Image().pixel(13, 4), 0, 0, 255));
    // Grey pictures come out as grey RGB.
    QImage grey(8, 8, QImage::Format_Grayscale8);
    grey.fill(128);
    const QImage g = PictureReader::ReadJpeg(Encode(grey, "jpeg", 100));
    ASSERT_FALSE(g.isNull());
    EXPECT_TRUE(IsNear(g.pixel(4, 4), 128, 128, 128));
}

TEST(PictureFormats, TruncatedJpegs)
{
    QImage noisy = TwoColour(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            if ((x * 7 + y * 13) % 5 == 0) noisy.setPixel(x, y, 0xFF808080);
    const QByteArray jpeg = Encode(noisy, "jpeg", 90);
    const qsizetype scan = jpeg.indexOf("\xFF\xDA");
    ASSERT_GT(scan, 0);
    // Cut in the header: no picture.
    THTMLPicture p;
    EXPECT_THROW(Load(p, jpeg.left(40)), EPictureLoadError);
    // Cut inside the picture data: what is there is shown at full size.
    THTMLPicture q;
    ASSERT_NO_THROW(Load(q, jpeg.left(scan + (jpeg.size() - scan) / 2)));
    EXPECT_EQ(q.Width(), 64);
    EXPECT_EQ(q.Height(), 64);
    // The first rows arrived: reddish on the left, bluish on the right.
    EXPECT_GT(qRed(q.Image().pixel(2, 0)), qBlue(q.Image().pixel(2, 0)) + 60);
    EXPECT_GT(qBlue(q.Image().pixel(60, 0)), qRed(q.Image().pixel(60, 0)) + 60);
    // Every cut is read within its bytes (address sanitizer).
    for (int cut = 0; cut < jpeg.size(); cut += 7) {
        const QByteArray part(jpeg.constData(), cut);
        const QImage img = PictureReader::ReadJpeg(part);
        if (!img.isNull()) { EXPECT_EQ(img.width(), 64); }
    }
}

TEST(PictureFormats, BitmapsAndIcons)
{
    TBitmap bmp(5, 3);
    bmp.Canvas().SetPixel(4, 2, clBlue);
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    bmp.SaveToStream(buf);
    const QByteArray data = buf.data();
    THTMLPicture p;
    Load(p, data);
    EXPECT_EQ(p.Width(), 5);
    EXPECT_EQ(p.GetFrameCount(), -1);
    EXPECT_EQ(p.Image().pixel(4, 2) & 0xFFFFFF, 0x0000FFu);
    // A bitmap short of its pixels is refused; so is every other cut.
    THTMLPicture q;
    EXPECT_THROW(Load(q, data.left(data.size() - 3)), EPictureLoadError);
    for (int cut = 0; cut < data.size(); ++cut) {
        THTMLPicture r;
        EXPECT_THROW(Load(r, QByteArray(data.constData(), cut)), EPictureLoadError) << cut;
    }
    // Icons through the icon reader.
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(0xFF00FF00);
    const QByteArray ico = Encode(icon, "ico");
    ASSERT_FALSE(ico.isEmpty());
    THTMLPicture i;
    Load(i, ico);
    EXPECT_EQ(i.Width(), 16);
    EXPECT_TRUE(IsNear(i.Image().pixel(8, 8), 0, 255, 0));
}

TEST(PictureFormats, AnIconHoldingAPictureBombIsRefusedCheaply)
{
    // 63 bytes: an icon whose PNG declares a 2 GiB text chunk.
    const QByteArray ico = picturebombs::IconHolding(picturebombs::PngDeclaringText(0x7FFFFFFF));
    THTMLPicture p;
    const qint64 growth = peakmemory::PeakGrowth([&] { EXPECT_THROW(Load(p, ico), EPictureLoadError); });
    EXPECT_GE(growth, 0);
    EXPECT_LT(growth, qint64(64) << 20);
    EXPECT_EQ(p.Width(), 0); // nothing is shown
}

TEST(PictureFormats, NoPictureRaisesFromStreamsButNotFromFiles)
{
    THTMLPicture p;
    try {
        Load(p, QByteArray("just some text"));
        FAIL() << "no error";
    } catch (const EPictureLoadError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Could not load image. Invalid format"));
    }
    THTMLPicture f;
    EXPECT_NO_THROW(
        f.LoadFromFile(testsupport::SourcePath(QStringLiteral("tests/controls/fixtures/pictures/notapicture.txt"))));
    EXPECT_TRUE(f.Empty());
    EXPECT_NO_THROW(f.LoadFromFile(QStringLiteral("/no/such/file.gif")));
    EXPECT_TRUE(f.Empty());
}

TEST(PictureFormats, DrawnAtItsSizeForTheDeviceOrStretched)
{
    THTMLPicture p;
    Load(p, Encode(TwoColour(16, 8), "bmp"));
    TRecordingCanvas screen(96);
    p.Draw(screen, TRect(10, 10, 100, 100));
    TRecordingCanvas printer(192);
    p.Draw(printer, TRect(10, 10, 100, 100));
    p.SetStretch(true);
    TRecordingCanvas stretched(96);
    p.Draw(stretched, TRect(10, 10, 100, 100));
    ASSERT_EQ(screen.CallsOf(QStringLiteral("DrawImage")).size(), 1);
    EXPECT_EQ(screen.Calls()[0].Rect, TRect(10, 10, 26, 18));
    EXPECT_EQ(printer.Calls()[0].Rect, TRect(10, 10, 42, 26));
    EXPECT_EQ(stretched.Calls()[0].Rect, TRect(10, 10, 100, 100));
    THTMLPicture empty;
    TRecordingCanvas none;
    empty.Draw(none, TRect(0, 0, 10, 10));
    EXPECT_TRUE(none.Calls().isEmpty());
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_EQ(empty.GetPictureWidth(), 0);
}

TEST(PictureReferences, ResourcesByName)
{
    THTMLPicture p;
    p.LoadFromUrl(QStringLiteral("res://pictest_anim"));
    EXPECT_EQ(p.ID(), QStringLiteral("RES://PICTEST_ANIM"));
    EXPECT_FALSE(p.Empty());
    EXPECT_EQ(p.GetFrameCount(), 3);
    // A resource that is no picture: the load raises (the renderer catches it).
    THTMLPicture bad;
    EXPECT_THROW(bad.LoadFromUrl(QStringLiteral("RES://PICTEST_NOTAPIC")), EPictureLoadError);
    EXPECT_EQ(bad.ID(), QStringLiteral("RES://PICTEST_NOTAPIC"));
    // A missing resource or an empty name leaves the picture unchanged.
    THTMLPicture missing;
    EXPECT_NO_THROW(missing.LoadFromUrl(QStringLiteral("RES://NOSUCHRESOURCE")));
    EXPECT_TRUE(missing.Empty());
    missing.LoadFromUrl(QStringLiteral("RES://"));
    EXPECT_EQ(missing.ID(), QStringLiteral("RES://"));
    EXPECT_TRUE(missing.Empty());
    // Bitmap resources are not RCDATA.
    THTMLPicture glyph;
    glyph.LoadFromResourceName(QStringLiteral("ESGCHK01"));
    EXPECT_TRUE(glyph.Empty());
}

TEST(PictureReferences, FilesAreOpenedWithTheCaseAsWritten)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("MixedCase.gif"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(Fixture("three.gif"));
    }
    THTMLPicture p;
    p.LoadFromUrl(QStringLiteral("file://") + path);
    EXPECT_FALSE(p.Empty());
    EXPECT_EQ(p.GetFrameCount(), 3);
    EXPECT_EQ(p.ID(), (QStringLiteral("FILE://") + path).toUpper());
    // The upper-cased path is another file here.
    THTMLPicture upper;
    upper.LoadFromUrl((QStringLiteral("FILE://") + path).toUpper());
    EXPECT_TRUE(upper.Empty());
    THTMLPicture none;
    none.LoadFromUrl(QStringLiteral("FILE://"));
    EXPECT_TRUE(none.Empty());
}

TEST(PictureReferences, OnlyRegularFilesOfBoundedSizeAreRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A folder.
    THTMLPicture folder;
    folder.LoadFromUrl(QStringLiteral("FILE://") + dir.path());
    EXPECT_TRUE(folder.Empty());
    // A named pipe: reading it would wait for ever.
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    THTMLPicture pipe;
    pipe.LoadFromUrl(QStringLiteral("FILE://") + fifo);
    EXPECT_TRUE(pipe.Empty());
    // A file above the size cap (sparse: nothing is written).
    const QString big = dir.filePath(QStringLiteral("big.gif"));
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(Fixture("three.gif"));
        ASSERT_TRUE(f.resize(THTMLPicture::MaxFileSize + 1));
    }
    THTMLPicture large;
    large.LoadFromUrl(QStringLiteral("FILE://") + big);
    EXPECT_TRUE(large.Empty());
    EXPECT_TRUE(large.Data().isEmpty());
}

TEST(PictureReferences, UrlsAreRecordedButNeverFetched)
{
    THTMLPicture sync;
    sync.SetAsynchronous(false);
    sync.LoadFromUrl(QStringLiteral("http://host/pic.gif"));
    EXPECT_EQ(sync.URL(), QStringLiteral("HTTP://HOST/PIC.GIF"));
    EXPECT_EQ(sync.ID(), QStringLiteral("HTTP://HOST/PIC.GIF"));
    EXPECT_TRUE(sync.Empty());
    EXPECT_FALSE(sync.Busy());
    THTMLPicture async;
    async.LoadFromUrl(QStringLiteral("http://host/a.gif"));
    EXPECT_TRUE(async.Busy());
    EXPECT_EQ(async.URL(), QStringLiteral("HTTP://HOST/A.GIF"));
    EXPECT_TRUE(async.ID().isEmpty());
    async.LoadFromUrl(QStringLiteral("http://host/b.gif"));
    EXPECT_EQ(async.URL(), QStringLiteral("HTTP://HOST/A.GIF"));
    EXPECT_TRUE(async.Empty());
    // The thread does nothing and ends.
    TDownLoadThread thread(&async);
    EXPECT_EQ(thread.Picture(), &async);
}

TEST(PictureObjects, AssignAndStreaming)
{
    THTMLPicture a;
    Load(a, Fixture("three.gif"));
    a.SetFrame(2);
    THTMLPicture b;
    int changes = 0;
    b.OnChange = [&](TGraphic*) { ++changes; };
    b.Assign(&a);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(b.Data(), a.Data());
    EXPECT_EQ(b.Frame(), 1);
    EXPECT_EQ(b.GetFrameCount(), 3);
    EXPECT_FALSE(b.Empty());
    b.Assign(nullptr);
    EXPECT_TRUE(b.Empty());
    EXPECT_TRUE(b.Data().isEmpty());
    EXPECT_EQ(b.GetPictureWidth(), 0);
    // Form-file streaming fires no change event.
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    a.WriteData(out);
    QBuffer in;
    in.setData(out.data());
    in.open(QIODevice::ReadOnly);
    changes = 0;
    b.ReadData(in);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(b.GetFrameCount(), 3);
    // New bytes are counted anew.
    Load(b, Fixture("plain.gif"));
    EXPECT_EQ(b.GetFrameCount(), 0);
    EXPECT_EQ(changes, 1);
}

TEST(PictureObjects, CacheFindsByExactId)
{
    THTMLPictureCache cache;
    THTMLPicture* one = cache.AddPicture();
    one->SetAsynchronous(false);
    one->LoadFromUrl(QStringLiteral("http://a"));
    THTMLPicture* two = cache.AddPicture();
    two->LoadFromUrl(QStringLiteral("RES://PICTEST_ANIM"));
    EXPECT_EQ(cache.Count(), 2);
    EXPECT_EQ(cache.FindPicture(QStringLiteral("HTTP://A")), one);
    EXPECT_EQ(cache.FindPicture(QStringLiteral("http://a")), nullptr);
    EXPECT_EQ(cache.FindPicture(QStringLiteral("RES://PICTEST_ANIM")), two);
    EXPECT_EQ(cache.Items(1), two);
    EXPECT_EQ(cache.Items(2), nullptr);
    cache.Clear();
    EXPECT_EQ(cache.Count(), 0);
}

TEST(PictureObjects, ContainerFindsByUpperCasedName)
{
    TPictureContainer container;
    TPictureItem* logo = container.Items().Add();
    logo->SetName(QStringLiteral("Logo"));
    logo->SetTag(7);
    Load(logo->Picture(), Fixture("plain.gif"));
    EXPECT_EQ(container.FindPicture(QStringLiteral("LOGO")), &logo->Picture());
    EXPECT_EQ(container.FindPicture(QStringLiteral("Logo")), nullptr);
    EXPECT_EQ(container.FindPicture(QStringLiteral("OTHER")), nullptr);
    // Assigning the items copies them.
    TPictureContainer copy;
    copy.SetItems(container.Items());
    ASSERT_EQ(copy.Items().Count(), 1);
    EXPECT_EQ(copy.Items().Items(0)->Name(), QStringLiteral("Logo"));
    EXPECT_EQ(copy.Items().Items(0)->Tag(), 7);
    THTMLPicture* copied = copy.FindPicture(QStringLiteral("LOGO"));
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied, &logo->Picture());
    EXPECT_EQ(copied->Data(), logo->Picture().Data());
    EXPECT_EQ(copy.Items().Items(0)->Collection(), &copy.Items());
    copy.Items().Delete(0);
    EXPECT_EQ(copy.FindPicture(QStringLiteral("LOGO")), nullptr);
}
