// marrowby-cli dump, import and export: outputs, exit statuses, and no file left on failure.

#include "common/atomic_file.h"
#include "depth/document/dm_file.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace marrowby;

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run cli(const QStringList& args, const QString& stdoutFile = {}) {
    QProcess proc;
    if (!stdoutFile.isEmpty())
        proc.setStandardOutputFile(stdoutFile);
    proc.start(QStringLiteral(MARROWBY_CLI), args);
    if (!proc.waitForFinished(30000)) {
        proc.kill();
        proc.waitForFinished();
        return {};
    }
    return {proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1,
            proc.readAllStandardOutput(), proc.readAllStandardError()};
}

// Runs a shell script with the tool as $0 and `args` as $1...: for names that are not valid
// UTF-8 (which QString cannot carry) and for limits set with ulimit.
Run shell(const QByteArray& script, const QStringList& args = {}) {
    return [&] {
        QProcess proc;
        proc.start(QStringLiteral("/bin/sh"),
                   QStringList{QStringLiteral("-c"), QString::fromLatin1(script),
                               QStringLiteral(MARROWBY_CLI)} +
                       args);
        if (!proc.waitForFinished(30000)) {
            proc.kill();
            proc.waitForFinished();
            return Run{};
        }
        return Run{proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1,
                   proc.readAllStandardOutput(), proc.readAllStandardError()};
    }();
}

