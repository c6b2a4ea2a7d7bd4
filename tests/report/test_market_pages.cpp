// The market pages (summary, details, summary analysis) from the recorded
// comps and from small comps answers made for the faults they mend.

#include "PdfWords.h"
#include "ProfileFixture.h"

#include <QRegularExpression>

namespace {

using Fields = std::initializer_list<std::pair<const char*, const char*>>;

int Count(const QStringList& texts, const QString& text) { return int(texts.count(text)); }

// Pictures drawn inside the photo box of a comp block (0.75 to 2.8).
int PhotoBoxPictures(const QStringList& page)
{
    int n = 0;
    for (const QString& line : page) {
        const QStringList f = line.split(QLatin1Char(' '));
        if (f.size() >= 5 && f[0] == QLatin1String("image") && f[1].toDouble() >= 0.75 - 1e-9 &&
            f[3].toDouble() <= 2.8 + 1e-9)
            ++n;
    }
    return n;
}

} // namespace

class MarketPages : public ProfileTest { };

TEST_F(MarketPages, SummaryGroupsTheUsedCompsByStatusWithOneAveragesRowEach)
{
    SelectPages({pgMarketSummary});
    WriteProfile();
    ASSERT_GE(Pages(), 2);
    const QStringList first = Page(0);
    const QStringList texts = AllTexts();
    // The recorded comps begin with two sold comps: the first band.
    EXPECT_TRUE(Texts(first).contains(QStringLiteral("Sold Properties")));
    const TextAt address = FindText(first, QStringLiteral("Address"));
    EXPECT_NEAR(address.X, 0.75 + 0.05, 0.001);
    // Every group of more than one comp closes with one averages row.
    EXPECT_GE(Count(texts, QStringLiteral("Average")), 3);
    // The heading row of a sold group.
    EXPECT_TRUE(Texts(first).contains(QStringLiteral("Sold Date")));
    EXPECT_TRUE(Texts(first).contains(QStringLiteral("Sale Price")));
}

TEST_F(MarketPages, SummaryAveragesComeOncePerGroupInTheGroupsOwnLayout)
{
    ReplaceComps(Comp({{"use_rec", "N"}, {"status", "0"}, {"struct_type", "1"}}) +
                 Comp({{"use_rec", "Y"}, {"status", "X"}, {"struct_type", "1"}, {"address", "1 UNKNOWN WAY"}}) +
                 Comp({{"use_rec", "Y"}, {"status", "X"}, {"struct_type", "1"}, {"address", "2 UNKNOWN WAY"}}) +
                 Comp({{"use_rec", "Y"},
                       {"status", "8"},
                       {"struct_type", "1"},
                       {"bed", "3"},
                       {"dom", "10"},
                       {"sold_price", "$400,000"},
                       {"list_price", "$410,000"}}) +
                 Comp({{"use_rec", "Y"},
                       {"status", "8"},
                       {"struct_type", "1"},
                       {"bed", "5"},
                       {"dom", "20"},
                       {"sold_price", "$500,000"},
                       {"list_price", "$490,000"}}) +
                 Comp({{"use_rec", "N"}, {"status", "0"}, {"struct_type", "6"}}) +
                 Comp({{"use_rec", "N"}, {"status", "0"}, {"struct_type", "6"}}) +
                 Comp({{"use_rec", "Y"}, {"status", "0"}, {"struct_type", "6"}, {"list_price", "$90,000"}}) +
                 Comp({{"use_rec", "Y"}, {"status", "0"}, {"struct_type", "6"}, {"list_price", "$95,000"}}));
    SelectPages({pgMarketSummary});
    WriteProfile();
    const QStringList texts = AllTexts();
    // The unknown status has a band (captioned as other properties) but no
    // averages; the sold group's averages come once, though unmarked comps
    // follow.
    EXPECT_EQ(Count(texts, QStringLiteral("Other Properties")), 1);
    EXPECT_EQ(Count(texts, QStringLiteral(" Properties")), 0);
    EXPECT_EQ(Count(texts, QStringLiteral("Average")), 2);
    // Laid out by the sold group's own structure type: the bedrooms.
    EXPECT_TRUE(texts.contains(QStringLiteral("4")));
    EXPECT_TRUE(texts.contains(QStringLiteral("$450,000")));
    EXPECT_TRUE(texts.contains(QStringLiteral("$92,500")));
}

