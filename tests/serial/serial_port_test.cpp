// The serial engine over pseudo-terminals: delivery, exclusivity, shutdown and failures.

#include "pty_fixture.h"

#include "tests/support/scripted_prompt.h"
#include "depth/serial/port_error.h"

#include <QEventLoop>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <memory>
#include <sys/resource.h>

using namespace marrowby;
using namespace marrowby::test;
using tessera::ScriptedPrompt;

namespace {

constexpr int kPort = 7;
constexpr int kWait = 20000; // generous: CI machines are shared

bool openPort(SerialPort& port, QObject* owner, int n = kPort) {
    return port.Open(owner, n, 38400, 'N', 8, 1, 9);
}

double processCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// An engine whose next reads fail with a given error, to reach the read-error path.
class FailingReadPort : public SerialPort {
public:
    std::atomic<int> failures{0};
    int error = ENOMEM;

protected:
    ssize_t readDevice(int fd, void* buffer, size_t size) override {
        if (failures.load() > 0) {
            failures.fetch_sub(1);
            errno = error;
            return -1;
        }
        return SerialPort::readDevice(fd, buffer, size);
    }
};

QString errorText(const char* label, int error) {
    return QString::fromStdString(formatPortError(label, systemErrorText(error), kPort));
}

} // namespace

class SerialPortTest : public QObject {
    Q_OBJECT

private slots:
    void deliversEveryByteValueInOrderAndTransmitsNothing() {
        Pty pty;
        QVERIFY(pty.ok());
        PortMapFile map(PortMapFile::bridgeAt(kPort, pty.slave));
        ScriptedPrompt prompt;
        ByteSink sink;
        sink.expectedPort = kPort;
        SerialPort port;
        QVERIFY(openPort(port, &sink));
        QCOMPARE(port.state(), SerialPort::State::Open);
        QVERIFY(port.StartWorker());
        QCOMPARE(port.state(), SerialPort::State::Running);
        QVERIFY(port.workerAlive());

        // Every byte value, control characters that a cooked terminal would eat or answer
        // (^C, ^D, ^Q, ^S, CR, DEL) included, twice; then a 100 kB burst.
        QByteArray expected;
        for (int round = 0; round < 2; ++round)
            for (int b = 0; b < 256; ++b)
                expected.append(static_cast<char>(b));
        QVERIFY(pty.send(expected));
        QByteArray burst(100 * 1024, '\0');
        for (int i = 0; i < burst.size(); ++i)
            burst[i] = static_cast<char>((i * 131 + i / 256) & 0xFF);
        QVERIFY(pty.send(burst));
        expected += burst;
        QTRY_COMPARE_WITH_TIMEOUT(sink.events, int(expected.size()), kWait);
        QCOMPARE(sink.bytes, expected);
        QCOMPARE(sink.wrongPort, 0);
        QVERIFY(prompt.shown.isEmpty());

        QVERIFY(port.Close());
        QCOMPARE(port.state(), SerialPort::State::Closed);
        QVERIFY(!port.workerAlive());
        QCOMPARE(pty.transmitted(), QByteArray());
    }

    void bytesWaitingBeforeOpenArePurged() {
        Pty pty;
        QVERIFY(pty.ok());
        PortMapFile map(PortMapFile::bridgeAt(kPort, pty.slave));
        ByteSink sink;
        sink.expectedPort = kPort;
        QVERIFY(pty.send("stale bytes"));
        SerialPort port;
        QVERIFY(openPort(port, &sink));
        QVERIFY(port.StartWorker());
        QVERIFY(pty.send("DE001002012034150013001095BA"));
        QTRY_COMPARE_WITH_TIMEOUT(sink.bytes.size(), qsizetype(28), kWait);
        QCOMPARE(sink.bytes, QByteArray("DE001002012034150013001095BA"));
        port.Close();
    }

    void missingDeviceFailsWithoutABox() {
        ScriptedPrompt prompt;
        ByteSink sink;
        PortMapFile map("[serialcomm]\n\\Device\\Serial0=COM1\n\\Device\\Serial1=COM2\n"
                        "[ports]\nCOM2=/nonexistent/tty\n");
        for (int n : {1, 2, 3}) {
            SerialPort port;
            QVERIFY(!openPort(port, &sink, n));
            QCOMPARE(port.state(), SerialPort::State::Failed);
            QVERIFY(!port.lastOpenError().isEmpty());
            QVERIFY(!port.StartWorker());
            QVERIFY(!port.workerAlive());
            QVERIFY(port.Close());
            QVERIFY(port.Close());
            QCOMPARE(port.state(), SerialPort::State::Closed);
        }
        QVERIFY(prompt.shown.isEmpty());
    }

