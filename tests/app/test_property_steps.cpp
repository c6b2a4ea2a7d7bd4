#include "forms/StepMessages.h"
#include "app/steps/TPropInfoFrm.h"
#include "app/steps/TPropListFrm.h"
#include "app/steps/TPropSearchFrm.h"
#include "grid/TExtStringGrid.h"
#include "platform/kernel/Application.h"
#include "platform/print/TFilePreview.h"
#include "platform/report/TBaseReport.h"
#include "platform/report/TReportShell.h"
#include "protocol/TvxComps.h"
#include "report/TrptProfile.h"
#include "tests/app/MainWindowTest.h"
#include "tests/app/WindowManager.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QFileInfo>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

using namespace testsupport;

namespace {

struct ListSeen {
    QString caption;
    int rows = 0;
    QStringList names;
    QStringList addresses;
};

// Searches parcel at the Prop Search step; the list dialog is answered by
// answer, which sees it first.
void SearchParcel(TMainProfileFrm* main, const QString& parcel)
{
    main->PropSearchForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return PropSearchFrm && PropSearchFrm->isVisible(); }));
    PropSearchFrm->sParcel->SetText(parcel);
    Click(PropSearchFrm->btnSearch);
}

std::string Text(const QRect& r)
{
    return QStringLiteral("(%1, %2) %3 x %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toStdString();
}

} // namespace

TEST_F(MainWindow, SeveralMatchesAreListedAndTheChosenOneIsFetched)
{
    TMainProfileFrm* main = OpenLoggedIn();
    ListSeen seen;
    m_responder.NextModal([&seen](QDialog& d) {
        auto& list = static_cast<TPropListFrm&>(d);
        seen.caption = list.windowTitle();
        seen.rows = list.Grid->RowCount();
        for (int r = 1; r < list.Grid->RowCount(); ++r) seen.names << list.Grid->GetCellText(1, r);
        EXPECT_TRUE(list.Grid->IsHiddenColumn(4));
        EXPECT_EQ(list.Grid->FixedRows(), 1);
        EXPECT_EQ(list.Grid->GetCellText(2, 1), QStringLiteral("1427 N ALDER CREEK RD\nALDER CREEK"));
        EXPECT_EQ(list.Grid->GetCellText(3, 1), QStringLiteral("512-034-019\r\nSingle Family Residence"));
        list.Grid->SetRow(2);
        Click(list.btnOk);
        return list.result();
    });
    SearchParcel(main, QStringLiteral("MULTI"));
    ASSERT_TRUE(WaitUntil([] { return AppState().PropFound; })) << m_responder.LastText().toStdString();
    EXPECT_GT(seen.rows, 3);
    EXPECT_EQ(seen.caption, QStringLiteral("Found %1 Properties").arg(seen.rows - 1));
    EXPECT_EQ(seen.names.first(), QStringLiteral("HARTLEY, JAMES R"));
    EXPECT_EQ(AppState().PropertyId, 100232);
    EXPECT_EQ(RequestCount(*s_service, QStringLiteral("prop.get")), 1);
    EXPECT_EQ(main->vxComps->ParcelID(), 100232);
    ASSERT_TRUE(WaitUntil([] { return bool(PropInfoFrm); }));
    EXPECT_EQ(main->StepIndex(), siPropInfo);
    EXPECT_TRUE(main->PropInfoForm->isEnabled());
    EXPECT_EQ(PropInfoFrm->FileName(), AppState().TempDir + QStringLiteral("propinfo.rpt"));
    EXPECT_FALSE(PropListFrm);
}

TEST_F(MainWindow, TheListCoversTheMainWindowButItsStatusBarUnderAWindowManager)
{
    if (!UnderWindowManager()) {
        RunUnderWindowManager();
        return;
    }
    TMainProfileFrm* main = OpenLoggedIn();
    main->move(40, 30);
    // The frame is the window manager's: a border or a title bar.
    ASSERT_TRUE(WaitUntil([main] {
        return main->frameGeometry().size() != main->size() && main->frameGeometry().topLeft() == QPoint(40, 30);
    })) << Text(main->frameGeometry())
        << " client " << Text(main->geometry());
    const QRect mainFrame = main->frameGeometry();
    const QRect expected(mainFrame.topLeft(), QSize(mainFrame.width(), mainFrame.height() - 25));
    QRect frame, client;
    m_responder.NextModal([&](QDialog& d) {
        d.show();
        WaitUntil([&] { return d.frameGeometry().size() != d.size() && d.frameGeometry() == expected; }, 5000);
        frame = d.frameGeometry();
        client = d.geometry();
        d.hide();
        return int(mrCancel);
    });
    SearchParcel(main, QStringLiteral("MULTI"));
    ASSERT_TRUE(WaitUntil([&] { return !frame.isNull(); }));
    EXPECT_EQ(frame, expected) << Text(frame) << " client " << Text(client) << " main " << Text(mainFrame);
    EXPECT_NE(frame, client);
}

