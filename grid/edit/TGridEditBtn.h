#pragma once
// The grid's edit with an ellipsis button (edEditBtn, edNumericEditBtn,
// edFloatEditBtn): Tab, Enter, Page Up, Page Down, Up and Down (without
// Ctrl) store the text after validation and leave the cell; Esc takes the
// cell's text back; typed characters are filtered as the text editor's
// numeric and float types filter them; the button hands the text to
// OnEllipsClick.

#include "controls/EsgEditBtn.h"

class TExtStringGrid;

class TGridEditBtn : public TEsgEditBtn {
public:
    explicit TGridEditBtn(TExtStringGrid* grid, const QString& name = QStringLiteral("GridEditBtn"));
    ~TGridEditBtn() override;

    TExtStringGrid* Grid() const { return m_grid; }

protected:
    void KeyDown(int& key, TShiftState shift) override;
    void CharMessage(TKeyChar& key) override;
    void DoExit() override;
    bool WantTab() const override;
    // Whether a refused validation also puts the caret at the end and
    // repaints (the unit edit only takes the text back).
    virtual bool FullRefusal() const { return true; }
    // Whether typed characters are filtered by the editor type.
    virtual bool FiltersChars() const { return true; }
    void ButtonClicked();

    TExtStringGrid* m_grid;
};
