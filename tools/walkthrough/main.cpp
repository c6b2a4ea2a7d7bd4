// Drives the real program headless (offscreen platform) against a sample
// service it starts itself, through the steps of the road, answering every
// dialog through the dialog layer, and writes a picture of the window at
// each step into the output directory (NN-<step>.png), ending with the
// profile report saved as PDF from its preview (12-profile-report.pdf), and
// ends by pressing Exit, answering Yes and checking that the program ended
// (its message loop then returns at once).
//
//   walkthrough --out DIR
//
// Exit status 0 when every step was reached, 1 with the failing step named
// on standard error, 2 for a usage error.

#include "app/MainProfileFrm.h"
#include "state/TAppState.h"
#include "app/steps/TCustomerFrm.h"
#include "app/steps/TLoginFrm.h"
#include "app/steps/TPersonelFrm.h"
#include "app/steps/TCompsParamsFrm.h"
#include "app/steps/TCompsViewFrm.h"
#include "app/steps/TPropInfoFrm.h"
#include "app/steps/TPropListFrm.h"
#include "app/steps/TPropSearchFrm.h"
#include "app/steps/TReportFrm.h"
#include "controls/ExtSpinEdit.h"
#include "grid/TExtStringGrid.h"
#include "platform/widgets/CustomComboBox.h"
#include "platform/core/Directories.h"
#include "platform/core/IniFile.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/kernel/Application.h"
#include "platform/widgets/CustomEdit.h"
#include "platform/widgets/SpeedButton.h"
#include "platform/widgets/WidgetStyle.h"
#include "tests/support/GuiTest.h"
#include "tests/support/SampleService.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QDialog>
#include <QPushButton>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

using namespace testsupport;

namespace {

struct StepFailed {
    QString text;
};

class Walk {
public:
    explicit Walk(const QString& out) : m_out(out) { }

