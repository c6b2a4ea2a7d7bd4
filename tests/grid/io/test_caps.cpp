// Pastes and imports past the caps on cells and bytes, and ones whose event
// stops them half-way: each is refused whole and the grid stays as it was.
#include "grid/TExtStringGrid.h"
#include "grid/TGridUnit.h"
#include "grid/io/GridMimeTypes.h"
#include "grid/io/TBlockBudget.h"
#include "grid/io/TObjectReader.h"
#include "grid/io/TObjectWriter.h"

#include <QBuffer>
#include <QFile>
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A grid with some content, and its whole state as texts to compare.
class Grid : public TExtStringGrid {
public:
    Grid() : TExtStringGrid(nullptr, QStringLiteral("Grid"))
    {
        SetColCount(4);
        SetRowCount(5);
        SetOptions(Options() + TGridOption::goEditing);
        Navigation().AllowFmtClipboard = true;
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 4; ++c) SetCells(c, r, QStringLiteral("%1.%2").arg(c).arg(r));
    }
    QString State() const
    {
        QString s = QStringLiteral("%1x%2:").arg(ColCount()).arg(RowCount());
        for (int r = 0; r < RowCount(); ++r) {
            s += StoredCols(r) > ColCount() ? QStringLiteral("+") : QString();
            for (int c = 0; c < ColCount(); ++c) s += Cells(c, r) + u'|';
        }
        return s;
    }
};

class Stop : public Exception {
public:
    Stop() : Exception(QStringLiteral("stopped")) { }
};

QByteArray StreamHead(qint64 cols, qint64 rows, TObjectWriter& w)
{
    w.BeginRecord("TGridPropIO");
    w.Integer("ColCount", cols);
    w.Integer("RowCount", rows);
    w.Integer("OriginCol", 0);
    w.Integer("OriginRow", 0);
    w.EndRecord();
    return w.Bytes();
}

void StreamCell(TObjectWriter& w, int col, int row, const QString& text)
{
    w.BeginRecord("TGridCellIO");
    w.Integer("Col", col);
    w.Integer("Row", row);
    w.String("Cell", text);
    w.Boolean("HasProp", false);
    w.EndRecord();
}

std::unique_ptr<QMimeData> Mime(const QString& format, const QByteArray& bytes)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(format, bytes);
    return data;
}

TEST(GridCaps, CellStreamsPastTheCapsChangeNothing)
{
    Grid g;
    const QString before = g.State();
    // A hundred bytes claiming 16384 x 4,000,000 cells: each dimension is
    // one a grid may have.
    TObjectWriter huge;
    StreamHead(16384, 4000000, huge);
    StreamCell(huge, 0, 0, QStringLiteral("x"));
    ASSERT_LT(huge.Bytes().size(), 120);
    // Within the cell cap, but a cell at the far right of each of its rows
    // makes every row hold all of its columns.
    TObjectWriter wide;
    StreamHead(16384, 1020, wide);
    for (int r = 0; r < 1020; ++r) StreamCell(wide, 16383, r, QString(2000, u'x'));
    for (const QByteArray& bytes : {huge.Bytes(), wide.Bytes()}) {
        EXPECT_EQ(g.PasteMimeData(1, 1, *Mime(TGridUnit::CellsFormat(), bytes)), 0);
        EXPECT_TRUE(g.State() == before) << g.ColCount() << " x " << g.RowCount();
        QByteArray copy = bytes;
        QBuffer in(&copy);
        in.open(QIODevice::ReadOnly);
        try {
            g.LoadCellsFromStream(0, 0, in);
            ADD_FAILURE() << "a stream past the caps was read";
        } catch (const EReadError& e) {
            EXPECT_TRUE(e.Message().contains(QStringLiteral("too large"))) << e.Message().toStdString();
        }
        EXPECT_TRUE(g.State() == before) << g.ColCount() << " x " << g.RowCount();
    }
}

TEST(GridCaps, TextPastesPastTheCapsChangeNothing)
{
    Grid g;
    const QString before = g.State();
    // 100 KB: a line of 50,000 fields and 50,000 lines.
    const QByteArray wide = QByteArray(50000, '\t') + QByteArray(50000, '\n');
    EXPECT_EQ(g.PasteMimeData(0, 0, *Mime(GridMimeTypes::Text, wide)), 0);
    EXPECT_TRUE(g.State() == before) << g.ColCount() << " x " << g.RowCount();
    EXPECT_THROW(g.PasteText(0, 0, QString::fromLatin1(wide)), EReadError);
    EXPECT_TRUE(g.State() == before) << g.ColCount() << " x " << g.RowCount();
    // A drop inserts no rows for text it cannot paste.
    g.DragDropSettings().OleInsertRows = true;
    EXPECT_THROW(g.DropText(1, 1, QString::fromLatin1(wide)), EReadError);
    EXPECT_TRUE(g.State() == before) << g.ColCount() << " x " << g.RowCount();
}

