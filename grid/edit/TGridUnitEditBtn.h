#pragma once
// The grid's value-and-unit edit (edUnitEditBtn): the keys of the grid's
// edit with a button; a refused validation only takes the cell's text back;
// characters are not filtered.

#include "controls/EsgUnitEditBtn.h"
#include "grid/edit/TEditorKeyProtocol.h"

class TExtStringGrid;

class TGridUnitEditBtn : public TEsgUnitEditBtn, public TCellEditor {
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
    // The grid's editor key protocol: the value with its unit is validated.
    bool HandsBack(int key, TShiftState shift) const override;
    QString EditorText() const override { return CellValue(); }
    void SetEditorText(const QString& text) override { SetCellValue(text); }
    void ResetFromCell() override;

private:
    TExtStringGrid* m_grid;
};
