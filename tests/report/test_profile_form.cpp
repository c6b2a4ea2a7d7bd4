// The report form: the page driver's order and guards, the entry points,
// the report data fetched before a report, the map sheets removed after it,
// saving as PDF or as a copy.

#include "ProfileFixture.h"

#include "platform/core/Exception.h"
#include "tests/support/SampleService.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>

namespace {

QString ErrorOf(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const Exception& e) {
        return e.Message();
    }
    return QStringLiteral("(no error)");
}

QByteArray ReadAll(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Touch(const QString& name)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("sheet");
}

} // namespace

TEST_F(ProfileTest, PagesComeInOrderNumberOrderAndFailedGuardsLeaveNoPage)
{
    TReportPageList& pages = AppState().ReportPages;
    pages.AddPage(pgPropInfo, 2, QStringLiteral("Property"), QStringLiteral("Y"));
    pages.AddPage(pgMarketSummary, 3, QStringLiteral("Market"), QStringLiteral("N"));
    pages.AddPage(pgCover, 1, QStringLiteral("Cover"), QStringLiteral("Y"));
    pages.AddPage(pgAssessorMap, 4, QStringLiteral("Map"), QStringLiteral("Y")); // no sheets
    WriteProfile();
    ASSERT_EQ(Pages(), 2);
    // The cover's title spelled down the bar, one letter every 0.3 inch.
    const QStringList cover = Page(0);
    const TextAt m = FindText(cover, QStringLiteral("M"));
    const TextAt k = FindText(cover, QStringLiteral("K"));
    EXPECT_NEAR(k.Y - m.Y, 0.3 * 3, 1e-3);
    EXPECT_TRUE(Texts(cover).contains(QStringLiteral("Dana Whitfield")));
    EXPECT_TRUE(Texts(Page(1)).contains(QStringLiteral("PROPERTY  INFORMATION")));
    // The bar is drawn from 0.5 to 10.35 at the right edge.
    EXPECT_TRUE(cover.filter(QStringLiteral("image 7.85 0.5 8.25 10.35")).size() == 1);
}

TEST_F(ProfileTest, APageThatFailsStopsWhereItFailedAndThePagesAfterItAreMade)
{
    SelectPages({pgCover, pgStreet, pgPropInfo});
    // The street map's page breaks off after its heading.
    const auto rows = m_form.rStreet.OnRowPrint;
    m_form.rStreet.OnRowPrint = [](TBaseReport&, TReportShell&, bool&) {
        throw Exception(QStringLiteral("The map went missing."));
    };
    QStringList told;
    m_form.OnLeftOut = [&](QObject* sender, const QString& what) {
        EXPECT_EQ(sender, &m_form);
        told << what;
    };
    WriteProfile();
    m_form.rStreet.OnRowPrint = rows;
    ASSERT_EQ(Pages(), 3);
    EXPECT_TRUE(Texts(Page(2)).contains(QStringLiteral("PROPERTY  INFORMATION")));
    EXPECT_EQ(told,
              QStringList{QStringLiteral("The page \"Street Map\" could not be made whole; it stops where "
                                         "this happened: The map went missing.")});
}

TEST_F(ProfileTest, UnknownPageIdsMakeNoPage)
{
    SelectPages({110, pgPropInfo, 110, pgCover});
    WriteProfile();
    ASSERT_EQ(Pages(), 2);
    EXPECT_TRUE(Texts(Page(0)).contains(QStringLiteral("PROPERTY  INFORMATION")));
}

TEST_F(ProfileTest, CompsOfAnEarlierSearchNeverReachTheMarketPages)
{
    SelectPages({pgCover, pgMarketSummary, pgSummaryAnalysis});
    WriteProfile();
    EXPECT_GE(Pages(), 3);
    AppState().CompsFound = false;
    WriteProfile();
    EXPECT_EQ(Pages(), 1);
}

