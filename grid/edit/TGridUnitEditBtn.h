#pragma once
// The grid's value-and-unit edit (edUnitEditBtn): the keys of the grid's
// edit with a button; a refused validation only takes the cell's text back;
// characters are not filtered.

#include "controls/EsgUnitEditBtn.h"

class TExtStringGrid;

class TGridUnitEditBtn : public TEsgUnitEditBtn {
public:
    explicit TGridUnitEditBtn(TExtStringGrid* grid);
    ~TGridUnitEditBtn() override;

    TExtStringGrid* Grid() const { return m_grid; }
    // The value followed by the unit, as the cell stores it.
    QString CellValue() const { return Text() + UnitID(); }
    // Splits a cell text: ',', '-', '.' and digits make the value, every
    // other character the unit ("12.5kg": 12.5 and kg).
    void SetCellValue(const QString& text);

protected:
    void KeyDown(int& key, TShiftState shift) override;
    void CharMessage(TKeyChar& key) override;
    void DoExit() override;
    bool WantTab() const override;

private:
    TExtStringGrid* m_grid;
};
