# shellcheck shell=bash
# Private display servers for the scripts that run the real program: an X
# server (Xvfb), optionally with a window manager (openbox), a headless weston,
# a headless mutter with its Xwayland, and a session bus. Sourced by the
# end-to-end tests (tests/e2e/lib.sh), the benchmarks and the package and
# screenshot scripts.
#
#   source scripts/displays.sh
#   trap displays_cleanup EXIT
#   displays_start_xvfb --screen 800x700x24 && displays_start_openbox || exit 1
#
# Each start function waits, at most DISPLAYS_WAIT seconds (default 20), until
# its server answers; when it does not, it says why on stderr, with the end of
# the server's log, and returns 1. It records the process id, so that
# displays_cleanup ends everything started here, the last started first:
#
#   displays_start_xvfb [--screen WxHxD] [Xvfb options...]
#       an Xvfb on a free display number it picks itself (-displayfd), 24-bit
#       1024x768 unless told; exports DISPLAY, sets DISPLAYS_XVFB_PID
#   displays_start_openbox
#       openbox on DISPLAY, with its stock configuration; returns once it has
#       mapped a window of another client; sets DISPLAYS_OPENBOX_PID
#   displays_start_session_bus
#       exports DBUS_SESSION_BUS_ADDRESS, sets DISPLAYS_BUS_PID
#   displays_start_weston [--size WxH] [weston options...]
#       weston, headless, drawing with pixman, no panel, 1024x768 unless told;
#       exports WAYLAND_DISPLAY, sets DISPLAYS_WESTON_PID. It is ended with
#       SIGKILL, together with the clients it started, as if it crashed.
#   displays_start_mutter [--size WxH]
#       mutter, headless, with one virtual monitor (1280x1024 unless told), on
#       the session bus started here (started if there is none yet); exports
#       WAYLAND_DISPLAY, sets DISPLAYS_MUTTER_PID
#   displays_mutter_xwayland
#       waits for mutter's Xwayland; exports DISPLAY and XAUTHORITY for it
#   displays_stop PID
#       ends one process now (SIGTERM, SIGKILL 2 s later) and forgets it
#   displays_cleanup
#       ends every process in DISPLAYS_PIDS (append a client's id to have it
#       ended first) and removes the work folder if it was made here
#   displays_wait_for SECONDS COMMAND...
#       runs COMMAND every 50 ms until it succeeds (0) or SECONDS have passed (1)
#
# Every start exports XDG_RUNTIME_DIR as a private folder (the compositors'
# sockets are there, and the clients find them there). It and the servers'
# logs (xvfb.log, openbox.log, ...) are in DISPLAYS_WORK: set it before the
# first start to keep them; else a new temporary folder is used. Call these
# functions in the script's own shell, not in $(...): their ids would be lost.

DISPLAYS_WORK=${DISPLAYS_WORK:-}
DISPLAYS_WAIT=${DISPLAYS_WAIT:-20}
DISPLAYS_PIDS=()  # "-ID" stands for the process group ID, ended at once
DISPLAYS_XVFB_PID=
DISPLAYS_OPENBOX_PID=
DISPLAYS_BUS_PID=
DISPLAYS_WESTON_PID=
DISPLAYS_MUTTER_PID=
_displays_made_work=
_displays_pid=
_displays_gone=

