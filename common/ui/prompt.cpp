#include "common/ui/prompt.h"

#include "common/file_name.h"
#include "common/qt/text.h"
#include "common/ui/qt_prompt.h"

#include <QFileInfo>

namespace tessera {
namespace {
Prompt* g_prompt = nullptr;
} // namespace

QString overwriteQuestion(const QString& path) {
    return QStringLiteral("%1 已存在。\n要替换它吗？").arg(QFileInfo(path).fileName());
}

QString Prompt::saveFileName(QWidget* parent, const FileDialogRequest& request) {
    FileDialogRequest again = request;
    for (;;) {
        const QString chosen = chooseSaveFileName(parent, again);
        if (chosen.isEmpty())
            return {};
        QString path = chosen;
        if (!request.defaultExtension.isEmpty())
            path = fromUtf8(
                withDefaultExtension(chosen.toStdString(), request.defaultExtension.toStdString()));
        // A name that is there (a file, a link, even a broken one) is replaced only when the
        // user says so; a folder cannot be replaced, and the write will say so.
        const QFileInfo target(path);
        const bool taken = (target.exists() || target.isSymLink()) && !target.isDir();
        if (!request.confirmOverwrite || !taken)
            return path;
        const QString caption =
            request.caption.isEmpty() ? QStringLiteral("另存为") : request.caption;
        if (question(parent, caption, overwriteQuestion(path), false) == PromptAnswer::Yes)
            return path;
        again.directory = chosen; // back to the dialog, with the name the user had typed
    }
}

void Prompt::rememberChosenFile(const QString& path) {
    if (!path.isEmpty())
        lastFolder_ = QFileInfo(path).absolutePath();
}

PromptChoice Prompt::questionWithYesToAll(QWidget* parent, const QString& caption,
                                          const QString& text) {
    switch (question(parent, caption, text, true)) {
    case PromptAnswer::Yes:
        return PromptChoice::Yes;
    case PromptAnswer::No:
        return PromptChoice::No;
    case PromptAnswer::Cancel:
        break;
    }
    return PromptChoice::Cancel;
}

Prompt& prompt() {
    static QtPrompt fallback;
    return g_prompt ? *g_prompt : fallback;
}

Prompt* setPrompt(Prompt* p) {
    Prompt* old = g_prompt;
    g_prompt = p;
    return old;
}

} // namespace tessera
