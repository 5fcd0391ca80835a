#include "depth/document/rows_tsv.h"

#include "common/cell_escape.h"
#include "common/gbk.h"

namespace marrowby {

bool parseRowsTsv(std::string_view text, std::vector<DepthRow>& rows, std::string& error) {
    rows.clear();
    // A UTF-8 byte-order mark (spreadsheets write one) is not part of the first cell.
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (text.substr(0, kBom.size()) == kBom)
        text.remove_prefix(kBom.size());
    size_t lineNo = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        std::string_view line =
            text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        pos = end == std::string_view::npos ? text.size() : end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        std::array<std::string, DepthRow::kCells> cells;
        size_t cell = 0;
        size_t start = 0;
        for (;;) {
            size_t tab = line.find('\t', start);
            std::string_view part = line.substr(
                start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
            if (cell >= DepthRow::kCells) {
                error = "第 " + std::to_string(lineNo) + " 行：多于五个单元格";
                return false;
            }
            auto cellText = tessera::unescapeCell(part);
            if (!cellText) {
                error = "第 " + std::to_string(lineNo) + " 行第 " + std::to_string(cell + 1) +
                        " 个单元格：反斜杠后只能是 t、r、n、0 或另一个反斜杠";
                return false;
            }
            auto gbk = tessera::utf8ToGbk(*cellText);
            if (!gbk) {
                error = "第 " + std::to_string(lineNo) + " 行第 " + std::to_string(cell + 1) +
                        " 个单元格：含有无法用 GBK 编码的字符";
                return false;
            }
            cells[cell++] = std::move(*gbk);
            if (tab == std::string_view::npos)
                break;
            start = tab + 1;
        }
        rows.emplace_back(cells);
    }
    return true;
}

} // namespace marrowby
