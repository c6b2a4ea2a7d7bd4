#include "grid/hidden/THiddenRows.h"

#include <algorithm>
#include <iterator>

namespace {

bool ByIdx(const TGridItem& a, const TGridItem& b) { return a.Idx < b.Idx; }

// As the visible rows' cells move: a row holds cells up to its last one set.
template <class T>
void MoveCell(std::vector<T>& v, int from, int to)
{
    if (v.size() <= size_t(from) && v.size() <= size_t(to)) return; // both empty
    const size_t need = size_t(std::max(from, to)) + 1;
    if (v.size() < need) v.resize(need);
    const auto first = v.begin();
    if (from < to)
        std::rotate(first + from, first + from + 1, first + to + 1);
    else
        std::rotate(first + to, first + from, first + from + 1);
}

template <class T>
void InsertCells(std::vector<T>& v, int col, int count)
{
    if (size_t(col) < v.size()) v.insert(v.begin() + col, size_t(count), T());
}

} // namespace

bool THiddenRows::IsHidden(int realRow) const
{
    const auto it = std::lower_bound(m_items.begin(), m_items.end(), realRow,
                                     [](const TGridItem& item, int r) { return item.Idx < r; });
    return it != m_items.end() && it->Idx == realRow;
}

int THiddenRows::HiddenBefore(int realRow) const
{
    return int(std::lower_bound(m_items.begin(), m_items.end(), realRow,
                                [](const TGridItem& item, int r) { return item.Idx < r; }) -
               m_items.begin());
}

int THiddenRows::RealRowIndex(int displRow) const
{
    if (displRow < 0) return -1;
    // Item k has Idx - k visible rows before it; those with at most displRow
    // lie before the wanted row.
    size_t lo = 0;
    size_t hi = m_items.size();
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (m_items[mid].Idx - int(mid) <= displRow)
            lo = mid + 1;
        else
            hi = mid;
    }
    return displRow + int(lo);
}

void THiddenRows::Add(std::vector<TGridItem>&& items)
{
    if (items.empty()) return;
    std::sort(items.begin(), items.end(), ByIdx);
    const auto middle =
        m_items.insert(m_items.end(), std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
    std::inplace_merge(m_items.begin(), middle, m_items.end(), ByIdx);
}

std::vector<TGridItem> THiddenRows::Take(int fromRow, int toRow)
{
    const auto first = std::lower_bound(m_items.begin(), m_items.end(), fromRow,
                                        [](const TGridItem& item, int r) { return item.Idx < r; });
    const auto last =
        std::upper_bound(first, m_items.end(), toRow, [](int r, const TGridItem& item) { return r < item.Idx; });
    std::vector<TGridItem> taken(std::make_move_iterator(first), std::make_move_iterator(last));
    m_items.erase(first, last);
    return taken;
}

void THiddenRows::RowsInserted(int displRow, int count)
{
    if (count <= 0) return;
    for (size_t k = 0; k < m_items.size(); ++k) {
        if (m_items[k].Idx - int(k) > displRow) m_items[k].Idx += count;
    }
}

void THiddenRows::RowsRemoved(int displRow, int count)
{
    if (count <= 0) return;
    for (size_t k = 0; k < m_items.size(); ++k) {
        const int before = m_items[k].Idx - int(k);
        if (before > displRow) m_items[k].Idx = std::max(displRow, before - count) + int(k);
    }
}

void THiddenRows::RowsReordered(const std::function<int(int)>& newDisplay)
{
    if (m_items.empty()) return;
    // Visible rows before each hidden row once the visible rows moved: one
    // more than the new place of the row above it.
    std::vector<std::pair<int, size_t>> keys;
    keys.reserve(m_items.size());
    for (size_t k = 0; k < m_items.size(); ++k) {
        const int before = m_items[k].Idx - int(k);
        keys.emplace_back(before == 0 ? 0 : newDisplay(before - 1) + 1, k);
    }
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<TGridItem> items;
    items.reserve(m_items.size());
    for (size_t k = 0; k < keys.size(); ++k) {
        items.push_back(std::move(m_items[keys[k].second]));
        items.back().Idx = keys[k].first + int(k);
    }
    m_items = std::move(items);
}

void THiddenRows::RowMoved(int from, int to)
{
    if (from == to) return;
    RowsReordered([from, to](int p) {
        if (p == from) return to;
        if (from < to && p > from && p <= to) return p - 1;
        if (from > to && p >= to && p < from) return p + 1;
        return p;
    });
}

void THiddenRows::ColumnMoved(int from, int to)
{
    if (from == to || from < 0 || to < 0) return;
    for (TGridItem& item : m_items) {
        MoveCell(item.Items.Texts, from, to);
        MoveCell(item.Items.Objects, from, to);
    }
}

void THiddenRows::ColumnsInserted(int col, int count)
{
    if (count <= 0 || col < 0) return;
    for (TGridItem& item : m_items) {
        InsertCells(item.Items.Texts, col, count);
        InsertCells(item.Items.Objects, col, count);
    }
}

std::vector<int> THiddenRows::Indices() const
{
    std::vector<int> out;
    out.reserve(m_items.size());
    for (const TGridItem& item : m_items) out.push_back(item.Idx);
    return out;
}
