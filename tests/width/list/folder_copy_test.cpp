#include "width/list/folder_copy.h"
#include "width/list/record_list.h"
#include "width/project/cm_file.h"

#include "tests/width/test_util.h"

#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

using namespace fallowmere;
using widthtest::exists;
using widthtest::makeDir;
using widthtest::readFile;
using widthtest::ScriptedPrompts;
using widthtest::TempDir;
using widthtest::writeFile;

namespace {

// Every name below `folder`, "/"-separated, sorted.
void listTree(const std::string& folder, const std::string& prefix, std::vector<std::string>& out) {
    DIR* d = opendir(folder.c_str());
    if (!d)
        return;
    while (auto* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        out.push_back(prefix + name);
        if (e->d_type == DT_DIR)
            listTree(folder + "/" + name, prefix + name + "/", out);
    }
    closedir(d);
    std::sort(out.begin(), out.end());
}

std::vector<std::string> tree(const std::string& folder) {
    std::vector<std::string> out;
    listTree(folder, "", out);
    return out;
}

class FolderCopyTest : public ::testing::Test {
protected:
    TempDir dir;
    StdFileOps fs;
    ScriptedPrompts prompts;
    std::string from = dir / "src/CrackData";
    std::string to = dir / "dst";

    void SetUp() override {
        makeDir(dir / "src");
        makeDir(from);
        makeDir(to);
        writeFile(from + "/a.jpg", "new a");
        writeFile(from + "/b.bmp", "new b");
        writeFile(from + "/c.jpg", "new c");
        makeDir(from + "/sub");
        writeFile(from + "/sub/d.jpg", "new d");
    }
    CopyResult copy() { return CopyFolder(fs, prompts, from, to); }
    void existing() {
        makeDir(to + "/CrackData");
        writeFile(to + "/CrackData/a.jpg", "old a");
        writeFile(to + "/CrackData/b.bmp", "old b");
        writeFile(to + "/CrackData/keep.jpg", "mine");
    }
    std::string at(const std::string& name) { return readFile(to + "/CrackData/" + name); }
};

using Names = std::vector<std::string>;

} // namespace

TEST_F(FolderCopyTest, CopiesTheFolderIntoTheDestination) {
    CopyResult r = copy();
    EXPECT_EQ(CopyOutcome::Succeeded, r.outcome);
    EXPECT_EQ(4u, r.copied);
    EXPECT_EQ((Names{"CrackData", "CrackData/a.jpg", "CrackData/b.bmp", "CrackData/c.jpg",
                     "CrackData/sub", "CrackData/sub/d.jpg"}),
              tree(to)); // no temporary files either
    EXPECT_EQ("new d", at("sub/d.jpg"));
    EXPECT_TRUE(prompts.replaceQuestions.empty());
}

TEST_F(FolderCopyTest, AsksBeforeReplacingKeepOrReplace) {
    existing();
    prompts.replace = {ReplaceAnswer::No, ReplaceAnswer::Yes};
    CopyResult r = copy();
    EXPECT_EQ(CopyOutcome::Succeeded, r.outcome);
    EXPECT_EQ((Names{to + "/CrackData/a.jpg", to + "/CrackData/b.bmp"}), prompts.replaceQuestions);
    EXPECT_EQ("old a", at("a.jpg"));
    EXPECT_EQ("new b", at("b.bmp"));
    EXPECT_EQ("new c", at("c.jpg"));
    EXPECT_EQ("mine", at("keep.jpg"));
    EXPECT_EQ(1u, r.kept);
}

TEST_F(FolderCopyTest, YesToAllAsksOnce) {
    existing();
    prompts.replace = {ReplaceAnswer::YesToAll};
    EXPECT_EQ(CopyOutcome::Succeeded, copy().outcome);
    EXPECT_EQ(1u, prompts.replaceQuestions.size());
    EXPECT_EQ("new a", at("a.jpg"));
    EXPECT_EQ("new b", at("b.bmp"));
}

