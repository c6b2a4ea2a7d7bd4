// The column grid: items follow the columns, the attribute hooks answer from
// the items with the events keeping the last word, the header filter list,
// column popups, moved columns and the settings objects' rules.
#include "grid/TGridUnit.h"
#include "grid/column/TDropList.h"
#include "grid/column/TExtColumnGrid.h"
#include "grid/edit/TEditLink.h"
#include "grid/edit/TExtInplaceEdit.h"
#include "grid/edit/TGridCombo.h"
#include "grid/edit/TGridSpin.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/widgets/PopupMenu.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/grid/LineEditLink.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <type_traits>

namespace {

class Grid : public TExtColumnGrid {
public:
    Grid() : TExtColumnGrid(nullptr, QStringLiteral("Columns"))
    {
        SetBorderStyle(TBorderStyle::bsNone);
        resize(500, 300);
        SetDefaultColWidth(60);
        SetDefaultRowHeight(20);
        SetColCount(4);
        SetRowCount(6);
    }
    TGridColumnItem& Item(int i) { return *Columns().Items(i); }
    using TExtColumnGrid::IsFixed;
    using TExtColumnGrid::MouseDown;
    TRecordingCanvas canvas;
    TColor CellBrush(int col, int row)
    {
        canvas.Clear();
        PaintTo(canvas, CalcCellRect(col, row));
        const auto fills = canvas.CallsOf(QStringLiteral("FillRect"));
        return fills.isEmpty() ? clNone : fills.front().Brush.Color();
    }
};

} // namespace

