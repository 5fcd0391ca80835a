#include "width/list/ui/data_view.h"

#include "common/qt/text.h"
#include "common/text.h"
#include "common/ui/prompt.h"
#include "width/project/command_ids.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressDialog>

#include <climits>

namespace fallowmere {
namespace {

tessera::PromptIcon toPromptIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return tessera::PromptIcon::Information;
    case MessageIcon::Exclamation:
        return tessera::PromptIcon::Exclamation;
    case MessageIcon::Stop:
        return tessera::PromptIcon::Stop;
    case MessageIcon::Question:
        return tessera::PromptIcon::Question;
    case MessageIcon::None:
        break;
    }
    return tessera::PromptIcon::None;
}

} // namespace

QtListPrompts::~QtListPrompts() {
    endProgress();
}

void QtListPrompts::endProgress() {
    if (progress_) {
        progress_->close();
        delete progress_.data();
    }
}

void QtListPrompts::message(std::string_view caption, std::string_view text, MessageIcon icon) {
    endProgress();
    tessera::prompt().message(parent_, tessera::fromUtf8(caption), tessera::fromUtf8(text),
                              toPromptIcon(icon));
}

bool QtListPrompts::askYesNo(std::string_view caption, std::string_view text) {
    return tessera::prompt().question(parent_, tessera::fromUtf8(caption), tessera::fromUtf8(text),
                                      false) == tessera::PromptAnswer::Yes;
}

ReplaceAnswer QtListPrompts::askReplace(const std::string& existingFile) {
    const QString text = tessera::fromUtf8(kReplaceQuestion)
                             .arg(tessera::fromUtf8(tessera::displayPath(existingFile)));
    switch (
        tessera::prompt().questionWithYesToAll(parent_, tessera::fromUtf8(kReplaceCaption), text)) {
    case tessera::PromptChoice::Yes:
        return ReplaceAnswer::Yes;
    case tessera::PromptChoice::YesToAll:
        return ReplaceAnswer::YesToAll;
    case tessera::PromptChoice::No:
        return ReplaceAnswer::No;
    case tessera::PromptChoice::Cancel:
        break;
    }
    return ReplaceAnswer::Cancel;
}

tessera::ChangedFileAnswer QtListPrompts::askChangedOnDisk(const std::string& path) {
    endProgress();
    return tessera::askAboutChangedFile(parent_, tessera::fromUtf8(kAppTitle),
                                        tessera::fromUtf8(tessera::displayPath(path)));
}

bool QtListPrompts::copyProgress(size_t done, size_t total) {
    if (!progress_) {
        progress_ = new QProgressDialog(QStringLiteral("正在复制图片文件夹……"),
                                        QStringLiteral("取消"), 0, 0, parent_);
        progress_->setWindowTitle(QStringLiteral("复制文件夹"));
        progress_->setWindowModality(Qt::WindowModal);
        progress_->setMinimumDuration(500);
        progress_->setAutoClose(false);
        progress_->setAutoReset(false);
    }
    if (progress_->wasCanceled())
        return false;
    const int max = static_cast<int>(std::min<size_t>(total, INT_MAX));
    progress_->setMaximum(max);
    progress_->setValue(static_cast<int>(std::min<size_t>(done, INT_MAX)));
    return !progress_->wasCanceled();
}

CDataView::CDataView(CQuenbyDoc& doc, FileOps& fs, QWidget* parent)
    : CSortListView(kRecordListControlId, QString::fromLatin1(kSettingsApplication), parent),
      doc_(doc), prompts_(this), list_(doc, rows(), fs, prompts_, collator()) {
    setObjectName(QStringLiteral("CDataView"));
    commandTable()
        .on(ID_RECORD_DELETE, [this](int) { OnRecordDelete(); })
        .on(tessera::ID_FILE_PRINT, [this](int id) {
            // The list has no print of its own: the picture pane prints the list collected
            // last, without collecting again.
            if (pictureView_)
                pictureView_->onCommand(id);
        });
}

CDataView::~CDataView() = default;

void CDataView::setPictureView(tessera::CommandTarget* view, std::function<void()> notifyViews) {
    pictureView_ = view;
    notifyViews_ = std::move(notifyViews);
}

CDataView::RecordEditor& CDataView::recordEditor() {
    static RecordEditor editor = [](QWidget* parent, CModifyDlg::Texts& texts, int focusField) {
        CModifyDlg dialog(parent);
        dialog.setTexts(texts);
        dialog.focusField(focusField);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        texts = dialog.texts();
        return true;
    };
    return editor;
}

void CDataView::OnUpdate(int hint) {
    if (hint != 0)
        return;
    list_.refresh();
    prompts_.endProgress();
}

