#!/usr/bin/env bash
# Configures and builds the project into build/ (binaries in build/bin/).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Built only when something is out of date, so that an up-to-date build prints nothing (not
# ninja's "no work to do"); the build itself shows its progress as usual.
if [ "$(ninja -C build -n 2>/dev/null | tail -n 1)" != "ninja: no work to do." ]; then
  cmake --build build --parallel "$(nproc)"
fi
