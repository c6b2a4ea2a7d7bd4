// The edit-with-button editors: the button, F4, the unit menu.

#include "controls/EsgEditBtn.h"
#include "controls/EsgUnitEditBtn.h"
#include "tests/controls/EditTestHost.h"

#include <QClipboard>
#include <gtest/gtest.h>

using namespace edittest;

namespace {

class EditButtons : public ::testing::Test {
protected:
    void SetUp() override
    {
        panel = new QWidget(&host);
        panel->setGeometry(20, 30, 400, 250);
        edit = new TEsgEditBtn(panel, QStringLiteral("edEllipsis"));
        edit->SetBounds(10, 10, 120, 24);
        unit = new TEsgUnitEditBtn(panel, QStringLiteral("edWeight"));
        unit->SetBounds(10, 60, 120, 24);
        host.ShowActive();
        edit->setFocus();
        ASSERT_TRUE(testsupport::WaitUntil([&] { return edit->hasFocus(); }));
    }

    ScopedRegionalSettings locale{MonthFirst()};
    ScopedDialogResponder dialogs;
    Host host;
    QWidget* panel = nullptr;
    TEsgEditBtn* edit = nullptr;
    TEsgUnitEditBtn* unit = nullptr;
};

TEST_F(EditButtons, ANewEditHoldsZeroWithItsButtonAtTheRight)
{
    EXPECT_EQ(edit->Text(), QStringLiteral("0"));
    EXPECT_FALSE(edit->RightAlign());
    EXPECT_TRUE(unit->RightAlign());
    EXPECT_TRUE(unit->alignment() & Qt::AlignRight);
    const QWidget* holder = edit->ButtonHolder();
    EXPECT_EQ(holder->geometry(), QRect(2 + 120 - 18 - 5, 2, 18, 24 - 5));
    EXPECT_EQ(edit->ButtonHolder()->Button()->geometry(), QRect(0, 0, 18, 19));
    EXPECT_EQ(edit->EditRect(), TRect(1, 1, edit->ClientWidth() - 18 - 3, edit->ClientHeight() + 1));
    EXPECT_EQ(unit->EditRect().Right, unit->ClientWidth() - 18 - 3 - 20);
    edit->SetButtonWidth(30);
    EXPECT_EQ(edit->ButtonWidth(), 30);
    EXPECT_EQ(holder->geometry().x(), 2 + 120 - 30 - 5);
    edit->SetRightAlign(true);
    EXPECT_TRUE(edit->alignment() & Qt::AlignRight);
    // A holder narrower than 15 is widened.
    edit->SetButtonWidth(8);
    EXPECT_EQ(edit->ButtonWidth(), 15);
}

TEST_F(EditButtons, F4FiresTheButtonOnceAfterTheKeysOwnHandling)
{
    QStringList log;
    edit->OnKeyDown = [&](QObject*, int& key, TShiftState) { log << QStringLiteral("key %1").arg(key); };
    edit->OnClickBtn = [&](QObject* sender) {
        EXPECT_EQ(sender, edit);
        log << QStringLiteral("click");
    };
    QTest::keyClick(edit, Qt::Key_F4);
    QTest::keyClick(edit, Qt::Key_F5);
    QTest::keyClick(edit, Qt::Key_F3);
    EXPECT_EQ(log,
              (QStringList{QStringLiteral("key 115"), QStringLiteral("click"), QStringLiteral("key 116"),
                           QStringLiteral("key 114")}));
    // A key-down handler that takes F4 takes the click with it.
    edit->OnKeyDown = [&](QObject*, int& key, TShiftState) { key = 0; };
    QTest::keyClick(edit, Qt::Key_F4);
    EXPECT_EQ(log.count(QStringLiteral("click")), 1);
}

TEST_F(EditButtons, WithTheEditorDisabledTheTextStaysButTheButtonWorks)
{
    int clicks = 0;
    edit->OnClickBtn = [&](QObject*) { ++clicks; };
    int presses = 0;
    edit->OnKeyPress = [&](QObject*, TKeyChar&) { ++presses; };
    edit->SetEditorEnabled(false);
    edit->SetText(QStringLiteral("abc"));
    QGuiApplication::clipboard()->setText(QStringLiteral("xyz"));
    edit->SetSelStart(1);
    QTest::keyClicks(edit, QStringLiteral("qq"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
    edit->SelectAll();
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(edit->Text(), QStringLiteral("abc"));
    EXPECT_EQ(presses, 0);
    QTest::keyClick(edit, Qt::Key_F4);
    QTest::mouseClick(edit->ButtonHolder()->Button(), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    EXPECT_EQ(clicks, 2);
    edit->SetEditorEnabled(true);
    edit->SetSelStart(3);
    QTest::keyClicks(edit, QStringLiteral("d"));
    EXPECT_EQ(edit->Text(), QStringLiteral("abcd"));
}

TEST_F(EditButtons, ReleasingOutsideTheButtonStillClicks)
{
    unit->setFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return unit->hasFocus(); }));
    int clicks = 0;
    edit->OnClickBtn = [&](QObject* sender) {
        EXPECT_EQ(sender, edit->ButtonHolder());
        ++clicks;
    };
    QWidget* button = edit->ButtonHolder()->Button();
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    EXPECT_EQ(clicks, 0);
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(60, 60));
    EXPECT_EQ(clicks, 1);
    // The focus went to the edit.
    EXPECT_TRUE(edit->hasFocus());
    // The right button does nothing.
    QTest::mouseClick(button, Qt::RightButton, Qt::NoModifier, QPoint(4, 4));
    EXPECT_EQ(clicks, 1);
}

