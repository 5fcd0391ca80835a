#pragma once
// The command registry and option parsing of the command-line tools (marrowby-cli,
// fallowmere-cli). Model code.
//
// Each command registers itself with a static tessera::cli::Command object in the source file
// that implements it (compiled into the tool's executable), and the tool's main() calls run().
//
//   tool                       usage of every command on stderr, exit 2
//   tool --help | -h           usage of every command on stdout, exit 0
//   tool --version             the tool's name and version on stdout, exit 0
//   tool CMD --help            usage of CMD on stdout, exit 0
//   tool CMD ARGS...           options "--name value" (each may repeat; only those the command
//                              lists), flags "--name" without a value (only those the command
//                              lists) and positional arguments, then the command's handler;
//                              an unknown command or option, or an option without its value:
//                              a message and the usage on stderr, exit 2
//
// Exit statuses shared by every tool: 0 success, 2 wrong arguments, a file that cannot be
// read or written, output that cannot be written, or too little memory (a command that runs
// out of memory is stopped with a message, never aborted). Tools add their own (1, 3, ...) for
// their commands' outcomes.

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessera::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 2;

struct Arguments {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options; // ("--name", value), in order
    std::vector<std::string> flags;                           // "--name" without a value

    // The last value given for `name` (e.g. "--dpi"), or nullptr.
    const std::string* last(std::string_view name) const;
    // Every value given for `name`, in order.
    std::vector<std::string> all(std::string_view name) const;
    // Whether the flag `name` (e.g. "--replace") was given.
    bool has(std::string_view name) const;
};

using Handler = int (*)(const Arguments& args);

// Registers a command of this process's tool. `usage` follows the command name in the usage
// text ("report IN OUT.pdf [--dpi N]"); `options` are the option names it takes ("--dpi").
class Command {
public:
    Command(const char* name, const char* usage, std::initializer_list<const char*> options,
            Handler handler);
    // The same with `flags`: options that take no value ("--replace").
    Command(const char* name, const char* usage, std::initializer_list<const char*> options,
            std::initializer_list<const char*> flags, Handler handler);
};

// Prints "<tool>: <text>" on stderr.
void error(const std::string& text);

// Prints "用法：<tool> <usage of the running command>" on stderr and returns kExitFailure;
// for handlers whose positional arguments are wrong.
int usageError();

// The tool's name as given to run() ("marrowby-cli").
const std::string& toolName();

// Splits `args` into options of `known` and positional arguments. "--help" is a request for
// help (`help` set, true returned). False with a reason in `why` for an option not in `known` or
// one without its value.
bool parseArguments(const std::vector<std::string>& args, const std::vector<std::string>& known,
                    Arguments& out, bool& help, std::string& why);
// The same with `flags`, options of no value that are recorded in `out.flags`.
bool parseArguments(const std::vector<std::string>& args, const std::vector<std::string>& known,
                    const std::vector<std::string>& flags, Arguments& out, bool& help,
                    std::string& why);

// A whole decimal number from `min` to `max` (digits only, no sign, no blanks); false and
// `value` unchanged otherwise.
bool parseWholeNumber(std::string_view text, int min, int max, int& value);

// Writes `text` to standard output and flushes it. False (with a message on stderr) when the
// output cannot be written, e.g. a full disk or /dev/full: the command then exits with
// kExitFailure.
bool printOutput(std::string_view text);

// Runs the tool: see the table above (`version` is what --version prints, e.g.
// "marrowby-cli 1.2"). Returns the exit status.
int run(const char* toolName, std::string_view version, int argc, char** argv);

} // namespace tessera::cli
