// fallowmere-cli report run as a user would: one A4 page per record in the list's order, each
// with its own fields and photograph and the job's inspection information, read back from the
// PDF with poppler's tools (the text as printed, character for character); photographs of any
// name and size; failures write nothing.

#include "tests/width/cli/cli_run.h"

#include <QBuffer>
#include <QImage>

#include <cstdio>
#include <unistd.h>

using namespace clitest;

namespace {

QByteArray poppler(const QString& tool, const QStringList& args) {
    QProcess proc;
    proc.start(tool, args);
    if (!proc.waitForFinished(60000))
        return {};
    return proc.readAllStandardOutput();
}

// The text of page `page` as a reader copies it (工 must come out as 工, not as the Kangxi
// radical ⼯ that shares its glyph).
QString pageText(const std::string& pdf, int page) {
    const QString p = QString::number(page);
    return QString::fromUtf8(
        poppler(QStringLiteral("pdftotext"),
                {QStringLiteral("-f"), p, QStringLiteral("-l"), p, q(pdf), QStringLiteral("-")}));
}

QString pdfInfo(const std::string& pdf, const QString& field) {
    const QStringList lines =
        QString::fromUtf8(poppler(QStringLiteral("pdfinfo"), {q(pdf)})).split(QLatin1Char('\n'));
    for (const QString& line : lines)
        if (line.startsWith(field + QLatin1Char(':')))
            return line.mid(field.size() + 1).trimmed();
    return {};
}

// "page:WxH" for every image in the PDF, in page order.
QStringList pdfImages(const std::string& pdf) {
    QStringList images;
    const QStringList lines =
        QString::fromUtf8(poppler(QStringLiteral("pdfimages"), {QStringLiteral("-list"), q(pdf)}))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QStringList f = lines[i].simplified().split(QLatin1Char(' '));
        if (f.size() > 4)
            images << f[0] + QLatin1Char(':') + f[3] + QLatin1Char('x') + f[4];
    }
    return images;
}

// A photograph at `file` (path bytes, GBK names included).
void photo(const std::string& file, int w, int h, const char* format) {
    QImage image(w, h, QImage::Format_RGB888);
    image.fill(QColor(120, 120, 120));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, format));
    write(file, bytes.toStdString());
}

class ReportProject {
public:
    TempDir dir;
    std::string project = path(dir, "p.cm");
    std::string pdf = path(dir, "out.pdf");
    std::string ini = path(dir, "QB.ini");

    ReportProject() {
        makeDir(path(dir, "CrackData"));
        // List order: 北墙, 南墙, 东墙 (the second 北墙 is dropped).
        write(project,
              projectText({{gbk("一区"), gbk("北墙"), "0.12", gbk("自动"), gbk("斜向"), "T1"},
                           {gbk("二区"), gbk("南墙"), "0.3", gbk("人工"), "", "T2"},
                           {gbk("一区"), gbk("北墙"), "9", "X", "X", "X"},
                           {gbk("三区"), gbk("东墙"), "", gbk("自动"), gbk("无图"), "T3"}}));
        photo(path(dir, "CrackData/北墙.jpg"), 40, 30, "JPG");
        photo(path(dir, "CrackData/南墙.BMP"), 48, 36, "BMP");
        write(ini, "[Vantorel]\r\nCompany=" + gbk("某检测公司") + "\r\nCensor=" + gbk("张三") +
                       "\r\nReceiver=" + gbk("李四") + "\r\n");
    }

    Run report(const QStringList& args, const RunOptions& options = {}) {
        return run(QStringList{QStringLiteral("report"), q(project), q(pdf)} + args, options);
    }
};

} // namespace

class ReportCliTest : public QObject {
    Q_OBJECT
private slots:
    void everyRecordInListOrderWithItsOwnPhotograph();
    void namedRecordsPrintInListOrderWhateverTheOrderNamed();
    void settingsComeFromTheNamedOrTheProgramsOwnFile();
    void failuresWriteNothing();
    void neverWritesOverWhatItReportsOn();
    void photographsOfAnyNameAndSizeAndTheOnesThatCannotPrint();
};

