#pragma once
// Keeps a RecentFileList in the program's settings (QSettings): organisation
// "Local AppWizard-Generated Applications", the program's application name, group
// "Recent File List", keys File1..FileN (N = the list's capacity), most recent first.

#include "common/recent_files.h"

#include <QString>

namespace tessera {

inline constexpr const char* kSettingsOrganization = "Local AppWizard-Generated Applications";

class RecentFileStore {
public:
    explicit RecentFileStore(QString applicationName)
        : applicationName_(std::move(applicationName)) {}

    // Replaces the entries of `list` with the stored ones (empty values skipped).
    void load(RecentFileList& list) const;
    // Stores the entries of `list`, replacing what was stored; false when the settings cannot
    // be written.
    bool save(const RecentFileList& list) const;

private:
    QString applicationName_;
};

} // namespace tessera
