#include "app/MainProfileFrm.h"

#include "forms/StepMessages.h"
#include "forms/ServerCellText.h"
#include "forms/TBaseFrm.h"
#include "app/TRequestGuard.h"
#include "app/TlcErrorHandler.h"
#include "state/TAppState.h"
#include "app/steps/TAboutBoxDlg.h"
#include "app/steps/TCompsParamsFrm.h"
#include "app/steps/TCompsViewFrm.h"
#include "app/steps/TCustomerFrm.h"
#include "app/steps/TLoginFrm.h"
#include "app/steps/TPersonelFrm.h"
#include "app/steps/TPropInfoFrm.h"
#include "app/steps/TPropListFrm.h"
#include "app/steps/TPropSearchFrm.h"
#include "app/steps/TReportFrm.h"
#include "app/steps/TSettingsDlg.h"
#include "grid/TExtStringGrid.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/FloatFormat.h"
#include "platform/core/IniFile.h"
#include "platform/core/Directories.h"
#include "platform/core/SysUtils.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/kernel/Application.h"
#include "platform/net/HttpClient.h"
#include "platform/text/RtfReader.h"
#include "platform/widgets/Animate.h"
#include "platform/widgets/CustomEdit.h"
#include "platform/widgets/Panel.h"
#include "platform/widgets/StatusBar.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/EInvalidGraphic.h"
#include "platform/graphics/ImageList.h"
#include "protocol/TSubjectProperty.h"
#include "protocol/TvxAssessorMap.h"
#include "protocol/TvxComps.h"
#include "protocol/TvxLogin.h"
#include "protocol/TvxRequestMap.h"
#include "protocol/TvxRptGen.h"
#include "protocol/TvxpPersonalInfo.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLText.h"
#include "protocol/xml/XMLQuery.h"
#include "report/TrptProfile.h"

#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

const QString TMainProfileFrm::kMakerLink = QStringLiteral("https://www.ostrel.com/");

namespace {

qint64 Ticks()
{
    static QElapsedTimer clock;
    if (!clock.isValid()) clock.start();
    return clock.elapsed();
}

int IntOr(const QString& text, int fallback) { return StrToIntDef(text.trimmed(), fallback); }

double FloatOr(const QString& text, double fallback)
{
    double v = 0;
    return TryStrToFloat(text.trimmed(), v) ? v : fallback;
}

} // namespace

void TMainProfileFrm::CreateSteps()
{
    m_steps[siLogin] = {[](TPanel* p, TStepHost* host) -> TBaseFrm* { return new TLoginFrm(p, host); },
                        []() -> TBaseFrm* { return LoginFrm.data(); }};
    m_steps[siPersonal] = {[](TPanel* p, TStepHost* host) -> TBaseFrm* { return new TPersonelFrm(p, host); },
                           []() -> TBaseFrm* { return PersonelFrm.data(); }};
    m_steps[siPropSearch] = {[](TPanel* p, TStepHost* host) -> TBaseFrm* { return new TPropSearchFrm(p, host); },
                             []() -> TBaseFrm* { return PropSearchFrm.data(); }};
    m_steps[siPropInfo] = {[](TPanel* p, TStepHost* host) -> TBaseFrm* { return new TPropInfoFrm(p, host); },
                           []() -> TBaseFrm* { return PropInfoFrm.data(); }};
    m_steps[siCompsParams] = {[](TPanel* p, TStepHost* host) -> TBaseFrm* { return new TCompsParamsFrm(p, host); },
                              []() -> TBaseFrm* { return CompsParamsFrm.data(); }};
    m_steps[siCompsView] = {[](TPanel* p, TStepHost* host) -> TBaseFrm* { return new TCompsViewFrm(p, host); },
                            []() -> TBaseFrm* { return CompsViewFrm.data(); }};
    m_steps[siReport] = {[](TPanel* p, TStepHost* host) -> TBaseFrm* { return new TReportFrm(p, host); },
                         []() -> TBaseFrm* { return ReportFrm.data(); }};
    m_steps[siCustomer] = {[](TPanel* p, TStepHost* host) -> TBaseFrm* { return new TCustomerFrm(p, host); },
                           []() -> TBaseFrm* { return CustomerFrm.data(); }};
}

TBaseFrm* TMainProfileFrm::LiveStep(int index) const
{
    if (index < 0 || index >= siStepCount) return nullptr;
    const TStep& step = m_steps[index];
    TBaseFrm* form = step.current ? step.current() : nullptr;
    // A step form that is closing (released, freed later) counts as gone.
    return form && !form->IsReleased() ? form : nullptr;
}

TMainProfileFrm::TMainProfileFrm(QWidget* parent) : TForm(parent)
{
    setObjectName(QStringLiteral("MainProfileFrm"));
    setWindowTitle(QStringLiteral("Tamsel"));
    setFixedSize(800, 600);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    // The application's main form: closing it ends the program.
    if (TApplication* app = TApplication::Instance()) app->SetMainForm(this);

    CreateSteps();
    CreateComponents();
    CreateActions();
    CreateBanner();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(TopPanel);
    layout->addWidget(ToolBar1);
    layout->addWidget(Panel1, 1);
    layout->addWidget(StatusBar1);

    OnCloseQuery = [this](QObject*, bool& canClose) { FormCloseQuery(canClose); };
    OnClose = [this](QObject*, TCloseAction&) { SaveSettings(); };
    OnShow = [this](QObject*) {
        m_shown = true;
        ProfileReport();
    };
    // Key preview: the window sees keys before the focused control.
    qApp->installEventFilter(this);

    lcErrorHandler1->Loaded();
    FormCreate();
}

TMainProfileFrm::~TMainProfileFrm() { qApp->removeEventFilter(this); }

