#include "platform/widgets/StatusBar.h"

#include <QLabel>

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent) { setSizeGripEnabled(false); }

int TStatusBar::AddPanel(int width)
{
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("Panel%1").arg(m_panels.size()));
    label->setFixedWidth(width);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    addWidget(label);
    m_panels.append(label);
    return int(m_panels.size()) - 1;
}

QString TStatusBar::PanelText(int index) const
{
    return index >= 0 && index < m_panels.size() ? m_panels[index]->text() : QString();
}

void TStatusBar::SetPanelText(int index, const QString& text)
{
    if (index >= 0 && index < m_panels.size()) m_panels[index]->setText(text);
}
