#pragma once
// What the record list does, over its rows and the document: the refresh after Open and Add
// (with the merge), picking records in single and multiple mode, editing a record with its
// photograph, deleting records with their photographs, collecting the print list and writing
// the project file. The window's list turns clicks into these calls and implements the two
// interfaces: ListPrompts (questions and messages) and FileOps (files).

#include "width/list/folder_copy.h"
#include "width/list/prompts.h"
#include "width/list/record_rows.h"
#include "width/list/sort_rules.h"
#include "width/project/file_ops.h"
#include "width/project/quenby_doc.h"

#include <string>

namespace fallowmere {

enum class ClickPlace { Text, CheckBox };

struct PickResult {
    bool picked = false;     // the current record changed: the picture view is to be told
    bool rowDeleted = false; // the row had no picture and the user deleted it
};

enum class EditResult { Changed, Refused };

// What the last merge (the refresh after an Add) did.
struct MergeResult {
    bool written = false; // the rows were added and the project file rewritten (or none is open)
    size_t added = 0;     // rows appended
    CopyResult copy;      // the folder copy, when the file was written
};

class RecordList {
public:
    // The document's record names are the rows' from now on (for the photograph lookups).
    RecordList(CQuenbyDoc& doc, RecordRows& rows, FileOps& fs, ListPrompts& prompts,
               const TextCollator& collator);
    ~RecordList();
    RecordList(const RecordList&) = delete;
    RecordList& operator=(const RecordList&) = delete;

    RecordRows& rows() { return rows_; }

    // The refresh after Open or Add: after an Open the rows are replaced, after an Add they
    // are extended. Records whose name is listed already (byte for byte) are skipped, so of
    // records with the same name only the first is kept. After an Add that read records, the
    // project file is rewritten with the new rows first; only when that succeeded are they
    // listed and the added project's picture folder copied into the open project's folder.
    // With no project file open (the Delete command emptied the list), the rows are listed,
    // the folder copied, and the user is told that no file holds them.
    void refresh();

    // A left click on row `row`, after the list toggled the check box of a click on it.
    PickResult pick(size_t row, ClickPlace place);

    // The edit dialog's OK on row `row` with the texts typed (GBK). The photograph follows the
    // new name. Refused, with a message and nothing changed, when a photograph of the new name
    // exists already (other than the record's own), when the new name cannot name a picture,
    // when a text holds a TAB or a line break (the project file cannot hold them), or when the
    // photograph cannot be renamed or the project file cannot be written. The new project file
    // is complete on disk before the photograph is renamed.
    EditResult edit(size_t row, const std::string& group, const std::string& name,
                    const std::string& remark);

    // The Delete command in the document's mode. The new project file is complete on disk
    // before the first photograph moves; a project file that cannot be written leaves every
    // record and photograph as it was. A photograph that cannot be removed (or that the trash
    // cannot take and the user keeps) stops the command at its record: that record and the
    // ones after it stay, the ones before it are deleted.
    void deleteRecords();

    // After a delete: the shown photographs of records no longer listed are no longer shown.
    void forgetShownNamesOfRemovedRows();

    // Collects the checked rows into the document's print list.
    void collectPrint();

    // Clears every row's check box (multiple mode starts).
    void clearChecks() { rows_.clearChecks(); }

    // A click on a column header.
    void headerClick(int column) { rows_.OnHeaderClick(column, collator_); }

    // Writes the project file from the rows, in their order; nothing when `path` is empty. A
    // failure is reported and leaves the old file as it was. A write of the open project's
    // file is remembered (see CQuenbyDoc::noteProjectOnDisk).
    bool WriteProjectFile(const std::string& path);

    // Reads the open project's file again into the rows (as an Open lists them, in the sort in
    // force). False, with a message, when it cannot be read; the rows then stay.
    bool reloadProject();

    // What the last merge did (for the command-line tool).
    const MergeResult& lastMerge() const { return lastMerge_; }

private:
    enum class DiskCheck { Unchanged, Reloaded, Cancelled };

    CQuenbyDoc& doc_;
    RecordRows& rows_;
    FileOps& fs_;
    ListPrompts& prompts_;
    const TextCollator& collator_;
    MergeResult lastMerge_;

    void setCurrentRecord(size_t row);
    // A picked row without a picture: the user may delete it.
    void askDeleteMissing(size_t row, PickResult& result);
    // Before the project file is written: when it changed on disk since it was last read or
    // written, asks whether to reload it (the rows are then read again), overwrite it or
    // cancel.
    DiskCheck checkProjectOnDisk();
    // Removes the rows `doomed` (ascending) and, with `withPictures`, their photographs, as
    // deleteRecords describes; the number of rows removed.
    size_t removeRows(std::vector<size_t> doomed, bool withPictures);
    // Removes one photograph, asking before a photograph that the trash cannot take is
    // deleted for good; false when it stays (reported, or kept by the user).
    bool removePicture(const std::string& path);
    void merge();
    void afterDelete();
    void refuse(const std::string& text);
    void reportWriteFailure(const std::string& path, const std::string& reason);
    // The rows changed while no project file is open.
    void rowsChangedWithoutFile();
};

} // namespace fallowmere
