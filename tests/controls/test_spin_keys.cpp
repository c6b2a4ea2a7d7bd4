// The spin edits under the keyboard, the mouse and the clipboard, in a
// shown window with pinned regional settings.

#include "controls/EsgSpinEdit.h"
#include "controls/ExtSpinEdit.h"
#include "platform/kernel/KeyPreview.h"
#include "platform/graphics/Themes.h"
#include "tests/controls/EditTestHost.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QMimeData>
#include <QTimer>
#include <gtest/gtest.h>

using namespace edittest;

namespace {

class SpinKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        edit = new TExtSpinEdit(&host, QStringLiteral("edBedLow"));
        edit->SetBounds(10, 10, 100, 24);
        next = new TExtSpinEdit(&host, QStringLiteral("edBedHigh"));
        next->SetBounds(10, 50, 100, 24);
        grid = new TEsgSpinEdit(&host, QStringLiteral("edGridSpin"));
        grid->SetBounds(10, 90, 100, 24);
        host.ShowActive();
        Focus(edit);
    }

    void Focus(QWidget* w)
    {
        w->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(testsupport::WaitUntil([w] { return w->hasFocus(); }));
    }

    void Type(QWidget* w, const QString& text) { QTest::keyClicks(w, text); }

    void SetTextAt(TCustomEdit* e, const QString& text, int caret)
    {
        e->SetText(text);
        e->SetSelStart(caret);
    }

    ScopedRegionalSettings locale{MonthFirst()};
    ScopedDialogResponder dialogs;
    Host host;
    TExtSpinEdit* edit = nullptr;
    TExtSpinEdit* next = nullptr;
    TEsgSpinEdit* grid = nullptr;
};

// ---------------------------------------------------------------------------
// Characters

TEST_F(SpinKeys, RefusedCharactersBeepAndLeaveTheText)
{
    SetTextAt(edit, QStringLiteral("12"), 2);
    Type(edit, QStringLiteral("a"));
    Type(edit, QStringLiteral("/"));
    Type(edit, QStringLiteral(":"));
    EXPECT_EQ(edit->Text(), QStringLiteral("12"));
    EXPECT_EQ(dialogs.Beeps(), 3);
    Type(edit, QStringLiteral("3"));
    EXPECT_EQ(edit->Text(), QStringLiteral("123"));
    EXPECT_EQ(dialogs.Beeps(), 3);
}

TEST_F(SpinKeys, FloatSeparatorsAreTypedAsTheLocaleSays)
{
    edit->SetSpinType(sptFloat);
    edit->SetPrecision(2);
    SetTextAt(edit, QStringLiteral("1"), 1);
    // The thousand separator becomes the decimal separator.
    Type(edit, QStringLiteral(","));
    EXPECT_EQ(edit->Text(), QStringLiteral("1."));
    Type(edit, QStringLiteral("25"));
    EXPECT_EQ(edit->Text(), QStringLiteral("1.25"));
    // A third decimal and a second separator are refused.
    Type(edit, QStringLiteral("3"));
    Type(edit, QStringLiteral("."));
    EXPECT_EQ(edit->Text(), QStringLiteral("1.25"));
    EXPECT_EQ(dialogs.Beeps(), 2);
    // Digits before the separator still go in.
    edit->SetSelStart(0);
    Type(edit, QStringLiteral("2"));
    EXPECT_EQ(edit->Text(), QStringLiteral("21.25"));

    // The key-press event sees the character the edit receives.
    QList<TKeyChar> seen;
    edit->OnKeyPress = [&](QObject*, TKeyChar& key) { seen.append(key); };
    SetTextAt(edit, QStringLiteral("7"), 1);
    Type(edit, QStringLiteral(","));
    EXPECT_EQ(seen, QList<TKeyChar>{U'.'});

    // With precision 0 no separator can be typed.
    edit->SetPrecision(0);
    SetTextAt(edit, QStringLiteral("7"), 1);
    Type(edit, QStringLiteral("."));
    EXPECT_EQ(edit->Text(), QStringLiteral("7"));

    // The grid's editor takes one separator whatever its precision.
    Focus(grid);
    grid->SetSpinType(sptFloat);
    SetTextAt(grid, QStringLiteral("1.25"), 4);
    grid->SetPrecision(2);
    Type(grid, QStringLiteral("3"));
    EXPECT_EQ(grid->Text(), QStringLiteral("1.25"));
    grid->SetPrecision(0);
    SetTextAt(grid, QStringLiteral("7"), 1);
    Type(grid, QStringLiteral(","));
    Type(grid, QStringLiteral(","));
    EXPECT_EQ(grid->Text(), QStringLiteral("7."));
}

