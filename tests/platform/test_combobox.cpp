// The platform's combo box: what filling its list chooses (nothing), the
// colour disabled edits and combos write their text in, and the focus kept
// when a combo becomes a list.

#include "platform/widgets/CustomComboBox.h"
#include "platform/widgets/CustomEdit.h"
#include "tests/platform/DrawingFixtures.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>

namespace {

struct Events {
    int changes = 0;
    int clicks = 0;
    void Watch(TCustomComboBox& c)
    {
        c.OnChange = [this](QObject*) { ++changes; };
        c.OnClick = [this](QObject*) { ++clicks; };
    }
};

// Pixels of colour c, and of any colour darker than c, inside r.
struct Ink {
    int exact = 0;
    int darker = 0;
};

Ink InkIn(const QImage& img, const QRect& r, QRgb c)
{
    Ink ink;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = img.pixel(x, y) & 0xFFFFFF;
            if (p == (c & 0xFFFFFF))
                ++ink.exact;
            else if (qGray(p) < qGray(c))
                ++ink.darker;
        }
    return ink;
}

} // namespace

TEST(ComboBoxChoice, FillingAnEmptyListChoosesNothingInEveryStyle)
{
    for (TComboBoxStyle style : {csDropDown, csSimple, csDropDownList}) {
        SCOPED_TRACE(int(style));
        TCustomComboBox combo(nullptr, QStringLiteral("cbKind"));
        combo.SetStyle(style);
        Events ev;
        ev.Watch(combo);
        if (style != csDropDownList) combo.SetText(QStringLiteral("typed"));
        const QString before = combo.Text();
        combo.addItem(QStringLiteral("One"));
        EXPECT_EQ(combo.ItemIndex(), -1);
        EXPECT_EQ(combo.Text(), before);
        combo.addItems({QStringLiteral("Two"), QStringLiteral("Three")});
        combo.insertItem(0, QStringLiteral("Zero"));
        EXPECT_EQ(combo.ItemIndex(), -1);
        EXPECT_EQ(combo.Text(), before);

        // A refill after clearing shows no choice either.
        combo.clear();
        if (style != csDropDownList) combo.SetText(QStringLiteral("again"));
        combo.addItems({QStringLiteral("A"), QStringLiteral("B")});
        EXPECT_EQ(combo.ItemIndex(), -1);
        EXPECT_EQ(combo.Text(), style == csDropDownList ? QString() : QStringLiteral("again"));

        // The program's choice holds, and later items leave it alone.
        combo.SetItemIndex(1);
        EXPECT_EQ(combo.ItemIndex(), 1);
        EXPECT_EQ(combo.Text(), QStringLiteral("B"));
        combo.addItem(QStringLiteral("C"));
        EXPECT_EQ(combo.ItemIndex(), 1);
        EXPECT_EQ(combo.Text(), QStringLiteral("B"));
        EXPECT_EQ(ev.changes, 0);
        EXPECT_EQ(ev.clicks, 0);
    }
}

TEST(ComboBoxChoice, DisabledEditsAndCombosWriteInTheDisabledTextColour)
{
    const QRgb gray = ToQRgb(clGrayText);
    auto shot = [](QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); };

    TCustomEdit edit(nullptr, QStringLiteral("edName"));
    edit.Font().SetName(drawingtest::TestFontFamily());
    edit.SetBounds(0, 0, 120, 21);
    edit.setText(QStringLiteral("WWWW"));
    const QRect field(3, 3, 114, 15);
    EXPECT_GT(InkIn(shot(edit), field, 0).exact, 0); // black while enabled
    edit.SetEnabled(false);
    const Ink e = InkIn(shot(edit), field, gray);
    EXPECT_GT(e.exact, 0);
    EXPECT_EQ(e.darker, 0);

    for (TComboBoxStyle style : {csDropDown, csDropDownList}) {
        SCOPED_TRACE(int(style));
        TCustomComboBox combo(nullptr, QStringLiteral("cbName"));
        combo.SetStyle(style);
        combo.Font().SetName(drawingtest::TestFontFamily());
        combo.addItem(QStringLiteral("WWWW"));
        combo.SetItemIndex(0);
        combo.SetBounds(0, 0, 120, 21);
        const QRect text(3, 3, 70, 15);
        EXPECT_GT(InkIn(shot(combo), text, 0).exact, 0);
        combo.SetEnabled(false);
        const Ink c = InkIn(shot(combo), text, gray);
        EXPECT_GT(c.exact, 0);
        EXPECT_EQ(c.darker, 0);
    }
}

// A focused combo made a list keeps the focus: its field, which handed the
// focus to it, goes without taking the focus along.
TEST(ComboBoxStyle, AFocusedComboMadeAListKeepsTheFocus)
{
    QWidget form;
    auto* combo = new TCustomComboBox(&form, QStringLiteral("Combo"));
    auto* other = new TCustomEdit(&form, QStringLiteral("Other"));
    other->move(0, 40);
    int exits = 0;
    combo->OnExit = [&](QObject*) { ++exits; };
    form.show();
    QApplication::setActiveWindow(&form);
    combo->setFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return combo->hasFocus(); }));
    combo->SetStyle(csDropDownList);
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(combo->hasFocus());
    EXPECT_EQ(exits, 0);
}
