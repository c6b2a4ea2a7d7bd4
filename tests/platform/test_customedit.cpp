#include "platform/widgets/CustomEdit.h"
#include "platform/dialogs/Dialogs.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// An edit whose paste and cut can be switched off, as the controls do.
class GatedEdit : public TCustomEdit {
public:
    explicit GatedEdit(QWidget* parent) : TCustomEdit(parent, QStringLiteral("edGated")) { }
    bool allowed = true;

protected:
    bool PasteAllowed() const override { return allowed && !ReadOnly(); }
    bool CutAllowed() const override { return allowed && !ReadOnly(); }
};

class CustomEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        top.resize(300, 200);
        top.move(200, 100);
        edit = new GatedEdit(&top);
        top.show();
        QApplication::setActiveWindow(&top);
        ASSERT_TRUE(testsupport::WaitUntil([&] { return top.isActiveWindow(); }));
        edit->setFocus();
        ASSERT_TRUE(testsupport::WaitUntil([&] { return edit->hasFocus(); }));
        QGuiApplication::clipboard()->setText(QStringLiteral("PASTED"));
    }

    void ContextMenu()
    {
        QContextMenuEvent ev(QContextMenuEvent::Mouse, QPoint(3, 3), edit->mapToGlobal(QPoint(3, 3)));
        QApplication::sendEvent(edit, &ev);
    }

    bool Drop(const QString& text)
    {
        QMimeData mime;
        mime.setText(text);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &enter);
        const bool accepted = enter.isAccepted();
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &drop);
        return accepted;
    }

    ScopedDialogResponder dialogs;
    QWidget top;
    GatedEdit* edit = nullptr;
};

TEST_F(CustomEditTest, PasteAndCutPassTheGateOnEveryRoute)
{
    edit->allowed = false;
    edit->SetText(QStringLiteral("abc"));
    edit->SelectAll();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(edit->Text(), QStringLiteral("abc"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("PASTED"));

    // The context menu offers neither, and no delete.
    ContextMenu();
    ASSERT_EQ(dialogs.Count(DialogRequest::Kind::PopupMenu), 1);
    const QStringList items = dialogs.Shown().last().items;
    EXPECT_FALSE(items.contains(QStringLiteral("&Paste")));
    EXPECT_FALSE(items.contains(QStringLiteral("Cu&t")));
    EXPECT_FALSE(items.contains(QStringLiteral("&Delete")));
    EXPECT_TRUE(items.contains(QStringLiteral("&Copy")));

    // Dropped text is refused.
    EXPECT_FALSE(Drop(QStringLiteral("DROPPED")));
    EXPECT_EQ(edit->Text(), QStringLiteral("abc"));

    // The middle button pastes nothing.
    QTest::mouseClick(edit, Qt::MiddleButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(edit->Text(), QStringLiteral("abc"));
}

TEST_F(CustomEditTest, AllowedPasteAndCutWork)
{
    edit->SetText(QStringLiteral("abc"));
    edit->SelectAll();
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), QString());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("abc"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(edit->Text(), QStringLiteral("abcabc"));

    // The menu's Paste.
    QGuiApplication::clipboard()->setText(QStringLiteral("Z"));
    edit->SetSelStart(0);
    ContextMenu();
    const QStringList items = dialogs.Shown().last().items;
    const int paste = int(items.indexOf(QStringLiteral("&Paste")));
    ASSERT_GE(paste, 0);
    dialogs.NextMenuChoice(paste);
    ContextMenu();
    EXPECT_EQ(edit->Text(), QStringLiteral("Zabcabc"));

    EXPECT_TRUE(Drop(QStringLiteral("D")));
    EXPECT_TRUE(edit->Text().contains(u'D'));
}

TEST_F(CustomEditTest, QtsOwnEditingShortcutsDoNothing)
{
    edit->SetText(QStringLiteral("one two three"));
    edit->SetSelStart(4);
    QTest::keyClick(edit, Qt::Key_U, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_K, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace, Qt::AltModifier);
    QTest::keyClick(edit, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), QStringLiteral("one two three"));
    // Navigation still works; so do Delete and Backspace.
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(edit->Text(), QStringLiteral("ne two thre"));
}

TEST_F(CustomEditTest, UndoPassesTheGateToo)
{
    edit->SetText(QString());
    QTest::keyClicks(edit, QStringLiteral("12"));
    edit->allowed = false;
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), QStringLiteral("12"));
    edit->allowed = true;
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(edit->Text(), QStringLiteral("12"));
}

