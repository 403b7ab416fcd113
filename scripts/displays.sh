# shellcheck shell=bash disable=SC2034  # DISPLAYS_*_PID are for the scripts that source it
# Private display servers for the scripts that run the real program (the
# end-to-end tests, the benchmarks, the package and screenshot scripts):
#
#   source scripts/displays.sh
#   trap displays_cleanup EXIT
#   displays_start_xvfb --screen 800x700x24 && displays_start_openbox || exit 1
#
# Each displays_start_* waits at most DISPLAYS_WAIT seconds (default 20) for
# its server to answer, or says why on stderr, with the end of its log, and
# returns 1. It records the process id in DISPLAYS_PIDS (a client's id added
# there is ended first) and in DISPLAYS_<SERVER>_PID, and exports
# XDG_RUNTIME_DIR as a private folder, where the compositors' sockets are.
# That folder and the logs are in DISPLAYS_WORK, a new temporary folder unless
# set before. Call the functions in the script's own shell, not in $(...).

DISPLAYS_WORK=${DISPLAYS_WORK:-}
DISPLAYS_WAIT=${DISPLAYS_WAIT:-20}
DISPLAYS_PIDS=()  # "-ID" is a process group, killed at once
DISPLAYS_XVFB_PID='' DISPLAYS_OPENBOX_PID='' DISPLAYS_DBUS_PID='' DISPLAYS_WESTON_PID='' DISPLAYS_MUTTER_PID=''
_displays_made_work='' _displays_gone=''

# displays_wait_for SECONDS COMMAND...: runs COMMAND every 50 ms until it
# succeeds (0) or SECONDS have passed (1).
displays_wait_for() {
  local seconds=$1 deadline=$((SECONDS + $1 + 1)) start
  shift
  start=$(date +%s%N)
  until "$@"; do
    # SECONDS has a resolution of one second; the nanosecond clock decides.
    if [ $(($(date +%s%N) - start)) -ge $((seconds * 1000000000)) ] || [ $SECONDS -ge $deadline ]; then
      return 1
    fi
    sleep 0.05
  done
}

# Exports XDG_RUNTIME_DIR as the work folder's runtime/ (made on first use).
displays_runtime() {
  [ -n "$DISPLAYS_WORK" ] || { DISPLAYS_WORK=$(mktemp -d "${TMPDIR:-/tmp}/displays.XXXXXX") && _displays_made_work=1; } ||
    return 1
  mkdir -p "$DISPLAYS_WORK/runtime" && chmod 700 "$DISPLAYS_WORK/runtime" &&
    export XDG_RUNTIME_DIR=$DISPLAYS_WORK/runtime
}

# _displays_spawn TOOL PACKAGE NAME COMMAND...: starts COMMAND in the
# background, its output in NAME.log, what it writes to descriptor 3 in
# NAME.out, its id in DISPLAYS_<NAME>_PID and DISPLAYS_PIDS (through setsid,
# as its process group).
_displays_spawn() {
  command -v "$1" >/dev/null || { echo "$1 is not installed (Debian package $2)" >&2; return 1; }
  displays_runtime || return 1
  local name=$3
  shift 3
  : >"$DISPLAYS_WORK/$name.out"
  "$@" 3>"$DISPLAYS_WORK/$name.out" >"$DISPLAYS_WORK/$name.log" 2>&1 &
  printf -v "DISPLAYS_${name^^}_PID" %s "$!"
  if [ "$1" = setsid ]; then DISPLAYS_PIDS+=("-$!"); else DISPLAYS_PIDS+=("$!"); fi
}

# _displays_wait WHAT NAME COMMAND...: waits for COMMAND to succeed while the
# process DISPLAYS_<NAME>_PID runs; else says that WHAT did not start, with
# the end of NAME.log.
_displays_wait() {
  local what=$1 pid=DISPLAYS_${2^^}_PID log=$DISPLAYS_WORK/$2.log why="in $DISPLAYS_WAIT s"
  shift 2
  _displays_gone=
  displays_wait_for "$DISPLAYS_WAIT" _displays_ready "${!pid}" "$@" && [ -z "$_displays_gone" ] && return 0
  [ -z "$_displays_gone" ] || why="(it ended)"
  echo "$what did not start $why: $(tail -n 20 "$log")" >&2
  return 1
}
_displays_ready() { kill -0 "$1" 2>/dev/null || { _displays_gone=1; return 0; }; "${@:2}"; }

# displays_start_xvfb [--screen WxHxD] [Xvfb options...]: an Xvfb on a display
# number it picks itself, 24-bit 1024x768 unless told; exports DISPLAY.
displays_start_xvfb() {
  local screen=1024x768x24
  [ "${1:-}" != --screen ] || { screen=$2; shift 2; }
  _displays_spawn Xvfb xvfb xvfb Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset "$@" &&
    _displays_wait Xvfb xvfb grep -q '[0-9]' "$DISPLAYS_WORK/xvfb.out" || return 1
  DISPLAY=":$(tr -dc '0-9' <"$DISPLAYS_WORK/xvfb.out")"
  export DISPLAY
}

_displays_wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
_displays_probe_mapped() { xwininfo -name displays-probe 2>/dev/null | grep -q IsViewable; }

