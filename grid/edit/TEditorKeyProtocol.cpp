#include "grid/edit/TEditorKeyProtocol.h"

#include "grid/TExtStringGrid.h"

bool TCellEditor::Validates(int key) const
{
    return key == Win::VK_TAB || key == Win::VK_RETURN || key == Win::VK_UP || key == Win::VK_DOWN;
}

bool TEditorKeyProtocol::WantsTab(const TExtStringGrid& grid) { return grid.Options().Contains(TGridOption::goTabs); }

bool TEditorKeyProtocol::KeyDown(TExtStringGrid& grid, TCellEditor& editor, int& key, TShiftState shift)
{
    if (key == 0 || !editor.HandsBack(key, shift)) return false;
    const bool tab = key == Win::VK_TAB && WantsTab(grid);
    if (key == Win::VK_ESCAPE) {
        editor.ResetFromCell();
    } else if (editor.Validates(key)) {
        QString text = editor.EditorText();
        if (!grid.ValidateEditorText(text)) {
            editor.ShowRefused();
            if (!(tab && editor.RefusedTabLeaves())) {
                key = 0;
                return true;
            }
        } else if (text != editor.EditorText()) {
            editor.SetEditorText(text);
        }
    }
    if (tab) {
        key = 0;
        grid.CloseEditorControl();
        grid.setFocus(Qt::OtherFocusReason);
        grid.TabToNextCell(shift.Contains(TShiftStateItem::ssShift));
        return true;
    }
    if (editor.KeepsKey(key)) return true;
    if (editor.ForwardsItself(key)) return false;
    const int forward = editor.MovesGrid(key) ? key : 0;
    key = 0;
    grid.EditorKeyDown(forward, shift);
    return true;
}
