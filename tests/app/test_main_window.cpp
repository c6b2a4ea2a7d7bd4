#include "app/MainProfileFrm.h"
#include "forms/StepMessages.h"
#include "state/TAppState.h"
#include "app/steps/TCustomerFrm.h"
#include "app/steps/TLoginFrm.h"
#include "app/steps/TPersonelFrm.h"
#include "app/steps/TPropSearchFrm.h"
#include "platform/widgets/CustomComboBox.h"
#include "controls/HTMLButton.h"
#include "platform/core/Directories.h"
#include "platform/core/IniFile.h"
#include "platform/core/UserRegistry.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/kernel/Application.h"
#include "platform/widgets/CustomEdit.h"
#include "platform/widgets/StatusBar.h"
#include "protocol/TSubjectProperty.h"
#include "protocol/TvxComps.h"
#include "protocol/TvxpPersonalInfo.h"
#include "protocol/TvxpDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLText.h"
#include "tests/support/GuiTest.h"
#include "tests/support/SampleService.h"
#include "tests/app/MainWindowTest.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QTimer>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <sys/stat.h>

using namespace testsupport;

TEST_F(MainWindow, StartsAtLoginWithOnlyMyPageReachable)
{
    TMainProfileFrm* main = Open();
    EXPECT_EQ(main->size(), QSize(800, 600));
    ASSERT_TRUE(LoginFrm);
    EXPECT_EQ(LoginFrm->parentWidget(), static_cast<QWidget*>(main->Panel1));
    EXPECT_EQ(LoginFrm->geometry(), main->Panel1->contentsRect());
    EXPECT_EQ(main->StepIndex(), siLogin);
    EXPECT_TRUE(main->LogoutTimer->isActive());
    EXPECT_EQ(main->LoginForm->text(), QStringLiteral("Login"));
    EXPECT_TRUE(main->PersonalForm->isEnabled());
    for (QAction* a : {main->CustomerForm, main->PropSearchForm, main->PropInfoForm, main->CompsParamsForm,
                       main->CompsViewForm, main->ReportForm})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_EQ(AppState().Host, s_service->Host());

    // Ctrl+F from Login goes to My Page, and from there nowhere before login.
    main->NextForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return PersonelFrm && !LoginFrm; }));
    EXPECT_EQ(main->StepIndex(), siPersonal);
    main->NextForm->trigger();
    EXPECT_EQ(main->StepIndex(), siPersonal);
    EXPECT_FALSE(CustomerFrm);

    // The action of the step already shown keeps its form.
    TPersonelFrm* page = PersonelFrm;
    main->PersonalForm->trigger();
    TApplication::ProcessMessages();
    EXPECT_EQ(PersonelFrm.data(), page);

    // A resize of the step snaps back to the panel.
    page->resize(10, 10);
    EXPECT_EQ(page->geometry(), main->Panel1->contentsRect());
}