# displays_start_openbox: openbox on DISPLAY with its stock configuration (a
# fresh configuration folder: Alt+F4 closes).
displays_start_openbox() {
  command -v xmessage >/dev/null || { echo "xmessage is not installed (Debian package x11-utils)" >&2; return 1; }
  _displays_spawn openbox openbox openbox env HOME="$DISPLAYS_WORK" XDG_CONFIG_HOME="$DISPLAYS_WORK/config" openbox &&
    _displays_wait openbox openbox _displays_wm_running || return 1
  # openbox announces itself before it handles windows: it is ready once it
  # has mapped a window of another client (xmessage). A probe window it never
  # maps is asked for again.
  local probe attempt missed
  for attempt in 1 2 3; do
    xmessage -title displays-probe -geometry -0-0 probe >/dev/null 2>&1 &
    probe=$!
    missed=
    displays_wait_for 10 _displays_probe_mapped || missed=1
    { kill "$probe"; wait "$probe"; } 2>/dev/null || true
    if [ -z "$missed" ]; then
      [ "$attempt" = 1 ] || echo "openbox mapped the probe window at attempt $attempt" >&2
      return 0
    fi
  done
  echo "openbox maps no window: $(tail -n 5 "$DISPLAYS_WORK/openbox.log")" >&2
  return 1
}

# displays_start_session_bus: exports DBUS_SESSION_BUS_ADDRESS.
displays_start_session_bus() {
  _displays_spawn dbus-daemon dbus dbus dbus-daemon --session --nofork --nopidfile --print-address=3 &&
    _displays_wait "the session bus" dbus grep -q . "$DISPLAYS_WORK/dbus.out" || return 1
  DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$DISPLAYS_WORK/dbus.out")
  export DBUS_SESSION_BUS_ADDRESS
}

# displays_start_weston [--size WxH] [weston options...]: weston, headless,
# 1024x768 unless told; exports WAYLAND_DISPLAY. It is ended with SIGKILL,
# with the clients it started, as if it crashed.
displays_start_weston() {
  local size=1024x768
  [ "${1:-}" != --size ] || { size=$2; shift 2; }
  # The pixman renderer, since the headless default renders nothing to take a
  # screenshot of. No panel: weston may place a window without a title bar
  # under it.
  displays_runtime && printf '[shell]\npanel-position=none\n' >"$DISPLAYS_WORK/weston.ini" || return 1
  _displays_spawn weston weston weston setsid weston --backend=headless-backend.so --use-pixman \
    --width="${size%x*}" --height="${size#*x}" --socket=wayland-weston \
    --config="$DISPLAYS_WORK/weston.ini" --idle-time=0 "$@" &&
    _displays_wait weston weston test -S "$XDG_RUNTIME_DIR/wayland-weston" || return 1
  export WAYLAND_DISPLAY=wayland-weston
}

# displays_start_mutter [--size WxH]: mutter, headless, with one virtual
# monitor (1280x1024 unless told), on the session bus started here (started if
# there is none yet); exports WAYLAND_DISPLAY.
displays_start_mutter() {
  local size=1280x1024
  [ "${1:-}" != --size ] || { size=$2; shift 2; }
  [ -n "$DISPLAYS_DBUS_PID" ] || displays_start_session_bus || return 1
  # Newer mutter will not start Xwayland without the X sockets' folder, which a
  # machine's boot or the first X server makes; as root, make it as they do.
  [ "$(id -u)" -ne 0 ] || [ -d /tmp/.X11-unix ] || mkdir -m 1777 /tmp/.X11-unix
  # mutter keeps its settings and state under HOME: a fresh one.
  _displays_spawn mutter mutter mutter env -u DISPLAY -u WAYLAND_DISPLAY HOME="$DISPLAYS_WORK" \
    XDG_CONFIG_HOME="$DISPLAYS_WORK/config" \
    mutter --headless --wayland --wayland-display=wayland-mutter --virtual-monitor "$size" &&
    _displays_wait mutter mutter test -S "$XDG_RUNTIME_DIR/wayland-mutter" || return 1
  export WAYLAND_DISPLAY=wayland-mutter
}

# displays_mutter_xwayland: waits for mutter's Xwayland; exports DISPLAY and
# XAUTHORITY for it.
displays_mutter_xwayland() {
  local log=$DISPLAYS_WORK/mutter.log auth
  _displays_wait "mutter's Xwayland" mutter grep -q 'Using public X11 display' "$log" || return 1
  DISPLAY=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$log" | head -n 1)
  auth=("$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.*)
  XAUTHORITY=${auth[0]}
  export DISPLAY XAUTHORITY
  _displays_wait "mutter's Xwayland on $DISPLAY" mutter _displays_wm_running
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

# displays_stop PID: ends one process now, as displays_cleanup would, and
# forgets it.
displays_stop() {
  local entry kept=() recorded=
  for entry in "${DISPLAYS_PIDS[@]}"; do
    if [ "${entry#-}" = "$1" ]; then recorded=$entry; else kept+=("$entry"); fi
  done
  DISPLAYS_PIDS=("${kept[@]}")
  _displays_end "${recorded:-$1}"
}

# displays_cleanup: ends everything recorded, the last started first, and
# removes the work folder if it was made here.
displays_cleanup() {
  while [ ${#DISPLAYS_PIDS[@]} -gt 0 ]; do displays_stop "${DISPLAYS_PIDS[-1]#-}"; done
  DISPLAYS_XVFB_PID='' DISPLAYS_OPENBOX_PID='' DISPLAYS_DBUS_PID='' DISPLAYS_WESTON_PID='' DISPLAYS_MUTTER_PID=''
  [ -z "$_displays_made_work" ] || { rm -rf "$DISPLAYS_WORK"; DISPLAYS_WORK='' _displays_made_work=''; }
}
