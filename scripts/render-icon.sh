#!/usr/bin/env bash
# Renders the program's SVG icon once to the PNG that the window embeds as a Qt
# resource (so the program needs no SVG image plugin) and that is installed
# beside the SVG, and to the page's icons at the sizes a browser wants to
# install it (web/icon-192.png, web/icon-512.png). Run it after changing
# packaging/hanging-chain.svg and commit all the files. Needs ImageMagick with
# its SVG reader (Debian packages imagemagick and libmagickcore-6.q16-6-extra).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

convert=/usr/bin/convert
[ -x "$convert" ] || convert=$(command -v convert)
# Drawn at twice the size (the 64-unit SVG at 2.25 x size dpi), scaled down:
# smooth edges. No time stamps, so the same SVG gives the same bytes.
render() {
  "$convert" -background none -density $(($1 * 9 / 4)) packaging/hanging-chain.svg -resize "$1x$1" \
    -depth 8 -strip -define png:exclude-chunks=date,time "PNG32:$2"
  echo "wrote $2"
}
render 256 packaging/hanging-chain.png
render 192 web/icon-192.png
render 512 web/icon-512.png
