#pragma once
// The program's one top-level window: the fixed 800 by 600 frame with the
// menu, the tool bar of the eight steps, the banner and the status bar. It
// owns the service connections and their documents, the configuration
// download client, the error handler and the logout timer; it drives the
// steps (one step form at a time inside Panel1) and runs every service
// request on the steps' behalf.

#include "forms/TStepHost.h"
#include "platform/kernel/Form.h"

#include <QPointer>
#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QLabel;
class QMenuBar;
class QTextEdit;
class QTimer;
class QToolBar;
class QToolButton;
class TAnimate;
class TBaseFrm;
class TImageList;
class THttpClient;
class TlcErrorHandler;
class TPanel;
class TStatusBar;
class TXMLElement;
class TrptProfile;
class TRequestGuard;
class TSubjectProperty;
class TvxAssessorMap;
class TvxComps;
class TvxCustomConnection;
class TvxLogin;
class TvxpDocument;
class TvxpPersonalInfo;
class TvxRequestMap;
class TvxRptGen;

// The step indices, in tool-bar order.
enum TStepIndex : int {
    siLogin,
    siPersonal,
    siCustomer,
    siPropSearch,
    siPropInfo,
    siCompsParams,
    siCompsView,
    siReport,
    siStepCount
};

// The images of ImageList1: Login and Logout, then one per step, then Exit.
enum TStepImage : int {
    imLogin,
    imLogout,
    imPersonal,
    imCustomer,
    imPropSearch,
    imPropInfo,
    imCompsParams,
    imCompsView,
    imReport,
    imExit
};

class TMainProfileFrm : public TForm, public TStepHost {
    Q_OBJECT
public:
    explicit TMainProfileFrm(QWidget* parent = nullptr);
    ~TMainProfileFrm() override;

    // Components (named as on the stored form).
    TStatusBar* StatusBar1 = nullptr;
    TPanel* TopPanel = nullptr;
    QLabel* Image1 = nullptr;
    TAnimate* Animate1 = nullptr;
    QTextEdit* RichEdit1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    TPanel* Panel1 = nullptr;
    QMenuBar* MainMenu1 = nullptr;

    QAction* LoginForm = nullptr;
    QAction* PersonalForm = nullptr;
    QAction* CustomerForm = nullptr;
    QAction* PropSearchForm = nullptr;
    QAction* PropInfoForm = nullptr;
    QAction* CompsParamsForm = nullptr;
    QAction* CompsViewForm = nullptr;
    QAction* ReportForm = nullptr;
    QAction* NextForm = nullptr;
    QAction* PriorForm = nullptr;
    QAction* FileSettings = nullptr;
    QAction* FileExit = nullptr;
    QAction* HelpAbout = nullptr;
    // The images of the step actions and Exit, in the order of
    // TStepImage.
    std::unique_ptr<TImageList> ImageList1;

    TSubjectProperty* SubProp = nullptr;
    TSubjectProperty* CompProp = nullptr;
    TvxComps* vxComps = nullptr;
    TvxRequestMap* RequestMap = nullptr;
    TvxRptGen* vxRptGen = nullptr;
    TvxAssessorMap* vxAssessorMap = nullptr;
    TvxLogin* vxLogin = nullptr;
    TvxpDocument* SubPropXml = nullptr;
    TvxpDocument* CompsXml = nullptr;
    TvxpDocument* CompInfoXml = nullptr;
    TvxpDocument* vxRequestMap = nullptr;
    TvxpDocument* RptGenXml = nullptr;
    TvxpDocument* vxLoginXml = nullptr;
    TvxpDocument* ConfigDoc = nullptr;
    TvxpPersonalInfo* PersonalInfo = nullptr;
    THttpClient* http = nullptr;
    TlcErrorHandler* lcErrorHandler1 = nullptr;
    QTimer* LogoutTimer = nullptr;
    // The report form, made on the first show and owned by the window: it
    // makes, previews, prints and saves the reports; the Prop Info step's
    // print and save requests are posted to it.
    TrptProfile* rptProfile = nullptr;

    int StepIndex() const { return m_stepIndex; }
    QAction* StepAction(int index) const;
    QToolButton* StepButton(int index) const;

