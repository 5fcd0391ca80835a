// The depth report's page geometry and drawing operations.

#include "depth/report/report_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace marrowby;

namespace {

// A4 at 600 dpi with some printer margins; the size only matters for the white fill.
const tessera::PageDevice k600{600, 600, 4760, 6814};

std::vector<DepthRow> numberedRows(int n) {
    std::vector<DepthRow> rows;
    for (int i = 1; i <= n; ++i) {
        const int32_t v[4] = {i, i % 7, i % 3, 100 + i};
        rows.push_back(rowFromValues(v, "r" + std::to_string(i)));
    }
    return rows;
}

std::vector<tessera::PageOp> opsOf(const std::vector<tessera::PageOp>& ops,
                                   tessera::PageOpKind kind) {
    std::vector<tessera::PageOp> out;
    for (const auto& op : ops)
        if (op.kind == kind)
            out.push_back(op);
    return out;
}

// The texts of the data rows: every text op after the title and the five header texts.
std::vector<std::string> bodyTexts(const std::vector<tessera::PageOp>& ops) {
    std::vector<std::string> out;
    auto texts = opsOf(ops, tessera::PageOpKind::Text);
    for (size_t i = 6; i < texts.size(); ++i)
        out.push_back(texts[i].text);
    return out;
}

void expectLine(const tessera::PageOp& op, int x1, int y1, int x2, int y2) {
    ASSERT_EQ(tessera::PageOpKind::Line, op.kind);
    EXPECT_EQ(x1, op.x1);
    EXPECT_EQ(y1, op.y1);
    EXPECT_EQ(x2, op.x2);
    EXPECT_EQ(y2, op.y2);
    EXPECT_EQ(2, op.penWidth);
    EXPECT_EQ(0x000000u, op.color);
}

// Checks the frame of a page with `n` data rows at 600 × 600 dpi: line above the header,
// bottom line and the six verticals between them.
void expectFrame600(const std::vector<tessera::PageOp>& ops, int bottomY) {
    auto lines = opsOf(ops, tessera::PageOpKind::Line);
    ASSERT_GE(lines.size(), 8u);
    expectLine(lines.front(), 354, 673, 4488, 673);
    const size_t b = lines.size() - 7;
    expectLine(lines[b], 354, bottomY, 4488, bottomY);
    const int xs[6] = {354, 767, 1180, 1593, 2833, 4488};
    for (int i = 0; i < 6; ++i)
        expectLine(lines[b + 1 + static_cast<size_t>(i)], xs[i], 673, xs[i], bottomY);
}

} // namespace

TEST(DepthReportPages, PageCountIsRowsDividedBy50PlusOne) {
    EXPECT_EQ(1, depthReportPageCount(0));
    EXPECT_EQ(1, depthReportPageCount(1));
    EXPECT_EQ(1, depthReportPageCount(49));
    EXPECT_EQ(2, depthReportPageCount(50));
    EXPECT_EQ(2, depthReportPageCount(51));
    EXPECT_EQ(2, depthReportPageCount(99));
    EXPECT_EQ(3, depthReportPageCount(100));
    EXPECT_EQ(3, depthReportPageCount(120));
    EXPECT_EQ(201, depthReportPageCount(10000));
}

TEST(DepthReportGeometryTest, WorkedExampleAt600Dpi) {
    const auto g = depthReportGeometry(k600);
    EXPECT_EQ(354, g.left);
    EXPECT_EQ(4488, g.right);
    const int widths[5] = {413, 413, 413, 1240, 1653};
    const int xs[6] = {354, 767, 1180, 1593, 2833, 4488};
    const int cellLeft[5] = {354, 767, 1180, 1593, 2833};
    const int cellRight[5] = {767, 1180, 1593, 2833, 4486}; // two pixels left of the border
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(widths[i], g.widths[i]) << i;
        EXPECT_EQ(cellLeft[i], g.cellLeft[i]) << i;
        EXPECT_EQ(cellRight[i], g.cellRight[i]) << i;
    }
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(xs[i], g.columnX[i]) << i;
    EXPECT_EQ((tessera::PageFont{"宋体", 125, 700}), g.titleFont);
    EXPECT_EQ((tessera::PageFont{"宋体", 83, 700}), g.headerFont);
    EXPECT_EQ((tessera::PageFont{"Arial", 83, 400}), g.bodyFont);
}

