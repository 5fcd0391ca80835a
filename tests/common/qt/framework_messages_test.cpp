// Both command-line tools: standard error carries their own messages only, unless --verbose
// asks for the framework's too; --version answers like the desktop programs.

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int status = -1;
    QByteArray out, err;
};

// Runs a tool as a root shell or a chroot would: no XDG_RUNTIME_DIR, no display.
Run run(const QString& tool, const QStringList& args) {
    QProcess proc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_RUNTIME_DIR", "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY",
                             "QT_LOGGING_RULES", "QT_DEBUG_PLUGINS", "QT_FATAL_WARNINGS"})
        env.remove(QString::fromLatin1(name));
    proc.setProcessEnvironment(env);
    proc.start(tool, args);
    Run r;
    if (!proc.waitForFinished(120000))
        return r;
    r.status = proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -2;
    r.out = proc.readAllStandardOutput();
    r.err = proc.readAllStandardError();
    return r;
}

} // namespace

class FrameworkMessagesTest : public QObject {
    Q_OBJECT
private slots:
    void toolsAnswerVersion();
    void reportsWithoutRuntimeFolderPrintNothingButAskedFor();
};

void FrameworkMessagesTest::toolsAnswerVersion() {
    for (const QString& tool : {QStringLiteral(MARROWBY_CLI), QStringLiteral(FALLOWMERE_CLI)}) {
        const Run r = run(tool, {QStringLiteral("--version")});
        QCOMPARE(r.status, 0);
        QVERIFY(r.err.isEmpty());
        const QString name = QFileInfo(tool).fileName();
        QVERIFY2(QString::fromUtf8(r.out).contains(QRegularExpression(
                     QLatin1Char('^') + name + QStringLiteral(" \\d+\\.\\d+\n$"))),
                 r.out.constData());
    }
}

void FrameworkMessagesTest::reportsWithoutRuntimeFolderPrintNothingButAskedFor() {
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("demo/demo.cm"));
    QCOMPARE(run(QStringLiteral(FALLOWMERE_CLI),
                 {QStringLiteral("demo"), dir.filePath(QStringLiteral("demo"))})
                 .status,
             0);
    const QString rows = dir.filePath(QStringLiteral("rows.tsv"));
    QFile f(rows);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("1\t1\t1\t120\t\n");
    f.close();
    const QList<QPair<QString, QStringList>> reports = {
        {QStringLiteral(FALLOWMERE_CLI),
         {QStringLiteral("report"), project, dir.filePath("w.pdf")}},
        {QStringLiteral(MARROWBY_CLI), {QStringLiteral("report"), rows, dir.filePath("d.pdf")}},
    };
    for (const auto& [tool, args] : reports) {
        Run r = run(tool, args);
        QCOMPARE(r.status, 0);
        QVERIFY2(!r.err.contains("XDG_RUNTIME_DIR"), r.err.constData());
        r = run(tool, args + QStringList{QStringLiteral("--verbose")});
        QCOMPARE(r.status, 0); // --verbose is not the command's: the report is made as before
        QVERIFY2(r.err.contains("XDG_RUNTIME_DIR"), r.err.constData());
    }
}

QTEST_GUILESS_MAIN(FrameworkMessagesTest)
#include "framework_messages_test.moc"
