// fallowmere-cli stats, export and report --summary run as a user would: the TSV contract, the
// spreadsheets read back, the statistics pages before the record pages.

#include "tests/support/xlsx_reader.h"
#include "tests/width/cli/cli_run.h"

#include <QImage>

using namespace clitest;

namespace {

QString pdfText(const std::string& pdf, const QString& first = QStringLiteral("1"),
                const QString& last = QStringLiteral("1")) {
    QProcess proc;
    proc.start(QStringLiteral("pdftotext"), {QStringLiteral("-f"), first, QStringLiteral("-l"),
                                             last, q(pdf), QStringLiteral("-")});
    proc.waitForFinished(60000);
    return QString::fromUtf8(proc.readAllStandardOutput())
        .normalized(QString::NormalizationForm_KC);
}

int pdfPages(const std::string& pdf) {
    QProcess proc;
    proc.start(QStringLiteral("pdfinfo"), {q(pdf)});
    proc.waitForFinished(60000);
    for (const QString& line : QString::fromUtf8(proc.readAllStandardOutput()).split('\n'))
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

struct StatsProject {
    TempDir dir;
    std::string project = path(dir, "p.cm");

    StatsProject() {
        makeDir(path(dir, "CrackData"));
        // The second 北墙 is dropped on opening; 0.20 equals the lowest limit.
        write(project, projectText({{gbk("一区"), gbk("北墙"), "0.12", "A", "", "T1"},
                                    {gbk("二区"), gbk("南墙"), "0.35", "A", "x,y", "T2"},
                                    {gbk("一区"), gbk("北墙"), "9", "X", "X", "X"},
                                    {gbk("一区"), gbk("西墙"), "0.20", "A", "say \"hi\"", "T3"},
                                    {gbk("三区"), gbk("东墙"), "", "M", "", "T4"}}));
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::gray);
        QVERIFY(image.save(q(path(dir, "CrackData/北墙.JPG")), "JPG"));
    }
    Run tool(const QStringList& args) { return run(args); }
};

} // namespace

class StatsCliTest : public QObject {
    Q_OBJECT
private slots:
    void statsPrintsTheTsvContract();
    void limitsBinsAndNamedRecords();
    void wrongOptionsAreRefused();
    void exportWritesTheSpreadsheetByItsExtension();
    void reportSummaryComesBeforeTheRecordPages();
};

void StatsCliTest::statsPrintsTheTsvContract() {
    StatsProject p;
    const Run r = run({QStringLiteral("stats"), q(p.project)});
    QVERIFY2(r.status == 0, r.err.constData());
    QCOMPARE(r.out, QByteArray("records\t4\n"
                               "measured\t3\n"
                               "photos\t1\n"
                               "min\t0.120\n"
                               "max\t0.350\n"
                               "mean\t0.223\n"
                               "median\t0.200\n"
                               "stdev\t0.095\n"
                               "over\t0.20\t1\t33.3\n"
                               "over\t0.30\t1\t33.3\n"
                               "bin\t0.00\t0.05\t0\n"
                               "bin\t0.05\t0.10\t0\n"
                               "bin\t0.10\t0.15\t1\n"
                               "bin\t0.15\t0.20\t0\n"
                               "bin\t0.20\t0.25\t1\n"
                               "bin\t0.25\t0.30\t0\n"
                               "bin\t0.30\t0.35\t0\n"
                               "bin\t0.35\t0.40\t1\n"
                               "group\t一区\t2\t2\t0.200\t0.160\t0\n"
                               "group\t二区\t1\t1\t0.350\t0.350\t1\n"
                               "group\t三区\t1\t0\t-\t-\t0\n"));
}

void StatsCliTest::limitsBinsAndNamedRecords() {
    StatsProject p;
    const Run r = run({QStringLiteral("stats"), q(p.project), QStringLiteral("--limit"),
                       QStringLiteral("0.3"), QStringLiteral("--limit"), QStringLiteral("0.1"),
                       QStringLiteral("--bin"), QStringLiteral("0.1"), QStringLiteral("--record"),
                       QStringLiteral("南墙"), QStringLiteral("--record"), QStringLiteral("北墙")});
    QVERIFY2(r.status == 0, r.err.constData());
    QCOMPARE(r.out, QByteArray("records\t2\nmeasured\t2\nphotos\t1\nmin\t0.120\nmax\t0.350\n"
                               "mean\t0.235\nmedian\t0.235\nstdev\t0.115\n"
                               "over\t0.10\t2\t100.0\nover\t0.30\t1\t50.0\n"
                               "bin\t0.00\t0.10\t0\nbin\t0.10\t0.20\t1\nbin\t0.20\t0.30\t0\n"
                               "bin\t0.30\t0.40\t1\n"
                               "group\t一区\t1\t1\t0.120\t0.120\t1\n"
                               "group\t二区\t1\t1\t0.350\t0.350\t1\n"));
}

