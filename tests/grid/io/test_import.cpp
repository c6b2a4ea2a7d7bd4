// Importing delimited files and spreadsheet sheets.
#include "grid/TExtStringGrid.h"
#include "grid/cells/TCellProperties.h"
#include "grid/column/TExtColumnGrid.h"
#include "grid/column/TGridColumnCollection.h"
#include "grid/column/TGridColumnItem.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ImportTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TExtStringGrid g{nullptr, QStringLiteral("Grid")};
    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QStringList Row(int row)
    {
        QStringList list;
        for (int c = 0; c < g.ColCount(); ++c) list << g.Cells(c, row);
        return list;
    }
};

TEST_F(ImportTest, DelimiterDetection)
{
    g.SetColCount(2);
    g.LoadFromCSV(Write("a.csv", "a,b;c,d;e,f;g\n1,2;3,4;5,6;7\n"));
    EXPECT_EQ(Row(0), QStringList({"a", "b;c", "d;e", "f;g"}));
    EXPECT_EQ(g.Delimiter(), QChar()); // detected anew each time

    g.LoadFromCSV(Write("b.txt", "a\tb\tc\nd\te\tf\tg\n"));
    EXPECT_EQ(g.ColCount(), 4);
    EXPECT_EQ(Row(1), QStringList({"d", "e", "f", "g"}));

    g.LoadFromCSV(Write("c.txt", "x|y|z#w\n")); // one line: the most wins
    EXPECT_EQ(Row(0).mid(0, 3), QStringList({"x", "y", "z#w"}));

    g.SetDelimiter(u';');
    g.LoadFromCSV(Write("d.txt", "1,2;3\n"));
    EXPECT_EQ(Row(0).mid(0, 2), QStringList({"1,2", "3"}));
    g.SetDelimiter(QChar());
    g.LoadFromCSV(Write("e.txt", "no delimiter here\nnor here\n"));
    EXPECT_EQ(g.Cells(0, 1), QStringLiteral("nor here"));
}

TEST_F(ImportTest, QuotesLineEndsAndShapes)
{
    g.SetColCount(1);
    g.LoadFromCSV(Write("q.csv", "\"a,b\",\"say \"\"hi\"\"\",c\r\n1,2\r\nlast,\"x\"\r"));
    EXPECT_EQ(g.Cells(0, 0), QStringLiteral("a,b"));
    EXPECT_EQ(g.Cells(1, 0), QStringLiteral("say \"hi\""));
    EXPECT_EQ(g.Cells(2, 0), QStringLiteral("c"));
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("x"));
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_EQ(g.ColCount(), 3);
    EXPECT_THROW(g.LoadFromCSV(dir.filePath("missing.csv")), EExtGridError);
    try {
        g.LoadFromCSV(dir.filePath("missing.csv"));
    } catch (const EExtGridError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot open file ") + dir.filePath("missing.csv"));
    }
}

TEST_F(ImportTest, LineEndsUnclosedQuotesAndEmptyLines)
{
    g.SetColCount(1);
    // CR CR LF ends a line and an empty one; a CR ends one within quotes
    // too; the file ends without a line end.
    g.LoadFromCSV(Write("l.csv", "a,b\r\r\n\"x\"\"y\",\"open,z\r\n\"\"\"q\"\"\",after\"tail,w,\nlast,\"\""));
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(Row(0), QStringList({"a", "b", ""}));
    EXPECT_EQ(Row(1), QStringList({"", "", ""}));
    EXPECT_EQ(Row(2), QStringList({"x\"y", "", "z"})); // no closing quote: an empty field
    EXPECT_EQ(Row(3), QStringList({"\"q\"", "after\"tail", "w"}));
    EXPECT_EQ(Row(4), QStringList({"last", "", ""}));

    g.SetOemConvert(true);
    g.LoadFromCSV(Write("o.csv", "\xC3\xA9,b\n"));
    EXPECT_EQ(g.Cells(0, 0), QString(QChar(0x0398)));
}

