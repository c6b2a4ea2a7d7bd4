// Sorting in every style, indexed and grouped sorts, merging after a sort,
// and the row and column maintenance.
#include "grid/TExtStringGrid.h"
#include "grid/cells/TCellProperties.h"
#include "platform/clipboard/Clipboard.h"
#include "platform/core/RegionalSettings.h"
#include "tests/grid/edit/TypeIntoFocus.h"

#include <QApplication>
#include <QLocale>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>
#include <functional>
#include <vector>

namespace {

class Grid : public TExtStringGrid {
public:
    // One fixed row and column; data rows from 1.
    explicit Grid(int rows = 5, int cols = 3) : TExtStringGrid(nullptr, QStringLiteral("Grid"))
    {
        SetColCount(cols);
        SetRowCount(rows);
        SortSettings().Column = 1;
    }
    void Fill(int col, const QStringList& texts)
    {
        if (RowCount() < texts.size() + FixedRows()) SetRowCount(int(texts.size()) + FixedRows());
        for (int i = 0; i < texts.size(); ++i) SetCells(col, FixedRows() + i, texts[i]);
    }
    QStringList Column(int col, int from = -1, int to = -1)
    {
        QStringList list;
        for (int r = from < 0 ? FixedRows() : from; r <= (to < 0 ? RowCount() - 1 : to); ++r) list << Cells(col, r);
        return list;
    }
    void Style(int style, const QString& prefix = QString())
    {
        OnGetFormat = [style, prefix](QObject*, int, int& s, QString& p, QString&) {
            s = style;
            p = prefix;
        };
    }
};

// The regional settings of the United States for every test.
class SortTest : public ::testing::Test {
protected:
    ScopedRegionalSettings settings{TFormatSettings{}};
};

TEST_F(SortTest, AutomaticStyleIsDecidedFromTheColumnsFirstCell)
{
    Grid g;
    g.Fill(1, {"12/5/2001", "1/31/2001", "3/1/1999", "12/25/2001"});
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"3/1/1999", "1/31/2001", "12/5/2001", "12/25/2001"}));

    g.Fill(1, {"ab/cd", "b", "a", "ab"});
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"a", "ab", "ab/cd", "b"}));

    g.Fill(1, {"123/4", "2", "13"}); // "/" at position 4: text
    g.SetRowCount(4);
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"123/4", "13", "2"}));

    g.Fill(1, {"1250.5", "99", "-3", "1e2"});
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"-3", "99", "1e2", "1250.5"}));

    // Thousand separators as GetNumberType accepted them.
    g.Fill(1, {"1,250", "999", "12,000", "5"});
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"5", "999", "1,250", "12,000"}));

    // One decision for the whole column: the first cell is a number, so the
    // later texts read as the numbers they start with.
    g.Fill(1, {"2", "10", "1a", "30"});
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"1a", "2", "10", "30"}));
}

TEST_F(SortTest, CheckBoxColumnsSortByState)
{
    Grid g(5);
    for (int r = 1; r < 5; ++r) {
        g.CreateCellGraphic(1, r)->CellType = ctCheckBox;
        g.SetCells(2, r, QString::number(r));
    }
    g.SetCheckBoxState(1, 1, true);
    g.SetCheckBoxState(1, 3, true);
    g.SortSettings().Full = false;
    g.SortSettings().Column = 1;
    g.SortByColumn();
    EXPECT_EQ(g.Column(2), QStringList({"2", "4", "1", "3"}));
}

TEST_F(SortTest, NumbersWithPrefixBlanksAndTexts)
{
    Grid g;
    g.Style(ssNumeric, "$");
    g.Fill(1, {"$10", "$9", "", "$-1"});
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"$-1", "", "$9", "$10"}));

    // Two texts that are no numbers are equal: their order stays.
    g.Fill(1, {"b", "a", "$3", "$1"});
    g.SortSettings().Full = false;
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"b", "a", "$1", "$3"}));

    g.Style(ssFinancial);
    g.Fill(1, {"1,000.5", "20", "3,000", "999.99"});
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"20", "999.99", "1,000.5", "3,000"}));
}

