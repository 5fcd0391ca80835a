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
    fileRows_ = rows;
    return status;
}

void DepthViewData::rememberFile(const std::string& path, const tessera::FileStamp& stamp) {
    file_.remember(path, stamp);
    fileRows_ = rows;
}

DmReadStatus DepthViewData::reloadKeepingChanges(std::string_view bytes) {
    DmHeader theirHeader;
    std::vector<DepthRow> theirs;
    const auto status = decodeDm(bytes, theirHeader, theirs);
    if (rows.size() == fileRows_.size()) {
        std::vector<DepthRow> merged = theirs;
        for (size_t i = 0; i < rows.size() && i < merged.size(); ++i)
            if (rows[i] != fileRows_[i] && merged[i] == fileRows_[i])
                merged[i] = rows[i];
        rows = std::move(merged);
        header = theirHeader;
    }
    modified_ = rows != theirs;
    fileRows_ = std::move(theirs);
    return status;
}

} // namespace marrowby
