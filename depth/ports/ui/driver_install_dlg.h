#pragma once
// The driver-install dialog: the user picks which of the two bridge driver installers to start.

#include <QDialog>

class QRadioButton;

namespace marrowby {

class CDriverInstallDlg : public QDialog {
    Q_OBJECT
public:
    explicit CDriverInstallDlg(QWidget* parent = nullptr);

    // Shows option() in the radio group, then runs the dialog; OK takes the selection back.
    int exec() override;
    void accept() override;

    // 0: "Win2K/XP"; 1: "WinXP/2003/Vista/7" (the first shown and the default).
    int option() const { return m_nOption; }
    void setOption(int option) { m_nOption = option; }

    QRadioButton* win2kButton() const { return m_pWin2k; }
    QRadioButton* vistaButton() const { return m_pVista; }

private:
    int m_nOption = 1;
    QRadioButton* m_pWin2k;
    QRadioButton* m_pVista;
};

} // namespace marrowby
