#include "width/project/quenby_doc.h"

#include "tests/width/test_util.h"

using namespace fallowmere;
using widthtest::makeDir;
using widthtest::TempDir;
using widthtest::writeFile;

namespace {

class DocumentTest : public ::testing::Test {
protected:
    TempDir dir;
    StdFileOps fs;
    CQuenbyDoc doc;

    std::string project(const std::string& folder, const std::string& names) {
        makeDir(dir / folder);
        std::string text = "header\r\n";
        for (char c : names)
            text += std::string("1\t") + c + "\t0.1\tM\t\tT\r\n";
        writeFile(dir / folder + "/p.cm", text);
        return dir / folder + "/p.cm";
    }
};

} // namespace

TEST_F(DocumentTest, OpenSetsThePathsAndReadsTheRecords) {
    const std::string path = project("a", "xyz");
    makeDir(dir / "a/CrackData");
    makeDir(dir / "a/CrannyData");
    doc.setMultiMode();
    ASSERT_TRUE(doc.addShownName("x"));
    ProjectLoad load = doc.openProject(path, fs);
    EXPECT_FALSE(load.noPictureFolder);
    EXPECT_TRUE(load.error.empty());
    EXPECT_EQ(path, doc.projectFile());
    EXPECT_EQ(dir / "a", doc.projectDir());
    EXPECT_EQ(dir / "a/CrackData/", doc.dataDir());
    EXPECT_EQ(3u, doc.records().size());
    EXPECT_FALSE(doc.mergeMode());
    EXPECT_EQ(0, doc.shownCount());
    EXPECT_EQ(ShowMode::Multiple, doc.showMode()); // Open keeps the mode
}

TEST_F(DocumentTest, OpenWithoutPictureFolderStillLoads) {
    const std::string path = project("a", "xy");
    ProjectLoad load = doc.openProject(path, fs);
    EXPECT_TRUE(load.noPictureFolder);
    EXPECT_EQ(dir / "a/CrannyData/", doc.dataDir());
    EXPECT_EQ(2u, doc.records().size());
}

TEST_F(DocumentTest, RelativePathsBecomeAbsolute) {
    project("a", "x");
    char cwd[4096];
    ASSERT_TRUE(getcwd(cwd, sizeof cwd));
    ASSERT_EQ(0, chdir((dir / "a").c_str()));
    doc.openProject("p.cm", fs);
    [[maybe_unused]] int rc = chdir(cwd);
    EXPECT_EQ(dir / "a/p.cm", doc.projectFile());
    EXPECT_EQ(dir / "a", doc.projectDir());
}

TEST_F(DocumentTest, AddBeforeOpenIsAnOpen) {
    ProjectLoad load = doc.addProject(project("a", "x"), fs);
    EXPECT_TRUE(load.openedInstead);
    EXPECT_FALSE(doc.mergeMode());
    EXPECT_EQ(dir / "a/p.cm", doc.projectFile());
}

TEST_F(DocumentTest, AddKeepsTheOpenProjectAndNotesTheOtherFolder) {
    doc.openProject(project("a", "xy"), fs);
    const std::string other = project("b", "z");
    makeDir(dir / "b/crackdata");
    doc.setMultiMode();
    doc.addShownName("x");
    ProjectLoad load = doc.addProject(other, fs);
    EXPECT_FALSE(load.openedInstead);
    EXPECT_FALSE(load.noPictureFolder);
    EXPECT_TRUE(doc.mergeMode());
    EXPECT_EQ(dir / "a/p.cm", doc.projectFile());
    EXPECT_EQ(dir / "a/CrannyData/", doc.dataDir());
    EXPECT_EQ(dir / "b/crackdata", doc.mergeDataDir());
    ASSERT_EQ(1u, doc.records().size());
    EXPECT_EQ("z", doc.records()[0].strName);
    EXPECT_EQ(1, doc.shownCount());
}

TEST_F(DocumentTest, AFileThatCannotBeReadLeavesNoProjectOpen) {
    doc.openProject(project("a", "xy"), fs);
    makeDir(dir / "folder.cm");
    ProjectLoad load = doc.openProject(dir / "folder.cm", fs);
    EXPECT_NE(std::string::npos, load.error.find("folder.cm"));
    EXPECT_TRUE(doc.records().empty());
    EXPECT_TRUE(doc.projectFile().empty()); // nothing is written over it later
    EXPECT_TRUE(doc.addProject(project("b", "z"), fs).openedInstead);

    // An added file that cannot be read adds nothing and keeps the open project.
    load = doc.addProject(dir / "missing.cm", fs);
    EXPECT_FALSE(load.error.empty());
    EXPECT_TRUE(doc.records().empty());
    EXPECT_EQ(dir / "b/p.cm", doc.projectFile());
}

TEST_F(DocumentTest, NeverMoreThanSixShownNames) {
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(doc.addShownName(std::to_string(i)));
    EXPECT_FALSE(doc.addShownName("6"));
    EXPECT_EQ(6, doc.shownCount());
    doc.setShownNames({"a", "b", "c", "d", "e", "f", "g", "h"});
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "d", "e", "f"}), doc.shownNames());
    doc.lowerShownCount();
    EXPECT_EQ(5, doc.shownCount());
    doc.setSingleMode();
    EXPECT_EQ(0, doc.shownCount());
}
