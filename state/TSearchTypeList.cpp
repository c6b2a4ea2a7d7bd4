#include "state/TSearchTypeList.h"

QString TSearchTypeList::Strings(int index) const
{
    const TSearchTypeRec* rec = Objects(index);
    return rec ? rec->Name : QString();
}

const TSearchTypeRec* TSearchTypeList::Objects(int index) const
{
    if (index < 0 || index >= Count()) return nullptr;
    return m_items[size_t(index)].get();
}

int TSearchTypeList::IndexOf(const QString& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[size_t(i)]->Name == name) return i;
    return -1;
}

void TSearchTypeList::AddSearchType(int id, const QString& name, const QString& field1, const QString& field2,
                                    bool showArea, bool showList, bool landUse, int items, int length)
{
    auto rec = std::make_unique<TSearchTypeRec>();
    rec->Id = id;
    rec->Name = name;
    rec->Field1 = field1;
    rec->Field2 = field2;
    rec->ShowArea = showArea;
    rec->ShowList = showList;
    rec->LandUse = landUse;
    rec->Items = items;
    rec->Length = length;
    m_items.push_back(std::move(rec));
}
