#include "grid/edit/TGridCheckBox.h"

#include "grid/TExtStringGrid.h"

#include <QMouseEvent>

TGridCheckBox::TGridCheckBox(TExtStringGrid* grid) : TCheckBox(grid, QStringLiteral("GridCheckBox")), m_grid(grid) { }

TGridCheckBox::~TGridCheckBox() = default;

bool TGridCheckBox::WantTab() const { return TEditorKeyProtocol::WantsTab(*m_grid); }

bool TGridCheckBox::HandsBack(int key, TShiftState) const
{
    switch (key) {
    case Win::VK_TAB:
    case Win::VK_ESCAPE:
    case Win::VK_RETURN:
    case Win::VK_PRIOR:
    case Win::VK_NEXT:
    case Win::VK_END:
    case Win::VK_LEFT:
    case Win::VK_RIGHT:
    case Win::VK_UP:
    case Win::VK_DOWN: return true;
    default: return false;
    }
}

bool TGridCheckBox::MovesGrid(int key) const
{
    return key != Win::VK_PRIOR && key != Win::VK_NEXT && key != Win::VK_END && key != Win::VK_LEFT &&
        key != Win::VK_RIGHT;
}

void TGridCheckBox::KeyDown(int& key, TShiftState shift)
{
    if (key == Win::VK_SPACE) {
        Toggle();
        key = 0;
        return;
    }
    if (!TEditorKeyProtocol::KeyDown(*m_grid, *this, key, shift)) TCheckBox::KeyDown(key, shift);
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
    if (button == TMouseButton::mbLeft) Toggle();
    TCheckBox::MouseDown(button, shift, x, y);
}

void TGridCheckBox::DoExit()
{
    m_grid->CloseEditorControl();
    TCheckBox::DoExit();
}
