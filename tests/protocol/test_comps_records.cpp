// The comps cursor and the records' field access, over a loaded answer.

#include "protocol/TCompsRecords.h"
#include "protocol/TvxComps.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "tests/support/PrintQString.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

class CompsRecords : public ::testing::Test {
protected:
    void Load(const QByteArray& text)
    {
        QBuffer b;
        b.setData(text);
        b.open(QIODevice::ReadOnly);
        ASSERT_TRUE(doc.LoadDocument(&b));
        comps.SetVxpDocument(&doc);
        comps.LoadRecords();
        comps.Records.First();
    }
    QString Written() { return QString::fromUtf8(doc.XMLDocument()->SaveToBytes(TXMLSaveForm::Request)); }
    static QString Message(const std::function<void()>& fn)
    {
        try {
            fn();
        } catch (const Exception& e) {
            return e.Message();
        }
        return QString();
    }

    TvxpDocument doc;
    TvxComps comps;
};

const QByteArray kThree = "<vxp><comps.result>"
                          "<comp><use_rec>N</use_rec><address>1 A ST</address></comp>"
                          "<comp><use_rec/><address>2 B ST</address></comp>"
                          "<comp><address>3 C ST</address><address>dup</address></comp>"
                          "</comps.result></vxp>";

} // namespace

TEST_F(CompsRecords, TheCursorWalksAndStopsAtTheLast)
{
    Load(kThree);
    TCompsRecords& r = comps.Records;
    EXPECT_EQ(r.Count(), 3);
    EXPECT_EQ(r.LastIndex(), 2);
    EXPECT_TRUE(r.Bof());
    EXPECT_FALSE(r.Eof());
    EXPECT_EQ(r.Field(QStringLiteral("address")), QStringLiteral("1 A ST"));
    r.Next();
    EXPECT_FALSE(r.Bof());
    r.Next();
    EXPECT_EQ(r.Index(), 2);
    EXPECT_FALSE(r.Eof());
    EXPECT_EQ(r.Field(QStringLiteral("address")), QStringLiteral("3 C ST")); // the first of the name
    r.Next();
    EXPECT_TRUE(r.Eof());
    EXPECT_EQ(r.Index(), 2);
    r.First();
    EXPECT_EQ(r.Index(), 0);
    EXPECT_FALSE(r.Eof());
    EXPECT_EQ(r.Field(QStringLiteral("nothing")), QString());
}

TEST_F(CompsRecords, MarksAreWrittenIntoTheAnswer)
{
    Load(kThree);
    TCompsRecords& r = comps.Records;
    EXPECT_FALSE(r.IsUsed(0));
    r.SetUsed(0, true);
    EXPECT_TRUE(r.IsUsed(0));
    // An empty use_rec gets its text; a missing one is created.
    r.SetUsed(1, true);
    EXPECT_TRUE(r.IsUsed(1));
    r.SetUsed(2, true);
    EXPECT_TRUE(r.IsUsed(2));
    const QString text = Written();
    EXPECT_TRUE(text.contains(QStringLiteral("<use_rec>Y</use_rec>\r\n         <address>2 B ST</address>")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("<address>dup</address>\r\n         <use_rec>Y</use_rec>")));
    r.SetUsed(2, false);
    EXPECT_EQ(r.Rec(2).GetValue(QStringLiteral("use_rec")), QStringLiteral("N"));
    // A whole text, not its first character.
    r.Rec(0).SetValue(QStringLiteral("address"), QStringLiteral("99 LONG NAME RD"));
    EXPECT_EQ(r.Rec(0).GetValue(QStringLiteral("address")), QStringLiteral("99 LONG NAME RD"));
}

TEST_F(CompsRecords, IndicesOutsideTheListRaise)
{
    Load(kThree);
    TCompsRecords& r = comps.Records;
    EXPECT_EQ(Message([&] { r.IsUsed(3); }), QStringLiteral("List index out of bounds (3)"));
    EXPECT_EQ(Message([&] { r.SetUsed(-1, true); }), QStringLiteral("List index out of bounds (-1)"));
    r.SetIndex(7); // unchecked until read
    EXPECT_EQ(Message([&] { r.Field(QStringLiteral("address")); }), QStringLiteral("List index out of bounds (7)"));
}

TEST_F(CompsRecords, AnEmptyAnswerIsQuiet)
{
    Load("<vxp><comps.result/></vxp>");
    TCompsRecords& r = comps.Records;
    EXPECT_EQ(r.Count(), 0);
    EXPECT_EQ(r.LastIndex(), -1);
    EXPECT_TRUE(r.Eof());
    EXPECT_FALSE(r.IsUsed(0));
    r.SetUsed(5, true);
    EXPECT_EQ(r.Field(QStringLiteral("use_rec")), QString());
    r.Clear();
    EXPECT_TRUE(r.Eof());
    EXPECT_TRUE(r.Bof());
}

TEST(CompsSearch, IndexToParamType)
{
    EXPECT_EQ(TvxComps::IndexToParamType(0), ptAboveBelow);
    EXPECT_EQ(TvxComps::IndexToParamType(1), ptRange);
    EXPECT_EQ(TvxComps::IndexToParamType(2), ptPercent);
    EXPECT_EQ(TvxComps::IndexToParamType(3), ptIgnore);
    EXPECT_EQ(TvxComps::IndexToParamType(-1), ptIgnore);
    EXPECT_EQ(TvxComps::IndexToParamType(9), ptIgnore);
}
