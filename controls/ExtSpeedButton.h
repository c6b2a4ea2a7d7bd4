#pragma once
// The button inside an edit-with-button editor: a speed button painted as a
// push button through the visual style (IsWinXP), as a classic push button,
// or flat with a thin raised or sunken edge, with its glyph centred and its
// caption near the top-left corner.

#include "platform/widgets/SpeedButton.h"

class TExtSpeedButton : public TSpeedButton {
public:
    explicit TExtSpeedButton(QWidget* parent, const QString& name = QString());

    // Paint through the visual style ("button" class).
    bool IsWinXP() const { return m_isWinXP; }
    void SetIsWinXP(bool value);
    // The button's own flat look (the speed button's flat style is not used).
    bool Flat() const { return m_ownFlat; }
    void SetFlat(bool value);
    bool Hot() const { return m_hot; }

protected:
    void Paint(TCanvas& canvas) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    bool m_isWinXP = false;
    bool m_ownFlat = false;
    bool m_hot = false;
};