TEST_F(ImportTest, LineFeedsWithinQuotesStayInTheirCells)
{
    // A spreadsheet's line breaks within cells: bare line feeds inside
    // quotes, CR LF between the lines; each becomes CR LF in the cell.
    g.SetColCount(1);
    g.LoadFromCSV(Write("s.csv",
                        "name,note\r\n\"Ann\",\"line 1\nline 2\"\r\n"
                        "Bob,\"say \"\"hi\"\"\nand, go\"\r\n\"C\nD\",\"\"\r\n"));
    EXPECT_EQ(g.RowCount(), 4);
    EXPECT_EQ(g.ColCount(), 2);
    EXPECT_EQ(Row(1), QStringList({"Ann", "line 1\r\nline 2"}));
    EXPECT_EQ(Row(2), QStringList({"Bob", "say \"hi\"\r\nand, go"}));
    EXPECT_EQ(Row(3), QStringList({"C\r\nD", ""}));

    // Lines ended by line feeds alike, the delimiter found in lines read the
    // same way, wide text too; a quote inside a field opens nothing.
    g.LoadFromCSV(Write("u.csv", "a;\"b\nc;d\";e\n5\";f\n\u00e9;\"\n\"\n"));
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_EQ(Row(0), QStringList({"a", "b\r\nc;d", "e"}));
    EXPECT_EQ(Row(1).mid(0, 2), QStringList({"5\"", "f"}));
    EXPECT_EQ(Row(2).mid(0, 2), QStringList({"\u00e9", "\r\n"}));
    g.LoadFromCSV(Write("w.csv", QString("a;\"b\nc;d\";e\n\u00e9;\"\n\"\n").toLatin1()));
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(Row(0), QStringList({"a", "b\r\nc;d", "e"}));
    EXPECT_EQ(Row(1).mid(0, 2), QStringList({"\u00e9", "\r\n"}));
}

TEST_F(ImportTest, EncodingsAcrossALongFile)
{
    // A leading byte order mark goes; one inside a field stays.
    g.LoadFromCSV(Write("bom.csv", "\xEF\xBB\xBFx,\xEF\xBB\xBFy\n"));
    EXPECT_EQ(g.Cells(0, 0), QStringLiteral("x"));
    EXPECT_EQ(g.Cells(1, 0), QString(QChar(0xFEFF)) + u'y');

    // Long enough that two-byte characters fall on every kind of cut; one
    // bad byte at the very end makes the whole file Windows-1252.
    QByteArray text;
    for (int i = 0; i < 20000; ++i) text += "\xC3\xA9,x\n";
    g.LoadFromCSV(Write("long.csv", text));
    EXPECT_EQ(g.RowCount(), 20000);
    EXPECT_EQ(g.Cells(0, 13107), QStringLiteral("\u00E9"));
    EXPECT_EQ(g.Cells(0, 19999), QStringLiteral("\u00E9"));
    g.LoadFromCSV(Write("ansi.csv", text + "\xFF"));
    EXPECT_EQ(g.RowCount(), 20001);
    EXPECT_EQ(g.Cells(0, 13107), QStringLiteral("\u00C3\u00A9"));

    g.SetDelimiter(QChar(0xE9)); // not ASCII
    g.LoadFromCSV(Write("e.csv",
                        "a\xC3\xA9"
                        "b\n"));
    EXPECT_EQ(Row(0).mid(0, 2), QStringList({"a", "b"}));
}

TEST_F(ImportTest, EarlierCellsStayWhereNoFieldReaches)
{
    g.SetColCount(4);
    g.SetRowCount(4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) g.SetCells(c, r, QStringLiteral("old"));
    g.GetCellProperties(2, 1)->BrushColor = clRed;
    // A short line, fields left empty before a delimiter (written empty),
    // an empty last field (not written).
    g.LoadFromCSV(Write("m.csv", "1\n2,,x\n3,,\n"));
    EXPECT_EQ(g.RowCount(), 3); // rows below the imported ones are cut off
    EXPECT_EQ(Row(0), QStringList({"1", "old", "old", "old"}));
    EXPECT_EQ(Row(1), QStringList({"2", "", "x", "old"}));
    EXPECT_EQ(Row(2), QStringList({"3", "", "old", "old"}));
    ASSERT_TRUE(g.HasCellProperties(2, 1));
    EXPECT_EQ(g.CellPropertiesOf(2, 1)->BrushColor, clRed);
}

