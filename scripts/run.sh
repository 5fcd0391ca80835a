#!/usr/bin/env bash
# Installs the dependencies, builds, and starts one of the programs:
#
#   scripts/run.sh [marrowby] [FILE.DM]        Marrowby (the default)
#   scripts/run.sh fallowmere [PROJECT.cm]     Fallowmere
#
# The remaining arguments go to the program, relative to the folder it is started from.
# Without a display it says so before installing or building anything, and shows how to see the
# window anyway:
#
#   scripts/run.sh --screenshot OUT.png [marrowby|fallowmere] [ARGS...]
#
# starts the program on a virtual 1440 x 900 display with a window manager, saves a picture of
# the screen to OUT.png once the window is up, and ends it again.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
screenshot=""
if [ "${1:-}" = "--screenshot" ]; then
  if [ -z "${2:-}" ]; then
    echo "usage: scripts/run.sh --screenshot OUT.png [marrowby|fallowmere] [ARGS...]" >&2
    exit 2
  fi
  screenshot="$(realpath -m "$2")"
  shift 2
fi
program=marrowby
case "${1:-}" in
  marrowby|fallowmere) program="$1"; shift ;;
esac

if [ -z "$screenshot" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] &&
  [ -z "${QT_QPA_PLATFORM:-}" ]; then
  {
    echo "$program: no display is available (neither DISPLAY nor WAYLAND_DISPLAY is set), so its"
    echo "window cannot be shown here. Nothing was installed or built."
    echo "Start it from a desktop session, or see its window as a picture taken on a virtual"
    echo "display (installs and builds first, then writes $program.png in this folder):"
    printf '  %q --screenshot %q %q' "$root/scripts/run.sh" "$PWD/$program.png" "$program"
    [ $# -gt 0 ] && printf ' %q' "$@"
    printf '\n'
  } >&2
  exit 1
fi

"$root/scripts/deps.sh" ${screenshot:+screenshots}
"$root/scripts/build.sh"
bin="$root/build/bin"
if [ -z "$screenshot" ]; then
  exec "$bin/$program" "$@"
fi

tmp_prefix=run-screenshot
# shellcheck source=scripts/lib/virtual-display.sh
source "$root/scripts/lib/virtual-display.sh"
start_virtual_display 1440x900
"$bin/$program" "$@" &
pids+=($!)
window=""
for _ in $(seq 150); do
  window="$(xdotool search --onlyvisible --pid "${pids[-1]}" 2>/dev/null | head -1)" || true
  [ -n "$window" ] && break
  kill -0 "${pids[-1]}" 2>/dev/null || { echo "$program ended before it showed a window" >&2; exit 1; }
  sleep 0.2
done
if [ -z "$window" ]; then
  echo "$program showed no window within 30 s" >&2
  exit 1
fi
sleep 2 # let it draw
import -window root "$screenshot"
echo "$screenshot"
