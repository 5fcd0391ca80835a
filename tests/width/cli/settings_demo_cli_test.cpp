// fallowmere-cli settings and demo run as a user would: the settings file as the program and
// its dialog leave it, and a sample project that is complete and the same on every run.

#include "tests/width/cli/cli_run.h"

#include <QImageReader>
#include <QRegularExpression>

using namespace clitest;

namespace {

bool ownerMayWrite(const std::string& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 && (st.st_mode & S_IWUSR);
}

QByteArray settingsLines(const char* company, const char* project, const char* censor,
                         const char* checker, const char* receiver) {
    return QByteArray("Company\t") + company + "\nProjectName\t" + project + "\nCensor\t" + censor +
           "\nChecker\t" + checker + "\nReceiver\t" + receiver + "\n";
}

} // namespace

class SettingsDemoCliTest : public QObject {
    Q_OBJECT
private slots:
    void settingsReadsAndWritesAsTheProgramDoes();
    void wrongSettingsLeaveTheFileAsItWas();
    void settingsWithoutIniUseTheProgramsOwnFile();
    void demoWritesACompleteProjectTheSameEveryTime();
    void demoArgumentsAreChecked();
};

void SettingsDemoCliTest::settingsReadsAndWritesAsTheProgramDoes() {
    TempDir dir;
    const std::string ini = path(dir, "QB.ini");
    const std::string longCompany(300, 'A');
    // A project name whose character 老 would be split by the 259-byte cut, and a receiver
    // holding NUL, which is printed escaped.
    const std::string longProject = std::string(258, 'B') + gbk("老");
    write(ini, "[Other]\r\nx=1\r\n[vantorel]\r\ncompany=" + longCompany +
                   "\r\nProjectName=" + longProject + "\r\nChecker=" + gbk("老李") +
                   "\r\nReceiver=a" + std::string(1, '\0') + "b\r\n");
    Run r = run({QStringLiteral("settings"), QStringLiteral("--ini"), q(ini)});
    QCOMPARE(r.status, 0);
    const QByteArray cut(259, 'A'), cutProject(258, 'B');
    QCOMPARE(r.out, settingsLines(cut, cutProject, "", "老李", "a\\0b"));
    QVERIFY(!ownerMayWrite(ini)); // read-only between accesses

    r = run({QStringLiteral("settings"), QStringLiteral("--ini"), q(ini),
             QStringLiteral("Censor=张三"), QStringLiteral("RECEIVER=李四 = 收"),
             QStringLiteral("Censor=王五")});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, settingsLines(cut, cutProject, "王五", "老李", "李四 = 收"));
    QVERIFY(!ownerMayWrite(ini));
    // The dialog's OK writes all five keys, the values held in memory (cut on reading).
    const std::string file = read(ini);
    QVERIFY(file.find("[Other]\r\nx=1\r\n") == 0);
    for (const std::string& line :
         {"company=" + std::string(cut.constData(), 259) + "\r\n",
          "ProjectName=" + std::string(258, 'B') + "\r\n", "Censor=" + gbk("王五") + "\r\n",
          "Checker=" + gbk("老李") + "\r\n", "Receiver=" + gbk("李四 = 收")})
        QVERIFY2(file.find(line) != std::string::npos, line.c_str());
    QVERIFY(file.find(longCompany) == std::string::npos);

    // A missing file gives five empty values and is not created.
    const std::string none = path(dir, "none.ini");
    r = run({QStringLiteral("settings"), QStringLiteral("--ini"), q(none)});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, settingsLines("", "", "", "", ""));
    QVERIFY(!exists(none));
}

void SettingsDemoCliTest::wrongSettingsLeaveTheFileAsItWas() {
    TempDir dir;
    const std::string ini = path(dir, "QB.ini");
    const std::string text = "[Vantorel]\r\nCompany=" + gbk("某公司") + "\r\n";
    write(ini, text);
    const QList<QStringList> wrong = {
        {"Foo=1"},                          // no such key
        {"Censor"},                         // not an assignment
        {"Company=x", "Censor=\U0001F600"}, // not GBK
        {"Company=a\nb"},                   // a value is one line
    };
    for (const QStringList& args : wrong) {
        const Run r =
            run(QStringList{QStringLiteral("settings"), QStringLiteral("--ini"), q(ini)} + args);
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(read(ini), text);
    }
    // A file in a folder that does not exist cannot be written.
    const std::string lost = path(dir, "none/QB.ini");
    QCOMPARE(run({QStringLiteral("settings"), QStringLiteral("--ini"), q(lost),
                  QStringLiteral("Company=x")})
                 .status,
             2);
    QVERIFY(!exists(lost));
    // Output that cannot be written.
    RunOptions full;
    full.stdoutFile = QStringLiteral("/dev/full");
    QCOMPARE(run({QStringLiteral("settings"), QStringLiteral("--ini"), q(ini)}, full).status, 2);
}

