#include "protocol/TMlsList.h"

#include "platform/core/Exception.h"

const TMlsRec& TMlsList::Item(int index) const
{
    if (index < 0 || index >= Count()) throw EListError::IndexOutOfBounds(index);
    return m_items[size_t(index)];
}

void TMlsList::Add(const QString& id, const QString& name) { m_items.push_back({id, name}); }
