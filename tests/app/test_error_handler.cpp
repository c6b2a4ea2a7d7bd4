#include "app/TErrorDlg.h"
#include "app/TlcErrorHandler.h"
#include "platform/core/Directories.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/kernel/Application.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QApplication>

namespace {

// A log directory of its own: the program beside a temporary directory.
struct LogDir {
    QTemporaryDir dir;
    ScopedDirectoryOverride over{DirectoryOverride{dir.filePath(QStringLiteral("tamsel")), true, {}, {}, {}}};
    QByteArray Log() const
    {
        QFile f(dir.filePath(QStringLiteral("Error.log")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

const QByteArray kRule(45, '=');

} // namespace

TEST(ErrorHandler, HooksTheApplicationOnceAndUnhooksWhenGone)
{
    TApplication* app = TApplication::Instance();
    ASSERT_EQ(app->OnException, nullptr);
    {
        TlcErrorHandler first;
        first.Loaded();
        EXPECT_TRUE(bool(app->OnException));
        TlcErrorHandler second;
        try {
            second.Loaded();
            FAIL() << "a second handler must be refused";
        } catch (const EedException& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Exception Handler already assigned."));
        }
        first.SetUseErrorHandler(false);
        EXPECT_FALSE(bool(app->OnException));
        first.SetUseErrorHandler(true);
        EXPECT_TRUE(bool(app->OnException));
    }
    EXPECT_FALSE(bool(app->OnException));

    TlcErrorHandler handler;
    handler.SetLogFile(QString());
    try {
        handler.SetWriteToLog(true);
        FAIL();
    } catch (const EedException& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Log file name is blank"));
    }
    EXPECT_EQ(handler.Version(), QStringLiteral("1.01b"));
}

TEST(ErrorHandler, BeepsShowsTheDialogAndAppendsABlock)
{
    LogDir logDir;
    ScopedDialogResponder responder;
    QString shownCaption, shownText;
    responder.NextModal([&](QDialog& d) {
        shownCaption = d.windowTitle();
        shownText = d.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->toPlainText();
        return int(mrOk);
    });
    TlcErrorHandler handler;
    QObject reporter;
    reporter.setObjectName(QStringLiteral("SubProp"));
    Exception e(QStringLiteral("first\r\nsecond\nthird"));
    handler.HandleException(&reporter, e);
    EXPECT_EQ(responder.Beeps(), 1);
    EXPECT_EQ(shownCaption, QStringLiteral("Error Message Tamsel"));
    EXPECT_EQ(shownText, QStringLiteral("first\nsecond\nthird"));
    const QByteArray log = logDir.Log();
    const QList<QByteArray> lines = log.split('\n');
    ASSERT_EQ(lines.size(), 8); // seven lines and the empty rest after the last line end
    EXPECT_EQ(lines[0], kRule + "\r");
    EXPECT_TRUE(lines[1].startsWith("Time of error: "));
    EXPECT_EQ(lines[2], "Object reporting error: SubProp\r");
    EXPECT_EQ(lines[3], "first\r");
    EXPECT_EQ(lines[5], "third\r");
    EXPECT_EQ(lines[6], kRule + "\r");

    // A second error is appended, an empty message writes no message line.
    Exception empty(QString{});
    handler.HandleException(nullptr, empty);
    const QByteArray both = logDir.Log();
    EXPECT_TRUE(both.startsWith(log));
    EXPECT_EQ(both.mid(log.size()).count('\n'), 4);
    EXPECT_TRUE(both.mid(log.size()).contains("Object reporting error: \r\n"));
}

TEST(ErrorHandler, LongLinesAreCutAndKeepTheirLineEnd)
{
    LogDir logDir;
    ScopedDialogResponder responder;
    TlcErrorHandler handler;
    handler.ShowError = false;
    Exception e(QString(3000, QLatin1Char('x')) + QStringLiteral("\nnext"));
    handler.HandleException(nullptr, e);
    EXPECT_EQ(responder.Count(DialogRequest::Kind::Modal), 0);
    const QByteArray log = logDir.Log();
    EXPECT_TRUE(log.contains("\r\n" + QByteArray(1995, 'x') + "\r\nnext\r\n"));
    EXPECT_FALSE(log.contains(QByteArray(1996, 'x')));
}

TEST(ErrorHandler, AHandledErrorGoesNoFurther)
{
    LogDir logDir;
    ScopedDialogResponder responder;
    TlcErrorHandler handler;
    QString seen;
    handler.OnErrorEvent = [&](QObject*, QObject*, Exception& e, bool& handled) {
        seen = e.Message();
        handled = true;
    };
    Exception e(QStringLiteral("mine"));
    handler.HandleException(nullptr, e);
    EXPECT_EQ(seen, QStringLiteral("mine"));
    EXPECT_EQ(responder.Shown().size(), 0);
    EXPECT_TRUE(logDir.Log().isEmpty());
}

TEST(ErrorDialog, PrintIsOptionalAndPrintsOnePage)
{
    TErrorDlg dialog;
    dialog.SetAllowPrint(false);
    EXPECT_TRUE(dialog.PrintBtn->isHidden());
    EXPECT_EQ(dialog.OkBtn->x(), 131);
    dialog.SetAllowPrint(true);
    EXPECT_FALSE(dialog.PrintBtn->isHidden());

    // Print asks for the printer first; cancelled, nothing is printed.
    ScopedDialogResponder responder;
    dialog.PrintBtn->click();
    EXPECT_EQ(responder.Count(DialogRequest::Kind::PrinterSetup), 1);

    TRecordingCanvas canvas;
    TErrorDlg::PaintErrorPage(canvas, 2000, QStringLiteral("Tamsel"), QStringLiteral("/opt/tamsel"),
                              QStringLiteral("12/9/2026 10:00:00"), {QStringLiteral("a"), QStringLiteral("b")});
    const QVector<TCanvasCall> runs = canvas.CallsOf(QStringLiteral("TextRun"));
    ASSERT_EQ(runs.size(), 6);
    const QString title = QStringLiteral("Tamsel Application Error");
    EXPECT_EQ(runs[0].Text, title);
    EXPECT_EQ(runs[0].From.Y, 100);
    // Centred: half the page less half the text (16 pixels a character at
    // 16 points on this canvas).
    EXPECT_EQ(runs[0].From.X, 1000 - title.size() * 16 / 2);
    EXPECT_EQ(runs[1].Text, QStringLiteral("Program reporting error: /opt/tamsel"));
    EXPECT_EQ(runs[1].From, TPoint(100, 300));
    EXPECT_EQ(runs[3].Text, QStringLiteral("Error Message"));
    EXPECT_EQ(runs[5].Text, QStringLiteral("b"));
    EXPECT_EQ(runs[5].From, TPoint(100, 700));
    EXPECT_EQ(runs[5].Font.Size(), 10);
    EXPECT_TRUE(runs[0].Font.Style().Contains(TFontStyle::fsUnderline));
}

TEST(ErrorDialog, EnterClosesWithOkUntilCommentsAreTypedThenCtrlEnterDoes)
{
    // Shown, the comments have the focus: Enter is OK.
    {
        TErrorDlg dialog;
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        EXPECT_EQ(QApplication::focusWidget(), dialog.Comments);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), int(mrOk));
    }
    // Once a comment is typed Enter starts a new line of it, and Ctrl+Enter
    // (either Enter key) closes with OK.
    for (const Qt::Key enter : {Qt::Key_Return, Qt::Key_Enter}) {
        TErrorDlg dialog;
        dialog.show();
        QTest::keyClicks(dialog.Comments, QStringLiteral("Printer was off"));
        QTest::keyClick(dialog.Comments, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.Comments->toPlainText(), QStringLiteral("Printer was off\n"));
        QTest::keyClick(dialog.Comments, enter, Qt::ControlModifier);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), int(mrOk));
    }
    // From the message, Enter presses the default button, OK.
    {
        TErrorDlg dialog;
        dialog.show();
        QTest::keyClick(dialog.Memo1, Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), int(mrOk));
    }
}

