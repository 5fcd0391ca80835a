#pragma once
// marrowby-cli: each command registers itself with a static tessera::cli::Command object in its
// own cli_*.cpp file (common/cli.h), so adding a command touches no shared file.

#include "common/cli.h"
#include "common/text.h"

#include <string>
#include <vector>

namespace marrowby::cli {

// Exit statuses of the commands.
enum Exit : int {
    kOk = tessera::cli::kExitOk,
    kEndOfFile = 1,                        // a DM file ended early; what was read was still used
    kFailure = tessera::cli::kExitFailure, // cannot open or write a file, cannot encode text,
                                           // wrong arguments
    kTimeout = 3,                          // download: no end byte in time
};

using tessera::cli::error;

// A file name in a message: “name”, as UTF-8 (a name that is not UTF-8 shows decoded as GBK).
inline std::string quoted(const std::string& path) {
    return "“" + tessera::displayPath(path) + "”";
}

} // namespace marrowby::cli
