#include "report/TrptProfile.h"

#include "state/TAppState.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Exception.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/kernel/Application.h"
#include "platform/print/TPrinterSetupDialog.h"
#include "platform/report/TBaseReport.h"
#include "protocol/TCompsRecords.h"
#include "protocol/TvxAssessorMap.h"
#include "protocol/TvxComps.h"
#include "protocol/TvxRptGen.h"
#include "protocol/TvxpDocument.h"
#include "protocol/TvxpPersonalInfo.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/XMLQuery.h"
#include "report/TAssessorMapPage.h"
#include "report/TCensusPage.h"
#include "report/THazardPage.h"
#include "report/TSchoolPage.h"
#include "report/TStreetMapPage.h"
#include "report/TCommunityPage.h"
#include "report/TCoverPage.h"
#include "report/TMarketDetailsPage.h"
#include "report/TMarketSummaryPage.h"
#include "report/TProfilePreviewDlg.h"
#include "report/TPropInfoPage.h"
#include "report/TSummaryAnalysisPage.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <algorithm>
#include <vector>

namespace {

// The hourglass for the lifetime of the object, restored on every path.
class Hourglass {
public:
    Hourglass() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QGuiApplication::restoreOverrideCursor(); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

QString PageTitle(int id)
{
    switch (id) {
    case pgCover: return QStringLiteral("MARKET SPECIALIST");
    case pgPropInfo: return QStringLiteral("PROPERTY INFORMATION");
    case pgStreet: return QStringLiteral("STREET MAP");
    case pgHazard: return QStringLiteral("NATURAL HAZARDS");
    case pgMarketSummary: return QStringLiteral("MARKET SUMMARY");
    case pgDetails:
    case pgDetailsPhotos: return QStringLiteral("MARKET DETAILS");
    case pgSummaryAnalysis: return QStringLiteral("SUMMARY ANALYSIS");
    case pgCommunity: return QStringLiteral("COMMUNITY SERVICES");
    case pgCensus: return QStringLiteral("DEMOGRAPHICS");
    case pgSchool: return QStringLiteral("SCHOOL REPORT");
    default: return QString();
    }
}

bool MapReady(const TReportContext& c, const char* name)
{
    const TXMLElement* map = c.FindMapNode(QString::fromLatin1(name));
    return map && map->getAttribute(QStringLiteral("status")) == QLatin1String("0");
}

bool Found(const TXMLElement* e) { return e && e->getAttribute(QStringLiteral("found")) == QLatin1String("Y"); }

// A copy of the document of source in copy (whatever its root).
void CopyDocument(const TXMLDocument* source, TvxpDocument& copy)
{
    copy.ValidateDocument = false;
    if (!source) return;
    QByteArray bytes = source->SaveToBytes();
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    copy.LoadDocument(&stream);
}

// The element of copy at the place element has in its own document.
TXMLElement* SamePlace(const TXMLElement* element, const TvxpDocument& copy)
{
    std::vector<int> path;
    for (const TXMLElement* e = element; e;) {
        const auto* parent = dynamic_cast<const TXMLElement*>(e->getParentNode());
        if (!parent) break;
        int index = 0;
        for (const TXMLElement* c = parent->getFirstChildElement(); c && c != e; c = c->getNextSiblingElement())
            ++index;
        path.push_back(index);
        e = parent;
    }
    TXMLElement* at = copy.XMLDocument() ? copy.XMLDocument()->getDocumentElement() : nullptr;
    for (auto it = path.rbegin(); at && it != path.rend(); ++it) {
        at = at->getFirstChildElement();
        for (int i = 0; at && i < *it; ++i) at = at->getNextSiblingElement();
    }
    return at;
}

// The names of the pages the report knows, for a page the page list does
// not name.
QString KnownPageName(int id)
{
    switch (id) {
    case pgCover: return QStringLiteral("Cover Page");
    case pgPropInfo: return QStringLiteral("Property Information");
    case pgStreet: return QStringLiteral("Street Map");
    case pgHazard: return QStringLiteral("Natural Hazards");
    case pgMarketSummary: return QStringLiteral("Market Summary");
    case pgDetails: return QStringLiteral("Market Details");
    case pgSummaryAnalysis: return QStringLiteral("Summary Analysis");
    case pgCommunity: return QStringLiteral("Community Services");
    case pgCensus: return QStringLiteral("Demographics");
    case pgSchool: return QStringLiteral("School Report");
    case pgAssessorMap: return QStringLiteral("Assessor Map");
    case pgDetailsPhotos: return QStringLiteral("Market Details with Photos");
    default: return QStringLiteral("Page %1").arg(id);
    }
}

} // namespace

struct TrptProfile::TFixedInputs {
    TvxpDocument Property;
    TvxpDocument Comps;
    TCompsRecords Records;
    std::vector<TReportPageRec> Pages;
};

TrptProfile::TrptProfile(QWidget* parent) : TForm(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Preview"));
    resize(860, 497);
    m_cover = std::make_unique<TCoverPage>(m_context);
    m_propInfo = std::make_unique<TPropInfoPage>(m_context);
    m_marketSummary = std::make_unique<TMarketSummaryPage>(m_context);
    m_details = std::make_unique<TMarketDetailsPage>(m_context);
    m_summaryAnalysis = std::make_unique<TSummaryAnalysisPage>(m_context);
    m_census = std::make_unique<TCensusPage>(m_context);
    m_community = std::make_unique<TCommunityPage>(m_context);
    m_school = std::make_unique<TSchoolPage>(m_context);
    m_street = std::make_unique<TStreetMapPage>(m_context, *m_propInfo);
    m_hazard = std::make_unique<THazardPage>(m_context);
    m_assessorMap = std::make_unique<TAssessorMapPage>(m_context);
    ReportFiler.OnPrint = [this](TBaseReport& report) { RS1Print(report); };
    ReportFiler.OnLeftOut = [this](const QString& what) { LeftOut(what); };
    fPropPreview.OnLeftOut = [this](const QString& what) { LeftOut(what); };
    RPRenderPDF1.OnLeftOut = [this](const QString& what) { LeftOut(what); };
    fPropPreview.Title = QStringLiteral("Report");
    fPropPreview.OnPrint = [this](TBaseReport& report) {
        m_context.PageId = pgPropInfo;
        m_context.GetTrxNode();
        m_context.Title = PageTitle(pgPropInfo);
        rPropInfo.Execute(report);
    };
    BindSections();
}

TrptProfile::~TrptProfile() = default;

void TrptProfile::BindSections()
{
    auto header = [this](TBaseReport& r) { m_context.PageHeader(r); };
    auto footer = [this](TBaseReport& r) { m_context.PageFooter(r); };
    for (TReportShell* s :
         {&rCoverPage, &rPropInfo, &rHazard, &rMarketSummary, &rDetails, &rSummaryAnalysis, &rCommunity, &rCensus}) {
        s->OnPageHeader = header;
        s->OnPageFooter = footer;
    }
    rStreet.OnPageHeader = header;
    rSchool.OnReportHeader = header;
    rSchool.OnReportFooter = footer;

    rCoverPage.OnRowPrint = [this](TBaseReport& r, TReportShell& s, bool& v) { m_cover->RowPrint(r, s, v); };
    rCoverPage.OnRowAfter = [this](TBaseReport& r, TReportShell& s, bool& v) { m_cover->RowAfter(r, s, v); };
    rPropInfo.OnRowPrint = [this](TBaseReport& r, TReportShell& s, bool& v) { m_propInfo->RowPrint(r, s, v); };
    rMarketSummary.OnRowPrint = [this](TBaseReport& r, TReportShell& s, bool& v) {
        m_marketSummary->RowPrint(r, s, v);
    };
    rMarketSummary.OnRowAfter = [this](TBaseReport& r, TReportShell& s, bool& v) {
        m_marketSummary->RowAfter(r, s, v);
    };
    rDetails.OnRowPrint = [this](TBaseReport& r, TReportShell& s, bool& v) { m_details->RowPrint(r, s, v); };
    rDetails.OnRowAfter = [this](TBaseReport& r, TReportShell& s, bool& v) { m_details->RowAfter(r, s, v); };
    rSummaryAnalysis.OnRowPrint = [this](TBaseReport& r, TReportShell& s, bool& v) {
        m_summaryAnalysis->RowPrint(r, s, v);
    };
    rSummaryAnalysis.OnRowAfter = [this](TBaseReport& r, TReportShell& s, bool& v) {
        m_summaryAnalysis->RowAfter(r, s, v);
    };
    rCensus.OnRowPrint = [this](TBaseReport& r, TReportShell& s, bool& v) { m_census->RowPrint(r, s, v); };
    rCensus.OnRowAfter = [this](TBaseReport& r, TReportShell& s, bool& v) { m_census->RowAfter(r, s, v); };
    rCommunity.OnRowPrint = [this](TBaseReport& r, TReportShell& s, bool& v) { m_community->RowPrint(r, s, v); };
    rSchool.OnRowPrint = [this](TBaseReport& r, TReportShell& s, bool& v) { m_school->RowPrint(r, s, v); };
    rStreet.OnRowPrint = [this](TBaseReport& r, TReportShell& s, bool& v) { m_street->RowPrint(r, s, v); };
    rHazard.OnRowPrint = [this](TBaseReport& r, TReportShell& s, bool& v) { m_hazard->RowPrint(r, s, v); };
    rAssessorMap.OnRowPrint = [this](TBaseReport& r, TReportShell& s, bool& v) { m_assessorMap->RowPrint(r, s, v); };
}

QString TrptProfile::ReportPath(const QString& fileName) const { return (AppState().TempDir + fileName).left(255); }

TCompsRecords* TrptProfile::SourceRecords() const
{
    if (m_fixed) return &m_fixed->Records;
    return Comps ? &Comps->Records : nullptr;
}

TXMLElement* TrptProfile::FixInputs(TXMLElement* property)
{
    m_fixed = std::make_unique<TFixedInputs>();
    if (property) {
        CopyDocument(property->getOwnerDocument(), m_fixed->Property);
        property = SamePlace(property, m_fixed->Property);
    }
    // The comps of the last answer with their marks, when there are any.
    if (Comps && Comps->Records.Count() > 0 && Comps->vxpDocument()) {
        CopyDocument(Comps->vxpDocument()->XMLDocument(), m_fixed->Comps);
        TCompsRecords& records = m_fixed->Records;
        records.SetSource(&m_fixed->Comps);
        if (const TXMLElement* answer = m_fixed->Comps.RequestElement())
            for (TXMLElement* e = answer->getFirstChildElement(); e; e = e->getNextSiblingElement()) records.Add(e);
        records.First();
    }
    const TReportPageList& pages = AppState().ReportPages;
    for (int i = 0; i < pages.Count(); ++i) m_fixed->Pages.push_back(pages.Items(i));
    return property;
}

bool TrptProfile::DataWanted()
{
    bool wanted = true;
    if (OnDataArrived) OnDataArrived(this, wanted);
    return wanted;
}

void TrptProfile::SyncSources()
{
    m_context.Records = SourceRecords();
    m_context.Personal = PersonalInfo;
    m_context.ReportData = RptGen ? RptGen->vxpDocument() : nullptr;
}

void TrptProfile::LoadReportSettings() { m_context.Settings.Load(AppState().ExeDir + QStringLiteral("DEDureva.ini")); }

void TrptProfile::CalcCompStatistics()
{
    if (TCompsRecords* records = SourceRecords())
        ::CalcCompStatistics(*records, AppState().CompsFound, m_context.Stats);
    else
        m_context.Stats.fill(TStatusStats());
}

// ----- Entry points

void TrptProfile::ShowProfileReport(TXMLElement* property)
{
    // The sheets go whatever happens after they were fetched, and only
    // once the preview is closed.
    struct SheetCleanup {
        TrptProfile* Form;
        ~SheetCleanup() { Form->DeleteAssessorMapFiles(); }
    } cleanup{this};
    struct Unfix {
        TrptProfile* Form;
        ~Unfix()
        {
            Form->m_context.Property = nullptr;
            Form->m_context.Records = nullptr;
            Form->m_fixed.reset();
        }
    } unfix{this};
    property = FixInputs(property);
    QString path;
    {
        // The hourglass only while the report is made, not over the preview.
        Hourglass hourglass;
        m_context.Property = property;
        if (!FetchReportData()) return;
        path = WriteProfileReport(property);
    }
    // No selected page made anything: the user is told which and why, and
    // no blank page is shown (nor left to be saved).
    if (m_pagesMade == 0) {
        TellIncompletePages(path);
        QFile::remove(path);
        return;
    }
    ShowPreview(path);
}

QString TrptProfile::WriteProfileReport(TXMLElement* property)
{
    SyncSources();
    if (PersonalInfo && !PersonalInfo->Loaded) PersonalInfo->Load();
    CalcCompStatistics();
    m_context.Property = property;
    LoadReportSettings();
    const QString path = ReportPath(QStringLiteral("profile.rpt"));
    WriteNoting(ReportFiler, path);
    if (!QFileInfo::exists(path)) throw Exception(QStringLiteral("Report not found") + path);
    return path;
}

void TrptProfile::WritePropertyInfoReport(TXMLElement* property, const QString& fileName)
{
    SyncSources();
    LoadReportSettings();
    if (PersonalInfo && !PersonalInfo->Loaded) PersonalInfo->Load();
    const QString path = ReportPath(fileName);
    QFile::remove(path);
    m_context.Property = property;
    m_context.GetTrxNode();
    m_context.Title = PageTitle(pgPropInfo);
    WriteNoting(fPropPreview, path);
}

void TrptProfile::WriteNoting(TReportFileWriter& writer, const QString& path)
{
    m_incomplete.remove(path);
    m_writing = path;
    struct Done {
        QString& Writing;
        ~Done() { Writing.clear(); }
    } done{m_writing};
    writer.FileName = path;
    writer.Execute();
}

void TrptProfile::DeleteReportFile(const QString& fileName)
{
    const QString path = ReportPath(fileName);
    if (QFileInfo(path).absoluteDir() == QDir(AppState().TempDir)) QFile::remove(path);
}

void TrptProfile::PreviewReportFile(const QString& fileName)
{
    const QString path = ReportPath(fileName);
    if (!QFileInfo::exists(path)) throw Exception(QStringLiteral("Report not found") + path);
    ShowPreview(path);
}

void TrptProfile::TellIncompleteReport(const QString& fileName) { TellIncompletePages(ReportPath(fileName)); }

void TrptProfile::PrintPropertyInfo()
{
    FilePrinter.FileName = ReportPath(QStringLiteral("propinfo.rpt"));
    TPrinterSetupDialog setup;
    setup.FilePrinter = &FilePrinter;
    setup.Parent = this;
    if (setup.Execute()) FilePrinter.Execute();
}

void TrptProfile::SavePropertyInfoAs() { SaveReportAs(ReportPath(QStringLiteral("propinfo.rpt"))); }

void TrptProfile::SaveReportAs(const QString& reportFile)
{
    const QString name = Dialogs::SaveFileName(QStringLiteral("Save as..."), QStringLiteral("Report|*.pdf"),
                                               QStringLiteral("*.pdf"), MainForm, QStringLiteral("pdf"), true);
    if (name.isEmpty()) return;
    Hourglass hourglass;
    // The extension is compared without case: "REPORT.PDF" is a PDF too.
    if (IsPdfFileName(name)) {
        RenderPdf(reportFile, name);
        return;
    }
    QFile source(reportFile);
    if (!source.open(QIODevice::ReadOnly))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(reportFile, source.errorString()));
    AtomicFile::WriteAll(name, source.readAll());
}

