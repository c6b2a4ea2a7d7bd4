#pragma once
// The grid's spin editor (edSpinEdit, edFloatSpinEdit, edTimeSpinEdit,
// edDateSpinEdit): Page Up and Page Down step by the increment within the
// range, Home and End jump to the maximum and the minimum (each raising
// OnSpinClick); Tab, Enter, Up and Down store the text after validation and
// leave the cell; Esc takes the cell's text back; the buttons raise the
// grid's spin event of the spin type.

#include "controls/EsgSpinEdit.h"
#include "grid/edit/TEditorKeyProtocol.h"

class TExtStringGrid;

class TGridSpin : public TEsgSpinEdit, public TCellEditor {
public:
    explicit TGridSpin(TExtStringGrid* grid);
    ~TGridSpin() override;

    TExtStringGrid* Grid() const { return m_grid; }
    void StepUp() override;
    void StepDown() override;

protected:
    void KeyDownMessage(int& key, TShiftState shift) override;
    void CharMessage(TKeyChar& key) override;
    void DoExit() override;
    bool WantTab() const override;
    // The grid's editor key protocol.
    bool HandsBack(int key, TShiftState shift) const override;
    QString EditorText() const override { return Text(); }
    void SetEditorText(const QString& text) override { SetText(text); }
    void ResetFromCell() override;
    void ShowRefused() override;

private:
    void SpinClicked(bool up);

    TExtStringGrid* m_grid;
};
