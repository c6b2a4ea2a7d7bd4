#pragma once
// The grid's check box editor (edCheckBox): Space and a mouse press toggle
// it; Tab, Esc, Enter, Page Up, Page Down, End and the arrows end the edit
// and focus the grid: Enter then advances, Tab, Up and Down move the
// current cell, the others only end the edit.

#include "grid/edit/TEditorKeyProtocol.h"
#include "platform/widgets/CheckBox.h"

class TExtStringGrid;

class TGridCheckBox : public TCheckBox, public TCellEditor {
public:
    explicit TGridCheckBox(TExtStringGrid* grid);
    ~TGridCheckBox() override;

    TExtStringGrid* Grid() const { return m_grid; }

protected:
    void KeyDown(int& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    bool AllowDefaultMouse(QMouseEvent* event) override;
    void DoExit() override;
    bool WantTab() const override;
    // The grid's editor key protocol: nothing is validated, nothing is
    // stored.
    bool HandsBack(int key, TShiftState shift) const override;
    bool Validates(int) const override { return false; }
    bool MovesGrid(int key) const override;

private:
    TExtStringGrid* m_grid;
};