TEST(ErrorHandler, AMessageLoggedGoesToTheLogWithoutBeepOrDialog)
{
    LogDir logDir;
    ScopedDialogResponder responder;
    TlcErrorHandler handler;
    QObject reporter;
    reporter.setObjectName(QStringLiteral("rptProfile"));
    handler.LogMessage(&reporter, QStringLiteral("A picture of 30000 x 10 pixels was left out of page 3."));
    EXPECT_EQ(responder.Beeps(), 0);
    EXPECT_EQ(responder.Count(DialogRequest::Kind::Modal), 0);
    const QList<QByteArray> lines = logDir.Log().split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[2], "Object reporting error: rptProfile\r");
    EXPECT_EQ(lines[3], "A picture of 30000 x 10 pixels was left out of page 3.\r");
    // Not written when the log is off, and a log that cannot be written
    // stops nobody.
    handler.SetWriteToLog(false);
    handler.LogMessage(&reporter, QStringLiteral("not logged"));
    EXPECT_FALSE(logDir.Log().contains("not logged"));
    handler.SetWriteToLog(true);
    handler.SetLogFile(QStringLiteral("no/such/dir/Error.log"));
    EXPECT_NO_THROW(handler.LogMessage(&reporter, QStringLiteral("lost")));
}

TEST(ErrorHandler, ALogThatCannotBeWrittenIsShownToTheUser)
{
    LogDir logDir;
    ScopedDialogResponder responder;
    TlcErrorHandler handler;
    handler.Loaded();
    handler.SetLogFile(QStringLiteral("no/such/dir/Error.log"));
    QObject reporter;
    // An event handler fails; the error dialog shows it, then the log fails.
    GuardedCall(&reporter, [] { throw Exception(QStringLiteral("The search failed.")); });
    EXPECT_EQ(responder.Count(DialogRequest::Kind::Modal), 1);
    ASSERT_EQ(responder.Count(DialogRequest::Kind::Error), 1);
    EXPECT_TRUE(responder.Shown().last().text.startsWith(QStringLiteral("Cannot open file \"")))
        << responder.Shown().last().text.toStdString();
    EXPECT_TRUE(responder.Shown().last().text.contains(QStringLiteral("no/such/dir/Error.log")));
}
