#include "controls/ExtTimerSpeedButton.h"

#include "platform/graphics/Themes.h"
#include "platform/kernel/Application.h"

#include <QTimer>

namespace {

constexpr int kFirstDelay = 400;
constexpr int kRepeatDelay = 100;

} // namespace

TExtTimerSpeedButton::TExtTimerSpeedButton(QWidget* parent, const QString& name) : TSpeedButton(parent, name)
{
    m_isWinXP = Win32MajorVersion() > 5 || (Win32MajorVersion() == 5 && Win32MinorVersion() >= 1);
    setCursor(Qt::ArrowCursor);
}

TExtTimerSpeedButton::~TExtTimerSpeedButton() { delete m_repeatTimer; }

void TExtTimerSpeedButton::SetTimeBtnState(TTimeBtnState value)
{
    if (m_timeBtnState == value) return;
    m_timeBtnState = value;
    Invalidate();
}

void TExtTimerSpeedButton::SetArrowDirection(TArrowDirection value)
{
    if (m_arrowDirection == value) return;
    m_arrowDirection = value;
    Invalidate();
}

void TExtTimerSpeedButton::SetButtonStyleFlag(bool value)
{
    m_styleFlagSet = true;
    m_styleFlag = value;
    Invalidate();
}

bool TExtTimerSpeedButton::DoVisualStyles() const
{
    if (m_styleFlagSet) return m_styleFlag;
    return m_isWinXP && ThemeLibraryLoaded() && IsThemeActive();
}

void TExtTimerSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    QPointer<QWidget> alive(this);
    TSpeedButton::MouseDown(button, shift, x, y);
    if (!alive) return;
    if (button == TMouseButton::mbLeft && IsDown()) {
        // One click at once; the timer brings the repeats.
        Click();
        if (!alive) return;
        if (m_timeBtnState & tbAllowTimer) {
            if (!m_repeatTimer) {
                m_repeatTimer = new QTimer();
                QObject::connect(m_repeatTimer, &QTimer::timeout, this,
                                 [this] { GuardedCall(this, [this] { TimerExpired(); }); });
            }
            m_repeatTimer->setInterval(kFirstDelay);
            m_repeatTimer->start();
        }
    }
    if (QWidget* p = parentWidget()) p->update();
}

void TExtTimerSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    QPointer<QWidget> alive(this);
    TSpeedButton::MouseUp(button, shift, x, y);
    if (!alive) return;
    if (m_repeatTimer) m_repeatTimer->stop();
    if (QWidget* p = parentWidget()) p->update();
}

void TExtTimerSpeedButton::TimerExpired()
{
    if (m_repeatTimer) m_repeatTimer->setInterval(kRepeatDelay);
    if (IsDown() && MouseCaptured()) {
        try {
            Click();
        } catch (...) {
            if (m_repeatTimer) m_repeatTimer->stop();
            throw;
        }
    }
}

void TExtTimerSpeedButton::MouseEnter()
{
    TSpeedButton::MouseEnter();
    m_hot = true;
    Invalidate();
}

void TExtTimerSpeedButton::MouseLeave()
{
    TSpeedButton::MouseLeave();
    m_hot = false;
    Invalidate();
}

int TExtTimerSpeedButton::ThemePart() const
{
    switch (m_arrowDirection) {
    case adLeft: return Win::SPNP_DOWNHORZ;
    case adRight: return Win::SPNP_UPHORZ;
    case adUp: return Win::SPNP_UP;
    case adDown: return Win::SPNP_DOWN;
    }
    return Win::SPNP_UP;
}

int TExtTimerSpeedButton::ThemeState() const
{
    if (IsDown()) return Win::UPS_PRESSED;
    if (m_hot) return Win::UPS_HOT;
    return Win::UPS_NORMAL;
}

void TExtTimerSpeedButton::Paint(TCanvas& canvas)
{
    TRect r(0, 0, width(), height());
    if (DoVisualStyles()) {
        HTHEME theme = OpenThemeData(parentWidget() ? parentWidget() : this, QStringLiteral("spin"));
        const bool drawn = DrawThemeBackground(theme, canvas, ThemePart(), ThemeState(), r);
        CloseThemeData(theme);
        if (drawn) return;
    }
    if (m_arrowDirection == adLeft || m_arrowDirection == adRight) {
        unsigned state = m_arrowDirection == adLeft ? Win::DFCS_SCROLLLEFT : Win::DFCS_SCROLLRIGHT;
        if (IsDown()) state |= Win::DFCS_PUSHED;
        if (Flat()) state |= Win::DFCS_FLAT;
        if (!isEnabled()) state |= Win::DFCS_INACTIVE;
        canvas.DrawFrameControl(r, Win::DFC_SCROLL, state);
        return;
    }
    TSpeedButton::Paint(canvas);
    if (m_timeBtnState & tbFocusRect) {
        TRect f = r.Inflated(-3, -3);
        if (IsDown()) f.Offset(1, 1);
        canvas.Font().SetColor(clBtnText);
        canvas.Brush().SetColor(clBtnFace);
        canvas.DrawFocusRect(f);
    }
}
