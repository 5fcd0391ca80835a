#include "width/list/record_list.h"

#include "common/atomic_file.h"
#include "common/text.h"
#include "width/project/cm_file.h"
#include "width/project/picture_lookup.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <unordered_set>

namespace fallowmere {
namespace {

// The records whose names are neither listed in the rows nor held by an earlier record, in
// order; names compare byte for byte. The names seen are kept in an open-addressing table of
// indices (rows first, then records), linear in the number of names without an allocation
// per name.
std::vector<const CRecordStru*> unlistedRecords(const RecordRows& rows,
                                                const std::vector<CRecordStru>& records) {
    const size_t listed = rows.size();
    auto nameAt = [&](uint32_t k) -> std::string_view {
        return k < listed ? std::string_view(rows.record(k).strName)
                          : std::string_view(records[k - listed].strName);
    };
    size_t capacity = 16;
    while (capacity < 2 * (listed + records.size()))
        capacity *= 2;
    std::vector<uint32_t> table(capacity, UINT32_MAX);
    const std::hash<std::string_view> hash;
    // Adds name k; false when the name is in the table already.
    auto insert = [&](uint32_t k) {
        const std::string_view name = nameAt(k);
        for (size_t slot = hash(name) & (capacity - 1);; slot = (slot + 1) & (capacity - 1)) {
            if (table[slot] == UINT32_MAX) {
                table[slot] = k;
                return true;
            }
            if (nameAt(table[slot]) == name)
                return false;
        }
    };
    for (size_t i = 0; i < listed; ++i)
        insert(static_cast<uint32_t>(i));
    std::vector<const CRecordStru*> fresh;
    fresh.reserve(records.size());
    for (size_t i = 0; i < records.size(); ++i)
        if (insert(static_cast<uint32_t>(listed + i)))
            fresh.push_back(&records[i]);
    return fresh;
}

// Pointers to the rows' records, leaving out the rows `skipped` (ascending), then `extra`.
std::vector<const CRecordStru*> recordsOf(const RecordRows& rows,
                                          const std::vector<size_t>& skipped = {},
                                          const std::vector<const CRecordStru*>& extra = {}) {
    std::vector<const CRecordStru*> out;
    out.reserve(rows.size() - skipped.size() + extra.size());
    size_t next = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (next < skipped.size() && skipped[next] == i) {
            ++next;
            continue;
        }
        out.push_back(&rows.record(i));
    }
    out.insert(out.end(), extra.begin(), extra.end());
    return out;
}

// The first step of a project file write: the new content in a temporary file beside the
// project file, flushed to disk, so that a full disk or a file that cannot be replaced is known
// before any photograph moves. The writer's commit then only renames.
bool prepareWrite(tessera::AtomicFileWriter& writer, const std::string& path,
                  const std::vector<const CRecordStru*>& records, std::string& reason) {
    return writer.open(path, &reason) && writer.write(encodeProjectText(records), &reason) &&
           writer.flush(&reason);
}

} // namespace

RecordList::RecordList(CQuenbyDoc& doc, RecordRows& rows, FileOps& fs, ListPrompts& prompts,
                       const TextCollator& collator)
    : doc_(doc), rows_(rows), fs_(fs), prompts_(prompts), collator_(collator) {
    doc_.setRecordNames(&rows_);
}

RecordList::~RecordList() {
    if (doc_.recordNames() == &rows_)
        doc_.setRecordNames(nullptr);
}

void RecordList::refresh() {
    if (!doc_.mergeMode())
        rows_.clear();
    if (doc_.records().empty())
        return;
    if (doc_.mergeMode())
        merge();
    else
        rows_.append(unlistedRecords(rows_, doc_.records()));
}

