#include "app/steps/TCompsParamsFrm.h"
#include "app/steps/TCompsViewFrm.h"
#include "app/steps/TPropInfoFrm.h"
#include "app/steps/TReportFrm.h"
#include "grid/column/TExtColumnGrid.h"
#include "platform/print/TFilePreview.h"
#include "platform/report/TReportFileReader.h"
#include "report/TrptProfile.h"
#include "tests/app/MainWindowTest.h"

#include <QFile>
#include <QFileInfo>

using namespace testsupport;

namespace {

// What the modal preview showed while it was up.
struct PreviewSeen {
    int shown = 0;
    QString caption;
    QString file;
    int pages = 0;
};

// Answers the next modal dialog as the preview, noting what it shows.
void WatchPreview(ScopedDialogResponder& responder, TMainProfileFrm* main, PreviewSeen& seen)
{
    responder.NextModal([main, &seen](QDialog& d) {
        ++seen.shown;
        seen.caption = d.windowTitle();
        seen.file = main->rptProfile->PreviewFile();
        TReportFileReader reader;
        reader.LoadFromFile(seen.file);
        seen.pages = reader.PageCount();
        return int(mrCancel);
    });
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The View Comps step after a comps search for the demo subject.
TCompsViewFrm* ShowComps(TMainProfileFrm* main)
{
    main->CompsParamsForm->trigger();
    EXPECT_TRUE(WaitUntil([] { return bool(CompsParamsFrm); }));
    CompsParamsFrm->BitBtn1Click();
    EXPECT_TRUE(WaitUntil([] { return CompsViewFrm && CompsViewFrm->isVisible(); }));
    return CompsViewFrm;
}

} // namespace

TEST_F(MainWindow, DoReportWritesTheProfileReportAndPreviewsIt)
{
    TMainProfileFrm* main = OpenWithProperty();
    ASSERT_TRUE(ShowComps(main));
    main->ReportForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return ReportFrm && ReportFrm->isVisible() && !AppState().NeedMap; }));
    ReportFrm->SelectPages(1);

    PreviewSeen seen;
    WatchPreview(m_responder, main, seen);
    Click(FindByName<QWidget>(ReportFrm, QStringLiteral("BitBtn2")));
    ASSERT_TRUE(WaitUntil([&seen, main] { return seen.shown == 1 && !main->ReportBusy(); }))
        << m_responder.LastText().toStdString();

    // One report-data request, the profile report of every chosen page.
    EXPECT_EQ(RequestCount(*s_service, QStringLiteral("rptgen.request")), 1);
    EXPECT_EQ(seen.caption, QStringLiteral("Preview"));
    EXPECT_EQ(seen.file, AppState().TempDir + QStringLiteral("profile.rpt"));
    EXPECT_TRUE(QFileInfo::exists(seen.file));
    EXPECT_GE(seen.pages, 10);
    EXPECT_TRUE(main->rptProfile->PreviewFile().isEmpty());
    // Nothing but the preview was shown (an error would be a modal too).
    EXPECT_EQ(m_responder.Count(DialogRequest::Kind::Modal), 1);
}

TEST_F(MainWindow, PropInfoShowsThePropertyReport)
{
    OpenWithProperty();
    ASSERT_TRUE(WaitUntil([] { return PropInfoFrm && PropInfoFrm->isVisible(); }));
    const QString report = AppState().TempDir + QStringLiteral("propinfo.rpt");
    ASSERT_TRUE(QFileInfo::exists(report));
    auto* view = dynamic_cast<TFilePreview*>(FindByName<QWidget>(PropInfoFrm, QStringLiteral("PropView")));
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->Active());
    EXPECT_EQ(view->PageCount(), 1);
    EXPECT_EQ(view->CurrentPage(), 1);
    Click(FindByName<QWidget>(PropInfoFrm, QStringLiteral("btnZoomOut")));
    EXPECT_EQ(view->ZoomFactor(), 84);

    // Save as goes to the report form; a name without ".pdf" gets a copy.
    const QString copy = m_dir.filePath(QStringLiteral("subject.rpt"));
    m_responder.NextFileName(copy);
    Click(FindByName<QWidget>(PropInfoFrm, QStringLiteral("btnSaveAs")));
    ASSERT_TRUE(WaitUntil([&copy] { return QFileInfo::exists(copy); })) << m_responder.LastText().toStdString();
    EXPECT_EQ(FileBytes(copy), FileBytes(report));
}

TEST_F(MainWindow, ADamagedPropertyReportLeavesPropInfoEmpty)
{
    TMainProfileFrm* main = OpenWithProperty();
    ASSERT_TRUE(WaitUntil([] { return bool(PropInfoFrm); }));
    main->CompsParamsForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return !PropInfoFrm; }));
    ASSERT_TRUE(WriteFile(AppState().TempDir + QStringLiteral("propinfo.rpt"), "no report at all"));
    QString error;
    CatchErrorDialog(error);
    main->PropInfoForm->trigger();
    ASSERT_TRUE(WaitUntil([] { return bool(PropInfoFrm); }));
    EXPECT_FALSE(PropInfoFrm->PropView->Active());
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(MainWindow, CompInfoPreviewsOnlyTheReportItWrote)
{
    TMainProfileFrm* main = OpenWithProperty();
    TCompsViewFrm* f = ShowComps(main);
    ASSERT_TRUE(f);
    const QString path = AppState().TempDir + QStringLiteral("compinfo.rpt");
    const QByteArray earlier("an earlier comp");
    ASSERT_TRUE(WriteFile(path, earlier));
    PreviewSeen seen;
    WatchPreview(m_responder, main, seen);
    f->grComps->SetRow(3);
    f->CompInfo();
    EXPECT_EQ(seen.shown, 1);
    EXPECT_EQ(seen.file, path);
    EXPECT_EQ(seen.pages, 1);
    EXPECT_NE(FileBytes(path), earlier);

    // A row without a usable record fetches nothing and shows nothing.
    ASSERT_TRUE(WriteFile(path, earlier));
    f->grComps->SetCellText(4, 2, QStringLiteral("x"));
    f->grComps->SetRow(2);
    f->CompInfo();
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(m_responder.Count(DialogRequest::Kind::Modal), 1);
    EXPECT_EQ(RequestCount(*s_service, QStringLiteral("prop.get")), 1);
    EXPECT_EQ(CompsViewFrm.data(), f);
}
