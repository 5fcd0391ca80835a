#include "common/temporary_files.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
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

extern "C" void onTerminatingSignal(int signal) {
    removeTemporaryFilesAndRaise(signal);
}

} // namespace

int registerTemporaryFile(const std::string& path) noexcept {
    if (path.empty() || path.size() >= PATH_MAX)
        return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (!g_slots[i].state.compare_exchange_strong(expected, kFilling))
            continue;
        std::memcpy(g_slots[i].path, path.c_str(), path.size() + 1);
        g_slots[i].state.store(kRegistered, std::memory_order_release);
        return i;
    }
    return -1;
}

void unregisterTemporaryFile(int slot) noexcept {
    if (slot >= 0 && slot < kSlots)
        g_slots[slot].state.store(kFree, std::memory_order_release);
}

void removeTemporaryFiles() noexcept {
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
