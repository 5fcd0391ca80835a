#include "width/project/file_ops.h"

#include "width/project/regular_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fallowmere {
namespace {

EntryType typeOfMode(mode_t mode) {
    if (S_ISREG(mode))
        return EntryType::Regular;
    if (S_ISDIR(mode))
        return EntryType::Directory;
    return EntryType::Other;
}

} // namespace

std::optional<std::vector<FolderEntry>> StdFileOps::listFolder(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return std::nullopt;
    std::vector<FolderEntry> entries;
    int dfd = ::dirfd(dir);
    while (dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
            continue;
        FolderEntry entry{e->d_name, EntryType::None, false};
        unsigned char type = e->d_type;
        if (type == DT_LNK || type == DT_UNKNOWN) {
            struct stat st {};
            if (::fstatat(dfd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0)
                entry.isLink = S_ISLNK(st.st_mode);
            if (::fstatat(dfd, e->d_name, &st, 0) == 0)
                entry.type = typeOfMode(st.st_mode);
        } else {
            entry.type = type == DT_REG   ? EntryType::Regular
                         : type == DT_DIR ? EntryType::Directory
                                          : EntryType::Other;
        }
        entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    return entries;
}

EntryType StdFileOps::typeOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return EntryType::None;
    return typeOfMode(st.st_mode);
}

std::optional<std::string> StdFileOps::resolvedPath(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return std::nullopt;
    std::string out(resolved);
    std::free(resolved);
    return out;
}

bool StdFileOps::sameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool StdFileOps::renameFile(const std::string& from, const std::string& to, std::string& reason) {
    // A rename that only changes letter case names the same file on a file system that ignores
    // case; there the plain rename is the only way.
    if (sameFile(from, to)) {
        if (::rename(from.c_str(), to.c_str()) == 0)
            return true;
        reason = std::strerror(errno);
        return false;
    }
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EINVAL || errno == ENOSYS) {
        // The file system cannot refuse to replace; a hard link can, and then the old name goes.
        if (::link(from.c_str(), to.c_str()) == 0) {
            ::unlink(from.c_str());
            return true;
        }
    }
    reason = std::strerror(errno);
    return false;
}

bool StdFileOps::removePicture(const std::string& path, std::string& reason) {
    if (::unlink(path.c_str()) == 0)
        return true;
    reason = std::strerror(errno);
    return false;
}

bool StdFileOps::copyFileAtomically(const std::string& from, const std::string& to,
                                    std::string& reason) {
    std::string data;
    if (!readRegularFile(from, data, reason))
        return false;
    if (!writeRegularFileAtomically(to, data, reason))
        return false;
    // Keep the photograph's modification time, as a copy in a file manager does.
    struct stat st {};
    if (::stat(from.c_str(), &st) == 0) {
        struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::utimensat(AT_FDCWD, to.c_str(), times, 0);
    }
    return true;
}

bool StdFileOps::makeFolder(const std::string& path, std::string& reason) {
    if (::mkdir(path.c_str(), 0777) == 0)
        return true;
    reason = std::strerror(errno);
    return false;
}

std::string foldCase(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

FolderListing::FolderListing(FileOps& fs, std::string folder)
    : fs_(fs), folder_(std::move(folder)) {
    auto entries = fs_.listFolder(folder_);
    if (!entries)
        return;
    listed_ = true;
    entries_ = std::move(*entries);
    byFolded_.reserve(entries_.size());
    for (size_t i = 0; i < entries_.size(); ++i)
        byFolded_[foldCase(entries_[i].name)].push_back(i);
}

const FolderEntry* FolderListing::find(std::string_view name, EntryType type) const {
    auto it = byFolded_.find(foldCase(name));
    if (it == byFolded_.end())
        return nullptr;
    const FolderEntry* best = nullptr;
    for (size_t i : it->second) {
        const FolderEntry& e = entries_[i];
        if (type != EntryType::None && e.type != type)
            continue;
        if (e.name == name)
            return &e;
        if (!best || e.name < best->name)
            best = &e;
    }
    return best;
}

std::vector<const FolderEntry*> FolderListing::matches(std::string_view name) const {
    std::vector<const FolderEntry*> out;
    auto it = byFolded_.find(foldCase(name));
    if (it != byFolded_.end())
        for (size_t i : it->second)
            out.push_back(&entries_[i]);
    return out;
}

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (out.empty() || out.back() != '/')
        out += '/';
    out += name;
    return out;
}

bool isInside(std::string_view path, std::string_view folder) {
    if (folder == "/")
        return !path.empty() && path.front() == '/';
    if (path.size() < folder.size() || path.substr(0, folder.size()) != folder)
        return false;
    return path.size() == folder.size() || path[folder.size()] == '/';
}

} // namespace fallowmere
