// The service document: the envelope it builds, what it reads back, the
// refusal of document type declarations in answers, and the pictures it
// carries as Base64 text.

#include "platform/graphics/EInvalidGraphic.h"
#include "tests/support/PictureBombs.h"
#include "protocol/StreamCodecs.h"
#include "protocol/TMetafilePicture.h"
#include "protocol/TvxpDocument.h"
#include "protocol/xml/EXMLParserError.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "tests/support/PrintQString.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

bool Load(TvxpDocument& doc, const QByteArray& text, bool answer = false)
{
    QBuffer b;
    b.setData(text);
    b.open(QIODevice::ReadOnly);
    return answer ? doc.LoadServiceAnswer(&b) : doc.LoadDocument(&b);
}

QString RequestText(const TvxpDocument& doc)
{
    return QString::fromUtf8(doc.XMLDocument()->SaveToBytes(TXMLSaveForm::Request));
}

// A placeable metafile: header, META header, a rectangle, EOF.
QByteArray SmallMetafile(bool goodChecksum = true)
{
    QByteArray d;
    auto w16 = [&](quint16 v) {
        d.append(char(v & 0xFF));
        d.append(char(v >> 8));
    };
    auto w32 = [&](quint32 v) {
        w16(quint16(v & 0xFFFF));
        w16(quint16(v >> 16));
    };
    w32(0x9AC6CDD7u);
    w16(0);
    w16(0), w16(0), w16(1440), w16(720);
    w16(1440);
    w32(0);
    quint16 sum = 0;
    for (int i = 0; i < 10; ++i) sum ^= qFromLittleEndian<quint16>(d.constData() + 2 * i);
    w16(goodChecksum ? sum : quint16(sum ^ 1));
    // META header: type, header words, version, size (words), objects, max record, 0
    w16(1), w16(9), w16(0x0300), w32(9 + 7 + 3), w16(0), w32(7), w16(0);
    w32(7), w16(0x041B), w16(100), w16(100), w16(10), w16(10); // Rectangle
    w32(3), w16(0);                                            // EOF
    return d;
}

} // namespace

TEST(TvxpDocument, NewDocumentBuildsTheEnvelopeInOrder)
{
    TvxpDocument doc;
    doc.VxpTypeName = QStringLiteral("prop.get");
    doc.VxpTypeVersion = QStringLiteral("1.0");
    doc.SetUserId(7);
    doc.SetCounty(12);
    doc.NewDocument();
    EXPECT_EQ(RequestText(doc),
              QStringLiteral("<?xml version = \"1.0\" standalone = \"yes\"?>\r\n\r\n<vxp>\r\n"
                             "   <prop.get version = \"1.0\" UserID = \"7\" County = \"12\" LogEvent = \"N\"/>\r\n"
                             "</vxp>"));
    ASSERT_NE(doc.RootElement(), nullptr);
    EXPECT_EQ(doc.RootElement()->getTagName(), QStringLiteral("vxp"));
    EXPECT_EQ(doc.RequestElement()->getTagName(), QStringLiteral("prop.get"));

    // SetUserId adds the second spelling; UserID keeps its value.
    doc.SetUserId(5);
    EXPECT_EQ(doc.RequestElement()->getAttribute(QStringLiteral("UserID")), QStringLiteral("7"));
    EXPECT_EQ(doc.RequestElement()->getAttribute(QStringLiteral("UserId")), QStringLiteral("5"));
    doc.SetCounty(3);
    EXPECT_EQ(doc.RequestElement()->getAttribute(QStringLiteral("County")), QStringLiteral("3"));
    doc.SetLogEvent(true);
    EXPECT_EQ(doc.RequestElement()->getAttribute(QStringLiteral("LogEvent")), QStringLiteral("Y"));
    doc.SetEvent(QStringLiteral("PROP_FOUND"));
    EXPECT_EQ(doc.RequestElement()->getAttribute(QStringLiteral("Event")), QStringLiteral("PROP_FOUND"));
    // The next document carries the flag and the id set since.
    doc.NewDocument();
    EXPECT_EQ(doc.RequestElement()->getAttribute(QStringLiteral("LogEvent")), QStringLiteral("Y"));
    EXPECT_EQ(doc.RequestElement()->getAttribute(QStringLiteral("UserID")), QStringLiteral("5"));
    EXPECT_TRUE(doc.RequestElement()->getAttribute(QStringLiteral("Event")).isEmpty());
}

