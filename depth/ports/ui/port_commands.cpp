#include "depth/ports/ui/port_commands.h"

#include "depth/ports/ui/driver_install_dlg.h"
#include "depth/ports/ui/port_set_dlg.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace marrowby {

int OnPortSettings(int port, QWidget* parent) {
    CPortSetDlg dlg(parent);
    dlg.setPort(port);
    return dlg.exec() == QDialog::Accepted ? dlg.port() : port;
}

QString GetModuleDir() {
    return QCoreApplication::applicationDirPath();
}

QString installerPath(int option) {
    switch (option) {
    case 0:
        return GetModuleDir() + QStringLiteral("/USB/CP210x_VCP_Win2K_XP.exe");
    case 1:
        return GetModuleDir() + QStringLiteral("/USB/CP210x_VCP_Win_XP_S2K3_Vista_7.exe");
    default:
        return {};
    }
}

bool startInstaller(const QString& path) {
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile())
        return false;
    // A program starts on its own; anything else goes to the desktop's handler for its type.
    if (file.isExecutable() && QProcess::startDetached(path, {}))
        return true;
    QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
    return true;
}

void OnUsbDriverInstall(QWidget* parent, const InstallerLauncher& launch) {
    CDriverInstallDlg dlg(parent);
    dlg.setOption(1);
    if (dlg.exec() != QDialog::Accepted)
        return;
    const QString path = installerPath(dlg.option());
    if (path.isEmpty())
        return;
    if (launch)
        launch(path);
    else
        startInstaller(path);
}

} // namespace marrowby