// Keys are compared by a packed prefix first and read by a quick number
// reader first: the order must be the one of the full comparison and the
// full reading.
TEST_F(SortTest, QuickKeysOrderAsTheFullOnes)
{
    Grid g(1, 3);
    g.Style(ssAlphabetic);
    g.Fill(1,
           {"abcdefgh2", "abcdefgh", QString(QChar(0x100)), "abcdefgh10", QString(QChar(0xFF)), "abcdefgi", "abcd",
            QStringLiteral("abc") + QChar(0)});
    g.SortByColumn();
    EXPECT_EQ(g.Column(1),
              QStringList({"abc" + QString(QChar(0)), "abcd", "abcdefgh", "abcdefgh10", "abcdefgh2", "abcdefgi",
                           QString(QChar(0xFF)), QString(QChar(0x100))}));

    g.Style(ssNumeric);
    g.Fill(1, {" 7 ", "1e3", "-0.5", "12.", "+3", ".25", "1,5", "-12"});
    g.SortSettings().Full = false;
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"-12", "-0.5", ".25", "1,5", "+3", " 7 ", "12.", "1e3"}));

    // Equal first keys go on to the next column, read only for those rows.
    Grid chain(1, 3);
    chain.Fill(1, {"b", "a", "b", "a"});
    chain.Fill(2, {"2", "10", "1", "9"});
    chain.SortByColumn();
    EXPECT_EQ(chain.Column(2), QStringList({"9", "10", "1", "2"}));
}

TEST_F(SortTest, BlanksGoToTheirPlaceInBothDirections)
{
    Grid g;
    g.SortSettings().IgnoreBlanks = true;
    g.SortSettings().BlankPos = blLast;
    g.Fill(1, {"", "b", "", "a"});
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"a", "b", "", ""}));
    g.SortSettings().Direction = sdDescending;
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"b", "a", "", ""}));
    g.SortSettings().BlankPos = blFirst;
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"", "", "b", "a"}));

    // An indexed sort places blanks by each entry's own direction.
    g.SortSettings().BlankPos = blLast;
    g.SortSettings().Direction = sdAscending;
    g.SortIndexes().AddIndex(1, false);
    g.SortByIndexes();
    EXPECT_EQ(g.Column(1), QStringList({"b", "a", "", ""}));
}

TEST_F(SortTest, TextStylesAndPinnedLocales)
{
    Grid g;
    g.Fill(1, {"b", "B", "a", "A"});
    g.Style(ssAlphabetic);
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"A", "B", "a", "b"}));
    g.Style(ssAlphaNoCase);
    g.Fill(1, {"b", "B", "a", "A"});
    g.SortSettings().Full = false;
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"a", "A", "b", "B"}));
    g.Style(ssHTML);
    g.Fill(1, {"<b>c</b>", "b", "<i>a</i>", "d"});
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"<i>a</i>", "b", "<b>c</b>", "d"}));

    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    g.Style(ssAnsiAlphaNoCase);
    g.Fill(1, {"Zug", "äpfel", "Birne", "Apfel"});
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"Apfel", "äpfel", "Birne", "Zug"}));
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    g.Fill(1, {"Zug", "äpfel", "Birne", "Apfel"});
    g.Style(ssUnicode);
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"Apfel", "Birne", "Zug", "äpfel"}));
    QLocale::setDefault(saved);
}

TEST_F(SortTest, DatesOfEveryStyleNeverRaise)
{
    Grid g;
    g.Style(ssShortDateEU);
    g.Fill(1, {"05/12/2001", "25/01/2001", "01/12/2001", "x"});
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"x", "25/01/2001", "01/12/2001", "05/12/2001"}));
    g.Style(ssShortDateUS);
    g.Fill(1, {"12/05/2001", "01/25/2001", "x", "05/01/2001"});
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"x", "01/25/2001", "05/01/2001", "12/05/2001"}));
    g.Style(ssDate);
    g.Fill(1, {"not a date", "12/5/2001 10:00:00 AM", "12/5/2001", "1/1/2000"});
    EXPECT_NO_THROW(g.SortByColumn());
    EXPECT_EQ(g.Column(1), QStringList({"not a date", "1/1/2000", "12/5/2001", "12/5/2001 10:00:00 AM"}));
}

