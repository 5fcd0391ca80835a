// Fallowmere's record list: opening a .cm project and building the de-duplicated rows, sorting
// by a number column, writing the project file.

#include "bench_width_data.h"
#include "width/list/record_list.h"
#include "width/project/cm_file.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

using namespace fallowmere;

namespace {

std::string projectWith(size_t n) {
    auto records = widthbench::sampleRecords(n);
    // One record in a hundred repeats an earlier name, as a file merged by hand may.
    for (size_t i = 100; i < n; i += 100)
        records[i].strName = records[i - 37].strName;
    std::string path =
        "/tmp/bench_width_" + std::to_string(getpid()) + "_" + std::to_string(n) + ".cm";
    std::string message;
    if (!writeProjectBytes(path, encodeProjectText(records), message))
        return {};
    return path;
}

void BM_OpenProjectAndBuildRows(benchmark::State& state) {
    const size_t n = static_cast<size_t>(state.range(0));
    const std::string path = projectWith(n);
    if (path.empty()) {
        state.SkipWithError("cannot write the sample project");
        return;
    }
    StdFileOps fs;
    widthbench::SilentPrompts prompts;
    ByteOrderCollator bytes;
    for (auto _ : state) {
        CQuenbyDoc doc;
        RecordRows rows;
        RecordList list(doc, rows, fs, prompts, bytes);
        doc.openProject(path, fs);
        list.refresh();
        if (rows.size() != n - (n - 1) / 100)
            state.SkipWithError("unexpected row count");
        benchmark::DoNotOptimize(rows.size());
    }
    unlink(path.c_str());
    state.counters["records"] = static_cast<double>(n);
}
BENCHMARK(BM_OpenProjectAndBuildRows)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

// Sorts shuffled rows by `column`; the rows are rebuilt outside the timing.
void sortBench(benchmark::State& state, int column, const TextCollator& collator) {
    auto records = widthbench::sampleRecords(static_cast<size_t>(state.range(0)));
    std::vector<const CRecordStru*> pointers;
    for (const auto& r : records)
        pointers.push_back(&r);
    std::mt19937 rng(3);
    RecordRows rows;
    for (auto _ : state) {
        state.PauseTiming();
        std::shuffle(pointers.begin(), pointers.end(), rng);
        rows.clear();
        rows.append(pointers);
        state.ResumeTiming();
        rows.SortByColumn(column, true, collator);
    }
}

void BM_SortByNumberColumn(benchmark::State& state) {
    sortBench(state, 2, ByteOrderCollator());
}
BENCHMARK(BM_SortByNumberColumn)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_SortByTextColumnBytes(benchmark::State& state) {
    sortBench(state, 1, ByteOrderCollator());
}
BENCHMARK(BM_SortByTextColumnBytes)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_WriteProjectFile(benchmark::State& state) {
    const auto records = widthbench::sampleRecords(static_cast<size_t>(state.range(0)));
    std::vector<const CRecordStru*> pointers;
    for (const auto& r : records)
        pointers.push_back(&r);
    CQuenbyDoc doc;
    RecordRows rows;
    rows.append(pointers);
    StdFileOps fs;
    widthbench::SilentPrompts prompts;
    ByteOrderCollator bytes;
    RecordList list(doc, rows, fs, prompts, bytes);
    const std::string path = "/tmp/bench_width_write_" + std::to_string(getpid()) + ".cm";
    for (auto _ : state)
        if (!list.WriteProjectFile(path))
            state.SkipWithError("write failed");
    unlink(path.c_str());
    state.counters["rows"] = static_cast<double>(rows.size());
}
BENCHMARK(BM_WriteProjectFile)->Arg(100'000)->Unit(benchmark::kMillisecond);

// Heap held by an open project (the records read and the list's rows, the file's bytes gone)
// against its file's size: malloc's count of the heap in use, mapped blocks included, with the
// project open, less the count before.
void projectMemory(benchmark::State& state, const std::string& text) {
    const std::string path = "/tmp/bench_width_memory_" + std::to_string(getpid()) + ".cm";
    std::string message;
    if (!writeProjectBytes(path, text, message)) {
        state.SkipWithError("cannot write the sample project");
        return;
    }
    StdFileOps fs;
    widthbench::SilentPrompts prompts;
    ByteOrderCollator bytes;
    double held = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks + mallinfo2().hblkhd;
        CQuenbyDoc doc;
        RecordRows rows;
        RecordList list(doc, rows, fs, prompts, bytes);
        doc.openProject(path, fs);
        list.refresh();
        held = static_cast<double>(mallinfo2().uordblks + mallinfo2().hblkhd - before);
        benchmark::DoNotOptimize(rows.size());
    }
    unlink(path.c_str());
    state.counters["file_MB"] = static_cast<double>(text.size()) / 1e6;
    state.counters["held_MB"] = held / 1e6;
    state.counters["held_per_file_byte"] = held / static_cast<double>(text.size());
}

// One line of 100 MB without a TAB: its text fills all six fields.
void BM_ProjectMemoryOneLongLine(benchmark::State& state) {
    projectMemory(state, "header\r\n" + std::string(100'000'000, 'x') + "\r\n");
}
BENCHMARK(BM_ProjectMemoryOneLongLine)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ProjectMemory1MRecords(benchmark::State& state) {
    projectMemory(state, encodeProjectText(widthbench::sampleRecords(1'000'000)));
}
BENCHMARK(BM_ProjectMemory1MRecords)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
