#include "common/atomic_file.h"

#include <csignal>
#include <dirent.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tessera;

namespace {

struct TempDir {
    std::string path;
    TempDir() {
        char tmpl[] = "/tmp/atomic_test.XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~TempDir() {
        chmod(path.c_str(), 0700);
        std::string cmd = "rm -rf '" + path + "'";
        [[maybe_unused]] int rc = system(cmd.c_str());
    }
    int entries() const {
        int n = 0;
        DIR* d = opendir(path.c_str());
        while (auto* e = readdir(d))
            n += std::string(e->d_name) != "." && std::string(e->d_name) != "..";
        closedir(d);
        return n;
    }
};

} // namespace

TEST(AtomicFile, WritesAndReplacesWholeFiles) {
    TempDir dir;
    std::string file = dir.path + "/a.DM";
    ASSERT_TRUE(writeFileAtomically(file, std::string("first\0x", 7)));
    std::string data;
    ASSERT_TRUE(readWholeFile(file, data));
    EXPECT_EQ(std::string("first\0x", 7), data);
    ASSERT_TRUE(writeFileAtomically(file, "2"));
    ASSERT_TRUE(readWholeFile(file, data));
    EXPECT_EQ("2", data);
    EXPECT_EQ(1, dir.entries()); // no temporary file left behind
}

TEST(AtomicFile, KeepsPermissionsOfTheReplacedFile) {
    TempDir dir;
    std::string file = dir.path + "/p.txt";
    ASSERT_TRUE(writeFileAtomically(file, "x"));
    chmod(file.c_str(), 0640);
    ASSERT_TRUE(writeFileAtomically(file, "y"));
    struct stat st {};
    stat(file.c_str(), &st);
    EXPECT_EQ(0640u, st.st_mode & 0777);
}

TEST(AtomicFile, FailedWriteLeavesTheOldFileAndReportsWhy) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions; covered by the missing-folder case";
    TempDir dir;
    std::string file = dir.path + "/keep.DM";
    ASSERT_TRUE(writeFileAtomically(file, "old"));
    chmod(dir.path.c_str(), 0500);
    std::string reason;
    EXPECT_FALSE(writeFileAtomically(file, "new", &reason));
    EXPECT_FALSE(reason.empty());
    std::string data;
    ASSERT_TRUE(readWholeFile(file, data));
    EXPECT_EQ("old", data);
}

TEST(AtomicFile, FailuresAreReported) {
    TempDir dir;
    std::string reason;
    EXPECT_FALSE(writeFileAtomically(dir.path + "/missing/x.DM", "data", &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(writeFileAtomically(dir.path, "data", &reason)); // a folder
    std::string data;
    EXPECT_FALSE(readWholeFile(dir.path + "/none", data, &reason));
    EXPECT_FALSE(readWholeFile(dir.path, data, &reason));
}

TEST(AtomicFile, WriteErrorMidwayLeavesTheOldFile) {
    // A file-size limit makes write() fail part way through, as a full disk would, and works
    // for root too.
    TempDir dir;
    std::string file = dir.path + "/data.txt";
    ASSERT_TRUE(writeFileAtomically(file, "old contents"));
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    std::string reason;
    bool ok = writeFileAtomically(file, std::string(5000, 'n'), &reason);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(reason.empty());
    std::string data;
    ASSERT_TRUE(readWholeFile(file, data));
    EXPECT_EQ("old contents", data);
    EXPECT_EQ(1, dir.entries());
}
