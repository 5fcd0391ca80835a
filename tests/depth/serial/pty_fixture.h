#pragma once
// Test helpers: a pseudo-terminal standing in for the meter's line, an owner that collects the
// engine's byte events, and a log of the engine's error reports.

#include "depth/serial/qt/serial_port.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace marrowby::test {

// The master side of a pseudo-terminal; its slave is the "device" the engine opens.
class Pty {
public:
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        char name[128] = {};
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0 &&
            ptsname_r(master, name, sizeof name) == 0)
            slave = name;
    }
    ~Pty() { closeMaster(); }
    bool ok() const { return master >= 0 && !slave.empty(); }
    void closeMaster() {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    // Writes everything, waiting while the terminal's buffer is full.
    bool send(const QByteArray& bytes) {
        qsizetype done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(master, bytes.constData() + done, bytes.size() - done);
            if (n > 0) {
                done += n;
            } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                pollfd p{master, POLLOUT, 0};
                poll(&p, 1, 1000);
            } else {
                return false;
            }
        }
        return true;
    }
    // Everything the engine transmitted to the line (it must transmit nothing).
    QByteArray transmitted() {
        QByteArray all;
        char buffer[256];
        ssize_t n;
        while ((n = ::read(master, buffer, sizeof buffer)) > 0)
            all.append(buffer, n);
        return all;
    }

    int master = -1;
    std::string slave;
};

// The engine's error reports, as the texts of the boxes they would show.
class ErrorLog {
public:
    QStringList texts;
    std::function<void(const PortError&)> onReport; // runs after each report is logged
    // Installs this log as `engine`'s error handler.
    void attachTo(PortEngine& engine) {
        engine.setErrorHandler([this](const PortError& e) {
            texts << QString::fromStdString(portErrorText(e));
            if (onReport)
                onReport(e);
        });
    }
};

// The engine's owner: records every byte event.
class ByteSink : public QObject {
public:
    QByteArray bytes;
    int events = 0;
    int wrongPort = 0;
    int expectedPort = 0;

protected:
    bool event(QEvent* e) override {
        if (e->type() != UM_PORT_BYTE)
            return QObject::event(e);
        auto* b = static_cast<PortByteEvent*>(e);
        bytes.append(static_cast<char>(b->byte()));
        ++events;
        wrongPort += b->portNumber() != expectedPort;
        return true;
    }
};

} // namespace marrowby::test
