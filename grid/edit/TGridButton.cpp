#include "grid/edit/TGridButton.h"

#include "grid/TExtStringGrid.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {

// The key as the grid would get it from the keyboard (its key events fire).
void SendKeyToGrid(TExtStringGrid* grid, QEvent::Type type, int qtKey, TShiftState shift)
{
    Qt::KeyboardModifiers mods;
    if (shift.Contains(TShiftStateItem::ssShift)) mods |= Qt::ShiftModifier;
    if (shift.Contains(TShiftStateItem::ssCtrl)) mods |= Qt::ControlModifier;
    if (shift.Contains(TShiftStateItem::ssAlt)) mods |= Qt::AltModifier;
    QKeyEvent event(type, qtKey, mods);
    QCoreApplication::sendEvent(grid, &event);
}

int QtArrow(int vk)
{
    switch (vk) {
    case Win::VK_LEFT: return Qt::Key_Left;
    case Win::VK_RIGHT: return Qt::Key_Right;
    case Win::VK_UP: return Qt::Key_Up;
    default: return Qt::Key_Down;
    }
}

} // namespace

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
        SendKeyToGrid(m_grid, QEvent::KeyPress, Qt::Key_Escape, shift);
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
        SendKeyToGrid(m_grid, QEvent::KeyRelease, QtArrow(forward), shift);
        return;
    }
    TButton::KeyUp(key, shift);
}

void TGridButton::DoExit()
{
    m_grid->CloseEditorControl();
    TButton::DoExit();
}
