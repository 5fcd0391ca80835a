#include "common/atomic_file.h"

#include "common/error_text.h"
#include "common/temporary_files.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tessera {
namespace {

// The kernel gives up on a chain of links after 40 steps; so does the writer.
constexpr int kMaxLinkSteps = 40;

void setError(std::string* error, int code) {
    if (error)
        *error = errorText(code);
}

void setError(std::string* error, std::string_view text) {
    if (error)
        *error = text;
}

std::string folderOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The mask read once when the library is loaded, before any thread exists; setting the
// process-wide mask to read it later would race with other threads creating files.
const mode_t kStartUmask = [] {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}();

// The process's file mode creation mask, read without changing it (the kernel shows it in
// /proc/self/status); the mask at start-up where that is not available.
mode_t currentUmask() {
    int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return kStartUmask;
    char buffer[4096];
    ssize_t n = ::read(fd, buffer, sizeof buffer - 1);
    ::close(fd);
    if (n <= 0)
        return kStartUmask;
    buffer[n] = '\0';
    const char* line = std::strstr(buffer, "\nUmask:");
    if (!line)
        return kStartUmask;
    return static_cast<mode_t>(std::strtoul(line + 7, nullptr, 8)) & 0777;
}

// The final target of a chain of symbolic links: `path` itself when it is not a link or does
// not exist. A relative link is resolved from the folder of the link. False with errno set
// (ELOOP for a chain that does not end).
bool followLinks(const std::string& path, std::string& target) {
    target = path;
    for (int step = 0; step < kMaxLinkSteps; ++step) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        std::string link(st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1 : PATH_MAX, '\0');
        ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0)
            return false;
        link.resize(static_cast<size_t>(n));
        if (link.empty()) {
            errno = ENOENT;
            return false;
        }
        if (link.front() == '/') {
            target = link;
        } else {
            auto slash = target.rfind('/');
            target =
                (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + link;
        }
    }
    errno = ELOOP;
    return false;
}

bool writeAll(int fd, std::string_view data, int& code) {
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            code = errno;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

AtomicFileWriter::~AtomicFileWriter() {
    abandon();
}

void AtomicFileWriter::abandon() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    unregisterTemporaryFile(slot_);
    slot_ = -1;
    temporary_.clear();
    direct_ = false;
}

bool AtomicFileWriter::open(const std::string& path, std::string* error) {
    abandon();
    target_.clear();
    written_ = {};
    if (path.empty() || path.back() == '/') {
        setError(error, path.empty() ? ENOENT : EISDIR);
        return false;
    }
    struct stat existing {};
    bool exists = ::stat(path.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) {
        setError(error, errno);
        return false;
    }
    if (exists && S_ISDIR(existing.st_mode)) {
        setError(error, EISDIR);
        return false;
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        // A device, a pipe or a socket: written directly; replacing it would destroy it. A pipe
        // that nobody reads fails at once (ENXIO) instead of waiting for a reader. Opened by
        // the name given, so that the system follows links such as /dev/stdout to a pipe.
        target_ = path;
        int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            setError(error, errno);
            return false;
        }
        int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0)
            ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
        fd_ = fd;
        direct_ = true;
        return true;
    }
    // A regular file or a new one: the temporary file goes beside the final target of the
    // links, where the rename replaces that target and leaves the links as they are.
    if (!followLinks(path, target_)) {
        setError(error, errno);
        return false;
    }
    exists = ::stat(target_.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) {
        setError(error, errno);
        return false;
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        setError(error, exists && S_ISDIR(existing.st_mode) ? EISDIR : EEXIST);
        return false; // changed under our feet
    }
    if (exists) {
        // Refused exactly when opening the file for writing would be (permissions, a read-only
        // file system, a running program); opening without O_TRUNC changes nothing.
        int probe = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        if (probe < 0) {
            setError(error, errno);
            return false;
        }
        ::close(probe);
    }

    std::string name = folderOf(target_) + "/." + baseOf(target_) + ".XXXXXX";
    int fd = createTemporaryFile(name, 0, slot_);
    if (fd < 0) {
        setError(error, errno);
        return false;
    }
    fd_ = fd;
    temporary_ = name;

    mode_t mode = exists ? (existing.st_mode & 07777) : (0666 & ~currentUmask());
    if (exists && ::fchown(fd_, existing.st_uid, existing.st_gid) != 0) {
        // Not allowed to give the file away: keep at least the group where we are a member.
        [[maybe_unused]] int ignored = ::fchown(fd_, static_cast<uid_t>(-1), existing.st_gid);
    }
    // After fchown, which may clear the set-user and set-group bits.
    if (::fchmod(fd_, mode) != 0) {
        int code = errno;
        abandon();
        setError(error, code);
        return false;
    }
    return true;
}

