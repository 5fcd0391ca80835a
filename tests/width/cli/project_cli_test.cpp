// fallowmere-cli dump, merge, edit and delete run as a user would: outputs, exit statuses, the
// project file and the photographs afterwards, and nothing changed when a command fails.

#include "tests/width/cli/cli_run.h"

#include <csignal>
#include <sys/resource.h>

using namespace clitest;

namespace {

// The names in column 1 of a dump's rows (the line after "folder" on).
QStringList dumpedNames(const QByteArray& out) {
    QStringList names;
    const QStringList lines = QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i)
        names << lines[i].split(QLatin1Char('\t')).value(1);
    return names;
}

std::string realDir(const TempDir& dir) {
    return QDir(dir.path()).canonicalPath().toStdString();
}

// A name of 250 bytes: the file can be read, but the temporary file beside it that an atomic
// write needs cannot be created (its name would be too long), whoever runs the test.
std::string unwritableName(const TempDir& dir) {
    return path(dir, std::string(247, 'p') + ".cm");
}

} // namespace

class ProjectCliTest : public QObject {
    Q_OBJECT
private slots:
    void dumpListsTheRowsWithThePhotographAPickFinds();
    void dumpSortsAsClicksOnTheHeader();
    void dumpWithoutPictureFolderOrWithoutProject();
    void mergeAppendsNewNamesAndCopiesThePictureFolder();
    void mergeWithItselfOrWithAnEmptyProjectChangesNothing();
    void failedMergeExitsTwo();
    void editChangesTheGivenFieldsAndRenamesThePhotograph();
    void refusedEditChangesNothing();
    void deleteRemovesRowsWithTheirPhotographs();
    void commandsThatCannotSaveTheProjectTouchNoPhotograph();
    void namesThatDifferOnlyInCaseKeepTheirOwnPhotographs();
    void helpAndArgumentsAndLibraries();
};

void ProjectCliTest::dumpListsTheRowsWithThePhotographAPickFinds() {
    TempDir dir;
    const std::string root = realDir(dir);
    makeDir(path(dir, "crackdata"));
    makeDir(path(dir, "CrannyData"));
    write(path(dir, "crackdata/A.JPG"), "a");
    write(path(dir, "crackdata/b.bmp"), "b");
    write(path(dir, "crackdata/c.tif"), "c");
    write(path(dir, "x.jpg"), "outside the folder");
    write(path(dir, "CrannyData/d.jpg"), "not the folder in use");
    write(path(dir, "p.cm"),
          "1\tnot\ta\theader\r\n" + gbk("组A\ta\t0.12\t自动\t左\\侧\t2026-05-01 10:22:13") +
              "\r\n1\tb\t0.3\n2\ta\t9\tM\tR\tT\r\n3\tc.tif\t1\tM\t\xFF\tT\r\n4\td\t1\tM\tR" +
              std::string(1, '\0') + "S\tT\r\n5\t../x\t1\tM\tR\tT");
    RunOptions options;
    options.workingDirectory = dir.path();
    const Run r = run({QStringLiteral("dump"), QStringLiteral("p.cm")}, options);
    QCOMPARE(r.status, 0);
    QVERIFY(r.err.isEmpty());
    const std::string folder = root + "/crackdata/";
    QCOMPARE(r.out.toStdString(),
             "folder\t" + folder + "\n" + "组A\ta\t0.12\t自动\t左\\\\侧\t2026-05-01 10:22:13\t" +
                 folder + "A.JPG\n" + "1\tb\t0.3\t0.3\t0.3\t0.3\t" + folder + "b.bmp\n" +
                 "3\tc.tif\t1\tM\t\uFFFD\tT\t" + folder + "c.tif\n" + //
                 "4\td\t1\tM\tR\\0S\tT\t\n" +                         // NUL escaped
                 "5\t../x\t1\tM\tR\tT\t\n");
}

