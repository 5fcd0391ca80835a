#pragma once
// Test helpers: a pseudo-terminal standing in for the meter's line, a port map file that
// routes a COM port to it, and an owner that collects the engine's byte events.

#include "depth/ports/ui/port_enumeration.h"
#include "depth/serial/serial_port.h"

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
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

// A port map file installed through MARROWBY_PORT_MAP for the lifetime of the object.
class PortMapFile {
public:
    explicit PortMapFile(const QByteArray& text) {
        QFile file(dir.filePath("ports.map"));
        if (file.open(QIODevice::WriteOnly))
            file.write(text);
        qputenv(kPortMapVariable, file.fileName().toUtf8());
    }
    // Port `port` is the bridge and leads to `path`.
    static QByteArray bridgeAt(int port, const std::string& path) {
        return QByteArray("[serialcomm]\n\\Device\\Slabser0=COM") + QByteArray::number(port) +
               "\n[ports]\nCOM" + QByteArray::number(port) + "=" + QByteArray::fromStdString(path) +
               "\n";
    }
    ~PortMapFile() { qunsetenv(kPortMapVariable); }
    QTemporaryDir dir;
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
