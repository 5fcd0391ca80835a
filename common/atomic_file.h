#pragma once
// Safe whole-file writing and regular-file reading, used by every save, export, report and
// project file of both programs and by their command-line tools.
//
// Writing: the data goes to a temporary file in the target's folder, which is flushed to disk
// and then renamed over the target. A failed or interrupted write leaves any existing file
// untouched, and no partial file is left behind (the temporary file is registered with
// temporary_files.h, so SIGINT and SIGTERM remove it too). Further rules:
//   - a symbolic link is followed (through a chain of links) and its final target is replaced,
//     in the target's own folder; a dangling link creates its target;
//   - an existing target that is not a regular file (a device such as /dev/null or /dev/full,
//     a named pipe, /dev/stdout) is written directly, never replaced; a named pipe that no
//     program reads is an error (ENXIO) rather than a wait without end; a folder is an error;
//   - an existing file the user may not write is refused with the reason opening it for writing
//     gives (EACCES, EROFS, ...), and nothing changes;
//   - a replaced file keeps its permission bits and, where the platform allows, its owner and
//     group; a new file gets 0666 minus the umask, as an ordinary create would.
// Hard links cannot survive a replace: the name written to gets a new file, other names of the
// old file keep the old content.
//
// Reading: regular files only. Anything else (a folder, a pipe, a device such as /dev/zero) is
// refused at once, and running out of memory is reported instead of thrown.

#include "common/file_stamp.h"

#include <string>
#include <string_view>

namespace tessera {

// Reasons given by the functions below besides the system's own texts (UTF-8, shown to users).
inline constexpr std::string_view kNotRegularFileReason = "不是普通文件";
inline constexpr std::string_view kOutOfMemoryReason = "内存不足";

// Writes one file in pieces; for content that is produced while it is written (PDF pages).
// The target is checked and the temporary file created by open(); nothing replaces the target
// before commit(). Destroying a writer that was not committed abandons the write.
class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Checks the target and opens where the data goes (the temporary file, or the device
    // itself). False with the system's reason on failure.
    bool open(const std::string& path, std::string* error = nullptr);
    // Appends `data`. False with the reason on failure (the write is then abandoned).
    bool write(std::string_view data, std::string* error = nullptr);
    // Flushes what was written to disk without replacing the target yet, so that a full disk
    // is known before the caller does anything that depends on the write (commit then only
    // renames). False with the reason on failure (the write is then abandoned).
    bool flush(std::string* error = nullptr);
    // Flushes the data to disk and renames the temporary file over the target (or closes the
    // device). False with the reason on failure; the old file is then left as it was.
    bool commit(std::string* error = nullptr);
    // Removes the temporary file; the target stays as it was. Safe to call at any time.
    void abandon();

    // The descriptor data goes to while open (for writers that take a descriptor), else -1.
    int fd() const { return fd_; }
    // The file that is replaced or written: the path given, with symbolic links followed.
    const std::string& target() const { return target_; }
    // After a commit that replaced a regular file: the stamp of the file written (what the
    // target is now, unless something changed it since). Empty for devices and pipes.
    const FileStamp& writtenStamp() const { return written_; }

private:
    int fd_ = -1;
    int slot_ = -1; // registration of the temporary file (temporary_files.h)
    bool direct_ = false;
    std::string target_;
    std::string temporary_;
    FileStamp written_;
};

// Writes `data` as the whole content of `path` with an AtomicFileWriter. On failure returns
// false and, when `error` is given, stores the reason. `written` receives the stamp of the file
// written (AtomicFileWriter::writtenStamp).
bool writeFileAtomically(const std::string& path, std::string_view data,
                         std::string* error = nullptr, FileStamp* written = nullptr);

// True when `path` could be written now (the checks of AtomicFileWriter::open, including the
// creation of a temporary file that is removed again); false with the reason otherwise.
bool canWriteFile(const std::string& path, std::string* error = nullptr);

// Reads the whole regular file at `path` into `data`. On failure returns false with a reason
// for the user in `reason` (UTF-8): the system's reason, kNotRegularFileReason for anything
// that is not a regular file (without waiting on a pipe), or kOutOfMemoryReason when the
// content does not fit in memory. `data` is then empty.
bool readRegularFile(const std::string& path, std::string& data, std::string& reason);

// Copies the regular file `from` to `to` as writeFileAtomically writes it (a temporary file
// renamed over `to`; a failed copy leaves `to` as it was), reading and writing a piece of a
// fixed size at a time, so that the memory a copy takes does not grow with the file. Anything
// that is not a regular file is refused as readRegularFile refuses it. False with the reason
// (UTF-8) on failure.
bool copyRegularFileAtomically(const std::string& from, const std::string& to, std::string& reason);

// readRegularFile with the reason optional.
bool readWholeFile(const std::string& path, std::string& data, std::string* error = nullptr);

} // namespace tessera
