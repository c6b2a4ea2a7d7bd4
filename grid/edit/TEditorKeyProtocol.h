#pragma once
// The one key protocol of the grid's cell editors. Every editor the grid
// lays over a cell (the text editor, the in-place controls, the rich-text
// editor) offers its key-downs here before its own handling, the way a Qt
// item delegate filters its editors' events in one place:
// 1. a key the editor does not hand back stays with it;
// 2. Esc gives the editor the cell's value back (the edit then ends
//    storing nothing);
// 3. the validated keys (Tab, Enter, Up and Down for the text-like editors)
//    run the cell validation on the editor's text: refused, the editor shows
//    the cell's text and keeps the key; accepted, it takes the (corrected)
//    value;
// 4. Tab with goTabs closes the edit, focuses the grid and walks to the next
//    cell (Shift: the previous one) as the grid's own TAB does;
// 5. every other key handed back ends the edit and goes to the grid
//    (EditorKeyDown): arrows and page keys move the current cell, Enter
//    advances; keys the editor says do not move the grid (MovesGrid) only
//    end the edit.
// Editors that are controls take Tab exactly when goTabs is on (WantsTab).

#include "platform/kernel/VirtualKeys.h"

#include <QString>

class TExtStringGrid;

// What a cell editor tells the protocol.
class TCellEditor {
public:
    virtual ~TCellEditor() = default;

    // Whether the editor hands key to the grid.
    virtual bool HandsBack(int key, TShiftState shift) const = 0;
    // Whether key runs the cell validation first (text-like editors: Tab,
    // Enter, Up and Down).
    virtual bool Validates(int key) const;
    // The value as the validation sees it, and the corrected value back.
    virtual QString EditorText() const { return QString(); }
    virtual void SetEditorText(const QString&) { }
    // Esc: the editor shows the cell's value again.
    virtual void ResetFromCell() { }
    // A refused validation: the editor shows the cell's text.
    virtual void ShowRefused() { ResetFromCell(); }
    // Whether a refused Tab still leaves the cell (with the cell's text).
    virtual bool RefusedTabLeaves() const { return false; }
    // Whether a key handed back stays with the editor after all (an open
    // calendar keeps its keys).
    virtual bool KeepsKey(int) const { return false; }
    // Whether the editor's own base ends the edit for key (left unchanged
    // for it) instead of the grid.
    virtual bool ForwardsItself(int) const { return false; }
    // Whether a key handed back also goes to the grid's key handling after
    // the edit ended (false: it only ends the edit).
    virtual bool MovesGrid(int) const { return true; }
};

class TEditorKeyProtocol {
public:
    // Whether the grid's editors take Tab (instead of the focus moving on).
    static bool WantsTab(const TExtStringGrid& grid);
    // Runs the protocol on a key-down of editor. True when the editor's own
    // handling must not run (key is then 0, or a key the editor keeps);
    // false when the key is the editor's: not handed back, or handed back
    // to the editor's own base (ForwardsItself).
    static bool KeyDown(TExtStringGrid& grid, TCellEditor& editor, int& key, TShiftState shift);
};
