// marrowby-cli report IN OUT.pdf [--dpi N]: exit statuses, output files and the headless start.

#include "depth/document/dm_file.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

using namespace marrowby;

namespace {

struct Run {
    int exitCode = -1;
    QString err;
};

// Runs the CLI without QT_QPA_PLATFORM, DISPLAY or WAYLAND_DISPLAY: it must start headless
// by itself.
Run runCli(const QStringList& args) {
    QProcess proc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    proc.setProcessEnvironment(env);
    proc.start(QStringLiteral(MARROWBY_CLI), QStringList{QStringLiteral("report")} + args);
    if (!proc.waitForFinished(120000))
        return {};
    Run r;
    r.exitCode = proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -2;
    r.err = QString::fromUtf8(proc.readAllStandardError());
    return r;
}

int pdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return static_cast<int>(QString::fromLatin1(f.readAll()).count(page));
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QByteArray tsvRows(int n) {
    QByteArray out;
    for (int i = 1; i <= n; ++i)
        out += QByteArray::number(i) + "\t1\t2\t" + QByteArray::number(100 + i) +
               (i % 10 ? "\t\n" : "\t左侧裂缝\n");
    return out;
}

} // namespace

class ReportCliTest : public QObject {
    Q_OBJECT
private slots:
    void tsvOf120RowsGivesThreePages();
    void dmFileAndDpiOption();
    void cutDmFileStillWritesTheReportAndExitsOne();
    void wrongArgumentsLeaveNoFile();
    void unreadableInputOrUnwritableOutput();
    void stoppedReportLeavesNoTemporaryFile();
};

void ReportCliTest::tsvOf120RowsGivesThreePages() {
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("rows.tsv"));
    const QString out = dir.filePath(QStringLiteral("report.pdf"));
    writeFile(in, tsvRows(120));
    const Run r = runCli({in, out});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QCOMPARE(pdfPages(out), 3);

    writeFile(in, QByteArray());
    QCOMPARE(runCli({in, out}).exitCode, 0);
    QCOMPARE(pdfPages(out), 1);
}

void ReportCliTest::dmFileAndDpiOption() {
    QTemporaryDir dir;
    std::vector<DepthRow> rows;
    for (int i = 0; i < 50; ++i)
        rows.push_back(rowFromRecord({1, i, i % 3, 200 + i, ""}));
    const std::string dm = encodeDm(DmHeader{}, rows);
    const QString in = dir.filePath(QStringLiteral("data.DM"));
    writeFile(in, QByteArray::fromStdString(dm));
    const QString out = dir.filePath(QStringLiteral("r.pdf"));
    const Run r = runCli({in, out, QStringLiteral("--dpi"), QStringLiteral("300")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QCOMPARE(pdfPages(out), 2); // 50 rows: 50 ÷ 50 + 1
}

void ReportCliTest::cutDmFileStillWritesTheReportAndExitsOne() {
    QTemporaryDir dir;
    std::vector<DepthRow> rows;
    for (int i = 0; i < 5; ++i)
        rows.push_back(rowFromRecord({1, i, 1, 300 + i, ""}));
    std::string dm = encodeDm(DmHeader{}, rows);
    dm.resize(18 + 17 * 2 + 5); // two whole rows and part of the third
    const QString in = dir.filePath(QStringLiteral("cut.DM"));
    writeFile(in, QByteArray::fromStdString(dm));
    const QString out = dir.filePath(QStringLiteral("cut.pdf"));
    const Run r = runCli({in, out});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(QStringLiteral("试图越过其尾端对 一未命名文件 进行读写。")),
             qPrintable(r.err));
    QCOMPARE(pdfPages(out), 1);
}

void ReportCliTest::wrongArgumentsLeaveNoFile() {
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("rows.tsv"));
    writeFile(in, tsvRows(3));
    const QString out = dir.filePath(QStringLiteral("report.pdf"));
    QCOMPARE(runCli({in}).exitCode, 2);
    QCOMPARE(runCli({in, out, QStringLiteral("extra")}).exitCode, 2);
    QCOMPARE(runCli({in, out, QStringLiteral("--dpi")}).exitCode, 2);
    QCOMPARE(runCli({in, out, QStringLiteral("--dpi"), QStringLiteral("abc")}).exitCode, 2);
    QCOMPARE(runCli({in, out, QStringLiteral("--dpi"), QStringLiteral("0")}).exitCode, 2);
    QCOMPARE(runCli({in, out, QStringLiteral("--dpi"), QStringLiteral("-600")}).exitCode, 2);
    QCOMPARE(runCli({in, out, QStringLiteral("--scale"), QStringLiteral("2")}).exitCode, 2);
    QVERIFY(!QFileInfo::exists(out));
}

void ReportCliTest::unreadableInputOrUnwritableOutput() {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("report.pdf"));
    QCOMPARE(runCli({dir.filePath(QStringLiteral("missing.DM")), out}).exitCode, 2);
    QVERIFY(!QFileInfo::exists(out));

    // A rows file with a line of six cells is refused.
    const QString bad = dir.filePath(QStringLiteral("bad.tsv"));
    writeFile(bad, "1\t2\t3\t4\t5\t6\n");
    QCOMPARE(runCli({bad, out}).exitCode, 2);
    QVERIFY(!QFileInfo::exists(out));

    const QString in = dir.filePath(QStringLiteral("rows.tsv"));
    writeFile(in, tsvRows(3));
    const QString nowhere = dir.filePath(QStringLiteral("no-such-folder/report.pdf"));
    const Run r = runCli({in, nowhere});
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains(QStringLiteral("无法写入")), qPrintable(r.err));
    QVERIFY(!QFileInfo::exists(nowhere));

    // An existing report stays untouched when the new one cannot be written over it.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.pdf")));
    QCOMPARE(runCli({in, dir.filePath(QStringLiteral("taken.pdf"))}).exitCode, 2);
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("taken.pdf"))).isDir());
}

void ReportCliTest::stoppedReportLeavesNoTemporaryFile() {
    // The pages of a long report go into a hidden temporary file beside the report while they
    // are drawn; SIGINT or SIGTERM then ends the tool, and the temporary file goes with it.
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("rows.tsv"));
    writeFile(in, tsvRows(100000));
    for (int signal : {SIGTERM, SIGINT}) {
        const QString out = dir.filePath(QStringLiteral("report.pdf"));
        writeFile(out, "old report");
        QProcess proc;
        proc.start(QStringLiteral(MARROWBY_CLI), {QStringLiteral("report"), in, out});
        QVERIFY(proc.waitForStarted());
        const auto hidden = [&] {
            return QDir(dir.path())
                .entryList({QStringLiteral(".report.pdf.*")}, QDir::Files | QDir::Hidden);
        };
        QElapsedTimer clock;
        clock.start();
        while (hidden().isEmpty() && proc.state() == QProcess::Running && clock.elapsed() < 60000)
            QThread::msleep(2);
        QVERIFY2(!hidden().isEmpty(), "the report was never being written");
        ::kill(static_cast<pid_t>(proc.processId()), signal);
        QVERIFY(proc.waitForFinished(60000));
        QCOMPARE(proc.exitStatus(), QProcess::CrashExit); // ended by the signal itself
        QVERIFY2(hidden().isEmpty(), qPrintable(hidden().join(QLatin1Char(' '))));
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("old report"));
    }
}

QTEST_GUILESS_MAIN(ReportCliTest)
#include "report_cli_test.moc"
