#include "common/recent_files.h"

#include <algorithm>

namespace tessera {

void RecentFileList::add(const std::string& path) {
    if (path.empty())
        return;
    remove(path);
    entries_.insert(entries_.begin(), path);
    if (entries_.size() > capacity_)
        entries_.resize(capacity_);
}

void RecentFileList::remove(const std::string& path) {
    entries_.erase(std::remove(entries_.begin(), entries_.end(), path), entries_.end());
}

void RecentFileList::assign(const std::vector<std::string>& paths) {
    entries_.clear();
    for (auto it = paths.rbegin(); it != paths.rend(); ++it)
        add(*it);
}

} // namespace tessera
