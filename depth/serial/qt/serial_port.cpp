#include "depth/serial/qt/serial_port.h"

#include "common/error_text.h"
#include "common/temporary_files.h"
#include "common/text.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace marrowby {
namespace {

// Comm event "character received": without it in the mask the worker never reads.
constexpr uint32_t kEventCharacterReceived = 0x0001;

thread_local bool t_onWorker = false;

// A wake-up that brought fewer bytes than this is followed by a pause of kGatherMs, so that a
// slow line is read in handfuls rather than byte by byte (20 ms is 77 bytes at 38400 baud).
constexpr size_t kTrickle = 1024;
constexpr int kGatherMs = 20;

// A descriptor that becomes readable when a queued error report has been handled (the user
// closed the box). Shared with
// the queued call, so it stays valid whichever side finishes first.
struct BoxClosedSignal {
    int fd = eventfd(0, EFD_CLOEXEC);
    ~BoxClosedSignal() {
        if (fd >= 0)
            close(fd);
    }
};

// The two hand-overs from the worker to the user-interface thread. They go through Qt's event
// queue, whose locking the thread sanitizer cannot see (Qt is not instrumented), so they are
// kept in functions of their own that .ci/tsan.supp names.
[[gnu::noinline]] void postPortByte(QObject* owner, uint8_t byte, int portNumber) {
    QCoreApplication::postEvent(owner, new PortByteEvent(byte, portNumber));
}

[[gnu::noinline]] void queueErrorReport(QCoreApplication* app,
                                        const PortEngine::ErrorHandler& handler,
                                        const PortError& error,
                                        const std::shared_ptr<BoxClosedSignal>& closed) {
    QMetaObject::invokeMethod(
        app,
        [handler, error, closed] {
            handler(error);
            if (closed->fd >= 0)
                eventfd_write(closed->fd, 1);
        },
        Qt::QueuedConnection);
}

bool speedFor(int baudRate, speed_t& speed) {
    static constexpr std::pair<int, speed_t> kSpeeds[] = {
        {50, B50},       {75, B75},         {110, B110},       {134, B134},       {150, B150},
        {200, B200},     {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
        {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
        {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
    };
    for (auto [rate, value] : kSpeeds)
        if (rate == baudRate) {
            speed = value;
            return true;
        }
    return false;
}

// Applies the line settings "baud=%d parity=%c data=%d stop=%d" with flow control off to raw
// input settings. False (errno EINVAL) when a value is not one the device can take.
bool buildLineSettings(termios& tio, const LineSettings& line) {
    const int baudRate = line.baudRate, dataBits = line.dataBits, stopBits = line.stopBits;
    const char parity = line.parity;
    speed_t speed;
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    if (!speedFor(baudRate, speed) || dataBits < 5 || dataBits > 8 ||
        (stopBits != 1 && stopBits != 2)) {
        errno = EINVAL;
        return false;
    }
    tcflag_t parityFlags;
    switch (parity) {
    case 'N':
    case 'n':
        parityFlags = 0;
        break;
    case 'E':
    case 'e':
        parityFlags = PARENB;
        break;
    case 'O':
    case 'o':
        parityFlags = PARENB | PARODD;
        break;
    case 'M':
    case 'm':
        parityFlags = PARENB | PARODD | CMSPAR;
        break;
    case 'S':
    case 's':
        parityFlags = PARENB | CMSPAR;
        break;
    default:
        errno = EINVAL;
        return false;
    }
    // Raw bytes in: no line editing, no echo (which would transmit), no translation, no signals.
    cfmakeraw(&tio);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |=
        kSizes[dataBits - 5] | parityFlags | (stopBits == 2 ? CSTOPB : 0) | CLOCAL | CREAD;
    // With O_NONBLOCK, VMIN 1 makes an empty read fail with EAGAIN, so that a read of 0 bytes
    // means a hang-up (VMIN 0 would return 0 for "nothing yet" too).
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0)
        return false;
    return true;
}

} // namespace

SerialPort::SerialPort() = default;

SerialPort::~SerialPort() {
    stopWorker();
    closeDevice();
    if (m_shutdownFd >= 0)
        close(m_shutdownFd);
}

bool SerialPort::Open(QObject* owner, int portNumber, const std::string& devicePath,
                      const LineSettings& line, uint32_t eventMask) {
    stopWorker();
    if (m_shutdownFd >= 0)
        close(m_shutdownFd);
    m_stopRequested = false;
    m_shutdownFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    m_pOwner = owner;
    m_nPortNumber = portNumber;
    m_dwEventMask = eventMask;
    m_lastOpenError.clear();
    closeDevice();

    auto fail = [this](const QString& reason) {
        m_lastOpenError = reason;
        m_state = State::Failed;
        return false;
    };
    if (m_shutdownFd < 0)
        return fail(QString::fromStdString(tessera::errorText(errno)));
    if (devicePath.empty())
        return fail(QStringLiteral("COM%1 没有对应的设备").arg(portNumber));
    // The reasons go into "打开端口失败！", in Chinese like the box: “device”：reason.
    auto onDevice = [&devicePath](const std::string& reason) {
        return QStringLiteral("“%1”：%2")
            .arg(QString::fromStdString(tessera::displayPath(devicePath)),
                 QString::fromStdString(reason));
    };
    int fd = open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(onDevice(tessera::errorText(errno)));
    // Exclusive use: the lock keeps out every program that locks too (this one included), the
    // tty's exclusive mode keeps out other unprivileged programs.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int error = errno;
        close(fd);
        if (error == EWOULDBLOCK)
            return fail(onDevice("设备正被其他程序使用"));
        return fail(onDevice(tessera::errorText(error)));
    }
    ioctl(fd, TIOCEXCL); // fails harmlessly on devices that are not terminals
    m_hPort = fd;
    configure(line);
    tcflush(m_hPort, TCIOFLUSH);
    m_state = State::Open;
    return true;
}

void SerialPort::configure(const LineSettings& line) {
    // Reads never wait; the worker's poll() does the waiting (the counterpart of timeouts).
    int flags = fcntl(m_hPort, F_GETFL);
    if (flags < 0 || fcntl(m_hPort, F_SETFL, flags | O_NONBLOCK) != 0) {
        ReportError("SetCommTimeouts()", errno);
        return;
    }
    termios tio{};
    if (tcgetattr(m_hPort, &tio) != 0) {
        ReportError("GetCommState()", errno);
        return;
    }
    if (!buildLineSettings(tio, line)) {
        ReportError("BuildCommDCB()", errno);
        return;
    }
    if (tcsetattr(m_hPort, TCSANOW, &tio) != 0) {
        ReportError("SetCommState()", errno);
        return;
    }
    // RTS asserted while the port is open. A device without modem-control lines (a
    // pseudo-terminal) cannot set it, and needs not.
    int rts = TIOCM_RTS;
    if (ioctl(m_hPort, TIOCMBIS, &rts) != 0 && errno != EINVAL && errno != ENOTTY)
        ReportError("SetCommState()", errno);
}

bool SerialPort::StartWorker() {
    if (m_bWorkerAlive)
        return true;
    if (m_hPort < 0 || m_shutdownFd < 0)
        return false;
    if (m_worker.joinable())
        m_worker.join(); // a worker that already ended on its own
    m_bWorkerAlive = true;
    try {
        // The worker inherits a mask that blocks SIGINT and SIGTERM: their handler then runs on
        // the main thread, never in the middle of the worker's reads.
        tessera::TerminatingSignalsBlocked blocked;
        m_worker = std::thread([this] { workerMain(); });
    } catch (const std::system_error&) {
        m_bWorkerAlive = false;
        return false;
    }
    m_state = State::Running;
    return true;
}

bool SerialPort::Close() {
    stopWorker();
    closeDevice();
    m_state = State::Closed;
    return true;
}

void SerialPort::stopWorker() {
    m_stopRequested = true;
    if (m_shutdownFd >= 0)
        eventfd_write(m_shutdownFd, 1);
    if (m_worker.joinable())
        m_worker.join();
}

void SerialPort::closeDevice() {
    if (m_hPort < 0)
        return;
    tcflush(m_hPort, TCIOFLUSH);
    ioctl(m_hPort, TIOCNXCL);
    close(m_hPort); // also releases the lock
    m_hPort = -1;
}

ssize_t SerialPort::readDevice(int fd, void* buffer, size_t size) {
    return read(fd, buffer, size);
}

void SerialPort::ReportError(const char* label, int error, bool final) {
    const ErrorHandler& handler = errorHandler();
    if (!handler)
        return;
    const PortError report{label, error, m_nPortNumber, final};
    if (!t_onWorker) {
        handler(report);
        return;
    }
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    auto closed = std::make_shared<BoxClosedSignal>();
    queueErrorReport(app, handler, report, closed);
    if (closed->fd >= 0)
        waitForShutdownOr(closed->fd);
}

bool SerialPort::pauseUnlessShutdown() {
    pollfd fd{m_shutdownFd, POLLIN, 0};
    return poll(&fd, 1, kGatherMs) > 0;
}

bool SerialPort::waitForShutdownOr(int fd) {
    for (;;) {
        pollfd fds[2] = {{m_shutdownFd, POLLIN, 0}, {fd, POLLIN, 0}};
        int r = poll(fds, fd >= 0 ? 2 : 1, -1);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return m_stopRequested;
        }
        if (fds[0].revents)
            return true;
        if (fd >= 0 && fds[1].revents)
            return false;
    }
}

