#include "grid/edit/TGridCheckBox.h"

#include "grid/TExtStringGrid.h"

#include <QMouseEvent>

TGridCheckBox::TGridCheckBox(TExtStringGrid* grid) : TCheckBox(grid, QStringLiteral("GridCheckBox")), m_grid(grid) {}

TGridCheckBox::~TGridCheckBox() = default;

bool TGridCheckBox::WantTab() const { return m_grid->Options().Contains(goTabs); }

void TGridCheckBox::KeyDown(int& key, TShiftState shift)
{
    switch (key) {
    case VK_SPACE:
        Toggle();
        key = 0;
        return;
    case VK_RETURN: case VK_PRIOR: case VK_NEXT: case VK_END:
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: {
        const int forward = key;
        key = 0;
        m_grid->EditorKeyDown(forward, shift);
        return;
    }
    default:
        TCheckBox::KeyDown(key, shift);
    }
}

bool TGridCheckBox::AllowDefaultMouse(QMouseEvent* event)
{
    // The press toggles; the button's own click would toggle once more.
    const QEvent::Type t = event->type();
    if (t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease || t == QEvent::MouseButtonDblClick)
        return false;
    return TCheckBox::AllowDefaultMouse(event);
}

void TGridCheckBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) Toggle();
    TCheckBox::MouseDown(button, shift, x, y);
}

void TGridCheckBox::DoExit()
{
    m_grid->CloseEditorControl();
    TCheckBox::DoExit();
}
