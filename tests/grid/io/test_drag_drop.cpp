// Drag and drop of cells, columns and files between and within grids, as
// the platform's drag loop delivers them: drag events on the grid's window,
// drags answered by a stand-in for the user.
#include "grid/TExtStringGrid.h"
#include "platform/clipboard/DragDrop.h"
#include "platform/clipboard/DragDrop_p.h"
#include "platform/clipboard/ESGDropSource.h"
#include "platform/kernel/Application.h"
#include "tests/grid/edit/TypeIntoFocus.h"
#include "tests/support/GuiTest.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDrag>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTest>
#include <QtEndian>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

class Grid : public TExtStringGrid {
public:
    Grid() : TExtStringGrid(nullptr, QStringLiteral("Grid"))
    {
        SetBorderStyle(TBorderStyle::bsNone);
        SetBounds(0, 0, 600, 400);
        SetColCount(5);
        SetRowCount(8);
        SetOptions(Options() + TGridOption::goEditing + TGridOption::goRangeSelect);
        SetOleDropTarget(true);
        for (int r = 1; r < 8; ++r) SetCells(1, r, QStringLiteral("r%1").arg(r));
    }
    // The middle of a cell.
    QPoint At(int col, int row) const
    {
        const TRect r = CellRect(col, row);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    // The texts of a column, the fixed row's included.
    QStringList Column(int col)
    {
        QStringList list;
        for (int r = 0; r < RowCount(); ++r) list << Cells(col, r);
        return list;
    }
    // Shown and focused, for the user's clicks, keys and drags.
    void ShowFocused()
    {
        show();
        QApplication::setActiveWindow(this);
        setFocus();
    }
    // Everything a drop may change.
    QStringList State()
    {
        QStringList s{QStringLiteral("%1x%2 row %3 top %4").arg(ColCount()).arg(RowCount()).arg(Row()).arg(TopRow())};
        for (int r = 0; r < RowCount(); ++r)
            for (int c = 0; c < ColCount(); ++c) s << Cells(c, r);
        return s;
    }
};

// Drags data over the widget to p and drops it there, offering copy and move.
Qt::DropAction DropOn(QWidget& w, QPoint p, const QMimeData& data, Qt::KeyboardModifiers keys = Qt::NoModifier)
{
    return testsupport::DropOn(w, p, data, Qt::CopyAction | Qt::MoveAction, keys);
}

// A file of two rows, "h1,h2" and "v1,v2", in dir; its path.
QString TwoRowCsv(const QTemporaryDir& dir, const QString& name)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("h1,h2\nv1,v2\n");
    return path;
}

std::unique_ptr<QMimeData> Text(const QString& text)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(DragFormats::Text(), text.toUtf8());
    return data;
}

// Drags answered at once by answer, as a user's drop would.
class ScopedDrops {
public:
    explicit ScopedDrops(std::function<Qt::DropAction(QDrag&)> answer)
    {
        DragDropTesting::SetDragRunner([answer](QDrag& drag, TESGDropSource&) { return answer(drag); });
    }
    ~ScopedDrops() { DragDropTesting::SetDragRunner(nullptr); }
};

// Presses the mouse on (col, row) of g and moves it far enough to start a
// drag, which the user drops on (toCol, toRow) of target.
void MouseDrag(Grid& g, int col, int row, Grid& target, int toCol, int toRow)
{
    ScopedDrops drops([&](QDrag& drag) { return DropOn(target, target.At(toCol, toRow), *drag.mimeData()); });
    const QPoint p = g.At(col, row);
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseMove(&g, p + QPoint(0, 5), -1);
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, p + QPoint(0, 5));
}

// A grid whose cells the user drags by the mouse within itself: no
// editing (a press on a selected cell arms the drag), drops taken all the
// same.
void DragsWithin(Grid& g)
{
    g.SetOptions(g.Options() - TGridOption::goEditing);
    g.Navigation().AllowClipboardAlways = true;
    g.DragDropSettings().OleDropSource = true;
    g.ShowFocused();
}