PickResult RecordList::pick(size_t row, ClickPlace place) {
    PickResult result;
    if (row >= rows_.size())
        return result;
    const std::string name = rows_.record(row).strName;
    FolderListing folder(fs_, doc_.dataDir());
    if (doc_.showMode() == ShowMode::Single) {
        rows_.clearChecksAndSelection();
        if (!LocatePicture(folder, name, &rows_)) {
            // No row is picked now: the photograph shown before goes too.
            doc_.clearShownNames();
            askDeleteMissing(row, result);
            return result;
        }
        rows_.setSelected(row, true);
        rows_.setChecked(row, true);
        doc_.setShownNames({name});
    } else {
        if (place == ClickPlace::Text)
            rows_.setChecked(row, !rows_.isChecked(row));
        if (rows_.isChecked(row)) {
            if (!LocatePicture(folder, name, &rows_)) {
                askDeleteMissing(row, result);
                return result;
            }
            if (!doc_.addShownName(name)) {
                prompts_.message(kHintCaption, kTooManyPicturesMessage, MessageIcon::None);
                rows_.setChecked(row, false);
                return result;
            }
        } else {
            // Top to bottom; check boxes toggled from the keyboard may have checked more rows
            // than can be shown, and only the first six are kept.
            std::vector<std::string> names;
            for (size_t i : rows_.checkedRows()) {
                if (names.size() == static_cast<size_t>(kMaxShownPictures))
                    break;
                names.push_back(rows_.record(i).strName);
            }
            doc_.setShownNames(std::move(names));
        }
    }
    setCurrentRecord(row);
    result.picked = true;
    return result;
}

void RecordList::askDeleteMissing(size_t row, PickResult& result) {
    if (!prompts_.askYesNo(kDeletePromptCaption, kNoPictureQuestion))
        return;
    result.rowDeleted = removeRows({row}, false) == 1;
}

void RecordList::setCurrentRecord(size_t row) {
    doc_.currentRecord() = rows_.record(row);
}

void RecordList::refuse(const std::string& text) {
    prompts_.message(kAppTitle, text + "\n记录未修改。", MessageIcon::Exclamation);
}

void RecordList::reportWriteFailure(const std::string& path, const std::string& reason) {
    prompts_.message(kAppTitle, projectWriteFailure(path, reason), MessageIcon::Exclamation);
}

void RecordList::rowsChangedWithoutFile() {
    doc_.setUnsavedRows(!rows_.empty());
}

RecordList::DiskCheck RecordList::checkProjectOnDisk() {
    if (doc_.projectFile().empty() || !doc_.projectChangedOnDisk())
        return DiskCheck::Unchanged;
    switch (prompts_.askChangedOnDisk(doc_.projectFile())) {
    case tessera::ChangedFileAnswer::Reload:
        return reloadProject() ? DiskCheck::Reloaded : DiskCheck::Cancelled;
    case tessera::ChangedFileAnswer::Overwrite:
        return DiskCheck::Unchanged;
    case tessera::ChangedFileAnswer::Cancel:
        break;
    }
    return DiskCheck::Cancelled;
}

bool RecordList::reloadProject() {
    const std::string path = doc_.projectFile();
    if (path.empty())
        return false;
    const tessera::FileStamp stamp = tessera::fileStamp(path);
    std::vector<CRecordStru> records;
    std::string message;
    if (!ReadProjectFile(path, records, message)) {
        prompts_.message(kAppTitle, message, MessageIcon::Exclamation);
        return false;
    }
    rows_.clear();
    rows_.append(unlistedRecords(rows_, records));
    if (rows_.sortColumn() >= 0)
        rows_.SortByColumn(rows_.sortColumn(), rows_.ascending(), collator_);
    doc_.noteProjectOnDisk(stamp);
    return true;
}

