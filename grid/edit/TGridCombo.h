#pragma once
// The grid's combo editor (edComboEdit, edComboList): Tab, Enter, Up and Down
// store the text after validation and leave the cell, Esc takes the cell's
// text back, the wheel and a choice from the list raise OnComboChange (typing
// too, with index -1) and closing the list OnComboCloseUp,
// typed text is completed from the items, and leaving stores the text.

#include "controls/ESGComboBox.h"
#include "grid/edit/TGridComboKeys.h"

class TExtStringGrid;

class TGridCombo : public TESGComboBox {
public:
    explicit TGridCombo(TExtStringGrid* grid);
    ~TGridCombo() override;

    TExtStringGrid* Grid() const { return m_grid; }
    // The list as wide as its widest item.
    void SizeDropWidth() { m_keys.SizeDropWidth(); }

    std::function<void(QObject* sender)> OnReturnKey;

protected:
    void KeyDown(int& key, TShiftState shift) override;
    void KeyPress(TKeyChar& key) override;
    void KeyUp(int& key, TShiftState shift) override;
    void DoExit() override;
    bool WantTab() const override;
    void wheelEvent(QWheelEvent* event) override;
    void SelChange() override;
    void Change() override;
    void CloseUp() override;

private:
    TExtStringGrid* m_grid;
    TGridComboKeys m_keys;
    bool m_selecting = false;
};
