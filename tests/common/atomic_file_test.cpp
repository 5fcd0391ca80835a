#include "common/atomic_file.h"

#include "common/error_text.h"
#include "common/ini.h"
#include "common/temporary_files.h"

#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>
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

namespace {

// Runs `body` in a child process, as the unprivileged user "nobody" when the test runs as
// root (root may write any file), and returns its exit status (-1 when it did not exit).
template <typename Body> int inChild(bool unprivileged, Body body) {
    pid_t pid = fork();
    if (pid == 0) {
        if (unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(100);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string contentOf(const std::string& path) {
    std::string data;
    readWholeFile(path, data);
    return data;
}

bool isKind(const std::string& path, mode_t kind) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == kind;
}

} // namespace

TEST(AtomicFile, PipesAndDevicesAreWrittenDirectlyNeverReplaced) {
    TempDir dir;
    // A named pipe with a reader gets the data and stays a pipe.
    const std::string fifo = dir.path + "/pipe";
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    std::string received;
    std::thread reader([&] {
        // Non-blocking, so that a writer that never opens the pipe cannot hang the test.
        int fd = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        char buffer[4096];
        for (int idle = 0; idle < 100;) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) {
                ++idle;
                continue;
            }
            ssize_t n = read(fd, buffer, sizeof buffer);
            if (n > 0)
                received.append(buffer, static_cast<size_t>(n));
            else if (n == 0 && !received.empty())
                break; // the writer has closed the pipe
            else if (n == 0)
                usleep(10000);
        }
        close(fd);
    });
    // Wait until the reader has the pipe open (a writer without a reader is refused).
    std::string reason;
    bool written = false;
    for (int i = 0; i < 500 && !written; ++i) {
        written = writeFileAtomically(fifo, std::string(100000, 'p'), &reason);
        if (!written)
            usleep(10000);
    }
    reader.join();
    EXPECT_TRUE(written) << reason;
    EXPECT_EQ(std::string(100000, 'p'), received);
    EXPECT_TRUE(isKind(fifo, S_IFIFO));
    // Without a reader: refused at once instead of waiting, and still a pipe.
    EXPECT_FALSE(writeFileAtomically(fifo, "x", &reason));
    EXPECT_EQ(errorText(ENXIO), reason);
    EXPECT_TRUE(isKind(fifo, S_IFIFO));

