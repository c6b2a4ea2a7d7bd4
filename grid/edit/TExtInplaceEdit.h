#pragma once
// The string grid's text editor, laid over the current cell for the text
// editor types (edNormal, edNumeric, edPositiveNumeric, edFloat, edCapital,
// edMixedCase, edPassword, edLowerCase, edUpperCase). On the class
// library's in-place editor it adds:
// - characters and pasted text filtered by the editor type;
// - the column's length limit (GetEditLimit; the grid's MaxEditLength when
//   0) and edit mask (GetEditMask), taken each time it is shown;
// - validation before Tab, Enter, Up and Down leave the cell: a refused text
//   gives the editor the cell's text back and the key stays;
// - auto-completion from the grid's LookupItems;
// - Right at the end and Left at the start move on (CursorWalkEditor).

#include "platform/grids/InplaceEdit.h"

class TExtStringGrid;

class TExtInplaceEdit : public TInplaceEdit {
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
    void SetWordWrap(bool value) { m_wordWrap = value; }

    void ShowAt(const TRect& rect, const QString& text) override;
    void Move(const TRect& rect) override;

protected:
    void KeyDownMessage(int& key, TShiftState shift) override;
    void KeyDown(int& key, TShiftState shift) override;
    void CharMessage(TKeyChar& key) override;
    void KeyPress(TKeyChar& key) override;
    void KeyUp(int& key, TShiftState shift) override;
    void DblClick() override;
    void DoExit() override;
    void PasteText(const QString& text) override;

private:
    int Limit() const;
    // Whether the editor type takes a character; may change it.
    bool FilterChar(TKeyChar& key);
    // The text after a refused validation: the cell's, caret at the end.
    void TakeCellText();
    void Complete();

    TExtStringGrid* m_ext;
    int m_lengthLimit = 0;
    bool m_vAlign = false;
    bool m_wordWrap = false;
    bool m_lookupEnabled = true;
    bool m_keypadDecimal = false; // the character comes from the keypad's '.'
};
