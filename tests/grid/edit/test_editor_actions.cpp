// What the user sees of the cell editors beyond their keys: the caret under
// the click that opened an editor, masked texts (first position selected,
// a full text taken as Enter), the grid's edit-text hook, the check-box
// editor's keys and Enter on check cells, the combo editor's events, a
// refused edit corrected by its event, the list combo that stays open, and
// what moving the current cell repaints; multi-line and word-wrapped cells
// edited on lines.
#include "grid/TExtStringGrid.h"
#include "grid/TFooterPanel.h"
#include "grid/cells/TCellGraphic.h"
#include "grid/edit/TExtInplaceEdit.h"
#include "grid/edit/TExtInplaceMemo.h"
#include "grid/edit/TGridCheckBox.h"
#include "grid/edit/TGridCombo.h"
#include "platform/graphics/Bitmap.h"
#include "tests/support/PrintQString.h"
#include "tests/support/TestSupport.h"
#include "tests/grid/edit/TypeIntoFocus.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

// A grid that remembers the cells it paints and the texts its editor hook
// is shown; a hook that answers "x" with "hooked".
class RecordingGrid : public TExtStringGrid {
public:
    explicit RecordingGrid(QWidget* parent) : TExtStringGrid(parent, QStringLiteral("ActionGrid")) { }
    std::set<std::pair<int, int>> painted;
    QStringList hooked;
    void AddGraphic(int col, int row, TCellType type)
    {
        auto* g = new TCellGraphic;
        g->CellType = type;
        SetCellAttachment(col, row, g);
    }

protected:
    void DrawCellContent(TCanvas& canvas, int col, int row, TRect rect, TGridDrawState state) override
    {
        painted.insert({col, row});
        TExtStringGrid::DrawCellContent(canvas, col, row, rect, state);
    }
    bool EditTextHook(const QString& text, QString& value, int) override
    {
        hooked << text;
        if (text != QStringLiteral("x")) return false;
        value = QStringLiteral("hooked");
        return true;
    }
};

// A form holding a 5 x 6 grid (one fixed row and column, editing on) over a
// line edit.
class Form : public QWidget {
public:
    Form()
    {
        auto* layout = new QVBoxLayout(this);
        grid = new RecordingGrid(this);
        other = new QLineEdit(this);
        layout->addWidget(grid);
        layout->addWidget(other);
        resize(500, 360);
        grid->SetColCount(5);
        grid->SetRowCount(6);
        grid->SetOptions(grid->Options() + TGridOption::goEditing);
        grid->OnGetEditorType = [this](QObject*, int col, int row, TEditorType& editor) {
            const auto it = editors.find({col, row});
            if (it != editors.end()) editor = it->second;
        };
        grid->OnGetEditMask = [this](QObject*, int, int, QString& value) { value = mask; };
        show();
        QApplication::setActiveWindow(this);
        grid->setFocus();
    }
    void Edit(int col, int row)
    {
        grid->FocusCell(col, row);
        grid->ShowEditor();
    }
    static void Type(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { TypeIntoFocus(key, mods); }
    static void Type(const QString& text) { TypeIntoFocus(text); }
    // A click 20 pixels into the cell, halfway down.
    void ClickInto(int col, int row)
    {
        const TRect r = grid->CellRect(col, row);
        QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, QPoint(r.Left + 20, (r.Top + r.Bottom) / 2));
    }
    bool GridHasFocus() const { return QApplication::focusWidget() == grid; }
    // Lets every posted event run, deferred deletes included.
    static void Settle()
    {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
    }

    RecordingGrid* grid;
    QLineEdit* other;
    std::map<std::pair<int, int>, TEditorType> editors;
    QString mask;
};

