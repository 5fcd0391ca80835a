#include "common/pdf_cmap.h"

#include <cctype>
#include <cstdint>
#include <map>
#include <vector>

namespace tessera {
namespace {

constexpr size_t kEntriesPerBlock = 100; // the most a bfchar block may hold
constexpr uint32_t kMaxRangeLength = 0x10000;
constexpr std::string_view kMappingsStart = "endcodespacerange";
constexpr std::string_view kMappingsEnd = "endcmap";

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Reads the mappings between the code space and the end of a CMap. Entries are recognised
// wherever they stand: Qt 6.4 writes maps of more than 100 ranges with stray bytes before each
// further block (the block's buffer is emptied while its writer keeps its position), so an
// entry may follow unreadable bytes on the same line. `junk` tells whether such bytes were met.
class MappingReader {
public:
    explicit MappingReader(std::string_view text) : text_(text) {}

    bool read(std::map<uint32_t, std::pair<size_t, std::u16string>>& out, bool& junk) {
        junk = false;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (isSpace(c)) {
                ++pos_;
            } else if (keyword("beginbfchar")) {
                ranges_ = false;
            } else if (keyword("beginbfrange")) {
                ranges_ = true;
            } else if (keyword("endbfchar") || keyword("endbfrange")) {
            } else if (std::isdigit(static_cast<unsigned char>(c)) && count()) {
            } else if (c == '<' && entry(out)) {
            } else {
                junk = true;
                ++pos_;
            }
        }
        return true;
    }

private:
    bool keyword(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word)
            return false;
        pos_ += word.size();
        return true;
    }

    // The count before a section's keyword.
    bool count() {
        size_t end = pos_;
        while (end < text_.size() && std::isdigit(static_cast<unsigned char>(text_[end])))
            ++end;
        if (end < text_.size() && !isSpace(text_[end]))
            return false;
        pos_ = end;
        return true;
    }

    void skipSpace(size_t& at) const {
        while (at < text_.size() && isSpace(text_[at]))
            ++at;
    }

    // A hex string at `at`: its bytes, `at` moved past it.
    bool hex(size_t& at, std::vector<uint8_t>& bytes) const {
        if (at >= text_.size() || text_[at] != '<')
            return false;
        size_t i = at + 1;
        int high = -1;
        bytes.clear();
        for (; i < text_.size() && text_[i] != '>'; ++i) {
            const int d = hexDigit(text_[i]);
            if (d < 0)
                return false;
            if (high < 0) {
                high = d;
            } else {
                bytes.push_back(static_cast<uint8_t>(high << 4 | d));
                high = -1;
            }
        }
        if (i >= text_.size() || high >= 0 || bytes.empty())
            return false;
        at = i + 1;
        return true;
    }

    static bool code(const std::vector<uint8_t>& bytes, uint32_t& value) {
        if (bytes.size() > 4)
            return false;
        value = 0;
        for (uint8_t b : bytes)
            value = value << 8 | b;
        return true;
    }

    static bool units(const std::vector<uint8_t>& bytes, std::u16string& out) {
        if (bytes.size() % 2 != 0)
            return false;
        out.clear();
        for (size_t i = 0; i < bytes.size(); i += 2)
            out.push_back(static_cast<char16_t>(bytes[i] << 8 | bytes[i + 1]));
        return true;
    }

