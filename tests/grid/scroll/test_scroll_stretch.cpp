// Stretching a column (also after a resize), keeping cells in view,
// whole-row heights, and the hints of a dragged scroll bar thumb.
#include "grid/TExtStringGrid.h"
#include "grid/THTMLHintWindow.h"
#include "tests/support/PrintQString.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <gtest/gtest.h>

namespace {

class Grid : public TExtStringGrid {
public:
    Grid() : TExtStringGrid(nullptr, QStringLiteral("Grid"))
    {
        SetBorderStyle(TBorderStyle::bsNone);
        resize(300, 200);
        SetDefaultColWidth(50);
        SetDefaultRowHeight(20);
        SetColCount(3);
        SetRowCount(100);
    }
    QScrollBar* VertBar() const { return findChild<QScrollBar*>(QStringLiteral("VertScrollBar")); }
    QScrollBar* HorzBar() const { return findChild<QScrollBar*>(QStringLiteral("HorzScrollBar")); }
};

// Shown, with more rows and columns than fit: both scroll bars show.
class ScrollingGrid : public Grid {
public:
    ScrollingGrid()
    {
        SetColCount(30);
        show();
    }
};

} // namespace

TEST(StretchColumn, TheColumnTakesTheWidthTheOthersLeave)
{
    Grid g;
    g.StretchColumn(-1); // Stretch off: nothing
    EXPECT_EQ(g.ColWidths(2), 50);
    g.ColumnSize().StretchColumn = -1;
    g.SetColumnSizeStretch(true);
    EXPECT_EQ(g.ColWidths(2), g.GridWidth() - 100 - 1);
    g.SetColWidths(0, 400);
    g.StretchColumn(2);
    EXPECT_EQ(g.ColWidths(2), 50); // no room left: the default width
    try {
        g.StretchColumn(3);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Stretch column index out of range");
    }
}

TEST(ScrollInView, TheWindowStaysWithinTheFixedPartAndTheLastPage)
{
    Grid g;
    const int visible = g.VisibleRowCount();
    ASSERT_GT(visible, 2);
    g.ScrollInView(1, 99);
    EXPECT_EQ(g.Row(), 99);
    // Centring would overshoot: the last full window.
    EXPECT_EQ(g.TopRow(), 100 - visible);
    g.ScrollInView(1, 2);
    EXPECT_EQ(g.Row(), 2);
    // Centring would fall under the fixed row.
    EXPECT_EQ(g.TopRow(), g.FixedRows());
    g.ScrollInView(5, 500); // outside the grid: nothing
    EXPECT_EQ(g.Row(), 2);
}

TEST(IntegralHeight, HeightsSnapToWholeRowsAndAZeroRowHeightSkipsIt)
{
    Grid g;
    g.SetColCount(20); // not all columns visible
    g.SetIntegralHeight(true);
    g.SetBounds(0, 0, 300, 205);
    EXPECT_EQ(g.Height(), 200 - 1);
    g.SetDefaultRowHeight(0);
    g.SetBounds(0, 0, 300, 205);
    EXPECT_EQ(g.Height(), 205);
}

// ---------------------------------------------------------------------------
// Following a resize

TEST(StretchColumn, FollowsTheGridsWidth)
{
    Grid g;
    g.ColumnSize().StretchColumn = 1;
    g.SetColumnSizeStretch(true);
    g.show();
    const int before = g.ColWidths(1);
    EXPECT_EQ(before, g.GridWidth() - 100 - 1);
    g.resize(g.width() + 100, g.height());
    EXPECT_EQ(g.ColWidths(1), before + 100);
    EXPECT_EQ(g.ColWidths(0), 50);
    EXPECT_EQ(g.ColWidths(2), 50);
    g.resize(g.width() - 150, g.height());
    EXPECT_EQ(g.ColWidths(1), before - 50);

    // Without Stretch a resize leaves the widths alone.
    g.SetColumnSizeStretch(false);
    g.resize(g.width() + 100, g.height());
    EXPECT_EQ(g.ColWidths(1), before - 50);
}

TEST(StretchColumn, FollowsANewColumnCount)
{
    Grid g;
    g.ColumnSize().StretchColumn = 1;
    g.SetColumnSizeStretch(true);
    EXPECT_EQ(g.ColWidths(1), g.GridWidth() - 100 - 1);
    // The new column takes the default width from the stretched one.
    g.SetColCount(4);
    EXPECT_EQ(g.ColWidths(3), 50);
    EXPECT_EQ(g.ColWidths(1), g.GridWidth() - 150 - 1);
}

