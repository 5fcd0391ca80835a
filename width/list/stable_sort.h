#pragma once
// A stable merge sort over an index permutation. It only ever compares elements inside the
// range and moves each element exactly once per merge, so it finishes and keeps every element
// whatever the comparison answers, also when the comparison is inconsistent (a column that
// mixes numbers and words). std::sort and std::stable_sort give no such promise.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace fallowmere {

// Sorts `items` so that an element goes before an earlier one only when `before(later,
// earlier)` says so; elements that compare equal keep their order.
template <typename T, typename Before> void safeStableSort(std::vector<T>& items, Before before) {
    const size_t n = items.size();
    if (n < 2)
        return;
    constexpr size_t kRun = 24;
    // Binary insertion sort of short runs: few comparisons, which matters when comparing
    // collation keys. The search stays inside the run whatever the comparison answers.
    for (size_t lo = 0; lo < n; lo += kRun) {
        const size_t hi = std::min(lo + kRun, n);
        for (size_t i = lo + 1; i < hi; ++i) {
            // The first position in [lo, i) whose element x goes before; x goes there.
            size_t left = lo, right = i;
            while (left < right) {
                const size_t mid = left + (right - left) / 2;
                if (before(items[i], items[mid]))
                    right = mid;
                else
                    left = mid + 1;
            }
            if (left == i)
                continue;
            T x = std::move(items[i]);
            for (size_t j = i; j > left; --j)
                items[j] = std::move(items[j - 1]);
            items[left] = std::move(x);
        }
    }
    // Bottom-up merges, alternating between the items and a buffer.
    std::vector<T> buffer(n);
    std::vector<T>* from = &items;
    std::vector<T>* to = &buffer;
    for (size_t width = kRun; width < n; width *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * width) {
            const size_t mid = std::min(lo + width, n);
            const size_t hi = std::min(lo + 2 * width, n);
            size_t l = lo, r = mid, out = lo;
            while (l < mid && r < hi) {
                if (before((*from)[r], (*from)[l]))
                    (*to)[out++] = std::move((*from)[r++]);
                else
                    (*to)[out++] = std::move((*from)[l++]);
            }
            while (l < mid)
                (*to)[out++] = std::move((*from)[l++]);
            while (r < hi)
                (*to)[out++] = std::move((*from)[r++]);
        }
        std::swap(from, to);
    }
    if (from != &items)
        items = std::move(*from);
}

} // namespace fallowmere
