#pragma once
// GBK (code page 936) <-> Unicode conversion through the C library's iconv.
//
// Model code keeps text as the GBK bytes read from a file. These helpers turn such bytes into
// UTF-8 for display and turn text the user typed back into GBK.

#include <optional>
#include <string>
#include <string_view>

namespace tessera {

// Decodes GBK bytes to UTF-8 for display. Bytes that are not valid GBK become U+FFFD each, so
// the result is always valid UTF-8; use gbkToUtf8Strict where such bytes must be refused.
std::string gbkToUtf8(std::string_view gbk);

// Decodes GBK bytes to UTF-8; nullopt when any byte sequence is not valid GBK.
std::optional<std::string> gbkToUtf8Strict(std::string_view gbk);

// Encodes UTF-8 text as GBK; nullopt when the text is not valid UTF-8 or holds a character
// that GBK cannot represent.
std::optional<std::string> utf8ToGbk(std::string_view utf8);

// Encodes UTF-8 text as GBK, writing '?' for each character GBK cannot represent and for each
// byte that is not valid UTF-8 (as the platform's wide-to-multibyte conversion does).
std::string utf8ToGbkLossy(std::string_view utf8);

// The length of the longest prefix of `gbk` that is at most `maxBytes` long and does not end
// between the two bytes of a character (a lead byte 0x81-0xFE followed by a trail byte
// 0x40-0xFE other than 0x7F). Cutting a text to that length keeps whole characters only.
size_t gbkPrefixLength(std::string_view gbk, size_t maxBytes);

} // namespace tessera
