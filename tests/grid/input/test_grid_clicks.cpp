// Mouse clicks on the string grid, driven as a user clicks: check boxes,
// radio groups, button cells, links (only web and mail links leave the
// program), embedded controls, nodes, header sorting and double clicks at
// column borders, disjunct marks.
#include "grid/TExtStringGrid.h"
#include "grid/cells/TCellGraphic.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/widgets/CustomComboBox.h"
#include "tests/support/TestSupport.h"
#include "tests/grid/input/InputTestGrid.h"

#include <QAbstractItemView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class Grid : public InputTestGrid {
public:
    Grid() : InputTestGrid(nullptr, QStringLiteral("Clicks"), 5, 8) { }
};

// Drags the selection resizer at the selection's bottom-right corner to the
// middle of the cell.
void DragResizer(Grid& g, int toCol, int toRow)
{
    const TGridRect s = g.Selection();
    const TRect corner = g.CellRect(s.Right, s.Bottom);
    const QPoint handle(corner.Right - 1, corner.Bottom - 1);
    QTest::mouseMove(&g, handle - QPoint(10, 10)); // a move the window sees, off the handle
    QTest::mouseMove(&g, handle);
    ASSERT_EQ(g.CursorState(), 5);
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, handle);
    QTest::mouseMove(&g, g.Center(toCol, toRow), -1);
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, g.Center(toCol, toRow));
}

} // namespace

TEST(GridClicks, CheckBoxesToggleOnlyWhereEditable)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.AddGraphic(1, 2, ctCheckBox);
    QString seen;
    g.OnCheckBoxClick = [&](QObject*, int col, int row, bool state) {
        seen = QStringLiteral("%1,%2,%3").arg(col).arg(row).arg(state);
    };
    g.ClickCell(1, 2);
    EXPECT_EQ(seen, QStringLiteral("1,2,1"));
    bool state = false;
    g.GetCheckBoxState(1, 2, state);
    EXPECT_TRUE(state);
    // A refusing CanEditCell keeps the box as it is.
    seen.clear();
    g.OnCanEditCell = [](QObject*, int, int, bool& can) { can = false; };
    g.ClickCell(1, 2);
    EXPECT_TRUE(seen.isEmpty());
    g.GetCheckBoxState(1, 2, state);
    EXPECT_TRUE(state);

    // Without goEditing the hook may still let the box be clicked, as
    // Space toggles it.
    g.SetOptions(g.Options() - TGridOption::goEditing);
    g.OnCanEditCell = [](QObject*, int, int col, bool& can) { can = col == 1; };
    g.ClickCell(1, 2);
    EXPECT_EQ(seen, QStringLiteral("1,2,0"));
    g.FocusCell(1, 2);
    g.Press(Qt::Key_Space);
    g.GetCheckBoxState(1, 2, state);
    EXPECT_TRUE(state);
}

TEST(GridClicks, RadioGroupsPickTheOptionUnderThePointer)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.SetRowHeights(3, 80);
    TCellGraphic* radio = g.AddGraphic(2, 3, ctRadio);
    radio->Options = {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")};
    radio->CellIndex = -1; // bound to the cell text
    int picked = -1;
    g.OnRadioClick = [&](QObject*, int, int, int index) { picked = index; };
    const TRect r = g.CellRect(2, 3);
    const int line = TExtStringGrid::TextMetricsOf(g.Font()).tmHeight;
    g.ClickAt(QPoint(r.Left + 5, r.Top + line + line / 2));
    EXPECT_EQ(picked, 1);
    EXPECT_EQ(g.GetCellText(2, 3), QStringLiteral("two"));
    EXPECT_EQ(g.Row(), 3);
}

