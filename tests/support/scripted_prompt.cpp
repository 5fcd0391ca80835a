#include "tests/support/scripted_prompt.h"

namespace tessera {

ScriptedPrompt::ScriptedPrompt() : m_previous(setPrompt(this)) {}

ScriptedPrompt::~ScriptedPrompt() {
    setPrompt(m_previous);
}

QStringList ScriptedPrompt::messageTexts() const {
    QStringList texts;
    for (const auto& s : shown)
        if (s.kind == Kind::Message || s.kind == Kind::Question)
            texts << s.text;
    return texts;
}

int ScriptedPrompt::count(Kind kind) const {
    int n = 0;
    for (const auto& s : shown)
        n += s.kind == kind;
    return n;
}

void ScriptedPrompt::message(QWidget*, const QString& caption, const QString& text,
                             PromptIcon icon) {
    shown.append({Kind::Message, caption, text, icon, {}});
    if (onShown)
        onShown(shown.last());
}

PromptAnswer ScriptedPrompt::question(QWidget*, const QString& caption, const QString& text,
                                      bool withCancel) {
    shown.append({Kind::Question, caption, text, PromptIcon::Question, {}});
    if (onShown)
        onShown(shown.last());
    if (answers.isEmpty())
        return withCancel ? PromptAnswer::Cancel : PromptAnswer::No;
    return answers.takeFirst();
}

PromptChoice ScriptedPrompt::questionWithYesToAll(QWidget*, const QString& caption,
                                                  const QString& text) {
    shown.append({Kind::Question, caption, text, PromptIcon::Question, {}});
    if (onShown)
        onShown(shown.last());
    return choices.isEmpty() ? PromptChoice::Cancel : choices.takeFirst();
}

QString ScriptedPrompt::openFileName(QWidget*, const FileDialogRequest& request) {
    shown.append({Kind::OpenFile, request.caption, request.filter, PromptIcon::None, request});
    if (onShown)
        onShown(shown.last());
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString ScriptedPrompt::chooseSaveFileName(QWidget*, const FileDialogRequest& request) {
    shown.append({Kind::SaveFile, request.caption, request.filter, PromptIcon::None, request});
    if (onShown)
        onShown(shown.last());
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

} // namespace tessera
