#pragma once
// The grid's check box editor (edCheckBox): Space and a mouse press toggle
// it; Enter, Page Up, Page Down, End and the arrows end the edit (Enter
// then advances, Up and Down move the current cell).

#include "platform/widgets/CheckBox.h"

class TExtStringGrid;

class TGridCheckBox : public TCheckBox {
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

private:
    TExtStringGrid* m_grid;
};
