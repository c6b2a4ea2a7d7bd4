#pragma once
// The grid's combo editor, one for either text kind of its combo base:
// TESGComboBox (edComboEdit, edComboList, TGridCombo) or the wide-text
// TESGUniComboBox (edUniComboEdit, edUniComboList, TGridUniCombo). Tab,
// Enter, Up and Down store the text after validation and leave the cell,
// Esc takes the cell's text back, the wheel and a choice from the list raise
// OnComboChange (typing too, with index -1) and closing the list
// OnComboCloseUp, typed text is completed from the items, and leaving stores
// the text. The work is TGridComboKeys'; this only hands it the combo's
// events.

#include "grid/edit/TGridComboKeys.h"

#include <QString>
#include <functional>

class QObject;
class QWheelEvent;
class TExtStringGrid;

template <class ComboBase>
class TGridComboEditor : public ComboBase {
public:
    TGridComboEditor(TExtStringGrid* grid, const QString& name);
    ~TGridComboEditor() override;

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
