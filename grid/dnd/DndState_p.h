#pragma once
// State of drag and drop.

#include "platform/graphics/Geometry.h"

#include <QtCore/qnamespace.h>
#include <functional>

class QDrag;

class TGridDropTarget;
class TArrowWindow;

struct TGridDndState {
    // Children of the grid (Qt frees them with it).
    TGridDropTarget* target = nullptr;
    TArrowWindow* rowArrow = nullptr;
    TArrowWindow* colArrowTop = nullptr;
    TArrowWindow* colArrowBottom = nullptr;
    // The block dragged out of this grid, and the block the last drop
    // pasted ((-1, ...) when none).
    TRect dragRect{-1, -1, -1, -1};
    TRect dropRect{-1, -1, -1, -1};
};

namespace griddnd {
// Runs a drag the grid starts (QDrag::exec when empty); a test puts in one
// that answers at once, as the user's drop would.
using DragRunner = std::function<Qt::DropAction(QDrag& drag, Qt::DropActions actions, Qt::DropAction preferred)>;
void SetDragRunner(DragRunner runner);
Qt::DropAction RunDrag(QDrag& drag, Qt::DropActions actions, Qt::DropAction preferred);
} // namespace griddnd
