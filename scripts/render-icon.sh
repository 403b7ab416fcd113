#!/usr/bin/env bash
# Renders the program's SVG icon once to the PNG that the window embeds as a Qt
# resource (so the program needs no SVG image plugin) and that is installed
# beside the SVG. Run it after changing packaging/hanging-chain.svg and commit
# both files. Needs ImageMagick (Debian package imagemagick).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../packaging"

convert=/usr/bin/convert
[ -x "$convert" ] || convert=$(command -v convert)
# 6x the 64-unit SVG, scaled down: smooth edges. No time stamps, so the same
# SVG gives the same bytes.
"$convert" -background none -density 576 hanging-chain.svg -resize 256x256 \
  -depth 8 -strip -define png:exclude-chunks=date,time PNG32:hanging-chain.png
echo "wrote packaging/hanging-chain.png"
