#!/usr/bin/env bash
# Checks the layering rules of DEVELOPING.md on every source file under common/, depth/ and
# width/ (every library sees the whole tree, so only this check holds them):
#   - model code (outside qt/ and ui/) includes no Qt header and none of qt/ or ui/;
#   - qt/ includes nothing from ui/;
#   - depth/ and width/ never include each other; common/ includes neither.
# Prints each broken rule with the file and line; exits 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
find common depth width -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
  xargs -0 awk '
    function report(why) {
      printf "%s:%d: %s (%s)\n", FILENAME, FNR, why, header > "/dev/stderr"
      broken = 1
    }
    FNR == 1 {
      kind = "model"
      if (FILENAME ~ /(^|\/)qt\//) kind = "qt"
      if (FILENAME ~ /(^|\/)ui\//) kind = "ui"
      top = FILENAME; sub(/\/.*/, "", top)
    }
    /^[ \t]*#[ \t]*include[ \t]*[<"]/ {
      header = $0
      sub(/^[ \t]*#[ \t]*include[ \t]*[<"]/, "", header)
      sub(/[>"].*/, "", header)
      if (kind == "model" && header ~ /^Q|^qt/) report("model code includes Qt")
      if (kind == "model" && header ~ /\/(qt|ui)\//) report("model code includes platform code")
      if (kind == "qt" && header ~ /\/ui\//) report("qt/ includes ui/")
      if ((top == "depth" && header ~ /^width\//) || (top == "width" && header ~ /^depth\//) ||
          (top == "common" && header ~ /^(depth|width)\//))
        report(top "/ includes another program")
    }
    END { exit broken }
  ' || {
  echo "layering rules broken (see DEVELOPING.md, Layout and layers)" >&2
  exit 1
}
echo "layering rules hold"