TEST(TvxpDocument, SettersBeforeAnyDocumentOnlyStore)
{
    TvxpDocument doc;
    doc.SetUserId(9);
    doc.SetLogEvent(true);
    EXPECT_EQ(doc.XMLDocument(), nullptr);
    EXPECT_EQ(doc.RequestElement(), nullptr);
    EXPECT_EQ(doc.UserId(), 9);
    EXPECT_TRUE(doc.LogEvent());
}

TEST(TvxpDocument, LoadReadsTheEnvelope)
{
    TvxpDocument doc;
    ASSERT_TRUE(Load(doc,
                     "<vxp><prop.list version=\"2.1\" UserId=\"x\" County=\"3\" event=\"E\" LogEvent=\"y\">"
                     "<prop/></prop.list></vxp>"));
    EXPECT_EQ(doc.VxpTypeName, QStringLiteral("prop.list"));
    EXPECT_EQ(doc.VxpTypeVersion, QStringLiteral("2.1"));
    EXPECT_EQ(doc.UserId(), 0);
    EXPECT_EQ(doc.County(), 3);
    EXPECT_EQ(doc.Event(), QStringLiteral("E"));
    EXPECT_FALSE(doc.LogEvent());
    // Reading the flag does not write it back.
    EXPECT_EQ(doc.RequestElement()->getAttribute(QStringLiteral("LogEvent")), QStringLiteral("y"));

    ASSERT_TRUE(Load(doc, "<vxp><a UserId=\"42\" LogEvent=\"Y\"/><b/></vxp>"));
    EXPECT_EQ(doc.VxpTypeName, QStringLiteral("a"));
    EXPECT_EQ(doc.UserId(), 42);
    EXPECT_TRUE(doc.LogEvent());
}

TEST(TvxpDocument, LoadOfAnotherShapeIsFalseAndKeepsTheValues)
{
    TvxpDocument doc;
    ASSERT_TRUE(Load(doc, "<vxp><prop.data County=\"8\" UserId=\"4\"/></vxp>"));
    const QByteArray shapes[] = {"<other><prop.data/></other>", "<vxp/>", "<vxp>text only</vxp>"};
    for (const QByteArray& s : shapes) {
        EXPECT_FALSE(Load(doc, s)) << s.constData();
        EXPECT_EQ(doc.VxpTypeName, QStringLiteral("prop.data"));
        EXPECT_EQ(doc.County(), 8);
        EXPECT_EQ(doc.UserId(), 4);
        EXPECT_EQ(doc.RequestElement(), nullptr);
    }
    // A root of another name is no root; an empty vxp root is one.
    Load(doc, "<other/>");
    EXPECT_EQ(doc.RootElement(), nullptr);
    Load(doc, "<vxp/>");
    EXPECT_NE(doc.RootElement(), nullptr);
}

TEST(TvxpDocument, ParseErrorsPropagateAndLeaveNoElements)
{
    TvxpDocument doc;
    ASSERT_TRUE(Load(doc, "<vxp><a/></vxp>"));
    EXPECT_THROW(Load(doc, "<vxp><a></b></vxp>"), EXMLParserError);
    EXPECT_EQ(doc.RootElement(), nullptr);
    EXPECT_EQ(doc.RequestElement(), nullptr);
}

TEST(TvxpDocument, AnswersWithADocumentTypeAreRefused)
{
    const QByteArray withDoctype[] = {
        "<?xml version=\"1.0\"?><!DOCTYPE vxp [<!ELEMENT vxp ANY>]><vxp><a/></vxp>",
        "<!-- c --> <?pi x?>\n<!DOCTYPE vxp SYSTEM \"x.dtd\"><vxp><a/></vxp>",
        "\xEF\xBB\xBF<!doctype vxp><vxp><a/></vxp>",
        "<!DOCTYPE vxp [<!ENTITY a \"&b;&b;\"><!ENTITY b \"x\">]><vxp><a>&a;</a></vxp>",
    };
    for (const QByteArray& text : withDoctype) {
        TvxpDocument doc;
        try {
            Load(doc, text, true);
            ADD_FAILURE() << "accepted " << text.constData();
        } catch (const EXMLParserError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Illegal occurence of \"<!DOCTYPE\""));
        }
        EXPECT_EQ(doc.RequestElement(), nullptr);
    }
    // UTF-16 with its mark.
    QByteArray utf16("\xFF\xFE");
    for (QChar c : QStringLiteral("<!DOCTYPE vxp><vxp><a/></vxp>")) {
        utf16.append(char(c.unicode() & 0xFF));
        utf16.append(char(c.unicode() >> 8));
    }
    TvxpDocument doc;
    EXPECT_THROW(Load(doc, utf16, true), EXMLParserError);

    // A local file may have one; an answer without one loads.
    TvxpDocument local;
    EXPECT_TRUE(Load(local, withDoctype[0], false));
    TvxpDocument plain;
    EXPECT_TRUE(Load(plain, "<?xml version=\"1.0\"?>\n<!-- <!DOCTYPE> -->\n<vxp><a/></vxp>", true));
}

