#!/usr/bin/env bash
# Installs the dependencies, builds, and runs the whole test suite (headless).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --no-tests=error --parallel "$(nproc)"