void ProjectCliTest::dumpSortsAsClicksOnTheHeader() {
    TempDir dir;
    const std::string project = path(dir, "p.cm");
    write(project, projectText({{"1", "cherry", "10", "M", "", "T"},
                                {"2", "Banana", "9", "M", "", "T"},
                                {"3", "apple", "10.5", "M", "", "T"}}));
    auto sorted = [&](const QStringList& clicks) {
        QStringList args{QStringLiteral("dump"), q(project)};
        for (const QString& c : clicks)
            args << QStringLiteral("--sort") << c;
        const Run r = run(args);
        return r.status == 0 ? dumpedNames(r.out) : QStringList{QStringLiteral("failed")};
    };
    const QString c2 = QStringLiteral("2"), c1 = QStringLiteral("1");
    QCOMPARE(sorted({}), (QStringList{"cherry", "Banana", "apple"}));
    QCOMPARE(sorted({c2}), (QStringList{"Banana", "cherry", "apple"})); // 9, 10, 10.5
    QCOMPARE(sorted({c2, c2}), (QStringList{"apple", "cherry", "Banana"}));
    QCOMPARE(sorted({c2, c2, c2}), (QStringList{"Banana", "cherry", "apple"}));
    // Words by the Chinese collation, not by bytes ("Banana" < "apple" in bytes).
    QCOMPARE(sorted({c2, c1}), (QStringList{"apple", "Banana", "cherry"}));
    QCOMPARE(sorted({c1, c1}), (QStringList{"cherry", "Banana", "apple"}));

    for (const char* bad : {"6", "-1", "x", ""}) {
        const Run r = run({QStringLiteral("dump"), q(project), QStringLiteral("--sort"),
                           QString::fromLatin1(bad)});
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
    }
}

void ProjectCliTest::dumpWithoutPictureFolderOrWithoutProject() {
    TempDir dir;
    const std::string project = path(dir, "p.cm");
    write(project, projectText({{"1", "a", "1", "M", "R", "T"}}));
    Run r = run({QStringLiteral("dump"), q(project)});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out.toStdString(), "folder\t" + realDir(dir) + "/CrannyData/\n1\ta\t1\tM\tR\tT\t\n");
    QVERIFY(r.errText().contains(QStringLiteral("无文件数据可加载！")));

    // A field of 700 kB, printed a piece at a time: no character split, every escape kept.
    std::string longRemark, printed;
    for (int i = 0; i < 100'000; ++i) {
        longRemark += gbk("裂缝") + "\\\ra";
        printed += "裂缝\\\\\\ra";
    }
    write(project, "h\r\n1\ta\t1\tM\t" + longRemark + "\tT\r\n");
    r = run({QStringLiteral("dump"), q(project)});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out.toStdString(),
             "folder\t" + realDir(dir) + "/CrannyData/\n1\ta\t1\tM\t" + printed + "\tT\t\n");

    RunOptions full;
    full.stdoutFile = QStringLiteral("/dev/full");
    QCOMPARE(run({QStringLiteral("dump"), q(project)}, full).status, 2);

    for (const std::string& unreadable : {path(dir, "missing.cm"), path(dir, "")}) {
        r = run({QStringLiteral("dump"), q(unreadable)});
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY(!r.err.isEmpty());
    }
}