void TMainProfileFrm::CreateComponents()
{
    auto named = [](QObject* o, const char* name) { o->setObjectName(QString::fromLatin1(name)); };

    SubPropXml = new TvxpDocument(this);
    named(SubPropXml, "SubPropXml");
    CompsXml = new TvxpDocument(this);
    named(CompsXml, "CompsXml");
    CompInfoXml = new TvxpDocument(this);
    named(CompInfoXml, "CompInfoXml");
    vxRequestMap = new TvxpDocument(this);
    named(vxRequestMap, "vxRequestMap");
    RptGenXml = new TvxpDocument(this);
    named(RptGenXml, "RptGenXml");
    vxLoginXml = new TvxpDocument(this);
    named(vxLoginXml, "vxLoginXml");
    ConfigDoc = new TvxpDocument(this);
    named(ConfigDoc, "ConfigDoc");
    for (TvxpDocument* d : {SubPropXml, CompsXml, CompInfoXml, vxRequestMap, RptGenXml, vxLoginXml, ConfigDoc}) {
        d->ValidateDocument = false;
        d->FormatedOutput = true;
    }

    SubProp = new TSubjectProperty(this);
    named(SubProp, "SubProp");
    SubProp->SetVxpDocument(SubPropXml);
    CompProp = new TSubjectProperty(this);
    named(CompProp, "CompProp");
    CompProp->SetVxpDocument(CompInfoXml);
    // The subject-property connections name their body's coding, and start
    // with the service paths the configuration document may replace.
    for (TSubjectProperty* c : {SubProp, CompProp}) {
        c->SetContentEncoding(QStringLiteral("ZIP,ENC"));
        c->CgiPath = QStringLiteral("/cgi-bin/PropSearch.exe");
    }
    vxComps = new TvxComps(this);
    named(vxComps, "vxComps");
    vxComps->SetVxpDocument(CompsXml);
    vxComps->CgiPath = QStringLiteral("/cgi-bin/IComps.exe");
    vxComps->OnRecievedDoc = [this](QObject*) { vxCompsRecievedDoc(); };
    RequestMap = new TvxRequestMap(this);
    named(RequestMap, "RequestMap");
    RequestMap->SetVxpDocument(vxRequestMap);
    vxRptGen = new TvxRptGen(this);
    named(vxRptGen, "vxRptGen");
    vxRptGen->SetVxpDocument(RptGenXml);
    vxAssessorMap = new TvxAssessorMap(this);
    named(vxAssessorMap, "vxAssessorMap");
    vxLogin = new TvxLogin(this);
    named(vxLogin, "vxLogin");
    vxLogin->SetVxpDocument(vxLoginXml);
    PersonalInfo = new TvxpPersonalInfo(this);
    named(PersonalInfo, "PersonalInfo");
    http = new THttpClient(this);
    named(http, "http");
    http->OnStatus = [this](QObject*, THttpStatus, const QString& text) { StatusBar1->SetPanelText(0, text); };

    for (TvxCustomConnection* c :
         {static_cast<TvxCustomConnection*>(SubProp), static_cast<TvxCustomConnection*>(CompProp),
          static_cast<TvxCustomConnection*>(vxComps), static_cast<TvxCustomConnection*>(RequestMap),
          static_cast<TvxCustomConnection*>(vxRptGen), static_cast<TvxCustomConnection*>(vxAssessorMap)})
        BindConnection(c, true);
    BindConnection(vxLogin, false);

    m_guard = new TRequestGuard(this);
    m_guard->setObjectName(QStringLiteral("RequestGuard"));
    m_guard->OnTell = [this](const QString& text) { StatusBar1->SetPanelText(0, text); };
    m_guard->LoggedIn = [] { return AppState().LoggedIn; };
    m_guard->MarksKey = [this] { return MarksKey(); };

    lcErrorHandler1 = new TlcErrorHandler(this);
    lcErrorHandler1->Caption = QStringLiteral("Error Message");
    lcErrorHandler1->SetLogFile(QStringLiteral("Error.log"));
    lcErrorHandler1->ShowError = true;

    LogoutTimer = new QTimer(this);
    named(LogoutTimer, "LogoutTimer");
    LogoutTimer->setInterval(10800000);
    connect(LogoutTimer, &QTimer::timeout, this, [this] { Guarded([this] { LogoutTimerTimer(); }); });

    StatusBar1 = new TStatusBar(this);
    named(StatusBar1, "StatusBar1");
    for (int w : {175, 100, 200, 50}) StatusBar1->AddPanel(w);

    Panel1 = new TPanel(this);
    named(Panel1, "Panel1");
    Panel1->SetBevelOuter(TPanelBevel::bvNone);
    Panel1->OnResize = [this](QObject*) {
        for (int i = 0; i < siStepCount; ++i)
            if (TBaseFrm* f = LiveStep(i)) f->FitToPanel();
    };
}

void TMainProfileFrm::BindConnection(TvxCustomConnection* connection, bool withProgress)
{
    connection->OnStatus = [this](QObject*, THttpStatus, const QString& text) { StatusBar1->SetPanelText(0, text); };
    if (!withProgress) return;
    connection->OnBeforeSearch = [this](QObject*, bool&) { BeforeRequest(); };
    connection->OnAfterSearch = [this](QObject*) { AfterRequest(); };
}

void TMainProfileFrm::BeforeRequest()
{
    Animate1->SetActive(true);
    m_requestStart = Ticks();
    StatusBar1->SetPanelText(1, QStringLiteral("et:"));
}

void TMainProfileFrm::AfterRequest()
{
    Animate1->SetActive(false);
    StatusBar1->SetPanelText(
        1, QStringLiteral("et: ") + FormatFloat(QStringLiteral("#.00"), double(Ticks() - m_requestStart) / 1000.0));
}

