#!/usr/bin/env bash
# Installs the dependencies, builds, and starts one of the programs:
#
#   scripts/run.sh [marrowby] [FILE.DM]        Marrowby (the default)
#   scripts/run.sh fallowmere [PROJECT.cm]     Fallowmere
#
# The remaining arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
program=marrowby
case "${1:-}" in
  marrowby|fallowmere) program="$1"; shift ;;
esac
scripts/deps.sh
scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "$program: no display is available (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "Start it from a desktop session, or under a virtual display:" >&2
  echo "  xvfb-run -a build/bin/$program" >&2
  exit 1
fi
exec "build/bin/$program" "$@"
