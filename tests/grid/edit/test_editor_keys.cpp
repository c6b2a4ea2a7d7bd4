// The keys every cell editor hands back to the grid, typed on a form where
// the grid has neighbours: TAB walks the cells and keeps the focus in the
// grid, Esc leaves the cell as it was, a typed start key replaces the old
// text, and an accepted edit updates the footer and tells OnCellsChanged.
#include "grid/TExtStringGrid.h"
#include "grid/edit/TGridButton.h"
#include "grid/cells/TCellProperties.h"
#include "grid/edit/TExtInplaceEdit.h"
#include "grid/edit/TGridCombo.h"
#include "grid/edit/TGridEditBtn.h"
#include "grid/edit/TGridSpin.h"
#include "platform/core/RegionalSettings.h"
#include "tests/support/PrintQString.h"
#include "tests/support/TestSupport.h"
#include "tests/grid/edit/TypeIntoFocus.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <map>

namespace {

// A form holding a 4 x 5 grid (one fixed row and column, editing and TAB
// on) between two line edits.
class Form : public QWidget {
public:
    Form()
    {
        auto* layout = new QVBoxLayout(this);
        grid = new TExtStringGrid(this, QStringLiteral("KeyGrid"));
        next = new QLineEdit(this);
        after = new QLineEdit(this);
        layout->addWidget(grid);
        layout->addWidget(next);
        layout->addWidget(after);
        resize(500, 400);
        grid->SetColCount(4);
        grid->SetRowCount(5);
        grid->SetOptions(grid->Options() + TGridOption::goEditing + TGridOption::goTabs);
        grid->OnGetEditorType = [this](QObject*, int col, int row, TEditorType& editor) {
            const auto it = editors.find({col, row});
            if (it != editors.end()) editor = it->second;
        };
        show();
        QApplication::setActiveWindow(this);
        grid->setFocus();
    }
    // Starts editing (col, row) as F2 would.
    void Edit(int col, int row)
    {
        grid->FocusCell(col, row);
        grid->ShowEditor();
    }
    static void Type(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { TypeIntoFocus(key, mods); }
    static void Type(const QString& text) { TypeIntoFocus(text); }
    bool GridHasFocus() const
    {
        QWidget* focus = QApplication::focusWidget();
        return focus && (focus == grid || grid->isAncestorOf(focus));
    }

    TExtStringGrid* grid;
    QLineEdit* next;
    QLineEdit* after;
    std::map<std::pair<int, int>, TEditorType> editors;
};

TEST(GridTab, TabWalksTheCellsAndKeepsTheFocusInTheGrid)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.grid->SetOptions(f.grid->Options() - TGridOption::goEditing);
    f.grid->FocusCell(1, 1);
    for (int col : {2, 3}) {
        Form::Type(Qt::Key_Tab);
        EXPECT_EQ(f.grid->Col(), col);
        EXPECT_TRUE(f.grid->hasFocus());
    }
    Form::Type(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(f.grid->Col(), 2);
    EXPECT_TRUE(f.grid->hasFocus());

    // The last cell without TabToNextAtEnd wraps and stays.
    f.grid->FocusCell(3, 4);
    Form::Type(Qt::Key_Tab);
    EXPECT_EQ(f.grid->Col(), 1);
    EXPECT_EQ(f.grid->Row(), 1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(f.grid->hasFocus());
}

TEST(GridTab, TabToNextAtEndMovesTheFocusOnOnce)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.grid->SetOptions(f.grid->Options() - TGridOption::goEditing);
    f.grid->Navigation().TabToNextAtEnd = true;
    f.grid->FocusCell(2, 4);
    Form::Type(Qt::Key_Tab);
    EXPECT_TRUE(f.grid->hasFocus());
    Form::Type(Qt::Key_Tab);
    EXPECT_EQ(f.grid->Col(), 1);
    EXPECT_EQ(f.grid->Row(), 1);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !f.grid->hasFocus(); }));
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    EXPECT_TRUE(f.next->hasFocus());
    EXPECT_FALSE(f.after->hasFocus());
}

TEST(EditorTab, TabInTheTextEditorStoresAndMovesToTheNextCell)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.Edit(1, 1);
    ASSERT_TRUE(f.grid->EditorMode());
    Form::Type(QStringLiteral("abc"));
    Form::Type(Qt::Key_Tab);
    EXPECT_EQ(f.grid->Cells(1, 1), QStringLiteral("abc"));
    EXPECT_EQ(f.grid->Col(), 2);
    EXPECT_EQ(f.grid->Row(), 1);
    EXPECT_FALSE(f.grid->EditorMode());
    EXPECT_TRUE(f.GridHasFocus());

    // Shift+Tab goes back; a refused text keeps the cell's own.
    f.grid->OnCellValidate = [](QObject*, int, int, QString& value, bool& valid) { valid = value != "bad"; };
    f.grid->SetCells(2, 1, QStringLiteral("good"));
    f.Edit(2, 1);
    Form::Type(Qt::Key_A, Qt::ControlModifier);
    Form::Type(QStringLiteral("bad"));
    Form::Type(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(f.grid->Cells(2, 1), QStringLiteral("good"));
    EXPECT_EQ(f.grid->Col(), 1);
    EXPECT_TRUE(f.GridHasFocus());

    // With AlwaysEdit the editor opens on the next cell.
    f.grid->Navigation().AlwaysEdit = true;
    f.Edit(1, 2);
    Form::Type(Qt::Key_Tab);
    EXPECT_EQ(f.grid->Col(), 2);
    EXPECT_TRUE(f.grid->EditorMode());
    EXPECT_TRUE(f.GridHasFocus());
}