TEST(GridClicks, RadioItemsAreHitWhereTheyAreDrawn)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.Font().SetSize(7); // lines lower than the 16-pixel buttons
    g.SetRowHeights(3, 120);
    g.SetColWidths(2, 200);
    const QStringList items{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                            QStringLiteral("d"), QStringLiteral("e"), QStringLiteral("f")};
    TCellGraphic* radio = g.AddGraphic(2, 3, ctRadio);
    radio->Options = items;
    radio->CellIndex = 0;
    int picked = -1;
    g.OnRadioClick = [&](QObject*, int, int, int index) { picked = index; };
    const TRect r = g.CellRect(2, 3);
    ASSERT_LT(TExtStringGrid::TextMetricsOf(g.Font()).tmHeight, 16);

    // Bitmap buttons stand 16 pixels apart, 2 pixels in.
    g.ControlLook().SetControlStyle(csWinXP);
    for (int i = 0; i < items.size(); ++i) {
        g.ClickAt(QPoint(r.Left + 10, r.Top + 2 + 16 * i + 8));
        EXPECT_EQ(picked, i);
        EXPECT_EQ(radio->CellIndex, i);
    }

    // Side by side: each button followed by its caption.
    radio->CellBoolean = true;
    g.ControlLook().SetControlStyle(csClassic);
    const int s = g.ControlLook().RadioSize();
    int x = r.Left + 2;
    for (int i = 0; i < items.size(); ++i) {
        g.ClickAt(QPoint(x + s / 2, r.Top + r.Height() / 2));
        EXPECT_EQ(picked, i);
        x += s + TExtStringGrid::TextWidthOf(g.Font(), items[i]);
    }
}

TEST(GridClicks, OnlyWebAndMailLinksOpen)
{
    ScopedDialogResponder responder;
    Grid g;
    g.SetURLShow(true);
    g.SetCellText(1, 1, QStringLiteral("http://example.com/a"));
    g.SetCellText(2, 1, QStringLiteral("file:///etc/passwd"));
    g.SetCellText(3, 1, QStringLiteral("mailto:agent@example.com"));
    g.SetCellText(4, 1, QStringLiteral("javascript://alert(1)"));
    for (int c = 1; c <= 4; ++c) g.ClickCell(c, 1);
    ASSERT_EQ(responder.Count(DialogRequest::Kind::OpenLink), 2);
    QStringList opened;
    for (const DialogRequest& r : responder.Shown())
        if (r.kind == DialogRequest::Kind::OpenLink) opened << r.text;
    EXPECT_EQ(opened,
              (QStringList{QStringLiteral("http://example.com/a"), QStringLiteral("mailto:agent@example.com")}));

    // The anchor event may take the click over.
    g.OnAnchorClick = [](QObject*, int, int, const QString&, bool& autoHandle) { autoHandle = false; };
    g.ClickCell(1, 1);
    EXPECT_EQ(responder.Count(DialogRequest::Kind::OpenLink), 2);
}

TEST(GridClicks, CellReferencesMoveTheCurrentCellInsideTheGridOnly)
{
    ScopedDialogResponder responder;
    Grid g;
    g.SetURLShow(true);
    g.SetCellText(1, 1, QStringLiteral("go to cell://R3C2"));
    g.ClickCell(1, 1);
    EXPECT_EQ(g.Col(), 2);
    EXPECT_EQ(g.Row(), 3);
    // Outside the grid nothing moves, and nothing is opened.
    g.SetCellText(1, 2, QStringLiteral("CELL://R300C2"));
    g.ClickCell(1, 2);
    EXPECT_EQ(g.Row(), 3);
    EXPECT_EQ(responder.Count(DialogRequest::Kind::OpenLink), 0);
}

TEST(GridClicks, EmbeddedCheckControlsFlipAndAreNoLinks)
{
    ScopedDialogResponder responder;
    Grid g;
    g.SetColWidths(1, 200);
    g.SetCellText(1, 1, QStringLiteral("<CONTROL TYPE=\"CHECK\" ID=\"c1\" VALUE=\"FALSE\" WIDTH=\"15\"> <B>x</B>"));
    QString clicked;
    g.OnControlClick = [&](QObject*, int, int, const QString& id, const QString& type, const QString& value) {
        clicked = id + QLatin1Char(':') + type + QLatin1Char(':') + value;
    };
    const TRect r = g.CellRect(1, 1);
    bool hit = false;
    for (int dx = 2; dx < 30 && !hit; dx += 2) {
        g.ClickAt(QPoint(r.Left + dx, (r.Top + r.Bottom) / 2));
        hit = !clicked.isEmpty();
    }
    ASSERT_TRUE(hit);
    EXPECT_EQ(clicked, QStringLiteral("c1:CHECK:TRUE"));
    EXPECT_TRUE(g.GetCellText(1, 1).contains(QStringLiteral("TRUE")));
    EXPECT_EQ(responder.Count(DialogRequest::Kind::OpenLink), 0);
}

