// The street map, demographics, community services, school, natural hazards
// and assessor map pages from the recorded report data, and from answers
// made for the faults they mend.

#include "PdfWords.h"
#include "ProfileFixture.h"
#include "protocol/xml/XMLQuery.h"

#include <QDir>
#include <QRegularExpression>

namespace {

int Count(const QStringList& texts, const QString& text) { return int(texts.count(text)); }

QString Services(const QString& category, int count)
{
    QString out = QStringLiteral("<category name=\"%1\">").arg(category);
    for (int i = 0; i < count; ++i)
        out += QStringLiteral("<service name=\"%1 %2\" street=\"%2 Main St\" city=\"Alder Creek\" phone=\"555\" "
                              "distance=\"0.%2\"/>")
                   .arg(category)
                   .arg(i + 1);
    return out + QStringLiteral("</category>");
}

} // namespace

class OtherPages : public ProfileTest { };

TEST_F(OtherPages, StreetMapDrawsTheMapLegendsAndTable)
{
    SelectPages({pgStreet});
    WriteProfile();
    ASSERT_EQ(Pages(), 1);
    const QStringList page = Page(0);
    const QStringList texts = Texts(page);
    EXPECT_TRUE(texts.contains(QStringLiteral("1427 N ALDER CREEK RD - ALDER CREEK CA 93602")));
    EXPECT_DOUBLE_EQ(FindText(page, QStringLiteral("1427 N ALDER CREEK RD - ALDER CREEK CA 93602")).X, 0.75);
    EXPECT_TRUE(texts.contains(QStringLiteral("Prepared by")));
    for (const char* s : {"Active", "Pending", "Expired", "Sold"})
        EXPECT_DOUBLE_EQ(FindText(page, QString::fromLatin1(s)).X, 7.15) << s;
    // Four price ranges, the highest at the top.
    EXPECT_EQ(page.filter(QRegularExpression(QStringLiteral("^text 1.25 [0-9.]+ \".* to .* \\(\\d+\\)\"$"))).size(), 4);
    EXPECT_TRUE(texts.contains(QStringLiteral("Price Per Square Foot")));
    // The map clipped into its box, and a bar of the graph colour.
    const qsizetype clip = page.indexOf(QStringLiteral("clip 0.75 0.75 7.8 5.45"));
    ASSERT_GE(clip, 0);
    // The metafile's own blocks played as page shapes inside the clip.
    const QStringList map = page.mid(clip, page.indexOf(QStringLiteral("clip off"), clip) - clip);
    EXPECT_GE(map.filter(QStringLiteral("rect ")).size(), 9);
    EXPECT_GE(page.filter(QRegularExpression(QStringLiteral("^rect 5.88 "))).size(), 20);
}

TEST_F(OtherPages, StreetMapWithoutUsableCompsOrPrices)
{
    // Two comps, none marked for use: the table's header row only.
    ReplaceComps(Comp({{"use_rec", "N"}, {"status", "8"}, {"sold_price", "$1"}}) +
                 Comp({{"use_rec", "N"}, {"status", "0"}, {"list_price", "$2"}}));
    SelectPages({pgStreet});
    WriteProfile();
    QStringList texts = Texts(Page(0));
    EXPECT_TRUE(texts.contains(QStringLiteral("Stat")));
    EXPECT_EQ(Count(texts, QStringLiteral("S")), 1); // the title's letter only

    // Four priced comps but no price at all: no ranges from unset bounds.
    QString comps;
    for (int i = 0; i < 4; ++i)
        comps += Comp({{"use_rec", "Y"}, {"status", "8"}, {"ppsf", "$150.00"}, {"address", "9 ELM"}});
    ReplaceComps(comps);
    WriteProfile();
    texts = Texts(Page(0));
    EXPECT_EQ(texts.filter(QStringLiteral("2,147,483")).size(), 0);
    EXPECT_EQ(texts.filter(QStringLiteral(" to ")).size(), 0);
    EXPECT_EQ(Count(texts, QStringLiteral("S")), 1 + 4);

    // A single comp: the property block instead of legends and table.
    ReplaceComps(Comp({{"use_rec", "Y"}, {"status", "8"}}));
    WriteProfile();
    const QStringList page = Page(0);
    EXPECT_DOUBLE_EQ(FindText(page, QStringLiteral("Owner:")).X, 0.8);
    EXPECT_DOUBLE_EQ(FindText(page, QStringLiteral("Legal description:")).X, 4.0);
    EXPECT_FALSE(Texts(page).contains(QStringLiteral("Stat")));
    EXPECT_EQ(Pages(), 1);
}

