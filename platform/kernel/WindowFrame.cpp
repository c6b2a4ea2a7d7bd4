#include "platform/kernel/WindowFrame.h"

#include <QWidget>

namespace {

QMargins frameMarginsOf(const QWidget* window)
{
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                    frame.bottom() - client.bottom());
}

} // namespace

QMargins WindowFrameMargins(const QWidget* window)
{
    if (!window) return {};
    const QMargins own = frameMarginsOf(window);
    if (!own.isNull()) return own;
    const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    return owner ? frameMarginsOf(owner) : QMargins();
}