TEST(GridClicks, ButtonCellsFireOnRelease)
{
    Grid g;
    TCellGraphic* b = g.AddGraphic(2, 2, ctButton);
    b->CellIndex = (14 << 16) | 40; // 40 x 14
    int clicks = 0;
    g.OnButtonClick = [&](QObject*, int col, int row) { clicks += col == 2 && row == 2; };
    TRect button;
    g.GetCellGraphicRect(2, 2, button);
    ASSERT_FALSE(button.IsEmpty());
    g.ClickAt(QPoint((button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2));
    EXPECT_EQ(clicks, 1);
}

// A press that comes before the release of the one on a button (a press
// the grid is handed without its release) lets the button go unclicked;
// a click the button's handler makes runs whole while the button comes up.
TEST(GridClicks, AHeldButtonCellGoesUpWhenAnotherPressOrClickComes)
{
    Grid g;
    TCellGraphic* b = g.AddGraphic(2, 2, ctButton);
    b->CellIndex = (14 << 16) | 40; // 40 x 14
    int clicks = 0;
    QList<QPoint> cellClicks;
    g.OnButtonClick = [&](QObject*, int, int) { ++clicks; };
    g.OnClickCell = [&](QObject*, int row, int col) { cellClicks << QPoint(col, row); };
    TRect button;
    g.GetCellGraphicRect(2, 2, button);
    const QPoint onButton((button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2);

    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, onButton);
    ASSERT_TRUE(b->CellBoolean);
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, g.Center(3, 5));
    EXPECT_FALSE(b->CellBoolean);
    EXPECT_NE(QWidget::mouseGrabber(), &g);
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, g.Center(3, 5));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(g.Col(), 3);
    EXPECT_EQ(g.Row(), 5);

    cellClicks.clear();
    g.OnButtonClick = [&](QObject*, int, int) {
        ++clicks;
        g.ClickCell(4, 6);
    };
    g.ClickAt(onButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(cellClicks, (QList<QPoint>{QPoint(2, 2), QPoint(4, 6)}));
    EXPECT_FALSE(b->CellBoolean);
    EXPECT_EQ(g.Col(), 4);
    EXPECT_EQ(g.Row(), 6);
    // The grid is back at rest: a later click is a plain one.
    g.OnButtonClick = nullptr;
    g.ClickCell(1, 3);
    EXPECT_EQ(cellClicks.last(), QPoint(1, 3));
    EXPECT_EQ(g.Col(), 1);
}

TEST(GridClicks, HeaderClicksSortOnlyFromTheSortRow)
{
    Grid g;
    g.SortSettings().Show = true;
    QList<int> sorted;
    g.OnClickSort = [&](QObject*, int col) { sorted << col; };
    g.ClickCell(2, 0);
    ASSERT_EQ(sorted, QList<int>{2});
    EXPECT_EQ(g.SortSettings().Column, 2);
    EXPECT_EQ(g.SortSettings().Direction, sdAscending);
    g.ClickCell(2, 0);
    EXPECT_EQ(g.SortSettings().Direction, sdDescending);
    g.ClickCell(3, 0);
    EXPECT_EQ(g.SortSettings().Direction, sdAscending);
    EXPECT_EQ(sorted.size(), 3);

    // A veto, a data row and a grid of two rows never sort.
    g.OnCanSort = [](QObject*, int, bool& doSort) { doSort = false; };
    g.ClickCell(1, 0);
    g.OnCanSort = nullptr;
    g.ClickCell(1, 3);
    g.SetRowCount(2);
    g.ClickCell(1, 0);
    EXPECT_EQ(sorted.size(), 3);
}

