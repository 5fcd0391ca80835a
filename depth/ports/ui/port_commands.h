#pragma once
// The document's port-settings and driver-install commands.

#include <QString>
#include <functional>

class QWidget;

namespace marrowby {

// Runs the port-settings dialog preselecting `port`; returns the port chosen on OK, else `port`.
int OnPortSettings(int port, QWidget* parent);

// The folder of the running program, without a trailing separator.
QString GetModuleDir();

// The installer a driver-install option starts: GetModuleDir() + "/USB/..." (empty for any
// option other than 0 and 1).
QString installerPath(int option);

// Starts a file the way the desktop opens it; returns at once and reports nothing. A missing
// file starts nothing. Returns whether an attempt was made.
bool startInstaller(const QString& path);

using InstallerLauncher = std::function<void(const QString& path)>;

// Runs the driver-install dialog; on OK starts the chosen installer through `launch`
// (startInstaller when empty). No message of its own.
void OnUsbDriverInstall(QWidget* parent, const InstallerLauncher& launch = {});

} // namespace marrowby
