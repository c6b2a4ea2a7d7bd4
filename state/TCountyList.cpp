#include "state/TCountyList.h"

QString TCountyList::Strings(int index) const
{
    const auto rec = Objects(index);
    return rec ? rec->Name : QString();
}

std::shared_ptr<const TCountyRec> TCountyList::Objects(int index) const
{
    if (index < 0 || index >= Count()) return nullptr;
    return m_items[size_t(index)];
}

int TCountyList::IndexOf(const QString& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[size_t(i)]->Name == name) return i;
    return -1;
}

void TCountyList::AddCounty(int id, const QString& name, const QString& apnMap, bool photos, bool hazards)
{
    auto rec = std::make_shared<TCountyRec>();
    rec->Id = id;
    rec->Name = name;
    rec->ApnMap = apnMap;
    rec->Photos = photos;
    rec->Hazards = hazards;
    m_items.push_back(std::move(rec));
}