TEST_F(ImportTest, FooterRowsStayBelowTheImportedRows)
{
    g.SetColCount(5);
    g.SetRowCount(8);
    g.SetFixedRows(2);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 5; ++c) g.SetCells(c, r, QStringLiteral("old"));
    g.SetFixedFooters(1);
    g.GetCellProperties(1, 7)->FooterCalc = 1;
    g.GetCellProperties(1, 5)->BrushColor = clRed; // a row cut off
    g.SetCells(0, 7, QStringLiteral("Total"));
    g.LoadFromCSV(Write("s.csv", "h1,h2\n"));
    EXPECT_EQ(g.RowCount(), 4); // two fixed rows, one data row, the footer
    EXPECT_EQ(Row(0), QStringList({"h1", "h2", "old", "old", "old"}));
    EXPECT_EQ(Row(2), QStringList({"old", "old", "old", "old", "old"}));
    EXPECT_EQ(g.Cells(0, 3), QStringLiteral("Total"));
    ASSERT_TRUE(g.HasCellProperties(1, 3));
    EXPECT_EQ(g.CellPropertiesOf(1, 3)->FooterCalc, 1);

    g.LoadFromCSV(Write("t.csv", "a,b\nc,d\n"), true);
    EXPECT_EQ(g.RowCount(), 6);
    EXPECT_EQ(Row(4).mid(0, 2), QStringList({"c", "d"}));
    EXPECT_EQ(g.Cells(0, 5), QStringLiteral("Total"));
}

TEST_F(ImportTest, ANewFileUnderTheFloatingFooterEmptiesTheFooterRow)
{
    g.SetColCount(3);
    g.SetRowCount(5);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 3; ++c) g.SetCells(c, r, QStringLiteral("old"));
    g.SetFloatingFooterVisible(true);
    g.GetCellProperties(1, 4)->FooterCalc = 1; // the sum
    g.SetCells(0, 4, QStringLiteral("Total"));
    g.LoadFromCSV(Write("n.csv", "h1,h2\n1,2\n3,4\n"));
    EXPECT_EQ(g.RowCount(), 4);
    EXPECT_EQ(Row(2), QStringList({"3", "4", "old"}));
    // The footer row: nothing of before, the calculation of the new rows.
    EXPECT_EQ(g.Cells(0, 3), QString());
    EXPECT_EQ(g.Cells(2, 3), QString());
    EXPECT_EQ(g.Cells(1, 3).toDouble(), 6.0);
    ASSERT_TRUE(g.HasCellProperties(1, 3));
    EXPECT_EQ(g.CellPropertiesOf(1, 3)->FooterCalc, 1);

    // Appended rows go above it and leave its texts alone.
    g.SetCells(0, 3, QStringLiteral("Total"));
    g.LoadFromCSV(Write("a.csv", "5,6\n"), true);
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(Row(3), QStringList({"5", "6", ""}));
    EXPECT_EQ(g.Cells(0, 4), QStringLiteral("Total"));
    EXPECT_EQ(g.Cells(1, 4).toDouble(), 12.0);
}

TEST_F(ImportTest, AColumnGridTakesTheImportedHeaders)
{
    TExtColumnGrid cg(nullptr, QStringLiteral("Columns"));
    cg.SetColCount(2);
    cg.SetRowCount(3);
    cg.Columns().Items(0)->SetHeader(QStringLiteral("before"));
    TRect changed;
    cg.OnCellsChanged = [&](QObject*, TRect cells) { changed = cells; };
    cg.LoadFromCSV(Write("h.csv", "Name,City,Zip\nA,B,C\n"));
    ASSERT_EQ(cg.Columns().Count(), 3);
    EXPECT_EQ(cg.Columns().Items(0)->Header(), QStringLiteral("Name"));
    EXPECT_EQ(cg.Columns().Items(2)->Header(), QStringLiteral("Zip"));
    EXPECT_EQ(changed, TRect(0, 0, 2, 1));
}

