// What the user does while a request waits for its answer: for each request
// the step driver runs, the sample service holds the answer while the user
// searches again, logs out, goes to another step, presses the same button or
// leaves the program; then the answer is let go.

#include "app/TRequestGuard.h"
#include "app/steps/TCompsParamsFrm.h"
#include "app/steps/TCompsViewFrm.h"
#include "app/steps/TPropInfoFrm.h"
#include "app/steps/TPropListFrm.h"
#include "app/steps/TPropSearchFrm.h"
#include "app/steps/TReportFrm.h"
#include "forms/StepMessages.h"
#include "platform/kernel/Application.h"
#include "grid/TExtStringGrid.h"
#include "grid/column/TExtColumnGrid.h"
#include "platform/report/TReportDump.h"
#include "platform/report/TReportFileReader.h"
#include "platform/widgets/StatusBar.h"
#include "protocol/TvxAssessorMap.h"
#include "protocol/TvxComps.h"
#include "protocol/TvxRequestMap.h"
#include "protocol/TvxRptGen.h"
#include "report/TrptProfile.h"
#include "tests/app/MainWindowTest.h"

#include <QJsonObject>
#include <QPushButton>
#include <QTimer>
#include <vector>

using namespace testsupport;

namespace {

// The demo subject and the parcel of the second search.
const QString kSubject = QStringLiteral("512-034-019");
const QString kOther = QStringLiteral("512-041-003");

// Steps run from inside the event loops, each once its condition holds: the
// test acts while a request waits, as the user would.
class Script : public QObject {
public:
    struct Step {
        std::function<bool()> when;
        std::function<void()> act;
    };
    explicit Script(std::vector<Step> steps) : m_steps(std::move(steps))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });
        m_timer.start(5);
    }
    bool Done() const { return m_next >= m_steps.size(); }

private:
    void Tick()
    {
        if (m_busy || Done() || !m_steps[m_next].when()) return;
        m_busy = true;
        const std::function<void()> act = m_steps[m_next++].act;
        act();
        m_busy = false;
    }
    std::vector<Step> m_steps;
    size_t m_next = 0;
    bool m_busy = false;
    QTimer m_timer;
};

enum class Held { PropSearch, PropData, CompsSearch, Map, ReportData, TaxMapSheets, CompInfo };
enum class Act { SecondSearch, Logout, OtherStep, SameButton, Exit };

struct Case {
    Held held;
    Act act;
    // Whether the held answer is taken over (shown) once let go.
    bool lands;
    // The status bar's line right after the action, when it is refused.
    const char* refusal;
};

const char* HeldName(Held h)
{
    switch (h) {
    case Held::PropSearch: return "PropertySearch";
    case Held::PropData: return "PropertyData";
    case Held::CompsSearch: return "CompsSearch";
    case Held::Map: return "Map";
    case Held::ReportData: return "ReportData";
    case Held::TaxMapSheets: return "TaxMapSheets";
    case Held::CompInfo: return "CompInfo";
    }
    return "";
}

const char* ActName(Act a)
{
    switch (a) {
    case Act::SecondSearch: return "SecondSearch";
    case Act::Logout: return "Logout";
    case Act::OtherStep: return "OtherStep";
    case Act::SameButton: return "SameButton";
    case Act::Exit: return "Exit";
    }
    return "";
}

class Interleaving : public MainWindow, public ::testing::WithParamInterface<Case> {
protected:
    // The held request's kind in the step driver.
    static TRequestKind Kind(Held h)
    {
        switch (h) {
        case Held::PropSearch: return TRequestKind::PropSearch;
        case Held::PropData: return TRequestKind::PropData;
        case Held::CompsSearch: return TRequestKind::CompsSearch;
        case Held::Map: return TRequestKind::Map;
        case Held::ReportData:
        case Held::TaxMapSheets: return TRequestKind::Report;
        case Held::CompInfo: return TRequestKind::CompInfo;
        }
        return TRequestKind::Count;
    }
    static QString Endpoint(Held h)
    {
        switch (h) {
        case Held::PropSearch: return QStringLiteral("search");
        case Held::PropData:
        case Held::CompInfo: return QStringLiteral("get");
        case Held::CompsSearch: return QStringLiteral("comps");
        case Held::Map: return QStringLiteral("map");
        case Held::ReportData: return QStringLiteral("rptgen");
        case Held::TaxMapSheets: return QStringLiteral("taxmap.first");
        }
        return QString();
    }
    THttpClient* Connection(Held h) const
    {
        switch (h) {
        case Held::PropSearch:
        case Held::PropData: return m_main->SubProp;
        case Held::CompsSearch: return m_main->vxComps;
        case Held::Map: return m_main->RequestMap;
        case Held::ReportData: return m_main->vxRptGen;
        case Held::TaxMapSheets: return m_main->vxAssessorMap;
        case Held::CompInfo: return m_main->CompProp;
        }
        return nullptr;
    }

