#pragma once
// The column items of a column grid, in column order, owned here. A change
// of an item notifies the collection, which lets the grid follow (column
// count, repaint) unless the collection is locked while the grid itself
// adds or removes items.

#include <memory>
#include <vector>

class TExtColumnGrid;
class TGridColumnItem;

class TGridColumnCollection {
public:
    explicit TGridColumnCollection(TExtColumnGrid* owner);
    TGridColumnCollection(const TGridColumnCollection&) = delete;
    TGridColumnCollection& operator=(const TGridColumnCollection&) = delete;
    ~TGridColumnCollection();

    TExtColumnGrid* Owner() const { return m_owner; }
    int Count() const { return int(m_items.size()); }
    TGridColumnItem* Items(int index) const;
    TGridColumnItem* operator[](int index) const { return Items(index); }
    int IndexOf(const TGridColumnItem* item) const;

    TGridColumnItem* Add();
    // A new item at index (clamped to the ends).
    TGridColumnItem* Insert(int index);
    void Delete(int index);
    // The item itself moves (no copy), as a column does.
    void Move(int fromIndex, int toIndex);
    void Clear();
    // As many items as the other, each a copy of its counterpart.
    void Assign(const TGridColumnCollection& other);

    bool Locked() const { return m_locked > 0; }
    void Lock() { ++m_locked; }
    void Unlock()
    {
        if (m_locked > 0) --m_locked;
    }
    // An item changed: the grid follows unless locked.
    void Update();

private:
    TExtColumnGrid* m_owner;
    std::vector<std::unique_ptr<TGridColumnItem>> m_items;
    int m_locked = 0;
};
