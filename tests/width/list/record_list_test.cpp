#include "width/list/record_list.h"

#include "tests/width/test_util.h"
#include "width/project/cm_file.h"

using namespace fallowmere;
using widthtest::exists;
using widthtest::makeDir;
using widthtest::readFile;
using widthtest::ScriptedPrompts;
using widthtest::TempDir;
using widthtest::writeFile;

namespace {

const ByteOrderCollator kBytes;

CRecordStru rec(const std::string& name, const std::string& width = "0.1") {
    return {"1", name, width, "M", "", "T"};
}

// Fails the removal of one chosen photograph, or has no trash for another.
class FailingRemoval : public StdFileOps {
public:
    std::string failFor;
    std::string noTrashFor;
    RemoveOutcome removePicture(const std::string& path, std::string& reason) override {
        if (path == failFor) {
            reason = "设备忙";
            return RemoveOutcome::Failed;
        }
        if (path == noTrashFor) {
            reason = "设备上没有空间";
            return RemoveOutcome::NoTrash;
        }
        return StdFileOps::removePicture(path, reason);
    }
};

class RecordListTest : public ::testing::Test {
protected:
    TempDir dir;
    FailingRemoval fs;
    ScriptedPrompts prompts;
    CQuenbyDoc doc;
    RecordRows rows;
    RecordList list{doc, rows, fs, prompts, kBytes};
    std::string projectFile = dir / "p.cm";
    std::string pictures = dir / "CrackData";

    void SetUp() override { makeDir(pictures); }

    void openProject(const std::vector<CRecordStru>& records) {
        writeFile(projectFile, encodeProjectText(records));
        ASSERT_TRUE(doc.openProject(projectFile, fs).error.empty());
        list.refresh();
    }
    void picture(const std::string& file, const std::string& content = "image") {
        writeFile(pictures + "/" + file, content);
    }
    bool hasPicture(const std::string& file) { return exists(pictures + "/" + file); }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (size_t i = 0; i < rows.size(); ++i)
            out.push_back(rows.record(i).strName);
        return out;
    }
    std::vector<std::string> namesInFile() {
        std::vector<CRecordStru> records;
        parseProjectText(readFile(projectFile), records);
        std::vector<std::string> out;
        for (const auto& r : records)
            out.push_back(r.strName);
        return out;
    }
    size_t rowNamed(const std::string& name) {
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows.record(i).strName == name)
                return i;
        ADD_FAILURE() << "no row " << name;
        return 0;
    }
    using Names = std::vector<std::string>;

    // The project "other/q.cm" with these records and a photograph for each.
    std::string otherProject(const std::vector<CRecordStru>& records) {
        makeDir(dir / "other");
        makeDir(dir / "other/CrackData");
        for (const CRecordStru& r : records)
            writeFile(dir / "other/CrackData/" + r.strName + ".jpg", r.strName);
        writeFile(dir / "other/q.cm", encodeProjectText(records));
        return dir / "other/q.cm";
    }
    void addProject(const std::vector<CRecordStru>& records) {
        doc.addProject(otherProject(records), fs);
        list.refresh();
    }
    void checkAll() {
        for (size_t i = 0; i < rows.size(); ++i)
            rows.setChecked(i, true);
    }
};

} // namespace

TEST_F(RecordListTest, OpenListsEachNameOnceKeepingTheFirst) {
    openProject({rec("a", "1"), rec("b"), rec("a", "2"), rec("c"), rec("b")});
    EXPECT_EQ((Names{"a", "b", "c"}), names());
    EXPECT_EQ("1", rows.record(0).strWidth);
    // An Open replaces the rows.
    openProject({rec("z")});
    EXPECT_EQ(Names{"z"}, names());
    // The rows hold the texts of the records read, not copies of them.
    openProject({rec(std::string(100, 'n'))});
    EXPECT_EQ(doc.records()[0].strName.data(), rows.record(0).strName.data());
}

TEST_F(RecordListTest, AddAppendsNewNamesRewritesTheFileAndCopiesThePictures) {
    openProject({rec("a"), rec("b")});
    makeDir(dir / "other");
    makeDir(dir / "other/CrackData");
    writeFile(dir / "other/CrackData/c.jpg", "c");
    writeFile(dir / "other/q.cm", encodeProjectText({rec("b", "9"), rec("c"), rec("c", "8")}));
    doc.addProject(dir / "other/q.cm", fs);
    list.refresh();
    EXPECT_EQ((Names{"a", "b", "c"}), names());
    EXPECT_EQ("0.1", rows.record(1).strWidth);
    EXPECT_EQ((Names{"a", "b", "c"}), namesInFile());
    EXPECT_EQ("c", readFile(pictures + "/c.jpg"));
    EXPECT_EQ((std::vector<std::string>{std::string(kCopySucceededMessage)}),
              prompts.messageTexts());
    EXPECT_EQ(kCopyCaption, prompts.messages[0].caption);
}

