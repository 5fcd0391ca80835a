#pragma once
// A prompt for tests: answers from a script and records everything it was shown.

#include "common/ui/prompt.h"

#include <QList>
#include <QStringList>
#include <functional>

namespace tessera {

class ScriptedPrompt : public Prompt {
public:
    enum class Kind { Message, Question, OpenFile, SaveFile };
    struct Shown {
        Kind kind;
        QString caption;
        QString text; // message/question text; dialog filter for file dialogs
        PromptIcon icon = PromptIcon::None;
        FileDialogRequest request; // file dialogs only
    };

    ScriptedPrompt();
    ~ScriptedPrompt() override; // restores the previously installed prompt

    // Answers, consumed in order; a question without a scripted answer gets No (or Cancel when
    // offered), a file dialog without one is cancelled.
    QList<PromptAnswer> answers;
    QStringList fileNames;
    // Answers of questionWithYesToAll, in order; none left gives Cancel.
    QList<PromptChoice> choices;
    // Called after each message is recorded (tests use it to act "while the box is open").
    std::function<void(const Shown&)> onShown;

    QList<Shown> shown;
    QStringList messageTexts() const;
    int count(Kind kind) const;

    void message(QWidget* parent, const QString& caption, const QString& text,
                 PromptIcon icon) override;
    PromptAnswer question(QWidget* parent, const QString& caption, const QString& text,
                          bool withCancel) override;
    PromptChoice questionWithYesToAll(QWidget* parent, const QString& caption,
                                      const QString& text) override;
    QString openFileName(QWidget* parent, const FileDialogRequest& request) override;

protected:
    // The save dialog: the next scripted name as typed (Prompt::saveFileName adds the default
    // extension and asks the overwrite question).
    QString chooseSaveFileName(QWidget* parent, const FileDialogRequest& request) override;

private:
    Prompt* m_previous;
};

} // namespace tessera
