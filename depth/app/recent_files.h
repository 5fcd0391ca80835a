#pragma once
// The recent-file list: most recent first, no duplicates, at most four entries.

#include <string>
#include <vector>

namespace marrowby {

class RecentFileList {
public:
    explicit RecentFileList(size_t capacity = 4) : m_capacity(capacity) {}

    // Puts `path` first, removing an older entry of the same path and the oldest beyond the
    // capacity.
    void add(const std::string& path);
    void remove(const std::string& path);
    void assign(const std::vector<std::string>& paths);
    const std::vector<std::string>& entries() const { return m_entries; }
    size_t capacity() const { return m_capacity; }

private:
    size_t m_capacity;
    std::vector<std::string> m_entries;
};

} // namespace marrowby
