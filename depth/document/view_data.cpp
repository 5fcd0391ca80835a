#include "depth/document/view_data.h"

namespace marrowby {

void DepthViewData::refreshFrom(const std::vector<DepthRecord>& records) {
    std::vector<DepthRow> fresh;
    fresh.reserve(records.size());
    for (const auto& record : records)
        fresh.push_back(rowFromRecord(record));
    if (fresh != rows)
        modified_ = !fresh.empty();
    rows = std::move(fresh);
}

bool DepthViewData::editRow(size_t index, const std::array<std::string, DepthRow::kCells>& cells) {
    if (index >= rows.size())
        return false;
    DepthRow edited(cells);
    if (edited == rows[index])
        return false;
    rows[index] = std::move(edited);
    modified_ = true;
    return true;
}

DmReadStatus DepthViewData::loadDm(std::string_view bytes) {
    auto status = decodeDm(bytes, header, rows);
    modified_ = false;
    return status;
}

} // namespace marrowby
