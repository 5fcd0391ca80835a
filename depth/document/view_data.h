#pragma once
// What one depth window holds: its rows, the DM header fields, and whether the rows changed
// since they were last opened or saved.

#include "common/file_stamp.h"
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

    // The DM file the rows were last read from or written to, with its stamp then, so that a
    // change made there by others since is noticed before the file is written again.
    const tessera::KnownFile& file() const { return file_; }
    // The rows were read from (stamp taken before the read) or written to `path`.
    void rememberFile(const std::string& path, const tessera::FileStamp& stamp);

    // Reads the image of that file as it is now and makes this window's changes on it where
    // they still apply: a row the window changed since the file was last read or written
    // replaces the same row of the file when the file still holds that row as it was then.
    // Rows replaced as a whole (a download) stay as they are. The rows count as unsaved when
    // they differ from the file's.
    DmReadStatus reloadKeepingChanges(std::string_view bytes);

private:
    bool modified_ = false;
    tessera::KnownFile file_;
    std::vector<DepthRow> fileRows_; // the rows as that file held them
};

} // namespace marrowby
