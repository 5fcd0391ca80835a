#include "common/qt/recent_files_store.h"

#include <QSettings>

namespace tessera {
namespace {

const QString kGroup = QStringLiteral("Recent File List");

} // namespace

void RecentFileStore::load(RecentFileList& list) const {
    QSettings s(QString::fromUtf8(kSettingsOrganization), applicationName_);
    s.beginGroup(kGroup);
    std::vector<std::string> paths;
    for (size_t i = 1; i <= list.capacity(); ++i) {
        const QString path = s.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty())
            paths.push_back(path.toStdString());
    }
    list.assign(paths);
}

bool RecentFileStore::save(const RecentFileList& list) const {
    QSettings s(QString::fromUtf8(kSettingsOrganization), applicationName_);
    s.beginGroup(kGroup);
    s.remove(QString());
    const auto& entries = list.entries();
    for (size_t i = 0; i < entries.size(); ++i)
        s.setValue(QStringLiteral("File%1").arg(i + 1), QString::fromStdString(entries[i]));
    s.endGroup();
    s.sync();
    return s.status() == QSettings::NoError;
}

} // namespace tessera
