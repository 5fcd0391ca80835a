#pragma once
// Running fallowmere-cli as a user would, and the files around it, for the tool's tests.

#include "common/atomic_file.h"
#include "common/gbk.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace clitest {

struct Run {
    int status = -1; // exit status; -2 when the tool crashed or hung
    QByteArray out;
    QByteArray err;
    QString errText() const { return QString::fromUtf8(err); }
};

struct RunOptions {
    QString workingDirectory;
    QString stdoutFile;   // stdout goes to this file instead (e.g. "/dev/full")
    QString settingsFile; // FALLOWMERE_INI; empty: left unset
    QString program = QStringLiteral(FALLOWMERE_CLI);
};

// Runs the tool without QT_QPA_PLATFORM or a display: it must start headless by itself.
inline Run run(const QStringList& args, const RunOptions& options = {}) {
    QProcess proc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("FALLOWMERE_INI"));
    if (!options.settingsFile.isEmpty())
        env.insert(QStringLiteral("FALLOWMERE_INI"), options.settingsFile);
    proc.setProcessEnvironment(env);
    if (!options.workingDirectory.isEmpty())
        proc.setWorkingDirectory(options.workingDirectory);
    if (!options.stdoutFile.isEmpty())
        proc.setStandardOutputFile(options.stdoutFile);
    proc.start(options.program, args);
    Run r;
    if (!proc.waitForFinished(120000)) {
        proc.kill();
        proc.waitForFinished();
        r.status = -2;
        return r;
    }
    r.status = proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -2;
    r.out = proc.readAllStandardOutput();
    r.err = proc.readAllStandardError();
    return r;
}

inline std::string gbk(const char* utf8) {
    return tessera::utf8ToGbk(utf8).value();
}

// A temporary folder, removed with everything in it, file names that are not UTF-8 included.
class TempDir {
public:
    TempDir() { dir_.setAutoRemove(false); }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(dir_.path().toStdString(), ec);
    }
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

// A path below `dir`; `name` is bytes (a GBK file name stays GBK).
inline std::string path(const TempDir& dir, const std::string& name) {
    return QFile::encodeName(dir.path()).toStdString() + "/" + name;
}

// The names in a folder as bytes, sorted.
inline std::vector<std::string> entries(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A path as an argument of the tool (QProcess encodes it back to the same bytes).
inline QString q(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

inline void write(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    QVERIFY2(out.good(), path.c_str());
}

inline std::string read(const std::string& path) {
    std::string bytes;
    tessera::readWholeFile(path, bytes);
    return bytes;
}

inline bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

inline void makeDir(const std::string& path) {
    QVERIFY(QDir().mkpath(q(path)));
}

// A project file: the header the program writes, then one line per record (fields GBK),
// CR LF after every line.
inline std::string projectText(const std::vector<std::vector<std::string>>& records) {
    std::string out = gbk("组号\t名称\t宽度\t模式\t备注\t时间") + "\r\n";
    for (const auto& record : records) {
        for (size_t i = 0; i < record.size(); ++i)
            out += (i ? "\t" : "") + record[i];
        out += "\r\n";
    }
    return out;
}

} // namespace clitest