TEST(GridClicks, BordersSizeInsteadOfSorting)
{
    Grid g;
    g.SortSettings().Show = true;
    g.SetOptions(g.Options() + TGridOption::goColSizing);
    g.SetCellText(1, 3, QStringLiteral("a rather long text that needs room"));
    int sorts = 0;
    g.OnClickSort = [&](QObject*, int) { ++sorts; };
    const TRect header = g.CellRect(1, 0);
    // A release 2 pixels from the border is a sizing, not a sort.
    g.ClickAt(QPoint(header.Right - 2, header.Top + 5));
    EXPECT_EQ(sorts, 0);

    int sizedCol = -1;
    g.OnEndColumnSize = [&](QObject*, int col) { sizedCol = col; };
    const TRect now = g.CellRect(1, 0);
    QTest::mouseDClick(&g, Qt::LeftButton, Qt::NoModifier, QPoint(now.Right - 1, now.Top + 5));
    EXPECT_EQ(sizedCol, 1);
    EXPECT_GT(g.ColWidths(1), 80);
    EXPECT_EQ(sorts, 0);
}

TEST(GridClicks, IndexedSortsBuildOnShiftClicks)
{
    Grid g;
    g.SortSettings().Show = true;
    g.SortSettings().IndexShow = true;
    int sorts = 0;
    g.OnClickSort = [&](QObject*, int) { ++sorts; };
    g.ClickCell(1, 0);
    g.ClickCell(2, 0, Qt::ShiftModifier);
    g.ClickCell(2, 0, Qt::ShiftModifier); // flips column 2
    EXPECT_EQ(sorts, 3);
    EXPECT_EQ(g.SortIndexes().Count(), 2);
    EXPECT_FALSE(TSortIndexList::IsAscending(g.SortIndexes().Item(1)));
    g.ClickCell(3, 0); // a plain click starts again
    ASSERT_EQ(g.SortIndexes().Count(), 1);
    EXPECT_EQ(TSortIndexList::ColumnOf(g.SortIndexes().Item(0)), 3);
}

TEST(GridClicks, CtrlClickUnmarksAMarkedRow)
{
    Grid g;
    g.MouseActions().DisjunctRowSelect = true;
    g.ClickCell(1, 2);
    g.ClickCell(1, 4, Qt::ControlModifier);
    EXPECT_TRUE(g.RowSelect(2));
    EXPECT_TRUE(g.RowSelect(4));
    g.ClickCell(1, 4, Qt::ControlModifier);
    EXPECT_FALSE(g.RowSelect(4));
    g.ClickCell(1, 5);
    EXPECT_FALSE(g.RowSelect(2));
    EXPECT_TRUE(g.RowSelect(5));
}

TEST(GridClicks, CellEventsPassRowBeforeColumn)
{
    Grid g;
    QString order;
    g.OnClickCell = [&](QObject*, int row, int col) { order += QStringLiteral("c%1/%2 ").arg(row).arg(col); };
    g.OnDblClickCell = [&](QObject*, int row, int col) { order += QStringLiteral("d%1/%2 ").arg(row).arg(col); };
    g.ClickCell(3, 2);
    QTest::mouseDClick(&g, Qt::LeftButton, Qt::NoModifier, g.Center(3, 2));
    EXPECT_TRUE(order.startsWith(QStringLiteral("c2/3 ")));
    EXPECT_TRUE(order.contains(QStringLiteral("d2/3")));
}

namespace {

// Rows 1 and 4 of column 0 are nodes reaching to the next node; column 1
// holds the texts of all seven data rows.
void AddNodes(Grid& g, const QStringList& texts)
{
    for (int r = 0; r < texts.size(); ++r) g.SetCellText(1, r + 1, texts[r]);
    g.AddGraphic(0, 1, ctNode);
    g.AddGraphic(0, 4, ctNode);
}

QStringList Column(TExtStringGrid& g, int col)
{
    QStringList out;
    for (int r = 1; r < g.RowCount(); ++r) out << g.GetCellText(col, r);
    return out;
}

} // namespace

TEST(GridClicks, NodesInTheFixedColumnToggleTheirRows)
{
    Grid g;
    ASSERT_EQ(g.FixedCols(), 1);
    AddNodes(g, {"n1", "a", "b", "n2", "c", "d", "e"});
    EXPECT_EQ(g.NodeCount(), 2);
    QString seen;
    g.OnContractNode = [&](QObject*, int row, int real) { seen = QStringLiteral("contract %1 %2").arg(row).arg(real); };
    g.OnExpandNode = [&](QObject*, int row, int real) { seen = QStringLiteral("expand %1 %2").arg(row).arg(real); };
    g.ClickCell(0, 4);
    EXPECT_EQ(seen, QStringLiteral("contract 4 4"));
    EXPECT_EQ(g.RowCount(), 5); // c, d and e went with their node
    EXPECT_EQ(g.Row(), 4);
    g.ClickCell(0, 1);
    EXPECT_EQ(seen, QStringLiteral("contract 1 1"));
    EXPECT_EQ(Column(g, 1), QStringList({"n1", "n2"}));
    g.ClickCell(0, 2); // n2 now stands in row 2
    EXPECT_EQ(seen, QStringLiteral("expand 2 4"));
    EXPECT_EQ(Column(g, 1), QStringList({"n1", "n2", "c", "d", "e"}));
    EXPECT_FALSE(g.EditorMode());
}

