// The page colours and numbers, the appearance settings and the comparable-sales
// statistics against hand-computed values.

#include "state/TAppState.h"
#include "platform/core/IniFile.h"
#include "protocol/TvxComps.h"
#include "protocol/TvxpDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "report/ListingStatus.h"
#include "report/ReportColors.h"
#include "report/ReportNumbers.h"
#include "report/TReportSettings.h"
#include "report/TStatusStats.h"
#include "tests/support/PrintQString.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void LoadXml(TvxpDocument& doc, const QString& xml)
{
    QByteArray bytes = xml.toUtf8();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    doc.ValidateDocument = false;
    ASSERT_TRUE(doc.LoadDocument(&buffer));
}

} // namespace

TEST(ReportColors, BlendsRoundHalvesToEvenAndClamp)
{
    EXPECT_EQ(BlendChannel(0.5, 255, 0), 128); // 127.5
    EXPECT_EQ(BlendChannel(0.5, 1, 0), 0);     // 0.5
    EXPECT_EQ(BlendChannel(0.5, 3, 0), 2);     // 1.5
    EXPECT_EQ(BlendChannel(2.0, 255, 0), 255);
    EXPECT_EQ(PackRGB(1, 2, 3), TColor(0x030201));
    EXPECT_EQ(Lighten(0x123456, 1.5f), clWhite);
    EXPECT_EQ(Lighten(0x123456, -1.0f), TColor(0x123456));
    EXPECT_EQ(Lighten(0x0000FF, 0.5f), TColor(0x8080FF));
    // A system colour is lightened from its RGB value.
    EXPECT_EQ(Lighten(clBackground, 0.0f), ColorToRGB(clBackground));
}

TEST(ReportColors, GradientsRunFromWhiteToTheColourInsideAFrame)
{
    const QImage bar = GradientFillVertical(0x0000FF);
    ASSERT_EQ(bar.size(), QSize(60, 960));
    EXPECT_EQ(bar.pixel(30, 2), qRgb(255, 255, 255));
    // The bottom shows the colour lightened by 0.045 (band 191).
    EXPECT_EQ(bar.pixel(30, 955), QColor(255, 11, 11).rgb());
    EXPECT_EQ(bar.pixel(0, 500), qRgb(255, 0, 0));
    EXPECT_EQ(bar.pixel(1, 500), qRgb(255, 0, 0));
    const QImage band = GradientFillHorizontal(0x00FF00);
    ASSERT_EQ(band.size(), QSize(750, 30));
    EXPECT_EQ(band.pixel(4, 15), qRgb(255, 255, 255));
    // Band 93 at the right edge: lightened by 0.535.
    EXPECT_EQ(band.pixel(746, 15), QColor(136, 255, 136).rgb());
}

TEST(ReportNumbers, MoneyTextsAndListingStatusNames)
{
    EXPECT_EQ(FormatMoney(QStringLiteral("#,###"), 1234), QStringLiteral("$1,234"));
    EXPECT_EQ(FormatMoney(QStringLiteral("#,###"), 1234567.5), QStringLiteral("$1,234,568"));
    EXPECT_EQ(FormatMoney(QStringLiteral("#0.00"), 68.5), QStringLiteral("$68.50"));
    EXPECT_EQ(FormatMoney(QStringLiteral("#,###"), 0), QString());
    EXPECT_EQ(FormatMoney(QStringLiteral("#,###"), -5), QString());

    const char* names[] = {"Active", "Canceled", "Contingent", "Expired", "First Right",
                           "Hold",   "Leased",   "Pending",    "Sold",    "Withdrawn"};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(StatusCodeIndex(QString::number(i)), i);
        EXPECT_EQ(StatusCodeName(QString::number(i)), QString::fromLatin1(names[i]));
    }
    EXPECT_EQ(StatusCodeIndex(QStringLiteral("U")), 10);
    EXPECT_EQ(StatusCodeName(QStringLiteral("U")), QStringLiteral("Unknown"));
    for (const char* other : {"u", "", "10", " 8", "X"}) {
        EXPECT_EQ(StatusCodeIndex(QString::fromLatin1(other)), -1) << other;
        EXPECT_EQ(StatusCodeName(QString::fromLatin1(other)), QString()) << other;
    }
}

