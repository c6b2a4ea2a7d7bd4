#pragma once
// The grid's date and time picker (edDateEdit, edDateEditUpDown,
// edTimeEdit): Esc takes the cell's date (or time) back when the cell holds
// one and keeps the picker's value otherwise; Tab (with TGridOption::goTabs) moves to the
// next cell; Tab, Enter, Esc, Page Up, Page Down and End leave the cell
// unless the calendar is open. Its outer two pixels are painted in the
// window colour over its own frame, so that it sits flat in the cell.

#include "grid/edit/TEditorKeyProtocol.h"
#include "platform/widgets/DateTimePicker.h"

class TExtStringGrid;

class TGridDatePicker : public TDateTimePicker, public TCellEditor {
public:
    explicit TGridDatePicker(TExtStringGrid* grid);
    ~TGridDatePicker() override;

    TExtStringGrid* Grid() const { return m_grid; }

protected:
    void KeyDown(int& key, TShiftState shift) override;
    void DoExit() override;
    void PaintBorder() override;
    bool WantTab() const override;
    // The grid's editor key protocol: nothing is validated; an open
    // calendar keeps the keys.
    bool HandsBack(int key, TShiftState shift) const override;
    bool Validates(int) const override { return false; }
    void ResetFromCell() override;
    bool KeepsKey(int) const override { return DroppedDown(); }

private:
    TExtStringGrid* m_grid;
};
