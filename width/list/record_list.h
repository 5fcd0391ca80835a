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

class RecordList {
public:
    RecordList(CQuenbyDoc& doc, RecordRows& rows, FileOps& fs, ListPrompts& prompts,
               const TextCollator& collator);

    RecordRows& rows() { return rows_; }

    // The refresh after Open or Add: after an Open the rows are replaced, after an Add they
    // are extended. Records whose name is listed already (byte for byte) are skipped, so of
    // records with the same name only the first is kept. After an Add that read records, the
    // project file is rewritten from the rows and the added project's picture folder is copied
    // into the open project's folder.
    void refresh();

    // A left click on row `row`, after the list toggled the check box of a click on it.
    PickResult pick(size_t row, ClickPlace place);

    // The edit dialog's OK on row `row` with the texts typed (GBK). The photograph follows the
    // new name. Refused, with a message and nothing changed, when a photograph of the new name
    // exists already (other than the record's own), when the new name cannot name a picture,
    // when a text holds a TAB or a line break (the project file cannot hold them), or when the
    // photograph cannot be renamed or the project file cannot be written.
    EditResult edit(size_t row, const std::string& group, const std::string& name,
                    const std::string& remark);

    // The Delete command in the document's mode.
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
    // failure is reported and leaves the old file as it was.
    bool WriteProjectFile(const std::string& path);

    // Rewrites the open project's file and copies the added project's picture folder into
    // the open project's folder, reporting the copy's outcome.
    CopyResult mergeIntoProject();

    // The outcome of the last merge's folder copy (for the command-line tool).
    const CopyResult& lastCopy() const { return lastCopy_; }

private:
    CQuenbyDoc& doc_;
    RecordRows& rows_;
    FileOps& fs_;
    ListPrompts& prompts_;
    const TextCollator& collator_;
    CopyResult lastCopy_;

    void setCurrentRecord(size_t row);
    // A picked row without a picture: the user may delete it.
    void askDeleteMissing(size_t row, PickResult& result);
    // Removes a record's photograph (the FindPicture lookup); false when it exists and could
    // not be removed (reported).
    bool removePictureOf(const std::string& name);
    void afterDelete();
    void refuse(const std::string& text);
};

} // namespace fallowmere