EditResult RecordList::edit(size_t row, const std::string& group, const std::string& name,
                            const std::string& remark) {
    if (row >= rows_.size())
        return EditResult::Refused;
    for (const std::string* text : {&group, &name, &remark}) {
        if (text->find_first_of("\t\r\n") != std::string::npos) {
            refuse("组号、名称和备注中不能有制表符或换行符。");
            return EditResult::Refused;
        }
    }
    const std::string oldName = rows_.record(row).strName;
    if (name != oldName && !canNamePicture(name)) {
        refuse("“" + tessera::displayGbk(name) + "”不能用作图片文件名。");
        return EditResult::Refused;
    }
    switch (checkProjectOnDisk()) {
    case DiskCheck::Cancelled:
        return EditResult::Refused;
    case DiskCheck::Reloaded:
        // The edit is made on the record as the file holds it now, if it still does.
        if (const auto found = rows_.findName(oldName)) {
            row = *found;
        } else {
            refuse("重新载入的项目文件中已没有记录“" + tessera::displayGbk(oldName) + "”。");
            return EditResult::Refused;
        }
        break;
    case DiskCheck::Unchanged:
        break;
    }
    const CRecordStru old = rows_.record(row);
    CRecordStru updated = old;
    updated.strGroup = group;
    updated.strName = name;
    updated.strRemark = remark;

    std::string renamedFrom, renamedTo;
    if (name != old.strName) {
        FolderListing folder(fs_, doc_.dataDir());
        const PictureMatch own = FindPicture(folder, old.strName, &rows_);
        const PictureMatch shown = LocatePicture(folder, old.strName, &rows_);
        if (otherPictureExists(folder, name, {own.path, shown.path}, &rows_)) {
            refuse("目录下已有“" + tessera::displayGbk(name) + "”的图片文件。");
            return EditResult::Refused;
        }
        if (own) {
            renamedFrom = own.path;
            renamedTo = joinPath(folder.folder(), pictureNameSpellings(name).front() +
                                                      (own.kind == 2 ? ".bmp" : ".jpg"));
        }
    }

    // The new project file complete on disk first, then the photograph, then the file.
    const std::string path = doc_.projectFile();
    tessera::AtomicFileWriter writer;
    std::string reason;
    if (!path.empty()) {
        std::vector<const CRecordStru*> records = recordsOf(rows_);
        records[row] = &updated;
        if (!prepareWrite(writer, path, records, reason)) {
            reportWriteFailure(path, reason);
            return EditResult::Refused;
        }
    }
    if (!renamedFrom.empty() && !fs_.renameFile(renamedFrom, renamedTo, reason)) {
        refuse("无法把图片文件“" + tessera::displayPath(renamedFrom) + "”改名为“" +
               tessera::displayPath(renamedTo) + "”：" + reason);
        return EditResult::Refused;
    }
    if (!path.empty()) {
        if (!writer.commit(&reason)) {
            // The file keeps the old record, so the photograph keeps its name too.
            reportWriteFailure(path, reason);
            std::string ignored;
            if (!renamedTo.empty())
                fs_.renameFile(renamedTo, renamedFrom, ignored);
            return EditResult::Refused;
        }
        doc_.noteProjectOnDisk(writer.writtenStamp());
    }
    rows_.setRecord(row, updated);
    if (path.empty())
        rowsChangedWithoutFile();
    doc_.renameShownName(old.strName, name);
    CRecordStru& current = doc_.currentRecord();
    current.strGroup = group;
    current.strName = name;
    current.strRemark = remark;
    return EditResult::Changed;
}

bool RecordList::removePicture(const std::string& path) {
    std::string reason;
    switch (fs_.removePicture(path, reason)) {
    case RemoveOutcome::Removed:
        return true;
    case RemoveOutcome::NoTrash:
        if (!prompts_.askYesNo(kDeletePromptCaption,
                               "无法把图片文件“" + tessera::displayPath(path) + "”移到回收站：" +
                                   reason + "\n是否将它永久删除？"))
            return false;
        if (fs_.deleteFile(path, reason))
            return true;
        break;
    case RemoveOutcome::Failed:
        if (fs_.typeOf(path) == EntryType::None)
            return true;
        break;
    }
    prompts_.message(kAppTitle, "无法删除图片文件“" + tessera::displayPath(path) + "”：" + reason,
                     MessageIcon::Exclamation);
    return false;
}

size_t RecordList::removeRows(std::vector<size_t> doomed, bool withPictures) {
    if (doomed.empty())
        return 0;
    std::vector<std::string> names;
    names.reserve(doomed.size());
    for (size_t i : doomed)
        names.push_back(rows_.record(i).strName);
    switch (checkProjectOnDisk()) {
    case DiskCheck::Cancelled:
        return 0;
    case DiskCheck::Reloaded: {
        // The same records, where the file read again still holds them.
        const std::unordered_set<std::string_view> wanted(names.begin(), names.end());
        doomed.clear();
        for (size_t i = 0; i < rows_.size(); ++i)
            if (wanted.count(rows_.record(i).strName))
                doomed.push_back(i);
        if (doomed.empty())
            return 0;
        break;
    }
    case DiskCheck::Unchanged:
        break;
    }

    // The photographs, from one listing of the folder.
    std::vector<std::string> pictures(doomed.size());
    if (withPictures) {
        const FolderListing folder(fs_, doc_.dataDir());
        for (size_t k = 0; k < doomed.size(); ++k)
            pictures[k] = FindPicture(folder, rows_.record(doomed[k]).strName, &rows_).path;
    }

    const std::string path = doc_.projectFile();
    tessera::AtomicFileWriter writer;
    std::string reason;
    if (!path.empty() && !prepareWrite(writer, path, recordsOf(rows_, doomed), reason)) {
        reportWriteFailure(path, reason);
        return 0;
    }
    size_t done = 0;
    while (done < doomed.size() && (pictures[done].empty() || removePicture(pictures[done])))
        ++done;
    if (done == 0)
        return 0; // the writer is abandoned: the file stays as it was
    if (done < doomed.size()) {
        // Stopped at a photograph that stays: so does its record and every one after it.
        doomed.resize(done);
        if (!path.empty() && !prepareWrite(writer, path, recordsOf(rows_, doomed), reason)) {
            reportWriteFailure(path, reason);
            return 0;
        }
    }
    if (!path.empty()) {
        if (!writer.commit(&reason)) {
            reportWriteFailure(path, reason);
            return 0;
        }
        doc_.noteProjectOnDisk(writer.writtenStamp());
    }
    rows_.removeRows(doomed);
    if (path.empty())
        rowsChangedWithoutFile();
    return done;
}