TEST(CaretPositioning, AClickThatOpensTheTextEditorPutsTheCaretUnderThePointer)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    const QString text = QStringLiteral("abcdefghijklmnop");
    f.grid->SetCells(1, 1, text);
    f.grid->FocusCell(1, 1);

    // Without caret positioning the whole text is selected.
    f.ClickInto(1, 1);
    ASSERT_TRUE(f.grid->EditorMode());
    EXPECT_EQ(f.grid->TextEditor()->SelLength(), text.size());
    f.grid->HideEditor();

    f.grid->MouseActions().CaretPositioning = true;
    f.ClickInto(1, 1);
    ASSERT_TRUE(f.grid->EditorMode());
    TExtInplaceEdit* ed = f.grid->TextEditor();
    EXPECT_EQ(ed->SelLength(), 0);
    EXPECT_GT(ed->SelStart(), 0);
    EXPECT_LT(ed->SelStart(), 6);
    f.grid->HideEditor();

    // Opened by F2 afterwards, no click is pending.
    f.grid->Navigation().EditSelectAll = false;
    f.Edit(1, 1);
    EXPECT_EQ(f.grid->TextEditor()->SelStart(), text.size());
}

TEST(CaretPositioning, AClickThatOpensAComboPutsItsCaretUnderThePointer)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.editors[{1, 1}] = edComboEdit;
    f.grid->SetCells(1, 1, QStringLiteral("abcdefghijklmnop"));
    f.grid->MouseActions().CaretPositioning = true;
    f.grid->FocusCell(1, 1);
    f.ClickInto(1, 1);
    ASSERT_TRUE(f.grid->EditInProgress());
    QLineEdit* field = f.grid->GridCombo()->lineEdit();
    ASSERT_NE(field, nullptr);
    EXPECT_GT(field->cursorPosition(), 0);
    EXPECT_LT(field->cursorPosition(), 6);
}

TEST(MaskedText, ImproveMaskSelSelectsTheFirstPosition)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.mask = QStringLiteral("000;1;_");
    f.grid->Navigation().ImproveMaskSel = true;
    f.grid->SetCells(1, 1, QStringLiteral("123"));
    f.Edit(1, 1);
    ASSERT_TRUE(f.grid->EditorMode());
    EXPECT_EQ(f.grid->TextEditor()->SelStart(), 0);
    EXPECT_EQ(f.grid->TextEditor()->SelLength(), 1);
    // Typing replaces the first position only.
    f.Type(QStringLiteral("9"));
    EXPECT_EQ(f.grid->TextEditor()->Text(), QStringLiteral("923"));
}

TEST(MaskedText, AdvanceAutoTakesAFullTextAsEnter)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.mask = QStringLiteral("000;1;_");
    f.grid->Navigation().AdvanceAuto = true;
    f.grid->Navigation().AdvanceOnEnter = true;
    f.Edit(1, 1);
    f.grid->TextEditor()->SetText(QString());
    f.grid->TextEditor()->SetSelStart(0);
    f.Type(QStringLiteral("12"));
    EXPECT_TRUE(f.grid->EditorMode());
    EXPECT_EQ(f.grid->Col(), 1);
    f.Type(QStringLiteral("3"));
    EXPECT_EQ(f.grid->Cells(1, 1), QStringLiteral("123"));
    EXPECT_EQ(f.grid->Col(), 2);
    EXPECT_FALSE(f.grid->EditorMode());

    // A refused text stays in the editor with the cell's text.
    f.grid->OnCellValidate = [](QObject*, int, int, QString&, bool& valid) { valid = false; };
    f.Edit(1, 2);
    f.grid->TextEditor()->SetText(QString());
    f.grid->TextEditor()->SetSelStart(0);
    f.Type(QStringLiteral("456"));
    EXPECT_TRUE(f.grid->EditorMode());
    EXPECT_EQ(f.grid->Col(), 1);
    EXPECT_EQ(f.grid->Cells(1, 2), QString());

    // Without the setting a full text stays in the editor.
    f.grid->OnCellValidate = nullptr;
    f.grid->Navigation().AdvanceAuto = false;
    f.Edit(1, 3);
    f.grid->TextEditor()->SetText(QString());
    f.grid->TextEditor()->SetSelStart(0);
    f.Type(QStringLiteral("789"));
    EXPECT_TRUE(f.grid->EditorMode());
    EXPECT_EQ(f.grid->Row(), 3);
}