    void unreadablePortMapOpensNothing() {
        ScriptedPrompt prompt;
        qputenv(kPortMapVariable, "/nonexistent/ports.map");
        SerialPort port;
        QVERIFY(!openPort(port, nullptr, 1));
        qunsetenv(kPortMapVariable);
        QVERIFY(prompt.shown.isEmpty());
    }

    void closeIsSafeInEveryState() {
        SerialPort fresh;
        QCOMPARE(fresh.state(), SerialPort::State::New);
        QVERIFY(fresh.Close());
        QVERIFY(fresh.Close());

        Pty pty;
        QVERIFY(pty.ok());
        PortMapFile map(PortMapFile::bridgeAt(kPort, pty.slave));
        ByteSink sink;
        sink.expectedPort = kPort;
        SerialPort port;
        QVERIFY(openPort(port, &sink));
        QVERIFY(port.Close()); // open, never started
        QVERIFY(port.Close());
        // The engine can be opened again after Close and delivers as before.
        QVERIFY(openPort(port, &sink));
        QVERIFY(port.StartWorker());
        QVERIFY(pty.send("xyz"));
        QTRY_COMPARE_WITH_TIMEOUT(sink.bytes, QByteArray("xyz"), kWait);
        QVERIFY(port.Close());
        QVERIFY(port.Close());
        QVERIFY(!port.workerAlive());
    }

    void deviceIsExclusive() {
        Pty pty;
        QVERIFY(pty.ok());
        PortMapFile map(PortMapFile::bridgeAt(kPort, pty.slave));
        ScriptedPrompt prompt;
        ByteSink sink;
        SerialPort first, second;
        QVERIFY(openPort(first, &sink));
        QVERIFY(first.StartWorker());
        QVERIFY(!openPort(second, &sink));
        QVERIFY(!second.lastOpenError().isEmpty());
        first.Close();
        QVERIFY(openPort(second, &sink));
        second.Close();

        // An engine destroyed while running stops its worker and lets the device go.
        auto running = std::make_unique<SerialPort>();
        QVERIFY(openPort(*running, &sink));
        QVERIFY(running->StartWorker());
        running.reset();
        QVERIFY(openPort(first, &sink));
        first.Close();
        QVERIFY(prompt.shown.isEmpty());
    }