void TMainProfileFrm::CreateActions()
{
    struct Def {
        QAction** action;
        const char* name;
        const char* caption;
        QKeySequence key;
    };
    const Def steps[siStepCount] = {
        {&LoginForm, "LoginForm", "Login", QKeySequence(Qt::Key_F2)},
        {&PersonalForm, "PersonalForm", "My Page", QKeySequence(Qt::Key_F3)},
        {&CustomerForm, "CustomerForm", "Customer", QKeySequence(Qt::Key_F4)},
        {&PropSearchForm, "PropSearchForm", "Prop Search", QKeySequence(Qt::Key_F5)},
        {&PropInfoForm, "PropInfoForm", "Prop Info", QKeySequence(Qt::Key_F6)},
        {&CompsParamsForm, "CompsParamsForm", "Search Params", QKeySequence(Qt::Key_F7)},
        {&CompsViewForm, "CompsViewForm", "View Comps", QKeySequence(Qt::Key_F8)},
        {&ReportForm, "ReportForm", "Report", QKeySequence(Qt::Key_F9)},
    };
    // The program's own pictures, fuchsia left out.
    ImageList1 = std::make_unique<TImageList>(16, 16);
    TBitmap strip;
    strip.LoadFromResourceName(QStringLiteral("TOOLSTEPS"));
    ImageList1->AddImages(strip.Image(), clFuchsia);
    const int images[siStepCount] = {imLogin,    imPersonal,    imCustomer,  imPropSearch,
                                     imPropInfo, imCompsParams, imCompsView, imReport};

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    // Captions under the images.
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setIconSize(QSize(ImageList1->Width(), ImageList1->Height()));
    // The form's font, MS Sans Serif at 8 points (11 pixels on the screen).
    QFont small(QStringLiteral("MS Sans Serif"));
    small.setPixelSize(11);
    ToolBar1->setFont(small);
    // Buttons are 79 by 36; one whose caption needs more (with 4 pixels
    // of margin at each side) grows to fit it.
    auto fit = [](QToolButton* button) {
        const int needed = button->fontMetrics().horizontalAdvance(button->text()) + 8;
        button->setFixedSize(std::max(79, needed), 36);
    };
    m_stepGroup = new QActionGroup(this);
    m_stepGroup->setExclusive(true);
    for (int i = 0; i < siStepCount; ++i) {
        auto* a = new QAction(QString::fromLatin1(steps[i].caption), this);
        a->setObjectName(QString::fromLatin1(steps[i].name));
        a->setShortcut(steps[i].key);
        a->setShortcutContext(Qt::WindowShortcut);
        a->setCheckable(true);
        a->setIcon(ImageList1->Icon(images[i]));
        m_stepGroup->addAction(a);
        addAction(a);
        *steps[i].action = a;
        m_stepActions[i] = a;
        // A disabled action does not run (Qt never triggers one).
        connect(a, &QAction::triggered, this, [this, i] { Guarded([this, i] { RunStepAction(i); }); });
        if (i) ToolBar1->addSeparator();
        ToolBar1->addAction(a);
        auto* button = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(a));
        if (button) {
            button->setObjectName(QStringLiteral("ToolButton%1").arg(i + 1));
            fit(button);
        }
        m_stepButtons[i] = button;
    }
    auto make = [this](QAction*& a, const char* name, const char* caption, QKeySequence key) {
        a = new QAction(QString::fromLatin1(caption), this);
        a->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty()) {
            a->setShortcut(key);
            a->setShortcutContext(Qt::WindowShortcut);
        }
        addAction(a);
    };
    make(NextForm, "NextForm", "NextForm", QKeySequence(Qt::CTRL | Qt::Key_F));
    make(PriorForm, "PriorForm", "PriorForm", QKeySequence(Qt::CTRL | Qt::Key_B));
    make(FileSettings, "FileSettings", "Settings", {});
    make(FileExit, "FileExit", "Exit", {});
    make(HelpAbout, "HelpAbout", "About", {});
    FileExit->setIcon(ImageList1->Icon(imExit));
    connect(NextForm, &QAction::triggered, this, [this] { Guarded([this] { NextFormExecute(); }); });
    connect(PriorForm, &QAction::triggered, this, [this] { Guarded([this] { PriorFormExecute(); }); });
    connect(FileSettings, &QAction::triggered, this, [this] { Guarded([this] { FileSettingsExecute(); }); });
    connect(FileExit, &QAction::triggered, this, [this] { Guarded([this] { Close(); }); });
    connect(HelpAbout, &QAction::triggered, this, [this] { Guarded([this] { HelpAboutExecute(); }); });

    ToolBar1->addSeparator();
    ToolBar1->addSeparator();
    ToolBar1->addAction(FileExit);
    if (auto* exitButton = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(FileExit))) {
        exitButton->setObjectName(QStringLiteral("ToolButtonExit"));
        fit(exitButton);
    }

    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* file = MainMenu1->addMenu(QStringLiteral("File"));
    file->addAction(FileSettings);
    file->addSeparator();
    file->addAction(FileExit);
    QMenu* stepsMenu = MainMenu1->addMenu(QStringLiteral("Steps"));
    for (QAction* a : m_stepActions) stepsMenu->addAction(a);
    stepsMenu->addAction(NextForm);
    stepsMenu->addAction(PriorForm);
    QMenu* help = MainMenu1->addMenu(QStringLiteral("Help"));
    help->addAction(HelpAbout);
}

void TMainProfileFrm::CreateBanner()
{
    TopPanel = new TPanel(this);
    TopPanel->setObjectName(QStringLiteral("TopPanel"));
    TopPanel->SetBevelOuter(TPanelBevel::bvLowered);
    TopPanel->SetColor(clWhite);
    TopPanel->setFixedHeight(60);
    auto* row = new QHBoxLayout(TopPanel);
    row->setContentsMargins(2, 2, 2, 2);
    Image1 = new QLabel(TopPanel);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    Image1->setFixedSize(160, 52);
    Image1->installEventFilter(this);
    RichEdit1 = new QTextEdit(TopPanel);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setReadOnly(true);
    RichEdit1->setFrameStyle(QFrame::NoFrame);
    RichEdit1->setFocusPolicy(Qt::NoFocus);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Animate1 = new TAnimate(TopPanel);
    Animate1->setObjectName(QStringLiteral("Animate1"));
    Animate1->SetColor(clWhite);
    Animate1->SetStopFrame(12);
    row->addWidget(Image1);
    row->addWidget(RichEdit1, 1);
    row->addWidget(Animate1);
}

void TMainProfileFrm::FormCreate()
{
    TAppState& state = AppState();
    // The personal page and the named sets are a person's data.
    Directories::MakePrivateDir(state.DataDir);
    vxComps->ParamFile = state.DataDir + QStringLiteral("ss.xml");
    PersonalInfo->SetFileName(state.DataDir + QStringLiteral("myinfo.xml"));
    vxAssessorMap->OutputDir = state.TempDir;
    RunStepAction(siLogin);
    LoadSettings();
    ApplyServerHost();
    UpdateActions();
    SetLogoLink(kMakerLink);
}

void TMainProfileFrm::Guarded(const std::function<void()>& fn) { GuardedCall(this, fn); }

QAction* TMainProfileFrm::StepAction(int index) const
{
    return index >= 0 && index < siStepCount ? m_stepActions[index] : nullptr;
}

QToolButton* TMainProfileFrm::StepButton(int index) const
{
    return index >= 0 && index < siStepCount ? m_stepButtons[index] : nullptr;
}

bool TMainProfileFrm::ShowStep(int index)
{
    if (index < 0 || index >= siStepCount) return false;
    if (LiveStep(index)) return true;
    // A step whose close failed stays current (it answers non-zero): its
    // button is pressed again and the step index stays.
    if (AppState().BroadcastMessage(this, WM_STEPCLOSE) != 0) {
        m_stepActions[m_stepIndex]->setChecked(true);
        return false;
    }
    if (const auto& make = m_steps[index].make) make(Panel1, this);
    return true;
}

