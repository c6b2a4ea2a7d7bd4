// The grid's flat combo boxes and the wide-text edit.

#include "controls/ESGComboBox.h"
#include "controls/ESGUniComboBox.h"
#include "controls/EsgUniEdit.h"
#include "platform/graphics/Themes.h"
#include "tests/controls/EditTestHost.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace edittest;

namespace {

class Combos : public ::testing::Test {
protected:
    void SetUp() override
    {
        panel = new QWidget(&host);
        panel->setGeometry(0, 0, 480, 320);
        QPalette pal = panel->palette();
        pal.setColor(QPalette::Window, ToQColor(clTeal));
        panel->setPalette(pal);
        combo = new TESGComboBox(panel, QStringLiteral("cbType"));
        combo->SetBounds(10, 10, 150, 21);
        other = new TEsgUniEdit(panel, QStringLiteral("edOther"));
        other->SetBounds(10, 60, 150, 21);
    }

    ScopedDialogResponder dialogs;
    Host host;
    QWidget* panel = nullptr;
    TESGComboBox* combo = nullptr;
    TEsgUniEdit* other = nullptr;
};

TEST_F(Combos, ButtonWidthTakesOnly14To32)
{
    EXPECT_EQ(combo->ButtonWidth(), 21);
    combo->SetButtonWidth(13);
    EXPECT_EQ(combo->ButtonWidth(), 21);
    combo->SetButtonWidth(33);
    EXPECT_EQ(combo->ButtonWidth(), 21);
    combo->SetButtonWidth(14);
    EXPECT_EQ(combo->ButtonWidth(), 14);
    combo->SetButtonWidth(32);
    EXPECT_EQ(combo->ButtonWidth(), 32);
}

TEST_F(Combos, ADisabledFlatComboTakesItsParentsColourUntilEnabled)
{
    EXPECT_TRUE(combo->Flat());
    EXPECT_FALSE(combo->Ctl3D());
    combo->SetColor(clYellow);
    combo->SetEnabled(false);
    EXPECT_EQ(combo->Color(), clTeal);
    EXPECT_TRUE(combo->ParentColor());
    combo->SetEnabled(true);
    EXPECT_EQ(combo->Color(), clYellow);
    EXPECT_FALSE(combo->ParentColor());
    // A parent's state does not count.
    panel->setEnabled(false);
    EXPECT_EQ(combo->Color(), clYellow);
    panel->setEnabled(true);
    // Not flat: the colour stays.
    combo->SetFlat(false);
    EXPECT_TRUE(combo->Ctl3D());
    combo->SetEnabled(false);
    EXPECT_EQ(combo->Color(), clYellow);
}

TEST_F(Combos, DropWidthWidensTheListOnlyAboveZero)
{
    combo->Items().Add(QStringLiteral("One"));
    const int before = combo->view()->minimumWidth();
    combo->SetDropWidth(0);
    EXPECT_EQ(combo->view()->minimumWidth(), before);
    combo->SetDropWidth(300);
    EXPECT_EQ(combo->view()->minimumWidth(), 300);
}

TEST_F(Combos, BordersTurnSunkenOnlyWithFocusBorder)
{
    host.ShowActive();
    other->setFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return other->hasFocus(); }));
    EXPECT_FALSE(combo->Active());
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(combo, &enter);
    EXPECT_TRUE(combo->MouseInControl());
    EXPECT_TRUE(combo->Active());
    EXPECT_FALSE(combo->Highlighted());
    combo->SetFocusBorder(true);
    EXPECT_TRUE(combo->Highlighted());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(combo, &leave);
    EXPECT_FALSE(combo->MouseInControl());
    EXPECT_FALSE(combo->Highlighted());
    // Every look paints.
    for (bool styled : {false, true})
        for (bool etched : {false, true}) {
            combo->SetButtonStyleFlag(styled);
            combo->SetEtched(etched);
            EXPECT_FALSE(combo->grab().isNull());
        }
    combo->SetStyle(csDropDownList);
    combo->Items().Add(QStringLiteral("Single Family"));
    combo->SetItemIndex(0);
    EXPECT_FALSE(combo->grab().isNull());
}

