// Page units shared by both reports.

#include "common/page.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

TEST(PageUnits, FontHeightsRoundHalvesAwayFromZeroAsMulDivDoes) {
    EXPECT_EQ(125, tessera::fontPixelHeight(15, 600));
    EXPECT_EQ(63, tessera::fontPixelHeight(15, 300)); // 62.5
    EXPECT_EQ(42, tessera::fontPixelHeight(10, 300)); // 41.67
    EXPECT_EQ(13, tessera::fontPixelHeight(10, 96));  // 13.33
    EXPECT_EQ(-63, tessera::fontPixelHeight(-15, 300));
    EXPECT_EQ(0, tessera::fontPixelHeight(0, 600));
}

TEST(PageUnits, MillimetresStayFractionalAndPixelsTruncateSafely) {
    EXPECT_NEAR(354.33, tessera::mmToPixels(15, 600), 0.01);
    EXPECT_EQ(354, tessera::truncPixels(tessera::mmToPixels(15, 600)));
    EXPECT_EQ(-2, tessera::truncPixels(-2.9));
    EXPECT_EQ(INT_MAX, tessera::truncPixels(1e300));
    EXPECT_EQ(INT_MIN, tessera::truncPixels(-1e300));
    EXPECT_EQ(0, tessera::truncPixels(std::nan("")));
}
