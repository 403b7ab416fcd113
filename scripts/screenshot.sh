#!/usr/bin/env bash
# Makes the README's screenshot from the real program: starts it on a virtual
# X display with a window manager, lets the chain swing for a while, and saves
# the window, frame and title bar included.
#
#   scripts/screenshot.sh [seconds to wait, default 8] [output, default docs/screenshot.png]
#
# Builds the program first (scripts/setup.sh run). Needs xvfb, openbox,
# xdotool, x11-utils and imagemagick (all in scripts/setup.sh's test packages).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
wait_s=${1:-8}
out=${2:-$here/docs/screenshot.png}
build=$here/build/release

bash "$here/scripts/setup.sh" run release >/dev/null
exe=$build/ui/hanging-chain
mkdir -p "$(dirname "$out")"

source "$here/scripts/displays.sh"
trap displays_cleanup EXIT
displays_start_xvfb --screen 800x700x24 && displays_start_openbox || exit 1

"$exe" >/dev/null 2>&1 &
DISPLAYS_PIDS+=($!)
win=$(timeout 15 xdotool search --sync --onlyvisible --pid "$!" | head -1) || {
  echo "the program's window did not appear" >&2
  exit 1
}
sleep "$wait_s"

# The icon the window shows in its title bar and task lists (width, height, pixels).
if ! xprop -id "$win" -f _NET_WM_ICON 32c _NET_WM_ICON | grep -Eq '= [1-9][0-9]*, [1-9][0-9]*, '; then
  echo "warning: the window has no icon" >&2
fi
# The frame is the window manager's parent of the program's window.
frame=$(xwininfo -id "$win" -children | sed -n 's/^  Parent window id: \(0x[0-9a-f]*\).*/\1/p')
[ -n "$frame" ] && [ "$frame" != "$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')" ] || frame=$win
import -window "$frame" -strip -define png:exclude-chunks=date,time "$out"
echo "wrote $out ($(identify -format '%wx%h' "$out"))"
