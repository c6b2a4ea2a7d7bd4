#include "forms/TRadioGroup.h"

#include "platform/kernel/Application.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QRadioButton>

TRadioGroup::TRadioGroup(QWidget* parent, const QString& name, const QString& caption) : QGroupBox(caption, parent)
{
    setObjectName(name);
    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    connect(m_group, &QButtonGroup::idClicked, this, [this](int) {
        if (OnClick) GuardedCall(this, [this] { OnClick(this); });
    });
}

void TRadioGroup::SetItems(const QStringList& items)
{
    for (QAbstractButton* b : m_group->buttons()) {
        m_group->removeButton(b);
        delete b;
    }
    m_items = items;
    int y = 18;
    for (int i = 0; i < items.size(); ++i) {
        // Qt shows "&&" as one ampersand, as the class library does.
        auto* b = new QRadioButton(items[i], this);
        b->setObjectName(objectName() + QString::number(i));
        b->setGeometry(8, y, width() - 16, 18);
        b->show();
        m_group->addButton(b, i);
        y += 20;
    }
}

int TRadioGroup::ItemIndex() const { return m_group->checkedId(); }

void TRadioGroup::SetItemIndex(int index)
{
    if (QAbstractButton* b = m_group->button(index)) {
        b->setChecked(true);
        return;
    }
    if (QAbstractButton* checked = m_group->checkedButton()) {
        m_group->setExclusive(false);
        checked->setChecked(false);
        m_group->setExclusive(true);
    }
}
