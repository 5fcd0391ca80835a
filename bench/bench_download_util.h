#pragma once
// Helpers of the download benchmarks: the simulated meter and marrowby-cli run as child
// processes from the benchmark's own folder (build/bin).

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace bench_download {

// The folder of the running executable.
inline std::string binDir() {
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    std::string p(path, static_cast<size_t>(n));
    return p.substr(0, p.rfind('/'));
}

inline std::string makeTempDir() {
    char tmpl[] = "/tmp/bench_download.XXXXXX";
    const char* dir = mkdtemp(tmpl);
    return dir ? dir : "";
}

inline void removeTree(const std::string& dir) {
    if (dir.size() > 5 && dir.rfind("/tmp/", 0) == 0) {
        std::string cmd = "rm -rf '" + dir + "'";
        if (std::system(cmd.c_str()) != 0)
            std::fprintf(stderr, "could not remove %s\n", dir.c_str());
    }
}

// Starts `args` with stderr (and stdout) going to `logFile`; returns the process id or -1.
inline pid_t spawn(const std::vector<std::string>& args, const std::string& logFile) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 2, 1);
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Waits for a child; its exit status, or -1 when it did not exit normally.
inline int waitFor(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline std::string readFile(const std::string& path) {
    std::string out;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            out.append(buf, n);
        std::fclose(f);
    }
    return out;
}

// The simulator's "已发送 X/Y 字节，用时 T 秒" line: bytes sent and seconds taken.
inline bool meterSent(const std::string& log, long long& bytes, long long& total, double& seconds) {
    size_t at = log.rfind("simulate-meter: 已发送 ");
    return at != std::string::npos &&
           std::sscanf(log.c_str() + at, "simulate-meter: 已发送 %lld/%lld 字节，用时 %lf 秒",
                       &bytes, &total, &seconds) == 3;
}

// A port map with the simulator's link as the bridge's port COM5.
inline bool writePortMap(const std::string& path, const std::string& link) {
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f)
        return false;
    std::fprintf(f, "[serialcomm]\n\\Device\\Slabser0=COM5\n[ports]\nCOM5=%s\n", link.c_str());
    return std::fclose(f) == 0;
}

// Waits until `path` exists (the simulator publishes its link); false after ~10 s.
inline bool waitForPath(const std::string& path) {
    for (int i = 0; i < 1000; ++i) {
        if (access(path.c_str(), F_OK) == 0)
            return true;
        usleep(10000);
    }
    return false;
}

} // namespace bench_download
