#pragma once
// The grid's wide-text editor (edUniEdit): Tab, Enter, Up and Down store
// the text after validation and leave the cell; Esc takes the cell's wide
// text back.

#include "controls/EsgUniEdit.h"
#include "grid/edit/TEditorKeyProtocol.h"

class TExtStringGrid;

class TGridUniEdit : public TEsgUniEdit, public TCellEditor {
public:
    explicit TGridUniEdit(TExtStringGrid* grid);
    ~TGridUniEdit() override;

    TExtStringGrid* Grid() const { return m_grid; }

protected:
    void KeyDown(int& key, TShiftState shift) override;
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
    TExtStringGrid* m_grid;
};
