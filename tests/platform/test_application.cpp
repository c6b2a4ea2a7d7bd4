#include "platform/kernel/Application.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/kernel/Form.h"
#include "platform/core/Format.h"
#include "platform/core/RegionalSettings.h"
#include "platform/kernel/WindowMessage.h"
#include "platform/widgets/CheckBox.h"
#include "platform/widgets/CustomEdit.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class Receiver : public QObject, public TMessageHandler {
public:
    QList<unsigned> got;
    bool throwOnMessage = false;
    void WndProc(TMessage& m) override
    {
        if (throwOnMessage) throw Exception(QStringLiteral("handler failed"));
        got.append(m.Msg);
        m.Result = LRESULT(m.WParam + m.LParam);
    }
};

class ExceptionCatcher {
public:
    ExceptionCatcher()
    {
        TApplication::Instance()->OnException = [this](QObject* sender, Exception& e) {
            messages << e.Message();
            senders << sender;
        };
    }
    ~ExceptionCatcher() { TApplication::Instance()->OnException = nullptr; }
    QStringList messages;
    QList<QObject*> senders;
};

} // namespace

TEST(Application, ExceptionFromEventHandlerReachesExceptionEvent)
{
    ExceptionCatcher catcher;
    QObject target;
    QTimer::singleShot(0, &target, [] { throw Exception(QStringLiteral("from a timer")); });
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !catcher.messages.isEmpty(); }));
    EXPECT_EQ(catcher.messages.first(), QStringLiteral("from a timer"));
}

TEST(Application, StandardExceptionIsWrappedWithItsText)
{
    ExceptionCatcher catcher;
    QObject target;
    QTimer::singleShot(0, &target, [] { throw std::runtime_error("plain failure"); });
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !catcher.messages.isEmpty(); }));
    EXPECT_EQ(catcher.messages.first(), QStringLiteral("plain failure"));
}

TEST(Application, WithoutExceptionEventTheErrorDialogIsShown)
{
    ScopedDialogResponder dialogs;
    QObject target;
    QTimer::singleShot(0, &target, [] { throw Exception(QStringLiteral("shown")); });
    ASSERT_TRUE(testsupport::WaitUntil([&] { return dialogs.Count(DialogRequest::Kind::Error) == 1; }));
    EXPECT_EQ(dialogs.LastText(), QStringLiteral("shown"));
}

// Events fired from Qt's signals never unwind through Qt: the error goes to
// the exception event and the change itself stands.
TEST(Application, ErrorsOfEventsFiredBySignalsReachTheExceptionEvent)
{
    ExceptionCatcher catcher;
    TCustomEdit edit(nullptr, QStringLiteral("edit"));
    edit.OnChange = [](QObject*) { throw Exception(QStringLiteral("change refused")); };
    edit.SetText(QStringLiteral("typed"));
    TCheckBox box(nullptr, QStringLiteral("box"));
    box.OnClick = [](QObject*) { throw Exception(QStringLiteral("click refused")); };
    box.setChecked(true);
    EXPECT_EQ(catcher.messages, QStringList({"change refused", "click refused"}));
    EXPECT_EQ(catcher.senders, QList<QObject*>({&edit, &box}));
    EXPECT_EQ(edit.Text(), QStringLiteral("typed"));
    EXPECT_TRUE(box.isChecked());
}

TEST(WindowMessages, PostedMessageArrivesLaterInOrder)
{
    Receiver r;
    PostMessage(&r, Win::WM_USER + 1);
    PostMessage(&r, Win::WM_USER + 2);
    EXPECT_TRUE(r.got.isEmpty()) << "a posted message must not be dispatched at once";
    TApplication::ProcessMessages();
    ASSERT_EQ(r.got.size(), 2);
    EXPECT_EQ(r.got[0], Win::WM_USER + 1);
    EXPECT_EQ(r.got[1], Win::WM_USER + 2);
}

