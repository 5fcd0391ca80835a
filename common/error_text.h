#pragma once
// The system's text for an errno value. Thread-safe (strerror is not: it may share one buffer
// between threads), so the serial worker and the user-interface thread can both use it.

#include <string>

namespace tessera {

// "No such file or directory" for ENOENT; "Unknown error N" for a value the system does not
// know.
std::string errorText(int errnum);

} // namespace tessera