TEST(GridClicks, HeaderClicksSortEachNodeGroupByItself)
{
    Grid g;
    g.SortSettings().Show = true;
    AddNodes(g, {"m", "z", "a", "b", "y", "c", "x"});
    g.ClickCell(1, 0);
    EXPECT_EQ(Column(g, 1), QStringList({"m", "a", "z", "b", "c", "x", "y"}));
    g.ClickCell(1, 0);
    EXPECT_EQ(Column(g, 1), QStringList({"m", "z", "a", "b", "y", "x", "c"}));
    // A graphic made a node after it was counted is seen at the next click.
    TCellGraphic* late = g.AddGraphic(0, 2, ctNone);
    EXPECT_EQ(g.NodeCount(), 2);
    late->CellType = ctNode;
    g.ClickCell(1, 0);
    EXPECT_EQ(g.NodeCount(), 3);
    EXPECT_EQ(Column(g, 1), QStringList({"m", "z", "a", "b", "c", "x", "y"}));
}

namespace {

// Drags with the left button from one cell to another, as the user does.
void Drag(Grid& g, int fromCol, int fromRow, int toCol, int toRow)
{
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, g.Center(fromCol, fromRow));
    QTest::mouseMove(&g, g.Center((fromCol + toCol) / 2, (fromRow + toRow) / 2), -1);
    QTest::mouseMove(&g, g.Center(toCol, toRow), -1);
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, g.Center(toCol, toRow));
}

// Columns 1 and 2 with their headers, the rows in no order.
void FillUnsorted(Grid& g)
{
    g.SortSettings().Show = true;
    const QStringList names{"Name", "d", "b", "g", "a", "f", "c", "e"};
    const QStringList prices{"Price", "4", "2", "7", "1", "6", "3", "5"};
    for (int r = 0; r < g.RowCount(); ++r) {
        g.SetCells(1, r, names[r]);
        g.SetCells(2, r, prices[r]);
        g.SetCells(0, r, QString::number(r));
    }
}

} // namespace

TEST(GridClicks, AHeaderDraggedElsewhereMovesItsColumnAndDoesNotSort)
{
    for (const bool enhanced : {true, false}) {
        SCOPED_TRACE(enhanced ? "EnhRowColMove" : "plain move");
        Grid g;
        g.SetEnhRowColMove(enhanced);
        g.SetOptions(g.Options() + TGridOption::goColMoving);
        FillUnsorted(g);
        int sorts = 0;
        g.OnClickSort = [&](QObject*, int) { ++sorts; };

        Drag(g, 1, 0, 3, 0);
        EXPECT_EQ(g.Cells(3, 0), QStringLiteral("Name"));
        EXPECT_EQ(g.Cells(1, 0), QStringLiteral("Price"));
        EXPECT_EQ(Column(g, 3), QStringList({"d", "b", "g", "a", "f", "c", "e"}));
        EXPECT_EQ(Column(g, 1), QStringList({"4", "2", "7", "1", "6", "3", "5"}));
        EXPECT_EQ(sorts, 0);

        // A plain click on the header, no move, still sorts: the move left
        // no mark behind.
        g.ClickCell(3, 0);
        EXPECT_EQ(sorts, 1);
        EXPECT_EQ(g.Cells(3, 0), QStringLiteral("Name"));
        EXPECT_EQ(Column(g, 3), QStringList({"a", "b", "c", "d", "e", "f", "g"}));
        EXPECT_EQ(Column(g, 1), QStringList({"1", "2", "3", "4", "5", "6", "7"}));
    }
}

