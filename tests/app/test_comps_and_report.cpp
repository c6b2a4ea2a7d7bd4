#include "forms/StepMessages.h"
#include "app/steps/TCompsParamsFrm.h"
#include "app/steps/TCompsViewFrm.h"
#include "app/steps/TReportFrm.h"
#include "grid/column/TExtColumnGrid.h"
#include "platform/kernel/Application.h"
#include "platform/kernel/VirtualKeys.h"
#include "platform/core/AtomicFile.h"
#include "platform/report/TReportFileReader.h"
#include "platform/report/TReportFileWriter.h"
#include "platform/widgets/CustomComboBox.h"
#include "platform/widgets/Label.h"
#include "platform/widgets/Animate.h"
#include "platform/widgets/StatusBar.h"
#include "protocol/TvxAssessorMap.h"
#include "protocol/TvxComps.h"
#include "protocol/TvxRptGen.h"
#include "report/TrptProfile.h"
#include "tests/app/MainWindowTest.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QLineEdit>
#include <QMap>
#include <QTest>

using namespace testsupport;

namespace {

// The comps of the demo subject found through the Search Params step.
TCompsViewFrm* SearchComps(TMainProfileFrm* main)
{
    main->CompsParamsForm->trigger();
    EXPECT_TRUE(WaitUntil([] { return bool(CompsParamsFrm); }));
    CompsParamsFrm->BitBtn1Click();
    EXPECT_TRUE(WaitUntil([] { return CompsViewFrm && CompsViewFrm->isVisible(); }));
    return CompsViewFrm;
}

QString StatusCounts(TCompsRecords& records)
{
    int counts[4] = {};
    const char* names[4] = {"Active", "Pending", "Sold", "Expired"};
    for (int i = 0; i < records.Count(); ++i) {
        if (!records.IsUsed(i)) continue;
        records.SetIndex(i);
        const QString s = records.Field(QStringLiteral("status_text"));
        if (s == QLatin1String("Sold"))
            ++counts[2];
        else if (s == QLatin1String("Active"))
            ++counts[0];
        else if (s == QLatin1String("Pending"))
            ++counts[1];
        else if (s == QLatin1String("Expired"))
            ++counts[3];
    }
    QString text;
    for (int i = 0; i < 4; ++i)
        if (counts[i] > 0)
            text += (text.isEmpty() ? QString() : QStringLiteral("  ")) + QString::fromLatin1(names[i]) +
                QStringLiteral(" = ") + QString::number(counts[i]);
    return text;
}

TReportFrm* ShowReport(TMainProfileFrm* main)
{
    main->ReportForm->trigger();
    EXPECT_TRUE(WaitUntil([] { return ReportFrm && ReportFrm->isVisible(); }));
    return ReportFrm;
}

QStringList RowNames(TReportFrm* f)
{
    QStringList names;
    for (int r = 1; r < f->ReportGrid->RowCount(); ++r) names << f->ReportGrid->GetCellText(2, r);
    return names;
}

// Notes the report file the preview shows and its page count.
void WatchPreview(ScopedDialogResponder& responder, TMainProfileFrm* main, QString& file, int& pages)
{
    responder.NextModal([main, &file, &pages](QDialog&) {
        file = main->rptProfile->PreviewFile();
        TReportFileReader reader;
        reader.LoadFromFile(file);
        pages = reader.PageCount();
        return int(mrCancel);
    });
}

// The texts of the message boxes shown, in order.
QStringList MessagesShown(const DialogResponder& responder)
{
    QStringList texts;
    for (const DialogRequest& d : responder.Shown())
        if (d.kind == DialogRequest::Kind::Message) texts << d.text;
    return texts;
}

} // namespace

