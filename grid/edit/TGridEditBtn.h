#pragma once
// The grid's edit with an ellipsis button (edEditBtn, edNumericEditBtn,
// edFloatEditBtn): Tab, Enter, Page Up, Page Down, Up and Down (without
// Ctrl) store the text after validation and leave the cell; Esc takes the
// cell's text back; typed characters are filtered as the text editor's
// numeric and float types filter them; the button hands the text to
// OnEllipsClick.

#include "controls/EsgEditBtn.h"
#include "grid/edit/TEditorKeyProtocol.h"

class TExtStringGrid;

class TGridEditBtn : public TEsgEditBtn, public TCellEditor {
public:
    explicit TGridEditBtn(TExtStringGrid* grid, const QString& name = QStringLiteral("GridEditBtn"));
    ~TGridEditBtn() override;

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
    // Whether typed characters are filtered by the editor type.
    virtual bool FiltersChars() const { return true; }
    void ButtonClicked();

    TExtStringGrid* m_grid;
};
