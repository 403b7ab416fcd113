#!/usr/bin/env bash
# Runs one command against a private Xvfb server and stops the server afterwards.
#
#   scripts/with-xvfb.sh [--wm] command [args...]
#
# The server gets a free display number of its own, a black root window and a
# 24-bit 1280x1024 screen; --wm also starts openbox on it. The command finds the
# server's process id in XVFB_PID (to read its processor time); its exit status
# is passed on.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/displays.sh"

wm=0
[ "${1:-}" != --wm ] || { wm=1; shift; }
[ $# -gt 0 ] || { echo "usage: $0 [--wm] command [args...]" >&2; exit 2; }

trap displays_cleanup EXIT
displays_start_xvfb --screen 1280x1024x24 -br || exit 1
[ "$wm" = 0 ] || displays_start_openbox || exit 1
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb XVFB_PID=$DISPLAYS_XVFB_PID

status=0
"$@" || status=$?
if [ "$status" -ne 0 ] && ! kill -0 "$XVFB_PID" 2>/dev/null; then
  echo "Xvfb ended during the run:" >&2
  cat "$DISPLAYS_WORK/xvfb.log" >&2
fi
exit "$status"
