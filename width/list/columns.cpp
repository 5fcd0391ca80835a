#include "width/list/columns.h"

#include "common/model/crt.h"

namespace fallowmere {

bool SetUpColumns(std::string_view spec, std::vector<ListColumn>& columns) {
    size_t pos = 0;
    for (;;) {
        auto comma = spec.find(',', pos);
        if (comma == std::string_view::npos)
            return true;
        auto semicolon = spec.find(';', comma + 1);
        auto end = semicolon == std::string_view::npos ? spec.size() : semicolon;
        columns.push_back({std::string(spec.substr(pos, comma - pos)),
                           tessera::crtAtoi(spec.substr(comma + 1, end - comma - 1))});
        if (semicolon == std::string_view::npos)
            return true;
        pos = semicolon + 1;
    }
}

} // namespace fallowmere