TEST_F(SortTest, EventResultsAreReducedToTheirSign)
{
    Grid g(7);
    g.Style(ssCustom);
    g.Fill(1, {"5", "3", "9", "1", "7", "2"});
    g.OnCustomCompare = [](QObject*, const QString& a, const QString& b, int& res) {
        res = (a.toInt() - b.toInt()) * 1000;
    };
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"1", "2", "3", "5", "7", "9"}));

    g.Style(ssRaw);
    g.Fill(2, {"c", "a", "b", "f", "e", "d"});
    g.OnRawCompare = [&g](QObject*, int, int r1, int r2, int& res) {
        res = g.Cells(2, r1) < g.Cells(2, r2) ? -77 : 77;
    };
    g.SortByColumn();
    EXPECT_EQ(g.Column(2), QStringList({"a", "b", "c", "d", "e", "f"}));
    EXPECT_EQ(g.CompareCells(1, 1, 2), -1);
}

TEST_F(SortTest, AnErrorInTheMiddleLeavesTheGridAsItWas)
{
    Grid g(6);
    g.Fill(1, {"d", "c", "b", "a", "e"});
    g.Style(ssCustom);
    int calls = 0;
    g.OnCustomCompare = [&](QObject*, const QString& a, const QString& b, int& res) {
        if (++calls == 3) throw Exception(QStringLiteral("stop"));
        res = a.compare(b);
    };
    g.SetRow(3);
    g.BeginUpdate();
    EXPECT_THROW(g.SortByColumn(), Exception);
    EXPECT_EQ(g.UpdateCount(), 1);
    g.EndUpdate();
    EXPECT_EQ(g.RowCount(), 6);
    EXPECT_EQ(g.Row(), 3);
    EXPECT_EQ(g.Column(1), QStringList({"d", "c", "b", "a", "e"}));
}

TEST_F(SortTest, FullOrderingFixedColumnFootersAndHiddenColumns)
{
    Grid g(6, 4);
    g.SortSettings().Column = 1;
    g.Fill(1, {"b", "a", "b", "a", "total"});
    g.Fill(2, {"2", "9", "1", "3", "x"});
    g.Fill(3, {"r1", "r2", "r3", "r4", "f"});
    g.Fill(0, {"1", "2", "3", "4", ""});
    g.SetFixedFooters(1);
    g.SortSettings().NormalCellsOnly = true;
    g.HideColumn(3);
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"a", "a", "b", "b", "total"}));
    EXPECT_EQ(g.Column(2), QStringList({"3", "9", "1", "2", "x"}));
    EXPECT_EQ(g.Column(0), QStringList({"1", "2", "3", "4", ""}));
    g.UnHideColumn(3);
    EXPECT_EQ(g.Column(3), QStringList({"r4", "r2", "r3", "r1", "f"}));

    // One data row: nothing moves.
    Grid one(2);
    one.Fill(1, {"x"});
    one.SortByColumn();
    EXPECT_EQ(one.Column(1), QStringList({"x"}));
}

TEST_F(SortTest, CurrentRowAndMarksFollowTheirData)
{
    Grid g;
    g.Fill(1, {"d", "c", "b", "a"});
    g.Navigation().MoveRowOnSort = true;
    g.MouseActions().DisjunctRowSelect = true;
    g.SetRowSelect(1, true);
    g.SetRow(2); // "c"
    g.SortByColumn();
    EXPECT_EQ(g.Row(), 3);
    EXPECT_TRUE(g.RowSelect(4));
    EXPECT_FALSE(g.RowSelect(1));

    g.SortSettings().SingleColumn = true;
    g.Fill(2, {"1", "2", "3", "4"});
    g.SortSettings().Direction = sdDescending;
    g.SortByColumn();
    EXPECT_EQ(g.Column(1), QStringList({"d", "c", "b", "a"}));
    EXPECT_EQ(g.Column(2), QStringList({"1", "2", "3", "4"}));
}

