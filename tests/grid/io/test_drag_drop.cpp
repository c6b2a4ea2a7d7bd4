// Drag and drop of cells, columns and files between and within grids.
#include "grid/TExtStringGrid.h"
#include "grid/TExtStringGrid_p.h"
#include "grid/io/GridMimeTypes.h"

#include <QDrag>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>

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
    int DropTextAt(int col, int row, const QString& text) { return DropText(At(col, row).x(), At(col, row).y(), text); }
};

TEST(GridDragDrop, TextDropsInsertRowsAndSelectTheBlock)
{
    Grid g;
    g.DragDropSettings().OleInsertRows = true;
    TRect dropped;
    g.OnOleDropped = [&](QObject*, TRect cells) { dropped = cells; };
    EXPECT_EQ(g.DropTextAt(1, 2, QStringLiteral("a\tb\r\nc\td\r\ne\tf")), 6);
    EXPECT_EQ(g.RowCount(), 11);
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("a"));
    EXPECT_EQ(g.Cells(2, 4), QStringLiteral("f"));
    EXPECT_EQ(g.Cells(1, 5), QStringLiteral("r2")); // the rows below intact
    EXPECT_EQ(dropped, TRect(1, 2, 2, 4));
    EXPECT_EQ(g.Selection().Bottom, 4);

    bool asked = false;
    g.OnOleDrop = [&](QObject*, int, int, const QString&, bool& allow) {
        asked = true;
        allow = false;
    };
    EXPECT_EQ(g.DropTextAt(1, 1, QStringLiteral("x")), 0);
    EXPECT_TRUE(asked);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("r1"));
}

TEST(GridDragDrop, HeadersRefuseCellsAndTakeColumns)
{
    Grid g;
    EXPECT_FALSE(g.DragOver(g.At(2, 0).x(), g.At(2, 0).y(), false));
    EXPECT_TRUE(g.DragOver(g.At(2, 3).x(), g.At(2, 3).y(), false));
    EXPECT_TRUE(g.DragOver(g.At(2, 0).x(), g.At(2, 0).y(), true));
    EXPECT_FALSE(g.DragOver(g.At(2, 3).x(), g.At(2, 3).y(), true));
    g.DragLeave();
    int from = -1;
    int onto = -1;
    g.OnOleDropCol = [&](QObject*, int, int col, int dropCol) {
        onto = col;
        from = dropCol;
    };
    std::unique_ptr<QMimeData> data(g.ColumnMimeData(3));
    EXPECT_EQ(g.DropMimeData(g.At(1, 0).x(), g.At(1, 0).y(), *data), 1);
    EXPECT_EQ(from, 3);
    EXPECT_EQ(onto, 1);
    QMimeData bad;
    bad.setData(GridMimeTypes::Column, QByteArray("\xff\xff\xff\xff", 4));
    EXPECT_EQ(g.DropMimeData(g.At(1, 0).x(), g.At(1, 0).y(), bad), 0);
}

TEST(GridDragDrop, MovesWithinAGridKeepWhatWasDropped)
{
    Grid g;
    g.DragDropSettings().OleRemoveRows = true;
    g.SetSelection(TGridRect{1, 1, 1, 3});
    std::unique_ptr<QMimeData> data(g.DragMimeData());
    EXPECT_EQ(QString::fromUtf8(data->data(GridMimeTypes::Text)), QStringLiteral("r1\r\nr2\r\nr3"));
    // Dropped one row down, overlapping its source.
    EXPECT_EQ(g.DropMimeData(g.At(1, 2).x(), g.At(1, 2).y(), *data), 3);
    g.RemoveDraggedCells();
    EXPECT_EQ(g.Cells(1, 1), QString());
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("r1"));
    EXPECT_EQ(g.Cells(1, 4), QStringLiteral("r3"));

    // Nothing pasted: nothing removed.
    g.SetSelection(TGridRect{1, 5, 1, 5});
    std::unique_ptr<QMimeData> again(g.DragMimeData());
    g.OnOleDrop = [](QObject*, int, int, const QString&, bool& allow) { allow = false; };
    EXPECT_EQ(g.DropMimeData(g.At(1, 6).x(), g.At(1, 6).y(), *again), 0);
    EXPECT_EQ(g.LastDropRect().Top, -1);
}