TEST_F(ProfileTest, PropertyAndCompReportsKeepToTheirOwnFiles)
{
    TvxpDocument comp;
    comp.ValidateDocument = false;
    LoadFixture(comp, QStringLiteral("prop_data.xml"));
    m_form.WritePropertyInfoReport(m_propDoc.RequestElement(), QStringLiteral("propinfo.rpt"));
    m_form.WritePropertyInfoReport(comp.RequestElement(), QStringLiteral("compinfo.rpt"));
    ASSERT_TRUE(QFileInfo::exists(Temp(QStringLiteral("propinfo.rpt"))));
    ASSERT_TRUE(QFileInfo::exists(Temp(QStringLiteral("compinfo.rpt"))));
    m_reader.LoadFromFile(Temp(QStringLiteral("propinfo.rpt")));
    EXPECT_EQ(Pages(), 1);
    EXPECT_EQ(m_reader.Title(), QStringLiteral("Report"));

    // Before a comp is fetched its earlier report goes, so a failed fetch
    // shows no other comp.
    m_form.DeleteReportFile(QStringLiteral("compinfo.rpt"));
    EXPECT_FALSE(QFileInfo::exists(Temp(QStringLiteral("compinfo.rpt"))));
    EXPECT_TRUE(QFileInfo::exists(Temp(QStringLiteral("propinfo.rpt"))));
    EXPECT_EQ(ErrorOf([&] { m_form.PreviewReportFile(QStringLiteral("compinfo.rpt")); }),
              QStringLiteral("Report not found") + Temp(QStringLiteral("compinfo.rpt")));
    EXPECT_EQ(m_dialogs.Count(DialogRequest::Kind::Modal), 0);

    m_form.PreviewReportFile(QStringLiteral("propinfo.rpt"));
    ASSERT_EQ(m_dialogs.Count(DialogRequest::Kind::Modal), 1);
    EXPECT_EQ(m_dialogs.Shown().last().caption, QStringLiteral("Preview"));
}

TEST_F(ProfileTest, SaveAsTellsPdfByItsExtensionInAnyCase)
{
    m_form.WritePropertyInfoReport(m_propDoc.RequestElement(), QStringLiteral("propinfo.rpt"));
    const QByteArray report = ReadAll(Temp(QStringLiteral("propinfo.rpt")));
    const QString copy = Temp(QStringLiteral("saved.rpt"));
    m_dialogs.NextFileName(copy);
    m_form.SavePropertyInfoAs();
    EXPECT_EQ(ReadAll(copy), report);
    EXPECT_EQ(m_dialogs.Shown().last().caption, QStringLiteral("Save as..."));

    // "REPORT.PDF" is a PDF name: it never receives the raw report file.
    const QString pdf = Temp(QStringLiteral("REPORT.PDF"));
    m_dialogs.NextFileName(pdf);
    m_form.SavePropertyInfoAs();
    EXPECT_TRUE(ReadAll(pdf).startsWith("%PDF-"));
    EXPECT_EQ(testsupport::PdfCheckProblems(pdf), QString());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // Cancelling does nothing.
    m_form.SavePropertyInfoAs();
}

TEST_F(ProfileTest, MapSheetsAreRemovedOnlyInsideTheirDirectory)
{
    QTemporaryDir elsewhere;
    const QString outside = elsewhere.path() + QStringLiteral("/keep.tif");
    const QString inside = Temp(QStringLiteral("59-512-034-019-1.tif"));
    Touch(outside);
    Touch(inside);
    m_form.Context().SheetFiles =
        QStringList{inside, outside, Temp(QStringLiteral("../escape.tif")), Temp(QStringLiteral("gone.tif"))};
    m_form.DeleteAssessorMapFiles();
    EXPECT_FALSE(QFileInfo::exists(inside));
    EXPECT_TRUE(QFileInfo::exists(outside));
}

