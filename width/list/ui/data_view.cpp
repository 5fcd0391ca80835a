#include "width/list/ui/data_view.h"

#include "common/qt/text.h"
#include "common/text.h"
#include "common/ui/prompt.h"
#include "width/project/command_ids.h"

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
    static RecordEditor editor = [](QWidget* parent, CModifyDlg::Texts& texts) {
        CModifyDlg dialog(parent);
        dialog.setTexts(texts);
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
        const PickResult result =
            list_.pick(static_cast<size_t>(row), onBox ? ClickPlace::CheckBox : ClickPlace::Text);
        if (result.picked && notifyViews_)
            notifyViews_();
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

void CDataView::editRow(int row) {
    const size_t r = static_cast<size_t>(row);
    rows().setSelected(r, true);
    const CRecordStru& record = rows().record(r);
    CModifyDlg::Texts texts{record.strGroup, record.strName, record.strRemark};
    if (!recordEditor()(this, texts))
        return;
    list_.edit(r, texts[0], texts[1], texts[2]);
}

} // namespace fallowmere
