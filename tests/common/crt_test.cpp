#include "common/crt.h"

#include <gtest/gtest.h>

#include <cmath>

using tessera::crtAtof;
using tessera::crtAtoi;

TEST(CrtAtoi, FollowsTheCRuntimeRule) {
    EXPECT_EQ(-7, crtAtoi(" -7"));
    EXPECT_EQ(15, crtAtoi("+15"));
    EXPECT_EQ(3, crtAtoi("3.9"));
    EXPECT_EQ(12, crtAtoi("12abc"));
    EXPECT_EQ(0, crtAtoi("abc"));
    EXPECT_EQ(0, crtAtoi(""));
    EXPECT_EQ(0, crtAtoi("-"));
    EXPECT_EQ(0, crtAtoi("+-3"));
    EXPECT_EQ(0, crtAtoi("- 3"));
    EXPECT_EQ(42, crtAtoi("\t\n\v\f\r 42"));
    EXPECT_EQ(7, crtAtoi("007"));
}

TEST(CrtAtoi, SaturatesBeyondThe32BitRange) {
    EXPECT_EQ(2147483647, crtAtoi("2147483647"));
    EXPECT_EQ(2147483647, crtAtoi("2147483648"));
    EXPECT_EQ(-2147483647 - 1, crtAtoi("-2147483648"));
    EXPECT_EQ(-2147483647 - 1, crtAtoi("-2147483649"));
    EXPECT_EQ(2147483647, crtAtoi("99999999999999999999999999999999"));
    EXPECT_EQ(-2147483647 - 1, crtAtoi("-99999999999999999999999999999999x"));
}

TEST(FormatInt, PrintsLikePercentD) {
    EXPECT_EQ("0", tessera::formatInt(0));
    EXPECT_EQ("-7", tessera::formatInt(-7));
    EXPECT_EQ("-2147483648", tessera::formatInt(-2147483647 - 1));
}

TEST(CrtAtof, FollowsTheCRuntimeRuleInTheCLocale) {
    EXPECT_EQ(0.0, crtAtof(""));
    EXPECT_EQ(0.0, crtAtof("abc"));
    EXPECT_EQ(12.0, crtAtof(" \t12abc"));
    EXPECT_EQ(-5.25, crtAtof("-5.25"));
    EXPECT_EQ(0.5, crtAtof(".5"));
    EXPECT_EQ(1.2, crtAtof("1.2.3"));
    EXPECT_EQ(1000.0, crtAtof("1e3"));
    EXPECT_EQ(1.0, crtAtof("1e"));
    EXPECT_EQ(1.0, crtAtof("1e+"));
    EXPECT_EQ(0.0, crtAtof("0x10"));
    EXPECT_EQ(0.0, crtAtof("inf"));
    EXPECT_EQ(0.0, crtAtof("."));
    EXPECT_TRUE(std::isinf(crtAtof("1e400")));
}