bool AtomicFileWriter::write(std::string_view data, std::string* error) {
    if (fd_ < 0) {
        setError(error, EBADF);
        return false;
    }
    int code = 0;
    if (!writeAll(fd_, data, code)) {
        abandon();
        setError(error, code);
        return false;
    }
    return true;
}

bool AtomicFileWriter::flush(std::string* error) {
    if (fd_ < 0) {
        setError(error, EBADF);
        return false;
    }
    if (direct_)
        return true;
    if (::fsync(fd_) != 0) {
        int code = errno;
        abandon();
        setError(error, code);
        return false;
    }
    return true;
}

bool AtomicFileWriter::commit(std::string* error) {
    if (fd_ < 0) {
        setError(error, EBADF);
        return false;
    }
    int fd = fd_;
    fd_ = -1;
    if (direct_) {
        direct_ = false;
        // Devices and pipes may not support fsync; a device that does gets its data flushed.
        int code = 0;
        if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP)
            code = errno;
        if (::close(fd) != 0 && code == 0 && errno != EINTR)
            code = errno;
        if (code != 0) {
            setError(error, code);
            return false;
        }
        return true;
    }
    if (::fsync(fd) != 0) {
        int code = errno;
        ::close(fd);
        abandon();
        setError(error, code);
        return false;
    }
    // The file keeps its inode, size and modification time through the rename.
    const FileStamp written = fileStamp(fd);
    if (::close(fd) != 0) {
        int code = errno;
        abandon();
        setError(error, code);
        return false;
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        int code = errno;
        abandon();
        setError(error, code);
        return false;
    }
    unregisterTemporaryFile(slot_);
    slot_ = -1;
    temporary_.clear();
    written_ = written;
    // Make the rename itself durable.
    int dir = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool writeFileAtomically(const std::string& path, std::string_view data, std::string* error,
                         FileStamp* written) {
    AtomicFileWriter writer;
    if (!writer.open(path, error) || !writer.write(data, error) || !writer.commit(error))
        return false;
    if (written)
        *written = writer.writtenStamp();
    return true;
}

bool canWriteFile(const std::string& path, std::string* error) {
    AtomicFileWriter writer;
    return writer.open(path, error); // the destructor removes the temporary file again
}

bool readRegularFile(const std::string& path, std::string& data, std::string& reason) {
    data.clear();
    // O_NONBLOCK: opening a pipe without a writer must not wait; regular files ignore it.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        reason = errorText(errno);
        return false;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        reason = errorText(errno);
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
            ssize_t n = ::read(fd, data.data() + used, data.size() - used);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                reason = errorText(errno);
                std::string().swap(data);
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
    } catch (const std::length_error&) {
        std::string().swap(data);
        reason = kOutOfMemoryReason;
        return false;
    }
    return true;
}

bool copyRegularFileAtomically(const std::string& from, const std::string& to,
                               std::string& reason) {
    int fd = ::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        reason = errorText(errno);
        return false;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        reason = errorText(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        reason = kNotRegularFileReason;
        return false;
    }
    AtomicFileWriter writer;
    if (!writer.open(to, &reason))
        return false;
    // One piece at a time: a file of gigabytes costs this buffer, not its size in memory.
    std::vector<char> buffer;
    try {
        buffer.resize(1 << 20);
    } catch (const std::bad_alloc&) {
        reason = kOutOfMemoryReason;
        return false;
    }
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            reason = errorText(errno);
            return false; // the writer abandons the temporary file
        }
        if (n == 0)
            break;
        if (!writer.write(std::string_view(buffer.data(), static_cast<size_t>(n)), &reason))
            return false;
    }
    return writer.commit(&reason);
}

bool readWholeFile(const std::string& path, std::string& data, std::string* error) {
    std::string reason;
    if (readRegularFile(path, data, reason))
        return true;
    setError(error, reason);
    return false;
}

} // namespace tessera
