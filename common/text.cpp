#include "common/text.h"

#include "common/gbk.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace tessera {

bool isValidUtf8(std::string_view text) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len = 0;
        uint32_t cp = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > n)
            return false;
        for (size_t k = 1; k < len; ++k) {
            auto cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += len;
    }
    return true;
}

std::string displayPath(std::string_view path) {
    if (isValidUtf8(path))
        return std::string(path);
    return tessera::gbkToUtf8(path);
}

std::string displayGbk(std::string_view gbk) {
    return tessera::gbkToUtf8(gbk);
}

GbkDecoder::GbkDecoder() : cd_(iconv_open("UTF-16LE", "GBK")) {}

GbkDecoder::~GbkDecoder() {
    if (cd_ != reinterpret_cast<void*>(-1))
        iconv_close(static_cast<iconv_t>(cd_));
}

void GbkDecoder::toUtf16(std::string_view gbk, std::u16string& out) {
    out.clear();
    // ASCII needs no converter.
    size_t i = 0;
    while (i < gbk.size() && static_cast<unsigned char>(gbk[i]) < 0x80)
        ++i;
    out.reserve(gbk.size());
    for (size_t k = 0; k < i; ++k)
        out.push_back(static_cast<char16_t>(gbk[k]));
    if (i == gbk.size())
        return;
    if (cd_ == reinterpret_cast<void*>(-1)) {
        for (; i < gbk.size(); ++i)
            out.push_back(static_cast<unsigned char>(gbk[i]) < 0x80 ? char16_t(gbk[i]) : u'\uFFFD');
        return;
    }
    auto cd = static_cast<iconv_t>(cd_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(gbk.data() + i);
    size_t srcLeft = gbk.size() - i;
    char buffer[1024];
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        for (char* p = buffer; p + 1 < dst; p += 2)
            out.push_back(static_cast<char16_t>(static_cast<unsigned char>(p[0]) |
                                                (static_cast<unsigned char>(p[1]) << 8)));
        if (rc != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        // An invalid or truncated sequence: one replacement character per byte skipped.
        out.push_back(u'\uFFFD');
        ++src;
        --srcLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
}

} // namespace tessera