TEST(DepthReportLayout, WorkedExampleOneRowAt600Dpi) {
    const std::vector<DepthRow> rows = {DepthRow("1", "2", "3", "45", "ok")};
    const auto ops = layoutDepthReportPage(k600, 1, rows);
    // fill, title, header line, 5 header texts, row line, 5 row texts, bottom line, 6 verticals
    ASSERT_EQ(21u, ops.size());

    EXPECT_EQ(tessera::PageOpKind::Fill, ops[0].kind);
    EXPECT_EQ((tessera::PageRect{0, 0, 4760, 6814}), ops[0].rect);
    EXPECT_EQ(0xFFFFFFu, ops[0].color);

    EXPECT_EQ(tessera::PageOpKind::Text, ops[1].kind);
    EXPECT_EQ("裂缝测深仪数据报告", ops[1].text);
    EXPECT_EQ((tessera::PageRect{354, 330, 4370, 566}), ops[1].rect);
    EXPECT_EQ((tessera::PageFont{"宋体", 125, 700}), ops[1].font);
    EXPECT_EQ(0x000000u, ops[1].color);

    expectLine(ops[2], 354, 673, 4488, 673);

    const char* titles[5] = {"构件号", "裂缝号", "测点号", "裂缝深度值", "备注"};
    const int cellLeft[5] = {354, 767, 1180, 1593, 2833};
    const int cellRight[5] = {767, 1180, 1593, 2833, 4486};
    for (int c = 0; c < 5; ++c) {
        const auto& op = ops[3 + static_cast<size_t>(c)];
        EXPECT_EQ(tessera::PageOpKind::Text, op.kind);
        EXPECT_EQ(titles[c], op.text);
        EXPECT_EQ((tessera::PageRect{cellLeft[c], 685, cellRight[c], 803}), op.rect) << c;
        EXPECT_EQ((tessera::PageFont{"宋体", 83, 700}), op.font);
    }

    expectLine(ops[8], 354, 791, 4488, 791);
    const char* cells[5] = {"1", "2", "3", "45", "ok"};
    for (int c = 0; c < 5; ++c) {
        const auto& op = ops[9 + static_cast<size_t>(c)];
        EXPECT_EQ(tessera::PageOpKind::Text, op.kind);
        EXPECT_EQ(cells[c], op.text);
        EXPECT_EQ((tessera::PageRect{cellLeft[c], 803, cellRight[c], 921}), op.rect) << c;
        EXPECT_EQ((tessera::PageFont{"Arial", 83, 400}), op.font);
    }

    // Bottom line at 38.5 mm, then the verticals from 28.5 mm down to it.
    expectLine(ops[14], 354, 909, 4488, 909);
    const int xs[6] = {354, 767, 1180, 1593, 2833, 4488};
    for (int i = 0; i < 6; ++i)
        expectLine(ops[15 + static_cast<size_t>(i)], xs[i], 673, xs[i], 909);
}

TEST(DepthReportLayout, NoRowsGivesTitleHeaderAndItsBox) {
    const auto ops = layoutDepthReportPage(k600, 1, {});
    ASSERT_EQ(15u, ops.size());
    auto texts = opsOf(ops, tessera::PageOpKind::Text);
    ASSERT_EQ(6u, texts.size());
    EXPECT_EQ("裂缝测深仪数据报告", texts[0].text);
    EXPECT_EQ("备注", texts[5].text);
    auto lines = opsOf(ops, tessera::PageOpKind::Line);
    ASSERT_EQ(8u, lines.size());
    expectFrame600(ops, 791); // 28.5 mm and 33.5 mm
}

TEST(DepthReportLayout, FortyNineRowsFitOnePage) {
    const auto rows = numberedRows(49);
    ASSERT_EQ(1, depthReportPageCount(rows.size()));
    const auto ops = layoutDepthReportPage(k600, 1, rows);
    auto body = bodyTexts(ops);
    ASSERT_EQ(49u * 5, body.size());
    EXPECT_EQ("1", body[0]);
    EXPECT_EQ("49", body[48 * 5]);
    EXPECT_EQ("r49", body[48 * 5 + 4]);
    // 49 row lines plus the header line, the bottom line and six verticals.
    EXPECT_EQ(57u, opsOf(ops, tessera::PageOpKind::Line).size());
    expectFrame600(ops, static_cast<int>((14 + 53 * 5 - 0.5) * 600 * 0.03937007874015748));
}

