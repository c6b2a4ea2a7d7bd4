#pragma once
// The report form: lays the selected report pages out into a report file
// and shows it in its modal preview window, from which the user prints it or
// saves it as PDF. The main window and the steps reach it only through its
// entry points: ShowProfileReport (the full profile report),
// WritePropertyInfoReport ("propinfo.rpt", "compinfo.rpt"),
// PreviewReportFile, and the Prop Info step's print and save messages.
//
// It reads the main window's comps, report-data and tax-map connections and
// the personal page (given to it after creation) and the application state,
// and never writes them.

#include "platform/kernel/Form.h"
#include "platform/print/TFilePrinter.h"
#include "platform/print/TRenderPDF.h"
#include "platform/report/TReportFileWriter.h"
#include "platform/report/TReportShell.h"
#include "report/TReportContext.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class TCompsRecords;
class TvxAssessorMap;
class TvxComps;
class TvxpPersonalInfo;
class TvxRptGen;
class TXMLElement;
class TAssessorMapPage;
class TCensusPage;
class THazardPage;
class TSchoolPage;
class TStreetMapPage;
class TCommunityPage;
class TCoverPage;
class TMarketDetailsPage;
class TMarketSummaryPage;
class TPropInfoPage;
class TSummaryAnalysisPage;

class TrptProfile : public TForm {
    Q_OBJECT
public:
    // Posted by the Prop Info step.
    static constexpr unsigned kPrintPropInfoMessage = 1024 + 108;
    static constexpr unsigned kSavePropInfoMessage = 1024 + 109;

    explicit TrptProfile(QWidget* parent = nullptr);
    ~TrptProfile() override;

    // The main window's components the report reads (not owned).
    TvxComps* Comps = nullptr;
    TvxRptGen* RptGen = nullptr;
    TvxAssessorMap* AssessorMap = nullptr;
    TvxpPersonalInfo* PersonalInfo = nullptr;
    // Whose place and size the preview window takes.
    QWidget* MainForm = nullptr;
    // Told of every page, picture or drawing left out of a report (or of a
    // page cut short); the rest of the report is made all the same. When the
    // report is previewed, the user is told once which pages are incomplete.
    std::function<void(QObject* sender, const QString& what)> OnLeftOut;
    // Asked by the profile report once the map sheets are in and again once
    // the report data is: wanted set false ends the report there, nothing
    // more asked of the servers, nothing written or shown.
    std::function<void(QObject* sender, bool& wanted)> OnDataArrived;

    // ----- Entry points
    // Fetches the report data, writes "profile.rpt" from the selected pages
    // and shows it modally (when no page was made, the user is told which
    // pages made nothing and why, and nothing is shown); the map sheets are
    // deleted afterwards, also when anything fails. What it prints is fixed
    // when it starts: the property, the comps with their marks and the pages
    // chosen are copied, so what the user does while the data is fetched
    // does not reach the report.
    void ShowProfileReport(TXMLElement* property);
    // Writes the one-page property information report into the temporary
    // directory under fileName, without preview. An earlier file of that
    // name is removed first, so a failure never leaves an old report behind.
    void WritePropertyInfoReport(TXMLElement* property, const QString& fileName);
    // Removes a report file of the temporary directory (before a comp is
    // fetched, so a failed fetch shows no earlier comp).
    void DeleteReportFile(const QString& fileName);
    // Shows a report file of the temporary directory modally; "Report not
    // found" + path when it does not exist.
    void PreviewReportFile(const QString& fileName);
    // Tells the user once which pages of a report file of the temporary
    // directory are incomplete, for a preview of it shown elsewhere (the
    // Prop Info step's); nothing when it is whole or was told already.
    void TellIncompleteReport(const QString& fileName);
    void PrintPropertyInfo();
    void SavePropertyInfoAs();

    // ----- Inside the form (public for the tests and the benchmark)
    // Writes "profile.rpt" (steps 3 to 8 of the profile report) and
    // returns its path.
    QString WriteProfileReport(TXMLElement* property);
    // False when OnDataArrived ended the report.
    bool FetchReportData();
    void DeleteAssessorMapFiles();
    void RenderPdf(const QString& reportFile, const QString& pdfFile);
    void LoadReportSettings();
    void CalcCompStatistics();
    // The page driver, the report file writer's OnPrint.
    void RS1Print(TBaseReport& report);
    // Saves the report file as PDF (extension ".pdf" in any case) or copies it.
    void SaveReportAs(const QString& reportFile);

    TReportContext& Context() { return m_context; }

    // Sections, one per page kind.
    TReportShell rCoverPage, rPropInfo, rStreet, rHazard, rMarketSummary, rDetails, rSummaryAnalysis, rCommunity,
        rCensus, rSchool, rAssessorMap;
    TReportFileWriter ReportFiler;
    TReportFileWriter fPropPreview;
    // Prints the previewed file or "propinfo.rpt"; its printer is the one
    // the set-up dialog changes.
    TFilePrinter FilePrinter;
    TRenderPDF RPRenderPDF1;

    // The report file of the preview; empty when none is shown.
    const QString& PreviewFile() const { return m_previewFile; }

    void WndProc(TMessage& message) override;

private:
    struct TFixedInputs;
    // Copies what the profile report prints; returns the copied property.
    TXMLElement* FixInputs(TXMLElement* property);
    TCompsRecords* SourceRecords() const;
    bool DataWanted();
    void BindSections();
    void SyncSources();
    bool PageGuard(int id) const;
    void RunPage(TBaseReport& report, int id);
    void ShowPreview(const QString& path);
    void PrintPreviewed();
    QString ReportPath(const QString& fileName) const;
    // A part of the current page was cut short or left out.
    void LeftOut(const QString& what);
    // A selected page made nothing: why, for the log and the warning.
    void PageLeftOut(int id, const QString& why);
    // Why a selected page whose guard fails makes nothing.
    QString GuardFailure(int id) const;
    // The page as the user knows it from the report pages step.
    static QString PageName(int id);
    // Runs writer into the report file path, noting the pages it leaves
    // incomplete.
    void WriteNoting(TReportFileWriter& writer, const QString& path);
    // Tells the user which pages of the report file are incomplete (once).
    void TellIncompletePages(const QString& path);

    TReportContext m_context;
    // What the profile report being made prints, from its start to its end.
    std::unique_ptr<TFixedInputs> m_fixed;
    std::unique_ptr<TCoverPage> m_cover;
    std::unique_ptr<TPropInfoPage> m_propInfo;
    std::unique_ptr<TMarketSummaryPage> m_marketSummary;
    std::unique_ptr<TMarketDetailsPage> m_details;
    std::unique_ptr<TSummaryAnalysisPage> m_summaryAnalysis;
    std::unique_ptr<TCensusPage> m_census;
    std::unique_ptr<TCommunityPage> m_community;
    std::unique_ptr<TSchoolPage> m_school;
    std::unique_ptr<TStreetMapPage> m_street;
    std::unique_ptr<THazardPage> m_hazard;
    std::unique_ptr<TAssessorMapPage> m_assessorMap;
    QString m_previewFile;
    // The pages the page driver began in the report file it wrote last.
    int m_pagesMade = 0;
    // The report file being written, and the pages of each written file
    // that are incomplete or left out, in page order, each with why.
    struct TPageNote {
        QString Page;
        QString Why;
        bool LeftOut = false;
    };
    void Note(const TPageNote& note);
    QString m_writing;
    QHash<QString, QList<TPageNote>> m_incomplete;
};
