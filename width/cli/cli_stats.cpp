// fallowmere-cli stats and export: the statistics of a project's records as TSV, and the record
// list as a spreadsheet.

#include "width/cli/cli_stats.h"

#include "common/spreadsheet.h"
#include "common/translate.h"
#include "width/cli/cli.h"
#include "width/picture/inspection_report_source.h"
#include "width/stats/width_sheets.h"

namespace fallowmere::cli {
namespace {

// A message of the tool: `source` translated, %1, %2, ... replaced by `values`.
std::string text(const char* source, std::initializer_list<std::string> values) {
    std::string out = tessera::translate("FallowmereCli", source);
    int n = 1;
    for (const std::string& v : values) {
        const std::string mark = "%" + std::to_string(n++);
        if (const size_t at = out.find(mark); at != std::string::npos)
            out.replace(at, mark.size(), v);
    }
    return out;
}

} // namespace

std::optional<WidthStatsOptions> statsOptions(const tessera::cli::Arguments& args) {
    WidthStatsOptions options;
    const std::vector<std::string> limits = args.all("--limit");
    if (!limits.empty())
        options.limitsUm.clear();
    for (const std::string& value : limits) {
        const std::optional<int64_t> um = parseMillimetres(value);
        if (!um || *um < 1) {
            error(text("--limit 需要以毫米为单位的正数，而不是“%1”", {shown(value)}));
            return std::nullopt;
        }
        options.limitsUm.push_back(*um);
    }
    if (const std::string* value = args.last("--bin")) {
        const std::optional<int64_t> um = parseMillimetres(*value);
        if (!um || *um < 1) {
            error(text("--bin 需要以毫米为单位的正数，而不是“%1”", {shown(*value)}));
            return std::nullopt;
        }
        options.binUm = *um;
    }
    std::string why;
    if (!normalizeOptions(options, &why)) {
        error(why);
        return std::nullopt;
    }
    return options;
}

std::optional<std::vector<size_t>> namedRows(const RecordRows& rows,
                                             const tessera::cli::Arguments& args) {
    const std::vector<std::string> named = args.all("--record");
    std::vector<bool> chosen(rows.size(), named.empty());
    for (const std::string& name : named) {
        const std::optional<size_t> row = findRow(rows, name);
        if (!row) {
            error(text("没有名称为“%1”的记录", {shown(name)}));
            return std::nullopt;
        }
        chosen[*row] = true;
    }
    std::vector<size_t> indices;
    for (size_t i = 0; i < rows.size(); ++i)
        if (chosen[i])
            indices.push_back(i);
    return indices;
}

namespace {

std::vector<const CRecordStru*> recordsAt(const RecordRows& rows,
                                          const std::vector<size_t>& indices) {
    std::vector<const CRecordStru*> records;
    records.reserve(indices.size());
    for (size_t i : indices)
        records.push_back(&rows.record(i));
    return records;
}

int stats(const tessera::cli::Arguments& args) {
    if (args.positional.size() != 1)
        return tessera::cli::usageError();
    const std::optional<WidthStatsOptions> options = statsOptions(args);
    if (!options)
        return tessera::cli::usageError();
    OpenProject project;
    if (!project.open(args.positional[0]))
        return kFailure;
    const std::optional<std::vector<size_t>> rows = namedRows(project.rows, args);
    if (!rows)
        return kFailure;
    const PhotoFinder finder = pictureFinderFor(project.fs, project.doc.dataDir());
    const WidthStats result =
        computeWidthStats(recordsAt(project.rows, *rows), *options, photoTestOf(finder));
    return writeStdout(formatWidthStatsTsv(result)) ? kOk : kFailure;
}

int exportSheet(const tessera::cli::Arguments& args) {
    if (args.positional.size() != 2)
        return tessera::cli::usageError();
    const std::string& out = args.positional[1];
    if (tessera::spreadsheetKindOf(out) == tessera::SpreadsheetKind::None) {
        error(text("“%1”：表格文件的名称须以 .xlsx 或 .csv 结尾", {shown(out)}));
        return tessera::cli::usageError();
    }
    const std::optional<WidthStatsOptions> options = statsOptions(args);
    if (!options)
        return tessera::cli::usageError();
    OpenProject project;
    if (!project.open(args.positional[0]))
        return kFailure;
    const std::optional<std::vector<size_t>> rows = namedRows(project.rows, args);
    if (!rows)
        return kFailure;
    const PhotoFinder finder = pictureFinderFor(project.fs, project.doc.dataDir());
    std::string why;
    if (!writeWidthSpreadsheet(out, recordsAt(project.rows, *rows), *options, finder, &why)) {
        error(text("无法写入“%1”：%2", {shown(out), why}));
        return kFailure;
    }
    say(text("“%1”：%2 条记录", {shown(out), std::to_string(rows->size())}));
    return kOk;
}

const tessera::cli::Command
    statsCommand("stats", "stats PROJECT.cm [--limit MM]... [--bin MM] [--record NAME]...",
                 {"--limit", "--bin", "--record"}, stats);
const tessera::cli::Command exportCommand(
    "export", "export PROJECT.cm OUT.xlsx|OUT.csv [--record NAME]... [--limit MM]... [--bin MM]",
    {"--record", "--limit", "--bin"}, exportSheet);

} // namespace
} // namespace fallowmere::cli
