// Sorting 100,000 record-list rows by a text column with the zh_CN collator.

#include "bench_width_data.h"
#include "width/list/qt/zh_collator.h"
#include "width/list/record_rows.h"

#include <algorithm>
#include <benchmark/benchmark.h>

using namespace fallowmere;

namespace {

void BM_SortByTextColumnZh(benchmark::State& state) {
    auto records = widthbench::sampleRecords(static_cast<size_t>(state.range(0)));
    std::vector<const CRecordStru*> pointers;
    for (const auto& r : records)
        pointers.push_back(&r);
    std::mt19937 rng(3);
    const ZhCollator zh;
    RecordRows rows;
    for (auto _ : state) {
        state.PauseTiming();
        std::shuffle(pointers.begin(), pointers.end(), rng);
        rows.clear();
        rows.append(pointers);
        state.ResumeTiming();
        rows.SortByColumn(state.range(1), true, zh);
    }
}
// Column 1: names, all different; column 4: remarks, two different texts.
BENCHMARK(BM_SortByTextColumnZh)
    ->Args({100'000, 1})
    ->Args({100'000, 4})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
