// Download parser throughput: a meter transmission decoded one byte at a time, as the progress
// dialog and marrowby-cli download do.

#include "depth/download/download_parser.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

using namespace marrowby;

namespace {

void append3(std::string& out, int v) {
    v %= 1000;
    out += static_cast<char>('0' + v / 100);
    out += static_cast<char>('0' + v / 10 % 10);
    out += static_cast<char>('0' + v % 10);
}

// A well-formed transmission of `groups` groups of `records` records each.
std::string transmission(int groups, int records) {
    std::string s = "D";
    for (int g = 1; g <= groups; ++g) {
        s += 'E';
        append3(s, g);
        append3(s, records);
        for (int r = 0; r < records; ++r) {
            append3(s, r % 999 + 1);
            append3(s, (7 * g + r) % 1000);
            append3(s, (131 * g + 17 * r) % 1000);
        }
        s += 'B';
    }
    s += 'A';
    return s;
}

void BM_DownloadParser(benchmark::State& state) {
    const std::string stream =
        transmission(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const size_t expected = static_cast<size_t>(state.range(0) * state.range(1));
    std::vector<DepthRecord> records;
    records.reserve(expected);
    for (auto _ : state) {
        records.clear();
        DownloadParser parser(records);
        bool ended = false;
        for (char c : stream)
            ended |= parser.onByte(static_cast<uint8_t>(c)).endOfTransfer;
        benchmark::DoNotOptimize(records.data());
        if (!ended || records.size() != expected)
            state.SkipWithError("transmission not decoded completely");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(stream.size()));
    state.counters["records"] = static_cast<double>(expected);
}
// The simulated meter's default (5 x 20), a full meter (999 x 999 = 998,001 records, 9 MB).
BENCHMARK(BM_DownloadParser)->Args({5, 20})->Args({999, 999})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