TEST(GridDragDrop, TextDropsInsertRowsAndSelectTheBlock)
{
    Grid g;
    g.DragDropSettings().OleInsertRows = true;
    TRect dropped;
    g.OnOleDropped = [&](QObject*, TRect cells) { dropped = cells; };
    EXPECT_EQ(DropOn(g, g.At(1, 2), *Text(QStringLiteral("a\tb\r\nc\td\r\ne\tf"))), Qt::MoveAction);
    EXPECT_EQ(g.RowCount(), 11);
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("a"));
    EXPECT_EQ(g.Cells(2, 4), QStringLiteral("f"));
    EXPECT_EQ(g.Cells(1, 5), QStringLiteral("r2")); // the rows below intact
    EXPECT_EQ(dropped, TRect(1, 2, 2, 4));
    EXPECT_EQ(g.Selection().Bottom, 4);
    // Ctrl held: a copy.
    EXPECT_EQ(DropOn(g, g.At(3, 6), *Text(QStringLiteral("x")), Qt::ControlModifier), Qt::CopyAction);

    // Refused by the handler: nothing taken, no effect for the source.
    bool asked = false;
    g.OnOleDrop = [&](QObject*, int, int, const QString&, bool& allow) {
        asked = true;
        allow = false;
    };
    const QStringList before = g.State();
    EXPECT_EQ(DropOn(g, g.At(1, 1), *Text(QStringLiteral("x"))), Qt::IgnoreAction);
    EXPECT_TRUE(asked);
    EXPECT_EQ(g.State(), before);

    // Text is not taken without OleAcceptText.
    g.OnOleDrop = nullptr;
    g.DragDropSettings().OleAcceptText = false;
    EXPECT_EQ(DropOn(g, g.At(1, 1), *Text(QStringLiteral("x"))), Qt::IgnoreAction);
    EXPECT_EQ(g.State(), before);
}

TEST(GridDragDrop, TextDropsFollowRowSelectionAndTheFixedRow)
{
    // With row selection the text starts in the first data column, or with
    // OleEntireRows in the first column.
    Grid g;
    g.SetOptions(g.Options() + TGridOption::goRowSelect);
    const QPoint at = g.At(3, 2);
    EXPECT_EQ(g.DropText(at.x(), at.y(), QStringLiteral("a\tb")), 2);
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("a"));
    EXPECT_EQ(g.LastDropRect(), TRect(1, 2, 2, 2));
    g.DragDropSettings().OleEntireRows = true;
    EXPECT_EQ(g.DropText(at.x(), at.y(), QStringLiteral("x\ty")), 2);
    EXPECT_EQ(g.Cells(0, 2), QString()); // the fixed column takes nothing
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("y"));
    EXPECT_EQ(g.LastDropRect(), TRect(1, 2, 1, 2));
    // Empty text takes nothing.
    const QStringList before = g.State();
    EXPECT_EQ(g.DropText(at.x(), at.y(), QString()), 0);
    EXPECT_EQ(g.State(), before);

    // Inserted rows keep the rows on view: a top row below the fixed rows
    // moves one down.
    Grid t;
    t.DragDropSettings().OleInsertRows = true;
    t.SetRowCount(40);
    t.SetTopRow(3);
    const QPoint p = t.At(1, 5);
    EXPECT_EQ(t.DropText(p.x(), p.y(), QStringLiteral("n1\r\nn2")), 2);
    EXPECT_EQ(t.TopRow(), 4);
    EXPECT_EQ(t.Cells(1, 5), QStringLiteral("n1"));
    EXPECT_EQ(t.Cells(1, 7), QStringLiteral("r5"));

    // A grid of its fixed row alone takes a drop on it into a new row.
    Grid f;
    f.SetFixedRowAlways(true);
    f.SetRowCount(1);
    const QPoint h = f.At(1, 0);
    EXPECT_EQ(f.DropText(h.x(), h.y(), QStringLiteral("new")), 1);
    EXPECT_EQ(f.RowCount(), 2);
    EXPECT_EQ(f.Cells(1, 1), QStringLiteral("new"));
    EXPECT_EQ(f.Cells(1, 0), QString());
}