TEST_F(MainWindow, AListRowWithoutAUsableIdKeepsTheDialogOpen)
{
    TMainProfileFrm* main = OpenLoggedIn();
    QString error;
    int result = -1;
    m_responder.NextModal([this, &error, &result](QDialog& d) {
        auto& list = static_cast<TPropListFrm&>(d);
        CatchErrorDialog(error);
        list.Grid->SetRow(1); // id "ABC"
        Click(list.btnOk);
        result = list.result();
        return int(mrCancel);
    });
    SearchParcel(main, QStringLiteral("BADID"));
    ASSERT_TRUE(WaitUntil([&] { return !error.isEmpty(); }));
    EXPECT_EQ(error, QStringLiteral("Invalid property id!"));
    EXPECT_NE(result, int(mrOk));
    WaitUntil([] { return !PropListFrm; });
    EXPECT_FALSE(AppState().PropFound);
    EXPECT_EQ(RequestCount(*s_service, QStringLiteral("prop.get")), 0);
    // Cancel gives the parcel edit the focus again.
    EXPECT_TRUE(WaitUntil([] { return PropSearchFrm && PropSearchFrm->sParcel->hasFocus(); }));
}

TEST_F(MainWindow, AnEmptyListKeepsTheStoredCaption)
{
    TMainProfileFrm* main = OpenLoggedIn();
    QString caption;
    int rows = 0;
    m_responder.NextModal([&](QDialog& d) {
        caption = d.windowTitle();
        rows = static_cast<TPropListFrm&>(d).Grid->RowCount();
        return int(mrCancel);
    });
    SearchParcel(main, QStringLiteral("EMPTYLIST"));
    ASSERT_TRUE(WaitUntil([&] { return !caption.isEmpty(); }));
    EXPECT_EQ(caption, QStringLiteral("Found Properites"));
    EXPECT_EQ(rows, 2);
}

TEST_F(MainWindow, CancelAfterTheSearchStepClosedTouchesNoGoneForm)
{
    TMainProfileFrm* main = OpenLoggedIn();
    bool answered = false;
    m_responder.NextModal([&](QDialog&) {
        // Another step replaces Prop Search while the list is up.
        main->CustomerForm->trigger();
        answered = true;
        return int(mrCancel);
    });
    SearchParcel(main, QStringLiteral("MULTI"));
    ASSERT_TRUE(WaitUntil([&] { return answered; }));
    ASSERT_TRUE(WaitUntil([] { return !PropSearchFrm && CustomerFrm; }));
    EXPECT_EQ(main->StepIndex(), siCustomer);
}

TEST_F(MainWindow, ServerTextsInTheListShowAsSentAndNeverAsMarkup)
{
    TMainProfileFrm* main = OpenLoggedIn();
    QStringList cells;
    m_responder.NextModal([&](QDialog& d) {
        TExtStringGrid* grid = static_cast<TPropListFrm&>(d).Grid;
        for (int r = 1; r < grid->RowCount(); ++r)
            for (int c = 1; c <= 3; ++c) cells << grid->GetCellText(c, r);
        return int(mrCancel);
    });
    SearchParcel(main, QStringLiteral("MARKUP"));
    ASSERT_TRUE(WaitUntil([&] { return !cells.isEmpty(); }));
    ASSERT_EQ(cells.size(), 6);
    EXPECT_EQ(cells[0], QStringLiteral("<FONT>SMITH &amp; &lt;B>JONES&lt;/B></FONT>"));
    EXPECT_EQ(cells[1], QStringLiteral("<FONT>1427 N ALDER CREEK RD<BR>&lt;A HREF=\"file:///etc\">CITY&lt;/A></FONT>"));
    // A formula-looking name is no formula; a lone "&" in plain text stays.
    EXPECT_EQ(cells[3], QStringLiteral("<FONT>=1+1</FONT>"));
    EXPECT_EQ(cells[4], QStringLiteral("1433 N ALDER CREEK RD\nA&B"));
}

TEST_F(MainWindow, PropInfoScrollsItsPageWithTheArrowKeys)
{
    TMainProfileFrm* main = OpenWithProperty();
    ASSERT_TRUE(WaitUntil([] { return PropInfoFrm && PropInfoFrm->isVisible(); }));
    main->activateWindow();
    QScrollBar* bar = PropInfoFrm->Preview1->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 16);
    bar->setValue(0);
    Press(PropInfoFrm, Qt::Key_Down);
    Press(PropInfoFrm, Qt::Key_Down);
    EXPECT_EQ(bar->value(), 16);
    Press(PropInfoFrm, Qt::Key_Up);
    EXPECT_EQ(bar->value(), 8);
}