TEST(EditTextHook, TheTextEditorShowsTheHookItsTextAndTakesItsAnswer)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.Edit(1, 1);
    f.Type(QStringLiteral("ab"));
    ASSERT_TRUE(f.grid->EditorMode());
    EXPECT_EQ(f.grid->hooked, (QStringList{QStringLiteral("a"), QStringLiteral("ab")}));
    f.Type(Qt::Key_A, Qt::ControlModifier);
    f.Type(QStringLiteral("x"));
    EXPECT_EQ(f.grid->TextEditor()->Text(), QStringLiteral("hooked"));
    f.Type(Qt::Key_Return);
    EXPECT_EQ(f.grid->Cells(1, 1), QStringLiteral("hooked"));
}

TEST(CheckBoxEditor, OnlyUpAndDownMoveTheGridTheOtherKeysOnlyEndTheEdit)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    for (int r = 1; r < 6; ++r) f.editors[{2, r}] = edCheckBox;
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_End}) {
        SCOPED_TRACE(int(key));
        f.Edit(2, 3);
        ASSERT_TRUE(f.grid->GridCheckBox()->hasFocus());
        f.Type(key);
        EXPECT_FALSE(f.grid->EditInProgress());
        EXPECT_FALSE(f.grid->GridCheckBox()->isVisible());
        EXPECT_TRUE(f.GridHasFocus());
        EXPECT_EQ(f.grid->Col(), 2);
        EXPECT_EQ(f.grid->Row(), 3);
    }
    f.Edit(2, 3);
    f.Type(Qt::Key_Down);
    EXPECT_EQ(f.grid->Row(), 4);
    EXPECT_TRUE(f.GridHasFocus());
    f.Edit(2, 4);
    f.Type(Qt::Key_Up);
    EXPECT_EQ(f.grid->Row(), 3);
}

TEST(CheckCells, EnterOnACheckCellAdvancesWithAdvanceOnEnter)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.grid->AddGraphic(1, 1, ctCheckBox);
    f.grid->AddGraphic(1, 2, ctCheckBox);
    f.grid->Navigation().AdvanceDirection = adTopBottom;
    f.grid->FocusCell(1, 1);
    f.Type(Qt::Key_Return);
    EXPECT_EQ(f.grid->Row(), 1);

    f.grid->Navigation().AdvanceOnEnter = true;
    f.Type(Qt::Key_Return);
    EXPECT_EQ(f.grid->Row(), 2);
    EXPECT_FALSE(f.grid->EditorMode());
    // From a check cell to a text cell the Enter goes on: the editor opens.
    f.Type(Qt::Key_Return);
    EXPECT_EQ(f.grid->Row(), 3);
    EXPECT_TRUE(f.grid->EditorMode());
}

TEST(ComboEvents, AChoiceTypingAndClosingTheListAreTold)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    QObject marker;
    TGridCombo* combo = f.grid->GridCombo();
    combo->Items().Add(QStringLiteral("one"));
    combo->Items().Add(QStringLiteral("two"));
    combo->Items().Add(QStringLiteral("three"));
    combo->Items().PutObject(1, &marker);
    f.editors[{1, 2}] = edComboList;
    f.editors[{2, 2}] = edComboEdit;
    f.grid->SetCells(1, 2, QStringLiteral("one"));
    QStringList changes;
    QObject* object = nullptr;
    std::vector<std::pair<int, int>> closed;
    f.grid->OnComboChange = [&](QObject* sender, int col, int row, int index, const QString& text) {
        EXPECT_EQ(sender, combo);
        changes << QStringLiteral("%1,%2:%3 %4").arg(col).arg(row).arg(index).arg(text);
    };
    f.grid->OnComboObjectChange = [&](QObject*, int, int, int, const QString&, QObject* o) { object = o; };
    f.grid->OnComboCloseUp = [&](QObject*, int row, int col) { closed.push_back({row, col}); };

    f.Edit(1, 2);
    f.Type(Qt::Key_Down);
    EXPECT_EQ(changes, QStringList{QStringLiteral("1,2:1 two")});
    EXPECT_EQ(object, &marker);

    // The list dropped and closed again.
    combo->SetDroppedDown(true);
    combo->SetDroppedDown(false);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0], std::make_pair(2, 1));
    f.Type(Qt::Key_Escape);

    changes.clear();
    f.Edit(2, 2);
    f.Type(QStringLiteral("ab"));
    EXPECT_EQ(changes, (QStringList{QStringLiteral("2,2:-1 a"), QStringLiteral("2,2:-1 ab")}));
}

