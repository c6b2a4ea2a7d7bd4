#include "grid/edit/TEditLink.h"

#include "grid/TExtStringGrid.h"

#include <QWidget>

TEditLink::TEditLink(QObject* owner) : QObject(owner) {}

TEditLink::~TEditLink()
{
    // The editor lives in the popup; take it out before the form goes.
    if (m_popup) DestroyEditor();
}

void TEditLink::SetPopupForm(std::unique_ptr<QWidget> form)
{
    FreePopupForm();
    m_popup = std::move(form);
}

void TEditLink::FreePopupForm()
{
    m_popup.reset();
}

void TEditLink::CreateEditor(QWidget*) {}
void TEditLink::DestroyEditor() {}

void TEditLink::PlaceEditor(const TRect& rect)
{
    QWidget* c = EditControl();
    if (!c) return;
    const int line = m_grid ? m_grid->GridLineWidth() : 0;
    c->setGeometry(rect.Left, rect.Top, rect.Width() - line, rect.Height() - line);
}

void TEditLink::ShowEditor(bool visible)
{
    if (QWidget* c = EditControl()) c->setVisible(visible);
}

void TEditLink::ApplyColors(TColor, const TFont&) {}

void TEditLink::FocusEditor(bool focus)
{
    if (focus) {
        if (QWidget* c = EditControl()) c->setFocus(Qt::OtherFocusReason);
    } else if (m_grid) {
        m_grid->setFocus(Qt::OtherFocusReason);
    }
}
