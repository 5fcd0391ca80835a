// Refreshing a depth window of 100,000 rows from its document (rows rebuilt, model reset,
// scroll position restored, the visible part painted).

#include "depth/app/ui/marrowby_view.h"

#include <QApplication>
#include <benchmark/benchmark.h>

using namespace marrowby;

namespace {

void BM_RefreshView100k(benchmark::State& state) {
    auto doc = std::make_shared<CMarrowbyDoc>();
    for (int i = 0; i < 100'000; ++i)
        doc->appendRecord({i / 100, i % 1000, i % 37, 100 + i % 900, ""});
    CMarrowbyView view(doc);
    view.resize(500, 700);
    view.show();
    QApplication::processEvents();
    for (auto _ : state) {
        doc->updateAllViews(0);
        view.repaint();
        QApplication::processEvents();
    }
    state.counters["rows"] = static_cast<double>(view.rows().size());
}
BENCHMARK(BM_RefreshView100k)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
