#include "depth/document/rows_tsv.h"

#include <gtest/gtest.h>

using namespace marrowby;

TEST(RowsTsv, ParsesCellsLinesAndMissingCells) {
    std::vector<DepthRow> rows;
    std::string error;
    ASSERT_TRUE(parseRowsTsv("1\t2\t3\t45\t备注\r\n7\t8\n\n-1\t\t\t\t\n", rows, error));
    ASSERT_EQ(4u, rows.size());
    EXPECT_EQ(DepthRow("1", "2", "3", "45", "\xB1\xB8\xD7\xA2"), rows[0]);
    EXPECT_EQ(DepthRow("7", "8", "", "", ""), rows[1]);
    EXPECT_EQ(DepthRow("", "", "", "", ""), rows[2]); // an empty line is an empty row
    EXPECT_EQ(DepthRow("-1", "", "", "", ""), rows[3]);
    ASSERT_TRUE(parseRowsTsv("", rows, error));
    EXPECT_TRUE(rows.empty());
    ASSERT_TRUE(parseRowsTsv("5", rows, error)); // no final line end
    EXPECT_EQ(1u, rows.size());
}

TEST(RowsTsv, RejectsExtraCellsAndUnencodableText) {
    std::vector<DepthRow> rows;
    std::string error;
    EXPECT_FALSE(parseRowsTsv("1\t2\t3\t4\t5\t6\n", rows, error));
    EXPECT_NE(std::string::npos, error.find("第 1 行"));
    EXPECT_FALSE(parseRowsTsv("1\n2\t\xF0\x9F\x98\x80\n", rows, error));
    EXPECT_NE(std::string::npos, error.find("第 2 行第 2 个单元格"));
}

TEST(RowsTsv, EscapesAndAByteOrderMark) {
    std::vector<DepthRow> rows;
    std::string error;
    // The mark belongs to no cell; escapes give back TAB, CR, LF and the backslash, also at the
    // end of a line that ends in CR LF.
    ASSERT_TRUE(parseRowsTsv("\xEF\xBB\xBF"
                             "1\t2\\t3\t\\\\\t4\\r\\n\ta\\\\tb\\r\r\n",
                             rows, error))
        << error;
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(DepthRow("1", "2\t3", "\\", "4\r\n", "a\\tb\r"), rows[0]);
    // Only a mark at the very start is skipped; elsewhere it is text GBK cannot hold.
    EXPECT_FALSE(parseRowsTsv("1\n\xEF\xBB\xBF\n", rows, error));
    EXPECT_NE(std::string::npos, error.find("第 2 行第 1 个单元格")) << error;
}

TEST(RowsTsv, BackslashWithoutAnEscapeIsAnError) {
    std::vector<DepthRow> rows;
    std::string error;
    for (const char* text : {"1\t2\\x\n", "1\t2\\\n", "1\t\\\\\\\n"}) {
        EXPECT_FALSE(parseRowsTsv(text, rows, error)) << text;
        EXPECT_NE(std::string::npos, error.find("第 1 行第 2 个单元格")) << error;
    }
}
