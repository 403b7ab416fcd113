#!/usr/bin/env bash
# The window under GNOME's compositor (mutter, headless, with Xwayland and a
# session bus of its own).
#
# Natively on Wayland (QT_QPA_PLATFORM=wayland): a click where a title bar's
# maximize button sits and a double-click on the title bar leave the window
# unmaximized, where it was and active, once with the title bar the program
# chooses and once with Qt's own title bar asked for
# (QT_WAYLAND_DISABLE_WINDOWDECORATION=0). The program's view of the compositor
# is its Wayland protocol log (WAYLAND_DEBUG). Without Qt's title bar, no EGL,
# Mesa or LLVM is mapped into the program.
#
# As a GNOME session starts it (XDG_CURRENT_DESKTOP=GNOME, XDG_SESSION_TYPE=
# wayland, both displays set): the program runs through Xwayland, in mutter's
# frame with a title bar and no maximize; a maximize request (the window
# manager's message, a double-click on the title bar, Super+Up) leaves it where
# it was and active, each first shown to maximize an ordinary window (xmessage);
# a drag on the title bar moves it and its close button ends the program.
#
# The pointer and keys are mutter's remote desktop ones (pointer.py).
# Skipped (77) without mutter, Xwayland, qt6-wayland, dbus, python3-gi or the
# X tools.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

for t in mutter Xwayland dbus-daemon xdotool wmctrl xprop xwininfo xmessage; do
  command -v "$t" >/dev/null || { echo "SKIP: $t is missing (scripts/setup.sh test installs it)"; exit "$E2E_SKIP"; }
done
dpkg-query -W -f='${Status}' qt6-wayland 2>/dev/null | grep -q 'install ok installed' || {
  echo "SKIP: qt6-wayland is not installed (scripts/setup.sh test installs it)"
  exit "$E2E_SKIP"
}
python=/usr/bin/python3
"$python" -c 'from gi.repository import Gio' 2>/dev/null ||
  { echo "SKIP: python3-gi is missing (scripts/setup.sh test installs it)"; exit "$E2E_SKIP"; }

displays_start_mutter --size 1280x1024 || e2e_fail "no mutter"
socket=$WAYLAND_DISPLAY
e2e_log "mutter on $socket"

log=
# The program's requests and the compositor's events, in order.
toplevel_configures() { grep -o 'xdg_toplevel[@#][0-9]*\.configure(.*)' "$log" || true; }
activated() { toplevel_configures | tail -n 1 | grep -q 'array\[4\])$'; }
# The window's geometry last set: "W H" (with Qt's title bar, if it draws one).
geometry() {
  grep -o 'xdg_surface[@#][0-9]*\.set_window_geometry(0, 0, [0-9]*, [0-9]*)' "$log" | tail -n 1 |
    sed 's/.*(0, 0, \([0-9]*\), \([0-9]*\))/\1 \2/'
}
# The window's top-left corner on the screen, "X Y": the pointer is put at
# 400, 400 (inside the window wherever mutter places it) and the program is
# told where that is on its surface.
origin() {
  "$python" "$here/pointer.py" at 401 400 by -1 0 || e2e_fail "no pointer from mutter"
  sleep 0.5
  grep -o 'wl_pointer[@#][0-9]*\.\(enter\|motion\)(.*)' "$log" | tail -n 1 |
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

check_case chosen QT_QPA_PLATFORM=wayland
check_case qt-title-bar QT_QPA_PLATFORM=wayland QT_WAYLAND_DISABLE_WINDOWDECORATION=0

# Xwayland: the display mutter picked and the key to it.
displays_mutter_xwayland || e2e_fail "no Xwayland"

# From Qt 6.5 on, Qt draws its own title bar without EGL: a GNOME session keeps
# the program on Wayland, as in the cases above, and Xwayland is left alone.
if [ "$(printf '%s\n' 6.5 "${E2E_QT_VERSION:?}" | sort -V | head -n 1)" = 6.5 ]; then
  env -u QT_QPA_PLATFORM -u QT_WAYLAND_DISABLE_WINDOWDECORATION WAYLAND_DISPLAY="$socket" \
    XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME "$E2E_PROGRAM" >"$E2E_WORK/native.log" 2>&1 &
  E2E_PID=$!
  e2e_wait_for 20 grep -q libqwayland "/proc/$E2E_PID/maps" ||
    e2e_fail "Qt $E2E_QT_VERSION in a GNOME session is not on Wayland: $(cat "$E2E_WORK/native.log")"
  ! grep -q libqxcb "/proc/$E2E_PID/maps" || e2e_fail "Qt $E2E_QT_VERSION went through Xwayland"
  e2e_log "Qt $E2E_QT_VERSION: natively on Wayland in a GNOME session"
  echo "gnome: ok"
  exit 0
fi

# "X Y W H" of a window on the screen.
box() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
  /^  Width/ {w=$NF} /^  Height/ {h=$NF} END {print x, y, w, h}'; }
maximized() { xprop -id "$1" _NET_WM_STATE | grep -q MAXIMIZED; }
active() { xprop -root _NET_ACTIVE_WINDOW | grep -qi "$(printf '0x%x' "$1")\$"; }
# "X Y" in the middle of the title bar, which is the top of the frame's
# visible edges (_NET_FRAME_EXTENTS); the frame's window is wider, with
# invisible borders to resize by.
title_bar() {
  local x y w h top
  read -r x y w h <<<"$(box "$1")"
  top=$(xprop -id "$1" _NET_FRAME_EXTENTS | awk -F', ' '{print $3}')
  echo $((x + w / 2)) $((y - top / 2))
}
# request HOW WINDOW: asks mutter to maximize the window.
request() {
  local x y
  read -r x y <<<"$(title_bar "$2")"
  case $1 in
    message) wmctrl -i -r "$2" -b add,maximized_vert,maximized_horz ;;
    # A pointer that comes in over an X11 window and clicks at once is less
    # often taken for a double-click: it rests there first.
    double-click)
      "$python" "$here/pointer.py" at "$x" "$y" wait 0.5
      "$python" "$here/pointer.py" at "$x" "$y" double wait 1
      ;;
    super-up) "$python" "$here/pointer.py" keys ffeb ff52 \; wait 1 ;;
  esac
  sleep 1
}
requests=(message double-click super-up)