TEST_F(MainWindow, ViewCompsListsAndMarksTheComps)
{
    TMainProfileFrm* main = OpenWithProperty();
    TCompsViewFrm* f = SearchComps(main);
    ASSERT_TRUE(f);
    TCompsRecords& records = main->vxComps->Records;
    ASSERT_EQ(records.Count(), 36);
    EXPECT_EQ(main->StepIndex(), siCompsView);
    EXPECT_FALSE(CompsParamsFrm);
    EXPECT_EQ(f->grComps->RowCount(), 37);
    EXPECT_EQ(f->grComps->GetCellText(1, 1), QStringLiteral("Y"));
    EXPECT_EQ(f->grComps->GetCellText(1, 6), QStringLiteral("N")); // the sixth comp comes unmarked
    EXPECT_TRUE(f->grComps->IsHiddenColumn(4));
    EXPECT_EQ(f->grComps->GetCellText(4, 36), QStringLiteral("35"));
    EXPECT_EQ(f->lbCount->Caption(), StatusCounts(records));
    records.SetIndex(0);
    EXPECT_EQ(f->DetailText(QStringLiteral("APN:")), records.Field(QStringLiteral("apn")));
    EXPECT_TRUE(f->DetailText(QStringLiteral("Distance:")).endsWith(QLatin1String("  Miles from subject property")));
    EXPECT_FALSE(f->Modified());

    // Space in the "Use" column itself does nothing; beyond it, it flips.
    f->grComps->SetRow(1);
    f->grComps->SetCol(1);
    int key = Win::VK_SPACE;
    f->grCompsKeyDown(key);
    EXPECT_EQ(f->grComps->GetCellText(1, 1), QStringLiteral("Y"));
    f->grComps->SetCol(2);
    key = Win::VK_SPACE;
    f->grCompsKeyDown(key);
    EXPECT_EQ(f->grComps->GetCellText(1, 1), QStringLiteral("N"));
    EXPECT_FALSE(records.IsUsed(0));
    EXPECT_TRUE(f->Modified());
    EXPECT_EQ(f->lbCount->Caption(), StatusCounts(records));
    // The pop-up menu's Select and Unselect.
    f->grComps->SetRow(6);
    f->SelectRow(true);
    EXPECT_EQ(f->grComps->GetCellText(1, 6), QStringLiteral("Y"));
    f->grComps->SetRow(2);
    f->SelectRow(false);

    // Leaving writes every mark back and makes the next map request due.
    AppState().NeedMap = false;
    main->CompsParamsForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return !CompsViewFrm; }));
    EXPECT_FALSE(records.IsUsed(0));
    EXPECT_FALSE(records.IsUsed(1));
    EXPECT_TRUE(records.IsUsed(5));
    EXPECT_TRUE(AppState().NeedMap);

    // Leaving without a change keeps NeedMap as it was.
    AppState().NeedMap = false;
    main->CompsViewForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return bool(CompsViewFrm); }));
    main->CompsParamsForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return !CompsViewFrm; }));
    EXPECT_FALSE(AppState().NeedMap);
}

TEST_F(MainWindow, StatusCountsTakeSoldFirst)
{
    TMainProfileFrm* main = OpenWithProperty();
    TCompsViewFrm* f = SearchComps(main);
    for (int r = 1; r < f->grComps->RowCount(); ++r) f->grComps->SetCellText(1, r, QStringLiteral("N"));
    f->grComps->SetCellText(1, 1, QStringLiteral("Y"));
    f->grComps->SetCellText(3, 1, QStringLiteral("Sold Active"));
    f->grComps->SetCellText(1, 2, QStringLiteral("Y"));
    f->grComps->SetCellText(3, 2, QStringLiteral("Active"));
    f->ShowCounts();
    EXPECT_EQ(f->lbCount->Caption(), QStringLiteral("Active = 1  Sold = 1"));
    for (int r = 1; r < f->grComps->RowCount(); ++r) f->grComps->SetCellText(1, r, QStringLiteral("N"));
    f->ShowCounts();
    EXPECT_TRUE(f->lbCount->Caption().isEmpty());
}

TEST_F(MainWindow, CompInfoPreviewsOnlyTheReportItWrote)
{
    TMainProfileFrm* main = OpenWithProperty();
    TCompsViewFrm* f = SearchComps(main);
    const QString path = AppState().TempDir + QStringLiteral("compinfo.rpt");
    auto writeEarlier = [&path] {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write("an earlier comp") > 0;
    };
    ASSERT_TRUE(writeEarlier());
    QString file;
    int pages = 0;
    WatchPreview(m_responder, main, file, pages);
    f->grComps->SetRow(3);
    f->CompInfo();
    EXPECT_EQ(file, path);
    EXPECT_EQ(pages, 1); // a report, not the earlier text
    // A row without a usable record fetches nothing and shows nothing.
    ASSERT_TRUE(writeEarlier());
    f->grComps->SetCellText(4, 2, QStringLiteral("x"));
    f->grComps->SetRow(2);
    f->CompInfo();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(m_responder.Count(DialogRequest::Kind::Modal), 1);
    EXPECT_EQ(RequestCount(*s_service, QStringLiteral("prop.get")), 1);
}

