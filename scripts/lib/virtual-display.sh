# Sourced by the screenshot scripts: a temporary folder $tmp, processes in $pids stopped (last
# first) and $tmp removed at exit, and start_virtual_display WxH, which starts Xvfb on a free
# display number with openbox as window manager and exports DISPLAY.
# Set $tmp_prefix before sourcing to name the temporary folder.

tmp="$(mktemp -d "${TMPDIR:-/tmp}/${tmp_prefix:-virtual-display}.XXXXXX")"
pids=()
cleanup() {
  trap - EXIT INT TERM
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_virtual_display() {
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  export DISPLAY=":$n"
  Xvfb "$DISPLAY" -screen 0 "$1x24" -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
  openbox >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
}
