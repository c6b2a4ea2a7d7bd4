// The street-map player: records become the target's operations in frame
// units; damaged records, counts and object indexes are refused or passed
// over; image street maps go through the image readers.

#include "platform/readers/MetafilePlayer.h"
#include "platform/readers/MetafileTarget.h"
#include "tests/platform/readers/WmfBuilder.h"

#include <QBuffer>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

// Records every call as a line of text, coordinates rounded to 0.01.
class Recorder : public TMetafileTarget {
public:
    QStringList calls;
    static QString P(const QPointF& p) { return QStringLiteral("%1,%2").arg(R(p.x())).arg(R(p.y())); }
    static QString R(double v) { return QString::number(std::round(v * 100) / 100); }
    static QString Rect(const QRectF& r) { return P(r.topLeft()) + QLatin1Char(' ') + P(r.bottomRight()); }
    void SetPen(const QPen& pen) override
    {
        calls << QStringLiteral("pen %1 %2 %3").arg(pen.color().name()).arg(int(pen.style())).arg(R(pen.widthF()));
    }
    void SetBrush(const QBrush& brush) override
    {
        calls << QStringLiteral("brush %1 %2").arg(brush.color().name()).arg(int(brush.style()));
    }
    void Line(const QPointF& a, const QPointF& b) override { calls << QStringLiteral("line ") + P(a) + " " + P(b); }
    void Polyline(const QPolygonF& pts) override { calls << QStringLiteral("polyline") + Pts(pts); }
    void Polygon(const QPolygonF& pts, Qt::FillRule rule) override
    {
        calls << QStringLiteral("polygon%1").arg(rule == Qt::WindingFill ? "w" : "") + Pts(pts);
    }
    void Rectangle(const QRectF& r) override { calls << QStringLiteral("rect ") + Rect(r); }
    void Ellipse(const QRectF& r) override { calls << QStringLiteral("ellipse ") + Rect(r); }
    void Text(const QPointF& at, const QString& text, const TMetafileFont& f, const QColor& color, Qt::Alignment align,
              const QColor& bk) override
    {
        calls << QStringLiteral("text %1 \"%2\" %3 %4%5 %6 %7 %8")
                     .arg(P(at), text, f.name, R(f.height), f.bold ? "b" : "", R(f.angle), color.name())
                     .arg(QStringLiteral("%1 %2").arg(int(align)).arg(bk.isValid() ? bk.name() : "none"));
    }
    void StretchBitmap(const QRectF& r, const QImage& image) override
    {
        calls << QStringLiteral("bitmap %1 %2x%3").arg(Rect(r)).arg(image.width()).arg(image.height());
    }
    static QString Pts(const QPolygonF& pts)
    {
        QString s;
        for (const QPointF& p : pts) s += QLatin1Char(' ') + P(p);
        return s;
    }
};

// A 2 x 2 24-bit DIB.
QByteArray Dib()
{
    QByteArray d;
    Wmf::Put32(d, 40);
    Wmf::Put32(d, 2);
    Wmf::Put32(d, 2);
    Wmf::Put16(d, 1);
    Wmf::Put16(d, 24);
    for (int i = 0; i < 6; ++i) Wmf::Put32(d, 0);
    d += QByteArray(16, '\x40');
    return d;
}

QStringList Play(const QByteArray& data, bool* ok = nullptr)
{
    Recorder r;
    const bool played = TMetafilePlayer::Play(data, r, QRectF(1, 2, 10, 5));
    if (ok) *ok = played;
    return r.calls;
}

} // namespace

