#pragma once
// The serial engine: opens one device receive-only at the given line settings and hands every
// received byte to the owning object as one PortByteEvent, in order, through the Qt event
// queue, from one worker thread per open engine. It never writes to the device. Failures are
// handed to the owner's error handler (on the owner's thread); the engine shows nothing itself.
// QtCore only.

#include "depth/serial/line_settings.h"
#include "depth/serial/port_error.h"

#include <QEvent>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

namespace marrowby {

// Event type of the byte message (the application-message slot 7).
inline constexpr QEvent::Type UM_PORT_BYTE = static_cast<QEvent::Type>(QEvent::User + 7);

class PortByteEvent : public QEvent {
public:
    PortByteEvent(uint8_t byte, int portNumber)
        : QEvent(UM_PORT_BYTE), m_byte(byte), m_port(portNumber) {}
    uint8_t byte() const { return m_byte; }
    int portNumber() const { return m_port; }

private:
    uint8_t m_byte;
    int m_port;
};

// What the download needs from an engine; SerialPort is the real one, tests script others.
class PortEngine {
public:
    // Called on the thread of the QCoreApplication for each failure after a successful open
    // (configuration, reading, a device that went away). A failure on the worker thread keeps
    // the worker waiting until the handler has returned or Close asks it to end.
    using ErrorHandler = std::function<void(const PortError& error)>;

    virtual ~PortEngine() = default;
    // Opens `devicePath` as port `portNumber` (the number goes into each PortByteEvent and
    // error). An empty path means the port has no device. False only when the device itself
    // cannot be opened; nothing is reported then (see lastOpenError()). Line settings the
    // device cannot take are reported through the error handler and the port stays open.
    virtual bool Open(QObject* owner, int portNumber, const std::string& devicePath,
                      const LineSettings& line = kMeterLine, uint32_t eventMask = kMeterEvents) = 0;
    virtual bool StartWorker() = 0;
    // Stops the worker and closes the port; always true; safe twice and after a failed Open.
    virtual bool Close() = 0;
    // The system's reason for the last failed Open (empty when unknown).
    virtual QString lastOpenError() const { return {}; }

    // Set before Open; without a handler failures are not reported.
    void setErrorHandler(ErrorHandler handler) { errorHandler_ = std::move(handler); }
    const ErrorHandler& errorHandler() const { return errorHandler_; }

private:
    ErrorHandler errorHandler_;
};

} // namespace marrowby

#include <atomic>
#include <string>
#include <sys/types.h>
#include <thread>

namespace marrowby {

// The engine over a POSIX serial device. The device is opened exclusively, configured to raw
// input at the given line settings with RTS asserted and no flow control, and read by one
// worker thread that waits in poll() on the device and a shutdown descriptor. All calls except
// the worker's own are made on the thread that owns the QCoreApplication.
class SerialPort : public PortEngine {
public:
    enum class State { New, Failed, Open, Running, Closed };

    SerialPort();
    ~SerialPort() override; // stops the worker and closes the device if the owner did not
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    bool Open(QObject* owner, int portNumber, const std::string& devicePath,
              const LineSettings& line = kMeterLine, uint32_t eventMask = kMeterEvents) override;
    bool StartWorker() override;
    bool Close() override;
    QString lastOpenError() const override { return m_lastOpenError; }

    State state() const { return m_state; }
    bool workerAlive() const { return m_bWorkerAlive.load(); }
    int portNumber() const { return m_nPortNumber; }

    // Hands a failed call with the errno value `error` to the error handler. On the
    // user-interface thread the handler runs at once; from the worker it is queued to the
    // user-interface thread and the worker waits until it has returned or Close asks it to
    // end, whichever comes first.
    void ReportError(const char* label, int error, bool final = false);

protected:
    // The worker's read of the device; a test seam for read failures. Same contract as read(2).
    virtual ssize_t readDevice(int fd, void* buffer, size_t size);

private:
    void workerMain();
    enum class Drain { Empty, Gone, Stopped };
    // Reads and posts everything the device holds: Empty when it has nothing more, Gone when a
    // read failed (reported once; only an interruption or "try again" is retried), Stopped
    // when shutdown was asked meanwhile.
    Drain drain(size_t& received);
    // Waits a few milliseconds to let bytes gather; true when shutdown was asked meanwhile.
    bool pauseUnlessShutdown();
    void configure(const LineSettings& line);
    void stopWorker();
    void closeDevice();
    // Blocks the worker until `fd` is readable or shutdown is asked; true on shutdown.
    bool waitForShutdownOr(int fd);

    QObject* m_pOwner = nullptr;
    int m_nPortNumber = 0;
    uint32_t m_dwEventMask = 0;
    int m_hPort = -1;      // device descriptor; -1 when none
    int m_shutdownFd = -1; // eventfd: readable once shutdown is asked; never cleared
    std::atomic<bool> m_stopRequested{false};
    std::atomic<bool> m_bWorkerAlive{false};
    std::thread m_worker;
    State m_state = State::New;
    QString m_lastOpenError;
};

} // namespace marrowby
