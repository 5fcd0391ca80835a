#pragma once
// Helpers of the width model tests: a temporary folder, file helpers and scripted prompts.

#include "width/list/prompts.h"

#include <csignal>
#include <cstdlib>
#include <deque>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace widthtest {

struct TempDir {
    std::string path;
    TempDir() {
        char tmpl[] = "/tmp/width_test.XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~TempDir() {
        std::string cmd = "chmod -R u+rwx '" + path + "' 2>/dev/null; rm -rf '" + path + "'";
        [[maybe_unused]] int rc = std::system(cmd.c_str());
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
};

inline void writeFile(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary);
    out << data;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

inline void makeDir(const std::string& path) {
    ::mkdir(path.c_str(), 0777);
}

// The number of entries in a folder (0 when it cannot be read).
inline size_t entriesIn(const std::string& folder) {
    size_t n = 0;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(d))
            n += std::string(e->d_name) != "." && std::string(e->d_name) != "..";
        ::closedir(d);
    }
    return n;
}

// A full disk for this process while it lives: writing a file past `bytes` bytes fails (EFBIG),
// whoever runs the test (a permission would not stop root).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : handler_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &old_);
        struct rlimit small = old_;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    struct rlimit old_ {};
    void (*handler_)(int);
};

// Answers questions from queues and records every text shown. A question without a scripted
// answer fails the test.
class ScriptedPrompts : public fallowmere::ListPrompts {
public:
    struct Shown {
        std::string caption, text;
    };
    std::vector<Shown> messages;
    std::vector<Shown> questions;
    std::vector<std::string> replaceQuestions;
    std::deque<bool> yesNo;
    std::deque<fallowmere::ReplaceAnswer> replace;
    size_t cancelAfterFiles = static_cast<size_t>(-1);

    void message(std::string_view caption, std::string_view text,
                 fallowmere::MessageIcon) override {
        messages.push_back({std::string(caption), std::string(text)});
    }
    bool askYesNo(std::string_view caption, std::string_view text) override {
        questions.push_back({std::string(caption), std::string(text)});
        if (yesNo.empty()) {
            ADD_FAILURE() << "unexpected question: " << text;
            return false;
        }
        bool answer = yesNo.front();
        yesNo.pop_front();
        return answer;
    }
    fallowmere::ReplaceAnswer askReplace(const std::string& existingFile) override {
        replaceQuestions.push_back(existingFile);
        if (replace.empty()) {
            ADD_FAILURE() << "unexpected replace question: " << existingFile;
            return fallowmere::ReplaceAnswer::Cancel;
        }
        auto answer = replace.front();
        replace.pop_front();
        return answer;
    }
    bool copyProgress(size_t done, size_t) override { return done < cancelAfterFiles; }
    // The question about a project file changed on disk: the paths asked about, the answers.
    std::vector<std::string> changedQuestions;
    std::deque<tessera::ChangedFileAnswer> changed;
    tessera::ChangedFileAnswer askChangedOnDisk(const std::string& path) override {
        changedQuestions.push_back(path);
        if (changed.empty()) {
            ADD_FAILURE() << "unexpected question about a changed file: " << path;
            return tessera::ChangedFileAnswer::Cancel;
        }
        auto answer = changed.front();
        changed.pop_front();
        return answer;
    }

    std::vector<std::string> messageTexts() const {
        std::vector<std::string> out;
        for (const auto& m : messages)
            out.push_back(m.text);
        return out;
    }
};

} // namespace widthtest
