#pragma once
// Guards a test against a reader that blocks on a named pipe: should the reader still wait
// after the given patience, the pipe is opened for writing and closed again, which lets the
// reader go on (it reads an empty file), and rescued() tells the test that it hung.

#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>

namespace tessera::test {

// Opening a pipe for writing without blocking succeeds only while a reader is waiting on it.
class PipeRescue {
public:
    PipeRescue(QString path, std::chrono::milliseconds patience)
        : path_(path.toStdString()), thread_([this, patience] { run(patience); }) {}
    ~PipeRescue() { stop(); }
    void stop() {
        {
            std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable())
            thread_.join();
    }
    bool rescued() const { return rescued_; }

private:
    void run(std::chrono::milliseconds patience) {
        std::unique_lock lock(mutex_);
        if (wake_.wait_for(lock, patience, [this] { return stopped_; }))
            return;
        while (!stopped_) {
            const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                ::close(fd);
                rescued_ = true;
            }
            wake_.wait_for(lock, std::chrono::milliseconds(20), [this] { return stopped_; });
        }
    }

    std::string path_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopped_ = false;
    std::atomic<bool> rescued_{false};
    std::thread thread_;
};

} // namespace tessera::test
