// fallowmere-cli settings: the inspection information of QB.ini, read and written as the
// program and its settings dialog do.

#include "width/cli/cli.h"

#include "common/cell_escape.h"
#include "common/gbk.h"
#include "common/ini.h"
#include "width/app/inspection_settings.h"

namespace fallowmere::cli {
namespace {

using Key = SettingsKey;

int settings(const tessera::cli::Arguments& args) {
    const std::string* ini = args.last("--ini");
    const SettingsLocation location = ini ? SettingsLocation{*ini, false} : programSettings();
    const std::string& path = location.path;

    // KEY=VALUE assignments, keys without regard to case as in the file.
    std::vector<std::pair<const Key*, std::string>> assignments;
    for (const std::string& assignment : args.positional) {
        const auto eq = assignment.find('=');
        const Key* key = nullptr;
        for (const Key& k : kSettingsKeys)
            if (eq != std::string::npos && tessera::equalsIgnoringAsciiCase(
                                               std::string_view(assignment).substr(0, eq), k.name))
                key = &k;
        if (!key) {
            error("“" + shown(assignment) +
                  "”不是设置项；可用 Company、ProjectName、Censor、Checker、Receiver，写作 键=值");
            return tessera::cli::usageError();
        }
        const std::string value = assignment.substr(eq + 1);
        if (value.find_first_of("\r\n") != std::string::npos) {
            error(std::string(key->name) + " 的值不能含有换行符");
            return kFailure;
        }
        auto gbk = gbkArgument(value, key->name);
        if (!gbk)
            return kFailure;
        assignments.emplace_back(key, std::move(*gbk));
    }

    SettingsRead read = readInspectionSettings(path);
    if (!read.error.empty()) {
        error("无法读取“" + shown(path) + "”：" + read.error);
        return kFailure;
    }
    if (!assignments.empty()) {
        // The dialog's OK: the values held, with the ones typed, all five written.
        InspectionInfo info = read.info;
        for (const auto& [key, value] : assignments)
            info.*key->value = value;
        std::string why;
        if (!writeInspectionSettings(path, info, &why, location.perUser)) {
            error("无法写入“" + shown(path) + "”：" + why);
            return kFailure;
        }
        // What the program reads from now on.
        read = readInspectionSettings(path);
        if (!read.error.empty()) {
            error("无法读取“" + shown(path) + "”：" + read.error);
            return kFailure;
        }
    }
    std::string out;
    for (const Key& key : kSettingsKeys)
        out += std::string(key.name) + "\t" +
               tessera::escapeCell(tessera::gbkToUtf8(read.info.*key.value)) + "\n";
    return writeStdout(out) ? kOk : kFailure;
}

const tessera::cli::Command settingsCommand("settings", "settings [--ini FILE] [KEY=VALUE]...",
                                            {"--ini"}, settings);

} // namespace
} // namespace fallowmere::cli