void TrptProfile::RenderPdf(const QString& reportFile, const QString& pdfFile)
{
    LoadReportSettings();
    QFile source(reportFile);
    if (!source.open(QIODevice::ReadOnly))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(reportFile, source.errorString()));
    QByteArray data = source.readAll();
    source.close();
    QBuffer stream(&data);
    stream.open(QIODevice::ReadOnly);
    RPRenderPDF1.ImageQuality = 90;
    RPRenderPDF1.Render(stream, pdfFile);
}

bool TrptProfile::FetchReportData()
{
    SyncSources();
    m_context.SheetFiles.clear();
    if (!RptGen) return DataWanted();
    // An earlier report's answer (maps of another property) never reaches
    // this report.
    if (TvxpDocument* doc = RptGen->vxpDocument()) doc->ClearDocument();
    const auto& county = AppState().County;
    RptGen->County = county ? county->Id : 0;
    if (RptGen->IncludeAssessorMap && AssessorMap && county) {
        const QString bookPage =
            ChildText(m_context.Property, QStringLiteral("apn_book_page")).replace(QLatin1Char(','), QLatin1Char('-'));
        try {
            AssessorMap->GetSheets(county->ApnMap, bookPage);
        } catch (...) {
            m_context.SheetFiles = AssessorMap->SheetFiles();
            throw;
        }
        m_context.SheetFiles = AssessorMap->SheetFiles();
        if (!DataWanted()) return false;
    }
    const bool wanted = RptGen->IncludeCensus || RptGen->IncludeSchool || RptGen->IncludeServices ||
        RptGen->IncludePhotos || RptGen->StreetMap || RptGen->HazardMap;
    if (wanted) RptGen->Execute();
    return DataWanted();
}

