// marrowby-cli download: receives one transmission from the meter through the serial engine
// and the download parser, and writes the rows as a DM file. A transfer that ends early (the
// link is lost, the timeout passes, SIGINT or SIGTERM) keeps the rows of every completed group,
// as the program does when a transfer is cancelled, and exits with status 3.

#include "depth/cli/cli.h"
#include "depth/cli/cli_io.h"

#include "common/atomic_file.h"
#include "common/temporary_files.h"

#include "depth/document/view_data.h"
#include "depth/download/download_parser.h"
#include "depth/ports/port_map.h"
#include "depth/ports/qt/port_enumeration.h"
#include "depth/serial/qt/serial_port.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace marrowby::cli {
namespace {

void say(std::string_view text) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

// While the transfer runs, SIGINT and SIGTERM end it the way a lost link does: they are handed
// to the event loop through a pipe. Once it has ended they remove temporary files and end the
// process as usual.
int g_signalPipe[2] = {-1, -1};
std::atomic<bool> g_receiving{false};

extern "C" void onStopSignal(int signal) {
    if (!g_receiving.load()) {
        tessera::removeTemporaryFilesAndRaise(signal);
    }
    const int savedErrno = errno;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] ssize_t n = ::write(g_signalPipe[1], &byte, 1);
    errno = savedErrno;
}

// Receives the engine's byte events on the event loop's thread and feeds the parser.
class Receiver : public QObject {
public:
    Receiver(PortEngine& engine, std::string out) : m_engine(engine), m_out(std::move(out)) {}

    std::vector<DepthRecord> records;

    // Ends a transfer that stopped early (`why` says how): the rows of the completed groups are
    // written when there is at least one group. Exits the event loop with kTimeout, or with
    // kFailure when they cannot be written. Nothing happens once the transfer has ended.
    void endEarly(const std::string& why) {
        if (m_bFinished)
            return;
        m_bFinished = true;
        g_receiving = false;
        m_engine.Close();
        if (m_groupsDone == 0) {
            error(why + "；没有接收完整的组，未写入任何内容");
            QCoreApplication::exit(kTimeout);
            return;
        }
        if (!writeRows())
            return;
        error(why + "；保留了完整接收的 " + std::to_string(m_groupsDone) + " 组数据，" +
              std::to_string(records.size()) + " 行已写入" + quoted(m_out));
        QCoreApplication::exit(kTimeout);
    }

protected:
    bool event(QEvent* e) override {
        if (e->type() != UM_PORT_BYTE)
            return QObject::event(e);
        if (!m_bFinished)
            onByte(static_cast<PortByteEvent*>(e)->byte());
        return true;
    }

private:
    void onByte(uint8_t c) {
        if (m_nBytes++ == 0)
            m_firstByte = std::chrono::steady_clock::now();
        const ByteOutcome out = m_parser.onByte(c);
        if (out.groupClosed) {
            m_groupsDone = out.groupsDone;
            if (out.countMismatch)
                say(kCountMismatchMessage);
            say(groupLabel(out.groupsDone));
        }
        if (out.endOfTransfer)
            finish();
    }

    // Writes the rows received so far with the initial header fields; on failure exits the
    // event loop with kFailure and returns false.
    bool writeRows() {
        DepthViewData view;
        view.refreshFrom(records);
        if (!writeOutput(m_out, view.toDm())) {
            QCoreApplication::exit(kFailure);
            return false;
        }
        return true;
    }

    void finish() {
        m_bFinished = true;
        g_receiving = false;
        m_engine.Close();
        if (!writeRows())
            return;
        say(kTransferCompleteMessage);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - m_firstByte).count();
        std::fprintf(stderr, "marrowby-cli: %zu 行已写入%s（%lld 字节，用时 %.3f 秒）\n",
                     records.size(), quoted(m_out).c_str(), m_nBytes, seconds);
        QCoreApplication::exit(kOk);
    }

    PortEngine& m_engine;
    std::string m_out;
    DownloadParser m_parser{records};
    bool m_bFinished = false;
    int m_groupsDone = 0;   // groups completed so far; their rows are in `records`
    long long m_nBytes = 0; // bytes handled, and when the first one came
    std::chrono::steady_clock::time_point m_firstByte;
};

bool parseCount(const std::string& text, int& value) {
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || v < 0 || v > 1000000)
        return false;
    value = static_cast<int>(v);
    return true;
}

