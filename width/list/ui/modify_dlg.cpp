#include "width/list/ui/modify_dlg.h"

#include "common/qt/caption.h"
#include "common/qt/text.h"
#include "common/ui/dialog_units.h"
#include "common/ui/prompt.h"
#include "width/project/quenby_doc.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace fallowmere {
namespace {

// The dialog's rectangles in dialog units.
constexpr int kWidth = 186;
constexpr int kHeight = 92;
struct Field {
    const char* label;
    int id;
    int y;
};
constexpr Field kFields[3] = {{"组号", 1000, 10}, {"名称", 1004, 28}, {"备注", 1005, 46}};

} // namespace

CModifyDlg::CModifyDlg(QWidget* parent) : QDialog(parent) {
    tessera::setCaption(*this, QStringLiteral("信息"));
    setObjectName(QStringLiteral("CModifyDlg"));
    // A fixed-size dialog: a title and a close box, nothing to maximize.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const tessera::DialogBaseUnits units = tessera::setUpDialog(*this, kWidth, kHeight);
    for (size_t i = 0; i < 3; ++i) {
        auto* label = new QLabel(QString::fromUtf8(kFields[i].label), this);
        tessera::placeInDialog(*label, units, 12, kFields[i].y + 2, 28, 8);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("edit%1").arg(kFields[i].id));
        tessera::placeInDialog(*edit, units, 44, kFields[i].y, 130, 12);
        tessera::selectAllOnFocus(*edit);
        edits_[i] = edit;
    }
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    tessera::placeInDialog(*ok, units, 34, 68, 50, 14);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    tessera::placeInDialog(*cancel, units, 102, 68, 50, 14);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(edits_[0], edits_[1]);
    setTabOrder(edits_[1], edits_[2]);
    setTabOrder(edits_[2], ok);
    setTabOrder(ok, cancel);
    edits_[0]->setFocus();
}

void CModifyDlg::setTexts(const Texts& gbk) {
    texts_ = gbk;
    for (size_t i = 0; i < 3; ++i) {
        shown_[i] = tessera::fromGbk(gbk[i]);
        edits_[i]->setText(shown_[i]);
    }
}

void CModifyDlg::focusField(int field) {
    if (field >= 0 && field < 3)
        edits_[static_cast<size_t>(field)]->setFocus(Qt::OtherFocusReason);
}

void CModifyDlg::accept() {
    Texts out = texts_;
    for (size_t i = 0; i < 3; ++i) {
        const QString text = edits_[i]->text();
        if (text == shown_[i])
            continue; // unchanged: the bytes read stay as they were
        const auto gbk = tessera::toGbk(text);
        if (!gbk) {
            tessera::prompt().message(
                this, tessera::fromUtf8(kAppTitle),
                QStringLiteral("“%1”中有无法保存的字符（不属于 GBK 字符集）。")
                    .arg(QString::fromUtf8(kFields[i].label)),
                tessera::PromptIcon::Exclamation);
            edits_[i]->setFocus();
            return;
        }
        out[i] = *gbk;
    }
    texts_ = out;
    QDialog::accept();
}

} // namespace fallowmere
