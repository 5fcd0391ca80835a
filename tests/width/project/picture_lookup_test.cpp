#include "width/project/picture_lookup.h"

#include "common/gbk.h"
#include "tests/width/test_util.h"

#include <algorithm>

using namespace fallowmere;
using widthtest::makeDir;
using widthtest::TempDir;
using widthtest::writeFile;

namespace {

std::string gbk(const char* utf8) {
    return *tessera::utf8ToGbk(utf8);
}

class PictureFolderTest : public ::testing::Test {
protected:
    TempDir dir;
    StdFileOps fs;
    std::string pictures = dir / "CrackData";

    void SetUp() override { makeDir(pictures); }
    void picture(const std::string& name) { writeFile(pictures + "/" + name, "image"); }
    PictureMatch find(std::string_view name) {
        return FindPicture(FolderListing(fs, pictures), name);
    }
    PictureMatch locate(std::string_view name) {
        return LocatePicture(FolderListing(fs, pictures), name);
    }
    std::string at(const std::string& name) { return pictures + "/" + name; }
};

} // namespace

TEST(PictureFolderChoice, CrackDataThenCrannyDataWithoutRegardToCase) {
    TempDir dir;
    StdFileOps fs;
    const std::string project = dir / "p.cm";
    auto choice = choosePictureFolder(fs, project);
    EXPECT_FALSE(choice.exists);
    EXPECT_EQ(dir / "CrannyData", choice.path);

    writeFile(dir / "CrackData", "a file is not a picture folder");
    makeDir(dir / "crannydata");
    choice = choosePictureFolder(fs, project);
    EXPECT_TRUE(choice.exists);
    EXPECT_EQ(dir / "crannydata", choice.path); // named as on disk

    makeDir(dir / "CRACKDATA");
    makeDir(dir / "crackDATA");
    EXPECT_EQ(dir / "CRACKDATA", choosePictureFolder(fs, project).path); // first in byte order
    unlink((dir / "CrackData").c_str());
    makeDir(dir / "CrackData");
    EXPECT_EQ(dir / "CrackData", choosePictureFolder(fs, project).path); // exact case wins
}

TEST_F(PictureFolderTest, LookupOrdersAndExtensions) {
    picture("abc.JPG");
    picture("abc.bmp");
    picture("only.BMP");
    picture("shot.tif");
    picture("named.jpg");
    picture(".dot.jpg");

    EXPECT_EQ(1, find("abc").kind);
    EXPECT_EQ(at("abc.JPG"), find("abc").path);
    EXPECT_EQ(2, find("only").kind);
    EXPECT_EQ(at("only.BMP"), locate("ONLY").path);

    // A name that carries an extension names its file directly, for a pick only.
    EXPECT_EQ(at("shot.tif"), locate("shot.tif").path);
    EXPECT_FALSE(find("shot.tif"));
    EXPECT_EQ(1, locate("named.jpg").kind);
    EXPECT_FALSE(find("named.jpg"));
    // A dot at the first byte is no extension: ".dot" gets ".jpg" appended.
    EXPECT_EQ(at(".dot.jpg"), locate(".dot").path);
    EXPECT_FALSE(locate("missing"));
}

TEST_F(PictureFolderTest, ExactCaseWinsOtherwiseFirstInByteOrder) {
    picture("Crack.jpg");
    picture("crack.jpg");
    EXPECT_EQ(at("crack.jpg"), find("crack").path);
    EXPECT_EQ(at("Crack.jpg"), find("Crack").path);
    EXPECT_EQ(at("Crack.jpg"), find("CRACK").path);
}

struct Names : RecordNames {
    std::vector<std::string> names;
    bool containsName(std::string_view name) const override {
        return std::find(names.begin(), names.end(), name) != names.end();
    }
};

TEST_F(PictureFolderTest, ARecordsOwnNameWinsAndCaseNeverTakesAnotherRecordsPhotograph) {
    Names project;
    project.names = {"A1", "a1", "b", gbk("东墙"), gbk("西墙")};
    auto lookBoth = [&](const std::string& name) {
        const FolderListing folder(fs, pictures);
        const std::string found = FindPicture(folder, name, &project).path;
        EXPECT_EQ(found, LocatePicture(folder, name, &project).path) << name;
        return found;
    };
    picture("A1.jpg");
    EXPECT_EQ("", lookBoth("a1"));            // A1's photograph, not a1's
    EXPECT_EQ(at("A1.jpg"), find("a1").path); // knowing no other record, case is ignored
    picture("a1.JPG");
    EXPECT_EQ(at("a1.JPG"), lookBoth("a1")); // the extension in any case
    EXPECT_EQ(at("A1.jpg"), lookBoth("A1"));
    // An exact base name with the later extension beats a base name in other letters.
    picture("B.jpg");
    EXPECT_EQ(at("B.jpg"), lookBoth("b")); // no record "B": the fallback applies
    picture("b.bmp");
    EXPECT_EQ(at("b.bmp"), lookBoth("b"));
    // A record named with its extension does not take another record's photograph either.
    EXPECT_EQ("", lookBoth("a1.jpg"));
    // The same for UTF-8 names of GBK records.
    picture("东墙.JPG");
    EXPECT_EQ(at("东墙.JPG"), lookBoth(gbk("东墙")));
}

