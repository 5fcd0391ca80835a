#include "common/cell_escape.h"

#include <gtest/gtest.h>

namespace tessera {
namespace {

TEST(CellEscape, BreakingBytesAreEscapedAndEverythingElseKept) {
    EXPECT_EQ(escapeCell("a\tb\rc\nd\\e"), "a\\tb\\rc\\nd\\\\e");
    EXPECT_EQ(escapeCell("\xb5\xda\x5c"), "\xb5\xda\\\\"); // a GBK trail byte 0x5C too
    EXPECT_EQ(escapeCell(""), "");
}

TEST(CellEscape, RoundTripOverEveryByte) {
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    const std::string escaped = escapeCell(all);
    EXPECT_EQ(escaped.find('\t'), std::string::npos);
    EXPECT_EQ(escaped.find('\n'), std::string::npos);
    EXPECT_EQ(escaped.find('\r'), std::string::npos);
    EXPECT_EQ(escaped.find('\0'), std::string::npos);
    EXPECT_EQ(unescapeCell(escaped), all);
}

TEST(CellEscape, UnknownOrUnfinishedEscapesAreRefused) {
    EXPECT_EQ(unescapeCell("a\\x"), std::nullopt);
    EXPECT_EQ(unescapeCell("ends\\"), std::nullopt);
    EXPECT_EQ(unescapeCell("\\\\t"), "\\t");
    // "\0" is NUL even before a digit: there are no numeric escapes.
    EXPECT_EQ(unescapeCell("a\\01"), std::string("a\0"
                                                 "1",
                                                 3));
}

} // namespace
} // namespace tessera
