// Drives the real program headless (offscreen platform) against a sample
// service it starts itself, through the steps of the road, answering every
// dialog through the dialog layer, and writes a picture of the window at
// each step into the output directory (NN-<step>.png), ending with the
// profile report saved as PDF from its preview (12-profile-report.pdf), and
// ends by pressing Exit, answering Yes and checking that the program ended
// (its message loop then returns at once).
//
//   walkthrough --out DIR [--scripts]
//
// With --scripts the customer, the agent's page and the service's answers
// (its "scripts" scenario) carry names of many scripts, and the saved PDF is
// checked against the preview: every page rendered from the PDF matches the
// preview's own rendering of the report file, and the text layer, read by
// pdftotext and by mutool, gives every name back in its logical order.
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
#include "platform/report/TPageRenderer.h"
#include "platform/report/TReportDump.h"
#include "platform/report/TReportFileReader.h"
#include "platform/core/IniFile.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fonts/ScriptFaces.h"
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
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

using namespace testsupport;

namespace {

struct StepFailed {
    QString text;
};

// What the road types in: plain names, or names of many scripts.
struct RoadTexts {
    QString CustName, CustAddr1, CustCity, First, Last, Company;
};

const RoadTexts kPlainTexts{QStringLiteral("Pat and Lee Buyer"),
                            QStringLiteral("88 Manzanita Ln"),
                            QStringLiteral("Sierra Vista, CA 95101"),
                            QStringLiteral("Dana"),
                            QStringLiteral("Whitfield"),
                            QStringLiteral("Whitfield Realty")};
const RoadTexts kScriptTexts{
    // Thaana: Abdulla Rasheed, with the Arabic ligature as Dhivehi writes
    // it, the name ending in a vowel sign
    QString::fromUtf8("\u07a2\u07a6\u0784\u07b0\u078b\u07aa\ufdf2 \u0783\u07a6\u079d\u07a9\u078b\u07aa"),
    QString::fromUtf8("\u0967\u0968 \u0917\u093e\u0902\u0927\u0940 \u092e\u093e\u0930\u094d\u0917"), // Devanagari
    QString::fromUtf8("\u05ea\u05dc \u05d0\u05d1\u05d9\u05d1"),                                      // Hebrew
    QStringLiteral("Dana"),
    QString::fromUtf8("Nguye\u0302\u0303n"),                         // stacked marks
    QString::fromUtf8("\u6771\u4eac \ubd80\ub3d9\uc0b0 \U0001F3E0"), // CJK, Korean, emoji
};

// The names of the scripts the service's "scripts" scenario sends that the
// report shows: the subject's owner and the comps' owners.
const char* const kServiceNames[] = {
    "\u0645\u062d\u0645\u062f \u0633\u0644\u0627\u0645",
    "Nguy\u1ec5n Th\u1ecb Ng\u1ecdc \u1ea2nh",
    "Jose\u0301 Mu\u0308ller",
    "\u0e2a\u0e21\u0e0a\u0e32\u0e22 \u0e43\u0e08\u0e14\u0e35",
    "\u0930\u093e\u091c\u0947\u0936 \u0936\u0930\u094d\u092e\u093e",
    "\u0b95\u0bbe\u0bb0\u0bcd\u0ba4\u0bcd\u0ba4\u0bbf\u0b95\u0bcd",
    "Sunny \U0001F3E0 Homes",
};

// Text as a reader compares it: the marks a reader may put around a
// right-to-left run dropped, accents composed.
QString Logical(const QString& text)
{
    static const QRegularExpression marks(QStringLiteral("[\u200E\u200F\u202A-\u202E\u2066-\u2069]"));
    return QString(text).remove(marks).normalized(QString::NormalizationForm_C);
}

// Darkness of a square cell of the image, 0..255.
double Ink(const QImage& image, int x0, int y0, int cell)
{
    double sum = 0;
    for (int y = y0; y < y0 + cell; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = x0; x < x0 + cell; ++x) sum += 255 - qGray(line[x]);
    }
    return sum / (cell * cell);
}

class Walk {
public:
    Walk(const QString& out, bool scripts) : m_out(out), m_scripts(scripts) { }

