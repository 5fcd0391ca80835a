#pragma once
// Saving a file the user names: the save dialog, then an atomic write, and a clear message
// naming the file and the reason when the write fails.

#include "common/file_stamp.h"
#include "common/ui/prompt.h"

#include <functional>
#include <string>

namespace tessera {

// What a caller does around the write of a save.
struct SaveHooks {
    // With the chosen path, before `content()` is asked for and written (the place to ask about
    // a file that changed on disk); false stops the save, nothing is written.
    std::function<bool(const QString& path)> beforeWrite;
    // After a successful write, with the stamp of the file written.
    std::function<void(const QString& path, const FileStamp& written)> afterWrite;
};

// Shows the save dialog for `request`; when a name is chosen, writes the bytes `content()`
// returns there atomically. On failure shows `failureText` with %1 replaced by the file name
// and the system's reason on the next line (caption `caption`, exclamation icon). Returns the
// path written, or an empty string when the user cancelled or the write failed.
QString saveThroughDialog(QWidget* parent, const FileDialogRequest& request,
                          const std::function<std::string()>& content, const QString& caption,
                          const QString& failureText, const SaveHooks& hooks = {});

} // namespace tessera
