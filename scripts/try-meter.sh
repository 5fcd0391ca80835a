#!/usr/bin/env bash
# Tries a whole download without a meter: starts a simulated crack depth meter on a
# pseudo-terminal, registers it as the USB bridge's port COM5 in a port-map file, and starts
# Marrowby with that map. In Marrowby choose 传输(T) > 数据传输(D): the simulated meter sends
# 5 groups of 20 records; then save the window's rows with 文件 > 另存为. Every time a
# transmission has ended a new simulated meter waits for the next download.
#
#   scripts/try-meter.sh [--groups G] [--records N] [--rate BYTES_PER_SECOND]
#
# Builds first when needed (into build/, or into $MARROWBY_BUILD_DIR when that names an
# existing build directory). Everything it starts and creates is removed when Marrowby exits
# (or on Ctrl+C).
set -euo pipefail
cd "$(dirname "$0")/.."

groups=5
records=20
rate=""
while [ $# -gt 0 ]; do
  case "$1" in
    --groups) groups="$2"; shift 2 ;;
    --records) records="$2"; shift 2 ;;
    --rate) rate="$2"; shift 2 ;;
    -h|--help) sed -n '2,11p' "$0" | cut -c3-; exit 0 ;;
    *) echo "try-meter: unknown option $1" >&2; exit 2 ;;
  esac
done

if [ -n "${MARROWBY_BUILD_DIR:-}" ]; then
  bin="$MARROWBY_BUILD_DIR/bin"
  cmake --build "$MARROWBY_BUILD_DIR" --target marrowby marrowby-cli >/dev/null
else
  bin=build/bin
  if [ ! -x "$bin/marrowby" ] || [ ! -x "$bin/marrowby-cli" ]; then
    scripts/deps.sh
  fi
  scripts/build.sh
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "try-meter: no display is available (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "Start it from a desktop session, or under a virtual display:" >&2
  echo "  xvfb-run -a scripts/try-meter.sh" >&2
  exit 1
fi

tmp="$(mktemp -d "${TMPDIR:-/tmp}/try-meter.XXXXXX")"
meter_loop=""
app=""
cleanup() {
  trap - EXIT INT TERM
  for pid in $app $meter_loop; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

cat > "$tmp/ports.map" <<MAP
; The simulated meter as the CP210x bridge on COM5.
[serialcomm]
\\Device\\Slabser0=COM5
[ports]
COM5=$tmp/meter
MAP

meter_args=(--link "$tmp/meter" --groups "$groups" --records "$records")
if [ -n "$rate" ]; then
  meter_args+=(--rate "$rate")
fi

# One simulated meter per download: each waits until the program opens the port, sends one
# transmission and ends; the loop then starts the next one.
(
  child=""
  trap '[ -n "$child" ] && kill "$child" 2>/dev/null; exit 0' TERM INT
  while :; do
    "$bin/marrowby-cli" simulate-meter "${meter_args[@]}" &
    child=$!
    wait "$child" || sleep 1
    child=""
  done
) &
meter_loop=$!

echo "try-meter: simulated meter on COM5 ($tmp/meter): $groups groups of $records records." >&2
echo "try-meter: in Marrowby choose 传输(T) > 数据传输(D)." >&2
# In the background, so that Ctrl+C or a TERM reaches the clean-up at once.
MARROWBY_PORT_MAP="$tmp/ports.map" "$bin/marrowby" &
app=$!
wait "$app" || true
app=""
