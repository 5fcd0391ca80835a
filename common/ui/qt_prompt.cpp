#include "common/ui/qt_prompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace tessera {
namespace {

// Room beside a message box's caption, in line heights: the window icon and the minimize,
// maximize and close buttons, and the title bar's margins.
constexpr int kCaptionDecorationLines = 8;

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

// Qt's message box is as wide as its text, its buttons and the caption alone; the window
// manager also puts an icon and up to three buttons beside the caption, so a short text under a
// caption such as "Wexcombe" gave a box whose caption was cut to "W... be". A row of the box's
// grid keeps room for the caption in a bold title font and those buttons (about one line height
// each, and as much again for the margins). Called last, after anything that rebuilds the grid.
void keepRoomForCaption(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const QFontMetrics metrics(titleFont);
    int width =
        metrics.horizontalAdvance(box.windowTitle()) + kCaptionDecorationLines * metrics.height();
    if (const QScreen* screen = box.screen())
        width = std::min(width, screen->availableGeometry().width() * 2 / 3);
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

// The file dialog's model as shown: the dates of its detail view in the program's (Chinese)
// locale. Qt writes them in the system's locale, "7 Dec 2026 15:52" on a system set to English.
class ChineseDates : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::DisplayRole && index.column() == kModifiedColumn)
            if (const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel()))
                return QLocale().toString(files->lastModified(mapToSource(index)),
                                          QLocale::ShortFormat);
        return QIdentityProxyModel::data(index, role);
    }

private:
    static constexpr int kModifiedColumn = 3; // name, size, kind, date modified
};

} // namespace

void setUpFileDialog(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::List);
    dialog.setProxyModel(new ChineseDates(&dialog));
}

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
    QMessageBox box(toQt(icon), caption, text, QMessageBox::Ok, boxOwner(parent));
    setButtonTexts(box);
    keepRoomForCaption(box);
    box.exec();
}

PromptAnswer QtPrompt::question(QWidget* parent, const QString& caption, const QString& text,
                                bool withCancel) {
    auto buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel)
        buttons |= QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, caption, text, buttons, boxOwner(parent));
    setButtonTexts(box);
    keepRoomForCaption(box);
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
    QMessageBox box(QMessageBox::Question, caption, text,
                    QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No |
                        QMessageBox::Cancel,
                    boxOwner(parent));
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::YesToAll)->setText(QStringLiteral("全部是(&A)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    keepRoomForCaption(box);
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
                       startingFolder(request), request.filter);
    setUpFileDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return chosenFile(dialog);
}

QString QtPrompt::chooseSaveFileName(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent,
                       request.caption.isEmpty() ? QStringLiteral("另存为") : request.caption,
                       startingFolder(request), request.filter);
    setUpFileDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Prompt::saveFileName adds the extension and asks about the name that will be written.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return chosenFile(dialog);
}

QString QtPrompt::startingFolder(const FileDialogRequest& request) const {
    return request.directory.isEmpty() ? lastFolder() : request.directory;
}

QString QtPrompt::chosenFile(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().first();
    rememberChosenFile(chosen);
    return chosen;
}

QWidget* boxOwner(QWidget* parent) {
    if (!parent)
        return QApplication::activeWindow();
    for (QWidget* w = parent; w; w = w->parentWidget()) {
        w = w->window();
        if (w->isVisible())
            return w;
    }
    return parent;
}

} // namespace tessera