xmessage -name chain-control "an ordinary window" >/dev/null 2>&1 &
E2E_MORE_PIDS+=($!)
control_pid=$!
e2e_wait_for 10 xdotool search --classname chain-control >/dev/null || e2e_fail "no xmessage window"
control=$(xdotool search --classname chain-control | head -n 1)
# Now and then mutter takes a double-click for two clicks, on a busy machine
# more often: it is tried three times on either window.
tries() { if [ "$1" = double-click ]; then echo 3; else echo 1; fi; }
for how in "${requests[@]}"; do
  for _ in $(seq "$(tries "$how")"); do
    e2e_wait_for 5 active "$control" || e2e_fail "the ordinary window is not active"
    request "$how" "$control"
    ! maximized "$control" || break
  done
  maximized "$control" ||
    e2e_fail "$how did not maximize an ordinary window: it never reached mutter"
  wmctrl -i -r "$control" -b remove,maximized_vert,maximized_horz
  e2e_wait_for 5 bash -c "! xprop -id $control _NET_WM_STATE | grep -q MAXIMIZED" ||
    e2e_fail "the ordinary window stayed maximized"
done
kill "$control_pid"

env -u QT_QPA_PLATFORM -u QT_WAYLAND_DISABLE_WINDOWDECORATION WAYLAND_DISPLAY="$socket" \
  XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME "$E2E_PROGRAM" >"$E2E_WORK/xwayland.log" 2>&1 &
E2E_PID=$!
e2e_wait_for 20 xdotool search --name "^$E2E_TITLE\$" >/dev/null ||
  e2e_fail "no X11 window: $(cat "$E2E_WORK/xwayland.log")"
wid=$(xdotool search --name "^$E2E_TITLE\$" | head -n 1)
e2e_wait_for 10 active "$wid" || e2e_fail "the window is not active"
maps=$(grep -Eo '[^/]*(libqxcb|libqwayland|libLLVM|swrast_dri|libEGL_mesa)[^ ]*' "/proc/$E2E_PID/maps" |
  sort -u | tr '\n' ' ')
[ "$maps" = "libqxcb.so " ] || e2e_fail "not through Xwayland alone, without EGL: $maps"
e2e_log "xwayland: $(grep VmRSS "/proc/$E2E_PID/status" | tr -s ' \t' ' '), $maps"
extents=$(xprop -id "$wid" _NET_FRAME_EXTENTS)
actions=$(xprop -id "$wid" _NET_WM_ALLOWED_ACTIONS)
e2e_log "xwayland: $extents; $actions"
[ "$(echo "$extents" | awk -F', ' '{print $3}')" -gt 20 ] || e2e_fail "no title bar: $extents"
! grep -q MAXIMIZE <<<"$actions" || e2e_fail "mutter offers to maximize: $actions"
grep -q _NET_WM_ACTION_CLOSE <<<"$actions" || e2e_fail "mutter offers no close: $actions"
before=$(box "$wid")
for how in "${requests[@]}"; do
  for _ in $(seq "$(tries "$how")"); do
    request "$how" "$wid"
    e2e_alive || e2e_fail "$how: the program ended"
    ! maximized "$wid" || e2e_fail "$how: the window was maximized"
    [ "$(box "$wid")" = "$before" ] || e2e_fail "$how: the window went from $before to $(box "$wid")"
    active "$wid" || e2e_fail "$how: the window is no longer active"
  done
done
e2e_log "xwayland: $before after ${requests[*]}"

read -r x y w h <<<"$before"
read -r tx ty <<<"$(title_bar "$wid")"
"$python" "$here/pointer.py" at "$tx" "$ty" drag 100 50 wait 1
[ "$(box "$wid")" = "$((x + 100)) $((y + 50)) $w $h" ] ||
  e2e_fail "a drag on the title bar moved the window from $before to $(box "$wid")"
# The close button: the title bar's right end.
read -r x _ w _ <<<"$(box "$wid")"
read -r _ ty <<<"$(title_bar "$wid")"
"$python" "$here/pointer.py" at $((x + w - 20)) "$ty" click
e2e_wait_for 5 e2e_gone || e2e_fail "the close button left the program running"
status=0
wait "$E2E_PID" || status=$?
[ "$status" = 0 ] || e2e_fail "closed, the program ended with status $status"
E2E_PID=
echo "gnome: ok"
