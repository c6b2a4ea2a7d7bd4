#include "grid/edit/TGridButton.h"

#include "grid/TExtStringGrid.h"

TGridButton::TGridButton(TExtStringGrid* grid) : TButton(grid, QStringLiteral("GridButton")), m_grid(grid) { }

TGridButton::~TGridButton() = default;

void TGridButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == TMouseButton::mbLeft) SetCaption(m_grid->EllipsClick(Caption()));
    TButton::MouseUp(button, shift, x, y);
}

void TGridButton::KeyDown(int& key, TShiftState shift)
{
    if (key == Win::VK_ESCAPE) {
        key = 0;
        m_grid->CloseEditorControl();
        m_grid->setFocus(Qt::OtherFocusReason);
        m_grid->RestoreEditText();
        return;
    }
    if (key == Win::VK_LEFT || key == Win::VK_RIGHT || key == Win::VK_UP || key == Win::VK_DOWN) {
        key = 0; // acted on when released
        return;
    }
    TButton::KeyDown(key, shift);
}

void TGridButton::KeyUp(int& key, TShiftState shift)
{
    if (key == Win::VK_SPACE) {
        SetCaption(m_grid->EllipsClick(Caption()));
        SetFocus();
        Repaint();
        key = 0;
        return;
    }
    if (key == Win::VK_LEFT || key == Win::VK_RIGHT || key == Win::VK_UP || key == Win::VK_DOWN) {
        const int forward = key;
        key = 0;
        m_grid->EditorKeyDown(forward, shift);
        return;
    }
    TButton::KeyUp(key, shift);
}

void TGridButton::DoExit()
{
    m_grid->CloseEditorControl();
    TButton::DoExit();
}
