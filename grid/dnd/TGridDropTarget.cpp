#include "grid/dnd/TGridDropTarget.h"

#include "grid/TExtStringGrid.h"
#include "grid/io/TObjectReader.h"
#include "platform/kernel/Application.h"

#include <QEvent>

TGridDropTarget::TGridDropTarget(TExtStringGrid* grid) : m_grid(grid) { setParent(grid); }

TGridDropTarget::~TGridDropTarget() = default;

bool TGridDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid && event->type() == QEvent::DragEnter) {
        const TDragDropSettings& dd = m_grid->DragDropSettings();
        AcceptText = dd.OleAcceptText;
        AcceptFiles = dd.OleAcceptFiles;
        AcceptCols = dd.OleColumnDragDrop;
    }
    return TESGDropTarget::eventFilter(watched, event);
}

// The platform gives points in the window's coordinates; the grid takes
// them in its cell area's, as its mouse handling does, past the frame.
TPoint TGridDropTarget::CellAreaPoint(TPoint point) const
{
    const QPoint origin = m_grid->ClientOrigin();
    return TPoint(point.X - origin.x(), point.Y - origin.y());
}

// Each hook runs the grid's handling guarded: an error reaches the
// application's handler, never the platform's drag loop.

void TGridDropTarget::DropText(TPoint at, const QString& text)
{
    const TPoint point = CellAreaPoint(at);
    int pasted = 0;
    GuardedCall(m_grid, [&] {
        try {
            pasted = m_grid->DropText(point.X, point.Y, text);
        } catch (const EReadError&) {
            // Text past the caps is dropped as nothing, as a paste takes it.
        }
    });
    if (pasted == 0) RefuseDrop();
}

void TGridDropTarget::DropCol(TPoint at, int column)
{
    const TPoint point = CellAreaPoint(at);
    bool taken = false;
    GuardedCall(m_grid, [&] { taken = m_grid->DropColumn(point.X, point.Y, column); });
    if (!taken) RefuseDrop();
}

void TGridDropTarget::DropRTF(TPoint at, const QString& rtf)
{
    const TPoint point = CellAreaPoint(at);
    bool taken = false;
    GuardedCall(m_grid, [&] { taken = m_grid->DropRTF(point.X, point.Y, rtf); });
    if (!taken) RefuseDrop();
}

void TGridDropTarget::DropFiles(TPoint at, const QStringList& files)
{
    const TPoint point = CellAreaPoint(at);
    bool taken = false;
    GuardedCall(m_grid, [&] { taken = m_grid->DropFiles(point.X, point.Y, files); });
    if (!taken) RefuseDrop();
}

void TGridDropTarget::DragMouseMove(TPoint at, bool& allow, TDropKinds kinds)
{
    if (!allow) {
        m_grid->DragLeave();
        return;
    }
    const TPoint point = CellAreaPoint(at);
    GuardedCall(m_grid, [&] { allow = m_grid->DragOver(point.X, point.Y, kinds.Column && AcceptCols); });
}

void TGridDropTarget::DragMouseLeave() { m_grid->DragLeave(); }