TEST(ColumnGridItems, FollowTheColumnCountAndKeepTheirDefaults)
{
    Grid g;
    EXPECT_EQ(g.Columns().Count(), 4);
    g.SetColCount(6);
    ASSERT_EQ(g.Columns().Count(), 6);
    TGridColumnItem& item = g.Item(5);
    EXPECT_EQ(item.Width(), 50);
    EXPECT_EQ(item.Font().Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(item.PrintFont.Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(item.Color(), g.Color());
    EXPECT_EQ(item.PrintColor, clWhite);
    EXPECT_EQ(item.CheckTrue, QStringLiteral("Y"));
    EXPECT_EQ(item.CheckFalse, QStringLiteral("N"));
    EXPECT_EQ(item.DisplayName(), QStringLiteral("Column 5"));
    g.SetColCount(3);
    EXPECT_EQ(g.Columns().Count(), 3);

    // Items beyond the columns (as a form description may bring) go at load.
    g.Columns().Lock();
    g.Columns().Add();
    g.Columns().Add();
    g.Columns().Unlock();
    EXPECT_EQ(g.Columns().Count(), 5);
    g.Loaded();
    EXPECT_EQ(g.Columns().Count(), 3);
    EXPECT_EQ(g.Item(2).PositionIndex, 2);

    // An item added unlocked widens the grid.
    g.Columns().Add();
    EXPECT_EQ(g.ColCount(), 4);
}

TEST(ColumnGridItems, HeaderWritesRowZeroAndRebuildsTheHeaderList)
{
    Grid g;
    g.Item(1).SetHeader(QStringLiteral("Use"));
    g.Item(2).SetHeader(QStringLiteral("Price"));
    EXPECT_EQ(g.GetCellText(2, 0), QStringLiteral("Price"));
    EXPECT_EQ(g.ColumnHeaders(), (QStringList{QString(), QStringLiteral("Use"), QStringLiteral("Price"), QString()}));
    // Headers set on the grid reach the items without writing them back.
    g.SetColumnHeaders({QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_EQ(g.Item(1).Header(), QStringLiteral("b"));
}

TEST(ColumnGridItems, AssignCopiesAllButPopupAndFloatFormat)
{
    Grid g;
    TGridColumnItem& a = g.Item(1);
    TGridColumnItem& b = g.Item(2);
    TPopupMenu menu({QStringLiteral("x")});
    a.SetFloatFormat(QStringLiteral("%.2f"));
    a.ColumnPopup = &menu;
    a.SetHeader(QStringLiteral("H"));
    a.ReadOnly = true;
    a.Font().SetSize(12);
    a.SetFilter({QStringLiteral("All=*")});
    b.Assign(a);
    EXPECT_TRUE(b.FloatFormat().isEmpty());
    EXPECT_EQ(b.ColumnPopup, nullptr);
    EXPECT_EQ(b.Header(), QStringLiteral("H"));
    EXPECT_TRUE(b.ReadOnly);
    EXPECT_EQ(b.Font().Size(), 12);
    EXPECT_EQ(b.Filter(), QStringList{QStringLiteral("All=*")});
    g.Notification(&menu);
    EXPECT_EQ(a.ColumnPopup, nullptr);

    // An edit link destroyed while a column still names it reads as none,
    // so the column's cells edit as ordinary cells again.
    auto link = std::make_unique<LineEditLink>();
    g.Item(1).EditLink = link.get();
    g.Item(1).SetEditor(edCustom);
    link.reset();
    EXPECT_EQ(g.Item(1).EditLink, nullptr);
    TEditorType editor = edNormal;
    g.GetCellEditor(1, 1, editor);
    EXPECT_EQ(g.EditLink(), nullptr);

    // A menu destroyed while still assigned reads as none.
    auto gone = std::make_unique<TPopupMenu>(QStringList{QStringLiteral("y")});
    b.ColumnPopup = gone.get();
    gone.reset();
    EXPECT_EQ(b.ColumnPopup, nullptr);
}

TEST(ColumnGridItems, OnlyDataCheckBoxEditorsRepaint)
{
    Grid g;
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    QCoreApplication::processEvents();
    const unsigned before = g.PaintCounter();
    g.Item(1).SetEditor(edEditBtn);
    QCoreApplication::processEvents();
    EXPECT_EQ(g.PaintCounter(), before);
    g.Item(1).SetEditor(edDataCheckBox);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return g.PaintCounter() > before; }));
}

TEST(ColumnGridHooks, AnswerFromTheItemsAndLetEventsDecideLast)
{
    Grid g;
    TGridColumnItem& item = g.Item(2);
    item.SetColor(clAqua);
    item.SetAlignment(taRightJustify);
    item.SetPassword(true);
    item.SortStyle = ssNumeric;
    item.SortPrefix = QStringLiteral("$");
    EXPECT_EQ(g.CellBrush(2, 1), clAqua);

    TAlignment h = taLeftJustify;
    TVAlignment v = vtaTop;
    g.GetCellAlignment(2, 0, h, v);
    EXPECT_EQ(h, taRightJustify);
    bool password = false;
    g.IsPasswordCell(2, 3, password);
    EXPECT_TRUE(password);
    int style = ssAutomatic;
    QString prefix, suffix;
    g.GetCellFormat(2, style, prefix, suffix);
    EXPECT_EQ(style, ssNumeric);
    EXPECT_EQ(prefix, QStringLiteral("$"));

    // Read-only holds without an event; the event may still allow editing.
    item.ReadOnly = true;
    bool can = true;
    g.CanEditCell(2, 1, can);
    EXPECT_FALSE(can);
    g.OnCanEditCell = [](QObject*, int, int, bool& c) { c = true; };
    g.CanEditCell(2, 1, can);
    EXPECT_TRUE(can);
    // Fixed columns look and behave fixed.
    item.SetFixed(true);
    EXPECT_TRUE(g.IsFixed(2, 1));
    EXPECT_EQ(g.CellBrush(2, 1), g.FixedColor());

    // Header rows and fixed columns keep the grid's own answers.
    bool fixed = false;
    g.IsFixedCell(1, 1, fixed);
    EXPECT_FALSE(fixed);
}

TEST(ColumnGridHooks, DataCheckBoxColumnsUseTheirCheckTexts)
{
    Grid g;
    TGridColumnItem& use = g.Item(1);
    use.SetEditor(edDataCheckBox);
    use.CheckTrue = QStringLiteral("T");
    g.SetCellText(1, 1, QStringLiteral("T"));
    g.SetCellText(1, 2, QStringLiteral("N"));
    EXPECT_TRUE(g.IsCheckBoxCell(1, 1));
    EXPECT_FALSE(g.IsCheckBoxCell(1, 0)); // the header row has none
    EXPECT_FALSE(g.IsCheckBoxCell(2, 1));
    bool state = false;
    ASSERT_TRUE(g.GetCheckBoxState(1, 1, state));
    EXPECT_TRUE(state);
    ASSERT_TRUE(g.GetCheckBoxState(1, 2, state));
    EXPECT_FALSE(state);
    g.ToggleCheckBox(1, 2, false);
    EXPECT_EQ(g.GetCellText(1, 2), QStringLiteral("T"));
}

TEST(ColumnGridHooks, FloatFormatAndSizeLimitsPerColumn)
{
    Grid g;
    g.Item(2).SetFloatFormat(QStringLiteral("%.2f"));
    g.SetCellText(2, 1, QStringLiteral("3"));
    g.SetCellText(2, 2, QStringLiteral("n/a"));
    QString shown;
    g.GetCellDisplayText(2, 1, shown);
    EXPECT_EQ(shown, QStringLiteral("3.00"));
    g.GetCellDisplayText(2, 2, shown);
    EXPECT_EQ(shown, QStringLiteral("n/a"));

    g.Item(1).MinSize = 40;
    g.Item(1).MaxSize = 100;
    g.Item(1).AutoMaxSize = 70;
    int w = 10;
    g.UpdateColumnSize(1, w);
    EXPECT_EQ(w, 40);
    w = 300;
    g.UpdateColumnSize(1, w);
    EXPECT_EQ(w, 100);
    w = 300;
    g.UpdateAutoColumnSize(1, w);
    EXPECT_EQ(w, 70);
}

TEST(ColumnGridEditors, EachColumnHandsItsSettingsToTheEditorOpenedInIt)
{
    Grid g;
    g.SetColCount(6);
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.show();
    QApplication::setActiveWindow(&g);
    g.setFocus();
    auto edit = [&](int col, int row) {
        g.FocusCell(col, row);
        g.ShowEditor();
    };
    g.Item(1).SetEditor(edComboList);
    g.Item(1).SetComboItems({QStringLiteral("Low"), QStringLiteral("High")});
    g.Item(2).SetEditor(edSpinEdit);
    g.Item(2).SpinMin = 1;
    g.Item(2).SpinMax = 5;
    g.Item(2).SpinStep = 2;
    g.Item(3).EditLength = 3;
    g.Item(4).EditMask = QStringLiteral("00-00;1;_");
    LineEditLink link;
    g.Item(5).SetEditor(edCustom);
    g.Item(5).EditLink = &link;
    g.SetCells(1, 1, QStringLiteral("High"));
    g.SetCells(2, 1, QStringLiteral("4"));
    g.SetCells(5, 1, QStringLiteral("linked"));

    edit(1, 1);
    ASSERT_TRUE(g.GridCombo()->isVisible());
    EXPECT_EQ(g.GridCombo()->Items().Count(), 2);
    EXPECT_EQ(g.GridCombo()->ItemIndex(), 1);
    g.CloseEditorControl();

    edit(2, 1);
    ASSERT_TRUE(g.GridSpin()->isVisible());
    g.GridSpin()->StepUp();
    EXPECT_EQ(g.GridSpin()->Value(), 5); // 4 + 2 held at the column's maximum
    g.CloseEditorControl();
    EXPECT_EQ(g.Cells(2, 1), QStringLiteral("5"));

    // The text editor takes the length limit and the mask of each column
    // anew; a column without them gets neither.
    edit(3, 1);
    QTest::keyClicks(g.TextEditor(), QStringLiteral("abcdef"));
    EXPECT_EQ(g.TextEditor()->Text(), QStringLiteral("abc"));
    g.HideEditor();
    edit(4, 1);
    g.TextEditor()->setCursorPosition(0);
    QTest::keyClicks(g.TextEditor(), QStringLiteral("1x234"));
    EXPECT_EQ(g.TextEditor()->Text(), QStringLiteral("12-34"));
    g.HideEditor();
    EXPECT_EQ(g.Cells(4, 1), QStringLiteral("12-34"));
    edit(3, 2);
    EXPECT_TRUE(g.TextEditor()->EditMask().isEmpty());
    g.HideEditor();

    edit(5, 1);
    EXPECT_EQ(g.EditLink(), &link);
    ASSERT_NE(link.EditControl(), nullptr);
    EXPECT_EQ(link.GetEditorValue(), QStringLiteral("linked"));
    g.CloseEditorControl();

    // The editor event still has the last word over the column's kind.
    g.OnGetEditorType = [](QObject*, int col, int, TEditorType& e) {
        if (col == 1) e = edNormal;
    };
    edit(1, 2);
    EXPECT_TRUE(g.EditorMode());
    EXPECT_FALSE(g.GridCombo()->isVisible());
}

TEST(ColumnGridMoves, AMovedColumnTakesItsWholeItem)
{
    Grid g;
    TGridColumnItem* moved = &g.Item(1);
    TPopupMenu menu;
    moved->SetHeader(QStringLiteral("Use"));
    moved->SetFloatFormat(QStringLiteral("%.1f"));
    moved->ColumnPopup = &menu;
    moved->SetEditor(edDataCheckBox);
    g.MoveColumn(1, 3);
    ASSERT_EQ(g.Columns().Count(), 4);
    EXPECT_EQ(&g.Item(3), moved);
    EXPECT_EQ(g.Item(3).FloatFormat(), QStringLiteral("%.1f"));
    EXPECT_EQ(g.Item(3).ColumnPopup, &menu);
    EXPECT_EQ(g.GetCellText(3, 0), QStringLiteral("Use"));
    EXPECT_EQ(g.Item(1).Editor(), edNormal);
}

TEST(ColumnGridFilterList, OpensNearTheRightEdgeAndAppliesThePick)
{
    ScopedDialogResponder responder;
    Grid g;
    g.show();
    g.Item(1).SetFilter({QStringLiteral("All=*"), QStringLiteral("Big=>100")});
    g.SetAutoFilterUpdate(true);
    g.SetAutoFilterDisplay(true);
    QString seen;
    g.OnFilterSelect = [&](QObject*, int col, int, const QString& name, QString& cond) {
        seen = QStringLiteral("%1:%2:%3").arg(col).arg(name, cond);
    };
    const TRect header = g.CellRect(1, 0);
    // 2 and 20 pixels from the edge open nothing.
    g.MouseDown(TMouseButton::mbLeft, {}, header.Right - 2, header.Top + 5);
    EXPECT_FALSE(g.DropList()->isVisible());
    g.MouseDown(TMouseButton::mbLeft, {}, header.Right - 20, header.Top + 5);
    EXPECT_FALSE(g.DropList()->isVisible());
    g.MouseDown(TMouseButton::mbLeft, {}, header.Right - 10, header.Top + 5);
    ASSERT_TRUE(g.DropList()->isVisible());
    ASSERT_EQ(g.DropList()->count(), 2);
    EXPECT_EQ(g.DropList()->item(1)->text(), QStringLiteral("Big"));
    EXPECT_EQ(g.FilterColumn(), 1);

    g.ApplyFilterChoice(1);
    EXPECT_EQ(seen, QStringLiteral("1:Big:>100"));
    ASSERT_EQ(g.Filter().size(), 1u);
    EXPECT_EQ(g.Filter()[0].Condition, QStringLiteral(">100"));
    EXPECT_TRUE(g.FilterActive());
    EXPECT_EQ(g.Row(), g.FixedRows());
    EXPECT_EQ(g.GetCellText(1, 0), QStringLiteral("Big"));
    EXPECT_EQ(g.FilterColumn(), -1);
    // A pick past the entries (or with no list open) changes nothing.
    g.ApplyFilterChoice(7);
    EXPECT_EQ(g.Filter().size(), 1u);
}

TEST(ColumnGridPopups, OpenOnTheClicksTheirTypeNames)
{
    ScopedDialogResponder responder;
    Grid g;
    g.show();
    TPopupMenu menu({QStringLiteral("Sort")});
    g.Item(2).ColumnPopup = &menu;
    int told = 0;
    g.OnColumnPopup = [&](QObject*, int, int, TPopupMenu*) { ++told; };
    const TRect header = g.CellRect(2, 0);
    const TRect body = g.CellRect(2, 2);
    g.MouseDown(TMouseButton::mbRight, {}, body.Left + 5, body.Top + 5); // fixed-cells type: told, not shown
    EXPECT_EQ(responder.Count(DialogRequest::Kind::PopupMenu), 0);
    g.MouseDown(TMouseButton::mbRight, {}, header.Left + 5, header.Top + 5);
    EXPECT_EQ(responder.Count(DialogRequest::Kind::PopupMenu), 1);
    g.MouseDown(TMouseButton::mbLeft, {}, header.Left + 5, header.Top + 5);
    EXPECT_EQ(responder.Count(DialogRequest::Kind::PopupMenu), 1);
    EXPECT_EQ(told, 2);
    g.Item(2).ColumnPopupType = cpAllCellsLClick;
    g.MouseDown(TMouseButton::mbLeft, {}, body.Left + 5, body.Top + 5);
    EXPECT_EQ(responder.Count(DialogRequest::Kind::PopupMenu), 2);
}

TEST(ColumnGridVersion, ReadsTwoFourOfNovember)
{
    Grid g;
    EXPECT_EQ(g.GetVersionNr(), 0x02040000);
    EXPECT_TRUE(g.GetVersionString().startsWith(QStringLiteral("2.4.0.0")));
    EXPECT_TRUE(g.GetVersionString().endsWith(QStringLiteral("Nov, 2002")));
}

TEST(GridSettings, SortRowUpToTheFixedRowCount)
{
    Grid g; // one fixed row
    EXPECT_NO_THROW(g.SortSettings().SetRow(1));
    EXPECT_EQ(g.SortSettings().Row(), 1);
    EXPECT_NO_THROW(g.SortSettings().SetRow(0));
    try {
        g.SortSettings().SetRow(2);
        ADD_FAILURE() << "row 2 taken";
    } catch (const EExtGridError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Sort row should be smaller than number of fixed rows"));
    }
    EXPECT_EQ(g.SortSettings().Row(), 0);
    g.SetFixedRows(2);
    EXPECT_NO_THROW(g.SortSettings().SetRow(2));
    EXPECT_EQ(g.SortSettings().Row(), 2);
}

TEST(GridSettings, FilterLookupBandsAndFooter)
{
    Grid g;
    TFilterData& a = g.Filter().ColumnFilter(3);
    a.Condition = QStringLiteral("x");
    EXPECT_EQ(&g.Filter().ColumnFilter(3), &g.Filter()[0]);
    EXPECT_EQ(g.Filter().size(), 1u);
    EXPECT_TRUE(g.Filter()[0].CaseSensitive);

    TBands b;
    b.PrimaryLength = 2;
    EXPECT_EQ(b.Period(), 3);

    g.SetFloatingFooterVisible(true);
    EXPECT_EQ(g.FixedFooters(), 1);
    g.SetFloatingFooterVisible(false);
    EXPECT_EQ(g.FixedFooters(), 0);
}

TEST(GridUnit, StartsOnceAndHoldsUnicodeCells)
{
    // Shut down once more than started: the count stays at 0.
    const int users = TGridUnit::Users();
    for (int i = 0; i <= users; ++i) TGridUnit::Shutdown();
    EXPECT_EQ(TGridUnit::Users(), 0);
    for (int i = 0; i < users; ++i) TGridUnit::Startup();
    EXPECT_EQ(TGridUnit::Registrations(), 1);
    // Hidden rows own their cells alone.
    static_assert(!std::is_copy_constructible_v<TGridItem>);
}

TEST(GridHiddenColumns, AnyColumnHides)
{
    Grid g;
    g.SetColCount(700);
    g.SetCellText(600, 1, QStringLiteral("far"));
    g.HideColumn(600);
    EXPECT_TRUE(g.IsHiddenColumn(600));
    EXPECT_EQ(g.ColCount(), 699);
    EXPECT_EQ(g.Columns().Count(), 700);
    EXPECT_EQ(g.RealColIndex(600), 601);
    g.UnHideColumnsAll();
    EXPECT_EQ(g.ColCount(), 700);
    EXPECT_EQ(g.GetCellText(600, 1), QStringLiteral("far"));
}