TEST_F(MainWindow, StepFiveIsLeftBehindOnceTheCompsAreShown)
{
    TMainProfileFrm* main = OpenWithProperty();
    SearchComps(main);
    main->activateWindow();
    // Enter on View Comps starts no comps search of a gone parameters form.
    Press(CompsViewFrm->grComps, Qt::Key_Return);
    TApplication::ProcessMessages();
    EXPECT_EQ(RequestCount(*s_service, QStringLiteral("prop.getcomps")), 1);
    main->NextForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return bool(ReportFrm); }));
    EXPECT_EQ(main->StepIndex(), siReport);
    main->PriorForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return bool(CompsViewFrm); }));
    main->PriorForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return bool(CompsParamsFrm); }));
    EXPECT_EQ(main->StepIndex(), siCompsParams);
}

TEST_F(MainWindow, TheReportStepOrdersAndChoosesThePages)
{
    TMainProfileFrm* main = OpenWithProperty();
    AppState().NeedMap = true;
    TReportFrm* f = ShowReport(main);
    const TReportPageList& pages = AppState().ReportPages;
    ASSERT_EQ(f->ReportGrid->RowCount(), pages.Count() + 1);
    EXPECT_EQ(f->lbCounty->Caption(), QStringLiteral("Sierra Vista - CA"));
    EXPECT_EQ(f->lbPhotos->Caption(), QStringLiteral("House photos are available"));
    // Shown with a map due: one map request.
    ASSERT_TRUE(WaitUntil([] { return !AppState().NeedMap; }));
    EXPECT_GT(AppState().MapId, 0);
    EXPECT_EQ(RequestCount(*s_service, QStringLiteral("map.request")), 1);
    EXPECT_EQ(f->ReportGrid->GetCellText(4, 1), QStringLiteral("000"));

    // A page moved down stays there through Select none.
    const QStringList before = RowNames(f);
    f->ReportGrid->SetRow(1);
    f->MovePage(1);
    EXPECT_EQ(f->ReportGrid->Row(), 2);
    f->SelectPages(0);
    QStringList moved = before;
    moved.swapItemsAt(0, 1);
    EXPECT_EQ(RowNames(f), moved);
    for (int i = 0; i < pages.Count(); ++i) EXPECT_FALSE(pages.Items(i).Selected);
    f->SelectPages(-1);
    EXPECT_EQ(RowNames(f), moved);
    for (int i = 0; i < pages.Count(); ++i) EXPECT_TRUE(pages.Items(i).Selected);
    f->ReportGrid->SetRow(3);
    f->ReportGrid->SetCol(2);
    int key = Win::VK_SPACE;
    f->ReportGridKeyDown(key);
    EXPECT_EQ(f->ReportGrid->GetCellText(1, 3), QStringLiteral("N"));

    // Leaving stores the order (rows from 1) and the marks.
    main->CompsParamsForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return !ReportFrm; }));
    for (int i = 0; i < pages.Count(); ++i) {
        const TReportPageRec& page = pages.Items(i);
        EXPECT_EQ(page.Order, moved.indexOf(page.Name) + 1) << page.Name.toStdString();
        EXPECT_EQ(page.Selected, page.Order != 3) << page.Name.toStdString();
    }
    f = ShowReport(main);
    EXPECT_EQ(RowNames(f), moved);
}