    // The Prop Search step's Search with parcel typed.
    void SearchParcel(const QString& parcel)
    {
        m_main->PropSearchForm->trigger();
        PropSearchFrm->sParcel->SetText(parcel);
        PropSearchFrm->btnSearchClick();
    }
    // The service's name of the held request; empty for the map sheets.
    static QString HeldType(Held h)
    {
        switch (h) {
        case Held::PropSearch: return QStringLiteral("prop.search");
        case Held::PropData:
        case Held::CompInfo: return QStringLiteral("prop.get");
        case Held::CompsSearch: return QStringLiteral("prop.getcomps");
        case Held::Map: return QStringLiteral("map.request");
        case Held::ReportData: return QStringLiteral("rptgen.request");
        case Held::TaxMapSheets: break;
        }
        return QString();
    }

    // Up to the moment before the held request starts.
    void Prepare(Held h)
    {
        if (h == Held::PropSearch) {
            OpenLoggedIn();
            return;
        }
        if (h == Held::PropData) {
            OpenLoggedIn();
            // Several matches: the first is chosen; its data is the held
            // request.
            m_responder.NextModal([](QDialog& d) {
                auto& list = static_cast<TPropListFrm&>(d);
                list.Grid->SetRow(1);
                Click(list.btnOk);
                return list.result();
            });
            return;
        }
        OpenWithProperty();
        ASSERT_TRUE(WaitUntil([] { return bool(PropInfoFrm); }));
        if (h == Held::CompsSearch) {
            m_main->CompsParamsForm->trigger();
            ASSERT_TRUE(WaitUntil([] { return bool(CompsParamsFrm); }));
            return;
        }
        m_main->CompsParamsForm->trigger();
        ASSERT_TRUE(WaitUntil([] { return bool(CompsParamsFrm); }));
        CompsParamsFrm->BitBtn1Click();
        ASSERT_TRUE(WaitUntil([] { return CompsViewFrm && AppState().CompsFound; }));
        if (h == Held::CompInfo) {
            // The comp of the second data row.
            CompsViewFrm->grComps->SetRow(2);
            TCompsRecords& records = m_main->vxComps->Records;
            records.SetIndex(CompsViewFrm->grComps->GetCellText(4, 2).toInt());
            m_compApn = records.Field(QStringLiteral("apn"));
            ASSERT_FALSE(m_compApn.isEmpty());
            return;
        }
        if (h == Held::Map) return;
        m_main->ReportForm->trigger();
        ASSERT_TRUE(WaitUntil([] { return ReportFrm && !AppState().NeedMap; }));
        // The pages the report data and the map sheets serve.
        ReportFrm->SelectPages(0);
        TReportPageList& pages = AppState().ReportPages;
        for (int i = 0; i < pages.Count(); ++i) {
            const int id = pages.Items(i).Id;
            pages.Items(i).Selected = id == 10 || id == 20 || id == 90 || id == 120;
        }
        ReportFrm->FillGrid();
    }

    // Starts the held request.
    void Start(Held h)
    {
        switch (h) {
        case Held::PropSearch: SearchParcel(kSubject); break;
        case Held::PropData: SearchParcel(QStringLiteral("MULTI")); break;
        case Held::CompsSearch: CompsParamsFrm->BitBtn1Click(); break;
        case Held::Map: m_main->ReportForm->trigger(); break;
        case Held::ReportData:
        case Held::TaxMapSheets: ReportFrm->BitBtn2Click(); break;
        case Held::CompInfo: CompsViewFrm->CompInfo(); break;
        }
    }

    // What the user does meanwhile.
    void Do(Held h, Act a)
    {
        switch (a) {
        case Act::SecondSearch: SearchParcel(kOther); break;
        case Act::Logout: m_main->LoginForm->trigger(); break;
        case Act::OtherStep:
            // The comps search's other step is the Report step, which asks
            // for the street map.
            (h == Held::CompsSearch ? m_main->ReportForm : m_main->PersonalForm)->trigger();
            break;
        case Act::SameButton:
            switch (h) {
            case Held::PropSearch: PropSearchFrm->btnSearchClick(); break;
            case Held::PropData: m_main->PostStepMessage(WM_PROPDATA); break;
            case Held::CompsSearch: CompsParamsFrm->BitBtn1Click(); break;
            case Held::Map: m_main->PostStepMessage(WM_MAPREQUEST); break;
            case Held::ReportData:
            case Held::TaxMapSheets: ReportFrm->BitBtn2Click(); break;
            case Held::CompInfo: CompsViewFrm->CompInfo(); break;
            }
            break;
        case Act::Exit:
            m_responder.NextAnswer(mrYes);
            m_main->FileExit->trigger();
            break;
        }
    }

