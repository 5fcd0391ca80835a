#pragma once
#include "common/ui/prompt.h"

namespace tessera {

// The real prompt: QMessageBox and QFileDialog.
class QtPrompt : public Prompt {
public:
    void message(QWidget* parent, const QString& caption, const QString& text,
                 PromptIcon icon) override;
    PromptAnswer question(QWidget* parent, const QString& caption, const QString& text,
                          bool withCancel) override;
    PromptChoice questionWithYesToAll(QWidget* parent, const QString& caption,
                                      const QString& text) override;
    QString openFileName(QWidget* parent, const FileDialogRequest& request) override;
    QString saveFileName(QWidget* parent, const FileDialogRequest& request) override;
};

} // namespace tessera