TEST_F(MainWindow, LoginTakesTheAnswerOverAndOpensTheCustomerStep)
{
    TMainProfileFrm* main = Open();
    LogIn(QStringLiteral("demo"), QStringLiteral("demo"));
    ASSERT_TRUE(WaitUntil([] { return bool(CustomerFrm); })) << m_responder.LastText().toStdString();
    const TAppState& state = AppState();
    EXPECT_TRUE(state.LoggedIn);
    EXPECT_EQ(state.UserId, 4127);
    EXPECT_EQ(state.Counties.Count(), 3);
    EXPECT_EQ(state.Counties.Strings(0), QStringLiteral("Sierra Vista - CA"));
    EXPECT_GT(state.SearchTypes.Count(), 0);
    ASSERT_GT(state.ReportPages.Count(), 2);
    for (int i = 0; i < state.ReportPages.Count(); ++i) {
        EXPECT_EQ(state.ReportPages.Items(i).Order, i);
        EXPECT_TRUE(state.ReportPages.Items(i).Selected);
    }
    EXPECT_FALSE(state.TitleCoName.isEmpty());
    EXPECT_EQ(main->windowTitle(), state.TitleCoName);
    EXPECT_FALSE(state.AssrMapIp.isEmpty());
    EXPECT_EQ(main->LoginForm->text(), QStringLiteral("Logout"));
    EXPECT_TRUE(main->CustomerForm->isEnabled());
    EXPECT_TRUE(main->PropSearchForm->isEnabled());
    EXPECT_FALSE(main->PropInfoForm->isEnabled());
    EXPECT_EQ(main->StepIndex(), siCustomer);
    EXPECT_TRUE(main->StatusBar1->PanelText(1).startsWith(QLatin1String("et: ")));
    EXPECT_FALSE(main->RichEdit1->toPlainText().isEmpty());
    // The banner file is gone again.
    EXPECT_FALSE(QFile::exists(state.TempDir + QStringLiteral("banner.rtf")));
    // The login name is remembered for the next start.
    ASSERT_TRUE(WaitUntil([] { return !LoginFrm; }));
    EXPECT_EQ(UserRegistry::ReadString(UserRegistry::TamselKey, QStringLiteral("UserName")), QStringLiteral("demo"));

    // The customer survives logout; the county list does not, the county does.
    CustomerFrm->edCustName->SetText(QStringLiteral("Ann Buyer"));
    CustomerFrm->ckTourMap->setChecked(true);
    AppState().County = AppState().Counties.Objects(1);
    main->LoginForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return LoginFrm && !CustomerFrm; }));
    EXPECT_FALSE(AppState().LoggedIn);
    EXPECT_EQ(AppState().CustName, QStringLiteral("Ann Buyer"));
    EXPECT_TRUE(AppState().TourMap);
    EXPECT_EQ(AppState().Counties.Count(), 0);
    ASSERT_TRUE(AppState().County);
    EXPECT_EQ(AppState().County->Id, 106);
    EXPECT_EQ(main->LoginForm->text(), QStringLiteral("Login"));
    EXPECT_TRUE(main->StatusBar1->PanelText(2).isEmpty());
    EXPECT_FALSE(main->CustomerForm->isEnabled());
}

TEST_F(MainWindow, ALogoPastThePictureCapLeavesTheLoginIntact)
{
    TMainProfileFrm* main = Open();
    const qint64 before = main->Image1->pixmap().cacheKey();
    LogIn(QStringLiteral("huge-logo"), QStringLiteral("x"));
    ASSERT_TRUE(WaitUntil([] { return bool(CustomerFrm); })) << m_responder.LastText().toStdString();
    EXPECT_TRUE(AppState().LoggedIn);
    EXPECT_EQ(AppState().Counties.Count(), 3);
    EXPECT_EQ(main->StepIndex(), siCustomer);
    EXPECT_EQ(main->Image1->pixmap().cacheKey(), before);
    EXPECT_EQ(m_responder.Count(DialogRequest::Kind::Message), 0);
}

TEST_F(MainWindow, TheBannerKeepsEachParagraphsAlignment)
{
    TMainProfileFrm* main = Open();
    main->SetBannerText(QByteArrayLiteral("{\\rtf1 Left\\par\\qc Centred\\par\\qr Right\\par\\pard Again}"));
    QTextDocument* doc = main->RichEdit1->document();
    ASSERT_EQ(doc->blockCount(), 4);
    EXPECT_EQ(doc->findBlockByNumber(0).text(), QStringLiteral("Left"));
    const Qt::Alignment want[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignLeft};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(doc->findBlockByNumber(i).blockFormat().alignment() & ~Qt::AlignAbsolute & Qt::AlignHorizontal_Mask,
                  want[i])
            << i;
    // Where the reader sees them: the right paragraph's text ends at the right edge.
    main->RichEdit1->show();
    QTextCursor atEnd(doc->findBlockByNumber(2));
    atEnd.movePosition(QTextCursor::EndOfBlock);
    QTextCursor atStart(doc->findBlockByNumber(0));
    const int width = main->RichEdit1->viewport()->width();
    EXPECT_GT(main->RichEdit1->cursorRect(atEnd).left(), width - 20);
    EXPECT_LT(main->RichEdit1->cursorRect(atStart).left(), 20);
}