bool parseSeconds(const std::string& text, double& value) {
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !std::isfinite(v) || v <= 0 || v > 2e6)
        return false;
    value = v;
    return true;
}

int download(const tessera::cli::Arguments& args) {
    const auto& positional = args.positional;
    const auto& options = args.options;
    int port = 1;
    std::string out;
    double timeout = 0; // 0: wait for the end byte forever
    std::string timeoutText;
    for (const auto& [name, value] : options) {
        if (name == "--port" && !parseCount(value, port)) {
            error("--port 需要端口号，而不是“" + value + "”");
            return kFailure;
        }
        if (name == "--timeout") {
            if (!parseSeconds(value, timeout)) {
                error("--timeout 需要大于 0 的秒数，而不是“" + value + "”");
                return kFailure;
            }
            timeoutText = value;
        }
        if (name == "--out")
            out = value;
    }
    if (!positional.empty() || out.empty()) {
        return tessera::cli::usageError();
    }
    // A folder, or a place that cannot be written, fails now rather than after the whole
    // transmission.
    std::string reason;
    if (!tessera::canWriteFile(out, &reason)) {
        error("无法写入" + quoted(out) + "：" + reason);
        return kFailure;
    }

    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance()) {
        // Qt's plain Unix event dispatcher instead of the GLib one: it coalesces the wake-ups
        // of posted events, and the engine posts one event per received byte. With GLib every
        // byte costs a main-context wake-up, which caps a download at a few hundred kB/s.
        if (qEnvironmentVariableIsEmpty("QT_NO_GLIB"))
            qputenv("QT_NO_GLIB", "1");
        static int argc = 1;
        static char name[] = "marrowby-cli";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // The same choice as the program: the bridge's port wins over the one asked for.
    const PortMap map = currentPortMap();
    const int number = transferPortNumber(port, map);
    SerialPort engine;
    Receiver receiver(engine, out);
    // The engine's error boxes become lines on stderr: a command-line tool has no boxes. After
    // a final one (the link is lost) nothing more arrives: the transfer ends with what it has.
    engine.setErrorHandler([&receiver](const PortError& e) {
        std::string text = portErrorText(e);
        while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
            text.pop_back();
        say(std::string(kPortErrorCaption) + ": " + text);
        if (e.final)
            QTimer::singleShot(0, &receiver,
                               [&receiver] { receiver.endEarly("与测深仪的连接已断开"); });
    });
    int status;
    if (!engine.Open(&receiver, number, devicePathFor(map, number).value_or(std::string()))) {
        say(kOpenFailedMessage);
        if (!engine.lastOpenError().isEmpty())
            say(engine.lastOpenError().toStdString());
        engine.Close();
        status = kFailure;
    } else {
        std::fprintf(stderr, "marrowby-cli: 正在 COM%d 上等待测深仪\n", number);
        std::unique_ptr<QSocketNotifier> stopNotifier;
        if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
            stopNotifier =
                std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
            QObject::connect(stopNotifier.get(), &QSocketNotifier::activated, [&receiver] {
                char signal = 0;
                [[maybe_unused]] ssize_t n = ::read(g_signalPipe[0], &signal, 1);
                receiver.endEarly(signal == SIGINT ? "已中断（SIGINT）" : "已停止（SIGTERM）");
            });
            g_receiving = true;
            struct sigaction sa {};
            sa.sa_handler = onStopSignal;
            sigemptyset(&sa.sa_mask);
            for (int signal : {SIGINT, SIGTERM}) {
                struct sigaction old {};
                if (::sigaction(signal, nullptr, &old) == 0 && old.sa_handler != SIG_IGN)
                    ::sigaction(signal, &sa, nullptr);
            }
        }
        engine.StartWorker();
        QTimer timer;
        if (timeout > 0) {
            timer.setSingleShot(true);
            timer.setTimerType(Qt::PreciseTimer);
            QObject::connect(&timer, &QTimer::timeout, [&] {
                receiver.endEarly(timeoutText + " 秒内没有收到传输的结束标志");
            });
            timer.start(static_cast<int>(std::min(timeout * 1000.0, 2e9)));
        }
        status = QCoreApplication::exec();
        g_receiving = false;
        engine.Close();
    }
    return status;
}

const tessera::cli::Command downloadCommand("download",
                                            "download [--port N] --out OUT.DM [--timeout S]",
                                            {"--port", "--out", "--timeout"}, download);

} // namespace
} // namespace marrowby::cli
