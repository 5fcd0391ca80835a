#!/usr/bin/env bash
# Builds and runs every benchmark; the figures go to stdout (see BENCHMARKS.md).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
for b in build/bin/bench_*; do
  echo "== $(basename "$b")"
  "$b"
done