void StatsCliTest::wrongOptionsAreRefused() {
    StatsProject p;
    for (const QStringList& extra :
         {QStringList{"--limit", "0"}, QStringList{"--limit", "abc"}, QStringList{"--bin", "-1"},
          QStringList{"--limit", "0.1", "--limit", "0.2", "--limit", "0.3", "--limit", "0.4",
                      "--limit", "0.5", "--limit", "0.6"},
          QStringList{"--record", "没有"}}) {
        const Run r = run(QStringList{QStringLiteral("stats"), q(p.project)} + extra);
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.startsWith("fallowmere-cli: "));
    }
    const Run txt = run({QStringLiteral("export"), q(p.project), q(path(p.dir, "out.txt"))});
    QCOMPARE(txt.status, 2);
    QVERIFY(!exists(path(p.dir, "out.txt")));
}

void StatsCliTest::exportWritesTheSpreadsheetByItsExtension() {
    StatsProject p;
    const std::string csv = path(p.dir, "out.CSV");
    Run r = run({QStringLiteral("export"), q(p.project), q(csv)});
    QVERIFY2(r.status == 0, r.err.constData());
    QCOMPARE(read(csv), std::string("\xEF\xBB\xBF"
                                    "组号,名称,宽度(mm),模式,备注,时间,照片\r\n"
                                    "一区,北墙,0.12,A,,T1,北墙.JPG\r\n"
                                    "二区,南墙,0.35,A,\"x,y\",T2,\r\n"
                                    "一区,西墙,0.20,A,\"say \"\"hi\"\"\",T3,\r\n"
                                    "三区,东墙,,M,,T4,\r\n"));
    QVERIFY(r.errText().contains(QStringLiteral("4 条记录")));

    const std::string xlsx = path(p.dir, "out.xlsx");
    r = run({QStringLiteral("export"), q(p.project), q(xlsx), QStringLiteral("--record"),
             QStringLiteral("西墙")});
    QVERIFY2(r.status == 0, r.err.constData());
    const std::string zip = read(xlsx);
    auto records = xlsxtest::sheetCells(xlsxtest::zipEntry(zip, "xl/worksheets/sheet1.xml"));
    QCOMPARE(records["C1"].text, std::string("宽度(mm)"));
    QCOMPARE(records["B2"].text, std::string("西墙"));
    QVERIFY(records["C2"].number);
    QCOMPARE(std::stod(records["C2"].text), 0.2);
    QVERIFY(records.count("A3") == 0);
    auto stats = xlsxtest::sheetCells(xlsxtest::zipEntry(zip, "xl/worksheets/sheet2.xml"));
    QCOMPARE(stats["A2"].text, std::string("记录数"));
    QCOMPARE(stats["B2"], (xlsxtest::Cell{true, "1"}));
    const std::string workbook = xlsxtest::zipEntry(zip, "xl/workbook.xml");
    QVERIFY(workbook.find("name=\"记录\"") != std::string::npos);
    QVERIFY(workbook.find("name=\"统计\"") != std::string::npos);
    QCOMPARE(entries(p.dir.path().toStdString()),
             (std::vector<std::string>{"CrackData", "out.CSV", "out.xlsx", "p.cm"}));
}

void StatsCliTest::reportSummaryComesBeforeTheRecordPages() {
    StatsProject p;
    const std::string pdf = path(p.dir, "s.pdf");
    Run r = run({QStringLiteral("report"), q(p.project), q(pdf), QStringLiteral("--dpi"),
                 QStringLiteral("72"), QStringLiteral("--summary")});
    QVERIFY2(r.status == 0, r.err.constData());
    QCOMPARE(pdfPages(pdf), 5);
    const QString first = pdfText(pdf);
    QVERIFY2(first.contains(QStringLiteral("裂缝宽度统计")), qPrintable(first));
    QVERIFY(first.contains(QStringLiteral("0.350 mm")));
    QVERIFY(first.contains(QStringLiteral("三区")));
    QVERIFY(pdfText(pdf, QStringLiteral("2"), QStringLiteral("2"))
                .contains(QStringLiteral("裂缝检测报告")));
    QVERIFY(r.errText().contains(QStringLiteral("5 页")));

    r = run({QStringLiteral("report"), q(p.project), q(pdf), QStringLiteral("--dpi"),
             QStringLiteral("72"), QStringLiteral("--summary-only"), QStringLiteral("--limit"),
             QStringLiteral("0.15")});
    QVERIFY2(r.status == 0, r.err.constData());
    QCOMPARE(pdfPages(pdf), 1);
    QVERIFY(pdfText(pdf).contains(QStringLiteral("超过 0.15 mm")));
}

QTEST_GUILESS_MAIN(StatsCliTest)
#include "stats_cli_test.moc"
