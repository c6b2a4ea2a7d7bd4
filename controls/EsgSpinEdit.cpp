#include "controls/EsgSpinEdit.h"

TEsgSpinEdit::TEsgSpinEdit(QWidget* parent, const QString& name) : TSpinEditCore(parent, name, Dialect::Esg) { }

TEsgSpinEdit::~TEsgSpinEdit() = default;

void TEsgSpinEdit::SetButtonStyleFlag(bool value)
{
    m_buttonStyleFlag = value;
    SpinButton()->SetButtonStyleFlag(value);
}

void TEsgSpinEdit::KeyDownMessage(int& key, TShiftState shift)
{
    // The arrows step at the key-down message itself: no handler sees them.
    if (key == Win::VK_UP || key == Win::VK_DOWN) {
        if (key == Win::VK_UP)
            StepUp();
        else
            StepDown();
        key = 0;
        return;
    }
    TSpinEditCore::KeyDownMessage(key, shift);
}

void TEsgSpinEdit::KeyDown(int& key, TShiftState shift)
{
    if (key == Win::VK_RETURN && ReturnIsTab()) {
        key = Win::VK_TAB;
        PostKeyDown(this, Win::VK_TAB);
    }
    if (key == Win::VK_DELETE && !EditorEnabled()) key = 0;
    TSpinEditCore::KeyDown(key, shift);
}
