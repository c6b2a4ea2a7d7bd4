// Keys on the string grid, typed as a user types: Space on check cells,
// Home and End, the TAB walk, Ctrl+A, row keys, clipboard keys, disjunct
// marks and type-to-find.
#include "grid/TExtStringGrid.h"
#include "grid/cells/TCellGraphic.h"
#include "platform/core/RegionalSettings.h"
#include "platform/grids/InplaceEdit.h"
#include "platform/kernel/VirtualKeys.h"
#include "tests/support/TestSupport.h"
#include "tests/grid/input/InputTestGrid.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QShortcut>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

class Grid : public InputTestGrid {
public:
    explicit Grid(QWidget* parent = nullptr) : InputTestGrid(parent, QStringLiteral("Keys"), 4, 6) { setFocus(); }
};

} // namespace

TEST(GridKeys, SpaceTogglesEditableCheckCellsAndAlwaysFlipsMarks)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.AddGraphic(1, 1, ctCheckBox);
    g.FocusCell(1, 1);
    int clicks = 0;
    g.OnCheckBoxClick = [&](QObject*, int, int, bool) { ++clicks; };
    g.Press(Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
    bool state = false;
    g.GetCheckBoxState(1, 1, state);
    EXPECT_TRUE(state);

    g.OnCanEditCell = [](QObject*, int, int, bool& can) { can = false; };
    g.MouseActions().DisjunctRowSelect = true;
    g.Press(Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(g.RowSelect(1)); // the mark still flips
}

TEST(GridKeys, RadioCellsStepOnSpace)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goEditing);
    TCellGraphic* radio = g.AddGraphic(2, 2, ctRadio);
    radio->Options = {QStringLiteral("a"), QStringLiteral("b")};
    radio->CellIndex = 1;
    g.FocusCell(2, 2);
    int index = -1;
    g.OnRadioClick = [&](QObject*, int, int, int i) { index = i; };
    g.Press(Qt::Key_Space);
    EXPECT_EQ(index, 0); // wraps after the last
}

TEST(GridKeys, HomeAndEndByRowsAndColumns)
{
    Grid g;
    g.FocusCell(2, 3);
    g.Navigation().HomeEndKey = heFirstLastRow;
    g.Press(Qt::Key_End);
    EXPECT_EQ(g.Row(), 5);
    g.Press(Qt::Key_Home);
    EXPECT_EQ(g.Row(), 1);
    // A visible footer keeps End above it, but only with more than 2 rows.
    g.SetFloatingFooterVisible(true);
    g.Press(Qt::Key_End);
    EXPECT_EQ(g.Row(), 4);
    g.SetRowCount(2);
    g.Press(Qt::Key_End);
    EXPECT_EQ(g.Row(), 1);
}

TEST(GridKeys, TabWalksAcrossAndWrapsToTheNextControl)
{
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* g = new Grid(&form);
    auto* next = new QWidget(&form);
    next->setFocusPolicy(Qt::StrongFocus);
    layout->addWidget(g);
    layout->addWidget(next);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    g->setFocus();
    g->SetOptions(g->Options() + TGridOption::goTabs);
    g->Navigation().TabToNextAtEnd = true;
    g->FocusCell(2, 1);
    g->Press(Qt::Key_Tab);
    EXPECT_EQ(g->Col(), 3);
    g->Press(Qt::Key_Tab);
    EXPECT_EQ(g->Col(), 1);
    EXPECT_EQ(g->Row(), 2);
    g->Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(g->Col(), 3);
    EXPECT_EQ(g->Row(), 1);
    // Merged cells are passed over whole.
    g->MergeCells(1, 3, 2, 1);
    g->FocusCell(1, 3);
    g->Press(Qt::Key_Tab);
    EXPECT_EQ(g->Col(), 3);
    // The last cell wraps to the first and hands the focus on.
    g->FocusCell(3, 5);
    g->Press(Qt::Key_Tab);
    EXPECT_EQ(g->Col(), 1);
    EXPECT_EQ(g->Row(), 1);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return next->hasFocus(); }));
}