TEST_F(MainWindow, ARefusedLoginShowsTheServersMessage)
{
    TMainProfileFrm* main = Open();
    LogIn(QStringLiteral("demo"), QStringLiteral("wrong"));
    ASSERT_TRUE(WaitUntil([&] { return m_responder.Count(DialogRequest::Kind::Message) > 0; }));
    const DialogRequest& box = m_responder.Shown().last();
    EXPECT_EQ(box.type, TMsgDlgType::mtInformation);
    EXPECT_FALSE(box.text.isEmpty());
    EXPECT_FALSE(AppState().LoggedIn);
    EXPECT_TRUE(LoginFrm);
    EXPECT_EQ(main->StepIndex(), siLogin);
}

TEST_F(MainWindow, AConfigurationWithoutTheEnvelopeIsRefused)
{
    Open();
    // A good download first leaves version "1.0" behind in the document.
    LogIn(QStringLiteral("demo"), QStringLiteral("wrong"));
    ASSERT_TRUE(WaitUntil([&] { return m_responder.Count(DialogRequest::Kind::Message) > 0; }));
    s_service->Next(QStringLiteral("config"), QStringLiteral("wrong-root"));
    QString error;
    CatchErrorDialog(error);
    Click(LoginFrm->btnLogin);
    ASSERT_TRUE(WaitUntil([&] { return !error.isEmpty(); }));
    EXPECT_EQ(error, QStringLiteral("Invalid config document version"));
    // No login was sent after the bad download.
    int after = 0;
    for (const QJsonObject& e : s_service->Log(QStringLiteral("service")))
        if (e.value(QStringLiteral("request_type")).toString() == QLatin1String("login.request")) ++after;
    EXPECT_EQ(after, 1);
}

TEST_F(MainWindow, AFailedDownloadSendsNoLogin)
{
    Open();
    s_service->Next(QStringLiteral("config"), QStringLiteral("status-404"));
    QString error;
    CatchErrorDialog(error);
    LogIn(QStringLiteral("demo"), QStringLiteral("demo"));
    ASSERT_TRUE(WaitUntil([&] { return !error.isEmpty(); }));
    EXPECT_TRUE(error.contains(QLatin1String("404"))) << error.toStdString();
    EXPECT_FALSE(AppState().LoggedIn);
    EXPECT_TRUE(LoginFrm);
    for (const QJsonObject& e : s_service->Log(QStringLiteral("service")))
        EXPECT_NE(e.value(QStringLiteral("request_type")).toString(), QStringLiteral("login.request"));
}

TEST_F(MainWindow, SettingsApplyANewHostOnOkAndLogOut)
{
    TMainProfileFrm* main = Open();
    LogIn(QStringLiteral("demo"), QStringLiteral("demo"));
    ASSERT_TRUE(WaitUntil([] { return bool(CustomerFrm); }));
    // Cancel changes nothing.
    m_responder.NextModal([](QDialog& d) {
        d.findChild<QLineEdit*>(QStringLiteral("edPmHost"))->setText(QStringLiteral("127.0.0.1:1"));
        return int(mrCancel);
    });
    main->FileSettings->trigger();
    EXPECT_EQ(AppState().Host, s_service->Host());
    EXPECT_EQ(main->SubProp->HostServer(), s_service->Host());
    EXPECT_TRUE(AppState().LoggedIn);

    // OK with another host applies it everywhere, logs out and saves it.
    m_responder.NextModal([](QDialog& d) {
        d.findChild<QLineEdit*>(QStringLiteral("edPmHost"))->setText(QStringLiteral("127.0.0.1:1"));
        return int(mrOk);
    });
    main->FileSettings->trigger();
    EXPECT_EQ(main->SubProp->HostServer(), QStringLiteral("127.0.0.1:1"));
    EXPECT_EQ(main->http->Host(), QStringLiteral("127.0.0.1:1"));
    EXPECT_FALSE(AppState().LoggedIn);
    EXPECT_TRUE(WaitUntil([] { return bool(LoginFrm); }));
    EXPECT_EQ(TIniFile(Directories::IniFileName()).ReadString(QStringLiteral("HOSTS"), QStringLiteral("pmserver"), {}),
              QStringLiteral("127.0.0.1:1"));
}

