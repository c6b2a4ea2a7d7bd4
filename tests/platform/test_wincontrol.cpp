#include "platform/widgets/CustomEdit.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/kernel/KeyPreview.h"
#include "platform/widgets/Label.h"
#include "platform/widgets/PopupMenu.h"
#include "platform/kernel/VirtualKeys.h"
#include "platform/widgets/WinControl.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A plain windowed control.
class Panel : public TWinControlOf<QWidget> {
public:
    explicit Panel(QWidget* parent, const QString& name = QString()) : TWinControlOf<QWidget>(parent, name) { }
    int resizes = 0;

protected:
    void Resize() override { ++resizes; }
};

class ShownWindow : public QWidget {
public:
    ShownWindow()
    {
        resize(400, 300);
        move(250, 150);
    }
    void ShowActive()
    {
        show();
        activateWindow();
        QApplication::setActiveWindow(this);
        testsupport::WaitUntil([this] { return isActiveWindow(); }, 5000);
    }
};

TEST(VirtualKeys, QtKeysMapToTheVirtualKeysOfTheControls)
{
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Up), Win::VK_UP);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Down), 40);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_PageUp), Win::VK_PRIOR);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_PageDown), Win::VK_NEXT);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Return), Win::VK_RETURN);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Enter), Win::VK_RETURN);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Delete), 46);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F4), 115);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_A), 'A');
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_7), '7');
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_7, Qt::KeypadModifier), Win::VK_NUMPAD0 + 7);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Backtab), Win::VK_TAB);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Exclam), '1');
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_unknown), 0);
    for (int vk : {int(Win::VK_UP), int(Win::VK_DOWN), int(Win::VK_PRIOR), int(Win::VK_NEXT), int(Win::VK_TAB),
                   int(Win::VK_RETURN), int(Win::VK_DELETE), int(Win::VK_F4), int('Q'), int('5'), int(Win::VK_ESCAPE),
                   int(Win::VK_HOME), int(Win::VK_END)})
        EXPECT_EQ(VirtualKeyFromQt(QtKeyFromVirtualKey(vk)), vk) << vk;
    EXPECT_EQ(ShiftStateFromQt(Qt::ShiftModifier | Qt::ControlModifier, Qt::LeftButton),
              (TShiftState{TShiftStateItem::ssShift, TShiftStateItem::ssCtrl, TShiftStateItem::ssLeft}));
    EXPECT_EQ(QtModifiersFromShiftState({TShiftStateItem::ssAlt}), Qt::AltModifier);
}

