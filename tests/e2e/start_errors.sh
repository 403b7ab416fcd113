#!/usr/bin/env bash
# Where no window can be opened, or the screen cannot be drawn on, the program
# says so in a few plain lines on stderr and ends with status 1 within a
# second, without aborting. One row per environment:
#   none      neither DISPLAY nor WAYLAND_DISPLAY is set
#   missing   DISPLAY names a display no X server serves
#   refused   an X server that refuses the connection (no authorisation)
#   wayland   QT_QPA_PLATFORM=wayland and no compositor at WAYLAND_DISPLAY
#   8-bit     an X server whose only screen is 8-bit colour-mapped
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_require_tools
command -v xauth >/dev/null || {
  echo "SKIP: xauth is not installed (scripts/setup.sh test installs it)"
  exit "$E2E_SKIP"
}

cookie=$E2E_WORK/cookie
empty=$E2E_WORK/no-cookie
: >"$empty"
failures=0
while read -r row words; do
  environment=()
  case $row in
    none) ;;
    missing)
      # A display number far above those servers pick, and not in use.
      n=$((40000 + RANDOM % 20000))
      while [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
      environment+=("DISPLAY=:$n")
      ;;
    refused)
      : >"$cookie"
      xauth -q -f "$cookie" add :0 . "$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')"
      displays_start_xvfb --screen 640x480x24 -auth "$cookie" || e2e_fail "no X server"
      environment+=("DISPLAY=$DISPLAY" "XAUTHORITY=$empty")
      ;;
    wayland) environment+=(QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=chain-e2e-no-compositor) ;;
    8-bit)
      displays_start_xvfb --screen 1024x768x8 || e2e_fail "no X server"
      environment+=("DISPLAY=$DISPLAY")
      ;;
  esac
  start=$(date +%s%N)
  set +e
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "${environment[@]}" \
    timeout -s KILL 5 "$E2E_PROGRAM" >"$E2E_WORK/$row.out" 2>"$E2E_WORK/$row.err"
  status=$?
  set -e
  ms=$((($(date +%s%N) - start) / 1000000))
  lines=$(grep -c . "$E2E_WORK/$row.err" || true)
  e2e_log "$row: status $status after $ms ms, $lines lines:"
  head -n 8 "$E2E_WORK/$row.err" | sed 's/^/    /'
  why=
  [ "$status" = 1 ] || why+=" status $status, not 1;"
  [ "$ms" -lt 1000 ] || why+=" took $ms ms;"
  [ "$lines" -le 3 ] || why+=" $lines lines on stderr;"
  grep -q "^hanging-chain: .*$words" "$E2E_WORK/$row.err" || why+=" no line saying \"$words\";"
  grep -q "^Run it " "$E2E_WORK/$row.err" || why+=" no line saying what to do;"
  ! grep -Eiq 'reinstall|abort|core|qt\.qpa|QPainter' "$E2E_WORK/$row.err" || why+=" Qt's words;"
  if [ -n "$why" ]; then
    echo "FAIL: $row:$why" >&2
    failures=$((failures + 1))
  fi
  displays_cleanup  # the row's Xvfb
done <<'ROWS'
none neither DISPLAY nor WAYLAND_DISPLAY is set
missing the X display ":[0-9]*" does not answer
refused the X display ":[0-9]*" does not answer or refuses
wayland no Wayland compositor answers at "chain-e2e-no-compositor"
8-bit the screen cannot be drawn on (8 bits
ROWS
[ "$failures" = 0 ] || e2e_fail "$failures of 5 environments"
echo "start-up errors: ok"