    // Device nodes: copies of /dev/null and /dev/full where the test may make them (root),
    // else the devices themselves (which only root could destroy).
    std::string null = "/dev/null", full = "/dev/full";
    const bool copies = mknod((dir.path + "/null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 &&
                        mknod((dir.path + "/full").c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0;
    if (copies) {
        null = dir.path + "/null";
        full = dir.path + "/full";
    }
    EXPECT_TRUE(writeFileAtomically(null, "into nothing", &reason)) << reason;
    EXPECT_TRUE(isKind(null, S_IFCHR));
    EXPECT_FALSE(writeFileAtomically(full, "no room", &reason));
    EXPECT_EQ(errorText(ENOSPC), reason);
    EXPECT_TRUE(isKind(full, S_IFCHR));
    // A link to a device is followed to it.
    ASSERT_EQ(0, symlink(null.c_str(), (dir.path + "/to-null").c_str()));
    EXPECT_TRUE(writeFileAtomically(dir.path + "/to-null", "x", &reason)) << reason;
    EXPECT_TRUE(isKind(dir.path + "/to-null", S_IFLNK));
    EXPECT_TRUE(isKind(null, S_IFCHR));
    // Nothing was created beside them.
    EXPECT_EQ(copies ? 4 : 2, dir.entries());
}

TEST(AtomicFile, FileTheUserMayNotWriteIsRefusedAndKept) {
    TempDir dir;
    chmod(dir.path.c_str(), 0777); // the folder itself is writable for everyone
    const std::string file = dir.path + "/read-only.DM";
    ASSERT_TRUE(writeFileAtomically(file, "old"));
    chmod(file.c_str(), 0444);
    const int status = inChild(true, [&] {
        std::string reason;
        if (writeFileAtomically(file, "new", &reason))
            return 1;
        return reason == errorText(EACCES) ? 0 : 2;
    });
    EXPECT_EQ(0, status);
    EXPECT_EQ("old", contentOf(file));
    struct stat st {};
    stat(file.c_str(), &st);
    EXPECT_EQ(0444u, st.st_mode & 0777);
    EXPECT_EQ(1, dir.entries());
}

TEST(AtomicFile, SymbolicLinksAreFollowedAndStayLinks) {
    TempDir dir;
    mkdir((dir.path + "/real").c_str(), 0755);
    mkdir((dir.path + "/links").c_str(), 0755);
    const std::string target = dir.path + "/real/data.txt";
    ASSERT_TRUE(writeFileAtomically(target, "old"));
    chmod(target.c_str(), 0640);
    // A chain of two links, the first one relative to its own folder.
    ASSERT_EQ(0, symlink("../real/data.txt", (dir.path + "/links/first").c_str()));
    ASSERT_EQ(0, symlink((dir.path + "/links/first").c_str(), (dir.path + "/second").c_str()));
    std::string reason;
    ASSERT_TRUE(writeFileAtomically(dir.path + "/second", "new", &reason)) << reason;
    EXPECT_EQ("new", contentOf(target));
    EXPECT_TRUE(isKind(dir.path + "/second", S_IFLNK));
    EXPECT_TRUE(isKind(dir.path + "/links/first", S_IFLNK));
    struct stat st {};
    stat(target.c_str(), &st);
    EXPECT_EQ(0640u, st.st_mode & 0777);

    // A dangling link creates its target, in the target's folder.
    ASSERT_EQ(0, symlink("real/made.txt", (dir.path + "/dangling").c_str()));
    ASSERT_TRUE(writeFileAtomically(dir.path + "/dangling", "made", &reason)) << reason;
    EXPECT_EQ("made", contentOf(dir.path + "/real/made.txt"));
    EXPECT_TRUE(isKind(dir.path + "/dangling", S_IFLNK));

    // A loop of links is an error that changes nothing.
    ASSERT_EQ(0, symlink("loop-b", (dir.path + "/loop-a").c_str()));
    ASSERT_EQ(0, symlink("loop-a", (dir.path + "/loop-b").c_str()));
    EXPECT_FALSE(writeFileAtomically(dir.path + "/loop-a", "x", &reason));
    EXPECT_EQ(errorText(ELOOP), reason);
    EXPECT_TRUE(isKind(dir.path + "/loop-a", S_IFLNK));

    int files = 0;
    for (const char* sub : {"/real", "/links"}) {
        DIR* d = opendir((dir.path + sub).c_str());
        while (auto* e = readdir(d))
            files += e->d_name[0] != '.';
        closedir(d);
    }
    EXPECT_EQ(3, files); // data.txt, made.txt, first: no temporary file anywhere
}

TEST(AtomicFile, ReplacedFileKeepsItsOwnerAndGroup) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another owner";
    TempDir dir;
    const std::string file = dir.path + "/owned.DM";
    ASSERT_TRUE(writeFileAtomically(file, "old"));
    ASSERT_EQ(0, chown(file.c_str(), 4242, 4343));
    chmod(file.c_str(), 02750); // set-group bit kept too
    ASSERT_TRUE(writeFileAtomically(file, "new"));
    struct stat st {};
    stat(file.c_str(), &st);
    EXPECT_EQ(4242u, st.st_uid);
    EXPECT_EQ(4343u, st.st_gid);
    EXPECT_EQ(02750u, st.st_mode & 07777);
    EXPECT_EQ("new", contentOf(file));
}

TEST(AtomicFile, CanWriteFileChecksWithoutLeavingAnything) {
    TempDir dir;
    std::string reason;
    EXPECT_TRUE(canWriteFile(dir.path + "/new.DM", &reason)) << reason;
    EXPECT_FALSE(canWriteFile(dir.path, &reason));
    EXPECT_EQ(errorText(EISDIR), reason);
    EXPECT_FALSE(canWriteFile(dir.path + "/missing/x.DM", &reason));
    EXPECT_EQ(errorText(ENOENT), reason);
    EXPECT_EQ(0, dir.entries());
}

TEST(AtomicFile, SignalRemovesTheTemporaryFileOfAnUnfinishedWrite) {
    for (int signal : {SIGINT, SIGTERM}) {
        TempDir dir;
        const std::string file = dir.path + "/report.pdf";
        ASSERT_TRUE(writeFileAtomically(file, "old"));
        int ready[2];
        ASSERT_EQ(0, pipe(ready));
        pid_t pid = fork();
        if (pid == 0) {
            removeTemporaryFilesOnSignals();
            AtomicFileWriter writer;
            if (!writer.open(file) || !writer.write("half of the"))
                _exit(1);
            [[maybe_unused]] ssize_t n = write(ready[1], "r", 1);
            for (;;)
                pause(); // the write is in progress when the signal comes
        }
        close(ready[1]);
        char byte = 0;
        ASSERT_EQ(1, read(ready[0], &byte, 1));
        close(ready[0]);
        EXPECT_EQ(2, dir.entries()); // the old file and the temporary file
        kill(pid, signal);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)); // ended by the signal, as without a handler
        EXPECT_EQ(signal, WTERMSIG(status));
        EXPECT_EQ(1, dir.entries());
        EXPECT_EQ("old", contentOf(file));
    }
}

