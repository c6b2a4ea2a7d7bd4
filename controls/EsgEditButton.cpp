#include "controls/EsgEditButton.h"

TEsgEditButton::TEsgEditButton(QWidget* parent, const QString& name) : TButtonHolder(parent, name)
{
    SetClickEvents(false);
    m_button = new TExtSpeedButton(this, QStringLiteral("Button"));
    m_button->OnMouseUp = [this](QObject*, TMouseButton button, TShiftState, int, int) { ButtonMouseUp(button); };
    m_button->SetGlyph(nullptr);
    m_button->show();
    SetBounds(0, 0, 20, 25);
}

TEsgEditButton::~TEsgEditButton() = default;

void TEsgEditButton::SetFlat(bool value)
{
    m_flat = value;
    m_button->SetFlat(value);
}

void TEsgEditButton::AdjustSize(int& w, int& h)
{
    if (!m_button) return;
    if (w < 15) w = 15;
    m_button->SetBounds(0, 0, w, h);
}

void TEsgEditButton::ButtonMouseUp(TMouseButton button)
{
    if (button != TMouseButton::mbLeft) return;
    QPointer<QWidget> alive(this);
    if (OnClick) OnClick(this);
    if (alive) PassFocus();
}
