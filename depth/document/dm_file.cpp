#include "depth/document/dm_file.h"

#include "common/crt.h"
#include "common/gbk.h"

#include <algorithm>

namespace marrowby {
namespace {

void putU16(std::string& out, uint16_t v) {
    const char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    out.append(b, 2);
}

void putU32(std::string& out, uint32_t v) {
    const char b[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                       static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
    out.append(b, 4);
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    size_t remaining() const { return bytes_.size() - pos_; }

    bool u8(uint8_t& v) {
        if (remaining() < 1)
            return false;
        v = static_cast<uint8_t>(bytes_[pos_++]);
        return true;
    }
    bool u16(uint16_t& v) {
        if (remaining() < 2)
            return false;
        v = static_cast<uint16_t>(byteAt(0) | (byteAt(1) << 8));
        pos_ += 2;
        return true;
    }
    bool u32(uint32_t& v) {
        if (remaining() < 4)
            return false;
        v = byteAt(0) | (byteAt(1) << 8) | (byteAt(2) << 16) | (uint32_t{byteAt(3)} << 24);
        pos_ += 4;
        return true;
    }
    bool i32(int32_t& v) {
        uint32_t u;
        if (!u32(u))
            return false;
        v = static_cast<int32_t>(u);
        return true;
    }
    bool bytes(uint64_t n, std::string_view& out) {
        if (n > remaining())
            return false;
        out = bytes_.substr(pos_, static_cast<size_t>(n));
        pos_ += static_cast<size_t>(n);
        return true;
    }

    // The archive string length prefix: returns the length and whether the wide (UTF-16) form
    // was announced.
    bool lengthPrefix(uint64_t& length, bool& wide) {
        wide = false;
        for (;;) {
            uint8_t b;
            if (!u8(b))
                return false;
            if (b < 0xFF) {
                length = b;
                return true;
            }
            uint16_t w;
            if (!u16(w))
                return false;
            if (w == 0xFFFE && !wide) {
                wide = true; // a second prefix follows, counting UTF-16 code units
                continue;
            }
            if (w < 0xFFFF) {
                length = w;
                return true;
            }
            uint32_t d;
            if (!u32(d))
                return false;
            length = d;
            return true;
        }
    }

private:
    uint32_t byteAt(size_t k) const { return static_cast<uint8_t>(bytes_[pos_ + k]); }
    std::string_view bytes_;
    size_t pos_ = 0;
};

// UTF-16LE code units to UTF-8; unpaired surrogates become U+FFFD.
std::string utf16leToUtf8(std::string_view raw) {
    std::string out;
    size_t n = raw.size() / 2;
    auto unit = [&](size_t i) {
        return static_cast<uint32_t>(static_cast<uint8_t>(raw[2 * i]) |
                                     (static_cast<uint8_t>(raw[2 * i + 1]) << 8));
    };
    auto put = [&](uint32_t cp) {
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    };
    for (size_t i = 0; i < n; ++i) {
        uint32_t u = unit(i);
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < n && unit(i + 1) >= 0xDC00 &&
            unit(i + 1) < 0xE000) {
            put(0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u < 0xE000) {
            put(0xFFFD);
        } else {
            put(u);
        }
    }
    return out;
}

// Reads an archive string. Narrow strings are returned as a view into the input; wide ones
// are converted into `storage`, which the view then refers to.
bool readArchiveString(Reader& in, std::string_view& out, std::string& storage) {
    uint64_t length;
    bool wide;
    if (!in.lengthPrefix(length, wide))
        return false;
    std::string_view raw;
    if (!in.bytes(wide ? length * 2 : length, raw))
        return false;
    if (wide) {
        storage = tessera::utf8ToGbkLossy(utf16leToUtf8(raw));
        out = storage;
    } else {
        out = raw;
    }
    return true;
}

bool readArchiveString(Reader& in, std::string& out) {
    std::string_view view;
    std::string storage;
    if (!readArchiveString(in, view, storage))
        return false;
    out = std::string(view);
    return true;
}

} // namespace

void appendArchiveString(std::string& out, std::string_view text) {
    size_t n = text.size();
    if (n < 0xFF) {
        out.push_back(static_cast<char>(n));
    } else if (n < 0xFFFE) {
        out.push_back(static_cast<char>(0xFF));
        putU16(out, static_cast<uint16_t>(n));
    } else {
        out.push_back(static_cast<char>(0xFF));
        putU16(out, 0xFFFF);
        putU32(out, static_cast<uint32_t>(n));
    }
    out.append(text);
}

std::string encodeDm(const DmHeader& header, const std::vector<DepthRow>& rows) {
    std::string out;
    size_t estimate = 16 + header.tag.size() + header.text.size();
    for (const auto& row : rows)
        estimate += 17 + row.cell(4).size();
    out.reserve(estimate);
    appendArchiveString(out, header.tag);
    appendArchiveString(out, header.text);
    putU32(out, static_cast<uint32_t>(header.number));
    putU32(out, static_cast<uint32_t>(rows.size()));
    for (const auto& row : rows) {
        for (int c = 0; c < 4; ++c)
            putU32(out, static_cast<uint32_t>(tessera::crtAtoi(row.cell(c))));
        appendArchiveString(out, row.cell(4));
    }
    return out;
}

DmReadStatus decodeDm(std::string_view bytes, DmHeader& header, std::vector<DepthRow>& rows) {
    rows.clear();
    Reader in(bytes);
    if (!readArchiveString(in, header.tag) || !readArchiveString(in, header.text) ||
        !in.i32(header.number))
        return DmReadStatus::EndOfFile;
    int32_t count;
    if (!in.i32(count))
        return DmReadStatus::EndOfFile;
    if (count <= 0)
        return DmReadStatus::Complete;
    // Each row takes at least 17 bytes, so never reserve more than the file can hold.
    rows.reserve(std::min<size_t>(static_cast<size_t>(count), in.remaining() / 17));
    for (int32_t r = 0; r < count; ++r) {
        int32_t v[4];
        for (auto& x : v)
            if (!in.i32(x))
                return DmReadStatus::EndOfFile;
        std::string_view remark;
        std::string storage;
        if (!readArchiveString(in, remark, storage))
            return DmReadStatus::EndOfFile;
        rows.push_back(rowFromValues(v, remark));
    }
    return DmReadStatus::Complete;
}

} // namespace marrowby
