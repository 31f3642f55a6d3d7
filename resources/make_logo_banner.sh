#!/usr/bin/env bash
# Draws bitmap 139, the logo banner of the main dialog: 140 x 40 pixels, 24 bits per pixel,
# the product's name on a clean light background with a thin accent line.
# Needs ImageMagick and the DejaVu fonts (tools/setup.sh installs both).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
light=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
convert -size 140x40 xc:'#F4F7FB' \
  -fill '#1F5FA8' -draw 'rectangle 0,0 4,39' \
  -fill '#1F5FA8' -draw 'rectangle 11,36 133,36' \
  -font "$font" -pointsize 13 -fill '#1A2B44' -annotate +11+18 'Printer Driver' \
  -font "$light" -pointsize 10 -fill '#1F5FA8' -annotate +12+31 'Setup  V1.23' \
  -type TrueColor -define bmp:format=bmp3 -compress none "BMP3:$here/logo_banner.bmp"