TEST_F(SortTest, IndexedSortAndTies)
{
    Grid g(6);
    g.Fill(1, {"x", "y", "x", "y", "x"});
    g.Fill(2, {"1", "2", "3", "4", "5"});
    EXPECT_THROW(g.SortByIndexes(), EExtGridError);
    g.SortIndexes().AddIndex(1, true);
    g.SortIndexes().AddIndex(2, false);
    g.SortByIndexes();
    EXPECT_EQ(g.Column(2), QStringList({"5", "3", "1", "4", "2"}));
    EXPECT_EQ(g.CompareRowsIndexed(0, 1, 2), -1);
    // SortByColumn empties the index list.
    g.SortByColumn();
    EXPECT_EQ(g.SortIndexes().Count(), 0);
}

TEST_F(SortTest, GroupsSortBetweenNodesUpToTheLastDataRow)
{
    Grid g(8);
    g.SetFixedFooters(1);
    g.Fill(1, {"N1", "c", "a", "N2", "z", "b", "sum"});
    g.CreateCellGraphic(0, 1)->CellType = ctNode;
    g.CreateCellGraphic(0, 4)->CellType = ctNode;
    g.SortGroups();
    EXPECT_EQ(g.Column(1), QStringList({"N1", "a", "c", "N2", "b", "z", "sum"}));
    EXPECT_EQ(g.RowCount(), 8);
}

TEST_F(SortTest, WorstCasesAndInconsistentComparisonsStaySafe)
{
    Grid g(20001, 2);
    for (int r = 1; r < g.RowCount(); ++r) g.SetCells(1, r, QString::number(r % 7));
    g.SortByColumn();
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("0"));
    EXPECT_EQ(g.Cells(1, g.RowCount() - 1), QStringLiteral("6"));
    g.Style(ssCustom);
    unsigned seed = 7;
    g.OnCustomCompare = [&](QObject*, const QString&, const QString&, int& res) {
        seed = seed * 1103515245u + 12345u;
        res = int(seed >> 16) % 3 - 1;
    };
    EXPECT_NO_THROW(g.SortByColumn());
    EXPECT_EQ(g.RowCount(), 20001);

    // Input already in order, either way round, keeps the recursion shallow.
    Grid ordered(30001, 2);
    ordered.Style(ssNumeric);
    for (int r = 1; r < ordered.RowCount(); ++r) ordered.SetCells(1, r, QString::number(r));
    ordered.SortByColumn();
    EXPECT_EQ(ordered.Cells(1, 30000), QStringLiteral("30000"));
    ordered.SortSettings().Direction = sdDescending;
    ordered.SortByColumn();
    EXPECT_EQ(ordered.Cells(1, 1), QStringLiteral("30000"));
    ordered.SortSettings().Direction = sdAscending;
    ordered.SortByColumn();
    EXPECT_EQ(ordered.Cells(1, 1), QStringLiteral("1"));
    EXPECT_EQ(ordered.Cells(1, 15000), QStringLiteral("15000"));
}

TEST_F(SortTest, PictureCellsSortDeterministically)
{
    Grid g(6);
    g.Style(ssImages);
    for (int r = 1; r < 6; ++r) g.SetCells(2, r, QString::number(r));
    g.CreateCellGraphic(1, 1)->CellType = ctPicture;
    TCellGraphic* img = g.CreateCellGraphic(1, 2);
    img->CellType = ctImageList;
    img->CellIndex = 4;
    g.CreateCellGraphic(1, 3)->CellType = ctBitmap;
    img = g.CreateCellGraphic(1, 5);
    img->CellType = ctImageList;
    img->CellIndex = 1;
    g.SortSettings().Full = false;
    g.SortByColumn();
    EXPECT_EQ(g.Column(2), QStringList({"4", "5", "2", "1", "3"}));
}