TEST(VirtualKeys, KeysGiveTheCharactersOfThePlatformsCharacterMessages)
{
    auto chars = [](int key, Qt::KeyboardModifiers mods, const QString& text) {
        return CharactersOfKey(QKeyEvent(QEvent::KeyPress, key, mods, text));
    };
    EXPECT_EQ(chars(Qt::Key_V, Qt::ControlModifier, QStringLiteral("v")), QList<TKeyChar>{0x16});
    EXPECT_EQ(chars(Qt::Key_A, Qt::NoModifier, QStringLiteral("a")), QList<TKeyChar>{U'a'});
    EXPECT_TRUE(chars(Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f")).isEmpty());
    EXPECT_TRUE(chars(Qt::Key_Up, Qt::NoModifier, QString()).isEmpty());
    EXPECT_TRUE(chars(Qt::Key_A, Qt::AltModifier, QStringLiteral("a")).isEmpty());
    EXPECT_EQ(chars(Qt::Key_Backspace, Qt::NoModifier, QString()), QList<TKeyChar>{8});
    EXPECT_EQ(chars(Qt::Key_Return, Qt::NoModifier, QString()), QList<TKeyChar>{13});
    EXPECT_EQ(chars(Qt::Key_unknown, Qt::NoModifier, QStringLiteral("\u00e9")), QList<TKeyChar>{0xE9});
    // A character beyond 16 bits is one character, not two halves.
    EXPECT_EQ(chars(Qt::Key_unknown, Qt::NoModifier, QString::fromUcs4(U"\U0001F600")), QList<TKeyChar>{0x1F600});
    EXPECT_EQ(KeyCharText(0x1F600), QString::fromUcs4(U"\U0001F600"));
}

TEST(WinControl, ColourAndFontFollowTheParentUntilSetOwn)
{
    QWidget top;
    Panel parent(&top, QStringLiteral("pnParent"));
    Panel child(&parent, QStringLiteral("pnChild"));
    EXPECT_EQ(child.Name(), QStringLiteral("pnChild"));
    EXPECT_EQ(child.objectName(), QStringLiteral("pnChild"));

    child.SetParentColor(true);
    parent.SetColor(clYellow);
    EXPECT_EQ(child.Color(), clYellow);
    EXPECT_EQ(child.palette().color(QPalette::Window), ToQColor(clYellow));
    child.SetColor(clRed);
    EXPECT_FALSE(child.ParentColor());
    parent.SetColor(clLime);
    EXPECT_EQ(child.Color(), clRed);
    child.SetParentColor(true);
    EXPECT_EQ(child.Color(), clLime);

    EXPECT_TRUE(child.ParentFont());
    parent.Font().SetName(QStringLiteral("Tahoma"));
    parent.Font().SetSize(12);
    EXPECT_EQ(child.Font().Size(), 12);
    EXPECT_EQ(child.Font().Name(), QStringLiteral("Tahoma"));
    child.Font().SetStyle({TFontStyle::fsBold});
    EXPECT_FALSE(child.ParentFont());
    parent.Font().SetSize(9);
    EXPECT_EQ(child.Font().Size(), 12);
    EXPECT_TRUE(child.font().bold());
}

TEST(WinControl, ClientAreaLiesInsideTheBorder)
{
    QWidget top;
    Panel panel(&top);
    panel.SetBounds(10, 20, 100, 50);
    EXPECT_EQ(panel.BorderWidth(), 0);
    EXPECT_EQ(panel.clientRect(), TRect(0, 0, 100, 50));

    Panel child(&panel);
    child.SetBounds(5, 6, 20, 10);
    EXPECT_EQ(child.geometry(), QRect(5, 6, 20, 10));

    panel.SetBorderStyle(TBorderStyle::bsSingle);
    EXPECT_EQ(panel.BorderWidth(), 2);
    EXPECT_EQ(panel.clientRect(), TRect(0, 0, 96, 46));
    EXPECT_EQ(panel.ClientWidth(), 96);
    // The child keeps its place in client coordinates.
    EXPECT_EQ(child.Left(), 5);
    EXPECT_EQ(child.Top(), 6);
    EXPECT_EQ(child.geometry(), QRect(7, 8, 20, 10));

    panel.SetCtl3D(false);
    EXPECT_EQ(panel.BorderWidth(), 1);
    EXPECT_EQ(child.geometry(), QRect(6, 7, 20, 10));

    panel.SetCtl3D(true);
    panel.PlaceChild(&child, Bounds(0, 0, 30, 12));
    EXPECT_EQ(child.geometry(), QRect(2, 2, 30, 12));
    EXPECT_GT(panel.resizes, 0);
}

TEST(WinControl, EnabledAndVisibleActOnTheAttachedLabel)
{
    ShownWindow top;
    Panel control(&top, QStringLiteral("pnControl"));
    TLabel label(&top, QStringLiteral("lbControl"));
    label.SetCaption(QStringLiteral("Beds"));
    control.AttachLabel(&label);
    top.show();

    control.SetEnabled(false);
    EXPECT_FALSE(control.Enabled());
    EXPECT_FALSE(label.Enabled());
    control.SetEnabled(true);
    EXPECT_TRUE(label.Enabled());
    control.SetVisible(false);
    EXPECT_FALSE(label.isVisible());
    control.SetVisible(true);
    EXPECT_TRUE(label.isVisible());
    // Qt's own hide and show act the same.
    control.hide();
    EXPECT_FALSE(label.isVisible());
    control.show();
    EXPECT_TRUE(label.isVisible());

    // A disabled parent leaves the control's own flag alone.
    top.setEnabled(false);
    EXPECT_TRUE(control.Enabled());
    top.setEnabled(true);
}

TEST(WinControl, LabelsSizeToTheirCaption)
{
    QWidget top;
    TLabel label(&top);
    label.SetCaption(QStringLiteral("Price"));
    EXPECT_EQ(label.Width(), label.CanvasTextWidth(QStringLiteral("Price")));
    EXPECT_EQ(label.Height(), TWinControl::TextMetricsOf(label.Font()).tmHeight);
    const int narrow = label.Width();
    label.Font().SetSize(16);
    EXPECT_GT(label.Width(), narrow);
}

TEST(WinControl, KeysPassKeyDownKeyPressAndKeyUp)
{
    ShownWindow top;
    TCustomEdit edit(&top, QStringLiteral("edName"));
    top.ShowActive();
    edit.SetFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return edit.hasFocus(); }));

    QList<int> downs, ups;
    QList<TKeyChar> presses;
    edit.OnKeyDown = [&](QObject* sender, int& key, TShiftState) {
        EXPECT_EQ(sender, &edit);
        downs.append(key);
        if (key == Win::VK_DELETE) key = 0; // consumed
    };
    edit.OnKeyPress = [&](QObject*, TKeyChar& key) {
        presses.append(key);
        if (key == U'a') key = U'b';
        if (key == U'x') key = 0;
    };
    edit.OnKeyUp = [&](QObject*, int& key, TShiftState) { ups.append(key); };

    edit.SetText(QString());
    QTest::keyClick(&edit, Qt::Key_A);
    QTest::keyClick(&edit, Qt::Key_X);
    QTest::keyClick(&edit, Qt::Key_C);
    EXPECT_EQ(edit.Text(), QStringLiteral("bc"));
    EXPECT_EQ(downs, (QList<int>{'A', 'X', 'C'}));
    EXPECT_EQ(presses, (QList<TKeyChar>{U'a', U'x', U'c'}));
    EXPECT_EQ(ups, (QList<int>{'A', 'X', 'C'}));

    // A consumed key-down gets no handling of its own.
    edit.SetSelStart(0);
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.Text(), QStringLiteral("bc"));

    // The real character, also beyond U+00FF.
    presses.clear();
    QKeyEvent zhe(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("\u0416"));
    QApplication::sendEvent(&edit, &zhe);
    EXPECT_EQ(presses, QList<TKeyChar>{0x416});
    EXPECT_TRUE(edit.Text().contains(QChar(0x416)));
}