void RecordList::deleteRecords() {
    if (doc_.showMode() == ShowMode::Multiple) {
        if (!prompts_.askYesNo(kDeletePromptCaption, kDeleteQuestion))
            return;
        removeRows(rows_.checkedRows(), true);
        doc_.clearShownNames();
    } else {
        auto selected = rows_.firstSelected();
        if (!selected) {
            prompts_.message(kWarningCaption, kSelectRowMessage, MessageIcon::Information);
            return;
        }
        if (prompts_.askYesNo(kDeletePromptCaption, kDeleteQuestion))
            removeRows({*selected}, true);
    }
    afterDelete();
}

void RecordList::forgetShownNamesOfRemovedRows() {
    std::unordered_set<std::string_view> listed;
    listed.reserve(rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i)
        listed.insert(rows_.record(i).strName);
    std::vector<std::string> kept;
    for (const std::string& name : doc_.shownNames())
        if (listed.count(name))
            kept.push_back(name);
    if (kept.size() != doc_.shownNames().size())
        doc_.setShownNames(std::move(kept));
}

void RecordList::afterDelete() {
    if (rows_.empty()) {
        doc_.clearProjectFile();
        doc_.setUnsavedRows(false);
        return;
    }
    doc_.currentRecord().strName = rows_.record(0).strName;
    rows_.setSelected(0, true);
}

void RecordList::collectPrint() {
    std::vector<CRecordStru> list;
    for (size_t i : rows_.checkedRows())
        list.push_back(rows_.record(i));
    doc_.setPrintList(std::move(list));
}

bool RecordList::WriteProjectFile(const std::string& path) {
    if (path.empty())
        return true;
    std::string reason;
    tessera::FileStamp written;
    if (!tessera::writeFileAtomically(path, encodeProjectText(recordsOf(rows_)), &reason,
                                      &written)) {
        reportWriteFailure(path, reason);
        return false;
    }
    if (path == doc_.projectFile())
        doc_.noteProjectOnDisk(written);
    return true;
}

void RecordList::merge() {
    lastMerge_ = {};
    const std::string path = doc_.projectFile();
    if (!path.empty() && checkProjectOnDisk() == DiskCheck::Cancelled)
        return;
    const std::vector<const CRecordStru*> fresh = unlistedRecords(rows_, doc_.records());
    // The rows and the photographs come only once the file holds the records.
    if (!path.empty()) {
        std::string reason;
        tessera::FileStamp written;
        if (!tessera::writeFileAtomically(path, encodeProjectText(recordsOf(rows_, {}, fresh)),
                                          &reason, &written)) {
            reportWriteFailure(path, reason);
            return;
        }
        doc_.noteProjectOnDisk(written);
    }
    rows_.append(fresh);
    lastMerge_.written = true;
    lastMerge_.added = fresh.size();
    lastMerge_.copy = CopyFolder(fs_, prompts_, doc_.mergeDataDir(), doc_.projectDir());
    prompts_.message(kCopyCaption, copyOutcomeMessage(lastMerge_.copy.outcome),
                     MessageIcon::Exclamation);
    if (path.empty()) {
        rowsChangedWithoutFile();
        if (doc_.unsavedRows())
            prompts_.message(kAppTitle,
                             "列表中的 " + std::to_string(rows_.size()) +
                                 " 条记录没有保存在任何项目文件中（之前删除了全部记录，项目文件"
                                 "已关闭）。\n请用“保存”把它们保存为项目文件。",
                             MessageIcon::Exclamation);
    }
}

} // namespace fallowmere
