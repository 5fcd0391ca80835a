#include "common/ui/save_file.h"

#include "common/atomic_file.h"
#include "common/qt/text.h"

namespace tessera {

QString saveThroughDialog(QWidget* parent, const FileDialogRequest& request,
                          const std::function<std::string()>& content, const QString& caption,
                          const QString& failureText, const SaveHooks& hooks) {
    const QString path = prompt().saveFileName(parent, request);
    if (path.isEmpty())
        return {};
    if (hooks.beforeWrite && !hooks.beforeWrite(path))
        return {};
    std::string reason;
    FileStamp written;
    if (!writeFileAtomically(toPath(path), content(), &reason, &written)) {
        prompt().message(parent, caption,
                         failureText.arg(path) + QLatin1Char('\n') +
                             QString::fromLocal8Bit(reason.c_str()),
                         PromptIcon::Exclamation);
        return {};
    }
    if (hooks.afterWrite)
        hooks.afterWrite(path, written);
    return path;
}

} // namespace tessera