TEST_F(SpinKeys, DayFirstSeparatorsOfAFloat)
{
    ScopedRegionalSettings dayFirst(DayFirst());
    edit->SetSpinType(sptFloat);
    edit->SetPrecision(1);
    SetTextAt(edit, QStringLiteral("3"), 1);
    // "." is the thousand separator here (and the date separator): it
    // becomes ",".
    Type(edit, QStringLiteral("."));
    Type(edit, QStringLiteral("5"));
    EXPECT_EQ(edit->Text(), QStringLiteral("3,5"));
    EXPECT_EQ(edit->FloatValue(), 3.5);
}

TEST_F(SpinKeys, MinusTogglesTheSignOnlyWhenSigned)
{
    SetTextAt(edit, QStringLiteral("12"), 1);
    Type(edit, QStringLiteral("-"));
    EXPECT_EQ(edit->Text(), QStringLiteral("12"));
    Type(edit, QStringLiteral("+"));
    EXPECT_EQ(edit->Text(), QStringLiteral("12"));
    edit->SetSigned(true);
    edit->SetMinValue(-100);
    Type(edit, QStringLiteral("-"));
    EXPECT_EQ(edit->Text(), QStringLiteral("-12"));
    EXPECT_EQ(edit->SelStart(), 2);
    EXPECT_EQ(edit->Value(), -12);
    Type(edit, QStringLiteral("-"));
    EXPECT_EQ(edit->Text(), QStringLiteral("12"));
    EXPECT_EQ(edit->SelStart(), 1);
    Type(edit, QStringLiteral("+"));
    EXPECT_EQ(edit->Text(), QStringLiteral("12"));
    EXPECT_EQ(dialogs.Beeps(), 0);
    // A read-only edit keeps its sign.
    edit->SetReadOnly(true);
    Type(edit, QStringLiteral("-"));
    EXPECT_EQ(edit->Text(), QStringLiteral("12"));
    EXPECT_EQ(dialogs.Beeps(), 1);

    // The grid's editor types them as they are.
    Focus(grid);
    SetTextAt(grid, QStringLiteral("5"), 0);
    Type(grid, QStringLiteral("-"));
    EXPECT_EQ(grid->Text(), QStringLiteral("-5"));
}

TEST_F(SpinKeys, TheHexPrefixStays)
{
    edit->SetSpinType(sptHex);
    edit->SetHexValue(0xAB);
    SetTextAt(edit, edit->Text(), 2);
    QTest::keyClick(edit, Qt::Key_Backspace);
    edit->SetSelStart(1);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClick(edit, Qt::Key_Backspace);
    edit->SetSelStart(0);
    Type(edit, QStringLiteral("1"));
    EXPECT_EQ(edit->Text(), QStringLiteral("0xAB"));
    edit->SetSelStart(4);
    Type(edit, QStringLiteral("g"));
    EXPECT_EQ(edit->Text(), QStringLiteral("0xAB"));
    Type(edit, QStringLiteral("c"));
    EXPECT_EQ(edit->Text(), QStringLiteral("0xABc"));
    EXPECT_EQ(edit->HexValue(), 0xABC);
    // Qt's own shortcuts cannot take it away either.
    QTest::keyClick(edit, Qt::Key_U, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), QStringLiteral("0xABc"));
    EXPECT_GE(dialogs.Beeps(), 4);
}

