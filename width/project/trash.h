#pragma once
// The desktop's trash, as file managers keep it (the freedesktop.org trash layout): a removed
// photograph goes to "files/" of a trash folder on its own file system, with a ".trashinfo" in
// "info/" that says where it came from and when, so that the file manager can put it back.
//
// File names are bytes: a photograph whose name is not UTF-8 (GBK names copied from older
// systems) goes to the trash under the same bytes, and its original path is written with every
// byte outside the plain URL characters as %XX. The information file is written and flushed to
// disk before the photograph moves: when it cannot be (a full disk, no trash folder that may
// be used on that file system), nothing moves and the caller hears that the trash cannot take
// the file.

#include "width/project/file_ops.h"

#include <string>

namespace fallowmere {

enum class TrashOutcome {
    Moved,       // the file is in the trash
    Unavailable, // no trash can take it now; the file is where it was
    Failed,      // the file cannot be moved at all (deleting it would fail for the same reason)
};

struct TrashResult {
    TrashOutcome outcome = TrashOutcome::Failed;
    std::string reason;      // why not (UTF-8)
    std::string trashedPath; // where the file went, when moved
    std::string infoPath;    // its ".trashinfo"
};

// The user's own trash: "Trash" in $XDG_DATA_HOME, else in ~/.local/share.
std::string homeTrashFolder();

// Moves `path` (a file; a symbolic link is moved as the link) to the trash: the home trash when
// it lies on the file's file system, else "$topdir/.Trash/$uid" (when "$topdir/.Trash" is a
// sticky folder and no link) or "$topdir/.Trash-$uid" at the top of that file system.
TrashResult moveToTrash(const std::string& path);

// The window's file operations: removed photographs go to the trash; one that the trash
// cannot take is NoTrash, so that the user is asked before it is deleted for good.
class TrashFileOps : public StdFileOps {
public:
    RemoveOutcome removePicture(const std::string& path, std::string& reason) override;
};

} // namespace fallowmere
