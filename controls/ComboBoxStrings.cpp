#include "controls/ComboBoxStrings.h"

#include "platform/core/Exception.h"

#include <QComboBox>
#include <QVariant>

namespace {

constexpr int kObjectRole = Qt::UserRole + 77;

EOutOfResources InsertError() { return EOutOfResources(QStringLiteral("Unable to insert a line")); }

} // namespace

TComboBoxStrings::TComboBoxStrings(QComboBox* comboBox) : m_comboBox(comboBox) { }

TComboBoxStrings::~TComboBoxStrings() = default;

void TComboBoxStrings::CheckIndex(int index) const
{
    if (!m_comboBox || index < 0 || index >= m_comboBox->count()) throw EListError::IndexOutOfBounds(index);
}

QString TComboBoxStrings::Get(int index) const
{
    if (!m_comboBox || index < 0 || index >= m_comboBox->count()) return QString();
    return m_comboBox->itemText(index);
}

int TComboBoxStrings::Count() const { return m_comboBox ? m_comboBox->count() : 0; }

QObject* TComboBoxStrings::GetObject(int index) const
{
    CheckIndex(index);
    return m_comboBox->itemData(index, kObjectRole).value<QObject*>();
}

void TComboBoxStrings::PutObject(int index, QObject* object)
{
    CheckIndex(index);
    m_comboBox->setItemData(index, QVariant::fromValue(object), kObjectRole);
}

int TComboBoxStrings::Add(const QString& value)
{
    if (!m_comboBox) throw InsertError();
    m_comboBox->addItem(value);
    return m_comboBox->count() - 1;
}

void TComboBoxStrings::Insert(int index, const QString& value)
{
    if (!m_comboBox || index < -1 || index > m_comboBox->count()) throw InsertError();
    m_comboBox->insertItem(index < 0 ? m_comboBox->count() : index, value);
}

void TComboBoxStrings::Clear()
{
    if (!m_comboBox) return;
    const QString text = m_comboBox->currentText();
    m_comboBox->clear();
    if (m_comboBox->isEditable()) m_comboBox->setEditText(text);
    m_comboBox->update();
}

void TComboBoxStrings::Delete(int index)
{
    if (m_comboBox && index >= 0 && index < m_comboBox->count()) m_comboBox->removeItem(index);
}

int TComboBoxStrings::IndexOf(const QString& value) const { return TWideStrings::IndexOf(value); }

void TComboBoxStrings::SetUpdateState(bool updating)
{
    if (m_comboBox) m_comboBox->setUpdatesEnabled(!updating);
}
