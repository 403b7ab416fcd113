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
source "$here/../scripts/displays.sh"

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

# peak_kb COMMAND...: the peak resident size of the last checkpoint of
# chain_passes run under COMMAND (env with the environment to run it in).
peak_kb() {
  # shellcheck disable=SC2086 # the checkpoints are separate arguments
  "$@" timeout 300 "$build/bench/chain_passes" $passes | tail -n 1 |
    awk -F'[ =]' '{ for (i = 1; i < NF; ++i) if ($i == "peak_rss_kb") print $(i + 1) }'
}

# wayland X11_KB: the program under a headless weston of its own.
wayland() {
  local x11=$1 chosen titled
  if ! command -v weston >/dev/null ||
    [ -z "$(find /usr/lib/*/qt6/plugins/platforms -name 'libqwayland-generic.so' 2>/dev/null)" ]; then
    echo "wayland: skipped (weston or Qt's Wayland plugin, qt6-wayland, is missing)"
    return 0
  fi
  displays_start_weston --size 1280x1024 || return 1
  chosen=$(peak_kb env -u DISPLAY -u QT_QPA_PLATFORM)
  titled=$(peak_kb env -u DISPLAY -u QT_QPA_PLATFORM QT_WAYLAND_DISABLE_WINDOWDECORATION=0)
  [ -n "$chosen" ] && [ -n "$titled" ] || {
    echo "wayland: the program did not run under weston: $(tail -n 5 "$DISPLAYS_WORK/weston.log")" >&2
    return 1
  }
  displays_cleanup
  awk -v x="$x11" -v c="$chosen" -v t="$titled" 'BEGIN {
    printf "wayland (weston): program %d kB, %+d kB from X11 (%d kB)\n", c, c - x, x
    printf "  with Qt'"'"'s own title bar: %d kB, %+d kB from X11\n", t, t - x }'
}

# gnome X11_KB: the program as a GNOME session on Wayland starts it, under a
# headless mutter with Xwayland and a session bus of its own.
gnome() {
  local x11=$1 t kb
  for t in mutter Xwayland dbus-daemon; do
    command -v "$t" >/dev/null || { echo "gnome: skipped ($t is missing)"; return 0; }
  done
  displays_start_mutter && displays_mutter_xwayland || return 1
  kb=$(peak_kb env -u QT_QPA_PLATFORM XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME)
  [ -n "$kb" ] || {
    echo "gnome: the program did not run under mutter: $(tail -n 5 "$DISPLAYS_WORK/mutter.log")" >&2
    return 1
  }
  displays_cleanup
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
x11=$(bash "$here/../scripts/with-xvfb.sh" bash "$0" --inside "$build" "$passes")
echo "$x11" | grep -v '^x11_peak_kb='
x11_kb=$(echo "$x11" | sed -n 's/^x11_peak_kb=//p')
trap displays_cleanup EXIT
wayland "$x11_kb"
gnome "$x11_kb"