TEST(GridKeys, CtrlANeedsRowAndRangeSelect)
{
    Grid g;
    g.FocusCell(2, 2);
    g.Press(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(g.Selection(), TGridRect(2, 2, 2, 2));
    g.SetOptions(g.Options() + TGridOption::goRowSelect + TGridOption::goRangeSelect);
    g.Press(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(g.Selection(), TGridRect(1, 1, 3, 5));
}

TEST(GridKeys, RowKeysInsertAndDeleteWithTheirVetoes)
{
    Grid g;
    g.Navigation().AllowInsertRow = true;
    g.Navigation().AllowDeleteRow = true;
    g.FocusCell(1, 2);
    g.Press(Qt::Key_Insert, Qt::ShiftModifier); // never with Shift
    EXPECT_EQ(g.RowCount(), 6);
    g.Press(Qt::Key_Insert);
    EXPECT_EQ(g.RowCount(), 7);
    g.OnCanDeleteRow = [](QObject*, int, bool& can) { can = false; };
    g.Press(Qt::Key_Delete);
    EXPECT_EQ(g.RowCount(), 7);
    g.OnCanDeleteRow = nullptr;
    g.Press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(g.RowCount(), 6);

    // The only data row is emptied, not removed.
    g.SetRowCount(2);
    g.SetCellText(1, 1, QStringLiteral("x"));
    g.FocusCell(1, 1);
    g.Press(Qt::Key_Delete);
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_TRUE(g.GetCellText(1, 1).isEmpty());
}

TEST(GridKeys, InsertLeavesTheCurrentCellOnTheNewRowSoDeleteTakesItBack)
{
    Grid g; // rows 1..5 hold r1..r5
    g.Navigation().AllowInsertRow = true;
    g.Navigation().AllowDeleteRow = true;
    const auto column = [&] {
        QStringList texts;
        for (int r = 1; r < g.RowCount(); ++r) texts << g.GetCellText(1, r);
        return texts.join(u',');
    };
    const auto reset = [&] {
        g.SetRowCount(6);
        for (int r = 1; r < 6; ++r) g.SetCellText(1, r, QStringLiteral("r%1").arg(r));
        g.FocusCell(1, 2);
    };

    // Before the current row: the new row is current, the user's row below.
    reset();
    int inserted = -1;
    g.OnAutoInsertRow = [&](QObject*, int row) { inserted = row; };
    g.Press(Qt::Key_Insert);
    EXPECT_EQ(inserted, 2);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(column(), QStringLiteral("r1,,r2,r3,r4,r5"));
    g.Press(Qt::Key_Delete);
    EXPECT_EQ(column(), QStringLiteral("r1,r2,r3,r4,r5"));
    EXPECT_EQ(g.Row(), 2);

    // After the current row: the new row below it is current.
    reset();
    g.Navigation().InsertPosition = pInsertAfter;
    g.Press(Qt::Key_Insert);
    EXPECT_EQ(inserted, 3);
    EXPECT_EQ(g.Row(), 3);
    EXPECT_EQ(column(), QStringLiteral("r1,r2,,r3,r4,r5"));
    g.Press(Qt::Key_Delete);
    EXPECT_EQ(column(), QStringLiteral("r1,r2,r3,r4,r5"));

    // After the last row, and before the first.
    reset();
    g.FocusCell(1, 5);
    g.Press(Qt::Key_Insert);
    EXPECT_EQ(g.Row(), 6);
    EXPECT_EQ(column(), QStringLiteral("r1,r2,r3,r4,r5,"));
    reset();
    g.Navigation().InsertPosition = pInsertBefore;
    g.FocusCell(1, 1);
    g.Press(Qt::Key_Insert);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(column(), QStringLiteral(",r1,r2,r3,r4,r5"));
    g.Press(Qt::Key_Delete);
    EXPECT_EQ(column(), QStringLiteral("r1,r2,r3,r4,r5"));
}

TEST(GridKeys, ShiftDeleteCutsAndNeverDeletesARow)
{
    Grid g;
    g.Navigation().AllowClipboardShortCuts = true;
    g.Navigation().AllowDeleteRow = true;
    int cuts = 0, copies = 0, pastes = 0;
    g.OnClipboardCut = [&](QObject*, bool&) { ++cuts; };
    g.OnClipboardCopy = [&](QObject*, bool&) { ++copies; };
    g.OnClipboardPaste = [&](QObject*, bool&) { ++pastes; };
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.SetCells(1, 2, QStringLiteral("moved"));
    g.FocusCell(1, 2);
    g.Press(Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(g.Cells(1, 2), QString());
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("moved")));
    g.Press(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("moved"));
    g.Press(Qt::Key_Insert, Qt::ControlModifier);
    g.FocusCell(2, 3);
    g.Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(g.Cells(2, 3), QStringLiteral("moved"));
    g.SetCells(2, 3, QStringLiteral("copied"));
    g.Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("copied")));
    EXPECT_EQ(cuts, 1);
    EXPECT_EQ(copies, 2);
    EXPECT_EQ(pastes, 2);
    EXPECT_EQ(g.RowCount(), 6);

    // A refusing event keeps the clipboard and the cell as they are.
    g.OnClipboardCut = [](QObject*, bool& allow) { allow = false; };
    g.Press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(g.Cells(2, 3), QStringLiteral("copied"));
}

