#pragma once
// One half of a spin button pair: a speed button that clicks once when
// pressed and then repeats its click while it is held (first after 400 ms,
// then every 100 ms), none on release. It repeats only while it is down,
// that is while the left button holds it and the mouse is over it; moving
// off stops the repeats and moving back while still held resumes them. It
// draws its arrow through the visual style ("spin" class) when one is in
// use, else as a scroll arrow (left and right) or as a speed button with its
// glyph (up and down).

#include "platform/widgets/SpeedButton.h"

class QTimer;

enum TArrowDirection { adLeft, adRight, adUp, adDown };

// TimeBtnState flags.
using TTimeBtnState = unsigned;
enum : unsigned {
    tbFocusRect = 1u << 0,  // the half carries the focus mark
    tbAllowTimer = 1u << 1, // holding the half repeats its click
};

class TExtTimerSpeedButton : public TSpeedButton {
public:
    explicit TExtTimerSpeedButton(QWidget* parent, const QString& name = QString());
    ~TExtTimerSpeedButton() override;

    TTimeBtnState TimeBtnState() const { return m_timeBtnState; }
    void SetTimeBtnState(TTimeBtnState value);
    TArrowDirection ArrowDirection() const { return m_arrowDirection; }
    void SetArrowDirection(TArrowDirection value);
    // Set at creation on platform version 5.1 and later.
    bool IsWinXP() const { return m_isWinXP; }
    // The mouse is over the half.
    bool Hot() const { return m_hot; }

    // The repeat timer (made on the first press; nullptr before).
    QTimer* RepeatTimer() const { return m_repeatTimer; }
    // The timer's tick: the interval becomes 100 ms and the half clicks
    // when it is still down and holds the mouse.
    void TimerExpired();

    // The visual style of the grid's halves: used whenever the flag is set,
    // without asking the platform. Once set, the flag decides.
    void SetButtonStyleFlag(bool value);
    bool ButtonStyleFlag() const { return m_styleFlag; }

    // The visual style is used for the next paint.
    bool DoVisualStyles() const;
    // The theme part and state of the half as it is now.
    int ThemePart() const;
    int ThemeState() const;

protected:
    void Paint(TCanvas& canvas) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    bool ClickOnRelease() const override { return false; }

private:
    QTimer* m_repeatTimer = nullptr;
    TTimeBtnState m_timeBtnState = 0;
    TArrowDirection m_arrowDirection = adUp;
    bool m_isWinXP = false;
    bool m_hot = false;
    bool m_styleFlagSet = false;
    bool m_styleFlag = false;
};
