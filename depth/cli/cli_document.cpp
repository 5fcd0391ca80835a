// marrowby-cli dump, import and export.

#include "depth/cli/cli.h"
#include "depth/cli/cli_io.h"

#include "common/atomic_file.h"
#include "common/cell_escape.h"
#include "common/crt.h"
#include "common/gbk.h"
#include "depth/document/rows_tsv.h"
#include "depth/report/text_export.h"
#include "depth/stats/depth_sheets.h"

#include <cstdio>
#include <string_view>

namespace marrowby::cli {

int loadRows(const std::string& path, DmHeader& header, std::vector<DepthRow>& rows) {
    std::string bytes, reason;
    if (!tessera::readWholeFile(path, bytes, &reason)) {
        error("无法读取" + quoted(path) + "：" + reason);
        return kFailure;
    }
    if (path.size() >= 4 && path.compare(path.size() - 4, 4, ".tsv") == 0) {
        std::string why;
        if (!parseRowsTsv(bytes, rows, why)) {
            error(quoted(path) + "：" + why);
            return kFailure;
        }
        return kOk;
    }
    if (decodeDm(bytes, header, rows) == DmReadStatus::EndOfFile) {
        std::fprintf(stderr, "%s\n", std::string(kEndOfFileMessage).c_str());
        return kEndOfFile;
    }
    return kOk;
}

bool writeOutput(const std::string& path, const std::string& data) {
    std::string reason;
    if (!tessera::writeFileAtomically(path, data, &reason)) {
        error("无法写入" + quoted(path) + "：" + reason);
        return false;
    }
    return true;
}

namespace {

int dump(const tessera::cli::Arguments& arguments) {
    const std::vector<std::string>& args = arguments.positional;
    if (args.size() != 1) {
        return tessera::cli::usageError();
    }
    std::string bytes, reason;
    if (!tessera::readWholeFile(args[0], bytes, &reason)) {
        error("无法读取" + quoted(args[0]) + "：" + reason);
        return kFailure;
    }
    DmHeader header;
    std::vector<DepthRow> rows;
    bool complete = decodeDm(bytes, header, rows) == DmReadStatus::Complete;
    std::string().swap(bytes);
    // Cells and header texts escaped, so that every line stays one line of TAB-separated cells
    // and the rows read back as a rows file.
    auto text = [](std::string_view gbk) { return tessera::escapeCell(tessera::gbkToUtf8(gbk)); };
    std::string out;
    out.reserve(64 + rows.size() * 16);
    out += "tag\t" + text(header.tag) + "\n";
    out += "text\t" + text(header.text) + "\n";
    out += "number\t" + tessera::formatInt(header.number) + "\n";
    for (const auto& row : rows) {
        for (int c = 0; c < DepthRow::kCells; ++c) {
            if (c)
                out.push_back('\t');
            out += text(row.cell(c));
        }
        out.push_back('\n');
    }
    if (!tessera::cli::printOutput(out))
        return kFailure;
    if (!complete) {
        std::fprintf(stderr, "%s\n", std::string(kEndOfFileMessage).c_str());
        return kEndOfFile;
    }
    return kOk;
}

// Parses a whole decimal 32-bit integer (unlike atoi, trailing text is an error here).
bool parseInt32(const std::string& text, int32_t& value) {
    if (text.empty())
        return false;
    size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
    if (i == text.size())
        return false;
    for (size_t k = i; k < text.size(); ++k)
        if (text[k] < '0' || text[k] > '9')
            return false;
    if (text.size() - i > 10)
        return false;
    long long v = std::stoll(text);
    if (v < INT32_MIN || v > INT32_MAX)
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

int import(const tessera::cli::Arguments& args) {
    const auto& pos = args.positional;
    const auto& opts = args.options;
    if (pos.size() != 2) {
        return tessera::cli::usageError();
    }
    DmHeader header;
    for (const auto& [name, value] : opts) {
        if (name == "--number") {
            if (!parseInt32(value, header.number)) {
                error("--number 需要 32 位整数，而不是“" + value + "”");
                return kFailure;
            }
            continue;
        }
        auto gbk = tessera::utf8ToGbk(value);
        if (!gbk) {
            error(name + " 的值“" + value + "”含有无法用 GBK 编码的字符");
            return kFailure;
        }
        (name == "--tag" ? header.tag : header.text) = *gbk;
    }
    std::string bytes, reason;
    if (!tessera::readWholeFile(pos[0], bytes, &reason)) {
        error("无法读取" + quoted(pos[0]) + "：" + reason);
        return kFailure;
    }
    std::vector<DepthRow> rows;
    std::string why;
    if (!parseRowsTsv(bytes, rows, why)) {
        error(quoted(pos[0]) + "：" + why);
        return kFailure;
    }
    return writeOutput(pos[1], encodeDm(header, rows)) ? kOk : kFailure;
}

int exportText(const tessera::cli::Arguments& arguments) {
    const std::vector<std::string>& args = arguments.positional;
    if (args.size() != 2) {
        return tessera::cli::usageError();
    }
    DmHeader header;
    std::vector<DepthRow> rows;
    int status = loadRows(args[0], header, rows);
    if (status == kFailure)
        return kFailure;
    // OUT ending in .xlsx or .csv gets the spreadsheet export, any other name the text export.
    if (tessera::spreadsheetKindOf(args[1]) != tessera::SpreadsheetKind::None) {
        std::string why;
        if (!writeDepthSpreadsheet(args[1], rows, &why)) {
            error("无法写入" + quoted(args[1]) + "：" + why);
            return kFailure;
        }
        return status;
    }
    if (!writeOutput(args[1], encodeTextExport(rows)))
        return kFailure;
    return status;
}

const tessera::cli::Command dumpCommand("dump", "dump FILE.DM", {}, dump);
const tessera::cli::Command
    importCommand("import", "import ROWS.tsv OUT.DM [--tag T] [--text X] [--number N]",
                  {"--tag", "--text", "--number"}, import);
const tessera::cli::Command
    exportCommand("export", "export IN OUT.txt|OUT.xlsx|OUT.csv   （IN：DM 文件或行文件 .tsv）", {},
                  exportText);

} // namespace
} // namespace marrowby::cli
