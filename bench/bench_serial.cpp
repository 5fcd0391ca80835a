// The serial engine receiving from a pseudo-terminal: the processor time it takes at the
// meter's line rate (38400 baud 8N1 = 3840 bytes/s), the largest rate it delivers without
// loss when the line is as fast as the terminal allows, and the processor time of an engine
// whose device hung up (target: below 0.3 s per second, the worker idles after one report).

#include <benchmark/benchmark.h>

#include "depth/serial/qt/serial_port.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

using namespace marrowby;

namespace {

using Clock = std::chrono::steady_clock;

double cpuSeconds(int who) {
    rusage u{};
    getrusage(who, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

uint8_t patternByte(uint64_t i) {
    return static_cast<uint8_t>((i * 131 + i / 251) & 0xFF);
}

// Owner of the engine: counts the bytes and checks each against the pattern.
class CountingSink : public QObject {
public:
    uint64_t received = 0;
    uint64_t wrong = 0;

protected:
    bool event(QEvent* e) override {
        if (e->type() != UM_PORT_BYTE)
            return QObject::event(e);
        wrong += static_cast<PortByteEvent*>(e)->byte() != patternByte(received);
        ++received;
        return true;
    }
};

// A pseudo-terminal standing in for the meter's line; the engine opens `device` as COM5.
struct Line {
    int master = -1;
    std::string device;
    Line() {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        grantpt(master);
        unlockpt(master);
        char name[128] = {};
        ptsname_r(master, name, sizeof name);
        device = name;
    }
    ~Line() { closeMaster(); }
    void closeMaster() {
        if (master >= 0)
            close(master);
        master = -1;
    }
};

// Writes `total` pattern bytes at `rate` bytes/s (0: as fast as possible) in writes of at most
// `chunk` bytes; returns the processor time this thread used.
double feed(int master, uint64_t total, double rate, size_t chunk) {
    const double cpuStart = cpuSeconds(RUSAGE_THREAD);
    std::vector<uint8_t> buffer(chunk);
    uint64_t sent = 0;
    const auto start = Clock::now();
    while (sent < total) {
        uint64_t due = total;
        if (rate > 0) {
            double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
            due = std::min<uint64_t>(total, static_cast<uint64_t>(elapsed * rate));
            if (due <= sent) {
                auto next = start + std::chrono::duration<double>((sent + 1) / rate);
                std::this_thread::sleep_until(std::chrono::time_point_cast<Clock::duration>(next));
                continue;
            }
        }
        size_t n = static_cast<size_t>(std::min<uint64_t>(due - sent, chunk));
        for (size_t i = 0; i < n; ++i)
            buffer[i] = patternByte(sent + i);
        ssize_t w = write(master, buffer.data(), n);
        if (w > 0)
            sent += static_cast<uint64_t>(w);
    }
    return cpuSeconds(RUSAGE_THREAD) - cpuStart;
}

// Runs the event loop until `done` or `limit` has passed (checked every 100 ms).
template <typename Done> void runUntil(Done done, double limit) {
    const auto end = Clock::now() + std::chrono::duration<double>(limit);
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done() || Clock::now() >= end)
            loop.quit();
    });
    check.start(100);
    loop.exec();
}

