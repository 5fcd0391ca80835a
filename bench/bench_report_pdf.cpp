// The crack depth data report of 10,000 rows (201 pages) written as an A4 PDF at 600 dpi
// through the painter adapter (target: within 2 s), with the size of the file.

#include "depth/report/qt/report_pdf.h"
#include "depth/report/report_page.h"

#include <QFileInfo>
#include <QGuiApplication>

#include <benchmark/benchmark.h>
#include <unistd.h>

using namespace marrowby;

namespace {

// Rows as a download gives them, with a Chinese remark on every tenth row.
std::vector<DepthRow> reportRows(int n) {
    std::vector<DepthRow> rows;
    rows.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const int32_t v[4] = {i / 100, i % 1000, i % 37, 100 + i % 900};
        // "左侧裂缝" in GBK
        rows.push_back(rowFromValues(v, i % 10 == 0 ? "\xD7\xF3\xB2\xE0\xC1\xD1\xB7\xEC" : ""));
    }
    return rows;
}

void BM_ReportPdf10k(benchmark::State& state) {
    const auto rows = reportRows(10'000);
    const QString path =
        QStringLiteral("/tmp/bench_report_%1.pdf").arg(static_cast<qlonglong>(getpid()));
    for (auto _ : state) {
        QString error;
        if (!writeDepthReportPdf(path, rows, 600, &error)) {
            state.SkipWithError(error.toStdString().c_str());
            break;
        }
    }
    state.counters["pages"] = depthReportPageCount(rows.size());
    state.counters["file_bytes"] = static_cast<double>(QFileInfo(path).size());
    unlink(QFile::encodeName(path).constData());
}
BENCHMARK(BM_ReportPdf10k)->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
