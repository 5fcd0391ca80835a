#include "depth/app/recent_files.h"

#include <algorithm>

namespace marrowby {

void RecentFileList::add(const std::string& path) {
    if (path.empty())
        return;
    remove(path);
    m_entries.insert(m_entries.begin(), path);
    if (m_entries.size() > m_capacity)
        m_entries.resize(m_capacity);
}

void RecentFileList::remove(const std::string& path) {
    m_entries.erase(std::remove(m_entries.begin(), m_entries.end(), path), m_entries.end());
}

void RecentFileList::assign(const std::vector<std::string>& paths) {
    m_entries.clear();
    for (auto it = paths.rbegin(); it != paths.rend(); ++it)
        add(*it);
}

} // namespace marrowby
