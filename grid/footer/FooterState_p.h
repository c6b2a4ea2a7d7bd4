#pragma once
// State of the floating footer and the hint window.

#include <memory>

class TFooterPanel;
class THTMLHintWindow;

struct TGridFooterState {
    // Children of the grid (Qt frees them with it); kept here for reach.
    TFooterPanel* panel = nullptr;
    THTMLHintWindow* hint = nullptr;
};
