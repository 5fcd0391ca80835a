#include "width/project/cm_file.h"

#include "common/atomic_file.h"
#include "common/gbk.h"
#include "tests/width/test_util.h"

#include <csignal>
#include <cstring>
#include <dirent.h>
#include <sys/resource.h>

using namespace fallowmere;
using widthtest::TempDir;

namespace {

CRecordStru rec(std::string g, std::string n, std::string w, std::string m, std::string r,
                std::string t) {
    return {std::move(g), std::move(n), std::move(w), std::move(m), std::move(r), std::move(t)};
}

std::vector<CRecordStru> parse(std::string_view bytes) {
    std::vector<CRecordStru> out;
    parseProjectText(bytes, out);
    return out;
}

int entriesIn(const std::string& folder) {
    int n = 0;
    DIR* d = opendir(folder.c_str());
    while (auto* e = readdir(d))
        n += std::string(e->d_name) != "." && std::string(e->d_name) != "..";
    closedir(d);
    return n;
}

// Fails the test by ending the process if a call blocks.
struct BlockGuard {
    BlockGuard() { alarm(10); }
    ~BlockGuard() { alarm(0); }
};

} // namespace

TEST(CmSplit, MissingFieldsRepeatTheLastOneAndExtraFieldsAreIgnored) {
    EXPECT_EQ(rec("A", "B", "C", "C", "C", "C"), splitRecordLine("A\tB\tC"));
    EXPECT_EQ(rec("1", "2", "3", "4", "5", "6"), splitRecordLine("1\t2\t3\t4\t5\t6\t7\t8"));
    EXPECT_EQ(rec("", "", "", "", "", ""), splitRecordLine(""));
    EXPECT_EQ(rec("A", "", "", "", "", ""), splitRecordLine("A\t"));
    EXPECT_EQ(rec("", "", "x", "x", "x", "x"), splitRecordLine("\t\tx"));
    EXPECT_EQ(rec("only", "only", "only", "only", "only", "only"), splitRecordLine("only"));
    // An empty remark between mode and time.
    EXPECT_EQ(rec("1", "L1", "0.12", "M", "", "12:00"), splitRecordLine("1\tL1\t0.12\tM\t\t12:00"));
}

TEST(CmRead, HeaderSkippedLineEndsAndLastLine) {
    // The first line is dropped even when it looks like a record.
    EXPECT_TRUE(parse("1\ta\t2\t3\t4\t5\r\n").empty());
    EXPECT_TRUE(parse("header without a line end").empty());
    EXPECT_TRUE(parse("").empty());

    auto records = parse("h\r\nA\tB\tC\tD\tE\tF\r\nG\tH\nI\tJ\tK\tL\tM\tN");
    ASSERT_EQ(3u, records.size());
    EXPECT_EQ(rec("A", "B", "C", "D", "E", "F"), records[0]);
    EXPECT_EQ(rec("G", "H", "H", "H", "H", "H"), records[1]); // bare LF
    EXPECT_EQ("N", records[2].strTime);                       // no line end at all

    // An empty line is a record of six empty fields; the line end after the last line is not
    // another record.
    records = parse("h\r\n\r\nx\r\n");
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ(CRecordStru{}, records[0]);
    EXPECT_EQ("x", records[1].strName);

    // Only the CR of a CR LF belongs to the line end.
    records = parse("h\na\rb\tc\r\r\n");
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ("a\rb", records[0].strGroup);
    EXPECT_EQ("c\r", records[0].strName);
}

TEST(CmRead, LongLinesAreKeptWhole) {
    std::string name(3'000'000, 'n');
    auto records = parse("h\r\n1\t" + name + "\t0.2\r\n");
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(name, records[0].strName);
}

TEST(CmRead, ALongLineIsHeldOnceHoweverOftenItsFieldRepeatsOrItsRecordIsCopied) {
    // A line of a megabyte without a TAB fills all six fields; one whose fourth field is the
    // last fills the last three with it.
    const std::string line(1'000'000, 'x');
    const auto records = parse("h\r\n" + line + "\r\n1\t2\t3\t" + line + "\r\n");
    ASSERT_EQ(2u, records.size());
    const CRecordStru copy0 = records[0];
    for (int c = 0; c < CRecordStru::kFieldCount; ++c) {
        EXPECT_EQ(line, records[0].field(c));
        EXPECT_EQ(records[0].field(0).data(), records[0].field(c).data()) << c;
        EXPECT_EQ(records[0].field(c).data(), copy0.field(c).data()) << c;
        if (c >= 3) {
            EXPECT_EQ(records[1].field(3).data(), records[1].field(c).data()) << c;
        }
    }
}

