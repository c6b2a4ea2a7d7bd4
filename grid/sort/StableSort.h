#pragma once
// The stable sort of the grid's row sorts: a bottom-up merge sort over a
// range of small items (row indices, or keys with their row). It never
// reads or writes outside the range whatever the comparison answers (an
// inconsistent event handler gives an odd order, never a crash), it takes
// no recursion at all, and its work is n log n comparisons at worst.
// less(a, b) answers whether a goes before b; equal items keep their order.

#include <algorithm>
#include <cstddef>
#include <vector>

template <class T, class Less>
void StableSortRange(T* items, std::size_t n, Less less)
{
    if (n < 2) return;
    constexpr std::size_t run = 24;
    // Short runs by insertion, each step bounded by the run's start.
    for (std::size_t start = 0; start < n; start += run) {
        const std::size_t end = std::min(n, start + run);
        for (std::size_t i = start + 1; i < end; ++i) {
            const T value = items[i];
            std::size_t j = i;
            while (j > start && less(value, items[j - 1])) {
                items[j] = items[j - 1];
                --j;
            }
            items[j] = value;
        }
    }
    if (n <= run) return;
    std::vector<T> buffer(n);
    T* from = items;
    T* to = buffer.data();
    for (std::size_t width = run; width < n; width *= 2) {
        for (std::size_t left = 0; left < n; left += 2 * width) {
            const std::size_t mid = std::min(n, left + width);
            const std::size_t right = std::min(n, left + 2 * width);
            if (mid >= right || !less(from[mid], from[mid - 1])) {
                // Already in order (or a lone run): one copy.
                std::copy(from + left, from + right, to + left);
                continue;
            }
            std::size_t i = left;
            std::size_t j = mid;
            std::size_t k = left;
            while (i < mid && j < right) to[k++] = less(from[j], from[i]) ? from[j++] : from[i++];
            while (i < mid) to[k++] = from[i++];
            while (j < right) to[k++] = from[j++];
        }
        std::swap(from, to);
    }
    if (from != items) std::copy(from, from + n, items);
}

template <class Less>
void StableSortIndices(std::vector<int>& items, Less less)
{
    StableSortRange(items.data(), items.size(), less);
}
