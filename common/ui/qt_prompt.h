#pragma once
#include "common/ui/prompt.h"

#include <QMessageBox>

namespace tessera {

// The button texts of every message box, whatever translations are loaded.
QString buttonText(QMessageBox::StandardButton button);

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
};

} // namespace tessera