void ProjectCliTest::mergeAppendsNewNamesAndCopiesThePictureFolder() {
    TempDir dir;
    const std::string project = path(dir, "p/p.cm"), other = path(dir, "o/o.cm");
    makeDir(path(dir, "p/CrackData"));
    makeDir(path(dir, "o/CrackData/sub"));
    write(project, projectText({{"1", "a", "1", "M", "", "T"}, {"1", "b", "2", "M", "", "T"}}));
    write(path(dir, "p/CrackData/a.jpg"), "PA");
    write(path(dir, "p/CrackData/b.jpg"), "PB");
    const std::string otherText = projectText({{"2", "b", "9", "O", "", "T"},
                                               {"2", "c", "3", "O", "", "T"},
                                               {"2", "c", "4", "O", "", "T"},
                                               {"2", gbk("东墙"), "5", "O", "", "T"}});
    write(other, otherText);
    write(path(dir, "o/CrackData/b.jpg"), "OB");
    write(path(dir, "o/CrackData/c.bmp"), "OC");
    write(path(dir, "o/CrackData/sub/deep.txt"), "deep");

    Run r = run({QStringLiteral("merge"), q(project), q(other)});
    QCOMPARE(r.status, 0);
    QVERIFY(r.errText().contains(QStringLiteral("复制文件夹操作成功")));
    const std::string merged = projectText({{"1", "a", "1", "M", "", "T"},
                                            {"1", "b", "2", "M", "", "T"},
                                            {"2", "c", "3", "O", "", "T"},
                                            {"2", gbk("东墙"), "5", "O", "", "T"}});
    QCOMPARE(read(project), merged);
    QCOMPARE(read(path(dir, "p/CrackData/b.jpg")), std::string("PB")); // kept
    QCOMPARE(read(path(dir, "p/CrackData/c.bmp")), std::string("OC"));
    QCOMPARE(read(path(dir, "p/CrackData/sub/deep.txt")), std::string("deep"));
    QCOMPARE(read(other), otherText);

    r = run({QStringLiteral("merge"), q(project), q(other), QStringLiteral("--replace")});
    QCOMPARE(r.status, 0);
    QCOMPARE(read(project), merged);
    QCOMPARE(read(path(dir, "p/CrackData/b.jpg")), std::string("OB"));
    QCOMPARE(read(path(dir, "o/CrackData/b.jpg")), std::string("OB"));
}

void ProjectCliTest::mergeWithItselfOrWithAnEmptyProjectChangesNothing() {
    TempDir dir;
    const std::string project = path(dir, "p.cm");
    makeDir(path(dir, "CrackData"));
    const std::string text =
        projectText({{"1", "a", "1", "M", "", "T"}, {"1", gbk("南墙"), "2", "M", "", "T"}});
    write(project, text);
    write(path(dir, "CrackData/a.jpg"), "A");
    write(path(dir, "CrackData/南墙.bmp"), "S");
    Run r = run({QStringLiteral("merge"), q(project), q(project), QStringLiteral("--replace")});
    QCOMPARE(r.status, 0);
    QCOMPARE(read(project), text);
    QCOMPARE(read(path(dir, "CrackData/a.jpg")), std::string("A"));
    QCOMPARE(read(path(dir, "CrackData/南墙.bmp")), std::string("S"));
    QCOMPARE(entries(path(dir, "CrackData")), (std::vector<std::string>{"a.jpg", "南墙.bmp"}));

    // A project without records adds nothing: the file keeps even its bare line ends.
    const std::string lf = "header\n1\ta\t1\tM\t\tT\n";
    write(project, lf);
    write(path(dir, "empty.cm"), "header only\r\n");
    r = run({QStringLiteral("merge"), q(project), q(path(dir, "empty.cm"))});
    QCOMPARE(r.status, 0);
    QCOMPARE(read(project), lf);
}

void ProjectCliTest::failedMergeExitsTwo() {
    TempDir dir;
    const std::string project = path(dir, "p/p.cm"), other = path(dir, "o/o.cm");
    makeDir(path(dir, "p/CrannyData"));
    write(path(dir, "p/CrackData"), "a file where the copied folder would go");
    makeDir(path(dir, "o/CrackData"));
    write(path(dir, "o/CrackData/c.jpg"), "C");
    const std::string text = projectText({{"1", "a", "1", "M", "", "T"}});
    write(project, text);
    write(other, projectText({{"2", "c", "3", "O", "", "T"}}));

    // An unreadable project, to merge or to merge into: nothing changes.
    QCOMPARE(run({QStringLiteral("merge"), q(project), q(path(dir, "o/none.cm"))}).status, 2);
    QCOMPARE(read(project), text);
    QCOMPARE(run({QStringLiteral("merge"), q(path(dir, "p/none.cm")), q(other)}).status, 2);
    QVERIFY(!exists(path(dir, "p/none.cm")));

    // The copy fails: the rewritten project file stays.
    const Run r = run({QStringLiteral("merge"), q(project), q(other)});
    QCOMPARE(r.status, 2);
    QVERIFY(r.errText().contains(QStringLiteral("复制文件夹操作失败")));
    QCOMPARE(read(project),
             projectText({{"1", "a", "1", "M", "", "T"}, {"2", "c", "3", "O", "", "T"}}));

    // The project file cannot be rewritten: it stays as it was.
    const std::string stuck = unwritableName(dir);
    write(stuck, text);
    QCOMPARE(run({QStringLiteral("merge"), q(stuck), q(other)}).status, 2);
    QCOMPARE(read(stuck), text);
}