TEST(Validation, ARefusedEditTakesTheEventsCorrectionAndEditsOnFromIt)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.grid->SetCells(1, 1, QStringLiteral("good"));
    int asked = 0;
    f.grid->OnCellValidate = [&](QObject*, int, int, QString& value, bool& valid) {
        ++asked;
        if (value == QStringLiteral("bad")) {
            value = QStringLiteral("fixed");
            valid = false;
        }
    };
    std::vector<TRect> changed;
    f.grid->OnCellsChanged = [&](QObject*, TRect cells) { changed.push_back(cells); };
    f.Edit(1, 1);
    f.Type(Qt::Key_A, Qt::ControlModifier);
    f.Type(QStringLiteral("bad"));
    f.Type(Qt::Key_Return);
    EXPECT_EQ(f.grid->Cells(1, 1), QStringLiteral("fixed"));
    EXPECT_TRUE(f.grid->EditorMode());
    EXPECT_EQ(f.grid->TextEditor()->Text(), QStringLiteral("fixed"));
    EXPECT_EQ(f.grid->Row(), 1);
    ASSERT_EQ(changed.size(), 1u);

    // The correction is where the edit goes on from: Enter now ends it.
    f.Type(Qt::Key_Return);
    EXPECT_FALSE(f.grid->EditorMode());
    EXPECT_EQ(f.grid->Cells(1, 1), QStringLiteral("fixed"));
    EXPECT_EQ(asked, 1);
}

TEST(ListCombo, TheFirstListComboOfANewGridStaysOpen)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.editors[{1, 1}] = edComboList;
    f.grid->GridCombo()->Items().Add(QStringLiteral("one"));
    f.grid->GridCombo()->Items().Add(QStringLiteral("two"));
    f.Edit(1, 1);
    ASSERT_TRUE(f.grid->EditInProgress());
    Form::Settle();
    EXPECT_TRUE(f.grid->EditInProgress());
    EXPECT_TRUE(f.grid->GridCombo()->isVisible());
    EXPECT_TRUE(f.grid->GridCombo()->hasFocus());
    // The user ends it.
    f.Type(Qt::Key_Down);
    f.Type(Qt::Key_Return);
    EXPECT_FALSE(f.grid->EditInProgress());
    EXPECT_EQ(f.grid->Cells(1, 1), QStringLiteral("two"));
}

TEST(MovingTheCurrentCell, TheRowIndicatorIsRepaintedInTheOldAndTheNewRow)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    TBitmap indicator;
    indicator.SetSize(8, 8);
    f.grid->FocusCell(2, 1);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !f.grid->painted.empty(); }));
    Form::Settle();

    f.grid->painted.clear();
    f.grid->FocusCell(2, 3);
    Form::Settle();
    EXPECT_EQ(f.grid->painted.count({0, 1}), 0u); // nothing asks for it yet

    f.grid->SetRowIndicator(&indicator);
    f.grid->painted.clear();
    f.grid->FocusCell(2, 4);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !f.grid->painted.empty(); }));
    EXPECT_EQ(f.grid->painted.count({0, 3}), 1u);
    EXPECT_EQ(f.grid->painted.count({0, 4}), 1u);
    f.grid->SetRowIndicator(nullptr);
}