void SettingsDemoCliTest::settingsWithoutIniUseTheProgramsOwnFile() {
    TempDir dir;
    // FALLOWMERE_INI names the file.
    RunOptions named;
    named.settingsFile = q(path(dir, "named.ini"));
    QCOMPARE(run({QStringLiteral("settings"), QStringLiteral("Checker=甲")}, named).status, 0);
    QVERIFY(read(path(dir, "named.ini")).find("Checker=" + gbk("甲")) != std::string::npos);

    // Otherwise "QB.ini" beside the running program, whatever the working folder.
    makeDir(path(dir, "bin"));
    const std::string tool = path(dir, "bin/fallowmere-cli");
    QVERIFY(QFile::copy(QStringLiteral(FALLOWMERE_CLI), q(tool)));
    RunOptions own;
    own.program = q(tool);
    own.workingDirectory = dir.path();
    const Run r = run({QStringLiteral("settings"), QStringLiteral("Company=乙")}, own);
    QCOMPARE(r.status, 0);
    QVERIFY(read(path(dir, "bin/QB.ini")).find("Company=" + gbk("乙")) != std::string::npos);
    QVERIFY(!exists(path(dir, "QB.ini")));
    QCOMPARE(run({QStringLiteral("settings")}, own).out, settingsLines("乙", "", "", "", ""));
}

void SettingsDemoCliTest::demoWritesACompleteProjectTheSameEveryTime() {
    TempDir dir;
    const std::string first = path(dir, "one"), second = path(dir, "two/deeper");
    const QStringList args{QStringLiteral("--records"), QStringLiteral("7"),
                           QStringLiteral("--size"), QStringLiteral("64x48")};
    QCOMPARE(run(QStringList{QStringLiteral("demo"), q(first)} + args).status, 0);
    QCOMPARE(run(QStringList{QStringLiteral("demo"), q(second)} + args).status, 0);

    // Seven records in GBK, each with the photograph a pick finds, but the last.
    const Run dump = run({QStringLiteral("dump"), q(first + "/demo.cm")});
    QCOMPARE(dump.status, 0);
    QVERIFY(dump.err.isEmpty());
    const QStringList lines =
        QString::fromUtf8(dump.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 8);
    QCOMPARE(lines[0], QStringLiteral("folder\t") + q(first) + QStringLiteral("/CrackData/"));
    const QStringList names{"L1-01", "L1-02", "L1-03", "L1-04", "L1-05", "L2-01", "L2-02"};
    QStringList photoSuffixes;
    for (int i = 0; i < 7; ++i) {
        const QStringList fields = lines[i + 1].split(QLatin1Char('\t'));
        QCOMPARE(fields.size(), 7);
        QCOMPARE(fields[1], names[i]);
        QVERIFY(fields[0].contains(QRegularExpression(QStringLiteral("\\p{Han}"))));
        QVERIFY(QRegularExpression(QStringLiteral("^0\\.\\d\\d$")).match(fields[2]).hasMatch());
        QVERIFY(fields[3].contains(QRegularExpression(QStringLiteral("\\p{Han}"))));
        QVERIFY(QRegularExpression(QStringLiteral("^2026-05-01 \\d\\d:\\d\\d:\\d\\d$"))
                    .match(fields[5])
                    .hasMatch());
        photoSuffixes << fields[6].mid(fields[6].lastIndexOf(QLatin1Char('/')) + 1);
        if (fields[6].isEmpty())
            continue;
        QImageReader photo(fields[6]);
        QCOMPARE(photo.size(), QSize(64, 48));
        QCOMPARE(photo.format(), fields[6].endsWith(QStringLiteral(".bmp")) ? QByteArray("bmp")
                                                                            : QByteArray("jpeg"));
    }
    QCOMPARE(photoSuffixes, (QStringList{"L1-01.jpg", "L1-02.jpg", "L1-03.jpg", "L1-04.bmp",
                                         "L1-05.jpg", "L2-01.jpg", ""}));
    QVERIFY(tessera::gbkToUtf8Strict(read(first + "/demo.cm")).has_value());

    // The same arguments give the same bytes.
    QCOMPARE(entries(first + "/CrackData"), entries(second + "/CrackData"));
    QCOMPARE(read(first + "/demo.cm"), read(second + "/demo.cm"));
    for (const std::string& name : entries(first + "/CrackData"))
        QVERIFY2(read(first + "/CrackData/" + name) == read(second + "/CrackData/" + name),
                 name.c_str());

    // Fewer records over an earlier demo: the last one still has no photograph.
    QCOMPARE(run({QStringLiteral("demo"), q(first), QStringLiteral("--records"),
                  QStringLiteral("3"), QStringLiteral("--size"), QStringLiteral("64x48")})
                 .status,
             0);
    const QByteArray again = run({QStringLiteral("dump"), q(first + "/demo.cm")}).out;
    QCOMPARE(again.count('\n'), 4);
    QVERIFY(again.endsWith("\t\n"));
    QVERIFY(!exists(first + "/CrackData/L1-03.jpg"));
}

void SettingsDemoCliTest::demoArgumentsAreChecked() {
    TempDir dir;
    const std::string target = path(dir, "demo");
    const QList<QStringList> wrong = {
        {"--records", "0"}, {"--records", "x"},   {"--size", "64"},
        {"--size", "8x8"},  {"--size", "64x-48"}, {"--size", "9000x64"},
    };
    for (const QStringList& args : wrong) {
        QCOMPARE(run(QStringList{QStringLiteral("demo"), q(target)} + args).status, 2);
        QVERIFY(!exists(target));
    }
    // A folder that cannot be made, with the reason in Chinese.
    write(path(dir, "file"), "x");
    const Run underAFile = run({QStringLiteral("demo"), q(path(dir, "file/demo"))});
    QCOMPARE(underAFile.status, 2);
    QVERIFY2(underAFile.errText().contains(QStringLiteral("不是目录")),
             qPrintable(underAFile.errText()));
}

QTEST_GUILESS_MAIN(SettingsDemoCliTest)
#include "settings_demo_cli_test.moc"
