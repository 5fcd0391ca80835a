#!/usr/bin/env bash
# Retakes the README's screenshots of Marrowby (docs/*.png) the way a user sees the program:
# on a virtual X display with a window manager (openbox), driven by keystrokes and clicks
# (xdotool), with a simulated meter for the download. Needs no display of its own.
#
#   scripts/screenshots.sh [OUTPUT_FOLDER]      (default: docs)
#
# Installs what it needs (scripts/deps.sh screenshots), builds when needed (into build/, or
# into $MARROWBY_BUILD_DIR when that names an existing build directory), and removes everything
# it started and created when it ends.
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-docs}")"
mkdir -p "$out"

scripts/deps.sh screenshots
if [ -n "${MARROWBY_BUILD_DIR:-}" ]; then
  bin="$(realpath "$MARROWBY_BUILD_DIR")/bin"
  cmake --build "$MARROWBY_BUILD_DIR" --target marrowby marrowby-cli >/dev/null
else
  bin="$PWD/build/bin"
  scripts/build.sh
fi

tmp_prefix=screenshots
# shellcheck source=scripts/lib/virtual-display.sh
source scripts/lib/virtual-display.sh
start_virtual_display 1024x768

# Waits for a window whose title is exactly $1 and prints its id.
window() {
  local id
  for _ in $(seq 100); do
    id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)" || true
    if [ -n "$id" ]; then
      echo "$id"
      return
    fi
    sleep 0.1
  done
  echo "screenshots: no window \"$1\" appeared" >&2
  exit 1
}
shot() {
  sleep 0.6 # let the last repaint land
  import -window root "$out/$1"
  echo "screenshots: $out/$1" >&2
}

# The simulated meter as the bridge on COM5, slow enough to catch the transfer in progress.
cat > "$tmp/ports.map" <<MAP
[serialcomm]
\\Device\\Serial0=COM1
\\Device\\Slabser0=COM5
[ports]
COM1=/dev/ttyS0
COM5=$tmp/meter
MAP
"$bin/marrowby-cli" simulate-meter --link "$tmp/meter" --groups 3 --records 30 --rate 150 \
  --timeout 60 2>/dev/null &
pids+=($!)

mkdir "$tmp/work"
cd "$tmp/work"
printf '1\t1\t7\t131\t\n' > rows.tsv
"$bin/marrowby-cli" import rows.tsv bridge.DM
# Fresh settings, so that no recent files of this machine show.
XDG_CONFIG_HOME="$tmp/config" MARROWBY_PORT_MAP="$tmp/ports.map" "$bin/marrowby" &
pids+=($!)
main="$(window Tessaly)"
# The main window with its frame fills the screen.
sleep 0.5
read -r left right top bottom < <(xprop -id "$main" _NET_FRAME_EXTENTS | tr -dc '0-9 ' |
  awk '{print $1, $2, $3, $4}')
xdotool windowactivate --sync "$main" windowmove "$main" "${left:-0}" "${top:-0}" \
  windowsize "$main" $((1024 - ${left:-0} - ${right:-0})) $((768 - ${top:-0} - ${bottom:-0}))
sleep 0.5

# The download in progress, then the rows it brought.
xdotool key alt+t d
window "正在运行  请稍候..." >/dev/null
sleep 3
shot transfer.png
# The end: the progress dialog goes, "数据传输完毕！" comes; its 确定 takes Return.
for _ in $(seq 300); do
  xdotool search --onlyvisible --name '^正在运行  请稍候\.\.\.$' >/dev/null 2>&1 || break
  sleep 0.2
done
sleep 1
xdotool key Return
sleep 0.5
xdotool key Down Down
shot marrowby.png

# The record dialog of a row.
xdotool mousemove 150 214 click 1
window "记录信息" >/dev/null
shot record.png
xdotool key Escape

# The port-settings dialog, with the device behind the chosen port.
xdotool key alt+t s
window "端口设置" >/dev/null
shot ports.png
xdotool key Escape

# Save over an existing file, typed with a trailing dot: the question names the file written.
xdotool key ctrl+s
window "另存为" >/dev/null
xdotool type --delay 50 "bridge."
shot save-dialog.png
xdotool key Return
sleep 0.8
shot overwrite.png
xdotool key alt+n
window "另存为" >/dev/null
xdotool key Escape
