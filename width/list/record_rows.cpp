#include "width/list/record_rows.h"

#include "width/list/stable_sort.h"

#include <algorithm>
#include <cstdint>
#include <functional>

namespace fallowmere {
namespace {

template <typename Before> std::vector<uint32_t> stableOrder(size_t n, Before before) {
    std::vector<uint32_t> order(n);
    for (size_t i = 0; i < n; ++i)
        order[i] = static_cast<uint32_t>(i);
    safeStableSort(order, before);
    return order;
}

// A stable counting sort of the rows by rank: equal ranks keep their order.
std::vector<uint32_t> stableOrderByRank(const std::vector<uint32_t>& rank, bool ascending) {
    uint32_t top = 0;
    for (uint32_t r : rank)
        top = std::max(top, r);
    std::vector<uint32_t> start(static_cast<size_t>(top) + 2, 0);
    for (uint32_t r : rank)
        ++start[(ascending ? r : top - r) + 1];
    for (size_t k = 1; k < start.size(); ++k)
        start[k] += start[k - 1];
    std::vector<uint32_t> order(rank.size());
    for (size_t i = 0; i < rank.size(); ++i)
        order[start[ascending ? rank[i] : top - rank[i]]++] = static_cast<uint32_t>(i);
    return order;
}

} // namespace

namespace {
constexpr uint32_t kNoRow = UINT32_MAX;
} // namespace

void RecordRows::buildNameIndex() const {
    size_t capacity = 16;
    while (capacity < 2 * rows_.size())
        capacity *= 2;
    nameIndex_.assign(capacity, kNoRow);
    const std::hash<std::string_view> hash;
    for (size_t i = 0; i < rows_.size(); ++i) {
        const std::string_view name = rows_[i].record.strName;
        for (size_t slot = hash(name) & (capacity - 1);; slot = (slot + 1) & (capacity - 1)) {
            if (nameIndex_[slot] == kNoRow) {
                nameIndex_[slot] = static_cast<uint32_t>(i);
                break;
            }
            if (rows_[nameIndex_[slot]].record.strName == name)
                break; // an earlier row has the name (an edit may have made it twice)
        }
    }
}

std::optional<size_t> RecordRows::findName(std::string_view gbkName) const {
    if (rows_.empty())
        return std::nullopt;
    if (nameIndex_.empty())
        buildNameIndex();
    const size_t mask = nameIndex_.size() - 1;
    for (size_t slot = std::hash<std::string_view>()(gbkName) & mask;; slot = (slot + 1) & mask) {
        const uint32_t row = nameIndex_[slot];
        if (row == kNoRow)
            return std::nullopt;
        if (rows_[row].record.strName == gbkName)
            return row;
    }
}

std::string_view RecordRows::rowText(size_t i, int column) const {
    const Row& row = rows_[i];
    return row.sortCopy ? std::string_view((*row.sortCopy)[static_cast<size_t>(column)])
                        : std::string_view(row.record.field(column));
}

void RecordRows::setChecked(size_t i, bool checked) {
    if (rows_[i].checked == checked)
        return;
    rows_[i].checked = checked;
    observer().changed(i, i);
}

void RecordRows::setSelected(size_t i, bool selected) {
    if (rows_[i].selected == selected)
        return;
    rows_[i].selected = selected;
    observer().changed(i, i);
}

void RecordRows::clearChecks() {
    for (size_t i = 0; i < rows_.size(); ++i)
        setChecked(i, false);
}

void RecordRows::clearChecksAndSelection() {
    for (size_t i = 0; i < rows_.size(); ++i) {
        setChecked(i, false);
        setSelected(i, false);
    }
}

std::optional<size_t> RecordRows::firstSelected() const {
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].selected)
            return i;
    return std::nullopt;
}

std::vector<size_t> RecordRows::checkedRows() const {
    std::vector<size_t> out;
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].checked)
            out.push_back(i);
    return out;
}

void RecordRows::append(const std::vector<const CRecordStru*>& records) {
    if (records.empty())
        return;
    observer().beforeInsert(rows_.size(), records.size());
    const size_t needed = rows_.size() + records.size();
    if (rows_.capacity() < needed)
        rows_.reserve(std::max(needed, 2 * rows_.capacity()));
    for (const CRecordStru* r : records)
        rows_.push_back(Row{*r, nullptr, false, false});
    namesChanged();
    observer().afterInsert();
    clearSortMark();
}

void RecordRows::remove(size_t i) {
    observer().beforeRemove(i, 1);
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(i));
    namesChanged();
    observer().afterRemove();
}

void RecordRows::removeRows(const std::vector<size_t>& indices) {
    if (indices.empty())
        return;
    if (indices.size() == 1) {
        remove(indices.front());
        return;
    }
    observer().beforeReset();
    size_t out = 0;
    size_t next = 0;
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (next < indices.size() && indices[next] == i) {
            ++next;
            continue;
        }
        if (out != i)
            rows_[out] = std::move(rows_[i]);
        ++out;
    }
    rows_.resize(out);
    namesChanged();
    observer().afterReset();
}

void RecordRows::clear() {
    clearSortMark();
    if (rows_.empty())
        return;
    observer().beforeReset();
    rows_.clear();
    namesChanged();
    observer().afterReset();
}

void RecordRows::clearSortMark() {
    if (sortColumn_ < 0)
        return;
    sortColumn_ = -1;
    ascending_ = true;
    observer().sortMarkChanged();
}

void RecordRows::setRecord(size_t i, CRecordStru record) {
    Row& row = rows_[i];
    if (!row.sortCopy && !(row.record == record)) {
        row.sortCopy = std::make_unique<RowTexts>();
        for (int c = 0; c < CRecordStru::kFieldCount; ++c)
            (*row.sortCopy)[static_cast<size_t>(c)] = row.record.field(c);
    }
    if (row.record.strName != record.strName)
        namesChanged();
    row.record = std::move(record);
    observer().changed(i, i);
}

void RecordRows::SortByColumn(int column, bool ascending, const TextCollator& collator) {
    if (column < 0 || column >= CRecordStru::kFieldCount)
        return;
    sortColumn_ = column;
    ascending_ = ascending;
    observer().sortMarkChanged();
    std::vector<std::string_view> texts(rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i)
        texts[i] = rowText(i, column);
    const SortColumnKeys keys(texts, collator);
    std::vector<uint32_t> order;
    if (const std::vector<uint32_t>& ranks = keys.textOnlyRanks(); !ranks.empty())
        order = stableOrderByRank(ranks, ascending);
    else
        order = stableOrder(rows_.size(), [&](uint32_t a, uint32_t b) {
            return keys.compare(a, b, ascending) < 0;
        });

    // Rows move into place along the cycles of the permutation: row k receives row order[k].
    observer().beforeReset();
    std::vector<bool> placed(rows_.size(), false);
    for (size_t k = 0; k < rows_.size(); ++k) {
        if (placed[k] || order[k] == k)
            continue;
        Row held = std::move(rows_[k]);
        size_t j = k;
        while (order[j] != k) {
            rows_[j] = std::move(rows_[order[j]]);
            placed[j] = true;
            j = order[j];
        }
        rows_[j] = std::move(held);
        placed[j] = true;
    }
    namesChanged();
    observer().afterReset();
}

void RecordRows::OnHeaderClick(int column, const TextCollator& collator) {
    const bool ascending = column != sortColumn_ || !ascending_;
    SortByColumn(column, ascending, collator);
}

} // namespace fallowmere
