#pragma once
// The fixture of the end-to-end tests: the real main window in a directory of
// its own (data, temporary files, ini) against the sample service, with the
// dialogs answered by the test.

#include "app/MainProfileFrm.h"
#include "state/TAppState.h"
#include "app/steps/TCustomerFrm.h"
#include "app/steps/TLoginFrm.h"
#include "app/steps/TPersonelFrm.h"
#include "platform/core/Directories.h"
#include "platform/core/IniFile.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/widgets/CustomEdit.h"
#include "platform/widgets/SpeedButton.h"
#include "protocol/TSubjectProperty.h"
#include "tests/support/GuiTest.h"
#include "tests/support/SampleService.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <memory>

namespace testsupport {

// The program in a directory of its own against the sample service.
class MainWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_service = new SampleService;
        ASSERT_TRUE(s_service->Start()) << s_service->Error().toStdString();
    }
    static void TearDownTestSuite()
    {
        delete s_service;
        s_service = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QDir(m_dir.path()).mkpath(QStringLiteral("temp"));
        m_oldTmp = qgetenv("TMP");
        qputenv("TMP", m_dir.filePath(QStringLiteral("temp")).toLocal8Bit());
        m_override = std::make_unique<ScopedDirectoryOverride>(DirectoryOverride{
            m_dir.filePath(QStringLiteral("tamsel")), true, m_dir.filePath(QStringLiteral("config")), {}, {}});
        TIniFile(Directories::IniFileName())
            .WriteString(QStringLiteral("HOSTS"), QStringLiteral("pmserver"), s_service->Host());
        s_service->Reset();
        FreeAppState();
    }

    void TearDown() override
    {
        if (m_main) {
            m_responder.NextAnswer(mrYes);
            m_main->Close();
            delete m_main.data();
        }
        WaitUntil([] { return TForm::Forms().isEmpty(); }, 2000);
        FreeAppState();
        m_override.reset();
        qputenv("TMP", m_oldTmp);
    }

    TMainProfileFrm* Open()
    {
        m_main = new TMainProfileFrm;
        m_main->show();
        return m_main;
    }

    // Types the login and presses the Login button.
    void LogIn(const QString& user, const QString& password);

    // Logged in as the demo user with the subject property's county chosen.
    TMainProfileFrm* OpenLoggedIn()
    {
        TMainProfileFrm* main = Open();
        LogIn(QStringLiteral("demo"), QStringLiteral("demo"));
        EXPECT_TRUE(WaitUntil([] { return bool(CustomerFrm); })) << m_responder.LastText().toStdString();
        AppState().County = AppState().Counties.Objects(0);
        return main;
    }

    // The demo subject found (one match: no list), Prop Info shown.
    TMainProfileFrm* OpenWithProperty()
    {
        TMainProfileFrm* main = OpenLoggedIn();
        main->SubProp->Values.apn = QStringLiteral("512-034-019");
        main->WMPropSearch();
        EXPECT_TRUE(WaitUntil([] { return AppState().PropFound; }));
        return main;
    }

    // The modal error dialog's message, answered with OK.
    void CatchErrorDialog(QString& text)
    {
        m_responder.NextModal([&text](QDialog& d) {
            if (auto* memo = d.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))) text = memo->toPlainText();
            return int(mrOk);
        });
    }

    static SampleService* s_service;
    QTemporaryDir m_dir;
    QByteArray m_oldTmp;
    std::unique_ptr<ScopedDirectoryOverride> m_override;
    ScopedDialogResponder m_responder;
    QPointer<TMainProfileFrm> m_main;
};

inline SampleService* MainWindow::s_service = nullptr;

// The requests of one type the service got.
inline int RequestCount(SampleService& service, const QString& type)
{
    int n = 0;
    for (const QJsonObject& e : service.Log(QStringLiteral("service")))
        if (e.value(QStringLiteral("request_type")).toString() == type) ++n;
    return n;
}

} // namespace testsupport
