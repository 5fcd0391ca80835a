// fallowmere-cli dump, merge, edit and delete: the record list's work on a project, without
// the window.

#include "width/cli/cli.h"

#include "common/cell_escape.h"
#include "common/gbk.h"
#include "width/project/picture_lookup.h"

#include <string>

namespace fallowmere::cli {
namespace {

using tessera::cli::Arguments;

// A field (GBK) for printing: UTF-8 with the cell escapes.
std::string printable(std::string_view gbk) {
    bool ascii = true;
    for (char c : gbk)
        ascii &= static_cast<unsigned char>(c) < 0x80;
    return tessera::escapeCell(ascii ? std::string(gbk) : tessera::gbkToUtf8(gbk));
}

// Output written a piece at a time, so that a dump of a field of any length needs a buffer of
// a fixed size rather than copies of the whole output.
class PrintBuffer {
public:
    // Appends a GBK field as printable() does, converting it in pieces of whole characters.
    bool addField(std::string_view gbk) {
        while (!gbk.empty()) {
            const size_t n = tessera::gbkPrefixLength(gbk, kPiece);
            out_ += printable(gbk.substr(0, n));
            gbk.remove_prefix(n);
            if (out_.size() >= kFlushAt && !flush())
                return false;
        }
        return true;
    }
    bool add(std::string_view text) {
        out_ += text;
        return out_.size() < kFlushAt || flush();
    }
    bool flush() {
        const bool written = writeStdout(out_);
        out_.clear();
        return written;
    }

private:
    static constexpr size_t kPiece = 64 * 1024;
    static constexpr size_t kFlushAt = 1024 * 1024;
    std::string out_;
};

int dump(const Arguments& args) {
    if (args.positional.size() != 1)
        return tessera::cli::usageError();
    std::vector<int> clicks;
    for (const std::string& value : args.all("--sort")) {
        int column = 0;
        if (!tessera::cli::parseWholeNumber(value, 0, CRecordStru::kFieldCount - 1, column)) {
            error("--sort 需要 0 到 5 的列号，而不是“" + shown(value) + "”");
            return tessera::cli::usageError();
        }
        clicks.push_back(column);
    }
    OpenProject project;
    if (!project.open(args.positional[0]))
        return kFailure;
    for (int column : clicks)
        project.list.headerClick(column);

    const RecordRows& rows = project.rows;
    PrintBuffer out;
    if (!out.add("folder\t" + tessera::escapeCell(project.doc.dataDir()) + "\n"))
        return kFailure;
    const FolderListing folder(project.fs, project.doc.dataDir());
    for (size_t i = 0; i < rows.size(); ++i) {
        const CRecordStru& record = rows.record(i);
        for (int c = 0; c < CRecordStru::kFieldCount; ++c) {
            if (!out.addField(record.field(c)) || !out.add("\t"))
                return kFailure;
        }
        if (!out.add(tessera::escapeCell(LocatePicture(folder, record.strName, &rows).path) + "\n"))
            return kFailure;
    }
    return out.flush() ? kOk : kFailure;
}

int merge(const Arguments& args) {
    if (args.positional.size() != 2)
        return tessera::cli::usageError();
    OpenProject project;
    project.prompts.replaceAnswer =
        args.has("--replace") ? ReplaceAnswer::YesToAll : ReplaceAnswer::No;
    if (!project.open(args.positional[0]))
        return kFailure;
    if (!project.add(args.positional[1]))
        return kFailure;
    if (project.doc.records().empty()) {
        say("“" + shown(args.positional[1]) + "”中没有记录，项目文件未改动。");
        return kOk;
    }
    // A project file that cannot be written: the failure alone was reported, nothing copied.
    const MergeResult& merged = project.list.lastMerge();
    if (!merged.written)
        return kFailure;
    const CopyResult& copy = merged.copy;
    for (const std::string& problem : copy.problems)
        say(problem);
    say("添加了 " + std::to_string(merged.added) + " 条记录，共 " +
        std::to_string(project.rows.size()) + " 条；复制了 " + std::to_string(copy.copied) +
        " 个文件，保留了 " + std::to_string(copy.kept) + " 个已有文件。");
    if (project.prompts.failures() > 0 || copy.outcome != CopyOutcome::Succeeded)
        return kFailure;
    return kOk;
}

int edit(const Arguments& args) {
    if (args.positional.size() != 2)
        return tessera::cli::usageError();
    // The texts typed, in GBK; a field not given keeps the bytes it has.
    std::optional<std::string> typed[3];
    const char* options[3] = {"--group", "--name", "--remark"};
    for (int k = 0; k < 3; ++k) {
        if (const std::string* value = args.last(options[k])) {
            typed[k] = gbkArgument(*value, options[k]);
            if (!typed[k])
                return kFailure;
        }
    }
    OpenProject project;
    if (!project.open(args.positional[0]))
        return kFailure;
    const std::optional<size_t> row = findRow(project.rows, args.positional[1]);
    if (!row) {
        error("没有名称为“" + shown(args.positional[1]) + "”的记录");
        return kFailure;
    }
    const CRecordStru& record = project.rows.record(*row);
    const std::string group = typed[0].value_or(record.strGroup);
    const std::string name = typed[1].value_or(record.strName);
    const std::string remark = typed[2].value_or(record.strRemark);
    if (project.list.edit(*row, group, name, remark) != EditResult::Changed ||
        project.prompts.failures() > 0)
        return kFailure;
    return kOk;
}

int remove(const Arguments& args) {
    if (args.positional.size() < 2)
        return tessera::cli::usageError();
    OpenProject project;
    if (!project.open(args.positional[0]))
        return kFailure;
    // Every name is found before anything is deleted.
    std::vector<size_t> targets;
    for (size_t k = 1; k < args.positional.size(); ++k) {
        const std::optional<size_t> row = findRow(project.rows, args.positional[k]);
        if (!row) {
            error("没有名称为“" + shown(args.positional[k]) + "”的记录，未删除任何记录");
            return kFailure;
        }
        targets.push_back(*row);
    }
    // The Delete command of multiple-record mode over the rows checked.
    project.doc.setMultiMode();
    project.rows.clearChecks();
    for (size_t row : targets)
        project.rows.setChecked(row, true);
    project.prompts.answerYes = true;
    project.list.deleteRecords();
    return project.prompts.failures() > 0 ? kFailure : kOk;
}

const tessera::cli::Command dumpCommand("dump", "dump PROJECT.cm [--sort COLUMN]...", {"--sort"},
                                        dump);
const tessera::cli::Command mergeCommand("merge", "merge PROJECT.cm OTHER.cm [--replace]", {},
                                         {"--replace"}, merge);
const tessera::cli::Command editCommand("edit",
                                        "edit PROJECT.cm NAME [--group G] [--name N] [--remark R]",
                                        {"--group", "--name", "--remark"}, edit);
const tessera::cli::Command deleteCommand("delete", "delete PROJECT.cm NAME...", {}, remove);

} // namespace
} // namespace fallowmere::cli
