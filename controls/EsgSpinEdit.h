#pragma once
// The grid's spin editor: an edit holding an integer, a float, a date or a
// time, with the grid's button pair at its right edge. Up and Down step the
// value before any key-down handler sees them; dates and times step the
// part under the caret (times wrap round midnight going down); Enter can
// become Tab so that the grid moves on. The shared rules and the
// differences from the form's spin edit are in SpinEditCore.h.

#include "controls/EsgSpinButton.h"
#include "controls/SpinEditCore.h"

using TEsgSpinType = TExtSpinType; // without sptHex, which the editor ignores

class TEsgSpinEdit : public TSpinEditCore {
public:
    explicit TEsgSpinEdit(QWidget* parent, const QString& name = QString());
    ~TEsgSpinEdit() override;

    TEsgSpinButton* SpinButton() const { return static_cast<TEsgSpinButton*>(Button()); }
    // The grid's visual-style flag, handed to the button pair.
    void SetButtonStyleFlag(bool value);
    bool ButtonStyleFlag() const { return m_buttonStyleFlag; }

protected:
    void KeyDownMessage(int& key, TShiftState shift) override;
    void KeyDown(int& key, TShiftState shift) override;

private:
    bool m_buttonStyleFlag = false;
};