TEST(DepthReportLayout, FiftyRowsGiveASecondPageWithAnEmptyHeaderBox) {
    const auto rows = numberedRows(50);
    ASSERT_EQ(2, depthReportPageCount(rows.size()));
    const auto page1 = layoutDepthReportPage(k600, 1, rows);
    EXPECT_EQ(50u * 5, bodyTexts(page1).size());
    expectFrame600(page1, 6696); // 283.5 mm

    const auto page2 = layoutDepthReportPage(k600, 2, rows);
    EXPECT_EQ(15u, page2.size());
    EXPECT_TRUE(bodyTexts(page2).empty());
    EXPECT_EQ("裂缝测深仪数据报告", opsOf(page2, tessera::PageOpKind::Text)[0].text);
    expectFrame600(page2, 791);
}

TEST(DepthReportLayout, FiftyOneRowsPutRow51OnPageTwo) {
    const auto rows = numberedRows(51);
    ASSERT_EQ(2, depthReportPageCount(rows.size()));
    const auto ops = layoutDepthReportPage(k600, 2, rows);
    auto body = bodyTexts(ops);
    ASSERT_EQ(5u, body.size());
    EXPECT_EQ((std::vector<std::string>{"51", "2", "0", "151", "r51"}), body);
    // Row 51 sits in the first row position of its page.
    auto texts = opsOf(ops, tessera::PageOpKind::Text);
    EXPECT_EQ(803, texts[6].rect.top);
    EXPECT_EQ(921, texts[6].rect.bottom);
    expectFrame600(ops, 909);
}

TEST(DepthReportLayout, PageThreeOf120RowsHoldsRows101To120) {
    const auto rows = numberedRows(120);
    ASSERT_EQ(3, depthReportPageCount(rows.size()));
    const auto ops = layoutDepthReportPage(k600, 3, rows);
    auto body = bodyTexts(ops);
    ASSERT_EQ(20u * 5, body.size());
    for (int k = 0; k < 20; ++k) {
        EXPECT_EQ(std::to_string(101 + k), body[static_cast<size_t>(k) * 5]);
        EXPECT_EQ("r" + std::to_string(101 + k), body[static_cast<size_t>(k) * 5 + 4]);
    }
    // Bottom line at 133.5 mm.
    expectFrame600(ops, 3153);
    EXPECT_EQ(3153, static_cast<int>(133.5 * 600 * 0.03937007874015748));
    // Rows 51–100 are on page 2 only.
    auto body2 = bodyTexts(layoutDepthReportPage(k600, 2, rows));
    ASSERT_EQ(50u * 5, body2.size());
    EXPECT_EQ("51", body2.front());
    EXPECT_EQ("r100", body2.back());
}

TEST(DepthReportLayout, PagePastTheLastHasNoRows) {
    const auto rows = numberedRows(10);
    EXPECT_TRUE(bodyTexts(layoutDepthReportPage(k600, 2, rows)).empty());
    EXPECT_TRUE(bodyTexts(layoutDepthReportPage(k600, 0, rows)).empty());
    EXPECT_TRUE(bodyTexts(layoutDepthReportPage(k600, -3, rows)).empty());
}

TEST(DepthReportLayout, CellsPrintExactlyAsTheListShowsThem) {
    const std::vector<DepthRow> rows = {
        DepthRow("12abc", "", " -7", "3.9", "\xC1\xD1\xB7\xEC\xBF\xED"), // remark 裂缝宽 in GBK
        DepthRow("+15", "abc", "0", "-2147483648",
                 std::string("a\xFF"
                             "b")),
    };
    auto body = bodyTexts(layoutDepthReportPage(k600, 1, rows));
    ASSERT_EQ(10u, body.size());
    EXPECT_EQ((std::vector<std::string>{"12abc", "", " -7", "3.9", "裂缝宽", "+15", "abc", "0",
                                        "-2147483648",
                                        "a\xEF\xBF\xBD"
                                        "b"}),
              body);
}

TEST(DepthReportLayout, LongRemarkStaysInItsCell) {
    const std::vector<DepthRow> rows = {DepthRow("1", "1", "1", "1", std::string(500, 'W'))};
    auto texts = opsOf(layoutDepthReportPage(k600, 1, rows), tessera::PageOpKind::Text);
    // The adapter clips each text to its rectangle; the rectangle is the 70 mm cell.
    EXPECT_EQ((tessera::PageRect{2833, 803, 4486, 921}), texts.back().rect);
}

