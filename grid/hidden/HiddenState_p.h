#pragma once
// State of hidden rows and columns, nodes and filtering.

struct TGridHiddenState {
    int hiddenColumns = 0;
    int hiddenRows = 0;
    int nodeCount = 0;
    bool filterActive = false;
};