TEST_F(MainWindow, PropInfoShowsThePropertyReport)
{
    TMainProfileFrm* main = OpenWithProperty();
    ASSERT_TRUE(WaitUntil([] { return PropInfoFrm && PropInfoFrm->isVisible(); }));
    auto* view = dynamic_cast<TFilePreview*>(FindByName<QWidget>(PropInfoFrm, QStringLiteral("PropView")));
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->Active());
    EXPECT_EQ(view->PageCount(), 1);
    Click(FindByName<QWidget>(PropInfoFrm, QStringLiteral("btnZoomOut")));
    EXPECT_EQ(view->ZoomFactor(), 84);
    // Save as goes to the report form; a name without ".pdf" gets a copy.
    const QString report = AppState().TempDir + QStringLiteral("propinfo.rpt");
    const QString copy = m_dir.filePath(QStringLiteral("subject.rpt"));
    m_responder.NextFileName(copy);
    Click(FindByName<QWidget>(PropInfoFrm, QStringLiteral("btnSaveAs")));
    ASSERT_TRUE(WaitUntil([&copy] { return QFileInfo(copy).size() > 0; }));
    EXPECT_EQ(QFileInfo(copy).size(), QFileInfo(report).size());

    // A damaged report is reported and leaves the page empty.
    main->CompsParamsForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return !PropInfoFrm; }));
    QFile file(report);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("no report") > 0);
    file.close();
    QString error;
    CatchErrorDialog(error);
    main->PropInfoForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return bool(PropInfoFrm); }));
    EXPECT_FALSE(PropInfoFrm->PropView->Active());
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(MainWindow, PropInfoTellsOnceWhatItsReportLeftOut)
{
    TMainProfileFrm* main = OpenLoggedIn();
    // The property page leaves out a picture that no page can hold.
    TrptProfile* report = main->ProfileReport();
    auto page = report->rPropInfo.OnRowPrint;
    report->rPropInfo.OnRowPrint = [page](TBaseReport& r, TReportShell& s, bool& valid) {
        page(r, s, valid);
        r.OnLeftOut(QStringLiteral("A picture of 30000 x 30000 pixels was left out of page 1."));
    };
    const int before = m_responder.Count(DialogRequest::Kind::Message);
    main->SubProp->Values.apn = QStringLiteral("512-034-019");
    main->WMPropSearch();
    ASSERT_TRUE(WaitUntil([] { return PropInfoFrm && PropInfoFrm->isVisible() && PropInfoFrm->PropView->Active(); }));
    // The step shows the page and tells what is missing from it.
    ASSERT_TRUE(WaitUntil([&] { return m_responder.Count(DialogRequest::Kind::Message) == before + 1; }));
    const DialogRequest& note = m_responder.Shown().last();
    EXPECT_EQ(note.type, TMsgDlgType::mtWarning);
    EXPECT_EQ(note.text,
              QStringLiteral("Some pages of this report are incomplete or were left out.\n\n"
                             "Property Information: parts of it were cut short or left out\n\n"
                             "Error.log has the details."));
    QFile log(m_dir.filePath(QStringLiteral("Error.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("A picture of 30000 x 30000 pixels was left out of page 1."));
    // Once: the step shown again says nothing more.
    main->CompsParamsForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return !PropInfoFrm; }));
    main->PropInfoForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return PropInfoFrm && PropInfoFrm->isVisible(); }));
    TApplication::ProcessMessages();
    TApplication::ProcessMessages();
    EXPECT_EQ(m_responder.Count(DialogRequest::Kind::Message), before + 1);
}

TEST_F(MainWindow, APastedParcelNumberGoesToTheServerInUpperCase)
{
    TMainProfileFrm* main = OpenLoggedIn();
    main->PropSearchForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return PropSearchFrm && PropSearchFrm->isVisible(); }));
    TCustomEdit* parcel = PropSearchFrm->sParcel;
    parcel->setFocus();
    ASSERT_TRUE(WaitUntil([parcel] { return parcel->hasFocus(); }));
    QGuiApplication::clipboard()->setText(QStringLiteral("none"));
    Press(parcel, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(parcel->Text(), QStringLiteral("NONE"));
    // The MLS edit turns what is put into it as well.
    PropSearchFrm->sMLS->SetText(QStringLiteral("ml-12a"));
    EXPECT_EQ(PropSearchFrm->sMLS->Text(), QStringLiteral("ML-12A"));
    PropSearchFrm->sMLS->SetText(QString());

    Click(PropSearchFrm->btnSearch);
    ASSERT_TRUE(WaitUntil([] { return RequestCount(*s_service, QStringLiteral("prop.search")) == 1; }));
    QString request;
    for (const QJsonObject& e : s_service->Log(QStringLiteral("service")))
        if (e.value(QStringLiteral("request_type")).toString() == QLatin1String("prop.search"))
            request = e.value(QStringLiteral("request")).toString();
    EXPECT_TRUE(request.contains(QStringLiteral("apn = \"NONE\""))) << request.toStdString();
}
