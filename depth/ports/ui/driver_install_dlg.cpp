#include "depth/ports/ui/driver_install_dlg.h"

#include "common/qt/caption.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace marrowby {

CDriverInstallDlg::CDriverInstallDlg(QWidget* parent) : QDialog(parent) {
    tessera::setCaption(*this, QStringLiteral("驱动安装"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    auto* group = new QGroupBox(QStringLiteral("选项"), this);
    m_pVista = new QRadioButton(QStringLiteral("WinXP/2003/Vista/7"), group);
    m_pWin2k = new QRadioButton(QStringLiteral("Win2K/XP"), group);
    auto* options = new QVBoxLayout(group);
    options->addWidget(m_pVista);
    options->addWidget(m_pWin2k);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CDriverInstallDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
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
