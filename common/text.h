#pragma once
// Text helpers for showing file names and record texts, and a GBK decoder for many texts.

#include <cstdint>
#include <string>
#include <string_view>

namespace tessera {

bool isValidUtf8(std::string_view text);

// A file name or path as UTF-8 for a message: unchanged when it is UTF-8 (the file-name
// encoding here), else decoded as GBK (names copied from older systems), with U+FFFD for bytes
// that are neither.
std::string displayPath(std::string_view path);

// A record text (GBK bytes) as UTF-8 for a message.
std::string displayGbk(std::string_view gbk);

// Decodes many GBK texts with one converter (opening a converter per text costs more than
// converting a short text). Bytes that are not valid GBK become U+FFFD. Not thread-safe; use
// one decoder per thread.
class GbkDecoder {
public:
    GbkDecoder();
    ~GbkDecoder();
    GbkDecoder(const GbkDecoder&) = delete;
    GbkDecoder& operator=(const GbkDecoder&) = delete;

    // Replaces `out` with the UTF-16 form of `gbk`.
    void toUtf16(std::string_view gbk, std::u16string& out);

private:
    void* cd_; // iconv_t
};

} // namespace tessera
