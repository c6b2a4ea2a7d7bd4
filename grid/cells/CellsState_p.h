#pragma once
// State of the cell texts room.

struct TGridCellsState {
    // Read through merged cells, and keep HTML tags (plain-text reading).
    bool plainThroughMerges = true;
    bool plainKeepTags = true;
    // The grid is being destroyed: clearing cells tells no one.
    bool destroying = false;
};