void ProjectCliTest::editChangesTheGivenFieldsAndRenamesThePhotograph() {
    TempDir dir;
    const std::string project = path(dir, "p.cm");
    makeDir(path(dir, "CrackData"));
    write(project, projectText({{"1", "a", "0.1", "M", "\xFF\x80 kept bytes", "T"},
                                {"2", "b", "0.2", "M", "R", "T"}}));
    write(path(dir, "CrackData/a.bmp"), "A");
    write(path(dir, "CrackData/b.jpg"), "B");

    Run r = run({QStringLiteral("edit"), q(project), QStringLiteral("a"), QStringLiteral("--name"),
                 QStringLiteral("北墙"), QStringLiteral("--group"), QStringLiteral("9")});
    QVERIFY2(r.status == 0, r.err.constData());
    QCOMPARE(read(project), projectText({{"9", gbk("北墙"), "0.1", "M", "\xFF\x80 kept bytes", "T"},
                                         {"2", "b", "0.2", "M", "R", "T"}}));
    QCOMPARE(read(path(dir, "CrackData/北墙.bmp")), std::string("A"));
    QVERIFY(!exists(path(dir, "CrackData/a.bmp")));

    // The record is found by its name as typed; the remark alone touches no photograph.
    QCOMPARE(run({QStringLiteral("edit"), q(project), QStringLiteral("北墙"),
                  QStringLiteral("--remark"), QStringLiteral("新")})
                 .status,
             0);
    QCOMPARE(read(project), projectText({{"9", gbk("北墙"), "0.1", "M", gbk("新"), "T"},
                                         {"2", "b", "0.2", "M", "R", "T"}}));
    QCOMPARE(read(path(dir, "CrackData/北墙.bmp")), std::string("A"));

    // A change of letter case renames the record's own photograph.
    QCOMPARE(run({QStringLiteral("edit"), q(project), QStringLiteral("b"), QStringLiteral("--name"),
                  QStringLiteral("B")})
                 .status,
             0);
    QCOMPARE(read(path(dir, "CrackData/B.jpg")), std::string("B"));
    QVERIFY(!exists(path(dir, "CrackData/b.jpg")));
}

void ProjectCliTest::refusedEditChangesNothing() {
    TempDir dir;
    const std::string project = path(dir, "p.cm");
    makeDir(path(dir, "CrackData"));
    const std::string text =
        projectText({{"1", "a", "0.1", "M", "", "T"}, {"2", "b", "0.2", "M", "", "T"}});
    write(project, text);
    write(path(dir, "CrackData/a.jpg"), "A");
    write(path(dir, "CrackData/b.jpg"), "B");
    auto unchanged = [&] {
        return read(project) == text && read(path(dir, "CrackData/a.jpg")) == "A" &&
               read(path(dir, "CrackData/b.jpg")) == "B" &&
               entries(path(dir, "CrackData")).size() == 2;
    };
    const QString name = QStringLiteral("--name");
    const QList<QStringList> refused = {
        {"a", name, "b"},                          // another record's photograph
        {"a", name, "x/y"},                        // cannot name a picture
        {"a", name, ".."},                         //
        {"a", name, "\U0001F600"},                 // not GBK
        {"a", QStringLiteral("--remark"), "x\ty"}, // the file cannot hold a TAB
        {"zz", QStringLiteral("--group"), "1"},    // no such record
        {"a", name},                               // an option without its value
        {"a", "b"},                                // too many names
    };
    for (const QStringList& args : refused) {
        const Run r = run(QStringList{QStringLiteral("edit"), q(project)} + args);
        QVERIFY2(r.status == 2, qPrintable(args.join(QLatin1Char(' '))));
        QVERIFY2(!r.err.isEmpty(), qPrintable(args.join(QLatin1Char(' '))));
        QVERIFY2(unchanged(), qPrintable(args.join(QLatin1Char(' '))));
    }

    // The project file cannot be rewritten: the photograph keeps its name.
    const std::string stuck = unwritableName(dir);
    write(stuck, text);
    QCOMPARE(run({QStringLiteral("edit"), q(stuck), QStringLiteral("a"), name, QStringLiteral("n")})
                 .status,
             2);
    QCOMPARE(read(stuck), text);
    QVERIFY(unchanged());
}

