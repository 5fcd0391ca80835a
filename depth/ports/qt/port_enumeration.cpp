#include "depth/ports/qt/port_enumeration.h"

#include "common/atomic_file.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <cstdlib>

namespace marrowby {
namespace {

constexpr quint16 kSiliconLabsVendor = 0x10C4;

// The kernel driver behind a tty, e.g. "cp210x" for /sys/class/tty/ttyUSB0/device/driver.
QString kernelDriver(const QString& kernelName) {
    QFileInfo link(QStringLiteral("/sys/class/tty/%1/device/driver").arg(kernelName));
    return QFileInfo(link.symLinkTarget()).fileName();
}

} // namespace

PortMap currentPortMap() {
    const char* file = std::getenv(kPortMapVariable);
    if (file && *file) {
        std::string text;
        if (!tessera::readWholeFile(file, text)) {
            PortMap unreadable;
            unreadable.readable = false;
            return unreadable;
        }
        return parsePortMapFile(text);
    }
    std::vector<EnumeratedPort> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        EnumeratedPort p;
        p.kernelName = info.portName().toStdString();
        p.devicePath = info.systemLocation().toStdString();
        p.description =
            info.description().isEmpty() ? p.kernelName : info.description().toStdString();
        p.bridge = (info.hasVendorIdentifier() && info.vendorIdentifier() == kSiliconLabsVendor) ||
                   kernelDriver(info.portName()) == QLatin1String("cp210x");
        ports.push_back(std::move(p));
    }
    return portMapFromEnumeration(std::move(ports));
}

} // namespace marrowby