TEST(MetafilePlayer, ShapesPensBrushesAndTheWindowMapOntoTheFrame)
{
    Wmf w;
    w.Rec(0x020B, {100, 200})                // window origin y 100, x 200
        .Rec(0x020C, {500, 1000})            // extent 1000 x 500
        .Rec(0x02FA, {1, 20, 0, 0x00FF, 0})  // dashed red pen, 20 units wide
        .Rec(0x02FC, {0, 0xFF00, 0x0000, 0}) // solid green brush
        .Rec(0x012D, {0})
        .Rec(0x012D, {1})
        .Rec(0x0214, {100, 200})                        // move to the origin
        .Rec(0x0213, {600, 1200})                       // line to the far corner
        .Rec(0x0325, {3, 200, 100, 300, 100, 300, 200}) // polyline (x, y pairs)
        .Rec(0x0106, {2})                               // winding fill
        .Rec(0x0324, {3, 200, 100, 700, 100, 700, 600})
        .Rec(0x041B, {600, 1200, 100, 200}) // rectangle bottom, right, top, left
        .Rec(0x0418, {350, 700, 100, 200})
        .Rec(0x0538, {2, 2, 3, 200, 100, 300, 100, 200, 100, 300, 100, 300, 200});
    const QStringList calls = Play(w.Bytes());
    const QStringList expected = {
        "pen #000000 1 0",   "brush #ffffff 1",      "pen #ff0000 2 0.2",    "brush #00ff00 1",
        "line 1,2 11,7",     "polyline 1,2 2,2 2,3", "polygonw 1,2 6,2 6,7", "rect 1,2 11,7",
        "ellipse 1,2 6,4.5", "polygonw 1,2 2,2",     "polygonw 1,2 2,2 2,3",
    };
    EXPECT_EQ(calls, expected);
}

TEST(MetafilePlayer, TextFontsAndAlignmentInTheCodePageOfTheMap)
{
    Wmf w;
    QByteArray face("Times New Roman");
    face.append('\0');
    w.Rec(0x020C, {500, 1000})
        .Rec(0x02FB, {quint16(-100), 0, 900, 0, 700, 0x0001, 0, 0, 0}, face) // 100 units, 90 degrees, bold, italic
        .Rec(0x012D, {0})
        .Rec(0x0209, {0x0000, 0x00FF})                                                       // blue text
        .Rec(0x0102, {1})                                                                    // transparent background
        .Rec(0x012E, {6 | 24})                                                               // centred on the baseline
        .Rec(0x0521, {5}, QByteArray("Main\xE9", 5) + QByteArray("\x00\x64\x00\xC8\x00", 5)) // y 100, x 200
        .Rec(0x0102, {2})
        .Rec(0x0201, {0xFFFF, 0x0000}) // yellow background
        .Rec(0x012E, {0})
        .Rec(0x0A32, {50, 100, 2, 4, 0, 0, 9, 9}, QByteArray("Oak")); // clipped: a rectangle first, then 2 chars
    const QStringList calls = Play(w.Bytes());
    ASSERT_EQ(calls.size(), 4);
    EXPECT_EQ(calls[2], QStringLiteral("text 3,3 \"Main\u00E9\" Times New Roman 1b 90 #0000ff 260 none"));
    EXPECT_EQ(calls[3], QStringLiteral("text 2,2.5 \"Oa\" Times New Roman 1b 90 #0000ff 33 #ffff00"));
}

TEST(MetafilePlayer, StretchedBitmapsDecodeTheirDibs)
{
    Wmf w;
    w.Rec(0x020C, {500, 1000});
    QByteArray stretch;
    for (int v : {0x0020, 0x00CC, 0, 2, 2, 0, 0, 250, 500, 0, 0}) Wmf::Put16(stretch, quint16(v));
    // STRETCHDIB: rop, usage, source h w y x, destination h w y x, the DIB
    QByteArray rec;
    Wmf::Put32(rec, quint32(3 + (stretch.size() + Dib().size()) / 2));
    Wmf::Put16(rec, 0x0F43);
    w.Raw(rec + stretch + Dib());
    // The same with a DIB that claims 20,000 rows it does not hold: passed over.
    QByteArray big = Dib();
    big[8] = char(0x20);
    big[9] = char(0x4E);
    w.Raw(rec + stretch + big);
    EXPECT_EQ(Play(w.Bytes()).mid(2), QStringList{"bitmap 1,2 6,4.5 2x2"});
}

