#!/usr/bin/env bash
# Retakes the README's screenshots of Fallowmere the way a user sees the program: a project
# made by `fallowmere-cli demo` (its 640 × 480 photographs), opened in the real program on a
# virtual 1440 × 900 display with a window manager (openbox), multiple-record mode chosen and
# six records with photographs checked by clicks (xdotool). docs/fallowmere.png shows the grid
# at the photographs' size, larger than the pane, with scroll bars; docs/fallowmere-fit.png the
# same after the toolbar's 适合窗口 (the grid fitted to the pane). Needs no display of its own.
#
#   scripts/screenshot-width.sh [OUTPUT_FOLDER]      (default: docs)
#
# Installs what it needs (scripts/deps.sh screenshots), builds when needed (into build/, or into
# $MARROWBY_BUILD_DIR when that names an existing build directory), and removes everything it
# started and created when it ends.
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-docs}")"
mkdir -p "$out"

scripts/deps.sh screenshots
if [ -n "${MARROWBY_BUILD_DIR:-}" ]; then
  bin="$(realpath "$MARROWBY_BUILD_DIR")/bin"
  cmake --build "$MARROWBY_BUILD_DIR" --target fallowmere fallowmere-cli >/dev/null
else
  bin="$PWD/build/bin"
  scripts/build.sh
fi

tmp_prefix=screenshot-width
# shellcheck source=scripts/lib/virtual-display.sh
source scripts/lib/virtual-display.sh
start_virtual_display 1440x900

"$bin/fallowmere-cli" demo "$tmp/demo" 2>/dev/null
# Fresh settings (no recent files, no saved column widths, empty inspection information).
XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" FALLOWMERE_INI="$tmp/QB.ini" \
  "$bin/fallowmere" "$tmp/demo/demo.cm" &
pids+=($!)
main=""
for _ in $(seq 100); do
  main="$(xdotool search --onlyvisible --name '^Fallowmere V1\.30$' 2>/dev/null | head -1)" || true
  [ -n "$main" ] && break
  sleep 0.1
done
if [ -z "$main" ]; then
  echo "screenshot-width: Fallowmere's window did not appear" >&2
  exit 1
fi
xdotool windowactivate --sync "$main"
sleep 1

# The toolbar's 多条模式 button, then the first six rows (the demo's photographs, a BMP among
# them), each picked with a click on its name.
xdotool mousemove 157 54 click 1
sleep 0.5
for row in 0 1 2 3 4 5; do
  xdotool mousemove 80 $((100 + 18 * row)) click 1
  sleep 0.5
done
xdotool mousemove 1430 890 # out of the way
sleep 1
import -window root "$out/fallowmere.png"
echo "screenshot-width: $out/fallowmere.png" >&2

# The toolbar's 适合窗口 button, right of 多条模式.
xdotool mousemove 180 54 click 1
xdotool mousemove 1430 890
sleep 1
import -window root "$out/fallowmere-fit.png"
echo "screenshot-width: $out/fallowmere-fit.png" >&2
