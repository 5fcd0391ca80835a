#include "width/app/inspection_settings.h"

#include "common/atomic_file.h"
#include "common/error_text.h"
#include "common/gbk.h"
#include "common/ini.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fallowmere {

namespace {

// Sets or clears the owner's write bit of an existing file; what cannot be changed (a file of
// another owner) stays as it is.
void setOwnerWritable(const std::string& path, bool writable) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return;
    const mode_t mode = writable ? (st.st_mode | S_IWUSR) : (st.st_mode & ~S_IWUSR);
    if (mode != st.st_mode)
        ::chmod(path.c_str(), mode & 07777);
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace

std::string inspectionSettingsPath(const std::string& programDir, std::string_view override) {
    if (!override.empty())
        return std::string(override);
    std::string path = programDir;
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path + std::string(kSettingsFileName);
}

SettingsLocation locateInspectionSettings(const std::string& programDir, std::string_view override,
                                          ProgramFolder folder, const std::string& userConfigDir) {
    if (!override.empty())
        return {std::string(override), false};
    if (folder != ProgramFolder::System) {
        std::string besideProgram = inspectionSettingsPath(programDir, {});
        if (folder == ProgramFolder::Writable || fileExists(besideProgram))
            return {std::move(besideProgram), false};
    }
    return {inspectionSettingsPath(userConfigDir, {}), true};
}

bool isSystemFolder(std::string_view dir) {
    for (std::string_view root : {"/usr", "/opt", "/bin", "/sbin", "/lib", "/lib64", "/snap"}) {
        if (dir.substr(0, root.size()) == root &&
            (dir.size() == root.size() || dir[root.size()] == '/'))
            return true;
    }
    return false;
}

SettingsLocation programSettingsLocation(const std::string& programDir) {
    const char* override = std::getenv(kSettingsEnvironmentVariable);
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        config = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        config = std::string(home) + "/.config";
    else
        config = programDir;
    config += "/Local AppWizard-Generated Applications/Fallowmere";
    const char* dir = programDir.empty() ? "." : programDir.c_str();
    ProgramFolder folder =
        ::access(dir, W_OK) == 0 ? ProgramFolder::Writable : ProgramFolder::ReadOnly;
    if (char* real = ::realpath(dir, nullptr)) {
        if (isSystemFolder(real))
            folder = ProgramFolder::System;
        std::free(real);
    }
    return locateInspectionSettings(programDir, override ? override : "", folder, config);
}

SettingsRead readInspectionSettings(const std::string& path) {
    SettingsRead result;
    if (!fileExists(path))
        return result;
    result.exists = true;
    tessera::IniFile ini;
    if (!tessera::readIniFile(path, ini, &result.error))
        return result;
    for (const SettingsKey& key : kSettingsKeys) {
        std::string value = ini.value(kSettingsSection, key.name).value_or("");
        // Whole characters only: half a character would show as a wrong one and be written
        // back on the next OK.
        value.resize(tessera::gbkPrefixLength(value, kSettingsValueLimit));
        result.info.*key.value = std::move(value);
    }
    setOwnerWritable(path, false);
    return result;
}

bool writeInspectionSettings(const std::string& path, const InspectionInfo& info,
                             std::string* error, bool createFolder) {
    tessera::IniFile ini;
    if (fileExists(path) && !tessera::readIniFile(path, ini, error))
        return false;
    for (const SettingsKey& key : kSettingsKeys)
        ini.setValue(kSettingsSection, key.name, info.*key.value);

    // A per-user settings folder may not exist yet.
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code ec;
    if (createFolder && !folder.empty() && !std::filesystem::exists(folder, ec)) {
        std::filesystem::create_directories(folder, ec);
        if (ec) {
            if (error)
                *error = tessera::errorText(ec.value());
            return false;
        }
    }

    // The file is read-only between accesses: lift that for the write, and put it back
    // whatever the outcome.
    setOwnerWritable(path, true);
    const bool written = tessera::writeFileAtomically(path, ini.bytes(), error);
    setOwnerWritable(path, false);
    return written;
}

} // namespace fallowmere
