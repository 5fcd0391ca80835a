#include "common/ui/qt_prompt.h"

#include "common/file_name.h"

#include <QFileDialog>
#include <QMessageBox>
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

} // namespace

void QtPrompt::message(QWidget* parent, const QString& caption, const QString& text,
                       PromptIcon icon) {
    QMessageBox box(toQt(icon), caption, text, QMessageBox::Ok, parent);
    box.exec();
}

PromptAnswer QtPrompt::question(QWidget* parent, const QString& caption, const QString& text,
                                bool withCancel) {
    auto buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel)
        buttons |= QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, caption, text, buttons, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    if (withCancel)
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
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
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QString QtPrompt::saveFileName(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent,
                       request.caption.isEmpty() ? QStringLiteral("另存为") : request.caption,
                       request.directory, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.defaultExtension.isEmpty())
        dialog.setDefaultSuffix(request.defaultExtension);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    QString name = dialog.selectedFiles().first();
    if (!request.defaultExtension.isEmpty())
        name = QString::fromStdString(
            withDefaultExtension(name.toStdString(), request.defaultExtension.toStdString()));
    return name;
}

} // namespace tessera