    void Run()
    {
        if (!m_service.Start()) throw StepFailed{QStringLiteral("the sample service: ") + m_service.Error()};
        if (m_scripts) m_service.Next(QStringLiteral("any"), QStringLiteral("scripts"), -1);
        const RoadTexts& t = m_scripts ? kScriptTexts : kPlainTexts;
        const QString fullName = t.First + QLatin1Char(' ') + t.Last;
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
        PersonelFrm->edFirst->SetText(t.First);
        PersonelFrm->edLast->SetText(t.Last);
        // Moving into "Full name" proposes the first and last name.
        main->activateWindow();
        PersonelFrm->edFull->setFocus(Qt::TabFocusReason);
        Expect(QStringLiteral("the proposed full name"),
               [&fullName] { return PersonelFrm->edFull->Text() == fullName; });
        PersonelFrm->edComp->SetText(t.Company);
        Picture(*main, 2, QStringLiteral("my-page"));

        main->CustomerForm->trigger();
        Expect(QStringLiteral("customer"), [] { return CustomerFrm && CustomerFrm->isVisible(); });
        CustomerFrm->edCustName->SetText(t.CustName);
        CustomerFrm->edCustAddr1->SetText(t.CustAddr1);
        CustomerFrm->edCustCity->SetText(t.CustCity);
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
        const QString rpt = QDir(m_out).filePath(QStringLiteral("12-profile-report.rpt"));
        QFile::remove(pdf);
        QFile::remove(rpt);
        bool previewed = false;
        responder.NextModal([this, &previewed, &responder, &pdf, &rpt](QDialog& preview) {
            // The report file the preview shows, kept to compare the PDF with.
            QFile::copy(AppState().TempDir + QStringLiteral("profile.rpt"), rpt);
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
        if (!Logical(QString::fromUtf8(text.readAllStandardOutput()))
                 .contains(Logical(fullName + QStringLiteral(" - ") + t.Company)))
            throw StepFailed{QStringLiteral("the agent's name in the report's footer")};
        std::printf("%s\n", pdf.toLocal8Bit().constData());
        if (m_scripts) {
            QStringList names{t.CustName, t.CustAddr1, t.CustCity, fullName, t.Company};
            for (const char* name : kServiceNames) names << QString::fromUtf8(name);
            CheckPdfAgainstPreview(pdf, rpt, names);
        }

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
    // Every page of the PDF against the preview's rendering of the report
    // file, in cells of 4 x 4 pixels at 100 dpi (antialiasing may differ,
    // the glyphs and their places may not); every name in the report and in
    // the text layer as pdftotext and mutool read it, in logical order. All
    // that fails is told at once.
    void CheckPdfAgainstPreview(const QString& pdf, const QString& rpt, const QStringList& names)
    {
        QStringList failed;
        TReportFileReader reader;
        reader.LoadFromFile(rpt);
        const int dpi = 100, cell = 4;
        QTemporaryDir pages;
        for (int i = 0; i < reader.PageCount(); ++i) {
            const QSizeF inches = reader.PageSize(i);
            QImage preview(qRound(inches.width() * dpi), qRound(inches.height() * dpi), QImage::Format_RGB32);
            preview.fill(Qt::white);
            {
                QPainter painter(&preview);
                TPageRenderer renderer(painter, dpi);
                reader.PlayPage(i, renderer);
            }
            const QString stem = pages.filePath(QStringLiteral("page"));
            const QString number = QString::number(i + 1);
            QProcess raster;
            raster.start(QStringLiteral("pdftoppm"),
                         {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), number,
                          QStringLiteral("-l"), number, QStringLiteral("-singlefile"), pdf, stem});
            const QImage ours = raster.waitForFinished(120000) && raster.exitCode() == 0
                ? QImage(stem + QStringLiteral(".ppm")).convertToFormat(QImage::Format_RGB32)
                : QImage();
            if (ours.size() != preview.size()) {
                failed << QStringLiteral("page %1 of the PDF could not be rendered as the preview's").arg(number);
                continue;
            }
            int inked = 0, differing = 0;
            for (int y = 0; y + cell <= ours.height(); y += cell)
                for (int x = 0; x + cell <= ours.width(); x += cell) {
                    const double a = Ink(ours, x, y, cell), b = Ink(preview, x, y, cell);
                    if (a < 8 && b < 8) continue;
                    ++inked;
                    // Lines, glyph edges and scaled pictures a pixel or two
                    // apart are alike: the cell matches when it does at
                    // most two pixels off.
                    double closest = std::fabs(a - b);
                    for (int dy = -2; dy <= 2 && closest > 48; ++dy)
                        for (int dx = -2; dx <= 2 && closest > 48; ++dx)
                            if (x + dx >= 0 && y + dy >= 0 && x + dx + cell <= ours.width() &&
                                y + dy + cell <= ours.height())
                                closest = std::min(closest, std::fabs(Ink(ours, x + dx, y + dy, cell) - b));
                    differing += closest > 48;
                }
            if (differing >= inked / 50 + 1)
                failed << QStringLiteral("page %1 differs from the preview in %2 of %3 inked cells")
                              .arg(number)
                              .arg(differing)
                              .arg(inked);
        }
        QString report;
        for (int i = 0; i < reader.PageCount(); ++i)
            for (const QString& line : TReportDump::PageLines(reader, i)) report += line + QLatin1Char('\n');
        QProcess poppler, mupdf;
        poppler.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        mupdf.start(QStringLiteral("mutool"),
                    {QStringLiteral("draw"), QStringLiteral("-F"), QStringLiteral("txt"), QStringLiteral("-o"),
                     QStringLiteral("-"), pdf});
        const bool read = poppler.waitForFinished(120000) && poppler.exitCode() == 0 && mupdf.waitForFinished(120000) &&
            mupdf.exitCode() == 0;
        if (!read) failed << QStringLiteral("pdftotext or mutool could not read the PDF");
        const QString popplerText = Logical(QString::fromUtf8(poppler.readAllStandardOutput()));
        const QString mupdfText = Logical(QString::fromUtf8(mupdf.readAllStandardOutput()));
        for (const QString& name : names) {
            const QString quoted = QLatin1Char('"') + name + QLatin1Char('"');
            if (!report.contains(name)) {
                failed << QStringLiteral("the report does not show ") + quoted;
                continue;
            }
            if (read && !popplerText.contains(Logical(name)))
                failed << QStringLiteral("pdftotext does not give back ") + quoted;
            if (read && !mupdfText.contains(Logical(name)))
                failed << QStringLiteral("mutool does not give back ") + quoted;
        }
        if (!failed.isEmpty()) throw StepFailed{failed.join(QStringLiteral("; "))};
    }

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
    bool m_scripts = false;
    SampleService m_service;
    QTemporaryDir m_home;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    InstallWidgetStyle();
    ScriptFaces::Install();
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--out"));
    if (at < 0 || at + 1 >= args.size()) {
        std::fprintf(stderr, "usage: walkthrough --out DIR [--scripts]\n");
        return 2;
    }
    const QString out = args[at + 1];
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "cannot make %s\n", out.toLocal8Bit().constData());
        return 2;
    }
    try {
        Walk(out, args.contains(QStringLiteral("--scripts"))).Run();
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