TEST_F(MainWindow, ReportPageSetsAreKeptInTheDataDirectory)
{
    TMainProfileFrm* main = OpenWithProperty();
    TReportFrm* f = ShowReport(main);
    const QString file = AppState().DataDir + QStringLiteral("rs.xml");
    EXPECT_EQ(f->cbReport->count(), 0);
    f->SelectPages(0);
    f->ReportGrid->SetCellText(1, 2, QStringLiteral("Y"));
    f->ReportGrid->SetCellText(1, 5, QStringLiteral("Y"));
    m_responder.NextModal([](QDialog& d) {
        d.findChild<QLineEdit*>(QStringLiteral("edParamsName"))->setText(QStringLiteral("Sales & Listings"));
        return int(mrOk);
    });
    f->SaveSettings();
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_EQ(f->cbReport->Text(), QStringLiteral("Sales & Listings"));
    m_responder.NextModal([](QDialog& d) {
        d.findChild<QLineEdit*>(QStringLiteral("edParamsName"))->setText(QStringLiteral("Everything"));
        return int(mrOk);
    });
    f->SelectPages(1);
    f->SaveSettings();
    EXPECT_EQ(f->cbReport->count(), 2);

    // A set applied in a new step: the pages it does not mark are off.
    main->CompsParamsForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return !ReportFrm; }));
    f = ShowReport(main);
    ASSERT_EQ(f->cbReport->count(), 2);
    EXPECT_EQ(f->cbReport->itemText(0), QStringLiteral("Sales & Listings"));
    f->ApplySet(QStringLiteral("Sales & Listings"));
    const TReportPageList& pages = AppState().ReportPages;
    int selected = 0;
    for (int i = 0; i < pages.Count(); ++i) selected += pages.Items(i).Selected ? 1 : 0;
    EXPECT_EQ(selected, 2);
    EXPECT_EQ(f->ReportGrid->GetCellText(1, 2), QStringLiteral("Y"));
    EXPECT_EQ(f->ReportGrid->GetCellText(1, 3), QStringLiteral("N"));

    // Saving under the chosen name replaces the set at the end, nothing chosen.
    f->cbReport->SetItemIndex(0);
    m_responder.NextModal([](QDialog&) { return int(mrOk); });
    f->SaveSettings();
    EXPECT_EQ(f->cbReport->count(), 2);
    EXPECT_EQ(f->cbReport->itemText(1), QStringLiteral("Sales & Listings"));
    EXPECT_EQ(f->cbReport->ItemIndex(), -1);

    // Deleting asks, removes it from the file and the list.
    f->cbReport->SetItemIndex(1);
    m_responder.NextAnswer(mrYes);
    f->DeleteSettings();
    EXPECT_EQ(m_responder.Shown().last().text,
              QStringLiteral("Remove the report named \"Sales & Listings\" from the report list?"));
    EXPECT_EQ(f->cbReport->count(), 1);
    QFile read(file);
    ASSERT_TRUE(read.open(QIODevice::ReadOnly));
    EXPECT_FALSE(read.readAll().contains("Sales"));
}

TEST_F(MainWindow, DoReportAsksForWhatTheChosenPagesNeed)
{
    TMainProfileFrm* main = OpenWithProperty();
    AppState().NeedMap = false;
    AppState().MapId = 0;
    TReportFrm* f = ShowReport(main);
    TvxRptGen* rpt = main->vxRptGen;
    f->SelectPages(1);
    f->BitBtn2Click();
    EXPECT_TRUE(main->ReportBusy());
    EXPECT_TRUE(rpt->IncludeSchool);
    EXPECT_TRUE(rpt->IncludeCensus);
    EXPECT_TRUE(rpt->IncludeServices);
    EXPECT_DOUBLE_EQ(rpt->ServicesArea, 9.0);
    EXPECT_EQ(rpt->ServicesCity, QStringLiteral("ALDER CREEK"));
    EXPECT_TRUE(rpt->IncludeAssessorMap);
    EXPECT_FALSE(rpt->StreetMap); // no map answer yet
    EXPECT_FALSE(rpt->HazardMap);
    EXPECT_FALSE(rpt->IncludePhotos); // no comps
    EXPECT_EQ(rpt->County, 59);
    EXPECT_NE(rpt->Latitude, 0.0);
    // A second press before the report is done is ignored.
    f->SelectPages(0);
    f->BitBtn2Click();
    EXPECT_TRUE(rpt->IncludeSchool);
    ASSERT_TRUE(WaitUntil([main] { return !main->ReportBusy(); }));

    // A map of marks that changed since is not used.
    AppState().MapId = 7;
    AppState().NeedMap = true;
    f->SelectPages(1);
    f->BitBtn2Click();
    EXPECT_FALSE(rpt->StreetMap);
    ASSERT_TRUE(WaitUntil([main] { return !main->ReportBusy(); }));
    AppState().NeedMap = false;
    f->BitBtn2Click();
    EXPECT_TRUE(rpt->StreetMap);
    EXPECT_TRUE(rpt->HazardMap);
    EXPECT_EQ(rpt->MapId, 7);
    ASSERT_TRUE(WaitUntil([main] { return !main->ReportBusy(); }));
}

