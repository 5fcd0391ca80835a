#include "width/stats/width_sheets.h"
#include "width/stats/width_stats.h"
#include "width/stats/width_stats_report.h"

#include "common/crt.h"
#include "common/gbk.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace fallowmere;

namespace {

// Records from (group, width) pairs; names are made up.
struct Records {
    std::vector<CRecordStru> records;
    Records(std::initializer_list<std::pair<std::string, std::string>> items) {
        int n = 0;
        for (const auto& [group, width] : items) {
            CRecordStru r;
            r.strGroup = *tessera::utf8ToGbk(group);
            r.strName = "R" + std::to_string(++n);
            r.strWidth = width;
            records.push_back(r);
        }
    }
    std::vector<const CRecordStru*> pointers() const {
        std::vector<const CRecordStru*> p;
        for (const auto& r : records)
            p.push_back(&r);
        return p;
    }
};

WidthStats statsOf(const Records& r, WidthStatsOptions options = {}) {
    EXPECT_TRUE(normalizeOptions(options));
    return computeWidthStats(r.pointers(), options);
}

} // namespace

TEST(WidthSettings, MillimetresAreReadInWholeMicrometres) {
    EXPECT_EQ(parseMillimetres("0.2"), 200);
    EXPECT_EQ(parseMillimetres(" 0.20 "), 200);
    EXPECT_EQ(parseMillimetres(".25"), 250);
    EXPECT_EQ(parseMillimetres("1"), 1000);
    EXPECT_EQ(parseMillimetres("0.0004"), 0);
    EXPECT_EQ(parseMillimetres("0.0005"), 1);
    EXPECT_EQ(parseMillimetres("0.12349"), 123);
    EXPECT_EQ(parseMillimetres("100"), 100000);
    for (const char* bad : {"", ".", "-0.2", "0.2mm", "1e-1", "0..2", "100.001", "99999999999"})
        EXPECT_EQ(parseMillimetres(bad), std::nullopt) << bad;
    EXPECT_EQ(formatMillimetres(200, 2), "0.20");
    EXPECT_EQ(formatMillimetres(205, 2), "0.21");
    EXPECT_EQ(formatMillimetres(150, 3), "0.150");
}

TEST(WidthSettings, LimitsAreOneToFiveDifferentPositiveValuesKeptAscending) {
    EXPECT_EQ(parseLimits("0.3 0.2"), (std::vector<int64_t>{200, 300}));
    EXPECT_EQ(parseLimits("0.20，0.30、0.1;0.4,0.5"),
              (std::vector<int64_t>{100, 200, 300, 400, 500}));
    EXPECT_EQ(parseLimits("0.2 0.20 0.200"), (std::vector<int64_t>{200}));
    std::string why;
    for (const char* bad : {"", " , ", "0.1 0.2 0.3 0.4 0.5 0.6", "0", "0.2 abc", "0.0001"}) {
        why.clear();
        EXPECT_EQ(parseLimits(bad, &why), std::nullopt) << bad;
        EXPECT_FALSE(why.empty()) << bad;
    }
    for (const char* text : {"0.20 0.30", "0.05", "0.10 0.15 0.20 0.25 0.30"})
        EXPECT_EQ(formatLimits(*parseLimits(text)), text);
    WidthStatsOptions bin;
    bin.binUm = 0;
    EXPECT_FALSE(normalizeOptions(bin));
}

TEST(WidthStats, WidthsAreTheAtofValueRoundedToMicrometres) {
    // Whatever way the text is read, the result is the atof value rounded to 0.001 mm.
    std::mt19937 rng(5);
    const char digits[] = "0123456789";
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const int n = 1 + static_cast<int>(rng() % 17);
        const int point = static_cast<int>(rng() % (n + 2)) - 1;
        for (int k = 0; k < n; ++k) {
            if (k == point)
                text += '.';
            text += digits[rng() % 10];
        }
        if (rng() % 10 == 0)
            text += "e-1";
        const double mm = tessera::crtAtof(text);
        const auto um = measuredMicrometres(text);
        if (!(mm > 0)) {
            ASSERT_EQ(um, std::nullopt) << text;
            continue;
        }
        ASSERT_EQ(um, std::min<double>(std::round(mm * 1000), kMaxWidthMicrometres)) << text;
    }
    EXPECT_EQ(measuredMicrometres(" 0.25"), 250);
}

