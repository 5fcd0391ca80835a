// marrowby-cli download against the simulated meter (marrowby-cli simulate-meter) on a
// pseudo-terminal registered as the bridge's port.

#include "depth/document/dm_file.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

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
        delete m_dir;
    }

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

    void missingEndByteTimesOutAndWritesNothing() {
        QVERIFY(streamMeter("DE001001123456789B"));
        QString err;
        const QString out = path(QStringLiteral("out.DM"));
        QCOMPARE(download({"--out", out, "--timeout", "2"}, err), 3);
        QVERIFY(!QFileInfo::exists(out));
        QVERIFY2(err.contains(QStringLiteral("正在传送 第1组数据")), qPrintable(err));
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