TEST(GridDragDrop, ADropWithInsertedRowsIsAllOrNothing)
{
    Grid g;
    g.DragDropSettings().OleInsertRows = true;
    g.SetTopRow(2);
    // A read-only grid takes no paste: no blank rows either.
    g.SetOptions(g.Options() - TGridOption::goEditing);
    QStringList before = g.State();
    EXPECT_EQ(DropOn(g, g.At(1, 3), *Text(QStringLiteral("a\r\nb\r\nc"))), Qt::IgnoreAction);
    EXPECT_EQ(g.State(), before);

    // Text past the caps: refused before any row is added.
    g.SetOptions(g.Options() + TGridOption::goEditing);
    const QString huge = QString(5000, u'\t') + QStringLiteral("\r\n").repeated(4000);
    EXPECT_EQ(DropOn(g, g.At(1, 3), *Text(huge)), Qt::IgnoreAction);
    EXPECT_EQ(g.State(), before);

    // A paste that fails half-way takes its rows back with its cells; the
    // error reaches the application.
    QString reported;
    TApplication::Instance()->OnException = [&](QObject*, Exception& e) { reported = e.Message(); };
    int cells = 0;
    g.OnClipboardBeforePasteCell = [&](QObject*, int, int, QString&, bool&) {
        if (++cells == 2) throw Exception(QStringLiteral("no room"));
    };
    EXPECT_EQ(DropOn(g, g.At(1, 3), *Text(QStringLiteral("a\r\nb\r\nc"))), Qt::IgnoreAction);
    TApplication::Instance()->OnException = nullptr;
    EXPECT_EQ(reported, QStringLiteral("no room"));
    EXPECT_EQ(g.State(), before);
}

TEST(GridDragDrop, RowsGoInAndOutInOneStep)
{
    Grid g;
    g.SetRowCount(50001);
    g.SetCells(1, 50000, QStringLiteral("last"));
    g.SetRowSelect(7, true);
    g.InsertRows(3, 100000);
    EXPECT_EQ(g.RowCount(), 150001);
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("r2"));
    EXPECT_EQ(g.Cells(1, 3), QString());
    EXPECT_EQ(g.Cells(1, 100003), QStringLiteral("r3"));
    EXPECT_EQ(g.Cells(1, 150000), QStringLiteral("last"));
    EXPECT_TRUE(g.RowSelect(100007)); // the marks move with their rows
    g.RemoveRows(3, 100000);
    EXPECT_EQ(g.RowCount(), 50001);
    EXPECT_EQ(g.Cells(1, 3), QStringLiteral("r3"));
    EXPECT_TRUE(g.RowSelect(7));
    g.RemoveRows(0, 60000); // one row stays
    EXPECT_EQ(g.RowCount(), 1);
    EXPECT_EQ(g.Cells(1, 0), QStringLiteral("last"));
}

TEST(GridDragDrop, HeadersRefuseCellsAndColumnsNeedColumnDragDrop)
{
    Grid g;
    EXPECT_EQ(DropOn(g, g.At(2, 0), *Text(QStringLiteral("x"))), Qt::IgnoreAction);
    EXPECT_EQ(g.Cells(2, 0), QString());
    Grid source;
    int from = -1;
    int onto = -1;
    g.OnOleDropCol = [&](QObject*, int, int col, int dropCol) {
        onto = col;
        from = dropCol;
    };
    Qt::DropAction answered = Qt::CopyAction;
    ScopedDrops drops([&](QDrag& drag) { return answered = DropOn(g, g.At(1, 0), *drag.mimeData()); });
    // Without OleColumnDragDrop the grid accepts no column.
    EXPECT_EQ(source.StartColumnDrag(3), 0);
    EXPECT_EQ(answered, Qt::IgnoreAction);
    EXPECT_EQ(from, -1);
    g.DragDropSettings().OleColumnDragDrop = true;
    EXPECT_EQ(source.StartColumnDrag(3), 2);
    EXPECT_EQ(from, 3);
    EXPECT_EQ(onto, 1);
    // A column is dropped on the header only.
    from = -1;
    ScopedDrops body([&](QDrag& drag) { return DropOn(g, g.At(1, 3), *drag.mimeData()); });
    EXPECT_EQ(source.StartColumnDrag(2), 0);
    EXPECT_EQ(from, -1);
}

