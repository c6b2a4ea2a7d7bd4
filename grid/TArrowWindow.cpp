#include "grid/TArrowWindow.h"

#include "platform/graphics/Color.h"

#include <QPalette>
#include <QRegion>

TArrowWindow::TArrowWindow(QWidget* owner, int direction)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus), m_direction(direction)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, ToQColor(clLime));
    setPalette(p);
    const QPolygon shape = ArrowShape(direction);
    resize(shape.boundingRect().size());
    setMask(QRegion(shape, Qt::WindingFill));
    hide();
}

QPolygon TArrowWindow::ArrowShape(int direction)
{
    switch (direction) {
    case 1: return QPolygon({{3, 0}, {7, 0}, {7, 4}, {9, 4}, {5, 8}, {1, 4}, {3, 4}});
    case 2: return QPolygon({{0, 3}, {0, 7}, {4, 7}, {4, 10}, {8, 5}, {4, 0}, {4, 3}});
    case 3: return QPolygon({{0, 5}, {4, 10}, {4, 7}, {8, 7}, {8, 3}, {4, 3}, {4, 0}});
    default: return QPolygon({{5, 0}, {10, 5}, {7, 5}, {7, 9}, {3, 9}, {3, 5}, {0, 5}});
    }
}