TEST_F(RecordListTest, AddingKnownNamesStillMergesButAnEmptyProjectDoesNothing) {
    openProject({rec("a")});
    makeDir(dir / "other");
    writeFile(dir / "other/q.cm", "header only\r\n");
    doc.addProject(dir / "other/q.cm", fs);
    list.refresh();
    EXPECT_TRUE(prompts.messages.empty());

    // A hand-written header shows whether the file was rewritten.
    writeFile(projectFile, "custom header\r\n" +
                               encodeProjectText({rec("a")})
                                   .substr(encodeProjectText(std::vector<CRecordStru>{}).size()));
    writeFile(dir / "other/q.cm", encodeProjectText({rec("a")}));
    prompts.changed = {tessera::ChangedFileAnswer::Overwrite};
    doc.addProject(dir / "other/q.cm", fs); // neither picture folder there: the copy fails
    list.refresh();
    EXPECT_EQ(Names{"a"}, names());
    EXPECT_EQ(encodeProjectText({rec("a")}), readFile(projectFile));
    EXPECT_EQ((std::vector<std::string>{std::string(kCopyFailedMessage)}), prompts.messageTexts());
}

TEST_F(RecordListTest, SinglePickShowsOneRecord) {
    openProject({rec("a"), rec("b"), rec("c")});
    picture("b.jpg");
    rows.setChecked(0, true);
    rows.setSelected(2, true);
    PickResult r = list.pick(1, ClickPlace::Text);
    EXPECT_TRUE(r.picked);
    EXPECT_EQ((std::vector<size_t>{1}), rows.checkedRows());
    EXPECT_EQ(1u, rows.firstSelected().value());
    EXPECT_FALSE(rows.isSelected(2));
    EXPECT_EQ(Names{"b"}, doc.shownNames());
    EXPECT_EQ(rows.record(1), doc.currentRecord());
}

TEST_F(RecordListTest, PickWithoutPictureOffersToDeleteTheRecord) {
    openProject({rec("a"), rec("b")});
    prompts.yesNo = {false};
    PickResult r = list.pick(0, ClickPlace::Text);
    EXPECT_FALSE(r.picked);
    EXPECT_FALSE(r.rowDeleted);
    ASSERT_EQ(1u, prompts.questions.size());
    EXPECT_EQ(kDeletePromptCaption, prompts.questions[0].caption);
    EXPECT_EQ(kNoPictureQuestion, prompts.questions[0].text);
    EXPECT_EQ(2u, rows.size());

    doc.setMultiMode();
    prompts.yesNo = {false, true};
    list.pick(0, ClickPlace::Text);
    EXPECT_TRUE(rows.isChecked(0)); // declined: the row stays checked
    r = list.pick(1, ClickPlace::Text);
    EXPECT_TRUE(r.rowDeleted);
    EXPECT_EQ(Names{"a"}, names());
    EXPECT_EQ(Names{"a"}, namesInFile());
    EXPECT_EQ(0, doc.shownCount());
}

TEST_F(RecordListTest, MultiplePicksStopAtSix) {
    std::vector<CRecordStru> records;
    for (char c = 'a'; c <= 'h'; ++c) {
        records.push_back(rec(std::string(1, c)));
        picture(std::string(1, c) + ".jpg");
    }
    openProject(records);
    doc.setMultiMode();
    for (size_t i : {5u, 3u, 0u, 1u, 2u, 4u})
        EXPECT_TRUE(list.pick(i, ClickPlace::Text).picked);
    EXPECT_EQ((Names{"f", "d", "a", "b", "c", "e"}), doc.shownNames()); // in picking order

    // The list toggled the box before the click reached us.
    rows.setChecked(6, true);
    EXPECT_FALSE(list.pick(6, ClickPlace::CheckBox).picked);
    EXPECT_EQ(kTooManyPicturesMessage, prompts.messages.at(0).text);
    EXPECT_EQ(kHintCaption, prompts.messages.at(0).caption);
    EXPECT_FALSE(rows.isChecked(6));
    EXPECT_EQ(6, doc.shownCount());

    // Unchecking rebuilds the names top to bottom.
    EXPECT_TRUE(list.pick(3, ClickPlace::Text).picked);
    EXPECT_EQ((Names{"a", "b", "c", "e", "f"}), doc.shownNames());
    EXPECT_EQ("d", doc.currentRecord().strName);
}

