# Shared by the end-to-end scripts: a private X server (Xvfb) with a window
# manager (openbox), the real program in it, and helpers to find its window,
# send it input, take screenshots and wait, every wait bounded. The servers
# are scripts/displays.sh's; everything started here is ended on exit, by its
# own process id.
#
# Source it, then: e2e_start_x; e2e_start_program; ... ; exit (cleanup runs).
# Exit status 77 means the X tools are missing (the test is skipped).

set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/displays.sh"
readonly E2E_TITLE="Brenmo Quillet - Varnholt"
readonly E2E_SKIP=77

# A script that tests the page in a browser sets E2E_NO_PROGRAM and needs neither.
if [ -z "${E2E_NO_PROGRAM:-}" ]; then
  E2E_PROGRAM=${E2E_PROGRAM:?set E2E_PROGRAM to the program under test}
  E2E_PIXELS=${E2E_PIXELS:?set E2E_PIXELS to the e2e_pixels tool}
fi
E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/chain-e2e.XXXXXX")
DISPLAYS_WORK=$E2E_WORK
displays_runtime
E2E_PID=
E2E_WID=
E2E_STATUS=
E2E_MORE_PIDS=()  # helpers a script starts itself, ended before the servers

e2e_log() { echo "[$(date +%T.%3N)] $*"; }
# e2e_rect ID: "x y w h" of the control ID in client pixels, as the program's
# own description of its controls places it.
e2e_rect() {
  "$E2E_PIXELS" rect "$1" || { echo "no control $1 in the program's description" >&2; return 1; }
}
e2e_fail() {
  echo "FAIL: $*" >&2
  exit 1
}

e2e_cleanup() {
  local pid
  for pid in "$E2E_PID" "${E2E_MORE_PIDS[@]}"; do
    [ -z "$pid" ] || displays_stop "$pid"
  done
  displays_cleanup
  if [ -n "${E2E_KEEP:-}" ]; then
    echo "screenshots and logs kept in $E2E_WORK"
  else
    rm -rf "$E2E_WORK"
  fi
}
trap e2e_cleanup EXIT

e2e_require_tools() {
  local t
  for t in Xvfb openbox xdotool wmctrl import xwininfo xmessage; do
    if ! command -v "$t" >/dev/null; then
      echo "SKIP: $t is not installed (scripts/setup.sh test installs it)"
      exit "$E2E_SKIP"
    fi
  done
}

# Polls `cmd...` every 50 ms until it succeeds or `seconds` have passed.
e2e_wait_for() { displays_wait_for "$@"; }
# A session bus of the test's own, exported as DBUS_SESSION_BUS_ADDRESS.
e2e_start_session_bus() { displays_start_session_bus || e2e_fail "no session bus"; }

# A private X server on a display number it picks itself (with the Xvfb
# options given), and openbox on it.
e2e_start_x() {
  e2e_require_tools
  displays_start_xvfb "$@" || e2e_fail "no X server"
  e2e_log "Xvfb on $DISPLAY"
  displays_start_openbox || e2e_fail "no window manager"
}

# Starts the program; its output goes to $E2E_WORK/program.log. Sets E2E_PID
# and E2E_WID, and returns once the program can take input: its window is
# mapped, active and focused (e2e_focus), and it has drawn frames since.
e2e_start_program() {
  unset QT_QPA_PLATFORM
  "$E2E_PROGRAM" >"$E2E_WORK/program.log" 2>&1 &
  E2E_PID=$!
  E2E_STATUS=
  E2E_WID=
  # A sanitizer build starts slowly; 20 s is far more than either needs.
  e2e_wait_for 20 e2e_find_window || {
    e2e_show_log
    e2e_show_windows
    e2e_fail "no window \"$E2E_TITLE\" appeared"
  }
  e2e_log "program $E2E_PID, window $E2E_WID"
  e2e_focus
  # Two changes of the picture after the focus: the loop is running and has
  # dispatched the focus change (events are handled once per pass).
  local shot previous
  previous=$(e2e_shot ready0)
  for shot in ready1 ready2; do
    e2e_wait_for 20 e2e_picture_changed "$previous" "$shot" || e2e_fail "the picture does not change"
    previous=$E2E_WORK/$shot.png
  done
  e2e_log "program ready"
}

# e2e_picture_changed BEFORE NAME: a new screenshot NAME differs from BEFORE.
e2e_picture_changed() {
  local shot
  e2e_alive || {
    e2e_show_log
    e2e_fail "the program ended while starting"
  }
  shot=$(e2e_shot "$2")
  [ "$("$E2E_PIXELS" differ "$1" "$shot")" -gt 0 ]
}

# Makes the window the active one for the window manager and the one with the
# input focus, so that keys sent through the server (xdotool key) reach it.
# Asks again every second for as long as the window manager has not done it.
e2e_focus() {
  local deadline=$((SECONDS + 20))
  until e2e_focused; do
    [ $SECONDS -lt $deadline ] || {
      e2e_show_windows
      e2e_fail "the window did not get the focus"
    }
    xdotool windowactivate "$E2E_WID" 2>/dev/null || true
    e2e_wait_for 1 e2e_focused && break
  done
}

