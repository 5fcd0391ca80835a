#include "common/cli.h"

#include "common/error_text.h"

#include <cerrno>

#include <cstdio>
#include <map>
#include <new>
#include <stdexcept>

namespace tessera::cli {
namespace {

struct Entry {
    std::string usage;
    std::vector<std::string> options;
    std::vector<std::string> flags;
    Handler handler = nullptr;
};

std::map<std::string, Entry>& registry() {
    static std::map<std::string, Entry> commands;
    return commands;
}

std::string& tool() {
    static std::string name = "tool";
    return name;
}

const Entry* g_running = nullptr;

void printUsage(std::FILE* out) {
    std::fprintf(out, "用法：\n");
    for (const auto& [name, entry] : registry())
        std::fprintf(out, "  %s %s\n", tool().c_str(), entry.usage.c_str());
    std::fprintf(out, "  %s --help | --version\n", tool().c_str());
    std::fprintf(out, "（命令行中任意位置加 --verbose 时，标准错误中也显示框架自身的消息）\n");
}

} // namespace

const std::string* Arguments::last(std::string_view name) const {
    const std::string* found = nullptr;
    for (const auto& [n, v] : options)
        if (n == name)
            found = &v;
    return found;
}

std::vector<std::string> Arguments::all(std::string_view name) const {
    std::vector<std::string> values;
    for (const auto& [n, v] : options)
        if (n == name)
            values.push_back(v);
    return values;
}

Command::Command(const char* name, const char* usage, std::initializer_list<const char*> options,
                 Handler handler)
    : Command(name, usage, options, {}, handler) {}

Command::Command(const char* name, const char* usage, std::initializer_list<const char*> options,
                 std::initializer_list<const char*> flags, Handler handler) {
    Entry& e = registry()[name];
    e.usage = usage;
    e.options.assign(options.begin(), options.end());
    e.flags.assign(flags.begin(), flags.end());
    e.handler = handler;
}

void error(const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", tool().c_str(), text.c_str());
}

int usageError() {
    if (g_running)
        std::fprintf(stderr, "用法：%s %s\n", tool().c_str(), g_running->usage.c_str());
    return kExitFailure;
}

bool printOutput(std::string_view text) {
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (std::fflush(stdout) == 0 && written && !std::ferror(stdout))
        return true;
    const int code = errno;
    error("无法写出标准输出：" + errorText(code ? code : EIO));
    return false;
}

const std::string& toolName() {
    return tool();
}

bool Arguments::has(std::string_view name) const {
    for (const auto& f : flags)
        if (f == name)
            return true;
    return false;
}

bool parseArguments(const std::vector<std::string>& args, const std::vector<std::string>& known,
                    Arguments& out, bool& help, std::string& why) {
    return parseArguments(args, known, {}, out, help, why);
}

bool parseArguments(const std::vector<std::string>& args, const std::vector<std::string>& known,
                    const std::vector<std::string>& flags, Arguments& out, bool& help,
                    std::string& why) {
    help = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help") {
            help = true;
            return true;
        }
        if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            bool isFlag = false;
            for (const auto& f : flags)
                isFlag |= f == a;
            if (isFlag) {
                out.flags.push_back(a);
                continue;
            }
            bool isKnown = false;
            for (const auto& k : known)
                isKnown |= k == a;
            if (!isKnown) {
                why = "未知的选项 " + a;
                return false;
            }
            if (i + 1 >= args.size()) {
                why = "选项 " + a + " 需要一个值";
                return false;
            }
            out.options.emplace_back(a, args[++i]);
        } else {
            out.positional.push_back(a);
        }
    }
    return true;
}

bool parseWholeNumber(std::string_view text, int min, int max, int& value) {
    if (text.empty() || text.size() > 9)
        return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    if (v < min || v > max)
        return false;
    value = v;
    return true;
}

int run(const char* toolName, std::string_view version, int argc, char** argv) {
    tool() = toolName;
    if (argc < 2) {
        printUsage(stderr);
        return kExitFailure;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h") {
        printUsage(stdout);
        return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
    }
    if (command == "--version") {
        std::fprintf(stdout, "%.*s\n", static_cast<int>(version.size()), version.data());
        return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
    }
    auto it = registry().find(command);
    if (it == registry().end()) {
        error("未知的命令 " + command);
        printUsage(stderr);
        return kExitFailure;
    }
    const Entry& entry = it->second;
    Arguments args;
    bool help = false;
    std::string why;
    if (!parseArguments(std::vector<std::string>(argv + 2, argv + argc), entry.options, entry.flags,
                        args, help, why)) {
        error(why);
        std::fprintf(stderr, "用法：%s %s\n", tool().c_str(), entry.usage.c_str());
        return kExitFailure;
    }
    if (help) {
        std::fprintf(stdout, "用法：%s %s\n", tool().c_str(), entry.usage.c_str());
        return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
    }
    g_running = &entry;
    int status;
    try {
        status = entry.handler(args);
    } catch (const std::bad_alloc&) {
        // A file too large for memory is a failure to read it, not a crash.
        error("内存不足");
        status = kExitFailure;
    } catch (const std::length_error&) {
        error("内存不足");
        status = kExitFailure;
    }
    g_running = nullptr;
    return status;
}

} // namespace tessera::cli
