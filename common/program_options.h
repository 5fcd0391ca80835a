#pragma once
// The command line of a desktop program, answered before any window exists: "--help" (or
// "-h") prints the usage and "--version" the version on standard output, and the program then
// ends with status 0 without needing a display. Anything else is the program's own (an
// optional file to open).

#include <optional>
#include <ostream>
#include <string_view>

namespace tessera {

// The exit status when the command line asked for help or the version, after printing it to
// `out`; nullopt when the program is to start. A failed write to `out` gives status 2.
std::optional<int> answerInfoRequest(int argc, char** argv, std::string_view usage,
                                     std::string_view version, std::ostream& out);

} // namespace tessera