    // Whether the held answer was taken over.
    bool Landed(Held h) const
    {
        const TAppState& state = AppState();
        switch (h) {
        case Held::PropSearch:
        case Held::PropData: return state.PropFound && PropInfoFrm;
        case Held::CompsSearch: return state.CompsFound && CompsViewFrm;
        case Held::Map: return state.MapId > 0 && !state.NeedMap;
        case Held::ReportData:
        case Held::TaxMapSheets:
        case Held::CompInfo: return !m_report.isEmpty();
        }
        return false;
    }

    // The service requests of one type.
    static int Requests(const QString& type) { return RequestCount(*s_service, type); }

    QString m_compApn;   // the comp whose information is fetched
    QString m_report;    // the previewed report as text
    QString m_told;      // the status bar right after the action
    QString m_toldLater; // and once what it posted has run
};

TEST_P(Interleaving, NoStaleAnswerLands)
{
    const Case c = GetParam();
    Prepare(c.held);
    if (HasFatalFailure()) return;
    // The preview, should one show: its text kept.
    if (c.held == Held::ReportData || c.held == Held::TaxMapSheets || c.held == Held::CompInfo)
        m_responder.NextModal([this](QDialog&) {
            TReportFileReader reader;
            reader.LoadFromFile(m_main->rptProfile->PreviewFile());
            m_report = TReportDump::Text(reader);
            return int(mrCancel);
        });
    s_service->Next(Endpoint(c.held), QStringLiteral("hold"));
    const QString heldType = HeldType(c.held);
    THttpClient* connection = Connection(c.held);
    const TRequestKind kind = Kind(c.held);
    TRequestGuard* guard = m_main->RequestGuard();
    int mapsBefore = 0;
    int logBefore = 0;
    int mapsMeanwhile = -1;
    Script script({
        // The held request waits: the user acts.
        {[connection, guard, kind] { return guard->Running(kind) && connection->Connected(); },
         [&] {
             mapsBefore = Requests(QStringLiteral("map.request"));
             logBefore = s_service->Log(QStringLiteral("service")).size();
             Do(c.held, c.act);
             m_told = m_main ? m_main->StatusBar1->PanelText(0) : QString();
         }},
        // What the action posted has run; then the answer goes.
        {[] { return true; },
         [&] {
             QCoreApplication::sendPostedEvents();
             m_toldLater = m_main ? m_main->StatusBar1->PanelText(0) : QString();
             mapsMeanwhile = Requests(QStringLiteral("map.request")) - mapsBefore;
             s_service->Release();
         }},
    });
    Start(c.held);
    ASSERT_TRUE(WaitUntil([&] { return script.Done() && !guard->Running(kind); }, 60000));
    // Whatever the answer posted has run.
    TApplication::ProcessMessages();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // The refusal, told at once and still there once the held request is
    // over (after its connection's own last status); an answer that lands,
    // or is dropped with its line in the status bar.
    if (c.refusal) {
        EXPECT_EQ(m_told, QString::fromLatin1(c.refusal));
        EXPECT_EQ(m_main->StatusBar1->PanelText(0), QString::fromLatin1(c.refusal));
    }
    EXPECT_EQ(Landed(c.held), c.lands) << m_main->StatusBar1->PanelText(0).toStdString();
    if (!c.lands && c.act != Act::Exit) {
        EXPECT_TRUE(m_main->StatusBar1->PanelText(0).startsWith(
            QStringLiteral("The answer to the %1 was dropped: ").arg(TRequestGuard::KindName(kind))))
            << m_main->StatusBar1->PanelText(0).toStdString();
    }

    // No error dialog; no window on stale data.
    for (const DialogRequest& d : m_responder.Shown()) {
        EXPECT_NE(d.kind, DialogRequest::Kind::Error) << d.text.toStdString();
        if (d.kind == DialogRequest::Kind::Modal) { EXPECT_FALSE(d.caption.startsWith(QStringLiteral("Error"))); }
    }
    if (c.act == Act::Logout || c.act == Act::Exit) {
        if (c.act == Act::Logout) { EXPECT_FALSE(AppState().PropFound); }
        EXPECT_FALSE(PropInfoFrm);
        EXPECT_FALSE(CompsViewFrm);
        EXPECT_TRUE(m_report.isEmpty());
        // Nothing goes out after the held request, with the old user id or
        // any other.
        const QList<QJsonObject> log = s_service->Log(QStringLiteral("service"));
        bool held = false;
        for (int i = logBefore; i < log.size(); ++i) {
            const QString type = log[i].value(QStringLiteral("request_type")).toString();
            if (type == heldType && !held) {
                held = true;
            } else {
                ADD_FAILURE() << "sent after the action: " << type.toStdString();
            }
        }
    }

    // The report names one parcel, whole: the subject, or the comp asked
    // for.
    if (!m_report.isEmpty()) {
        EXPECT_TRUE(m_report.contains(c.held == Held::CompInfo ? m_compApn : kSubject));
        EXPECT_FALSE(m_report.contains(kOther));
    }

    // Each case's own point.
    if (c.act == Act::SameButton) {
        EXPECT_EQ(Requests(heldType.isEmpty() ? QStringLiteral("rptgen.request") : heldType), 1);
    }
    if (c.held == Held::CompsSearch && c.act == Act::OtherStep) {
        // No street map while the comps search ran; one for the comps once
        // the Report step is shown again.
        EXPECT_EQ(mapsMeanwhile, 0);
        EXPECT_EQ(m_toldLater, QStringLiteral("The street map was not started: the comps search is still under way."));
        EXPECT_EQ(m_main->StatusBar1->PanelText(0), m_toldLater);
        EXPECT_TRUE(AppState().NeedMap);
        m_main->ReportForm->trigger();
        ASSERT_TRUE(WaitUntil([] { return !AppState().NeedMap; }));
        const QList<QJsonObject> log = s_service->Log(QStringLiteral("service"));
        QString request;
        for (const QJsonObject& e : log)
            if (e.value(QStringLiteral("request_type")).toString() == QLatin1String("map.request"))
                request = e.value(QStringLiteral("request")).toString();
        EXPECT_GT(request.count(QStringLiteral("<item>")), 1) << request.toStdString();
    }
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info)
{
    return std::string(HeldName(info.param.held)) + "_" + ActName(info.param.act);
}