void ReportCliTest::everyRecordInListOrderWithItsOwnPhotograph() {
    ReportProject p;
    const Run r = p.report({QStringLiteral("--ini"), q(p.ini)});
    QVERIFY2(r.status == 0, r.err.constData());
    QCOMPARE(pdfInfo(p.pdf, QStringLiteral("Pages")), QStringLiteral("3"));
    QVERIFY(pdfInfo(p.pdf, QStringLiteral("Page size")).startsWith(QStringLiteral("595 x 842")));

    const QString first = pageText(p.pdf, 1), second = pageText(p.pdf, 2),
                  third = pageText(p.pdf, 3);
    for (const QString& page : {first, second, third}) {
        QVERIFY(page.contains(QStringLiteral("裂缝检测报告")));
        QVERIFY(page.contains(QStringLiteral("某检测公司")));
        QVERIFY(page.contains(QStringLiteral("张三")));
        QVERIFY(page.contains(QStringLiteral("李四")));
    }
    QVERIFY(first.contains(QStringLiteral("北墙")) && first.contains(QStringLiteral("一区")) &&
            first.contains(QStringLiteral("斜向")) && first.contains(QStringLiteral("自动")));
    QVERIFY(second.contains(QStringLiteral("南墙")) && second.contains(QStringLiteral("二区")) &&
            second.contains(QStringLiteral("人工")));
    QVERIFY(third.contains(QStringLiteral("东墙")) && third.contains(QStringLiteral("无图")));
    QVERIFY(!first.contains(QStringLiteral("南墙")) && !second.contains(QStringLiteral("北墙")));
    // Latin letters and digits among Chinese text can be copied out of the PDF as they print.
    QVERIFY2(first.contains(QStringLiteral("0.12 mm")) && first.contains(QStringLiteral("T1")),
             qPrintable(first));
    QVERIFY(second.contains(QStringLiteral("0.3 mm")) && third.contains(QStringLiteral("T3")));
    // Page 2 shows 南墙's own photograph; 东墙 has none and its picture area stays blank.
    QCOMPARE(pdfImages(p.pdf), (QStringList{"1:40x30", "2:48x36"}));
}

void ReportCliTest::namedRecordsPrintInListOrderWhateverTheOrderNamed() {
    ReportProject p;
    const Run r =
        p.report({QStringLiteral("--record"), QStringLiteral("东墙"), QStringLiteral("--record"),
                  QStringLiteral("北墙"), QStringLiteral("--record"), QStringLiteral("东墙"),
                  QStringLiteral("--ini"), q(p.ini)});
    QVERIFY2(r.status == 0, r.err.constData());
    QCOMPARE(pdfInfo(p.pdf, QStringLiteral("Pages")), QStringLiteral("2"));
    QVERIFY(pageText(p.pdf, 1).contains(QStringLiteral("北墙")));
    QVERIFY(pageText(p.pdf, 2).contains(QStringLiteral("东墙")));
    QCOMPARE(pdfImages(p.pdf), (QStringList{"1:40x30"}));
}

void ReportCliTest::settingsComeFromTheNamedOrTheProgramsOwnFile() {
    ReportProject p;
    const std::string other = path(p.dir, "other.ini");
    write(other, "[Vantorel]\r\nChecker=" + gbk("王工") + "\r\n");
    RunOptions own;
    own.settingsFile = q(other);
    Run r = p.report({QStringLiteral("--record"), QStringLiteral("南墙"), QStringLiteral("--dpi"),
                      QStringLiteral("150")},
                     own);
    QVERIFY2(r.status == 0, r.err.constData());
    QCOMPARE(pdfInfo(p.pdf, QStringLiteral("Pages")), QStringLiteral("1"));
    QVERIFY(pdfInfo(p.pdf, QStringLiteral("Page size")).startsWith(QStringLiteral("595 x 842")));
    QString text = pageText(p.pdf, 1);
    QVERIFY(text.contains(QStringLiteral("王工")));
    QVERIFY(!text.contains(QStringLiteral("某检测公司")));

    // --ini wins over the program's own file.
    r = p.report({QStringLiteral("--ini"), q(p.ini)}, own);
    QCOMPARE(r.status, 0);
    text = pageText(p.pdf, 1);
    QVERIFY(text.contains(QStringLiteral("某检测公司")));
    QVERIFY(!text.contains(QStringLiteral("王工")));

    // A missing settings file of the program's own gives empty values.
    own.settingsFile = q(path(p.dir, "none.ini"));
    r = p.report({}, own);
    QCOMPARE(r.status, 0);
    QVERIFY(!pageText(p.pdf, 1).contains(QStringLiteral("某检测公司")));
}

void ReportCliTest::failuresWriteNothing() {
    ReportProject p;
    write(p.pdf, "an earlier report");
    const QList<QStringList> failing = {
        {"--record", "西墙"},                  // no such record
        {"--record", "北墙", "--record", "x"}, //
        {"--dpi", "9"},
        {"--dpi", "9601"},
        {"--dpi", "abc"},
        {"--ini", q(path(p.dir, "none.ini"))}, // a named settings file must exist
        {"--ini", p.dir.path()},               // and be readable
    };
    for (const QStringList& args : failing) {
        const Run r = p.report(args);
        QVERIFY2(r.status == 2, qPrintable(args.join(QLatin1Char(' '))));
        QVERIFY2(!r.err.isEmpty(), qPrintable(args.join(QLatin1Char(' '))));
        QCOMPARE(read(p.pdf), std::string("an earlier report"));
    }

    // Nothing to print.
    const std::string empty = path(p.dir, "empty.cm");
    write(empty, projectText({}));
    Run r = run({QStringLiteral("report"), q(empty), q(p.pdf)});
    QCOMPARE(r.status, 2);
    QVERIFY(r.errText().contains(QStringLiteral("请选择需要打印的记录")));
    QCOMPARE(read(p.pdf), std::string("an earlier report"));

    // An unreadable project, an output that cannot be written.
    QCOMPARE(run({QStringLiteral("report"), q(path(p.dir, "none.cm")), q(p.pdf)}).status, 2);
    QCOMPARE(read(p.pdf), std::string("an earlier report"));
    const std::string lost = path(p.dir, "none/out.pdf");
    r = run({QStringLiteral("report"), q(p.project), q(lost)});
    QCOMPARE(r.status, 2);
    QVERIFY(!exists(lost));
    QVERIFY(entries(p.dir.path().toStdString()).size() == 5); // no temporary file left
}