TEST_F(SpinKeys, TimeAndDateSeparatorsBelongToTheirKinds)
{
    edit->SetSpinType(sptTime);
    SetTextAt(edit, QStringLiteral("12"), 2);
    Type(edit, QStringLiteral(":30"));
    EXPECT_EQ(edit->Text(), QStringLiteral("12:30"));
    // A second separator is refused in the form's edit...
    Type(edit, QStringLiteral(":"));
    EXPECT_EQ(edit->Text(), QStringLiteral("12:30"));
    // ...and a third in the grid's.
    Focus(grid);
    grid->SetSpinType(sptTime);
    SetTextAt(grid, QStringLiteral("12"), 2);
    Type(grid, QStringLiteral(":30:15:"));
    EXPECT_EQ(grid->Text(), QStringLiteral("12:30:15"));
    grid->SetSpinType(sptDate);
    SetTextAt(grid, QStringLiteral("1"), 1);
    Type(grid, QStringLiteral("/2:"));
    EXPECT_EQ(grid->Text(), QStringLiteral("1/2"));
}

// ---------------------------------------------------------------------------
// Editor disabled

TEST_F(SpinKeys, WithTheEditorDisabledNothingIsTypedPastedOrCutButTheButtonsStep)
{
    edit->SetEditorEnabled(false);
    edit->SetValue(5);
    QGuiApplication::clipboard()->setText(QStringLiteral("99"));
    SetTextAt(edit, edit->Text(), 1);
    Type(edit, QStringLiteral("7"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Delete);
    edit->SetSelStart(0);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
    edit->SelectAll();
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete, Qt::ShiftModifier);
    QTest::keyClick(edit, Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), QStringLiteral("5"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("99"));

    // The context menu offers no paste or cut.
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(3, 3), edit->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(edit, &menu);
    ASSERT_EQ(dialogs.Count(DialogRequest::Kind::PopupMenu), 1);
    EXPECT_FALSE(dialogs.Shown().last().items.contains(QStringLiteral("&Paste")));
    EXPECT_FALSE(dialogs.Shown().last().items.contains(QStringLiteral("Cu&t")));

    // Nothing is dropped in.
    QMimeData mime;
    mime.setText(QStringLiteral("42"));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &enter);
    EXPECT_FALSE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &drop);
    EXPECT_EQ(edit->Text(), QStringLiteral("5"));
    QTest::mouseClick(edit, Qt::MiddleButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(edit->Text(), QStringLiteral("5"));

    // The buttons and the arrows still step.
    QWidget* up = edit->Button()->UpButton();
    QTest::mouseClick(up, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(edit->Value(), 6);
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->Value(), 7);

    // The same for the grid's editor.
    Focus(grid);
    grid->SetEditorEnabled(false);
    grid->SetValue(3);
    Type(grid, QStringLiteral("1"));
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    grid->SetSelStart(0);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(grid->Text(), QStringLiteral("3"));
    QTest::mouseClick(grid->Button()->UpButton(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(grid->Value(), 4);
}

// ---------------------------------------------------------------------------
// Step keys

TEST_F(SpinKeys, StepKeysKeepTheCaret)
{
    edit->SetMaxValue(1000);
    SetTextAt(edit, QStringLiteral("50"), 1);
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->Text(), QStringLiteral("51"));
    EXPECT_EQ(edit->SelStart(), 1);
    QTest::keyClick(edit, Qt::Key_PageUp);
    EXPECT_EQ(edit->Text(), QStringLiteral("61"));
    EXPECT_EQ(edit->SelStart(), 1);
    QTest::keyClick(edit, Qt::Key_PageDown);
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->Text(), QStringLiteral("50"));
    EXPECT_EQ(edit->SelStart(), 1);
    EXPECT_TRUE(edit->Modified());

    // A selection stays as it was.
    edit->SetSelStart(0);
    edit->SetSelLength(1);
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->SelStart(), 0);
    EXPECT_EQ(edit->SelLength(), 1);

    // Smart steps follow the caret.
    edit->SetIncrementSmart(true);
    SetTextAt(edit, QStringLiteral("123"), 2);
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->Text(), QStringLiteral("133"));
    QTest::keyClick(edit, Qt::Key_PageDown);
    EXPECT_EQ(edit->Text(), QStringLiteral("123"));

    // Float page steps.
    edit->SetIncrementSmart(false);
    edit->SetSpinType(sptFloat);
    edit->SetFloatValue(1.5);
    QTest::keyClick(edit, Qt::Key_PageUp);
    EXPECT_EQ(edit->Text(), QStringLiteral("2.5"));

    // The grid's editor steps with Up and Down only, caret kept.
    Focus(grid);
    SetTextAt(grid, QStringLiteral("40"), 1);
    QTest::keyClick(grid, Qt::Key_Up);
    EXPECT_EQ(grid->Text(), QStringLiteral("41"));
    EXPECT_EQ(grid->SelStart(), 1);
    QTest::keyClick(grid, Qt::Key_PageUp);
    EXPECT_EQ(grid->Text(), QStringLiteral("41"));
}

