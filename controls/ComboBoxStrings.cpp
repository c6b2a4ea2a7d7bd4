#include "controls/ComboBoxStrings.h"

#include "platform/core/Exception.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QVariant>

#include <algorithm>
#include <vector>

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
    int at = m_comboBox->count();
    if (m_sorted) {
        at = 0;
        while (at < m_comboBox->count() && QString::compare(m_comboBox->itemText(at), value, Qt::CaseInsensitive) <= 0)
            ++at;
    }
    m_comboBox->insertItem(at, value);
    return at;
}

void TComboBoxStrings::SetSorted(bool value)
{
    if (m_sorted == value) return;
    m_sorted = value;
    if (!m_sorted || !m_comboBox || m_comboBox->count() < 2) return;
    struct Item {
        QString Text;
        QVariant Object;
        bool Chosen;
    };
    std::vector<Item> items;
    const int chosen = m_comboBox->currentIndex();
    for (int i = 0; i < m_comboBox->count(); ++i)
        items.push_back(Item{m_comboBox->itemText(i), m_comboBox->itemData(i, kObjectRole), i == chosen});
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
        return QString::compare(a.Text, b.Text, Qt::CaseInsensitive) < 0;
    });
    // The items change places, not the text or the choice.
    const QSignalBlocker quiet(m_comboBox);
    const QString text = m_comboBox->currentText();
    for (int i = 0; i < int(items.size()); ++i) {
        m_comboBox->setItemText(i, items[size_t(i)].Text);
        m_comboBox->setItemData(i, items[size_t(i)].Object, kObjectRole);
        if (items[size_t(i)].Chosen) m_comboBox->setCurrentIndex(i);
    }
    if (m_comboBox->isEditable() && m_comboBox->currentText() != text) m_comboBox->setEditText(text);
    m_comboBox->update();
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
