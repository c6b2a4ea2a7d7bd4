// Window-level behaviour: the grid timer (blinking text, hovering), no
// painting inside update blocks, the wheel with zoom, and column widths
// that follow the control's width.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/text/TextChars.h"
#include "platform/kernel/Application.h"

#include <QApplication>
#include <QCursor>
#include <QTimer>
#include <cmath>

namespace {
constexpr int kTimerInterval = 500;
constexpr int kMaxZoom = 10;
} // namespace

bool TExtStringGrid::Hovering() const { return d->input.hovering; }
void TExtStringGrid::SetHovering(bool value)
{
    d->input.hovering = value;
    if (value) StartGridTimer();
}
bool TExtStringGrid::EnableBlink() const { return d->input.enableBlink; }
void TExtStringGrid::SetEnableBlink(bool value)
{
    d->input.enableBlink = value;
    if (value) StartGridTimer();
}
int TExtStringGrid::ZoomLevel() const { return d->draw.zoom; }

void TExtStringGrid::StartGridTimer()
{
    if (d->input.timer) return;
    d->input.timer = new QTimer(this);
    d->input.timer->setInterval(kTimerInterval);
    QObject::connect(d->input.timer, &QTimer::timeout, this, [this] { GuardedCall(this, [this] { TimerTick(); }); });
    d->input.timer->start();
}

void TExtStringGrid::TimerTick()
{
    if (d->input.hovering && QApplication::widgetAt(QCursor::pos()) == this) {
        const QPoint p = mapFromGlobal(QCursor::pos()) - ClientOrigin();
        HoverAt(p.x(), p.y());
    }
    if (!d->input.enableBlink) return;
    d->draw.blinkPhase = !d->draw.blinkPhase;
    // Visible cells, the fixed rows across them and the fixed columns down.
    const int lastRow = std::min(RowCount() - 1, TopRow() + VisibleRowCount());
    const int lastCol = std::min(ColCount() - 1, LeftCol() + VisibleColCount());
    auto blinkIn = [&](int c, int r) {
        if (UpperPos(QStringLiteral("<BLI"), GetCellText(RealColIndex(c), r)) > 0) RepaintCell(c, r);
    };
    for (int r = 0; r <= lastRow; ++r) {
        if (r >= FixedRows() && r < TopRow()) continue;
        for (int c = 0; c <= lastCol; ++c) {
            if (c >= FixedCols() && c < LeftCol()) continue;
            blinkIn(c, r);
        }
    }
}

void TExtStringGrid::HoverAt(int x, int y)
{
    int c = -1, r = -1;
    MouseToCell(x, y, c, r);
    if (c < FixedCols() || r < FixedRows() || c >= ColCount() || r >= RowCount()) return;
    SetFocus();
    FocusCell(c, r);
}

void TExtStringGrid::paintEvent(QPaintEvent* event)
{
    // Inside an update block nothing is painted; EndUpdate repaints.
    if (d->updateCount > 0) return;
    TBaseGrid::paintEvent(event);
}

bool TExtStringGrid::DoMouseWheelDown(TShiftState shift, TPoint mousePos) { return WheelStep(shift, mousePos, -1); }

bool TExtStringGrid::DoMouseWheelUp(TShiftState shift, TPoint mousePos) { return WheelStep(shift, mousePos, 1); }

bool TExtStringGrid::WheelStep(TShiftState shift, TPoint mousePos, int direction)
{
    if (shift.Contains(TShiftStateItem::ssCtrl) && d->intelliZoom) {
        const int level = d->draw.zoom + direction;
        if (level < -kMaxZoom || level > kMaxZoom) return true;
        d->draw.zoom = level;
        BeginUpdate();
        for (int c = 0; c < ColCount(); ++c)
            if (ColWidths(c) + direction > 0) SetColWidths(c, ColWidths(c) + direction);
        for (int r = 0; r < RowCount(); ++r)
            if (RowHeights(r) + direction > 0) SetRowHeights(r, RowHeights(r) + direction);
        EndUpdate();
        return true;
    }
    if (!d->enableWheel) return true;
    const bool keep = Options().Contains(TGridOption::goRowSelect) && d->navigation.KeepHorizScroll;
    const int left = LeftCol();
    const int saved = d->updateCount;
    if (keep) ++d->updateCount;
    const bool result =
        direction < 0 ? TBaseGrid::DoMouseWheelDown(shift, mousePos) : TBaseGrid::DoMouseWheelUp(shift, mousePos);
    if (keep) {
        SetLeftCol(left);
        d->updateCount = saved;
        if (saved == 0) InvalidateGrid();
    }
    return result;
}

void TExtStringGrid::FollowWidth()
{
    if (!d) return;
    const int width = Width();
    const int old = d->input.lastWidth;
    // Nothing to scale from a width of 0, and a width of 0 is no new scale:
    // the columns keep their widths until the control has a size again.
    if (width <= 0) return;
    // A control open over a cell would not follow its scaled column.
    if (old > 0 && d->columnSize.SynchWithGrid && d->edit.SpecialEditorOpen()) CloseEditorControl();
    if (old > 0 && width != old && d->columnSize.SynchWithGrid) {
        BeginUpdate();
        for (int c = 0; c < ColCount(); ++c) SetColWidths(c, int(std::lround(double(ColWidths(c)) * width / old)));
        EndUpdate();
    }
    d->input.lastWidth = width;
}
