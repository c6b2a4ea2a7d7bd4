// What the customer sees of the whole profile report, read back from the PDF
// (pdftotext -bbox for the text, pdfimages -list for the pictures) and from
// the recorded drawing operations: no text over text, gaps between cells,
// nothing past the right margin, rules and pictures clear of the text,
// pictures at their own proportions and pixels. The report holds a long
// legal description and long values, income comps, every listing status in
// mixed order, and pictures of odd proportions.

#include "PdfWords.h"
#include "ProfileFixture.h"

#include <QAction>
#include <QBuffer>
#include <QDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <map>
#include <set>

namespace {

// The embedded pictures: page, pixel size and resolution across and down.
struct PdfImage {
    int Page, Width, Height;
    double XPpi, YPpi;
};
std::vector<PdfImage> PdfImages(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    std::vector<PdfImage> out;
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n')).mid(2)) {
        const QStringList f = line.simplified().split(QLatin1Char(' '));
        if (f.size() >= 14 && f[2] == QLatin1String("image"))
            out.push_back(PdfImage{f[0].toInt(), f[3].toInt(), f[4].toInt(), f[12].toDouble(), f[13].toDouble()});
    }
    return out;
}

QByteArray Jpeg(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    for (int x = 0; x < width; x += 7)
        for (int y = 0; y < height; ++y) image.setPixel(x, y, qRgb(20, 20, 20));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes.toBase64();
}

// The gradient bars and bands are drawings stretched on purpose.
bool IsGradient(int width, int height) { return (width == 60 && height == 960) || (width == 750 && height == 30); }

const char kLongLegal[] =
    "LOT 14 IN BLOCK C OF TRACT NO. 11872, IN THE UNINCORPORATED AREA OF THE COUNTY OF SIERRA VISTA, STATE OF "
    "CALIFORNIA, AS PER MAP RECORDED IN BOOK 512, PAGES 33 TO 36 INCLUSIVE OF MAPS, IN THE OFFICE OF THE COUNTY "
    "RECORDER OF SAID COUNTY. EXCEPTING THEREFROM ALL OIL, GAS, MINERALS AND OTHER HYDROCARBON SUBSTANCES LYING "
    "BELOW A DEPTH OF 500 FEET, WITHOUT THE RIGHT OF SURFACE ENTRY, AS RESERVED IN INSTRUMENTS OF RECORD. ALSO "
    "EXCEPTING THE NORTHERLY 12 FEET THEREOF AS CONVEYED TO THE COUNTY OF SIERRA VISTA FOR ROAD PURPOSES BY DEED "
    "RECORDED MARCH 3, 1961 IN BOOK 1187, PAGE 402 OF OFFICIAL RECORDS.";

} // namespace

