#include "common/flow_report.h"

#include <gtest/gtest.h>

using namespace tessera;

namespace {

std::vector<std::string> texts(const std::vector<PageOp>& ops) {
    std::vector<std::string> out;
    for (const PageOp& op : ops)
        if (op.kind == PageOpKind::Text)
            out.push_back(op.text);
    return out;
}

bool has(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

} // namespace

TEST(FlowReport, TablesContinueOnTheNextPageWithEveryRowOnceInOrder) {
    FlowReport report("统计");
    report.addHeading("概况");
    report.addBlock(100, [](auto&, auto&, auto&) {});
    report.addHeading("分组");
    const size_t rows = 137;
    report.addTable({{"组号", 30}, {"数", 20}}, rows, [](size_t r) {
        return std::vector<std::string>{"g" + std::to_string(r), std::to_string(r)};
    });
    ASSERT_GT(report.pageCount(), 2);

    size_t next = 0;
    for (int page = 1; page <= report.pageCount(); ++page) {
        for (const auto& p : report.placements(page)) {
            if (p.item != 3)
                continue;
            EXPECT_EQ(p.first, next);
            EXPECT_GE(p.topMm, FlowReport::kContentTopMm);
            EXPECT_LE(p.topMm + FlowReport::kTableHeaderMm + p.count * FlowReport::kTableRowMm,
                      FlowReport::kContentBottomMm + 1e-9);
            next += p.count;
        }
    }
    EXPECT_EQ(next, rows);

    // The header is repeated on every page of the table; the footer counts the pages.
    const PageDevice device{600, 600, 4960, 7016};
    const int last = report.pageCount();
    const auto lastTexts = texts(report.layoutPage(device, last));
    EXPECT_TRUE(has(lastTexts, "组号"));
    EXPECT_TRUE(has(lastTexts, "g136"));
    EXPECT_TRUE(has(lastTexts, "统计"));
    EXPECT_TRUE(
        has(lastTexts, "第 " + std::to_string(last) + " 页，共 " + std::to_string(last) + " 页"));
    for (const PageOp& op : report.layoutPage(device, 1)) {
        if (op.kind != PageOpKind::Line) {
            EXPECT_TRUE(op.rect.right <= device.width && op.rect.bottom <= device.height)
                << op.text;
        }
    }
}

TEST(FlowReport, AHeadingStaysWithWhatFollowsAndBlocksAreNeverSplit) {
    FlowReport report("t");
    report.addBlock(230, [](auto&, auto&, auto&) {}); // leaves about 12 mm
    report.addHeading("heading");                     // fits, but its block does not
    report.addBlock(50, [](auto&, auto&, auto&) {});
    ASSERT_EQ(report.pageCount(), 2);
    ASSERT_EQ(report.placements(1).size(), 1u);
    ASSERT_EQ(report.placements(2).size(), 2u);
    EXPECT_EQ(report.placements(2)[0].item, 1u);
    EXPECT_EQ(report.placements(2)[0].topMm, FlowReport::kContentTopMm);

    // A grid fills rows of cells and starts a new page when a row does not fit.
    FlowReport grid("g");
    size_t drawn = 0;
    grid.addGrid(9, 2, 60, [&](auto&, auto&, auto&, size_t) { ++drawn; });
    EXPECT_EQ(grid.pageCount(), 2); // four rows of 60 mm on a page, then one
    const PageDevice device{300, 300, 2480, 3508};
    for (int p = 1; p <= grid.pageCount(); ++p)
        grid.layoutPage(device, p);
    EXPECT_EQ(drawn, 9u);
}

TEST(FlowReport, AnEmptyTableShowsItsHeaderAndSequencesChainPages) {
    FlowReport a("a");
    a.addTable({{"组号", 30}}, 0, [](size_t) { return std::vector<std::string>{}; });
    EXPECT_EQ(a.pageCount(), 1);
    const PageDevice device{600, 600, 4960, 7016};
    EXPECT_TRUE(has(texts(a.layoutPage(device, 1)), "组号"));

    FlowReport b("b");
    b.addGrid(20, 1, 100, [](auto& ops, auto&, auto& area, size_t i) {
        ops.push_back(textOp(area, {}, "cell" + std::to_string(i)));
    });
    const PageSequence both({&a, &b});
    EXPECT_EQ(both.pageCount(device), 1 + b.pageCount());
    EXPECT_TRUE(has(texts(both.layoutPage(device, 1)), "a"));
    EXPECT_TRUE(has(texts(both.layoutPage(device, 2)), "cell0"));
    EXPECT_TRUE(has(texts(both.layoutPage(device, both.pageCount(device))), "cell19"));
    EXPECT_TRUE(both.layoutPage(device, both.pageCount(device) + 1).empty());
}
