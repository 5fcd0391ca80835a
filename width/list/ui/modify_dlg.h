#pragma once
// The record dialog "信息": a record's group, name and remark, with OK and Cancel. The texts
// are GBK bytes: a text the user did not change is given back with exactly the bytes it was
// opened with, a changed one is converted to GBK, and a character GBK cannot hold keeps the
// dialog open with a message.

#include <QDialog>

#include <array>
#include <string>

class QLineEdit;

namespace fallowmere {

class CModifyDlg : public QDialog {
    Q_OBJECT
public:
    // Group, name and remark, in that order.
    using Texts = std::array<std::string, 3>;

    explicit CModifyDlg(QWidget* parent = nullptr);

    void setTexts(const Texts& gbk);
    // The texts as GBK after OK.
    const Texts& texts() const { return texts_; }

    QLineEdit* edit(int field) const { return edits_[static_cast<size_t>(field)]; }
    // The keyboard focus starts in field `field` (0 group, the default, 1 name, 2 remark), its
    // text selected.
    void focusField(int field);

    void accept() override;

private:
    std::array<QLineEdit*, 3> edits_{};
    std::array<QString, 3> shown_;
    Texts texts_;
};

} // namespace fallowmere