TEST_F(EditButtons, TheUnitMenuOpensOnTheScreenAtTheEditsCorner)
{
    unit->SetUnits({QStringLiteral("kg"), QStringLiteral("lb"), QStringLiteral("oz")});
    int clicks = 0;
    unit->OnClickBtn = [&](QObject*) { ++clicks; };
    dialogs.NextMenuChoice(1);
    QTest::mouseClick(unit->ButtonHolder()->Button(), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    EXPECT_EQ(unit->UnitID(), QStringLiteral("lb"));
    EXPECT_EQ(clicks, 0);
    ASSERT_EQ(dialogs.Count(DialogRequest::Kind::PopupMenu), 1);
    const DialogRequest& menu = dialogs.Shown().last();
    EXPECT_EQ(menu.items, (QStringList{QStringLiteral("kg"), QStringLiteral("lb"), QStringLiteral("oz")}));
    // Screen coordinates: the window's place and the panel's are counted.
    const QPoint expected = panel->mapToGlobal(unit->pos() + QPoint(unit->ClientWidth() - 15, unit->ClientHeight()));
    EXPECT_EQ(menu.position, expected);
    EXPECT_EQ(menu.position, unit->MenuPosition());
    EXPECT_GT(menu.position.x(), host.x());

    // F4 opens it too; nothing chosen leaves the unit.
    unit->setFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return unit->hasFocus(); }));
    QTest::keyClick(unit, Qt::Key_F4);
    EXPECT_EQ(dialogs.Count(DialogRequest::Kind::PopupMenu), 2);
    EXPECT_EQ(unit->UnitID(), QStringLiteral("lb"));

    // An empty list gives an empty menu.
    unit->SetUnits({});
    QTest::keyClick(unit, Qt::Key_F4);
    EXPECT_TRUE(dialogs.Shown().last().items.isEmpty());
    EXPECT_EQ(unit->UnitID(), QStringLiteral("lb"));

    // The unit is drawn right of the text.
    EXPECT_EQ(unit->UnitRect(),
              TRect(unit->ClientWidth() - 18 - 3 - 20, 2, unit->ClientWidth() - 18 - 3, unit->ClientHeight()));
    EXPECT_FALSE(unit->grab().isNull());
}

TEST_F(EditButtons, TheUnitSitsOnTheValuesBaseLine)
{
    unit->SetText(QStringLiteral("12"));
    unit->SetUnitID(QStringLiteral("mm"));
    for (int height : {24, 30}) {
        unit->SetHeight(height);
        const QImage img = unit->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int origin = unit->ClientOrigin().x();
        const TRect u = unit->UnitRect().Offsetted(origin, origin);
        // Lowest row of dark ink between columns from and to.
        auto lowestInk = [&](int from, int to) {
            int lowest = -1;
            for (int y = 0; y < img.height() - origin; ++y)
                for (int x = from; x < to; ++x)
                    if (qGray(img.pixel(x, y)) < 100) lowest = y;
            return lowest;
        };
        const int value = lowestInk(origin + 2, u.Left);
        ASSERT_GE(value, 0);
        EXPECT_EQ(lowestInk(u.Left, u.Right), value) << "height " << height;
    }
}

TEST_F(EditButtons, TheButtonPaintsInEachLook)
{
    TExtSpeedButton* b = edit->ButtonHolder()->Button();
    edit->SetButtonCaption(QStringLiteral("..."));
    EXPECT_EQ(b->Caption(), QStringLiteral("..."));
    for (bool xp : {false, true})
        for (bool flat : {false, true}) {
            edit->SetIsWinXP(xp);
            edit->ButtonHolder()->SetFlat(flat);
            EXPECT_EQ(b->Flat(), flat);
            EXPECT_FALSE(b->grab().isNull());
        }
    edit->SetEnabled(false);
    EXPECT_FALSE(b->grab().isNull());
}

} // namespace
