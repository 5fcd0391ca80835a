#include "depth/stats/depth_sheets.h"
#include "depth/stats/depth_stats.h"
#include "depth/stats/depth_stats_report.h"

#include <gtest/gtest.h>

using namespace marrowby;

namespace {

std::vector<DepthRow> rowsOf(std::initializer_list<std::array<const char*, 4>> cells) {
    std::vector<DepthRow> rows;
    for (const auto& c : cells)
        rows.emplace_back(c[0], c[1], c[2], c[3], "");
    return rows;
}

} // namespace

TEST(DepthStats, HandComputedFiguresPerComponentAndCrack) {
    // Component 2 first; its crack 1 has depths 10, 20 and an unmeasured 0; component 1's crack 3
    // "12abc" (atoi 12) and " 30". Cells are read by the atoi rule: "02" is component 2.
    const auto rows = rowsOf({{"2", "1", "1", "10"},
                              {"2", "1", "2", "20"},
                              {"1", "3", "1", "12abc"},
                              {"02", "1", "3", "0"},
                              {"2", "5", "1", "-4"},
                              {"1", "3", "2", " 30"}});
    const DepthStats s = computeDepthStats(rows);
    EXPECT_EQ(s.rows, 6u);
    EXPECT_EQ(s.measured, 4u);
    EXPECT_EQ(s.depth.min, 10);
    EXPECT_EQ(s.depth.max, 30);
    EXPECT_EQ(s.depth.mean, 18);
    EXPECT_EQ(s.depth.median, 16);
    ASSERT_EQ(s.components.size(), 2u);
    EXPECT_EQ(s.components[0].component, 2);
    EXPECT_EQ(s.components[0].cracks, 2u);
    EXPECT_EQ(s.components[0].points, 4u);
    ASSERT_EQ(s.cracks.size(), 3u);
    EXPECT_EQ(s.cracks[1].crack, 3); // in order of first appearance
    EXPECT_EQ(s.cracks[2].depth.count(), 0u);

    EXPECT_EQ(formatDepthStatsTsv(s), "rows\t6\n"
                                      "measured\t4\n"
                                      "min\t10.0\n"
                                      "max\t30.0\n"
                                      "mean\t18.0\n"
                                      "median\t16.0\n"
                                      "stdev\t7.9\n"
                                      "component\t2\t2\t4\t20.0\t15.0\n"
                                      "component\t1\t1\t2\t30.0\t21.0\n"
                                      "crack\t2\t1\t3\t10.0\t20.0\t15.0\n"
                                      "crack\t1\t3\t2\t12.0\t30.0\t21.0\n"
                                      "crack\t2\t5\t1\t-\t-\t-\n");

    // The profile of crack (2, 1): its points in row order, the unmeasured one a gap.
    const auto profile = depthProfile(s, rows, 0);
    ASSERT_EQ(profile.size(), 3u);
    EXPECT_EQ(profile[2].point, 3);
    EXPECT_FALSE(profile[2].measured);
    const tessera::LineChart chart = depthProfileChart(s, rows, 0);
    EXPECT_EQ(chart.labels, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(chart.values[1], 20.0);
    EXPECT_FALSE(chart.values[2].has_value());
    EXPECT_EQ(crackName(s.cracks[0]), "构件 2 裂缝 1");
    EXPECT_EQ(depthMaximaChart(s).values, (std::vector<double>{20, 30, 0}));
}

TEST(DepthStats, NothingMeasuredEqualValuesAndOneRow) {
    const std::string none = formatDepthStatsTsv(computeDepthStats(rowsOf({{"1", "1", "1", ""}})));
    EXPECT_EQ(none, "rows\t1\nmeasured\t0\nmin\t-\nmax\t-\nmean\t-\nmedian\t-\nstdev\t-\n"
                    "component\t1\t1\t1\t-\t-\n"
                    "crack\t1\t1\t1\t-\t-\t-\n");
    EXPECT_EQ(formatDepthStatsTsv(computeDepthStats({})),
              "rows\t0\nmeasured\t0\nmin\t-\nmax\t-\nmean\t-\nmedian\t-\nstdev\t-\n");
    const DepthStats equal = computeDepthStats(
        rowsOf({{"1", "1", "1", "25"}, {"1", "2", "1", "25"}, {"1", "2", "2", "25"}}));
    EXPECT_EQ(equal.depth.stdev, 0);
    EXPECT_EQ(equal.depth.median, 25);
    EXPECT_EQ(equal.components[0].cracks, 2u);
}

TEST(DepthStats, CrackRowsGroupEveryRowOnceUnderItsCrack) {
    std::vector<DepthRow> rows;
    for (int i = 0; i < 20000; ++i) {
        const int32_t v[4] = {i % 37, (i * 13) % 11, i, i % 50};
        rows.push_back(rowFromValues(v, ""));
    }
    const DepthStats s = computeDepthStats(rows);
    ASSERT_EQ(s.crackRows.size(), rows.size());
    std::vector<bool> seen(rows.size());
    size_t components = 0;
    for (size_t k = 0; k < s.cracks.size(); ++k) {
        const DepthCrack& c = s.cracks[k];
        uint32_t previous = 0;
        for (size_t i = c.firstRow; i < c.firstRow + c.points; ++i) {
            const uint32_t r = s.crackRows[i];
            ASSERT_FALSE(seen[r]);
            seen[r] = true;
            ASSERT_TRUE(i == c.firstRow || r > previous) << "row order within a crack";
            previous = r;
            ASSERT_EQ(rows[r].cell(0), std::to_string(c.component));
            ASSERT_EQ(rows[r].cell(1), std::to_string(c.crack));
        }
    }
    for (const auto& c : s.components)
        components += c.cracks;
    EXPECT_EQ(components, s.cracks.size());
    EXPECT_EQ(s.cracks.size(), 37u * 11u);

    // The report: tables and eight profiles a page over many pages, every crack's chart drawn.
    const DepthStatsReport report(rows, s);
    EXPECT_GT(report.pageCount(), 407 / 8);
    const tessera::PageDevice device{150, 150, 1240, 1754};
    size_t profiles = 0;
    for (int p = 1; p <= report.pageCount(); ++p)
        for (const tessera::PageOp& op : report.layoutPage(device, p))
            profiles += op.kind == tessera::PageOpKind::Text && op.text.ends_with(" 深度曲线");
    EXPECT_EQ(profiles, s.cracks.size());
}

TEST(DepthStats, DataSheetKeepsTextsAsShownAndNumbersAsNumbers) {
    const auto rows = rowsOf({{"1", "2", "3", "12abc"}, {"-7", "", "08", "45"}});
    const tessera::Sheet data = depthDataSheet(rows);
    ASSERT_EQ(data.rows.size(), 3u);
    EXPECT_EQ(data.rows[0][3].text, "裂缝深度值");
    EXPECT_TRUE(data.rows[1][0].isNumber);
    EXPECT_FALSE(data.rows[1][3].isNumber);
    EXPECT_EQ(data.rows[1][3].text, "12abc");
    EXPECT_EQ(data.rows[2][0].value, -7);
    EXPECT_FALSE(data.rows[2][2].isNumber) << "08 would show as 8";
    const tessera::Sheet stats = depthStatsSheet(computeDepthStats(rows));
    EXPECT_EQ(stats.rows[1][1].value, 2); // rows
    EXPECT_EQ(stats.rows[2][1].value, 2); // measured: 12 and 45
    EXPECT_EQ(stats.rows[5][1].text, "28.5");
}
