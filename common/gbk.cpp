#include "common/gbk.h"

#include <cerrno>
#include <iconv.h>

namespace tessera {
namespace {

// One iconv descriptor per conversion call keeps the helpers thread-safe; opening one costs
// a few microseconds, which is negligible next to showing or saving the text.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (valid())
            iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
size_t utf8Length(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

// Converts `in`; on an invalid or incomplete sequence either fails (strict) or appends
// `replacement` and skips the offending input (one byte, or one whole UTF-8 character when
// `skipUtf8Char` is set and the source is UTF-8).
std::optional<std::string> convert(const char* to, const char* from, std::string_view in,
                                   bool strict, std::string_view replacement,
                                   bool skipUtf8Char = false) {
    Iconv cd(to, from);
    if (!cd.valid())
        return std::nullopt;
    std::string out;
    out.reserve(in.size() * 2 + 8);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[4096];
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t rc = iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (rc != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        // EILSEQ or EINVAL: an invalid or truncated sequence at `src`.
        if (strict)
            return std::nullopt;
        out.append(replacement);
        size_t skip = 1;
        if (skipUtf8Char) {
            size_t len = utf8Length(static_cast<unsigned char>(*src));
            bool wellFormed = len <= srcLeft;
            for (size_t k = 1; wellFormed && k < len; ++k)
                wellFormed = (static_cast<unsigned char>(src[k]) & 0xC0) == 0x80;
            if (wellFormed)
                skip = len;
        }
        src += skip;
        srcLeft -= skip;
        iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

} // namespace

std::string gbkToUtf8(std::string_view gbk) {
    auto r = convert("UTF-8", "GBK", gbk, false, "\xEF\xBF\xBD");
    return r ? *r : std::string();
}

std::optional<std::string> gbkToUtf8Strict(std::string_view gbk) {
    return convert("UTF-8", "GBK", gbk, true, {});
}

std::optional<std::string> utf8ToGbk(std::string_view utf8) {
    return convert("GBK", "UTF-8", utf8, true, {});
}

std::string utf8ToGbkLossy(std::string_view utf8) {
    auto r = convert("GBK", "UTF-8", utf8, false, "?", true);
    return r ? *r : std::string();
}

size_t gbkPrefixLength(std::string_view gbk, size_t maxBytes) {
    if (gbk.size() <= maxBytes)
        return gbk.size();
    // Characters are found from the start: a trail byte can look like a lead byte, so the
    // bytes just before the cut do not tell where a character starts.
    size_t end = 0;
    for (;;) {
        const auto lead = static_cast<unsigned char>(gbk[end]);
        size_t length = 1;
        if (lead >= 0x81 && lead <= 0xFE && end + 1 < gbk.size()) {
            const auto trail = static_cast<unsigned char>(gbk[end + 1]);
            if (trail >= 0x40 && trail <= 0xFE && trail != 0x7F)
                length = 2;
        }
        if (end + length > maxBytes)
            return end;
        end += length;
    }
}

} // namespace tessera