    void Run()
    {
        if (!m_service.Start()) throw StepFailed{QStringLiteral("the sample service: ") + m_service.Error()};
        QDir(m_home.path()).mkpath(QStringLiteral("temp"));
        qputenv("TMP", m_home.filePath(QStringLiteral("temp")).toLocal8Bit());
        ScopedDirectoryOverride over(DirectoryOverride{
            m_home.filePath(QStringLiteral("tamsel")), true, m_home.filePath(QStringLiteral("config")), {}, {}});
        TIniFile(Directories::IniFileName())
            .WriteString(QStringLiteral("HOSTS"), QStringLiteral("pmserver"), m_service.Host());
        ScopedDialogResponder responder;

        auto main = std::make_unique<TMainProfileFrm>();
        main->show();
        Expect(QStringLiteral("login"), [] { return LoginFrm && LoginFrm->isVisible(); });
        LoginFrm->edUser->SetText(QStringLiteral("demo"));
        LoginFrm->edPass->SetText(QStringLiteral("demo"));
        Picture(*main, 1, QStringLiteral("login"));
        Click(LoginFrm->findChild<QWidget*>(QStringLiteral("btnLogin")));
        Expect(QStringLiteral("customer"), [] { return CustomerFrm && CustomerFrm->isVisible(); });

        main->PersonalForm->trigger();
        Expect(QStringLiteral("my page"), [] { return PersonelFrm && PersonelFrm->isVisible(); });
        PersonelFrm->edFirst->SetText(QStringLiteral("Dana"));
        PersonelFrm->edLast->SetText(QStringLiteral("Whitfield"));
        // Moving into "Full name" proposes the first and last name.
        main->activateWindow();
        PersonelFrm->edFull->setFocus(Qt::TabFocusReason);
        Expect(QStringLiteral("the proposed full name"),
               [] { return PersonelFrm->edFull->Text() == QLatin1String("Dana Whitfield"); });
        PersonelFrm->edComp->SetText(QStringLiteral("Whitfield Realty"));
        Picture(*main, 2, QStringLiteral("my-page"));

        main->CustomerForm->trigger();
        Expect(QStringLiteral("customer"), [] { return CustomerFrm && CustomerFrm->isVisible(); });
        CustomerFrm->edCustName->SetText(QStringLiteral("Pat and Lee Buyer"));
        CustomerFrm->edCustAddr1->SetText(QStringLiteral("88 Manzanita Ln"));
        CustomerFrm->edCustCity->SetText(QStringLiteral("Sierra Vista, CA 95101"));
        Picture(*main, 3, QStringLiteral("customer"));

        main->PropSearchForm->trigger();
        Expect(QStringLiteral("prop search"), [] { return PropSearchFrm && PropSearchFrm->isVisible(); });
        PropSearchFrm->sParcel->SetText(QStringLiteral("512-034"));
        Picture(*main, 4, QStringLiteral("prop-search"));
        // Several matches: the list, where the demo subject is chosen.
        bool listed = false;
        responder.NextModal([this, &listed](QDialog& d) {
            auto& list = static_cast<TPropListFrm&>(d);
            for (int r = 1; r < list.Grid->RowCount(); ++r)
                if (list.Grid->GetCellText(4, r) == QLatin1String("100231")) list.Grid->SetRow(r);
            list.show();
            Picture(list, 5, QStringLiteral("property-list"));
            Click(list.btnOk);
            listed = true;
            return list.result();
        });
        Click(PropSearchFrm->btnSearch);
        Expect(QStringLiteral("the property list"), [&listed] { return listed; });
        Expect(QStringLiteral("the subject property"), [] { return AppState().PropFound; });
        Expect(QStringLiteral("prop info"), [] { return PropInfoFrm && PropInfoFrm->isVisible(); });
        Picture(*main, 6, QStringLiteral("prop-info"));

        main->CompsParamsForm->trigger();
        Expect(QStringLiteral("search params"), [] { return CompsParamsFrm && CompsParamsFrm->isVisible(); });
        CompsParamsFrm->cbBedType->SetItemIndex(0);
        CompsParamsFrm->edBedLow->SetValue(1);
        CompsParamsFrm->edBedHigh->SetValue(1);
        CompsParamsFrm->RangeTypeChange(TCompsParamsFrm::rgBeds);
        CompsParamsFrm->cbSqFtType->SetItemIndex(2);
        CompsParamsFrm->edSqftLow->SetValue(20);
        CompsParamsFrm->edSqftHigh->SetValue(20);
        CompsParamsFrm->RangeTypeChange(TCompsParamsFrm::rgSqft);
        Picture(*main, 7, QStringLiteral("search-ranges"));
        CompsParamsFrm->SetTabIndex(1);
        Picture(*main, 8, QStringLiteral("search-type"));
        CompsParamsFrm->BitBtn1Click();
        Expect(QStringLiteral("view comps"), [] { return CompsViewFrm && CompsViewFrm->isVisible(); });
        Picture(*main, 9, QStringLiteral("view-comps"));

        main->ReportForm->trigger();
        Expect(QStringLiteral("report"), [] { return ReportFrm && ReportFrm->isVisible(); });
        Expect(QStringLiteral("the street map"), [] { return !AppState().NeedMap && AppState().MapId > 0; });
        Picture(*main, 10, QStringLiteral("report"));

        // Do Report: the profile report of every page in its preview, saved
        // from there as PDF.
        ReportFrm->SelectPages(1);
        const QString pdf = QDir(m_out).filePath(QStringLiteral("12-profile-report.pdf"));
        QFile::remove(pdf);
        bool previewed = false;
        responder.NextModal([this, &previewed, &responder, &pdf](QDialog& preview) {
            preview.show();
            Picture(preview, 11, QStringLiteral("report-preview"));
            if (QAction* saveAs = preview.findChild<QAction*>(QStringLiteral("FileSaveAs"))) {
                responder.NextFileName(pdf);
                saveAs->trigger();
            }
            previewed = true;
            return int(mrCancel);
        });
        Click(ReportFrm->BitBtn2);
        Expect(QStringLiteral("the report preview"), [&previewed] { return previewed; });
        Expect(QStringLiteral("the report"), [&main] { return !main->ReportBusy(); });
        QFile saved(pdf);
        if (!saved.open(QIODevice::ReadOnly) || !saved.read(5).startsWith("%PDF-"))
            throw StepFailed{QStringLiteral("the report was not saved as ") + pdf};
        // The agent's name and company in the page furniture, as entered.
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
        if (!text.waitForFinished(60000) || text.exitCode() != 0)
            throw StepFailed{QStringLiteral("pdftotext could not read ") + pdf};
        if (!QString::fromUtf8(text.readAllStandardOutput())
                 .contains(QStringLiteral("Dana Whitfield - Whitfield Realty")))
            throw StepFailed{QStringLiteral("the agent's name in the report's footer")};
        std::printf("%s\n", pdf.toLocal8Bit().constData());

        // Exit and Yes: the window closes and the program ends.
        responder.NextAnswer(mrYes);
        Click(main->findChild<QWidget*>(QStringLiteral("ToolButtonExit")));
        if (responder.LastText() != QLatin1String("Close?"))
            throw StepFailed{QStringLiteral("Exit did not ask \"Close?\"")};
        if (main->isVisible() || !TApplication::Instance()->Terminated())
            throw StepFailed{QStringLiteral("the program did not end after Exit and Yes")};
        // The property list and the report preview are the modal dialogs of
        // the road; any other is the error dialog.
        if (responder.Count(DialogRequest::Kind::Modal) != 2)
            throw StepFailed{QStringLiteral("an error was shown: ") + responder.LastText()};
    }

private:
    void Expect(const QString& what, const std::function<bool()>& reached)
    {
        if (!WaitUntil(reached, 20000)) throw StepFailed{what + QStringLiteral(" was not reached")};
    }

    void Picture(QWidget& window, int number, const QString& name)
    {
        TApplication::ProcessMessages();
        const QString file =
            QDir(m_out).filePath(QStringLiteral("%1-%2.png").arg(number, 2, 10, QLatin1Char('0')).arg(name));
        if (!window.grab().save(file)) throw StepFailed{QStringLiteral("cannot write ") + file};
        std::printf("%s\n", file.toLocal8Bit().constData());
    }

    QString m_out;
    SampleService m_service;
    QTemporaryDir m_home;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    InstallWidgetStyle();
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--out"));
    if (at < 0 || at + 1 >= args.size()) {
        std::fprintf(stderr, "usage: walkthrough --out DIR\n");
        return 2;
    }
    const QString out = args[at + 1];
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "cannot make %s\n", out.toLocal8Bit().constData());
        return 2;
    }
    try {
        Walk(out).Run();
    } catch (const StepFailed& e) {
        std::fprintf(stderr, "walkthrough: %s\n", e.text.toLocal8Bit().constData());
        FreeAppState();
        return 1;
    } catch (const Exception& e) {
        std::fprintf(stderr, "walkthrough: %s\n", e.Message().toLocal8Bit().constData());
        FreeAppState();
        return 1;
    }
    FreeAppState();
    return app.Run();
}
