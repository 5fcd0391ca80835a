// marrowby-cli download: receives one transmission from the meter through the serial engine
// and the download parser, and writes the rows as a DM file.

#include "depth/cli/cli.h"
#include "depth/cli/cli_io.h"

#include "depth/document/view_data.h"
#include "depth/download/download_parser.h"
#include "depth/ports/port_map.h"
#include "depth/ports/qt/port_enumeration.h"
#include "depth/serial/qt/serial_port.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace marrowby::cli {
namespace {

void say(std::string_view text) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

// Receives the engine's byte events on the event loop's thread and feeds the parser.
class Receiver : public QObject {
public:
    Receiver(PortEngine& engine, std::string out) : m_engine(engine), m_out(std::move(out)) {}

    std::vector<DepthRecord> records;

    // Ends the download without writing (timeout); false when it has already ended.
    bool abandon() {
        if (m_bFinished)
            return false;
        m_bFinished = true;
        m_engine.Close();
        return true;
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
            if (out.countMismatch)
                say(kCountMismatchMessage);
            say(groupLabel(out.groupsDone));
        }
        if (out.endOfTransfer)
            finish();
    }

    void finish() {
        m_bFinished = true;
        m_engine.Close();
        DepthViewData view;
        view.refreshFrom(records);
        if (!writeOutput(m_out, view.toDm())) {
            QCoreApplication::exit(kFailure);
            return;
        }
        say(kTransferCompleteMessage);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - m_firstByte).count();
        std::fprintf(stderr, "marrowby-cli: %zu rows written to %s (%lld bytes in %.3f s)\n",
                     records.size(), m_out.c_str(), m_nBytes, seconds);
        QCoreApplication::exit(kOk);
    }

    PortEngine& m_engine;
    std::string m_out;
    DownloadParser m_parser{records};
    bool m_bFinished = false;
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
            error("--port needs a port number, not " + value);
            return kFailure;
        }
        if (name == "--timeout") {
            if (!parseSeconds(value, timeout)) {
                error("--timeout needs a positive number of seconds, not " + value);
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
    // The engine's error boxes become lines on stderr: a command-line tool has no boxes.
    engine.setErrorHandler([](const PortError& e) {
        std::string text = portErrorText(e);
        while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
            text.pop_back();
        say(std::string(kPortErrorCaption) + ": " + text);
    });
    Receiver receiver(engine, out);
    int status;
    if (!engine.Open(&receiver, number, devicePathFor(map, number).value_or(std::string()))) {
        say(kOpenFailedMessage);
        if (!engine.lastOpenError().isEmpty())
            say(engine.lastOpenError().toStdString());
        engine.Close();
        status = kFailure;
    } else {
        std::fprintf(stderr, "marrowby-cli: waiting for the meter on COM%d\n", number);
        engine.StartWorker();
        QTimer timer;
        if (timeout > 0) {
            timer.setSingleShot(true);
            timer.setTimerType(Qt::PreciseTimer);
            QObject::connect(&timer, &QTimer::timeout, [&] {
                if (!receiver.abandon())
                    return; // the end byte came first
                error("no end of transmission within " + timeoutText + " seconds; nothing written");
                QCoreApplication::exit(kTimeout);
            });
            timer.start(static_cast<int>(std::min(timeout * 1000.0, 2e9)));
        }
        status = QCoreApplication::exec();
        engine.Close();
    }
    return status;
}

const tessera::cli::Command downloadCommand("download",
                                            "download [--port N] --out OUT.DM [--timeout S]",
                                            {"--port", "--out", "--timeout"}, download);

} // namespace
} // namespace marrowby::cli