TEST(GridDragDrop, DamagedColumnDataReachesNoHandlerAndDropsNothing)
{
    Grid g;
    g.DragDropSettings().OleColumnDragDrop = true;
    QList<int> dropped;
    g.OnOleDropCol = [&](QObject*, int, int, int dropCol) { dropped << dropCol; };
    const auto column = [](const QByteArray& bytes) {
        auto data = std::make_unique<QMimeData>();
        data->setData(DragFormats::Column(), bytes);
        return data;
    };
    const auto int32 = [](qint32 v) {
        QByteArray b(4, '\0');
        qToLittleEndian(v, b.data());
        return b;
    };
    // Of the wrong length, or a negative index: refused, the source told
    // that nothing was dropped.
    EXPECT_EQ(DropOn(g, g.At(2, 0), *column(QByteArray("\x03\x00", 2))), Qt::IgnoreAction);
    EXPECT_EQ(DropOn(g, g.At(2, 0), *column(int32(3) + "x")), Qt::IgnoreAction);
    EXPECT_EQ(DropOn(g, g.At(2, 0), *column(int32(-5))), Qt::IgnoreAction);
    EXPECT_TRUE(dropped.isEmpty());
    // Sound data still drops.
    EXPECT_EQ(DropOn(g, g.At(2, 0), *column(int32(3))), Qt::MoveAction);
    EXPECT_EQ(dropped, QList<int>({3}));
}

TEST(GridDragDrop, ADropLandsInTheCellUnderThePointerInsideTheFrame)
{
    Grid g;
    g.SetBorderStyle(TBorderStyle::bsSingle);
    g.show();
    const QPoint origin = g.ClientOrigin();
    ASSERT_GT(origin.x(), 0);
    // One pixel inside the bottom-right corner of cell (2, 3), in the
    // window's coordinates, where a user points.
    const TRect r = g.CellRect(2, 3);
    const QPoint corner = origin + QPoint(r.Right - 1, r.Bottom - 1);
    QTest::mouseClick(&g, Qt::LeftButton, Qt::NoModifier, corner);
    ASSERT_EQ(QPoint(g.Col(), g.Row()), QPoint(2, 3));
    EXPECT_EQ(DropOn(g, corner, *Text(QStringLiteral("dropped"))), Qt::MoveAction);
    EXPECT_EQ(g.Cells(2, 3), QStringLiteral("dropped"));
    EXPECT_EQ(g.Cells(3, 4), QString());
    EXPECT_EQ(g.LastDropRect(), TRect(2, 3, 2, 3));
    // Just inside the header row's bottom edge the drop is on the header,
    // which takes no cells.
    const TRect h = g.CellRect(3, 0);
    EXPECT_EQ(DropOn(g, origin + QPoint(h.Right - 1, h.Bottom - 1), *Text(QStringLiteral("no"))), Qt::IgnoreAction);
    EXPECT_EQ(g.Cells(3, 1), QString());
    EXPECT_EQ(g.Cells(4, 1), QString());
}

TEST(GridDragDrop, RichTextFollowsOleDropRTF)
{
    Grid g;
    auto data = Text(QStringLiteral("plain"));
    data->setData(DragFormats::RTF(), QByteArray("{\\rtf1 rich}"));
    g.SetOleDropRTF(true);
    EXPECT_TRUE(DropFormatFlag());
    EXPECT_EQ(DropOn(g, g.At(2, 2), *data), Qt::MoveAction);
    EXPECT_EQ(g.Cells(2, 2), QStringLiteral("{\\rtf1 rich}"));
    g.SetOleDropRTF(false);
    EXPECT_FALSE(DropFormatFlag());
    EXPECT_EQ(DropOn(g, g.At(2, 3), *data), Qt::MoveAction);
    EXPECT_EQ(g.Cells(2, 3), QStringLiteral("plain"));

    // A drag of a rich-text cell offers its rich text while the flag is set.
    g.SetOleDropRTF(true);
    g.SetSelection(TGridRect{2, 2, 2, 2});
    QByteArray rtf;
    {
        ScopedDrops drops([&](QDrag& drag) {
            rtf = drag.mimeData()->data(DragFormats::RTF());
            return Qt::CopyAction;
        });
        EXPECT_EQ(g.StartCellDrag(), 1);
    }
    EXPECT_TRUE(rtf.startsWith("{\\rtf1 rich}"));
    g.SetOleDropRTF(false);
}

