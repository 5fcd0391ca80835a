// marrowby-cli stats, export to spreadsheets and report --summary run as a user would.

#include "common/atomic_file.h"
#include "depth/document/dm_file.h"
#include "tests/support/xlsx_reader.h"

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
    if (!proc.waitForFinished(60000)) {
        proc.kill();
        proc.waitForFinished();
        return {};
    }
    return {proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1,
            proc.readAllStandardOutput(), proc.readAllStandardError()};
}

std::string read(const QString& path) {
    std::string bytes;
    tessera::readWholeFile(path.toStdString(), bytes);
    return bytes;
}

// Rows of a window: component 3 before 1; "12abc" reads 12; a remark with a comma.
const char kRows[] = "3\t1\t1\t10\n"
                     "3\t1\t2\t20\tnear joint, east\n"
                     "1\t2\t1\t12abc\n"
                     "3\t2\t1\t0\n";

} // namespace

class DepthStatsCliTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        rows = dir->filePath(QStringLiteral("rows.tsv"));
        QVERIFY(tessera::writeFileAtomically(rows.toStdString(), kRows));
    }
    void statsOfRowsAndDmFilesAgree();
    void exportChoosesByTheExtension();
    void reportSummaryComesFirst();

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString rows;
};

void DepthStatsCliTest::statsOfRowsAndDmFilesAgree() {
    const Run r = cli({QStringLiteral("stats"), rows});
    QVERIFY2(r.status == 0, r.err.constData());
    QCOMPARE(r.out, QByteArray("rows\t4\nmeasured\t3\nmin\t10.0\nmax\t20.0\nmean\t14.0\n"
                               "median\t12.0\nstdev\t4.3\n"
                               "component\t3\t2\t3\t20.0\t15.0\n"
                               "component\t1\t1\t1\t12.0\t12.0\n"
                               "crack\t3\t1\t2\t10.0\t20.0\t15.0\n"
                               "crack\t1\t2\t1\t12.0\t12.0\t12.0\n"
                               "crack\t3\t2\t1\t-\t-\t-\n"));
    // The same rows as a DM file (the cells stored by the atoi rule) give the same figures.
    const QString dm = dir->filePath(QStringLiteral("rows.DM"));
    QCOMPARE(cli({QStringLiteral("import"), rows, dm}).status, 0);
    const Run fromDm =
        cli({QStringLiteral("stats"), dm, QStringLiteral("--format"), QStringLiteral("tsv")});
    QCOMPARE(fromDm.status, 0);
    QCOMPARE(fromDm.out, r.out);
    QCOMPARE(
        cli({QStringLiteral("stats"), rows, QStringLiteral("--format"), QStringLiteral("json")})
            .status,
        2);
    QCOMPARE(cli({QStringLiteral("stats"), dir->filePath(QStringLiteral("none.DM"))}).status, 2);
}

void DepthStatsCliTest::exportChoosesByTheExtension() {
    const QString csv = dir->filePath(QStringLiteral("out.csv"));
    QCOMPARE(cli({QStringLiteral("export"), rows, csv}).status, 0);
    QCOMPARE(read(csv), std::string("\xEF\xBB\xBF"
                                    "构件号,裂缝号,测点号,裂缝深度值,备注\r\n"
                                    "3,1,1,10,\r\n"
                                    "3,1,2,20,\"near joint, east\"\r\n"
                                    "1,2,1,12abc,\r\n"
                                    "3,2,1,0,\r\n"));

    const QString xlsx = dir->filePath(QStringLiteral("out.xlsx"));
    const Run r = cli({QStringLiteral("export"), rows, xlsx});
    QVERIFY2(r.status == 0, r.err.constData());
    const std::string zip = read(xlsx);
    auto data = xlsxtest::sheetCells(xlsxtest::zipEntry(zip, "xl/worksheets/sheet1.xml"));
    QCOMPARE(data["D1"].text, std::string("裂缝深度值"));
    QCOMPARE(data["D2"], (xlsxtest::Cell{true, "10"}));
    QCOMPARE(data["D4"], (xlsxtest::Cell{false, "12abc"}));
    QCOMPARE(data["E3"], (xlsxtest::Cell{false, "near joint, east"}));
    auto stats = xlsxtest::sheetCells(xlsxtest::zipEntry(zip, "xl/worksheets/sheet2.xml"));
    QCOMPARE(stats["B2"], (xlsxtest::Cell{true, "4"}));
    QVERIFY(xlsxtest::zipEntry(zip, "xl/workbook.xml").find("name=\"数据\"") != std::string::npos);

    // Any other name: the text export as before.
    const QString txt = dir->filePath(QStringLiteral("out.dat"));
    QCOMPARE(cli({QStringLiteral("export"), rows, txt}).status, 0);
    QVERIFY(read(txt).ends_with("3\t2\t1\t0\t\r\n"));
}

void DepthStatsCliTest::reportSummaryComesFirst() {
    const QString pdf = dir->filePath(QStringLiteral("r.pdf"));
    Run r = cli({QStringLiteral("report"), rows, pdf, QStringLiteral("--dpi"), QStringLiteral("72"),
                 QStringLiteral("--summary")});
    QVERIFY2(r.status == 0, r.err.constData());
    // Two pages of statistics (the profiles start the second), then the one data page.
    QVERIFY2(r.err.contains("，3 页，"), r.err.constData());
    auto pageText = [&pdf](int page) {
        QProcess text;
        const QString p = QString::number(page);
        text.start(QStringLiteral("pdftotext"),
                   {QStringLiteral("-f"), p, QStringLiteral("-l"), p, pdf, QStringLiteral("-")});
        text.waitForFinished(60000);
        return QString::fromUtf8(text.readAllStandardOutput())
            .normalized(QString::NormalizationForm_KC);
    };
    const QString first = pageText(1);
    QVERIFY2(first.contains(QStringLiteral("裂缝深度统计")), qPrintable(first));
    QVERIFY(first.contains(QStringLiteral("构件统计")));
    QVERIFY(pageText(2).contains(QStringLiteral("构件 3 裂缝 1 深度曲线")));
    QVERIFY(pageText(3).contains(QStringLiteral("裂缝测深仪数据报告")));

    r = cli({QStringLiteral("report"), rows, pdf, QStringLiteral("--dpi"), QStringLiteral("72"),
             QStringLiteral("--summary-only")});
    QVERIFY2(r.err.contains("，2 页，"), r.err.constData());
}

QTEST_GUILESS_MAIN(DepthStatsCliTest)
#include "stats_cli_test.moc"
