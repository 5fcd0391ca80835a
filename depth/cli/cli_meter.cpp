// marrowby-cli simulate-meter: a stand-in for the crack depth meter on a pseudo-terminal.
//
// The simulator creates a pseudo-terminal, publishes its device at --link PATH (a symbolic
// link), waits until a program opens it, waits --delay milliseconds more (the program starts
// its reader after opening; a real meter is started by hand), then sends the transmission at
// --rate bytes per second and never expects a byte back. It keeps the terminal until the reader
// closes it (at most --linger seconds), so that the reader gets everything that was sent.

#include "depth/cli/cli.h"

#include "common/atomic_file.h"
#include "common/error_text.h"
#include "depth/serial/meter_stream.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <random>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace marrowby::cli {
namespace {

using Clock = std::chrono::steady_clock;

// Exit status when the reader closed the port before everything was sent.
constexpr int kReaderGone = 4;
constexpr long long kLineRate = 3840; // 38400 baud, 10 bits per byte

volatile std::sig_atomic_t g_stop = 0;
void onSignal(int) {
    g_stop = 1;
}

bool parseCount(const std::string& text, long long max, long long& value) {
    if (text.empty() || text.size() > 12)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    value = std::stoll(text);
    return value <= max;
}

struct Pty {
    int master = -1;
    std::string slave;
    std::string link;
    bool linked = false;
    ~Pty() {
        if (linked) {
            // Remove the link only while it is still ours.
            char target[PATH_MAX];
            ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
            if (n >= 0 && slave == std::string(target, static_cast<size_t>(n)))
                unlink(link.c_str());
        }
        if (master >= 0)
            close(master);
    }
};

bool readerHungUp(int master) {
    pollfd p{master, 0, 0};
    return poll(&p, 1, 0) > 0 && (p.revents & POLLHUP);
}

// Reads whatever the reader sent (it should send nothing) and counts it.
void countReceived(int master, long long& received) {
    char buffer[512];
    for (;;) {
        ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0)
            return;
        received += n;
    }
}

// Waits up to `seconds` (0: without limit) until `ready` or a signal; sleeps between checks.
template <typename Ready> bool waitUntil(double seconds, Ready ready) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (!ready()) {
        if (g_stop || (seconds > 0 && Clock::now() >= end))
            return false;
        usleep(10000);
    }
    return true;
}