TEST(CmWrite, HeaderAndRowsInGbkWithCrLf) {
    const std::vector<CRecordStru> rows = {rec("1", "裂缝", "0.12", "M", "", "t"),
                                           rec("", "", "", "", "", "")};
    const std::string bytes = encodeProjectText(rows);
    // 组号 名称 宽度 模式 备注 时间 in GBK.
    const std::string header = "\xD7\xE9\xBA\xC5\t\xC3\xFB\xB3\xC6\t\xBF\xED\xB6\xC8\t"
                               "\xC4\xA3\xCA\xBD\t\xB1\xB8\xD7\xA2\t\xCA\xB1\xBC\xE4\r\n";
    EXPECT_EQ(header + "1\t裂缝\t0.12\tM\t\tt\r\n\t\t\t\t\t\r\n", bytes);
}

TEST(CmWrite, BytesSurviveReadAndWriteUnchanged) {
    // Fields that are not valid GBK (a lone lead byte, 0x80, 0xFF) and GBK text.
    const std::string gbkName = *tessera::utf8ToGbk("裂缝一");
    const std::string file = "any header\r\n"
                             "\x81\t" +
                             gbkName + "\xFF\t0.10\t\x80mode\tr\x81\tT\r\n" + "2\tb\t\t\t\t\r\n";
    auto records = parse(file);
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ("\x81", records[0].strGroup);
    EXPECT_EQ(gbkName + "\xFF", records[0].strName);
    const std::string written = encodeProjectText(records);
    EXPECT_EQ(file.substr(file.find('\n') + 1), written.substr(written.find('\n') + 1));
    EXPECT_EQ(records, parse(written));
}

TEST(CmFile, ReaderReadsRegularFilesOnlyAndNeverBlocks) {
    TempDir dir;
    std::vector<CRecordStru> records = {rec("x", "x", "x", "x", "x", "x")};
    std::string message;
    BlockGuard guard;

    const std::string fifo = dir / "pipe.cm";
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    EXPECT_FALSE(ReadProjectFile(fifo, records, message));
    EXPECT_TRUE(records.empty());
    EXPECT_NE(std::string::npos, message.find(fifo));
    EXPECT_NE(std::string::npos, message.find(tessera::kNotRegularFileReason));

    message.clear();
    EXPECT_FALSE(ReadProjectFile("/dev/zero", records, message)); // would never end
    EXPECT_NE(std::string::npos, message.find(tessera::kNotRegularFileReason));

    message.clear();
    EXPECT_FALSE(ReadProjectFile(dir.path, records, message));
    EXPECT_NE(std::string::npos, message.find(tessera::kNotRegularFileReason));

    message.clear();
    EXPECT_FALSE(ReadProjectFile(dir / "missing.cm", records, message));
    EXPECT_NE(std::string::npos, message.find("missing.cm"));

    widthtest::writeFile(dir / "p.cm", "h\r\na\tb\r\n");
    ASSERT_TRUE(ReadProjectFile(dir / "p.cm", records, message));
    ASSERT_EQ(1u, records.size());
}

TEST(CmFile, FailedWriteLeavesTheOldFileAndSaysWhy) {
    TempDir dir;
    const std::string path = dir / "project.cm";
    widthtest::writeFile(path, "old content\r\n");
    std::vector<CRecordStru> rows(200, rec("1", "name", "0.12", "M", "remark", "time"));

    // A file size limit makes the write fail part way, whoever runs the test.
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
    std::string message;
    const bool written = writeProjectBytes(path, encodeProjectText(rows), message);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_NE(std::string::npos, message.find(path));
    EXPECT_NE(std::string::npos, message.find("文件过大"));
    EXPECT_EQ("old content\r\n", widthtest::readFile(path));
    EXPECT_EQ(1, entriesIn(dir.path)); // no temporary file left
}

TEST(CmFile, WriterFollowsLinksAndRefusesWhatIsNotAFile) {
    TempDir dir;
    BlockGuard guard;
    std::string message;
    widthtest::makeDir(dir / "real");
    widthtest::writeFile(dir / "real/p.cm", "old");
    ASSERT_EQ(0, symlink("real/p.cm", (dir / "link.cm").c_str()));
    ASSERT_TRUE(writeProjectBytes(dir / "link.cm", "new", message));
    EXPECT_EQ("new", widthtest::readFile(dir / "real/p.cm"));
    struct stat st {};
    ASSERT_EQ(0, lstat((dir / "link.cm").c_str(), &st));
    EXPECT_TRUE(S_ISLNK(st.st_mode));

    ASSERT_EQ(0, mkfifo((dir / "pipe.cm").c_str(), 0600));
    EXPECT_FALSE(writeProjectBytes(dir / "pipe.cm", "x", message));
    ASSERT_EQ(0, lstat((dir / "pipe.cm").c_str(), &st));
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_FALSE(writeProjectBytes(dir / "real", "x", message));
}
