#include "depth/document/ui/record_info_dlg.h"

#include "common/qt/caption.h"
#include "common/qt/text.h"
#include "common/ui/prompt.h"
#include "depth/document/depth_record.h"
#include "depth/document/program_title.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace marrowby {

CRecordInfoDlg::CRecordInfoDlg(QWidget* parent) : QDialog(parent) {
    tessera::setCaption(*this, QStringLiteral("记录信息"));
    setObjectName(QStringLiteral("CRecordInfoDlg"));
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int ids[5] = {1002, 1003, 1004, 1005, 1006};
    for (size_t i = 0; i < m_edits.size(); ++i) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("edit%1").arg(ids[i]));
        edit->setMinimumWidth(fontMetrics().averageCharWidth() * 18);
        m_edits[i] = edit;
        form->addRow(tessera::fromUtf8(kColumnTitles[i]), edit);
    }
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CRecordInfoDlg::setTexts(const std::array<QString, 5>& texts) {
    m_initial = texts;
    for (size_t i = 0; i < m_edits.size(); ++i)
        m_edits[i]->setText(texts[i]);
}

std::array<QString, 5> CRecordInfoDlg::texts() const {
    std::array<QString, 5> out;
    for (size_t i = 0; i < m_edits.size(); ++i)
        out[i] = m_edits[i]->text();
    return out;
}

void CRecordInfoDlg::accept() {
    // The cells are stored as GBK: a character GBK cannot hold would be lost on saving, so the
    // dialog stays open until the text can be kept.
    for (size_t i = 0; i < m_edits.size(); ++i) {
        if (m_edits[i]->text() != m_initial[i] && !tessera::toGbk(m_edits[i]->text())) {
            tessera::prompt().message(
                this, tessera::fromUtf8(kProgramTitle),
                QStringLiteral("“%1”中有无法保存的字符（不属于 GBK 字符集）。")
                    .arg(tessera::fromUtf8(kColumnTitles[i])),
                tessera::PromptIcon::Exclamation);
            m_edits[i]->setFocus();
            return;
        }
    }
    QDialog::accept();
}

} // namespace marrowby