void TrptProfile::DeleteAssessorMapFiles()
{
    // Only files inside the sheets' own directory are ever removed.
    QString dir = AssessorMap && !AssessorMap->OutputDir.isEmpty() ? AssessorMap->OutputDir : AppState().TempDir;
    const QString home = QDir(dir).canonicalPath();
    for (const QString& name : m_context.SheetFiles) {
        const QFileInfo info(name);
        if (!info.exists() || home.isEmpty()) continue;
        if (QFileInfo(info.canonicalFilePath()).absolutePath() == home && info.isFile())
            QFile::remove(info.canonicalFilePath());
    }
}

// ----- Page driver

bool TrptProfile::PageGuard(int id) const
{
    const TReportContext& c = m_context;
    switch (id) {
    case pgCover:
    case pgPropInfo: return true;
    case pgStreet: return MapReady(c, "street");
    case pgHazard: return MapReady(c, "hazard");
    case pgMarketSummary:
    case pgDetails:
    case pgSummaryAnalysis: return c.CompsLastIndex() > 0;
    case pgCommunity: return Found(c.RootChild(QStringLiteral("services")));
    case pgCensus: return c.RootChild(QStringLiteral("census")) != nullptr;
    case pgSchool: return Found(c.RootChild(QStringLiteral("short_school")));
    case pgAssessorMap:
        return std::any_of(c.SheetFiles.begin(), c.SheetFiles.end(),
                           [](const QString& name) { return QFileInfo(name).isFile(); });
    case pgDetailsPhotos: return c.CompsLastIndex() > 0 && c.RootChild(QStringLiteral("photos"));
    default: return false; // a page the report does not know makes no page
    }
}

