#!/usr/bin/env bash
# Builds the Debian package of both programs and their tools into build/ (build/*.deb).
# Install it with: sudo apt install ./build/tessera-crack-inspection_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
rm -f build/*.deb
(cd build && cpack -G DEB >/dev/null)
ls build/*.deb
