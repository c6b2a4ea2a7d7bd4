#include "platform/widgets/Panel.h"

#include <QPalette>

TPanel::TPanel(QWidget* parent) : QFrame(parent)
{
    setAutoFillBackground(true);
    SetBevelOuter(m_bevel);
    SetColor(m_color);
}

void TPanel::SetBevelOuter(TPanelBevel bevel)
{
    m_bevel = bevel;
    switch (bevel) {
    case TPanelBevel::bvNone: setFrameStyle(QFrame::NoFrame); break;
    case TPanelBevel::bvLowered: setFrameStyle(QFrame::Panel | QFrame::Sunken); break;
    case TPanelBevel::bvRaised: setFrameStyle(QFrame::Panel | QFrame::Raised); break;
    }
    setLineWidth(1);
}

void TPanel::SetColor(TColor color)
{
    m_color = color;
    QPalette p = palette();
    p.setColor(QPalette::Window, ToQColor(color));
    setPalette(p);
}

void TPanel::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    if (OnResize) OnResize(this);
}
