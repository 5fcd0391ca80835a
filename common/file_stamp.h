#pragma once
// Noticing that a file changed on disk since the program last read or wrote it (another
// program, a colleague on a shared folder), so that a save never overwrites such a change
// without asking.
//
// A stamp is which file a path leads to (device and inode) with its size and modification time;
// a replaced file (an editor's or our own atomic save) has another inode, a file changed in
// place another size or modification time. Writes that keep all four (same size, within the
// same clock tick of the file system) are not noticed.

#include <cstdint>
#include <string>

namespace tessera {

struct FileStamp {
    bool exists = false;
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedSeconds = 0;
    int64_t modifiedNanoseconds = 0;

    bool operator==(const FileStamp&) const = default;
    // Whether both stamps are of one file (device and inode), whatever its content.
    bool sameFileAs(const FileStamp& other) const {
        return exists && other.exists && device == other.device && inode == other.inode;
    }
};

// The stamp of what `path` leads to (symbolic links followed); `exists` false when nothing is
// there or it cannot be examined.
FileStamp fileStamp(const std::string& path);
// The stamp of an open file.
FileStamp fileStamp(int fd);

// `path` made absolute with its symbolic links resolved; for a file that does not exist, its
// folder resolved and its name kept. Unchanged when even the folder cannot be resolved.
std::string resolvedFilePath(const std::string& path);

// A file as the program last read or wrote it: where it is and its stamp then. Take the stamp
// before reading (a change during the read then counts as a change) and from the written file
// itself after writing (AtomicFileWriter::writtenStamp).
// What to do about a file that changed on disk since the program last read or wrote it, when
// the program is about to write it: read it again and make the pending change on what it holds
// now, overwrite it (that change is lost), or write nothing.
enum class ChangedFileAnswer { Reload, Overwrite, Cancel };

class KnownFile {
public:
    void remember(const std::string& path, const FileStamp& stamp);
    void forget();

    bool known() const { return !path_.empty(); }
    // The remembered path, absolute with links resolved.
    const std::string& path() const { return path_; }
    const FileStamp& stamp() const { return stamp_; }

    // Whether what the remembered path leads to now differs from what was read or written
    // (changed, replaced, removed or created). False when nothing is remembered.
    bool changedOnDisk() const;
    // Whether `path` leads to the remembered file: the same resolved path, or the same file
    // (a hard link, another route through links).
    bool isSameFile(const std::string& path) const;

private:
    std::string path_;
    FileStamp stamp_;
};

} // namespace tessera
