#pragma once
// fallowmere-cli: each command registers itself with a static tessera::cli::Command object in
// its own cli_*.cpp file (common/cli.h). This header holds what the commands share: exit
// statuses, opening a project as the window's Open does, answering the record list's
// questions from the command line, checked output and the settings file's path.
//
// Messages on stderr are Chinese, as every text the users read. File names are kept as the
// bytes given on the command line.

#include "common/cli.h"
#include "width/app/inspection_settings.h"
#include "width/list/prompts.h"
#include "width/list/record_list.h"
#include "width/list/record_rows.h"
#include "width/project/file_ops.h"
#include "width/project/quenby_doc.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fallowmere::cli {

enum Exit : int {
    kOk = tessera::cli::kExitOk,
    // A file cannot be opened or written, a text cannot be encoded in GBK, a named record does
    // not exist, an edit is refused, or the arguments are wrong.
    kFailure = tessera::cli::kExitFailure,
};

using tessera::cli::error;

// The record list's questions answered from the command line, its messages printed on
// stderr (one line each, the text alone). A message with the program's own caption reports a
// failure (a file that cannot be written, a photograph that cannot be removed, a refused
// edit); such messages are counted.
class CliPrompts : public ListPrompts {
public:
    // Answer to every yes/no question (the delete question).
    bool answerYes = true;
    // Answer to the folder copy's replace question.
    ReplaceAnswer replaceAnswer = ReplaceAnswer::No;

    int failures() const { return failures_; }

    void message(std::string_view caption, std::string_view text, MessageIcon icon) override;
    bool askYesNo(std::string_view caption, std::string_view text) override;
    ReplaceAnswer askReplace(const std::string& existingFile) override;

private:
    int failures_ = 0;
};

// The zh_CN collation of the record list (the window's own).
const TextCollator& listCollator();

// A project opened as the window's Open does, with the record list refreshed from it: the
// rows are the records of the file, duplicates by name dropped, in file order.
struct OpenProject {
    StdFileOps fs;
    CliPrompts prompts;
    CQuenbyDoc doc;
    RecordRows rows;
    RecordList list{doc, rows, fs, prompts, listCollator()};

    // Opens `path`. False, with the reason on stderr, when the file cannot be read. When
    // neither picture folder exists, "无文件数据可加载！" goes to stderr and the project opens
    // all the same.
    bool open(const std::string& path);
    // Adds another project (the window's Add): the list appends the records whose names it
    // does not list, rewrites the project file and copies the picture folder. False, with the
    // reason on stderr, when the file cannot be read.
    bool add(const std::string& path);
};

// `path` with its folder made absolute and free of symbolic links and "." or ".." parts; the
// file name itself stays as given (a project file reached through a link keeps its picture
// folder beside the link). Unchanged when the folder does not exist.
std::string projectPath(const std::string& path);

// The first row whose name is `name` as typed (UTF-8, encoded in GBK), else the first row
// whose name holds exactly the bytes typed (names that are not valid GBK).
std::optional<size_t> findRow(const RecordRows& rows, const std::string& name);

// A text typed on the command line (UTF-8) in GBK; prints a message naming `what` and returns
// nullopt when it holds a character GBK cannot represent.
std::optional<std::string> gbkArgument(const std::string& text, const std::string& what);

// Writes `text` to stdout and flushes it. False, with the reason on stderr, when the output
// cannot be written (a full disk, a closed pipe).
bool writeStdout(std::string_view text);

// The program's own settings file, found as the program finds it (the tool sits beside the
// program): FALLOWMERE_INI, else the per-user file for an installed tool, else "QB.ini" beside
// the executable when usable, else the per-user one.
SettingsLocation programSettings();

// Prints a text of the program (a message box's text) on stderr, on a line of its own.
void say(std::string_view text);

// A file name or reason for a message (UTF-8).
std::string shown(const std::string& path);

} // namespace fallowmere::cli
