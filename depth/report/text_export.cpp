#include "depth/report/text_export.h"

#include "common/crt.h"

#include <charconv>

namespace marrowby {

std::string encodeTextExport(const std::vector<DepthRow>& rows) {
    // "构件号\t裂缝号\t测点号\t裂缝深度值\t" in GBK, then CR LF.
    static const char kHeader[] = "\xB9\xB9\xBC\xFE\xBA\xC5\t"
                                  "\xC1\xD1\xB7\xEC\xBA\xC5\t"
                                  "\xB2\xE2\xB5\xE3\xBA\xC5\t"
                                  "\xC1\xD1\xB7\xEC\xC9\xEE\xB6\xC8\xD6\xB5\t\r\n";
    std::string out(kHeader, sizeof kHeader - 1);
    out.reserve(out.size() + rows.size() * 20);
    char buf[16];
    for (const auto& row : rows) {
        for (int c = 0; c < 4; ++c) {
            auto res = std::to_chars(buf, buf + sizeof buf, tessera::crtAtoi(row.cell(c)));
            out.append(buf, res.ptr);
            out.push_back('\t');
        }
        out.append("\r\n");
    }
    return out;
}

} // namespace marrowby
