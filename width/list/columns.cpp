#include "width/list/columns.h"

#include "common/crt.h"

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

namespace {

bool readInt32(std::string_view bytes, size_t at, int32_t& value) {
    if (bytes.size() < at + 4)
        return false;
    uint32_t v = 0;
    for (size_t k = 0; k < 4; ++k)
        v |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + k])) << (8 * k);
    value = static_cast<int32_t>(v);
    return true;
}

} // namespace

std::optional<std::vector<int32_t>> decodeSavedColumnWidths(std::string_view bytes,
                                                            size_t columnCount) {
    int32_t count = 0;
    if (!readInt32(bytes, 0, count) || count < 0 || static_cast<size_t>(count) != columnCount)
        return std::nullopt;
    std::vector<int32_t> widths;
    int32_t width = 0;
    while (widths.size() < columnCount && readInt32(bytes, 4 + 4 * widths.size(), width))
        widths.push_back(width);
    return widths;
}

std::string encodeSavedColumnWidths(const std::vector<int32_t>& widths) {
    std::string bytes;
    auto put = [&bytes](int32_t value) {
        const auto v = static_cast<uint32_t>(value);
        for (size_t k = 0; k < 4; ++k)
            bytes.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
    };
    put(static_cast<int32_t>(widths.size()));
    for (int32_t w : widths)
        put(w);
    return bytes;
}

} // namespace fallowmere
