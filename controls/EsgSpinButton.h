#pragma once
// The button pair of the grid's spin editor: the spin edit's pair with the
// grid's glyphs ("EsgSpinUp", "EsgSpinDown") and the visual style taken from
// the grid's flag instead of the platform.

#include "controls/ExtSpinButton.h"

class TEsgSpinButton : public TExtSpinButton {
public:
    explicit TEsgSpinButton(QWidget* parent, const QString& name = QString());

    // Stores the flag and sets it on both halves.
    void SetButtonStyleFlag(bool value);
    bool ButtonStyleFlag() const { return m_styleFlag; }

protected:
    QString DefaultGlyphName(bool up) const override;

private:
    bool m_styleFlag = false;
};