TEST(GridClicks, ARowDraggedByItsFixedCellMovesAndLeavesHeaderSortsAlone)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goRowMoving);
    FillUnsorted(g);
    int sorts = 0;
    g.OnClickSort = [&](QObject*, int) { ++sorts; };

    Drag(g, 0, 2, 0, 5);
    EXPECT_EQ(Column(g, 1), QStringList({"d", "g", "a", "f", "b", "c", "e"}));
    EXPECT_EQ(Column(g, 2), QStringList({"4", "7", "1", "6", "2", "3", "5"}));
    EXPECT_EQ(g.Cells(1, 0), QStringLiteral("Name"));
    EXPECT_EQ(sorts, 0);

    g.ClickCell(2, 0);
    EXPECT_EQ(sorts, 1);
    EXPECT_EQ(Column(g, 1), QStringList({"a", "b", "c", "d", "e", "f", "g"}));
}

TEST(GridClicks, DraggingTheSelectionResizerFillsTheNewSelection)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.Navigation().AllowSmartClipboard = true;
    g.SetSelectionResizer(true);
    g.SetSelectionRectangle(true);
    auto drag = [&](int toRow) { DragResizer(g, g.Selection().Right, toRow); };

    // One "5" dragged three rows down: every cell takes it.
    g.SetCellText(1, 1, QStringLiteral("5"));
    g.FocusCell(1, 1);
    drag(4);
    EXPECT_EQ(g.Selection(), TGridRect(1, 1, 1, 4));
    for (int r = 1; r <= 4; ++r) EXPECT_EQ(g.GetCellText(1, r), QStringLiteral("5")) << r;
    EXPECT_EQ(g.GetCellText(1, 5), QString());
    EXPECT_EQ(g.GetCellText(2, 2), QString());

    // Two numbers dragged on: the series goes on by their difference.
    g.SetCellText(3, 1, QStringLiteral("1"));
    g.SetCellText(3, 2, QStringLiteral("3"));
    g.SetSelection(TGridRect(3, 1, 3, 2));
    drag(5);
    QStringList column;
    for (int r = 1; r <= 5; ++r) column << g.GetCellText(3, r);
    EXPECT_EQ(column.join(u','), QStringLiteral("1,3,5,7,9"));
}

TEST(GridClicks, TheSelectionResizerDraggedUpOrLeftFillsBackwards)
{
    Grid g; // 5 columns, 8 rows
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.Navigation().AllowSmartClipboard = true;
    g.SetSelectionResizer(true);
    g.SetSelectionRectangle(true);
    const auto column = [&](int col) {
        QStringList texts;
        for (int r = 1; r <= 7; ++r) texts << g.GetCellText(col, r);
        return texts.join(u',');
    };
    const auto row = [&](int r) {
        QStringList texts;
        for (int c = 1; c <= 4; ++c) texts << g.GetCellText(c, r);
        return texts.join(u',');
    };
    // The column holds texts from row 1; rows top..bottom are dragged up to
    // row toRow; the column as it ends.
    const auto dragUp = [&](int col, const QStringList& texts, int top, int bottom, int toRow) {
        for (int r = 1; r <= 7; ++r) g.SetCellText(col, r, texts.value(r - 1));
        g.SetSelection(TGridRect(col, top, col, bottom));
        DragResizer(g, col, toRow);
        return column(col);
    };

    // a, b, c, 1, 3 with 1, 3 dragged up to the first row: the series runs
    // back over the swept rows; the source and the row below stay.
    EXPECT_EQ(dragUp(1, {"a", "b", "c", "1", "3", "below"}, 4, 5, 1), QStringLiteral("-5,-3,-1,1,3,below,"));
    EXPECT_EQ(g.Selection(), TGridRect(1, 1, 1, 5));
    // Swept only part of the way: the cells above stay.
    EXPECT_EQ(dragUp(1, {"a", "b", "c", "1", "3"}, 4, 5, 3), QStringLiteral("a,b,-1,1,3,,"));
    // Texts repeat backwards; dates step back by their difference.
    EXPECT_EQ(dragUp(2, {"", "", "", "x", "y"}, 4, 5, 1), QStringLiteral("y,x,y,x,y,,"));
    EXPECT_EQ(dragUp(2, {"", "", "1/15/2001", "1/22/2001"}, 3, 4, 1),
              QStringLiteral("1/1/2001,1/8/2001,1/15/2001,1/22/2001,,,"));
    // One cell dragged up fills the swept cells with its text.
    EXPECT_EQ(dragUp(3, {"k", "l", "m", "n", "5"}, 5, 5, 2), QStringLiteral("k,5,5,5,5,,"));

    // Leftward along a row.
    g.SetCellText(3, 7, QStringLiteral("10"));
    g.SetCellText(4, 7, QStringLiteral("20"));
    g.SetCellText(1, 7, QStringLiteral("keep"));
    g.SetSelection(TGridRect(3, 7, 4, 7));
    DragResizer(g, 2, 7);
    EXPECT_EQ(row(7), QStringLiteral("keep,0,10,20"));

    // A block that cannot run back that way fills nothing at all.
    for (int r = 1; r <= 4; ++r) g.SetCellText(4, r, QStringList({"p", "q", "1", "2"}).at(r - 1));
    g.SetCellText(4, 7, QString());
    g.SetSelection(TGridRect(3, 3, 4, 4)); // two columns
    g.SetCellText(3, 3, QStringLiteral("7"));
    g.SetCellText(3, 4, QStringLiteral("8"));
    DragResizer(g, 4, 1);
    EXPECT_EQ(column(4), QStringLiteral("p,q,1,2,,,"));
    EXPECT_EQ(g.Selection(), TGridRect(3, 3, 4, 4));
    g.SetSelection(TGridRect(4, 3, 4, 4)); // a column dragged left
    DragResizer(g, 2, 3);
    EXPECT_EQ(row(3), QStringLiteral("-1,1/15/2001,7,1"));
    EXPECT_EQ(column(4), QStringLiteral("p,q,1,2,,,"));
    EXPECT_EQ(g.Selection(), TGridRect(4, 3, 4, 4));
}