TEST_F(SortTest, MergingEqualCellsAfterASort)
{
    Grid g(6);
    g.Fill(1, {"a", "a", "b", "b", "b"});
    g.Fill(2, {"x", "y", "y", "y", "z"});
    g.MergeColumnCells(1, true);
    EXPECT_EQ(g.GetCellSpan(1, 1), TPoint(0, 1));
    EXPECT_EQ(g.GetCellSpan(1, 3), TPoint(0, 2));
    g.MergeColumnCells(2, false); // only inside column 1's runs
    EXPECT_EQ(g.GetCellSpan(2, 3), TPoint(0, 1));
    EXPECT_FALSE(g.IsMergedCell(2, 2));
    g.SplitColumnMerges(1);
    EXPECT_FALSE(g.IsMergedCell(1, 4));
}

// ---------------------------------------------------------------------------
// Row and column maintenance

TEST_F(SortTest, RowsKeepTheirMarksAndStayInRange)
{
    Grid g(8);
    g.Fill(1, {"1", "2", "3", "4", "5", "6", "7"});
    g.MouseActions().DisjunctRowSelect = true;
    g.SetRowSelect(3, true);
    g.InsertRows(2, 2);
    EXPECT_TRUE(g.RowSelect(5));
    EXPECT_FALSE(g.RowSelect(2));
    EXPECT_FALSE(g.RowSelect(3));
    EXPECT_EQ(g.Cells(1, 5), QStringLiteral("3"));
    g.RemoveRows(2, 2);
    EXPECT_TRUE(g.RowSelect(3));

    g.RemoveRows(8, 1); // past the end
    g.RemoveRows(2, 0);
    EXPECT_EQ(g.RowCount(), 8);
    g.RemoveRows(6, 50); // clamped
    EXPECT_EQ(g.RowCount(), 6);

    // An adjacent run of selected rows goes as a whole.
    g.SetRowSelect(2, true);
    g.SetRowSelect(4, true);
    g.RemoveSelectedRows();
    EXPECT_EQ(g.Column(1), QStringList({"1", "5"}));
}

TEST_F(SortTest, RowsMovedUnderAnOpenEditLeaveItInItsOwnRow)
{
    Grid g(6);
    g.Fill(1, {"r1", "r2", "r3", "r4", "r5"});
    g.SetOptions(g.Options() + TGridOption::goEditing);
    ShowFocused(g, 400, 200);
    // The user appends "+x" to r3; the program removes the first row, then
    // inserts one above the edit, while the editor is open.
    const auto editR3 = [&](int row) {
        ClickCell(g, 1, row);
        QTest::keyClick(&g, Qt::Key_F2);
        ASSERT_TRUE(g.EditorMode());
        TypeIntoFocus(Qt::Key_End);
        TypeIntoFocus(QStringLiteral("+x"));
    };
    editR3(3);
    g.RemoveRows(1, 1);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Column(1), QStringList({"r2", "r3+x", "r4", "r5"}));
    editR3(2);
    g.InsertRows(1, 1);
    EXPECT_FALSE(g.EditorMode());
    // The next click stores nothing more.
    ClickCell(g, 1, 5);
    EXPECT_EQ(g.Column(1), QStringList({"", "r2", "r3+x+x", "r4", "r5"}));
    EXPECT_EQ(g.Row(), 5);
}

