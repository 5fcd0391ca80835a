#include "common/chart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace tessera;

namespace {

const PageRect kArea{100, 200, 2100, 1400};

bool inside(const PageRect& r, const PageRect& area) {
    return r.left >= area.left && r.right <= area.right && r.top >= area.top &&
           r.bottom <= area.bottom;
}

std::vector<PageOp> ofKind(const std::vector<PageOp>& ops, PageOpKind kind, uint32_t color) {
    std::vector<PageOp> out;
    for (const PageOp& op : ops)
        if (op.kind == kind && op.color == color)
            out.push_back(op);
    return out;
}

const PageOp* textOf(const std::vector<PageOp>& ops, const std::string& text) {
    for (const PageOp& op : ops)
        if (op.kind == PageOpKind::Text && op.text == text)
            return &op;
    return nullptr;
}

} // namespace

TEST(Chart, NiceStepsAreOneTwoOrFiveTimesAPowerOfTenAndCoverTheMaximum) {
    std::mt19937 rng(7);
    for (int i = 0; i < 1000; ++i) {
        const double max = std::ldexp(static_cast<double>(rng() % 100000 + 1), -(int)(rng() % 20));
        const double step = niceStep(max, 5);
        const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
        ASSERT_TRUE(std::abs(mantissa - 1) < 1e-6 || std::abs(mantissa - 2) < 1e-6 ||
                    std::abs(mantissa - 5) < 1e-6)
            << step;
        ASSERT_GE(step * 5 * (1 + 1e-9), max);
        ASSERT_LT(step * 2, max * (1 + 1e-9)) << "not needlessly coarse";
    }
    EXPECT_EQ(niceStep(0, 5), 1);
}

TEST(Chart, BarsStandOnTheAxisInProportionAndEverythingStaysInTheArea) {
    const ChartStyle style = chartStyleFor(600, 600);
    BarChart chart;
    chart.title = "宽度分布";
    chart.xTitle = "裂缝宽度（mm）";
    chart.yTitle = "条数";
    chart.values = {2, 0, 8, 4};
    chart.labels = {"0.00", "0.05", "0.10", "0.15", "0.20"};
    chart.markers = {{3.0, "0.15 mm"}, {9.0, "beyond"}};
    const auto ops = drawBarChart(chart, kArea, style);
    for (const PageOp& op : ops) {
        if (op.kind != PageOpKind::Line) {
            EXPECT_TRUE(inside(op.rect, kArea)) << op.text;
        }
    }

    const auto bars = ofKind(ops, PageOpKind::Fill, style.barColor);
    ASSERT_EQ(bars.size(), 3u) << "a bar of 0 is not drawn";
    EXPECT_EQ(bars[0].rect.bottom, bars[1].rect.bottom);
    const int h2 = bars[0].rect.bottom - bars[0].rect.top;
    const int h8 = bars[1].rect.bottom - bars[1].rect.top;
    const int h4 = bars[2].rect.bottom - bars[2].rect.top;
    EXPECT_NEAR(h8, 4 * h2, 2);
    EXPECT_NEAR(h8, 2 * h4, 2);
    EXPECT_LT(bars[0].rect.right, bars[1].rect.left) << "bars in order, apart";

    // The marker at position 3 is the left edge of the fourth bar's slot; the one beyond the
    // bars is not drawn.
    const auto markers = ofKind(ops, PageOpKind::Line, 0xC00000);
    ASSERT_EQ(markers.size(), 1u);
    EXPECT_NEAR(markers[0].x1, bars[2].rect.left, bars[2].rect.right - bars[2].rect.left);
    EXPECT_NE(textOf(ops, "0.15 mm"), nullptr);
    EXPECT_EQ(textOf(ops, "beyond"), nullptr);
    EXPECT_NE(textOf(ops, "宽度分布"), nullptr);
    EXPECT_NE(textOf(ops, "0.20"), nullptr) << "edge labels: one more than bars";
    EXPECT_NE(textOf(ops, "8"), nullptr) << "the value above its bar";
}

TEST(Chart, DenseLabelsAreThinnedSoThatNoneOverlap) {
    const ChartStyle style = chartStyleFor(300, 300);
    BarChart chart;
    for (int i = 0; i < 500; ++i) {
        chart.values.push_back(i % 7);
        chart.labels.push_back(std::to_string(i) + "-" + std::to_string(i));
    }
    const auto ops = drawBarChart(chart, kArea, style);
    std::vector<PageRect> labels;
    for (const PageOp& op : ops)
        if (op.kind == PageOpKind::Text && op.text.find('-') != std::string::npos)
            labels.push_back(op.rect);
    ASSERT_GT(labels.size(), 3u);
    ASSERT_LT(labels.size(), 500u);
    for (size_t i = 1; i < labels.size(); ++i)
        EXPECT_LE(labels[i - 1].left + estimateTextWidth("499-499", style.labelFont),
                  labels[i].left + 1);
}

TEST(Chart, NoValuesSaysSo) {
    const ChartStyle style = chartStyleFor(96, 96);
    EXPECT_NE(textOf(drawBarChart(BarChart{}, kArea, style), "无数据"), nullptr);
    LineChart line;
    line.values = {std::nullopt, std::nullopt};
    line.labels = {"1", "2"};
    EXPECT_NE(textOf(drawLineChart(line, kArea, style), "无数据"), nullptr);
}

TEST(Chart, TheLineJoinsNeighbouringValuesAndBreaksAtGaps) {
    const ChartStyle style = chartStyleFor(600, 600);
    LineChart chart;
    chart.labels = {"1", "2", "3", "4", "5", "6"};
    chart.values = {10.0, 20.0, std::nullopt, 30.0, 40.0, 5.0};
    const auto ops = drawLineChart(chart, kArea, style);
    const auto segments = ofKind(ops, PageOpKind::Line, style.lineColor);
    const auto points = ofKind(ops, PageOpKind::Fill, style.lineColor);
    EXPECT_EQ(segments.size(), 3u); // 1-2, 4-5, 5-6
    ASSERT_EQ(points.size(), 5u);
    // Higher values stand higher; x grows with the point.
    EXPECT_LT(points[3].rect.top, points[2].rect.top);
    EXPECT_GT(points[4].rect.top, points[0].rect.top);
    for (size_t i = 1; i < points.size(); ++i)
        EXPECT_GT(points[i].rect.left, points[i - 1].rect.left);
}
