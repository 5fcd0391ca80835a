#pragma once
// The inspection-information dialog "检测信息": the measuring company, the project name, the
// measuring person, the checker and the receiver, laid out in dialog units as it was designed
// (160 × 107 units). The Tab key goes from OK and Cancel to the company, the measuring person,
// the project name, the checker and the receiver. Values are GBK: what the user did not change
// is given back with exactly its bytes, a changed value is converted to GBK, and a character
// GBK cannot hold keeps the dialog open with a message.

#include "width/picture/inspection_report.h"

#include <QDialog>

#include <array>

class QLineEdit;
class QPushButton;

namespace fallowmere {

class CMesInfoDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMesInfoDlg(QWidget* parent = nullptr);

    void setInfo(const InspectionInfo& info);
    // The values after OK.
    const InspectionInfo& info() const { return info_; }

    // The edit of control `id` (1007 company, 1008 measuring person, 1009 project name,
    // 1010 checker, 1011 receiver).
    QLineEdit* edit(int id) const;
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    void accept() override;

private:
    struct Field;
    std::array<QLineEdit*, 5> edits_{}; // in control-id order 1007..1011
    std::array<QString, 5> shown_;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    InspectionInfo info_;
};

} // namespace fallowmere