TEST_F(FolderCopyTest, CancelStopsAtOnce) {
    existing();
    prompts.replace = {ReplaceAnswer::Yes, ReplaceAnswer::Cancel};
    CopyResult r = copy();
    EXPECT_EQ(CopyOutcome::Cancelled, r.outcome);
    EXPECT_EQ(kCopyCancelledMessage, copyOutcomeMessage(r.outcome));
    EXPECT_EQ("new a", at("a.jpg"));
    EXPECT_EQ("old b", at("b.bmp"));
    EXPECT_FALSE(exists(to + "/CrackData/c.jpg"));

    // Cancelling the progress stops as well.
    prompts.replace.clear();
    prompts.replaceQuestions.clear();
    prompts.cancelAfterFiles = 1;
    TempDir other;
    EXPECT_EQ(CopyOutcome::Cancelled, CopyFolder(fs, prompts, from, other.path).outcome);
    EXPECT_EQ(2u, tree(other.path).size()); // the folder and one file
}

TEST_F(FolderCopyTest, MergesIntoAFolderOfAnotherLetterCase) {
    makeDir(to + "/crackdata");
    writeFile(to + "/crackdata/A.JPG", "old a");
    prompts.replace = {ReplaceAnswer::Yes};
    EXPECT_EQ(CopyOutcome::Succeeded, copy().outcome);
    EXPECT_EQ((Names{to + "/crackdata/A.JPG"}), prompts.replaceQuestions);
    EXPECT_EQ("new a", readFile(to + "/crackdata/A.JPG"));
    EXPECT_FALSE(exists(to + "/CrackData"));
    EXPECT_FALSE(exists(to + "/crackdata/a.jpg"));
}

TEST_F(FolderCopyTest, AFolderOntoItselfChangesNothing) {
    const Names before = tree(dir / "src");
    CopyResult r = CopyFolder(fs, prompts, from, dir / "src");
    EXPECT_EQ(CopyOutcome::Succeeded, r.outcome);
    EXPECT_EQ(0u, r.copied);
    EXPECT_EQ(before, tree(dir / "src"));
    EXPECT_EQ("new a", readFile(from + "/a.jpg"));
    EXPECT_TRUE(prompts.replaceQuestions.empty());

    // The destination inside the copied folder: copied once, not into itself again.
    r = CopyFolder(fs, prompts, from, from + "/sub");
    EXPECT_EQ(CopyOutcome::Succeeded, r.outcome);
    EXPECT_EQ((Names{"CrackData", "CrackData/a.jpg", "CrackData/b.bmp", "CrackData/c.jpg",
                     "CrackData/sub", "CrackData/sub/d.jpg", "d.jpg"}),
              tree(from + "/sub"));
}

TEST_F(FolderCopyTest, LinksAreNeverFollowedOutOfEitherFolder) {
    makeDir(dir / "elsewhere");
    writeFile(dir / "elsewhere/secret.jpg", "secret");
    ASSERT_EQ(0, symlink("../../elsewhere/secret.jpg", (from + "/out.jpg").c_str()));
    ASSERT_EQ(0, symlink("../../elsewhere", (from + "/outdir").c_str()));
    ASSERT_EQ(0, symlink("a.jpg", (from + "/in.jpg").c_str()));
    makeDir(to + "/CrackData");
    writeFile(dir / "victim.jpg", "victim");
    ASSERT_EQ(0, symlink((dir / "victim.jpg").c_str(), (to + "/CrackData/c.jpg").c_str()));

    prompts.replace = {ReplaceAnswer::YesToAll};
    CopyResult r = copy();
    EXPECT_FALSE(exists(to + "/CrackData/out.jpg"));
    EXPECT_FALSE(exists(to + "/CrackData/outdir"));
    EXPECT_EQ("new a", at("in.jpg"));
    EXPECT_EQ("victim", readFile(dir / "victim.jpg"));
    EXPECT_EQ(CopyOutcome::Failed, r.outcome); // c.jpg could not be written
    EXPECT_EQ(1u, r.problems.size());
}

