// The program's own download path: the serial engine, the Qt event queue and the progress
// dialog CTransferDlg, receiving from the simulated meter. For each sending rate, whether every
// record arrived, the rate the engine's worker sustained on the link, and the rate from the
// first byte the dialog received to the completion message (see bench_download_link.cpp).

#include "bench_download_util.h"

#include "depth/document/depth_doc.h"
#include "depth/download/ui/data_transfer.h"
#include "tests/support/scripted_prompt.h"

#include <QApplication>
#include <QEvent>
#include <chrono>
#include <cstdio>

using namespace bench_download;

namespace {

constexpr int kGroups = 100;
constexpr int kRecords = 999; // 99,900 records, 899,301 bytes

using Clock = std::chrono::steady_clock;

struct Result {
    bool complete = false;
    double seconds = 0; // the simulator's sending time
    double dialog = 0;  // from the first byte event to the completion message
    long long bytes = 0;
};

// Notes when the first byte event reaches any object.
class FirstByte : public QObject {
public:
    Clock::time_point at{};
    bool seen = false;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (!seen && e->type() == marrowby::UM_PORT_BYTE) {
            seen = true;
            at = Clock::now();
        }
        return QObject::eventFilter(o, e);
    }
};

Result runOnce(long long rate) {
    Result result;
    const std::string dir = makeTempDir();
    if (dir.empty())
        return result;
    const std::string link = dir + "/meter", map = dir + "/ports.map";
    writePortMap(map, link);
    pid_t meter = spawn({binDir() + "/marrowby-cli", "simulate-meter", "--link", link, "--groups",
                         std::to_string(kGroups), "--records", std::to_string(kRecords), "--rate",
                         std::to_string(rate), "--delay", "100", "--timeout", "60"},
                        dir + "/meter.log");
    if (meter > 0 && waitForPath(link)) {
        setenv("MARROWBY_PORT_MAP", map.c_str(), 1);
        tessera::ScriptedPrompt prompt;
        Clock::time_point done{};
        prompt.onShown = [&](const tessera::ScriptedPrompt::Shown&) {
            if (done == Clock::time_point{})
                done = Clock::now();
        };
        FirstByte first;
        qApp->installEventFilter(&first);
        marrowby::CMarrowbyDoc doc;
        marrowby::OnDataTransfer(doc, nullptr);
        qApp->removeEventFilter(&first);
        if (first.seen && done != Clock::time_point{})
            result.dialog = std::chrono::duration<double>(done - first.at).count();
        waitFor(meter);
        long long total = 0;
        meterSent(readFile(dir + "/meter.log"), result.bytes, total, result.seconds);
        result.complete = doc.records.size() == static_cast<size_t>(kGroups) * kRecords &&
                          prompt.messageTexts() == QStringList{QStringLiteral("数据传输完毕！")} &&
                          result.bytes == total;
        if (!result.complete)
            std::fprintf(stderr, "rate %lld: %zu records, messages: %s\n", rate, doc.records.size(),
                         qPrintable(prompt.messageTexts().join(" | ")));
    } else if (meter > 0) {
        kill(meter, SIGTERM);
        waitFor(meter);
    }
    removeTree(dir);
    return result;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("CTransferDlg with SerialPort from simulate-meter, %d groups x %d records\n",
                kGroups, kRecords);
    std::printf("%12s %12s %14s %s\n", "target B/s", "link B/s", "end-to-end B/s", "all records");
    int failures = 0;
    for (long long rate : {100'000LL, 200'000LL, 400'000LL, 800'000LL, 0LL}) {
        const Result r = runOnce(rate);
        const double link = r.seconds > 0 ? static_cast<double>(r.bytes) / r.seconds : 0;
        const double e2e = r.dialog > 0 ? static_cast<double>(r.bytes) / r.dialog : 0;
        std::printf("%12s %12.0f %14.0f %s\n", rate ? std::to_string(rate).c_str() : "unlimited",
                    link, e2e, r.complete ? "yes" : "NO");
        std::fflush(stdout);
        failures += !r.complete;
    }
    return failures ? 1 : 0;
}
