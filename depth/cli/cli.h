#pragma once
// marrowby-cli: subcommands register themselves with a static CliCommand object in their own
// cli_*.cpp file, so adding a command touches no shared file.

#include <string>
#include <vector>

namespace marrowby::cli {

// Exit statuses shared by all commands.
enum Exit : int {
    kOk = 0,
    kEndOfFile = 1, // a DM file ended early; what was read was still used
    kFailure = 2,   // cannot open or write a file, cannot encode text, wrong arguments
    kTimeout = 3,   // download: no end byte in time
};

using Handler = int (*)(const std::vector<std::string>& args);

struct CliCommand {
    CliCommand(const char* name, const char* usage, Handler handler);
};

// Prints "marrowby-cli: <text>" to stderr.
void error(const std::string& text);

// Parses "--name value" options out of `args`; the rest stay positional. Returns false (after
// printing a message) on an unknown option or a missing value.
bool parseOptions(const std::vector<std::string>& args, const std::vector<std::string>& known,
                  std::vector<std::string>& positional,
                  std::vector<std::pair<std::string, std::string>>& options);

} // namespace marrowby::cli