void TMainProfileFrm::RunStepAction(int index)
{
    if (index == siLogin) {
        LoginFormExecute();
        return;
    }
    m_stepActions[index]->setChecked(true);
    if (ShowStep(index)) m_stepIndex = index;
}

void TMainProfileFrm::LoginFormExecute()
{
    TAppState& state = AppState();
    LoginForm->setChecked(true);
    bool shown = false;
    if (state.LoggedIn) {
        // No answer of this session lands any more.
        m_guard->Replace(TRequestGuard::sjSession);
        state.LoggedIn = false;
        state.Reset();
        shown = ShowStep(siLogin);
        UpdateActions();
        state.Counties.Clear();
        StatusBar1->SetPanelText(2, QString());
    } else {
        LogoutTimer->stop();
        LogoutTimer->start();
        shown = ShowStep(siLogin);
    }
    if (shown) m_stepIndex = siLogin;
}

void TMainProfileFrm::LogoutTimerTimer()
{
    if (AppState().LoggedIn) LoginFormExecute();
}

void TMainProfileFrm::UpdateActions()
{
    const TAppState& state = AppState();
    LoginForm->setText(state.LoggedIn ? QStringLiteral("Logout") : QStringLiteral("Login"));
    LoginForm->setIcon(ImageList1->Icon(state.LoggedIn ? imLogout : imLogin));
    CustomerForm->setEnabled(state.LoggedIn);
    PersonalForm->setEnabled(true);
    PropSearchForm->setEnabled(state.LoggedIn);
    PropInfoForm->setEnabled(state.PropFound);
    CompsParamsForm->setEnabled(state.PropFound);
    ReportForm->setEnabled(state.PropFound);
    CompsViewForm->setEnabled(state.CompsFound);
    TApplication::ProcessMessages();
}

void TMainProfileFrm::ApplyServerHost()
{
    const TAppState& state = AppState();
    http->SetHost(state.Host);
    for (TvxCustomConnection* c :
         {static_cast<TvxCustomConnection*>(SubProp), static_cast<TvxCustomConnection*>(vxComps),
          static_cast<TvxCustomConnection*>(CompProp), static_cast<TvxCustomConnection*>(RequestMap),
          static_cast<TvxCustomConnection*>(vxRptGen), static_cast<TvxCustomConnection*>(vxLogin)}) {
        c->SetHost(state.Host);
        c->SetHostServer(state.Host);
    }
    vxAssessorMap->SetHost(state.AssrMapIp);
    vxAssessorMap->SetPort(StrToIntDef(state.AssrMapPort, 9000));
}

void TMainProfileFrm::LoadSettings()
{
    const TIniFile ini(Directories::IniFileName());
    TAppState& state = AppState();
    state.Host = ini.ReadString(QStringLiteral("HOSTS"), QStringLiteral("pmserver"), QStringLiteral("127.0.0.1:8765"));
    state.TourMap = ini.ReadBool(QStringLiteral("REPORT"), QStringLiteral("tourmap"), false);
}

void TMainProfileFrm::SaveSettings()
{
    TIniFile ini(Directories::IniFileName());
    const TAppState& state = AppState();
    ini.WriteString(QStringLiteral("HOSTS"), QStringLiteral("pmserver"), state.Host);
    ini.WriteBool(QStringLiteral("REPORT"), QStringLiteral("tourmap"), state.TourMap);
}

void TMainProfileFrm::SetLogoLink(const QString& address)
{
    AppState().LogoLink = address;
    Image1->setToolTip(address);
    Image1->setCursor(address.isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
}

namespace {
QLatin1String HtmlAlign(TRtfAlignment alignment)
{
    switch (alignment) {
    case TRtfAlignment::Right: return QLatin1String("right");
    case TRtfAlignment::Center: return QLatin1String("center");
    case TRtfAlignment::Justify: return QLatin1String("justify");
    case TRtfAlignment::Left: break;
    }
    return QLatin1String("left");
}
} // namespace

void TMainProfileFrm::SetBannerText(const QByteArray& rtf)
{
    try {
        const TRtfDocument doc = TRtfReader::Read(rtf);
        QString html;
        for (const TRtfParagraph& p : doc.Paragraphs) {
            html += QStringLiteral("<p style=\"margin:0\" align=\"%1\">").arg(HtmlAlign(p.Alignment));
            for (const TRtfRun& r : p.Runs) {
                QString style = QStringLiteral("font-size:%1pt;").arg(r.HalfPoints / 2.0);
                if (r.Bold) style += QStringLiteral("font-weight:bold;");
                if (r.Italic) style += QStringLiteral("font-style:italic;");
                if (r.Underline) style += QStringLiteral("text-decoration:underline;");
                if (r.Color >= 0) style += QStringLiteral("color:#%1;").arg(r.Color, 6, 16, QLatin1Char('0'));
                html += QStringLiteral("<span style=\"") + style + QStringLiteral("\">") + r.Text.toHtmlEscaped() +
                    QStringLiteral("</span>");
            }
            html += QStringLiteral("</p>");
        }
        RichEdit1->setHtml(html);
    } catch (const Exception&) {
        // A banner that cannot be read leaves the old one.
    }
}

void TMainProfileFrm::NextFormExecute()
{
    const TAppState& state = AppState();
    auto go = [this](int index) {
        if (m_stepActions[index]->isEnabled()) RunStepAction(index);
    };
    switch (m_stepIndex) {
    case siLogin: go(siPersonal); break;
    case siPersonal:
        if (state.LoggedIn) go(siCustomer);
        break;
    case siCustomer:
        if (state.LoggedIn) go(siPropSearch);
        break;
    case siPropSearch:
        if (state.PropFound) go(siPropInfo);
        break;
    case siPropInfo:
        if (state.PropFound) go(siCompsParams);
        break;
    case siCompsParams:
        // The parameters form's own tab pages come first (with that form).
        if (TBaseFrm* f = LiveStep(siCompsParams);
            f && f->property("tabIndex").toInt() == 0 && f->property("tabIndex").isValid()) {
            f->setProperty("tabIndex", 1);
        } else if (state.CompsFound) {
            go(siCompsView);
        } else {
            go(siReport);
        }
        break;
    case siCompsView:
        if (state.CompsFound) go(siReport);
        break;
    default: break;
    }
}

void TMainProfileFrm::PriorFormExecute()
{
    auto go = [this](int index) {
        if (m_stepActions[index]->isEnabled()) RunStepAction(index);
    };
    switch (m_stepIndex) {
    case siCustomer: go(siPersonal); break;
    case siPropSearch: go(siCustomer); break;
    case siPropInfo: go(siPropSearch); break;
    case siCompsParams:
        if (TBaseFrm* f = LiveStep(siCompsParams)) {
            if (f->property("tabIndex").toInt() == 1)
                f->setProperty("tabIndex", 0);
            else
                go(siPropInfo);
        }
        break;
    case siCompsView: go(siCompsParams); break;
    case siReport:
        if (CompsViewForm->isEnabled())
            go(siCompsView);
        else
            go(siCompsParams);
        break;
    default: break;
    }
}

void TMainProfileFrm::FileSettingsExecute()
{
    TAppState& state = AppState();
    const QString kept = state.Host;
    TSettingsDlg dialog(this);
    // Only OK takes the host over: Cancel leaves everything as it was.
    if (Dialogs::ExecModal(dialog) == mrOk) {
        state.Host = dialog.edPmHost->text();
        ApplyServerHost();
        if (state.Host != kept && state.LoggedIn) LoginFormExecute();
    }
    SaveSettings();
}

void TMainProfileFrm::HelpAboutExecute()
{
    TAboutBoxDlg dialog(this);
    Dialogs::ExecModal(dialog);
}

void TMainProfileFrm::FormCloseQuery(bool& canClose)
{
    canClose = Dialogs::MessageDlg(QStringLiteral("Close?"), TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes;
    if (!canClose) return;
    // The requests still waiting end with the window: their answers and
    // errors are dropped.
    m_guard->Close();
    for (THttpClient* c : findChildren<THttpClient*>())
        if (c->Connected()) c->Disconnect();
    const QList<TForm*> forms = TForm::Forms();
    QList<QPointer<TForm>> others;
    for (auto it = forms.crbegin(); it != forms.crend(); ++it)
        if ((*it)->objectName() != QLatin1String("MainProfileFrm")) others.append(*it);
    // A form that fails to close (My Page whose save failed) is reported;
    // the program is left all the same.
    for (const QPointer<TForm>& f : others) {
        if (!f || f->IsReleased()) continue;
        try {
            f->Close();
        } catch (...) {
            if (TApplication* app = TApplication::Instance()) app->HandleException(f ? f.data() : this);
        }
    }
}

bool TMainProfileFrm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Image1 && event->type() == QEvent::MouseButtonRelease) {
        const QString link = AppState().LogoLink;
        if (!link.isEmpty()) Dialogs::OpenLink(link);
        return true;
    }
    if (event->type() == QEvent::KeyPress && isActiveWindow()) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && (w == this || isAncestorOf(w))) {
            // The window's key preview: every live step is offered the key
            // (the search parameters only while they are the current step).
            const int key = static_cast<QKeyEvent*>(event)->key();
            for (int i = 0; i < siStepCount; ++i) {
                TBaseFrm* f = LiveStep(i);
                if (!f || (i == siCompsParams && m_stepIndex != siCompsParams)) continue;
                if (f->PreviewKey(key)) return true;
            }
        }
    }
    return TForm::eventFilter(watched, event);
}

