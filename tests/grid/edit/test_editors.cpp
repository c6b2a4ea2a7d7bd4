// Editing cells of the string grid: the choice between the text editor and
// the in-place controls, filling the controls from the cell, storing back
// only what the user changed, validation that refuses an edit, and the keys
// the editors hand back to the grid.
#include "controls/EsgSpinButton.h"
#include "controls/ExtSpeedButton.h"
#include "grid/TExtStringGrid.h"
#include "grid/edit/TEditLink.h"
#include "grid/edit/TExtRichEdit.h"
#include "grid/edit/TExtInplaceEdit.h"
#include "grid/edit/TGridCombo.h"
#include "grid/edit/TGridDatePicker.h"
#include "grid/edit/TGridEditBtn.h"
#include "grid/cells/TExtStringGridCheck.h"
#include "grid/edit/TGridSpin.h"
#include "grid/edit/TGridUnitEditBtn.h"
#include "platform/core/RegionalSettings.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/text/RtfReader.h"
#include "tests/support/PrintQString.h"
#include "tests/grid/LineEditLink.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QPointer>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <map>

namespace {

// A shown 5 x 5 grid with one fixed row and column, editing on, and the
// editor type of each cell taken from a table.
class Grid : public TExtStringGrid {
public:
    Grid() : TExtStringGrid(nullptr, QStringLiteral("EditGrid"))
    {
        resize(500, 300);
        SetColCount(5);
        SetRowCount(5);
        SetOptions(Options() + TGridOption::goEditing);
        OnGetEditorType = [this](QObject*, int col, int row, TEditorType& editor) {
            const auto it = editors.find({col, row});
            if (it != editors.end()) editor = it->second;
        };
        OnSetEditText = [this](QObject*, int, int, const QString&) { ++stores; };
        show();
        QApplication::setActiveWindow(this);
        setFocus();
    }
    // Starts editing (col, row) as F2 would.
    void Edit(int col, int row)
    {
        FocusCell(col, row);
        ShowEditor();
    }
    std::map<std::pair<int, int>, TEditorType> editors;
    int stores = 0;
};

void Key(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(w, key, mods); }

TEST(EditorChoice, TextTypesUseTheTextEditorAndOthersTheirControl)
{
    Grid g;
    g.editors[{1, 1}] = edNumeric;
    g.editors[{2, 1}] = edSpinEdit;
    g.editors[{3, 1}] = edDataCheckBox;
    g.Edit(1, 1);
    ASSERT_TRUE(g.EditorMode());
    EXPECT_EQ(g.CurrentEditorType(), edNumeric);
    g.CloseEditorControl();
    EXPECT_FALSE(g.EditorMode());

    g.Edit(2, 1);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_TRUE(g.GridSpin()->isVisible());
    EXPECT_TRUE(g.GridSpin()->Enabled());
    EXPECT_TRUE(g.EditInProgress());
    g.CloseEditorControl();
    EXPECT_FALSE(g.GridSpin()->isVisible());
    EXPECT_FALSE(g.GridSpin()->Enabled());

    // A data check box never shows an editor, and no edit stays open.
    g.Edit(3, 1);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_FALSE(g.EditInProgress());
}

TEST(EditorChoice, AReadOnlyCellSwitchesEditingOffAndBack)
{
    Grid g;
    g.OnCanEditCell = [](QObject*, int row, int, bool& can) { can = row != 2; };
    g.FocusCell(1, 2);
    EXPECT_FALSE(g.Options().Contains(TGridOption::goEditing));
    g.FocusCell(1, 3);
    EXPECT_TRUE(g.Options().Contains(TGridOption::goEditing));
}

TEST(EditorChoice, TheFooterRowOfAFloatingFooterIsNeverCurrent)
{
    Grid g;
    g.FloatingFooter().SetFooterStyle(fsFixedLastRow);
    g.SetFloatingFooterVisible(true);
    g.FocusCell(1, 3);
    g.FocusCell(1, 4);
    EXPECT_EQ(g.Row(), 3);
}

TEST(Editors, LeavingAnUntouchedControlRewritesNoCell)
{
    Grid g;
    g.GridCombo()->Items().Add(QStringLiteral("one"));
    g.GridCombo()->Items().Add(QStringLiteral("two"));
    g.editors[{1, 1}] = edComboList;
    g.editors[{2, 1}] = edSpinEdit;
    g.editors[{3, 1}] = edDateEdit;
    g.editors[{4, 1}] = edUnitEditBtn;
    g.SetCellText(1, 1, QStringLiteral("none of them"));
    g.SetCellText(3, 1, QStringLiteral("soon"));
    g.SetCellText(4, 1, QStringLiteral("1a2"));

    // The list shows its first item for a text it lacks.
    g.Edit(1, 1);
    EXPECT_EQ(g.GridCombo()->ItemIndex(), 0);
    g.CloseEditorControl();
    // An empty cell shows 0 in the spin, a text that is no date today in the
    // picker, and 1a2 shows 12 with unit a.
    g.Edit(2, 1);
    EXPECT_EQ(g.GridSpin()->Text(), "0");
    g.CloseEditorControl();
    g.Edit(3, 1);
    g.CloseEditorControl();
    g.Edit(4, 1);
    EXPECT_EQ(g.GridUnitEditBtn()->Text(), "12");
    EXPECT_EQ(g.GridUnitEditBtn()->UnitID(), "a");
    g.CloseEditorControl();

    EXPECT_EQ(g.stores, 0);
    EXPECT_EQ(g.GetCellText(1, 1), "none of them");
    EXPECT_EQ(g.GetCellText(2, 1), "");
    EXPECT_EQ(g.GetCellText(3, 1), "soon");
    EXPECT_EQ(g.GetCellText(4, 1), "1a2");
}

TEST(Editors, AChangedControlValueIsStoredBack)
{
    Grid g;
    g.editors[{1, 1}] = edUnitEditBtn;
    g.editors[{2, 1}] = edComboEdit;
    g.SetCellText(1, 1, QStringLiteral("12.5kg"));
    g.Edit(1, 1);
    EXPECT_EQ(g.GridUnitEditBtn()->Text(), "12.5");
    EXPECT_EQ(g.GridUnitEditBtn()->UnitID(), "kg");
    g.GridUnitEditBtn()->SetText(QStringLiteral("13"));
    g.CloseEditorControl();
    EXPECT_EQ(g.GetCellText(1, 1), "13kg");

    int done = 0;
    g.OnEditingDone = [&](QObject*) { ++done; };
    g.Edit(2, 1);
    g.GridCombo()->SetText(QStringLiteral("typed"));
    g.CloseEditorControl();
    EXPECT_EQ(g.GetCellText(2, 1), "typed");
    EXPECT_EQ(done, 1);
}

TEST(Editors, ATypedCharacterStartsTheControlWithIt)
{
    Grid g;
    g.editors[{1, 1}] = edEditBtn;
    g.FocusCell(1, 1);
    QTest::keyClicks(&g, QStringLiteral("x"));
    ASSERT_TRUE(g.GridEditBtn()->isVisible());
    EXPECT_EQ(g.GridEditBtn()->Text(), "x");
}

TEST(Editors, SpinPageKeysStayInTheRangeAndRaiseTheSpinEvent)
{
    Grid g;
    g.editors[{1, 1}] = edSpinEdit;
    g.SetCellText(1, 1, QStringLiteral("100"));
    std::vector<std::pair<int, bool>> clicks;
    g.OnSpinClick = [&](QObject*, int, int, int value, bool up) { clicks.emplace_back(value, up); };
    g.Edit(1, 1);
    TGridSpin* spin = g.GridSpin();
    Key(spin, Qt::Key_PageUp);
    EXPECT_EQ(spin->Value(), 100);
    Key(spin, Qt::Key_End);
    EXPECT_EQ(spin->Value(), 0);
    Key(spin, Qt::Key_Home);
    EXPECT_EQ(spin->Value(), 100);
    ASSERT_EQ(clicks.size(), 3u);
    EXPECT_EQ(clicks[0], std::make_pair(100, true));
    EXPECT_EQ(clicks[1], std::make_pair(0, false));
    EXPECT_EQ(clicks[2], std::make_pair(100, true));
}

TEST(Editors, SpinButtonsRaiseTheEventOfTheSpinType)
{
    Grid g;
    g.editors[{1, 1}] = edSpinEdit;
    g.editors[{2, 1}] = edFloatSpinEdit;
    g.editors[{3, 1}] = edDateSpinEdit;
    g.editors[{4, 1}] = edTimeSpinEdit;
    g.SetCellText(1, 1, QStringLiteral("5"));
    QStringList told;
    g.OnSpinClick = [&](QObject* sender, int col, int row, int value, bool up) {
        EXPECT_EQ(sender, &g);
        told << QStringLiteral("int %1,%2 %3 %4").arg(col).arg(row).arg(value).arg(up);
    };
    g.OnFloatSpinClick = [&](QObject*, int col, int, double, bool up) {
        told << QStringLiteral("float %1 %2").arg(col).arg(up);
    };
    g.OnDateSpinClick = [&](QObject*, int col, int, TDateTime, bool up) {
        told << QStringLiteral("date %1 %2").arg(col).arg(up);
    };
    g.OnTimeSpinClick = [&](QObject*, int col, int, TDateTime, bool up) {
        told << QStringLiteral("time %1 %2").arg(col).arg(up);
    };
    const auto click = [&](bool up) {
        TEsgSpinButton* b = g.GridSpin()->SpinButton();
        if (up && b->OnUpClick) b->OnUpClick(b);
        if (!up && b->OnDownClick) b->OnDownClick(b);
    };
    g.Edit(1, 1);
    click(true);
    click(false);
    g.CloseEditorControl();
    for (int col = 2; col <= 4; ++col) {
        g.Edit(col, 1);
        click(col != 3);
        g.CloseEditorControl();
    }
    EXPECT_EQ(told, (QStringList{"int 1,1 6 1", "int 1,1 5 0", "float 2 1", "date 3 0", "time 4 1"}));
}

TEST(Editors, ComboSettingsDropSizeDirectDropReturnKeyAndHistory)
{
    Grid g;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&g));
    TGridCombo* combo = g.GridCombo();
    combo->Items().Add(QStringLiteral("a"));
    combo->Items().Add(QStringLiteral("an item far wider than any cell of this grid"));
    g.editors[{1, 1}] = edComboEdit;
    g.Edit(1, 1);
    const int narrow = combo->DropWidth();
    g.CloseEditorControl();

    // The list is as wide as its widest item; with DirectComboDrop it opens
    // at once.
    g.Navigation().AutoComboDropSize = true;
    g.MouseActions().DirectComboDrop = true;
    g.Edit(1, 1);
    EXPECT_GT(combo->DropWidth(), std::max(narrow, combo->Width()));
    EXPECT_TRUE(combo->DroppedDown());
    // The open list is part of the edit, not a place the focus left for.
    EXPECT_TRUE(g.EditInProgress());
    EXPECT_TRUE(combo->isVisible());
    combo->SetDroppedDown(false);
    EXPECT_TRUE(g.EditInProgress());

    // Enter tells OnReturnKey.
    int returns = 0;
    combo->OnReturnKey = [&](QObject* sender) {
        EXPECT_EQ(sender, combo);
        ++returns;
    };
    combo->SetText(QStringLiteral("typed"));
    g.SetLookupHistory(true);
    Key(combo, Qt::Key_Return);
    EXPECT_EQ(returns, 1);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("typed"));

    // LookupHistory: a text not among the items joins them when the combo
    // is left.
    g.MouseActions().DirectComboDrop = false;
    g.Edit(1, 1);
    ASSERT_TRUE(combo->hasFocus());
    combo->SetText(QStringLiteral("new one"));
    g.setFocus();
    QCoreApplication::processEvents();
    EXPECT_GE(combo->Items().IndexOf(QStringLiteral("new one")), 0);
}