TEST_F(OtherPages, StreetMapPropertyBlockShowsAddressesAndLegalDescriptionWholeInsideTheFrame)
{
    // A single comp: the property block below the map.
    ReplaceComps(Comp({{"use_rec", "Y"}, {"status", "8"}}));
    SelectPages({pgStreet});
    const std::vector<PdfPage> pdf = PdfWords(WriteProfilePdf(QStringLiteral("block.pdf")));
    ASSERT_EQ(pdf.size(), 1u);
    const QStringList page = Page(0);
    const QStringList texts = Texts(page);
    // The addresses run across the block as on the property page.
    EXPECT_TRUE(texts.contains(QStringLiteral("1427 N ALDER CREEK RD ALDER CREEK CA 93602")))
        << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("PO BOX 1187 ALDER CREEK CA 93602")))
        << texts.join(QLatin1Char('|')).toStdString();
    // The legal description, every word of it, from its label down to the
    // characteristics beside which it stands.
    const TextAt label = FindText(page, QStringLiteral("Legal description:"));
    const TextAt heating = FindText(page, QStringLiteral("Heating:"));
    ASSERT_GT(label.Y, 5.65);
    ASSERT_GT(heating.Y, label.Y);
    QStringList legal;
    for (const QString& l : page) {
        const QStringList f = l.split(QLatin1Char(' '));
        if (f.value(0) != QLatin1String("text") || f.value(1).toDouble() < 4.0 - 1e-6) continue;
        const double y = f.value(2).toDouble();
        if (y < label.Y - 1e-6 || y >= heating.Y - 0.17 + 1e-6) continue;
        const QString text = l.mid(l.indexOf(QLatin1Char('"')) + 1).chopped(1);
        if (text != QLatin1String("Legal description:")) legal << text;
    }
    const QString whole = ChildText(m_propDoc.RequestElement(), QStringLiteral("legal_desc")).simplified();
    ASSERT_GT(whole.size(), 300);
    EXPECT_EQ(legal.join(QLatin1Char(' ')).simplified(), whole);
    // Inside the frame, clear of each other.
    std::vector<Word> block;
    for (const Word& w : pdf[0])
        if (!InTitleBar(w) && w.Y1 > 5.65 && w.Y1 < 10.35) block.push_back(w);
    ASSERT_GT(block.size(), 100u);
    for (size_t i = 0; i < block.size(); ++i) {
        const Word& w = block[i];
        EXPECT_GE(w.X1, 0.75) << w.Text.toStdString();
        EXPECT_LE(w.X2, 7.8) << w.Text.toStdString();
        EXPECT_LE(w.Y2, 10.35) << w.Text.toStdString();
        for (size_t j = i + 1; j < block.size(); ++j)
            EXPECT_FALSE(Overlap(w, block[j])) << w.Text.toStdString() << " over " << block[j].Text.toStdString();
    }
}

TEST_F(OtherPages, DemographicsBlocksStandAtFixedPlaces)
{
    SelectPages({pgCensus});
    WriteProfile();
    ASSERT_EQ(Pages(), 1);
    const QStringList page = Page(0);
    const struct {
        const char* Caption;
        double X;
    } captions[] = {{"POPULATION", 1.0}, {"EDUCATION", 3.3}, {"INCOME", 5.5},
                    {"YEAR BUILT", 1.0}, {"FAMILIES", 3.8},  {"EMPLOYMENT BY INDUSTRY", 1.0}};
    for (const auto& c : captions) EXPECT_DOUBLE_EQ(FindText(page, QString::fromLatin1(c.Caption)).X, c.X) << c.Caption;
    EXPECT_DOUBLE_EQ(FindText(page, QStringLiteral("1989 - 2000:")).X, 1.0);
    EXPECT_DOUBLE_EQ(FindText(page, QStringLiteral("Other Services:")).X, 4.5);
    EXPECT_EQ(Count(Texts(page), QStringLiteral("Total Population:")), 2);

    ReplaceReportData(QStringLiteral("<census><population total=\"100\"/><population total=\"999\"/></census>"));
    WriteProfile();
    const QStringList texts = Texts(Page(0));
    EXPECT_TRUE(texts.contains(QStringLiteral("100")));
    EXPECT_FALSE(texts.contains(QStringLiteral("999")));
    EXPECT_FALSE(texts.contains(QStringLiteral("INCOME")));
}