// Arg(0): the line rate in writes of whatever 1 ms brought (as a USB bridge delivers);
// Arg(1): the line rate one byte per write (a UART without FIFO, the worst case).
void BM_EngineCpuAtLineRate(benchmark::State& state) {
    const double seconds = 5.0, rate = 3840.0;
    const size_t chunk = state.range(0) == 0 ? 64 : 1;
    for (auto _ : state) {
        Line line;
        CountingSink sink;
        SerialPort port;
        if (!port.Open(&sink, 5, line.device) || !port.StartWorker()) {
            state.SkipWithError("cannot open the pseudo-terminal");
            return;
        }
        const uint64_t total = static_cast<uint64_t>(seconds * rate);
        const double cpuStart = cpuSeconds(RUSAGE_SELF);
        const double ownerStart = cpuSeconds(RUSAGE_THREAD);
        const auto wallStart = Clock::now();
        double feederCpu = 0;
        std::atomic<bool> fed{false};
        std::thread feeder([&] {
            if (chunk == 1) {
                // One byte per write, each at its own time.
                feederCpu = feed(line.master, total, rate, 1);
            } else {
                // Every millisecond, what arrived meanwhile.
                const double cpu0 = cpuSeconds(RUSAGE_THREAD);
                uint64_t sent = 0;
                const auto start = Clock::now();
                std::vector<uint8_t> buffer(chunk);
                while (sent < total) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
                    uint64_t due = std::min<uint64_t>(total, static_cast<uint64_t>(elapsed * rate));
                    size_t n = static_cast<size_t>(std::min<uint64_t>(due - sent, chunk));
                    for (size_t i = 0; i < n; ++i)
                        buffer[i] = patternByte(sent + i);
                    if (n && write(line.master, buffer.data(), n) > 0)
                        sent += n;
                }
                feederCpu = cpuSeconds(RUSAGE_THREAD) - cpu0;
            }
            fed = true;
        });
        runUntil([&] { return fed && sink.received >= total; }, seconds + 30);
        feeder.join();
        const double wall = std::chrono::duration<double>(Clock::now() - wallStart).count();
        const double ownerCpu = cpuSeconds(RUSAGE_THREAD) - ownerStart;
        const double engineCpu = cpuSeconds(RUSAGE_SELF) - cpuStart - feederCpu;
        port.Close();
        if (sink.received != total || sink.wrong)
            state.SkipWithError("bytes lost or changed");
        state.SetIterationTime(wall);
        state.counters["cpu_percent_of_one_core"] = 100.0 * engineCpu / wall;
        state.counters["engine_cpu_ms"] = engineCpu * 1000.0;
        // The split: the owner's thread (event delivery, and this benchmark's 100 ms check)
        // and the rest, which is the worker.
        state.counters["owner_thread_percent"] = 100.0 * ownerCpu / wall;
        state.counters["worker_percent"] = 100.0 * (engineCpu - ownerCpu) / wall;
        state.counters["bytes"] = static_cast<double>(sink.received);
    }
}
BENCHMARK(BM_EngineCpuAtLineRate)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

// As fast as the terminal takes bytes: 4 MB, delivered and checked.
void BM_EngineLargestRate(benchmark::State& state) {
    const uint64_t total = 4u << 20;
    for (auto _ : state) {
        Line line;
        CountingSink sink;
        SerialPort port;
        if (!port.Open(&sink, 5, line.device) || !port.StartWorker()) {
            state.SkipWithError("cannot open the pseudo-terminal");
            return;
        }
        const auto start = Clock::now();
        std::thread feeder([&] { feed(line.master, total, 0, 4096); });
        runUntil([&] { return sink.received >= total; }, 120);
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        feeder.join();
        port.Close();
        if (sink.received != total || sink.wrong)
            state.SkipWithError("bytes lost or changed");
        state.SetIterationTime(wall);
        state.counters["MB_per_s"] = static_cast<double>(total) / wall / 1e6;
        state.counters["x_line_rate"] = static_cast<double>(total) / wall / 3840.0;
    }
    state.SetBytesProcessed(static_cast<int64_t>(total * state.iterations()));
}
BENCHMARK(BM_EngineLargestRate)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// The line hangs up (the bridge is unplugged): one report, then the worker waits for Close
// without spinning. Processor time of the whole process over the second after the report.
void BM_EngineIdleAfterHangUp(benchmark::State& state) {
    for (auto _ : state) {
        Line line;
        CountingSink sink;
        SerialPort port;
        int reports = 0;
        port.setErrorHandler([&](const PortError&) { ++reports; });
        if (!port.Open(&sink, 5, line.device) || !port.StartWorker()) {
            state.SkipWithError("cannot open the pseudo-terminal");
            return;
        }
        line.closeMaster();
        runUntil([&] { return reports > 0; }, 20);
        const double cpuStart = cpuSeconds(RUSAGE_SELF);
        const auto wallStart = Clock::now();
        runUntil([] { return false; }, 1.0);
        const double wall = std::chrono::duration<double>(Clock::now() - wallStart).count();
        const double cpu = cpuSeconds(RUSAGE_SELF) - cpuStart;
        const bool alive = port.workerAlive();
        port.Close();
        state.SetIterationTime(wall);
        state.counters["cpu_seconds_per_second"] = cpu / wall;
        state.counters["reports"] = reports;
        if (reports != 1 || !alive)
            state.SkipWithError("the hang-up was not reported exactly once");
        else if (cpu / wall >= 0.3)
            state.SkipWithError("the engine keeps the processor busy after a hang-up");
    }
}
BENCHMARK(BM_EngineIdleAfterHangUp)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