TEST(WindowMessages, SentMessageIsDispatchedAtOnceWithResult)
{
    Receiver r;
    EXPECT_EQ(SendMessage(&r, Win::WM_USER + 115, 3, 4), 7);
    ASSERT_EQ(r.got.size(), 1);
    EXPECT_EQ(r.got[0], 1139u);
}

TEST(WindowMessages, PostedToDestroyedTargetIsDropped)
{
    auto* r = new Receiver;
    PostMessage(r, Win::WM_USER);
    delete r;
    TApplication::ProcessMessages(); // must not touch the freed receiver
    SUCCEED();
}

TEST(WindowMessages, ExceptionInSentHandlerGoesToApplication)
{
    ExceptionCatcher catcher;
    Receiver r;
    r.throwOnMessage = true;
    EXPECT_NO_THROW(SendMessage(&r, Win::WM_USER));
    ASSERT_EQ(catcher.messages.size(), 1);
    EXPECT_EQ(catcher.messages.first(), QStringLiteral("handler failed"));
    EXPECT_THROW(Perform(&r, Win::WM_USER), Exception);
}

namespace {
class ClosingForm : public TForm {
public:
    int closes = 0;
    void WndProc(TMessage& m) override
    {
        if (m.Msg == Win::WM_USER + 102) {
            ++closes;
            Close();
            // Still running on the stack after Close: must not be freed yet.
            m.Result = closes;
        }
    }
};
} // namespace

TEST(Forms, FreeOnCloseIsDeferredUntilHandlersReturn)
{
    QPointer<ClosingForm> f = new ClosingForm;
    f->OnClose = [](QObject*, TCloseAction& a) { a = TCloseAction::caFree; };
    f->show();
    EXPECT_EQ(SendMessage(f, Win::WM_USER + 102), 1);
    ASSERT_FALSE(f.isNull()) << "freed while its handler was on the stack";
    EXPECT_TRUE(f->isHidden());
    EXPECT_TRUE(testsupport::WaitUntil([&] { return f.isNull(); }));
    EXPECT_FALSE(TForm::Forms().contains(static_cast<TForm*>(nullptr)));
}

TEST(Forms, CloseQueryCanRefuseAndBroadcastSkipsOneForm)
{
    ClosingForm main, a, b;
    main.OnClose = a.OnClose = b.OnClose = [](QObject*, TCloseAction& act) { act = TCloseAction::caHide; };
    bool allow = false;
    a.OnCloseQuery = [&](QObject*, bool& can) { can = allow; };
    a.show();
    EXPECT_FALSE(a.Close());
    EXPECT_TRUE(a.isVisible());
    allow = true;
    BroadcastMessage(Win::WM_USER + 102, 0, 0, &main);
    EXPECT_EQ(main.closes, 0);
    EXPECT_EQ(a.closes, 1);
    EXPECT_EQ(b.closes, 1);
    EXPECT_FALSE(a.isVisible());
}

TEST(Forms, BroadcastPassesOverFormsFreedOnTheWay)
{
    auto* victim = new ClosingForm;
    ClosingForm killer;
    QPointer<ClosingForm> watch = victim;
    killer.OnClose = [&](QObject*, TCloseAction&) { delete watch.data(); };
    // killer was created last, so it is reached first and frees the victim.
    BroadcastMessage(Win::WM_USER + 102, 0, 0, nullptr);
    EXPECT_TRUE(watch.isNull());
    EXPECT_EQ(killer.closes, 1);
}

