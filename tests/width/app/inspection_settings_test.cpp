#include "width/app/inspection_settings.h"

#include "common/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace fallowmere {
namespace {

namespace fs = std::filesystem;

class InspectionSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("qb-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "QB.ini").string();
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_write, fs::perm_options::add, ec);
        fs::remove_all(dir_);
    }

    std::string read() const {
        std::string bytes;
        EXPECT_TRUE(tessera::readWholeFile(path_, bytes));
        return bytes;
    }
    void write(const std::string& bytes) const {
        ASSERT_TRUE(tessera::writeFileAtomically(path_, bytes));
    }
    bool ownerWritable() const {
        struct stat st {};
        EXPECT_EQ(::stat(path_.c_str(), &st), 0);
        return (st.st_mode & S_IWUSR) != 0;
    }

    fs::path dir_;
    std::string path_;
};

TEST_F(InspectionSettingsTest, MissingFileGivesEmptyValuesAndCreatesNothing) {
    const SettingsRead read = readInspectionSettings(path_);
    EXPECT_FALSE(read.exists);
    EXPECT_TRUE(read.error.empty());
    EXPECT_TRUE(read.info.company.empty());
    EXPECT_TRUE(read.info.receiver.empty());
    EXPECT_FALSE(fs::exists(path_));
}

TEST_F(InspectionSettingsTest, FirstWriteHoldsAllFiveKeysInOrderAndIsReadOnly) {
    InspectionInfo info;
    info.company = "\xb5\xda\xd2\xbb"; // GBK bytes are written as they are
    info.censor = "Li";
    std::string error;
    ASSERT_TRUE(writeInspectionSettings(path_, info, &error)) << error;
    EXPECT_EQ(read(), "[Vantorel]\r\nCompany=\xb5\xda\xd2\xbb\r\nProjectName=\r\nCensor=Li\r\n"
                      "Checker=\r\nReceiver=\r\n");
    EXPECT_FALSE(ownerWritable());

    // A read-only file is written again (the write lifts the bit and puts it back).
    info.checker = "Wang";
    ASSERT_TRUE(writeInspectionSettings(path_, info, &error)) << error;
    EXPECT_EQ(readInspectionSettings(path_).info.checker, "Wang");
    EXPECT_FALSE(ownerWritable());
}

TEST_F(InspectionSettingsTest, ReadCutsLongValuesMatchesCaseAndLeavesTheFileReadOnly) {
    const std::string longName(300, 'x');
    write("; hand-edited\n[vantorel]\nCOMPANY=" + longName + "\nprojectname = Bridge 7 \n" +
          "Receiver=Zhao\n");
    ASSERT_TRUE(ownerWritable());
    const SettingsRead read = readInspectionSettings(path_);
    EXPECT_TRUE(read.exists);
    EXPECT_EQ(read.info.company, std::string(259, 'x'));
    EXPECT_EQ(read.info.projectName, "Bridge 7");
    EXPECT_EQ(read.info.receiver, "Zhao");
    EXPECT_TRUE(read.info.censor.empty());
    EXPECT_FALSE(ownerWritable());
}

TEST_F(InspectionSettingsTest, WriteKeepsOtherSectionsKeysAndComments) {
    write("[Other]\r\nA=1\r\n[Vantorel]\r\n; note\r\nCompany=old\r\nExtra=keep\r\n");
    InspectionInfo info;
    info.company = "new";
    info.receiver = "R";
    ASSERT_TRUE(writeInspectionSettings(path_, info, nullptr));
    EXPECT_EQ(read(), "[Other]\r\nA=1\r\n[Vantorel]\r\n; note\r\nCompany=new\r\nExtra=keep\r\n"
                      "ProjectName=\r\nCensor=\r\nChecker=\r\nReceiver=R\r\n");
}

TEST_F(InspectionSettingsTest, FailedWriteIsReportedAndChangesNothing) {
    write("[Vantorel]\r\nCompany=kept\r\n");
    InspectionInfo sample;
    sample.company = "x";
    // A missing folder is made only when asked (the per-user settings folder), never beneath
    // a file.
    const std::string nested = (dir_ / "config" / "Fallowmere" / "QB.ini").string();
    std::string error;
    EXPECT_FALSE(writeInspectionSettings(nested, sample, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(writeInspectionSettings(nested, sample, &error, true)) << error;
    EXPECT_EQ(readInspectionSettings(nested).info.company, "x");
    const std::string underFile = path_ + "/QB.ini";
    EXPECT_FALSE(writeInspectionSettings(underFile, sample, &error, true));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(read(), "[Vantorel]\r\nCompany=kept\r\n");

    // A folder where the file should be: refused, nothing replaced.
    fs::permissions(path_, fs::perms::owner_write, fs::perm_options::add);
    fs::remove(path_);
    fs::create_directory(path_);
    error.clear();
    EXPECT_FALSE(writeInspectionSettings(path_, sample, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_directory(path_));
    fs::remove(path_);
}

TEST(InspectionSettingsPath, BesideTheProgramUnlessOverridden) {
    EXPECT_EQ(inspectionSettingsPath("/opt/fallowmere/bin", ""), "/opt/fallowmere/bin/QB.ini");
    EXPECT_EQ(inspectionSettingsPath("/opt/fallowmere/bin/", ""), "/opt/fallowmere/bin/QB.ini");
    EXPECT_EQ(inspectionSettingsPath("/opt/x", "/tmp/my.ini"), "/tmp/my.ini");
}

TEST_F(InspectionSettingsTest, InstalledProgramsKeepTheirSettingsPerUser) {
    const std::string program = dir_.string();
    const std::string user = (dir_ / "config").string();
    const auto where = [&](ProgramFolder folder, std::string_view override = "") {
        return locateInspectionSettings(program, override, folder, user);
    };

    // A folder the user may write: beside the program, as a portable copy.
    EXPECT_EQ(where(ProgramFolder::Writable).path, path_);
    EXPECT_FALSE(where(ProgramFolder::Writable).perUser);

    // A folder the user may not write: the user's own file ...
    EXPECT_EQ(where(ProgramFolder::ReadOnly).path, user + "/QB.ini");
    EXPECT_TRUE(where(ProgramFolder::ReadOnly).perUser);

    // ... unless a file beside the program is already there, which is still read first; but
    // never in a system folder, which even root may write and no user should (a file left
    // there by root would lock every other user out of their settings).
    write("[Vantorel]\r\nCompany=site\r\n");
    EXPECT_EQ(where(ProgramFolder::ReadOnly).path, path_);
    EXPECT_EQ(where(ProgramFolder::System).path, user + "/QB.ini");
    EXPECT_TRUE(where(ProgramFolder::System).perUser);

    // The environment variable wins over everything.
    EXPECT_EQ(where(ProgramFolder::System, "/tmp/x.ini").path, "/tmp/x.ini");

    for (const char* dir : {"/usr/bin", "/usr", "/opt/fallowmere/bin", "/usr/local/bin", "/snap/x"})
        EXPECT_TRUE(isSystemFolder(dir)) << dir;
    for (const char* dir : {"/home/u/build/bin", "/usr2/bin", "/optical", "/tmp/usr/bin", "/"})
        EXPECT_FALSE(isSystemFolder(dir)) << dir;
}

} // namespace
} // namespace fallowmere
