#pragma once
// Reading and replacing regular files only. A path that names a folder, a pipe, a socket or a
// device is refused at once, so a reader never blocks on a pipe nor reads a device without
// end, and a writer never replaces something that is not a plain file.

#include <string>
#include <string_view>

namespace fallowmere {

// Reads the whole regular file at `path` into `data`. On failure returns false with a reason
// for the user in `reason` (UTF-8): the system's reason, "不是普通文件" for anything that is not
// a regular file, or "内存不足" when the content does not fit in memory.
bool readRegularFile(const std::string& path, std::string& data, std::string& reason);

// Replaces the content of `path` with `data` atomically (a temporary file in the same folder,
// flushed and renamed over the old one): a failed write leaves the old file as it was. A
// symbolic link is followed and its target replaced. An existing target that is not a regular
// file, or that the user may not write, is refused. On failure returns false with the reason.
bool writeRegularFileAtomically(const std::string& path, std::string_view data,
                                std::string& reason);

// Reasons given by the functions above (UTF-8).
inline constexpr std::string_view kNotRegularFileReason = "不是普通文件";
inline constexpr std::string_view kOutOfMemoryReason = "内存不足";

} // namespace fallowmere
