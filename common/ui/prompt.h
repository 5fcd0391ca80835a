#pragma once
// The prompt interface: every message box and file dialog of both programs goes through it,
// so that each flow can run headless with scripted answers.

#include <QString>

class QWidget;

namespace tessera {

enum class PromptIcon { None, Information, Exclamation, Stop, Question };
enum class PromptAnswer { Yes, No, Cancel };
// The answers of a question asked once for each of many items (replacing files in a copy).
enum class PromptChoice { Yes, YesToAll, No, Cancel };

struct FileDialogRequest {
    QString caption;          // empty: the toolkit's default caption
    QString filter;           // Qt filter text, e.g. "裂缝深度文件(*.DM)"
    QString defaultExtension; // save dialogs: appended to a name typed without one
    bool confirmOverwrite = true;
    QString directory; // starting folder or file; empty: the toolkit's choice
};

class Prompt {
public:
    virtual ~Prompt() = default;

    // A modal message box with an OK button.
    virtual void message(QWidget* parent, const QString& caption, const QString& text,
                         PromptIcon icon) = 0;
    // A modal question with Yes and No (and Cancel when `withCancel`).
    virtual PromptAnswer question(QWidget* parent, const QString& caption, const QString& text,
                                  bool withCancel) = 0;
    // A modal question with Yes, Yes to all, No and Cancel. The default asks `question` with
    // Cancel, for prompts that have no such box.
    virtual PromptChoice questionWithYesToAll(QWidget* parent, const QString& caption,
                                              const QString& text);
    // An open-file dialog; empty when the user cancels.
    virtual QString openFileName(QWidget* parent, const FileDialogRequest& request) = 0;

    // The name of the file a save will write: the save dialog, then the default extension
    // applied to what was chosen, then (with `confirmOverwrite`) the overwrite question about
    // that final name when it exists. No shows the dialog again; empty when the user cancels.
    // The question is asked here rather than by the dialog, which would ask about the name as
    // typed: "report." passes its check and then becomes "report.DM".
    QString saveFileName(QWidget* parent, const FileDialogRequest& request);

    // The folder of the file chosen last in a file dialog (or named as a print job's output
    // file); empty before the first. Dialogs that name no folder start there.
    QString lastFolder() const { return lastFolder_; }
    // Records the file `path` as the one chosen last.
    void rememberChosenFile(const QString& path);

protected:
    // The save dialog alone: the name as chosen or typed, with no extension added and no
    // overwrite question; empty when the user cancels.
    virtual QString chooseSaveFileName(QWidget* parent, const FileDialogRequest& request) = 0;

private:
    QString lastFolder_;
};

// The overwrite question about `path`, as saveFileName asks it.
QString overwriteQuestion(const QString& path);

// The process-wide prompt. Programs install a QtPrompt at start-up; tests install a
// ScriptedPrompt. Never null: without an installed one, a QtPrompt is used.
Prompt& prompt();
// Installs `p` (not owned) and returns the previous one; nullptr restores the default.
Prompt* setPrompt(Prompt* p);

} // namespace tessera