// Every kind of cell editor: TAB stores the value and moves on, and the
// focus stays in the grid; Esc keeps the cell's text.
TEST(EditorTab, EveryEditorHandsTabAndEscapeToTheGrid)
{
    ScopedRegionalSettings settings{TFormatSettings{}};
    const std::vector<std::pair<TEditorType, QString>> kinds{
        {edNormal, QStringLiteral("7")},
        {edNumeric, QStringLiteral("7")},
        {edSpinEdit, QStringLiteral("7")},
        {edComboEdit, QStringLiteral("7")},
        {edUniEdit, QStringLiteral("7")},
        {edEditBtn, QStringLiteral("7")},
        {edUnitEditBtn, QStringLiteral("7")},
        {edUniComboEdit, QStringLiteral("7")},
        {edDateEdit, QString()},
        {edCheckBox, QString()},
        {edRichEdit, QString()},
    };
    for (const auto& [type, typed] : kinds) {
        SCOPED_TRACE(int(type));
        Form f;
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        for (int r = 1; r < 5; ++r)
            for (int c = 1; c < 4; ++c) f.editors[{c, r}] = type;
        f.grid->SetCells(1, 1, QStringLiteral("5"));
        f.grid->SetCells(1, 2, QStringLiteral("5"));

        f.Edit(1, 1);
        ASSERT_TRUE(f.grid->EditInProgress() || f.grid->EditorMode());
        QWidget* editor = QApplication::focusWidget();
        ASSERT_NE(editor, nullptr);
        EXPECT_NE(editor, f.grid);
        if (!typed.isEmpty()) Form::Type(typed);
        Form::Type(Qt::Key_Tab);
        EXPECT_EQ(f.grid->Col(), 2);
        EXPECT_EQ(f.grid->Row(), 1);
        EXPECT_FALSE(f.grid->EditInProgress());
        EXPECT_TRUE(f.GridHasFocus());
        if (!typed.isEmpty()) {
            EXPECT_TRUE(f.grid->Cells(1, 1).endsWith(typed)) << f.grid->Cells(1, 1).toStdString();
            EXPECT_NE(f.grid->Cells(1, 1), QStringLiteral("5"));
        }
        QCoreApplication::processEvents();
        EXPECT_TRUE(f.GridHasFocus());

        f.Edit(1, 2);
        if (!typed.isEmpty()) Form::Type(typed);
        Form::Type(Qt::Key_Escape);
        EXPECT_FALSE(f.grid->EditInProgress());
        EXPECT_EQ(f.grid->Cells(1, 2), QStringLiteral("5"));
        EXPECT_EQ(f.grid->Row(), 2);
        EXPECT_TRUE(f.GridHasFocus());
    }
}

TEST(EditorStart, ATypedKeyReplacesTheTextInEveryEditor)
{
    for (TEditorType type : {edNormal, edSpinEdit, edComboEdit, edEditBtn, edUnitEditBtn, edUniEdit}) {
        SCOPED_TRACE(int(type));
        Form f;
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        f.editors[{1, 1}] = type;
        f.grid->SetCells(1, 1, QStringLiteral("42"));
        f.grid->FocusCell(1, 1);
        Form::Type(QStringLiteral("7"));
        Form::Type(Qt::Key_Return);
        EXPECT_EQ(f.grid->Cells(1, 1), QStringLiteral("7"));
    }
}