TEST_F(MarketPages, CategorySummariesLeaveTheLowestPriceOfAnUnpricedStatusEmpty)
{
    ReplaceComps(Comp({{"use_rec", "Y"}, {"status", "7"}, {"list_price", ""}, {"ppsf", "$100.00"}}) +
                 Comp({{"use_rec", "Y"},
                       {"status", "8"},
                       {"sold_price", "$300,000"},
                       {"list_price", "$310,000"},
                       {"change", "-3.2"},
                       {"dom", "15"},
                       {"house_sqft", "1,500"},
                       {"ppsf", "$200.00"}}));
    SelectPages({pgSummaryAnalysis, pgDetails});
    WriteProfile();
    const QStringList texts = AllTexts();
    EXPECT_EQ(texts.filter(QStringLiteral("2,000,000,000")).size(), 0);
    EXPECT_EQ(Count(texts, QStringLiteral("Pending Listings")), 2);
    EXPECT_EQ(Count(texts, QStringLiteral("Sold Listings")), 2);
    // The sold analysis with its averages row.
    EXPECT_EQ(Count(texts, QStringLiteral("-3.2%")), 2); // the entry and its average
}

TEST_F(MarketPages, SummaryAnalysisWithoutSoldCompsPrintsTheEmptyAverages)
{
    ReplaceComps(Comp({{"use_rec", "Y"}, {"status", "0"}, {"list_price", "$300,000"}}) +
                 Comp({{"use_rec", "Y"}, {"status", "0"}, {"list_price", "$320,000"}}));
    SelectPages({pgSummaryAnalysis});
    WriteProfile();
    ASSERT_EQ(Pages(), 1);
    const QStringList texts = Texts(Page(0));
    EXPECT_EQ(Count(texts, QStringLiteral("Analysis of Sold Properties")), 1);
    EXPECT_EQ(Count(texts, QStringLiteral("Average")), 1);
    EXPECT_EQ(Count(texts, QStringLiteral("0.0%")), 1);
    EXPECT_EQ(Count(texts, QStringLiteral("Active Listings")), 1);
}

TEST_F(MarketPages, DetailsWithPhotosOnPage170Only)
{
    SelectPages({pgDetailsPhotos});
    WriteProfile();
    const int withPhotos = Pages();
    int photos = 0;
    for (int i = 0; i < Pages(); ++i) photos += PhotoBoxPictures(Page(i));
    // Photos of the used comps the answer has a JPEG for (every fifth has
    // none, the fourth is no JPEG and leaves an empty box).
    EXPECT_GE(photos, 20);
    const QStringList first = Page(0);
    EXPECT_TRUE(Texts(first).contains(QStringLiteral("Category Summaries")));
    EXPECT_TRUE(Texts(first).contains(QStringLiteral("Subject Property")));
    EXPECT_DOUBLE_EQ(FindText(first, QStringLiteral("HARTLEY, JAMES R")).X, 1.52);
    // The subject's last and prior transactions.
    EXPECT_TRUE(Texts(first).contains(QStringLiteral("06/14/2019")));
    EXPECT_TRUE(Texts(first).contains(QStringLiteral("03/02/2011")));

    SelectPages({pgDetails});
    WriteProfile();
    int none = 0;
    for (int i = 0; i < Pages(); ++i) none += PhotoBoxPictures(Page(i));
    EXPECT_EQ(none, 0);
    EXPECT_LT(Pages(), withPhotos);
}

TEST_F(MarketPages, ACompBlockTooLongForAnyPageIsPrintedAnyway)
{
    QString remarks;
    for (int i = 0; i < 400; ++i)
        remarks += QStringLiteral("Spacious remodel with many upgrades throughout the home. ");
    const QByteArray rem = remarks.toLatin1();
    ReplaceComps(Comp({{"use_rec", "Y"}, {"status", "8"}, {"address", "1 FIRST ST"}, {"structure_type", "1"}}) +
                 Comp({{"use_rec", "Y"}, {"status", "8"}, {"address", "2 LONG ST"}, {"rem", rem.constData()}}) +
                 Comp({{"use_rec", "Y"}, {"status", "8"}, {"address", "3 LAST ST"}}));
    SelectPages({pgDetails});
    WriteProfile();
    EXPECT_LT(Pages(), 20);
    const QStringList texts = AllTexts();
    EXPECT_EQ(texts.filter(QStringLiteral("3 LAST ST")).size(), 2); // site and mail address
    EXPECT_EQ(Count(texts, QStringLiteral("Comments:")), 1);
}