// ---------------------------------------------------------------------------
// Scroll hints

namespace {

class ThumbDrag {
public:
    ThumbDrag(QScrollBar* bar) : m_bar(bar) { }
    // The centre of the thumb as the bar's style places it.
    QPoint ThumbCentre() const
    {
        QStyleOptionSlider o;
        o.initFrom(m_bar);
        o.subControls = QStyle::SC_All;
        o.orientation = m_bar->orientation();
        if (o.orientation == Qt::Horizontal) o.state |= QStyle::State_Horizontal;
        o.minimum = m_bar->minimum();
        o.maximum = m_bar->maximum();
        o.sliderPosition = m_bar->sliderPosition();
        o.sliderValue = m_bar->value();
        o.singleStep = m_bar->singleStep();
        o.pageStep = m_bar->pageStep();
        return m_bar->style()->subControlRect(QStyle::CC_ScrollBar, &o, QStyle::SC_ScrollBarSlider, m_bar).center();
    }
    void Press()
    {
        m_at = ThumbCentre();
        Send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    }
    void MoveBy(int delta)
    {
        m_at += m_bar->orientation() == Qt::Vertical ? QPoint(0, delta) : QPoint(delta, 0);
        Send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
    }
    void Release() { Send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton); }

private:
    void Send(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent e(type, m_at, m_bar->mapToGlobal(m_at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(m_bar, &e);
    }
    QScrollBar* m_bar;
    QPoint m_at;
};

} // namespace

TEST(ScrollHints, DraggingTheThumbShowsTheRowBesideThePointer)
{
    ScrollingGrid g;
    QCursor::setPos(200, 150);
    QScrollBar* vert = g.VertBar();
    QScrollBar* horz = g.HorzBar();
    ASSERT_TRUE(vert && vert->isVisible());
    ASSERT_TRUE(horz && horz->isVisible());

    // shNone: nothing shows.
    ThumbDrag none(vert);
    none.Press();
    none.MoveBy(40);
    EXPECT_FALSE(g.HintWindow()->isVisible());
    none.Release();

    g.SetScrollHints(shVertical);
    g.SetTopRow(g.FixedRows());
    ThumbDrag drag(vert);
    drag.Press();
    drag.MoveBy(30);
    ASSERT_TRUE(g.HintWindow()->isVisible());
    // The hint tells the row the thumb brings; the view waits for the release.
    const int brought = vert->sliderPosition();
    EXPECT_EQ(g.HintWindow()->Hint(), QStringLiteral("Row : %1").arg(brought));
    EXPECT_GT(brought, g.FixedRows());
    EXPECT_LE(brought, g.RowCount() - g.VisibleRowCount());
    EXPECT_EQ(g.TopRow(), g.FixedRows());
    EXPECT_EQ(g.HintWindow()->x(), QCursor::pos().x() + 10);
    EXPECT_EQ(g.HintWindow()->y(), QCursor::pos().y());
    drag.MoveBy(500); // to the end
    EXPECT_EQ(g.HintWindow()->Hint(), QStringLiteral("Row : %1").arg(g.RowCount() - g.VisibleRowCount()));
    drag.Release();
    EXPECT_FALSE(g.HintWindow()->isVisible());
    EXPECT_EQ(g.TopRow(), g.RowCount() - g.VisibleRowCount());

    // Only the vertical bar: the horizontal thumb shows nothing.
    ThumbDrag across(horz);
    across.Press();
    across.MoveBy(40);
    EXPECT_FALSE(g.HintWindow()->isVisible());
    across.Release();
}

TEST(ScrollHints, TheColumnHintAndTheHandlersText)
{
    ScrollingGrid g;
    g.SetScrollHints(shBoth);
    int asked = -1;
    g.OnScrollHint = [&](QObject*, int row, QString& hint) {
        asked = row;
        hint += QStringLiteral(" of 29");
    };
    QScrollBar* horz = g.HorzBar();
    ThumbDrag drag(horz);
    drag.Press();
    drag.MoveBy(20);
    ASSERT_TRUE(g.HintWindow()->isVisible());
    const int brought = horz->sliderPosition();
    EXPECT_GT(brought, g.FixedCols());
    EXPECT_EQ(asked, brought);
    EXPECT_EQ(g.HintWindow()->Hint(), QStringLiteral("Col : %1 of 29").arg(brought));
    drag.Release();
    EXPECT_FALSE(g.HintWindow()->isVisible());
    EXPECT_EQ(g.LeftCol(), brought);
}

TEST(ScrollSynch, TheViewFollowsTheDraggedThumbOnlyWhenAsked)
{
    ScrollingGrid g;
    QScrollBar* vert = g.VertBar();
    QScrollBar* horz = g.HorzBar();
    ASSERT_TRUE(vert && horz);

    // Off: the view stays until the thumb is let go.
    ThumbDrag still(vert);
    still.Press();
    still.MoveBy(30);
    EXPECT_GT(vert->sliderPosition(), g.FixedRows());
    EXPECT_EQ(g.TopRow(), g.FixedRows());
    still.Release();
    EXPECT_EQ(g.TopRow(), vert->value());
    EXPECT_GT(g.TopRow(), g.FixedRows());

    // On: rows and columns follow the thumb while it moves.
    g.SetScrollSynch(true);
    g.SetTopRow(g.FixedRows());
    ThumbDrag rows(vert);
    rows.Press();
    rows.MoveBy(30);
    EXPECT_GT(g.TopRow(), g.FixedRows());
    EXPECT_EQ(g.TopRow(), vert->sliderPosition());
    rows.Release();
    ThumbDrag cols(horz);
    cols.Press();
    cols.MoveBy(20);
    EXPECT_GT(g.LeftCol(), g.FixedCols());
    EXPECT_EQ(g.LeftCol(), horz->sliderPosition());
    cols.Release();

    // goThumbTracking: the class library's own following.
    g.SetScrollSynch(false);
    g.SetOptions(g.Options() + TGridOption::goThumbTracking);
    g.SetTopRow(g.FixedRows());
    ThumbDrag tracked(vert);
    tracked.Press();
    tracked.MoveBy(30);
    EXPECT_GT(g.TopRow(), g.FixedRows());
    tracked.Release();
}

TEST(ScrollBarLook, TheWidthAndColourSetShowOnBothBars)
{
    ScrollingGrid g;
    QScrollBar* vert = g.VertBar();
    QScrollBar* horz = g.HorzBar();
    ASSERT_TRUE(vert && vert->isVisible());
    ASSERT_TRUE(horz && horz->isVisible());
    // Until set, the style's width.
    EXPECT_EQ(g.ScrollWidth(), vert->width());
    EXPECT_EQ(g.ScrollColor(), clNone);

    g.SetScrollWidth(31);
    EXPECT_EQ(g.ScrollWidth(), 31);
    EXPECT_EQ(vert->geometry(), QRect(300 - 31, 0, 31, 200 - 31));
    EXPECT_EQ(horz->geometry(), QRect(0, 200 - 31, 300 - 31, 31));
    EXPECT_EQ(g.GridWidth(), 300 - 31);
    EXPECT_EQ(g.GridHeight(), 200 - 31);
    // The cells end where the bar begins.
    EXPECT_EQ(g.VisibleColCount(), (300 - 31 - 50) / 51);

    // The track takes the colour; the thumb (at the top) and the arrows are
    // still drawn over it.
    const auto red = [](const QImage& shot, int x, int y) { return FromQRgb(shot.pixel(x, y)) == clRed; };
    const QImage before = g.grab().toImage();
    EXPECT_FALSE(red(before, 300 - 15, 120));
    g.SetScrollColor(clRed);
    EXPECT_EQ(g.ScrollColor(), clRed);
    const QImage shot = g.grab().toImage();
    EXPECT_TRUE(red(shot, 300 - 15, 120)); // below the thumb
    EXPECT_TRUE(red(shot, 150, 200 - 15)); // right of the horizontal thumb
    int reds = 0, others = 0;
    for (int y = 0; y < 200 - 31; ++y) (red(shot, 300 - 15, y) ? reds : others) += 1;
    EXPECT_GT(reds, 60);
    EXPECT_GT(others, 10);
    EXPECT_FALSE(red(shot, 100, 100)); // the cells keep their colour

    // clNone gives the style's look back; a width below 0 the style's width.
    g.SetScrollColor(clNone);
    EXPECT_FALSE(red(g.grab().toImage(), 300 - 15, 120));
    g.SetScrollWidth(-4);
    EXPECT_EQ(vert->width(), vert->sizeHint().width());
    EXPECT_EQ(g.ScrollWidth(), vert->width());
    EXPECT_EQ(g.GridWidth(), 300 - vert->width());

    // A stretched column keeps filling the cell area.
    g.SetColCount(3);
    g.SetRowCount(100);
    g.ColumnSize().StretchColumn = -1;
    g.SetColumnSizeStretch(true);
    g.SetScrollWidth(40);
    EXPECT_EQ(g.ColWidths(2), 300 - 40 - 100 - 1);
}
