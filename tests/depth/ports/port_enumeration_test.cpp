// currentPortMap(): a map file named by MARROWBY_PORT_MAP replaces enumeration.

#include "depth/ports/qt/port_enumeration.h"

#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace marrowby;

class PortEnumerationTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { qunsetenv(kPortMapVariable); }

    void mapFileReplacesEnumeration() {
        QTemporaryDir dir;
        QFile file(dir.filePath("ports.map"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[serialcomm]\r\n\\Device\\Silabser0=COM4\r\n[ports]\r\nCOM4=/dev/null\r\n");
        file.close();
        qputenv(kPortMapVariable, file.fileName().toUtf8());
        PortMap map = currentPortMap();
        QVERIFY(map.readable);
        QCOMPARE(map.devices.size(), size_t(1));
        QCOMPARE(findBridgePort(map), std::optional<int>(4));
        QCOMPARE(devicePathFor(map, 4), std::optional<std::string>("/dev/null"));
    }

    void unreadableMapFileIsNotReadable() {
        QTemporaryDir dir;
        qputenv(kPortMapVariable, dir.filePath("missing.map").toUtf8());
        PortMap map = currentPortMap();
        QVERIFY(!map.readable);
        QVERIFY(map.devices.empty());
        QCOMPARE(findBridgePort(map), std::nullopt);

        // A named pipe (which would block a reader without a writer) and a folder.
        const QString fifo = dir.filePath(QStringLiteral("pipe.map"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        for (const QString& notAFile : {fifo, dir.path()}) {
            qputenv(kPortMapVariable, QFile::encodeName(notAFile));
            QVERIFY(!currentPortMap().readable);
        }
    }

    void enumerationNamesEveryDevice() {
        // Whatever this machine has: every device gets a device name, a COM port and a path.
        PortMap map = currentPortMap();
        QVERIFY(map.readable);
        for (const auto& d : map.devices) {
            QVERIFY(d.deviceName.rfind("\\Device\\", 0) == 0);
            QVERIFY(portNumberOf(d.portName) >= 1);
            QVERIFY(!d.devicePath.empty());
        }
    }
};

QTEST_GUILESS_MAIN(PortEnumerationTest)
#include "port_enumeration_test.moc"
