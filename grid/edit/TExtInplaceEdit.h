#pragma once
// The string grid's text editor, laid over the current cell for the text
// editor types (edNormal, edNumeric, edPositiveNumeric, edFloat, edCapital,
// edMixedCase, edPassword, edLowerCase, edUpperCase). On the class
// library's in-place editor it adds:
// - characters and pasted text filtered by the editor type;
// - the column's length limit (GetEditLimit; the grid's MaxEditLength when
//   0) and edit mask (GetEditMask), taken each time it is shown;
// - the grid's editor key protocol (TEditorKeyProtocol): validation before
//   Tab, Enter, Up and Down leave the cell (a refused text gives the editor
//   the cell's text back and the key stays, but Tab still moves on); Tab
//   with goTabs walks to the next cell;
// - auto-completion from the grid's LookupItems; the grid's EditTextHook
//   sees the text after each key;
// - the caret under the click that opened it (CaretPositioning), the first
//   position of a masked text selected (ImproveMaskSel), and a masked text
//   typed full taken as Enter (AdvanceAuto);
// - Right at the end and Left at the start move on (CursorWalkEditor);
// - the column and row grow with the typed text (SizeWhileTyping), and
//   Ctrl+Enter makes a multi-line cell's row one line taller;
// - multi-line and word-wrapped cells are edited on lines: with the grid's
//   Multilinecells or WordWrap (which the editor's WordWrap follows) the
//   text shows on a multi-line view (TExtInplaceMemo) that holds the focus
//   for the editor; Enter with LineFeedOnEnter, and Ctrl+Enter, break the
//   line there. Password and masked texts stay on one line.

#include "grid/edit/TEditorKeyProtocol.h"
#include "platform/grids/InplaceEdit.h"

class TExtStringGrid;
class TExtInplaceMemo;

class TExtInplaceEdit : public TInplaceEdit, public TCellEditor {
public:
    explicit TExtInplaceEdit(TExtStringGrid* grid);
    ~TExtInplaceEdit() override;

    TExtStringGrid* ExtGrid() const { return m_ext; }
    // 0: the grid's MaxEditLength.
    int LengthLimit() const { return m_lengthLimit; }
    void SetLengthLimit(int value) { m_lengthLimit = value; }
    // Right-aligned text (set from the cell's alignment at each edit).
    bool VAlign() const { return m_vAlign; }
    void SetVAlign(bool value);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool value);
    // The multi-line view of the edit in progress (nullptr: the edit is on
    // one line).
    TExtInplaceMemo* Lines() const { return m_linesOn ? m_lines : nullptr; }

    void ShowAt(const TRect& rect, const QString& text) override;
    void Move(const TRect& rect) override;
    void HideEdit() override;

protected:
    void KeyDownMessage(int& key, TShiftState shift) override;
    void KeyDown(int& key, TShiftState shift) override;
    void CharMessage(TKeyChar& key) override;
    void KeyPress(TKeyChar& key) override;
    void DefaultChar(TKeyChar ch, QKeyEvent* source) override;
    void KeyUp(int& key, TShiftState shift) override;
    void DblClick() override;
    void Resize() override;
    void DoExit() override;
    void PasteText(const QString& text) override;
    // OnClipboardCopy and OnClipboardCut decide, whatever the route (keys,
    // context menu).
    void CopyToClipboard() override;
    void CutToClipboard() override;
    bool WantTab() const override;
    // The grid's editor key protocol. Esc and the keys that pass validation
    // end the edit through the in-place editor's own base; a refused Tab
    // still leaves the cell, with the cell's text.
    bool HandsBack(int key, TShiftState shift) const override;
    QString EditorText() const override { return Text(); }
    void SetEditorText(const QString& text) override { SetText(text); }
    void ShowRefused() override { TakeCellText(); }
    bool RefusedTabLeaves() const override { return true; }
    bool ForwardsItself(int) const override { return true; }

private:
    friend class TExtInplaceMemo;
    // The table of the editor's own keys (TExtInplaceEdit.cpp).
    struct KeyBindings;
    // The multi-line view lost the focus: the editor's own exit.
    void LinesLeft();
    void LinesDoubleClicked() { DblClick(); }
    // Ctrl+Enter: the row takes the lines of the text and one more.
    void GrowRowForLines();
    void ApplyLinesLook();
    int Limit() const;
    // Whether the editor type takes a character; may change it.
    bool FilterChar(TKeyChar& key);
    // The text after a refused validation: the cell's, caret at the end.
    void TakeCellText();
    void Complete();
    // LookupHistory: the text joins the lookup items.
    void KeepInHistory();
    // SizeWhileTyping: the column widens to the typed text, and with word
    // wrap the row fits it.
    void SizeToText();

    TExtStringGrid* m_ext;
    int m_lengthLimit = 0;
    bool m_vAlign = false;
    bool m_wordWrap = false;
    bool m_lookupEnabled = true;
    bool m_keypadDecimal = false;       // the character comes from the keypad's '.'
    TExtInplaceMemo* m_lines = nullptr; // a child, made on first use
    bool m_linesOn = false;             // the edit in progress is on lines
    bool m_hiding = false;
    bool m_dropReturn = false; // the Enter of the last key-down was taken
};
