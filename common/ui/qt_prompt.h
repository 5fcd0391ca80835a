#pragma once
#include "common/ui/prompt.h"

#include <QMessageBox>

class QFileDialog;

namespace tessera {

// The button texts of every message box, whatever translations are loaded.
QString buttonText(QMessageBox::StandardButton button);

// Sets up a file dialog as the programs show it: Qt's own dialog (the desktop's native one
// would follow the desktop's language), the folder as a list of names, and the dates of the
// detail view in the program's locale.
void setUpFileDialog(QFileDialog& dialog);

// The real prompt: QMessageBox and Qt's own file dialog (never the desktop's native one, whose
// texts would follow the desktop's language rather than the program's), in list view.
class QtPrompt : public Prompt {
public:
    void message(QWidget* parent, const QString& caption, const QString& text,
                 PromptIcon icon) override;
    PromptAnswer question(QWidget* parent, const QString& caption, const QString& text,
                          bool withCancel) override;
    PromptChoice questionWithYesToAll(QWidget* parent, const QString& caption,
                                      const QString& text) override;
    QString openFileName(QWidget* parent, const FileDialogRequest& request) override;

protected:
    QString chooseSaveFileName(QWidget* parent, const FileDialogRequest& request) override;

private:
    // A dialog whose request names no folder starts in the folder of the file chosen last in
    // any of this prompt's dialogs (the current folder before the first), as the system's file
    // dialogs do on the platform the programs come from.
    QString startingFolder(const FileDialogRequest& request) const;
    QString chosenFile(QFileDialog& dialog);
};

// The window a message box stands over: `parent`'s window or, while that has not been shown
// (a dialog whose opening failed before it appeared), the nearest shown window it belongs to.
// A parent with no shown window at all is kept: its place is where it will appear. A box
// without a parent (the serial engine's error box) stands over the active window, if any.
QWidget* boxOwner(QWidget* parent);

} // namespace tessera