    void configurationErrorsAreReportedAndThePortStaysOpen() {
        ScriptedPrompt prompt;
        {
            // Not a terminal: the line state cannot be read.
            PortMapFile map(PortMapFile::bridgeAt(kPort, "/dev/null"));
            SerialPort port;
            QVERIFY(openPort(port, nullptr));
            QCOMPARE(port.state(), SerialPort::State::Open);
            port.Close();
        }
        QCOMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].caption, QStringLiteral("Application Error"));
        QCOMPARE(prompt.shown[0].icon, tessera::PromptIcon::Stop);
        QCOMPARE(prompt.shown[0].text, errorText("GetCommState()", ENOTTY));
        {
            Pty pty;
            QVERIFY(pty.ok());
            PortMapFile map(PortMapFile::bridgeAt(kPort, pty.slave));
            SerialPort port;
            QVERIFY(port.Open(nullptr, kPort, 12345, 'N', 8, 1, 9));
            port.Close();
            QVERIFY(port.Open(nullptr, kPort, 38400, 'X', 8, 1, 9));
            port.Close();
        }
        QCOMPARE(prompt.shown.size(), 3);
        QCOMPARE(prompt.shown[1].text, errorText("BuildCommDCB()", EINVAL));
        QCOMPARE(prompt.shown[2].text, errorText("BuildCommDCB()", EINVAL));
    }

    void vanishingDeviceIsReportedOnceAndTheWorkerIdles() {
        Pty pty;
        QVERIFY(pty.ok());
        PortMapFile map(PortMapFile::bridgeAt(kPort, pty.slave));
        ScriptedPrompt prompt;
        ByteSink sink;
        sink.expectedPort = kPort;
        SerialPort port;
        QVERIFY(openPort(port, &sink));
        QVERIFY(port.StartWorker());
        QVERIFY(pty.send("DE001"));
        QTRY_COMPARE_WITH_TIMEOUT(sink.bytes, QByteArray("DE001"), kWait);
        pty.closeMaster(); // the line hangs up, as when the bridge is unplugged
        QTRY_COMPARE_WITH_TIMEOUT(prompt.shown.size(), 1, kWait);
        QCOMPARE(prompt.shown[0].caption, QStringLiteral("Application Error"));
        QCOMPARE(prompt.shown[0].icon, tessera::PromptIcon::Stop);
        QCOMPARE(prompt.shown[0].text, errorText("ReadFile()", EIO));

        // No spinning and no stream of boxes: over a second the process stays nearly idle.
        const double before = processCpuSeconds();
        QTest::qWait(1000);
        const double used = processCpuSeconds() - before;
        QVERIFY2(used < 0.3, qPrintable(QStringLiteral("%1 s of processor time").arg(used)));
        QCOMPARE(prompt.shown.size(), 1);
        QVERIFY(port.workerAlive());
        QVERIFY(port.Close());
        QVERIFY(!port.workerAlive());
        QCOMPARE(sink.bytes, QByteArray("DE001"));
    }

    void closeWhileTheHangUpBoxIsOpenReturns() {
        Pty pty;
        QVERIFY(pty.ok());
        PortMapFile map(PortMapFile::bridgeAt(kPort, pty.slave));
        ScriptedPrompt prompt;
        ByteSink sink;
        SerialPort port;
        bool closedInsideBox = false;
        prompt.onShown = [&](const ScriptedPrompt::Shown&) {
            // The box stays open until Close has returned.
            QEventLoop box;
            QTimer::singleShot(0, &box, [&] {
                port.Close();
                closedInsideBox = true;
                box.quit();
            });
            box.exec();
        };
        QVERIFY(openPort(port, &sink));
        QVERIFY(port.StartWorker());
        pty.closeMaster();
        QTRY_VERIFY_WITH_TIMEOUT(closedInsideBox, kWait);
        QVERIFY(!port.workerAlive());
        QCOMPARE(port.state(), SerialPort::State::Closed);
    }

    void readErrorWaitsForTheBoxThenReadingGoesOn() {
        Pty pty;
        QVERIFY(pty.ok());
        PortMapFile map(PortMapFile::bridgeAt(kPort, pty.slave));
        ScriptedPrompt prompt;
        ByteSink sink;
        sink.expectedPort = kPort;
        FailingReadPort port;
        port.failures = 1;
        QVERIFY(openPort(port, &sink));
        QVERIFY(port.StartWorker());
        QVERIFY(pty.send("ab"));
        QTRY_COMPARE_WITH_TIMEOUT(sink.bytes, QByteArray("ab"), kWait);
        QCOMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].text, errorText("ReadFile()", ENOMEM));
        QVERIFY(pty.send("cd"));
        QTRY_COMPARE_WITH_TIMEOUT(sink.bytes, QByteArray("abcd"), kWait);
        QCOMPARE(prompt.shown.size(), 1);
        port.Close();
    }

    void closeWhileTheWorkerWaitsForItsBoxReturns() {
        Pty pty;
        QVERIFY(pty.ok());
        PortMapFile map(PortMapFile::bridgeAt(kPort, pty.slave));
        ScriptedPrompt prompt;
        ByteSink sink;
        FailingReadPort port;
        port.failures = 1;
        bool closedInsideBox = false;
        prompt.onShown = [&](const ScriptedPrompt::Shown&) {
            QEventLoop box;
            QTimer::singleShot(0, &box, [&] {
                port.Close(); // the worker is blocked until this box closes or Close asks
                closedInsideBox = true;
                box.quit();
            });
            box.exec();
        };
        QVERIFY(openPort(port, &sink));
        QVERIFY(port.StartWorker());
        QVERIFY(pty.send("a"));
        QTRY_VERIFY_WITH_TIMEOUT(closedInsideBox, kWait);
        QVERIFY(!port.workerAlive());
        QCOMPARE(prompt.shown.size(), 1);
        QVERIFY(sink.bytes.isEmpty());
    }

    void shutdownWinsOverPendingData() {
        Pty pty;
        QVERIFY(pty.ok());
        PortMapFile map(PortMapFile::bridgeAt(kPort, pty.slave));
        ByteSink sink;
        SerialPort port;
        QVERIFY(openPort(port, &sink));
        QVERIFY(port.StartWorker());
        // Keep the line busy while Close runs: Close still returns and no byte is posted after.
        std::atomic<bool> stop{false};
        std::thread feeder([&] {
            QByteArray chunk(4096, 'x');
            while (!stop) {
                if (::write(pty.master, chunk.constData(), chunk.size()) < 0) {
                    pollfd p{pty.master, POLLOUT, 0};
                    poll(&p, 1, 10);
                }
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(sink.events > 0, kWait);
        QVERIFY(port.Close());
        QVERIFY(!port.workerAlive());
        QCoreApplication::sendPostedEvents();
        const int delivered = sink.events;
        QTest::qWait(50);
        QCOMPARE(sink.events, delivered);
        stop = true;
        feeder.join();
    }
};

QTEST_GUILESS_MAIN(SerialPortTest)
#include "serial_port_test.moc"
