#pragma once
// State of the editor host.

struct TGridEditState {
    bool editorShown = false; // the in-place editor is shown (frame round the cell)
};
