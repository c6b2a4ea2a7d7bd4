#pragma once
// The grid's wide-text combo box: the flat combo whose items and text are
// Unicode (as every Qt combo's are). Backspace is given to OnKeyPress only
// and never starts a search in a list.

#include "controls/ESGCustomCombo.h"

class TESGUniComboBox : public TESGCustomCombo {
public:
    explicit TESGUniComboBox(QWidget* parent, const QString& name = QString());

protected:
    void KeyPress(TKeyChar& key) override;
    void DefaultChar(TKeyChar ch, QKeyEvent* source) override;
};
