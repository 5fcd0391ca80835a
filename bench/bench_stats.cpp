// Statistics and spreadsheets: width statistics of 1,000,000 records and depth statistics of
// 1,000,000 rows beyond reading the file (targets ≤ 100 ms each), the XLSX of 100,000 records or
// rows (target ≤ 2 s, written atomically), and the CSV for comparison.

#include "bench/bench_width_data.h"
#include "depth/stats/depth_sheets.h"
#include "depth/stats/depth_stats.h"
#include "depth/stats/depth_stats_report.h"
#include "width/stats/width_sheets.h"
#include "width/stats/width_stats.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <unistd.h>

namespace {

std::vector<const fallowmere::CRecordStru*>
pointers(const std::vector<fallowmere::CRecordStru>& r) {
    std::vector<const fallowmere::CRecordStru*> p;
    p.reserve(r.size());
    for (const auto& x : r)
        p.push_back(&x);
    return p;
}

// A download's rows: groups of up to 999 points, crack numbers cycling, depths 0-999.
std::vector<marrowby::DepthRow> depthRows(size_t n) {
    std::vector<marrowby::DepthRow> rows;
    rows.reserve(n);
    for (size_t r = 0; r < n; ++r) {
        const int32_t g = static_cast<int32_t>(r / 999 + 1);
        const int32_t v[4] = {g, static_cast<int32_t>(r % 999 % 40 + 1),
                              static_cast<int32_t>(r % 999),
                              static_cast<int32_t>((131 * g + 17 * r) % 1000)};
        rows.push_back(marrowby::rowFromValues(v, ""));
    }
    return rows;
}

// The photograph lookup over a folder listing is the window's; here every 7th record has one.
fallowmere::PhotoTest somePhotos() {
    return [](const fallowmere::CRecordStru& r) { return r.strName.size() % 7 == 0; };
}

void BM_WidthStats(benchmark::State& state) {
    const auto records = widthbench::sampleRecords(static_cast<size_t>(state.range(0)));
    const auto p = pointers(records);
    for (auto _ : state) {
        auto stats = fallowmere::computeWidthStats(p, {}, somePhotos());
        benchmark::DoNotOptimize(stats);
    }
}
BENCHMARK(BM_WidthStats)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_DepthStats(benchmark::State& state) {
    const auto rows = depthRows(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        auto stats = marrowby::computeDepthStats(rows);
        benchmark::DoNotOptimize(stats);
    }
}
BENCHMARK(BM_DepthStats)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

std::string outputPath(const char* name) {
    return "/tmp/bench_stats_" + std::to_string(::getpid()) + name;
}

void BM_WidthXlsx(benchmark::State& state) {
    const auto records = widthbench::sampleRecords(static_cast<size_t>(state.range(0)));
    const auto p = pointers(records);
    const std::string out = outputPath(".xlsx");
    const fallowmere::PhotoFinder finder = [](const std::string& name) {
        return name.size() % 7 == 0 ? "/p/CrackData/" + name + ".jpg" : std::string();
    };
    for (auto _ : state)
        if (!fallowmere::writeWidthSpreadsheet(out, p, {}, finder))
            state.SkipWithError("write failed");
    std::remove(out.c_str());
}
BENCHMARK(BM_WidthXlsx)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DepthXlsx(benchmark::State& state) {
    const auto rows = depthRows(static_cast<size_t>(state.range(0)));
    const std::string out = outputPath("_depth.xlsx");
    for (auto _ : state)
        if (!marrowby::writeDepthSpreadsheet(out, rows))
            state.SkipWithError("write failed");
    std::remove(out.c_str());
}
BENCHMARK(BM_DepthXlsx)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WidthCsv(benchmark::State& state) {
    const auto records = widthbench::sampleRecords(static_cast<size_t>(state.range(0)));
    const auto p = pointers(records);
    const std::string out = outputPath(".csv");
    for (auto _ : state)
        if (!fallowmere::writeWidthSpreadsheet(out, p, {}, {}))
            state.SkipWithError("write failed");
    std::remove(out.c_str());
}
BENCHMARK(BM_WidthCsv)->Arg(100'000)->Unit(benchmark::kMillisecond);

// The statistics report's page plan for 100,000 rows (tables and profiles; model code).
void BM_DepthStatsReportPlan(benchmark::State& state) {
    const auto rows = depthRows(static_cast<size_t>(state.range(0)));
    const auto stats = marrowby::computeDepthStats(rows);
    for (auto _ : state) {
        marrowby::DepthStatsReport report(rows, stats);
        benchmark::DoNotOptimize(report.pageCount());
    }
}
BENCHMARK(BM_DepthStatsReportPlan)->Arg(100'000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