TEST_F(SpinKeys, PageAndSmartStepsOfAReadOnlyEditBeep)
{
    edit->SetValue(5);
    edit->SetReadOnly(true);
    QTest::keyClick(edit, Qt::Key_PageUp);
    edit->SetIncrementSmart(true);
    edit->SetSelStart(1);
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->Value(), 5);
    EXPECT_EQ(dialogs.Beeps(), 2);
}

TEST_F(SpinKeys, KeyDownSeesTheStepKeysOfTheFormsEditButNotOfTheGrids)
{
    QList<int> formKeys, gridKeys;
    edit->OnKeyDown = [&](QObject*, int& key, TShiftState) { formKeys.append(key); };
    grid->OnKeyDown = [&](QObject*, int& key, TShiftState) { gridKeys.append(key); };
    QTest::keyClick(edit, Qt::Key_Up);
    QTest::keyClick(edit, Qt::Key_Right);
    Focus(grid);
    QTest::keyClick(grid, Qt::Key_Up);
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Right);
    EXPECT_EQ(formKeys, (QList<int>{Win::VK_UP, Win::VK_RIGHT}));
    EXPECT_EQ(gridKeys, QList<int>{Win::VK_RIGHT});
    EXPECT_EQ(grid->Value(), 0);
}

// A form that previews the keys of its controls.
class PreviewHost : public Host, public TKeyPreview {
public:
    QList<int> keys;
    bool KeyPreview() const override { return true; }
    void PreviewKeyDown(int& key, TShiftState) override { keys.append(key); }
    void PreviewKeyPress(TKeyChar&) override { }
    void PreviewKeyUp(int&, TShiftState) override { }
};

TEST(SpinPreview, TheFormSeesTheFormsEditsStepKeysButNotTheGridEditors)
{
    ScopedRegionalSettings locale(MonthFirst());
    PreviewHost host;
    TExtSpinEdit edit(&host, QStringLiteral("edSold"));
    TEsgSpinEdit grid(&host, QStringLiteral("edGrid"));
    grid.SetBounds(0, 40, 100, 24);
    host.ShowActive();
    edit.setFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return edit.hasFocus(); }));
    QTest::keyClick(&edit, Qt::Key_PageUp);
    QTest::keyClick(&edit, Qt::Key_Return);
    grid.setFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return grid.hasFocus(); }));
    QTest::keyClick(&grid, Qt::Key_Up);
    QTest::keyClick(&grid, Qt::Key_Left);
    EXPECT_EQ(host.keys, (QList<int>{Win::VK_PRIOR, Win::VK_RETURN, Win::VK_LEFT}));
    EXPECT_EQ(edit.Value(), 10);
    EXPECT_EQ(grid.Value(), 1);
}

TEST_F(SpinKeys, EnterMovesOnLikeTabWithReturnIsTab)
{
    QList<TKeyChar> pressed;
    edit->OnKeyPress = [&](QObject*, TKeyChar& key) { pressed.append(key); };
    QList<int> downs;
    edit->OnKeyDown = [&](QObject*, int& key, TShiftState) { downs.append(key); };

    // Without it, Enter stays in the edit and reaches only OnKeyPress.
    QTest::keyClick(edit, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(pressed, QList<TKeyChar>{13});
    EXPECT_EQ(edit->Text(), QStringLiteral("0"));
    EXPECT_EQ(dialogs.Beeps(), 0);

    edit->SetReturnIsTab(true);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(downs.last(), Win::VK_TAB);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return next->hasFocus(); }));

    // The grid's editor likewise.
    grid->SetReturnIsTab(true);
    Focus(grid);
    QTest::keyClick(grid, Qt::Key_Return);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !grid->hasFocus(); }));
}