TEST_F(Combos, AnIdleFlatComboShowsItsArrow)
{
    ASSERT_FALSE(combo->Active());
    const QImage img = combo->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int w = combo->width(), h = combo->height(), bw = combo->ButtonWidth();
    int arrow = 0;
    for (int y = 4; y < h - 4; ++y)
        for (int x = w - bw + 4; x < w - 4; ++x)
            if (FromQRgb(img.pixel(x, y)) == ColorToRGB(clBtnText)) ++arrow;
    EXPECT_GT(arrow, 3);
}

TEST_F(Combos, FillingTheListChoosesNothingInEitherStyle)
{
    auto* uni = new TESGUniComboBox(panel, QStringLiteral("cbUni"));
    for (TESGCustomCombo* c : {static_cast<TESGCustomCombo*>(combo), static_cast<TESGCustomCombo*>(uni)})
        for (TComboBoxStyle style : {csDropDown, csDropDownList}) {
            SCOPED_TRACE((c->Name() + QString::number(style)).toStdString());
            c->SetStyle(style);
            c->Items().Clear();
            if (style == csDropDown) c->SetText(QStringLiteral("Any"));
            const QString before = c->Text();
            int changes = 0;
            c->OnChange = [&](QObject*) { ++changes; };
            c->Items().Add(QStringLiteral("Single Family"));
            c->Items().SetText(QStringLiteral("Condo\nDuplex"));
            EXPECT_EQ(c->ItemIndex(), -1);
            EXPECT_EQ(c->Text(), before);
            c->Items().Clear();
            c->Items().Insert(0, QStringLiteral("Land"));
            EXPECT_EQ(c->ItemIndex(), -1);
            EXPECT_EQ(c->Text(), before);
            EXPECT_EQ(changes, 0);
            c->OnChange = nullptr;
        }
}

TEST_F(Combos, AutoFocusTakesTheFocusWhenTheMouseComesIn)
{
    host.ShowActive();
    other->setFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return other->hasFocus(); }));
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(combo, &enter);
    EXPECT_FALSE(combo->hasFocus());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(combo, &leave);
    combo->SetAutoFocus(true);
    QApplication::sendEvent(combo, &enter);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return combo->hasFocus(); }));
}

TEST_F(Combos, AChoiceSetsTheTextThenClicksThenChanges)
{
    combo->SetStyle(csDropDownList);
    combo->Items().SetText(QStringLiteral("Above/Below\nFrom/To\nPercent\nIgnore"));
    combo->SetItemIndex(0);
    host.ShowActive();
    combo->setFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return combo->hasFocus(); }));
    QStringList log;
    combo->OnClick = [&](QObject*) { log << QStringLiteral("click ") + combo->Text(); };
    combo->OnChange = [&](QObject*) { log << QStringLiteral("change ") + combo->Text(); };
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(log, (QStringList{QStringLiteral("click From/To"), QStringLiteral("change From/To")}));
    EXPECT_EQ(combo->ItemIndex(), 1);
    // A click on the combo itself is no choice.
    log.clear();
    combo->SetItemIndex(2);
    EXPECT_TRUE(log.isEmpty());

    // Typing into an editable combo changes.
    combo->SetStyle(csDropDown);
    QTest::keyClicks(combo, QStringLiteral("x"));
    EXPECT_EQ(log.size(), 1);
    combo->SetText(QStringLiteral("typed"));
    EXPECT_EQ(combo->Text(), QStringLiteral("typed"));
}

