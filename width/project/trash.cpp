#include "width/project/trash.h"

#include "common/error_text.h"
#include "common/file_stamp.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fallowmere {
namespace {

// The longest run of attempts at a free name in the trash ("a.jpg", "a.2.jpg", ...).
constexpr int kMaxNameAttempts = 1000;

std::string dataHome() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/')
        return xdg;
    std::string home;
    if (const char* env = std::getenv("HOME"); env && env[0] == '/')
        home = env;
    else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        home = pw->pw_dir;
    return home.empty() ? std::string() : home + "/.local/share";
}

std::string parentOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates the folder and the ones above it that are missing (new ones only for the user).
bool makeFolders(const std::string& path, int& code) {
    for (size_t pos = 1;;) {
        const size_t slash = path.find('/', pos);
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            code = errno;
            return false;
        }
        if (slash == std::string::npos)
            break;
        pos = slash + 1;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        code = ENOTDIR;
        return false;
    }
    return true;
}

// A trash folder itself: a real folder (no link) of the user's, on device `device`, with
// "files" and "info" inside.
bool usableTrash(const std::string& trash, dev_t device, int& code) {
    struct stat st {};
    if (::lstat(trash.c_str(), &st) != 0) {
        code = errno;
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid() || st.st_dev != device) {
        code = EPERM;
        return false;
    }
    return makeFolders(trash + "/files", code) && makeFolders(trash + "/info", code);
}

// The top of the file system that holds `folder` (resolved).
std::string topOf(const std::string& folder, dev_t device) {
    std::string dir = folder;
    while (dir != "/") {
        const std::string parent = parentOf(dir);
        struct stat st {};
        if (::stat(parent.c_str(), &st) != 0 || st.st_dev != device)
            break;
        dir = parent;
    }
    return dir;
}

struct TrashFolder {
    std::string path;
    std::string top; // empty for the home trash, whose information holds absolute paths
};

bool findTrash(dev_t device, const std::string& folder, TrashFolder& out, int& code) {
    code = ENOENT;
    if (const std::string home = dataHome(); !home.empty()) {
        struct stat st {};
        int ignored = 0;
        if (makeFolders(home, ignored) && ::stat(home.c_str(), &st) == 0 && st.st_dev == device) {
            const std::string trash = home + "/Trash";
            if (makeFolders(trash, code) && usableTrash(trash, device, code)) {
                out = {trash, {}};
                return true;
            }
            return false;
        }
    }
    const std::string top = topOf(folder, device);
    const std::string prefix = top == "/" ? std::string() : top;
    const std::string uid = std::to_string(::getuid());
    struct stat shared {};
    if (::lstat((prefix + "/.Trash").c_str(), &shared) == 0 && S_ISDIR(shared.st_mode) &&
        (shared.st_mode & S_ISVTX)) {
        const std::string trash = prefix + "/.Trash/" + uid;
        if ((::mkdir(trash.c_str(), 0700) == 0 || errno == EEXIST) &&
            usableTrash(trash, device, code)) {
            out = {trash, top};
            return true;
        }
    }
    const std::string trash = prefix + "/.Trash-" + uid;
    if ((::mkdir(trash.c_str(), 0700) == 0 || errno == EEXIST) &&
        usableTrash(trash, device, code)) {
        out = {trash, top};
        return true;
    }
    return false;
}

std::string percentEncoded(std::string_view path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string deletionDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// The k-th name tried for `name` in the trash: the name itself, then "stem.k.ext".
std::string attemptName(const std::string& name, int k) {
    if (k == 1)
        return name;
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return name + "." + std::to_string(k);
    return name.substr(0, dot) + "." + std::to_string(k) + name.substr(dot);
}

bool writeAll(int fd, const std::string& text, int& code) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            code = errno;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

TrashResult fail(TrashOutcome outcome, int code) {
    TrashResult result;
    result.outcome = outcome;
    result.reason = tessera::errorText(code);
    return result;
}

} // namespace

std::string homeTrashFolder() {
    const std::string home = dataHome();
    return home.empty() ? home : home + "/Trash";
}

TrashResult moveToTrash(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return fail(TrashOutcome::Failed, errno);
    const auto slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string folder = tessera::resolvedFilePath(parentOf(path));
    if (name.empty() || name == "." || name == "..")
        return fail(TrashOutcome::Failed, EINVAL);

    TrashFolder trash;
    int code = 0;
    if (!findTrash(st.st_dev, folder, trash, code)) {
        TrashResult result = fail(TrashOutcome::Unavailable, code);
        result.reason = "这个文件系统上没有可用的回收站（" + result.reason + "）";
        return result;
    }
    const std::string original = (folder == "/" ? std::string() : folder) + "/" + name;
    std::string recorded = original;
    if (!trash.top.empty())
        recorded = trash.top == "/" ? original.substr(1) : original.substr(trash.top.size() + 1);
    const std::string info = "[Trash Info]\nPath=" + percentEncoded(recorded) +
                             "\nDeletionDate=" + deletionDate() + "\n";

    for (int k = 1; k <= kMaxNameAttempts; ++k) {
        const std::string trashedName = attemptName(name, k);
        const std::string infoPath = trash.path + "/info/" + trashedName + ".trashinfo";
        const std::string trashedPath = trash.path + "/files/" + trashedName;
        const int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return fail(TrashOutcome::Unavailable, errno);
        }
        struct stat taken {};
        if (::lstat(trashedPath.c_str(), &taken) == 0) {
            ::close(fd);
            ::unlink(infoPath.c_str());
            continue;
        }
        // The information first, safely on disk: a file in the trash without it could never
        // be put back.
        code = 0;
        if (!writeAll(fd, info, code) || ::fsync(fd) != 0 || ::close(fd) != 0) {
            if (code == 0)
                code = errno;
            ::close(fd);
            ::unlink(infoPath.c_str());
            return fail(TrashOutcome::Unavailable, code);
        }
        if (!renameNoReplace(path, trashedPath)) {
            code = errno;
            ::unlink(infoPath.c_str());
            if (code == EEXIST)
                continue;
            return fail(code == EXDEV ? TrashOutcome::Unavailable : TrashOutcome::Failed, code);
        }
        TrashResult result;
        result.outcome = TrashOutcome::Moved;
        result.trashedPath = trashedPath;
        result.infoPath = infoPath;
        return result;
    }
    return fail(TrashOutcome::Unavailable, EEXIST);
}

RemoveOutcome TrashFileOps::removePicture(const std::string& path, std::string& reason) {
    TrashResult result = moveToTrash(path);
    switch (result.outcome) {
    case TrashOutcome::Moved:
        return RemoveOutcome::Removed;
    case TrashOutcome::Unavailable:
        reason = std::move(result.reason);
        return RemoveOutcome::NoTrash;
    case TrashOutcome::Failed:
        break;
    }
    reason = std::move(result.reason);
    return RemoveOutcome::Failed;
}

} // namespace fallowmere
