// Fallowmere's settings file (QB.ini) when it has grown large: reading the five values as the
// program does at start-up, and the settings dialog's OK (read, one value changed, the whole
// file written atomically with fsync).

#include "common/atomic_file.h"
#include "width/app/inspection_settings.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <unistd.h>

using namespace fallowmere;

namespace {

// A settings file of `lines` lines, all in the program's section, the five keys it reads last
// (the slowest place for a lookup that does not make one pass).
std::string settingsFileWith(size_t lines) {
    std::string text = "[Vantorel]\r\n";
    for (size_t i = 6; i < lines; ++i)
        text += "Key" + std::to_string(i) + "=value " + std::to_string(i) + "\r\n";
    text += "Company=c\r\nProjectName=p\r\nCensor=m\r\nChecker=k\r\nReceiver=r\r\n";
    std::string path = "/tmp/bench_qb_" + std::to_string(getpid()) + ".ini";
    return tessera::writeFileAtomically(path, text) ? path : std::string();
}

void BM_SettingsRead(benchmark::State& state) {
    const std::string path = settingsFileWith(static_cast<size_t>(state.range(0)));
    if (path.empty()) {
        state.SkipWithError("cannot write the settings file");
        return;
    }
    for (auto _ : state) {
        const SettingsRead read = readInspectionSettings(path);
        if (read.info.receiver != "r")
            state.SkipWithError("wrong value");
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_SettingsRead)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_SettingsReadAndWriteOneValue(benchmark::State& state) {
    const std::string path = settingsFileWith(static_cast<size_t>(state.range(0)));
    if (path.empty()) {
        state.SkipWithError("cannot write the settings file");
        return;
    }
    int n = 0;
    for (auto _ : state) {
        SettingsRead read = readInspectionSettings(path);
        read.info.checker = "k" + std::to_string(++n);
        std::string error;
        if (!writeInspectionSettings(path, read.info, &error))
            state.SkipWithError(error.c_str());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_SettingsReadAndWriteOneValue)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
