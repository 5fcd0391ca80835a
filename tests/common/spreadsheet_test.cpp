#include "common/spreadsheet.h"

#include "common/atomic_file.h"
#include "tests/support/xlsx_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace tessera;

namespace {

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class SpreadsheetFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("spreadsheet-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

} // namespace

TEST(SheetCells, PlainDecimalNumbersBecomeNumbersEverythingElseStaysText) {
    struct Case {
        const char* text;
        bool number;
        int decimals;
    };
    for (const Case& c : std::initializer_list<Case>{{"12", true, 0},
                                                     {"-7", true, 0},
                                                     {"0", true, 0},
                                                     {"0.15", true, 2},
                                                     {"0.10", true, 2},
                                                     {"-0.5", true, 1},
                                                     {"12abc", false, 0},
                                                     {" 3", false, 0},
                                                     {"3 ", false, 0},
                                                     {"007", false, 0},
                                                     {"1e3", false, 0},
                                                     {".5", false, 0},
                                                     {"5.", false, 0},
                                                     {"+5", false, 0},
                                                     {"-", false, 0},
                                                     {"", false, 0},
                                                     {"1234567890123456", false, 0},
                                                     {"0.１", false, 0}}) {
        const SheetCell cell = cellFromText(c.text);
        EXPECT_EQ(cell.isNumber, c.number) << c.text;
        EXPECT_EQ(cell.text, c.text) << "the text shown never changes";
        if (c.number) {
            EXPECT_EQ(cell.decimals, c.decimals) << c.text;
            EXPECT_EQ(cell.value, std::stod(c.text)) << c.text;
        }
    }
}

TEST(Csv, ByteOrderMarkCrLfAndRfc4180Quoting) {
    Sheet sheet;
    sheet.addRow({textCell("组号"), textCell("a,b"), textCell("say \"hi\"")});
    sheet.addRow({textCell("two\nlines"), cellFromText("0.15"), textCell("")});
    EXPECT_EQ(encodeCsv(sheet), "\xEF\xBB\xBF"
                                "组号,\"a,b\",\"say \"\"hi\"\"\"\r\n"
                                "\"two\nlines\",0.15,\r\n");
    EXPECT_EQ(encodeCsv(Sheet{}), "\xEF\xBB\xBF");
}

TEST(Xlsx, SheetNamesAreMadeValidAndDistinct) {
    EXPECT_EQ(xlsxSheetName("记录", {}), "记录");
    EXPECT_EQ(xlsxSheetName("a/b[c]:d*e?f\\g", {}), "a_b_c__d_e_f_g");
    EXPECT_EQ(xlsxSheetName("", {}), "Sheet");
    const std::string longName(40, 'x');
    EXPECT_EQ(xlsxSheetName(longName, {}).size(), 31u);
    EXPECT_EQ(xlsxSheetName("统计", {"统计"}), "统计 (2)");
    EXPECT_EQ(xlsxSheetName("Data", {"DATA", "data (2)"}), "Data (3)");
    EXPECT_EQ(xlsxSheetName(longName, {std::string(31, 'x')}).size(), 31u);
}

TEST(Xlsx, KindFollowsTheExtensionWithoutRegardToCase) {
    EXPECT_EQ(spreadsheetKindOf("a/b.xlsx"), SpreadsheetKind::Xlsx);
    EXPECT_EQ(spreadsheetKindOf("B.XLSX"), SpreadsheetKind::Xlsx);
    EXPECT_EQ(spreadsheetKindOf("c.Csv"), SpreadsheetKind::Csv);
    EXPECT_EQ(spreadsheetKindOf("d.txt"), SpreadsheetKind::None);
    EXPECT_EQ(spreadsheetKindOf("xlsx"), SpreadsheetKind::None);
}

TEST_F(SpreadsheetFiles, XlsxReadsBackWithNumbersAsNumbersAndTextsAsShown) {
    Workbook book(2);
    book[0].name = "记录";
    book[0].addRow({textCell("名称"), textCell("宽度(mm)")});
    book[0].addRow({textCell("L1-01 <a&b> \"q\""), cellFromText("0.15")});
    book[0].addRow({textCell("裂缝"), cellFromText("0.1mm")});
    book[0].addRow({textCell(""), cellFromText("-7")});
    book[0].addRow({textCell(std::string(40000, 'x')), integerCell(123456789012LL)});
    book[1].name = "统计";
    book[1].addRow({textCell("项目"), numberCell(2.0 / 3.0, 3)});

    const fs::path out = dir / "book.xlsx";
    std::string why;
    ASSERT_TRUE(writeSpreadsheet(out.string(), SpreadsheetKind::Xlsx, book, &why)) << why;
    const std::string zip = readFile(out);
    const std::string workbook = xlsxtest::zipEntry(zip, "xl/workbook.xml");
    EXPECT_NE(workbook.find("name=\"记录\""), std::string::npos);
    EXPECT_NE(workbook.find("name=\"统计\""), std::string::npos);

    auto cells = xlsxtest::sheetCells(xlsxtest::zipEntry(zip, "xl/worksheets/sheet1.xml"));
    EXPECT_EQ(cells["A1"], (xlsxtest::Cell{false, "名称"}));
    EXPECT_EQ(cells["A2"], (xlsxtest::Cell{false, "L1-01 <a&b> \"q\""}));
    EXPECT_EQ(cells["B2"], (xlsxtest::Cell{true, "0.15"}));
    EXPECT_EQ(cells["B3"], (xlsxtest::Cell{false, "0.1mm"}));
    EXPECT_EQ(cells.count("A4"), 0u) << "an empty text is an empty cell";
    EXPECT_EQ(cells["B4"], (xlsxtest::Cell{true, "-7"}));
    EXPECT_EQ(cells["A5"].text, std::string(32767, 'x')) << "cut at what a cell holds";
    EXPECT_EQ(cells["B5"], (xlsxtest::Cell{true, "123456789012"}));
    auto stats = xlsxtest::sheetCells(xlsxtest::zipEntry(zip, "xl/worksheets/sheet2.xml"));
    EXPECT_TRUE(stats["B1"].number);
    EXPECT_EQ(std::stod(stats["B1"].text), 0.667);

    // The number formats keep the decimals shown ("0.10" stays 0.10 on screen).
    const std::string styles = xlsxtest::zipEntry(zip, "xl/styles.xml");
    EXPECT_NE(styles.find("formatCode=\"0.00\""), std::string::npos);
}

TEST_F(SpreadsheetFiles, CsvGetsTheFirstSheetAndFailuresKeepTheOldFile) {
    Workbook book(2);
    book[0].addRow({textCell("a"), cellFromText("1")});
    book[1].addRow({textCell("not in the CSV")});
    const fs::path out = dir / "out.csv";
    ASSERT_TRUE(writeSpreadsheet(out.string(), SpreadsheetKind::Csv, book));
    EXPECT_EQ(readFile(out), "\xEF\xBB\xBF"
                             "a,1\r\n");

    // A folder in the way, and an unknown kind: false with a reason, nothing written.
    fs::create_directories(dir / "folder.xlsx");
    std::string why;
    EXPECT_FALSE(
        writeSpreadsheet((dir / "folder.xlsx").string(), SpreadsheetKind::Xlsx, book, &why));
    EXPECT_FALSE(why.empty());
    why.clear();
    EXPECT_FALSE(writeSpreadsheet(out.string(), SpreadsheetKind::None, book, &why));
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(readFile(out), "\xEF\xBB\xBF"
                             "a,1\r\n");
    // Rows beyond what a worksheet holds: refused, the old file stays.
    Workbook huge(1);
    huge[0].rows.resize(1048577);
    EXPECT_FALSE(writeSpreadsheet(out.string(), SpreadsheetKind::Xlsx, huge, &why));
    EXPECT_EQ(readFile(out), "\xEF\xBB\xBF"
                             "a,1\r\n");
    // No temporary file of ours is left beside the target.
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir))
        ++entries;
    EXPECT_EQ(entries, 2u);
}