TEST(WidthStats, HandComputedFigures) {
    // Widths 0.10, 0.20 (equal to a limit: not above it), 0.25, 0.35, plus unmeasured ones.
    const Records r{{"1号梁", "0.10"}, {"1号梁", "0.20"}, {"2号梁", "0.25"}, {"1号梁", "abc"},
                    {"2号梁", "0.35"}, {"3号梁", "0"},    {"3号梁", "-0.1"}, {"2号梁", ""}};
    const WidthStats s = statsOf(r);
    EXPECT_EQ(s.records, 8u);
    EXPECT_EQ(s.measured, 4u);
    EXPECT_EQ(s.width.min, 100);
    EXPECT_EQ(s.width.max, 350);
    EXPECT_EQ(s.width.mean, 225);
    EXPECT_EQ(s.width.median, 225);
    ASSERT_EQ(s.over.size(), 2u);
    EXPECT_EQ(s.over[0].count, 2u); // above 0.20: 0.25, 0.35
    EXPECT_EQ(s.over[0].percent, 50);
    EXPECT_EQ(s.over[1].count, 1u); // above 0.30: 0.35
    ASSERT_EQ(s.groups.size(), 3u);
    EXPECT_EQ(tessera::gbkToUtf8(s.groups[1].group), "2号梁");
    EXPECT_EQ(s.groups[0].records, 3u);
    EXPECT_EQ(s.groups[0].measured, 2u);
    EXPECT_EQ(s.groups[0].maxUm, 200);
    EXPECT_EQ(s.groups[0].over, 0u);
    EXPECT_EQ(s.groups[1].meanUm, 300);
    EXPECT_EQ(s.groups[1].over, 2u);
    EXPECT_EQ(s.groups[2].measured, 0u);

    EXPECT_EQ(formatWidthStatsTsv(s), "records\t8\n"
                                      "measured\t4\n"
                                      "photos\t0\n"
                                      "min\t0.100\n"
                                      "max\t0.350\n"
                                      "mean\t0.225\n"
                                      "median\t0.225\n"
                                      "stdev\t0.090\n"
                                      "over\t0.20\t2\t50.0\n"
                                      "over\t0.30\t1\t25.0\n"
                                      "bin\t0.00\t0.05\t0\n"
                                      "bin\t0.05\t0.10\t0\n"
                                      "bin\t0.10\t0.15\t1\n"
                                      "bin\t0.15\t0.20\t0\n"
                                      "bin\t0.20\t0.25\t1\n"
                                      "bin\t0.25\t0.30\t1\n"
                                      "bin\t0.30\t0.35\t0\n"
                                      "bin\t0.35\t0.40\t1\n"
                                      "group\t1号梁\t3\t2\t0.200\t0.150\t0\n"
                                      "group\t2号梁\t3\t2\t0.350\t0.300\t2\n"
                                      "group\t3号梁\t2\t0\t-\t-\t0\n");
}

TEST(WidthStats, EdgesNothingMeasuredAndOneValue) {
    // Widths are taken in whole micrometres: 0.15 lies in [0.15, 0.20) however atof rounds it,
    // 0.1504 rounds to 0.150, 0.2004 is not above 0.20 and 0.2006 is.
    WidthStatsOptions o;
    o.limitsUm = {200};
    const WidthStats e =
        statsOf({{"g", "0.15"}, {"g", "0.1504"}, {"g", "0.2004"}, {"g", "0.2006"}}, o);
    ASSERT_EQ(e.bins.size(), 5u);
    EXPECT_EQ(e.bins[3].count, 2u);
    EXPECT_EQ(e.bins[4].count, 2u);
    EXPECT_EQ(e.over[0].count, 1u);

    const WidthStats none = statsOf({{"a", "x"}, {"b", "0.000"}});
    EXPECT_EQ(none.measured, 0u);
    EXPECT_TRUE(none.bins.empty());
    const std::string tsv = formatWidthStatsTsv(none);
    for (const char* line :
         {"min\t-\n", "stdev\t-\n", "over\t0.20\t0\t-\n", "group\ta\t1\t0\t-\t-\t0\n"})
        EXPECT_NE(tsv.find(line), std::string::npos) << line;
    EXPECT_EQ(tsv.find("bin\t"), std::string::npos);
    EXPECT_EQ(statsOf({}).groups.size(), 0u);

    const WidthStats one = statsOf({{"g", "0.1mm"}}); // the atof rule reads 0.1
    EXPECT_EQ(one.measured, 1u);
    EXPECT_EQ(one.width.median, 100);
    EXPECT_EQ(one.width.stdev, 0);
    EXPECT_EQ(one.bins.size(), 3u);
}

TEST(WidthStats, AnOutlierCapsTheHistogramInsteadOfMakingMillionsOfBins) {
    const WidthStats s = statsOf({{"g", "0.1"}, {"g", "1e300"}, {"g", "60"}, {"g", "2.5"}});
    ASSERT_EQ(s.bins.size(), kMaxBins);
    EXPECT_TRUE(s.bins.back().open);
    EXPECT_EQ(s.bins.back().count, 2u);
    EXPECT_EQ(s.width.max, kMaxWidthMicrometres);
    const std::string tsv = formatWidthStatsTsv(s);
    EXPECT_NE(tsv.find("bin\t49.95\t-\t2\n"), std::string::npos);
}

