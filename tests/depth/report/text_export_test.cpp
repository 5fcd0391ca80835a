// Byte tests of the tab-separated text export.

#include "depth/report/text_export.h"

#include <gtest/gtest.h>

using namespace marrowby;

namespace {

const std::string kHeader = "\xB9\xB9\xBC\xFE\xBA\xC5\t"                      // 构件号
                            "\xC1\xD1\xB7\xEC\xBA\xC5\t"                      // 裂缝号
                            "\xB2\xE2\xB5\xE3\xBA\xC5\t"                      // 测点号
                            "\xC1\xD1\xB7\xEC\xC9\xEE\xB6\xC8\xD6\xB5\t\r\n"; // 裂缝深度值

} // namespace

TEST(TextExport, EmptyListIsTheHeaderLineOnly) {
    std::string out = encodeTextExport({});
    EXPECT_EQ(34u, out.size());
    EXPECT_EQ(kHeader, out);
    EXPECT_EQ("\t\r\n", out.substr(31));
}

TEST(TextExport, RowOfFourNumbersAndARemark) {
    std::string out = encodeTextExport({DepthRow("1", "2", "3", "45", "\xC1\xD1")});
    ASSERT_EQ(kHeader.size() + 11, out.size());
    EXPECT_EQ(std::string("\x31\x09\x32\x09\x33\x09\x34\x35\x09\x0D\x0A"),
              out.substr(kHeader.size()));
}

TEST(TextExport, NegativeValuesKeepTheirSign) {
    std::string out = encodeTextExport({DepthRow("-7", " -7", "+15", "3.9", "")});
    EXPECT_EQ("-7\t-7\t15\t3\t\r\n", out.substr(kHeader.size()));
}

TEST(TextExport, NumbersGoThroughAtoi) {
    std::string out = encodeTextExport({DepthRow("12abc", "", "abc", "007", "x")});
    EXPECT_EQ("12\t0\t0\t7\t\r\n", out.substr(kHeader.size()));
}

TEST(TextExport, RowsInOrderEachWithCrLf) {
    std::string out =
        encodeTextExport({DepthRow("1", "1", "1", "100", ""), DepthRow("2", "3", "4", "5", "")});
    EXPECT_EQ("1\t1\t1\t100\t\r\n2\t3\t4\t5\t\r\n", out.substr(kHeader.size()));
}
