#!/usr/bin/env bash
# Runs one command against a private Xvfb server and stops the server afterwards.
#
#   bench/with-xvfb.sh [--wm] command [args...]
#
# The server gets a free display number of its own (-displayfd), a black root
# window and a 24-bit 1280x1024 screen; --wm also starts openbox on it. The
# command finds the server's process id in XVFB_PID (to read its processor
# time); its exit status is passed on.
set -euo pipefail

wm=0
if [ "${1:-}" = --wm ]; then
  wm=1
  shift
fi
[ $# -gt 0 ] || { echo "usage: $0 [--wm] command [args...]" >&2; exit 2; }
command -v Xvfb >/dev/null || { echo "Xvfb not found (Debian package xvfb)" >&2; exit 1; }

tmp=$(mktemp -d)
xvfb_pid=
wm_pid=
cleanup() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && wait "$xvfb_pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

mkfifo "$tmp/fd"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -br -nolisten tcp 3>"$tmp/fd" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
display=
read -r -t 20 display <"$tmp/fd" || true
if [ -z "$display" ]; then
  echo "Xvfb did not start:" >&2
  cat "$tmp/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$display"
unset WAYLAND_DISPLAY
# Wait until the server answers a client, on a busy machine too.
for _ in $(seq 100); do
  xprop -root >/dev/null 2>&1 && break
  sleep 0.05
done
export QT_QPA_PLATFORM=xcb
export XVFB_PID=$xvfb_pid
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then  # Qt wants one; keep it private to this run
  mkdir -m 700 "$tmp/runtime"
  export XDG_RUNTIME_DIR=$tmp/runtime
fi

if [ "$wm" = 1 ]; then
  command -v openbox >/dev/null || { echo "openbox not found (Debian package openbox)" >&2; exit 1; }
  openbox >"$tmp/wm.log" 2>&1 &
  wm_pid=$!
  # openbox sets _NET_SUPPORTING_WM_CHECK on the root once it manages the screen.
  for _ in $(seq 100); do
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then break; fi
    sleep 0.05
  done
fi

status=0
"$@" || status=$?
if [ "$status" -ne 0 ] && ! kill -0 "$xvfb_pid" 2>/dev/null; then
  echo "Xvfb ended during the run:" >&2
  cat "$tmp/xvfb.log" >&2
fi
exit "$status"
