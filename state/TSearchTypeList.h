#pragma once
// The comps search types of the login answer, keyed by name.

#include <QString>
#include <memory>
#include <vector>

struct TSearchTypeRec {
    bool ShowArea = false;
    int Id = 0;
    int Items = 0;
    QString Name;
    bool ShowList = false;
    QString Field1;
    int Length = 0;
    QString Field2;
    bool LandUse = false;
};

class TSearchTypeList {
public:
    int Count() const { return int(m_items.size()); }
    QString Strings(int index) const;
    // The record of entry index; nullptr outside the list.
    const TSearchTypeRec* Objects(int index) const;
    int IndexOf(const QString& name) const;

    void AddSearchType(int id, const QString& name, const QString& field1, const QString& field2, bool showArea,
                       bool showList, bool landUse, int items, int length);
    void Clear() { m_items.clear(); }

private:
    std::vector<std::unique_ptr<TSearchTypeRec>> m_items;
};