TEST(DialogResponder, AnswersFromScriptAndRecords)
{
    ScopedDialogResponder d;
    d.NextAnswer(mrYes);
    EXPECT_TRUE(Dialogs::Confirm(QStringLiteral("Close?")));
    EXPECT_FALSE(Dialogs::Confirm(QStringLiteral("Again?"))) << "unscripted confirmation answers No";
    Dialogs::ShowMessage(QStringLiteral("Info"));
    d.NextFileName(QStringLiteral("/tmp/x.pdf"));
    EXPECT_EQ(Dialogs::SaveFileName(QStringLiteral("Save"), QStringLiteral("Report|*.pdf")),
              QStringLiteral("/tmp/x.pdf"));
    EXPECT_TRUE(Dialogs::OpenFileName(QStringLiteral("Open"), QString()).isEmpty());
    d.NextMenuChoice(1);
    EXPECT_EQ(Dialogs::PopupMenu({QStringLiteral("a"), QStringLiteral("b")}, QPoint(5, 6)), 1);
    Dialogs::Beep();
    ASSERT_EQ(d.Shown().size(), 7);
    EXPECT_EQ(d.Shown()[0].text, QStringLiteral("Close?"));
    EXPECT_EQ(d.Shown()[0].type, TMsgDlgType::mtConfirmation);
    EXPECT_EQ(d.Shown()[0].buttons, mbYesNo);
    EXPECT_EQ(d.Shown()[2].buttons, unsigned(mbOK));
    EXPECT_EQ(d.Shown()[5].position, QPoint(5, 6));
    EXPECT_EQ(d.Beeps(), 1);
}

TEST(Format, PlaceholdersAsTheClassLibraryWritesThem)
{
    ScopedRegionalSettings us{TFormatSettings{}};
    EXPECT_EQ(Format(QStringLiteral("List index out of bounds (%d)"), {-1}),
              QStringLiteral("List index out of bounds (-1)"));
    EXPECT_EQ(Format(QStringLiteral("Recursive reference to entity \"%s\"."), {QStringLiteral("a")}),
              QStringLiteral("Recursive reference to entity \"a\"."));
    EXPECT_EQ(Format(QStringLiteral("%4d|%-3s|%.3d|%x|%%|%s"), {7, QStringLiteral("a"), 5, 255}),
              QStringLiteral("   7|a  |005|FF|%|%s"));
    EXPECT_EQ(Format(QStringLiteral("%0.0n sq ft, %.1f%%"), {1234567.4, 2.25}),
              QStringLiteral("1,234,567 sq ft, 2.3%"));
    EXPECT_EQ(EListError::IndexOutOfBounds(3).Message(), QStringLiteral("List index out of bounds (3)"));
}

TEST(Forms, ClosingTheMainFormEndsTheProgram)
{
    ClosingForm main;
    ClosingForm other;
    other.OnClose = [](QObject*, TCloseAction& a) { a = TCloseAction::caHide; };
    main.OnClose = [](QObject*, TCloseAction& a) { a = TCloseAction::caHide; };
    TApplication* app = TApplication::Instance();
    app->SetMainForm(&main);
    main.show();
    other.show();
    EXPECT_TRUE(other.Close());
    EXPECT_FALSE(app->Terminated());
    // From inside the message loop, as a click on Exit runs: the loop ends.
    int ran = -1;
    QTimer::singleShot(0, &main, [&main] { main.Close(); });
    ran = app->Run();
    EXPECT_EQ(ran, 0);
    EXPECT_TRUE(app->Terminated());
    EXPECT_TRUE(main.isHidden());
    // Told to end, the loop is not entered again.
    EXPECT_EQ(app->Run(), 0);
    app->SetMainForm(nullptr);
}

// Without a responder the real message box shows the text as it stands: a
// server's markup is neither rendered nor turned into links to open.
TEST(MessageBoxes, ShowTheirTextAsPlainText)
{
    DialogResponder* previous = Dialogs::SetResponder(nullptr);
    const QString hostile = QStringLiteral("<a href=\"file:///etc/passwd\">Click</a> <b>here</b>");
    QList<Qt::TextFormat> formats;
    QStringList texts;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        formats.append(box->textFormat());
        texts.append(box->text());
        box->done(QMessageBox::Ok);
    });
    closer.start(0);
    Dialogs::ShowMessage(hostile);
    Dialogs::ShowError(hostile);
    closer.stop();
    Dialogs::SetResponder(previous);
    ASSERT_EQ(formats.size(), 2);
    EXPECT_EQ(formats[0], Qt::PlainText);
    EXPECT_EQ(formats[1], Qt::PlainText);
    EXPECT_EQ(texts, QStringList({hostile, hostile}));
}