TEST_F(SortTest, CellsChangedUnderAnOpenEditLeaveItInItsOwnCell)
{
    Grid g(6, 4);
    g.SetOptions(g.Options() + TGridOption::goEditing);
    g.SortSettings().Direction = sdDescending;
    ShowFocused(g, 400, 200);
    const auto click = [&](int col, int row) { ClickCell(g, col, row); };
    // Every cell "<column letter><row>"; where "+x" is.
    const auto reset = [&] {
        g.SetColCount(4);
        for (int c = 1; c < 4; ++c)
            for (int r = 1; r < 6; ++r) g.SetCells(c, r, QChar(u'a' + c - 1) + QString::number(r));
    };
    const auto edited = [&] {
        QList<QPoint> found;
        for (int c = 0; c < g.ColCount(); ++c)
            for (int r = 0; r < g.RowCount(); ++r)
                if (g.Cells(c, r).contains(QStringLiteral("+x"))) found << QPoint(c, r);
        return found;
    };
    struct Case {
        const char* call;
        QPoint cell; // where the user types "+x"
        std::function<void()> run;
        QList<QPoint> landed; // where the text is afterwards
        QString text;
    };
    const std::vector<Case> cases = {
        {"SortByColumn", {1, 2}, [&] { g.SortByColumn(); }, {{1, 4}}, "a2+x"},
        {"SwapRows", {1, 2}, [&] { g.SwapRows(2, 5); }, {{1, 5}}, "a2+x"},
        {"MoveRow", {1, 2}, [&] { g.MoveRow(2, 5); }, {{1, 5}}, "a2+x"},
        {"MoveColumn", {1, 2}, [&] { g.MoveColumn(1, 3); }, {{3, 2}}, "a2+x"},
        {"InsertCols", {1, 2}, [&] { g.InsertCols(1, 1); }, {{2, 2}}, "a2+x"},
        {"RemoveCols", {2, 2}, [&] { g.RemoveCols(1, 1); }, {{1, 2}}, "b2+x"},
        {"ClearRect", {1, 2}, [&] { g.ClearRect(1, 2, 1, 2); }, {}, ""},
        {"ClearRows", {1, 2}, [&] { g.ClearRows(2, 1); }, {}, ""},
        {"ClearCols", {1, 2}, [&] { g.ClearCols(1, 1); }, {}, ""},
        {"Clear", {1, 2}, [&] { g.Clear(); }, {}, ""},
        {"CutSelectionToClipboard", {1, 2}, [&] { g.CutSelectionToClipboard(); }, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        reset();
        click(c.cell.x(), c.cell.y());
        QTest::keyClick(&g, Qt::Key_F2);
        ASSERT_TRUE(g.EditorMode());
        TypeIntoFocus(Qt::Key_End);
        TypeIntoFocus(QStringLiteral("+x"));
        c.run();
        EXPECT_FALSE(g.EditorMode());
        // The next click stores nothing more.
        click(3, 5);
        EXPECT_EQ(edited(), c.landed);
        for (const QPoint& p : c.landed) EXPECT_EQ(g.Cells(p.x(), p.y()), c.text);
        if (c.landed.isEmpty()) { EXPECT_EQ(g.Cells(1, 2), QString()); }
    }
    // The cut took the edited text with its cell.
    ASSERT_NE(TClipboard::MimeData(), nullptr);
    EXPECT_EQ(TClipboard::MimeData()->text().trimmed(), QStringLiteral("a2+x"));
}

TEST_F(SortTest, FooterRowsStayLastAndColumnsShiftWithTheirFlags)
{
    Grid g(4, 5);
    g.SetFixedFooters(1);
    g.SetCells(1, 3, QStringLiteral("footer"));
    g.AddRow();
    EXPECT_EQ(g.Cells(1, 4), QStringLiteral("footer"));

    for (int c = 0; c < 5; ++c) g.SetCells(c, 1, QString::number(c));
    g.MouseActions().DisjunctColSelect = true;
    g.SetColSelect(3, true);
    g.HideColumn(4);
    g.InsertCols(2, 1);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_TRUE(g.IsHiddenColumn(5));
    EXPECT_TRUE(g.ColSelect(4));
    EXPECT_EQ(g.Cells(3, 1), QStringLiteral("2"));
    g.GetCellProperties(1, 1)->BrushColor = clRed;
    g.RemoveCols(1, 2);
    EXPECT_TRUE(g.IsHiddenColumn(3));
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("2"));
    EXPECT_EQ(g.Cells(3, 1), QStringLiteral("4"));
    EXPECT_FALSE(g.HasCellProperties(1, 1));
}

} // namespace