TEST(GridKeys, ModifiersChooseBetweenTheClipboardAndTheRowKeys)
{
    Grid g;
    g.Navigation().AllowClipboardShortCuts = true;
    g.Navigation().AllowInsertRow = true;
    g.Navigation().AllowDeleteRow = true;
    int cuts = 0, copies = 0, pastes = 0;
    g.OnClipboardCut = [&](QObject*, bool& allow) {
        ++cuts;
        allow = false;
    };
    g.OnClipboardCopy = [&](QObject*, bool& allow) {
        ++copies;
        allow = false;
    };
    g.OnClipboardPaste = [&](QObject*, bool& allow) {
        ++pastes;
        allow = false;
    };
    g.FocusCell(1, 2);
    // Ctrl wins over Shift: Ctrl+Shift+Insert copies, and Ctrl+Shift+Delete
    // is no cut but a row deletion.
    g.Press(Qt::Key_Insert, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(pastes, 0);
    EXPECT_EQ(g.RowCount(), 6);
    g.Press(Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(cuts, 0);
    EXPECT_EQ(g.RowCount(), 5);
    // Alt keeps both row keys off.
    g.Press(Qt::Key_Delete, Qt::AltModifier);
    g.Press(Qt::Key_Insert, Qt::AltModifier);
    EXPECT_EQ(g.RowCount(), 5);
    // Without the short cuts Shift+Delete deletes the row.
    g.Navigation().AllowClipboardShortCuts = false;
    g.Press(Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(cuts, 0);
    EXPECT_EQ(g.RowCount(), 4);
}

TEST(GridKeys, HomeAndEndByColumnsMoveTheGridOnlyInRowSelect)
{
    Grid g;
    g.SetColCount(12);
    g.FocusCell(3, 2);
    // The standard handling: to the first and last column of the row.
    g.Press(Qt::Key_End);
    EXPECT_EQ(g.Col(), 11);
    g.Press(Qt::Key_Home);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 2);

    g.SetOptions(g.Options() + TGridOption::goRowSelect);
    g.Press(Qt::Key_End);
    EXPECT_EQ(g.Col(), 11);
    EXPECT_EQ(g.LeftCol(), 12 - g.VisibleColCount());
    g.Press(Qt::Key_Home);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.LeftCol(), 1);
}

TEST(GridKeys, TypingIntoCheckCellsOpensNoEditor)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.AddGraphic(1, 1, ctCheckBox);
    g.FocusCell(1, 1);
    g.Press(Qt::Key_X);
    EXPECT_FALSE(g.EditorMode());
    g.FocusCell(2, 1);
    g.Press(Qt::Key_X);
    EXPECT_TRUE(g.EditorMode());
}