TEST_F(MainWindow, ASecondLoginListsEachCountyOnce)
{
    TMainProfileFrm* main = Open();
    LogIn(QStringLiteral("demo"), QStringLiteral("demo"));
    ASSERT_TRUE(WaitUntil([] { return bool(CustomerFrm); }));
    // A login while logged in (the Login step shown again by hand).
    main->LoginForm->trigger(); // logs out
    ASSERT_TRUE(WaitUntil([] { return bool(LoginFrm); }));
    AppState().Counties.AddCounty(1, QStringLiteral("Stale - XX"), {}, false, false);
    LogIn(QStringLiteral("demo"), QStringLiteral("demo"));
    ASSERT_TRUE(WaitUntil([] { return bool(CustomerFrm); }));
    EXPECT_EQ(AppState().Counties.Count(), 3);
    EXPECT_EQ(AppState().Counties.IndexOf(QStringLiteral("Stale - XX")), -1);
}

TEST(LoginPaths, OnlyPathsOnTheConfiguredHostAreTaken)
{
    EXPECT_TRUE(TLoginFrm::IsServicePath(QStringLiteral("/cgi-bin/Login.exe")));
    EXPECT_FALSE(TLoginFrm::IsServicePath(QStringLiteral("cgi-bin/Login.exe")));
    EXPECT_FALSE(TLoginFrm::IsServicePath(QStringLiteral("@evil.example/x")));
    EXPECT_FALSE(TLoginFrm::IsServicePath(QStringLiteral("/x@evil.example")));
    EXPECT_FALSE(TLoginFrm::IsServicePath(QString()));
}

TEST_F(MainWindow, MyPageKeepsTheMlsIdAndAFailedSaveDoesNotBlockClosing)
{
    TMainProfileFrm* main = Open();
    main->PersonalInfo->Load();
    main->PersonalInfo->SetMlsId(QStringLiteral("77"));
    main->PersonalForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return bool(PersonelFrm); }));
    // No providers listed: an edit elsewhere keeps the stored id.
    PersonelFrm->edFirst->SetText(QStringLiteral("Dana"));
    EXPECT_TRUE(PersonelFrm->Modified());
    main->CustomerForm->setEnabled(true);
    main->LoginForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return !PersonelFrm; }));
    EXPECT_EQ(main->PersonalInfo->MlsId(), QStringLiteral("77"));
    EXPECT_EQ(main->PersonalInfo->FirstName(), QStringLiteral("Dana"));
    EXPECT_TRUE(QFile::exists(AppState().DataDir + QStringLiteral("myinfo.xml")));

    // A page that cannot be written is reported, and the program still closes
    // and ends.
    main->PersonalInfo->SetFileName(m_dir.filePath(QStringLiteral("missing/dir/myinfo.xml")));
    main->PersonalForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return bool(PersonelFrm); }));
    PersonelFrm->edLast->SetText(QStringLiteral("Whitfield"));
    QString error;
    CatchErrorDialog(error);
    m_responder.NextAnswer(mrYes);
    EXPECT_TRUE(main->Close());
    EXPECT_TRUE(error.startsWith(QStringLiteral("My Page was not saved: "))) << error.toStdString();
    EXPECT_FALSE(main->isVisible());
    EXPECT_TRUE(TApplication::Instance()->Terminated());
}

