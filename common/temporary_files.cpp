#include "common/temporary_files.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace tessera {
namespace {

// Enough for every write the programs run at once (one per window and a few more).
constexpr int kSlots = 64;

enum SlotState : int { kFree = 0, kFilling = 1, kRegistered = 2 };

struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the states");

Slot g_slots[kSlots];
// Set by the handler before it looks at the slots: no temporary file is made after that.
std::atomic<bool> g_terminating{false};

extern "C" void onTerminatingSignal(int signal) {
    removeTemporaryFilesAndRaise(signal);
}

int reserveSlot() noexcept {
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (g_slots[i].state.compare_exchange_strong(expected, kFilling))
            return i;
    }
    return -1;
}

void terminatingSignals(sigset_t& set) noexcept {
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
}

} // namespace

TerminatingSignalsBlocked::TerminatingSignalsBlocked() noexcept {
    sigset_t set;
    terminatingSignals(set);
    ::pthread_sigmask(SIG_BLOCK, &set, &saved_);
}

TerminatingSignalsBlocked::~TerminatingSignalsBlocked() {
    ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}

int createTemporaryFile(std::string& pattern, int flags, int& slot) noexcept {
    slot = -1;
    if (pattern.size() >= PATH_MAX) {
        errno = ENAMETOOLONG;
        return -1;
    }
    // While the slot is reserved (kFilling) the handler waits for it, so the handler must not
    // run on this thread until the slot is filled or freed.
    TerminatingSignalsBlocked blocked;
    slot = reserveSlot();
    // Reserved before this check, so a handler that already started waits for this slot, and a
    // handler that starts later finds the file registered.
    if (g_terminating.load()) {
        if (slot >= 0)
            g_slots[slot].state.store(kFree);
        slot = -1;
        errno = EINTR;
        return -1;
    }
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC | flags);
    if (slot >= 0) {
        if (fd < 0) {
            g_slots[slot].state.store(kFree, std::memory_order_release);
            slot = -1;
        } else {
            std::memcpy(g_slots[slot].path, pattern.c_str(), pattern.size() + 1);
            g_slots[slot].state.store(kRegistered, std::memory_order_release);
        }
    }
    return fd;
}

int registerTemporaryFile(const std::string& path) noexcept {
    if (path.empty() || path.size() >= PATH_MAX)
        return -1;
    TerminatingSignalsBlocked blocked;
    int i = reserveSlot();
    if (i < 0)
        return -1;
    std::memcpy(g_slots[i].path, path.c_str(), path.size() + 1);
    g_slots[i].state.store(kRegistered, std::memory_order_release);
    return i;
}

void unregisterTemporaryFile(int slot) noexcept {
    if (slot >= 0 && slot < kSlots)
        g_slots[slot].state.store(kFree, std::memory_order_release);
}

void removeTemporaryFiles() noexcept {
    // A slot being filled belongs to a thread that has the signals blocked and is between
    // creating its file and recording the name: wait for it (bounded, in case that thread is
    // stuck in the file system), then remove every recorded file.
    g_terminating.store(true);
    for (int round = 0; round < 2000; ++round) {
        bool filling = false;
        for (Slot& slot : g_slots)
            filling = filling || slot.state.load() == kFilling;
        if (!filling)
            break;
        struct timespec pause {
            0, 1000000
        }; // 1 ms; nanosleep is async-signal-safe
        ::nanosleep(&pause, nullptr);
    }
    for (Slot& slot : g_slots)
        if (slot.state.load(std::memory_order_acquire) == kRegistered)
            ::unlink(slot.path);
}

void removeTemporaryFilesAndRaise(int signal) noexcept {
    removeTemporaryFiles();
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    ::sigaction(signal, &dfl, nullptr);
    // The signal is blocked while its handler runs: unblock it so that it ends the program now.
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr); // async-signal-safe; this thread's mask
    ::raise(signal);
    // Only reached when the default action does not end the program.
    ::_exit(128 + signal);
}

void removeTemporaryFilesOnSignals() {
    for (int signal : {SIGINT, SIGTERM}) {
        struct sigaction old {};
        if (::sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
            continue;
        struct sigaction sa {};
        sa.sa_handler = onTerminatingSignal;
        sigemptyset(&sa.sa_mask);
        ::sigaction(signal, &sa, nullptr);
    }
}

} // namespace tessera
