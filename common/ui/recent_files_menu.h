#pragma once
// The recent-file entries of a File menu: "&1 path" … in the place of the recent-file slot,
// which itself shows (disabled, as "最近文件") only while the list is empty.

#include "common/recent_files.h"

#include <functional>

class QAction;
class QMenu;

namespace tessera {

// Replaces the entries that an earlier call put into `menu` with one per entry of `files`,
// inserted before `slot`; choosing entry i calls `open(ID_FILE_MRU_FILE1 + i)`.
void fillRecentFileMenu(QMenu& menu, QAction& slot, const RecentFileList& files,
                        const std::function<void(int)>& open);

} // namespace tessera