class ReportLayout : public ProfileTest {
protected:
    void SetUp() override
    {
        ProfileTest::SetUp();
        AppState().CustName = QStringLiteral("Pat Morales");
        AppState().CustAddr1 = QStringLiteral("18 Birch Ln");
        AppState().CustCity = QStringLiteral("Alder Creek CA");
        // The agent entered first and last name but never the full name.
        m_personal.SetFullName(QString());
        m_personal.SetFirstName(QStringLiteral("Dana"));
        m_personal.SetLastName(QStringLiteral("Whitfield"));
        // Every line of the agent's block filled: it reaches the customer's.
        m_personal.SetAddress2(QStringLiteral("Suite 400, Alder Creek Professional Plaza"));
        m_personal.SetPhType2(QStringLiteral("Direct"));
        m_personal.SetPhNumber2(QStringLiteral("(559) 555-0101"));
        m_personal.SetPhType4(QStringLiteral("Fax"));
        m_personal.SetPhNumber4(QStringLiteral("(559) 555-0102"));
        // A photo as My Page stores it (175 pixels high) and a wide logo.
        m_personal.Photo = QImage(420, 175, QImage::Format_RGB32);
        m_personal.Photo.fill(qRgb(40, 90, 160));
        m_personal.Logo = QImage(330, 100, QImage::Format_RGB32);
        m_personal.Logo.fill(qRgb(160, 40, 40));

        // The subject with a long legal description.
        QFile prop(FixturePath(QStringLiteral("prop_data.xml")));
        ASSERT_TRUE(prop.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(prop.readAll());
        text.replace(QRegularExpression(QStringLiteral("<legal_desc>[^<]*</legal_desc>")),
                     QStringLiteral("<legal_desc>") + QLatin1String(kLongLegal) + QStringLiteral("</legal_desc>"));
        LoadText(m_propDoc, text);

        // Comps of every status in mixed order, income comps among them.
        QString comps;
        const char* statuses[] = {"8", "0", "8", "7", "3", "9", "1", "2", "4", "5", "6", "U",
                                  "0", "7", "3", "9", "1", "2", "4", "5", "6", "U", "8"};
        int n = 0;
        for (const char* status : statuses) comps += Residential(status, ++n);
        const std::pair<const char*, const char*> income[] = {{"8", "3"}, {"0", "5"}, {"8", "5"}, {"0", "3"}};
        for (const auto& [status, structure] : income) comps += Income(status, ++n, structure);
        comps += Residential("8", ++n);
        // One comp in a city with a very long name.
        comps.replace(
            comps.indexOf(QStringLiteral("<city>ALDER CREEK</city>")), 24,
            QStringLiteral("<city>ALDER CREEK HEIGHTS AND THE UNINCORPORATED FOOTHILLS OF SIERRA VISTA COUNTY "
                           "ABOVE THE LAKE</city>"));
        ReplaceComps(comps);

        // The report data with a wide hazard map and photos of odd sizes.
        QFile rpt(FixturePath(QStringLiteral("rptgen.xml")));
        ASSERT_TRUE(rpt.open(QIODevice::ReadOnly));
        text = QString::fromUtf8(rpt.readAll());
        text.replace(QRegularExpression(QStringLiteral("<hazard status=\"0\">[^<]*</hazard>")),
                     QStringLiteral("<hazard status=\"0\">") + QString::fromLatin1(Jpeg(1200, 300, qRgb(90, 160, 90))) +
                         QStringLiteral("</hazard>"));
        // Long names of a service and of a school.
        text.replace(QStringLiteral("name=\"Sierra Vista Community Hospital\""),
                     QStringLiteral("name=\"Sierra Vista Community Hospital and Regional Trauma and Rehabilitation "
                                    "Center\""));
        text.replace(QStringLiteral("<name>Foothill Elementary</name>"),
                     QStringLiteral("<name>Foothill Elementary and Middle School of the Performing Arts</name>"));
        QString photos = QStringLiteral("<photos>");
        for (int i = 1; i <= n; ++i) {
            const int w = i % 3 == 0 ? 120 : i % 3 == 1 ? 400 : 300, h = i % 3 == 0 ? 300 : i % 3 == 1 ? 100 : 212;
            photos += QStringLiteral("<photo apn=\"5120%1\">").arg(i, 5, 10, QLatin1Char('0')) +
                QString::fromLatin1(Jpeg(w, h, qRgb(200, 180, 140))) + QStringLiteral("</photo>");
        }
        photos += QStringLiteral("</photos>");
        text.replace(
            QRegularExpression(QStringLiteral("<photos>.*</photos>"), QRegularExpression::DotMatchesEverythingOption),
            photos);
        LoadText(m_rptDoc, text);
    }

    static QString Residential(const char* status, int n)
    {
        const QByteArray address = "10" + QByteArray::number(n) + " STATUS " + status + " RESIDENTIAL WAY";
        const QByteArray key = "5120" + QByteArray::number(n).rightJustified(5, '0');
        return Comp({{"use_rec", "Y"},
                     {"status", status},
                     {"struct_type", "1"},
                     {"structure_type", "1"},
                     {"address", address.constData()},
                     {"city", "ALDER CREEK"},
                     {"apn", key.constData()},
                     {"owner", "MACINTYRE-VANDERBILT, ALEXANDRA CHRISTINE AND JONATHAN"},
                     {"bed", "4"},
                     {"bath", "3"},
                     {"house_sqft", "12,345"},
                     {"lot_sqft", "123,456"},
                     {"acres", "12.75"},
                     {"lot_size", "125x240"},
                     {"dom", "113"},
                     {"list_date", "12/28/2023"},
                     {"search_date", "01/10/2024"},
                     {"close_date", "02/14/2024"},
                     {"doc_date", "01/10/2024"},
                     {"list_price", "$1,491,000"},
                     {"sold_price", "$1,466,000"},
                     {"sale_code", "P"},
                     {"p_doc_date", "08/20/2015"},
                     {"p_sold_price", "$1,326,500"},
                     {"prev_sale_code", "P"},
                     {"ppsf", "$298.72"},
                     {"change", "-5.1"},
                     {"distance", "0.15"},
                     {"house_dif", "1,285 sqft smaller"},
                     {"land_use", "Single Family Residence"},
                     {"doc_type", "Grant Deed"},
                     {"lender", "Sierra Credit Union of the Foothills"},
                     {"pool", "Yes"},
                     {"features", "@Pool and spa@ in a private back yard, covered patio"},
                     {"rem", "Move-in ready with updated bathrooms and new flooring."}});
    }
    static QString Income(const char* status, int n, const char* structure)
    {
        const QByteArray address = "20" + QByteArray::number(n) + " STATUS " + status + " INCOME AVE";
        const QByteArray key = "5120" + QByteArray::number(n).rightJustified(5, '0');
        return Comp({{"use_rec", "Y"},
                     {"status", status},
                     {"struct_type", structure},
                     {"structure_type", structure},
                     {"address", address.constData()},
                     {"city", "ALDER CREEK"},
                     {"apn", key.constData()},
                     {"owner", "ALDER CREEK APARTMENT HOLDINGS LLC"},
                     {"house_sqft", "18,450"},
                     {"annual_gross", "$1,284,000"},
                     {"annual_expense", "$412,500"},
                     {"cap_rate", "6.75%"},
                     {"total_units", "124"},
                     {"zoning", "R-3-PD"},
                     {"lot_sqft", "43,560"},
                     {"dom", "113"},
                     {"list_date", "12/28/2023"},
                     {"search_date", "01/10/2024"},
                     {"doc_date", "01/10/2024"},
                     {"list_price", "$4,650,000"},
                     {"sold_price", "$4,466,000"},
                     {"sale_code", "P"},
                     {"p_doc_date", "08/20/2015"},
                     {"p_sold_price", "$3,326,500"},
                     {"prev_sale_code", "P"},
                     {"ppsf", "$242.06"},
                     {"distance", "0.45"},
                     {"house_dif", "16,605 sqft larger"},
                     {"land_use", "Apartments"},
                     {"doc_type", "Grant Deed"},
                     {"lender", "Cascade Savings"}});
    }

    // The whole report: every page kind, as the customer gets it.
    void MakeReport()
    {
        SelectPages({pgCover, pgPropInfo, pgStreet, pgHazard, pgMarketSummary, pgDetails, pgSummaryAnalysis,
                     pgCommunity, pgCensus, pgSchool, pgDetailsPhotos});
        m_pdf = WriteProfilePdf(QStringLiteral("layout.pdf"));
        m_words = PdfWords(m_pdf);
        ASSERT_EQ(int(m_words.size()), Pages());
    }
    // The index of the first page whose text holds the words.
    int PageWith(const QString& text) const
    {
        for (int i = 0; i < Pages(); ++i)
            if (Texts(Page(i)).contains(text)) return i;
        return -1;
    }
    // The pages whose header bar spells the title (without its blanks).
    std::vector<int> PagesTitled(const QString& title) const
    {
        std::vector<int> out;
        for (int i = 0; i < Pages(); ++i) {
            QString down;
            for (const QString& l : Page(i))
                if (l.startsWith(QLatin1String("text ")) && l.split(QLatin1Char(' ')).value(1).toDouble() > 7.85)
                    down += Texts({l}).value(0);
            if (down.remove(QLatin1Char(' ')) == title) out.push_back(i);
        }
        return out;
    }

    QString m_pdf;
    std::vector<PdfPage> m_words;
};

// Pairs of words that cover each other.
int CheckNoOverlaps(const std::vector<PdfPage>& pages)
{
    int checked = 0;
    for (size_t p = 0; p < pages.size(); ++p) {
        const PdfPage& page = pages[p];
        for (size_t i = 0; i < page.size(); ++i) {
            if (InTitleBar(page[i])) continue;
            for (size_t j = i + 1; j < page.size(); ++j) {
                const Word& a = page[i];
                const Word& b = page[j];
                if (InTitleBar(b)) continue;
                ++checked;
                EXPECT_FALSE(Overlap(a, b)) << "page " << p + 1 << ": \"" << a.Text.toStdString() << "\" and \""
                                            << b.Text.toStdString() << "\"";
            }
        }
    }
    return checked;
}

TEST_F(ReportLayout, NoTwoTextsShareAPlace)
{
    MakeReport();
    EXPECT_GT(CheckNoOverlaps(m_words), 10000);
    // The long texts and the income lines are there to be checked.
    const QStringList all = AllTexts();
    EXPECT_TRUE(all.contains(QStringLiteral("Heating:")));
    EXPECT_TRUE(all.filter(QStringLiteral("UNINCORPORATED")).size() >= 1);
    EXPECT_TRUE(all.filter(QStringLiteral("...")).size() >= 1); // the legal description, cut
    EXPECT_GE(all.count(QStringLiteral("GSI:")), 4);
    EXPECT_GE(all.count(QStringLiteral("Annual Exp:")), 4);
}

TEST_F(ReportLayout, TheStreetMapsPropertyBlockKeepsItsFieldsApart)
{
    // With a single comp the street map shows the property block beside
    // the long legal description.
    ReplaceComps(Residential("8", 1));
    SelectPages({pgStreet});
    const std::vector<PdfPage> pages = PdfWords(WriteProfilePdf(QStringLiteral("street.pdf")));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_GT(CheckNoOverlaps(pages), 1000);
    int legal = 0;
    for (const Word& w : pages[0]) {
        if (!InTitleBar(w)) { EXPECT_LE(w.X2, 7.8 + 0.5 / 72) << w.Text.toStdString(); }
        legal += w.Text == QLatin1String("UNINCORPORATED") ? 1 : 0;
    }
    EXPECT_EQ(legal, 1);
    EXPECT_TRUE(Texts(Page(0)).contains(QStringLiteral("Lot Width/Depth:")));
}

TEST_F(ReportLayout, MarketSummaryCellsKeepAGap)
{
    MakeReport();
    const std::vector<int> pages = PagesTitled(QStringLiteral("MARKETSUMMARY"));
    ASSERT_GE(pages.size(), 2u);
    static const QRegularExpression date(QStringLiteral("^\\d\\d/\\d\\d/\\d{4}$"));
    int dates = 0;
    for (int p : pages) {
        for (const auto& line : Lines(m_words[size_t(p)])) {
            // The table (in Arial 10, whose blank is 2.8 points), not the
            // footer below it.
            if (line.front().Y2 > 9.85) continue;
            for (size_t i = 1; i < line.size(); ++i)
                EXPECT_GE(line[i].X1 - line[i - 1].X2, 2.0 / 72)
                    << "page " << p + 1 << ": " << LineText(line).toStdString();
            for (const Word& w : line) {
                if (w.Text.contains(QLatin1Char('/')) && w.Text.size() >= 10) {
                    EXPECT_TRUE(date.match(w.Text).hasMatch()) << w.Text.toStdString();
                    ++dates;
                }
            }
        }
    }
    EXPECT_GE(dates, 40);
}

TEST_F(ReportLayout, MarketSummaryHasOneBandPerStatusAndKindClosedByItsAverages)
{
    MakeReport();
    QStringList texts;
    for (int p : PagesTitled(QStringLiteral("MARKETSUMMARY"))) texts += Texts(Page(p));
    // Every status of the comps has one band per structure kind: Sold and
    // Active two (residential and income), the others one.
    std::map<QString, int> bands;
    for (const QString& t : texts)
        if (t.endsWith(QLatin1String(" Properties"))) ++bands[t];
    const char* names[] = {"Active", "Canceled", "Contingent", "Expired",   "First Right", "Hold",
                           "Leased", "Pending",  "Sold",       "Withdrawn", "Unknown"};
    for (const char* name : names) {
        const QString band = QString::fromLatin1(name) + QStringLiteral(" Properties");
        const bool income = band.startsWith(QLatin1String("Active")) || band.startsWith(QLatin1String("Sold"));
        EXPECT_EQ(bands[band], income ? 2 : 1) << name;
    }
    // Each group's comps follow its band, then its one averages row; no comp
    // of a closed group comes later.
    std::set<QString> closed;
    QString group;
    int averages = 0;
    for (const QString& t : texts) {
        static const QRegularExpression entry(QStringLiteral("^\\d+ STATUS (\\S+) (RESIDENTIAL|INCOME)"));
        const auto m = entry.match(t);
        if (m.hasMatch()) {
            const QString key = m.captured(1) + m.captured(2);
            EXPECT_FALSE(closed.count(key)) << t.toStdString();
            group = key;
        } else if (t == QLatin1String("Average")) {
            EXPECT_FALSE(closed.count(group)) << group.toStdString();
            closed.insert(group);
            ++averages;
        }
    }
    // Groups of two comps or more: 11 residential, 2 income.
    EXPECT_EQ(averages, 13);
    // The income band's headings.
    const int sold =
        int(texts.indexOf(QStringLiteral("Sold Properties"), texts.indexOf(QStringLiteral("Sold Properties")) + 1));
    ASSERT_GT(sold, 0);
    EXPECT_EQ(texts.value(sold + 1), QStringLiteral("Address"));
    EXPECT_EQ(texts.value(sold + 2), QStringLiteral("GSI"));
    EXPECT_EQ(texts.value(sold + 3), QStringLiteral("Zoning"));
    // The income group's averages show its gross income.
    EXPECT_TRUE(texts.contains(QStringLiteral("$1,284,000")));
}

TEST_F(ReportLayout, RulesAndPicturesKeepClearOfTheText)
{
    MakeReport();
    for (int p = 0; p < Pages(); ++p) {
        const QStringList lines = Page(p);
        const PdfPage& words = m_words[size_t(p)];
        // The footer rule (9.9 to 9.93) and the street map's frame (bottom
        // line at 10.35) stay above the footer text.
        const bool rule = lines.contains(QStringLiteral("rect 0.75 9.9 7.8 9.93"));
        const bool frame = lines.contains(QStringLiteral("rect 0.75 0.75 7.8 10.35"));
        for (const Word& w : words) {
            if (rule && w.Y2 > 9.9 && !InTitleBar(w)) {
                EXPECT_GT(w.Y1, 9.93 + 0.5 / 72) << "page " << p + 1 << " " << w.Text.toStdString();
            }
            if (frame && w.Y2 > 10.3) {
                EXPECT_GT(w.Y1, 10.35 + 1.0 / 72) << "page " << p + 1 << " " << w.Text.toStdString();
            }
        }
        // No picture lies under a text (the bars and bands are backgrounds).
        for (const PagePicture& pic : Pictures(lines)) {
            if (IsGradient(pic.Width, pic.Height)) continue;
            for (const Word& w : words)
                EXPECT_FALSE(w.X1 < pic.X2 && pic.X1 < w.X2 && w.Y1 < pic.Y2 && pic.Y1 < w.Y2)
                    << "page " << p + 1 << " " << w.Text.toStdString() << " over a " << pic.Width << "x" << pic.Height
                    << " picture";
        }
    }
    // The school's title box holds the district name within its lines.
    const int school = PageWith(QStringLiteral("Sierra Vista Unified School District"));
    ASSERT_GE(school, 0);
    const QStringList box = Page(school).filter(QRegularExpression(QStringLiteral("^rect 0.75 0.5 7.8 ")));
    ASSERT_FALSE(box.isEmpty());
    const double bottom = box.first().split(QLatin1Char(' ')).value(4).toDouble();
    int inside = 0;
    for (const Word& w : m_words[size_t(school)]) {
        if (w.Y2 < bottom + 0.05 && !InTitleBar(w)) {
            EXPECT_GT(w.Y1, 0.5 + 1.0 / 72) << w.Text.toStdString();
            EXPECT_LT(w.Y2, bottom - 0.5 / 72) << w.Text.toStdString();
            ++inside;
        }
    }
    EXPECT_GE(inside, 5);
}

TEST_F(ReportLayout, PicturesKeepTheirProportionsAndTheirPixels)
{
    MakeReport();
    // In the recorded pages: every picture at its own proportions.
    int pictures = 0;
    for (int p = 0; p < Pages(); ++p)
        for (const PagePicture& pic : Pictures(Page(p)))
            if (!IsGradient(pic.Width, pic.Height)) {
                ++pictures;
                EXPECT_LT(pic.AspectError(), 0.01) << "page " << p + 1 << " " << pic.Width << "x" << pic.Height;
            }
    EXPECT_GE(pictures, 30);
    // In the PDF: the same resolution across and down, and every picture
    // embedded with the pixels it came with.
    const std::vector<PdfImage> images = PdfImages(m_pdf);
    ASSERT_FALSE(images.empty());
    bool photo = false, logo = false, hazard = false;
    for (const PdfImage& i : images) {
        if (IsGradient(i.Width, i.Height)) continue;
        EXPECT_NEAR(i.XPpi / i.YPpi, 1.0, 0.02) << i.Width << "x" << i.Height << " on page " << i.Page;
        photo = photo || (i.Width == 420 && i.Height == 175);
        logo = logo || (i.Width == 330 && i.Height == 100);
        hazard = hazard || (i.Width == 1200 && i.Height == 300);
    }
    EXPECT_TRUE(photo);
    EXPECT_TRUE(logo);
    EXPECT_TRUE(hazard);
}

TEST_F(ReportLayout, NoBodyTextPastTheRightMargin)
{
    MakeReport();
    int partial = 0;
    for (size_t p = 0; p < m_words.size(); ++p) {
        for (const Word& w : m_words[p]) {
            if (InTitleBar(w)) continue;
            EXPECT_LE(w.X2, 7.8 + 0.5 / 72) << "page " << p + 1 << " " << w.Text.toStdString();
            partial += w.Text == QLatin1String("Partial") ? 1 : 0;
        }
    }
    EXPECT_GE(partial, 10); // the sale codes spelled out beside the prices
}

TEST_F(ReportLayout, TheAgentIsNamedFromFirstAndLastName)
{
    MakeReport();
    const QString line = QStringLiteral("Dana Whitfield - Alder Creek Realty");
    int footers = 0;
    for (size_t p = 0; p < m_words.size(); ++p) {
        for (const auto& words : Lines(m_words[p])) {
            const QString text = LineText(words);
            EXPECT_FALSE(text.startsWith(QLatin1Char('-'))) << "page " << p + 1 << ": " << text.toStdString();
            footers += text == line || text.startsWith(line + QStringLiteral(" - ")) ? 1 : 0;
        }
    }
    // Every page with the common footer, and the street map's own.
    EXPECT_GE(footers, Pages() - 1);
    const QStringList cover = Texts(Page(0));
    EXPECT_TRUE(cover.contains(QStringLiteral("Dana Whitfield")));

    // No name and no company: the furniture prints neither nor a dash.
    m_personal.SetFirstName(QString());
    m_personal.SetLastName(QString());
    m_personal.SetCompany(QString());
    SelectPages({pgPropInfo, pgStreet});
    WriteProfile();
    for (const QString& t : AllTexts()) {
        EXPECT_FALSE(t.startsWith(QLatin1String(" -")) || t.startsWith(QLatin1String("- "))) << t.toStdString();
        EXPECT_FALSE(t.endsWith(QLatin1String(" - "))) << t.toStdString();
    }
}

TEST_F(ReportLayout, TheLogoKeepsItsProportionAndThePreviewButtonsTheirCaptions)
{
    SelectPages({pgPropInfo, pgCensus});
    WriteProfile();
    for (int p = 0; p < Pages(); ++p) {
        int logos = 0;
        for (const PagePicture& pic : Pictures(Page(p))) {
            if (pic.Width == 330 && pic.Height == 100) {
                ++logos;
                EXPECT_TRUE(pic.Fits(4.0, 9.9, 4.5, 10.4));
                EXPECT_LT(pic.AspectError(), 0.01);
            }
        }
        EXPECT_EQ(logos, 1) << "page " << p + 1;
    }

    QStringList captions;
    m_dialogs.NextModal([&](QDialog& w) {
        auto* bar = w.findChild<QToolBar*>();
        for (QAction* a : bar->actions())
            if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(a))) captions << button->text();
        return int(mrCancel);
    });
    m_form.PreviewReportFile(QStringLiteral("profile.rpt"));
    EXPECT_EQ(captions,
              QStringList({QStringLiteral("Print"), QStringLiteral("Save As"), QStringLiteral("Zoom In"),
                           QStringLiteral("Zoom Out"), QStringLiteral("First Page"), QStringLiteral("Next Page"),
                           QStringLiteral("Prior Page"), QStringLiteral("Last Page"), QStringLiteral("Back")}));
}

