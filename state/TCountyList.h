#pragma once
// The counties of the login answer: display names ("name - state") with
// their records.

#include <QString>
#include <memory>
#include <vector>

struct TCountyRec {
    bool Photos = false;  // house photos are available
    bool Hazards = false; // hazard maps are available
    int Id = 0;
    QString Name; // name + " - " + state
    QString ApnMap;
};

class TCountyList {
public:
    int Count() const { return int(m_items.size()); }
    // The display name of entry index.
    QString Strings(int index) const;
    // The record of entry index; nullptr outside the list.
    std::shared_ptr<const TCountyRec> Objects(int index) const;
    // The index of the first entry with this display name, -1 when none.
    int IndexOf(const QString& name) const;

    void AddCounty(int id, const QString& name, const QString& apnMap, bool photos, bool hazards);
    // Empties the list. A record still held elsewhere (the current county)
    // lives on there.
    void Clear() { m_items.clear(); }

private:
    std::vector<std::shared_ptr<const TCountyRec>> m_items;
};
