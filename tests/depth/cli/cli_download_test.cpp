// marrowby-cli download against the simulated meter (marrowby-cli simulate-meter) on a
// pseudo-terminal registered as the bridge's port.

#include "depth/document/dm_file.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

using namespace marrowby;

namespace {

constexpr int kWait = 60000;

QString cli() {
    return QStringLiteral(MARROWBY_CLI);
}

} // namespace

class CliDownloadTest : public QObject {
    Q_OBJECT

    QTemporaryDir* m_dir = nullptr;
    QList<QProcess*> m_meters;

    QString path(const QString& name) const { return m_dir->filePath(name); }

    // Registers `link` as the bridge's COM5 (and nothing as COM2).
    void writeMap(const QString& link) {
        QFile f(path(QStringLiteral("ports.map")));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[serialcomm]\n\\Device\\Serial0=COM2\n\\Device\\Slabser0=COM5\n[ports]\nCOM5=" +
                link.toUtf8() + "\n");
    }

    QProcess* startMeter(const QStringList& what) {
        const QString link = path(QStringLiteral("meter"));
        writeMap(link);
        auto* meter = new QProcess(this);
        meter->setProgram(cli());
        meter->setArguments(
            QStringList{"simulate-meter", "--link", link, "--timeout", "60", "--rate", "50000"} +
            what);
        meter->start();
        m_meters << meter;
        for (int i = 0; i < 600 && !QFileInfo(link).isSymLink(); ++i)
            QTest::qWait(10);
        return meter;
    }

    QProcess* streamMeter(const QByteArray& stream) {
        QFile f(path(QStringLiteral("stream.bin")));
        if (!f.open(QIODevice::WriteOnly))
            return nullptr;
        f.write(stream);
        f.close();
        return startMeter({"--stream", f.fileName()});
    }

    // Runs the download; returns its exit code and its stderr in `err`.
    int download(const QStringList& args, QString& err) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MARROWBY_PORT_MAP"), path(QStringLiteral("ports.map")));
        p.setProcessEnvironment(env);
        p.start(cli(), QStringList{"download"} + args);
        if (!p.waitForFinished(kWait)) {
            p.kill();
            p.waitForFinished();
            return -1;
        }
        err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    static std::vector<DepthRow> readDm(const QString& file, DmHeader& header) {
        QFile f(file);
        std::vector<DepthRow> rows;
        if (f.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = f.readAll();
            if (decodeDm(std::string_view(bytes.constData(), size_t(bytes.size())), header, rows) !=
                DmReadStatus::Complete)
                rows.clear();
        }
        return rows;
    }

private slots:
    void init() {
        m_dir = new QTemporaryDir;
        QVERIFY(m_dir->isValid());
    }
    void cleanup() {
        cleanupMeters();
        delete m_dir;
    }

private:
    void cleanupMeters() {
        for (QProcess* m : m_meters) {
            if (m->state() != QProcess::NotRunning) {
                m->terminate();
                if (!m->waitForFinished(5000))
                    m->kill();
                m->waitForFinished();
            }
            delete m;
        }
        m_meters.clear();
    }