    // Closes every other step and creates the step's form in the panel,
    // unless the step's form already exists. False when the current step
    // could not be closed (it stays current).
    bool ShowStep(int index);
    void UpdateActions() override;
    void ApplyServerHost();
    void LoadSettings();
    void SaveSettings();
    void SetLogoLink(const QString& address);

    // The banner's text from rich text (RTF); an error leaves it as it was.
    void SetBannerText(const QByteArray& rtf);

    // The step messages (and WM_UPDATESTEPS).
    void WndProc(TMessage& message) override;

    // Request handlers, also called directly where a step's action must run
    // before the actions are updated.
    void WMPropSearch();
    void WMPropList();
    void WMPropData();
    void WMCompsSearch();
    void WMMapRequest();
    void WMMakeReport();
    void WMLogin();
    void BuildMapRequest();
    // The logout timer's tick: logs the user out locally when logged in.
    void LogoutTimerTimer();
    // One child element of a successful login answer taken over.
    void TakeOverLoginElement(const TXMLElement* e);
    void TakeOverBanner(const QString& text);

    // The report form's entry points: the one-page property information
    // report of an answer element written into the temporary directory
    // under fileName, a report file of the temporary directory removed, and
    // one shown in the modal preview.
    void WritePropertyInfoReport(TXMLElement* property, const QString& fileName) override;
    void DeleteReportFile(const QString& fileName) override;
    void PreviewReportFile(const QString& fileName) override;
    void TellIncompleteReport(const QString& fileName) override;
    // The report form, made when first needed.
    TrptProfile* ProfileReport();
    // Set from Do Report until the report made for it is closed.
    bool ReportBusy() const override { return m_reportBusy; }
    void SetReportBusy(bool value) override { m_reportBusy = value; }

    // The rest of what the steps ask of the window.
    TServices Services() const override;
    QObject* HostWindow() override { return this; }
    void PostStepMessage(unsigned msg) override;
    void SendStepMessage(unsigned msg) override;
    void PostReportMessage(unsigned msg) override;
    bool MayStart(unsigned msg) override;
    bool SendCompInfo(const std::function<void()>& send) override;
    void SetBusy(bool busy) override;
    void ShowElapsed(const QString& text) override;
    void SetCaption(const QString& caption) override;
    void RestartLogoutTimer() override;

    // Which request runs and what it was asked for: answers whose subject
    // was replaced meanwhile are dropped, actions that would replace what a
    // running request needs are refused.
    TRequestGuard* RequestGuard() const { return m_guard; }

    // The fixed link of the banner picture.
    static const QString kMakerLink;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TStep {
        std::function<TBaseFrm*(TPanel* panel, TStepHost* host)> make; // the step's form class
        std::function<TBaseFrm*()> current;                            // its global reference
    };
    // The step's form while it exists and is not closing.
    TBaseFrm* LiveStep(int index) const;

    void CreateSteps();
    void CreateComponents();
    void CreateActions();
    void CreateBanner();
    void BindConnection(TvxCustomConnection* connection, bool withProgress);
    void FormCreate();
    void FormCloseQuery(bool& canClose);
    void RunStepAction(int index);
    void LoginFormExecute();
    void NextFormExecute();
    void PriorFormExecute();
    void FileSettingsExecute();
    void HelpAboutExecute();
    void vxCompsRecievedDoc();
    void BeforeRequest();
    void AfterRequest();
    // Runs fn; an exception goes to the application's exception event.
    void Guarded(const std::function<void()>& fn);

    // The comps marked for use while comps are found, one "Y" or "N" a
    // record; empty without comps.
    QString MarksKey() const;

    TStep m_steps[siStepCount];
    TRequestGuard* m_guard = nullptr;
    QActionGroup* m_stepGroup = nullptr;
    QToolButton* m_stepButtons[siStepCount] = {};
    QAction* m_stepActions[siStepCount] = {};
    int m_stepIndex = siLogin;
    qint64 m_requestStart = 0;
    bool m_mapBusy = false;
    bool m_reportBusy = false;
    bool m_shown = false;
};