TEST(GridDragDrop, RemembereredBlockShiftsOnlyByInsertedRows)
{
    Grid g;
    g.DragDropSettings().OleRemoveRows = true;
    g.SetSelection(TGridRect{1, 4, 1, 5});
    std::unique_ptr<QMimeData> data(g.DragMimeData());
    g.DropTextAt(2, 2, QStringLiteral("x\r\ny"));
    EXPECT_EQ(g.OleDragRect(), TRect(1, 4, 1, 5));
    g.DragDropSettings().OleInsertRows = true;
    g.DropTextAt(2, 2, QStringLiteral("x\r\ny"));
    EXPECT_EQ(g.OleDragRect(), TRect(1, 6, 1, 7));
}

TEST(GridDragDrop, OneDelimitedFileReplacesTheContent)
{
    Grid g;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("data.csv.bak"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("h1,h2\nv1,v2\n");
    f.close();
    QMimeData two;
    two.setUrls({QUrl::fromLocalFile(file), QUrl::fromLocalFile(file)});
    EXPECT_EQ(g.DropMimeData(10, 30, two), 0);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("r1"));
    QMimeData one;
    one.setUrls({QUrl::fromLocalFile(file)});
    EXPECT_EQ(g.DropMimeData(10, 30, one), 1);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("v2"));
    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("http://example.com/x.csv"))});
    EXPECT_EQ(g.DropMimeData(10, 30, remote), 0);
}

// Drags answered at once with a chosen action, as a user's drop would.
class ScopedDrops {
public:
    explicit ScopedDrops(std::function<Qt::DropAction(QDrag&)> answer)
    {
        griddnd::SetDragRunner([answer](QDrag& drag, Qt::DropActions, Qt::DropAction) { return answer(drag); });
    }
    ~ScopedDrops() { griddnd::SetDragRunner(nullptr); }
};

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
            return other.DropMimeData(other.At(2, 1).x(), other.At(2, 1).y(), *drag.mimeData()) > 0 ? Qt::MoveAction
                                                                                                    : Qt::IgnoreAction;
        });
        EXPECT_EQ(g.StartCellDrag(), 2);
    }
    EXPECT_EQ(other.Cells(2, 2), QStringLiteral("r3"));
    EXPECT_EQ(g.Cells(1, 2), QString());
    EXPECT_EQ(g.Cells(1, 3), QString());
    EXPECT_EQ(g.Cells(1, 4), QStringLiteral("r4"));

    // A copy, a refused drop and OleCopyAlways leave the source alone.
    g.SetSelection(TGridRect{1, 4, 1, 4});
    {
        ScopedDrops copies([](QDrag&) { return Qt::CopyAction; });
        EXPECT_EQ(g.StartCellDrag(), 1);
    }
    {
        ScopedDrops refused([](QDrag&) { return Qt::IgnoreAction; });
        EXPECT_EQ(g.StartCellDrag(), 0);
    }
    g.DragDropSettings().OleCopyAlways = true;
    delete g.DragMimeData();
    g.FinishCellDrag(2);
    EXPECT_EQ(g.Cells(1, 4), QStringLiteral("r4"));
    EXPECT_EQ(stops, QList<int>({2, 1, 2}));

    // With row selection and OleRemoveRows a move removes the rows.
    g.DragDropSettings().OleCopyAlways = false;
    g.DragDropSettings().OleRemoveRows = true;
    g.SetOptions(g.Options() + TGridOption::goRowSelect);
    g.SetSelection(TGridRect{1, 5, 4, 6});
    delete g.DragMimeData();
    g.FinishCellDrag(2);
    EXPECT_EQ(g.RowCount(), 6);
    EXPECT_EQ(g.Cells(1, 5), QStringLiteral("r7"));

    // A column drag carries the column and reports its end.
    {
        ScopedDrops columns([&](QDrag& drag) {
            EXPECT_EQ(other.DropMimeData(other.At(1, 0).x(), other.At(1, 0).y(), *drag.mimeData()), 1);
            return Qt::MoveAction;
        });
        int dropped = -1;
        other.OnOleDropCol = [&](QObject*, int, int, int col) { dropped = col; };
        EXPECT_EQ(g.StartColumnDrag(3), 2);
        EXPECT_EQ(dropped, 3);
    }
    EXPECT_EQ(stops.size(), 5);
}

} // namespace