void TMainProfileFrm::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_UPDATESTEPS: UpdateActions(); break;
    case WM_PROPSEARCH: WMPropSearch(); break;
    case WM_PROPLIST: WMPropList(); break;
    case WM_PROPDATA: WMPropData(); break;
    case WM_COMPSSEARCH: WMCompsSearch(); break;
    case WM_MAPREQUEST: WMMapRequest(); break;
    case WM_MAKEREPORT: WMMakeReport(); break;
    case WM_LOGIN: WMLogin(); break;
    default: TForm::WndProc(message);
    }
}

// ---------------------------------------------------------------------------
// Requests

void TMainProfileFrm::WMPropSearch()
{
    if (SubProp->Connected() || !AppState().County) return;
    TRequestGuard::TRun run = m_guard->Start(TRequestKind::PropSearch);
    if (!run) return;
    struct Hourglass {
        Hourglass() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
        ~Hourglass() { QGuiApplication::restoreOverrideCursor(); }
    } hourglass;
    TAppState& state = AppState();
    state.Reset();
    SubPropXml->SetLogEvent(true);
    QPointer<TMainProfileFrm> self(this);
    QString answer;
    const bool lands = run.Send([&] { answer = SubProp->Search(state.County->Id, state.UserId); });
    if (!self || !lands) return;
    run.Finish();
    if (answer == QLatin1String("prop.list"))
        PostMessage(this, WM_PROPLIST);
    else if (answer == QLatin1String("prop.data"))
        PostMessage(this, WM_PROPDATA);
    UpdateActions();
}

void TMainProfileFrm::WMPropList()
{
    const TXMLElement* list = SubPropXml->RequestElement();
    // A list that came in before a logout is no one's any more.
    if (!list || !AppState().LoggedIn || m_guard->Closed()) return;
    auto dialog = std::make_unique<TPropListFrm>(this, this);
    // Over the main window, its frame on the window's frame, 25 pixels less
    // high: the status bar stays in sight.
    const QRect frame = frameGeometry();
    dialog->PlaceFrame(QRect(frame.left(), frame.top(), frame.width(), frame.height() - 25));
    TExtStringGrid* grid = dialog->Grid;
    grid->SetRowCount(1);
    grid->HideColumn(4);
    grid->AddRow();
    grid->SetFixedRows(1);
    int rows = 0;
    for (const TXMLElement* e = list->getFirstChildElement(); e; e = e->getNextSiblingElement()) {
        const int row = grid->RowCount() - 1;
        auto attr = [e](const char* name) { return e->getAttribute(QString::fromLatin1(name)); };
        grid->SetCellText(1, row, ServerCellText(attr("name")));
        grid->SetCellText(2, row, ServerCellText(attr("address") + QLatin1Char('\n') + attr("city")));
        grid->SetCellText(3, row, ServerCellText(attr("apn") + QStringLiteral("\r\n") + attr("land_use")));
        grid->SetCellText(4, row, attr("parcel"));
        ++rows;
        if (e->getNextSiblingElement()) grid->AddRow();
    }
    // An empty list keeps the dialog's own caption.
    if (rows > 0) dialog->setWindowTitle(QStringLiteral("Found %1 Properties").arg(grid->RowCount() - 1));
    QPointer<TMainProfileFrm> self(this);
    const int result = Dialogs::ExecModal(*dialog);
    dialog.reset();
    // The Prop Search step may have been closed while the dialog was up.
    if (self && result != mrOk && PropSearchFrm && !PropSearchFrm->IsReleased()) PropSearchFrm->sParcel->setFocus();
}

