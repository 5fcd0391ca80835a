#include "depth/document/depth_doc.h"
#include "depth/document/view_data.h"

#include <gtest/gtest.h>

using namespace marrowby;

TEST(DocumentTitles, CountPerRunWithoutLimit) {
    DocumentTitleCounter counter;
    EXPECT_EQ("测深文档1", counter.nextTitle());
    EXPECT_EQ("测深文档2", counter.nextTitle());
    for (int i = 3; i < 1000; ++i)
        counter.nextTitle();
    EXPECT_EQ("测深文档1000", counter.nextTitle());
    EXPECT_EQ("测深文档1001", counter.nextTitle());
}

TEST(DocumentViews, UpdateReachesEveryViewButTheSender) {
    struct View : DocumentView {
        std::vector<int> hints;
        void onUpdate(int hint) override { hints.push_back(hint); }
    } a, b;
    CMarrowbyDoc doc;
    doc.addView(&a);
    doc.addView(&b);
    doc.addView(&a);
    doc.updateAllViews(0);
    doc.updateAllViews(3, &a);
    EXPECT_EQ(std::vector<int>({0}), a.hints);
    EXPECT_EQ(std::vector<int>({0, 3}), b.hints);
    doc.removeView(&a);
    EXPECT_EQ(1u, doc.views().size());
}

TEST(ViewData, RefreshBuildsRowsFromRecords) {
    DepthViewData view;
    view.refreshFrom({{1, 12, 34, 150, "ignored"}, {-1, 0, 7, -2147483647 - 1, ""}});
    ASSERT_EQ(2u, view.rows.size());
    EXPECT_EQ(DepthRow("1", "12", "34", "150", ""), view.rows[0]);
    EXPECT_EQ(DepthRow("-1", "0", "7", "-2147483648", ""), view.rows[1]);
    EXPECT_TRUE(view.isModified());
}

TEST(ViewData, UnsavedStateFollowsDownloadsEditsOpenAndSave) {
    DepthViewData view;
    view.refreshFrom({});
    EXPECT_FALSE(view.isModified()); // the first empty display changes nothing

    view.refreshFrom({{1, 2, 3, 4, ""}});
    EXPECT_TRUE(view.isModified());
    view.setModified(false); // saved
    view.refreshFrom({{1, 2, 3, 4, ""}});
    EXPECT_FALSE(view.isModified()); // same rows again

    EXPECT_FALSE(view.editRow(0, {"1", "2", "3", "4", ""})); // OK without a change
    EXPECT_FALSE(view.isModified());
    EXPECT_TRUE(view.editRow(0, {"1", "2", "3", "", "remark"}));
    EXPECT_TRUE(view.isModified());
    EXPECT_FALSE(view.editRow(5, {"", "", "", "", ""}));

    auto file = view.toDm();
    DepthViewData other;
    other.refreshFrom({{9, 9, 9, 9, ""}});
    EXPECT_EQ(DmReadStatus::Complete, other.loadDm(file));
    EXPECT_FALSE(other.isModified());
    ASSERT_EQ(1u, other.rows.size());
    // A cleared depth cell is saved as 0 and shows 0 after reading back; the remark stays.
    EXPECT_EQ(DepthRow("1", "2", "3", "0", "remark"), other.rows[0]);
}

TEST(ViewData, AReloadKeepsTheWindowsEditsWhereTheFileStillHoldsTheRowAsItWas) {
    auto row = [](const char* point, const char* remark = "") {
        return DepthRow("1", "2", point, "40", remark);
    };
    DepthViewData file;
    file.rows = {row("1"), row("2"), row("3")};
    DepthViewData view;
    view.loadDm(file.toDm());
    view.editRow(0, {"1", "2", "1", "40", "ours"});
    view.editRow(1, {"1", "2", "2", "40", "ours too"});

    // Meanwhile someone else changed row 2 and added a row.
    DepthViewData theirs;
    theirs.header.text = "theirs";
    theirs.rows = {row("1"), row("2", "theirs"), row("3"), row("4")};
    EXPECT_EQ(DmReadStatus::Complete, view.reloadKeepingChanges(theirs.toDm()));
    EXPECT_EQ((std::vector<DepthRow>{row("1", "ours"), row("2", "theirs"), row("3"), row("4")}),
              view.rows);
    EXPECT_EQ("theirs", view.header.text);
    EXPECT_TRUE(view.isModified());

    // Rows replaced as a whole (a download) are the window's change: they stay.
    view.refreshFrom({{7, 7, 7, 7, ""}});
    const std::vector<DepthRow> downloaded = view.rows;
    view.reloadKeepingChanges(theirs.toDm());
    EXPECT_EQ(downloaded, view.rows);
}
