// Hidden rows and columns, nodes and the row filter on a string grid: the
// index maps both ways, hiding over hidden rows, the order rows come back
// in, the fixed rows around a filter, and hidden rows following inserted
// and removed rows.
#include "grid/TExtStringGrid.h"
#include "grid/cells/TCellGraphic.h"
#include "grid/edit/TGridSpin.h"
#include "grid/hidden/THiddenRows.h"
#include "tests/support/PrintQString.h"

#include <gtest/gtest.h>

namespace {

// A grid of rows "r<real row>" in column 0 and "<col>:<row>" elsewhere.
class Grid : public TExtStringGrid {
public:
    explicit Grid(int cols = 5, int rows = 11) : TExtStringGrid(nullptr, QStringLiteral("Grid"))
    {
        resize(400, 300);
        SetColCount(cols);
        SetRowCount(rows);
        for (int r = 0; r < rows; ++r) {
            SetCellText(0, r, QStringLiteral("r%1").arg(r));
            for (int c = 1; c < cols; ++c) SetCellText(c, r, QStringLiteral("%1:%2").arg(c).arg(r));
        }
    }
    // Column 0 of every display row.
    QStringList Rows()
    {
        QStringList list;
        for (int r = 0; r < RowCount(); ++r) list << GetCellText(0, r);
        return list;
    }
};

QStringList Expected(std::initializer_list<int> rows)
{
    QStringList list;
    for (int r : rows) list << QStringLiteral("r%1").arg(r);
    return list;
}

} // namespace

TEST(HiddenColumns, DisplayColumnsShowTheirRealColumnsData)
{
    Grid g;
    g.SetColWidths(3, 77);
    g.HideColumn(2);
    EXPECT_EQ(g.ColCount(), 4);
    EXPECT_EQ(g.NumHiddenColumns(), 1);
    EXPECT_EQ(g.RealColIndex(2), 3);
    EXPECT_EQ(g.DisplColIndex(3), 2);
    EXPECT_EQ(g.ColWidths(2), 77);
    EXPECT_EQ(g.GetCellText(g.RealColIndex(2), 4), "3:4");
    // The hidden column keeps its data, read by real index.
    EXPECT_EQ(g.GetCellText(2, 4), "2:4");
    g.HideColumn(2);
    EXPECT_EQ(g.NumHiddenColumns(), 1);
    g.HideColumn(600);
    EXPECT_EQ(g.ColCount(), 4);
    for (int d = 0; d < g.ColCount(); ++d) EXPECT_EQ(g.DisplColIndex(g.RealColIndex(d)), d);
}

TEST(HiddenColumns, PastTheVisibleColumnsThereIsNoRealColumn)
{
    Grid g;
    g.HideColumns(1, 2);
    EXPECT_EQ(g.ColCount(), 3);
    EXPECT_EQ(g.RealColIndex(2), 4);
    // Used to answer 0, so a write landed in column 0.
    EXPECT_EQ(g.RealColIndex(3), -1);
    EXPECT_EQ(g.RealColIndex(-2), -1);
}

TEST(HiddenColumns, ShowingPutsColumnsAndWidthsBack)
{
    Grid g;
    g.SetColWidths(1, 31);
    g.SetColWidths(3, 33);
    g.HideColumns(1, 3);
    EXPECT_EQ(g.ColCount(), 2);
    g.HideColumns(0, 4); // the last visible column stays
    EXPECT_EQ(g.ColCount(), 1);
    EXPECT_EQ(g.RealColIndex(0), 4);
    g.UnHideColumn(3);
    EXPECT_EQ(g.RealColIndex(0), 3);
    EXPECT_EQ(g.ColWidths(0), 33);
    g.UnHideColumnsAll();
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.NumHiddenColumns(), 0);
    EXPECT_EQ(g.ColWidths(1), 31);
    EXPECT_EQ(g.ColWidths(3), 33);
    for (int c = 0; c < 5; ++c) EXPECT_EQ(g.RealColIndex(c), c);
}

TEST(HiddenColumns, AMovedColumnTakesItsDataAndTheHiddenColumnStaysHidden)
{
    Grid g(6, 3);
    g.SetColWidths(2, 22);
    g.HideColumn(2);
    // Displayed: r, 1, 3, 4, 5; the second displayed column goes to the fourth.
    g.MoveColumn(1, 3);
    QStringList shown;
    for (int c = 0; c < g.ColCount(); ++c) shown << g.GetCellText(g.RealColIndex(c), 1);
    EXPECT_EQ(shown, QStringList({"r1", "3:1", "4:1", "1:1", "5:1"}));
    EXPECT_EQ(g.NumHiddenColumns(), 1);
    // Shown again, the hidden column comes back with its width, before the
    // columns that stood right of it.
    g.UnHideColumnsAll();
    shown.clear();
    for (int c = 0; c < g.ColCount(); ++c) shown << g.GetCellText(c, 1);
    EXPECT_EQ(shown, QStringList({"r1", "2:1", "3:1", "4:1", "1:1", "5:1"}));
    EXPECT_EQ(g.ColWidths(1), 22);
}

