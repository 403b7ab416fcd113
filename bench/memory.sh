#!/usr/bin/env bash
# Memory: peak resident size (VmHWM) of the program's start-up and loop after
# 1,000 and after 100,000 passes, in one process, next to a minimal Qt program
# with one empty window of the same size that dispatches events as often.
# Runs under Xvfb, as the program does on a desktop; then the program natively
# on Wayland under a headless weston, as it starts by default and with Qt's
# own title bar asked for (QT_WAYLAND_DISABLE_WINDOWDECORATION=0, which Qt 6.4
# draws only with EGL), next to the X11 figure; and as a GNOME session on
# Wayland starts it under a headless mutter, where with Qt 6.4 it runs through
# Xwayland. Without weston, mutter, Xwayland or Qt's Wayland plugin those parts
# are left out and say so.
#
#   bench/memory.sh [--passes "1000 100000"] [--build DIR]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if [ "${1:-}" = --inside ]; then
  build=$2 passes=$3
  # shellcheck disable=SC2086 # the checkpoints are separate arguments
  chain=$("$build/bench/chain_passes" $passes)
  # shellcheck disable=SC2086
  minimal=$("$build/bench/minimal_window" $passes)
  # shellcheck disable=SC2086
  captioned=$("$build/bench/minimal_window" --caption $passes)
  echo "program:"
  echo "$chain" | sed 's/^/  /'
  echo "minimal window:"
  echo "$minimal" | sed 's/^/  /'
  echo "minimal window with one caption:"
  echo "$captioned" | sed 's/^/  /'
  peak() { awk -F'[ =]' '{ for (i = 1; i < NF; ++i) if ($i == "peak_rss_kb") v = $(i + 1) } END { print v }'; }
  first() { echo "$1" | head -n 1 | peak; }
  last() { echo "$1" | tail -n 1 | peak; }
  awk -v c1="$(first "$chain")" -v cn="$(last "$chain")" -v m="$(last "$minimal")" \
    -v mc="$(last "$captioned")" 'BEGIN {
    printf "peak: program %d kB (first checkpoint %d kB, growth %+d kB)\n", cn, c1, cn - c1
    printf "  minimal window %d kB, ratio %.2f; with one caption %d kB, ratio %.2f\n",
      m, cn / m, mc, cn / mc }'
  echo "x11_peak_kb=$(last "$chain")"
  exit 0
fi

# wayland BUILD PASSES X11_KB: the program under a headless weston of its own.
wayland() {
  local build=$1 passes=$2 x11=$3
  if ! command -v weston >/dev/null ||
    [ -z "$(find /usr/lib/*/qt6/plugins/platforms -name 'libqwayland-generic.so' 2>/dev/null)" ]; then
    echo "wayland: skipped (weston or Qt's Wayland plugin, qt6-wayland, is missing)"
    return 0
  fi
  local tmp socket=bench-memory weston_pid line chosen titled
  tmp=$(mktemp -d)
  mkdir -m 700 "$tmp/runtime"
  setsid env XDG_RUNTIME_DIR="$tmp/runtime" weston --backend=headless-backend.so --use-pixman \
    --width=1280 --height=1024 --socket="$socket" --no-config --idle-time=0 >"$tmp/weston.log" 2>&1 &
  weston_pid=$!
  for _ in $(seq 100); do [ -S "$tmp/runtime/$socket" ] && break; sleep 0.1; done
  run() {
    # shellcheck disable=SC2086 # the checkpoints are separate arguments
    env -u DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$tmp/runtime" WAYLAND_DISPLAY="$socket" \
      "$@" timeout 300 "$build/bench/chain_passes" $passes | tail -n 1 |
      awk -F'[ =]' '{ for (i = 1; i < NF; ++i) if ($i == "peak_rss_kb") print $(i + 1) }'
  }
  chosen=$(run)
  titled=$(run QT_WAYLAND_DISABLE_WINDOWDECORATION=0)
  kill -9 -- "-$weston_pid" 2>/dev/null || true
  wait "$weston_pid" 2>/dev/null || true
  [ -n "$chosen" ] && [ -n "$titled" ] || {
    echo "wayland: the program did not run under weston: $(tail -n 5 "$tmp/weston.log")" >&2
    rm -rf "$tmp"
    return 1
  }
  rm -rf "$tmp"
  awk -v x="$x11" -v c="$chosen" -v t="$titled" 'BEGIN {
    printf "wayland (weston): program %d kB, %+d kB from X11 (%d kB)\n", c, c - x, x
    printf "  with Qt'"'"'s own title bar: %d kB, %+d kB from X11\n", t, t - x }'
}

