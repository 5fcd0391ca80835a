#pragma once
// Helpers of the width model tests: a temporary folder, file helpers and scripted prompts.

#include "width/list/prompts.h"

#include <cstdlib>
#include <deque>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
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

    std::vector<std::string> messageTexts() const {
        std::vector<std::string> out;
        for (const auto& m : messages)
            out.push_back(m.text);
        return out;
    }
};

} // namespace widthtest
