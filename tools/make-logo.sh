#!/usr/bin/env bash
# Draws Talvo's logo (512 x 512 PNG with alpha) with ImageMagick into assets/logo.png, which the build
# compiles into the program. Run it again after changing the drawing:
#   bash tools/make-logo.sh
# The mark: a rounded square in deep blue holding a decaying impulse response in lime, the curve a
# correction filter starts from.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Points of the decaying oscillation, x from 96 to 416, centred on y = 256.
points=""
for i in $(seq 0 160); do
  x=$(awk -v i="$i" 'BEGIN { printf "%.1f", 96 + i * 2 }')
  y=$(awk -v i="$i" 'BEGIN { t = i / 160; printf "%.1f", 256 - 150 * exp(-4.2 * t) * cos(2 * 3.14159265 * 5.5 * t) }')
  points+="$x,$y "
done

convert -size 512x512 xc:none \
  -fill '#013D63' -draw "roundrectangle 16,16 495,495 96,96" \
  -fill none -stroke '#325A9F' -strokewidth 6 -draw "roundrectangle 40,40 471,471 76,76" \
  -stroke '#2A487F' -strokewidth 3 -draw "line 96,256 416,256" \
  -stroke '#CCFF00' -strokewidth 14 -fill none -draw "stroke-linejoin round stroke-linecap round polyline $points" \
  -depth 8 -define png:color-type=6 -strip "$work/logo.png"

cp "$work/logo.png" "$here/assets/logo.png"
echo "wrote assets/logo.png"
