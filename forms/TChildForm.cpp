#include "forms/TChildForm.h"

#include "platform/core/Exception.h"
#include "platform/widgets/Panel.h"

TPanel* TChildForm::PanelOf(QObject* owner)
{
    auto* panel = qobject_cast<TPanel*>(owner);
    if (!panel) throw EInvalidCast();
    return panel;
}

TChildForm::TChildForm(QObject* owner) : TForm(PanelOf(owner)), m_panel(PanelOf(owner))
{
    setWindowFlags(Qt::Widget);
    setAttribute(Qt::WA_StyledBackground, true);
    setAutoFillBackground(true);
}

void TChildForm::Loaded()
{
    FitToPanel();
    show();
}

void TChildForm::FitToPanel()
{
    if (!m_panel || m_fitting) return;
    m_fitting = true;
    setGeometry(m_panel->contentsRect());
    m_fitting = false;
}

void TChildForm::resizeEvent(QResizeEvent* event)
{
    TForm::resizeEvent(event);
    FitToPanel();
}