TEST(GridCaps, PastesStoppedHalfWayChangeNothing)
{
    Grid g;
    const QString before = g.State();
    int seen = 0;
    g.OnClipboardBeforePasteCell = [&](QObject*, int, int, QString&, bool&) {
        if (++seen == 3) throw Stop();
    };
    EXPECT_THROW(g.PasteText(2, 3, QStringLiteral("a\tb\tc\r\nd\te\tf\r\ng\th\n")), Stop);
    EXPECT_TRUE(g.State() == before) << g.ColCount() << " x " << g.RowCount();

    Grid source;
    std::unique_ptr<QMimeData> data(source.RectAsMimeData(TRect(0, 0, 3, 4), false));
    seen = 0;
    EXPECT_THROW(g.PasteMimeData(2, 2, *data), Stop);
    EXPECT_TRUE(g.State() == before) << g.ColCount() << " x " << g.RowCount();
}

class GridImportCaps : public ::testing::Test {
protected:
    QTemporaryDir dir;
    Grid g;
    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
};

TEST_F(GridImportCaps, DelimitedFilesPastTheCapsOrStoppedChangeNothing)
{
    g.SetFixedFooters(1);
    const QString before = g.State();
    // 8 KB claiming 4101 x 4100 cells.
    const QString square = Write("square.csv", QByteArray(4100, ',') + "x" + QByteArray(4100, '\n'));
    try {
        g.LoadFromCSV(square);
        ADD_FAILURE() << "a file past the cell cap was imported";
    } catch (const EExtGridError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("too large"))) << e.Message().toStdString();
    }
    EXPECT_TRUE(g.State() == before) << g.ColCount() << " x " << g.RowCount();
    EXPECT_THROW(g.LoadFromCSV(square, true), EExtGridError);
    EXPECT_TRUE(g.State() == before) << g.ColCount() << " x " << g.RowCount();

    // A progress handler that stops the import half-way.
    QByteArray lines;
    for (int i = 0; i < 200; ++i) lines += "new,row\n";
    g.OnFileProgress = [](QObject*, short percent) {
        if (percent == 50) throw Stop();
    };
    EXPECT_THROW(g.LoadFromCSV(Write("lines.csv", lines)), Stop);
    EXPECT_TRUE(g.State() == before) << g.ColCount() << " x " << g.RowCount();
    g.OnFileProgress = nullptr;
    g.LoadFromCSV(Write("lines.csv", lines));
    EXPECT_EQ(g.RowCount(), 201);
    EXPECT_EQ(g.Cells(1, 199), QStringLiteral("row"));
    EXPECT_EQ(g.Cells(0, 200), QStringLiteral("0.4")); // the footer row
}

quint32 Crc32(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char ch : data) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A zip archive of stored entries, enough for a workbook.
QByteArray Zip(const std::vector<std::pair<QByteArray, QByteArray>>& entries)
{
    QByteArray out;
    QByteArray directory;
    const auto le = [](QByteArray& b, quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i) b.append(char((v >> (8 * i)) & 0xFF));
    };
    for (const auto& entry : entries) {
        // Plain references: clang 14 refuses a lambda capturing a structured binding.
        const QByteArray& name = entry.first;
        const QByteArray& data = entry.second;
        const quint32 crc = Crc32(data);
        const quint32 offset = quint32(out.size());
        const auto header = [&](QByteArray& b, bool central) {
            le(b, central ? 0x02014b50 : 0x04034b50, 4);
            if (central) le(b, 20, 2);
            le(b, 20, 2);
            le(b, 0, 2);
            le(b, 0, 2); // stored
            le(b, 0, 4); // time and date
            le(b, crc, 4);
            le(b, quint32(data.size()), 4);
            le(b, quint32(data.size()), 4);
            le(b, quint32(name.size()), 2);
            le(b, 0, 2);
            if (central) {
                le(b, 0, 2);
                le(b, 0, 2);
                le(b, 0, 2);
                le(b, 0, 4);
                le(b, offset, 4);
            }
            b += name;
        };
        header(out, false);
        out += data;
        header(directory, true);
    }
    const quint32 start = quint32(out.size());
    out += directory;
    le(out, 0x06054b50, 4);
    le(out, 0, 4);
    le(out, quint32(entries.size()), 2);
    le(out, quint32(entries.size()), 2);
    le(out, quint32(directory.size()), 4);
    le(out, start, 4);
    le(out, 0, 2);
    return out;
}