TEST_F(ReportLayout, CommentsAreFollowedByASpace)
{
    MakeReport();
    int seen = 0;
    for (const PdfPage& page : m_words) {
        for (const auto& line : Lines(page)) {
            for (size_t i = 0; i + 1 < line.size(); ++i) {
                if (line[i].Text != QLatin1String("Comments:")) continue;
                ++seen;
                // A blank of Arial 8 is 2.2 points.
                EXPECT_GE(line[i + 1].X1 - line[i].X2, 2.0 / 72) << LineText(line).toStdString();
            }
            for (const Word& w : line)
                EXPECT_FALSE(w.Text.startsWith(QLatin1String("Comments:")) && w.Text.size() > 9)
                    << w.Text.toStdString();
        }
    }
    EXPECT_GE(seen, 20);
}

TEST_F(ReportLayout, MarketSummaryHeadingsArePrintedWhole)
{
    // Land comps, and residential ones in county 106.
    QString comps;
    for (const char* status : {"8", "8", "0"})
        comps += Comp({{"use_rec", "Y"},
                       {"status", status},
                       {"struct_type", "6"},
                       {"address", "1 LAND WAY"},
                       {"apn_index", "512-034-019"},
                       {"acres", "1,234.75"},
                       {"lot_sqft", "53,786,710"},
                       {"dom", "113"},
                       {"list_date", "12/28/2023"},
                       {"search_date", "01/10/2024"},
                       {"list_price", "$1,491,000"},
                       {"sold_price", "$1,466,000"}});
    ReplaceComps(comps);
    SelectPages({pgMarketSummary});
    const auto headings = [this](const QString& pdfName) {
        std::vector<std::vector<Word>> rows;
        for (const PdfPage& page : PdfWords(WriteProfilePdf(pdfName)))
            for (const auto& line : Lines(page))
                if (!line.empty() && line.front().Text == QLatin1String("Address")) rows.push_back(line);
        return rows;
    };
    const auto check = [](const std::vector<std::vector<Word>>& rows, const QString& whole) {
        ASSERT_FALSE(rows.empty());
        for (const auto& row : rows) {
            EXPECT_TRUE(std::any_of(row.begin(), row.end(), [&](const Word& w) { return w.Text == whole; }))
                << LineText(row).toStdString();
            EXPECT_FALSE(LineText(row).contains(QLatin1String("..."))) << LineText(row).toStdString();
            for (size_t i = 1; i < row.size(); ++i)
                EXPECT_GE(row[i].X1 - row[i - 1].X2, 2.0 / 72) << LineText(row).toStdString();
        }
    };
    check(headings(QStringLiteral("land.pdf")), QStringLiteral("Acreage"));

    AppState().County = std::make_shared<TCountyRec>(
        TCountyRec{true, true, 106, QStringLiteral("Mariposa Bay - CA"), QStringLiteral("MBAY")});
    comps.clear();
    for (const char* status : {"8", "8"}) comps += Residential(status, 1);
    ReplaceComps(comps);
    check(headings(QStringLiteral("county106.pdf")), QStringLiteral("Fixtures"));
}

