#pragma once
// Temporary files that a stopped program must not leave behind. The atomic writer registers
// each temporary file here while it exists; a handler for SIGINT and SIGTERM removes every
// registered file and then ends the program with the signal's default action, as if no handler
// had been there. Nothing can be done after SIGKILL (the old file is intact either way).
//
// The table has a fixed size and is read by the handler without locks or allocation, so the
// handler is async-signal-safe.
//
// A temporary file is never on disk unregistered: createTemporaryFile reserves its slot first
// and creates the file with SIGINT and SIGTERM blocked in the creating thread, and the handler,
// running on another thread, waits for a reserved slot to be filled before it removes files.

#include <csignal>
#include <string>

namespace tessera {

// Creates a new file from `pattern` (which ends in "XXXXXX", as for mkostemp, and receives the
// name made), registered for removal by the handler before it can exist. Returns the open
// descriptor (opened with O_CLOEXEC | `flags`) and the slot to release, or -1 with errno set.
// When the table is full the file is still made, with `slot` -1 (not removed on a signal).
int createTemporaryFile(std::string& pattern, int flags, int& slot) noexcept;

// Registers `path` for removal by the handler. Returns the slot to release, or -1 when the
// path is too long or the table is full (the file is then not removed on a signal).
int registerTemporaryFile(const std::string& path) noexcept;
// Releases a slot from registerTemporaryFile (a slot of -1 is ignored).
void unregisterTemporaryFile(int slot) noexcept;

// Removes every registered file. Async-signal-safe.
void removeTemporaryFiles() noexcept;

// Removes every registered file, then raises `signal` again with its default action (which
// ends the program for SIGINT and SIGTERM). For signal handlers of programs that handle these
// signals themselves for a while. Async-signal-safe.
[[noreturn]] void removeTemporaryFilesAndRaise(int signal) noexcept;

// Blocks SIGINT and SIGTERM in the calling thread while it lives and restores the mask after.
// Create worker threads inside one (threads inherit the mask), so that the handler always runs
// on the main thread, never on a worker in the middle of its own work.
class TerminatingSignalsBlocked {
public:
    TerminatingSignalsBlocked() noexcept;
    ~TerminatingSignalsBlocked();
    TerminatingSignalsBlocked(const TerminatingSignalsBlocked&) = delete;
    TerminatingSignalsBlocked& operator=(const TerminatingSignalsBlocked&) = delete;

private:
    sigset_t saved_;
};

// Installs the handler for SIGINT and SIGTERM; a signal that is ignored (a program started in
// the background with nohup) stays ignored. Call once at the start of main().
void removeTemporaryFilesOnSignals();

} // namespace tessera