TEST(GridKeys, TypeToFindSkipsFootersAndMissingColumns)
{
    Grid g;
    g.Navigation().AutoGotoWhenSorted = true;
    g.Navigation().AutoGotoIncremental = true;
    g.SetCellText(1, 1, QStringLiteral("zeta"));
    g.SetCellText(1, 2, QStringLiteral("Alpha"));
    g.SetCellText(1, 3, QStringLiteral("abacus"));
    g.FocusCell(1, 1);
    g.Press(Qt::Key_A);
    EXPECT_EQ(g.Row(), 2);
    g.Press(Qt::Key_B);
    EXPECT_EQ(g.Row(), 3);
    EXPECT_EQ(g.FindAutoGotoRow(QStringLiteral("ABA")), 3);

    // The footer row is no data row.
    g.SetCellText(1, 5, QStringLiteral("TOTAL"));
    EXPECT_EQ(g.FindAutoGotoRow(QStringLiteral("TOT")), 5);
    g.SetFixedFooters(1);
    EXPECT_EQ(g.FindAutoGotoRow(QStringLiteral("TOT")), -1);
    // A sort column past the grid finds nothing.
    g.SortSettings().Show = true;
    g.SortSettings().Column = 40;
    EXPECT_EQ(g.FindAutoGotoRow(QStringLiteral("A")), -1);
}

TEST(GridKeys, TypingInAnEditableGridEditsInsteadOfFinding)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.Navigation().AutoGotoWhenSorted = true;
    g.SetCellText(1, 1, QStringLiteral("zeta"));
    g.SetCellText(1, 2, QStringLiteral("alpha"));
    g.FocusCell(1, 1);
    g.Press(Qt::Key_A);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_TRUE(g.EditorMode());
}

TEST(GridKeys, RowSelectMovesKeepAnEnclosingUpdateBlock)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goRowSelect);
    g.Navigation().KeepHorizScroll = true;
    g.FocusCell(1, 1);
    g.BeginUpdate();
    g.Press(Qt::Key_Down);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(g.UpdateCount(), 1);
    g.EndUpdate();
    EXPECT_EQ(g.UpdateCount(), 0);
}

TEST(GridKeys, NavigationKeysMarkRowsAndColumnsAfterTheirMove)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goRangeSelect);
    g.MouseActions().DisjunctRowSelect = true;
    const auto marked = [&] {
        QList<int> rows;
        for (int r = 0; r < g.RowCount(); ++r)
            if (g.RowSelect(r)) rows << r;
        return rows;
    };
    g.FocusCell(1, 1);
    g.Press(Qt::Key_Down);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(marked(), QList<int>{2});
    g.Press(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(marked(), (QList<int>{2, 3}));
    g.Press(Qt::Key_End);
    EXPECT_EQ(marked(), QList<int>{3});

    // By columns likewise.
    g.MouseActions().DisjunctRowSelect = false;
    g.MouseActions().DisjunctColSelect = true;
    g.Press(Qt::Key_Home);
    g.Press(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_FALSE(g.ColSelect(0));
    EXPECT_TRUE(g.ColSelect(1));
    EXPECT_TRUE(g.ColSelect(2));
    EXPECT_FALSE(g.ColSelect(3));

    // A key OnKeyDown takes neither moves nor marks.
    g.OnKeyDown = [](QObject*, int& key, TShiftState) {
        if (key == Win::VK_LEFT) key = 0;
    };
    g.Press(Qt::Key_Left);
    EXPECT_EQ(g.Col(), 2);
    EXPECT_TRUE(g.ColSelect(1));
}

TEST(GridKeys, VerticalMovesInRowSelectKeepTheLeftColumn)
{
    Grid g;
    g.SetColCount(12);
    g.SetOptions(g.Options() + TGridOption::goRowSelect);
    g.Navigation().KeepHorizScroll = true;
    g.FocusCell(1, 1);
    g.SetLeftCol(5);
    g.Press(Qt::Key_Down);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(g.LeftCol(), 5);
    g.Press(Qt::Key_PageDown);
    EXPECT_EQ(g.Row(), 5);
    EXPECT_EQ(g.LeftCol(), 5);
    // Without KeepHorizScroll the move brings the current column into view.
    g.Navigation().KeepHorizScroll = false;
    g.Press(Qt::Key_Up);
    EXPECT_EQ(g.LeftCol(), 1);
}

TEST(GridKeys, CtrlBackspaceTypesNothingIntoACell)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.SetCells(1, 2, QStringLiteral("Main St"));
    g.FocusCell(1, 2);
    g.Press(Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_FALSE(g.EditorMode());
    g.Press(Qt::Key_Down);
    EXPECT_EQ(g.Row(), 3);
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("Main St"));
}

