#!/usr/bin/env bash
# Renders the programs' icons (dist/icons/*.svg) to the PNG sizes installed into the hicolor
# theme. Run after changing an SVG; needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../dist/icons"
for svg in *.svg; do
  name=${svg%.svg}
  for size in 48 128 256; do
    rsvg-convert -w "$size" -h "$size" "$svg" -o "$name-$size.png"
  done
done
