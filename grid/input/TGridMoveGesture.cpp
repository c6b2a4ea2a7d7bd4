// An enhanced row or column move (EnhRowColMove): while the grid's own
// moving runs, arrows mark the gap before the row or column under the
// pointer, an image of the moved header cell follows the pointer, and the
// view scrolls while the pointer is past the fixed part or the edge.
#include "grid/input/Gestures_p.h"

#include "controls/HTMLText.h"
#include "grid/TArrowWindow.h"

#include <QLabel>
#include <QPixmap>
#include <algorithm>

bool TExtStringGrid::Gestures::RowColMove::Track(int /*col*/, int /*row*/, int x, int y)
{
    const TGridInputState& in = In();
    const int movingCol = g.MovingCol();
    const int movingRow = g.MovingRow();
    if (!in.enhRowColMove || (movingCol < 0 && movingRow < 0)) return true;
    if (x == in.downPos.X && y == in.downPos.Y) return true;
    const bool column = movingCol >= 0;
    AutoScroll(column, x, y);
    if (column)
        MarkColumnGap(movingCol, x);
    else
        MarkRowGap(movingRow, y);
    ShowImage(column, column ? movingCol : movingRow, x, y);
    return true;
}

// The column (row) moved by the grid's release marks that release as no
// sort click only while the press counts as held, so it stays held until
// the grid's own release has ended the move.
void TExtStringGrid::Gestures::RowColMove::BeforeGridUp(int /*x*/, int /*y*/) { In().buttonDown = true; }

void TExtStringGrid::Gestures::RowColMove::AfterGridUp(TShiftState shift, int x, int y)
{
    In().buttonDown = false;
    Press::AfterGridUp(shift, x, y);
}

void TExtStringGrid::Gestures::RowColMove::AutoScroll(bool column, int x, int y)
{
    const int leftCol = g.LeftCol();
    const int topRow = g.TopRow();
    if (column) {
        if (x < g.FixedWidth() && g.LeftCol() > g.FixedCols())
            g.SetLeftCol(g.LeftCol() - 1);
        else if (x > g.ClientWidth() && g.LeftCol() + g.VisibleColCount() < g.ColCount())
            g.SetLeftCol(g.LeftCol() + 1);
    } else {
        if (y < g.FixedHeight() && g.TopRow() > g.FixedRows())
            g.SetTopRow(g.TopRow() - 1);
        else if (y > g.ClientHeight() && g.TopRow() + g.VisibleRowCount() < g.RowCount())
            g.SetTopRow(g.TopRow() + 1);
    }
    if (g.LeftCol() != leftCol || g.TopRow() != topRow) g.repaint();
}

namespace {

TArrowWindow* Arrow(TExtStringGrid& grid, TArrowWindow*& arrow, int direction)
{
    if (!arrow) arrow = new TArrowWindow(&grid, direction);
    return arrow;
}

} // namespace

// The gap before the target: its leading edge, or its trailing edge less 5
// pixels when it lies past the moved one.
void TExtStringGrid::Gestures::RowColMove::MarkColumnGap(int moving, int x)
{
    int c = -1, r = -1;
    g.MouseToCell(std::clamp(x, g.FixedWidth(), std::max(g.FixedWidth(), g.ClientWidth() - 1)), 0, c, r);
    if (c < g.FixedCols()) return;
    m_targetCol = c;
    const TRect cell = g.CellRect(c, 0);
    const int gap = c > moving ? cell.Right - 5 : cell.Left;
    TArrowWindow* down = Arrow(g, In().moveArrows[1], 1);
    TArrowWindow* up = Arrow(g, In().moveArrows[0], 0);
    down->move(g.mapToGlobal(g.ClientOrigin() + QPoint(gap - down->width() / 2, -down->height())));
    up->move(g.mapToGlobal(g.ClientOrigin() + QPoint(gap - up->width() / 2, g.FixedHeight())));
    down->show();
    up->show();
}

void TExtStringGrid::Gestures::RowColMove::MarkRowGap(int moving, int y)
{
    int c = -1, r = -1;
    g.MouseToCell(0, std::clamp(y, g.FixedHeight(), std::max(g.FixedHeight(), g.ClientHeight() - 1)), c, r);
    if (r < g.FixedRows()) return;
    m_targetRow = r;
    const TRect cell = g.CellRect(0, r);
    const int gap = r > moving ? cell.Bottom - 5 : cell.Top;
    TArrowWindow* right = Arrow(g, In().moveArrows[2], 2);
    TArrowWindow* left = Arrow(g, In().moveArrows[3], 3);
    right->move(g.mapToGlobal(g.ClientOrigin() + QPoint(-right->width(), gap - right->height() / 2)));
    left->move(g.mapToGlobal(g.ClientOrigin() + QPoint(g.FixedWidth(), gap - left->height() / 2)));
    right->show();
    left->show();
}

// The image of the moved header cell follows the pointer.
void TExtStringGrid::Gestures::RowColMove::ShowImage(bool column, int moving, int x, int y)
{
    QLabel*& image = In().moveImage;
    if (!image) {
        image = new QLabel(&g, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
        image->setAttribute(Qt::WA_ShowWithoutActivating);
    }
    if (!image->isVisible()) {
        const int rc = g.RealColIndex(column ? moving : 0);
        const QString text = rc >= 0 ? HTMLStrip(g.GetCellText(rc, column ? 0 : moving)) : QString();
        const QPixmap pixmap = column ? g.DragImage(text, g.ColWidths(moving), g.RowHeights(0))
                                      : g.DragImage(text, g.ColWidths(0), g.RowHeights(moving));
        image->setPixmap(pixmap);
        image->resize(pixmap.size());
    }
    const QPoint at = g.mapToGlobal(g.ClientOrigin() + QPoint(x, y));
    image->move(at.x() - image->width() / 2, at.y() - image->height() / 2);
    image->show();
    m_shown = true;
}
