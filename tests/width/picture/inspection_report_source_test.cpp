#include "width/picture/inspection_report_source.h"

#include "tests/width/test_util.h"

#include <gtest/gtest.h>

namespace fallowmere {
namespace {

using tessera::PageOp;
using tessera::PageOpKind;

const tessera::PageDevice kDevice{600, 600, 4960, 7016};

CRecordStru record(const std::string& name, const std::string& width) {
    return {"1", name, width, "M", "", "2026-05-01"};
}

bool hasText(const std::vector<PageOp>& ops, const std::string& text) {
    for (const PageOp& op : ops)
        if (op.kind == PageOpKind::Text && op.text == text)
            return true;
    return false;
}

std::string imageOf(const std::vector<PageOp>& ops) {
    for (const PageOp& op : ops)
        if (op.kind == PageOpKind::Image)
            return op.imagePath;
    return {};
}

TEST(InspectionReportSource, EachPageCarriesItsOwnRecordAndPhotograph) {
    widthtest::TempDir dir;
    widthtest::makeDir(dir / "CrackData");
    widthtest::writeFile(dir / "CrackData/B.JPG", "jpeg");
    widthtest::writeFile(dir / "CrackData/C.bmp", "bmp");
    StdFileOps fs;

    // A has no photograph: its page must not borrow B's.
    const InspectionReport report({record("A", "0.10"), record("B", "0.20"), record("C", "0.30")},
                                  nullptr, pictureFinderFor(fs, dir / "CrackData/"));
    ASSERT_EQ(report.pageCount(kDevice), 3);

    const auto first = report.layoutPage(kDevice, 1);
    EXPECT_TRUE(hasText(first, "0.10 mm"));
    EXPECT_EQ(imageOf(first), "");

    const auto second = report.layoutPage(kDevice, 2);
    EXPECT_TRUE(hasText(second, "B"));
    EXPECT_TRUE(hasText(second, "0.20 mm"));
    EXPECT_EQ(imageOf(second), dir / "CrackData/B.JPG");

    EXPECT_EQ(imageOf(report.layoutPage(kDevice, 3)), dir / "CrackData/C.bmp");

    // Outside the job: a blank page, never another record.
    const auto beyond = report.layoutPage(kDevice, 4);
    ASSERT_EQ(beyond.size(), 1u);
    EXPECT_EQ(beyond[0].kind, PageOpKind::Fill);
}

TEST(InspectionReportSource, SettingsAreReadForEveryPage) {
    InspectionInfo info;
    info.company = "First";
    int asked = 0;
    const InspectionReport report(
        {record("A", "1"), record("B", "2")},
        [&] {
            ++asked;
            return info;
        },
        nullptr);
    EXPECT_TRUE(hasText(report.layoutPage(kDevice, 1), "First"));
    info.company = "Second";
    EXPECT_TRUE(hasText(report.layoutPage(kDevice, 2), "Second"));
    EXPECT_EQ(asked, 2);
}

TEST(InspectionReportSource, NothingCollectedHasNoPages) {
    EXPECT_EQ(InspectionReport({}, nullptr, nullptr).pageCount(kDevice), 0);
}

} // namespace
} // namespace fallowmere
