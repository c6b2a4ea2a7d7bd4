#pragma once
// The in-place editor of the grids: an edit without border placed over the
// current cell. Enter and Escape end the edit (Escape without storing the
// text), Up, Down, Page Up and Page Down and Tab go back to the grid; the
// grid reads the edit's text when the editor hides.

#include "platform/widgets/CustomEdit.h"

class TCustomGrid;

class TInplaceEdit : public TCustomEdit {
public:
    explicit TInplaceEdit(TCustomGrid* grid, const QString& name = QStringLiteral("InplaceEdit"));
    ~TInplaceEdit() override;

    TCustomGrid* Grid() const { return m_grid; }
    // Shows the edit over rect (client coordinates of the grid) with text,
    // all selected, and gives it the focus.
    virtual void ShowAt(const TRect& rect, const QString& text);
    // Moves the shown edit (the grid scrolled or resized a column).
    virtual void Move(const TRect& rect);
    // Hides the edit; the focus goes back to the grid when it had it.
    virtual void HideEdit();
    bool IsShown() const { return m_shown; }
    // Whether the user changed the text since ShowAt.
    bool TextChanged() const { return m_startText != Text(); }

protected:
    void KeyDown(int& key, TShiftState shift) override;
    void DoExit() override;
    // The keys that go to the grid instead of the edit.
    virtual bool ForwardsKey(int key, TShiftState shift) const;

private:
    TCustomGrid* m_grid;
    QString m_startText;
    bool m_shown = false;
};