void sleepFor(std::chrono::nanoseconds d) {
    if (d <= std::chrono::nanoseconds::zero())
        return;
    timespec ts{static_cast<time_t>(d.count() / 1'000'000'000),
                static_cast<long>(d.count() % 1'000'000'000)};
    nanosleep(&ts, nullptr);
}

int simulateMeter(const tessera::cli::Arguments& args) {
    const auto& pos = args.positional;
    const auto& opts = args.options;
    std::string link, streamFile;
    long long groups = -1, records = -1, rate = kLineRate, delayMs = 300, timeoutS = 0,
              lingerS = 10;
    for (const auto& [name, value] : opts) {
        bool ok = true;
        if (name == "--link")
            link = value;
        else if (name == "--stream")
            streamFile = value;
        else if (name == "--groups")
            ok = parseCount(value, kMaxMeterGroups, groups);
        else if (name == "--records")
            ok = parseCount(value, kMaxMeterRecords, records);
        else if (name == "--rate")
            ok = parseCount(value, 1'000'000'000, rate);
        else if (name == "--delay")
            ok = parseCount(value, 3'600'000, delayMs);
        else if (name == "--timeout")
            ok = parseCount(value, 86'400, timeoutS);
        else if (name == "--linger")
            ok = parseCount(value, 86'400, lingerS);
        if (!ok) {
            error(name + " 需要范围内的整数，而不是“" + value + "”");
            return kFailure;
        }
    }
    const bool generated = groups >= 0 || records >= 0;
    if (!pos.empty() || link.empty() || generated == !streamFile.empty() ||
        (generated && (groups < 0 || records < 0)))
        return tessera::cli::usageError();
    std::string data;
    if (generated) {
        data = encodeMeterStream(
            generatedMeterGroups(static_cast<int>(groups), static_cast<int>(records)));
    } else {
        std::string reason;
        if (!tessera::readWholeFile(streamFile, data, &reason)) {
            error("无法读取" + quoted(streamFile) + "：" + reason);
            return kFailure;
        }
    }

    struct sigaction sa {};
    sa.sa_handler = onSignal; // no SA_RESTART: sleeps and polls end early
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    Pty pty;
    pty.link = link;
    pty.master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char name[PATH_MAX];
    if (pty.master < 0 || grantpt(pty.master) != 0 || unlockpt(pty.master) != 0 ||
        ptsname_r(pty.master, name, sizeof name) != 0) {
        error("无法创建伪终端：" + tessera::errorText(errno));
        return kFailure;
    }
    pty.slave = name;
    // Open the terminal once: raw mode without echo (a meter line never answers), and after the
    // close the master reports a hang-up for as long as no program holds the terminal open.
    int slave = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios tio{};
    if (slave < 0 || tcgetattr(slave, &tio) != 0) {
        error("无法设置" + quoted(name) + "：" + tessera::errorText(errno));
        if (slave >= 0)
            close(slave);
        return kFailure;
    }
    cfmakeraw(&tio);
    cfsetispeed(&tio, B38400);
    cfsetospeed(&tio, B38400);
    tcsetattr(slave, TCSANOW, &tio);
    close(slave);

    struct stat st {};
    if (lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        error(quoted(link) + "已存在且不是符号链接，未替换");
        return kFailure;
    }
    // The link is made under a temporary name and renamed into place. symlink() never replaces
    // anything, so a name that exists already (whoever made it) is left alone and another is
    // tried.
    std::string temporary;
    int made = -1;
    std::mt19937_64 random(std::random_device{}() ^ static_cast<unsigned long long>(getpid()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".tmp%016llx",
                      static_cast<unsigned long long>(random()));
        temporary = link + suffix;
        made = symlink(name, temporary.c_str());
        if (made == 0 || errno != EEXIST)
            break;
    }
    if (made != 0) {
        error("无法建立链接" + quoted(link) + "：" + tessera::errorText(errno));
        return kFailure;
    }
    if (rename(temporary.c_str(), link.c_str()) != 0) {
        error("无法建立链接" + quoted(link) + "：" + tessera::errorText(errno));
        unlink(temporary.c_str()); // the link made just above
        return kFailure;
    }
    pty.linked = true;
    std::fprintf(stderr, "simulate-meter: %s -> %s，待发送 %zu 字节\n", quoted(link).c_str(), name,
                 data.size());

    long long received = 0;
    if (!waitUntil(static_cast<double>(timeoutS), [&] { return !readerHungUp(pty.master); })) {
        error(g_stop ? "在有程序打开" + quoted(link) + "之前被中断"
                     : "限定时间内没有程序打开" + quoted(link));
        return g_stop ? kFailure : kTimeout;
    }
    sleepFor(std::chrono::milliseconds(delayMs));

    size_t sent = 0;
    const auto start = Clock::now();
    int status = kOk;
    while (sent < data.size()) {
        countReceived(pty.master, received);
        if (g_stop) {
            error("已中断");
            status = kFailure;
            break;
        }
        if (readerHungUp(pty.master)) {
            status = kReaderGone;
            break;
        }
        size_t due = data.size();
        if (rate > 0) {
            const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
            due = std::min(data.size(), static_cast<size_t>(elapsed * static_cast<double>(rate)));
            if (due <= sent) {
                // Sleep until the next byte is due, but at least a millisecond: at the line
                // rate a few bytes go per write, as a USB bridge delivers them.
                auto next = start + std::chrono::duration<double>(static_cast<double>(sent + 1) /
                                                                  static_cast<double>(rate));
                sleepFor(std::max<std::chrono::nanoseconds>(
                    std::chrono::duration_cast<std::chrono::nanoseconds>(next - Clock::now()),
                    std::chrono::milliseconds(1)));
                continue;
            }
        }
        const size_t chunk = std::min<size_t>(due - sent, 4096);
        ssize_t n = write(pty.master, data.data() + sent, chunk);
        if (n > 0) {
            sent += static_cast<size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{pty.master, POLLOUT, 0};
            poll(&p, 1, 10);
        } else if (n < 0 && errno == EIO) {
            status = kReaderGone;
            break;
        } else {
            error("无法发送：" + tessera::errorText(errno));
            status = kFailure;
            break;
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (status == kOk && lingerS > 0) {
        // Keep the terminal until the reader has closed it: closing first would hang it up and
        // drop what it has not read yet.
        waitUntil(static_cast<double>(lingerS), [&] {
            countReceived(pty.master, received);
            return readerHungUp(pty.master);
        });
    }
    countReceived(pty.master, received);
    if (status == kReaderGone)
        error("读取方在全部发送之前关闭了" + quoted(link));
    std::fprintf(stderr, "simulate-meter: 已发送 %zu/%zu 字节，用时 %.3f 秒，收到 %lld 字节\n",
                 sent, data.size(), seconds, received);
    return status;
}

const tessera::cli::Command meterCommand("simulate-meter",
                                         "simulate-meter --link PATH [--stream FILE | --groups G "
                                         "--records N] [--rate 字节/秒，0 为不限，"
                                         "默认 3840] [--delay 毫秒，默认 300] [--timeout 秒，默认 "
                                         "0 为不限] [--linger 秒，默认 10，0 为不等]",
                                         {"--link", "--stream", "--groups", "--records", "--rate",
                                          "--delay", "--timeout", "--linger"},
                                         simulateMeter);

} // namespace
} // namespace marrowby::cli
