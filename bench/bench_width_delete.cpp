// Fallowmere: deleting many records at once from a large project, as `fallowmere-cli delete`
// does (each name looked up in the rows, the rows deleted with their photographs, the project
// file written once), against writing the same project alone.

#include "bench_width_data.h"
#include "width/list/record_list.h"
#include "width/project/cm_file.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>
#include <unistd.h>

using namespace fallowmere;

namespace {

constexpr size_t kRecords = 1'000'000;
constexpr size_t kDeleted = 4'000;

struct Sample {
    std::string folder;
    std::string project;
    std::string projectBytes;
    std::vector<std::string> names; // deleted, spread over the list

    Sample() {
        folder = "/tmp/bench_width_delete_" + std::to_string(getpid());
        project = folder + "/p.cm";
        std::filesystem::create_directories(folder + "/CrackData");
        const auto records = widthbench::sampleRecords(kRecords);
        projectBytes = encodeProjectText(records);
        for (size_t k = 0; k < kDeleted; ++k)
            names.push_back(records[k * (kRecords / kDeleted) + 7].strName);
    }
    ~Sample() { std::filesystem::remove_all(folder); }

    // The project file, and with `photographs` one for each name to delete, as before every
    // run.
    bool lay(bool photographs) const {
        std::string message;
        if (!writeProjectBytes(project, projectBytes, message))
            return false;
        for (const std::string& name : names)
            if (photographs &&
                !writeProjectBytes(folder + "/CrackData/" + name + ".jpg", "jpeg", message))
                return false;
        return true;
    }
};

const Sample& sample() {
    static const Sample s;
    return s;
}

// The project opened outside the timing; timed: the names looked up in the rows and the
// Delete command (the project file written once). Argument 1: each record has a photograph,
// which is deleted too (one unlink each, whatever the file system makes of it).
void BM_DeleteManyNames(benchmark::State& state) {
    const Sample& s = sample();
    StdFileOps fs;
    widthbench::SilentPrompts prompts;
    prompts.answerYes = true;
    ByteOrderCollator bytes;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<CQuenbyDoc>();
        auto rows = std::make_unique<RecordRows>();
        auto list = std::make_unique<RecordList>(*doc, *rows, fs, prompts, bytes);
        if (!s.lay(state.range(0) == 1) || !doc->openProject(s.project, fs).error.empty()) {
            state.SkipWithError("cannot lay out the sample project");
            return;
        }
        list->refresh();
        doc->setMultiMode();
        ::sync(); // the sample's own files on disk before the timing starts
        state.ResumeTiming();
        for (const std::string& name : s.names)
            if (auto row = rows->findName(name))
                rows->setChecked(*row, true);
        list->deleteRecords();
        state.PauseTiming();
        if (rows->size() != kRecords - kDeleted)
            state.SkipWithError("unexpected row count");
        list.reset();
        rows.reset();
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["records"] = static_cast<double>(kRecords);
    state.counters["deleted"] = static_cast<double>(kDeleted);
}
BENCHMARK(BM_DeleteManyNames)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same project written without the delete: what the delete costs beyond the write.
void BM_WriteOnly(benchmark::State& state) {
    const Sample& s = sample();
    StdFileOps fs;
    widthbench::SilentPrompts prompts;
    ByteOrderCollator bytes;
    CQuenbyDoc doc;
    RecordRows rows;
    RecordList list(doc, rows, fs, prompts, bytes);
    if (!s.lay(false) || !doc.openProject(s.project, fs).error.empty()) {
        state.SkipWithError("cannot lay out the sample project");
        return;
    }
    list.refresh();
    ::sync();
    for (auto _ : state)
        if (!list.WriteProjectFile(s.project))
            state.SkipWithError("write failed");
}
BENCHMARK(BM_WriteOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
