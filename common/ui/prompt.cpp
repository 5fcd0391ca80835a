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

PromptAnswer Prompt::questionWithButtons(QWidget* parent, const QString& caption,
                                         const QString& text, const QString&, const QString&) {
    return question(parent, caption, text, true);
}

QString changedFileQuestion(const QString& path) {
    return QStringLiteral("“%1”在本程序上次读取或保存之后已被修改（被其他程序，或被共享文件夹上的"
                          "同事）。\n\n重新载入：读取磁盘上现在的文件，再在其上做本次修改；\n"
                          "覆盖：用本程序中的内容替换它，磁盘上的那些修改将丢失；\n"
                          "取消：不写入任何内容。")
        .arg(path);
}

ChangedFileAnswer askAboutChangedFile(QWidget* parent, const QString& caption,
                                      const QString& path) {
    switch (prompt().questionWithButtons(parent, caption, changedFileQuestion(path),
                                         QStringLiteral("重新载入(&R)"),
                                         QStringLiteral("覆盖(&O)"))) {
    case PromptAnswer::Yes:
        return ChangedFileAnswer::Reload;
    case PromptAnswer::No:
        return ChangedFileAnswer::Overwrite;
    case PromptAnswer::Cancel:
        break;
    }
    return ChangedFileAnswer::Cancel;
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