TEST_F(SpinKeys, LeavingClampsAndShowsWhatIsRead)
{
    edit->SetMinValue(10);
    edit->SetMaxValue(20);
    SetTextAt(edit, QStringLiteral("99"), 2);
    Focus(next);
    EXPECT_EQ(edit->Text(), QStringLiteral("20"));

    // A text that is no integer reads as the minimum: that is what shows.
    Focus(edit);
    edit->SetMinValue(0);
    edit->SetMaxValue(10000000);
    SetTextAt(edit, QString(), 0);
    Type(edit, QStringLiteral("10,000"));
    EXPECT_EQ(edit->Text(), QStringLiteral("10,000"));
    EXPECT_EQ(edit->Value(), 0);
    int exits = 0;
    edit->OnExit = [&](QObject*) { ++exits; };
    Focus(next);
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(edit->Text(), QStringLiteral("0"));
    EXPECT_EQ(edit->Value(), 0);

    // Floats, dates and hexadecimal texts likewise.
    edit->SetSpinType(sptFloat);
    edit->SetText(QStringLiteral("1.2.3"));
    Focus(edit);
    Focus(next);
    EXPECT_EQ(edit->Text(), QStringLiteral("0"));
    edit->SetSpinType(sptHex);
    edit->SetMinValue(0);
    edit->SetMaxValue(100);
    edit->SetText(QStringLiteral("0xFF"));
    Focus(edit);
    Focus(next);
    EXPECT_EQ(edit->Text(), QStringLiteral("0x64"));

    // The grid's editor too.
    grid->SetText(QStringLiteral("1,5"));
    Focus(grid);
    Focus(next);
    EXPECT_EQ(grid->Text(), QStringLiteral("0"));
}

TEST_F(SpinKeys, EnteringSelectsAllUnlessClickedIntoAnEnabledEditor)
{
    edit->SetValue(42);
    Focus(next);
    edit->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return edit->hasFocus(); }));
    EXPECT_EQ(edit->SelText(), QStringLiteral("42"));
    Focus(next);
    QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(4, 10));
    ASSERT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->SelLength(), 0);
    Focus(next);
    edit->SetAutoSelect(false);
    Focus(edit);
    EXPECT_EQ(edit->SelLength(), 0);
}

TEST_F(SpinKeys, AutoFocusTakesTheFocusWhenTheMouseComesIn)
{
    Focus(next);
    edit->SetAutoFocus(true);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(edit, &enter);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return edit->hasFocus(); }));
}

// ---------------------------------------------------------------------------
// Button pair under the mouse

class SpinRepeat : public SpinKeys {
protected:
    TExtTimerSpeedButton* Up() { return edit->Button()->UpButton(); }
};