TEST_F(MainWindow, DoReportWithNoPageChosenSaysSoAndSendsNothing)
{
    TMainProfileFrm* main = OpenWithProperty();
    AppState().NeedMap = false;
    TReportFrm* f = ShowReport(main);
    f->SelectPages(0);
    Click(FindByName<QWidget>(f, QStringLiteral("BitBtn2")));
    ASSERT_EQ(m_responder.Count(DialogRequest::Kind::Message), 1);
    EXPECT_EQ(m_responder.Shown().last().text,
              QStringLiteral("No report page is chosen. Tick the pages the report is to hold."));
    EXPECT_FALSE(main->ReportBusy());
    TApplication::ProcessMessages();
    EXPECT_EQ(RequestCount(*s_service, QStringLiteral("rptgen.request")), 0);
    EXPECT_EQ(m_responder.Count(DialogRequest::Kind::Modal), 0); // no preview
}

TEST_F(MainWindow, PagesLeftOutAfterAFailedMapRequestAndARefusedTaxMapServerAreNamedWithWhy)
{
    TMainProfileFrm* main = OpenWithProperty();
    SearchComps(main);
    // The map request fails when the Report step shows.
    s_service->Next(QStringLiteral("map"), QStringLiteral("status-500"));
    QString error;
    CatchErrorDialog(error);
    TReportFrm* f = ShowReport(main);
    ASSERT_TRUE(WaitUntil([&error] { return !error.isEmpty(); }));
    EXPECT_EQ(AppState().MapId, 0);
    TReportPageList& list = AppState().ReportPages;
    for (int i = 0; i < list.Count(); ++i) {
        const int id = list.Items(i).Id;
        list.Items(i).Selected = id == 10 || id == 30 || id == 40 || id == 120;
    }
    f->FillGrid();
    // The tax-map server answers its login with status 500.
    s_service->Next(QStringLiteral("taxmap.login"), QStringLiteral("status-500"));
    QString file;
    int pages = 0;
    WatchPreview(m_responder, main, file, pages);
    Click(FindByName<QWidget>(f, QStringLiteral("BitBtn2")));
    ASSERT_TRUE(WaitUntil([&file, main] { return !file.isEmpty() && !main->ReportBusy(); }));
    EXPECT_EQ(pages, 1); // the cover
    const QStringList warnings = MessagesShown(m_responder);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_EQ(warnings[0],
              QStringLiteral("Some pages of this report are incomplete or were left out.\n\n"
                             "Street Map: the map request gave no map\n"
                             "Natural Hazards: the map request gave no map\n"
                             "Assessor Map: the map server did not answer\n\n"
                             "Error.log has the details."));
    QFile log(m_dir.filePath(QStringLiteral("Error.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    for (const char* line : {"The page \"Street Map\" was left out of the report: the map request gave no map",
                             "The page \"Natural Hazards\" was left out of the report: the map request gave no map",
                             "The page \"Assessor Map\" was left out of the report: the map server did not answer"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(line))) << line << "\n" << text.toStdString();
}

TEST_F(MainWindow, DoReportSendsThePhotosOfEveryComp)
{
    TMainProfileFrm* main = OpenWithProperty();
    SearchComps(main);
    TReportFrm* f = ShowReport(main);
    f->SelectPages(1);
    f->BitBtn2Click();
    EXPECT_TRUE(main->vxRptGen->IncludePhotos);
    EXPECT_EQ(main->vxRptGen->PhotoApns.size(), main->vxComps->Records.Count());
    ASSERT_TRUE(WaitUntil([main] { return !main->ReportBusy(); }));
}

TEST_F(MainWindow, DoReportSendsNoPhotosOfCompsFoundForAnEarlierProperty)
{
    TMainProfileFrm* main = OpenWithProperty();
    SearchComps(main);
    ASSERT_GT(main->vxComps->Records.Count(), 1);
    // The property searched again: the comps found before are no one's.
    main->WMPropSearch();
    ASSERT_TRUE(WaitUntil([] { return AppState().PropFound && !AppState().CompsFound; }));
    TReportFrm* f = ShowReport(main);
    ASSERT_TRUE(WaitUntil([] { return !AppState().NeedMap; }));
    f->SelectPages(1);
    QString file;
    int pages = 0;
    WatchPreview(m_responder, main, file, pages);
    f->BitBtn2Click();
    ASSERT_TRUE(WaitUntil([&file, main] { return !file.isEmpty() && !main->ReportBusy(); }, 60000));
    QString request;
    for (const QJsonObject& e : s_service->Log(QStringLiteral("service")))
        if (e.value(QStringLiteral("request_type")).toString() == QLatin1String("rptgen.request"))
            request = e.value(QStringLiteral("request")).toString();
    ASSERT_FALSE(request.isEmpty());
    EXPECT_FALSE(request.contains(QStringLiteral("<photos"))) << request.toStdString();
    EXPECT_FALSE(request.contains(QStringLiteral("<apn>"))) << request.toStdString();
}

TEST_F(MainWindow, AReportWhoseChosenPagesAllMakeNothingNamesThemAndShowsNoBlankPage)
{
    TMainProfileFrm* main = OpenWithProperty();
    // No map answer and no comps: the street map and the market summary
    // make nothing.
    AppState().NeedMap = false;
    AppState().MapId = 0;
    TReportFrm* f = ShowReport(main);
    TReportPageList& list = AppState().ReportPages;
    for (int i = 0; i < list.Count(); ++i) {
        const int id = list.Items(i).Id;
        list.Items(i).Selected = id == 30 || id == 50;
    }
    f->FillGrid();
    const QString path = AppState().TempDir + QStringLiteral("profile.rpt");
    Click(FindByName<QWidget>(f, QStringLiteral("BitBtn2")));
    ASSERT_TRUE(WaitUntil([main] { return !main->ReportBusy(); }, 60000));
    TApplication::ProcessMessages();
    const QStringList warnings = MessagesShown(m_responder);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_EQ(warnings[0],
              QStringLiteral("Some pages of this report are incomplete or were left out.\n\n"
                             "Street Map: the map request gave no map\n"
                             "Market Summary: fewer than two comparable sales were found\n\n"
                             "Error.log has the details."));
    EXPECT_EQ(m_responder.Count(DialogRequest::Kind::Modal), 0); // no preview
    EXPECT_FALSE(QFile::exists(path));                           // no blank report to save as PDF
    // A page that is made is previewed as before.
    for (int i = 0; i < list.Count(); ++i)
        if (list.Items(i).Id == 10) list.Items(i).Selected = true;
    f->FillGrid();
    QString file;
    int pages = 0;
    WatchPreview(m_responder, main, file, pages);
    Click(FindByName<QWidget>(f, QStringLiteral("BitBtn2")));
    ASSERT_TRUE(WaitUntil([&file, main] { return !file.isEmpty() && !main->ReportBusy(); }, 60000));
    EXPECT_EQ(pages, 1);
}

TEST_F(MainWindow, CheckBoxClicksMarkCompsAndReportPages)
{
    TMainProfileFrm* main = OpenWithProperty();
    TCompsViewFrm* f = SearchComps(main);
    auto clickCell = [](TExtStringGrid* grid, int col, int row) {
        const TRect r = grid->CellRect(col, row);
        QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    };
    // The sixth comp comes unmarked: a click marks it and counts it.
    const QString counts = f->lbCount->Caption();
    clickCell(f->grComps, 1, 6);
    EXPECT_NE(f->lbCount->Caption(), counts);
    clickCell(f->grComps, 1, 1);
    clickCell(f->grComps, 2, 2); // read-only
    EXPECT_FALSE(f->grComps->EditorMode());
    main->CompsParamsForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return !CompsViewFrm; }));
    EXPECT_TRUE(main->vxComps->Records.IsUsed(5));
    EXPECT_FALSE(main->vxComps->Records.IsUsed(0));
    EXPECT_TRUE(AppState().NeedMap);

    TReportFrm* r = ShowReport(main);
    clickCell(r->ReportGrid, 1, 2);
    const QString page = r->ReportGrid->GetCellText(2, 2);
    main->CompsParamsForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return !ReportFrm; }));
    const TReportPageList& pages = AppState().ReportPages;
    for (int i = 0; i < pages.Count(); ++i) EXPECT_EQ(pages.Items(i).Selected, pages.Items(i).Name != page);
}