TEST(AtomicFile, SignalAtAnyMomentOfAWriteLeavesNoTemporaryFile) {
    // Writes start and end without pause on a worker thread (its mask blocks nothing) and on
    // the main thread, while SIGTERM comes at a random moment: whatever step each write is
    // in (creating its temporary file, writing, renaming, abandoning), nothing stays behind.
    TempDir dir;
    const std::string file = dir.path + "/f";
    unsigned seed = 12345;
    for (int round = 0; round < 150; ++round) {
        pid_t pid = fork();
        if (pid == 0) {
            removeTemporaryFilesOnSignals();
            const auto churn = [&](const std::string& name) {
                for (unsigned i = 0;; ++i) {
                    AtomicFileWriter writer;
                    if (writer.open(name) && i % 2 == 0)
                        writer.commit();
                }
            };
            std::thread worker([&] { churn(file + "w"); });
            worker.detach();
            churn(file);
        }
        seed = seed * 1103515245 + 12345;
        usleep(500 + (seed >> 8) % 3000);
        kill(pid, SIGTERM);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        DIR* d = opendir(dir.path.c_str());
        ASSERT_NE(nullptr, d);
        while (dirent* e = readdir(d))
            ASSERT_NE(0u, std::string(e->d_name).rfind(".f", 0))
                << "left behind: " << e->d_name << " in round " << round;
        closedir(d);
    }
}

TEST(RegularFile, ReaderRefusesWhatIsNotARegularFileAtOnce) {
    TempDir dir;
    const std::string fifo = dir.path + "/pipe";
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    alarm(20); // a reader that blocks on the pipe ends the test instead of hanging it
    std::string data = "stale", reason;
    EXPECT_FALSE(readRegularFile(fifo, data, reason));
    EXPECT_EQ(kNotRegularFileReason, reason);
    EXPECT_TRUE(data.empty());
    EXPECT_FALSE(readRegularFile("/dev/zero", data, reason)); // would never end
    EXPECT_EQ(kNotRegularFileReason, reason);
    EXPECT_FALSE(readRegularFile(dir.path, data, reason));
    EXPECT_EQ(kNotRegularFileReason, reason);
    EXPECT_FALSE(readRegularFile(dir.path + "/none", data, reason));
    EXPECT_EQ(errorText(ENOENT), reason);
    IniFile ini;
    EXPECT_FALSE(readIniFile(fifo, ini, &reason));
    EXPECT_EQ(kNotRegularFileReason, reason);
    alarm(0);

    ASSERT_TRUE(writeFileAtomically(dir.path + "/a.ini", "[s]\r\nk=v\r\n"));
    ASSERT_EQ(0, symlink("a.ini", (dir.path + "/link.ini").c_str()));
    ASSERT_TRUE(readIniFile(dir.path + "/link.ini", ini, &reason)) << reason;
    EXPECT_EQ("v", ini.value("S", "K").value_or(""));
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
TEST(RegularFile, RunningOutOfMemoryIsReportedNotThrown) {
    // A sparse file of 2 GiB costs no disk; reading it under a 512 MiB address-space limit
    // cannot succeed.
    TempDir dir;
    const std::string big = dir.path + "/big.DM";
    int fd = open(big.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(0, ftruncate(fd, off_t{2} << 30));
    close(fd);
    const int status = inChild(false, [&] {
        struct rlimit limit {
            rlim_t{512} << 20, rlim_t{512} << 20
        };
        setrlimit(RLIMIT_AS, &limit);
        std::string data, reason;
        if (readRegularFile(big, data, reason))
            return 1;
        return reason == kOutOfMemoryReason && data.empty() ? 0 : 2;
    });
    EXPECT_EQ(0, status);
}
#endif
