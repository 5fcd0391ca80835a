#include "width/project/file_ops.h"

#include "common/atomic_file.h"
#include "common/error_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>

namespace fallowmere {
namespace fs = std::filesystem;
namespace {

EntryType typeOfStatus(const fs::file_status& st) {
    switch (st.type()) {
    case fs::file_type::not_found:
    case fs::file_type::none:
        return EntryType::None;
    case fs::file_type::regular:
        return EntryType::Regular;
    case fs::file_type::directory:
        return EntryType::Directory;
    default:
        return EntryType::Other;
    }
}

std::string reasonOf(const std::error_code& ec) {
    if (ec.category() == std::system_category() || ec.category() == std::generic_category())
        return tessera::errorText(ec.value());
    return ec.message();
}

} // namespace

std::optional<std::vector<FolderEntry>> StdFileOps::listFolder(const std::string& folder) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec)
        return std::nullopt;
    std::vector<FolderEntry> entries;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            return std::nullopt;
        std::error_code statusError;
        const bool isLink = it->is_symlink(statusError);
        entries.push_back(
            {it->path().filename().string(), typeOfStatus(it->status(statusError)), isLink});
    }
    if (ec)
        return std::nullopt;
    return entries;
}

EntryType StdFileOps::typeOf(const std::string& path) {
    std::error_code ec;
    return typeOfStatus(fs::status(path, ec));
}

std::optional<std::string> StdFileOps::resolvedPath(const std::string& path) {
    std::error_code ec;
    fs::path resolved = fs::canonical(path, ec);
    if (ec)
        return std::nullopt;
    return resolved.string();
}

bool StdFileOps::sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

bool StdFileOps::renameFile(const std::string& from, const std::string& to, std::string& reason) {
    std::error_code ec;
    // A rename that only changes letter case names the same file on a file system that ignores
    // case; there the plain rename is the only way.
    if (sameFile(from, to)) {
        fs::rename(from, to, ec);
        if (ec)
            reason = reasonOf(ec);
        return !ec;
    }
    // std::filesystem::rename replaces an existing file; renameat2 can refuse to.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EINVAL || errno == ENOSYS) {
        // The file system cannot refuse to replace; a hard link can, and then the old name goes.
        fs::create_hard_link(from, to, ec);
        if (!ec) {
            fs::remove(from, ec);
            return true;
        }
        reason = reasonOf(ec);
        return false;
    }
    reason = tessera::errorText(errno);
    return false;
}

RemoveOutcome StdFileOps::removePicture(const std::string& path, std::string& reason) {
    return deleteFile(path, reason) ? RemoveOutcome::Removed : RemoveOutcome::Failed;
}

bool StdFileOps::deleteFile(const std::string& path, std::string& reason) {
    std::error_code ec;
    if (fs::remove(path, ec))
        return true;
    reason = ec ? reasonOf(ec) : tessera::errorText(ENOENT);
    return false;
}

bool StdFileOps::copyFileAtomically(const std::string& from, const std::string& to,
                                    std::string& reason) {
    if (!tessera::copyRegularFileAtomically(from, to, reason))
        return false;
    // Keep the photograph's modification time, as a copy in a file manager does.
    std::error_code ec;
    const auto time = fs::last_write_time(from, ec);
    if (!ec)
        fs::last_write_time(to, time, ec);
    return true;
}

bool StdFileOps::makeFolder(const std::string& path, std::string& reason) {
    std::error_code ec;
    if (fs::create_directory(path, ec))
        return true;
    reason = ec ? reasonOf(ec) : tessera::errorText(EEXIST);
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
