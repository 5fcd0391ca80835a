#include "common/descriptive_stats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using tessera::formatFixed;
using tessera::formatScaled;
using tessera::summarize;

TEST(Summarize, HandComputedSets) {
    std::vector<int64_t> none;
    EXPECT_TRUE(summarize(none).empty());

    std::vector<int64_t> one{7};
    const auto s1 = summarize(one);
    EXPECT_EQ(s1.count, 1u);
    EXPECT_EQ(s1.min, 7);
    EXPECT_EQ(s1.max, 7);
    EXPECT_EQ(s1.mean, 7);
    EXPECT_EQ(s1.median, 7);
    EXPECT_EQ(s1.stdev, 0);

    std::vector<int64_t> equal(1001, 150);
    const auto se = summarize(equal);
    EXPECT_EQ(se.mean, 150);
    EXPECT_EQ(se.median, 150);
    EXPECT_EQ(se.stdev, 0); // exactly, not nearly

    // {4, 1, 3, 2}: mean 2.5, median (2 + 3) / 2, population variance 1.25.
    std::vector<int64_t> four{4, 1, 3, 2};
    const auto s4 = summarize(four);
    EXPECT_EQ(s4.min, 1);
    EXPECT_EQ(s4.max, 4);
    EXPECT_EQ(s4.mean, 2.5);
    EXPECT_EQ(s4.median, 2.5);
    EXPECT_DOUBLE_EQ(s4.stdev, std::sqrt(1.25));

    // {100, 300, 200, 250, 150}: median 200, mean 200, variance (10000+10000+0+2500+2500)/5.
    std::vector<int64_t> five{100, 300, 200, 250, 150};
    const auto s5 = summarize(five);
    EXPECT_EQ(s5.median, 200);
    EXPECT_DOUBLE_EQ(s5.stdev, std::sqrt(5000.0));
}

TEST(Summarize, MedianAgreesWithAFullSortOnRandomSets) {
    std::mt19937 rng(42);
    for (int round = 0; round < 200; ++round) {
        std::vector<int64_t> values(1 + rng() % 50);
        for (auto& v : values)
            v = static_cast<int64_t>(rng() % 20); // many ties
        std::vector<int64_t> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        const size_t n = sorted.size();
        const double median = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2.0;
        const auto s = summarize(values);
        ASSERT_EQ(s.median, median);
        ASSERT_EQ(s.min, sorted.front());
        ASSERT_EQ(s.max, sorted.back());
        ASSERT_LE(s.min, s.mean);
        ASSERT_LE(s.mean, s.max);
    }
}

TEST(RunningStats, TracksCountMinMaxAndMean) {
    tessera::RunningStats r;
    EXPECT_EQ(r.count(), 0u);
    EXPECT_EQ(r.mean(), 0);
    for (int64_t v : {5, -3, 12, 2})
        r.add(v);
    EXPECT_EQ(r.count(), 4u);
    EXPECT_EQ(r.min(), -3);
    EXPECT_EQ(r.max(), 12);
    EXPECT_EQ(r.mean(), 4);
}

TEST(FormatScaled, RoundsDecimalHalvesAwayFromZero) {
    EXPECT_EQ(formatScaled(150.5L, 3), "0.151"); // printf("%.3f", 0.1505) says 0.150
    EXPECT_EQ(formatScaled(150, 3), "0.150");
    EXPECT_EQ(formatScaled(1234567, 3), "1234.567");
    EXPECT_EQ(formatScaled(-7, 1), "-0.7");
    EXPECT_EQ(formatScaled(-0.4L, 1), "0.0"); // no negative zero
    EXPECT_EQ(formatScaled(5, 0), "5");
    EXPECT_EQ(formatFixed(12.25, 1), "12.3");
    EXPECT_EQ(formatFixed(12.0, 1), "12.0");
    EXPECT_EQ(formatFixed(6.25, 1), "6.3");
    EXPECT_EQ(formatFixed(-2.5, 0), "-3");
}