e2e_focused() {
  [ "$(xdotool getactivewindow 2>/dev/null)" = "$E2E_WID" ] &&
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$E2E_WID" ]
}

e2e_show_windows() {
  {
    echo "--- windows: active $(xdotool getactivewindow 2>&1), focus $(xdotool getwindowfocus 2>&1)"
    xdotool search --name "^${E2E_TITLE}\$" 2>&1 | while read -r id; do
      xwininfo -id "$id" 2>&1 | grep -E 'Window id|Map State'
    done
    wmctrl -l 2>&1
    if kill -0 "$DISPLAYS_OPENBOX_PID" 2>/dev/null; then echo "openbox runs"; else echo "openbox has ended"; fi
    tail -n 5 "$E2E_WORK/openbox.log"
  } >&2 || true
}

e2e_find_window() {
  kill -0 "$E2E_PID" 2>/dev/null || {
    e2e_show_log
    e2e_fail "the program ended while starting"
  }
  local ids
  ids=$(xdotool search --onlyvisible --name "^${E2E_TITLE}\$" 2>/dev/null) || return 1
  E2E_WID=$(echo "$ids" | head -n1)
  [ -n "$E2E_WID" ]
}

# The client area's size "W H" (the window itself, without the frame).
e2e_client_size() {
  xwininfo -id "$E2E_WID" | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w, h}'
}

e2e_show_log() {
  echo "--- program output:" >&2
  tail -n 40 "$E2E_WORK/program.log" >&2 || true
}

# Fails when the program printed a sanitizer report.
e2e_check_log_clean() {
  if grep -Eq 'ERROR: (Address|Leak)Sanitizer|runtime error:|SUMMARY: (Address|UndefinedBehavior)Sanitizer' \
    "$E2E_WORK/program.log"; then
    e2e_show_log
    e2e_fail "the program printed a sanitizer report"
  fi
}

# A screenshot of the window's client area, as PNG.
e2e_shot() {
  local out=$E2E_WORK/$1.png
  import -window "$E2E_WID" "png:$out" 2>"$E2E_WORK/import.log" ||
    e2e_fail "screenshot failed: $(cat "$E2E_WORK/import.log")"
  echo "$out"
}

e2e_alive() { kill -0 "$E2E_PID" 2>/dev/null; }
e2e_gone() { ! e2e_alive; }

# e2e_end_by HOW [NOTE]: ends the program one of the ways a user can, and
# checks that it ends within a second with status 0 and a clean log:
#   alt-x      Alt+X presses "E&xit"
#   alt-f4     the window manager's close key
#   wmctrl     a close request from another program (wmctrl -c)
#   destroyed  the window destroyed without a close request (xdotool windowclose)
# The keys go to the focused window (e2e_focus first). The second is the
# program's own: it counts from when the tool that sent the input has ended,
# so the server has taken it in, not from when the tool was started, which on
# a busy machine can take longer than the program needs.
e2e_end_by() {
  local how=$1 what="$1${2:+ $2}" start
  e2e_alive || e2e_fail "the program ended by itself"
  case $how in
    alt-x | alt-f4) e2e_focus ;;
  esac
  case $how in
    alt-x) xdotool key --clearmodifiers alt+x ;;
    alt-f4) xdotool key --clearmodifiers alt+F4 ;;
    wmctrl) wmctrl -c "$E2E_TITLE" ;;
    destroyed) xdotool windowclose "$E2E_WID" ;;
    *) e2e_fail "unknown way of ending: $how" ;;
  esac
  start=$(date +%s%N)
  e2e_expect_exit_within 1000 "$what" "$start"
  [ "$E2E_STATUS" = 0 ] || {
    e2e_show_log
    e2e_fail "$what: exit status $E2E_STATUS"
  }
  e2e_check_log_clean
}

# e2e_expect_exit_within MS WHAT START_NS: waits until MS milliseconds after
# START_NS (date +%s%N) for the program to end; sets E2E_STATUS to its exit
# status and E2E_EXIT_MS to the time it took. Fails when it does not end, and
# tells whether it ended a little later or not at all.
e2e_expect_exit_within() {
  local ms=$1 what=$2 start=$3 now
  while e2e_alive; do
    now=$(date +%s%N)
    if [ $(((now - start) / 1000000)) -ge "$ms" ]; then
      e2e_show_log
      e2e_show_windows
      e2e_wait_for 5 e2e_gone && echo "it ended $((($(date +%s%N) - start) / 1000000)) ms after the input" >&2
      e2e_fail "$what: the program still runs ${ms} ms later"
    fi
    sleep 0.01
  done
  now=$(date +%s%N)
  E2E_EXIT_MS=$(((now - start) / 1000000))
  set +e
  wait "$E2E_PID"
  E2E_STATUS=$?
  set -e
  E2E_PID=
  e2e_log "$what: ended after ${E2E_EXIT_MS} ms with status $E2E_STATUS"
}

# Clicks at client-area pixel (x, y) of the window.
e2e_click() {
  xdotool mousemove --window "$E2E_WID" "$1" "$2" click 1
}