displays_wait_for() {
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

# The private runtime folder, in the work folder (made on first use).
displays_runtime() {
  if [ -z "$DISPLAYS_WORK" ]; then
    DISPLAYS_WORK=$(mktemp -d "${TMPDIR:-/tmp}/displays.XXXXXX") || return 1
    _displays_made_work=1
  fi
  mkdir -p "$DISPLAYS_WORK/runtime" && chmod 700 "$DISPLAYS_WORK/runtime" || return 1
  export XDG_RUNTIME_DIR=$DISPLAYS_WORK/runtime
}

# _displays_prepare TOOL PACKAGE: the tool is there and the runtime folder too.
_displays_prepare() {
  command -v "$1" >/dev/null || {
    echo "$1 is not installed (Debian package $2)" >&2
    return 1
  }
  displays_runtime
}

# _displays_spawn NAME COMMAND...: starts COMMAND in the background, its output
# in NAME.log and what it writes to descriptor 3 in NAME.out, and records it
# (through setsid, as its process group). Sets _displays_pid.
_displays_spawn() {
  local name=$1
  shift
  : >"$DISPLAYS_WORK/$name.out"
  "$@" 3>"$DISPLAYS_WORK/$name.out" >"$DISPLAYS_WORK/$name.log" 2>&1 &
  _displays_pid=$!
  if [ "$1" = setsid ]; then DISPLAYS_PIDS+=("-$_displays_pid"); else DISPLAYS_PIDS+=("$_displays_pid"); fi
}

# _displays_wait WHAT PID LOG COMMAND...: waits for COMMAND to succeed while
# process PID runs; else says that WHAT did not start, with LOG's end.
_displays_wait() {
  local what=$1 pid=$2 log=$3 why
  shift 3
  _displays_gone=
  if displays_wait_for "$DISPLAYS_WAIT" _displays_ready "$pid" "$@" && [ -z "$_displays_gone" ]; then
    return 0
  fi
  why="in $DISPLAYS_WAIT s"
  [ -z "$_displays_gone" ] || why="(it ended)"
  echo "$what did not start $why: $(tail -n 20 "$log")" >&2
  return 1
}
_displays_ready() {
  kill -0 "$1" 2>/dev/null || {
    _displays_gone=1
    return 0
  }
  "${@:2}"
}

displays_start_xvfb() {
  local screen=1024x768x24
  [ "${1:-}" != --screen ] || { screen=$2; shift 2; }
  _displays_prepare Xvfb xvfb || return 1
  _displays_spawn xvfb Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset "$@"
  DISPLAYS_XVFB_PID=$_displays_pid
  _displays_wait Xvfb "$DISPLAYS_XVFB_PID" "$DISPLAYS_WORK/xvfb.log" \
    grep -q '[0-9]' "$DISPLAYS_WORK/xvfb.out" || return 1
  DISPLAY=":$(tr -dc '0-9' <"$DISPLAYS_WORK/xvfb.out")"
  export DISPLAY
}

_displays_wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
_displays_probe_mapped() { xwininfo -name displays-probe 2>/dev/null | grep -q IsViewable; }

displays_start_openbox() {
  _displays_prepare openbox openbox && _displays_prepare xmessage x11-utils || return 1
  # A fresh configuration folder: the stock configuration (Alt+F4 closes).
  _displays_spawn openbox env HOME="$DISPLAYS_WORK" XDG_CONFIG_HOME="$DISPLAYS_WORK/config" openbox
  DISPLAYS_OPENBOX_PID=$_displays_pid
  _displays_wait openbox "$DISPLAYS_OPENBOX_PID" "$DISPLAYS_WORK/openbox.log" _displays_wm_running || return 1
  # openbox announces itself before it handles windows: it is ready once it
  # has mapped a window of another client (xmessage). A probe window it never
  # maps is asked for again.
  local probe attempt mapped
  for attempt in 1 2 3; do
    xmessage -title displays-probe -geometry -0-0 probe >/dev/null 2>&1 &
    probe=$!
    mapped=0
    displays_wait_for 10 _displays_probe_mapped || mapped=$?
    kill "$probe" 2>/dev/null || true
    wait "$probe" 2>/dev/null || true
    if [ "$mapped" = 0 ]; then
      [ "$attempt" = 1 ] || echo "openbox mapped the probe window at attempt $attempt" >&2
      return 0
    fi
  done
  echo "openbox maps no window: $(tail -n 5 "$DISPLAYS_WORK/openbox.log")" >&2
  return 1
}

displays_start_session_bus() {
  _displays_prepare dbus-daemon dbus || return 1
  _displays_spawn dbus dbus-daemon --session --nofork --nopidfile --print-address=3
  DISPLAYS_BUS_PID=$_displays_pid
  _displays_wait "the session bus" "$DISPLAYS_BUS_PID" "$DISPLAYS_WORK/dbus.log" \
    grep -q . "$DISPLAYS_WORK/dbus.out" || return 1
  DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$DISPLAYS_WORK/dbus.out")
  export DBUS_SESSION_BUS_ADDRESS
}

displays_start_weston() {
  local size=1024x768
  [ "${1:-}" != --size ] || { size=$2; shift 2; }
  _displays_prepare weston weston || return 1
  # The pixman renderer, since the headless default renders nothing to take a
  # screenshot of. No panel: weston may place a window without a title bar
  # under it.
  printf '[shell]\npanel-position=none\n' >"$DISPLAYS_WORK/weston.ini"
  _displays_spawn weston setsid weston --backend=headless-backend.so --use-pixman \
    --width="${size%x*}" --height="${size#*x}" --socket=wayland-weston \
    --config="$DISPLAYS_WORK/weston.ini" --idle-time=0 "$@"
  DISPLAYS_WESTON_PID=$_displays_pid
  _displays_wait weston "$DISPLAYS_WESTON_PID" "$DISPLAYS_WORK/weston.log" \
    test -S "$XDG_RUNTIME_DIR/wayland-weston" || return 1
  export WAYLAND_DISPLAY=wayland-weston
}

displays_start_mutter() {
  local size=1280x1024
  [ "${1:-}" != --size ] || { size=$2; shift 2; }
  _displays_prepare mutter mutter || return 1
  [ -n "$DISPLAYS_BUS_PID" ] || displays_start_session_bus || return 1
  # Newer mutter will not start Xwayland without the X sockets' folder, which a
  # machine's boot or the first X server makes; as root, make it as they do.
  [ "$(id -u)" -ne 0 ] || [ -d /tmp/.X11-unix ] || mkdir -m 1777 /tmp/.X11-unix
  # mutter keeps its settings and state under HOME: a fresh one.
  _displays_spawn mutter env -u DISPLAY -u WAYLAND_DISPLAY HOME="$DISPLAYS_WORK" \
    XDG_CONFIG_HOME="$DISPLAYS_WORK/config" \
    mutter --headless --wayland --wayland-display=wayland-mutter --virtual-monitor "$size"
  DISPLAYS_MUTTER_PID=$_displays_pid
  _displays_wait mutter "$DISPLAYS_MUTTER_PID" "$DISPLAYS_WORK/mutter.log" \
    test -S "$XDG_RUNTIME_DIR/wayland-mutter" || return 1
  export WAYLAND_DISPLAY=wayland-mutter
}

displays_mutter_xwayland() {
  local log=$DISPLAYS_WORK/mutter.log auth
  _displays_wait "mutter's Xwayland" "$DISPLAYS_MUTTER_PID" "$log" \
    grep -q 'Using public X11 display' "$log" || return 1
  DISPLAY=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$log" | head -n 1)
  auth=("$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.*)
  XAUTHORITY=${auth[0]}
  export DISPLAY XAUTHORITY
  _displays_wait "mutter's Xwayland on $DISPLAY" "$DISPLAYS_MUTTER_PID" "$log" _displays_wm_running
}

# _displays_end ID: "-ID" a process group, killed at once; else the process,
# asked to end and killed when it has not 2 s later. Collected, so that no
# job notice is printed.
_displays_end() {
  local pid=${1#-}
  if [ "$1" != "$pid" ]; then
    kill -9 -- "$1" 2>/dev/null || kill -9 "$pid" 2>/dev/null || true
  elif kill "$pid" 2>/dev/null; then
    displays_wait_for 2 _displays_ended "$pid" || kill -9 "$pid" 2>/dev/null || true
  fi
  wait "$pid" 2>/dev/null || true
}
_displays_ended() { ! kill -0 "$1" 2>/dev/null; }

displays_stop() {
  local pid=$1 entry var kept=() recorded=
  for entry in "${DISPLAYS_PIDS[@]}"; do
    if [ "${entry#-}" = "$pid" ]; then recorded=$entry; else kept+=("$entry"); fi
  done
  DISPLAYS_PIDS=("${kept[@]}")
  _displays_end "${recorded:-$pid}"
  for var in DISPLAYS_XVFB_PID DISPLAYS_OPENBOX_PID DISPLAYS_BUS_PID DISPLAYS_WESTON_PID DISPLAYS_MUTTER_PID; do
    [ "${!var}" != "$pid" ] || printf -v "$var" ''
  done
}

displays_cleanup() {
  while [ ${#DISPLAYS_PIDS[@]} -gt 0 ]; do
    displays_stop "${DISPLAYS_PIDS[-1]#-}"
  done
  if [ -n "$_displays_made_work" ]; then
    rm -rf "$DISPLAYS_WORK"
    DISPLAYS_WORK=
    _displays_made_work=
  fi
}
