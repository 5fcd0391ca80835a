#include "common/ui/recent_files_menu.h"

#include "common/command.h"

#include <QAction>
#include <QMenu>

namespace tessera {

void fillRecentFileMenu(QMenu& menu, QAction& slot, const RecentFileList& files,
                        const std::function<void(int)>& open) {
    for (QAction* a : menu.actions())
        if (a->property("mru").toBool()) {
            menu.removeAction(a);
            a->deleteLater();
        }
    const auto& entries = files.entries();
    slot.setVisible(entries.empty());
    for (size_t i = 0; i < entries.size(); ++i) {
        const QString path = QString::fromStdString(entries[i]);
        auto* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), &menu);
        a->setProperty("mru", true);
        a->setStatusTip(QStringLiteral("打开该文档"));
        const int id = ID_FILE_MRU_FILE1 + static_cast<int>(i);
        QObject::connect(a, &QAction::triggered, &menu, [open, id] { open(id); });
        menu.insertAction(&slot, a);
    }
}

} // namespace tessera
