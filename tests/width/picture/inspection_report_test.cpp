#include "width/picture/inspection_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace fallowmere {
namespace {

using tessera::PageDevice;
using tessera::PageOp;
using tessera::PageOpKind;
using tessera::TextAlign;

const PageDevice kA4At600{600, 600, 4960, 7016};

const PageOp* findText(const std::vector<PageOp>& ops, const std::string& text) {
    for (const PageOp& op : ops) {
        if (op.kind == PageOpKind::Text && op.text == text)
            return &op;
    }
    return nullptr;
}

// Millimetres from the top-left corner of the printable area at 600 dpi.
double mm(int pixels) {
    return pixels * 254.0 / 6000.0;
}

InspectionInfo sampleInfo() {
    return {"\xb5\xda\xd2\xbb\xbc\xec\xb2\xe2", "Bridge 7", "Li", "Wang", "Zhao"};
}

InspectionPageRecord sampleRecord() {
    return {"3",
            "L1-02",
            "0.25",
            "\xd7\xd4\xb6\xaf",
            "ok",
            "2026-05-01 10:22:13",
            "/p/CrackData/L1-02.jpg"};
}

TEST(InspectionReportGeometry, FiguresAtEqualAndUnequalResolutions) {
    const InspectionReportGeometry g = inspectionReportGeometry(kA4At600);
    EXPECT_NEAR(g.mmX, 23.622047, 1e-6);
    EXPECT_DOUBLE_EQ(g.mmX, g.mmY);
    EXPECT_NEAR(g.rowHeight, 188.976378, 1e-6);
    EXPECT_EQ(g.pictureWidth, 2834);
    EXPECT_EQ(g.pictureHeight, 2125);
    EXPECT_EQ(g.bottomRow, 23);
    EXPECT_EQ(g.titleFont.pixelHeight, 133);
    EXPECT_EQ(g.labelFont.pixelHeight, 100);
    EXPECT_EQ(g.labelFont.weight, 700);
    EXPECT_EQ(g.valueFont.weight, 400);

    // Twice as many pixels down: rows are twice as tall, the photograph keeps its pixel
    // height (measured across), so the table ends sooner in rows.
    const InspectionReportGeometry tall = inspectionReportGeometry({600, 1200, 4960, 14032});
    EXPECT_EQ(tall.bottomRow, 17);
    EXPECT_EQ(tall.pictureHeight, 2125);
    EXPECT_EQ(tall.pictureWidth, 2834);
    EXPECT_EQ(tall.valueFont.pixelHeight, 200);

    // Cells: A and C a sixth, B and D a third of the 175 mm table.
    EXPECT_NEAR(mm(g.edges[1] - g.edges[0]), 29.17, 0.05);
    EXPECT_NEAR(mm(g.edges[2] - g.edges[1]), 58.33, 0.05);
    EXPECT_NEAR(mm(g.edges[4] - g.edges[3]), 58.33, 0.05);
    EXPECT_NEAR(mm(g.edges[4]), 189.82, 0.05);
}

TEST(InspectionReportPage, BandsLandWhereTheFormSaysInMillimetres) {
    const std::vector<PageOp> ops =
        layoutInspectionReportPage(kA4At600, sampleInfo(), sampleRecord());
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops.front().kind, PageOpKind::Fill);
    EXPECT_EQ(ops.front().rect, (tessera::PageRect{0, 0, 4960, 7016}));

    struct Band {
        const char* text;
        double top, bottom, left, right;
    };
    const Band bands[] = {
        // Whole pixels are truncated, so the edges land a little short of the round figures.
        {"裂缝检测报告", 14, 30, 15, 190},    {"测量单位", 38, 46, 15, 44.11},
        {"工程名称", 46, 54, 15, 44.11},      {"组    号", 62, 70, 15, 44.11},
        {"名    称", 62, 70, 102.40, 131.53}, {"裂缝宽度", 70, 78, 102.40, 131.53},
        {"备    注", 190, 198, 15, 44.11},    {"测量人", 206, 214, 19.98, 39.96},
        {"复  核", 206, 214, 79.93, 99.91},   {"签  收", 206, 214, 139.87, 159.85},
    };
    for (const Band& band : bands) {
        SCOPED_TRACE(band.text);
        const PageOp* op = findText(ops, band.text);
        ASSERT_NE(op, nullptr);
        EXPECT_NEAR(mm(op->rect.top), band.top, 0.05);
        EXPECT_NEAR(mm(op->rect.bottom), band.bottom, 0.05);
        EXPECT_NEAR(mm(op->rect.left), band.left, 0.05);
        EXPECT_NEAR(mm(op->rect.right), band.right, 0.05);
        EXPECT_EQ(op->align, TextAlign::Center);
    }