TEST_F(ImportTest, ProgressReportsEachPercentOnce)
{
    QByteArray text;
    for (int i = 0; i < 200; ++i) text += "a,b\n";
    std::vector<int> reports;
    g.OnFileProgress = [&](QObject*, short p) { reports.push_back(p); };
    g.LoadFromCSV(Write("p.csv", text));
    ASSERT_EQ(reports.size(), 101u);
    for (int i = 0; i <= 100; ++i) EXPECT_EQ(reports[size_t(i)], i);
}

TEST_F(ImportTest, AnsiFilesConvertAndReportProgressToo)
{
    // Not UTF-8: read as Windows-1252, then each character from the OEM code page.
    std::vector<int> reports;
    g.OnFileProgress = [&](QObject*, short p) { reports.push_back(p); };
    g.SetOemConvert(true);
    g.LoadFromCSV(Write("oem.csv", "\xE9;b\nc;\xFF\n"));
    EXPECT_EQ(reports, std::vector<int>({50, 100}));
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(Row(0).mid(0, 2), QStringList({QString(QChar(0x0398)), "b"}));
    EXPECT_EQ(Row(1).mid(0, 2), QStringList({"c", QStringLiteral("\u00a0")}));
}

TEST_F(ImportTest, SpreadsheetsThatCannotBeReadChangeNothing)
{
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
        GTEST_SKIP() << "SKIPPED LOUDLY: the office suite (libreoffice-calc-nogui) is not installed here";
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetCells(2, 2, QStringLiteral("old"));
    for (const QString& name : {dir.filePath("missing.xls"), dir.path()}) {
        try {
            g.LoadFromXLS(name);
            ADD_FAILURE() << "no error for " << name.toStdString();
        } catch (const EExtGridError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Cannot open file ") + name);
        }
        EXPECT_EQ(g.Cells(2, 2), QStringLiteral("old"));
    }
}

TEST_F(ImportTest, SpreadsheetSheetsThroughTheOfficeSuite)
{
    const QByteArray sheetXml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\" "
        "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\"><office:body><office:spreadsheet>"
        "<table:table table:name=\"First\"><table:table-row><table:table-cell office:value-type=\"string\">"
        "<text:p>a1</text:p></table:table-cell></table:table-row></table:table>"
        "<table:table table:name=\"Data Sheet\"><table:table-row><table:table-cell/></table:table-row>"
        "<table:table-row><table:table-cell/><table:table-cell office:value-type=\"string\"><text:p>x,\"y\"</text:p>"
        "</table:table-cell><table:table-cell office:value-type=\"float\" office:value=\"1.5\"><text:p>1.5</text:p>"
        "</table:table-cell></table:table-row><table:table-row><table:table-cell/><table:table-cell "
        "office:value-type=\"float\" office:value=\"3\"><text:p>3</text:p></table:table-cell></table:table-row>"
        "</table:table></office:spreadsheet></office:body></office:document>";
    const QString book = Write("-book;$(x).fods", sheetXml); // a name no shell may see

    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.path().toUtf8());
    try {
        g.LoadFromXLS(book, QStringLiteral("First"));
        ADD_FAILURE() << "no error without the office suite";
    } catch (const EExtGridError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Excel OLE server not found"));
    }
    qputenv("PATH", path);

    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
        GTEST_SKIP() << "SKIPPED LOUDLY: the office suite (libreoffice-calc-nogui) is not installed here";
    g.SetCells(3, 3, QStringLiteral("old"));
    g.SetCells(1, 1, QStringLiteral("kept")); // no value reaches it
    g.LoadFromXLS(book, QStringLiteral("Data Sheet"));
    // The extent of the cells holding values, from the start cell on.
    EXPECT_EQ(g.ColCount(), 2);
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(g.Cells(0, 0), QStringLiteral("x,\"y\""));
    EXPECT_EQ(g.Cells(1, 0), QStringLiteral("1.5"));
    EXPECT_EQ(g.Cells(0, 1), QStringLiteral("3"));
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("kept"));
    EXPECT_EQ(g.Cells(3, 3), QString()); // cut off with its row
    try {
        g.LoadFromXLS(book, QStringLiteral("Nope"));
        ADD_FAILURE() << "no error for a missing sheet";
    } catch (const EExtGridError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Excel worksheet Nope not found"));
    }
}

} // namespace
