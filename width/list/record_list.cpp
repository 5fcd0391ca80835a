#include "width/list/record_list.h"

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

} // namespace

RecordList::RecordList(CQuenbyDoc& doc, RecordRows& rows, FileOps& fs, ListPrompts& prompts,
                       const TextCollator& collator)
    : doc_(doc), rows_(rows), fs_(fs), prompts_(prompts), collator_(collator) {}

void RecordList::refresh() {
    if (!doc_.mergeMode())
        rows_.clear();
    const std::vector<CRecordStru>& records = doc_.records();
    if (records.empty())
        return;
    rows_.append(unlistedRecords(rows_, records));
    if (doc_.mergeMode())
        mergeIntoProject();
}

PickResult RecordList::pick(size_t row, ClickPlace place) {
    PickResult result;
    if (row >= rows_.size())
        return result;
    const std::string name = rows_.record(row).strName;
    FolderListing folder(fs_, doc_.dataDir());
    if (doc_.showMode() == ShowMode::Single) {
        rows_.clearChecksAndSelection();
        if (!LocatePicture(folder, name)) {
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
            if (!LocatePicture(folder, name)) {
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
    rows_.remove(row);
    WriteProjectFile(doc_.projectFile());
    result.rowDeleted = true;
}

void RecordList::setCurrentRecord(size_t row) {
    doc_.currentRecord() = rows_.record(row);
}

void RecordList::refuse(const std::string& text) {
    prompts_.message(kAppTitle, text + "\n记录未修改。", MessageIcon::Exclamation);
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
    const CRecordStru old = rows_.record(row);
    std::string renamedFrom, renamedTo;
    if (name != old.strName) {
        if (!canNamePicture(name)) {
            refuse("“" + tessera::displayGbk(name) + "”不能用作图片文件名。");
            return EditResult::Refused;
        }
        FolderListing folder(fs_, doc_.dataDir());
        const PictureMatch own = FindPicture(folder, old.strName);
        const PictureMatch shown = LocatePicture(folder, old.strName);
        if (otherPictureExists(folder, name, {own.path, shown.path})) {
            refuse("目录下已有“" + tessera::displayGbk(name) + "”的图片文件。");
            return EditResult::Refused;
        }
        if (own) {
            renamedFrom = own.path;
            renamedTo = joinPath(folder.folder(), pictureNameSpellings(name).front() +
                                                      (own.kind == 2 ? ".bmp" : ".jpg"));
            std::string reason;
            if (!fs_.renameFile(renamedFrom, renamedTo, reason)) {
                refuse("无法把图片文件“" + tessera::displayPath(renamedFrom) + "”改名为“" +
                       tessera::displayPath(renamedTo) + "”：" + reason);
                return EditResult::Refused;
            }
        }
    }
    CRecordStru updated = old;
    updated.strGroup = group;
    updated.strName = name;
    updated.strRemark = remark;
    rows_.setRecord(row, updated);
    if (!WriteProjectFile(doc_.projectFile())) {
        // The file keeps the old record, so the row and the photograph keep it too.
        rows_.setRecord(row, old);
        std::string reason;
        if (!renamedTo.empty())
            fs_.renameFile(renamedTo, renamedFrom, reason);
        return EditResult::Refused;
    }
    doc_.renameShownName(old.strName, name);
    CRecordStru& current = doc_.currentRecord();
    current.strGroup = group;
    current.strName = name;
    current.strRemark = remark;
    return EditResult::Changed;
}

bool RecordList::removePictureOf(const std::string& name) {
    const PictureMatch match = FindPicture(FolderListing(fs_, doc_.dataDir()), name);
    if (!match)
        return true;
    std::string reason;
    if (fs_.removePicture(match.path, reason) || fs_.typeOf(match.path) == EntryType::None)
        return true;
    prompts_.message(kAppTitle,
                     "无法删除图片文件“" + tessera::displayPath(match.path) + "”：" + reason,
                     MessageIcon::Exclamation);
    return false;
}

void RecordList::deleteRecords() {
    if (doc_.showMode() == ShowMode::Multiple) {
        if (!prompts_.askYesNo(kDeletePromptCaption, kDeleteQuestion))
            return;
        // A photograph that cannot be removed stops the command at its row; that row and the
        // rows after it stay, and the file is written for the rows removed so far.
        std::vector<size_t> removed;
        for (size_t i : rows_.checkedRows()) {
            if (!removePictureOf(rows_.record(i).strName))
                break;
            removed.push_back(i);
        }
        rows_.removeRows(removed);
        WriteProjectFile(doc_.projectFile());
        doc_.clearShownNames();
    } else {
        auto selected = rows_.firstSelected();
        if (!selected) {
            prompts_.message(kWarningCaption, kSelectRowMessage, MessageIcon::Information);
            return;
        }
        if (prompts_.askYesNo(kDeletePromptCaption, kDeleteQuestion) &&
            removePictureOf(rows_.record(*selected).strName)) {
            rows_.remove(*selected);
            WriteProjectFile(doc_.projectFile());
        }
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
    std::vector<const CRecordStru*> records(rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i)
        records[i] = &rows_.record(i);
    std::string message;
    if (writeProjectBytes(path, encodeProjectText(records), message))
        return true;
    prompts_.message(kAppTitle, message, MessageIcon::Exclamation);
    return false;
}

CopyResult RecordList::mergeIntoProject() {
    WriteProjectFile(doc_.projectFile());
    lastCopy_ = CopyFolder(fs_, prompts_, doc_.mergeDataDir(), doc_.projectDir());
    prompts_.message(kCopyCaption, copyOutcomeMessage(lastCopy_.outcome), MessageIcon::Exclamation);
    return lastCopy_;
}

} // namespace fallowmere
