#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test, run and package (Debian 12;
# `file` for the package's library dependencies, lintian and appstream to check the package).
# With the argument "screenshots", also what scripts/screenshots.sh needs (a window manager,
# keystrokes, screen capture).
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config git
  clang clang-format libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev
  qt6-translations-l10n libx11-dev libqpdf-dev libicu-dev
  libgtest-dev libgmock-dev libbenchmark-dev libxlsxwriter-dev
  fonts-noto-cjk fonts-wqy-zenhei fonts-liberation
  xvfb xauth poppler-utils desktop-file-utils shared-mime-info
  file lintian appstream
)
if [ "${1:-}" = "screenshots" ]; then
  packages+=(openbox xdotool imagemagick x11-utils)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