class ReportSettingsTest : public ::testing::Test {
protected:
    QString Ini() const { return m_dir.path() + QStringLiteral("/DEDureva.ini"); }
    void Write(const QByteArray& text)
    {
        QFile f(Ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    QTemporaryDir m_dir;
};

TEST_F(ReportSettingsTest, MissingFileGivesEveryDefault)
{
    TReportSettings s;
    s.Load(Ini());
    EXPECT_EQ(s.TabShade, 10);
    EXPECT_EQ(s.MaxRows, 31);
    EXPECT_EQ(s.SqFtGraphColor, TColor(0x00FF00));
    EXPECT_EQ(s.LargeFont.Name, QStringLiteral("Times New Roman"));
    EXPECT_EQ(s.LargeFont.Size, 24);
    EXPECT_EQ(s.LargeFont.Color, TColor(0x800000));
    EXPECT_EQ(s.MiddleFont.Name, QStringLiteral("Arial"));
    EXPECT_EQ(s.GroupFont.Size, 14);
    EXPECT_EQ(s.DistFont.Size, 20);
    EXPECT_EQ(s.Color(rcProfileBar), TColor(0x00CFFF));
    EXPECT_EQ(s.Color(rcStreetBar), TColor(0xD6B2CE));
    EXPECT_EQ(s.Color(rcDetailsBar), TColor(0x0000BD));
    EXPECT_EQ(s.Color(rcSumAnalysisBar), TColor(0xFF8080));
    EXPECT_EQ(s.Color(rcAgentTitle), TColor(0x808080));
    EXPECT_EQ(s.ReportDate, Date());
}

TEST_F(ReportSettingsTest, ValuesAreReadAgainForEveryReport)
{
    Write("[REPORT COLORS]\nProfileBar=255\nStreetBar=16711680\n[HEADER]\nLargeFont=Arial\nLargeFontSize=bad\n");
    TReportSettings s;
    s.Load(Ini());
    EXPECT_EQ(s.Color(rcProfileBar), TColor(0x0000FF)); // red in the low byte
    EXPECT_EQ(s.Color(rcStreetBar), TColor(0xFF0000));
    EXPECT_EQ(s.LargeFont.Name, QStringLiteral("Arial"));
    EXPECT_EQ(s.LargeFont.Size, 24); // not a number: the default
    Write("[REPORT COLORS]\nProfileBar=65280\n");
    s.Load(Ini());
    EXPECT_EQ(s.Color(rcProfileBar), TColor(0x00FF00));
    EXPECT_EQ(s.LargeFont.Name, QStringLiteral("Times New Roman"));
}

TEST_F(ReportSettingsTest, TabShadeOfAnyWholeNumberIsClampedToPercent)
{
    const std::pair<const char*, int> cases[] = {
        {"40", 40},    {"-3", 0},      {"250", 100},  {"99999999999999999999999", 100},
        {"-40000", 0}, {"70000", 100}, {"shade", 10}, {"", 10},
    };
    for (const auto& [text, shade] : cases) {
        Write(QByteArray("[REPORT]\nTabShade=") + text + "\n");
        TReportSettings s;
        s.Load(Ini());
        EXPECT_EQ(s.TabShade, shade) << text;
    }
}

class StatisticsTest : public ::testing::Test {
protected:
    void Load(const QString& records)
    {
        LoadXml(m_doc,
                QStringLiteral("<vxp><comps.result version=\"1.0\">") + records +
                    QStringLiteral("</comps.result></vxp>"));
        m_comps.SetVxpDocument(&m_doc);
        m_comps.LoadRecords();
    }
    static QString Rec(const char* use, const char* status, const char* fields)
    {
        return QStringLiteral("<comp><use_rec>%1</use_rec><status>%2</status>%3</comp>")
            .arg(QString::fromLatin1(use), QString::fromLatin1(status), QString::fromLatin1(fields));
    }
    TvxpDocument m_doc;
    TvxComps m_comps;
    TStatusStatsList m_stats;
};

TEST_F(StatisticsTest, SumsTheUsedCompsPerStatus)
{
    Load(Rec("Y", "8",
             "<list_price>$100,000</list_price><sold_price>$102,500</sold_price><bed>3</bed><bath>2</bath>"
             "<house_sqft>1,500</house_sqft><ppsf>$68.33</ppsf><change>2.5</change><dom>10</dom>"
             "<lot_sqft>6,000</lot_sqft>") +
         Rec("Y", "8",
             "<list_price>$200,001</list_price><sold_price>199999.5</sold_price><bath>2.5</bath>"
             "<change>-0.5</change><dom>20</dom><annual_gross>$24,000</annual_gross>") +
         Rec("N", "8", "<list_price>$9,000,000</list_price><sold_price>$9,000,000</sold_price>") +
         Rec("Y", "0", "<list_price>300000.5</list_price><sold_price>$1</sold_price>") +
         Rec("Y", "X", "<list_price>$1</list_price>") + Rec("Y", "u", "<list_price>$1</list_price>") +
         Rec("Y", "8", "<list_price>$50,000</list_price><sold_price></sold_price><change></change>"));
    CalcCompStatistics(m_comps.Records, true, m_stats);

    const TStatusStats& sold = m_stats[8];
    EXPECT_EQ(sold.RecordCount, 3);
    EXPECT_EQ(sold.SoldPrice.Count, 2);
    EXPECT_DOUBLE_EQ(sold.SoldPrice.Total, 302500); // round(302499.5): halves to even
    EXPECT_DOUBLE_EQ(sold.SoldPrice.Average, 151250);
    EXPECT_DOUBLE_EQ(sold.MaxPrice, 200000); // round(199999.5)
    EXPECT_DOUBLE_EQ(sold.MinPrice, 102500); // sold prices, not list prices
    EXPECT_EQ(sold.ListPrice.Count, 3);
    EXPECT_DOUBLE_EQ(sold.ListPrice.Total, 350001);
    EXPECT_DOUBLE_EQ(sold.ListPrice.Average, 116667);
    EXPECT_EQ(sold.Change.Count, 2);
    EXPECT_DOUBLE_EQ(sold.Change.Average, 1.0);
    EXPECT_EQ(sold.Bath.Count, 1); // "2.5" is no whole number
    EXPECT_DOUBLE_EQ(sold.Dom.Average, 15);
    EXPECT_DOUBLE_EQ(sold.HouseSqft.Average, 1500);
    EXPECT_DOUBLE_EQ(sold.LotSqft.Average, 6000);
    EXPECT_DOUBLE_EQ(sold.Ppsf.Average, 68.33);
    EXPECT_DOUBLE_EQ(sold.AnnualGross.Average, 24000);

    const TStatusStats& active = m_stats[0];
    EXPECT_EQ(active.RecordCount, 1);
    EXPECT_DOUBLE_EQ(active.MaxPrice, 300000); // round(300000.5)
    EXPECT_DOUBLE_EQ(active.MinPrice, 300000);
    EXPECT_EQ(active.SoldPrice.Count, 0);

    // Statuses outside the eleven codes have no slot and change nothing.
    for (int i : {1, 2, 3, 4, 5, 6, 7, 9, 10}) {
        EXPECT_EQ(m_stats[size_t(i)].RecordCount, 0) << i;
        EXPECT_DOUBLE_EQ(m_stats[size_t(i)].MaxPrice, 0) << i;
        EXPECT_DOUBLE_EQ(m_stats[size_t(i)].MinPrice, 2000000000) << i;
    }
    EXPECT_EQ(m_comps.Records.Index(), 0);
}

TEST_F(StatisticsTest, NothingCarriesIntoTheNextReport)
{
    Load(Rec("Y", "8", "<sold_price>$500,000</sold_price><list_price>$490,000</list_price>"));
    CalcCompStatistics(m_comps.Records, true, m_stats);
    EXPECT_EQ(m_stats[8].RecordCount, 1);
    // No comps found for this property: every slot reset, whatever the
    // records still hold.
    CalcCompStatistics(m_comps.Records, false, m_stats);
    EXPECT_EQ(m_stats[8].RecordCount, 0);
    EXPECT_DOUBLE_EQ(m_stats[8].MinPrice, 2000000000);
    // A status with comps but none priced keeps the lowest price unset.
    Load(Rec("Y", "0", "<list_price></list_price>"));
    CalcCompStatistics(m_comps.Records, true, m_stats);
    EXPECT_EQ(m_stats[0].RecordCount, 1);
    EXPECT_FALSE(m_stats[0].HasMinPrice());
}