TEST_F(FolderCopyTest, FailuresAreReportedAndTheRestIsCopied) {
    makeDir(to + "/CrackData");
    makeDir(to + "/CrackData/a.jpg"); // a folder where a photograph should go
    CopyResult r = copy();
    EXPECT_EQ(CopyOutcome::Failed, r.outcome);
    EXPECT_EQ(kCopyFailedMessage, copyOutcomeMessage(r.outcome));
    EXPECT_EQ("new c", at("c.jpg"));
    EXPECT_EQ(CopyOutcome::Failed, CopyFolder(fs, prompts, dir / "missing", to).outcome);
    EXPECT_EQ(CopyOutcome::Failed, CopyFolder(fs, prompts, from, dir / "missing").outcome);
}

// Sanitizers reserve far more address space than the limit below allows.
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TESSERA_UNDER_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TESSERA_UNDER_SANITIZER 1
#endif

#ifndef TESSERA_UNDER_SANITIZER
TEST_F(FolderCopyTest, PhotographsLargerThanTheMemoryAllowedAreCopied) {
    // 160 MiB (sparse, with marks at both ends) copied under a 96 MiB address-space limit:
    // only a copy in pieces of a fixed size can succeed.
    const std::string big = from + "/big.jpg";
    const off_t size = off_t{160} << 20;
    const int fd = open(big.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(0, ftruncate(fd, size));
    ASSERT_EQ(5, pwrite(fd, "first", 5, 0));
    ASSERT_EQ(4, pwrite(fd, "last", 4, size - 4));
    close(fd);
    auto copyUnderLimit = [this] {
        struct rlimit limit {};
        limit.rlim_cur = limit.rlim_max = rlim_t{96} << 20;
        setrlimit(RLIMIT_AS, &limit);
        const CopyResult r = copy();
        std::_Exit(r.outcome == CopyOutcome::Succeeded && r.copied == 5 ? 0 : 1);
    };
    EXPECT_EXIT(copyUnderLimit(), ::testing::ExitedWithCode(0), "");
    std::ifstream a(big, std::ios::binary), b(to + "/CrackData/big.jpg", std::ios::binary);
    std::vector<char> x(1 << 20), y(1 << 20);
    off_t compared = 0;
    while (a.read(x.data(), x.size()), b.read(y.data(), y.size()), a.gcount() > 0) {
        ASSERT_EQ(a.gcount(), b.gcount());
        ASSERT_TRUE(std::equal(x.begin(), x.begin() + a.gcount(), y.begin())) << compared;
        compared += a.gcount();
    }
    EXPECT_EQ(size, compared);
    EXPECT_EQ(0, b.gcount());
}
#endif

TEST(ProjectMerge, MergingAProjectWithItselfChangesAndLosesNothing) {
    TempDir dir;
    StdFileOps fs;
    ScriptedPrompts prompts;
    ByteOrderCollator bytes;
    CQuenbyDoc doc;
    RecordRows rows;
    RecordList list(doc, rows, fs, prompts, bytes);
    makeDir(dir / "CrackData");
    writeFile(dir / "CrackData/a.jpg", "A");
    writeFile(dir / "CrackData/b.bmp", "B");
    const std::string file =
        encodeProjectText({{"1", "a", "0.1", "M", "", "T"}, {"2", "b", "0.2", "M", "r", "T"}});
    writeFile(dir / "p.cm", file);
    doc.openProject(dir / "p.cm", fs);
    list.refresh();
    doc.addProject(dir / "p.cm", fs);
    list.refresh();
    EXPECT_EQ(2u, rows.size());
    EXPECT_EQ(file, readFile(dir / "p.cm"));
    EXPECT_EQ((Names{"a.jpg", "b.bmp"}), tree(dir / "CrackData"));
    EXPECT_EQ("A", readFile(dir / "CrackData/a.jpg"));
    EXPECT_TRUE(prompts.replaceQuestions.empty());
    EXPECT_EQ((std::vector<std::string>{std::string(kCopySucceededMessage)}),
              prompts.messageTexts());
}
