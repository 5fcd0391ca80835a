#include "width/app/ui/mes_info_dlg.h"

#include "common/qt/caption.h"
#include "common/qt/text.h"
#include "common/ui/dialog_units.h"
#include "common/ui/prompt.h"
#include "width/project/quenby_doc.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace fallowmere {

namespace {

struct Control {
    int id;
    const char* label; // with its inner spaces, as drawn
    int labelY;
    int editY;
    std::string InspectionInfo::*value;
};

// In control-id order, which is the Tab order of the edits.
constexpr std::array<Control, 5> kControls{{
    {1007, "测量单位", 7, 7, &InspectionInfo::company},
    {1008, "测 量 人", 38, 37, &InspectionInfo::censor},
    {1009, "项目名称", 23, 22, &InspectionInfo::projectName},
    {1010, "复    核 ", 53, 52, &InspectionInfo::checker},
    {1011, "签    收", 67, 67, &InspectionInfo::receiver},
}};

} // namespace

CMesInfoDlg::CMesInfoDlg(QWidget* parent) : QDialog(parent) {
    tessera::setCaption(*this, QStringLiteral("检测信息"));
    setObjectName(QStringLiteral("CMesInfoDlg"));
    // A fixed-size dialog: a title and a close box, nothing to maximize.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const tessera::DialogBaseUnits units = tessera::setUpDialog(*this, 160, 107);

    auto* frame = new QGroupBox(this);
    tessera::placeInDialog(*frame, units, 4, 0, 150, 84);
    // Created before the edits, so that the Tab order starts with them.
    ok_ = new QPushButton(QStringLiteral("确定"), this);
    ok_->setObjectName(QStringLiteral("ok"));
    ok_->setDefault(true);
    tessera::placeInDialog(*ok_, units, 8, 87, 50, 14);
    cancel_ = new QPushButton(QStringLiteral("取消 "), this);
    cancel_->setObjectName(QStringLiteral("cancel"));
    tessera::placeInDialog(*cancel_, units, 95, 87, 50, 14);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    QWidget* previous = cancel_;
    setTabOrder(ok_, cancel_);
    for (size_t i = 0; i < kControls.size(); ++i) {
        const Control& c = kControls[i];
        auto* label = new QLabel(QString::fromUtf8(c.label), this);
        tessera::placeInDialog(*label, units, 12, c.labelY, 36, 12);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("edit%1").arg(c.id));
        tessera::placeInDialog(*edit, units, 51, c.editY, 97, 12);
        tessera::selectAllOnFocus(*edit);
        setTabOrder(previous, edit);
        previous = edit;
        edits_[i] = edit;
    }
    // The first edit has the focus, so that typing starts there (the Tab order still starts
    // with the buttons).
    edits_[0]->setFocus();
}

QLineEdit* CMesInfoDlg::edit(int id) const {
    for (size_t i = 0; i < kControls.size(); ++i)
        if (kControls[i].id == id)
            return edits_[i];
    return nullptr;
}

void CMesInfoDlg::setInfo(const InspectionInfo& info) {
    info_ = info;
    for (size_t i = 0; i < kControls.size(); ++i) {
        shown_[i] = tessera::fromGbk(info.*kControls[i].value);
        edits_[i]->setText(shown_[i]);
    }
}

void CMesInfoDlg::accept() {
    InspectionInfo out = info_;
    for (size_t i = 0; i < kControls.size(); ++i) {
        const QString text = edits_[i]->text();
        if (text == shown_[i])
            continue;
        const auto gbk = tessera::toGbk(text);
        if (!gbk) {
            tessera::prompt().message(
                this, tessera::fromUtf8(kAppTitle),
                QStringLiteral("“%1”中有无法保存的字符（不属于 GBK 字符集）。")
                    .arg(QString::fromUtf8(kControls[i].label).simplified()),
                tessera::PromptIcon::Exclamation);
            edits_[i]->setFocus();
            return;
        }
        out.*kControls[i].value = *gbk;
    }
    info_ = out;
    QDialog::accept();
}

} // namespace fallowmere
