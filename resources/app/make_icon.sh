#!/usr/bin/env bash
# Draws the program's icon (resource 128): a receipt printer with a paper slip, at 48, 32 and 16
# pixels, into setup.ico beside this script. Needs ImageMagick.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -size 48x48 xc:none \
  -fill '#f4f4f4' -stroke '#5a5a5a' -strokewidth 2 -draw 'rectangle 14,3 34,22' \
  -stroke '#9a9a9a' -strokewidth 1 -draw 'line 18,9 30,9' -draw 'line 18,13 30,13' -draw 'line 18,17 27,17' \
  -fill '#2f5f8f' -stroke '#1d3b59' -strokewidth 2 -draw 'roundrectangle 4,20 44,40 4,4' \
  -fill '#1d3b59' -stroke none -draw 'rectangle 10,26 38,29' \
  -fill '#7fd07f' -draw 'circle 38,35 40,35' \
  "$work/48.png"
convert "$work/48.png" -resize 32x32 "$work/32.png"
convert "$work/48.png" -resize 16x16 "$work/16.png"
convert "$work/16.png" "$work/32.png" "$work/48.png" "$here/setup.ico"