TEST_F(MainWindow, DoReportPreviewsTheProfileReportOfTheChosenPages)
{
    TMainProfileFrm* main = OpenWithProperty();
    SearchComps(main);
    TReportFrm* f = ShowReport(main);
    ASSERT_TRUE(WaitUntil([] { return !AppState().NeedMap; }));
    f->SelectPages(1);
    QString file;
    int pages = 0;
    WatchPreview(m_responder, main, file, pages);
    Click(FindByName<QWidget>(f, QStringLiteral("BitBtn2")));
    ASSERT_TRUE(WaitUntil([&file, main] { return !file.isEmpty() && !main->ReportBusy(); }));
    EXPECT_EQ(file, AppState().TempDir + QStringLiteral("profile.rpt"));
    EXPECT_GE(pages, 10);
    EXPECT_EQ(RequestCount(*s_service, QStringLiteral("rptgen.request")), 1);
    EXPECT_EQ(m_responder.Count(DialogRequest::Kind::Modal), 1); // no error dialog
    // The service's photo of the fourth comp is no JPEG picture: told before
    // the preview which page is incomplete.
    const QStringList warnings = MessagesShown(m_responder);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].startsWith(QStringLiteral("Some pages of this report are incomplete")));
    // The page by the name the Report step shows it under.
    EXPECT_TRUE(
        warnings[0].contains(QStringLiteral("\nMarket Details with Photos: parts of it were cut short or left out\n")))
        << warnings[0].toStdString();
    // The note with its reason in the error log beside the program.
    QFile log(m_dir.filePath(QStringLiteral("Error.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("The photo of the comp \\S+ could not be read and was left out of "
                                                  "page \\d+: JPEG image is not valid"))
                    .match(text)
                    .hasMatch())
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Object reporting error: rptProfile")));
}

