// Middle-button panning: a press starts it at the pointer; every 10 ms the
// current cell moves one row (column) toward the pointer while it is more
// than 5 pixels away from the start; any button or key ends it.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/input/TGridCursors.h"
#include "platform/kernel/Application.h"

#include <QCursor>
#include <QTimer>

namespace {
constexpr int kPanInterval = 10;
constexpr int kDeadZone = 5;
} // namespace

TIntelliPan TExtStringGrid::IntelliPan() const { return d->input.intelliPan; }
void TExtStringGrid::SetIntelliPan(TIntelliPan value) { d->input.intelliPan = value; }
bool TExtStringGrid::Panning() const { return d->input.panning; }

bool TExtStringGrid::StartPanning(int x, int y)
{
    TGridInputState& in = d->input;
    if (in.panning || in.intelliPan == ipNone || RowCount() <= FixedRows()) return false;
    in.panning = true;
    in.panOrigin = TPoint(x, y);
    const QCursor pan = TGridCursors::Cursor(TGridCursors::crPan);
    ApplyCursor(&pan);
    InvalidateRect(Bounds(x - 16, y - 16, 32, 32)); // the origin mark
    if (!in.panTimer) {
        in.panTimer = new QTimer(this);
        in.panTimer->setInterval(kPanInterval);
        QObject::connect(in.panTimer, &QTimer::timeout, this, [this] {
            const QPoint p = mapFromGlobal(QCursor::pos()) - ClientOrigin();
            GuardedCall(this, [this, p] { PanStep(p.x(), p.y()); });
        });
    }
    in.panTimer->start();
    grabMouse();
    HideCellHint(); // hints are off until the panning ends
    return true;
}

void TExtStringGrid::StopPanning()
{
    TGridInputState& in = d->input;
    if (!in.panning) return;
    in.panning = false;
    if (in.panTimer) in.panTimer->stop();
    releaseMouse();
    ApplyCursor(nullptr);
    InvalidateRect(Bounds(in.panOrigin.X - 16, in.panOrigin.Y - 16, 32, 32));
}

void TExtStringGrid::PanStep(int x, int y)
{
    TGridInputState& in = d->input;
    if (!in.panning) return;
    int dy = y < in.panOrigin.Y - kDeadZone ? -1 : (y > in.panOrigin.Y + kDeadZone ? 1 : 0);
    int dx = x < in.panOrigin.X - kDeadZone ? -1 : (x > in.panOrigin.X + kDeadZone ? 1 : 0);
    if (in.intelliPan == ipHorizontal) dy = 0;
    if (in.intelliPan == ipVertical) dx = 0;
    const QCursor cursor = TGridCursors::Cursor(TGridCursors::PanCursor(dx, dy));
    ApplyCursor(&cursor);
    const int row = std::clamp(Row() + dy, FixedRows(), std::max(FixedRows(), RowCount() - d->fixedFooters - 1));
    const int col = std::clamp(Col() + dx, FixedCols(), std::max(FixedCols(), ColCount() - 1));
    if (row != Row() || col != Col()) {
        FocusCell(col, row);
        ScrollInView(col, row);
    }
}