void TMainProfileFrm::WMPropData()
{
    if (SubProp->Connected() || !AppState().County) return;
    if (!m_guard->MayStart(TRequestKind::PropData)) return;
    TAppState& state = AppState();
    QPointer<TMainProfileFrm> self(this);
    if (SubPropXml->RequestElement() && SubPropXml->RequestElement()->getTagName() == QLatin1String("prop.list")) {
        TRequestGuard::TRun run = m_guard->Start(TRequestKind::PropData);
        if (!run) return;
        SubPropXml->SetLogEvent(true);
        SubPropXml->SetEvent(QStringLiteral("PROP_FOUND"));
        const bool lands =
            run.Send([&] { SubProp->GetProperty(state.County->Id, state.PropertyId, state.OrderId, state.UserId); });
        if (!self || !lands) return;
        run.Finish();
        // A "message" answer (shown already) or another document is no
        // property.
        const TXMLElement* answer = SubPropXml->RequestElement();
        if (!answer || answer->getTagName() != QLatin1String("prop.data")) return;
    }
    auto digits = [](QString s) { return s.remove(QLatin1Char(',')); };
    vxComps->Sqft = IntOr(digits(SubProp->ElementText(QStringLiteral("house_sqft"))), 0);
    vxComps->Beds = IntOr(SubProp->ElementText(QStringLiteral("bed")), 0);
    vxComps->LotSqft = IntOr(digits(SubProp->ElementText(QStringLiteral("lot_sqft"))), 0);
    vxComps->Baths = FloatOr(SubProp->ElementText(QStringLiteral("bath")), 0);
    vxComps->SetPrice(SubProp->SoldPrice());
    vxComps->Latitude = FloatOr(SubProp->ElementText(QStringLiteral("latitude")), 0);
    vxComps->Longitude = FloatOr(SubProp->ElementText(QStringLiteral("longitude")), 0);
    vxComps->StructType = IntOr(SubProp->ElementText(QStringLiteral("prop_type")), 1);
    const TXMLElement* request = SubPropXml->RequestElement();
    vxComps->SetParcelID(IntOr(request ? request->getAttribute(QStringLiteral("parcel")) : QString(), 1));
    vxComps->ApnBook = SubProp->ElementText(QStringLiteral("apn_book")).left(255);
    state.PropFound = true;
    WritePropertyInfoReport(SubPropXml->RequestElement(), QStringLiteral("propinfo.rpt"));
    if (!self) return;
    RunStepAction(siPropInfo);
    UpdateActions();
}

void TMainProfileFrm::WMCompsSearch()
{
    const TAppState& state = AppState();
    if (vxComps->Connected() || !state.County) return;
    TRequestGuard::TRun run = m_guard->Start(TRequestKind::CompsSearch);
    if (!run) return;
    vxComps->County = state.County->Id;
    vxComps->UserId = state.UserId;
    // The answer is taken over by the comps connection's event, while the
    // request still runs.
    run.Send([this] { vxComps->GetComps(); });
}

void TMainProfileFrm::vxCompsRecievedDoc()
{
    const TXMLElement* request = CompsXml->RequestElement();
    if (!request || request->getTagName() != QLatin1String("comps.result")) return;
    if (!m_guard->Lands(TRequestKind::CompsSearch)) return;
    AppState().CompsFound = true;
    // The street map is ordered again, for these comps.
    AppState().NeedMap = true;
    CompsViewForm->setChecked(true);
    RunStepAction(siCompsView);
    TApplication::ProcessMessages();
    UpdateActions();
}

void TMainProfileFrm::WMMapRequest()
{
    if (m_mapBusy || !AppState().County) return;
    // Not while the comps search runs: the map is for the comps it brings.
    TRequestGuard::TRun run = m_guard->Start(TRequestKind::Map);
    if (!run) return;
    m_mapBusy = true;
    QPointer<TMainProfileFrm> self(this);
    struct Clear {
        QPointer<TMainProfileFrm>& self;
        ~Clear()
        {
            if (self) self->m_mapBusy = false;
        }
    } clear{self};
    BuildMapRequest();
    const bool lands = run.Send([this] { RequestMap->Execute(); });
    if (!self || !lands) return;
    const TXMLElement* request = vxRequestMap->RequestElement();
    TAppState& state = AppState();
    state.MapId = IntOr(request ? request->getAttribute(QStringLiteral("mapid")) : QString(), 0);
    state.NeedMap = false;
}

void TMainProfileFrm::BuildMapRequest()
{
    const TAppState& state = AppState();
    if (vxRequestMap->XMLDocument()) vxRequestMap->ClearDocument();
    vxRequestMap->VxpTypeName = QStringLiteral("map.request");
    vxRequestMap->VxpTypeVersion = QStringLiteral("1.0");
    vxRequestMap->NewDocument();
    vxRequestMap->SetCounty(state.County ? state.County->Id : 0);
    vxRequestMap->SetUserId(state.UserId);
    TXMLDocument* doc = vxRequestMap->XMLDocument();
    TXMLElement* request = vxRequestMap->RequestElement();
    auto add = [doc](TXMLElement* parent, const QString& name) {
        auto element = std::make_unique<TXMLElement>(name, doc);
        parent->appendChild(element.get());
        return element.release();
    };
    auto addText = [doc, &add](TXMLElement* parent, const QString& name, const QString& text) {
        TXMLElement* e = add(parent, name);
        e->appendText(new TXMLText(TvxCustomConnection::XmlEscape(text), doc));
    };
    TXMLElement* hazard = add(request, QStringLiteral("hazard"));
    hazard->setAttribute(QStringLiteral("image_type"), QStringLiteral("wmf"));
    hazard->setAttribute(QStringLiteral("request"),
                         state.County && state.County->Hazards ? QStringLiteral("Y") : QStringLiteral("N"));
    TXMLElement* street = add(request, QStringLiteral("street"));
    street->setAttribute(QStringLiteral("image_type"), QStringLiteral("jpg"));
    street->setAttribute(QStringLiteral("request"), QStringLiteral("Y"));
    street->setAttribute(QStringLiteral("tour"), state.TourMap ? QStringLiteral("Y") : QStringLiteral("N"));
    TXMLElement* items = add(request, QStringLiteral("items"));
    auto addItem = [&](const QString& address, const QString& price, const QString& lat, const QString& lon,
                       const QString& stat) {
        TXMLElement* item = add(items, QStringLiteral("item"));
        addText(item, QStringLiteral("address"), address);
        addText(item, QStringLiteral("price"), price);
        addText(item, QStringLiteral("lat"), lat);
        addText(item, QStringLiteral("lon"), lon);
        addText(item, QStringLiteral("stat"), stat);
    };
    addItem(SubProp->ElementText(QStringLiteral("address")), SubProp->ElementText(QStringLiteral("sold_price")),
            SubProp->ElementText(QStringLiteral("latitude")), SubProp->ElementText(QStringLiteral("longitude")),
            QStringLiteral("T"));
    // The comps of the report: only those of a comps answer taken over.
    TCompsRecords& records = vxComps->Records;
    for (records.First(); state.CompsFound && !records.Eof(); records.Next()) {
        if (records.Field(QStringLiteral("use_rec")) == QLatin1String("Y")) {
            QString address = records.Field(QStringLiteral("address"));
            if (UpperCase(address).contains(QLatin1String("SITUS")))
                address = records.Field(QStringLiteral("apn")).left(255);
            const QString status = records.Field(QStringLiteral("status"));
            const bool priced = status == QLatin1String("8") || status == QLatin1String("0") ||
                status == QLatin1String("3") || status == QLatin1String("7");
            addItem(address, priced ? records.Field(QStringLiteral("sold_price")) : QString(),
                    records.Field(QStringLiteral("lat")), records.Field(QStringLiteral("lon")), status);
        }
    }
}

