// fallowmere-cli report: the crack inspection report of a project's records as an A4
// portrait PDF without margins, one page per record with its own photograph.

#include "width/cli/cli.h"
#include "width/cli/qt/cli_qt.h"

#include "common/qt/page_output.h"
#include "width/app/inspection_settings.h"
#include "width/cli/cli_stats.h"
#include "width/picture/inspection_report_source.h"
#include "width/stats/width_sheets.h"
#include "width/stats/width_stats_report.h"

#include <QFile>

#include <sys/stat.h>

namespace fallowmere::cli {
namespace {

constexpr int kMinDpi = 10;
constexpr int kMaxDpi = 9600;

int report(const tessera::cli::Arguments& args) {
    if (args.positional.size() != 2)
        return tessera::cli::usageError();
    int dpi = 600;
    if (const std::string* v = args.last("--dpi");
        v && !tessera::cli::parseWholeNumber(*v, kMinDpi, kMaxDpi, dpi)) {
        error("--dpi 需要 " + std::to_string(kMinDpi) + " 到 " + std::to_string(kMaxDpi) +
              " 的整数，而不是“" + shown(*v) + "”");
        return tessera::cli::usageError();
    }
    const std::string& out = args.positional[1];
    // --summary puts the statistics report's pages before the record pages, --summary-only
    // prints those alone; both take the statistics' --limit and --bin.
    const bool summaryOnly = args.has("--summary-only");
    const bool summary = summaryOnly || args.has("--summary");
    const std::optional<WidthStatsOptions> statsOpts = statsOptions(args);
    if (!statsOpts)
        return tessera::cli::usageError();

    // The inspection information: a file named with --ini must exist; the program's own file
    // may be missing (first start), which gives empty values.
    const std::string* ini = args.last("--ini");
    const std::string settingsPath = ini ? *ini : programSettings().path;
    const SettingsRead settings = readInspectionSettings(settingsPath);
    if (!settings.error.empty() || (ini && !settings.exists)) {
        error("无法读取“" + shown(settingsPath) + "”：" +
              (settings.error.empty() ? std::string("文件不存在") : settings.error));
        return kFailure;
    }

    OpenProject project;
    if (!project.open(args.positional[0]))
        return kFailure;
    // The named records, in the list's order; every record when none is named.
    const std::vector<std::string> named = args.all("--record");
    std::vector<bool> printed(project.rows.size(), named.empty());
    for (const std::string& name : named) {
        const std::optional<size_t> row = findRow(project.rows, name);
        if (!row) {
            error("没有名称为“" + shown(name) + "”的记录");
            return kFailure;
        }
        printed[*row] = true;
    }
    std::vector<CRecordStru> records;
    for (size_t i = 0; i < project.rows.size(); ++i)
        if (printed[i])
            records.push_back(project.rows.record(i));
    if (records.empty()) {
        say(kNothingToPrintMessage);
        return kFailure;
    }

    auto gui = startHeadlessGui();
    const InspectionInfo info = settings.info;
    const PhotoFinder finder = pictureFinderFor(project.fs, project.doc.dataDir());
    const InspectionReport source(
        records, [info] { return info; }, finder);
    std::vector<const CRecordStru*> counted;
    for (const CRecordStru& record : source.records())
        counted.push_back(&record);
    const WidthStatsReport statsReport(
        summary ? computeWidthStats(counted, *statsOpts, photoTestOf(finder)) : WidthStats{}, info);
    std::vector<const tessera::PageSource*> parts;
    if (summary)
        parts.push_back(&statsReport);
    if (!summaryOnly)
        parts.push_back(&source);
    const tessera::PageSequence pages(parts);
    tessera::PdfOptions options;
    options.dpi = dpi;
    options.title = summaryOnly
                        ? QString::fromStdString(tessera::translate("WidthStats", kWidthStatsTitle))
                        : QStringLiteral("裂缝检测报告");
    options.creator = QStringLiteral("Fallowmere");
    QString why;
    if (!tessera::writePdf(QFile::decodeName(QByteArray::fromStdString(out)), pages, options,
                           &why)) {
        error("无法写入“" + shown(out) + "”：" + why.toStdString());
        return kFailure;
    }
    say("“" + shown(out) + "”：" + std::to_string(pages.pageCount(tessera::pdfPageDevice(dpi))) +
        " 页，" + std::to_string(dpi) + " dpi");
    return kOk;
}

const tessera::cli::Command
    reportCommand("report",
                  "report PROJECT.cm OUT.pdf [--record NAME]... [--dpi N] [--ini FILE] "
                  "[--summary|--summary-only] [--limit MM]... [--bin MM]",
                  {"--record", "--dpi", "--ini", "--limit", "--bin"},
                  {"--summary", "--summary-only"}, report);

} // namespace
} // namespace fallowmere::cli