    // Rules half a millimetre above rows 6, 7, 8, 22 and 23, across the table.
    std::vector<double> rules;
    for (const PageOp& op : ops) {
        if (op.kind == PageOpKind::Line && op.y1 == op.y2) {
            EXPECT_NEAR(mm(op.x1), 15, 0.05);
            EXPECT_NEAR(mm(op.x2), 190, 0.05);
            EXPECT_EQ(op.penWidth, 2);
            rules.push_back(mm(op.y1));
        }
    }
    ASSERT_EQ(rules.size(), 5u);
    const double expected[] = {61.5, 69.5, 77.5, 189.5, 197.5};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_NEAR(rules[i], expected[i], 0.05);

    // The photograph: 120 × 90 mm from 86 mm down, about 46.6 mm across.
    const PageOp* picture = nullptr;
    for (const PageOp& op : ops) {
        if (op.kind == PageOpKind::Image)
            picture = &op;
    }
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->imagePath, "/p/CrackData/L1-02.jpg");
    EXPECT_NEAR(mm(picture->rect.top), 86, 0.1);
    EXPECT_NEAR(mm(picture->rect.bottom), 176, 0.15);
    EXPECT_NEAR(mm(picture->rect.left), 46.6, 0.05);
    EXPECT_NEAR(mm(picture->rect.right), 166.6, 0.05);
}

TEST(InspectionReportPage, VerticalsFrameTheTableAndSplitItsCells) {
    const std::vector<PageOp> ops = layoutInspectionReportPage(kA4At600, {}, {});
    const InspectionReportGeometry g = inspectionReportGeometry(kA4At600);
    std::vector<std::tuple<int, int, int>> verticals; // x, from, to
    for (const PageOp& op : ops) {
        if (op.kind == PageOpKind::Line && op.x1 == op.x2)
            verticals.emplace_back(op.x1, op.y1, op.y2);
    }
    const int r6 = g.ruleY(6), r8 = g.ruleY(8), r22 = g.ruleY(22), r23 = g.ruleY(23);
    const std::vector<std::tuple<int, int, int>> expected{
        {g.edges[0], r6, r23}, {static_cast<int>(g.right), r6, r23},
        {g.edges[1], r6, r8},  {g.edges[2], r6, r8},
        {g.edges[3], r6, r8},  {g.edges[1], r22, r23}};
    EXPECT_EQ(verticals, expected);
}

TEST(InspectionReportPage, ValuesAreLeftAlignedInTheirCellsAndConvertedFromGbk) {
    const std::vector<PageOp> ops =
        layoutInspectionReportPage(kA4At600, sampleInfo(), sampleRecord());
    const InspectionReportGeometry g = inspectionReportGeometry(kA4At600);

    const PageOp* company = findText(ops, "第一检测");
    ASSERT_NE(company, nullptr);
    EXPECT_EQ(company->align, TextAlign::Left);
    EXPECT_EQ(company->font, g.valueFont);
    EXPECT_EQ(company->rect.left, g.edges[1]); // no pad outside the ruled table
    EXPECT_EQ(company->rect.top, g.rowTop(3));

    const PageOp* name = findText(ops, "L1-02");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->rect.left, g.edges[3] + g.pad);
    EXPECT_EQ(name->rect.right, g.edges[4]);

    ASSERT_NE(findText(ops, "自动"), nullptr);
    ASSERT_NE(findText(ops, "0.25 mm"), nullptr);
    ASSERT_NE(findText(ops, "2026-05-01 10:22:13"), nullptr);

    // The remark runs to the right frame and no further: the painter cuts it there.
    const PageOp* remark = findText(ops, "ok");
    ASSERT_NE(remark, nullptr);
    EXPECT_EQ(remark->rect.right, static_cast<int>(g.right));
    EXPECT_EQ(remark->rect.top, g.rowTop(22));

    // Signature values sit between their labels.
    const PageOp* checker = findText(ops, "Wang");
    const PageOp* checkerLabel = findText(ops, "复  核");
    ASSERT_NE(checker, nullptr);
    ASSERT_NE(checkerLabel, nullptr);
    EXPECT_EQ(checker->rect.left, checkerLabel->rect.right);
    EXPECT_NEAR(mm(checker->rect.right - checker->rect.left), 40, 0.1);
}

TEST(InspectionReportPage, EmptyFieldsAndNoPhotograph) {
    InspectionPageRecord record;
    const std::vector<PageOp> ops = layoutInspectionReportPage(kA4At600, {}, record);
    // An empty width still prints its unit; a record without a photograph leaves the area blank.
    EXPECT_NE(findText(ops, " mm"), nullptr);
    for (const PageOp& op : ops)
        EXPECT_NE(op.kind, PageOpKind::Image);
    // Settings never entered: the labels print alone.
    EXPECT_NE(findText(ops, "测量人"), nullptr);
}

} // namespace
} // namespace fallowmere