TEST(EditorValidation, AnAcceptedEditUpdatesTheFooterAndTellsOnCellsChanged)
{
    ScopedRegionalSettings settings{TFormatSettings{}};
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    TExtStringGrid& g = *f.grid;
    g.SetFloatingFooterVisible(true);
    g.GetCellProperties(1, g.RowCount() - 1)->FooterCalc = 1; // sum
    g.SetCells(1, 1, QStringLiteral("1"));
    g.SetCells(1, 2, QStringLiteral("2"));
    g.CalcFooter(-1);
    ASSERT_EQ(g.Cells(1, 4), QStringLiteral("3.00"));
    std::vector<TRect> changed;
    g.OnCellsChanged = [&](QObject*, TRect cells) { changed.push_back(cells); };

    f.Edit(1, 2);
    Form::Type(Qt::Key_A, Qt::ControlModifier);
    Form::Type(QStringLiteral("5"));
    Form::Type(Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("5"));
    EXPECT_EQ(g.Cells(1, 4), QStringLiteral("6.00"));
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0], TRect(1, 2, 1, 2));

    // A control's edit the same way.
    f.editors[{1, 1}] = edSpinEdit;
    f.Edit(1, 1);
    Form::Type(Qt::Key_A, Qt::ControlModifier);
    Form::Type(QStringLiteral("10"));
    Form::Type(Qt::Key_Down);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("10"));
    EXPECT_EQ(g.Cells(1, 4), QStringLiteral("15.00"));
    EXPECT_EQ(changed.size(), 2u);

    // A control left for another control stores and tells the same way.
    f.editors[{1, 3}] = edEditBtn;
    f.Edit(1, 3);
    Form::Type(QStringLiteral("4"));
    f.next->setFocus();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !g.EditInProgress(); }));
    EXPECT_EQ(g.Cells(1, 3), QStringLiteral("4"));
    EXPECT_EQ(g.Cells(1, 4), QStringLiteral("19.00"));
    EXPECT_EQ(changed.size(), 3u);
    f.editors.clear();
    g.setFocus();

    // Unchanged or refused, no cell changed.
    g.OnCellValidate = [](QObject*, int, int, QString&, bool& valid) { valid = false; };
    f.Edit(1, 3);
    Form::Type(QStringLiteral("9"));
    Form::Type(Qt::Key_Return);
    f.grid->HideEditor();
    f.Edit(1, 2);
    Form::Type(Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 4), QStringLiteral("19.00"));
    EXPECT_EQ(changed.size(), 3u);
}

TEST(TextEditor, TheColumnAndRowGrowWithTheTypedText)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    TExtStringGrid& g = *f.grid;
    g.SetColWidths(1, 30);
    g.SizeWhileTyping().Width = true;
    f.Edit(1, 1);
    Form::Type(QStringLiteral("a rather long text"));
    EXPECT_GT(g.ColWidths(1), 60);
    EXPECT_EQ(g.Cells(1, 1), QString()); // stored when the edit ends
    EXPECT_GE(g.TextEditor()->width(), g.ColWidths(1) - 2);
    Form::Type(Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("a rather long text"));

    // With word wrap the row takes the lines instead.
    g.SizeWhileTyping().Width = false;
    g.SizeWhileTyping().Height = true;
    g.SetWordWrap(true);
    int sized = -1;
    g.OnEndRowSize = [&](QObject*, int row) { sized = row; };
    const int before = g.RowHeights(2);
    f.Edit(2, 2);
    Form::Type(QStringLiteral("words that wrap over lines"));
    EXPECT_GT(g.RowHeights(2), before);
    EXPECT_EQ(sized, 2);
}

} // namespace

// The button editor: a click or Space asks OnEllipsClick for the caption;
// Esc gives the cell its text back and reaches the grid as a key-down; a
// released arrow ends the edit, moves the current cell and reaches the grid
// as a key-up.
TEST(ButtonEditor, ClicksAskTheGridAndKeysEndTheEditAtTheGrid)
{
    Form f;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.editors[{1, 1}] = edButton;
    f.editors[{1, 2}] = edButton;
    f.grid->SetCells(1, 1, QStringLiteral("pick"));
    f.grid->SetCells(1, 2, QStringLiteral("two"));
    QStringList asked;
    f.grid->OnEllipsClick = [&](QObject*, int col, int row, QString& s) {
        asked << QStringLiteral("%1,%2:%3").arg(col).arg(row).arg(s);
        s = QStringLiteral("chosen");
    };
    QList<int> downs;
    QList<int> ups;
    f.grid->OnKeyDown = [&](QObject*, int& key, TShiftState) { downs << key; };
    f.grid->OnKeyUp = [&](QObject*, int& key, TShiftState) { ups << key; };

    f.Edit(1, 1);
    TGridButton* button = f.grid->GridButton();
    ASSERT_TRUE(button->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), button);
    EXPECT_EQ(button->Caption(), QStringLiteral("pick"));
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(asked, (QStringList{"1,1:pick"}));
    EXPECT_EQ(button->Caption(), QStringLiteral("chosen"));
    Form::Type(Qt::Key_Space);
    EXPECT_EQ(asked, (QStringList{"1,1:pick", "1,1:chosen"}));

    // Esc: the cell keeps its text, the grid has the focus and sees Esc.
    downs.clear();
    Form::Type(Qt::Key_Escape);
    EXPECT_FALSE(button->isVisible());
    EXPECT_FALSE(f.grid->EditInProgress());
    EXPECT_TRUE(f.GridHasFocus());
    EXPECT_EQ(f.grid->Cells(1, 1), QStringLiteral("pick"));
    EXPECT_TRUE(downs.contains(Win::VK_ESCAPE));

    // A released arrow moves on and the grid sees it go up.
    f.Edit(1, 1);
    ASSERT_EQ(QApplication::focusWidget(), button);
    ups.clear();
    QTest::keyPress(button, Qt::Key_Down);
    EXPECT_TRUE(button->isVisible());
    QTest::keyRelease(button, Qt::Key_Down);
    EXPECT_FALSE(button->isVisible());
    EXPECT_EQ(f.grid->Row(), 2);
    EXPECT_TRUE(f.GridHasFocus());
    EXPECT_EQ(ups, (QList<int>{Win::VK_DOWN}));
}
