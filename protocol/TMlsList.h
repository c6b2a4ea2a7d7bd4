#pragma once
// The listing-service providers of the personal page: entries keyed by the
// provider's name, each with its id and name.

#include <QString>
#include <vector>

struct TMlsRec {
    QString Id;
    QString Name;
};

class TMlsList {
public:
    int Count() const { return int(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    // The entry at index; raises EListError outside the list.
    const TMlsRec& Item(int index) const;
    // The key of entry index (the provider's name).
    QString Strings(int index) const { return Item(index).Name; }

    void Add(const QString& id, const QString& name);
    void Clear() { m_items.clear(); }

private:
    std::vector<TMlsRec> m_items;
};