# gnome BUILD PASSES X11_KB: the program as a GNOME session on Wayland starts
# it, under a headless mutter with Xwayland and a session bus of its own.
gnome() {
  local build=$1 passes=$2 x11=$3
  local t
  for t in mutter Xwayland dbus-daemon; do
    command -v "$t" >/dev/null || { echo "gnome: skipped ($t is missing)"; return 0; }
  done
  local tmp socket=bench-memory-gnome bus_pid mutter_pid display auth kb
  tmp=$(mktemp -d)
  mkdir -m 700 "$tmp/runtime"
  dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$tmp/bus" >/dev/null 2>&1 &
  bus_pid=$!
  for _ in $(seq 100); do [ -s "$tmp/bus" ] && break; sleep 0.1; done
  env -u DISPLAY -u WAYLAND_DISPLAY HOME="$tmp" XDG_CONFIG_HOME="$tmp/config" \
    XDG_RUNTIME_DIR="$tmp/runtime" DBUS_SESSION_BUS_ADDRESS="$(head -n 1 "$tmp/bus")" \
    mutter --headless --wayland --wayland-display="$socket" --virtual-monitor 1280x1024 \
    >"$tmp/mutter.log" 2>&1 &
  mutter_pid=$!
  for _ in $(seq 200); do grep -q 'Using public X11 display' "$tmp/mutter.log" && break; sleep 0.1; done
  display=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$tmp/mutter.log" | head -n 1)
  auth=("$tmp/runtime"/.mutter-Xwaylandauth.*)
  # shellcheck disable=SC2086 # the checkpoints are separate arguments
  kb=$(env -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$tmp/runtime" WAYLAND_DISPLAY="$socket" \
    DISPLAY="$display" XAUTHORITY="${auth[0]}" XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME \
    DBUS_SESSION_BUS_ADDRESS="$(head -n 1 "$tmp/bus")" \
    timeout 300 "$build/bench/chain_passes" $passes | tail -n 1 |
    awk -F'[ =]' '{ for (i = 1; i < NF; ++i) if ($i == "peak_rss_kb") print $(i + 1) }')
  kill "$mutter_pid" 2>/dev/null || true
  wait "$mutter_pid" 2>/dev/null || true
  kill "$bus_pid" 2>/dev/null || true
  wait "$bus_pid" 2>/dev/null || true
  [ -n "$kb" ] || {
    echo "gnome: the program did not run under mutter: $(tail -n 5 "$tmp/mutter.log")" >&2
    rm -rf "$tmp"
    return 1
  }
  rm -rf "$tmp"
  awk -v x="$x11" -v k="$kb" 'BEGIN {
    printf "gnome (mutter, Wayland session): program %d kB, %+d kB from X11 (%d kB)\n", k, k - x, x }'
}

passes="1000 100000"
build=$here/../build/release
while [ $# -gt 0 ]; do
  case $1 in
    --passes) passes=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    *) echo "usage: $0 [--passes \"N1 N2 ...\"] [--build DIR]" >&2; exit 2 ;;
  esac
done
build=$(cd "$build" && pwd)
for f in bench/chain_passes bench/minimal_window; do
  [ -x "$build/$f" ] || { echo "missing $build/$f: build the project first" >&2; exit 1; }
done
x11=$(bash "$here/with-xvfb.sh" bash "$0" --inside "$build" "$passes")
echo "$x11" | grep -v '^x11_peak_kb='
x11_kb=$(echo "$x11" | sed -n 's/^x11_peak_kb=//p')
wayland "$build" "$passes" "$x11_kb"
gnome "$build" "$passes" "$x11_kb"