void ReportCliTest::neverWritesOverWhatItReportsOn() {
    ReportProject p;
    const std::string projectText = read(p.project);
    const std::string iniText = read(p.ini);
    const std::string photoText = read(path(p.dir, "CrackData/北墙.jpg"));
    QVERIFY(::symlink("p.cm", path(p.dir, "link.cm").c_str()) == 0);
    QVERIFY(::link(path(p.dir, "CrackData/南墙.BMP").c_str(), path(p.dir, "hard.pdf").c_str()) ==
            0);
    RunOptions options;
    options.workingDirectory = p.dir.path();
    options.settingsFile = q(p.ini);
    const QStringList outputs = {q(p.project),
                                 QStringLiteral("./p.cm"),
                                 QStringLiteral("link.cm"),
                                 q(p.ini),
                                 QStringLiteral("CrackData/北墙.jpg"),
                                 QStringLiteral("hard.pdf")};
    for (const QString& out : outputs) {
        const Run r = run({QStringLiteral("report"), QStringLiteral("p.cm"), out}, options);
        QVERIFY2(r.status == 2, qPrintable(out));
        QVERIFY2(r.errText().contains(QStringLiteral("报告不能写到这里")), qPrintable(r.errText()));
    }
    QCOMPARE(read(p.project), projectText);
    QCOMPARE(read(p.ini), iniText);
    QCOMPARE(read(path(p.dir, "CrackData/北墙.jpg")), photoText);
    QVERIFY(read(path(p.dir, "CrackData/南墙.BMP")).substr(0, 2) == "BM");
    // A file in the picture folder that is no record's photograph may be replaced.
    const Run r = run(
        {QStringLiteral("report"), QStringLiteral("p.cm"), QStringLiteral("CrackData/notes.pdf")},
        options);
    QCOMPARE(r.status, 0);
}

void ReportCliTest::photographsOfAnyNameAndSizeAndTheOnesThatCannotPrint() {
    ReportProject p;
    // 北墙's photograph named in GBK bytes, 南墙's a camera's 8000 × 6000 JPEG (over Qt's
    // default allocation limit decoded whole), 东墙's damaged.
    ::unlink((path(p.dir, "CrackData/北墙.jpg")).c_str());
    photo(path(p.dir, "CrackData/\xB1\xB1\xC7\xBD.jpg"), 40, 30, "JPG");
    ::unlink((path(p.dir, "CrackData/南墙.BMP")).c_str());
    photo(path(p.dir, "CrackData/南墙.jpg"), 8000, 6000, "JPG");
    write(path(p.dir, "CrackData/东墙.jpg"), "not a photograph");
    // An output name that is not UTF-8 is written as given.
    RunOptions shell;
    shell.program = QStringLiteral("/bin/sh");
    const Run r =
        run({QStringLiteral("-c"),
             QStringLiteral("cd \"$1\" && \"$0\" report p.cm \"$(printf 'rep\\377.pdf')\""),
             QStringLiteral(FALLOWMERE_CLI), p.dir.path()},
            shell);
    QVERIFY2(r.status == 1, r.err.constData());
    QVERIFY2(r.errText().contains(QStringLiteral("第 3 页")) &&
                 r.errText().contains(QStringLiteral("CrackData/东墙.jpg")),
             r.err.constData());
    QCOMPARE(r.errText().count(QStringLiteral("CrackData/")), 1);
    const std::string written = path(p.dir, "rep\xff.pdf");
    QVERIFY(exists(written));
    QVERIFY(::rename(written.c_str(), p.pdf.c_str()) == 0);
    // Each photograph embedded at no more than its box's pixels (2834 × 2125 at 600 dpi).
    QCOMPARE(pdfImages(p.pdf), (QStringList{"1:40x30", "2:2834x2125"}));
    QVERIFY(pageText(p.pdf, 3).contains(QStringLiteral("东墙")));
}

QTEST_GUILESS_MAIN(ReportCliTest)
#include "report_cli_test.moc"