TEST_F(SpinRepeat, AHeldHalfClicksAtOnceThenRepeats)
{
    Focus(next);
    TExtTimerSpeedButton* up = Up();
    QTest::mousePress(up, Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    EXPECT_EQ(edit->Value(), 1);
    // The focus went to the edit.
    EXPECT_TRUE(edit->hasFocus());
    ASSERT_NE(up->RepeatTimer(), nullptr);
    EXPECT_TRUE(up->RepeatTimer()->isActive());
    EXPECT_EQ(up->RepeatTimer()->interval(), 400);
    up->TimerExpired();
    EXPECT_EQ(edit->Value(), 2);
    EXPECT_EQ(up->RepeatTimer()->interval(), 100);
    up->TimerExpired();
    up->TimerExpired();
    EXPECT_EQ(edit->Value(), 4);
    QTest::mouseRelease(up, Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    EXPECT_FALSE(up->RepeatTimer()->isActive());
    // No click at release.
    EXPECT_EQ(edit->Value(), 4);
}

TEST_F(SpinRepeat, ReleasingBeforeTheFirstRepeatGivesOneClick)
{
    QTest::mouseClick(Up(), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    EXPECT_EQ(edit->Value(), 1);
    EXPECT_FALSE(Up()->RepeatTimer()->isActive());
    QTest::mouseClick(edit->Button()->DownButton(), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    EXPECT_EQ(edit->Value(), 0);
}

TEST_F(SpinRepeat, RepeatsStopWhileTheMouseIsOffAndResumeWhenItComesBack)
{
    TExtTimerSpeedButton* up = Up();
    QTest::mousePress(up, Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    EXPECT_EQ(edit->Value(), 1);
    QMouseEvent away(QEvent::MouseMove, QPointF(40, 40), up->mapToGlobal(QPointF(40, 40)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(up, &away);
    EXPECT_FALSE(up->IsDown());
    up->TimerExpired();
    up->TimerExpired();
    EXPECT_EQ(edit->Value(), 1);
    QMouseEvent back(QEvent::MouseMove, QPointF(4, 4), up->mapToGlobal(QPointF(4, 4)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(up, &back);
    EXPECT_TRUE(up->IsDown());
    up->TimerExpired();
    EXPECT_EQ(edit->Value(), 2);
    // Released off the half: no click either.
    QApplication::sendEvent(up, &away);
    QTest::mouseRelease(up, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    EXPECT_EQ(edit->Value(), 2);
    EXPECT_FALSE(up->RepeatTimer()->isActive());
}

TEST_F(SpinRepeat, AnErrorInAClickStopsTheRepeats)
{
    TExtSpinButton pair(&host, QStringLiteral("spPair"));
    pair.SetBounds(200, 10, 15, 30);
    pair.show();
    int clicks = 0;
    pair.OnUpClick = [&](QObject*) {
        if (++clicks == 2) throw Exception(QStringLiteral("step failed"));
    };
    TExtTimerSpeedButton* up = pair.UpButton();
    QTest::mousePress(up, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_THROW(up->TimerExpired(), Exception);
    EXPECT_FALSE(up->RepeatTimer()->isActive());
    QTest::mouseRelease(up, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
}

TEST_F(SpinRepeat, TheKeysOfAFocusedPairClickItsHalves)
{
    TExtSpinButton pair(&host, QStringLiteral("spPair"));
    pair.SetBounds(200, 10, 15, 30);
    pair.SetTabStop(true);
    pair.show();
    int ups = 0, downs = 0;
    pair.OnUpClick = [&](QObject* sender) {
        EXPECT_EQ(sender, &pair);
        ++ups;
    };
    pair.OnDownClick = [&](QObject*) { ++downs; };
    Focus(&pair);
    EXPECT_TRUE(pair.UpButton()->TimeBtnState() & tbFocusRect);
    QTest::keyClick(&pair, Qt::Key_Down);
    EXPECT_EQ(pair.FocusedButton(), pair.DownButton());
    EXPECT_TRUE(pair.DownButton()->TimeBtnState() & tbFocusRect);
    EXPECT_FALSE(pair.UpButton()->TimeBtnState() & tbFocusRect);
    QTest::keyClick(&pair, Qt::Key_Space);
    QTest::keyClick(&pair, Qt::Key_Up);
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(downs, 2);
    Focus(edit);
    EXPECT_FALSE(pair.UpButton()->TimeBtnState() & tbFocusRect);
}

TEST(SpinPairLayout, HalvesShareTheHeightWithAOnePixelOverlap)
{
    QWidget host;
    TExtSpinButton pair(&host);
    pair.SetBounds(0, 0, 10, 25);
    EXPECT_EQ(pair.Width(), 15);
    EXPECT_EQ(pair.UpButton()->geometry(), QRect(0, 0, 15, 12));
    EXPECT_EQ(pair.DownButton()->geometry(), QRect(0, 11, 15, 14));
    pair.SetDirection(spHorizontal);
    EXPECT_EQ(pair.Width(), 20);
    EXPECT_EQ(pair.DownButton()->geometry(), QRect(0, 0, 10, 25));
    EXPECT_EQ(pair.UpButton()->geometry(), QRect(11, 0, 10, 25));
    EXPECT_EQ(pair.DownButton()->ArrowDirection(), adLeft);
    // Both looks paint.
    SetThemesActive(false);
    EXPECT_FALSE(pair.grab().isNull());
    pair.SetDirection(spVertical);
    EXPECT_FALSE(pair.grab().isNull());
    SetThemesActive(true);
    EXPECT_FALSE(pair.grab().isNull());
    EXPECT_EQ(pair.UpButton()->ThemePart(), Win::SPNP_UP);
}

} // namespace