TEST(MovingTheCurrentCell, APreviewFooterIsRepaintedAndACellUnderItBringsTheNextRow)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    RecordingGrid& g = *f.grid;
    g.SetRowCount(30);
    g.FloatingFooter().SetFooterStyle(fsColumnPreview);
    g.FloatingFooter().SetColumn(1);
    g.SetFloatingFooterVisible(true);
    TFooterPanel* panel = g.findChild<TFooterPanel*>(QStringLiteral("FooterPanel"));
    ASSERT_NE(panel, nullptr);
    int paints = 0;
    class Counter : public QObject {
    public:
        explicit Counter(int& n) : m_n(n) { }
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint) ++m_n;
            return false;
        }
        int& m_n;
    } counter(paints);
    panel->installEventFilter(&counter);
    Form::Settle();
    paints = 0;
    g.FocusCell(1, 2);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return paints > 0; }));

    // A row whose bottom lies under the panel, the rest of it in view (the
    // grid's height chosen so that there is one).
    int under = -1;
    for (int h = 200; h < 240 && under < 0; ++h) {
        g.setFixedHeight(h);
        Form::Settle();
        const int panelTop = g.ClientHeight() - g.FloatingFooter().FooterHeight + 2;
        for (int r = g.TopRow(); r < g.RowCount(); ++r) {
            const TRect cell = g.CellRect(1, r);
            if (!cell.IsEmpty() && cell.Bottom > panelTop && cell.Bottom <= g.ClientHeight()) {
                under = r;
                break;
            }
        }
    }
    ASSERT_GE(under, 0);
    const int top = g.TopRow();
    g.FocusCell(1, under);
    EXPECT_EQ(g.Row(), under);
    EXPECT_EQ(g.TopRow(), top + 1);
    panel->removeEventFilter(&counter);
}

TEST(MovingTheCurrentCell, TheChangingEventsAskForWhatChangesAndMayRefuse)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    RecordingGrid& g = *f.grid;
    g.FocusCell(1, 1);
    QStringList asked;
    bool refuse = false;
    g.OnRowChanging = [&](QObject*, int from, int to, bool&) {
        asked << QStringLiteral("row %1>%2").arg(from).arg(to);
    };
    g.OnColChanging = [&](QObject*, int from, int to, bool&) {
        asked << QStringLiteral("col %1>%2").arg(from).arg(to);
    };
    g.OnCellChanging = [&](QObject*, int oldRow, int oldCol, int row, int col, bool& allow) {
        asked << QStringLiteral("cell %1,%2>%3,%4").arg(oldCol).arg(oldRow).arg(col).arg(row);
        if (refuse) allow = false;
    };
    g.FocusCell(1, 3);
    EXPECT_EQ(asked, (QStringList{"row 1>3", "cell 1,1>1,3"}));
    asked.clear();
    g.FocusCell(2, 3);
    EXPECT_EQ(asked, (QStringList{"col 1>2", "cell 1,3>2,3"}));
    asked.clear();

    refuse = true;
    g.FocusCell(3, 4);
    EXPECT_EQ(asked, (QStringList{"row 3>4", "col 2>3", "cell 2,3>3,4"}));
    EXPECT_EQ(g.Col(), 2);
    EXPECT_EQ(g.Row(), 3);
}

TEST(MultiLineEditor, AMultiLineCellIsEditedOnLinesAndUpAndDownMoveInside)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    RecordingGrid& g = *f.grid;
    g.SetMultilinecells(true);
    g.Navigation().EditSelectAll = false;
    g.SetCells(1, 2, QStringLiteral("one\r\ntwo"));
    f.Edit(1, 2);
    ASSERT_TRUE(g.EditorMode());
    TExtInplaceMemo* lines = g.TextEditor()->Lines();
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), lines);
    EXPECT_TRUE(lines->isVisible());
    EXPECT_EQ(lines->toPlainText(), QStringLiteral("one\ntwo"));
    EXPECT_EQ(lines->textCursor().blockNumber(), 1);

    // Up moves to the first line and stays in the editor; typing lands there.
    f.Type(Qt::Key_Up);
    EXPECT_TRUE(g.EditorMode());
    EXPECT_EQ(lines->textCursor().blockNumber(), 0);
    f.Type(Qt::Key_End);
    f.Type(QStringLiteral("X"));
    EXPECT_EQ(g.TextEditor()->Text(), QStringLiteral("oneX\r\ntwo"));
    EXPECT_EQ(lines->toPlainText(), QStringLiteral("oneX\ntwo"));
    // Down moves to the last line, then leaves the cell storing the text.
    f.Type(Qt::Key_Down);
    EXPECT_TRUE(g.EditorMode());
    EXPECT_EQ(lines->textCursor().blockNumber(), 1);
    f.Type(Qt::Key_Down);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_FALSE(lines->isVisible());
    EXPECT_EQ(g.Row(), 3);
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("oneX\r\ntwo"));
    EXPECT_TRUE(f.GridHasFocus());

    // From the first line Up leaves upwards; Enter ends the edit.
    f.Edit(1, 2);
    f.Type(Qt::Key_Up);
    f.Type(Qt::Key_Up);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Row(), 1);
    f.Edit(1, 2);
    f.Type(Qt::Key_Return);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("oneX\r\ntwo"));

    // Leaving for another control stores what was typed.
    f.Edit(1, 2);
    f.Type(QStringLiteral("!"));
    f.other->setFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !g.EditorMode(); }));
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("oneX\r\ntwo!"));
}