TEST_F(ReportLayout, TheStreetMapsRuleAndLegendKeepClearOfTheTextAndTheTable)
{
    MakeReport();
    const std::vector<int> street = PagesTitled(QStringLiteral("STREETMAP"));
    ASSERT_EQ(street.size(), 1u);
    const QStringList lines = Page(street[0]);
    // The rule across the page under the map, and the table's header bar.
    double rule = -1, bar = 99;
    std::vector<std::pair<double, double>> squares;
    for (const QString& l : lines) {
        const QStringList f = l.split(QLatin1Char(' '));
        if (f.size() < 5) continue;
        const double y1 = f[2].toDouble(), y2 = f[4].toDouble();
        if (f[0] == QLatin1String("rect") && f[1] == QLatin1String("0.75") && f[3] == QLatin1String("7.8") &&
            y1 == y2 && y1 > 5 && y1 < 6)
            rule = y1;
        if (f[0] == QLatin1String("fill") && f.value(5) == QLatin1String("$000000") && y1 > 6) bar = std::min(bar, y1);
        if (f[0] == QLatin1String("rect") && f[1] == QLatin1String("1.05") && f[3] == QLatin1String("1.15"))
            squares.emplace_back(y1, y2);
    }
    // Below the map's lower edge, above every text under it.
    ASSERT_GT(rule, 5.45);
    QStringList under;
    for (const Word& w : m_words[size_t(street[0])]) {
        if (InTitleBar(w) || w.Y2 < rule || w.Y1 > 6.3) continue;
        EXPECT_GT(w.Y1, rule + 0.5 / 72) << w.Text.toStdString();
        under << w.Text;
    }
    for (const char* text : {"Prepared", "Dana", "Active", "Pending", "Expired", "Sold"})
        EXPECT_TRUE(under.contains(QString::fromLatin1(text))) << text;
    // The four price ranges' squares, the lowest clear of the header bar.
    ASSERT_LT(bar, 99);
    ASSERT_EQ(squares.size(), 4u);
    for (const auto& [top, bottom] : squares) {
        EXPECT_GT(top, rule + 0.05);
        EXPECT_LT(bottom, bar - 0.02);
    }
}