constexpr const char* kNoSearchDuringReport = "The property search was not started: the report is still under way.";

INSTANTIATE_TEST_SUITE_P(
    Requests, Interleaving,
    ::testing::Values(
        Case{Held::PropSearch, Act::SecondSearch, true, nullptr}, Case{Held::PropSearch, Act::Logout, false, nullptr},
        Case{Held::PropSearch, Act::OtherStep, true, nullptr}, Case{Held::PropSearch, Act::SameButton, true, nullptr},
        Case{Held::PropSearch, Act::Exit, false, nullptr}, Case{Held::PropData, Act::SecondSearch, true, nullptr},
        Case{Held::PropData, Act::Logout, false, nullptr}, Case{Held::PropData, Act::OtherStep, true, nullptr},
        Case{Held::PropData, Act::SameButton, true, nullptr}, Case{Held::PropData, Act::Exit, false, nullptr},
        Case{Held::CompsSearch, Act::SecondSearch, false, nullptr},
        Case{Held::CompsSearch, Act::Logout, false, nullptr}, Case{Held::CompsSearch, Act::OtherStep, true, nullptr},
        Case{Held::CompsSearch, Act::SameButton, true, "The comps search is already under way."},
        Case{Held::CompsSearch, Act::Exit, false, nullptr}, Case{Held::Map, Act::SecondSearch, false, nullptr},
        Case{Held::Map, Act::Logout, false, nullptr}, Case{Held::Map, Act::OtherStep, true, nullptr},
        Case{Held::Map, Act::SameButton, true, nullptr}, Case{Held::Map, Act::Exit, false, nullptr},
        Case{Held::ReportData, Act::SecondSearch, true, kNoSearchDuringReport},
        Case{Held::ReportData, Act::Logout, false, nullptr}, Case{Held::ReportData, Act::OtherStep, true, nullptr},
        Case{Held::ReportData, Act::SameButton, true, nullptr}, Case{Held::ReportData, Act::Exit, false, nullptr},
        Case{Held::TaxMapSheets, Act::SecondSearch, true, kNoSearchDuringReport},
        Case{Held::TaxMapSheets, Act::Logout, false, nullptr}, Case{Held::TaxMapSheets, Act::OtherStep, true, nullptr},
        Case{Held::TaxMapSheets, Act::SameButton, true, nullptr}, Case{Held::TaxMapSheets, Act::Exit, false, nullptr},
        Case{Held::CompInfo, Act::SecondSearch, false, nullptr}, Case{Held::CompInfo, Act::Logout, false, nullptr},
        Case{Held::CompInfo, Act::OtherStep, true, nullptr}, Case{Held::CompInfo, Act::SameButton, true, nullptr},
        Case{Held::CompInfo, Act::Exit, false, nullptr}),
    CaseName);

} // namespace