    // One entry of the current section at pos_; nothing is taken unless all of it reads.
    bool entry(std::map<uint32_t, std::pair<size_t, std::u16string>>& out) {
        size_t at = pos_;
        std::vector<uint8_t> bytes;
        uint32_t from = 0, to = 0;
        if (!hex(at, bytes) || !code(bytes, from))
            return false;
        const size_t width = bytes.size();
        skipSpace(at);
        if (!hex(at, bytes))
            return false;
        std::vector<std::pair<uint32_t, std::u16string>> found;
        std::u16string dst;
        if (!ranges_) {
            if (!units(bytes, dst))
                return false;
            found.emplace_back(from, dst);
        } else {
            if (!code(bytes, to) || to < from || to - from >= kMaxRangeLength)
                return false;
            const uint32_t length = to - from + 1;
            skipSpace(at);
            if (at < text_.size() && text_[at] == '[') {
                ++at;
                for (uint32_t i = 0;; ++i) {
                    skipSpace(at);
                    if (at < text_.size() && text_[at] == ']') {
                        ++at;
                        break;
                    }
                    if (i >= length || !hex(at, bytes) || !units(bytes, dst))
                        return false;
                    found.emplace_back(from + i, dst);
                }
            } else {
                if (!hex(at, bytes) || !units(bytes, dst))
                    return false;
                for (uint32_t i = 0; i < length; ++i) {
                    found.emplace_back(from + i, dst);
                    ++dst.back(); // the last unit counts up along the range
                }
            }
        }
        for (auto& [c, d] : found)
            out[c] = {width, std::move(d)}; // a later entry for a code wins, as readers take it
        pos_ = at;
        return true;
    }

    std::string_view text_;
    size_t pos_ = 0;
    bool ranges_ = false;
};

// The one character `units` hold, or nullopt when they hold several (or a broken pair).
std::optional<char32_t> singleCharacter(const std::u16string& units) {
    if (units.size() == 1 && (units[0] < 0xD800 || units[0] > 0xDFFF))
        return units[0];
    if (units.size() == 2 && units[0] >= 0xD800 && units[0] <= 0xDBFF && units[1] >= 0xDC00 &&
        units[1] <= 0xDFFF)
        return 0x10000 + ((char32_t(units[0]) - 0xD800) << 10) + (char32_t(units[1]) - 0xDC00);
    return std::nullopt;
}

std::u16string utf16(char32_t c) {
    if (c < 0x10000)
        return std::u16string(1, static_cast<char16_t>(c));
    c -= 0x10000;
    return {static_cast<char16_t>(0xD800 + (c >> 10)), static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
}

void appendHex(std::string& out, uint32_t value, size_t bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (size_t i = bytes * 2; i-- > 0;)
        out += kDigits[(value >> (i * 4)) & 0xF];
}

} // namespace

std::optional<std::string> remapToUnicodeCMap(std::string_view cmap,
                                              const std::function<char32_t(char32_t)>& map) {
    const size_t start = cmap.find(kMappingsStart);
    if (start == std::string_view::npos)
        return std::nullopt;
    const size_t begin = start + kMappingsStart.size();
    const size_t end = cmap.find(kMappingsEnd, begin);
    if (end == std::string_view::npos)
        return std::nullopt;

    std::map<uint32_t, std::pair<size_t, std::u16string>> mappings;
    bool junk = false;
    MappingReader(cmap.substr(begin, end - begin)).read(mappings, junk);
    bool changed = false;
    for (auto& [code, mapping] : mappings) {
        if (const auto c = singleCharacter(mapping.second)) {
            const char32_t mapped = map(*c);
            if (mapped != *c) {
                mapping.second = utf16(mapped);
                changed = true;
            }
        }
    }
    if (!changed && !junk)
        return std::nullopt;

    std::string out(cmap.substr(0, begin));
    out += '\n';
    auto it = mappings.begin();
    while (it != mappings.end()) {
        const size_t n = std::min<size_t>(kEntriesPerBlock, std::distance(it, mappings.end()));
        out += std::to_string(n) + " beginbfchar\n";
        for (size_t k = 0; k < n; ++k, ++it) {
            out += '<';
            appendHex(out, it->first, it->second.first);
            out += "> <";
            for (char16_t u : it->second.second)
                appendHex(out, u, 2);
            out += ">\n";
        }
        out += "endbfchar\n";
    }
    out += cmap.substr(end);
    return out;
}

} // namespace tessera
