#pragma once
// The validation problems of the last validation, in the order found.

#include "protocol/xml/TError.h"

#include <QList>
#include <QString>
#include <QStringList>

class TErrorsList {
public:
    void Add(const QString& message, TXMLNode* node) { m_items.append(TError(message, node)); }
    int Count() const { return int(m_items.size()); }
    bool IsEmpty() const { return m_items.isEmpty(); }
    const TError& Items(int index) const { return m_items.at(index); }
    const TError& operator[](int index) const { return m_items.at(index); }
    void Clear() { m_items.clear(); }
    QStringList Messages() const;

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    QList<TError> m_items;
};
