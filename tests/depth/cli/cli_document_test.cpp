// marrowby-cli dump, import and export: outputs, exit statuses, and no file left on failure.

#include "common/atomic_file.h"
#include "depth/document/dm_file.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace marrowby;

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run cli(const QStringList& args) {
    QProcess proc;
    proc.start(QStringLiteral(MARROWBY_CLI), args);
    proc.waitForFinished(30000);
    return {proc.exitCode(), proc.readAllStandardOutput(), proc.readAllStandardError()};
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
