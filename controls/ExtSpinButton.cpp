#include "controls/ExtSpinButton.h"

TExtSpinButton::TExtSpinButton(QWidget* parent, const QString& name) : TButtonHolder(parent, name)
{
    m_up = CreateButton(QStringLiteral("UpButton"));
    m_down = CreateButton(QStringLiteral("DownButton"));
    SetUpGlyph(nullptr);
    SetDownGlyph(nullptr);
    m_up->SetArrowDirection(adUp);
    m_down->SetArrowDirection(adDown);
    SetBounds(0, 0, 15, 25);
    m_focusedButton = m_up;
}

TExtSpinButton::~TExtSpinButton() = default;

TExtTimerSpeedButton* TExtSpinButton::CreateButton(const QString& name)
{
    auto* half = new TExtTimerSpeedButton(this, name);
    half->OnClick = [this, half](QObject*) { BtnClick(half); };
    half->OnMouseDown = [this, half](QObject*, TMouseButton button, TShiftState, int, int) {
        BtnMouseDown(half, button);
    };
    half->SetTimeBtnState(tbAllowTimer);
    half->show();
    return half;
}

QString TExtSpinButton::DefaultGlyphName(bool up) const
{
    return up ? QStringLiteral("ExtSpinUp") : QStringLiteral("ExtSpinDown");
}

void TExtSpinButton::LoadDefaultGlyphs()
{
    SetUpGlyph(nullptr);
    SetDownGlyph(nullptr);
}

void TExtSpinButton::SetHalfGlyph(bool up, const TBitmap* glyph)
{
    TExtTimerSpeedButton* half = up ? m_up : m_down;
    if (glyph) {
        half->SetGlyph(glyph);
        return;
    }
    TBitmap b;
    b.LoadFromResourceName(DefaultGlyphName(up));
    half->SetGlyph(&b);
    half->SetNumGlyphs(1);
    half->Invalidate();
}

void TExtSpinButton::SetDirection(TSpinDirection value)
{
    if (m_direction == value) return;
    m_direction = value;
    if (value == spHorizontal) {
        m_up->SetArrowDirection(adRight);
        m_down->SetArrowDirection(adLeft);
        SetBounds(Left(), Top(), 20, Height());
    } else {
        m_up->SetArrowDirection(adUp);
        m_down->SetArrowDirection(adDown);
        SetBounds(Left(), Top(), 15, Height());
    }
    int w = Width(), h = Height();
    AdjustSize(w, h);
}

void TExtSpinButton::AdjustSize(int& w, int& h)
{
    if (!m_up || !m_down) return;
    if (m_direction == spVertical) {
        if (w < 15) w = 15;
        m_up->SetBounds(0, 0, w, h / 2);
        const int upHeight = m_up->Height();
        m_down->SetBounds(0, upHeight - 1, w, h - upHeight + 1);
    } else {
        if (w < 20) w = 20;
        m_down->SetBounds(0, 0, w / 2, h);
        m_up->SetBounds(w / 2 + 1, 0, w / 2, h);
    }
}

void TExtSpinButton::BtnClick(TExtTimerSpeedButton* half)
{
    if (half == m_up) {
        if (OnUpClick) OnUpClick(this);
    } else {
        if (OnDownClick) OnDownClick(this);
    }
}

void TExtSpinButton::BtnMouseDown(TExtTimerSpeedButton* half, TMouseButton button)
{
    if (button != TMouseButton::mbLeft) return;
    SetFocusBtn(half);
    PassFocus();
}

void TExtSpinButton::SetFocusBtn(TExtTimerSpeedButton* half)
{
    if (!TabStop() || !CanFocus() || half == m_focusedButton) return;
    m_focusedButton->SetTimeBtnState(m_focusedButton->TimeBtnState() & ~tbFocusRect);
    m_focusedButton = half;
    if (Focused()) {
        m_focusedButton->SetTimeBtnState(m_focusedButton->TimeBtnState() | tbFocusRect);
        Invalidate();
    }
}

void TExtSpinButton::DoEnter()
{
    m_focusedButton->SetTimeBtnState(m_focusedButton->TimeBtnState() | tbFocusRect);
    TButtonHolder::DoEnter();
}

void TExtSpinButton::DoExit()
{
    m_focusedButton->SetTimeBtnState(m_focusedButton->TimeBtnState() & ~tbFocusRect);
    TButtonHolder::DoExit();
}

void TExtSpinButton::KeyDown(int& key, TShiftState shift)
{
    switch (key) {
    case Win::VK_UP:
        SetFocusBtn(m_up);
        m_up->Click();
        break;
    case Win::VK_DOWN:
        SetFocusBtn(m_down);
        m_down->Click();
        break;
    case Win::VK_SPACE: m_focusedButton->Click(); break;
    default: break;
    }
    TButtonHolder::KeyDown(key, shift);
}
