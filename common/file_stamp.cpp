#include "common/file_stamp.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace tessera {
namespace {

FileStamp stampOf(const struct stat& st) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = static_cast<uint64_t>(st.st_dev);
    stamp.inode = static_cast<uint64_t>(st.st_ino);
    stamp.size = static_cast<int64_t>(st.st_size);
    stamp.modifiedSeconds = static_cast<int64_t>(st.st_mtim.tv_sec);
    stamp.modifiedNanoseconds = static_cast<int64_t>(st.st_mtim.tv_nsec);
    return stamp;
}

std::string realPath(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real)
        return {};
    std::string out(real);
    std::free(real);
    return out;
}

} // namespace

FileStamp fileStamp(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return {};
    return stampOf(st);
}

FileStamp fileStamp(int fd) {
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return {};
    return stampOf(st);
}

std::string resolvedFilePath(const std::string& path) {
    if (path.empty())
        return path;
    if (std::string real = realPath(path); !real.empty())
        return real;
    const auto slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string real = realPath(folder);
    if (real.empty() || name.empty())
        return path;
    return real == "/" ? "/" + name : real + "/" + name;
}

void KnownFile::remember(const std::string& path, const FileStamp& stamp) {
    path_ = resolvedFilePath(path);
    stamp_ = stamp;
}

void KnownFile::forget() {
    path_.clear();
    stamp_ = {};
}

bool KnownFile::changedOnDisk() const {
    return known() && !(fileStamp(path_) == stamp_);
}

bool KnownFile::isSameFile(const std::string& path) const {
    if (!known() || path.empty())
        return false;
    if (resolvedFilePath(path) == path_)
        return true;
    return fileStamp(path).sameFileAs(fileStamp(path_));
}

} // namespace tessera