void TrptProfile::RunPage(TBaseReport& report, int id)
{
    TReportContext& c = m_context;
    auto execute = [&](TReportShell& section) {
        c.Title = PageTitle(id);
        section.Execute(report);
    };
    auto comps = [&](TReportShell& section) {
        c.FirstComp = true;
        c.Records->First();
        execute(section);
    };
    switch (id) {
    case pgCover: execute(rCoverPage); break;
    case pgStreet: execute(rStreet); break;
    case pgHazard: execute(rHazard); break;
    case pgCommunity: execute(rCommunity); break;
    case pgPropInfo:
        c.GetTrxNode();
        execute(rPropInfo);
        break;
    case pgMarketSummary: comps(rMarketSummary); break;
    case pgSummaryAnalysis: comps(rSummaryAnalysis); break;
    case pgDetails:
    case pgDetailsPhotos:
        c.GetTrxNode();
        comps(rDetails);
        break;
    case pgCensus: execute(rCensus); break;
    case pgSchool: execute(rSchool); break;
    case pgAssessorMap: rAssessorMap.Execute(report); break;
    default: break;
    }
}

void TrptProfile::RS1Print(TBaseReport& report)
{
    report.SetLineHeight(0.17);
    std::vector<TReportPageRec> pages;
    if (m_fixed) {
        pages = m_fixed->Pages;
    } else {
        const TReportPageList& list = AppState().ReportPages;
        for (int i = 0; i < list.Count(); ++i) pages.push_back(list.Items(i));
    }
    std::stable_sort(pages.begin(), pages.end(),
                     [](const TReportPageRec& a, const TReportPageRec& b) { return a.Order < b.Order; });
    bool first = true;
    m_pagesMade = 0;
    for (const TReportPageRec& page : pages) {
        if (!page.Selected) continue;
        m_context.PageId = page.Id;
        if (!PageGuard(page.Id)) {
            PageLeftOut(page.Id, GuardFailure(page.Id));
            continue;
        }
        // The map page starts only with a sheet that can be read.
        if (page.Id == pgAssessorMap && !m_assessorMap->FirstSheet(report)) {
            PageLeftOut(page.Id, QStringLiteral("no map sheet could be read"));
            continue;
        }
        if (!first) report.NewPage();
        first = false;
        ++m_pagesMade;
        // A page that fails stops where it failed; the pages after it are
        // still made.
        try {
            RunPage(report, page.Id);
        } catch (const std::exception& e) {
            LeftOut(QStringLiteral("The page \"%1\" could not be made whole; it stops where this happened: %2")
                        .arg(PageName(page.Id), TReportContext::ErrorText(e)));
        }
    }
}