TEST(GridClicks, OnClickFiresOnReleaseButNotForASizing)
{
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goColSizing + TGridOption::goRowSizing);
    int clicks = 0;
    g.OnClick = [&](QObject*) { ++clicks; };
    g.ClickCell(2, 3);
    EXPECT_EQ(clicks, 1);

    // A column sized by its header border, released well away from it.
    const TRect header = g.CellRect(2, 0);
    const QPoint border(header.Right - 1, (header.Top + header.Bottom) / 2);
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, border);
    QTest::mouseMove(&g, border + QPoint(30, 0), -1);
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, border + QPoint(30, 0));
    EXPECT_GT(g.ColWidths(2), 100);
    // A row sized by its border in the fixed column.
    const TRect side = g.CellRect(0, 3);
    const QPoint rowBorder((side.Left + side.Right) / 2, side.Bottom - 1);
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, rowBorder);
    QTest::mouseMove(&g, rowBorder + QPoint(0, 12), -1);
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, rowBorder + QPoint(0, 12));
    EXPECT_GT(g.RowHeights(3), 25);
    EXPECT_EQ(clicks, 1);

    g.ClickCell(1, 1);
    EXPECT_EQ(clicks, 2);
}

TEST(GridClicks, NoAutoRangeScrollStopsTheRangeAtThePartlyVisibleRow)
{
    for (const bool noScroll : {false, true}) {
        InputTestGrid g(nullptr, QStringLiteral("Ranges"), 5, 40);
        g.resize(500, 310); // the last row on view shows in part
        g.MouseActions().NoAutoRangeScroll = noScroll;
        const int last = g.TopRow() + g.VisibleRowCount(); // partly visible
        const TRect r = g.CellRect(2, last);
        ASSERT_FALSE(r.IsEmpty());
        ASSERT_GT(r.Bottom, g.GridHeight());
        const QPoint p((r.Left + r.Right) / 2, r.Top + 2);
        QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, p);
        // The view scrolled under the pointer, which now is over the next row.
        QTest::mouseMove(&g, p + QPoint(1, 0), -1);
        QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, p + QPoint(1, 0));
        if (noScroll)
            EXPECT_EQ(g.Selection(), TGridRect(2, last, 2, last));
        else
            EXPECT_GT(g.Selection().Bottom, last);
    }
}

