#include "common/qt/program_setup.h"

#include "common/qt/caption.h"
#include "common/qt/translations.h"

#include <QCoreApplication>

namespace tessera {

bool setUpDesktopProgram(const QString& name, const QString& version, QString* problem) {
    QCoreApplication::setApplicationName(name);
    QCoreApplication::setApplicationVersion(version);
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    showCaptionsExactly();
    QString missing;
    if (installChineseTranslations(&missing))
        return true;
    if (problem)
        *problem = QStringLiteral("找不到 Qt 的中文翻译（%1），对话框中的部分文字将显示为英文。")
                       .arg(missing);
    return false;
}

} // namespace tessera
