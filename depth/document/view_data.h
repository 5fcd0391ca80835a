#pragma once
// What one depth window holds: its rows, the DM header fields, and whether the rows changed
// since they were last opened or saved.

#include "depth/document/dm_file.h"

#include <array>
#include <string>
#include <vector>

namespace marrowby {

class DepthViewData {
public:
    DmHeader header;
    std::vector<DepthRow> rows;

    bool isModified() const { return modified_; }
    void setModified(bool modified) { modified_ = modified; }

    // Rebuilds the rows from the document's records ("%d" numbers, empty remarks). Rows that
    // change here and are not empty count as unsaved.
    void refreshFrom(const std::vector<DepthRecord>& records);

    // Replaces row `index` with the texts of an accepted edit; returns whether it changed.
    bool editRow(size_t index, const std::array<std::string, DepthRow::kCells>& cells);

    // The DM file image of this window.
    std::string toDm() const { return encodeDm(header, rows); }
    // Reads a DM file image; the rows count as saved afterwards, also when the file ended
    // early (what was read is what the file holds).
    DmReadStatus loadDm(std::string_view bytes);

private:
    bool modified_ = false;
};

} // namespace marrowby