TEST_F(MainWindow, SavePhotoAndSaveLogoAreOfferedOnlyWithAPicture)
{
    TMainProfileFrm* main = Open();
    main->PersonalForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return bool(PersonelFrm); }));
    auto button = [](const char* name) {
        return dynamic_cast<TSpeedButton*>(FindByName<QWidget>(PersonelFrm, QString::fromLatin1(name)));
    };
    TSpeedButton* loadPhoto = button("SpeedButton1");
    TSpeedButton* clearPhoto = button("SpeedButton2");
    TSpeedButton* savePhoto = button("SpeedButton3");
    TSpeedButton* saveLogo = button("SpeedButton6");
    ASSERT_TRUE(loadPhoto && clearPhoto && savePhoto && saveLogo);
    EXPECT_EQ(savePhoto->Caption(), QStringLiteral("Save photo"));
    // Nothing to save: no save dialog, no error.
    EXPECT_FALSE(savePhoto->isEnabled());
    EXPECT_FALSE(saveLogo->isEnabled());
    Click(savePhoto);
    EXPECT_EQ(m_responder.Count(DialogRequest::Kind::SaveFile), 0);
    EXPECT_EQ(m_responder.Count(DialogRequest::Kind::Modal), 0);

    // A photo loaded: it can be saved; the logo still cannot.
    QImage picture(70, 35, QImage::Format_RGB32);
    picture.fill(qRgb(40, 90, 160));
    const QString source = m_dir.filePath(QStringLiteral("agent.bmp"));
    ASSERT_TRUE(picture.save(source, "BMP"));
    m_responder.NextFileName(source);
    Click(loadPhoto);
    EXPECT_TRUE(savePhoto->isEnabled());
    EXPECT_FALSE(saveLogo->isEnabled());
    const QString saved = m_dir.filePath(QStringLiteral("saved.bmp"));
    m_responder.NextFileName(saved);
    Click(savePhoto);
    EXPECT_EQ(m_responder.Count(DialogRequest::Kind::SaveFile), 1);
    EXPECT_EQ(QImage(saved).height(), 175);

    // Cleared, it is gone again.
    Click(clearPhoto);
    EXPECT_FALSE(savePhoto->isEnabled());
}

TEST_F(MainWindow, AMyPageChangeThatCannotBeSavedKeepsTheStepUntilItIs)
{
    TMainProfileFrm* main = Open();
    const QString file = AppState().DataDir + QStringLiteral("myinfo.xml");
    main->PersonalInfo->SetFileName(m_dir.filePath(QStringLiteral("missing/myinfo.xml")));
    main->PersonalForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return bool(PersonelFrm); }));
    QPointer<TPersonelFrm> page = PersonelFrm.data();
    Type(page->edFirst, QStringLiteral("Dana"));
    QString error;
    CatchErrorDialog(error);

    // Leaving the step: the failure is shown and the step stays, with the
    // change in its field and its button down.
    main->LoginForm->trigger();
    TApplication::ProcessMessages();
    EXPECT_TRUE(error.startsWith(QStringLiteral("My Page was not saved: "))) << error.toStdString();
    ASSERT_TRUE(page);
    EXPECT_EQ(PersonelFrm.data(), page.data());
    EXPECT_TRUE(page->isVisible());
    EXPECT_TRUE(!LoginFrm || LoginFrm->IsReleased());
    EXPECT_EQ(main->StepIndex(), siPersonal);
    EXPECT_TRUE(main->PersonalForm->isChecked());
    EXPECT_EQ(page->edFirst->Text(), QStringLiteral("Dana"));
    EXPECT_TRUE(page->Modified());
    EXPECT_FALSE(main->isHidden());

    // Once the file can be written, the next step change saves the change.
    main->PersonalInfo->SetFileName(file);
    main->LoginForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return LoginFrm && !PersonelFrm; }));
    EXPECT_EQ(main->StepIndex(), siLogin);
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("Dana"));
}

