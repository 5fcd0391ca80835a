#!/usr/bin/env bash
# Runs the whole test suite RUNS times in a row (default 20) on the build in build/ while
# BUSY other processes (default 2) keep the cores busy, to shake out races that a quiet machine
# hides. Stops at the first failing run and says which; the busy processes end with it.
#
#   scripts/soak.sh [RUNS] [BUSY]
#
# Build first (scripts/build.sh or scripts/test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-20}"
busy="${2:-2}"
burners=()
stop() {
  for pid in "${burners[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap stop EXIT
for _ in $(seq "$busy"); do
  (while :; do :; done) &
  burners+=($!)
done
export QT_QPA_PLATFORM=offscreen
for run in $(seq "$runs"); do
  start=$SECONDS
  if ! ctest --test-dir build --output-on-failure --no-tests=error --parallel "$(nproc)" \
    >"build/soak-$run.log" 2>&1; then
    grep -E "tests passed|\*\*\*Failed|\*\*\*Timeout|Exception" "build/soak-$run.log" >&2 || true
    echo "run $run of $runs failed (build/soak-$run.log)" >&2
    exit 1
  fi
  echo "run $run of $runs passed ($((SECONDS - start)) s)"
  rm -f "build/soak-$run.log"
done
echo "all $runs runs passed under load"
