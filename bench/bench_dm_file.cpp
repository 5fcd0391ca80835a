// Writing and reading DM files of 1,000,000 rows, and the memory a row takes when held.

#include "common/atomic_file.h"
#include "depth/document/dm_file.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

using namespace marrowby;

namespace {

std::vector<DepthRow> downloadedRows(int n) {
    std::vector<DepthRow> rows;
    rows.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        rows.push_back(rowFromRecord({i / 100, i % 1000, i % 37, 100 + i % 900, ""}));
    return rows;
}

void BM_DmWriteAndRead1M(benchmark::State& state) {
    const auto rows = downloadedRows(1'000'000);
    std::string path = "/tmp/bench_dm_" + std::to_string(getpid()) + ".DM";
    for (auto _ : state) {
        if (!tessera::writeFileAtomically(path, encodeDm(DmHeader{}, rows)))
            state.SkipWithError("write failed");
        std::string bytes;
        tessera::readWholeFile(path, bytes);
        DmHeader header;
        std::vector<DepthRow> back;
        decodeDm(bytes, header, back);
        benchmark::DoNotOptimize(back.data());
        if (back.size() != rows.size())
            state.SkipWithError("row count differs");
    }
    unlink(path.c_str());
    state.counters["rows"] = 1e6;
}
BENCHMARK(BM_DmWriteAndRead1M)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_DmEncode1M(benchmark::State& state) {
    const auto rows = downloadedRows(1'000'000);
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeDm(DmHeader{}, rows));
}
BENCHMARK(BM_DmEncode1M)->Unit(benchmark::kMillisecond);

void BM_DmDecode1M(benchmark::State& state) {
    const std::string bytes = encodeDm(DmHeader{}, downloadedRows(1'000'000));
    for (auto _ : state) {
        DmHeader header;
        std::vector<DepthRow> rows;
        decodeDm(bytes, header, rows);
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_DmDecode1M)->Unit(benchmark::kMillisecond);

// Memory held per row after reading a DM file of 1,000,000 rows: the heap in use (malloc's own
// count, mapped blocks included) with the rows held, less the heap in use before reading, divided
// by the rows.
void BM_RowMemoryAfterRead1M(benchmark::State& state) {
    const std::string bytes = encodeDm(DmHeader{}, downloadedRows(1'000'000));
    double perRow = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks + mallinfo2().hblkhd;
        DmHeader header;
        std::vector<DepthRow> rows;
        decodeDm(bytes, header, rows);
        const size_t after = mallinfo2().uordblks + mallinfo2().hblkhd;
        perRow = static_cast<double>(after - before) / static_cast<double>(rows.size());
        benchmark::DoNotOptimize(rows.data());
    }
    state.counters["bytes_per_row"] = perRow;
}
BENCHMARK(BM_RowMemoryAfterRead1M)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
