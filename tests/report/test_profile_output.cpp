// The report form's output: the modal preview (labels, keys, zoom menu),
// saving as PDF read back with pdftotext, and printing to a PDF printer.

#include "ProfileFixture.h"

#include "platform/print/TFilePreview.h"

#include <QAction>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

namespace {

// Each page's text in drawing order, white space removed (titles are drawn
// one letter per line).
QStringList PdfPages(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {QStringLiteral("pdftotext failed")};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    pages.removeLast(); // after the last page's form feed
    for (QString& page : pages) page.remove(QRegularExpression(QStringLiteral("\\s")));
    return pages;
}

QString Label(QDialog& w, const char* name) { return w.findChild<QLabel*>(QString::fromLatin1(name))->text(); }
void Trigger(QDialog& w, const char* name) { w.findChild<QAction*>(QString::fromLatin1(name))->trigger(); }

} // namespace

TEST_F(ProfileTest, PreviewShowsTheFileWithItsLabelsKeysAndZoomMenu)
{
    SelectPages({pgCover, pgPropInfo, pgCensus, pgSchool});
    WriteProfile();
    const int count = Pages();
    ASSERT_GE(count, 4);
    const QString page = QStringLiteral("Page: %1 of ") + QString::number(count);
    m_dialogs.NextModal([&](QDialog& w) {
        auto* preview = w.findChild<TFilePreview*>(QStringLiteral("FilePreview"));
        auto* box = w.findChild<QScrollArea*>(QStringLiteral("ScrollBox1"));
        EXPECT_EQ(box->widget(), preview);
        EXPECT_EQ(preview->PageCount(), count);
        EXPECT_EQ(Label(w, "lbZoom"), QStringLiteral("90%"));
        EXPECT_EQ(Label(w, "lbPages"), page.arg(1));
        QTest::keyClick(box, Qt::Key_Right);
        EXPECT_EQ(Label(w, "lbZoom"), QStringLiteral("100%"));
        QTest::keyClick(preview, Qt::Key_Left);
        EXPECT_EQ(preview->ZoomFactor(), 90);
        QTest::keyClick(box, Qt::Key_PageDown);
        EXPECT_EQ(Label(w, "lbPages"), page.arg(2));
        QTest::keyClick(box, Qt::Key_End);
        EXPECT_EQ(Label(w, "lbPages"), page.arg(count));
        Trigger(w, "Zoom140");
        Trigger(w, "ZoomIn");
        EXPECT_EQ(Label(w, "lbZoom"), QStringLiteral("150%"));
        // Down and Up move the scroll box by 8.
        w.show();
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(box, Qt::Key_Up);
        EXPECT_EQ(box->verticalScrollBar()->value(), 8);
        return int(mrCancel);
    });
    m_form.PreviewReportFile(QStringLiteral("profile.rpt"));

    // One page: no page label; the preview waits for the user without the
    // hourglass of the report being made.
    SelectPages({pgPropInfo});
    QString label = QStringLiteral("(not shown)");
    QCursor* cursor = nullptr;
    m_dialogs.NextModal([&](QDialog& w) {
        label = Label(w, "lbPages");
        cursor = QGuiApplication::overrideCursor();
        return int(mrCancel);
    });
    m_form.ShowProfileReport(m_propDoc.RequestElement());
    EXPECT_EQ(label, QString());
    EXPECT_EQ(cursor, nullptr);
}

TEST_F(ProfileTest, SavedPdfAndPrintedPagesHoldEachPageWithItsOwnTitle)
{
    SelectPages({pgPropInfo, pgStreet, pgCensus, pgHazard});
    WriteProfile();
    // The hazards take two pages, each with its title.
    const QStringList titles{QStringLiteral("PROPERTYINFORMATION"), QStringLiteral("STREETMAP"),
                             QStringLiteral("DEMOGRAPHICS"), QStringLiteral("NATURALHAZARDS"),
                             QStringLiteral("NATURALHAZARDS")};
    ASSERT_EQ(Pages(), titles.size());
    auto expectTitles = [&](const QString& file) {
        const QStringList text = PdfPages(file);
        ASSERT_EQ(text.size(), titles.size()) << text.join(QLatin1Char('|')).toStdString();
        for (int i = 0; i < titles.size(); ++i)
            for (const QString& title : titles)
                EXPECT_EQ(text[i].contains(title), title == titles[i]) << i << " " << title.toStdString();
    };

    // Saved from the preview under an upper-case name, then printed from it
    // after the set-up dialog (a cancelled one prints nothing).
    const QString pdf = Temp(QStringLiteral("PROFILE.PDF")), printed = Temp(QStringLiteral("printed.pdf"));
    m_form.FilePrinter.Printer().setOutputFormat(QPrinter::PdfFormat);
    m_form.FilePrinter.Printer().setOutputFileName(printed);
    m_dialogs.NextModal([&](QDialog& w) {
        m_dialogs.NextFileName(pdf);
        Trigger(w, "FileSaveAs");
        m_dialogs.NextAnswer(mrCancel);
        Trigger(w, "FilePrint");
        EXPECT_FALSE(QFileInfo::exists(printed));
        m_dialogs.NextAnswer(mrOk);
        Trigger(w, "FilePrint");
        return int(mrCancel);
    });
    m_form.PreviewReportFile(QStringLiteral("profile.rpt"));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    expectTitles(pdf);
    EXPECT_EQ(testsupport::PdfCheckProblems(pdf), QString());
    expectTitles(printed);

    // The Prop Info step's print message prints "propinfo.rpt".
    m_form.WritePropertyInfoReport(m_propDoc.RequestElement(), QStringLiteral("propinfo.rpt"));
    m_dialogs.NextAnswer(mrOk);
    TMessage message{TrptProfile::kPrintPropInfoMessage, 0, 0, 0};
    m_form.WndProc(message);
    EXPECT_EQ(PdfPages(printed), QStringList{PdfPages(pdf).first()});
}
