#include "depth/cli/cli.h"

#include <cstdio>
#include <cstring>
#include <map>

namespace marrowby::cli {
namespace {

struct Entry {
    const char* usage;
    Handler handler;
};

std::map<std::string, Entry>& registry() {
    static std::map<std::string, Entry> commands;
    return commands;
}

void usage() {
    std::fprintf(stderr, "usage:\n");
    for (const auto& [name, entry] : registry())
        std::fprintf(stderr, "  marrowby-cli %s\n", entry.usage);
}

} // namespace

CliCommand::CliCommand(const char* name, const char* usageText, Handler handler) {
    registry()[name] = Entry{usageText, handler};
}

void error(const std::string& text) {
    std::fprintf(stderr, "marrowby-cli: %s\n", text.c_str());
}

bool parseOptions(const std::vector<std::string>& args, const std::vector<std::string>& known,
                  std::vector<std::string>& positional,
                  std::vector<std::pair<std::string, std::string>>& options) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            bool isKnown = false;
            for (const auto& k : known)
                isKnown |= k == a;
            if (!isKnown) {
                error("unknown option " + a);
                return false;
            }
            if (i + 1 >= args.size()) {
                error("option " + a + " needs a value");
                return false;
            }
            options.emplace_back(a, args[++i]);
        } else {
            positional.push_back(a);
        }
    }
    return true;
}

} // namespace marrowby::cli

int main(int argc, char** argv) {
    using namespace marrowby::cli;
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        usage();
        return argc < 2 ? kFailure : kOk;
    }
    auto it = registry().find(argv[1]);
    if (it == registry().end()) {
        error(std::string("unknown command ") + argv[1]);
        usage();
        return kFailure;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    return it->second.handler(args);
}