private slots:

    void completeTransmissionWritesTheRowsAndReportsProgress() {
        QProcess* meter = streamMeter("DE001002012034150013001095BE002001999000007BA");
        QVERIFY(meter);
        QString err;
        const QString out = path(QStringLiteral("out.DM"));
        // The bridge wins over the port asked for (COM2 has no device).
        QCOMPARE(download({"--port", "2", "--out", out, "--timeout", "50"}, err), 0);
        QVERIFY2(err.contains(QStringLiteral("正在传送 第1组数据")), qPrintable(err));
        QVERIFY2(err.contains(QStringLiteral("正在传送 第2组数据")), qPrintable(err));
        QVERIFY2(err.contains(QStringLiteral("数据传输完毕！")), qPrintable(err));
        QVERIFY(!err.contains(QStringLiteral("数据接收个数有误")));
        DmHeader header;
        header.number = -1;
        const auto rows = readDm(out, header);
        QCOMPARE(rows, (std::vector<DepthRow>{DepthRow("1", "12", "34", "150", ""),
                                              DepthRow("1", "13", "1", "95", ""),
                                              DepthRow("2", "999", "0", "7", "")}));
        QCOMPARE(header, DmHeader{}); // "QTRV_MNZ", empty text, 1
        QVERIFY(meter->waitForFinished(kWait));
        QCOMPARE(meter->exitCode(), 0);
    }

    void countMismatchIsReportedAndTheRowsKept() {
        QVERIFY(streamMeter("DE004003001002003004005006BA"));
        QString err;
        const QString out = path(QStringLiteral("out.DM"));
        QCOMPARE(download({"--out", out}, err), 0);
        QVERIFY2(err.contains(QStringLiteral("数据接收个数有误")), qPrintable(err));
        DmHeader header;
        QCOMPARE(readDm(out, header).size(), size_t(2));
    }

    void generatedMeterGroupsArriveComplete() {
        QVERIFY(startMeter({"--groups", "6", "--records", "50"}));
        QString err;
        const QString out = path(QStringLiteral("out.DM"));
        QCOMPARE(download({"--out", out, "--timeout", "50"}, err), 0);
        DmHeader header;
        const auto rows = readDm(out, header);
        QCOMPARE(rows.size(), size_t(300));
        QCOMPARE(rows.front().cell(0), std::string_view("1"));
        QCOMPARE(rows.back().cell(0), std::string_view("6"));
        QVERIFY(!err.contains(QStringLiteral("数据接收个数有误")));
    }

    void timeoutKeepsTheCompletedGroups() {
        // Group 1 complete, group 2 cut off: its row is kept, the partial group is not.
        QVERIFY(streamMeter("DE001001123456789BE002001111"));
        QString err;
        const QString out = path(QStringLiteral("out.DM"));
        QCOMPARE(download({"--out", out, "--timeout", "2"}, err), 3);
        QVERIFY2(err.contains(QStringLiteral("正在传送 第1组数据")), qPrintable(err));
        QVERIFY2(err.contains(QStringLiteral("保留了完整接收的 1 组数据，1 行已写入")),
                 qPrintable(err));
        DmHeader header;
        QCOMPARE(readDm(out, header),
                 (std::vector<DepthRow>{DepthRow("1", "123", "456", "789", "")}));
        QCOMPARE(header, DmHeader{});
    }

    void timeoutWithoutACompletedGroupWritesNothing() {
        QVERIFY(streamMeter("DE001001123"));
        QString err;
        const QString out = path(QStringLiteral("out.DM"));
        QCOMPARE(download({"--out", out, "--timeout", "2"}, err), 3);
        QVERIFY2(err.contains(QStringLiteral("未写入任何内容")), qPrintable(err));
        QVERIFY(!QFileInfo::exists(out));
        QVERIFY(QDir(m_dir->path())
                    .entryList({QStringLiteral(".out.DM*")}, QDir::Files | QDir::Hidden)
                    .isEmpty()); // no temporary file left
    }

    // Starts a download of a stream with two complete groups and a third one cut off, and
    // returns once both complete groups were reported on its stderr.
    QProcess* downloadTwoGroups(const QString& out, QString& err) {
        QProcess* meter = streamMeter("DE001002012034150013001095BE002001999000007BE003002000");
        if (!meter)
            return nullptr;
        auto* p = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MARROWBY_PORT_MAP"), path(QStringLiteral("ports.map")));
        p->setProcessEnvironment(env);
        p->start(cli(), QStringList{"download", "--out", out});
        QElapsedTimer clock;
        clock.start();
        while (!err.contains(QStringLiteral("正在传送 第2组数据")) && clock.elapsed() < kWait &&
               p->state() != QProcess::NotRunning) {
            p->waitForReadyRead(100);
            err += QString::fromUtf8(p->readAllStandardError());
        }
        return p;
    }

    void lostLinkKeepsTheCompletedGroups() {
        QString err;
        const QString out = path(QStringLiteral("out.DM"));
        QProcess* p = downloadTwoGroups(out, err);
        QVERIFY(p);
        QVERIFY2(err.contains(QStringLiteral("正在传送 第2组数据")), qPrintable(err));
        m_meters.first()->kill(); // the cable is pulled: the line hangs up
        QVERIFY(p->waitForFinished(kWait));
        err += QString::fromUtf8(p->readAllStandardError());
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QCOMPARE(p->exitCode(), 3);
        QCOMPARE(err.count(QStringLiteral("Application Error")), 1);
        QVERIFY2(err.contains(QStringLiteral("保留了完整接收的 2 组数据，3 行已写入")),
                 qPrintable(err));
        DmHeader header;
        QCOMPARE(readDm(out, header), (std::vector<DepthRow>{DepthRow("1", "12", "34", "150", ""),
                                                             DepthRow("1", "13", "1", "95", ""),
                                                             DepthRow("2", "999", "0", "7", "")}));
    }

    void stopSignalsKeepTheCompletedGroups() {
        for (int signal : {SIGTERM, SIGINT}) {
            QString err;
            const QString out = path(QStringLiteral("out%1.DM").arg(signal));
            QProcess* p = downloadTwoGroups(out, err);
            QVERIFY(p);
            QVERIFY2(err.contains(QStringLiteral("正在传送 第2组数据")), qPrintable(err));
            ::kill(static_cast<pid_t>(p->processId()), signal);
            QVERIFY(p->waitForFinished(kWait));
            err += QString::fromUtf8(p->readAllStandardError());
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 3);
            QVERIFY2(err.contains(QStringLiteral("保留了完整接收的 2 组数据，3 行已写入")),
                     qPrintable(err));
            DmHeader header;
            QCOMPARE(readDm(out, header).size(), size_t(3));
            cleanupMeters();
        }
    }

    void outputIsCheckedBeforeReceiving() {
        // The meter would wait a minute before it sends: a bad --out must not wait for it.
        QFile empty(path(QStringLiteral("empty.bin")));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        QVERIFY(startMeter({"--stream", empty.fileName(), "--delay", "60000"}));
        QString err;
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(download({"--out", m_dir->path(), "--timeout", "30"}, err), 2);
        QVERIFY2(err.contains(QStringLiteral("是一个目录")), qPrintable(err));
        QCOMPARE(download({"--out", path("no/such/folder/x.DM"), "--timeout", "30"}, err), 2);
        QVERIFY2(err.contains(QStringLiteral("没有那个文件或目录")), qPrintable(err));
        QVERIFY(clock.elapsed() < 20000);
    }

    void simulatedMeterLeavesFilesNamedLikeItsTemporaryLinkAlone() {
        // The shell writes "<link>.tmp<its pid>" and then becomes the simulator (same pid).
        const QString link = path(QStringLiteral("meter"));
        QProcess meter;
        meter.start(QStringLiteral("/bin/sh"),
                    {QStringLiteral("-c"),
                     QStringLiteral("echo precious > \"$1.tmp$$\" && echo \"$$\" > \"$1.pid\" && "
                                    "exec \"$0\" simulate-meter --link \"$1\" --groups 1 "
                                    "--records 1 --timeout 1"),
                     cli(), link});
        QVERIFY(meter.waitForFinished(kWait));
        QCOMPARE(meter.exitCode(), 3); // nobody opened the link in time
        QFile pid(link + QStringLiteral(".pid"));
        QVERIFY(pid.open(QIODevice::ReadOnly));
        QFile precious(link + QStringLiteral(".tmp") +
                       QString::fromLatin1(pid.readAll().trimmed()));
        QVERIFY(precious.open(QIODevice::ReadOnly));
        QCOMPARE(precious.readAll(), QByteArray("precious\n"));
        QVERIFY(!QFileInfo(link).isSymLink()); // removed at exit
        QCOMPARE(
            QDir(m_dir->path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                .size(),
            2);
    }

    void portThatCannotBeOpenedFails() {
        writeMap(path(QStringLiteral("nothing-here")));
        QString err;
        const QString out = path(QStringLiteral("out.DM"));
        QCOMPARE(download({"--out", out}, err), 2);
        QVERIFY2(err.startsWith(QStringLiteral("打开端口失败！\n")), qPrintable(err));
        QVERIFY(err.contains(QStringLiteral("nothing-here"))); // the system's reason
        QVERIFY(!QFileInfo::exists(out));
    }

    void badArgumentsAreRefused() {
        writeMap(path(QStringLiteral("nothing-here")));
        QString err;
        QCOMPARE(download({"--port", "3"}, err), 2); // no --out
        QCOMPARE(download({"--out", path("x.DM"), "--timeout", "soon"}, err), 2);
        QCOMPARE(download({"--out", path("x.DM"), "--port", "-1"}, err), 2);
        QVERIFY(!QFileInfo::exists(path("x.DM")));
    }
};

QTEST_GUILESS_MAIN(CliDownloadTest)
#include "cli_download_test.moc"
