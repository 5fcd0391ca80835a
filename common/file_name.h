#pragma once
// File-name helpers shared by the file dialogs of both programs.

#include <string>

namespace tessera {

// Appends ".ext" to a chosen file name that has no extension of its own, as a save dialog with
// a default extension does ("report" -> "report.DM"; "report.dm" and "a.b/c.txt" stay).
std::string withDefaultExtension(const std::string& path, const std::string& ext);

// The last component of a path ("/a/b/c.DM" -> "c.DM").
std::string fileNameOf(const std::string& path);

} // namespace tessera
