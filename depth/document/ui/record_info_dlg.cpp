#include "depth/document/ui/record_info_dlg.h"

#include "common/qt/caption.h"
#include "common/qt/text.h"
#include "common/ui/dialog_units.h"
#include "common/ui/prompt.h"
#include "depth/document/depth_record.h"
#include "depth/document/program_title.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace marrowby {

CRecordInfoDlg::CRecordInfoDlg(QWidget* parent) : QDialog(parent) {
    tessera::setCaption(*this, QStringLiteral("记录信息"));
    setObjectName(QStringLiteral("CRecordInfoDlg"));
    // Dialog resource 132: 131 × 111 dialog units in 宋体 12; a label and an edit box on each
    // of five rows, the buttons below them. Creation order is the Tab order.
    const tessera::DialogBaseUnits units = tessera::setUpDialog(*this, 131, 111, 12);
    const int ids[5] = {1002, 1003, 1004, 1005, 1006};
    for (size_t i = 0; i < m_edits.size(); ++i) {
        const int y = 8 + 16 * static_cast<int>(i);
        auto* label = new QLabel(tessera::fromUtf8(kColumnTitles[i]), this);
        tessera::placeInDialog(*label, units, 10, y + 2, 40, 8);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("edit%1").arg(ids[i]));
        tessera::placeInDialog(*edit, units, 54, y, 66, 12);
        tessera::selectAllOnFocus(*edit);
        label->setBuddy(edit);
        m_edits[i] = edit;
    }
    ok_ = new QPushButton(QStringLiteral("确定"), this);
    tessera::placeInDialog(*ok_, units, 8, 90, 50, 14);
    cancel_ = new QPushButton(QStringLiteral("取消"), this);
    tessera::placeInDialog(*cancel_, units, 70, 90, 50, 14);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    m_edits[0]->setFocus(Qt::OtherFocusReason);
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
