#include "grid/column/TGridColumnCollection.h"

#include "grid/column/TExtColumnGrid.h"
#include "grid/column/TGridColumnItem.h"

#include <algorithm>

TGridColumnCollection::TGridColumnCollection(TExtColumnGrid* owner) : m_owner(owner) { }

TGridColumnCollection::~TGridColumnCollection() = default;

TGridColumnItem* TGridColumnCollection::Items(int index) const
{
    return index >= 0 && index < Count() ? m_items[size_t(index)].get() : nullptr;
}

int TGridColumnCollection::IndexOf(const TGridColumnItem* item) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].get() == item) return int(i);
    return -1;
}

TGridColumnItem* TGridColumnCollection::Add() { return Insert(Count()); }

TGridColumnItem* TGridColumnCollection::Insert(int index)
{
    index = std::clamp(index, 0, Count());
    auto item = std::make_unique<TGridColumnItem>(this);
    TGridColumnItem* p = item.get();
    m_items.insert(m_items.begin() + index, std::move(item));
    Update();
    return p;
}

void TGridColumnCollection::Delete(int index)
{
    if (index < 0 || index >= Count()) return;
    m_items.erase(m_items.begin() + index);
    Update();
}

void TGridColumnCollection::Move(int fromIndex, int toIndex)
{
    if (fromIndex < 0 || fromIndex >= Count() || toIndex < 0 || toIndex >= Count() || fromIndex == toIndex) return;
    std::unique_ptr<TGridColumnItem> item = std::move(m_items[size_t(fromIndex)]);
    m_items.erase(m_items.begin() + fromIndex);
    m_items.insert(m_items.begin() + toIndex, std::move(item));
}

void TGridColumnCollection::Clear()
{
    m_items.clear();
    Update();
}

void TGridColumnCollection::Assign(const TGridColumnCollection& other)
{
    if (&other == this) return;
    Lock();
    while (Count() > other.Count()) m_items.pop_back();
    while (Count() < other.Count()) m_items.push_back(std::make_unique<TGridColumnItem>(this));
    for (int i = 0; i < Count(); ++i) m_items[size_t(i)]->Assign(*other.m_items[size_t(i)]);
    Unlock();
    Update();
}

void TGridColumnCollection::Update()
{
    if (!Locked() && m_owner) m_owner->ColumnsChanged();
}
