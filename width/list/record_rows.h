#pragma once
// The record list's rows: the six texts of each row with its check box and selection state,
// the sort copies of the texts (RowTexts) and the header's sort state. A Qt item model sits
// on top of this and learns of every change through RowsObserver.

#include "width/list/sort_rules.h"
#include "width/project/picture_lookup.h"
#include "width/project/record.h"

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fallowmere {

// The texts a row had when it was added. Sorting compares these, never the texts shown, so a
// row whose texts were edited keeps sorting by its old ones.
using RowTexts = std::array<RecordText, CRecordStru::kFieldCount>;

// Told about changes, before and after, as a Qt item model needs it.
class RowsObserver {
public:
    virtual ~RowsObserver() = default;
    virtual void beforeInsert(size_t /*first*/, size_t /*count*/) {}
    virtual void afterInsert() {}
    virtual void beforeRemove(size_t /*first*/, size_t /*count*/) {}
    virtual void afterRemove() {}
    // All rows replaced or reordered.
    virtual void beforeReset() {}
    virtual void afterReset() {}
    // Texts, check boxes or selection of rows first..last changed.
    virtual void changed(size_t /*first*/, size_t /*last*/) {}
    // The sort column or direction changed (the header marks the sort column).
    virtual void sortMarkChanged() {}
};

class RecordRows : public RecordNames {
public:
    RecordRows() = default;
    RecordRows(const RecordRows&) = delete;
    RecordRows& operator=(const RecordRows&) = delete;

    void setObserver(RowsObserver* observer) { observer_ = observer; }

    size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    // The texts shown in row `i`.
    const CRecordStru& record(size_t i) const { return rows_[i].record; }
    // The sort copy of column `column` of row `i` (RowTexts).
    std::string_view rowText(size_t i, int column) const;

    // The first row whose name is `gbkName`, byte for byte. The index behind it is built when
    // first needed after the rows changed, so a run of look-ups costs one pass over the rows.
    std::optional<size_t> findName(std::string_view gbkName) const;
    bool containsName(std::string_view gbkName) const override {
        return findName(gbkName).has_value();
    }

    bool isChecked(size_t i) const { return rows_[i].checked; }
    bool isSelected(size_t i) const { return rows_[i].selected; }
    void setChecked(size_t i, bool checked);
    void setSelected(size_t i, bool selected);
    void clearChecks();
    void clearChecksAndSelection();
    std::optional<size_t> firstSelected() const;
    // Indices of the checked rows, top to bottom.
    std::vector<size_t> checkedRows() const;

    // Adds rows at the bottom, whatever sort is in force; the rows are no longer in the order
    // of the sort, so its mark goes (the next click on any column sorts it ascending).
    void append(const std::vector<const CRecordStru*>& records);
    void append(const CRecordStru& record) { append(std::vector<const CRecordStru*>{&record}); }
    void remove(size_t i);
    // Removes the rows at these indices (ascending) in one pass.
    void removeRows(const std::vector<size_t>& indices);
    // Removes every row and the sort mark.
    void clear();
    // Replaces the shown texts of row `i`; its sort copies stay as they were when it was added.
    void setRecord(size_t i, CRecordStru record);

    // The header's sort state: the column of the last sort (-1 before any) and its direction.
    int sortColumn() const { return sortColumn_; }
    bool ascending() const { return ascending_; }
    // Sorts every row by `column` (0..5) with CompareRows over the sort copies; rows that
    // compare equal keep their order.
    void SortByColumn(int column, bool ascending, const TextCollator& collator);
    // A click on the header of `column`: ascending for a new column, the other direction for
    // the column sorted last.
    void OnHeaderClick(int column, const TextCollator& collator);

private:
    struct Row {
        CRecordStru record;
        // Only rows whose texts were edited keep a separate copy of the texts they were added
        // with; the others sort by their record (the same texts), which halves the memory.
        std::unique_ptr<RowTexts> sortCopy;
        bool checked = false;
        bool selected = false;
    };
    std::vector<Row> rows_;
    int sortColumn_ = -1;
    bool ascending_ = true;
    RowsObserver* observer_ = nullptr;
    RowsObserver nullObserver_;
    // Open addressing over row indices by name (kNoRow: empty slot); empty while stale.
    mutable std::vector<uint32_t> nameIndex_;

    void namesChanged() { nameIndex_.clear(); }
    void buildNameIndex() const;

    RowsObserver& observer() { return observer_ ? *observer_ : nullObserver_; }
    void clearSortMark();
};

} // namespace fallowmere