TEST_F(MarketPages, FeaturesBetweenAtSignsPrintBold)
{
    ReplaceComps(Comp({{"use_rec", "Y"}, {"status", "8"}, {"features", "@Pool@ and spa, new roof"}}) +
                 Comp({{"use_rec", "N"}, {"status", "8"}}));
    SelectPages({pgDetails});
    WriteProfile();
    const QStringList page = Page(0);
    const int pool = int(page.indexOf(QRegularExpression(QStringLiteral("^text .*\"Pool \"$"))));
    ASSERT_GE(pool, 0);
    // The font before "Pool " is bold, before "and " regular again.
    QString fontBefore;
    for (int i = pool; i >= 0 && fontBefore.isEmpty(); --i)
        if (page[i].startsWith(QLatin1String("font "))) fontBefore = page[i];
    EXPECT_TRUE(fontBefore.contains(QLatin1String("bold"))) << fontBefore.toStdString();
    EXPECT_TRUE(Texts(page).contains(QStringLiteral("and ")));
}

TEST_F(MarketPages, DetailsPrintNoEmptyPhraseOrBox)
{
    // An unknown status; a sold comp with zero and empty values and the sale
    // code "U"; a comp with every value, features and remarks. The first two
    // have photos on page 170, but neither features nor remarks.
    ReplaceComps(Comp({{"use_rec", "Y"},
                       {"status", "X"},
                       {"structure_type", "1"},
                       {"apn", "512-034-044"},
                       {"address", "1 ODD WAY"}}) +
                 Comp({{"use_rec", "Y"},
                       {"status", "8"},
                       {"structure_type", "1"},
                       {"apn", "512-061-022"},
                       {"address", "2 SOLD WAY"},
                       {"sold_price", "$400,000"},
                       {"sale_code", "U"},
                       {"p_sold_price", "$300,000"},
                       {"prev_sale_code", "U"},
                       {"ppsf", "$0.00"},
                       {"distance", "0"},
                       {"house_dif", ""}}) +
                 Comp({{"use_rec", "Y"},
                       {"status", "8"},
                       {"structure_type", "1"},
                       {"apn", "999-999-999"},
                       {"address", "3 FULL WAY"},
                       {"sold_price", "$500,000"},
                       {"sale_code", "F"},
                       {"ppsf", "$250.00"},
                       {"distance", "0.4"},
                       {"house_dif", "120 sqft larger"},
                       {"features", "Pool"},
                       {"rem", "Quiet street."}}));
    for (int id : {pgDetails, pgDetailsPhotos}) {
        SCOPED_TRACE(id);
        SelectPages({id});
        WriteProfile();
        const QStringList texts = AllTexts();
        // A heading for the unknown status.
        EXPECT_EQ(Count(texts, QStringLiteral("Other Properties")), 1);
        EXPECT_EQ(Count(texts, QStringLiteral(" Properties")), 0);
        // The phrases of the last line only with a value that says something.
        EXPECT_EQ(texts.filter(QStringLiteral("Per Sqft.")), QStringList{QStringLiteral("$250.00 Per Sqft.")});
        EXPECT_EQ(texts.filter(QStringLiteral("Comparable is")),
                  QStringList{QStringLiteral("Comparable is 120 sqft larger")});
        EXPECT_EQ(texts.filter(QStringLiteral("miles from subject property")),
                  QStringList{QStringLiteral("0.4 miles from subject property")});
        // The sale codes spelled out.
        EXPECT_TRUE(texts.contains(QStringLiteral("$400,000 Unknown")));
        EXPECT_TRUE(texts.contains(QStringLiteral("$300,000  Unknown")));
        EXPECT_TRUE(texts.contains(QStringLiteral("$500,000 Full")));
        // Every framed box holds text: the data, the features and comments
        // (beside the photo on page 170).
        int boxes = 0;
        for (int p = 0; p < Pages(); ++p) {
            const QStringList page = Page(p);
            for (const QString& l : page) {
                const QStringList f = l.split(QLatin1Char(' '));
                if (f.size() != 5 || f[0] != QLatin1String("rect") || f[3] != QLatin1String("7.78")) continue;
                const double x1 = f[1].toDouble(), y1 = f[2].toDouble(), y2 = f[4].toDouble();
                int inside = 0;
                for (const QString& t : page) {
                    const QStringList g = t.split(QLatin1Char(' '));
                    if (g.size() < 4 || g[0] != QLatin1String("text")) continue;
                    const double x = g[1].toDouble(), y = g[2].toDouble();
                    inside += x > x1 && x < 7.78 && y > y1 && y < y2 ? 1 : 0;
                }
                ++boxes;
                EXPECT_GT(inside, 0) << "page " << p + 1 << ": " << l.toStdString();
            }
        }
        // The summaries, the subject and the three comps' data, and the
        // last comp's features box.
        EXPECT_EQ(boxes, 6);
    }
}

