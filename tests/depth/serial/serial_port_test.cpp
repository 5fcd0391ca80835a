// The serial engine over pseudo-terminals: delivery, exclusivity, shutdown and failures.

#include "pty_fixture.h"

#include "common/error_text.h"
#include "depth/serial/port_error.h"

#include <QEventLoop>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <memory>
#include <thread>

using namespace marrowby;
using namespace marrowby::test;

namespace {

constexpr int kPort = 7;
constexpr int kWait = 20000; // generous: CI machines are shared

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
    return QString::fromStdString(formatPortError(label, tessera::errorText(error), kPort));
}

} // namespace

// Every test gets a fresh line (a pseudo-terminal), an owner collecting the byte events, and
// an error log; open() opens an engine on the line as port 7 with the log as its error handler.
class SerialPortTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Pty> pty_;
    std::unique_ptr<ByteSink> sink_;
    std::unique_ptr<ErrorLog> log_;

    Pty& pty() { return *pty_; }
    ByteSink& sink() { return *sink_; }
    ErrorLog& log() { return *log_; }
    bool open(PortEngine& port, const std::string& device) {
        log().attachTo(port);
        return port.Open(&sink(), kPort, device);
    }
    bool open(PortEngine& port) { return open(port, pty().slave); }

private slots:
    void init() {
        pty_ = std::make_unique<Pty>();
        QVERIFY(pty_->ok());
        sink_ = std::make_unique<ByteSink>();
        sink_->expectedPort = kPort;
        log_ = std::make_unique<ErrorLog>();
    }

    void cleanup() {
        log_.reset();
        sink_.reset();
        pty_.reset();
    }

    void deliversEveryByteValueInOrderAndTransmitsNothing() {
        SerialPort port;
        QVERIFY(open(port));
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
        QVERIFY(pty().send(expected));
        QByteArray burst(100 * 1024, '\0');
        for (int i = 0; i < burst.size(); ++i)
            burst[i] = static_cast<char>((i * 131 + i / 256) & 0xFF);
        QVERIFY(pty().send(burst));
        expected += burst;
        QTRY_COMPARE_WITH_TIMEOUT(sink().events, int(expected.size()), kWait);
        QCOMPARE(sink().bytes, expected);
        QCOMPARE(sink().wrongPort, 0);
        QVERIFY(log().texts.isEmpty());

        QVERIFY(port.Close());
        QCOMPARE(port.state(), SerialPort::State::Closed);
        QVERIFY(!port.workerAlive());
        QCOMPARE(pty().transmitted(), QByteArray());
    }

    void bytesWaitingBeforeOpenArePurged() {
        QVERIFY(pty().send("stale bytes"));
        SerialPort port;
        QVERIFY(open(port));
        QVERIFY(port.StartWorker());
        QVERIFY(pty().send("DE001002012034150013001095BA"));
        QTRY_COMPARE_WITH_TIMEOUT(sink().bytes.size(), qsizetype(28), kWait);
        QCOMPARE(sink().bytes, QByteArray("DE001002012034150013001095BA"));
        port.Close();
    }

    void portWithoutADeviceOrAMissingDeviceFailsWithoutAReport() {
        for (const std::string& device : {std::string(), std::string("/nonexistent/tty")}) {
            SerialPort port;
            QVERIFY(!open(port, device));
            QCOMPARE(port.state(), SerialPort::State::Failed);
            // The reason shown under "打开端口失败！" reads in Chinese; only the device's path and
            // the port's name are left as they are.
            QString reason = port.lastOpenError();
            QVERIFY(!reason.isEmpty());
            reason.remove(QString::fromStdString(device)).remove(QStringLiteral("COM"));
            QVERIFY2(!reason.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))),
                     qPrintable(reason));
            QVERIFY(!port.StartWorker());
            QVERIFY(!port.workerAlive());
            QVERIFY(port.Close());
            QVERIFY(port.Close());
            QCOMPARE(port.state(), SerialPort::State::Closed);
        }
        QVERIFY(log().texts.isEmpty());
    }

    void closeIsSafeInEveryState() {
        SerialPort fresh;
        QCOMPARE(fresh.state(), SerialPort::State::New);
        QVERIFY(fresh.Close());
        QVERIFY(fresh.Close());

        SerialPort port;
        QVERIFY(open(port));
        QVERIFY(port.Close()); // open, never started
        QVERIFY(port.Close());
        // The engine can be opened again after Close and delivers as before.
        QVERIFY(open(port));
        QVERIFY(port.StartWorker());
        QVERIFY(pty().send("xyz"));
        QTRY_COMPARE_WITH_TIMEOUT(sink().bytes, QByteArray("xyz"), kWait);
        QVERIFY(port.Close());
        QVERIFY(port.Close());
        QVERIFY(!port.workerAlive());
    }

    void deviceIsExclusive() {
        SerialPort first, second;
        QVERIFY(open(first));
        QVERIFY(first.StartWorker());
        QVERIFY(!open(second));
        QVERIFY2(second.lastOpenError().endsWith(QStringLiteral("：设备正被其他程序使用")),
                 qPrintable(second.lastOpenError()));
        first.Close();
        QVERIFY(open(second));
        second.Close();

        // An engine destroyed while running stops its worker and lets the device go.
        auto running = std::make_unique<SerialPort>();
        QVERIFY(open(*running));
        QVERIFY(running->StartWorker());
        running.reset();
        QVERIFY(open(first));
        first.Close();
        QVERIFY(log().texts.isEmpty());
    }

    void configurationErrorsAreReportedAndThePortStaysOpen() {
        {
            // Not a terminal: the line state cannot be read.
            SerialPort port;
            QVERIFY(open(port, "/dev/null"));
            QCOMPARE(port.state(), SerialPort::State::Open);
            port.Close();
        }
        QCOMPARE(log().texts, QStringList{errorText("GetCommState()", ENOTTY)});
        for (const LineSettings& line :
             {LineSettings{12345, 'N', 8, 1}, LineSettings{38400, 'X', 8, 1},
              LineSettings{38400, 'N', 9, 1}}) {
            SerialPort port;
            log().attachTo(port);
            QVERIFY(port.Open(nullptr, kPort, pty().slave, line));
            port.Close();
        }
        QCOMPARE(log().texts.size(), 4);
        for (int i = 1; i < 4; ++i)
            QCOMPARE(log().texts[i], errorText("BuildCommDCB()", EINVAL));
        // Without an error handler a failure is not reported anywhere, and nothing breaks.
        SerialPort silent;
        QVERIFY(silent.Open(nullptr, kPort, "/dev/null"));
        silent.Close();
    }

    void vanishingDeviceIsReportedOnceAndTheWorkerWaits() {
        // (The processor time of the waiting worker is measured by bench_serial.)
        SerialPort port;
        QVERIFY(open(port));
        QVERIFY(port.StartWorker());
        QVERIFY(pty().send("DE001"));
        QTRY_COMPARE_WITH_TIMEOUT(sink().bytes, QByteArray("DE001"), kWait);
        pty().closeMaster(); // the line hangs up, as when the bridge is unplugged
        QTRY_COMPARE_WITH_TIMEOUT(log().texts.size(), 1, kWait);
        QCOMPARE(log().texts[0], errorText("ReadFile()", EIO));
        QTest::qWait(300);
        QCOMPARE(log().texts.size(), 1); // no stream of boxes
        QVERIFY(port.workerAlive());
        QVERIFY(port.Close());
        QVERIFY(!port.workerAlive());
        QCOMPARE(sink().bytes, QByteArray("DE001"));
    }

    void closeWhileTheHangUpReportIsOpenReturns() {
        SerialPort port;
        bool closedInsideBox = false;
        log().onReport = [&](const PortError&) {
            // The box stays open until Close has returned.
            QEventLoop box;
            QTimer::singleShot(0, &box, [&] {
                port.Close();
                closedInsideBox = true;
                box.quit();
            });
            box.exec();
        };
        QVERIFY(open(port));
        QVERIFY(port.StartWorker());
        pty().closeMaster();
        QTRY_VERIFY_WITH_TIMEOUT(closedInsideBox, kWait);
        QVERIFY(!port.workerAlive());
        QCOMPARE(port.state(), SerialPort::State::Closed);
    }

    void persistentReadErrorIsReportedOnceAndTheWorkerWaits() {
        // Errors such as EPROTO or EOVERFLOW come back on every read: reading on would turn
        // them into an endless series of error boxes.
        for (int error : {EPROTO, EOVERFLOW, ENOMEM}) {
            FailingReadPort port;
            port.error = error;
            port.failures = 1'000'000;
            log().texts.clear();
            bool final = false;
            log().onReport = [&](const PortError& e) { final = e.final; };
            QVERIFY(open(port));
            QVERIFY(port.StartWorker());
            QVERIFY(pty().send("ab"));
            QTRY_COMPARE_WITH_TIMEOUT(log().texts.size(), 1, kWait);
            QTest::qWait(300);
            QCOMPARE(log().texts, QStringList{errorText("ReadFile()", error)});
            QVERIFY(final);
            QVERIFY(port.workerAlive()); // waiting for Close, not reading
            QVERIFY(port.failures > 1'000'000 - 3);
            QVERIFY(port.Close());
            QVERIFY(!port.workerAlive());
            QVERIFY(sink().bytes.isEmpty());
        }
    }

    void interruptedReadIsRetriedWithoutAReport() {
        FailingReadPort port;
        port.error = EINTR;
        port.failures = 3;
        QVERIFY(open(port));
        QVERIFY(port.StartWorker());
        QVERIFY(pty().send("ab"));
        QTRY_COMPARE_WITH_TIMEOUT(sink().bytes, QByteArray("ab"), kWait);
        QVERIFY(log().texts.isEmpty());
        port.Close();
    }

    void closeWhileTheWorkerWaitsForItsReportReturns() {
        FailingReadPort port;
        port.failures = 1;
        bool closedInsideBox = false;
        log().onReport = [&](const PortError&) {
            QEventLoop box;
            QTimer::singleShot(0, &box, [&] {
                port.Close(); // the worker is blocked until this box closes or Close asks
                closedInsideBox = true;
                box.quit();
            });
            box.exec();
        };
        QVERIFY(open(port));
        QVERIFY(port.StartWorker());
        QVERIFY(pty().send("a"));
        QTRY_VERIFY_WITH_TIMEOUT(closedInsideBox, kWait);
        QVERIFY(!port.workerAlive());
        QCOMPARE(log().texts.size(), 1);
        QVERIFY(sink().bytes.isEmpty());
    }

    void shutdownWinsOverPendingData() {
        SerialPort port;
        QVERIFY(open(port));
        QVERIFY(port.StartWorker());
        // Keep the line busy while Close runs: Close still returns and no byte is posted after.
        std::atomic<bool> stop{false};
        const int master = pty().master;
        std::thread feeder([&] {
            QByteArray chunk(4096, 'x');
            while (!stop) {
                if (::write(master, chunk.constData(), chunk.size()) < 0) {
                    pollfd p{master, POLLOUT, 0};
                    poll(&p, 1, 10);
                }
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(sink().events > 0, kWait);
        QVERIFY(port.Close());
        QVERIFY(!port.workerAlive());
        QCoreApplication::sendPostedEvents();
        const int delivered = sink().events;
        QTest::qWait(50);
        QCOMPARE(sink().events, delivered);
        stop = true;
        feeder.join();
    }
};

QTEST_GUILESS_MAIN(SerialPortTest)
#include "serial_port_test.moc"