TEST_F(RecordListTest, KeyboardCheckedRowsNeverGiveMoreThanSixNames) {
    std::vector<CRecordStru> records;
    for (char c = 'a'; c <= 'j'; ++c)
        records.push_back(rec(std::string(1, c)));
    openProject(records);
    doc.setMultiMode();
    for (size_t i = 0; i < 9; ++i)
        rows.setChecked(i, true);   // space bar, unseen by the pick logic
    list.pick(4, ClickPlace::Text); // unchecks e
    EXPECT_EQ((Names{"a", "b", "c", "d", "f", "g"}), doc.shownNames());
    picture("j.jpg");
    list.pick(9, ClickPlace::Text); // a seventh picture is refused
    EXPECT_EQ(6, doc.shownCount());
    EXPECT_FALSE(rows.isChecked(9));
}

TEST_F(RecordListTest, EditRenamesThePhotographWithItsExtension) {
    openProject({rec("a"), rec("b"), rec("c")});
    picture("a.JPG", "A");
    picture("b.bmp", "B");
    EXPECT_EQ(EditResult::Changed, list.edit(0, "7", "a2", "note"));
    EXPECT_EQ(EditResult::Changed, list.edit(1, "1", "b2", ""));
    EXPECT_EQ("A", readFile(pictures + "/a2.jpg"));
    EXPECT_EQ("B", readFile(pictures + "/b2.bmp"));
    EXPECT_FALSE(hasPicture("a.JPG"));
    EXPECT_FALSE(hasPicture("b.bmp"));
    EXPECT_EQ((Names{"a2", "b2", "c"}), namesInFile());
    EXPECT_EQ("7", rows.record(0).strGroup);
    EXPECT_EQ("note", rows.record(0).strRemark);
    EXPECT_EQ("b2", doc.currentRecord().strName);
    // A name changed only in letter case keeps its own photograph.
    EXPECT_EQ(EditResult::Changed, list.edit(1, "1", "B2", ""));
    EXPECT_EQ("B", readFile(pictures + "/B2.bmp"));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(RecordListTest, EditNeverReplacesAnotherPhotograph) {
    openProject({rec("a"), rec("b"), rec("c")});
    picture("a.jpg", "A");
    picture("B.BMP", "B");
    const std::string fileBefore = readFile(projectFile);
    // a -> b: b's photograph (another extension, another case) exists.
    EXPECT_EQ(EditResult::Refused, list.edit(0, "1", "b", ""));
    // c has no photograph, but taking the name b would make it show b's.
    EXPECT_EQ(EditResult::Refused, list.edit(2, "1", "b", ""));
    // Names that cannot name a picture, and texts the file cannot hold.
    EXPECT_EQ(EditResult::Refused, list.edit(0, "1", "../a", ""));
    EXPECT_EQ(EditResult::Refused, list.edit(0, "1", "..", ""));
    EXPECT_EQ(EditResult::Refused, list.edit(0, "1\t2", "a", ""));
    EXPECT_EQ(5u, prompts.messages.size());
    EXPECT_EQ("A", readFile(pictures + "/a.jpg"));
    EXPECT_EQ("B", readFile(pictures + "/B.BMP"));
    EXPECT_EQ((Names{"a", "b", "c"}), names());
    EXPECT_EQ(fileBefore, readFile(projectFile));

    // Group and remark alone: no file is touched, even where a rename would be refused.
    EXPECT_EQ(EditResult::Changed, list.edit(1, "9", "b", "r"));
    EXPECT_EQ("B", readFile(pictures + "/B.BMP"));
}

TEST_F(RecordListTest, EditThatCannotBeSavedChangesNothing) {
    openProject({rec("a")});
    picture("a.jpg", "A");
    unlink(projectFile.c_str());
    makeDir(projectFile); // the project file cannot be replaced now
    prompts.changed = {tessera::ChangedFileAnswer::Overwrite};
    EXPECT_EQ(EditResult::Refused, list.edit(0, "1", "new", ""));
    EXPECT_EQ("A", readFile(pictures + "/a.jpg"));
    EXPECT_FALSE(hasPicture("new.jpg"));
    EXPECT_EQ("a", rows.record(0).strName);
    ASSERT_EQ(1u, prompts.messages.size());
    EXPECT_NE(std::string::npos, prompts.messages[0].text.find(projectFile));
}

TEST_F(RecordListTest, MultipleDeleteRemovesCheckedRowsAndTheirPhotographs) {
    openProject({rec("a", "3"), rec("b", "1"), rec("c.jpg", "2"), rec("d", "4"), rec("../x")});
    picture("a.jpg");
    picture("b.BMP");
    picture("c.jpg");
    writeFile(dir / "x.jpg", "outside");
    list.headerClick(2);
    doc.setMultiMode();
    for (const char* n : {"a", "b", "c.jpg", "../x"})
        rows.setChecked(rowNamed(n), true);
    prompts.yesNo = {true};
    list.deleteRecords();
    EXPECT_EQ(kDeleteQuestion, prompts.questions.at(0).text);
    EXPECT_EQ(Names{"d"}, names());
    EXPECT_FALSE(hasPicture("a.jpg"));
    EXPECT_FALSE(hasPicture("b.BMP"));
    EXPECT_TRUE(hasPicture("c.jpg"));   // looked up as c.jpg.jpg or c.jpg.bmp
    EXPECT_TRUE(exists(dir / "x.jpg")); // outside the picture folder
    EXPECT_EQ(Names{"d"}, namesInFile());
    EXPECT_EQ(0, doc.shownCount());
    EXPECT_EQ("d", doc.currentRecord().strName);
    EXPECT_TRUE(rows.isSelected(0));
}

TEST_F(RecordListTest, DeleteWritesTheFileInTheSortedOrder) {
    openProject({rec("a", "3"), rec("b", "1"), rec("c", "2")});
    list.headerClick(2);
    rows.setSelected(rowNamed("a"), true);
    prompts.yesNo = {true};
    list.deleteRecords();
    EXPECT_EQ((Names{"b", "c"}), namesInFile());
    EXPECT_EQ("b", doc.currentRecord().strName);
}

TEST_F(RecordListTest, SingleDeleteNeedsASelectionAndAYes) {
    openProject({rec("a"), rec("b"), rec("c")});
    picture("a.jpg");
    picture("c.bmp");
    list.deleteRecords();
    ASSERT_EQ(1u, prompts.messages.size());
    EXPECT_EQ(kSelectRowMessage, prompts.messages[0].text);
    EXPECT_EQ(kWarningCaption, prompts.messages[0].caption);

    rows.setSelected(2, true);
    prompts.yesNo = {false, true, true};
    list.deleteRecords();
    EXPECT_EQ(3u, rows.size());
    EXPECT_TRUE(rows.isSelected(0)); // the first row is selected after a No as well
    EXPECT_TRUE(rows.isSelected(2));
    list.deleteRecords(); // the first selected row
    EXPECT_EQ((Names{"b", "c"}), names());
    EXPECT_FALSE(hasPicture("a.jpg"));
    rows.setSelected(0, false);
    list.deleteRecords();
    EXPECT_EQ(Names{"b"}, names());
    EXPECT_FALSE(hasPicture("c.bmp"));
    EXPECT_EQ(Names{"b"}, namesInFile());
}

TEST_F(RecordListTest, DeletingTheLastRowClosesTheProjectFile) {
    openProject({rec("a")});
    rows.setSelected(0, true);
    prompts.yesNo = {true};
    list.deleteRecords();
    EXPECT_TRUE(rows.empty());
    EXPECT_TRUE(doc.projectFile().empty());
    EXPECT_EQ(encodeProjectText(std::vector<CRecordStru>{}), readFile(projectFile));
    writeFile(projectFile, "kept");
    EXPECT_TRUE(list.WriteProjectFile(doc.projectFile()));
    EXPECT_EQ("kept", readFile(projectFile));
}

TEST_F(RecordListTest, APhotographThatCannotBeRemovedStopsTheDeleteAtItsRow) {
    openProject({rec("a"), rec("b"), rec("c"), rec("d")});
    for (const char* p : {"a.jpg", "b.jpg", "c.jpg"})
        picture(p);
    fs.failFor = pictures + "/b.jpg";
    doc.setMultiMode();
    for (size_t i = 0; i < 3; ++i)
        rows.setChecked(i, true);
    prompts.yesNo = {true};
    list.deleteRecords();
    EXPECT_EQ((Names{"b", "c", "d"}), names());
    EXPECT_EQ((Names{"b", "c", "d"}), namesInFile());
    EXPECT_TRUE(hasPicture("b.jpg"));
    EXPECT_TRUE(hasPicture("c.jpg"));
    ASSERT_EQ(1u, prompts.messages.size());
    EXPECT_NE(std::string::npos, prompts.messages[0].text.find("设备忙"));
}

TEST_F(RecordListTest, CollectPrintTakesTheCheckedRowsInListOrder) {
    openProject({rec("a"), rec("b"), rec("c")});
    list.collectPrint();
    EXPECT_FALSE(doc.printReady());
    rows.setChecked(2, true);
    rows.setChecked(0, true);
    list.collectPrint();
    ASSERT_EQ(2u, doc.printList().size());
    EXPECT_EQ("a", doc.printList()[0].strName);
    EXPECT_EQ("c", doc.printList()[1].strName);
    EXPECT_TRUE(doc.printReady());
}

TEST_F(RecordListTest, ADeleteThatCannotSaveTheProjectMovesNoPhotograph) {
    openProject({rec("a"), rec("b")});
    picture("a.jpg");
    picture("b.jpg");
    const std::string before = readFile(projectFile);
    doc.setMultiMode();
    checkAll();
    prompts.yesNo = {true};
    {
        widthtest::FileSizeLimit full(10); // the disk is full
        list.deleteRecords();
    }
    // A project file that cannot be replaced (a folder stands in its way).
    const std::string moved = dir / "p.moved";
    ASSERT_EQ(0, rename(projectFile.c_str(), moved.c_str()));
    makeDir(projectFile);
    doc.setSingleMode();
    rows.setSelected(1, true);
    prompts.yesNo = {true};
    prompts.changed = {tessera::ChangedFileAnswer::Overwrite};
    list.deleteRecords();

    EXPECT_EQ((Names{"a", "b"}), names());
    EXPECT_TRUE(hasPicture("a.jpg"));
    EXPECT_TRUE(hasPicture("b.jpg"));
    EXPECT_EQ(before, readFile(moved));
    ASSERT_EQ(2u, prompts.messages.size());
    for (const auto& m : prompts.messages)
        EXPECT_NE(std::string::npos, m.text.find("原文件保持不变")) << m.text;
    EXPECT_EQ(3u, widthtest::entriesIn(dir.path)); // no temporary file left
}

TEST_F(RecordListTest, APhotographTheTrashCannotTakeIsDeletedForGoodOnlyWhenTheUserSaysSo) {
    openProject({rec("a"), rec("b"), rec("c")});
    for (const char* p : {"a.jpg", "b.jpg", "c.jpg"})
        picture(p);
    fs.noTrashFor = pictures + "/b.jpg";
    doc.setMultiMode();
    checkAll();
    prompts.yesNo = {true, false}; // delete, but keep b rather than delete it for good
    list.deleteRecords();
    EXPECT_EQ((Names{"b", "c"}), names());
    EXPECT_EQ((Names{"b", "c"}), namesInFile());
    EXPECT_TRUE(hasPicture("b.jpg"));
    EXPECT_TRUE(hasPicture("c.jpg"));
    ASSERT_EQ(2u, prompts.questions.size());
    EXPECT_NE(std::string::npos, prompts.questions[1].text.find("设备上没有空间"));
    EXPECT_NE(std::string::npos, prompts.questions[1].text.find("永久删除"));

    checkAll();
    prompts.yesNo = {true, true};
    list.deleteRecords();
    EXPECT_TRUE(rows.empty());
    EXPECT_FALSE(hasPicture("b.jpg"));
    EXPECT_FALSE(hasPicture("c.jpg"));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(RecordListTest, NamesThatDifferOnlyInCaseKeepTheirOwnPhotographs) {
    openProject({rec("A1"), rec("a1"), rec("b")});
    picture("A1.jpg", "upper");
    picture("a1.JPG", "lower");
    picture("B.jpg", "B"); // no record "B": b's photograph
    EXPECT_EQ(EditResult::Changed, list.edit(1, "1", "c1", ""));
    EXPECT_EQ("lower", readFile(pictures + "/c1.jpg"));
    EXPECT_EQ(EditResult::Changed, list.edit(1, "1", "a1", ""));
    EXPECT_EQ("lower", readFile(pictures + "/a1.jpg"));
    EXPECT_TRUE(list.pick(2, ClickPlace::Text).picked);

    doc.setMultiMode();
    rows.setChecked(1, true);
    rows.setChecked(2, true);
    prompts.yesNo = {true};
    list.deleteRecords();
    EXPECT_EQ(Names{"A1"}, names());
    EXPECT_EQ("upper", readFile(pictures + "/A1.jpg"));
    EXPECT_FALSE(hasPicture("a1.jpg"));
    EXPECT_FALSE(hasPicture("B.jpg"));
}

TEST_F(RecordListTest, AMergeThatCannotSaveTheProjectCopiesNothing) {
    openProject({rec("a")});
    const std::string before = readFile(projectFile);
    doc.addProject(otherProject({rec("c")}), fs);
    {
        widthtest::FileSizeLimit full(10);
        list.refresh();
    }
    EXPECT_EQ(Names{"a"}, names());
    EXPECT_EQ(before, readFile(projectFile));
    EXPECT_FALSE(hasPicture("c.jpg"));
    EXPECT_FALSE(list.lastMerge().written);
    ASSERT_EQ(1u, prompts.messages.size()); // the failure, and no copy outcome
    EXPECT_NE(std::string::npos, prompts.messages[0].text.find("原文件保持不变"));
}

TEST_F(RecordListTest, RowsAddedWhenNoFileIsOpenAreNeverLostWithoutAWord) {
    openProject({rec("a")});
    rows.setSelected(0, true);
    prompts.yesNo = {true};
    list.deleteRecords();
    ASSERT_TRUE(doc.projectFile().empty());
    const std::string headerOnly = readFile(projectFile);

    addProject({rec("c"), rec("d")});
    EXPECT_EQ((Names{"c", "d"}), names());
    EXPECT_TRUE(hasPicture("c.jpg"));
    EXPECT_TRUE(doc.unsavedRows());
    EXPECT_EQ(headerOnly, readFile(projectFile));
    ASSERT_EQ(2u, prompts.messages.size());
    EXPECT_EQ(kCopySucceededMessage, prompts.messages[0].text);
    EXPECT_NE(std::string::npos, prompts.messages[1].text.find("没有保存在任何项目文件中"));

    // Deleting what no file holds leaves nothing unsaved only when the list is empty.
    rows.setSelected(0, true);
    prompts.yesNo = {true, true};
    list.deleteRecords();
    EXPECT_TRUE(doc.unsavedRows());
    list.deleteRecords();
    EXPECT_FALSE(doc.unsavedRows());
}

TEST_F(RecordListTest, AProjectFileChangedOnDiskIsNeverOverwrittenWithoutAsking) {
    openProject({rec("a"), rec("b"), rec("c")});
    // Someone else gives b a remark and adds d.
    CRecordStru remarked = rec("b");
    remarked.strRemark = "X";
    const std::string theirs = encodeProjectText({rec("a"), remarked, rec("c"), rec("d")});
    writeFile(projectFile, theirs);

    rows.setSelected(0, true);
    prompts.yesNo = {true};
    prompts.changed = {tessera::ChangedFileAnswer::Cancel};
    list.deleteRecords();
    EXPECT_EQ((Names{"a", "b", "c"}), names());
    EXPECT_EQ(theirs, readFile(projectFile));
    EXPECT_EQ(std::vector<std::string>{projectFile}, prompts.changedQuestions);

    // Reload: their change stays and ours is made on it.
    prompts.yesNo = {true};
    prompts.changed = {tessera::ChangedFileAnswer::Reload};
    list.deleteRecords();
    EXPECT_EQ(encodeProjectText({remarked, rec("c"), rec("d")}), readFile(projectFile));
    EXPECT_EQ((Names{"b", "c", "d"}), names());
    EXPECT_EQ("X", rows.record(0).strRemark);

    // Overwrite: the window's rows replace theirs.
    writeFile(projectFile, encodeProjectText({rec("z")}));
    prompts.changed = {tessera::ChangedFileAnswer::Overwrite};
    EXPECT_EQ(EditResult::Changed, list.edit(2, "9", "d", ""));
    EXPECT_EQ((Names{"b", "c", "d"}), namesInFile());
    // After our own write nothing is asked.
    EXPECT_EQ(EditResult::Changed, list.edit(2, "8", "d", ""));
    EXPECT_EQ(3u, prompts.changedQuestions.size());

    // A merge on a changed file, reloaded: their rows, then the new ones.
    writeFile(projectFile, encodeProjectText({rec("b"), rec("y")}));
    prompts.changed = {tessera::ChangedFileAnswer::Reload};
    addProject({rec("b"), rec("e")});
    EXPECT_EQ((Names{"b", "y", "e"}), namesInFile());
    EXPECT_EQ((Names{"b", "y", "e"}), names());
}