TEST(TvxpDocument, BitmapRoundTripThroughBase64)
{
    QImage image(13, 7, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x * 19, y * 31, (x + y) * 7));
    QString text;
    TvxpDocument::EncodeGraphic(image, text);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Qk"))); // "BM"
    for (const QString& line : text.split(QStringLiteral("\r\n"))) EXPECT_LE(line.size(), 76);

    QImage back;
    TvxpDocument::DecodeBitmap(QStringLiteral("  \n") + text + QStringLiteral("\n"), back);
    ASSERT_EQ(back.size(), image.size());
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image);
}

TEST(TvxpDocument, DecodingTextThatHoldsNoPictureRaisesAndKeepsThePicture)
{
    QImage kept(2, 2, QImage::Format_RGB32);
    kept.fill(Qt::red);
    const QString notAPicture = QString::fromLatin1(MimeEncode("This is not a picture at all."));
    QImage image = kept;
    EXPECT_THROW(TvxpDocument::DecodeBitmap(notAPicture, image), EInvalidGraphic);
    EXPECT_EQ(image, kept);
    EXPECT_THROW(TvxpDocument::DecodeJpeg(notAPicture, image), EInvalidGraphic);
    EXPECT_EQ(image, kept);
    TMetafilePicture metafile;
    EXPECT_THROW(TvxpDocument::DecodeMetafile(notAPicture, metafile), EInvalidGraphic);
    EXPECT_TRUE(metafile.Empty());
    EXPECT_THROW(TvxpDocument::DecodeBitmap(QString(), image), EInvalidGraphic);

    // A JPEG is not a bitmap.
    QBuffer jpeg;
    jpeg.open(QIODevice::ReadWrite);
    ASSERT_TRUE(kept.save(&jpeg, "JPEG"));
    const QString jpegText = QString::fromLatin1(MimeEncode(jpeg.data()));
    EXPECT_THROW(TvxpDocument::DecodeBitmap(jpegText, image), EInvalidGraphic);
    QImage decoded;
    TvxpDocument::DecodeJpeg(jpegText, decoded);
    EXPECT_EQ(decoded.size(), QSize(2, 2));

    // Pictures declaring far more than they carry are refused the same way.
    image = kept;
    EXPECT_THROW(TvxpDocument::DecodeBitmap(QString::fromLatin1(MimeEncode(picturebombs::BitmapDeclaring(
                                                4, 3145728, 8, 1, QByteArray("\0\1", 2)))),
                                            image),
                 EInvalidGraphic);
    EXPECT_THROW(
        TvxpDocument::DecodeJpeg(QString::fromLatin1(MimeEncode(picturebombs::JpegDeclaring(5000, 5000))), image),
        EInvalidGraphic);
    EXPECT_EQ(image, kept);
}

TEST(TvxpDocument, MetafilesAreCheckedAndKeptAsTheyCame)
{
    const QByteArray wmf = SmallMetafile();
    TMetafilePicture picture;
    TvxpDocument::DecodeMetafile(QString::fromLatin1(MimeEncode(wmf)), picture);
    EXPECT_EQ(picture.Data(), wmf);
    EXPECT_TRUE(picture.Placeable());
    EXPECT_EQ(picture.Inch(), 1440);
    EXPECT_EQ(picture.Bounds(), QRect(0, 0, 1440, 720));

    // The plain form (no placeable header) is a metafile too.
    TMetafilePicture plain;
    plain.LoadFromData(wmf.mid(22));
    EXPECT_FALSE(plain.Placeable());

    TMetafilePicture bad;
    EXPECT_THROW(bad.LoadFromData(SmallMetafile(false)), EInvalidGraphic);
    EXPECT_THROW(bad.LoadFromData(wmf.left(30)), EInvalidGraphic);
    EXPECT_TRUE(bad.Empty());
}
