#include "common/ui/qt_prompt.h"

#include <QFileDialog>
#include <QPushButton>

namespace tessera {
namespace {

QMessageBox::Icon toQt(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Exclamation:
        return QMessageBox::Warning;
    case PromptIcon::Stop:
        return QMessageBox::Critical;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

void setButtonTexts(QMessageBox& box) {
    for (QAbstractButton* button : box.buttons())
        if (const QString text = buttonText(box.standardButton(button)); !text.isEmpty())
            button->setText(text);
}

// Qt's own dialog (the desktop's native one would follow the desktop's language), showing the
// folder as a list of names, as the programs' file dialogs always have.
void setUpFileDialog(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::List);
}

} // namespace

QString buttonText(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Ok:
        return QStringLiteral("确定");
    case QMessageBox::Cancel:
        return QStringLiteral("取消");
    case QMessageBox::Yes:
        return QStringLiteral("是(&Y)");
    case QMessageBox::No:
        return QStringLiteral("否(&N)");
    default:
        return {};
    }
}

void QtPrompt::message(QWidget* parent, const QString& caption, const QString& text,
                       PromptIcon icon) {
    QMessageBox box(toQt(icon), caption, text, QMessageBox::Ok, parent);
    setButtonTexts(box);
    box.exec();
}

PromptAnswer QtPrompt::question(QWidget* parent, const QString& caption, const QString& text,
                                bool withCancel) {
    auto buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel)
        buttons |= QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, caption, text, buttons, parent);
    setButtonTexts(box);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    default:
        return withCancel ? PromptAnswer::Cancel : PromptAnswer::No;
    }
}

PromptChoice QtPrompt::questionWithYesToAll(QWidget* parent, const QString& caption,
                                            const QString& text) {
    QMessageBox box(
        QMessageBox::Question, caption, text,
        QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::Cancel, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::YesToAll)->setText(QStringLiteral("全部是(&A)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    switch (box.exec()) {
    case QMessageBox::Yes:
        return PromptChoice::Yes;
    case QMessageBox::YesToAll:
        return PromptChoice::YesToAll;
    case QMessageBox::No:
        return PromptChoice::No;
    default:
        return PromptChoice::Cancel;
    }
}

QString QtPrompt::openFileName(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent, request.caption.isEmpty() ? QStringLiteral("打开") : request.caption,
                       request.directory, request.filter);
    setUpFileDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QString QtPrompt::chooseSaveFileName(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent,
                       request.caption.isEmpty() ? QStringLiteral("另存为") : request.caption,
                       request.directory, request.filter);
    setUpFileDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Prompt::saveFileName adds the extension and asks about the name that will be written.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace tessera
