// The property search's fields and history, and its readers of the answer,
// without a server (the requests are withheld as they are about to go).

#include "protocol/TSubjectProperty.h"
#include "protocol/xml/TXMLDocument.h"
#include "tests/support/PrintQString.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

class Field : public TTextField {
public:
    QString Text() const override { return value; }
    void SetText(const QString& text) override
    {
        value = text;
        ++writes;
    }
    QString value;
    int writes = 0;
};

class SubjectProperty : public ::testing::Test {
protected:
    void SetUp() override
    {
        prop.SetVxpDocument(&doc);
        prop.SetHostServer(QStringLiteral("127.0.0.1:1"));
        prop.OnBeforeSearch = [](QObject*, bool& doSearch) { doSearch = false; };
        prop.FieldApn = &apn;
        prop.FieldStreetNumber = &stnum;
        prop.FieldStreetName = &stname;
        prop.FieldStreetDir = &stdir;
    }
    void Search()
    {
        EXPECT_THROW(prop.Search(59, 4127), Exception); // withheld
    }
    void Answer(const QByteArray& text)
    {
        QBuffer b;
        b.setData(text);
        b.open(QIODevice::ReadOnly);
        ASSERT_TRUE(doc.LoadDocument(&b));
    }

    TvxpDocument doc;
    TSubjectProperty prop;
    Field apn, stnum, stname, stdir;
};

} // namespace

TEST_F(SubjectProperty, ReadFieldsTrimsAndLeavesUnboundValues)
{
    apn.value = QStringLiteral("  512-034-019\t");
    stname.value = QStringLiteral(" ALDER CREEK ");
    prop.Values.city = QStringLiteral("kept");
    prop.ReadFields();
    EXPECT_EQ(prop.Values.apn, QStringLiteral("512-034-019"));
    EXPECT_EQ(prop.Values.stname, QStringLiteral("ALDER CREEK"));
    EXPECT_EQ(prop.Values.city, QStringLiteral("kept"));
    prop.Values.stnum = QStringLiteral(" 12 ");
    prop.WriteFields();
    EXPECT_EQ(stnum.value, QStringLiteral(" 12 ")); // written as it stands
}

TEST_F(SubjectProperty, AFieldThatGoesAwayIsForgotten)
{
    auto* zip = new Field;
    zip->value = QStringLiteral("93602");
    prop.FieldZip = zip;
    prop.ReadFields();
    EXPECT_EQ(prop.Values.zip, QStringLiteral("93602"));
    delete zip;
    EXPECT_TRUE(prop.FieldZip.isNull());
    prop.ReadFields();
    prop.WriteFields();
    EXPECT_EQ(prop.Values.zip, QStringLiteral("93602"));
}

TEST_F(SubjectProperty, HistoryKeepsDistinctSearchesInOrder)
{
    apn.value = QStringLiteral("A");
    Search();
    Search(); // the same values: one entry
    ASSERT_EQ(prop.History().size(), 1u);
    apn.value = QStringLiteral("B");
    Search();
    ASSERT_EQ(prop.History().size(), 2u);
    EXPECT_EQ(prop.HistoryIndex(), 1);

    // Right after a search, Back shows that same search, then the one before.
    apn.value = QStringLiteral("typed but not searched");
    prop.HistoryBack();
    EXPECT_EQ(apn.value, QStringLiteral("B"));
    prop.HistoryBack();
    EXPECT_EQ(apn.value, QStringLiteral("A"));
    prop.HistoryBack(); // stays at the first
    EXPECT_EQ(apn.value, QStringLiteral("A"));
    EXPECT_EQ(prop.HistoryIndex(), 0);
    prop.HistoryForward();
    EXPECT_EQ(apn.value, QStringLiteral("B"));
    prop.HistoryForward(); // stays at the last
    EXPECT_EQ(apn.value, QStringLiteral("B"));

    // Searching an earlier search again adds nothing and keeps the index.
    prop.HistoryBack();
    prop.HistoryBack();
    apn.value = QStringLiteral("A");
    Search();
    EXPECT_EQ(prop.History().size(), 2u);
    EXPECT_EQ(prop.HistoryIndex(), 0);

    // A blank search adds nothing; Clear empties values and fields, not the history.
    prop.Clear();
    EXPECT_TRUE(prop.Values.IsEmpty());
    EXPECT_EQ(apn.value, QString());
    Search();
    EXPECT_EQ(prop.History().size(), 2u);
}

TEST_F(SubjectProperty, EmptyHistoryNavigationDoesNothing)
{
    apn.value = QStringLiteral("x");
    prop.HistoryBack();
    prop.HistoryForward();
    EXPECT_EQ(apn.value, QStringLiteral("x"));
    EXPECT_EQ(apn.writes, 0);
}

TEST_F(SubjectProperty, ElementTextReadsTheFirstOfTheName)
{
    Answer("<vxp><prop.data parcel=\"5\"><apn>1-2</apn><empty/><apn>second</apn><x><bed>9</bed></x><bed>3</bed>"
           "</prop.data></vxp>");
    EXPECT_EQ(prop.ElementText(QStringLiteral("apn")), QStringLiteral("1-2"));
    EXPECT_EQ(prop.ElementText(QStringLiteral("bed")), QStringLiteral("3")); // direct children only
    EXPECT_EQ(prop.ElementText(QStringLiteral("empty")), QString());
    EXPECT_EQ(prop.ElementText(QStringLiteral("APN")), QString());
}

TEST_F(SubjectProperty, SoldPriceOfTheFirstTransaction)
{
    Answer("<vxp><prop.data><sold_price>$1</sold_price><trx><rec><sold_price>$350,000</sold_price></rec>"
           "<rec><sold_price>$1,000</sold_price></rec></trx></prop.data></vxp>");
    EXPECT_EQ(prop.SoldPrice(), 350000);
    // The last sold_price of the first rec wins; one without text is passed over.
    Answer("<vxp><prop.data><trx><rec><sold_price>$2</sold_price><sold_price>$3</sold_price><sold_price/></rec>"
           "</trx></prop.data></vxp>");
    EXPECT_EQ(prop.SoldPrice(), 3);
    Answer("<vxp><prop.data><trx><sale><sold_price>$2</sold_price></sale></trx></prop.data></vxp>");
    EXPECT_EQ(prop.SoldPrice(), 0);
    Answer("<vxp><prop.data><trx><rec><sold_price>n/a</sold_price></rec></trx></prop.data></vxp>");
    EXPECT_EQ(prop.SoldPrice(), 0);
    Answer("<vxp><prop.data/></vxp>");
    EXPECT_EQ(prop.SoldPrice(), 0);
}