TEST_F(ProfileTest, SelectedPagesThatMakeNothingAreNamedWithWhyInTheWarningAndTheLog)
{
    // No street map was asked for (the map request failed), the service
    // could not draw the hazard map, found no services and sent no photos;
    // and a page this program does not know.
    QFile rpt(FixturePath(QStringLiteral("rptgen.xml")));
    ASSERT_TRUE(rpt.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(rpt.readAll());
    text.replace(QRegularExpression(QStringLiteral("<street status=\"0\">[^<]*</street>")), QString());
    text.replace(QStringLiteral("<hazard status=\"0\">"), QStringLiteral("<hazard status=\"2\">"));
    text.replace(QStringLiteral("<services found=\"Y\">"), QStringLiteral("<services found=\"N\">"));
    text.replace(
        QRegularExpression(QStringLiteral("<photos>.*</photos>"), QRegularExpression::DotMatchesEverythingOption),
        QString());
    LoadText(m_rptDoc, text);
    m_rptGen.StreetMap = false;
    m_rptGen.HazardMap = true;
    SelectPages({pgCover, pgStreet, pgHazard, pgCommunity, pgDetailsPhotos, 110});
    QStringList told;
    m_form.OnLeftOut = [&](QObject*, const QString& what) { told << what; };
    WriteProfile();
    EXPECT_EQ(Pages(), 1);
    EXPECT_EQ(told,
              (QStringList{
                  QStringLiteral("The page \"Street Map\" was left out of the report: the map request gave no map"),
                  QStringLiteral("The page \"Natural Hazards\" was left out of the report: the service could not "
                                 "draw the map"),
                  QStringLiteral("The page \"Community Services\" was left out of the report: the service found "
                                 "no community services"),
                  QStringLiteral("The page \"Market Details with Photos\" was left out of the report: the "
                                 "report data holds no photos"),
                  QStringLiteral("The page \"Flood Certificate\" was left out of the report: this program "
                                 "cannot make this page"),
              }));
    EXPECT_EQ(PreviewWarning(),
              QStringLiteral("Some pages of this report are incomplete or were left out.\n\n"
                             "Street Map: the map request gave no map\n"
                             "Natural Hazards: the service could not draw the map\n"
                             "Community Services: the service found no community services\n"
                             "Market Details with Photos: the report data holds no photos\n"
                             "Flood Certificate: this program cannot make this page\n\n"
                             "Error.log has the details."));

    // Fewer than two comps: the market pages say so.
    ReplaceComps(Comp({{"use_rec", "Y"}, {"status", "8"}}));
    SelectPages({pgMarketSummary, pgCover});
    told.clear();
    WriteProfile();
    EXPECT_EQ(told,
              QStringList{QStringLiteral("The page \"Market Summary\" was left out of the report: fewer than two "
                                         "comparable sales were found")});
}

TEST_F(ProfileTest, AnAssessorMapOfUnreadableSheetsIsLeftOutWithoutABlankPage)
{
    const QString dir = AppState().TempDir;
    for (const char* name : {"bad1.tif", "bad2.tif"}) {
        QFile bad(dir + QString::fromLatin1(name));
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
        bad.write("II*\0 not a sheet");
    }
    m_form.Context().SheetFiles = QStringList{dir + QStringLiteral("bad1.tif"), dir + QStringLiteral("bad2.tif")};
    SelectPages({pgCover, pgAssessorMap, pgPropInfo});
    QStringList told;
    m_form.OnLeftOut = [&](QObject*, const QString& what) { told << what; };
    WriteProfile();
    // The property page follows the cover directly.
    ASSERT_EQ(Pages(), 2);
    EXPECT_TRUE(Texts(Page(1)).contains(QStringLiteral("PROPERTY  INFORMATION")));
    ASSERT_EQ(told.size(), 3) << told.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(
        told[0].startsWith(QStringLiteral("The assessor map sheet bad1.tif could not be read and was left out: ")))
        << told[0].toStdString();
    EXPECT_TRUE(
        told[1].startsWith(QStringLiteral("The assessor map sheet bad2.tif could not be read and was left out: ")))
        << told[1].toStdString();
    EXPECT_EQ(told[2],
              QStringLiteral("The page \"Assessor Map\" was left out of the report: no map sheet could be read"));
    m_form.PreviewReportFile(QStringLiteral("profile.rpt"));
    const DialogRequest& note = m_dialogs.Shown().at(m_dialogs.Shown().size() - 2);
    EXPECT_EQ(note.text,
              QStringLiteral("Some pages of this report are incomplete or were left out.\n\n"
                             "Assessor Map: no map sheet could be read\n\n"
                             "Error.log has the details."));

    // An unreadable first sheet before a readable one: the page starts with
    // the readable one.
    ASSERT_TRUE(QFile::copy(FixturePath(QStringLiteral("sheet1.tif")), dir + QStringLiteral("s1.tif")));
    m_form.Context().SheetFiles = QStringList{dir + QStringLiteral("bad1.tif"), dir + QStringLiteral("s1.tif")};
    told.clear();
    WriteProfile();
    ASSERT_EQ(Pages(), 3);
    ASSERT_EQ(Pictures(Page(1)).size(), 1u);
    EXPECT_TRUE(Pictures(Page(1))[0].Fits(0.75, 0.5, 8.3, 10.8));
    EXPECT_EQ(told.size(), 1);
}

class ProfileServiceTest : public ProfileTest {
protected:
    void SetUp() override
    {
        ProfileTest::SetUp();
        ASSERT_TRUE(m_service.Start()) << m_service.Error().toStdString();
        m_rptGen.SetHostServer(m_service.Host());
        m_rptGen.CgiPath = QStringLiteral("/cgi-bin/RptGen.exe");
        m_rptGen.UserId = 4127;
        m_map.SetHost(QStringLiteral("127.0.0.1"));
        m_map.SetPort(m_service.TaxMapPort());
    }
    void TearDown() override
    {
        m_service.Stop();
        ProfileTest::TearDown();
    }
    int RptGenRequests()
    {
        int n = 0;
        for (const QJsonObject& e : m_service.Log(QStringLiteral("service")))
            n += e.value(QStringLiteral("request_type")).toString() == QLatin1String("rptgen.request") ? 1 : 0;
        return n;
    }
    testsupport::SampleService m_service;
};

TEST_F(ProfileServiceTest, ReportDataIsFetchedOnlyWhenWantedAndNeverReused)
{
    m_rptGen.IncludeCensus = true;
    m_rptGen.CensusTract = QStringLiteral("0012.03");
    m_form.FetchReportData();
    EXPECT_EQ(RptGenRequests(), 1);
    EXPECT_EQ(m_rptGen.County, 59);
    SelectPages({pgCensus});
    WriteProfile();
    EXPECT_EQ(Pages(), 1);

    // No part wanted: nothing is sent, and the previous answer is gone.
    m_rptGen.IncludeCensus = false;
    m_form.FetchReportData();
    EXPECT_EQ(RptGenRequests(), 1);
    EXPECT_EQ(m_rptDoc.RequestElement(), nullptr);
    SelectPages({pgCover, pgCensus});
    WriteProfile();
    EXPECT_EQ(Pages(), 1);
}

TEST_F(ProfileServiceTest, AFailedReportRestoresTheCursorAndRemovesTheSheets)
{
    m_rptGen.IncludeAssessorMap = true;
    SelectPages({pgCover, pgAssessorMap});
    // The report file cannot be written: a directory stands in its place.
    ASSERT_TRUE(QDir(AppState().TempDir).mkdir(QStringLiteral("profile.rpt")));
    EXPECT_NE(ErrorOf([&] { m_form.ShowProfileReport(m_propDoc.RequestElement()); }), QStringLiteral("(no error)"));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ASSERT_EQ(m_map.SheetFiles().size(), 3);
    for (const QString& sheet : m_map.SheetFiles()) EXPECT_FALSE(QFileInfo::exists(sheet)) << sheet.toStdString();
    EXPECT_EQ(m_dialogs.Count(DialogRequest::Kind::Modal), 0);

    // A sound report shows the preview and removes the sheets after it.
    ASSERT_TRUE(QDir(AppState().TempDir).rmdir(QStringLiteral("profile.rpt")));
    m_form.ShowProfileReport(m_propDoc.RequestElement());
    EXPECT_EQ(m_dialogs.Count(DialogRequest::Kind::Modal), 1);
    for (const QString& sheet : m_map.SheetFiles()) EXPECT_FALSE(QFileInfo::exists(sheet)) << sheet.toStdString();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(ProfileServiceTest, AnAssessorMapTheServerGaveNoSheetForIsNamedWithWhy)
{
    m_rptGen.IncludeAssessorMap = true;
    SelectPages({pgCover, pgAssessorMap});
    QStringList told;
    m_form.OnLeftOut = [&](QObject*, const QString& what) { told << what; };
    // The tax-map server answers its login with status 500.
    m_service.Next(QStringLiteral("taxmap.login"), QStringLiteral("status-500"));
    m_form.FetchReportData();
    WriteProfile();
    EXPECT_EQ(Pages(), 1);
    EXPECT_EQ(told,
              QStringList{QStringLiteral(
                  "The page \"Assessor Map\" was left out of the report: the map server did not answer")});
    m_form.PreviewReportFile(QStringLiteral("profile.rpt"));
    EXPECT_EQ(m_dialogs.Shown().at(m_dialogs.Shown().size() - 2).text,
              QStringLiteral("Some pages of this report are incomplete or were left out.\n\n"
                             "Assessor Map: the map server did not answer\n\nError.log has the details."));

    // A county without assessor maps.
    auto county = std::make_shared<TCountyRec>(*AppState().County);
    county->ApnMap.clear();
    AppState().County = county;
    told.clear();
    m_form.FetchReportData();
    WriteProfile();
    EXPECT_EQ(told,
              QStringList{QStringLiteral(
                  "The page \"Assessor Map\" was left out of the report: the county has no assessor maps")});
}

TEST_F(ProfileTest, ThePreviewTellsOnceWhichPagesAreIncomplete)
{
    SelectPages({pgCover, pgStreet, pgPropInfo, pgHazard});
    // The street map's picture does not decode, and the hazards page breaks off.
    LoadReportDataWith(QStringLiteral("<street status=\"0\">[^<]*</street>"),
                       QStringLiteral("<street status=\"0\">AAAAAAAAAAAAAAAAAAAAAAAAAAAA</street>"));
    m_form.rHazard.OnRowPrint = [](TBaseReport&, TReportShell&, bool&) {
        throw Exception(QStringLiteral("The legend went missing."));
    };
    QStringList told;
    m_form.OnLeftOut = [&](QObject*, const QString& what) { told << what; };
    WriteProfile();
    ASSERT_EQ(told.size(), 2);
    // The street map frame stays empty and the log says why.
    EXPECT_TRUE(told[0].startsWith(QStringLiteral("The street map could not be read and was left out of page 2: ")))
        << told[0].toStdString();
    EXPECT_TRUE(told[1].startsWith(QStringLiteral("The page \"Natural Hazards\" could not be made whole")));

    EXPECT_EQ(PreviewWarning(),
              QStringLiteral("Some pages of this report are incomplete or were left out.\n\n"
                             "Street Map: parts of it were cut short or left out\n"
                             "Natural Hazards: parts of it were cut short or left out\n\n"
                             "Error.log has the details."));
    EXPECT_EQ(m_dialogs.Shown().last().kind, DialogRequest::Kind::Modal); // then the preview
    // Once: the same report previewed again says nothing more.
    m_form.PreviewReportFile(QStringLiteral("profile.rpt"));
    EXPECT_EQ(m_dialogs.Count(DialogRequest::Kind::Message), 1);
    EXPECT_EQ(m_dialogs.Count(DialogRequest::Kind::Modal), 2);

    // A report made whole tells nothing.
    LoadFixture(m_rptDoc, QStringLiteral("rptgen.xml"));
    m_form.rHazard.OnRowPrint = nullptr;
    SelectPages({pgCover, pgStreet, pgPropInfo});
    WriteProfile();
    m_form.PreviewReportFile(QStringLiteral("profile.rpt"));
    EXPECT_EQ(m_dialogs.Count(DialogRequest::Kind::Message), 1);
}

TEST_F(ProfileTest, UnreadablePicturesAreLeftOutWithANoteAndTold)
{
    // A hazard map that is no JPEG, the recorded comp photo of 512-041-009
    // that is none either, and a map sheet that is no TIFF between two that
    // are.
    LoadReportDataWith(QStringLiteral("<hazard status=\"0\">[^<]*</hazard>"),
                       QStringLiteral("<hazard status=\"0\">VGhpcyBpcyBubyBtYXA=</hazard>"));
    QStringList sheets;
    ASSERT_NO_FATAL_FAILURE(SampleSheets(sheets));
    m_form.Context().SheetFiles = sheets;
    SelectPages({pgHazard, pgDetailsPhotos, pgAssessorMap});
    QStringList told;
    m_form.OnLeftOut = [&](QObject*, const QString& what) { told << what; };
    WriteProfile();
    ASSERT_EQ(told.size(), 3) << told.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(told[0],
              QStringLiteral("The hazard map could not be read and was left out of page 1: JPEG image is not "
                             "valid"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^The photo of the comp 512-041-009 could not be read and was left "
                                                  "out of page \\d+: JPEG image is not valid$"))
                    .match(told[1])
                    .hasMatch())
        << told[1].toStdString();
    EXPECT_TRUE(told[2].startsWith(QStringLiteral("The assessor map sheet bad.tif could not be read and was left out "
                                                  "of page ")))
        << told[2].toStdString();
    EXPECT_GT(told[2].size(),
              int(QStringLiteral("The assessor map sheet bad.tif could not be read and was left out "
                                 "of page N: ")
                      .size()));
    // The two readable sheets still make their pages.
    int printed = 0;
    for (int p = 0; p < Pages(); ++p)
        for (const PagePicture& pic : Pictures(Page(p))) printed += pic.Fits(0.75, 0.5, 8.3, 10.8) ? 1 : 0;
    EXPECT_EQ(printed, 2);

    EXPECT_EQ(PreviewWarning(),
              QStringLiteral("Some pages of this report are incomplete or were left out.\n\n"
                             "Natural Hazards: parts of it were cut short or left out\n"
                             "Market Details with Photos: parts of it were cut short or left out\n"
                             "Assessor Map: parts of it were cut short or left out\n\n"
                             "Error.log has the details."));
}