namespace {

// The report's text and page count, as previewed.
struct Previewed {
    QString text;
    int pages = 0;
};

// The comps searched for the subject, the Report step open with its map in,
// and the first report page chosen.
void OpenReportStepWithComps(TMainProfileFrm* main)
{
    main->CompsParamsForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return bool(CompsParamsFrm); }));
    CompsParamsFrm->BitBtn1Click();
    ASSERT_TRUE(WaitUntil([] { return CompsViewFrm && AppState().CompsFound; }));
    main->ReportForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return ReportFrm && !AppState().NeedMap; }));
    ReportFrm->SelectPages(1);
}

} // namespace

TEST_F(MainWindow, CompInformationWaitsForTheReportBeingMade)
{
    TMainProfileFrm* main = OpenWithProperty();
    ASSERT_NO_FATAL_FAILURE(OpenReportStepWithComps(main));
    Previewed shown;
    m_responder.NextModal([&](QDialog&) {
        TReportFileReader reader;
        reader.LoadFromFile(main->rptProfile->PreviewFile());
        shown.text = TReportDump::Text(reader);
        return int(mrCancel);
    });
    s_service->Next(QStringLiteral("rptgen"), QStringLiteral("hold"));
    TRequestGuard* guard = main->RequestGuard();
    QString told;
    // While the report data is on its way, the user opens View Comps and
    // asks for a comp's information.
    Script script({
        {[main, guard] { return guard->Running(TRequestKind::Report) && main->vxRptGen->Connected(); },
         [&] {
             main->CompsViewForm->trigger();
             ASSERT_TRUE(CompsViewFrm);
             CompsViewFrm->grComps->SetRow(2);
             CompsViewFrm->CompInfo();
             told = main->StatusBar1->PanelText(0);
             s_service->Release();
         }},
    });
    ReportFrm->BitBtn2Click();
    ASSERT_TRUE(WaitUntil([&] { return script.Done() && !guard->Running(TRequestKind::Report); }, 60000));
    EXPECT_EQ(told, QStringLiteral("The comp information was not started: the report is still under way."));
    EXPECT_EQ(main->StatusBar1->PanelText(0), told);
    EXPECT_EQ(RequestCount(*s_service, QStringLiteral("prop.get")), 0);
    // The one preview is the report's.
    EXPECT_EQ(m_responder.Count(DialogRequest::Kind::Modal), 1);
    EXPECT_TRUE(shown.text.contains(kSubject));
}

TEST_F(MainWindow, TheReportPrintsWhatWasChosenWhenDoReportStarted)
{
    TMainProfileFrm* main = OpenWithProperty();
    ASSERT_NO_FATAL_FAILURE(OpenReportStepWithComps(main));
    // Once the report data is in, before the report is written, the
    // property's document is emptied (as a new search would), the comps
    // are unmarked and the pages unchosen: none of it reaches the report.
    TrptProfile* report = main->rptProfile;
    const auto arrived = report->OnDataArrived;
    report->OnDataArrived = [&](QObject* sender, bool& wanted) {
        if (arrived) arrived(sender, wanted);
        if (!main->vxRptGen->vxpDocument()->RequestElement()) return; // the map sheets
        main->SubPropXml->ClearDocument();
        TCompsRecords& records = main->vxComps->Records;
        for (int i = 0; i < records.Count(); ++i) records.SetUsed(i, false);
        TReportPageList& pages = AppState().ReportPages;
        for (int i = 0; i < pages.Count(); ++i) pages.Items(i).Selected = false;
    };
    Previewed shown;
    m_responder.NextModal([&](QDialog&) {
        TReportFileReader reader;
        reader.LoadFromFile(main->rptProfile->PreviewFile());
        shown.text = TReportDump::Text(reader);
        shown.pages = reader.PageCount();
        return int(mrCancel);
    });
    ReportFrm->BitBtn2Click();
    ASSERT_TRUE(WaitUntil([main] { return !main->ReportBusy(); }, 60000));
    EXPECT_TRUE(shown.text.contains(kSubject));
    // Every page chosen, the comps pages among them.
    EXPECT_GE(shown.pages, 10);
}
