#pragma once
// State of drag and drop.

#include "platform/graphics/Geometry.h"

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
