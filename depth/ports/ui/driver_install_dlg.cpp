#include "depth/ports/ui/driver_install_dlg.h"

#include "common/qt/caption.h"
#include "common/ui/dialog_units.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace marrowby {

CDriverInstallDlg::CDriverInstallDlg(QWidget* parent) : QDialog(parent) {
    tessera::setCaption(*this, QStringLiteral("驱动安装"));
    // Dialog resource 133: 178 × 75 dialog units in the system font at 10 points. The group
    // box only frames the radio buttons, which are the dialog's own controls like every other
    // one; "Win2K/XP" starts the button group though it stands second.
    const tessera::DialogBaseUnits units =
        tessera::setUpDialog(*this, 178, 75, QStringLiteral("System"), 10);
    auto* group = new QGroupBox(QStringLiteral("选项"), this);
    tessera::placeInDialog(*group, units, 5, 5, 95, 58);
    m_pVista = new QRadioButton(QStringLiteral("WinXP/2003/Vista/7"), this);
    tessera::placeInDialog(*m_pVista, units, 10, 21, 80, 10);
    m_pWin2k = new QRadioButton(QStringLiteral("Win2K/XP"), this);
    tessera::placeInDialog(*m_pWin2k, units, 10, 37, 49, 10);
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    tessera::placeInDialog(*ok, units, 114, 17, 50, 14);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    tessera::placeInDialog(*cancel, units, 114, 40, 50, 14);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CDriverInstallDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int CDriverInstallDlg::exec() {
    m_pWin2k->setChecked(m_nOption == 0);
    m_pVista->setChecked(m_nOption == 1);
    return QDialog::exec();
}

void CDriverInstallDlg::accept() {
    m_nOption = m_pWin2k->isChecked() ? 0 : m_pVista->isChecked() ? 1 : -1;
    QDialog::accept();
}

} // namespace marrowby
