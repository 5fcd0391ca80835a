#include "common/program_options.h"

#include <string_view>

namespace tessera {

std::optional<int> answerInfoRequest(int argc, char** argv, std::string_view usage,
                                     std::string_view version, std::ostream& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h")
            out << usage;
        else if (arg == "--version")
            out << version << '\n';
        else
            continue;
        out.flush();
        return out ? 0 : 2;
    }
    return std::nullopt;
}

} // namespace tessera
