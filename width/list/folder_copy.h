#pragma once
// Copying a picture folder with its contents into another folder, as a merge does: the folder
// "from" lands in "to" under its own name, merging with a folder of that name (matched without
// regard to letter case) that is there already.
//
// Every file is copied atomically. Before an existing file is replaced the user is asked (yes,
// yes to all, no, cancel); cancel stops at once, keeping what was copied so far. A folder
// copied onto itself changes nothing, and so does a file copied onto itself. Symbolic links
// are never followed out of either folder: a link in "from" that leads outside it, or to a
// folder, is not copied, and nothing is written through a link that leads outside "to".

#include "width/list/prompts.h"
#include "width/project/file_ops.h"

#include <string>
#include <string_view>
#include <vector>

namespace fallowmere {

enum class CopyOutcome { Succeeded, Cancelled, Failed };

struct CopyResult {
    CopyOutcome outcome = CopyOutcome::Succeeded;
    size_t copied = 0;                 // files written
    size_t kept = 0;                   // existing files kept (answered No)
    std::vector<std::string> problems; // what went wrong, one text per file or folder (UTF-8)
};

CopyResult CopyFolder(FileOps& fs, ListPrompts& prompts, const std::string& from,
                      const std::string& to);

// The outcome text: "复制文件夹操作失败", "复制文件夹的操作被取消" or "复制文件夹操作成功".
std::string_view copyOutcomeMessage(CopyOutcome outcome);

} // namespace fallowmere
