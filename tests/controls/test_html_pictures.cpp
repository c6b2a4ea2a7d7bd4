// Pictures in the HTML renderer: image lists, picture containers, the
// picture cache, system icons, backgrounds and the pictures' hit results.

#include "controls/HTMLDraw.h"
#include "controls/HTMLPicture.h"
#include "platform/graphics/ImageList.h"
#include "tests/support/RecordingCanvas.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray Bmp(int w, int h, QRgb color)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "BMP");
    return bytes;
}

void Load(THTMLPicture& p, const QByteArray& bytes)
{
    QBuffer buf;
    buf.setData(bytes);
    buf.open(QIODevice::ReadOnly);
    p.LoadFromStream(buf);
}

struct PictureFixture {
    TRecordingCanvas canvas;
    THTMLDrawOptions o;
    THTMLDrawResults r;
    THTMLPictureCache cache;
    TPictureContainer container;
    TImageList list{20, 24};
    PictureFixture()
    {
        o.PictureCache = &cache;
        o.PictureContainer = &container;
        o.Images = &list;
        QImage a(20, 24, QImage::Format_RGB32);
        a.fill(Qt::red);
        list.AddImages(a);
        list.AddImages(a);
        TPictureItem* logo = container.Items().Add();
        logo->SetName(QStringLiteral("Logo"));
        Load(logo->Picture(), Bmp(6, 4, qRgb(0, 0, 255)));
        TPictureItem* big = container.Items().Add();
        big->SetName(QStringLiteral("Big"));
        Load(big->Picture(), Bmp(10, 30, qRgb(0, 255, 0)));
    }
    bool Draw(const QString& text, TRect rect = TRect(0, 0, 200, 100))
    {
        canvas.Clear();
        return HTMLDraw(canvas, text, rect, o, r);
    }
    QVector<TRect> Images() const
    {
        QVector<TRect> out;
        for (const auto& c : canvas.CallsOf(QStringLiteral("DrawImage"))) out << c.Rect;
        return out;
    }
};

TEST(HTMLPictures, ImageListEntries)
{
    PictureFixture f;
    f.Draw(QStringLiteral("a<IMG SRC=\"IDX:1\">b"));
    EXPECT_EQ(f.r.XSize, 8 + 20 + 8);
    EXPECT_EQ(f.r.YSize, 24);
    ASSERT_EQ(f.Images().size(), 1);
    EXPECT_EQ(f.Images()[0], TRect(9, 0, 29, 24));
    // Text sits on the same base line as the picture's bottom.
    for (const char* t : {"<IMG SRC=\"IDX:2\">", "<IMG SRC=\"IDX:-1\">", "<IMG SRC=\"IDX:x\">"}) {
        f.Draw(QString::fromLatin1(t));
        EXPECT_EQ(f.r.XSize, 0) << t;
        EXPECT_TRUE(f.Images().isEmpty()) << t;
    }
    // Laid out at the device's resolution.
    f.canvas.SetPixelsPerInch(192);
    f.o.CheckHeight = true;
    f.Draw(QStringLiteral("<IMG SRC=\"idx:0\">"));
    EXPECT_EQ(f.r.XSize, 40);
    EXPECT_EQ(f.r.YSize, 48);
}

TEST(HTMLPictures, PictureThatDoesNotFitStartsTheNextLine)
{
    PictureFixture f;
    f.Draw(QStringLiteral("abcd<IMG SRC=\"IDX:0\">"), TRect(0, 0, 41, 100));
    ASSERT_EQ(f.Images().size(), 1);
    EXPECT_EQ(f.Images()[0], TRect(1, 16, 21, 40));
    EXPECT_EQ(f.r.YSize, 40);
    // Alone it stays, however wide.
    f.Draw(QStringLiteral("<IMG SRC=\"IDX:0\">"), TRect(0, 0, 11, 100));
    EXPECT_EQ(f.Images().size(), 1);
    EXPECT_EQ(f.r.YSize, 24);
}

TEST(HTMLPictures, ContainerPicturesByNameAnyCase)
{
    PictureFixture f;
    f.Draw(QStringLiteral("<IMG SRC=\"logo\">x"));
    ASSERT_EQ(f.Images().size(), 1);
    EXPECT_EQ(f.Images()[0], TRect(1, 12, 7, 16));
    EXPECT_EQ(f.r.XSize, 14);
    f.Draw(QStringLiteral("<IMG SRC=\"nothing\">x"));
    EXPECT_TRUE(f.Images().isEmpty());
    EXPECT_EQ(f.r.XSize, 8);
}