TEST(Editors, TheComboWheelStopsAtTheLastItem)
{
    Grid g;
    for (const char* s : {"a", "b", "c"}) g.GridCombo()->Items().Add(QString::fromLatin1(s));
    g.editors[{1, 1}] = edComboList;
    g.SetCellText(1, 1, QStringLiteral("b"));
    QStringList changes;
    g.OnComboChange = [&](QObject*, int, int, int, const QString& text) { changes << text; };
    g.Edit(1, 1);
    TGridCombo* combo = g.GridCombo();
    for (int i = 0; i < 4; ++i) {
        QWheelEvent down(QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(combo, &down);
    }
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(changes, QStringList{"c"});
    QWheelEvent up(QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(combo, &up);
    EXPECT_EQ(combo->Text(), "b");
}

TEST(Editors, TheDatePickersOpenCalendarIsPartOfTheEdit)
{
    Grid g;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&g));
    g.editors[{1, 1}] = edDateEdit;
    g.Edit(1, 1);
    TGridDatePicker* picker = g.GridDatePicker();
    ASSERT_TRUE(picker->hasFocus());
    // A press on the arrow drops the calendar down.
    QTest::mousePress(picker, Qt::LeftButton, Qt::NoModifier, QPoint(picker->width() - 4, picker->height() / 2));
    ASSERT_TRUE(picker->DroppedDown());
    EXPECT_TRUE(g.EditInProgress());
    EXPECT_TRUE(picker->isVisible());
}