TEST(DepthReportLayout, EachDirectionUsesItsOwnResolution) {
    // 300 dpi across, 600 dpi down.
    const tessera::PageDevice dev{300, 600, 2380, 6814};
    const auto g = depthReportGeometry(dev);
    EXPECT_EQ(177, g.left);
    EXPECT_EQ(2244, g.right);
    const int widths[5] = {206, 206, 206, 620, 826};
    const int xs[6] = {177, 383, 589, 795, 1415, 2244};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(widths[i], g.widths[i]) << i;
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(xs[i], g.columnX[i]) << i;

    const auto ops = layoutDepthReportPage(dev, 1, numberedRows(1));
    ASSERT_EQ(21u, ops.size());
    EXPECT_EQ((tessera::PageRect{177, 330, 2185, 566}), ops[1].rect);
    EXPECT_EQ(125, ops[1].font.pixelHeight);
    expectLine(ops[2], 177, 673, 2244, 673);
    EXPECT_EQ((tessera::PageRect{177, 685, 383, 803}), ops[3].rect);
    expectLine(ops[8], 177, 791, 2244, 791);
    EXPECT_EQ((tessera::PageRect{1415, 803, 2241, 921}), ops[13].rect);
    EXPECT_EQ(83, ops[13].font.pixelHeight);
    expectLine(ops[14], 177, 909, 2244, 909);
    expectLine(ops[20], 2244, 673, 2244, 909);

    // 600 dpi across, 300 dpi down: the x positions of the worked example, y halved.
    const tessera::PageDevice tall{600, 300, 4760, 3407};
    const auto ops2 = layoutDepthReportPage(tall, 1, numberedRows(1));
    ASSERT_EQ(21u, ops2.size());
    EXPECT_EQ((tessera::PageRect{354, 165, 4370, 283}), ops2[1].rect);
    EXPECT_EQ(63, ops2[1].font.pixelHeight);
    expectLine(ops2[2], 354, 336, 4488, 336);
    EXPECT_EQ((tessera::PageRect{354, 342, 767, 401}), ops2[3].rect);
    EXPECT_EQ(42, ops2[3].font.pixelHeight);
    expectLine(ops2[8], 354, 395, 4488, 395);
    EXPECT_EQ((tessera::PageRect{2833, 401, 4486, 460}), ops2[13].rect);
    expectLine(ops2[14], 354, 454, 4488, 454);
}

// Whatever the paper and orientation, the pages together print every row once, in order, and
// nothing of the table lies below the printable area: A4 portrait (50 rows a page), A4
// landscape and Letter with printer margins, A5 portrait, and a 300 dpi A4 landscape page.
TEST(DepthReportLayout, EveryRowPrintsOnceAndInsideThePageOnAnyPaper) {
    const tessera::PageDevice devices[] = {k600,
                                           {600, 600, 6814, 4760},
                                           {600, 600, 4900, 6400},
                                           {600, 600, 3260, 4700},
                                           {300, 300, 3408, 2380}};
    for (const auto& device : devices) {
        for (int n : {0, 1, 34, 35, 49, 50, 51, 120}) {
            const auto rows = numberedRows(n);
            const int pages = DepthReport(rows).pageCount(device);
            std::vector<std::string> remarks;
            for (int p = 1; p <= pages; ++p) {
                const auto ops = layoutDepthReportPage(device, p, rows);
                for (const auto& op : ops) {
                    const int bottom =
                        op.kind == tessera::PageOpKind::Line ? op.y2 : op.rect.bottom;
                    EXPECT_LE(bottom, device.height) << device.height << " page " << p;
                }
                const auto body = bodyTexts(ops);
                for (size_t i = 4; i < body.size(); i += 5)
                    remarks.push_back(body[i]);
            }
            std::vector<std::string> expected;
            for (int i = 1; i <= n; ++i)
                expected.push_back("r" + std::to_string(i));
            EXPECT_EQ(expected, remarks) << device.width << "x" << device.height << ", " << n;
        }
    }
    EXPECT_EQ(50, depthRowsPerPage(k600));
    EXPECT_LT(depthRowsPerPage({600, 600, 6814, 4760}), 50);
}