TEST(HTMLPictures, AlignTopRaisesTheText)
{
    PictureFixture f;
    f.Draw(QStringLiteral("<IMG SRC=\"big\" ALIGN=\"top\">x"));
    ASSERT_EQ(f.Images().size(), 1);
    EXPECT_EQ(f.Images()[0], TRect(1, 0, 11, 30));
    EXPECT_EQ(f.r.YSize, 30);
    // Base-line offset 30 - 16: the text's bottom at 16.
    for (const auto& c : f.canvas.CallsOf(QStringLiteral("DrawText"))) {
        if (!(c.Flags & Win::DT_CALCRECT)) { EXPECT_EQ(c.Rect.Bottom, 16); }
    }
    f.Draw(QStringLiteral("<IMG SRC=\"big\" ALIGN=\"MIDDLE\">x"));
    for (const auto& c : f.canvas.CallsOf(QStringLiteral("DrawText"))) {
        if (!(c.Flags & Win::DT_CALCRECT)) { EXPECT_EQ(c.Rect.Bottom, 30 - 7); }
    }
}

TEST(HTMLPictures, WidthAndHeightAreDrawnAtTheLaidOutSize)
{
    PictureFixture f;
    f.canvas.SetPixelsPerInch(192);
    f.Draw(QStringLiteral("<IMG SRC=\"LOGO\" WIDTH=\"20\" HEIGHT=\"10\">"));
    EXPECT_EQ(f.r.XSize, 40);
    ASSERT_EQ(f.Images().size(), 1);
    EXPECT_EQ(f.Images()[0].Width(), 40);
    EXPECT_EQ(f.Images()[0].Height(), 20);
    // Without both, the picture's own size, scaled.
    f.Draw(QStringLiteral("<IMG SRC=\"LOGO\" WIDTH=\"20\">"));
    ASSERT_EQ(f.Images().size(), 1);
    EXPECT_EQ(f.Images()[0].Width(), 12);
    EXPECT_EQ(f.Images()[0].Height(), 8);
}

TEST(HTMLPictures, ResourceThatIsNoPictureIsLeftEmpty)
{
    PictureFixture f;
    const QString text = QStringLiteral("<IMG SRC=\"res://htmltest_notapicture\">x");
    EXPECT_NO_THROW(f.Draw(text));
    EXPECT_EQ(f.r.XSize, 8);
    ASSERT_EQ(f.cache.Count(), 1);
    EXPECT_TRUE(f.cache.Items(0)->Empty());
    EXPECT_EQ(f.cache.Items(0)->ID(), QStringLiteral("RES://HTMLTEST_NOTAPICTURE"));
    // Found in the cache the next time, not loaded again.
    EXPECT_NO_THROW(f.Draw(text));
    EXPECT_EQ(f.cache.Count(), 1);
    EXPECT_EQ(f.canvas.Runs(), QStringList{QStringLiteral("x")});
}

TEST(HTMLPictures, FilePicturesLoadWithThePathAsWritten)
{
    PictureFixture f;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("MixedCase.bmp"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Bmp(5, 3, qRgb(1, 2, 3)));
    file.close();
    f.Draw(QStringLiteral("<IMG SRC=\"FILE://%1\">").arg(path));
    EXPECT_EQ(f.r.XSize, 5);
    ASSERT_EQ(f.Images().size(), 1);
    ASSERT_EQ(f.cache.Count(), 1);
    EXPECT_EQ(f.cache.Items(0)->ID(), (QStringLiteral("FILE://") + path).toUpper());
    // Any other reference stays empty and takes no room.
    f.Draw(QStringLiteral("<IMG SRC=\"http://example.invalid/p.gif\">"));
    EXPECT_EQ(f.r.XSize, 0);
}

TEST(HTMLPictures, PictureInsideAnAnchorIsHitAndShowsItsAlternative)
{
    PictureFixture f;
    f.o.XPos = 5;
    f.o.YPos = 10;
    const QString text = QStringLiteral("<A HREF=\"go\"><IMG SRC=\"IDX:0\" ALT=\"logo\"></A>");
    EXPECT_TRUE(f.Draw(text));
    EXPECT_EQ(f.r.AnchorVal, QStringLiteral("go"));
    // Drawn in its place: the alternative picture in the laid-out box.
    ASSERT_EQ(f.Images().size(), 1);
    EXPECT_EQ(f.Images()[0], TRect(1, 0, 21, 24));
    EXPECT_EQ(f.canvas.CallsOf(QStringLiteral("DrawImage"))[0].Rect2, TRect(0, 0, 6, 4));
    f.o.XPos = 50;
    EXPECT_FALSE(f.Draw(text));
    EXPECT_EQ(f.canvas.CallsOf(QStringLiteral("DrawImage"))[0].Rect2, TRect(0, 0, 20, 24));
    // Outside an anchor a picture is no hit.
    f.o.XPos = 5;
    EXPECT_FALSE(f.Draw(QStringLiteral("<IMG SRC=\"IDX:0\">")));
}

