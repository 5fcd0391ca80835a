#pragma once
// Temporary files that a stopped program must not leave behind. The atomic writer registers
// each temporary file here while it exists; a handler for SIGINT and SIGTERM removes every
// registered file and then ends the program with the signal's default action, as if no handler
// had been there. Nothing can be done after SIGKILL (the old file is intact either way).
//
// The table has a fixed size and is read by the handler without locks or allocation, so the
// handler is async-signal-safe.

#include <string>

namespace tessera {

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

// Installs the handler for SIGINT and SIGTERM; a signal that is ignored (a program started in
// the background with nohup) stays ignored. Call once at the start of main().
void removeTemporaryFilesOnSignals();

} // namespace tessera
