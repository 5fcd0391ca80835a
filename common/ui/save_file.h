#pragma once
// Saving a file the user names: the save dialog, then an atomic write, and a clear message
// naming the file and the reason when the write fails.

#include "common/ui/prompt.h"

#include <functional>
#include <string>

namespace tessera {

// Shows the save dialog for `request`; when a name is chosen, writes the bytes `content()`
// returns there atomically. On failure shows `failureText` with %1 replaced by the file name
// and the system's reason on the next line (caption `caption`, exclamation icon). Returns the
// path written, or an empty string when the user cancelled or the write failed.
QString saveThroughDialog(QWidget* parent, const FileDialogRequest& request,
                          const std::function<std::string()>& content, const QString& caption,
                          const QString& failureText);

} // namespace tessera