TEST_F(CustomEditTest, SelectionCountsAsThePlatformDoes)
{
    edit->SetText(QStringLiteral("hello"));
    edit->SetSelStart(1);
    edit->SetSelLength(3);
    EXPECT_EQ(edit->SelStart(), 1);
    EXPECT_EQ(edit->SelLength(), 3);
    EXPECT_EQ(edit->SelText(), QStringLiteral("ell"));
    edit->SetSelLength(0);
    EXPECT_EQ(edit->SelStart(), 1);
    edit->SetReadOnly(true);
    QTest::keyClick(edit, Qt::Key_Q);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->Text(), QStringLiteral("hello"));
}

TEST_F(CustomEditTest, ChangeFiresForTypingAndForCode)
{
    int changes = 0;
    edit->OnChange = [&](QObject*) { ++changes; };
    edit->SetText(QStringLiteral("a"));
    EXPECT_EQ(changes, 1);
    edit->SetText(QStringLiteral("a"));
    EXPECT_EQ(changes, 1);
    QTest::keyClick(edit, Qt::Key_B);
    EXPECT_EQ(changes, 2);
}

TEST_F(CustomEditTest, ALetterCaseTurnsEveryTextPutIn)
{
    edit->SetText(QStringLiteral("mixed Text"));
    QStringList changes;
    edit->OnChange = [&](QObject*) { changes << edit->Text(); };
    // The current text at once, reported as one change.
    edit->SetCharCase(TEditCharCase::ecUpperCase);
    EXPECT_EQ(edit->Text(), QStringLiteral("MIXED TEXT"));
    EXPECT_EQ(changes, QStringList{QStringLiteral("MIXED TEXT")});

    // Typed, pasted by key, pasted from the menu, dropped, set by code.
    edit->SetText(QString());
    QTest::keyClicks(edit, QStringLiteral("ab"));
    QGuiApplication::clipboard()->setText(QStringLiteral("cd"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QGuiApplication::clipboard()->setText(QStringLiteral("ef"));
    ContextMenu();
    dialogs.NextMenuChoice(int(dialogs.Shown().last().items.indexOf(QStringLiteral("&Paste"))));
    ContextMenu();
    EXPECT_EQ(edit->Text(), QStringLiteral("ABCDEF"));
    edit->SetSelStart(int(edit->Text().size()));
    EXPECT_TRUE(Drop(QStringLiteral("gh")));
    EXPECT_EQ(edit->Text().toUpper(), edit->Text());
    EXPECT_TRUE(edit->Text().contains(QStringLiteral("GH")));
    EXPECT_EQ(edit->Text().size(), 8);
    changes.clear();
    edit->SetText(QStringLiteral("ijk"));
    EXPECT_EQ(changes, QStringList{QStringLiteral("IJK")});
    // Typing goes on at the caret after the text was turned.
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, QStringLiteral("l"));
    EXPECT_EQ(edit->Text(), QStringLiteral("IJKL"));

    edit->SetCharCase(TEditCharCase::ecLowerCase);
    EXPECT_EQ(edit->Text(), QStringLiteral("ijkl"));
    edit->SetCharCase(TEditCharCase::ecNormal);
    QTest::keyClicks(edit, QStringLiteral("M"));
    EXPECT_EQ(edit->Text(), QStringLiteral("ijklM"));
}

TEST_F(CustomEditTest, EditRectKeepsTheTextClearOfTheRightEdge)
{
    edit->SetBounds(0, 0, 120, 22);
    EXPECT_EQ(edit->BorderWidth(), 2);
    edit->SetEditRect(TRect(0, 0, 100, 19));
    EXPECT_EQ(edit->textMargins().right(), edit->ClientWidth() - 100);
    EXPECT_EQ(edit->EditRect(), TRect(0, 0, 100, 19));
}

TEST_F(CustomEditTest, EditMasksShapeTypedText)
{
    // Required and optional places swap their letters; literals that Qt
    // reads as places are escaped; the third field is the blank.
    EXPECT_EQ(TCustomEdit::InputMaskOf(QStringLiteral("!0099-L;1;*")), QStringLiteral("9900-A;*"));
    EXPECT_EQ(TCustomEdit::InputMaskOf(QStringLiteral(">Aa<>Cc\\0 N;0")), QStringLiteral(">Nn!Xx\\0 \\N;_"));
    EXPECT_EQ(TCustomEdit::InputMaskOf(QString()), QString());

    edit->SetEditMask(QStringLiteral("00-00;1;_"));
    edit->SetText(QString());
    edit->setCursorPosition(0);
    QTest::keyClicks(edit, QStringLiteral("1x234"));
    EXPECT_EQ(edit->Text(), QStringLiteral("12-34"));
    // No mask: any text, and the length limit again.
    edit->SetMaxLength(3);
    edit->SetEditMask(QString());
    edit->SetText(QString());
    QTest::keyClicks(edit, QStringLiteral("abcdef"));
    EXPECT_EQ(edit->Text(), QStringLiteral("abc"));
}

} // namespace