// In a line taller than a picture or control, both sit on the line's
// bottom, and that is where the mouse finds them, drawing or not.
TEST(HTMLPictures, PicturesAndControlsAreHitWhereTheyAreDrawn)
{
    PictureFixture f;
    // The picture (20 x 24) in a line 30 high: drawn from y 6 to 30.
    const QString text = QStringLiteral("<A HREF=\"go\"><IMG SRC=\"IDX:0\" ALT=\"logo\"></A><IMG SRC=\"big\">");
    for (bool hotSpot : {false, true}) {
        SCOPED_TRACE(hotSpot);
        f.o.CheckHotSpot = hotSpot;
        f.o.XPos = 5;
        f.o.YPos = 27;
        EXPECT_TRUE(f.Draw(text));
        EXPECT_EQ(f.r.AnchorVal, QStringLiteral("go"));
        if (!hotSpot) {
            ASSERT_EQ(f.Images().size(), 2);
            EXPECT_EQ(f.Images()[0], TRect(1, 6, 21, 30));
            EXPECT_EQ(f.canvas.CallsOf(QStringLiteral("DrawImage"))[0].Rect2, TRect(0, 0, 6, 4));
        }
        f.o.YPos = 3;
        EXPECT_FALSE(f.Draw(text));
        EXPECT_TRUE(f.r.AnchorVal.isEmpty());
    }

    // A check box (16 x 16) beside the picture: drawn from y 8 to 24.
    const QString check =
        QStringLiteral("<IMG SRC=\"IDX:0\"><CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"true\" WIDTH=\"16\">");
    f.o.CheckHotSpot = true;
    f.o.XPos = 25;
    f.o.YPos = 20;
    EXPECT_TRUE(f.Draw(check));
    EXPECT_EQ(f.r.ControlRect, TRect(21, 8, 37, 24));
    EXPECT_EQ(f.r.CID, QStringLiteral("c"));
    f.o.YPos = 4;
    EXPECT_FALSE(f.Draw(check));
    EXPECT_EQ(f.r.ControlRect, TRect());
}

TEST(HTMLPictures, BodyBackgroundIsTiledOverTheRectangle)
{
    PictureFixture f;
    f.Draw(QStringLiteral("<BODY BACKGROUND=\"Logo\">x"), TRect(0, 0, 20, 10));
    const auto tiles = f.Images();
    ASSERT_EQ(tiles.size(), 4 * 3);
    EXPECT_EQ(tiles[0], TRect(0, 0, 6, 4));
    EXPECT_EQ(tiles.back(), TRect(18, 8, 24, 12));
    for (const auto& c : f.canvas.CallsOf(QStringLiteral("DrawImage"))) {
        ASSERT_TRUE(c.Clip.has_value());
        EXPECT_EQ(c.Clip->boundingRect(), QRect(0, 0, 20, 10));
    }
    f.Draw(QStringLiteral("<BODY BACKGROUND=\"missing\">x"), TRect(0, 0, 20, 10));
    EXPECT_TRUE(f.Images().isEmpty());
}

TEST(HTMLPictures, AnimatedPictureFrameAtItsOffset)
{
    PictureFixture f;
    const QString text = QStringLiteral("<IMG SRC=\"RES://PICTEST_ANIM\">x");
    f.Draw(text);
    // Laid out at the GIF's logical screen (8 x 6), its box filled with the
    // entry brush colour first.
    EXPECT_EQ(f.r.XSize, 16);
    const auto fills = f.canvas.CallsOf(QStringLiteral("FillRect"));
    ASSERT_EQ(fills.size(), 1);
    EXPECT_EQ(fills[0].Rect, TRect(1, 10, 9, 16));
    EXPECT_EQ(fills[0].Brush.Color(), clWhite);
    ASSERT_EQ(f.Images().size(), 1);
    EXPECT_EQ(f.Images()[0], TRect(1, 10, 9, 16));

    THTMLPicture* pic = f.cache.FindPicture(QStringLiteral("RES://PICTEST_ANIM"));
    ASSERT_NE(pic, nullptr);
    pic->SetFrame(2);
    f.Draw(text);
    ASSERT_EQ(f.Images().size(), 1);
    EXPECT_EQ(f.Images()[0], TRect(3, 11, 7, 14));
    EXPECT_EQ(f.r.XSize, 16);
}

TEST(HTMLPictures, SystemIcons)
{
    PictureFixture f;
    f.Draw(QStringLiteral("<IMG SRC=\"SSYS:3\"><IMG SRC=\"LSYS:readme.txt\">"));
    EXPECT_EQ(f.r.XSize, 16 + 32);
    EXPECT_EQ(f.r.YSize, 32);
    ASSERT_EQ(f.Images().size(), 2);
    EXPECT_EQ(f.Images()[0], TRect(1, 16, 17, 32));
    EXPECT_EQ(f.Images()[1], TRect(17, 0, 49, 32));
}

} // namespace