TEST(GridClicks, EnterInAnEmbeddedEditOrComboEndsItsEdit)
{
    Grid g;
    g.SetColWidths(1, 200);
    g.SetColWidths(2, 200);
    g.SetRowHeights(1, 40); // the controls' own heights
    g.SetRowHeights(2, 40);
    g.SetCellText(1, 1, QStringLiteral("<CONTROL TYPE=\"EDIT\" ID=\"e1\" VALUE=\"old\" WIDTH=\"80\"> <B>x</B>"));
    g.SetCellText(2, 2, QStringLiteral("<CONTROL TYPE=\"COMBO\" ID=\"c1\" VALUE=\"b\" WIDTH=\"80\"> <B>x</B>"));
    g.OnControlComboList = [](QObject*, const QString&, const QString&, int, int, QStringList& values, bool&) {
        values = {QStringLiteral("a"), QStringLiteral("b")};
    };
    QStringList done;
    g.OnControlEditDone = [&](QObject*, int row, int col, const QString& id, const QString& type,
                              const QString& value) {
        done << QStringLiteral("%1,%2:%3:%4:%5").arg(col).arg(row).arg(id, type, value);
    };
    // Clicks across the cell until one lands on the control.
    auto open = [&](int col, int row, const char* name) -> QWidget* {
        const TRect r = g.CellRect(col, row);
        for (int dy = 3; dy < r.Height(); dy += 4)
            for (int dx = 2; dx < 80; dx += 4) {
                g.ClickAt(QPoint(r.Left + dx, r.Top + dy));
                auto* w = g.findChild<QWidget*>(QLatin1String(name));
                if (w && w->isVisible()) return w;
            }
        return nullptr;
    };

    QWidget* edit = open(1, 1, "ControlEdit");
    ASSERT_NE(edit, nullptr);
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, QStringLiteral("er"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(done, QStringList{QStringLiteral("1,1:e1:EDIT:older")});
    EXPECT_FALSE(edit->isVisible());
    EXPECT_TRUE(g.GetCellText(1, 1).contains(QStringLiteral("VALUE=\"older\"")));

    QWidget* combo = open(2, 2, "ControlCombo");
    ASSERT_NE(combo, nullptr);
    QTest::keyClick(combo, Qt::Key_Return);
    ASSERT_EQ(done.size(), 2);
    EXPECT_EQ(done[1], QStringLiteral("2,2:c1:COMBO:b"));
    EXPECT_FALSE(combo->isVisible());
}

TEST(GridClicks, AnEmbeddedComboOpensWithItsListDownAndAChoiceEndsIt)
{
    Grid g;
    g.SetColWidths(2, 200);
    g.SetRowHeights(2, 40);
    g.SetCellText(2, 2, QStringLiteral("<CONTROL TYPE=\"COMBO\" ID=\"c1\" VALUE=\"b\" WIDTH=\"80\"> <B>x</B>"));
    g.OnControlComboList = [](QObject*, const QString&, const QString&, int, int, QStringList& values, bool& edit) {
        values = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
        edit = false;
    };
    QStringList done;
    g.OnControlEditDone = [&](QObject*, int, int, const QString&, const QString&, const QString& value) {
        done << value;
    };
    TCustomComboBox* combo = nullptr;
    const TRect r = g.CellRect(2, 2);
    for (int dy = 3; dy < r.Height() && !combo; dy += 4)
        for (int dx = 2; dx < 80 && !combo; dx += 4) {
            g.ClickAt(QPoint(r.Left + dx, r.Top + dy));
            auto* w = g.findChild<TCustomComboBox*>(QStringLiteral("ControlCombo"));
            if (w && w->isVisible()) combo = w;
        }
    ASSERT_NE(combo, nullptr);
    // Shown with its list open, on the cell's value.
    EXPECT_TRUE(combo->DroppedDown());
    EXPECT_TRUE(testsupport::WaitUntil([&] { return combo->view()->isVisible(); }));
    EXPECT_EQ(combo->Text(), QStringLiteral("b"));
    EXPECT_TRUE(done.isEmpty());

    // A choice from the list closes it and the control, into the cell.
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !combo->isVisible(); }));
    EXPECT_EQ(done, QStringList{QStringLiteral("c")});
    EXPECT_TRUE(g.GetCellText(2, 2).contains(QStringLiteral("VALUE=\"c\"")));
}
