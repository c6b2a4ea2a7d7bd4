#include "grid/column/TDropList.h"

#include <QKeyEvent>
#include <QMouseEvent>

TDropList::TDropList(QWidget* parent) : QListWidget(parent)
{
    setObjectName(QStringLiteral("FilterDropList"));
    setFrameShape(QFrame::Box);
    resize(0, 0);
    hide();
}

void TDropList::Choose()
{
    const int index = currentRow();
    hide();
    if (OnSelect) OnSelect(index);
}

void TDropList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Choose();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        hide();
        if (parentWidget()) parentWidget()->setFocus();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void TDropList::mouseReleaseEvent(QMouseEvent* event)
{
    QListWidget::mouseReleaseEvent(event);
    if (itemAt(event->position().toPoint())) Choose();
}

void TDropList::focusOutEvent(QFocusEvent* event)
{
    QListWidget::focusOutEvent(event);
    hide();
}
