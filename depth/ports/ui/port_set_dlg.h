#pragma once
// The port-settings dialog: the user picks one of the COM ports the system knows.

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace marrowby {

class CPortSetDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPortSetDlg(QWidget* parent = nullptr);

    // Fills the list and preselects "COM<port()>" before the dialog shows.
    int exec() override;

    // In: the port to preselect; out: the port chosen. Changed only by OnSelChangePort, so
    // OK without touching the list keeps the given value.
    int port() const { return m_nPort; }
    void setPort(int port) { m_nPort = port; }

    // Fills the combo box with the offered port names of the current port map (sorted as
    // text); reports a map that cannot be read and leaves the list empty then.
    void FillPortList();
    // The user selected another item: port() becomes the number in its name.
    void OnSelChangePort();

    QComboBox* portList() const { return m_pCombo; }
    // The line showing the device path behind the selected port (hidden when it has none).
    QLabel* deviceLine() const { return m_pDevice; }
    QPushButton* okButton() const { return m_pOk; }
    QPushButton* cancelButton() const { return m_pCancel; }

protected:
    void showEvent(QShowEvent* e) override;

private:
    void OnInitDialog();
    void showDeviceOf(int index);
    static QString deviceToolTip(const QString& path, const QString& description);

    int m_nPort = 1;
    QComboBox* m_pCombo;
    QLabel* m_pDevice;
    QPushButton* m_pOk;
    QPushButton* m_pCancel;
    bool m_bInitialised = false;
};

} // namespace marrowby