QString TrptProfile::GuardFailure(int id) const
{
    const TReportContext& c = m_context;
    const auto report = [&c](const char* child, const QString& what) {
        return c.RootChild(QString::fromLatin1(child)) ? QStringLiteral("the service found no %1").arg(what)
                                                       : QStringLiteral("the report data holds no %1").arg(what);
    };
    switch (id) {
    case pgStreet:
    case pgHazard: {
        const bool asked = RptGen && (id == pgStreet ? RptGen->StreetMap : RptGen->HazardMap);
        if (!asked) return QStringLiteral("the map request gave no map");
        if (!c.FindMapNode(QString::fromLatin1(id == pgStreet ? "street" : "hazard")))
            return QStringLiteral("the report data holds no map");
        return QStringLiteral("the service could not draw the map");
    }
    case pgMarketSummary:
    case pgDetails:
    case pgSummaryAnalysis: return QStringLiteral("fewer than two comparable sales were found");
    case pgDetailsPhotos:
        return c.CompsLastIndex() > 0 ? QStringLiteral("the report data holds no photos")
                                      : QStringLiteral("fewer than two comparable sales were found");
    case pgCommunity: return report("services", QStringLiteral("community services"));
    case pgCensus: return QStringLiteral("the report data holds no demographics");
    case pgSchool: return report("short_school", QStringLiteral("schools"));
    case pgAssessorMap: {
        const auto& county = AppState().County;
        if (!county || county->ApnMap.isEmpty()) return QStringLiteral("the county has no assessor maps");
        if (!c.SheetFiles.isEmpty()) return QStringLiteral("the map sheets are gone");
        if (AssessorMap && !AssessorMap->SessionGranted()) return QStringLiteral("the map server did not answer");
        return QStringLiteral("the map server sent no sheet of this parcel");
    }
    default: return QStringLiteral("this program cannot make this page");
    }
}

