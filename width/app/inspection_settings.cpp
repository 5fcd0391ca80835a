#include "width/app/inspection_settings.h"

#include "common/atomic_file.h"
#include "common/error_text.h"
#include "common/ini.h"

#include <cerrno>
#include <sys/stat.h>

namespace fallowmere {

namespace {

struct Key {
    const char* name;
    std::string InspectionInfo::*value;
};

// The keys in the order they are read and written.
constexpr Key kKeys[] = {
    {"Company", &InspectionInfo::company},   {"ProjectName", &InspectionInfo::projectName},
    {"Censor", &InspectionInfo::censor},     {"Checker", &InspectionInfo::checker},
    {"Receiver", &InspectionInfo::receiver},
};

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

SettingsRead readInspectionSettings(const std::string& path) {
    SettingsRead result;
    if (!fileExists(path))
        return result;
    result.exists = true;
    tessera::IniFile ini;
    if (!tessera::readIniFile(path, ini, &result.error))
        return result;
    for (const Key& key : kKeys) {
        result.info.*key.value =
            ini.value(kSettingsSection, key.name, kSettingsValueLimit).value_or("");
    }
    setOwnerWritable(path, false);
    return result;
}

bool writeInspectionSettings(const std::string& path, const InspectionInfo& info,
                             std::string* error) {
    tessera::IniFile ini;
    if (fileExists(path) && !tessera::readIniFile(path, ini, error))
        return false;
    for (const Key& key : kKeys)
        ini.setValue(kSettingsSection, key.name, info.*key.value);

    // The file is read-only between accesses: lift that for the write, and put it back
    // whatever the outcome.
    setOwnerWritable(path, true);
    const bool written = tessera::writeFileAtomically(path, ini.bytes(), error);
    setOwnerWritable(path, false);
    return written;
}

} // namespace fallowmere
