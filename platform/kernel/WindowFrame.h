#pragma once
// The frame (title bar and borders) the window manager puts around a window.

#include <QMargins>

class QWidget;

// The margins of a window's frame around its client area. A window not framed
// yet (never shown) takes those of its owner's window, which the window
// manager will give it alike; no owner, none.
QMargins WindowFrameMargins(const QWidget* window);