TEST_F(Combos, TheWideComboGivesBackspaceToOnKeyPressOnly)
{
    auto* uni = new TESGUniComboBox(panel, QStringLiteral("cbUni"));
    uni->SetBounds(10, 120, 150, 21);
    uni->SetStyle(csDropDownList);
    uni->Items().Add(QStringLiteral("\u0416ar"));
    uni->Items().Add(QStringLiteral("Bar"));
    uni->SetItemIndex(1);
    host.ShowActive();
    uni->setFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return uni->hasFocus(); }));
    QList<TKeyChar> keys;
    uni->OnKeyPress = [&](QObject*, TKeyChar& key) { keys.append(key); };
    QTest::keyClick(uni, Qt::Key_Backspace);
    EXPECT_EQ(keys, QList<TKeyChar>{8});
    EXPECT_EQ(uni->ItemIndex(), 1);
    EXPECT_EQ(uni->Items().IndexOf(QStringLiteral("\u0436AR")), 0);

    // In the editable field Backspace still deletes.
    uni->SetStyle(csDropDown);
    uni->SetText(QStringLiteral("\u0416a"));
    uni->lineEdit()->setCursorPosition(2);
    QTest::keyClick(uni, Qt::Key_Backspace);
    EXPECT_EQ(uni->Text(), QStringLiteral("\u0416"));
    EXPECT_EQ(keys.size(), 2);
}

TEST_F(Combos, TheWideEditStoresAndReportsTheRealCharacter)
{
    other->SetText(QStringLiteral("\u00e9t\u00e9 \u0416"));
    host.ShowActive();
    EXPECT_EQ(other->text(), QStringLiteral("\u00e9t\u00e9 \u0416"));
    other->setFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return other->hasFocus(); }));
    QList<TKeyChar> seen;
    other->OnKeyPress = [&](QObject*, TKeyChar& key) { seen.append(key); };
    other->SetSelStart(int(other->Text().size()));
    for (const QString& t : {QStringLiteral("\u0436"), QString::fromUcs4(U"\U0001F600")}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, t);
        QApplication::sendEvent(other, &press);
    }
    EXPECT_EQ(seen, (QList<TKeyChar>{0x436, 0x1F600}));
    EXPECT_EQ(other->Text(), QStringLiteral("\u00e9t\u00e9 \u0416\u0436") + QString::fromUcs4(U"\U0001F600"));

    // Committed input-method text arrives character by character.
    seen.clear();
    QInputMethodEvent ime;
    ime.setCommitString(QStringLiteral("\u4e2d\u6587"));
    QApplication::sendEvent(other, &ime);
    EXPECT_EQ(seen, (QList<TKeyChar>{0x4E2D, 0x6587}));
    EXPECT_TRUE(other->Text().endsWith(QStringLiteral("\u4e2d\u6587")));
}

} // namespace

TEST_F(Combos, ASortedComboKeepsItsItemsInOrder)
{
    TWideStrings& items = combo->Items();
    items.Add(QStringLiteral("pear"));
    items.Add(QStringLiteral("Apple"));
    combo->SetItemIndex(0); // "pear"
    EXPECT_FALSE(combo->Sorted());
    // Switching on sorts what is there, the choice going with its item.
    combo->SetSorted(true);
    EXPECT_TRUE(combo->Sorted());
    EXPECT_EQ(items.Text(), QStringLiteral("Apple\r\npear\r\n"));
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(combo->Text(), QStringLiteral("pear"));
    // Each item added goes to its place, letter case ignored.
    EXPECT_EQ(items.Add(QStringLiteral("banana")), 1);
    EXPECT_EQ(items.Add(QStringLiteral("APPLE")), 1); // after the equal one
    EXPECT_EQ(items.Add(QStringLiteral("zucchini")), 4);
    EXPECT_EQ(items.Text(), QStringLiteral("Apple\r\nAPPLE\r\nbanana\r\npear\r\nzucchini\r\n"));
    // Off again: items are appended.
    combo->SetSorted(false);
    EXPECT_EQ(items.Add(QStringLiteral("cherry")), 5);
}

