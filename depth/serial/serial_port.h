#pragma once
// The serial engine: opens one port receive-only at fixed line settings and hands every
// received byte to the owning object as one PortByteEvent, in order, through the Qt event
// queue, from one worker thread per open engine. It never writes to the device.

#include <QEvent>
#include <QObject>
#include <QString>
#include <cstdint>

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
    virtual ~PortEngine() = default;
    // Opens "COM<portNumber>" (the device path comes from the port map). False only when the
    // port itself cannot be opened; no message is shown then (see lastOpenError()).
    virtual bool Open(QObject* owner, int portNumber, int baudRate, char parity, int dataBits,
                      int stopBits, uint32_t eventMask) = 0;
    virtual bool StartWorker() = 0;
    // Stops the worker and closes the port; always true; safe twice and after a failed Open.
    virtual bool Close() = 0;
    // The system's reason for the last failed Open (empty when unknown).
    virtual QString lastOpenError() const { return {}; }
};

} // namespace marrowby
