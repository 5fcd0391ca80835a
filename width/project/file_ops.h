#pragma once
// The file operations the record list performs on photographs and picture folders, behind an
// interface: the window's implementation sends deleted photographs to the desktop's trash, the
// command-line tool and the tests delete them. StdFileOps is the plain std::filesystem one.
// Paths are byte strings (file names here are UTF-8; older photographs may have GBK names).

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace fallowmere {

enum class EntryType { None, Regular, Directory, Other };

enum class RemoveOutcome {
    Removed, // gone from the folder (in the trash, or deleted)
    NoTrash, // the trash cannot take it now (a full disk, no trash there); nothing changed
    Failed,  // it cannot be removed at all
};

struct FolderEntry {
    std::string name; // as on disk
    EntryType type;   // of what the entry leads to (a symbolic link is followed)
    bool isLink;      // the entry itself is a symbolic link
};

class FileOps {
public:
    virtual ~FileOps() = default;

    // The entries of a folder ("." and ".." left out); nullopt when it cannot be listed.
    virtual std::optional<std::vector<FolderEntry>> listFolder(const std::string& folder) = 0;
    // What `path` leads to, following symbolic links.
    virtual EntryType typeOf(const std::string& path) = 0;
    // The absolute path with every symbolic link resolved; nullopt when it does not exist.
    virtual std::optional<std::string> resolvedPath(const std::string& path) = 0;
    // Whether both paths lead to the same file or folder.
    virtual bool sameFile(const std::string& a, const std::string& b) = 0;
    // Renames a file; never replaces an existing file (that is an error).
    virtual bool renameFile(const std::string& from, const std::string& to,
                            std::string& reason) = 0;
    // Removes a photograph: to the trash where the platform has one, else deletes it. NoTrash
    // leaves the file in place, so that the user can be asked before deleteFile deletes it
    // for good.
    virtual RemoveOutcome removePicture(const std::string& path, std::string& reason) = 0;
    // Deletes a file for good.
    virtual bool deleteFile(const std::string& path, std::string& reason) = 0;
    // Copies a regular file's content to `to` atomically (a temporary file renamed over `to`),
    // replacing what `to` holds; a failed copy leaves `to` as it was. The memory it takes does
    // not grow with the file.
    virtual bool copyFileAtomically(const std::string& from, const std::string& to,
                                    std::string& reason) = 0;
    // Creates one folder.
    virtual bool makeFolder(const std::string& path, std::string& reason) = 0;
};

class StdFileOps : public FileOps {
public:
    std::optional<std::vector<FolderEntry>> listFolder(const std::string& folder) override;
    EntryType typeOf(const std::string& path) override;
    std::optional<std::string> resolvedPath(const std::string& path) override;
    bool sameFile(const std::string& a, const std::string& b) override;
    bool renameFile(const std::string& from, const std::string& to, std::string& reason) override;
    // Deletes the file (the command-line tool's way).
    RemoveOutcome removePicture(const std::string& path, std::string& reason) override;
    bool deleteFile(const std::string& path, std::string& reason) override;
    bool copyFileAtomically(const std::string& from, const std::string& to,
                            std::string& reason) override;
    bool makeFolder(const std::string& path, std::string& reason) override;
};

// ASCII letters folded to lower case: names of pictures and picture folders are matched
// without regard to letter case.
std::string foldCase(std::string_view name);

// One listing of a folder, for looking names up without regard to letter case. When several
// entries match, the one spelled exactly as asked wins, otherwise the first in byte order.
class FolderListing {
public:
    FolderListing(FileOps& fs, std::string folder);

    const std::string& folder() const { return folder_; }
    bool listed() const { return listed_; }
    // The matching entry of the given type (`type` None: any type), or nullptr.
    const FolderEntry* find(std::string_view name, EntryType type) const;
    // Every entry whose name matches, of any type.
    std::vector<const FolderEntry*> matches(std::string_view name) const;
    FileOps& fileOps() const { return fs_; }

private:
    FileOps& fs_;
    std::string folder_;
    bool listed_ = false;
    std::vector<FolderEntry> entries_;
    std::unordered_map<std::string, std::vector<size_t>> byFolded_;
};

// `path` joined to `name` with one "/" between them.
std::string joinPath(std::string_view folder, std::string_view name);

// Whether `path` (already resolved) is `folder` (already resolved) or lies inside it.
bool isInside(std::string_view path, std::string_view folder);

} // namespace fallowmere