void TMainProfileFrm::WMMakeReport()
{
    // Do Report is open again once this report is done, also after a
    // failure.
    QPointer<TMainProfileFrm> self(this);
    struct Clear {
        QPointer<TMainProfileFrm>& self;
        ~Clear()
        {
            if (self) self->m_reportBusy = false;
        }
    } clear{self};
    // The subject's prop.data answer; without one there is nothing to report.
    TXMLElement* property = SubPropXml->RequestElement();
    if (!property || !AppState().PropFound) return;
    // The report takes its own copy of what it prints; it is dropped when
    // the session ends before its data is in (OnDataArrived).
    TRequestGuard::TRun run = m_guard->Start(TRequestKind::Report);
    if (!run) return;
    TrptProfile* report = ProfileReport();
    run.Send([report, property] { report->ShowProfileReport(property); });
}

TrptProfile* TMainProfileFrm::ProfileReport()
{
    if (!rptProfile) {
        rptProfile = new TrptProfile(this);
        rptProfile->setObjectName(QStringLiteral("rptProfile"));
        rptProfile->Comps = vxComps;
        rptProfile->RptGen = vxRptGen;
        rptProfile->AssessorMap = vxAssessorMap;
        rptProfile->PersonalInfo = PersonalInfo;
        rptProfile->MainForm = this;
        rptProfile->OnLeftOut = [this](QObject* sender, const QString& what) {
            lcErrorHandler1->LogMessage(sender, what);
        };
        rptProfile->OnDataArrived = [this](QObject*, bool& wanted) { wanted = m_guard->Lands(TRequestKind::Report); };
    }
    return rptProfile;
}

TStepHost::TServices TMainProfileFrm::Services() const
{
    TServices services;
    services.http = http;
    services.ConfigDoc = ConfigDoc;
    services.vxLogin = vxLogin;
    services.SubProp = SubProp;
    services.CompProp = CompProp;
    services.vxComps = vxComps;
    services.RequestMap = RequestMap;
    services.vxRptGen = vxRptGen;
    services.CompInfoXml = CompInfoXml;
    services.PersonalInfo = PersonalInfo;
    return services;
}

void TMainProfileFrm::PostStepMessage(unsigned msg) { PostMessage(this, msg); }

void TMainProfileFrm::SendStepMessage(unsigned msg) { SendMessage(this, msg); }

bool TMainProfileFrm::MayStart(unsigned msg)
{
    switch (msg) {
    case WM_LOGIN: return m_guard->MayStart(TRequestKind::Login);
    case WM_PROPSEARCH: return m_guard->MayStart(TRequestKind::PropSearch);
    case WM_PROPDATA: return m_guard->MayStart(TRequestKind::PropData);
    case WM_COMPSSEARCH: return m_guard->MayStart(TRequestKind::CompsSearch);
    case WM_MAPREQUEST: return m_guard->MayStart(TRequestKind::Map);
    case WM_MAKEREPORT: return m_guard->MayStart(TRequestKind::Report);
    default: return !m_guard->Closed();
    }
}

bool TMainProfileFrm::SendCompInfo(const std::function<void()>& send)
{
    TRequestGuard::TRun run = m_guard->Start(TRequestKind::CompInfo);
    if (!run) return false;
    // Over before the step writes and shows what came: the preview may
    // start the next request.
    return run.Send(send);
}

QString TMainProfileFrm::MarksKey() const
{
    QString key;
    if (!AppState().CompsFound) return key;
    const TCompsRecords& records = vxComps->Records;
    for (int i = 0; i < records.Count(); ++i) key += records.IsUsed(i) ? QLatin1Char('Y') : QLatin1Char('N');
    return key;
}

void TMainProfileFrm::PostReportMessage(unsigned msg)
{
    if (rptProfile) PostMessage(rptProfile, msg);
}

void TMainProfileFrm::SetBusy(bool busy) { Animate1->SetActive(busy); }

void TMainProfileFrm::ShowElapsed(const QString& text) { StatusBar1->SetPanelText(1, text); }

void TMainProfileFrm::SetCaption(const QString& caption) { setWindowTitle(caption); }

void TMainProfileFrm::RestartLogoutTimer()
{
    LogoutTimer->stop();
    LogoutTimer->start();
}

void TMainProfileFrm::WritePropertyInfoReport(TXMLElement* property, const QString& fileName)
{
    ProfileReport()->WritePropertyInfoReport(property, fileName);
}

void TMainProfileFrm::DeleteReportFile(const QString& fileName) { ProfileReport()->DeleteReportFile(fileName); }

void TMainProfileFrm::PreviewReportFile(const QString& fileName) { ProfileReport()->PreviewReportFile(fileName); }

void TMainProfileFrm::TellIncompleteReport(const QString& fileName) { ProfileReport()->TellIncompleteReport(fileName); }