QString TrptProfile::PageName(int id)
{
    const TReportPageList& pages = AppState().ReportPages;
    for (int i = 0; i < pages.Count(); ++i) {
        const TReportPageRec& page = pages.Items(i);
        // A name of the service's, on one line and of a length a message
        // box can show.
        const QString name = page.Name.simplified().left(100);
        if (page.Id == id && !name.isEmpty()) return name;
    }
    return KnownPageName(id);
}

void TrptProfile::Note(const TPageNote& note)
{
    if (m_writing.isEmpty()) return;
    QList<TPageNote>& notes = m_incomplete[m_writing];
    for (TPageNote& n : notes) {
        if (n.Page != note.Page) continue;
        // A page left out whole says so, not that it was cut short.
        if (note.LeftOut && !n.LeftOut) n = note;
        return;
    }
    notes << note;
}

void TrptProfile::LeftOut(const QString& what)
{
    Note({PageName(m_context.PageId), QStringLiteral("parts of it were cut short or left out"), false});
    if (OnLeftOut) OnLeftOut(this, what);
}

void TrptProfile::PageLeftOut(int id, const QString& why)
{
    const QString name = PageName(id);
    Note({name, why, true});
    if (OnLeftOut) OnLeftOut(this, QStringLiteral("The page \"%1\" was left out of the report: %2").arg(name, why));
}

