#include "common/atomic_file.h"

#include "common/error_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tessera {
namespace {

void setError(std::string* error, int code) {
    if (error)
        *error = errorText(code);
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

mode_t currentUmask() {
    mode_t mask = umask(0);
    umask(mask);
    return mask;
}

} // namespace

bool writeFileAtomically(const std::string& path, std::string_view data, std::string* error) {
    if (path.empty() || path.back() == '/') {
        setError(error, EISDIR);
        return false;
    }
    struct stat existing {};
    bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        setError(error, EISDIR);
        return false;
    }

    std::string tmpl = folderOf(path) + "/." + baseOf(path) + ".XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) {
        setError(error, errno);
        return false;
    }
    auto fail = [&](int code) {
        ::close(fd);
        ::unlink(name.data());
        setError(error, code);
        return false;
    };

    mode_t mode = exists ? (existing.st_mode & 07777) : (0666 & ~currentUmask());
    if (::fchmod(fd, mode) != 0)
        return fail(errno);

    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        int code = errno;
        ::unlink(name.data());
        setError(error, code);
        return false;
    }
    if (::rename(name.data(), path.c_str()) != 0) {
        int code = errno;
        ::unlink(name.data());
        setError(error, code);
        return false;
    }
    // Make the rename itself durable.
    int dir = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool readWholeFile(const std::string& path, std::string& data, std::string* error) {
    data.clear();
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        setError(error, errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        setError(error, EISDIR);
        return false;
    }
    if (st.st_size > 0)
        data.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int code = errno;
            ::close(fd);
            setError(error, code);
            return false;
        }
        if (n == 0)
            break;
        data.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

} // namespace tessera