TEST_F(PictureFolderTest, GbkNamesAreConvertedThenTriedRaw) {
    picture("裂缝1.jpg");           // UTF-8 name
    picture(gbk("裂缝2") + ".bmp"); // raw GBK name, as copied from an older system
    picture(gbk("裂缝3") + ".jpg");
    picture("裂缝3.bmp");
    EXPECT_EQ(at("裂缝1.jpg"), find(gbk("裂缝1")).path);
    EXPECT_EQ(at(gbk("裂缝2") + ".bmp"), find(gbk("裂缝2")).path);
    // The converted name is tried first, whatever the extension.
    EXPECT_EQ(at("裂缝3.bmp"), find(gbk("裂缝3")).path);
}

TEST_F(PictureFolderTest, OnlyRegularFilesInsideTheFolderArePictures) {
    makeDir(at("folder.jpg"));
    picture("folder.bmp");
    EXPECT_EQ(at("folder.bmp"), find("folder").path);

    writeFile(dir / "outside.jpg", "secret");
    picture("real.jpg");
    ASSERT_EQ(0, symlink("../outside.jpg", at("out.jpg").c_str()));
    ASSERT_EQ(0, symlink((dir / "outside.jpg").c_str(), at("abs.jpg").c_str()));
    ASSERT_EQ(0, symlink("real.jpg", at("in.jpg").c_str()));
    ASSERT_EQ(0, symlink(".", at("self.jpg").c_str()));
    EXPECT_FALSE(find("out"));
    EXPECT_FALSE(find("abs"));
    EXPECT_FALSE(find("self"));
    EXPECT_EQ(at("in.jpg"), find("in").path);
}

TEST_F(PictureFolderTest, NamesThatCannotNameAPictureHaveNone) {
    writeFile(dir / "secret.jpg", "outside");
    makeDir(at("sub"));
    picture("sub/x.jpg");
    picture("..jpg");
    picture("...jpg");
    const std::string withNul("a\0b", 3);
    picture("a.jpg");
    for (std::string name : {std::string(), std::string("."), std::string(".."),
                             std::string("../secret"), std::string("sub/x"), withNul}) {
        EXPECT_FALSE(canNamePicture(name)) << name;
        EXPECT_FALSE(locate(name)) << name;
        EXPECT_FALSE(find(name)) << name;
    }
    EXPECT_TRUE(canNamePicture("..a"));
    EXPECT_TRUE(canNamePicture(gbk("裂缝")));
}

TEST_F(PictureFolderTest, AddPicturePathNeedsAnOpenProject) {
    picture("a.jpg");
    std::vector<std::string> paths;
    FolderListing listing(fs, pictures);
    EXPECT_EQ(0, AddPicturePath(listing, "", "a", paths));
    EXPECT_EQ(0, AddPicturePath(listing, "/p.cm", "", paths));
    EXPECT_EQ(0, AddPicturePath(listing, "/p.cm", "b", paths));
    EXPECT_EQ(1, AddPicturePath(listing, "/p.cm", "A", paths));
    EXPECT_EQ(std::vector<std::string>{at("a.jpg")}, paths);
}

TEST_F(PictureFolderTest, OtherPicturesOfANameAreFoundInAnyCase) {
    picture("own.jpg");
    picture("OWN.bmp");
    picture("free.txt");
    picture("taken.Jpg");
    FolderListing listing(fs, pictures);
    EXPECT_FALSE(otherPictureExists(listing, "free", {}));
    EXPECT_TRUE(otherPictureExists(listing, "TAKEN", {}));
    EXPECT_TRUE(otherPictureExists(listing, "taken.jpg", {})); // the name itself
    EXPECT_FALSE(otherPictureExists(listing, "own", {at("own.jpg"), at("OWN.bmp")}));
    EXPECT_TRUE(otherPictureExists(listing, "Own", {at("own.jpg")}));
}
