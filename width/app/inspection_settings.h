#pragma once
// The job's inspection information (company, project, measuring person, checker, receiver),
// kept in the settings file "QB.ini" beside the program: GBK, one section "Vantorel", the keys
// Company, ProjectName, Censor, Checker and Receiver. It is read once at start-up and written
// whole when the settings dialog is confirmed. Between accesses the file is read-only for its
// owner (the owner's write bit), so that it is not edited by accident.
//
// Model code: the window and the command-line tool share it.

#include "width/picture/inspection_report.h"

#include <string>
#include <string_view>

namespace fallowmere {

inline constexpr std::string_view kSettingsFileName = "QB.ini";
inline constexpr std::string_view kSettingsSection = "Vantorel";
// A value is read into a 260-byte buffer: longer values are cut to at most 259 bytes, after
// the last whole GBK character that fits.
inline constexpr size_t kSettingsValueLimit = 259;
// Names another settings file instead of the one beside the program.
inline constexpr const char* kSettingsEnvironmentVariable = "FALLOWMERE_INI";

// The five keys with the values they hold, in the order they are read, written and listed.
struct SettingsKey {
    const char* name;
    std::string InspectionInfo::*value;
};
inline constexpr SettingsKey kSettingsKeys[] = {
    {"Company", &InspectionInfo::company},   {"ProjectName", &InspectionInfo::projectName},
    {"Censor", &InspectionInfo::censor},     {"Checker", &InspectionInfo::checker},
    {"Receiver", &InspectionInfo::receiver},
};

// The settings file: `override` when it is not empty (the value of FALLOWMERE_INI), else
// "QB.ini" in `programDir` (the folder of the running program).
std::string inspectionSettingsPath(const std::string& programDir, std::string_view override);

// How the folder of the running program may be used for its settings.
enum class ProgramFolder {
    Writable, // a copy the user may write to (the build folder, a portable copy)
    ReadOnly, // a copy the user may not write to
    System,   // a folder the system's packages own (/usr, /opt, ...): never written, by anyone
};

// Where the settings live for a program in `programDir`:
//  - the file `override` names, when it is not empty (FALLOWMERE_INI);
//  - else "QB.ini" beside the program when the program is not installed in a system folder
//    and the file exists there or the user may write that folder (portable copies and the
//    build folder);
//  - else "QB.ini" in the user's own configuration folder `userConfigDir` (an installed
//    program: every user, root included, has a file of their own). `perUser` says so: that
//    folder is created when the settings are first written.
struct SettingsLocation {
    std::string path;
    bool perUser = false;
};
SettingsLocation locateInspectionSettings(const std::string& programDir, std::string_view override,
                                          ProgramFolder folder, const std::string& userConfigDir);

// True for folders that belong to the installed system (under /usr, /opt, /bin, /sbin, /lib,
// /lib64, /snap), where a program never writes beside itself. `dir` is an absolute path with
// links resolved.
bool isSystemFolder(std::string_view dir);

// The settings of the program installed in `programDir` for the user running it: the rule above
// with FALLOWMERE_INI, whether the user may write `programDir`, and the user's configuration
// folder ($XDG_CONFIG_HOME, else ~/.config) + "/Local AppWizard-Generated Applications/Fallowmere",
// where the program's other settings live too. The window and the command-line tool use it.
SettingsLocation programSettingsLocation(const std::string& programDir);

struct SettingsRead {
    InspectionInfo info; // empty values for keys that are missing
    bool exists = false; // the file was there
    std::string error;   // not empty: the file exists but could not be read (UTF-8 reason)
};

// Reads the five values; a missing file gives five empty values and creates nothing. An
// existing file is left read-only for its owner.
SettingsRead readInspectionSettings(const std::string& path);

// Writes all five keys, in order, into the file's "Vantorel" section, keeping every other
// section, key and comment; a missing file is created (and, with `createFolder`, its folder:
// the per-user settings folder may not exist yet). The write replaces the file
// atomically and leaves it read-only for its owner. On failure returns false with the reason
// (UTF-8) and the old file is as it was.
bool writeInspectionSettings(const std::string& path, const InspectionInfo& info,
                             std::string* error, bool createFolder = false);

} // namespace fallowmere