TEST(MetafilePlayer, DamagedChainsDrawNothingAndBadRecordsArePassedOver)
{
    Wmf good;
    good.Rec(0x020C, {500, 1000}).Rec(0x041B, {600, 1200, 100, 200});
    const QByteArray data = good.Bytes();
    bool ok = true;
    // Cut into the last record, or a record length running past the end,
    // or a length below the record header: nothing is drawn.
    EXPECT_TRUE(Play(data.left(data.size() - 10), &ok).isEmpty());
    EXPECT_FALSE(ok);
    QByteArray longer = data;
    longer[22 + 18] = char(0x7F);
    EXPECT_TRUE(Play(longer, &ok).isEmpty());
    EXPECT_FALSE(ok);
    QByteArray zero = data;
    zero[22 + 18] = 0;
    EXPECT_TRUE(Play(zero, &ok).isEmpty());
    // A chain without its end record still plays what it holds.
    EXPECT_EQ(Play(data.left(data.size() - 6), &ok).size(), 3);
    EXPECT_TRUE(ok);

    Wmf bad;
    bad.Rec(0x020C, {500, 1000})
        .Rec(0x0325, {4000, 0, 0, 10, 10})         // more points than the record holds
        .Rec(0x0538, {3, 2, 60000, 2, 0, 0, 1, 1}) // a polygon count past the record
        .Rec(0x0521, {300})                        // text longer than the record
        .Rec(0x012D, {9})                          // no such object
        .Rec(0x012D, {65535})
        .Rec(0x01F0, {40000})
        .Rec(0x041B, {1, 1})    // a rectangle without its corners
        .Rec(0x0F43, {0, 0, 0}) // a bitmap record without a bitmap
        .Rec(0x0626, {1, 2, 3}) // a record the player does not know
        .Rec(0x0418, {350, 700, 100, 200});
    const QStringList calls = Play(bad.Bytes(2), &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(calls, (QStringList{"pen #000000 1 0", "brush #ffffff 1", "polygon 1,2 1.01,2.01", "ellipse 3,3 8,5.5"}));
}

TEST(MetafilePlayer, ObjectSlotsAreReusedAndPatternObjectsHoldTheirs)
{
    Wmf w;
    w.Rec(0x020C, {500, 1000})
        .Rec(0x00F7, {0x0300, 0})       // a palette takes slot 0
        .Rec(0x02FC, {0, 0x00FF, 0, 0}) // red brush in slot 1
        .Rec(0x02FC, {0, 0xFF00, 0, 0}) // no free slot: lost
        .Rec(0x012D, {1})
        .Rec(0x01F0, {0})          // slot 0 free again
        .Rec(0x02FC, {1, 0, 0, 0}) // hollow brush in slot 0
        .Rec(0x012D, {0})
        .Rec(0x012D, {2});
    EXPECT_EQ(Play(w.Bytes(2)).mid(2), (QStringList{"brush #ff0000 1", "brush #000000 0"}));
}

TEST(MetafilePlayer, ImageStreetMapsGoThroughTheImageReaders)
{
    QImage source(4, 3, QImage::Format_RGB32);
    source.fill(Qt::darkGreen);
    for (const char* format : {"PNG", "JPEG", "BMP"}) {
        QByteArray bytes;
        QBuffer b(&bytes);
        b.open(QIODevice::WriteOnly);
        ASSERT_TRUE(source.save(&b, format));
        bool ok = false;
        EXPECT_EQ(Play(bytes, &ok), QStringList{"bitmap 1,2 11,7 4x3"}) << format;
        EXPECT_TRUE(ok);
        // Truncated to its header: nothing.
        EXPECT_TRUE(Play(bytes.left(20), &ok).isEmpty()) << format;
        EXPECT_FALSE(ok);
    }
    // A GIF of 1 x 1.
    const QByteArray gif =
        QByteArray::fromHex("47494638396101000100800000000000ffffff2c00000000010001000002024401003b");
    EXPECT_EQ(Play(gif), QStringList{"bitmap 1,2 11,7 1x1"});
    bool ok = true;
    EXPECT_TRUE(Play(QByteArray("no picture at all"), &ok).isEmpty());
    EXPECT_FALSE(ok);
    EXPECT_TRUE(Play(QByteArray(), &ok).isEmpty());
    EXPECT_FALSE(TMetafilePlayer::IsMetafile(gif));
    EXPECT_TRUE(TMetafilePlayer::IsMetafile(Wmf().Bytes()));
    EXPECT_TRUE(TMetafilePlayer::IsMetafile(Wmf().Bytes(0, false)));
}
