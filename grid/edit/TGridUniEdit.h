#pragma once
// The grid's wide-text editor (edUniEdit): Tab, Enter, Up and Down store
// the text after validation and leave the cell; Esc takes the cell's wide
// text back.

#include "controls/EsgUniEdit.h"

class TExtStringGrid;

class TGridUniEdit : public TEsgUniEdit {
public:
    explicit TGridUniEdit(TExtStringGrid* grid);
    ~TGridUniEdit() override;

    TExtStringGrid* Grid() const { return m_grid; }

protected:
    void KeyDown(int& key, TShiftState shift) override;
    void CharMessage(TKeyChar& key) override;
    void DoExit() override;
    bool WantTab() const override;

private:
    TExtStringGrid* m_grid;
};