TEST_F(Combos, OwnerDrawnItemsAreMeasuredAndDrawnByTheEvents)
{
    combo->SetStyle(csOwnerDrawVariable);
    EXPECT_FALSE(combo->isEditable());
    for (const char* t : {"one", "two", "three"}) combo->Items().Add(QString::fromLatin1(t));
    QList<int> measured;
    combo->OnMeasureItem = [&](QObject* control, int index, int& height) {
        EXPECT_EQ(control, combo);
        EXPECT_GT(height, 0); // the list's own height comes in
        measured << index;
        height = 20 + 10 * index;
    };
    QStringList drawn;
    combo->OnDrawItem = [&](QObject*, int index, const TRect& rect, TOwnerDrawState state) {
        ASSERT_NE(combo->Canvas(), nullptr);
        drawn << QStringLiteral("%1 %2%3%4")
                     .arg(index)
                     .arg(rect.Height())
                     .arg(state.Contains(TOwnerDrawStateItem::odSelected) ? " selected" : "")
                     .arg(state.Contains(TOwnerDrawStateItem::odComboBoxEdit) ? " field" : "");
        combo->Canvas()->Brush().SetColor(clLime);
        combo->Canvas()->FillRect(rect);
    };
    host.ShowActive();
    combo->SetItemIndex(2);
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return list->isVisible(); }));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(list->visualRect(list->model()->index(i, 0)).height(), 20 + 10 * i);
    EXPECT_TRUE(measured.contains(0) && measured.contains(2));
    // Each item painted by the event, in the colour it chose.
    const QImage shown = list->viewport()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(list->visualRect(list->model()->index(1, 0)).center()), ToQColor(clLime));
    EXPECT_TRUE(drawn.contains(QStringLiteral("0 20")));
    EXPECT_TRUE(drawn.contains(QStringLiteral("1 30")));
    EXPECT_TRUE(drawn.contains(QStringLiteral("2 40 selected")));
    combo->hidePopup();

    // The field of the closed combo shows the chosen item the same way.
    drawn.clear();
    const QImage face = combo->grab().toImage();
    EXPECT_EQ(drawn.value(0).section(u' ', 0, 0), QStringLiteral("2"));
    EXPECT_TRUE(drawn.value(0).endsWith(QStringLiteral(" field")));
    EXPECT_EQ(face.pixelColor(8, 10), ToQColor(clLime));

    // Fixed height: no measuring; without OnDrawItem the text is drawn.
    measured.clear();
    combo->SetStyle(csOwnerDrawFixed);
    combo->OnDrawItem = nullptr;
    combo->showPopup();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return list->isVisible(); }));
    const int h0 = list->visualRect(list->model()->index(0, 0)).height();
    EXPECT_EQ(list->visualRect(list->model()->index(2, 0)).height(), h0);
    EXPECT_TRUE(measured.isEmpty());
    combo->hidePopup();
}

TEST_F(Combos, AnOwnerDrawnFieldIsDrawnByOnDrawItemInThePlainLookToo)
{
    combo->SetStyle(csOwnerDrawFixed);
    for (const char* t : {"one", "two", "three"}) combo->Items().Add(QString::fromLatin1(t));
    QStringList drawn;
    TRect fieldRect;
    combo->OnDrawItem = [&](QObject*, int index, const TRect& rect, TOwnerDrawState state) {
        drawn << QStringLiteral("%1%2").arg(index).arg(state.Contains(TOwnerDrawStateItem::odComboBoxEdit) ? " field"
                                                                                                           : "");
        fieldRect = rect;
        combo->Canvas()->Brush().SetColor(clLime);
        combo->Canvas()->FillRect(rect);
    };
    combo->SetFlat(false);
    host.ShowActive();
    combo->SetItemIndex(1);
    const QImage face = combo->grab().toImage();
    ASSERT_EQ(drawn.value(0), QStringLiteral("1 field"));
    // The owner's colour fills the field, inside the control and left of
    // its button.
    ASSERT_FALSE(fieldRect.IsEmpty());
    EXPECT_GE(fieldRect.Left, 0);
    EXPECT_LE(fieldRect.Right, combo->width() - combo->ButtonWidth() + 4);
    const QPoint middle((fieldRect.Left + fieldRect.Right) / 2, (fieldRect.Top + fieldRect.Bottom) / 2);
    EXPECT_EQ(face.pixelColor(middle), ToQColor(clLime));
    // The button at the right is the style's, not the owner's.
    EXPECT_NE(face.pixelColor(combo->width() - 6, combo->height() / 2), ToQColor(clLime));
}
