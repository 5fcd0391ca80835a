#include "common/recent_files.h"

#include <gtest/gtest.h>

using tessera::RecentFileList;

TEST(RecentFiles, MostRecentFirstWithoutDuplicatesAndAtMostFour) {
    RecentFileList list;
    for (const char* p : {"/a", "/b", "/c", "/d", "/e"})
        list.add(p);
    EXPECT_EQ((std::vector<std::string>{"/e", "/d", "/c", "/b"}), list.entries());
    list.add("/c");
    EXPECT_EQ((std::vector<std::string>{"/c", "/e", "/d", "/b"}), list.entries());
    list.remove("/e");
    list.add("");
    EXPECT_EQ((std::vector<std::string>{"/c", "/d", "/b"}), list.entries());
    list.assign({"/1", "/2", "/1", "/3", "/4", "/5"});
    EXPECT_EQ((std::vector<std::string>{"/1", "/2", "/3", "/4"}), list.entries());
}