TEST_F(MarketPages, RightToLeftFeaturesAndRemarksReadInTheirOwnDirection)
{
    // An Arabic features text with its first word in bold, and Hebrew
    // remarks of three lines.
    const QString features = QString::fromUtf8("@مسبح@ منزل واسع مع حديقة كبيرة");
    QString remarks;
    for (int i = 0; i < 4; ++i)
        remarks += QString::fromUtf8("דירה מרווחת עם נוף לים ומרפסת שמש גדולה קרוב לבתי ספר ולתחבורה ציבורית ");
    remarks = remarks.trimmed();
    LoadText(m_compsDoc,
             QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><vxp><comps.result version=\"1.0\">"
                            "<comp><use_rec>Y</use_rec><status>8</status><features>%1</features>"
                            "<rem>%2</rem></comp><comp><use_rec>N</use_rec><status>8</status></comp>"
                            "</comps.result></vxp>")
                 .arg(features, remarks));
    m_comps.LoadRecords();
    SelectPages({pgDetails});
    const std::vector<PdfPage> pdf = PdfWords(WriteProfilePdf(QStringLiteral("rtl.pdf")));
    ASSERT_FALSE(pdf.empty());
    const QStringList page = Page(0);

    // The features as one text in their order with their blanks: the bold
    // word a run of its own at the right, the rest on its left.
    const TextAt bold = FindText(page, QString::fromUtf8("مسبح"));
    const TextAt rest = FindText(page, QString::fromUtf8("منزل واسع مع حديقة كبيرة"));
    ASSERT_GE(bold.X, 0);
    ASSERT_GE(rest.X, 0);
    EXPECT_EQ(bold.Y, rest.Y);
    EXPECT_GT(bold.X, rest.X);

    // The remarks: whole lines, which read in order give the text.
    auto hebrew = [](const QString& s) {
        return std::any_of(s.begin(), s.end(), [](QChar c) { return c.unicode() >= 0x05D0 && c.unicode() <= 0x05EA; });
    };
    QStringList lines;
    for (const QString& t : Texts(page))
        if (hebrew(t)) lines << t;
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.join(QLatin1Char(' ')), remarks);

    // In the PDF every line of either text ends at the right of the block,
    // as a right-to-left text is aligned.
    auto arabic = [](const QString& s) {
        return std::any_of(s.begin(), s.end(), [](QChar c) { return c.unicode() >= 0x0600 && c.unicode() <= 0x06FF; });
    };
    std::map<long, double> rightEnds; // by the line's bottom
    for (const Word& w : pdf[0])
        if (hebrew(w.Text) || arabic(w.Text)) {
            double& end = rightEnds[std::lround(w.Y2 * 100)];
            end = std::max(end, w.X2);
        }
    EXPECT_EQ(rightEnds.size(), size_t(lines.size() + 1));
    for (const auto& [bottom, end] : rightEnds) {
        // poppler boxes the characters a span tells from the place of the
        // first glyph drawn in it to the end of the last: a right-to-left
        // line, drawn in its characters' order, loses its first glyph's
        // width at the right (some 0.05 in at this size).
        EXPECT_GT(end, 7.74 - 0.1) << bottom;
        EXPECT_LT(end, 7.78 - 1.0 / 96) << bottom;
    }
}
