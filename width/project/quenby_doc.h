#pragma once
// The program's one document: the open project's paths, the records of the project file read
// last, the display mode, the names of the records whose photographs are shown, the current
// record and the print list. Both views share state only through it.
//
// Open and Add take the path the user chose (the file dialog belongs to the window, which
// empties the record list before showing it, see clearRecords) and say which message is due.
// The caller refreshes the views afterwards: the record list's refresh lists or merges the
// records read here.

#include "common/file_stamp.h"
#include "width/project/file_ops.h"
#include "width/project/picture_lookup.h"
#include "width/project/record.h"

#include <string>
#include <string_view>
#include <vector>

namespace fallowmere {

// The caption of the program's own message boxes (the application title).
inline constexpr std::string_view kAppTitle = "Wexcombe";
// Shown when neither picture folder exists beside a project file that is opened or added.
inline constexpr std::string_view kNoPictureFolderMessage = "无文件数据可加载！";

// At most this many photographs are shown at a time.
inline constexpr int kMaxShownPictures = 6;

enum class ShowMode { Single = 0, Multiple = 1 };

struct ProjectLoad {
    bool noPictureFolder = false; // kNoPictureFolderMessage is due
    bool openedInstead = false;   // an Add with no project open was carried out as an Open
    std::string error;            // not empty: the file could not be read; the text to show
};

class CQuenbyDoc {
public:
    // Open: the chosen file becomes the open project. Its picture folder is chosen, its records
    // are read, merge mode ends and no photograph is shown any more; the show mode stays. A
    // file that cannot be read gives no records and leaves no project open, so that nothing is
    // ever written over a file whose records were not read.
    ProjectLoad openProject(const std::string& path, FileOps& fs);
    // Add: reads another project's records to be merged into the open one and notes its
    // picture folder; the open project's paths and the shown photographs stay. With no project
    // open yet, this is an Open.
    ProjectLoad addProject(const std::string& path, FileOps& fs);
    // Empties the records read last (Open and Add do this before their file dialog).
    void clearRecords() { records_.clear(); }

    // The mode commands. After setMultiMode the window resets the picture view and clears
    // the record list's check boxes.
    void setSingleMode();
    void setMultiMode();
    ShowMode showMode() const { return showMode_; }

    const std::string& projectFile() const { return projectFile_; }
    // The Delete command emptied the list: later writes of the project file do nothing.
    void clearProjectFile();
    // Save wrote the rows to `path` while no project file was open: that file becomes the
    // open project (its picture folder is chosen beside it), with the stamp of the write.
    void adoptProjectFile(const std::string& path, const tessera::FileStamp& written, FileOps& fs);

    // The project file as the program last read or wrote it, to notice changes made on disk
    // by others before it is written again.
    bool projectChangedOnDisk() const { return projectOnDisk_.changedOnDisk(); }
    bool isProjectFile(const std::string& path) const { return projectOnDisk_.isSameFile(path); }
    // The program read (stamp taken before the read) or wrote the project file.
    void noteProjectOnDisk(const tessera::FileStamp& stamp);

    // The list holds rows that no file holds (they were added while no project file was open);
    // the user is told, and asked before they are lost.
    bool unsavedRows() const { return unsavedRows_; }
    void setUnsavedRows(bool unsaved) { unsavedRows_ = unsaved; }
    const std::string& dataDir() const { return dataDir_; } // ends with "/"
    const std::string& projectDir() const { return projectDir_; }
    const std::string& mergeDataDir() const { return mergeDataDir_; }
    bool mergeMode() const { return mergeMode_; }
    const std::vector<CRecordStru>& records() const { return records_; }

    // Names of the records whose photographs are shown, in display order; never more than
    // kMaxShownPictures.
    const std::vector<std::string>& shownNames() const { return shownNames_; }
    int shownCount() const { return static_cast<int>(shownNames_.size()); }
    // Adds a name; false (and nothing changes) when six are shown already.
    bool addShownName(std::string name);
    // Replaces the names; only the first kMaxShownPictures are kept.
    void setShownNames(std::vector<std::string> names);
    void clearShownNames() { shownNames_.clear(); }
    // A shown record was renamed: its name in the list follows.
    void renameShownName(const std::string& from, const std::string& to);
    // The picture view could not find the photograph of the last name: it no longer counts.
    void lowerShownCount();

    // The current record: the row picked last.
    const CRecordStru& currentRecord() const { return current_; }
    CRecordStru& currentRecord() { return current_; }

    // The names of the project's records (the record list's rows), for the photograph lookups
    // of the picture pane and the report; null while no list is attached.
    const RecordNames* recordNames() const { return recordNames_; }
    void setRecordNames(const RecordNames* names) { recordNames_ = names; }

    // The checked rows collected before printing.
    const std::vector<CRecordStru>& printList() const { return printList_; }
    bool printReady() const { return printReady_; }
    void setPrintList(std::vector<CRecordStru> list);

private:
    std::string projectFile_;
    std::string dataDir_;
    std::string projectDir_;
    std::string mergeDataDir_;
    std::vector<CRecordStru> records_;
    ShowMode showMode_ = ShowMode::Single;
    bool printReady_ = false;
    std::vector<std::string> shownNames_;
    std::vector<CRecordStru> printList_;
    CRecordStru current_;
    bool mergeMode_ = false;
    const RecordNames* recordNames_ = nullptr;
    tessera::KnownFile projectOnDisk_;
    bool unsavedRows_ = false;
};

// `path` made absolute against the current folder (unchanged when it is absolute already).
std::string absolutePath(const std::string& path);

} // namespace fallowmere