TEST(GridDragDrop, MovesWithinAGridKeepWhatWasDropped)
{
    Grid g;
    g.DragDropSettings().OleRemoveRows = true;
    g.SetSelection(TGridRect{1, 1, 1, 3});
    QString carried;
    {
        // Dropped one row down, overlapping its source.
        ScopedDrops drops([&](QDrag& drag) {
            carried = QString::fromUtf8(drag.mimeData()->data(DragFormats::Text()));
            return DropOn(g, g.At(1, 2), *drag.mimeData());
        });
        EXPECT_EQ(g.StartCellDrag(), 2);
    }
    EXPECT_EQ(carried, QStringLiteral("r1\r\nr2\r\nr3"));
    EXPECT_EQ(g.Cells(1, 1), QString());
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("r1"));
    EXPECT_EQ(g.Cells(1, 4), QStringLiteral("r3"));

    // Nothing pasted: nothing removed.
    g.SetSelection(TGridRect{1, 5, 1, 5});
    g.OnOleDrop = [](QObject*, int, int, const QString&, bool& allow) { allow = false; };
    {
        ScopedDrops drops([&](QDrag& drag) { return DropOn(g, g.At(1, 6), *drag.mimeData()); });
        EXPECT_EQ(g.StartCellDrag(), 0);
    }
    EXPECT_EQ(g.LastDropRect().Top, -1);
    EXPECT_EQ(g.Cells(1, 5), QStringLiteral("r5"));
}

TEST(GridDragDrop, AnEditOpenAtADropIsStoredInItsOwnCell)
{
    // Text typed into (1, 1) and not yet stored, then text dropped on
    // (2, 3): both stay where they went, the editor closed.
    Grid g;
    g.ShowFocused();
    QTest::mouseClick(&g, Qt::LeftButton, Qt::NoModifier, g.At(1, 1));
    TypeIntoFocus(Qt::Key_M);
    TypeIntoFocus(QStringLiteral("ine"));
    ASSERT_TRUE(g.EditorMode());
    EXPECT_EQ(DropOn(g, g.At(2, 3), *Text(QStringLiteral("dropped"))), Qt::MoveAction);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Selection(), TGridRect(2, 3, 2, 3));
    QTest::mouseClick(&g, Qt::LeftButton, Qt::NoModifier, g.At(3, 5));
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("mine"));
    EXPECT_EQ(g.Cells(2, 3), QStringLiteral("dropped"));
    EXPECT_EQ(QPoint(g.Col(), g.Row()), QPoint(3, 5));

    // A dropped file's cells are not written over by the edit either.
    QTemporaryDir dir;
    const QString file = TwoRowCsv(dir, QStringLiteral("data.csv"));
    QTest::mouseClick(&g, Qt::LeftButton, Qt::NoModifier, g.At(1, 1));
    TypeIntoFocus(Qt::Key_T);
    TypeIntoFocus(QStringLiteral("yped"));
    ASSERT_TRUE(g.EditorMode());
    QMimeData one;
    one.setUrls({QUrl::fromLocalFile(file)});
    EXPECT_EQ(DropOn(g, g.At(3, 5), one), Qt::MoveAction);
    EXPECT_FALSE(g.EditorMode());
    QTest::mouseClick(&g, Qt::LeftButton, Qt::NoModifier, g.At(2, 1));
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(g.Column(1), QStringList({"h2", "v2"}));
    EXPECT_EQ(g.Cells(0, 1), QStringLiteral("v1"));
}

