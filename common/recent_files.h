#pragma once
// The recent-file list of a program: most recent first, no duplicates (paths compared exactly
// as given), at most `capacity` entries (four in both programs). Stored by
// common/qt/recent_files_store.h.

#include <string>
#include <vector>

namespace tessera {

class RecentFileList {
public:
    explicit RecentFileList(size_t capacity = 4) : capacity_(capacity) {}

    // Puts `path` first, removing an older entry of the same path and the oldest beyond the
    // capacity.
    void add(const std::string& path);
    void remove(const std::string& path);
    void assign(const std::vector<std::string>& paths);
    const std::vector<std::string>& entries() const { return entries_; }
    size_t capacity() const { return capacity_; }

private:
    size_t capacity_;
    std::vector<std::string> entries_;
};

} // namespace tessera
