#pragma once
// State of automatic sizing: the limits (0: none) and the grow-only default.

struct TGridSizeState {
    int minColWidth = 0;
    int maxColWidth = 0;
    int minRowHeight = 0;
    int maxRowHeight = 0;
    bool growOnly = false;
};