TEST_F(ReportLayout, FeaturesAndCommentsStayInsideTheirFrames)
{
    // Comps whose features and remarks fill their lines to the right.
    QString remarks, features;
    for (int i = 0; i < 6; ++i) {
        remarks += QStringLiteral("Move-in ready with updated bathrooms, new flooring and a remodeled kitchen. ");
        features += QStringLiteral("Covered patio, mature trees, dual pane windows and a three car garage, ");
    }
    QString comps;
    for (int n = 1; n <= 6; ++n) {
        QString comp = Residential(n % 2 ? "8" : "0", n);
        comp.replace(QRegularExpression(QStringLiteral("<rem>[^<]*</rem>")),
                     QStringLiteral("<rem>") + remarks.trimmed() + QStringLiteral("</rem>"));
        comp.replace(QRegularExpression(QStringLiteral("<features>[^<]*</features>")),
                     QStringLiteral("<features>") + features.trimmed() + QStringLiteral("</features>"));
        comps += comp;
    }
    ReplaceComps(comps);
    SelectPages({pgDetails, pgDetailsPhotos});
    const std::vector<PdfPage> pages = PdfWords(WriteProfilePdf(QStringLiteral("details.pdf")));
    ASSERT_EQ(int(pages.size()), Pages());
    // The frames' right line at 7.78 is 2 pixels wide: the text ends left
    // of its inner edge, with a gap.
    int nearTheFrame = 0;
    for (size_t p = 0; p < pages.size(); ++p) {
        for (const Word& w : pages[p]) {
            if (InTitleBar(w) || w.Y1 > 9.85) continue;
            EXPECT_LT(w.X2, 7.78 - 1.0 / 96 - 0.5 / 72) << "page " << p + 1 << " " << w.Text.toStdString();
            nearTheFrame += w.X2 > 7.5 ? 1 : 0;
        }
    }
    EXPECT_GE(nearTheFrame, 40);
}