TEST(Editors, TheDatePickerFramesItselfInTheWindowColour)
{
    Grid g;
    g.SetColWidths(1, 120);
    g.SetRowHeights(1, 30);
    g.editors[{1, 1}] = edDateEdit;
    g.SetCellText(1, 1, QStringLiteral("03/02/2001"));
    g.FocusCell(1, 1);
    Key(&g, Qt::Key_F2);
    TGridDatePicker* picker = g.GridDatePicker();
    ASSERT_TRUE(picker->isVisible());
    const QImage shot = picker->grab().toImage();
    const int w = shot.width(), h = shot.height();
    ASSERT_GT(w, 20);
    ASSERT_GT(h, 10);
    const unsigned window = ToQRgb(clWindow);
    // Two pixels all round, the drop-down button's side included.
    for (int i = 0; i < 2; ++i) {
        for (int x = 0; x < w; ++x) {
            EXPECT_EQ(shot.pixel(x, i) | 0xFF000000u, window) << "top " << x << "," << i;
            EXPECT_EQ(shot.pixel(x, h - 1 - i) | 0xFF000000u, window) << "bottom " << x << "," << i;
        }
        for (int y = 0; y < h; ++y) {
            EXPECT_EQ(shot.pixel(i, y) | 0xFF000000u, window) << "left " << i << "," << y;
            EXPECT_EQ(shot.pixel(w - 1 - i, y) | 0xFF000000u, window) << "right " << i << "," << y;
        }
    }
    // Inside the frame the date still shows.
    int ink = 0;
    for (int y = 2; y < h - 2; ++y)
        for (int x = 2; x < w / 2; ++x) ink += qGray(shot.pixel(x, y)) < 128 ? 1 : 0;
    EXPECT_GT(ink, 10);
}