TEST(GridDragDrop, AMoveUpWithInsertedRowsClearsItsSourceWhereItWent)
{
    // r5 dragged by the mouse to row 2, rows inserted, the source cleared
    // (not removed).
    Grid g;
    DragsWithin(g);
    g.DragDropSettings().OleInsertRows = true;
    g.FocusCell(1, 5);
    MouseDrag(g, 1, 5, g, 1, 2);
    EXPECT_EQ(g.Column(1), QStringList({"", "r1", "r5", "r2", "r3", "r4", "", "r6", "r7"}));
    EXPECT_EQ(g.Selection(), TGridRect(1, 2, 1, 2));
    EXPECT_EQ(g.OleDragRect().Top, -1);

    // Two cells dropped inside their own block: the inserted rows take them,
    // the rest of the source is cleared.
    g.SetSelection(TGridRect(1, 2, 1, 3));
    MouseDrag(g, 1, 2, g, 1, 3);
    EXPECT_EQ(g.Column(1), QStringList({"", "r1", "", "r5", "r2", "", "r3", "r4", "", "r6", "r7"}));
}

TEST(GridDragDrop, RowsDroppedOntoTheirOwnPlaceStay)
{
    // With row selection and OleRemoveRows, a row dragged by the mouse and
    // dropped on itself is no move.
    Grid g;
    DragsWithin(g);
    g.SetOptions(g.Options() + TGridOption::goRowSelect);
    g.DragDropSettings().OleRemoveRows = true;
    g.SetRowCount(6);
    const QStringList rows{"", "r1", "r2", "r3", "r4", "r5"};
    g.FocusCell(1, 3);
    MouseDrag(g, 1, 3, g, 2, 3);
    EXPECT_EQ(g.Column(1), rows);
    EXPECT_EQ(g.Selection(), TGridRect(1, 3, 4, 3));

    // Two rows dropped on the second of them, rows inserted: the same rows.
    g.DragDropSettings().OleInsertRows = true;
    g.SetSelection(TGridRect(1, 2, 4, 3));
    MouseDrag(g, 1, 2, g, 1, 3);
    EXPECT_EQ(g.Column(1), rows);

    // Without inserted rows the drop writes over the rows below; of the
    // source only the row it left goes.
    g.DragDropSettings().OleInsertRows = false;
    g.SetSelection(TGridRect(1, 2, 4, 3));
    MouseDrag(g, 1, 2, g, 1, 3);
    EXPECT_EQ(g.Column(1), QStringList({"", "r1", "r2", "r3", "r5"}));

    // A row selected disjunctly, dropped on itself, stays with its mark.
    g.MouseActions().DisjunctRowSelect = true;
    g.FocusCell(1, 2);
    g.SetRowSelect(2, true);
    MouseDrag(g, 1, 2, g, 1, 2);
    EXPECT_EQ(g.Column(1), QStringList({"", "r1", "r2", "r3", "r5"}));
    EXPECT_TRUE(g.RowSelect(2));
}

TEST(GridDragDrop, RememberedBlockShiftsOnlyByInsertedRows)
{
    Grid g;
    g.DragDropSettings().OleRemoveRows = true;
    g.SetSelection(TGridRect{1, 4, 1, 5});
    {
        ScopedDrops drops([&](QDrag& drag) {
            DropOn(g, g.At(2, 2), *Text(QStringLiteral("x\r\ny")));
            EXPECT_EQ(g.OleDragRect(), TRect(1, 4, 1, 5));
            g.DragDropSettings().OleInsertRows = true;
            DropOn(g, g.At(2, 2), *Text(QStringLiteral("x\r\ny")));
            EXPECT_EQ(g.OleDragRect(), TRect(1, 6, 1, 7));
            (void)drag;
            return Qt::CopyAction;
        });
        g.StartCellDrag();
    }
}

