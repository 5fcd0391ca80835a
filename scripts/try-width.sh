#!/usr/bin/env bash
# Tries Fallowmere on a fresh demo project: builds when needed, makes a crack-width project
# with its photographs in a new temporary folder (fallowmere-cli demo) and opens it in
# Fallowmere. The folder is removed when Fallowmere exits (or on Ctrl+C), and the project is
# then not added to your recent-file list; --keep keeps both.
#
#   scripts/try-width.sh [--keep]
set -euo pipefail
cd "$(dirname "$0")/.."

keep=0
while [ $# -gt 0 ]; do
  case "$1" in
    --keep) keep=1; shift ;;
    -h|--help) sed -n '2,7p' "$0" | cut -c3-; exit 0 ;;
    *) echo "try-width: unknown option $1" >&2; exit 2 ;;
  esac
done

bin=build/bin
if [ ! -x "$bin/fallowmere" ] || [ ! -x "$bin/fallowmere-cli" ]; then
  scripts/deps.sh
fi
scripts/build.sh

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "try-width: no display is available (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "Run it under a virtual display: xvfb-run -a scripts/try-width.sh" >&2
  exit 1
fi
if [ ! -x "$bin/fallowmere-cli" ]; then
  echo "try-width: $bin/fallowmere-cli was not built; it makes the demo project." >&2
  exit 1
fi

demo="$(mktemp -d "${TMPDIR:-/tmp}/fallowmere-demo.XXXXXX")"
if [ "$keep" -eq 0 ]; then
  # The project goes away at the end, so it must not stay in your recent-file list: the run
  # keeps its per-user settings (recent files, column widths) in a folder of its own.
  config="$(mktemp -d "${TMPDIR:-/tmp}/fallowmere-config.XXXXXX")"
  trap 'rm -rf "$demo" "$config"' EXIT
  export XDG_CONFIG_HOME="$config"
fi
"$bin/fallowmere-cli" demo "$demo"
project="$(find "$demo" -maxdepth 1 -name '*.cm' | sort | head -n 1)"
if [ -z "$project" ]; then
  echo "try-width: fallowmere-cli demo made no .cm file in $demo" >&2
  exit 1
fi
echo "try-width: opening $project"
[ "$keep" -eq 1 ] && echo "try-width: the demo project stays in $demo"
"$bin/fallowmere" "$project"