TEST(Editors, EscapeInTheDatePickerKeepsItsValueForATextThatIsNoDate)
{
    Grid g;
    g.editors[{1, 1}] = edDateEdit;
    g.SetCellText(1, 1, QStringLiteral("not a date"));
    g.Edit(1, 1);
    TGridDatePicker* picker = g.GridDatePicker();
    picker->SetDate(EncodeDate(2001, 2, 3));
    Key(picker, Qt::Key_Escape);
    EXPECT_EQ(picker->Date(), EncodeDate(2001, 2, 3));
    EXPECT_EQ(g.GetCellText(1, 1), "not a date");
}

TEST(Editors, EscapeLeavesTheCellAsItWas)
{
    Grid g;
    g.editors[{1, 1}] = edEditBtn;
    g.SetCellText(1, 1, QStringLiteral("kept"));
    g.Edit(1, 1);
    g.GridEditBtn()->SetText(QStringLiteral("changed"));
    Key(g.GridEditBtn(), Qt::Key_Escape);
    EXPECT_FALSE(g.EditInProgress());
    EXPECT_EQ(g.GetCellText(1, 1), "kept");
}

TEST(Editors, LettersInANumericEditWithButtonBeep)
{
    ScopedDialogResponder dialogs;
    Grid g;
    g.editors[{1, 1}] = edNumericEditBtn;
    g.Edit(1, 1);
    QTest::keyClicks(g.GridEditBtn(), QStringLiteral("-1a2"));
    EXPECT_EQ(g.GridEditBtn()->Text(), "-12");
    EXPECT_EQ(dialogs.Beeps(), 1);
}