void CDataView::OnCollectPrint() {
    list_.collectPrint();
}

void CDataView::OnClearChecks() {
    list_.clearChecks();
}

void CDataView::OnRecordDelete() {
    list_.deleteRecords();
    list_.forgetShownNamesOfRemovedRows();
    if (notifyViews_)
        notifyViews_();
}

void CDataView::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        // The list's own handling first: focus and selection.
        QTableView::mousePressEvent(event);
        const QModelIndex index = indexAt(pos);
        if (!index.isValid())
            return;
        const int row = index.row();
        const bool onBox = index.column() == 0 && checkBoxRect(row).contains(pos);
        if (onBox)
            rows().setChecked(static_cast<size_t>(row),
                              !rows().isChecked(static_cast<size_t>(row)));
        pickRow(row, onBox ? ClickPlace::CheckBox : ClickPlace::Text);
        return;
    }
    if (event->button() == Qt::RightButton) {
        setFocus(Qt::MouseFocusReason);
        const QModelIndex index = indexAt(pos);
        if (!index.isValid() || (index.column() == 0 && checkBoxRect(index.row()).contains(pos)))
            return;
        editRow(index.row());
        return;
    }
    QTableView::mousePressEvent(event);
}

void CDataView::mouseDoubleClickEvent(QMouseEvent* event) {
    // Double-clicks never reach the list: the second press does nothing.
    event->accept();
}

void CDataView::keyboardSearch(const QString&) {
    // Typed characters are ignored (no jump to a row starting with them).
}

void CDataView::pickRow(int row, ClickPlace place) {
    list_.pick(static_cast<size_t>(row), place);
    // Also after a pick that found no photograph or deleted its row: the picture pane follows
    // the shown names, whatever changed them.
    if (notifyViews_)
        notifyViews_();
}

void CDataView::keyPressEvent(QKeyEvent* event) {
    const QModelIndex current = currentIndex();
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        mods == Qt::NoModifier) {
        if (current.isValid())
            pickRow(current.row(), ClickPlace::Text);
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Menu && mods == Qt::NoModifier) ||
        (event->key() == Qt::Key_F10 && mods == Qt::ShiftModifier)) {
        showRowMenu();
        event->accept();
        return;
    }
    CSortListView::keyPressEvent(event);
}

void CDataView::contextMenuEvent(QContextMenuEvent* event) {
    // A right click edits (mousePressEvent); only the keyboard's request opens the menu.
    if (event->reason() == QContextMenuEvent::Keyboard)
        showRowMenu();
    event->accept();
}

void CDataView::showRowMenu() {
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    std::unique_ptr<QMenu> menu(rowMenu(current.row()));
    scrollTo(current);
    const QRect cell = visualRect(current);
    menu->exec(viewport()->mapToGlobal(cell.bottomLeft()));
}

QMenu* CDataView::rowMenu(int row) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("rowMenu"));
    const size_t r = static_cast<size_t>(row);
    const bool multiple = document().showMode() == ShowMode::Multiple;
    const bool checked = rows().isChecked(r);
    // Multiple-record mode: a checked row is shown already, and the Delete command removes the
    // checked rows, so a row that is not checked cannot be deleted from its menu.
    QAction* show = menu->addAction(QStringLiteral("显示图片\tEnter"),
                                    [this, row] { pickRow(row, ClickPlace::Text); });
    show->setEnabled(!multiple || !checked);
    menu->addAction(QStringLiteral("编辑信息"), [this, row] { editRow(row); });
    QAction* remove =
        menu->addAction(QStringLiteral("删除记录\tDelete"), [this, row] { deleteRow(row); });
    remove->setEnabled(!multiple || checked);
    return menu;
}

void CDataView::deleteRow(int row) {
    if (document().showMode() == ShowMode::Single) {
        // The Delete command deletes the first selected row: this one alone.
        for (size_t i = 0; i < rows().size(); ++i)
            rows().setSelected(i, static_cast<int>(i) == row);
    }
    OnRecordDelete();
}

void CDataView::editRow(int row) {
    const size_t r = static_cast<size_t>(row);
    rows().setSelected(r, true);
    const CRecordStru& record = rows().record(r);
    CModifyDlg::Texts texts{record.strGroup, record.strName, record.strRemark};
    int focusField = 0;
    while (recordEditor()(this, texts, focusField)) {
        if (list_.edit(r, texts[0], texts[1], texts[2]) == EditResult::Changed) {
            if (notifyViews_)
                notifyViews_(); // a shown photograph follows its new name
            return;
        }
        focusField = 1; // the name is what was refused
    }
}

} // namespace fallowmere