namespace {

// Each page's text of a PDF, white space removed.
QStringList PdfPageTexts(const QString& pdf)
{
    EXPECT_EQ(testsupport::PdfCheckProblems(pdf), QString());
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {QStringLiteral("pdftotext failed")};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    pages.removeLast();
    for (QString& page : pages) page.remove(QRegularExpression(QStringLiteral("\\s")));
    return pages;
}

} // namespace

TEST_F(MainWindow, AnOversizedStreetMapAndHazardPictureLeaveTheReportWhole)
{
    TMainProfileFrm* main = OpenWithProperty();
    SearchComps(main);
    TReportFrm* f = ShowReport(main);
    ASSERT_TRUE(WaitUntil([] { return !AppState().NeedMap; }));
    f->SelectPages(1);
    // The report as the service usually answers, then with a street map
    // reaching thousands of inches out of its box and a hazard map of
    // 24000 x 400 pixels; each saved as PDF from its preview.
    QStringList texts[2];
    int widest[2] = {0, 0};
    for (int run = 0; run < 2; ++run) {
        if (run == 1)
            s_service->Next(QStringLiteral("rptgen"),
                            QStringList{QStringLiteral("street-far"), QStringLiteral("hazard-wide")});
        const QString pdf = AppState().TempDir + QStringLiteral("report%1.pdf").arg(run);
        bool shown = false;
        m_responder.NextModal([&, main](QDialog& w) {
            TReportFileReader reader;
            reader.LoadFromFile(main->rptProfile->PreviewFile());
            for (int i = 0; i < reader.ImageCount(); ++i) widest[run] = std::max(widest[run], reader.Image(i).width());
            m_responder.NextFileName(pdf);
            w.findChild<QAction*>(QStringLiteral("FileSaveAs"))->trigger();
            shown = true;
            return int(mrCancel);
        });
        Click(FindByName<QWidget>(f, QStringLiteral("BitBtn2")));
        ASSERT_TRUE(WaitUntil([&shown, main] { return shown && !main->ReportBusy(); }));
        texts[run] = PdfPageTexts(pdf);
    }
    EXPECT_EQ(m_responder.Count(DialogRequest::Kind::Modal), 2); // the previews, no error dialog
    EXPECT_EQ(widest[1], 20000) << "the hazard map scaled to the widest a page picture may be";
    ASSERT_GE(texts[0].size(), 10);
    ASSERT_EQ(texts[1].size(), texts[0].size()) << texts[1].join(QLatin1Char('|')).toStdString();
    for (const char* title : {"STREETMAP", "NATURALHAZARDS", "MARKETSUMMARY", "MARKETDETAILS", "PROPERTYINFORMATION"}) {
        const QString t = QString::fromLatin1(title);
        EXPECT_FALSE(texts[1].filter(t).isEmpty()) << title;
        EXPECT_EQ(texts[1].filter(t).size(), texts[0].filter(t).size()) << title;
    }
    // Every page but the street map's and the hazard map's holds the same text.
    int same = 0;
    for (int i = 0; i < texts[0].size(); ++i) same += texts[0][i] == texts[1][i];
    EXPECT_GE(same, texts[0].size() - 2);
}