TEST_F(OtherPages, CommunityServicesContinueOnlyForMoreServices)
{
    SelectPages({pgCommunity});
    WriteProfile();
    ASSERT_GE(Pages(), 1);
    const QStringList first = Page(0);
    EXPECT_DOUBLE_EQ(FindText(first, QStringLiteral("Name")).X, 0.75 + 0.1);
    EXPECT_TRUE(Texts(first).filter(QStringLiteral(", ")).size() > 0);

    // A category that ends near the page end gets no continuation band;
    // one that goes on gets it with its rows.
    for (int count = 39; count <= 42; ++count) {
        ReplaceReportData(QStringLiteral("<services found=\"Y\">") + Services(QStringLiteral("Parks"), count) +
                          Services(QStringLiteral("Banks"), 2) + QStringLiteral("</services>"));
        WriteProfile();
        for (int p = 0; p < Pages(); ++p) {
            const QStringList texts = Texts(Page(p));
            if (texts.contains(QStringLiteral("Parks - Cont."))) {
                EXPECT_GE(texts.filter(QRegularExpression(QStringLiteral("^Parks \\d+$"))).size(), 1)
                    << count << " services, page " << p;
            }
        }
        EXPECT_EQ(AllTexts().filter(QRegularExpression(QStringLiteral("^Parks \\d+$"))).size(), count);
    }
}

TEST_F(OtherPages, SchoolsPassOverADistrictWithoutItsInformation)
{
    SelectPages({pgSchool});
    WriteProfile();
    ASSERT_GE(Pages(), 2); // two districts
    const QStringList first = Page(0);
    EXPECT_TRUE(Texts(first).contains(QStringLiteral("District Personnel")));
    EXPECT_TRUE(Texts(first).contains(QStringLiteral("SAT Scores")));

    ReplaceReportData(QStringLiteral(
        "<short_school found=\"Y\"><district><personel><person job=\"Superintendent\" name=\"Lost\" phone=\"1\"/>"
        "</personel></district><district><dist_info><name>Alder Creek Unified</name></dist_info><personel>"
        "<p job=\"a\" name=\"P1\"/><p job=\"a\" name=\"P2\"/><p job=\"a\" name=\"P3\"/><p job=\"a\" name=\"P4\"/>"
        "<p job=\"a\" name=\"P5\"/><p job=\"a\" name=\"P6\"/><p job=\"a\" name=\"P7\"/><p job=\"a\" name=\"P8\"/>"
        "<p job=\"a\" name=\"P9\"/><p job=\"a\" name=\"P10\"/></personel><primary_school><NAME>Oak School</NAME>"
        "<sat><pct_grad>-99</pct_grad><avg_sat_math>520</avg_sat_math><avg_sat_verbal>-99</avg_sat_verbal></sat>"
        "</primary_school></district></short_school>"));
    WriteProfile();
    ASSERT_EQ(Pages(), 1);
    const QStringList texts = Texts(Page(0));
    EXPECT_TRUE(texts.contains(QStringLiteral("Alder Creek Unified")));
    EXPECT_FALSE(texts.contains(QStringLiteral("Lost")));
    // Nine people of ten; SAT "-99" empty and counted 0 in the total.
    EXPECT_TRUE(texts.contains(QStringLiteral("P9")));
    EXPECT_FALSE(texts.contains(QStringLiteral("P10")));
    EXPECT_TRUE(texts.contains(QStringLiteral("520")));
    EXPECT_FALSE(texts.contains(QStringLiteral("-99")));
}

TEST_F(OtherPages, NaturalHazardsMakeTwoPagesWithTheirPictures)
{
    AppState().MapId = 0;
    SelectPages({pgHazard});
    WriteProfile();
    ASSERT_EQ(Pages(), 2);
    const QStringList first = Page(0);
    EXPECT_TRUE(Texts(first).contains(QStringLiteral("0")));
    // Seven legend symbols, the logo and the map, each at its own
    // proportions in its frame.
    int symbols = 0, logos = 0, maps = 0;
    for (const PagePicture& p : Pictures(first)) {
        if (p.Width == 113 && p.Height == 29) {
            ++symbols;
            EXPECT_TRUE(p.X1 >= 0.76 - 1e-6 && p.X2 <= 1.74 + 1e-6);
            EXPECT_LT(p.AspectError(), 0.01);
        } else if (p.Fits(4.8, 5.9, 5.9, 7.33)) {
            ++logos;
            EXPECT_LT(p.AspectError(), 0.01);
        } else if (p.Fits(0.75, 1.25, 7.8, 4.7)) {
            ++maps;
            EXPECT_LT(p.AspectError(), 0.01);
        }
    }
    EXPECT_EQ(symbols, 7);
    EXPECT_EQ(logos, 1);
    EXPECT_EQ(maps, 1);
    const QStringList second = Texts(Page(1));
    EXPECT_TRUE(second.contains(QStringLiteral("IMPORTANT FACTS ABOUT MAPPED NATURAL HAZARDS")));
    EXPECT_TRUE(second.contains(QStringLiteral("EARTHQUAKE FAULT ZONE")));
    EXPECT_EQ(Count(second, QStringLiteral("\u00B7")), 25);
}

