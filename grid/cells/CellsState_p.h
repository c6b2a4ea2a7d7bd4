#pragma once
// State of the cell texts room.

struct TGridCellsState {
    // Read through merged cells, and keep HTML tags (plain-text reading).
    bool plainThroughMerges = true;
    bool plainKeepTags = true;
};