void SerialPort::workerMain() {
    t_onWorker = true;
    if (m_dwEventMask & kEventCharacterReceived) {
        for (;;) {
            if (m_stopRequested)
                break;
            // The shutdown descriptor comes first: when both are ready, shutdown wins.
            pollfd fds[2] = {{m_shutdownFd, POLLIN, 0}, {m_hPort, POLLIN, 0}};
            if (poll(fds, 2, -1) < 0) {
                if (errno == EINTR || errno == EAGAIN)
                    continue;
                // A wait that fails would fail again at once: report it once and stop.
                ReportError("WaitCommEvent()", errno, true);
                waitForShutdownOr(-1);
                break;
            }
            if (fds[0].revents)
                break;
            const short events = fds[1].revents;
            bool gone = false;
            size_t received = 0;
            if (events & POLLNVAL) {
                ReportError("WaitCommEvent()", EBADF, true);
                gone = true;
            } else if (events & (POLLIN | POLLHUP | POLLERR)) {
                Drain result = drain(received);
                gone = result == Drain::Gone;
                // Everything readable was read and the device still reports a hang-up or an
                // error that read() did not show: it is gone.
                if (result == Drain::Empty && (events & (POLLHUP | POLLERR))) {
                    ReportError("ReadFile()", EIO, true);
                    gone = true;
                }
            }
            if (gone) {
                // One report per failure: nothing more is read, only shutdown is awaited.
                waitForShutdownOr(-1);
                break;
            }
            // A trickle (the meter's line rate brings a few bytes per millisecond) would wake
            // the worker and the owner's thread for every few bytes: let it gather for a
            // moment first. Shutdown still ends the pause at once.
            if (received < kTrickle && pauseUnlessShutdown())
                break;
        }
    } else {
        waitForShutdownOr(-1);
    }
    m_bWorkerAlive = false;
}

SerialPort::Drain SerialPort::drain(size_t& received) {
    uint8_t buffer[4096];
    for (;;) {
        if (m_stopRequested)
            return Drain::Stopped;
        ssize_t n = readDevice(m_hPort, buffer, sizeof buffer);
        if (n > 0) {
            received += static_cast<size_t>(n);
            if (m_pOwner)
                for (ssize_t i = 0; i < n; ++i)
                    postPortByte(m_pOwner, buffer[i], m_nPortNumber);
            continue;
        }
        if (n == 0) {
            // End of file on a terminal: the device hung up.
            ReportError("ReadFile()", EIO, true);
            return Drain::Gone;
        }
        int error = errno;
        if (error == EINTR)
            continue;
        if (error == EAGAIN || error == EWOULDBLOCK)
            return Drain::Empty;
        // Any other read error is final, whether the device is gone (EIO, ENXIO) or keeps
        // failing (EPROTO, EOVERFLOW, ...): reading again would only report it again, in a
        // loop of error boxes. One report; then the worker waits for Close.
        ReportError("ReadFile()", error, true);
        return Drain::Gone;
    }
}

} // namespace marrowby