TEST_F(OtherPages, AssessorMapPrintsEveryReadableSheetOnceAndNoEmptyPage)
{
    QStringList sheets;
    ASSERT_NO_FATAL_FAILURE(SampleSheets(sheets));
    m_form.Context().SheetFiles = sheets << AppState().TempDir + QStringLiteral("missing.tif");
    SelectPages({pgCover, pgAssessorMap});
    WriteProfile();
    ASSERT_EQ(Pages(), 3);
    for (int p : {1, 2}) {
        const QStringList page = Page(p);
        const std::vector<PagePicture> sheets = Pictures(page);
        ASSERT_EQ(sheets.size(), 1u);
        EXPECT_TRUE(sheets[0].Fits(0.75, 0.5, 8.3, 10.8));
        EXPECT_LT(sheets[0].AspectError(), 0.01);
        EXPECT_EQ(Texts(page).size(), 0); // no header, no footer
    }
}

TEST_F(OtherPages, EverySchoolPageHasOneFooter)
{
    // Two districts, the second with schools enough to go on over a page.
    QString schools;
    for (int i = 1; i <= 12; ++i)
        schools += QStringLiteral("<school><name>School %1</name><phone>555</phone><princ>P</princ><addr>%1 Oak</addr>"
                                  "<pop>400</pop><city>Alder Creek</city><grade>K-5</grade></school>")
                       .arg(i);
    ReplaceReportData(QStringLiteral("<short_school found=\"Y\"><district><dist_info><name>First Unified</name>"
                                     "</dist_info><personel><p job=\"a\" name=\"P1\"/></personel></district>"
                                     "<district><dist_info><name>Second Unified</name></dist_info><schools>") +
                      schools + QStringLiteral("</schools></district></short_school>"));
    SelectPages({pgSchool});
    WriteProfile();
    ASSERT_GE(Pages(), 3);
    EXPECT_TRUE(AllTexts().contains(QStringLiteral("District Schools - cont.")));
    for (int p = 0; p < Pages(); ++p) {
        const QStringList page = Page(p);
        EXPECT_EQ(Count(Texts(page), QStringLiteral("Information deemed reliable but not guaranteed.")), 1)
            << "page " << p + 1;
        EXPECT_EQ(page.count(QStringLiteral("rect 0.75 9.9 7.8 9.93")), 1) << "page " << p + 1;
        // The header once too: the title spelled down the bar.
        EXPECT_EQ(page.filter(QRegularExpression(QStringLiteral("^image 7.85 0.5 8.25 10.35 "))).size(), 1)
            << "page " << p + 1;
    }

    // In the PDF: below each page's rule its three footer lines, each once,
    // and no footer word twice in one place.
    const std::vector<PdfPage> pdf = PdfWords(WriteProfilePdf(QStringLiteral("schools.pdf")), true);
    ASSERT_EQ(int(pdf.size()), Pages());
    const QStringList footer = {QStringLiteral("Dana Whitfield - Alder Creek Realty"),
                                m_form.Context().Settings.ReportDateText() +
                                    QStringLiteral(" Information deemed reliable but not guaranteed."),
                                QStringLiteral("Sourced from public and private data.")};
    for (size_t p = 0; p < pdf.size(); ++p) {
        PdfPage below;
        for (const Word& w : pdf[p])
            if (w.Y1 > 9.93 && !InTitleBar(w)) below.push_back(w);
        QStringList lines;
        for (const auto& line : Lines(below)) lines << LineText(line);
        EXPECT_EQ(lines, footer) << "page " << p + 1;
        QStringList twice;
        for (size_t i = 0; i < below.size(); ++i)
            for (size_t j = i + 1; j < below.size(); ++j)
                if (SameWord(below[i], below[j])) twice << below[i].Text;
        EXPECT_EQ(twice, QStringList()) << "page " << p + 1;
    }
}