TEST_F(MainWindow, ClosingAsksAndKeepsTheSettings)
{
    TMainProfileFrm* main = Open();
    AppState().TourMap = true;
    m_responder.NextAnswer(mrNo);
    EXPECT_FALSE(main->Close());
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(m_responder.Shown().last().text, QStringLiteral("Close?"));
    EXPECT_EQ(m_responder.Shown().last().type, TMsgDlgType::mtConfirmation);
    m_responder.NextAnswer(mrYes);
    EXPECT_TRUE(main->Close());
    EXPECT_TRUE(WaitUntil([] { return !LoginFrm; }));
    EXPECT_TRUE(
        TIniFile(Directories::IniFileName()).ReadBool(QStringLiteral("REPORT"), QStringLiteral("tourmap"), false));
}

TEST_F(MainWindow, ThePropertyRoadFillsTheCompsSearch)
{
    TMainProfileFrm* main = Open();
    LogIn(QStringLiteral("demo"), QStringLiteral("demo"));
    ASSERT_TRUE(WaitUntil([] { return bool(CustomerFrm); }));
    AppState().County = AppState().Counties.Objects(0);
    main->SubProp->Values.apn = QStringLiteral("512-034-019");
    main->WMPropSearch();
    // One match answers prop.data: no list and no prop.get.
    ASSERT_TRUE(WaitUntil([] { return AppState().PropFound; }));
    int gets = 0;
    for (const QJsonObject& e : s_service->Log(QStringLiteral("service")))
        if (e.value(QStringLiteral("request_type")).toString() == QLatin1String("prop.get")) ++gets;
    EXPECT_EQ(gets, 0);
    EXPECT_GT(main->vxComps->Sqft, 0);
    EXPECT_EQ(main->vxComps->ParcelID(), 100231);
    EXPECT_TRUE(main->PropInfoForm->isEnabled());
    EXPECT_TRUE(main->CompsParamsForm->isEnabled());

    main->WMCompsSearch();
    ASSERT_TRUE(AppState().CompsFound);
    EXPECT_TRUE(main->CompsViewForm->isEnabled());
    TCompsRecords& records = main->vxComps->Records;
    ASSERT_GT(records.Count(), 2);
    for (int i = 0; i < records.Count(); ++i) records.SetUsed(i, i < 2);

    main->BuildMapRequest();
    const TXMLElement* request = main->vxRequestMap->RequestElement();
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(request->getTagName(), QStringLiteral("map.request"));
    const TXMLElement* hazard = request->getFirstChildElement();
    ASSERT_NE(hazard, nullptr);
    EXPECT_EQ(hazard->getAttribute(QStringLiteral("request")), QStringLiteral("Y")); // Sierra Vista has hazards
    const TXMLElement* street = hazard->getNextSiblingElement();
    EXPECT_EQ(street->getAttribute(QStringLiteral("tour")), QStringLiteral("N"));
    const TXMLElement* items = street->getNextSiblingElement();
    int count = 0;
    for (const TXMLElement* it = items->getFirstChildElement(); it; it = it->getNextSiblingElement()) ++count;
    EXPECT_EQ(count, 3); // the subject and the two comps in use
    const TXMLElement* subject = items->getFirstChildElement();
    const TXMLElement* stat = subject->getFirstChildElement();
    for (int i = 0; i < 4; ++i) stat = stat->getNextSiblingElement();
    EXPECT_EQ(stat->getTagName(), QStringLiteral("stat"));
    EXPECT_EQ(stat->getFirstTextNode()->getData(), QStringLiteral("T"));

    main->WMMapRequest();
    EXPECT_FALSE(AppState().NeedMap);
    EXPECT_NE(AppState().MapId, 0);
}