void ProjectCliTest::deleteRemovesRowsWithTheirPhotographs() {
    TempDir dir;
    const std::string project = path(dir, "p.cm");
    makeDir(path(dir, "CrackData"));
    const std::string east = gbk("东墙");
    const std::string text = projectText({{"1", "a", "1", "M", "", "T"},
                                          {"1", "b", "2", "M", "", "T"},
                                          {"1", "c.jpg", "3", "M", "", "T"},
                                          {"1", east, "4", "M", "", "T"},
                                          {"1", "d", "5", "M", "", "T"}});
    write(project, text);
    write(path(dir, "CrackData/a.jpg"), "A");
    write(path(dir, "CrackData/b.BMP"), "B");
    write(path(dir, "CrackData/c.jpg"), "C");
    write(path(dir, "CrackData/" + east + ".jpg"), "E"); // a GBK file name from an older system
    write(path(dir, "CrackData/d.jpg"), "D");

    // One unknown name: nothing is deleted.
    QCOMPARE(run({QStringLiteral("delete"), q(project), QStringLiteral("a"), QStringLiteral("zz")})
                 .status,
             2);
    QCOMPARE(read(project), text);
    QCOMPARE(entries(path(dir, "CrackData")).size(), size_t{5});

    const Run r = run({QStringLiteral("delete"), q(project), QStringLiteral("东墙"),
                       QStringLiteral("c.jpg"), QStringLiteral("a"), QStringLiteral("b")});
    QVERIFY2(r.status == 0, r.err.constData());
    QCOMPARE(read(project), projectText({{"1", "d", "5", "M", "", "T"}}));
    QVERIFY(!exists(path(dir, "CrackData/a.jpg")));
    QVERIFY(!exists(path(dir, "CrackData/b.BMP")));
    QVERIFY(!exists(path(dir, "CrackData/" + east + ".jpg")));
    // The deletion looks for "c.jpg.jpg" and "c.jpg.bmp": the file named like the record stays.
    QCOMPARE(read(path(dir, "CrackData/c.jpg")), std::string("C"));

    QCOMPARE(run({QStringLiteral("delete"), q(project), QStringLiteral("d")}).status, 0);
    QCOMPARE(read(project), projectText({}));
    QVERIFY(!exists(path(dir, "CrackData/d.jpg")));
}