TEST(WidthStats, ThousandsOfGroupsKeepTheirOrderAndCounts) {
    std::vector<CRecordStru> records;
    for (int i = 0; i < 30000; ++i) {
        CRecordStru r;
        r.strGroup =
            "G" + std::to_string((i * 7919) % 5000); // first appearances: 0, 7919 % 5000, ...
        r.strWidth = i % 3 ? "0.25" : "0.1";
        records.push_back(r);
    }
    std::vector<const CRecordStru*> p;
    for (const auto& r : records)
        p.push_back(&r);
    const WidthStats s = computeWidthStats(p, {});
    ASSERT_EQ(s.groups.size(), 5000u);
    size_t total = 0, over = 0;
    for (size_t g = 0; g < s.groups.size(); ++g) {
        EXPECT_EQ(s.groups[g].group, "G" + std::to_string((g * 7919) % 5000));
        total += s.groups[g].records;
        over += s.groups[g].over;
    }
    EXPECT_EQ(total, records.size());
    EXPECT_EQ(over, s.over[0].count);
    EXPECT_EQ(over, 20000u);

    // The report: the groups' table runs over further pages, each group once.
    const WidthStatsReport report(s);
    EXPECT_GT(report.pageCount(), 100);
    EXPECT_EQ(WidthStatsReport(statsOf({{"g", "0.1"}})).pageCount(), 1);
}

TEST(WidthStats, PhotosCheckedRowsAndTheHistogramChart) {
    RecordRows rows;
    Records r{{"g", "0.12"}, {"g", "0.31"}, {"h", "0.05"}};
    r.records[1].strName = "with-photo";
    for (const auto& rec : r.records)
        rows.append(rec);
    rows.setChecked(1, true);
    rows.setChecked(2, true);
    const auto checked = recordsOf(rows, true);
    ASSERT_EQ(checked.size(), 2u);
    EXPECT_EQ(checked[0]->strName, "with-photo");
    EXPECT_EQ(recordsOf(rows, false).size(), 3u);

    const PhotoFinder finder = [](const std::string& name) {
        return name == "with-photo" ? std::string("/p/CrackData/with-photo.JPG") : std::string();
    };
    const WidthStats s = computeWidthStats(recordsOf(rows, false), {}, photoTestOf(finder));
    EXPECT_EQ(s.photos, 1u);

    // The chart goes on past the maximum bin to show the highest limit's line.
    const tessera::BarChart chart = widthHistogram(s);
    EXPECT_EQ(chart.values.size(), 7u); // bins up to [0.30, 0.35)
    EXPECT_EQ(chart.labels.size(), chart.values.size() + 1);
    ASSERT_EQ(chart.markers.size(), 2u);
    EXPECT_EQ(chart.markers[1].position, 6.0);
    EXPECT_TRUE(widthHistogram(statsOf({{"g", "x"}})).values.empty());

    const tessera::Sheet sheet = widthRecordSheet(recordsOf(rows, false), finder);
    ASSERT_EQ(sheet.rows.size(), 4u);
    EXPECT_EQ(sheet.rows[0][2].text, "宽度(mm)");
    EXPECT_TRUE(sheet.rows[1][2].isNumber);
    EXPECT_EQ(sheet.rows[2][6].text, "with-photo.JPG");
    EXPECT_EQ(sheet.rows[1][6].text, "");
}

TEST(WidthStats, StatsSheetHoldsTheFiguresAsNumbers) {
    const WidthStats s = statsOf({{"1号梁", "0.10"}, {"1号梁", "0.25"}});
    const tessera::Sheet sheet = widthStatsSheet(s);
    auto find = [&](const std::string& label) -> const std::vector<tessera::SheetCell>* {
        for (const auto& row : sheet.rows)
            if (!row.empty() && row[0].text == label)
                return &row;
        return nullptr;
    };
    ASSERT_NE(find("最大宽度(mm)"), nullptr);
    EXPECT_TRUE((*find("最大宽度(mm)"))[1].isNumber);
    EXPECT_EQ((*find("平均宽度(mm)"))[1].text, "0.175");
    ASSERT_NE(find("1号梁"), nullptr);
    EXPECT_EQ((*find("1号梁"))[5].value, 1); // above 0.20
    ASSERT_NE(find("0.30"), nullptr);
    EXPECT_EQ((*find("0.30"))[1].value, 0);
}
