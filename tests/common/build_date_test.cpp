#include "common/build_date.h"

#include <gtest/gtest.h>

namespace tessera {
namespace {

TEST(BuildDate, CompilerDatesReadTheChineseWay) {
    EXPECT_EQ(chineseBuildDate("Dec  7 2026"), "2026年12月7日");
    EXPECT_EQ(chineseBuildDate("Jan 31 1999"), "1999年1月31日");
    EXPECT_EQ(chineseBuildDate("May 10 2030"), "2030年5月10日");
    // The compiler's own date, whatever day it is, never stays in English.
    EXPECT_EQ(chineseBuildDate(__DATE__).find_first_of("JFMASOND"), std::string::npos);
}

TEST(BuildDate, OtherTextsStayAsTheyAre) {
    for (const char* text : {"", "??? ?? ????", "Dez  7 2026", "Dec  0 2026", "Dec 7 2026",
                             "Dec 32 2026", "Dec  7 20x6", "2026-12-07"})
        EXPECT_EQ(chineseBuildDate(text), text) << text;
}

} // namespace
} // namespace tessera