void ProjectCliTest::commandsThatCannotSaveTheProjectTouchNoPhotograph() {
    TempDir dir;
    const std::string stuck = unwritableName(dir), other = path(dir, "o/o.cm");
    makeDir(path(dir, "CrackData"));
    makeDir(path(dir, "o/CrackData"));
    const std::string text =
        projectText({{"1", "L1-01", "1", "M", "", "T"}, {"1", "L1-02", "2", "M", "", "T"}});
    write(stuck, text);
    write(path(dir, "CrackData/L1-02.jpg"), "P");
    write(other, projectText({{"2", "c", "3", "O", "", "T"}}));
    write(path(dir, "o/CrackData/c.jpg"), "C");

    Run r = run({QStringLiteral("delete"), q(stuck), QStringLiteral("L1-02")});
    QCOMPARE(r.status, 2);
    QVERIFY(r.errText().contains(QStringLiteral("原文件保持不变。")));
    r = run({QStringLiteral("merge"), q(stuck), q(other)});
    QCOMPARE(r.status, 2);
    QVERIFY2(!r.errText().contains(QStringLiteral("复制文件夹")) &&
                 !r.errText().contains(QStringLiteral("添加了")),
             r.err.constData());
    QCOMPARE(read(stuck), text);
    QCOMPARE(read(path(dir, "CrackData/L1-02.jpg")), std::string("P"));
    QCOMPARE(entries(path(dir, "CrackData")), std::vector<std::string>{"L1-02.jpg"});

    // A full disk (a file size limit the tool inherits).
    const std::string project = path(dir, "p.cm");
    write(project, text);
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 16;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    r = run({QStringLiteral("delete"), q(project), QStringLiteral("L1-02")});
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
    QCOMPARE(r.status, 2);
    QCOMPARE(read(project), text);
    QCOMPARE(read(path(dir, "CrackData/L1-02.jpg")), std::string("P"));
}

void ProjectCliTest::namesThatDifferOnlyInCaseKeepTheirOwnPhotographs() {
    TempDir dir;
    const std::string project = path(dir, "p.cm");
    makeDir(path(dir, "CrackData"));
    write(project, projectText({{"1", "A1", "1", "M", "", "T"}, {"2", "a1", "2", "M", "", "T"}}));
    write(path(dir, "CrackData/A1.jpg"), "upper");
    write(path(dir, "CrackData/a1.JPG"), "lower");
    const Run dump = run({QStringLiteral("dump"), q(project)});
    QVERIFY(
        dump.out.contains("\t1\tM\t\tT\t" + QFile::encodeName(dir.path()) + "/CrackData/A1.jpg\n"));
    QVERIFY(dump.out.contains("/CrackData/a1.JPG\n"));
    QCOMPARE(run({QStringLiteral("edit"), q(project), QStringLiteral("a1"),
                  QStringLiteral("--name"), QStringLiteral("b1")})
                 .status,
             0);
    QCOMPARE(read(path(dir, "CrackData/b1.jpg")), std::string("lower"));
    // A name that differs from another record's only in case gets a photograph of its own.
    QCOMPARE(run({QStringLiteral("edit"), q(project), QStringLiteral("b1"),
                  QStringLiteral("--name"), QStringLiteral("a1")})
                 .status,
             0);
    QCOMPARE(read(path(dir, "CrackData/a1.jpg")), std::string("lower"));
    QCOMPARE(run({QStringLiteral("delete"), q(project), QStringLiteral("a1")}).status, 0);
    QCOMPARE(entries(path(dir, "CrackData")), std::vector<std::string>{"A1.jpg"});
    QCOMPARE(read(path(dir, "CrackData/A1.jpg")), std::string("upper"));
}

void ProjectCliTest::helpAndArgumentsAndLibraries() {
    Run r = run({QStringLiteral("--help")});
    QCOMPARE(r.status, 0);
    for (const char* command : {"dump", "merge", "edit", "delete", "settings", "demo", "report"})
        QVERIFY2(r.out.contains(QByteArray("fallowmere-cli ") + command), command);
    QCOMPARE(run({}).status, 2);
    QCOMPARE(run({QStringLiteral("dump")}).status, 2);
    QCOMPARE(run({QStringLiteral("delete"), QStringLiteral("p.cm")}).status, 2);
    QCOMPARE(run({QStringLiteral("merge"), QStringLiteral("a.cm"), QStringLiteral("b.cm"),
                  QStringLiteral("--force")})
                 .status,
             2);

    // Headless: no widgets and no print support.
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), {QStringLiteral(FALLOWMERE_CLI)});
    QVERIFY(ldd.waitForFinished());
    const QByteArray libraries = ldd.readAllStandardOutput();
    QVERIFY(libraries.contains("libQt6Gui"));
    QVERIFY(!libraries.contains("Widgets"));
    QVERIFY(!libraries.contains("PrintSupport"));
}

QTEST_GUILESS_MAIN(ProjectCliTest)
#include "project_cli_test.moc"
