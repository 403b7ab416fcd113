# Shared by the end-to-end scripts: a private X server (Xvfb) with a window
# manager (openbox), the real program in it, and helpers to find its window,
# send it input, take screenshots and wait, every wait bounded. Everything
# started here is ended on exit, by its own process id.
#
# Source it, then: e2e_start_x; e2e_start_program; ... ; exit (cleanup runs).
# Exit status 77 means the X tools are missing (the test is skipped).

set -euo pipefail

readonly E2E_TITLE="Brenmo Quillet - Varnholt"
readonly E2E_SKIP=77

E2E_PROGRAM=${E2E_PROGRAM:?set E2E_PROGRAM to the program under test}
E2E_PIXELS=${E2E_PIXELS:?set E2E_PIXELS to the e2e_pixels tool}
E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/chain-e2e.XXXXXX")
export XDG_RUNTIME_DIR=$E2E_WORK/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
E2E_XVFB_PID=
E2E_WM_PID=
E2E_PID=
E2E_WID=
E2E_STATUS=
E2E_MORE_PIDS=()  # helpers a script starts itself, ended before the X server

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
  for pid in "$E2E_PID" "${E2E_MORE_PIDS[@]}" "$E2E_WM_PID" "$E2E_XVFB_PID"; do
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null || true
      # Bounded: a process that ignores SIGTERM gets SIGKILL after 2 s.
      for _ in $(seq 20); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
      kill -9 "$pid" 2>/dev/null || true
    fi
  done
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
e2e_wait_for() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds + 1)) start
  start=$(date +%s%N)
  while :; do
    if "$@"; then return 0; fi
    # SECONDS has a resolution of one second; the nanosecond clock decides.
    if [ $(($(date +%s%N) - start)) -ge $((seconds * 1000000000)) ] || [ $SECONDS -ge $deadline ]; then
      return 1
    fi
    sleep 0.05
  done
}

# A session bus of the test's own, so nothing outlives it; exported as
# DBUS_SESSION_BUS_ADDRESS.
e2e_start_session_bus() {
  dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$E2E_WORK/bus" \
    >"$E2E_WORK/dbus.log" 2>&1 &
  E2E_MORE_PIDS+=($!)
  e2e_wait_for 10 grep -q . "$E2E_WORK/bus" || e2e_fail "no session bus: $(cat "$E2E_WORK/dbus.log")"
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$E2E_WORK/bus")
  export DBUS_SESSION_BUS_ADDRESS
}

# A private X server on a display number it picks itself, and openbox on it.
e2e_start_x() {
  e2e_require_tools
  local fdfile=$E2E_WORK/display
  : >"$fdfile"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fdfile" \
    >"$E2E_WORK/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  e2e_wait_for 10 grep -q '[0-9]' "$fdfile" || e2e_fail "Xvfb did not start: $(cat "$E2E_WORK/xvfb.log")"
  export DISPLAY=":$(tr -dc '0-9' <"$fdfile")"
  e2e_log "Xvfb on $DISPLAY"
  # A fresh configuration directory: the stock configuration (Alt+F4 closes).
  HOME=$E2E_WORK XDG_CONFIG_HOME=$E2E_WORK/config openbox >"$E2E_WORK/openbox.log" 2>&1 &
  E2E_WM_PID=$!
  e2e_wait_for 10 e2e_wm_running || e2e_fail "openbox did not start: $(cat "$E2E_WORK/openbox.log")"
  # openbox announces itself before it handles windows: the program starts
  # once a window of another client (xmessage) has been mapped by it. A probe
  # window it never maps is asked for again.
  local probe attempt
  for attempt in 1 2 3; do
    xmessage -title e2e-probe -geometry +900+700 probe >/dev/null 2>&1 &
    probe=$!
    if e2e_wait_for 10 e2e_probe_viewable; then
      kill "$probe" 2>/dev/null || true
      wait "$probe" 2>/dev/null || true
      [ "$attempt" = 1 ] || e2e_log "openbox mapped the probe window at attempt $attempt"
      return 0
    fi
    kill "$probe" 2>/dev/null || true
    wait "$probe" 2>/dev/null || true
  done
  e2e_fail "openbox maps no window: $(tail -n 5 "$E2E_WORK/openbox.log")"
}

e2e_probe_viewable() { xdotool search --onlyvisible --name '^e2e-probe$' >/dev/null 2>&1; }

e2e_wm_running() { wmctrl -m >/dev/null 2>&1; }

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
    if kill -0 "$E2E_WM_PID" 2>/dev/null; then echo "openbox runs"; else echo "openbox has ended"; fi
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
