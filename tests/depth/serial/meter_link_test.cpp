// The engine reading the simulated meter (marrowby-cli simulate-meter) end to end.

#include "pty_fixture.h"

#include "depth/serial/meter_stream.h"

#include <QFileInfo>
#include <QProcess>
#include <QtTest>

using namespace marrowby;
using namespace marrowby::test;

namespace {
constexpr int kWait = 30000;
}

class MeterLinkTest : public QObject {
    Q_OBJECT

private:
    QProcess* startMeter(const QString& link, const QStringList& extra) {
        auto* meter = new QProcess(this);
        meter->setProgram(QStringLiteral(MARROWBY_CLI));
        meter->setArguments(QStringList{"simulate-meter", "--link", link, "--timeout", "60"} +
                            extra);
        meter->start();
        return meter;
    }

private slots:
    void engineReceivesTheWholeTransmission() {
        QTemporaryDir dir;
        const QString link = dir.filePath("meter");
        ErrorLog log;
        QProcess* meter = startMeter(link, {"--groups", "4", "--records", "30", "--rate", "20000"});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(link).isSymLink(), kWait);

        ByteSink sink;
        sink.expectedPort = 5;
        SerialPort port;
        log.attachTo(port);
        QVERIFY(port.Open(&sink, 5, link.toStdString()));
        QVERIFY(port.StartWorker());
        const QByteArray expected =
            QByteArray::fromStdString(encodeMeterStream(generatedMeterGroups(4, 30)));
        QTRY_COMPARE_WITH_TIMEOUT(sink.bytes.size(), expected.size(), kWait);
        QCOMPARE(sink.bytes, expected);
        QCOMPARE(sink.wrongPort, 0);
        port.Close();

        QVERIFY(meter->waitForFinished(kWait));
        const QString report = QString::fromUtf8(meter->readAllStandardError());
        QCOMPARE(meter->exitCode(), 0);
        QVERIFY2(report.contains(QStringLiteral("已发送 %1/%1 字节").arg(expected.size())),
                 qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("收到 0 字节")), qPrintable(report));
        QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
        QVERIFY(log.texts.isEmpty());
    }

    void meterNoticesTheReaderLeaving() {
        QTemporaryDir dir;
        const QString link = dir.filePath("meter");
        QFile stream(dir.filePath("stream.bin"));
        QVERIFY(stream.open(QIODevice::WriteOnly));
        stream.write(QByteArray(200000, '7'));
        stream.close();
        ErrorLog log;
        QProcess* meter = startMeter(link, {"--stream", stream.fileName(), "--rate", "20000"});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(link).isSymLink(), kWait);
        ByteSink sink;
        SerialPort port;
        log.attachTo(port);
        QVERIFY(port.Open(&sink, 5, link.toStdString()));
        QVERIFY(port.StartWorker());
        QTRY_VERIFY_WITH_TIMEOUT(sink.events > 100, kWait);
        port.Close();
        QVERIFY(meter->waitForFinished(kWait));
        QCOMPARE(meter->exitCode(), 4);
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    void meterRefusesBadArgumentsAndForeignFiles() {
        QTemporaryDir dir;
        const QString file = dir.filePath("not-a-link");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        for (const QStringList& args :
             {QStringList{"--groups", "3"}, QStringList{"--groups", "1000", "--records", "1"},
              QStringList{"--groups", "1", "--records", "1", "--stream", file},
              QStringList{"--groups", "1", "--records", "x"}}) {
            QProcess* meter = startMeter(dir.filePath("meter"), args);
            QVERIFY(meter->waitForFinished(kWait));
            QCOMPARE(meter->exitCode(), 2);
        }
        QProcess* meter = startMeter(file, {"--groups", "1", "--records", "1"});
        QVERIFY(meter->waitForFinished(kWait));
        QCOMPARE(meter->exitCode(), 2);
        QVERIFY(QFileInfo(file).isFile());
    }
};

QTEST_GUILESS_MAIN(MeterLinkTest)
#include "meter_link_test.moc"