TEST(Editors, AFloatEditWithButtonFiltersAndItsButtonAsksTheGrid)
{
    ScopedDialogResponder dialogs;
    TFormatSettings comma;
    comma.DecimalSeparator = u',';
    comma.ThousandSeparator = u'.';
    ScopedRegionalSettings scoped(comma);
    Grid g;
    g.editors[{2, 1}] = edFloatEditBtn;
    g.Edit(2, 1);
    TGridEditBtn* btn = g.GridEditBtn();
    // The thousand separator and letters go silently, the decimal
    // separator once; a minus after a digit beeps.
    QTest::keyClicks(btn, QStringLiteral("-1.2,5,x-"));
    EXPECT_EQ(btn->Text(), "-12,5");
    EXPECT_EQ(dialogs.Beeps(), 1);

    QStringList asked;
    g.OnEllipsClick = [&](QObject* sender, int col, int row, QString& s) {
        EXPECT_EQ(sender, &g);
        asked << QStringLiteral("%1,%2:%3").arg(col).arg(row).arg(s);
        s = QStringLiteral("3,25");
    };
    QTest::mouseClick(btn->ButtonHolder()->Button(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(asked, QStringList{"2,1:-12,5"});
    EXPECT_EQ(btn->Text(), "3,25");
    EXPECT_EQ(btn->SelText(), "3,25");
}

TEST(Validation, ARefusedEditKeepsTheCellsTextAndTheCurrentCell)
{
    Grid g;
    g.SetCellText(1, 1, QStringLiteral("good"));
    int asked = 0;
    g.OnCellValidate = [&](QObject*, int col, int row, QString& value, bool& valid) {
        ++asked;
        EXPECT_EQ(col, 1);
        EXPECT_EQ(row, 1);
        valid = value != "bad";
    };
    g.Edit(1, 1);
    TExtInplaceEdit* ed = g.TextEditor();
    ed->SetText(QStringLiteral("bad"));
    Key(ed, Qt::Key_Down);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_TRUE(g.EditorMode());
    EXPECT_EQ(ed->Text(), "good");
    EXPECT_EQ(g.GetCellText(1, 1), "good");

    ed->SetText(QStringLiteral("better"));
    Key(ed, Qt::Key_Down);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(g.GetCellText(1, 1), "better");
    EXPECT_EQ(asked, 2);
}

TEST(Validation, TheCellCheckerCorrectsBeforeTheEvent)
{
    class Upper : public TExtStringGridCheck {
    public:
        QString Correct(int, int, const QString& text) override { return text.toUpper(); }
    } checker;
    checker.AutoCorrect = true;
    Grid g;
    g.SetCellChecker(&checker);
    QString seen;
    g.OnCellValidate = [&](QObject*, int, int, QString& value, bool&) { seen = value; };
    g.Edit(1, 1);
    g.TextEditor()->SetText(QStringLiteral("abc"));
    Key(g.TextEditor(), Qt::Key_Return);
    EXPECT_EQ(seen, "ABC");
    EXPECT_EQ(g.GetCellText(1, 1), "ABC");
}

TEST(TextEditor, CharactersAreFilteredByTheEditorType)
{
    ScopedDialogResponder dialogs;
    Grid g;
    g.editors[{1, 1}] = edNumeric;
    g.editors[{2, 1}] = edUpperCase;
    g.editors[{3, 1}] = edFloat;
    g.Edit(1, 1);
    QTest::keyClicks(g.TextEditor(), QStringLiteral("-12-x"));
    EXPECT_EQ(g.TextEditor()->Text(), "-12");
    EXPECT_EQ(dialogs.Beeps(), 2);
    g.CloseEditorControl();

    g.Edit(2, 1);
    QTest::keyClicks(g.TextEditor(), QStringLiteral("ab"));
    EXPECT_EQ(g.TextEditor()->Text(), "AB");
    g.CloseEditorControl();

    TFormatSettings comma = RegionalSettings::Current();
    comma.DecimalSeparator = u',';
    comma.ThousandSeparator = u'.';
    ScopedRegionalSettings scoped(comma);
    g.Edit(3, 1);
    QTest::keyClicks(g.TextEditor(), QStringLiteral("1.5,2,5x"));
    EXPECT_EQ(g.TextEditor()->Text(), "15,25");
}

TEST(TextEditor, PasteIsFilteredAndLengthLimited)
{
    Grid g;
    g.editors[{1, 1}] = edPositiveNumeric;
    g.SetCellText(1, 1, QStringLiteral("34"));
    g.Edit(1, 1);
    TExtInplaceEdit* ed = g.TextEditor();
    QApplication::clipboard()->setText(QStringLiteral("1a"));
    ed->SetSelStart(1);
    Key(ed, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ed->Text(), "34");
    QApplication::clipboard()->setText(QStringLiteral("12"));
    ed->SetSelStart(1);
    Key(ed, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ed->Text(), "3124");
    EXPECT_EQ(ed->SelStart(), 3);
    g.CloseEditorControl();

    g.SetMaxEditLength(5);
    g.Edit(2, 1);
    QTest::keyClicks(g.TextEditor(), QStringLiteral("abcdefg"));
    EXPECT_EQ(g.TextEditor()->Text(), "abcde");
    Key(g.TextEditor(), Qt::Key_Backspace);
    EXPECT_EQ(g.TextEditor()->Text(), "abcd");
}

TEST(TextEditor, CopyAndCutAskTheGridOnEveryRoute)
{
    ScopedDialogResponder dialogs;
    Grid g;
    g.SetCellText(1, 1, QStringLiteral("abc"));
    g.Edit(1, 1);
    TExtInplaceEdit* ed = g.TextEditor();
    QList<QObject*> copies;
    QList<QObject*> cuts;
    bool allow = false;
    g.OnClipboardCopy = [&](QObject* sender, bool& a) {
        copies << sender;
        a = allow;
    };
    g.OnClipboardCut = [&](QObject* sender, bool& a) {
        cuts << sender;
        a = allow;
    };
    const auto menu = [&](const QString& item) {
        ed->SelectAll();
        const int before = dialogs.Count(DialogRequest::Kind::PopupMenu);
        // The menu's items are asked first, then the chosen one is run.
        QContextMenuEvent probe(QContextMenuEvent::Mouse, QPoint(3, 3), ed->mapToGlobal(QPoint(3, 3)));
        QApplication::sendEvent(ed, &probe);
        const int index = dialogs.Shown().last().items.indexOf(item);
        ASSERT_GE(index, 0);
        ASSERT_EQ(dialogs.Count(DialogRequest::Kind::PopupMenu), before + 1);
        dialogs.NextMenuChoice(index);
        QContextMenuEvent ev(QContextMenuEvent::Mouse, QPoint(3, 3), ed->mapToGlobal(QPoint(3, 3)));
        QApplication::sendEvent(ed, &ev);
    };

    // Refused: nothing reaches the clipboard and the text stays.
    QApplication::clipboard()->setText(QStringLiteral("before"));
    ed->SelectAll();
    Key(ed, Qt::Key_C, Qt::ControlModifier);
    Key(ed, Qt::Key_X, Qt::ControlModifier);
    Key(ed, Qt::Key_Insert, Qt::ControlModifier);
    Key(ed, Qt::Key_Delete, Qt::ShiftModifier);
    menu(QStringLiteral("&Copy"));
    menu(QStringLiteral("Cu&t"));
    EXPECT_EQ(QApplication::clipboard()->text(), "before");
    EXPECT_EQ(ed->Text(), "abc");
    EXPECT_EQ(copies, (QList<QObject*>{ed, ed, ed}));
    EXPECT_EQ(cuts, (QList<QObject*>{ed, ed, ed}));

    // Allowed: each route asks once and does its work.
    allow = true;
    copies.clear();
    cuts.clear();
    menu(QStringLiteral("&Copy"));
    EXPECT_EQ(QApplication::clipboard()->text(), "abc");
    EXPECT_EQ(copies.size(), 1);
    ed->SetText(QStringLiteral("xyz"));
    menu(QStringLiteral("Cu&t"));
    EXPECT_EQ(QApplication::clipboard()->text(), "xyz");
    EXPECT_EQ(ed->Text(), "");
    EXPECT_EQ(cuts.size(), 1);
    ed->SetText(QStringLiteral("key"));
    ed->SelectAll();
    Key(ed, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "key");
    EXPECT_EQ(copies.size(), 2);
}

TEST(TextEditor, LookupCompletesFromTheItems)
{
    Grid g;
    g.SetLookup(true);
    g.LookupItems() << QStringLiteral("Apple") << QStringLiteral("Apricot");
    g.Edit(1, 1);
    QTest::keyClicks(g.TextEditor(), QStringLiteral("ap"));
    EXPECT_EQ(g.TextEditor()->Text(), "apple");
    EXPECT_EQ(g.TextEditor()->SelText(), "ple");
    // Backspace keeps the lookup off until the next letter.
    Key(g.TextEditor(), Qt::Key_Backspace);
    EXPECT_EQ(g.TextEditor()->Text(), "ap");
    QTest::keyClicks(g.TextEditor(), QStringLiteral("r"));
    EXPECT_EQ(g.TextEditor()->Text(), "apricot");
    EXPECT_EQ(g.TextEditor()->SelText(), "icot");
}

TEST(TextEditor, LookupHistoryKeepsTheTextsTypedForTheNextCompletion)
{
    Grid g;
    g.SetLookup(true);
    g.SetLookupHistory(true);
    g.Edit(1, 1);
    QTest::keyClicks(g.TextEditor(), QStringLiteral("pear"));
    Key(g.TextEditor(), Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 1), "pear");
    EXPECT_EQ(g.LookupItems(), QStringList{"pear"});
    g.Edit(1, 2);
    QTest::keyClicks(g.TextEditor(), QStringLiteral("pe"));
    EXPECT_EQ(g.TextEditor()->Text(), "pear");
    EXPECT_EQ(g.TextEditor()->SelText(), "ar");
}

TEST(TextEditor, CursorWalkMovesOnAtTheEndOfTheText)
{
    Grid g;
    g.Navigation().CursorWalkEditor = true;
    g.SetCellText(1, 1, QStringLiteral("ab"));
    g.Edit(1, 1);
    g.TextEditor()->SetSelStart(2);
    Key(g.TextEditor(), Qt::Key_Right);
    EXPECT_EQ(g.Col(), 2);
    EXPECT_EQ(g.Row(), 1);
}

TEST(TextEditor, CursorWalkLeavesOnlyAtTheEndsWithoutModifiersAlongTheRow)
{
    Grid g;
    g.Navigation().CursorWalkEditor = true;
    g.Navigation().AdvanceDirection = adTopBottom;
    g.SetCellText(2, 2, QStringLiteral("ab"));
    g.Edit(2, 2);
    // Inside the text, with Shift, or over a selection the caret moves.
    g.TextEditor()->SetSelStart(1);
    Key(g.TextEditor(), Qt::Key_Right);
    g.TextEditor()->SetSelStart(2);
    Key(g.TextEditor(), Qt::Key_Right, Qt::ShiftModifier);
    g.TextEditor()->SetSelStart(0);
    Key(g.TextEditor(), Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(g.Col(), 2);
    EXPECT_EQ(g.Row(), 2);
    // At the start Left goes to the previous cell of the row, whatever the
    // advance direction, and edits it.
    g.TextEditor()->SetSelStart(0);
    Key(g.TextEditor(), Qt::Key_Left);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_TRUE(g.EditorMode());
    EXPECT_EQ(g.Navigation().AdvanceDirection, adTopBottom);
}

// A popup editor whose control is a plain line in the popup.
class PopupLink : public TEditLink {
public:
    QWidget* EditControl() override { return m_edit; }
    void CreateEditor(QWidget* parent) override
    {
        m_edit = new QLineEdit(parent);
        ++created;
    }
    QString GetEditorValue() override { return m_edit ? m_edit->text() : QString(); }
    void SetEditorValue(const QString& value) override
    {
        if (m_edit) m_edit->setText(value);
    }
    int created = 0;

private:
    QPointer<QLineEdit> m_edit;
};

TEST(CustomEditor, APopupFormIsFreedWheneverTheEditEnds)
{
    Grid g;
    PopupLink link;
    link.EditStyle = esPopup;
    link.PopupWidth = 120;
    link.PopupHeight = 80;
    g.SetEditLink(&link);
    g.editors[{1, 1}] = edCustom;
    g.SetCellText(1, 1, QStringLiteral("v"));
    TEditLink* seen = nullptr;
    g.OnGetEditorProp = [&](QObject*, int, int, TEditLink* l) { seen = l; };
    for (int i = 0; i < 3; ++i) {
        g.Edit(1, 1);
        ASSERT_NE(link.PopupForm(), nullptr);
        QPointer<QWidget> popup = link.PopupForm();
        EXPECT_EQ(link.EditCell(), TPoint(1, 1));
        g.CloseEditorControl();
        EXPECT_EQ(link.PopupForm(), nullptr);
        EXPECT_TRUE(popup.isNull());
    }
    EXPECT_EQ(seen, &link);
    EXPECT_EQ(link.created, 3);
    EXPECT_EQ(g.GetCellText(1, 1), "v");
}

TEST(CustomEditor, KeysEndTheEditUnlessTheLinkWantsThem)
{
    Grid g;
    LineEditLink link;
    g.SetEditLink(&link);
    for (int r = 1; r < 5; ++r) g.editors[{1, r}] = edCustom;
    g.SetCellText(1, 1, QStringLiteral("old"));
    auto typeAndPress = [&](const QString& text, Qt::Key key) {
        QPointer<QWidget> c = link.EditControl();
        EXPECT_NE(c, nullptr);
        if (!c) return;
        static_cast<QLineEdit*>(c.data())->setText(text);
        Key(c, key);
        EXPECT_TRUE(testsupport::WaitUntil([&] { return c.isNull() || !g.EditInProgress(); }));
    };

    // Which keys end the edit, and which each flag keeps.
    for (int k : {Win::VK_TAB, Win::VK_RETURN, Win::VK_ESCAPE, Win::VK_PRIOR, Win::VK_NEXT, Win::VK_END, Win::VK_LEFT,
                  Win::VK_UP, Win::VK_RIGHT, Win::VK_DOWN})
        EXPECT_TRUE(link.KeyEndsEdit(k)) << k;
    EXPECT_FALSE(link.KeyEndsEdit(Win::VK_HOME));
    EXPECT_FALSE(link.KeyEndsEdit('A'));
    link.WantKeyUpDown = link.WantKeyLeftRight = link.WantKeyHomeEnd = true;
    link.WantKeyPriorNext = link.WantKeyReturn = link.WantKeyEscape = true;
    for (int k : {Win::VK_RETURN, Win::VK_ESCAPE, Win::VK_PRIOR, Win::VK_NEXT, Win::VK_END, Win::VK_HOME, Win::VK_LEFT,
                  Win::VK_UP, Win::VK_RIGHT, Win::VK_DOWN})
        EXPECT_FALSE(link.KeyEndsEdit(k)) << k;
    EXPECT_TRUE(link.KeyEndsEdit(Win::VK_TAB));

    // Kept: Down stays in the editor.
    g.Edit(1, 1);
    ASSERT_NE(link.EditControl(), nullptr);
    Key(link.EditControl(), Qt::Key_Down);
    QCoreApplication::processEvents();
    EXPECT_TRUE(g.EditInProgress());
    EXPECT_EQ(g.Row(), 1);
    g.CloseEditorControl();

    // Escape restores the cell's text from before the edit.
    link.WantKeyUpDown = link.WantKeyEscape = link.WantKeyReturn = false;
    g.Edit(1, 1);
    typeAndPress(QStringLiteral("new"), Qt::Key_Escape);
    EXPECT_EQ(g.GetCellText(1, 1), "old");
    EXPECT_EQ(g.Row(), 1);
    // Return stores and stays; Down stores and moves one row down.
    g.Edit(1, 1);
    typeAndPress(QStringLiteral("ret"), Qt::Key_Return);
    EXPECT_EQ(g.GetCellText(1, 1), "ret");
    EXPECT_EQ(g.Row(), 1);
    EXPECT_TRUE(g.hasFocus());
    g.Edit(1, 1);
    typeAndPress(QStringLiteral("down"), Qt::Key_Down);
    EXPECT_EQ(g.GetCellText(1, 1), "down");
    EXPECT_EQ(g.Row(), 2);

    // Leaving the editor for another control stores the value.
    QLineEdit other(&g);
    other.show();
    g.Edit(1, 2);
    QPointer<QWidget> c = link.EditControl();
    ASSERT_NE(c, nullptr);
    static_cast<QLineEdit*>(c.data())->setText(QStringLiteral("left"));
    other.setFocus();
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !g.EditInProgress(); }));
    EXPECT_EQ(g.GetCellText(1, 2), "left");
}

