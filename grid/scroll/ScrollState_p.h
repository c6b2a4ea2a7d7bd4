#pragma once
// State of scrolling and stretching.

struct TGridScrollState {
    bool integralHeight = false;
    // Cleared while StretchColumn sets widths.
    bool stretchGuard = true;
};
