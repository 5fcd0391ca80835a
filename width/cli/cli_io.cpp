// What the fallowmere-cli commands share: opening projects, the prompts, checked output.

#include "width/cli/cli.h"

#include "common/error_text.h"
#include "common/gbk.h"
#include "common/text.h"
#include "width/app/inspection_settings.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace fallowmere::cli {

void say(std::string_view text) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

void CliPrompts::message(std::string_view caption, std::string_view text, MessageIcon) {
    if (caption == kAppTitle)
        ++failures_;
    say(text);
}

bool CliPrompts::askYesNo(std::string_view, std::string_view) {
    return answerYes;
}

ReplaceAnswer CliPrompts::askReplace(const std::string&) {
    return replaceAnswer;
}

tessera::ChangedFileAnswer CliPrompts::askChangedOnDisk(const std::string& path) {
    say("项目文件“" + shown(path) + "”在读取之后已被修改，已重新读取。");
    return tessera::ChangedFileAnswer::Reload;
}

bool OpenProject::open(const std::string& path) {
    const ProjectLoad load = doc.openProject(projectPath(path), fs);
    if (!load.error.empty()) {
        error(load.error);
        return false;
    }
    if (load.noPictureFolder)
        say(kNoPictureFolderMessage);
    list.refresh();
    return true;
}

bool OpenProject::add(const std::string& path) {
    const ProjectLoad load = doc.addProject(projectPath(path), fs);
    if (!load.error.empty()) {
        error(load.error);
        return false;
    }
    if (load.noPictureFolder)
        say(kNoPictureFolderMessage);
    list.refresh();
    return true;
}

std::string projectPath(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash + 1 == path.size())
        return path; // names a folder: reading it fails with its own reason
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    char* real = ::realpath(folder.c_str(), nullptr);
    if (!real)
        return path;
    std::string out = joinPath(real, name);
    std::free(real);
    return out;
}

std::optional<size_t> findRow(const RecordRows& rows, const std::string& name) {
    if (auto gbk = tessera::utf8ToGbk(name))
        if (auto row = rows.findName(*gbk))
            return row;
    return rows.findName(name);
}

std::optional<std::string> gbkArgument(const std::string& text, const std::string& what) {
    auto gbk = tessera::utf8ToGbk(text);
    if (!gbk)
        error(what + "“" + tessera::displayPath(text) + "”含有无法用 GBK 编码的字符");
    return gbk;
}

bool writeStdout(std::string_view text) {
    errno = 0;
    const size_t written = std::fwrite(text.data(), 1, text.size(), stdout);
    if (written == text.size() && std::fflush(stdout) == 0 && !std::ferror(stdout))
        return true;
    const int code = errno;
    error("无法写出标准输出：" + (code ? tessera::errorText(code) : std::string("写入失败")));
    return false;
}

SettingsLocation programSettings() {
    std::string exe(PATH_MAX, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size());
    std::string folder = ".";
    if (n > 0) {
        exe.resize(static_cast<size_t>(n));
        const auto slash = exe.rfind('/');
        if (slash != std::string::npos)
            folder = exe.substr(0, slash + 1);
    }
    return programSettingsLocation(folder);
}

std::string shown(const std::string& path) {
    return tessera::displayPath(path);
}

} // namespace fallowmere::cli
