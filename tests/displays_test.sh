#!/usr/bin/env bash
# scripts/displays.sh with stand-in servers (scripts on PATH): a server that
# ends or never answers is reported within the bound, with its log; cleanup
# ends a server that ignores SIGTERM, weston with the clients it started, and
# removes the folder it made.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/displays.sh"
bin=$(mktemp -d)
trap 'displays_cleanup; rm -rf "$bin"' EXIT
export PATH=$bin:$PATH
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
# Ended: no such process, or one that waits to be reaped.
gone() { ! kill -0 "$1" 2>/dev/null || [[ $(ps -o stat= -p "$1") == Z* ]]; }
ms_since() { echo $((($(date +%s%N) - $1) / 1000000)); }

# start SCRIPT LIMIT_MS WANT: a stand-in Xvfb running SCRIPT; displays_start_xvfb
# must return within LIMIT_MS and say WANT on stderr (nothing when it starts).
start() {
  local begin status=0
  printf '#!/bin/sh\n%s\n' "$1" >"$bin/Xvfb"
  chmod +x "$bin/Xvfb"
  begin=$(date +%s%N)
  DISPLAYS_WAIT=1 displays_start_xvfb 2>"$bin/said" || status=$?
  [ "$(ms_since "$begin")" -lt "$2" ] || fail "$1: took $(ms_since "$begin") ms"
  if [[ $(cat "$bin/said") != *"$3"* ]] || { [ -z "$3" ] && [ "$status" != 0 ]; }; then
    fail "$1: status $status, said '$(cat "$bin/said")'"
  fi
}
start 'echo no screens >&2; exit 1' 500 'Xvfb did not start (it ended): no screens'
start 'echo quiet; exec sleep 5' 2000 'Xvfb did not start in 1 s: quiet'
displays_cleanup

start 'trap "" TERM; echo 42 >&3; exec 3>&-; while :; do sleep 0.1; done' 1000 ''
[ "$DISPLAY" = :42 ] || fail "DISPLAY is '$DISPLAY', not :42"
xvfb=$DISPLAYS_XVFB_PID work=$DISPLAYS_WORK

cat >"$bin/weston" <<'WESTON'
#!/bin/sh
sleep 30 &
echo $! >"$XDG_RUNTIME_DIR/client"
python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$XDG_RUNTIME_DIR/wayland-weston"
exec sleep 30
WESTON
chmod +x "$bin/weston"
displays_start_weston || fail "the stand-in weston did not start"
client=$(cat "$XDG_RUNTIME_DIR/client")
displays_stop "$DISPLAYS_WESTON_PID"
displays_wait_for 1 gone "$client" || fail "a client weston started outlived it"

begin=$(date +%s%N)
displays_cleanup
[ "$(ms_since "$begin")" -lt 3000 ] || fail "cleanup took $(ms_since "$begin") ms"
gone "$xvfb" || fail "an Xvfb that ignores SIGTERM outlived cleanup"
[ ! -e "$work" ] || fail "cleanup left its folder $work"
[ "$failures" = 0 ] || exit 1
echo "displays: ok"