TEST(GridKeys, TheKeypadDecimalKeyStartsAnEditWithTheLocaleSeparator)
{
    TFormatSettings comma;
    comma.DecimalSeparator = u',';
    comma.ThousandSeparator = u'.';
    ScopedRegionalSettings locale(comma);
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.FocusCell(1, 1);
    g.Press(Qt::Key_Period, Qt::KeypadModifier);
    ASSERT_TRUE(g.EditorMode());
    EXPECT_EQ(g.InplaceEditor()->Text(), QStringLiteral("."));
    g.HideEditor();

    g.SetExcelStyleDecimalSeparator(true);
    g.FocusCell(2, 2);
    g.Press(Qt::Key_Period, Qt::KeypadModifier);
    ASSERT_TRUE(g.EditorMode());
    EXPECT_EQ(g.InplaceEditor()->Text(), QStringLiteral(","));
    g.HideEditor();
    // The main keyboard's '.' stays itself.
    g.FocusCell(1, 3);
    g.Press(Qt::Key_Period);
    ASSERT_TRUE(g.EditorMode());
    EXPECT_EQ(g.InplaceEditor()->Text(), QStringLiteral("."));
}

TEST(GridKeys, BackspaceOpensTheEditorOnAnEmptyText)
{
    Grid g;
    g.SetCells(1, 2, QStringLiteral("old"));
    g.FocusCell(1, 2);
    g.Press(Qt::Key_Backspace);
    EXPECT_FALSE(g.EditorMode()); // not without goEditing
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.Press(Qt::Key_Backspace);
    ASSERT_TRUE(g.EditorMode());
    EXPECT_EQ(g.InplaceEditor()->Text(), QString());
    QTest::keyClicks(g.InplaceEditor(), QStringLiteral("new"));
    QTest::keyClick(g.InplaceEditor(), Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("new"));
}

TEST(GridKeys, OnKeyDownSeesTheClipboardKeysAndCtrlA)
{
    Grid g;
    g.Navigation().AllowClipboardShortCuts = true;
    g.SetOptions(g.Options() + TGridOption::goRowSelect + TGridOption::goRangeSelect);
    g.SetCells(1, 2, QStringLiteral("kept"));
    g.FocusCell(1, 2);
    QList<int> seen;
    g.OnKeyDown = [&](QObject*, int& key, TShiftState) {
        if (key >= 'A' && key <= 'Z') seen << key;
    };
    int copies = 0;
    g.OnClipboardCopy = [&](QObject*, bool&) { ++copies; };
    g.Press(Qt::Key_C, Qt::ControlModifier);
    g.Press(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(seen, (QList<int>{'C', 'A'}));
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(g.Selection(), TGridRect(1, 1, 3, 5));

    // A handler that takes the key keeps it from the grid.
    g.OnKeyDown = [](QObject*, int& key, TShiftState) { key = 0; };
    g.Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(copies, 1);
}

TEST(GridKeys, TypedCharactersTriggerTheFormsShortcutsOnlyWithAlt)
{
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* g = new Grid(&form);
    layout->addWidget(g);
    int plain = 0, withAlt = 0;
    auto* letter = new QShortcut(QKeySequence(QStringLiteral("X")), &form);
    auto* altLetter = new QShortcut(QKeySequence(QStringLiteral("Alt+Y")), &form);
    QObject::connect(letter, &QShortcut::activated, [&] { ++plain; });
    QObject::connect(altLetter, &QShortcut::activated, [&] { ++withAlt; });
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    g->setFocus();
    QList<TKeyChar> typed;
    g->OnKeyPress = [&](QObject*, TKeyChar& key) { typed << key; };

    QTest::keyClick(g, Qt::Key_X);
    EXPECT_EQ(plain, 0);
    EXPECT_EQ(typed, (QList<TKeyChar>{'x'}));
    QTest::keyClick(g, Qt::Key_Y, Qt::AltModifier);
    EXPECT_EQ(withAlt, 1);

    // Away from the grid the shortcut works as ever.
    auto* other = new QWidget(&form);
    other->setFocusPolicy(Qt::StrongFocus);
    layout->addWidget(other);
    other->setFocus();
    QTest::keyClick(other, Qt::Key_X);
    EXPECT_EQ(plain, 1);
}
