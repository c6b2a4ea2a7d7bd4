#pragma once
// The few system metrics the controls lay themselves out with, at the values
// of the platform's classic look at 96 pixels per inch.

namespace Win {

enum : int {
    SM_CXVSCROLL = 2,
    SM_CYHSCROLL = 3,
    SM_CXBORDER = 5,
    SM_CYBORDER = 6,
    SM_CXEDGE = 45,
    SM_CYEDGE = 46,
};

} // namespace Win

// The metric's value (0 for one this program does not know).
int GetSystemMetrics(int index);

// Character height (ascent + descent) of the platform's system font, which
// the edit controls compare with their own font for their minimum height.
int SystemFontCharHeight();
