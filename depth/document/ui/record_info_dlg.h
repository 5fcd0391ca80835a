#pragma once
// The record dialog: the five texts of one row, each in its own single-line edit box.

#include <QDialog>
#include <array>

class QLineEdit;
class QPushButton;

namespace marrowby {

class CRecordInfoDlg : public QDialog {
    Q_OBJECT
public:
    explicit CRecordInfoDlg(QWidget* parent = nullptr);

    // Texts in row order: component, crack, point, depth, remark. Only texts changed from
    // these are checked on OK (an untouched cell keeps its stored bytes, whatever they are).
    void setTexts(const std::array<QString, 5>& texts);
    std::array<QString, 5> texts() const;
    QLineEdit* edit(int i) const { return m_edits[static_cast<size_t>(i)]; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    void accept() override;

private:
    std::array<QLineEdit*, 5> m_edits{};
    QPushButton* ok_;
    QPushButton* cancel_;
    std::array<QString, 5> m_initial;
};

} // namespace marrowby