TEST_F(MainWindow, APhotoThatDoesNotDecodeIsLeftOutOfThePdfWithANoteInTheErrorLog)
{
    TMainProfileFrm* main = Open();
    // A report file whose photo was damaged on the disk.
    TReportFileWriter writer;
    writer.OnPrint = [](TBaseReport& r) {
        QImage photo(64, 48, QImage::Format_RGB32);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) photo.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) & 255));
        r.PrintLeft(QStringLiteral("Front view"), 1);
        r.PrintImageRect(1, 1, 3, 2.5, photo);
    };
    const QString rpt = AppState().TempDir + QStringLiteral("damaged.rpt");
    const QString pdf = AppState().TempDir + QStringLiteral("damaged.pdf");
    const QByteArray report = writer.Record();
    const QByteArray damaged = WithUndecodableJpegs(report);
    ASSERT_NE(damaged, report) << "a photo stored as JPEG";
    AtomicFile::WriteAll(rpt, damaged);
    main->ProfileReport()->RenderPdf(rpt, pdf);

    EXPECT_TRUE(PdfPageTexts(pdf).value(0).contains(QStringLiteral("Frontview")));
    QProcess images;
    images.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    ASSERT_TRUE(images.waitForFinished(60000));
    EXPECT_EQ(QString::fromUtf8(images.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), 2)
        << "only the table's head";
    QFile log(m_dir.filePath(QStringLiteral("Error.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromLocal8Bit(log.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("Object reporting error: rptProfile"))) << text.toStdString();
    EXPECT_TRUE(text.contains(
        QStringLiteral("A picture of 64 x 48 pixels could not be decoded and was left out of the PDF from page 1 on.")))
        << text.toStdString();
}

TEST_F(MainWindow, SubjectPropertyRequestsNameTheirCodingAndGoToTheServicePaths)
{
    // A configuration without the search entries leaves the connections
    // on their own paths, not on the bare host.
    s_service->Next(QStringLiteral("config"), QStringLiteral("no-search-paths"));
    TMainProfileFrm* main = OpenWithProperty();
    TCompsViewFrm* f = SearchComps(main);
    f->grComps->SetRow(3);
    f->CompInfo(); // the comp's data through the second connection

    QMap<QString, int> seen;
    for (const QJsonObject& e : s_service->Log(QStringLiteral("service"))) {
        const QString type = e.value(QStringLiteral("request_type")).toString();
        if (type != QLatin1String("prop.search") && type != QLatin1String("prop.get") &&
            type != QLatin1String("prop.getcomps"))
            continue;
        ++seen[type];
        const bool comps = type == QLatin1String("prop.getcomps");
        SCOPED_TRACE(type.toStdString());
        EXPECT_EQ(e.value(QStringLiteral("target")).toString(),
                  comps ? QStringLiteral("/cgi-bin/IComps.exe") : QStringLiteral("/cgi-bin/PropSearch.exe"));
        EXPECT_EQ(SampleService::Header(e, QStringLiteral("Content-Type")), QStringLiteral("text/html"));
        EXPECT_EQ(SampleService::Header(e, QStringLiteral("Accept")), QStringLiteral("text/html, */*"));
        // Only the subject-property connections name the body's coding.
        EXPECT_EQ(SampleService::Header(e, QStringLiteral("Content-Encoding")),
                  comps ? QString() : QStringLiteral("ZIP,ENC"));
    }
    EXPECT_EQ(seen.value(QStringLiteral("prop.search")), 1); // SubProp
    EXPECT_EQ(seen.value(QStringLiteral("prop.get")), 1);    // CompProp
    EXPECT_EQ(seen.value(QStringLiteral("prop.getcomps")), 1);
}

TEST_F(MainWindow, FetchingTheMapSheetsShowsTheWaitingAnimationAndTheTime)
{
    TMainProfileFrm* main = Open();
    TvxAssessorMap* map = main->vxAssessorMap;
    map->SetHost(QStringLiteral("127.0.0.1"));
    map->SetPort(s_service->TaxMapPort());
    // The window's status handler, watched for the animation meanwhile.
    bool animatedMeanwhile = false;
    const auto status = map->OnStatus;
    map->OnStatus = [&](QObject* sender, THttpStatus s, const QString& text) {
        animatedMeanwhile = animatedMeanwhile || main->Animate1->Active();
        status(sender, s, text);
    };
    main->StatusBar1->SetPanelText(1, QString());
    EXPECT_EQ(map->GetSheets(QStringLiteral("SVISTA"), QStringLiteral("512-034-019")), 3);
    EXPECT_TRUE(animatedMeanwhile);
    EXPECT_FALSE(main->Animate1->Active());
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^et: \\d*\\.\\d\\d$")).match(main->StatusBar1->PanelText(1)).hasMatch())
        << main->StatusBar1->PanelText(1).toStdString();
}