TEST(RichEditor, RichCellsEditAsFormattedTextAndStoreRtf)
{
    Grid g;
    for (int r = 1; r < 5; ++r) g.editors[{2, r}] = edRichEdit;
    g.SetCellText(2, 1, QStringLiteral("{\\rtf1\\ansi Plain {\\b bold}}"));
    g.Edit(2, 1);
    TExtRichEdit* rich = g.GridRichEdit();
    ASSERT_TRUE(rich->isVisible());
    EXPECT_EQ(rich->toPlainText(), QStringLiteral("Plain bold"));
    const TRtfDocument shown = rich->Document();
    ASSERT_EQ(shown.Paragraphs.size(), 1);
    ASSERT_EQ(shown.Paragraphs[0].Runs.size(), 2);
    EXPECT_TRUE(shown.Paragraphs[0].Runs[1].Bold);
    // Unchanged, nothing is stored.
    g.CloseEditorControl();
    EXPECT_FALSE(rich->isVisible());
    EXPECT_EQ(g.GetCellText(2, 1), QStringLiteral("{\\rtf1\\ansi Plain {\\b bold}}"));

    // Typed text is stored as rich text that keeps the formats.
    g.Edit(2, 1);
    rich->moveCursor(QTextCursor::End);
    QTest::keyClicks(rich, QStringLiteral("er"));
    Key(rich, Qt::Key_Down);
    EXPECT_EQ(g.Row(), 2);
    const TRtfDocument stored = TRtfReader::Read(g.GetCellText(2, 1).toLatin1());
    EXPECT_EQ(stored.PlainText(), QStringLiteral("Plain bolder"));
    EXPECT_TRUE(stored.Paragraphs[0].Runs.last().Bold);

    // Esc stores nothing; a plain cell text comes in as text.
    g.SetCellText(2, 3, QStringLiteral("just text"));
    g.Edit(2, 3);
    EXPECT_EQ(rich->toPlainText(), QStringLiteral("just text"));
    QTest::keyClicks(rich, QStringLiteral("x"));
    Key(rich, Qt::Key_Escape);
    EXPECT_FALSE(g.EditInProgress());
    EXPECT_EQ(g.GetCellText(2, 3), QStringLiteral("just text"));

    // With multi-line cells Down stays in the editor; a taller text makes
    // the row taller while SizeWhileTyping.Height is on.
    g.SetMultilinecells(true);
    g.SizeWhileTyping().Height = true;
    int sized = -1;
    g.OnEndRowSize = [&](QObject*, int row) { sized = row; };
    g.Edit(2, 2);
    Key(rich, Qt::Key_Down);
    EXPECT_TRUE(g.EditInProgress());
    const int before = g.RowHeights(2);
    for (int i = 0; i < 3; ++i) Key(rich, Qt::Key_Return);
    EXPECT_GT(g.RowHeights(2), before);
    EXPECT_EQ(g.RowHeights(2), rich->ReqHeight + 5);
    EXPECT_EQ(sized, 2);
    g.CloseEditorControl();
}