TEST(MultiLineEditor, LineBreaksAreTypedWithLineFeedOnEnterOrCtrlEnter)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    RecordingGrid& g = *f.grid;
    g.SetMultilinecells(true);
    f.editors[{2, 1}] = edUpperCase;
    g.Navigation().LineFeedOnEnter = true;
    f.Edit(2, 1);
    f.Type(QStringLiteral("a"));
    f.Type(Qt::Key_Return);
    f.Type(QStringLiteral("b"));
    EXPECT_TRUE(g.EditorMode());
    EXPECT_EQ(g.TextEditor()->Text(), QStringLiteral("A\r\nB"));
    EXPECT_EQ(g.TextEditor()->Lines()->blockCount(), 2);
    // Backspace takes a line end whole.
    f.Type(Qt::Key_Backspace);
    f.Type(Qt::Key_Backspace);
    EXPECT_EQ(g.TextEditor()->Text(), QStringLiteral("A"));
    g.HideEditor();
    EXPECT_EQ(g.Cells(2, 1), QStringLiteral("A"));

    g.Navigation().LineFeedOnEnter = false;
    f.Edit(2, 1);
    f.Type(QStringLiteral("c"));
    f.Type(Qt::Key_Return, Qt::ControlModifier);
    f.Type(QStringLiteral("d"));
    EXPECT_TRUE(g.EditorMode());
    f.Type(Qt::Key_Return);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Cells(2, 1), QStringLiteral("C\r\nD"));
}

TEST(MultiLineEditor, CtrlEnterGrowsTheRowToTheLinesOfTheText)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    RecordingGrid& g = *f.grid;
    g.SetMultilinecells(true);
    g.SizeWhileTyping().Height = true;
    std::vector<int> sized;
    g.OnEndRowSize = [&](QObject*, int row) { sized.push_back(row); };
    const int before = g.RowHeights(2);
    f.Edit(1, 2);
    f.Type(QStringLiteral("a"));
    f.Type(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(sized, std::vector<int>{2});
    const int two = g.RowHeights(2);
    EXPECT_GT(two, before);
    f.Type(QStringLiteral("b"));
    f.Type(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_GT(g.RowHeights(2), two);
    // The editor follows the row.
    EXPECT_GE(g.TextEditor()->Lines()->height(), g.RowHeights(2) - 2);
    EXPECT_EQ(g.TextEditor()->Text(), QStringLiteral("a\r\nb\r\n"));
}

TEST(MultiLineEditor, TheEditorsWordWrapFollowsTheGrids)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    RecordingGrid& g = *f.grid;
    const QString text = QStringLiteral("many words that cannot fit on one line of a cell");
    g.SetCells(1, 1, text);
    f.Edit(1, 1);
    EXPECT_EQ(g.TextEditor()->Lines(), nullptr); // one line
    EXPECT_FALSE(g.TextEditor()->WordWrap());
    g.HideEditor();

    g.SetWordWrap(true);
    EXPECT_TRUE(g.TextEditor()->WordWrap());
    f.Edit(1, 1);
    TExtInplaceMemo* lines = g.TextEditor()->Lines();
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(lines->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return lines->document()->firstBlock().layout()->lineCount() > 1; }));
    g.HideEditor();
    EXPECT_EQ(g.Cells(1, 1), text);

    g.SetWordWrap(false);
    EXPECT_FALSE(g.TextEditor()->WordWrap());
    f.Edit(1, 1);
    EXPECT_EQ(g.TextEditor()->Lines(), nullptr);
}

} // namespace