TEST(WinControl, EnterAndExitOncePerFocusChangeBetweenControls)
{
    ShownWindow top;
    TCustomEdit first(&top, QStringLiteral("edFirst"));
    TCustomEdit second(&top, QStringLiteral("edSecond"));
    second.SetBounds(0, 40, 100, 21);
    QStringList log;
    first.OnEnter = [&](QObject*) { log << QStringLiteral("enter first"); };
    first.OnExit = [&](QObject*) { log << QStringLiteral("exit first"); };
    second.OnEnter = [&](QObject*) { log << QStringLiteral("enter second"); };
    top.ShowActive();
    first.SetFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return first.hasFocus(); }));
    // A popup taking the focus for a while is no exit.
    QFocusEvent popupOut(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(&first, &popupOut);
    QFocusEvent popupBack(QEvent::FocusIn, Qt::PopupFocusReason);
    QApplication::sendEvent(&first, &popupBack);
    second.SetFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return second.hasFocus(); }));
    EXPECT_EQ(
        log,
        (QStringList{QStringLiteral("enter first"), QStringLiteral("exit first"), QStringLiteral("enter second")}));
}

TEST(WinControl, PopupMenuAndBeepGoThroughTheDialogLayer)
{
    ScopedDialogResponder dialogs;
    ShownWindow top;
    Panel control(&top);
    control.SetBounds(10, 10, 50, 20);
    TPopupMenu menu({QStringLiteral("One"), QStringLiteral("Two")});
    int chosen = -1;
    menu.OnClick = [&](QObject*, int index) { chosen = index; };
    control.SetPopupMenu(&menu);
    top.ShowActive();
    dialogs.NextMenuChoice(1);
    QContextMenuEvent ev(QContextMenuEvent::Mouse, QPoint(5, 5), control.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&control, &ev);
    EXPECT_EQ(chosen, 1);
    ASSERT_EQ(dialogs.Count(DialogRequest::Kind::PopupMenu), 1);
    EXPECT_EQ(dialogs.Shown().last().position, control.mapToGlobal(QPoint(5, 5)));

    // A menu destroyed while assigned is forgotten, not shown from freed memory.
    auto* gone = new TPopupMenu({QStringLiteral("Gone")});
    control.SetPopupMenu(gone);
    delete gone;
    EXPECT_EQ(control.PopupMenu(), nullptr);
    QApplication::sendEvent(&control, &ev);
    EXPECT_EQ(dialogs.Count(DialogRequest::Kind::PopupMenu), 1);

    TWinControl::MessageBeep();
    EXPECT_EQ(dialogs.Beeps(), 1);
}

// A window that previews its controls' keys.
class PreviewWindow : public ShownWindow, public TKeyPreview {
public:
    bool preview = true;
    QList<int> downs, ups;
    bool KeyPreview() const override { return preview; }
    void PreviewKeyDown(int& key, TShiftState) override
    {
        downs.append(key);
        if (key == Win::VK_DELETE) key = 0;
    }
    void PreviewKeyPress(TKeyChar& key) override
    {
        if (key == U'a') key = U'z';
        if (key == U'q') key = 0;
    }
    void PreviewKeyUp(int& key, TShiftState) override { ups.append(key); }
};

TEST(WinControl, TheWindowsKeyPreviewComesFirst)
{
    PreviewWindow top;
    TCustomEdit edit(&top, QStringLiteral("edPreview"));
    QList<int> controlDowns;
    edit.OnKeyDown = [&](QObject*, int& key, TShiftState) { controlDowns.append(key); };
    top.ShowActive();
    edit.SetFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return edit.hasFocus(); }));
    edit.SetText(QStringLiteral("xy"));
    edit.SetSelStart(0);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QTest::keyClick(&edit, Qt::Key_A);
    QTest::keyClick(&edit, Qt::Key_Q);
    EXPECT_EQ(edit.Text(), QStringLiteral("zxy"));
    EXPECT_EQ(top.downs, (QList<int>{Win::VK_DELETE, 'A', 'Q'}));
    EXPECT_EQ(controlDowns, (QList<int>{'A', 'Q'}));
    EXPECT_EQ(top.ups, (QList<int>{Win::VK_DELETE, 'A', 'Q'}));
    top.preview = false;
    QTest::keyClick(&edit, Qt::Key_A);
    EXPECT_EQ(edit.Text(), QStringLiteral("zaxy"));
    EXPECT_EQ(top.downs.size(), 3);
}

TEST(WinControl, FocusControlIsClearedWhenItGoes)
{
    QWidget top;
    Panel control(&top);
    auto* target = new QLineEdit(&top);
    control.SetFocusControl(target);
    EXPECT_EQ(control.FocusControl(), target);
    delete target;
    EXPECT_EQ(control.FocusControl(), nullptr);
}

} // namespace
