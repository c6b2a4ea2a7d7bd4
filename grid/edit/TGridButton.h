#pragma once
// The grid's button editor (edButton): a click or Space hands the caption
// to OnEllipsClick and shows what comes back; an arrow key ends the edit
// and moves the current cell; Esc ends the edit and gives the cell its
// text back.

#include "platform/widgets/Button.h"

class TExtStringGrid;

class TGridButton : public TButton {
public:
    explicit TGridButton(TExtStringGrid* grid);
    ~TGridButton() override;

    TExtStringGrid* Grid() const { return m_grid; }

protected:
    void KeyDown(int& key, TShiftState shift) override;
    void KeyUp(int& key, TShiftState shift) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DoExit() override;

private:
    TExtStringGrid* m_grid;
};