TEST_F(MainWindow, PropSearchKeepsTheCountyAndSearchesOnEnter)
{
    TIniFile(Directories::IniFileName()).WriteInteger(QStringLiteral("SEARCH"), QStringLiteral("County"), 212);
    TMainProfileFrm* main = Open();
    LogIn(QStringLiteral("demo"), QStringLiteral("demo"));
    ASSERT_TRUE(WaitUntil([] { return bool(CustomerFrm); }));
    main->SubProp->Values.city = QStringLiteral("KEPT");
    main->PropSearchForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return PropSearchFrm && PropSearchFrm->isVisible(); }));
    TPropSearchFrm* form = PropSearchFrm;
    // The stored county is chosen without clearing the search.
    ASSERT_TRUE(AppState().County);
    EXPECT_EQ(AppState().County->Id, 212);
    EXPECT_EQ(form->cbCounty->Text(), QStringLiteral("Lassen Ridge - NV"));
    EXPECT_EQ(form->sCity->Text(), QStringLiteral("KEPT"));
    EXPECT_EQ(main->windowTitle(), AppState().TitleCoName + QStringLiteral(" - Lassen Ridge - NV"));

    // Street numbers take digits and "-" only; parcels are upper case.
    Type(form->sStreetNum, QStringLiteral("12a-3"));
    EXPECT_EQ(form->sStreetNum->Text(), QStringLiteral("12-3"));
    Type(form->sParcel, QStringLiteral("512-034-019x"));
    EXPECT_EQ(form->sParcel->Text(), QStringLiteral("512-034-019X"));
    form->sParcel->SetText(QString());
    form->sStreetNum->SetText(QString());

    // A county chosen by the user clears the search and is remembered.
    form->sCity->SetText(QStringLiteral("GONE"));
    form->cbCounty->setCurrentIndex(0);
    form->cbCountyChange(form->cbCounty);
    EXPECT_EQ(AppState().County->Id, 59);
    EXPECT_TRUE(form->sCity->Text().isEmpty());
    EXPECT_EQ(TIniFile(Directories::IniFileName()).ReadInteger(QStringLiteral("SEARCH"), QStringLiteral("County"), 0),
              59);

    // Enter in an edit searches; one match opens the property directly.
    Type(form->sParcel, QStringLiteral("512-034-019"));
    Press(form->sParcel, Qt::Key_Return);
    ASSERT_TRUE(WaitUntil([] { return AppState().PropFound; }));
    EXPECT_TRUE(AppState().NeedMap);
    EXPECT_EQ(main->vxComps->ParcelID(), 100231);
}

TEST_F(MainWindow, TheLogoutTimerLogsOutOnlyALoggedInUser)
{
    TMainProfileFrm* main = Open();
    EXPECT_EQ(main->LogoutTimer->interval(), 10800000);
    main->LogoutTimerTimer(); // nobody logged in: nothing happens
    EXPECT_TRUE(LoginFrm);
    LogIn(QStringLiteral("demo"), QStringLiteral("demo"));
    ASSERT_TRUE(WaitUntil([] { return bool(CustomerFrm); }));
    const int requests = int(s_service->Log(QStringLiteral("service")).size());
    main->LogoutTimerTimer();
    EXPECT_FALSE(AppState().LoggedIn);
    EXPECT_TRUE(WaitUntil([] { return LoginFrm && !CustomerFrm; }));
    EXPECT_TRUE(main->LogoutTimer->isActive());
    // A local logout: nothing is sent.
    EXPECT_EQ(int(s_service->Log(QStringLiteral("service")).size()), requests);
}

TEST_F(MainWindow, ThePersonalPageAndItsFolderAreTheUsersAlone)
{
    // A data folder an older run left open to others.
    const QString data = Directories::DataDir();
    ASSERT_TRUE(QDir().mkpath(data));
    ASSERT_EQ(::chmod(QFile::encodeName(data).constData(), 0755), 0);
    const auto mode = [](const QString& path) {
        struct stat st;
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
    };
    TMainProfileFrm* main = Open();
    EXPECT_EQ(mode(AppState().DataDir), 0700u);
    main->PersonalInfo->Load();
    main->PersonalInfo->SetFirstName(QStringLiteral("Dana"));
    main->PersonalInfo->Save();
    EXPECT_EQ(mode(AppState().DataDir + QStringLiteral("myinfo.xml")), 0600u);
}
