#pragma once
// The table of the grid's in-place controls by editor type: for each type
// that edits with a control, the control, how ShowEditorControl lays it over
// the cell and fills it, what it does once focused, and how
// StoreEditorControl reads its value back. The text-editor types (and
// edDataCheckBox) have no entry.

#include "grid/TExtStringGrid.h"
#include "grid/TExtStringGrid_p.h"

struct TExtStringGrid::EditorMaker {
    // The cell a control is laid over.
    struct Setup {
        Setup(TExtStringGrid& g, TGridEditState& e, const TRect& cell) : grid(g), edit(e), r(cell) { }
        TExtStringGrid& grid;
        TGridEditState& edit;
        TRect r;   // the cell with its merged span
        int w = 0; // its width and height less the grid line
        int h = 0;
        int col = 0; // display column
        int row = 0;
        int rc = 0;   // real column
        QString text; // the edit text of the cell
        TColor color = clWindow;
        TFont font;
        bool flat = false; // glSoft and glDUV looks
        int editLimit = 0;
        QWidget* shown = nullptr; // the control shown, once shown

        void Place(TWinControl* c, int left, int top, int width, int height) const;
        // Colour, enabled, visible; the control becomes the one shown.
        void Activate(TWinControl* c);
    };
    // The cell a control's value goes back into.
    struct Store {
        Store(TExtStringGrid& g, TGridEditState& e, int col, int r, bool cancel)
            : grid(g), edit(e), rc(col), row(r), cancelled(cancel)
        { }
        TExtStringGrid& grid;
        TGridEditState& edit;
        int rc = 0;
        int row = 0;
        bool cancelled = false;

        // Only a value the user changed goes back into the cell.
        bool Changed(const QString& value) const { return !cancelled && value != edit.shownValue; }
        void Put(const QString& value) const;
        void PutWide(const QString& value) const;
    };

    // The control of the edit in progress (nullptr: none).
    QWidget* (*control)(const TGridEditState& edit) = nullptr;
    // Lays the control over the cell and fills it; leaves Setup::shown
    // unset when there is nothing to edit with.
    void (*show)(Setup& setup) = nullptr;
    // Run once the control has the focus (nullptr: nothing).
    void (*focused)(Setup& setup, bool startKey) = nullptr;
    // Reads the value back into the cell.
    void (*store)(const Store& store) = nullptr;
    // Whether the typed start key is handed to the control.
    bool postsStartKey = false;
    // Whether the control takes the focus itself (custom editors).
    bool focusesItself = false;

    // The entry of type, or nullptr.
    static const EditorMaker* Of(TEditorType type);
};
