#pragma once
// What the grid's combo editor (TGridComboEditor) does for either text kind: the
// keys that leave the cell, the wheel that steps through the items, the
// lookup completion and the drop width.

#include "grid/edit/TEditorKeyProtocol.h"

class TESGCustomCombo;
class TExtStringGrid;

class TGridComboKeys : public TCellEditor {
public:
    TGridComboKeys(TESGCustomCombo* combo, TExtStringGrid* grid) : m_combo(combo), m_grid(grid) { }

    // Key down through the grid's editor key protocol; key 0 when the
    // combo is done with it.
    void KeyDown(int& key, TShiftState shift);
    // The protocol's side: with the list closed in csDropDown the page keys
    // and Up and Down leave the cell; in csDropDownList or with the list
    // open Left and Right do (Up and Down then change the selection).
    bool HandsBack(int key, TShiftState shift) const override;
    QString EditorText() const override;
    void SetEditorText(const QString& text) override;
    void ResetFromCell() override;
    void ShowRefused() override;
    // The wheel moved by delta (negative: down, to the next item). Stops at
    // the first and the last item.
    void Wheel(int delta);
    // Key release: the typed prefix completed from the items.
    void KeyUp(int key);
    // Leaving the combo (before the grid stores it).
    void Exit();
    // The grid's combo events: a choice from the list (OnComboChange and
    // OnComboObjectChange with the item), typing in the field
    // (OnComboChange with index -1 and the text), the list closing
    // (OnComboCloseUp).
    void Selected();
    void Edited();
    void ClosedUp();
    // The list as wide as its widest item.
    void SizeDropWidth();

private:
    TESGCustomCombo* m_combo;
    TExtStringGrid* m_grid;
    bool m_lookupEnabled = true;
};
