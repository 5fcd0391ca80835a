#include "common/spreadsheet.h"

#include "common/atomic_file.h"
#include "common/descriptive_stats.h"
#include "common/error_text.h"
#include "common/temporary_files.h"
#include "common/translate.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace tessera {
namespace {

// The most characters (UTF-16 units, as spreadsheet programs count them) a cell can hold.
constexpr size_t kMaxCellUnits = 32767;
// The most significant digits a spreadsheet keeps of a number; longer numbers stay text.
constexpr int kMaxNumberDigits = 15;
// XLSX sheet names: at most 31 characters.
constexpr size_t kMaxSheetNameChars = 31;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the UTF-8 sequence that starts with `lead` (1 for stray bytes).
size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

// `text` cut after `maxUnits` UTF-16 units (a character beyond U+FFFF counts two), never inside
// a character.
std::string_view cutUtf8(std::string_view text, size_t maxUnits) {
    size_t units = 0, i = 0;
    while (i < text.size()) {
        const size_t len =
            std::min(sequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
        const size_t need = len == 4 ? 2 : 1;
        if (units + need > maxUnits)
            break;
        units += need;
        i += len;
    }
    return text.substr(0, i);
}

size_t countChars(std::string_view text) {
    size_t n = 0;
    for (size_t i = 0; i < text.size(); i += sequenceLength(static_cast<unsigned char>(text[i])))
        ++n;
    return n;
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

// A file in the system's temporary folder, registered for removal on SIGINT and SIGTERM and
// removed when this goes out of scope.
class ScratchFile {
public:
    bool create(std::string* error) {
        std::error_code ec;
        std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
        if (ec)
            dir = "/tmp";
        path_ = (dir / "tessera-xlsx.XXXXXX").string();
        const int fd = createTemporaryFile(path_, 0, slot_);
        if (fd < 0) {
            if (error)
                *error = errorText(errno);
            path_.clear();
            return false;
        }
        ::close(fd);
        return true;
    }
    ~ScratchFile() {
        if (!path_.empty())
            ::unlink(path_.c_str());
        unregisterTemporaryFile(slot_);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    int slot_ = -1;
};

std::string numberFormat(int decimals) {
    return decimals > 0 ? "0." + std::string(static_cast<size_t>(decimals), '0') : "0";
}

} // namespace

SheetCell textCell(std::string text) {
    SheetCell cell;
    cell.text = std::move(text);
    return cell;
}

SheetCell numberCell(double value, int decimals) {
    SheetCell cell;
    cell.text = formatFixed(value, decimals);
    cell.isNumber = true;
    cell.value = std::strtod(cell.text.c_str(), nullptr);
    cell.decimals = decimals;
    return cell;
}

SheetCell integerCell(long long value) {
    SheetCell cell;
    cell.text = std::to_string(value);
    cell.isNumber = true;
    cell.value = static_cast<double>(value);
    return cell;
}

SheetCell cellFromText(std::string text) {
    const std::string_view t = text;
    size_t i = t.starts_with('-') ? 1 : 0;
    const size_t intStart = i;
    while (i < t.size() && isDigit(t[i]))
        ++i;
    const size_t intDigits = i - intStart;
    bool plain = intDigits > 0 && !(intDigits > 1 && t[intStart] == '0');
    int decimals = 0;
    if (plain && i < t.size() && t[i] == '.') {
        const size_t fracStart = ++i;
        while (i < t.size() && isDigit(t[i]))
            ++i;
        decimals = static_cast<int>(i - fracStart);
        plain = decimals > 0;
    }
    plain = plain && i == t.size() && static_cast<int>(intDigits) + decimals <= kMaxNumberDigits;
    if (!plain)
        return textCell(std::move(text));
    SheetCell cell;
    cell.value = std::strtod(text.c_str(), nullptr);
    cell.text = std::move(text);
    cell.isNumber = true;
    cell.decimals = decimals;
    return cell;
}

std::string encodeCsv(const Sheet& sheet) {
    std::string out = "\xEF\xBB\xBF";
    for (const auto& row : sheet.rows) {
        for (size_t c = 0; c < row.size(); ++c) {
            if (c)
                out += ',';
            out += csvField(row[c].text);
        }
        out += "\r\n";
    }
    return out;
}

std::string xlsxSheetName(std::string_view name, const std::vector<std::string>& earlier) {
    std::string clean;
    for (char c : name)
        clean += std::string_view("[]:*?/\\").find(c) == std::string_view::npos ? c : '_';
    // Cut to 31 characters (none beyond U+FFFF in sheet names worth keeping whole).
    size_t i = 0, chars = 0;
    while (i < clean.size() && chars < kMaxSheetNameChars) {
        i += sequenceLength(static_cast<unsigned char>(clean[i]));
        ++chars;
    }
    clean.resize(std::min(i, clean.size()));
    if (clean.empty())
        clean = "Sheet";
    auto taken = [&](const std::string& candidate) {
        for (const std::string& e : earlier) {
            // Sheet names are compared without regard to ASCII letter case.
            if (e.size() == candidate.size() &&
                std::equal(e.begin(), e.end(), candidate.begin(), [](char a, char b) {
                    return std::tolower(static_cast<unsigned char>(a)) ==
                           std::tolower(static_cast<unsigned char>(b));
                }))
                return true;
        }
        return false;
    };
    if (!taken(clean))
        return clean;
    for (int n = 2;; ++n) {
        const std::string suffix = " (" + std::to_string(n) + ")";
        std::string base = clean;
        while (countChars(base) + suffix.size() > kMaxSheetNameChars && !base.empty()) {
            size_t last = base.size() - 1;
            while (last > 0 && (static_cast<unsigned char>(base[last]) & 0xC0) == 0x80)
                --last;
            base.resize(last);
        }
        if (!taken(base + suffix))
            return base + suffix;
    }
}

SpreadsheetKind spreadsheetKindOf(std::string_view path) {
    auto endsWith = [&](std::string_view ext) {
        if (path.size() < ext.size())
            return false;
        const std::string_view tail = path.substr(path.size() - ext.size());
        for (size_t i = 0; i < ext.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(tail[i])) != ext[i])
                return false;
        return true;
    };
    if (endsWith(".xlsx"))
        return SpreadsheetKind::Xlsx;
    if (endsWith(".csv"))
        return SpreadsheetKind::Csv;
    return SpreadsheetKind::None;
}

std::string encodeXlsx(const Workbook& workbook, std::string* error) {
    // libxlsxwriter writes to a named file; it goes to a scratch file first, whose bytes the
    // caller then writes where they belong through the atomic writer.
    ScratchFile scratch;
    if (!scratch.create(error))
        return {};
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE; // rows go out as they are written; strings inline
    options.use_zip64 = LXW_TRUE;       // no size limit on the parts of large sheets
    lxw_workbook* book = workbook_new_opt(scratch.path().c_str(), &options);
    if (!book) {
        if (error)
            *error = translate("Spreadsheet", "无法创建 XLSX 工作簿");
        return {};
    }
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    std::vector<lxw_format*> decimalFormats(10, nullptr);
    auto formatFor = [&](int decimals) -> lxw_format* {
        decimals = std::clamp(decimals, 0, 9);
        if (decimals == 0)
            return nullptr;
        if (!decimalFormats[static_cast<size_t>(decimals)]) {
            lxw_format* f = workbook_add_format(book);
            format_set_num_format(f, numberFormat(decimals).c_str());
            decimalFormats[static_cast<size_t>(decimals)] = f;
        }
        return decimalFormats[static_cast<size_t>(decimals)];
    };

    std::string failure;
    std::vector<std::string> names;
    for (const Sheet& sheet : workbook) {
        if (sheet.rows.size() > LXW_ROW_MAX) {
            failure = translate("Spreadsheet", "行数超过 XLSX 工作表的上限（1048576 行）");
            break;
        }
        names.push_back(xlsxSheetName(sheet.name, names));
        lxw_worksheet* ws = workbook_add_worksheet(book, names.back().c_str());
        if (!ws) {
            failure = translate("Spreadsheet", "无法添加工作表");
            break;
        }
        for (size_t c = 0; c < sheet.columnWidths.size(); ++c)
            worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                 sheet.columnWidths[c], nullptr);
        if (!sheet.rows.empty())
            worksheet_freeze_panes(ws, 1, 0);
        for (size_t r = 0; r < sheet.rows.size() && failure.empty(); ++r) {
            const auto& row = sheet.rows[r];
            for (size_t c = 0; c < row.size(); ++c) {
                const SheetCell& cell = row[c];
                const auto rr = static_cast<lxw_row_t>(r);
                const auto cc = static_cast<lxw_col_t>(c);
                lxw_error status = LXW_NO_ERROR;
                if (cell.isNumber) {
                    status = worksheet_write_number(ws, rr, cc, cell.value,
                                                    r == 0 ? bold : formatFor(cell.decimals));
                } else if (!cell.text.empty()) {
                    const std::string text(cutUtf8(cell.text, kMaxCellUnits));
                    status =
                        worksheet_write_string(ws, rr, cc, text.c_str(), r == 0 ? bold : nullptr);
                }
                if (status != LXW_NO_ERROR) {
                    failure = lxw_strerror(status);
                    break;
                }
            }
        }
        if (!failure.empty())
            break;
    }
    const lxw_error closed = workbook_close(book); // frees the workbook in any case
    if (failure.empty() && closed != LXW_NO_ERROR)
        failure = closed == LXW_ERROR_CREATING_XLSX_FILE ? errorText(errno) : lxw_strerror(closed);
    if (!failure.empty()) {
        if (error)
            *error = failure;
        return {};
    }
    std::string bytes;
    if (!readWholeFile(scratch.path(), bytes, error))
        return {};
    return bytes;
}

bool writeSpreadsheet(const std::string& path, SpreadsheetKind kind, const Workbook& workbook,
                      std::string* error) {
    switch (kind) {
    case SpreadsheetKind::Csv:
        return writeFileAtomically(
            path, workbook.empty() ? std::string("\xEF\xBB\xBF") : encodeCsv(workbook.front()),
            error);
    case SpreadsheetKind::Xlsx: {
        // The target is checked before the work, so that a folder that cannot be written is
        // reported at once; the bytes are then written as one piece.
        if (!canWriteFile(path, error))
            return false;
        std::string bytes = encodeXlsx(workbook, error);
        return !bytes.empty() && writeFileAtomically(path, bytes, error);
    }
    case SpreadsheetKind::None:
        break;
    }
    if (error)
        *error = translate("Spreadsheet", "不支持的表格文件类型");
    return false;
}

} // namespace tessera