TEST(HiddenRows, IndexMapsAreInverseForVisibleRows)
{
    Grid g;
    g.HideRows(2, 3);
    g.HideRow(7);
    EXPECT_EQ(g.RowCount(), 8);
    EXPECT_EQ(g.Rows(), Expected({0, 1, 4, 5, 6, 8, 9, 10}));
    for (int d = 0; d < g.RowCount(); ++d) {
        EXPECT_EQ(g.DisplRowIndex(g.RealRowIndex(d)), d);
        EXPECT_EQ(g.GetCellText(0, d), QStringLiteral("r%1").arg(g.RealRowIndex(d)));
    }
    EXPECT_TRUE(g.IsHiddenRow(3));
    EXPECT_FALSE(g.IsHiddenRow(4));
    EXPECT_EQ(g.RealRowIndex(-1), -1);
}

TEST(HiddenRows, HidingOverHiddenRowsLosesNone)
{
    Grid g;
    g.HideRows(3, 4);
    // A range that already holds hidden rows: each visible one by its index.
    g.HideRows(2, 6);
    EXPECT_EQ(g.Rows(), Expected({0, 1, 7, 8, 9, 10}));
    EXPECT_EQ(g.NumHiddenRows(), 5);
    g.UnHideRowsAll();
    EXPECT_EQ(g.Rows(), Expected({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(HiddenRows, UnhidingAScatteredRangePutsEachRowAtItsPlace)
{
    Grid g;
    g.HideRow(2);
    g.HideRow(5);
    g.HideRow(6);
    g.HideRow(9);
    // Not one run: rows 2, 5, 6 come back, 9 stays hidden.
    g.UnHideRows(1, 8);
    EXPECT_EQ(g.Rows(), Expected({0, 1, 2, 3, 4, 5, 6, 7, 8, 10}));
    EXPECT_EQ(g.GetCellText(3, 5), "3:5");
    g.UnHideRows(9, 9);
    EXPECT_EQ(g.RowCount(), 11);
    EXPECT_EQ(g.GetCellText(0, 9), "r9");
}

TEST(HiddenRows, CellPropertiesTravelWithTheirRows)
{
    Grid g;
    TCellGraphic* graphic = new TCellGraphic;
    graphic->CellType = ctCheckBox;
    graphic->CellBoolean = true;
    g.SetCellAttachment(2, 4, graphic);
    g.HideRows(3, 5);
    EXPECT_EQ(g.GetCellType(2, 3), ctEmpty);
    g.UnHideRowsAll();
    EXPECT_EQ(g.GetCellGraphic(2, 4), graphic);
}

TEST(HiddenRows, InsertedAndRemovedRowsMoveTheHiddenRowsBehindThem)
{
    Grid g;
    g.HideRow(6);
    // Two rows before display row 2 (real row 2): row 6 is now real row 8.
    g.InsertRows(2, 2);
    EXPECT_TRUE(g.IsHiddenRow(8));
    g.RemoveRows(0, 1);
    EXPECT_TRUE(g.IsHiddenRow(7));
    g.UnHideRowsAll();
    EXPECT_EQ(g.GetCellText(0, 7), "r6");
    EXPECT_EQ(g.GetCellText(0, 6), "r5");
    // Moving a visible row across a hidden one keeps the hidden row under
    // the row it followed.
    g.HideRow(7);
    g.MoveRow(1, 9);
    g.UnHideRowsAll();
    EXPECT_EQ(g.GetCellText(0, 5), "r5");
    EXPECT_EQ(g.GetCellText(0, 6), "r6");
    EXPECT_EQ(g.GetCellText(0, 7), "r7");
}

TEST(HiddenRows, HiddenRowsFollowTheRowAboveThemThroughMovesAndSorts)
{
    Grid g;
    g.HideRows(3, 4);
    // Display: r0 r1 r2 r5 r6 ...; r3 and r4 follow r2.
    g.MoveRow(2, 6);
    g.UnHideRowsAll();
    EXPECT_EQ(g.Rows(), Expected({0, 1, 5, 6, 7, 8, 2, 3, 4, 9, 10}));

    // A sort reverses the data rows 1..10 while r4 is hidden.
    Grid s;
    s.SetCellText(0, 10, QStringLiteral("rA")); // sorts as text: rA, r9 .. r1
    s.HideRow(4);
    s.SortSettings().Column = 0;
    s.SortSettings().Direction = sdDescending;
    s.SortByColumn();
    s.UnHideRowsAll();
    QStringList want = Expected({0, 9, 8, 7, 6, 5, 3, 4, 2, 1});
    want.insert(1, QStringLiteral("rA"));
    EXPECT_EQ(s.Rows(), want);
}

TEST(HiddenRowsStore, CountsAndShiftsByBinarySearch)
{
    THiddenRows store;
    std::vector<TGridItem> items;
    for (int idx : {9, 2, 5}) items.push_back(TGridItem{idx, {}});
    store.Add(std::move(items));
    // Visible real rows: 0 1 3 4 6 7 8 10 ...
    EXPECT_EQ(store.RealRowIndex(2), 3);
    EXPECT_EQ(store.RealRowIndex(4), 6);
    EXPECT_EQ(store.RealRowIndex(7), 10);
    EXPECT_EQ(store.DisplRowIndex(10), 7);
    store.RowsRemoved(3, 2); // visible display rows 3, 4: real 4 and 6
    EXPECT_TRUE(store.IsHidden(2));
    EXPECT_TRUE(store.IsHidden(4));
    EXPECT_TRUE(store.IsHidden(7));
    EXPECT_EQ(store.Take(3, 7).size(), 2u);
    EXPECT_EQ(store.Count(), 1);
}

TEST(Nodes, ContractingHidesTheNodesRowsAndExpandingShowsThem)
{
    Grid g;
    for (int r : {1, 5}) {
        TCellGraphic* node = new TCellGraphic;
        node->CellType = ctNode;
        node->CellIndex = 0; // up to the next node
        g.SetCellAttachment(0, r, node);
    }
    EXPECT_TRUE(g.IsNodeRow(1));
    EXPECT_FALSE(g.IsNodeRow(2));
    g.ContractNode(1);
    EXPECT_TRUE(g.GetNodeState(1));
    EXPECT_EQ(g.Rows(), Expected({0, 1, 5, 6, 7, 8, 9, 10}));
    g.ContractNode(5);
    EXPECT_EQ(g.Rows(), Expected({0, 1, 5}));
    // Expanding the first node leaves the second contracted.
    g.ExpandNode(1);
    EXPECT_EQ(g.Rows(), Expected({0, 1, 2, 3, 4, 5}));
    g.ExpandNode(5);
    EXPECT_EQ(g.RowCount(), 11);
    EXPECT_EQ(g.GetNodeSpan(1), 0);
    EXPECT_EQ(g.GetNodeSpan(2), -1);
}

TEST(Filter, RowsFailingTheConditionsAreHiddenAndComeBackInOrder)
{
    Grid g;
    g.SetFixedRows(1);
    g.Filter().push_back(TFilterData{1, QStringLiteral("1:?"), false});
    std::vector<short> progress;
    g.OnFilterProgress = [&](QObject*, short p) { progress.push_back(p); };
    g.SetFilterActive(true);
    EXPECT_EQ(g.Rows(), Expected({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    ASSERT_EQ(progress.size(), 10u);
    EXPECT_EQ(progress.back(), 100);
    g.SetFilterActive(false);
    EXPECT_EQ(g.RowCount(), 11);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.Rows(), Expected({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(Filter, OverContractedNodesTheNodesRowsStayHidden)
{
    Grid g;
    g.SetFixedRows(1);
    TCellGraphic* node = new TCellGraphic;
    node->CellType = ctNode;
    node->CellIndex = 3;
    g.SetCellAttachment(0, 2, node);
    g.ContractNode(2); // hides 3 and 4
    g.Filter().push_back(TFilterData{0, QStringLiteral("!r1"), false});
    g.SetFilterActive(true);
    EXPECT_EQ(g.Rows(), Expected({0, 2, 5, 6, 7, 8, 9, 10}));
    g.SetFilterActive(false);
    EXPECT_EQ(g.RowCount(), 11);
}

TEST(Filter, NoPassingRowLeavesOneEmptyRowAndKeepsTheFixedRows)
{
    Grid g;
    g.SetFixedRows(1);
    g.Filter().push_back(TFilterData{1, QStringLiteral("nothing"), true});
    g.SetFilterActive(true);
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.GetCellText(0, 1), "");
    g.SetFilterActive(false);
    EXPECT_EQ(g.RowCount(), 11);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.GetCellText(0, 1), "r1");
}

TEST(Filter, SwitchingOffKeepsTheFixedRowsWhenRowsRemained)
{
    Grid g;
    g.SetFixedRows(2);
    g.Filter().push_back(TFilterData{0, QStringLiteral("r1*"), false});
    g.SetFilterActive(true);
    EXPECT_EQ(g.Rows(), Expected({0, 1, 10}));
    g.SetFilterActive(false);
    // Used to come back with no fixed rows at all.
    EXPECT_EQ(g.FixedRows(), 2);
    EXPECT_EQ(g.RowCount(), 11);
}

TEST(HiddenRows, HiddenRowsCellsFollowColumnsMovedInsertedAndRemoved)
{
    Grid g(5, 6);
    g.HideRows(2, 3);
    g.MoveColumn(1, 3);
    g.UnHideRow(2);
    // Every row, shown or hidden at the move, has its cells in the same order.
    for (const int r : {1, 2})
        EXPECT_EQ(QStringList({g.GetCellText(1, r), g.GetCellText(2, r), g.GetCellText(3, r), g.GetCellText(4, r)}),
                  QStringList({QStringLiteral("2:%1").arg(r), QStringLiteral("3:%1").arg(r),
                               QStringLiteral("1:%1").arg(r), QStringLiteral("4:%1").arg(r)}))
            << r;

    g.HideRow(2);
    g.InsertCols(1, 2);
    g.UnHideRowsAll();
    for (const int r : {1, 2, 3}) {
        EXPECT_EQ(g.GetCellText(1, r), QString()) << r;
        EXPECT_EQ(g.GetCellText(2, r), QString()) << r;
        EXPECT_EQ(g.GetCellText(5, r), QStringLiteral("1:%1").arg(r)) << r;
    }

    // Removed columns go from hidden rows too, their cells' objects freed
    // (leak checking sees the one left behind), and the rows stay hidden.
    for (const int col : {1, 6}) {
        TCellGraphic* check = new TCellGraphic;
        check->CellType = ctCheckBox;
        g.SetCellAttachment(col, 3, check);
    }
    g.HideRows(2, 3);
    g.RemoveCols(1, 3);
    EXPECT_EQ(g.Rows(), Expected({0, 1, 4, 5}));
    g.UnHideRowsAll();
    EXPECT_EQ(g.ColCount(), 4);
    for (const int r : {1, 2, 3}) {
        EXPECT_EQ(g.GetCellText(1, r), QStringLiteral("3:%1").arg(r)) << r;
        EXPECT_EQ(g.GetCellText(2, r), QStringLiteral("1:%1").arg(r)) << r;
        EXPECT_EQ(g.GetCellText(3, r), QStringLiteral("4:%1").arg(r)) << r;
    }
    EXPECT_EQ(g.GetCellType(3, 3), ctCheckBox);
    EXPECT_EQ(g.GetCellType(1, 3), ctEmpty);
}

TEST(HiddenEditing, HidingEndsAnEditOfAControlStoringItsValue)
{
    for (int kind = 0; kind < 4; ++kind) {
        Grid g;
        g.SetFixedCols(1);
        g.SetFixedRows(1);
        g.SetOptions(g.Options() + TGridOption::goEditing);
        g.OnGetEditorType = [](QObject*, int col, int, TEditorType& editor) {
            if (col == 2) editor = edSpinEdit;
        };
        g.show();
        g.SetCellText(2, 3, QStringLiteral("5"));
        g.FocusCell(2, 3);
        g.ShowEditor();
        TGridSpin* spin = g.GridSpin();
        ASSERT_TRUE(spin->isVisible());
        spin->SetValue(7);
        if (kind == 0)
            g.HideColumn(3);
        else if (kind == 1)
            g.HideRows(5, 6);
        else if (kind == 3) {
            g.Filter().push_back(TFilterData{0, QStringLiteral("!r5"), false});
            g.SetFilterActive(true);
        } else {
            g.CreateCellGraphic(0, 2)->CellType = ctNode;
            g.RecountNodes();
            g.ContractNode(2);
        }
        EXPECT_FALSE(g.EditInProgress()) << kind;
        EXPECT_FALSE(spin->isVisible()) << kind;
        if (kind == 2) g.ExpandNode(2);
        EXPECT_EQ(g.Cells(2, 3), QStringLiteral("7")) << kind;
    }
}
