// marrowby-cli report: the printed crack depth data report as an A4 portrait
// PDF without margins.

#include "depth/cli/cli.h"
#include "depth/cli/cli_io.h"

#include "depth/report/qt/report_pdf.h"
#include "depth/report/report_page.h"
#include "depth/stats/depth_stats_report.h"

#include <QGuiApplication>

#include <cstdio>
#include <memory>

namespace marrowby::cli {
namespace {

constexpr int kMinDpi = 10;
constexpr int kMaxDpi = 9600;

int report(const tessera::cli::Arguments& args) {
    const auto& pos = args.positional;
    const auto& opts = args.options;
    if (pos.size() != 2) {
        return tessera::cli::usageError();
    }
    int dpi = 600;
    for (const auto& [name, value] : opts) {
        if (!tessera::cli::parseWholeNumber(value, kMinDpi, kMaxDpi, dpi)) {
            error("--dpi 需要 " + std::to_string(kMinDpi) + " 到 " + std::to_string(kMaxDpi) +
                  " 的整数，而不是“" + value + "”");
            return kFailure;
        }
    }

    DmHeader header;
    std::vector<DepthRow> rows;
    const int status = loadRows(pos[0], header, rows);
    if (status == kFailure)
        return kFailure;

    // Fonts and PDF output need a QGuiApplication; a command-line tool needs no display, so
    // it runs on the offscreen platform unless one was chosen explicitly.
    std::unique_ptr<QGuiApplication> app;
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "marrowby-cli";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }

    // The output name keeps its bytes: a name that is not valid UTF-8 must not turn into
    // another one on its way through QString.
    // --summary puts the statistics report's pages before the data report's, --summary-only
    // prints those alone.
    const bool summaryOnly = args.has("--summary-only");
    const bool summary = summaryOnly || args.has("--summary");
    const DepthReport data(rows);
    const DepthStatsReport stats(rows, summary ? computeDepthStats(rows) : DepthStats{});
    std::vector<const tessera::PageSource*> parts;
    if (summary)
        parts.push_back(&stats);
    if (!summaryOnly)
        parts.push_back(&data);
    const tessera::PageSequence pages(parts);
    tessera::PdfOptions options = depthReportPdfOptions(dpi);
    if (summaryOnly)
        options.title = QString::fromStdString(tessera::translate("DepthStats", kDepthStatsTitle));
    QString why;
    if (!tessera::writePdf(pos[1], pages, options, &why)) {
        error("无法写入" + quoted(pos[1]) + "：" + why.toStdString());
        return kFailure;
    }
    std::fprintf(stderr, "%s：%zu 行，%d 页，%d dpi\n", quoted(pos[1]).c_str(), rows.size(),
                 pages.pageCount(tessera::pdfPageDevice(dpi)), dpi);
    return status;
}

const tessera::cli::Command reportCommand(
    "report",
    "report IN OUT.pdf [--dpi N] [--summary|--summary-only]   （IN：DM 文件或行文件 .tsv；A4 PDF，"
    "默认 600 dpi）",
    {"--dpi"}, {"--summary", "--summary-only"}, report);

} // namespace
} // namespace marrowby::cli
