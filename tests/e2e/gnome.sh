#!/usr/bin/env bash
# The window natively on Wayland under GNOME's compositor (mutter, headless,
# with a session bus of its own): a click where a title bar's maximize button
# sits and a double-click on the title bar leave the window unmaximized, where
# it was and active, once with the title bar the program chooses and once with
# Qt's own title bar asked for (QT_WAYLAND_DISABLE_WINDOWDECORATION=0). The
# program's view of the compositor is its Wayland protocol log (WAYLAND_DEBUG);
# the pointer is mutter's remote desktop pointer (pointer.py). Without Qt's
# title bar, no EGL, Mesa or LLVM is mapped into the program.
# Skipped (77) without mutter, qt6-wayland, dbus or python3-gi.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

for t in mutter dbus-daemon; do
  command -v "$t" >/dev/null || { echo "SKIP: $t is missing (scripts/setup.sh test installs it)"; exit "$E2E_SKIP"; }
done
dpkg-query -W -f='${Status}' qt6-wayland 2>/dev/null | grep -q 'install ok installed' || {
  echo "SKIP: qt6-wayland is not installed (scripts/setup.sh test installs it)"
  exit "$E2E_SKIP"
}
python=/usr/bin/python3
"$python" -c 'from gi.repository import Gio' 2>/dev/null ||
  { echo "SKIP: python3-gi is missing (scripts/setup.sh test installs it)"; exit "$E2E_SKIP"; }

dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$E2E_WORK/bus" \
  >"$E2E_WORK/dbus.log" 2>&1 &
E2E_MORE_PIDS+=($!)
e2e_wait_for 10 grep -q . "$E2E_WORK/bus" || e2e_fail "no session bus: $(cat "$E2E_WORK/dbus.log")"
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$E2E_WORK/bus")
export DBUS_SESSION_BUS_ADDRESS

socket=chain-e2e-gnome
# mutter keeps its settings and state under HOME; a fresh one of this test's own.
env -u DISPLAY -u WAYLAND_DISPLAY HOME="$E2E_WORK" XDG_CONFIG_HOME="$E2E_WORK/config" \
  mutter --headless --wayland --no-x11 --wayland-display="$socket" \
  --virtual-monitor 1280x1024 >"$E2E_WORK/mutter.log" 2>&1 &
E2E_MORE_PIDS+=($!)
e2e_wait_for 20 test -S "$XDG_RUNTIME_DIR/$socket" ||
  e2e_fail "mutter did not start: $(tail -n 20 "$E2E_WORK/mutter.log")"
e2e_log "mutter on $socket"

log=
# The program's requests and the compositor's events, in order.
toplevel_configures() { grep -o 'xdg_toplevel@[0-9]*\.configure(.*)' "$log" || true; }
activated() { toplevel_configures | tail -n 1 | grep -q 'array\[4\])$'; }
# The window's geometry last set: "W H" (with Qt's title bar, if it draws one).
geometry() {
  grep -o 'xdg_surface@[0-9]*\.set_window_geometry(0, 0, [0-9]*, [0-9]*)' "$log" | tail -n 1 |
    sed 's/.*(0, 0, \([0-9]*\), \([0-9]*\))/\1 \2/'
}
# The window's top-left corner on the screen, "X Y": the pointer is put at
# 400, 400 (inside the window wherever mutter places it) and the program is
# told where that is on its surface.
origin() {
  "$python" "$here/pointer.py" at 401 400 by -1 0 || e2e_fail "no pointer from mutter"
  sleep 0.5
  grep -o 'wl_pointer@[0-9]*\.\(enter\|motion\)(.*)' "$log" | tail -n 1 |
    sed 's/.*, \([0-9]*\)\.[0-9]*, \([0-9]*\)\.[0-9]*)$/\1 \2/' |
    awk '{ print 400 - $1, 400 - $2 }'
}

# check_case NAME [VAR=VALUE...]: the program started with that environment.
check_case() {
  local name=$1
  shift
  log=$E2E_WORK/$name.log
  env -u DISPLAY -u QT_QPA_PLATFORM WAYLAND_DISPLAY="$socket" WAYLAND_DEBUG=client "$@" \
    "$E2E_PROGRAM" 2>"$log" >/dev/null &
  E2E_PID=$!
  e2e_wait_for 20 activated || {
    grep -v '^\[' "$log" >&2 || true
    e2e_fail "$name: the window was not shown active"
  }
  sleep 0.5
  local size before after first last x y w h
  size=$(geometry)
  read -r w h <<<"$size"
  before=$(origin)
  read -r x y <<<"$before"
  first=$(toplevel_configures | tail -n 1)
  e2e_log "$name: window ${w}x$h at $before, $first"
  # A title bar is 30 pixels high, its maximize button the second from the
  # right: without one, both places are on the drawing surface.
  "$python" "$here/pointer.py" at $((x + w - 40)) $((y + 15)) click wait 1 \
    at $((x + w / 2)) $((y + 15)) double wait 1
  e2e_alive || e2e_fail "$name: the program ended"
  after=$(origin)
  last=$(toplevel_configures | tail -n 1)
  e2e_log "$name: afterwards at $after, $last"
  if grep -q 'set_maximized()' "$log"; then
    e2e_log "$name: the title bar asked to maximize; the program asked back $(grep -c 'unset_maximized()' "$log") time(s)"
    grep -q 'unset_maximized()' "$log" || e2e_fail "$name: the window was left maximized"
  fi
  [ "$after" = "$before" ] || e2e_fail "$name: the window moved from $before to $after"
  [ "$last" = "$first" ] || e2e_fail "$name: the window's state is now $last, not $first"
  [ "$(geometry)" = "$size" ] || e2e_fail "$name: the window's size changed to $(geometry)"
  if [ "$name" = chosen ]; then
    if grep -Eq 'libLLVM|swrast_dri|libEGL_mesa' "/proc/$E2E_PID/maps"; then
      e2e_fail "$name: EGL or Mesa is mapped: $(grep -Eo '[^/]*(libLLVM|swrast_dri|libEGL_mesa)[^ ]*' "/proc/$E2E_PID/maps" | sort -u | tr '\n' ' ')"
    fi
    e2e_log "$name: $(grep VmRSS "/proc/$E2E_PID/status" | tr -s ' \t' ' '), no EGL mapped"
  fi
  kill "$E2E_PID"
  wait "$E2E_PID" 2>/dev/null || true
  E2E_PID=
}

check_case chosen
check_case qt-title-bar QT_WAYLAND_DISABLE_WINDOWDECORATION=0
echo "gnome: ok"
