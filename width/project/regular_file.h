#pragma once
// Fallowmere's names for the shared regular-file reader and atomic writer (common/atomic_file.h):
// regular files only on reading; links followed, devices and pipes written directly and files
// the user may not write refused on writing.

#include "common/atomic_file.h"

#include <string>
#include <string_view>

namespace fallowmere {

using tessera::kNotRegularFileReason;
using tessera::kOutOfMemoryReason;
using tessera::readRegularFile;

// tessera::writeFileAtomically with the reason as an out-parameter.
inline bool writeRegularFileAtomically(const std::string& path, std::string_view data,
                                       std::string& reason) {
    return tessera::writeFileAtomically(path, data, &reason);
}

} // namespace fallowmere
