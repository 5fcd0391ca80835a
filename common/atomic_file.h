#pragma once
// Safe whole-file writing: the data goes to a temporary file in the target's folder, which is
// flushed to disk and then renamed over the target. A failed or interrupted write leaves any
// existing file untouched, and no partial file is left behind.

#include <string>
#include <string_view>

namespace tessera {

// Writes `data` as the whole content of `path`. On failure returns false and, when `error` is
// given, stores the system's reason (errorText). An existing file keeps its permission
// bits; a new one gets 0666 minus the umask, as an ordinary create would.
bool writeFileAtomically(const std::string& path, std::string_view data,
                         std::string* error = nullptr);

// Reads a whole file. Returns false (with the reason in `error`) when it cannot be opened or
// read.
bool readWholeFile(const std::string& path, std::string& data, std::string* error = nullptr);

} // namespace tessera
