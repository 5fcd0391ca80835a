// The crack depth data report of 10,000 rows (201 pages): laying the pages out (model code).
// bench_report_pdf writes the same report as a PDF.

#include "depth/report/report_page.h"

#include <benchmark/benchmark.h>

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

void BM_ReportLayout10k(benchmark::State& state) {
    const auto rows = reportRows(10'000);
    const tessera::PageDevice device{600, 600, 4960, 7016};
    const int pages = depthReportPageCount(rows.size());
    for (auto _ : state) {
        size_t ops = 0;
        for (int p = 1; p <= pages; ++p)
            ops += layoutDepthReportPage(device, p, rows).size();
        benchmark::DoNotOptimize(ops);
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_ReportLayout10k)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
