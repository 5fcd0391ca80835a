#include "common/ui/save_file.h"

#include "common/atomic_file.h"
#include "common/qt/text.h"

namespace tessera {

QString saveThroughDialog(QWidget* parent, const FileDialogRequest& request,
                          const std::function<std::string()>& content, const QString& caption,
                          const QString& failureText) {
    const QString path = prompt().saveFileName(parent, request);
    if (path.isEmpty())
        return {};
    std::string reason;
    if (!writeFileAtomically(toPath(path), content(), &reason)) {
        prompt().message(parent, caption,
                         failureText.arg(path) + QLatin1Char('\n') +
                             QString::fromLocal8Bit(reason.c_str()),
                         PromptIcon::Exclamation);
        return {};
    }
    return path;
}

} // namespace tessera