// The names in `dir` as the system has them (QDir would decode them), sorted.
QByteArrayList namesIn(const QString& dir) {
    QByteArrayList names;
    if (DIR* d = ::opendir(QFile::encodeName(dir).constData())) {
        while (const dirent* e = ::readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                names << QByteArray(e->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void write(const QString& path, const std::string& bytes) {
    QVERIFY(tessera::writeFileAtomically(path.toStdString(), bytes));
}

std::string read(const QString& path) {
    std::string bytes;
    tessera::readWholeFile(path.toStdString(), bytes);
    return bytes;
}

} // namespace

class CliDocumentTest : public QObject {
    Q_OBJECT
private slots:
    void importWritesWhatAWindowWouldSaveAndDumpShowsIt() {
        QTemporaryDir dir;
        const QString tsv = dir.filePath(QStringLiteral("rows.tsv"));
        const QString dm = dir.filePath(QStringLiteral("out.DM"));
        write(tsv, "1\t12\t34\t150\n7\t8\n-7\t+15\t3.9\tabc\t斜裂缝\n");
        Run r = cli({QStringLiteral("import"), tsv, dm, QStringLiteral("--text"),
                     QStringLiteral("桥墩"), QStringLiteral("--number"), QStringLiteral("-3")});
        QCOMPARE(r.status, 0);
        DmHeader header;
        std::vector<DepthRow> rows;
        QCOMPARE(decodeDm(read(dm), header, rows), DmReadStatus::Complete);
        QCOMPARE(header.tag, std::string("QTRV_MNZ"));
        QCOMPARE(header.text, std::string("\xC7\xC5\xB6\xD5"));
        QCOMPARE(header.number, -3);
        QCOMPARE(rows.size(), size_t{3});

        r = cli({QStringLiteral("dump"), dm});
        QCOMPARE(r.status, 0);
        QCOMPARE(QString::fromUtf8(r.out),
                 QStringLiteral("tag\tQTRV_MNZ\ntext\t桥墩\nnumber\t-3\n1\t12\t34\t150\t\n"
                                "7\t8\t0\t0\t\n-7\t15\t3\t0\t斜裂缝\n"));
    }

    void exportTakesDmOrTsvAndWritesTheTextFile() {
        QTemporaryDir dir;
        const QString tsv = dir.filePath(QStringLiteral("rows.tsv"));
        write(tsv, "1\t2\t3\t45\tremark\n");
        const QString txt = dir.filePath(QStringLiteral("rows.txt"));
        QCOMPARE(cli({QStringLiteral("export"), tsv, txt}).status, 0);
        const std::string bytes = read(txt);
        QCOMPARE(bytes.size(), size_t{34 + 11});
        QCOMPARE(bytes.substr(34), std::string("1\t2\t3\t45\t\r\n"));

        const QString dm = dir.filePath(QStringLiteral("rows.DM"));
        QCOMPARE(cli({QStringLiteral("import"), tsv, dm}).status, 0);
        const QString txt2 = dir.filePath(QStringLiteral("fromdm.txt"));
        QCOMPARE(cli({QStringLiteral("export"), dm, txt2}).status, 0);
        QCOMPARE(read(txt2), bytes);
    }

    void aFileCutShortStillPrintsWhatWasReadAndExitsOne() {
        QTemporaryDir dir;
        std::vector<DepthRow> rows;
        for (int i = 0; i < 5; ++i)
            rows.emplace_back(std::to_string(i), "1", "2", "3", "");
        const std::string full = encodeDm(DmHeader{}, rows);
        const QString cut = dir.filePath(QStringLiteral("cut.DM"));
        write(cut, full.substr(0, 18 + 17 * 2 + 5));
        Run r = cli({QStringLiteral("dump"), cut});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out.count('\n'), 3 + 2);
        QVERIFY(QString::fromUtf8(r.err).contains(
            QStringLiteral("试图越过其尾端对 一未命名文件 进行读写。")));
        const QString txt = dir.filePath(QStringLiteral("cut.txt"));
        QCOMPARE(cli({QStringLiteral("export"), cut, txt}).status, 1);
        QCOMPARE(read(txt), read(txt).substr(0, 34) + "0\t1\t2\t3\t\r\n1\t1\t2\t3\t\r\n");
    }

    void dumpEscapesCellsSoThatItsRowsReadBack() {
        QTemporaryDir dir;
        const QString tsv = dir.filePath(QStringLiteral("rows.tsv"));
        const QString dm = dir.filePath(QStringLiteral("rows.DM"));
        // A byte-order mark first (spreadsheets write one), then remarks with every escape (the
        // other cells are stored as numbers).
        write(tsv, "\xEF\xBB\xBF"
                   "1\t2\t3\t4\ttab\\there\\\\back\\nnew\\rret\\0nul\n"
                   "5\t\t\t\t\\\\\\t\\n\n");
        Run r = cli(
            {QStringLiteral("import"), tsv, dm, QStringLiteral("--text"), QStringLiteral("a\tb")});
        QCOMPARE(r.status, 0);
        DmHeader header;
        std::vector<DepthRow> rows;
        QCOMPARE(decodeDm(read(dm), header, rows), DmReadStatus::Complete);
        QCOMPARE(rows, (std::vector<DepthRow>{
                           DepthRow("1", "2", "3", "4",
                                    "tab\there\\back\nnew\rret" + std::string(1, '\0') + "nul"),
                           DepthRow("5", "0", "0", "0", "\\\t\n")}));

        r = cli({QStringLiteral("dump"), dm});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("tag\tQTRV_MNZ\ntext\ta\\tb\nnumber\t1\n"
                                   "1\t2\t3\t4\ttab\\there\\\\back\\nnew\\rret\\0nul\n"
                                   "5\t0\t0\t0\t\\\\\\t\\n\n"));
        // Every line is one row of five cells, and the rows read back to the same file.
        const QByteArray rowLines = r.out.mid(r.out.indexOf("\n1\t") + 1);
        const QString again = dir.filePath(QStringLiteral("again.tsv"));
        write(again, rowLines.toStdString());
        const QString dm2 = dir.filePath(QStringLiteral("again.DM"));
        QCOMPARE(cli({QStringLiteral("import"), again, dm2, QStringLiteral("--text"),
                      QStringLiteral("a\tb")})
                     .status,
                 0);
        QCOMPARE(read(dm2), read(dm));

        // A backslash that starts no escape is an error, not a guess.
        write(tsv, "1\t2\tC:\\data\n");
        r = cli({QStringLiteral("import"), tsv, dm2});
        QCOMPARE(r.status, 2);
        QVERIFY2(QString::fromUtf8(r.err).contains(QStringLiteral("第 1 行第 3 个单元格")),
                 r.err.constData());
    }

    void outputThatCannotBeWrittenExitsTwo() {
        QTemporaryDir dir;
        const QString dm = dir.filePath(QStringLiteral("rows.DM"));
        std::vector<DepthRow> rows(2000, DepthRow("1", "2", "3", "4", "remark"));
        write(dm, encodeDm(DmHeader{}, rows));
        Run r = cli({QStringLiteral("dump"), dm}, QStringLiteral("/dev/full"));
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains("设备上没有空间"), r.err.constData());
        QCOMPARE(cli({QStringLiteral("--help")}, QStringLiteral("/dev/full")).status, 2);
        QCOMPARE(
            cli({QStringLiteral("dump"), QStringLiteral("--help")}, QStringLiteral("/dev/full"))
                .status,
            2);
        // The same output to a file that can take it.
        const QString text = dir.filePath(QStringLiteral("dump.txt"));
        QCOMPARE(cli({QStringLiteral("dump"), dm}, text).status, 0);
        QCOMPARE(read(text).size(), size_t{28 + 2000 * 15});
    }

    void inputsThatAreNotRegularFilesAreRefusedAtOnce() {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString out = dir.filePath(QStringLiteral("out.DM"));
        QElapsedTimer clock;
        clock.start();
        for (const QStringList& args :
             {QStringList{QStringLiteral("dump"), QStringLiteral("/dev/zero")},
              QStringList{QStringLiteral("dump"), fifo},
              QStringList{QStringLiteral("dump"), dir.path()},
              QStringList{QStringLiteral("import"), fifo, out},
              QStringList{QStringLiteral("export"), QStringLiteral("/dev/zero"), out}}) {
            const Run r = cli(args);
            QCOMPARE(r.status, 2);
            QVERIFY2(QString::fromUtf8(r.err).contains(QStringLiteral("不是普通文件")),
                     r.err.constData());
        }
        QVERIFY(clock.elapsed() < 20000); // nothing waited on the pipe
        QVERIFY(!QFile::exists(out));
    }

    void runningOutOfMemoryExitsTwoWithAMessage() {
        // A sparse DM file of 2 GiB under a 1 GiB address-space limit.
        QTemporaryDir dir;
        const QString big = dir.filePath(QStringLiteral("big.DM"));
        {
            QFile f(big);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(qint64{2} << 30));
        }
        const Run r = shell("ulimit -v 1048576 && exec \"$0\" dump \"$1\"", {big});
        QCOMPARE(r.status, 2); // not killed by an abort
        QVERIFY2(QString::fromUtf8(r.err).contains(QStringLiteral("内存不足")), r.err.constData());
        QVERIFY(r.out.isEmpty());
    }

    void outputsFollowLinksAndWriteDevicesDirectly() {
        QTemporaryDir dir;
        const QString tsv = dir.filePath(QStringLiteral("rows.tsv"));
        write(tsv, "1\t2\t3\t45\n");
        // A link to the standard output: the text goes down the pipe, the link stays.
        const QString link = dir.filePath(QStringLiteral("to-stdout"));
        QVERIFY(QFile::link(QStringLiteral("/dev/stdout"), link));
        Run r = cli({QStringLiteral("export"), tsv, link});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out.size(), 34 + 11);
        QVERIFY(QFileInfo(link).isSymLink());
        // The standard output named directly.
        r = cli({QStringLiteral("export"), tsv, QStringLiteral("/dev/stdout")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out.size(), 34 + 11);
        // A full device reports its error.
        r = cli({QStringLiteral("export"), tsv, QStringLiteral("/dev/full")});
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains("设备上没有空间"), r.err.constData());
        // A link to a file in another folder replaces that file and stays a link.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("real")));
        const QString real = dir.filePath(QStringLiteral("real/out.DM"));
        write(real, "old");
        const QString fileLink = dir.filePath(QStringLiteral("out.DM"));
        QVERIFY(QFile::link(real, fileLink));
        QCOMPARE(cli({QStringLiteral("import"), tsv, fileLink}).status, 0);
        QVERIFY(QFileInfo(fileLink).isSymLink());
        QCOMPARE(read(real).size(), size_t{18 + 17});
    }

    void fileNamesKeepTheirBytes() {
        QTemporaryDir dir;
        const QString tsv = dir.filePath(QStringLiteral("rows.tsv"));
        write(tsv, "1\t2\t3\t45\n");
        // "in\xff.DM" and "out\xff.pdf" are not UTF-8; on their way through QString they would
        // become "in\xEF\xBF\xBD.DM" and "out\xEF\xBF\xBD.pdf", other files' names.
        const Run r = shell("cd \"$1\" && \"$0\" import rows.tsv \"$(printf 'in\\377.DM')\" && "
                            "\"$0\" report \"$(printf 'in\\377.DM')\" \"$(printf 'out\\377.pdf')\" "
                            "--dpi 50 && "
                            "\"$0\" export \"$(printf 'in\\377.DM')\" \"$(printf 'out\\376.txt')\"",
                            {dir.path()});
        QVERIFY2(r.status == 0, r.err.constData());
        const QByteArrayList names = namesIn(dir.path());
        // Qt cannot remove these names itself: remove them before comparing.
        for (const QByteArray& name : names)
            ::unlink((QFile::encodeName(dir.path()) + '/' + name).constData());
        QCOMPARE(names, (QByteArrayList{"in\xff.DM", "out\xfe.txt", "out\xff.pdf", "rows.tsv"}));
    }

    // Every message of every command reads in Chinese, as fallowmere-cli's do: what is left of
    // stderr (and of the usage on stdout) once the tool's and commands' names, options,
    // placeholders and abbreviations in capitals, file extensions and "dpi" are taken out holds
    // no Latin word. File names here are Chinese so that they add no letters of their own.
    void everyMessageReadsInChinese() {
        QTemporaryDir dir, runtime;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("文件夹")));
        write(dir.filePath(QStringLiteral("六格.tsv")), "1\t2\t3\t4\t5\t6\n");
        write(dir.filePath(QStringLiteral("行.tsv")), "1\t2\t3\t4\t备注\n");
        write(dir.filePath(QStringLiteral("普通文件")), "x");
        write(dir.filePath(QStringLiteral("端口.map")), "[serialcomm]\n");
        const QList<QStringList> runs = {
            {},
            {QStringLiteral("--help")},
            {QStringLiteral("转换")},
            {QStringLiteral("dump"), QStringLiteral("--多余")},
            {QStringLiteral("dump"), QStringLiteral("没有.DM")},
            {QStringLiteral("import"), QStringLiteral("六格.tsv"), QStringLiteral("出.DM")},
            {QStringLiteral("import"), QStringLiteral("行.tsv"), QStringLiteral("出.DM"),
             QStringLiteral("--number"), QStringLiteral("五")},
            {QStringLiteral("import"), QStringLiteral("行.tsv"), QStringLiteral("出.DM"),
             QStringLiteral("--tag"), QStringLiteral("😀")},
            {QStringLiteral("report"), QStringLiteral("行.tsv"), QStringLiteral("出.pdf"),
             QStringLiteral("--dpi"), QStringLiteral("五")},
            {QStringLiteral("report"), QStringLiteral("行.tsv"), QStringLiteral("无/出.pdf")},
            {QStringLiteral("report"), QStringLiteral("行.tsv"), QStringLiteral("报告.pdf")},
            {QStringLiteral("ports")},
            {QStringLiteral("download"), QStringLiteral("--out"), QStringLiteral("文件夹")},
            {QStringLiteral("download"), QStringLiteral("--out"), QStringLiteral("出.DM"),
             QStringLiteral("--port"), QStringLiteral("五")},
            {QStringLiteral("download"), QStringLiteral("--out"), QStringLiteral("出.DM"),
             QStringLiteral("--timeout"), QStringLiteral("五")},
            {QStringLiteral("download"), QStringLiteral("--out"), QStringLiteral("出.DM"),
             QStringLiteral("--timeout"), QStringLiteral("1")},
            {QStringLiteral("simulate-meter"), QStringLiteral("--link"), QStringLiteral("普通文件"),
             QStringLiteral("--groups"), QStringLiteral("1"), QStringLiteral("--records"),
             QStringLiteral("1")},
            {QStringLiteral("simulate-meter"), QStringLiteral("--link"), QStringLiteral("链接"),
             QStringLiteral("--groups"), QStringLiteral("五")},
            {QStringLiteral("simulate-meter"), QStringLiteral("--link"), QStringLiteral("链接"),
             QStringLiteral("--stream"), QStringLiteral("没有.txt")},
        };
        static const QRegularExpression names(
            QStringLiteral("marrowby-cli|simulate-meter|\\b(dump|import|export|report|ports|"
                           "download|stats|tsv)\\b|"
                           "--[a-z-]+|\\b[A-Z][A-Z0-9]*\\b|\\.[A-Za-z]+\\b|\\bdpi\\b|[A-Z]/S"));
        static const QRegularExpression latinWord(QStringLiteral("[A-Za-z]{2,}"));
        for (const QStringList& args : runs) {
            QProcess proc;
            proc.setWorkingDirectory(dir.path());
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path()); // else Qt warns
            env.insert(QStringLiteral("MARROWBY_PORT_MAP"), args.value(0) == QStringLiteral("ports")
                                                                ? QStringLiteral("无")
                                                                : QStringLiteral("端口.map"));
            proc.setProcessEnvironment(env);
            proc.start(QStringLiteral(MARROWBY_CLI), args);
            QVERIFY(proc.waitForFinished(30000));
            QString text = QString::fromUtf8(proc.readAllStandardError());
            if (args.contains(QStringLiteral("--help")))
                text += QString::fromUtf8(proc.readAllStandardOutput());
            const QString rest = QString(text).remove(names);
            QVERIFY2(!rest.contains(latinWord), qPrintable(args.join(' ') + ": " + text));
        }
    }

    void failuresExitTwoAndLeaveNoFile() {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("out.DM"));
        const QString bad = dir.filePath(QStringLiteral("bad.tsv"));
        write(bad, "1\t2\t3\t4\t\xF0\x9F\x98\x80\n"); // an emoji: not GBK
        QCOMPARE(cli({QStringLiteral("import"), bad, out}).status, 2);
        write(bad, "1\t2\t3\t4\t5\t6\n"); // six cells
        QCOMPARE(cli({QStringLiteral("import"), bad, out}).status, 2);
        const QString good = dir.filePath(QStringLiteral("good.tsv"));
        write(good, "1\n");
        QCOMPARE(cli({QStringLiteral("import"), good, out, QStringLiteral("--number"),
                      QStringLiteral("12x")})
                     .status,
                 2);
        QCOMPARE(cli({QStringLiteral("import"), good, out, QStringLiteral("--tag"),
                      QStringLiteral("\U0001F600")})
                     .status,
                 2);
        QCOMPARE(cli({QStringLiteral("import"), good}).status, 2);
        QCOMPARE(cli({QStringLiteral("dump"), dir.filePath(QStringLiteral("none.DM"))}).status, 2);
        QCOMPARE(cli({QStringLiteral("export"), good,
                      dir.filePath(QStringLiteral("no/such/folder/x.txt"))})
                     .status,
                 2);
        QCOMPARE(cli({QStringLiteral("frobnicate")}).status, 2);
        QVERIFY(!QFile::exists(out));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2); // the inputs
    }
};

QTEST_MAIN(CliDocumentTest)
#include "cli_document_test.moc"
