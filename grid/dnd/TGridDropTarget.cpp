#include "grid/dnd/TGridDropTarget.h"

#include "grid/TExtStringGrid.h"
#include "grid/io/GridMimeTypes.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>

TGridDropTarget::TGridDropTarget(TExtStringGrid* grid) : QObject(grid), m_grid(grid) { grid->installEventFilter(this); }

TGridDropTarget::~TGridDropTarget() = default;

bool TGridDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_grid || !m_grid->DragDropSettings().OleDropTarget) return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* e = static_cast<QDragMoveEvent*>(event);
        const QPoint p = e->position().toPoint();
        const bool column = e->mimeData() && e->mimeData()->hasFormat(GridMimeTypes::Column);
        if (m_grid->DragOver(p.x(), p.y(), column))
            e->acceptProposedAction();
        else
            e->ignore();
        return true;
    }
    case QEvent::DragLeave: m_grid->DragLeave(); return true;
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        const QPoint p = e->position().toPoint();
        const int taken = e->mimeData() ? m_grid->DropMimeData(p.x(), p.y(), *e->mimeData()) : 0;
        if (taken > 0) {
            e->acceptProposedAction();
        } else {
            e->setDropAction(Qt::IgnoreAction);
            e->ignore();
        }
        return true;
    }
    default: return false;
    }
}
