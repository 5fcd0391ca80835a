#include "width/project/regular_file.h"

#include "common/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace fallowmere {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// The final target of a chain of symbolic links (at most 40 steps, as the kernel allows).
// Returns `path` itself when it is not a link or does not exist.
bool followLinks(const std::string& path, std::string& target, std::string& reason) {
    target = path;
    for (int step = 0; step < 40; ++step) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX), '\0');
        ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0) {
            reason = std::strerror(errno);
            return false;
        }
        link.resize(static_cast<size_t>(n));
        if (!link.empty() && link.front() == '/') {
            target = link;
        } else {
            auto slash = target.rfind('/');
            target =
                (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + link;
        }
    }
    reason = std::strerror(ELOOP);
    return false;
}

} // namespace

bool readRegularFile(const std::string& path, std::string& data, std::string& reason) {
    data.clear();
    // O_NONBLOCK: opening a pipe without a writer must not wait; regular files ignore it.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        reason = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        reason = kNotRegularFileReason;
        return false;
    }
    try {
        // Read straight into the string; it grows when the file grew since fstat.
        size_t used = 0;
        data.resize(st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1 : 65536);
        for (;;) {
            if (used == data.size())
                data.resize(data.size() * 2);
            ssize_t n = ::read(fd.get(), data.data() + used, data.size() - used);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                reason = std::strerror(errno);
                data.clear();
                return false;
            }
            if (n == 0)
                break;
            used += static_cast<size_t>(n);
        }
        data.resize(used);
    } catch (const std::bad_alloc&) {
        std::string().swap(data);
        reason = kOutOfMemoryReason;
        return false;
    }
    return true;
}

bool writeRegularFileAtomically(const std::string& path, std::string_view data,
                                std::string& reason) {
    std::string target;
    if (!followLinks(path, target, reason))
        return false;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            reason = kNotRegularFileReason;
            return false;
        }
        if (::access(target.c_str(), W_OK) != 0) {
            reason = std::strerror(errno);
            return false;
        }
    }
    std::string error;
    if (!tessera::writeFileAtomically(target, data, &error)) {
        reason = error;
        return false;
    }
    return true;
}

} // namespace fallowmere