void TMainProfileFrm::WMLogin()
{
    TAppState& state = AppState();
    QPointer<TMainProfileFrm> self(this);
    vxLogin->ProgramVersion = QStringLiteral("1.01");
    if (!PersonalInfo->Loaded) PersonalInfo->Load();
    if (state.MlsLogin || PersonalInfo->ShowMls) {
        vxLogin->MlsUser = PersonalInfo->LastName();
        vxLogin->MlsPass = PersonalInfo->MlsMemberId();
    } else {
        vxLogin->MlsUser.clear();
        vxLogin->MlsPass.clear();
    }
    vxLogin->MlsId = PersonalInfo->MlsId();
    TRequestGuard::TRun run = m_guard->Start(TRequestKind::Login);
    if (!run) return;
    QString type;
    const bool lands = run.Send([this, &type] { type = vxLogin->Execute(); });
    if (!self || !lands) return;
    if (type != QLatin1String("login.response")) throw Exception(QStringLiteral("Invalid login Document"));
    const TXMLElement* answer = vxLoginXml->RequestElement();
    state.LoggedIn = answer->getAttribute(QStringLiteral("result")) == QLatin1String("true");
    state.UserId = IntOr(answer->getAttribute(QStringLiteral("UserId")), -99);
    if (!state.LoggedIn) {
        const QString message = ChildText(answer, QStringLiteral("message"));
        Dialogs::MessageDlg(message, TMsgDlgType::mtInformation, mbOK);
        if (self && LoginFrm && !LoginFrm->IsReleased()) LoginFrm->edPass->setFocus();
        return;
    }
    for (const TXMLElement* e = answer->getFirstChildElement(); e; e = e->getNextSiblingElement())
        TakeOverLoginElement(e);
    if (state.MlsValid) {
        vxComps->MlsId = PersonalInfo->MlsId();
        StatusBar1->SetPanelText(2, PersonalInfo->ProviderName() + QStringLiteral(" Member"));
    } else {
        vxComps->MlsId.clear();
        StatusBar1->SetPanelText(2, QString());
    }
    ApplyServerHost();
    UpdateActions();
    RunStepAction(siCustomer);
}

void TMainProfileFrm::TakeOverLoginElement(const TXMLElement* e)
{
    TAppState& state = AppState();
    const QString tag = e->getTagName();
    const QString text = ElementText(e);
    if (tag == QLatin1String("username")) {
        state.UserName = text;
    } else if (tag == QLatin1String("assr_map_ip")) {
        state.AssrMapIp = text;
    } else if (tag == QLatin1String("assr_map_port")) {
        state.AssrMapPort = text;
    } else if (tag == QLatin1String("mls_valid")) {
        state.MlsValid = text == QLatin1String("Y");
    } else if (tag == QLatin1String("mlslogin")) {
        state.MlsLogin = text == QLatin1String("Y");
        PersonalInfo->ShowMls = state.MlsLogin;
    } else if (tag == QLatin1String("titleconame")) {
        if (!text.isEmpty()) {
            state.TitleCoName = text;
            setWindowTitle(text);
        }
    } else if (tag == QLatin1String("banner")) {
        TakeOverBanner(text);
    } else if (tag == QLatin1String("logo")) {
        QImage logo;
        try {
            TvxpDocument::DecodeBitmap(text, logo);
            Image1->setPixmap(QPixmap::fromImage(logo));
        } catch (const EInvalidGraphic&) {
            // A logo that is no picture leaves the banner picture as it was.
        }
    } else if (tag == QLatin1String("counties")) {
        // A second login must not list the counties twice.
        state.Counties.Clear();
        for (const TXMLElement* c = e->getFirstChildElement(); c; c = c->getNextSiblingElement()) {
            int id = 0;
            if (!TryStrToInt(c->getAttribute(QStringLiteral("num")).trimmed(), id))
                throw Exception(QStringLiteral("Invalid County"));
            state.Counties.AddCounty(id,
                                     c->getAttribute(QStringLiteral("name")) + QStringLiteral(" - ") +
                                         c->getAttribute(QStringLiteral("state")),
                                     c->getAttribute(QStringLiteral("apnmap")),
                                     c->getAttribute(QStringLiteral("photos")) == QLatin1String("Y"),
                                     c->getAttribute(QStringLiteral("hazards")) == QLatin1String("Y"));
        }
    } else if (tag == QLatin1String("comps")) {
        state.SearchTypes.Clear();
        auto yes = [](const TXMLElement* r, const char* name) {
            return r->getAttribute(QString::fromLatin1(name)) == QLatin1String("Y");
        };
        for (const TXMLElement* by = e->getFirstChildElement(); by; by = by->getNextSiblingElement()) {
            if (by->getTagName() != QLatin1String("searchby")) continue;
            for (const TXMLElement* r = by->getFirstChildElement(); r; r = r->getNextSiblingElement()) {
                if (r->getTagName() != QLatin1String("rec")) continue;
                state.SearchTypes.AddSearchType(
                    IntOr(r->getAttribute(QStringLiteral("id")), -1), r->getAttribute(QStringLiteral("name")),
                    r->getAttribute(QStringLiteral("field1")), r->getAttribute(QStringLiteral("field2")),
                    yes(r, "showarea"), yes(r, "showlist"), yes(r, "landuse"),
                    IntOr(r->getAttribute(QStringLiteral("items")), 0),
                    IntOr(r->getAttribute(QStringLiteral("length")), 0));
            }
        }
    } else if (tag == QLatin1String("rpages")) {
        state.ReportPages.Clear();
        qint16 order = 0;
        for (const TXMLElement* p = e->getFirstChildElement(); p; p = p->getNextSiblingElement()) {
            if (p->getTagName() != QLatin1String("page")) continue;
            state.ReportPages.AddPage(IntOr(p->getAttribute(QStringLiteral("id")), 0), order++,
                                      p->getAttribute(QStringLiteral("name")), QStringLiteral("Y"));
        }
    } else if (tag == QLatin1String("providers")) {
        PersonalInfo->ClearProviders();
        for (const TXMLElement* p = e->getFirstChildElement(); p; p = p->getNextSiblingElement())
            PersonalInfo->AddProvider(p->getAttribute(QStringLiteral("id")), p->getAttribute(QStringLiteral("name")));
    }
}

void TMainProfileFrm::TakeOverBanner(const QString& text)
{
    // Trimmed of everything below "!" at both ends; written to banner.rtf,
    // read back into the banner and removed. Any failure leaves the banner.
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text[from].unicode() < 33) ++from;
    while (to > from && text[to - 1].unicode() < 33) --to;
    if (from == to) return;
    const QString fileName = AppState().TempDir + QStringLiteral("banner.rtf");
    try {
        const QByteArray bytes = text.mid(from, to - from).toLatin1();
        AtomicFile::WriteAll(fileName, bytes);
        QFile file(fileName);
        if (file.open(QIODevice::ReadOnly)) SetBannerText(file.read(TRtfReader::kMaxInput + 1));
        file.close();
        QFile::remove(fileName);
    } catch (const Exception&) {
        QFile::remove(fileName);
    }
}
