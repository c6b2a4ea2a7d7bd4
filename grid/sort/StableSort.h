#pragma once
// The stable sort of the grid's row sorts: a bottom-up merge sort over a
// vector of row indices. It never reads or writes outside the vector
// whatever the comparison answers (an inconsistent event handler gives an
// odd order, never a crash), it takes no recursion at all, and its work is
// n log n comparisons at worst. less(a, b) answers whether a goes before b;
// equal rows keep their order.

#include <algorithm>
#include <cstddef>
#include <vector>

template <class Less>
void StableSortIndices(std::vector<int>& items, Less less)
{
    const std::size_t n = items.size();
    if (n < 2) return;
    constexpr std::size_t run = 24;
    // Short runs by insertion, each step bounded by the run's start.
    for (std::size_t start = 0; start < n; start += run) {
        const std::size_t end = std::min(n, start + run);
        for (std::size_t i = start + 1; i < end; ++i) {
            const int value = items[i];
            std::size_t j = i;
            while (j > start && less(value, items[j - 1])) {
                items[j] = items[j - 1];
                --j;
            }
            items[j] = value;
        }
    }
    if (n <= run) return;
    std::vector<int> buffer(n);
    std::vector<int>* from = &items;
    std::vector<int>* to = &buffer;
    for (std::size_t width = run; width < n; width *= 2) {
        for (std::size_t left = 0; left < n; left += 2 * width) {
            const std::size_t mid = std::min(n, left + width);
            const std::size_t right = std::min(n, left + 2 * width);
            std::size_t i = left;
            std::size_t j = mid;
            std::size_t k = left;
            const int* src = from->data();
            int* dst = to->data();
            if (mid < right && !less(src[mid], src[mid - 1])) {
                // Already in order: one copy.
                std::copy(src + left, src + right, dst + left);
                continue;
            }
            while (i < mid && j < right) dst[k++] = less(src[j], src[i]) ? src[j++] : src[i++];
            while (i < mid) dst[k++] = src[i++];
            while (j < right) dst[k++] = src[j++];
        }
        std::swap(from, to);
    }
    if (from != &items) items.swap(buffer);
}
