#include "controls/ESGUniComboBox.h"

TESGUniComboBox::TESGUniComboBox(QWidget* parent, const QString& name) : TESGCustomCombo(parent, name) { }

void TESGUniComboBox::KeyPress(TKeyChar& key)
{
    if (key == 8) {
        if (OnKeyPress) OnKeyPress(this, key);
        return;
    }
    TESGCustomCombo::KeyPress(key);
}

void TESGUniComboBox::DefaultChar(TKeyChar ch, QKeyEvent* source)
{
    // A list has no text to take a Backspace, and searches nothing with it.
    if (ch == 8 && !isEditable()) return;
    TESGCustomCombo::DefaultChar(ch, source);
}
