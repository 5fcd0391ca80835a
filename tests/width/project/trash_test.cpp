#include "width/project/trash.h"

#include "common/file_stamp.h"
#include "common/gbk.h"
#include "tests/width/test_util.h"

using namespace fallowmere;
using widthtest::exists;
using widthtest::makeDir;
using widthtest::readFile;
using widthtest::TempDir;
using widthtest::writeFile;

namespace {

std::string percentDecoded(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string infoLine(const std::string& info, const std::string& key) {
    const auto start = info.find("\n" + key + "=");
    if (start == std::string::npos)
        return {};
    const auto value = start + key.size() + 2;
    return info.substr(value, info.find('\n', value) - value);
}

class TrashTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string pictures = dir / "CrackData";
    std::string trash = dir / "data/Trash";
    std::string oldDataHome;

    void SetUp() override {
        makeDir(pictures);
        if (const char* old = std::getenv("XDG_DATA_HOME"))
            oldDataHome = old;
        setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    }
    void TearDown() override {
        if (oldDataHome.empty())
            unsetenv("XDG_DATA_HOME");
        else
            setenv("XDG_DATA_HOME", oldDataHome.c_str(), 1);
    }
    std::string picture(const std::string& name, const std::string& content) {
        writeFile(pictures + "/" + name, content);
        return pictures + "/" + name;
    }
};

} // namespace

TEST_F(TrashTest, AnyNameGoesToTheTrashWithWhatPutsItBack) {
    EXPECT_EQ(trash, homeTrashFolder());
    const std::string gbkName = *tessera::utf8ToGbk("东墙") + ".jpg"; // not UTF-8
    const std::string folder = tessera::resolvedFilePath(pictures);
    int n = 0;
    for (const std::string& name : {gbkName, std::string("a b%.JPG"), gbkName}) {
        const std::string content = "photo " + std::to_string(++n);
        const std::string path = picture(name, content);
        const TrashResult result = moveToTrash(path);
        ASSERT_EQ(TrashOutcome::Moved, result.outcome) << result.reason;
        EXPECT_FALSE(exists(path));
        EXPECT_EQ(content, readFile(result.trashedPath));
        EXPECT_EQ(trash + "/files/", result.trashedPath.substr(0, trash.size() + 7));
        const std::string info = readFile(result.infoPath);
        EXPECT_EQ(0u, info.find("[Trash Info]\n"));
        EXPECT_EQ(folder + "/" + name, percentDecoded(infoLine(info, "Path")));
        EXPECT_EQ(19u, infoLine(info, "DeletionDate").size());
    }
    // The second photograph of the same name did not replace the first.
    EXPECT_EQ(3u, widthtest::entriesIn(trash + "/files"));
    EXPECT_EQ(3u, widthtest::entriesIn(trash + "/info"));
}

TEST_F(TrashTest, NothingMovesWhenTheTrashCannotTakeThePhotograph) {
    TrashFileOps fs;
    const std::string path = picture("a.jpg", "A");
    std::string reason;
    {
        // A full disk: the information cannot be written, so the photograph stays.
        widthtest::FileSizeLimit full(8);
        EXPECT_EQ(RemoveOutcome::NoTrash, fs.removePicture(path, reason));
    }
    EXPECT_NE(std::string::npos, reason.find("文件过大"));
    EXPECT_EQ("A", readFile(path));
    EXPECT_EQ(0u, widthtest::entriesIn(trash + "/info"));
    EXPECT_EQ(0u, widthtest::entriesIn(trash + "/files"));

    // No usable trash (its folder is a file).
    widthtest::writeFile(dir / "data/Trash/info.tmp", "");
    ASSERT_EQ(0, ::rmdir((trash + "/info").c_str()));
    ASSERT_EQ(0, ::rename((trash + "/info.tmp").c_str(), (trash + "/info").c_str()));
    EXPECT_EQ(RemoveOutcome::NoTrash, fs.removePicture(path, reason));
    EXPECT_EQ("A", readFile(path));

    // A photograph that is not there cannot be removed at all.
    EXPECT_EQ(RemoveOutcome::Failed, fs.removePicture(pictures + "/none.jpg", reason));
}