// A workbook of the sheets First (a1) and Second (b1), saved with the
// second in front.
QByteArray Workbook()
{
    const QByteArray sheet =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData><row r=\"1\">"
        "<c r=\"A1\" t=\"inlineStr\"><is><t>%1</t></is></c></row></sheetData></worksheet>";
    const QByteArray rel = "<Relationship Id=\"%1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                           "relationships/%2\" Target=\"%3\"/>";
    const QByteArray rels = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
                            "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">%1</Relationships>";
    const auto arg = [](QByteArray text, std::initializer_list<QByteArray> values) {
        int n = 1;
        for (const QByteArray& v : values) text.replace("%" + QByteArray::number(n++), v);
        return text;
    };
    const QByteArray ct = "application/vnd.openxmlformats-officedocument.spreadsheetml.";
    return Zip({
        {"[Content_Types].xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
         "<Override PartName=\"/xl/workbook.xml\" ContentType=\"" +
             ct +
             "sheet.main+xml\"/>"
             "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"" +
             ct +
             "worksheet+xml\"/>"
             "<Override PartName=\"/xl/worksheets/sheet2.xml\" ContentType=\"" +
             ct + "worksheet+xml\"/></Types>"},
        {"_rels/.rels", arg(rels, {arg(rel, {"rId1", "officeDocument", "xl/workbook.xml"})})},
        {"xl/workbook.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook "
         "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
         "<bookViews><workbookView activeTab=\"1\"/></bookViews><sheets>"
         "<sheet name=\"First\" sheetId=\"1\" r:id=\"rId1\"/><sheet name=\"Second\" sheetId=\"2\" r:id=\"rId2\"/>"
         "</sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         arg(rels,
             {arg(rel, {"rId1", "worksheet", "worksheets/sheet1.xml"}) +
              arg(rel, {"rId2", "worksheet", "worksheets/sheet2.xml"})})},
        {"xl/worksheets/sheet1.xml", arg(sheet, {"a1"})},
        {"xl/worksheets/sheet2.xml", arg(sheet, {"b1"})},
    });
}

bool HasOfficeSuite() { return !QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty(); }

TEST_F(GridImportCaps, WorkbooksGiveTheSheetInFrontUnlessOneIsNamed)
{
    if (!HasOfficeSuite())
        GTEST_SKIP() << "SKIPPED LOUDLY: the office suite (libreoffice-calc-nogui) is not installed here";
    const QString book = Write("front.xlsx", Workbook());
    g.LoadFromXLS(book);
    EXPECT_EQ(g.Cells(0, 0), QStringLiteral("b1"));
    g.LoadFromXLS(book, QStringLiteral("First"));
    EXPECT_EQ(g.Cells(0, 0), QStringLiteral("a1"));
}

TEST_F(GridImportCaps, AWorkbookWhoseSheetIsPastTheCapChangesNothing)
{
    if (!HasOfficeSuite())
        GTEST_SKIP() << "SKIPPED LOUDLY: the office suite (libreoffice-calc-nogui) is not installed here";
    // Under 2 KB: one value in the last cell of the sheet, so its used area
    // is every row and every column.
    const QByteArray far =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\" "
        "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\"><office:body><office:spreadsheet>"
        "<table:table table:name=\"Far\"><table:table-row table:number-rows-repeated=\"1048575\"><table:table-cell/>"
        "</table:table-row><table:table-row><table:table-cell table:number-columns-repeated=\"16383\"/>"
        "<table:table-cell office:value-type=\"string\"><text:p>x</text:p></table:table-cell></table:table-row>"
        "</table:table></office:spreadsheet></office:body></office:document>";
    ASSERT_LT(far.size(), 2048);
    const QString before = g.State();
    try {
        g.LoadFromXLS(Write("far.fods", far));
        ADD_FAILURE() << "a sheet past the cell cap was imported";
    } catch (const EExtGridError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("too large"))) << e.Message().toStdString();
    }
    EXPECT_TRUE(g.State() == before) << g.ColCount() << " x " << g.RowCount();
}

} // namespace