TEST(RichEditor, ParagraphsShowAndStoreTheirAlignment)
{
    Grid g;
    g.editors[{2, 1}] = edRichEdit;
    g.SetColWidths(2, 240);
    g.SetRowHeights(1, 100);
    g.SetCellText(2, 1, QStringLiteral("{\\rtf1\\ansi left\\par\\qr right\\par\\qc mid\\par\\qj even}"));
    g.Edit(2, 1);
    TExtRichEdit* rich = g.GridRichEdit();
    ASSERT_TRUE(rich->isVisible());
    QTextDocument* doc = rich->document();
    ASSERT_EQ(doc->blockCount(), 4);
    EXPECT_EQ(doc->findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(doc->findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(doc->findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(doc->findBlockByNumber(3).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    // Where each paragraph's text starts on the screen.
    const auto startX = [&](int block) {
        QTextCursor c(doc->findBlockByNumber(block));
        return rich->cursorRect(c).left();
    };
    const int width = rich->viewport()->width();
    EXPECT_LT(startX(0), width / 8);
    EXPECT_GT(startX(1), width / 2);
    EXPECT_GT(startX(2), width / 4);
    EXPECT_LT(startX(2), width / 2);
    // The right-aligned text ends at the right edge.
    QTextCursor end(doc->findBlockByNumber(1));
    end.movePosition(QTextCursor::EndOfBlock);
    EXPECT_GT(rich->cursorRect(end).left(), width - width / 8);

    // Typed into, the cell is stored with every paragraph's alignment.
    rich->setTextCursor(end);
    QTest::keyClicks(rich, QStringLiteral("er"));
    EXPECT_EQ(doc->findBlockByNumber(1).text(), QStringLiteral("righter"));
    g.CloseEditorControl();
    const TRtfDocument stored = TRtfReader::Read(g.GetCellText(2, 1).toLatin1());
    ASSERT_EQ(stored.Paragraphs.size(), 4);
    EXPECT_EQ(stored.Paragraphs[0].Alignment, TRtfAlignment::Left);
    EXPECT_EQ(stored.Paragraphs[1].Alignment, TRtfAlignment::Right);
    EXPECT_EQ(stored.Paragraphs[2].Alignment, TRtfAlignment::Center);
    EXPECT_EQ(stored.Paragraphs[3].Alignment, TRtfAlignment::Justify);
    EXPECT_EQ(stored.PlainText(), QStringLiteral("left\r\nrighter\r\nmid\r\neven"));
}

} // namespace