void TrptProfile::TellIncompletePages(const QString& path)
{
    const QList<TPageNote> notes = m_incomplete.take(path);
    if (notes.isEmpty()) return;
    QStringList lines;
    for (const TPageNote& n : notes) lines << n.Page + QStringLiteral(": ") + n.Why;
    Dialogs::MessageDlg(QStringLiteral("Some pages of this report are incomplete or were left out.\n\n%1\n\n"
                                       "Error.log has the details.")
                            .arg(lines.join(QLatin1Char('\n'))),
                        TMsgDlgType::mtWarning, mbOK);
}

// ----- Preview window

void TrptProfile::ShowPreview(const QString& path)
{
    TProfilePreviewDlg window(this, MainForm);
    window.OnSaveAs = [this](QObject*) { GuardedCall(this, [this] { SaveReportAs(m_previewFile); }); };
    window.OnPrint = [this](QObject*) { GuardedCall(this, [this] { PrintPreviewed(); }); };
    FilePrinter.FileName = path;
    window.Open(path);

    m_previewFile = path;
    TellIncompletePages(path);
    struct Closed {
        TrptProfile* Form;
        TProfilePreviewDlg& Window;
        ~Closed()
        {
            Window.Finish();
            Form->m_previewFile.clear();
        }
    } closed{this, window};
    Dialogs::ExecModal(window);
}

void TrptProfile::PrintPreviewed()
{
    TPrinterSetupDialog setup;
    setup.FilePrinter = &FilePrinter;
    setup.Parent = this;
    if (setup.Execute()) FilePrinter.Execute();
}

void TrptProfile::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case kPrintPropInfoMessage: PrintPropertyInfo(); break;
    case kSavePropInfoMessage: SavePropertyInfoAs(); break;
    default: TForm::WndProc(message); break;
    }
}
