#pragma once
// Spreadsheets of text and number cells, written as XLSX (libxlsxwriter) or CSV. Model code.
//
// A cell holds the text shown in the program (UTF-8). A number cell holds a value too: the XLSX
// stores it as a number shown with as many decimals as its text has, so "0.10" is the number 0.1
// shown as 0.10; the CSV writes the text.
//
// CSV: UTF-8 with a byte-order mark, CR LF after every line, fields separated by commas and
// quoted when they hold a comma, a double quote, CR or LF (a double quote doubled), as RFC 4180
// says; spreadsheet programs open such a file without asking for its encoding.
//
// XLSX: one worksheet per sheet, the first row of each sheet bold and frozen, strings written
// inline. A text longer than a cell can hold (32,767 characters) is cut there.
//
// Both are written through the atomic writer (common/atomic_file.h): an existing file stays as it
// was when anything fails, and no temporary file survives SIGINT or SIGTERM.

#include <string>
#include <string_view>
#include <vector>

namespace tessera {

struct SheetCell {
    std::string text;      // UTF-8, as shown
    bool isNumber = false; // a number cell: `value` shown with `decimals` places
    double value = 0;
    int decimals = 0;

    bool operator==(const SheetCell&) const = default;
};

// A text cell.
SheetCell textCell(std::string text);
// A number cell whose text is `value` with `decimals` places (rounded half away from zero).
SheetCell numberCell(double value, int decimals);
// A number cell of a whole number.
SheetCell integerCell(long long value);
// The cell for a text as shown: a number cell when the text is a plain decimal number as a
// person writes it (an optional "-", digits without needless leading zeros, an optional point
// followed by digits: "12", "-7", "0.15", "0.10"), a text cell otherwise ("12abc", " 3", "007",
// "1e3", ".5", "").
SheetCell cellFromText(std::string text);

struct Sheet {
    std::string name;                         // UTF-8; made valid for XLSX when written (see below)
    std::vector<double> columnWidths;         // in characters, column by column; missing: default
    std::vector<std::vector<SheetCell>> rows; // the first row is the header

    void addRow(std::vector<SheetCell> row) { rows.push_back(std::move(row)); }
};

using Workbook = std::vector<Sheet>;

// The CSV bytes of `sheet` (byte-order mark, CR LF, RFC 4180 quoting).
std::string encodeCsv(const Sheet& sheet);

// The name an XLSX sheet gets for `name`: the characters []:*?/\ replaced by "_", cut to 31
// characters, "Sheet" when empty, and a number appended when an earlier sheet has it already.
std::string xlsxSheetName(std::string_view name, const std::vector<std::string>& earlier);

enum class SpreadsheetKind { None, Xlsx, Csv };

// By the file name's extension, without regard to letter case: ".xlsx" or ".csv"; None else.
SpreadsheetKind spreadsheetKindOf(std::string_view path);

// Writes `workbook` to `path` as XLSX (every sheet) or CSV (the first sheet only; an empty
// workbook gives an empty CSV with its byte-order mark) by `kind`. False with the reason (UTF-8,
// for users) on failure; the old file is then left as it was.
bool writeSpreadsheet(const std::string& path, SpreadsheetKind kind, const Workbook& workbook,
                      std::string* error = nullptr);

// The XLSX bytes of `workbook` (what writeSpreadsheet writes for Xlsx); empty with the reason on
// failure.
std::string encodeXlsx(const Workbook& workbook, std::string* error = nullptr);

} // namespace tessera
