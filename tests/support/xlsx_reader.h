#pragma once
// Reading back what the XLSX writer wrote, for tests: one entry of a ZIP file (deflated or
// stored) and the cells of a worksheet's XML. Header-only; needs zlib.

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <string_view>

namespace xlsxtest {

inline uint32_t le(std::string_view b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<size_t>(i)]);
    return v;
}

// The uncompressed bytes of the entry `name` of the ZIP file `zip`, found by its local header;
// empty when there is none or it cannot be inflated.
inline std::string zipEntry(std::string_view zip, std::string_view name) {
    for (size_t at = zip.find(name); at != std::string_view::npos; at = zip.find(name, at + 1)) {
        if (at < 30 || le(zip, at - 30, 4) != 0x04034b50 || le(zip, at - 4, 2) != name.size())
            continue; // not the name field of a local header
        const size_t header = at - 30;
        const uint32_t method = le(zip, header + 8, 2);
        const size_t data = at + name.size() + le(zip, header + 28, 2);
        if (method == 0) {
            return std::string(zip.substr(data, le(zip, header + 18, 4)));
        }
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
            return {};
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.data() + data));
        z.avail_in = static_cast<uInt>(zip.size() - data);
        std::string out;
        char buffer[65536];
        int status = Z_OK;
        while (status == Z_OK) {
            z.next_out = reinterpret_cast<Bytef*>(buffer);
            z.avail_out = sizeof buffer;
            status = inflate(&z, Z_NO_FLUSH);
            out.append(buffer, sizeof buffer - z.avail_out);
        }
        inflateEnd(&z);
        return status == Z_STREAM_END ? out : std::string();
    }
    return {};
}

inline std::string unescapeXml(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out += s[i];
            continue;
        }
        const size_t end = s.find(';', i);
        const std::string_view entity = s.substr(i + 1, end - i - 1);
        if (entity == "amp")
            out += '&';
        else if (entity == "lt")
            out += '<';
        else if (entity == "gt")
            out += '>';
        else if (entity == "quot")
            out += '"';
        else if (entity == "apos")
            out += '\'';
        else if (!entity.empty() && entity[0] == '#') {
            const unsigned long cp = entity.size() > 1 && entity[1] == 'x'
                                         ? std::stoul(std::string(entity.substr(2)), nullptr, 16)
                                         : std::stoul(std::string(entity.substr(1)));
            out += static_cast<char>(cp); // ASCII control characters only in these tests
        }
        i = end;
    }
    return out;
}

struct Cell {
    bool number = false;
    std::string text; // the string, or the number as written in the XML
    bool operator==(const Cell&) const = default;
};

// The cells of a worksheet's XML by reference ("A1", "C12"); inline and shared strings are both
// returned as the text of an inline string (the writer uses inline strings).
inline std::map<std::string, Cell> sheetCells(std::string_view xml) {
    std::map<std::string, Cell> cells;
    for (size_t at = xml.find("<c "); at != std::string_view::npos; at = xml.find("<c ", at + 1)) {
        const size_t tagEnd = xml.find('>', at);
        const std::string_view tag = xml.substr(at, tagEnd - at);
        const size_t r = tag.find("r=\"") + 3;
        const std::string ref(tag.substr(r, tag.find('"', r) - r));
        if (tag.back() == '/')
            continue; // an empty (formatted) cell
        const size_t close = xml.find("</c>", tagEnd);
        const std::string_view body = xml.substr(tagEnd + 1, close - tagEnd - 1);
        Cell cell;
        if (const size_t v = body.find("<v>"); v != std::string_view::npos) {
            cell.number = tag.find("t=\"") == std::string_view::npos;
            cell.text = std::string(body.substr(v + 3, body.find("</v>") - v - 3));
        } else if (const size_t t = body.find("<t"); t != std::string_view::npos) {
            const size_t from = body.find('>', t) + 1;
            cell.text = unescapeXml(body.substr(from, body.find("</t>") - from));
        }
        cells[ref] = cell;
    }
    return cells;
}

} // namespace xlsxtest
