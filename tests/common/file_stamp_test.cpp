#include "common/file_stamp.h"

#include "common/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

using namespace tessera;

namespace {

struct Folder {
    std::string path;
    Folder() {
        char tmpl[] = "/tmp/file_stamp_test.XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~Folder() {
        std::string cmd = "rm -rf '" + path + "'";
        [[maybe_unused]] int rc = system(cmd.c_str());
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
};

void appendInPlace(const std::string& path, const std::string& data) {
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(static_cast<ssize_t>(data.size()), ::write(fd, data.data(), data.size()));
    ::close(fd);
}

} // namespace

TEST(KnownFile, NoticesEveryKindOfChangeSinceTheProgramsOwnWrite) {
    Folder dir;
    const std::string file = dir / "p.cm";
    FileStamp written;
    ASSERT_TRUE(writeFileAtomically(file, "ours", nullptr, &written));
    KnownFile known;
    EXPECT_FALSE(known.changedOnDisk()); // nothing remembered
    known.remember(file, written);
    EXPECT_FALSE(known.changedOnDisk());

    // Another program saves atomically (same size, new file), appends in place, removes it.
    ASSERT_TRUE(writeFileAtomically(file, "them"));
    EXPECT_TRUE(known.changedOnDisk());
    known.remember(file, fileStamp(file));
    EXPECT_FALSE(known.changedOnDisk());
    appendInPlace(file, "+");
    EXPECT_TRUE(known.changedOnDisk());
    known.remember(file, fileStamp(file));
    ASSERT_EQ(0, ::unlink(file.c_str()));
    EXPECT_TRUE(known.changedOnDisk());

    // A file read when it did not exist counts as changed once it is there.
    known.remember(file, fileStamp(file));
    EXPECT_FALSE(known.changedOnDisk());
    ASSERT_TRUE(writeFileAtomically(file, "new"));
    EXPECT_TRUE(known.changedOnDisk());
}

TEST(KnownFile, RecognisesTheSameFileByAnyRoute) {
    Folder dir;
    const std::string file = dir / "p.cm";
    ASSERT_TRUE(writeFileAtomically(file, "x"));
    ASSERT_TRUE(writeFileAtomically(dir / "other.cm", "x"));
    ASSERT_EQ(0, ::symlink("p.cm", (dir / "link.cm").c_str()));
    ASSERT_EQ(0, ::link(file.c_str(), (dir / "hard.cm").c_str()));
    ASSERT_EQ(0, ::mkdir((dir / "sub").c_str(), 0700));
    KnownFile known;
    known.remember(dir / "link.cm", fileStamp(file));
    EXPECT_EQ(file.substr(file.rfind('/')), known.path().substr(known.path().rfind('/')));
    for (const std::string& same : {file, dir / "link.cm", dir / "hard.cm", dir / "sub/../p.cm"})
        EXPECT_TRUE(known.isSameFile(same)) << same;
    EXPECT_FALSE(known.isSameFile(dir / "other.cm"));
    EXPECT_FALSE(known.isSameFile(dir / "missing.cm"));

    // A file that is not there yet is still named by its folder and name.
    KnownFile later;
    later.remember(dir / "sub/../new.cm", fileStamp(dir / "new.cm"));
    EXPECT_TRUE(later.isSameFile(dir / "new.cm"));
}

TEST(AtomicFileWriter, FlushLeavesTheTargetAloneUntilTheCommit) {
    Folder dir;
    const std::string file = dir / "p.cm";
    ASSERT_TRUE(writeFileAtomically(file, "old"));
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.open(file));
    ASSERT_TRUE(writer.write("new content"));
    ASSERT_TRUE(writer.flush());
    std::string data;
    ASSERT_TRUE(readWholeFile(file, data));
    EXPECT_EQ("old", data);
    ASSERT_TRUE(writer.commit());
    ASSERT_TRUE(readWholeFile(file, data));
    EXPECT_EQ("new content", data);
    EXPECT_EQ(fileStamp(file), writer.writtenStamp());
}