TEST(GridDragDrop, FilesAndTextDropBoth)
{
    Grid g;
    QTemporaryDir dir;
    const QString file = TwoRowCsv(dir, QStringLiteral("data.csv.bak"));
    QMimeData two;
    two.setUrls({QUrl::fromLocalFile(file), QUrl::fromLocalFile(file)});
    EXPECT_EQ(DropOn(g, QPoint(10, 30), two), Qt::IgnoreAction);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("r1"));
    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("http://example.com/x.csv"))});
    EXPECT_EQ(DropOn(g, QPoint(10, 30), remote), Qt::IgnoreAction);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("r1"));

    // Text first at the cell, then the file (its import keeps what no
    // field reaches).
    QStringList order;
    g.OnOleDrop = [&](QObject*, int row, int, const QString& data, bool&) { order << QString::number(row) + data; };
    QMimeData both;
    both.setUrls({QUrl::fromLocalFile(file)});
    both.setData(DragFormats::Text(), "t");
    EXPECT_EQ(DropOn(g, g.At(3, 5), both), Qt::MoveAction);
    EXPECT_EQ(order, QStringList({QStringLiteral("5t"), QStringLiteral("-1") + file}));
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("v2"));
    EXPECT_EQ(g.Cells(3, 1), QString());
    EXPECT_EQ(g.RowCount(), 2);
    // Files are not taken without OleAcceptFiles.
    g.DragDropSettings().OleAcceptFiles = false;
    QMimeData one;
    one.setUrls({QUrl::fromLocalFile(file)});
    g.SetCells(1, 1, QStringLiteral("kept"));
    EXPECT_EQ(DropOn(g, QPoint(10, 30), one), Qt::IgnoreAction);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("kept"));
}

TEST(GridDragDrop, AFinishedDragRemovesOrClearsItsSourceAsSet)
{
    Grid g;
    QList<int> stops;
    g.OnOleDragStop = [&](QObject*, int effect) { stops << effect; };
    // A move into another grid clears the dragged cells.
    Grid other;
    g.SetSelection(TGridRect{1, 2, 1, 3});
    {
        ScopedDrops drops([&](QDrag& drag) {
            EXPECT_FALSE(drag.pixmap().isNull()); // the drag indicator
            return DropOn(other, other.At(2, 1), *drag.mimeData());
        });
        EXPECT_EQ(g.StartCellDrag(), 2);
    }
    EXPECT_EQ(other.Cells(2, 2), QStringLiteral("r3"));
    EXPECT_EQ(g.Cells(1, 2), QString());
    EXPECT_EQ(g.Cells(1, 3), QString());
    EXPECT_EQ(g.Cells(1, 4), QStringLiteral("r4"));

    // A copy and a refused drop leave the source alone; so does a move with
    // OleCopyAlways, whose drags allow copies only.
    g.SetSelection(TGridRect{1, 4, 1, 4});
    {
        ScopedDrops copies(
            [&](QDrag& drag) { return DropOn(other, other.At(2, 5), *drag.mimeData(), Qt::ControlModifier); });
        EXPECT_EQ(g.StartCellDrag(), 1);
    }
    {
        ScopedDrops refused([](QDrag&) { return Qt::IgnoreAction; });
        EXPECT_EQ(g.StartCellDrag(), 0);
    }
    g.DragDropSettings().OleCopyAlways = true;
    g.FinishCellDrag(2);
    EXPECT_EQ(g.Cells(1, 4), QStringLiteral("r4"));
    EXPECT_EQ(stops, QList<int>({2, 1, 2}));

    // With row selection and OleRemoveRows a move removes the rows.
    g.DragDropSettings().OleCopyAlways = false;
    g.DragDropSettings().OleRemoveRows = true;
    g.SetOptions(g.Options() + TGridOption::goRowSelect);
    g.SetSelection(TGridRect{1, 5, 4, 6});
    {
        ScopedDrops moves([](QDrag&) { return Qt::MoveAction; });
        EXPECT_EQ(g.StartCellDrag(), 2);
    }
    EXPECT_EQ(g.RowCount(), 6);
    EXPECT_EQ(g.Cells(1, 5), QStringLiteral("r7"));
    EXPECT_EQ(stops.size(), 4);
}

} // namespace
