#include "app/steps/TLoginFrm.h"

#include "forms/StepMessages.h"
#include "state/TAppState.h"
#include "controls/HTMLButton.h"
#include "platform/core/FloatFormat.h"
#include "platform/core/UserRegistry.h"
#include "platform/graphics/Bitmap.h"
#include "platform/kernel/Application.h"
#include "platform/net/HttpClient.h"
#include "platform/net/HttpErrors.h"
#include "platform/widgets/Animate.h"
#include "platform/widgets/CustomEdit.h"
#include "platform/widgets/Label.h"
#include "platform/widgets/StatusBar.h"
#include "protocol/TSubjectProperty.h"
#include "protocol/TvxComps.h"
#include "protocol/TvxLogin.h"
#include "protocol/TvxRequestMap.h"
#include "protocol/TvxRptGen.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLText.h"
#include "protocol/xml/XMLQuery.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QResizeEvent>

QPointer<TLoginFrm> LoginFrm;

TLoginFrm::TLoginFrm(QObject* owner, TStepHost* host) : TBaseFrm(owner, host)
{
    setObjectName(QStringLiteral("LoginFrm"));
    LoginFrm = this;

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    Image1->setGeometry(0, 0, 800, 460);
    TBitmap background;
    background.LoadFromResourceName(QStringLiteral("LOGINBACK"));
    Image1->setPixmap(QPixmap::fromImage(background.Image()));

    // The labels stand on the picture's white login box, which shows behind
    // their captions.
    auto* userLabel = new TLabel(this, QStringLiteral("Label1"));
    userLabel->SetTransparent(true);
    userLabel->SetCaption(QStringLiteral("Login name"));
    userLabel->setGeometry(300, 150, 120, 16);
    edUser = new TCustomEdit(this, QStringLiteral("edUser"));
    edUser->setFrame(false);
    edUser->SetMaxLength(40);
    edUser->setGeometry(300, 168, 200, 21);
    auto* passLabel = new TLabel(this, QStringLiteral("Label2"));
    passLabel->SetTransparent(true);
    passLabel->SetCaption(QStringLiteral("Password"));
    passLabel->setGeometry(300, 198, 120, 16);
    edPass = new TCustomEdit(this, QStringLiteral("edPass"));
    edPass->setFrame(false);
    edPass->SetMaxLength(40);
    edPass->setEchoMode(QLineEdit::Password);
    edPass->setStyleSheet(QStringLiteral("lineedit-password-character: 35")); // "#"
    edPass->setGeometry(300, 216, 200, 21);

    btnLogin = new THTMLButton(this);
    btnLogin->setObjectName(QStringLiteral("btnLogin"));
    btnLogin->Font().SetSize(10);
    btnLogin->SetCaption(QStringLiteral("<B>Login</B>"));
    btnLogin->setGeometry(362, 252, 75, 28);
    btnLogin->OnClick = [this](QObject*) { btnLoginClick(); };

    for (TCustomEdit* e : {edUser, edPass})
        e->OnKeyDown = [this](QObject*, int& key, TShiftState) {
            if (key == Win::VK_RETURN) btnLogin->click();
        };

    edUser->SetText(UserRegistry::ReadString(UserRegistry::TamselKey, QStringLiteral("UserName")));
    OnShow = [this](QObject*) { FormShow(); };
    OnClose = [this](QObject*, TCloseAction& action) { FormClose(action); };
    Loaded();
}

TLoginFrm::~TLoginFrm()
{
    if (LoginFrm == this) LoginFrm = nullptr;
}

void TLoginFrm::resizeEvent(QResizeEvent* event)
{
    TBaseFrm::resizeEvent(event);
    // The picture fills the form, stretched.
    Image1->setGeometry(rect());
}

void TLoginFrm::FormShow()
{
    TBaseFrm::FormShow(this);
    if (!edUser->Text().isEmpty())
        edPass->setFocus();
    else
        edUser->setFocus();
}

void TLoginFrm::FormClose(TCloseAction& action)
{
    TBaseFrm::FormClose(this, action);
    UserRegistry::WriteString(UserRegistry::TamselKey, QStringLiteral("UserName"), edUser->Text());
}

bool TLoginFrm::IsServicePath(const QString& path)
{
    return path.startsWith(QLatin1Char('/')) && !path.contains(QLatin1Char('@'));
}

void TLoginFrm::btnLoginClick()
{
    TStepHost* main = Host();
    if (!main) return;
    const TStepHost::TServices services = main->Services();
    if (services.http->Connected() || services.vxLogin->Connected()) return;
    QPointer<QObject> mainAlive(main->HostWindow());
    const TAppState& state = AppState();
    QElapsedTimer clock;
    clock.start();
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    main->SetBusy(true);
    struct Finally {
        QPointer<QObject>& alive;
        TStepHost* main;
        QElapsedTimer& clock;
        ~Finally()
        {
            if (!alive) return;
            main->SetBusy(false);
            main->ShowElapsed(QStringLiteral("et: ") +
                              FormatFloat(QStringLiteral("#.00"), double(clock.elapsed()) / 1000.0));
        }
    } finally{mainAlive, main, clock};

    if (services.ConfigDoc->XMLDocument()) services.ConfigDoc->ClearDocument();
    try {
        services.http->Get(QStringLiteral("http://") + state.Host + QStringLiteral("/vxpconfig.xml"), stream);
    } catch (const EHttpClientDestroyed&) {
        throw;
    } catch (const Exception& e) {
        const QString text = TvxCustomConnection::TranslateSocketError(e.Message());
        if (text.contains(QLatin1String("Connection timed out")))
            throw Exception(QStringLiteral("Can not connect to ") + state.Host);
        throw Exception(text);
    }
    if (!mainAlive) return;
    services.http->Disconnect();
    stream.seek(0);
    // A document without the "vxp" envelope has no version of its own: it
    // must not pass on the version a former download left.
    if (!services.ConfigDoc->LoadServiceAnswer(&stream) || services.ConfigDoc->VxpTypeVersion != QLatin1String("1.0"))
        throw Exception(QStringLiteral("Invalid config document version"));
    const TXMLElement* profile = services.ConfigDoc->RequestElement()->getFirstChildElement();
    if (profile && profile->getTagName() == QLatin1String("vxprofile") &&
        profile->getAttribute(QStringLiteral("version")) == QLatin1String("1.0")) {
        for (const TXMLElement* e = profile->getFirstChildElement(); e; e = e->getNextSiblingElement()) {
            const QString tag = e->getTagName();
            const QString path = ElementText(e);
            if (!IsServicePath(path)) continue;
            if (tag == QLatin1String("propsrch")) {
                services.SubProp->CgiPath = path;
                services.CompProp->CgiPath = path;
            } else if (tag == QLatin1String("login")) {
                services.vxLogin->CgiPath = path;
            } else if (tag == QLatin1String("comps")) {
                services.vxComps->CgiPath = path;
            } else if (tag == QLatin1String("requestmap")) {
                services.RequestMap->CgiPath = path;
            } else if (tag == QLatin1String("rptgen")) {
                services.vxRptGen->CgiPath = path;
            }
        }
    }
    services.vxLogin->UserName = edUser->Text().left(255);
    services.vxLogin->Password = edPass->Text().left(255);
    // WM_LOGIN may close this form (it is freed later, not now).
    main->SendStepMessage(WM_LOGIN);
}
