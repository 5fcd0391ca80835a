#!/usr/bin/env bash
# Builds the Debian package of both programs and their tools into build/ (build/*.deb).
# Install it as root (or with sudo): apt install ./build/tessera-crack-inspection_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
# The build's and CPack's own messages stay (what was compiled, warnings, errors); the lines
# that every run prints (CPack's progress) do not; build.sh prints nothing when all is built.
scripts/build.sh
rm -f build/*.deb
(cd build && cpack -G DEB 2>&1 >/dev/null | sed '/^CPackDeb: - Generating dependency list$/d') >&2
ls build/*.deb
