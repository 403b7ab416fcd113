#!/usr/bin/env bash
# The real window on Wayland, natively (no X server at all): under a headless
# weston, the program starts quietly, a screenshot shows a frame of the chain
# with blue fixed ends, the chain moves, and when the compositor is killed the
# program ends within a second with a plain line on stderr. Qt's Wayland plugin
# ends the program itself then: with status 1 on Qt 6.4, 255 on Qt 6.8.
# Skipped (77) without weston or Qt's Wayland plugin (qt6-wayland).
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

for t in weston weston-screenshooter; do
  command -v "$t" >/dev/null || {
    echo "SKIP: $t is not installed (scripts/setup.sh test installs weston)"
    exit "$E2E_SKIP"
  }
done
dpkg-query -W -f='${Status}' qt6-wayland 2>/dev/null | grep -q 'install ok installed' || {
  echo "SKIP: qt6-wayland is not installed (scripts/setup.sh test installs it)"
  exit "$E2E_SKIP"
}

# --debug lets weston-screenshooter in.
displays_start_weston --debug || e2e_fail "no weston"
socket=$WAYLAND_DISPLAY
e2e_log "weston on $socket"

env -u DISPLAY -u QT_QPA_PLATFORM WAYLAND_DISPLAY="$socket" \
  "$E2E_PROGRAM" >"$E2E_WORK/program.log" 2>&1 &
E2E_PID=$!

# shot NAME: a screenshot of the whole output, cropped to the window's client
# area; fails while the window is not on the screen.
shots=$E2E_WORK/shots
mkdir "$shots"
shot() {
  rm -f "$shots"/*.png
  (cd "$shots" && WAYLAND_DISPLAY=$socket timeout 10 weston-screenshooter) >/dev/null 2>&1 || return 1
  local screen
  screen=$(ls "$shots"/*.png 2>/dev/null | head -n1)
  [ -n "$screen" ] && "$E2E_PIXELS" crop "$screen" "$E2E_WORK/$1.png" >/dev/null
}
window_shown() {
  e2e_alive || {
    e2e_show_log
    e2e_fail "the program ended while starting"
  }
  shot first
}
e2e_wait_for 20 window_shown || e2e_fail "no window appeared"
e2e_log "window shown"

sleep 0.5
shot first || e2e_fail "the window is gone"
"$E2E_PIXELS" frame "$E2E_WORK/first.png" || e2e_fail "the screenshot is not a frame of the chain"
sleep 0.3
shot second || e2e_fail "the window is gone"
changed=$("$E2E_PIXELS" differ "$E2E_WORK/first.png" "$E2E_WORK/second.png")
e2e_log "$changed pixels changed in 0.3 s"
[ "$changed" -gt 50 ] || e2e_fail "the picture does not move ($changed pixels changed)"
e2e_alive || e2e_fail "the program ended by itself"
[ ! -s "$E2E_WORK/program.log" ] || {
  e2e_show_log
  e2e_fail "the program printed something while running"
}

start=$(date +%s%N)
displays_stop "$DISPLAYS_WESTON_PID"
e2e_expect_exit_within 1000 "compositor killed" "$start"
sed 's/^/    /' "$E2E_WORK/program.log"
case $E2E_STATUS in
  1 | 255) ;;
  *) e2e_fail "compositor killed: exit status $E2E_STATUS, not 1 (Qt 6.4) or 255 (Qt 6.8)" ;;
esac
lines=$(grep -c . "$E2E_WORK/program.log" || true)
[ "$lines" -ge 1 ] && [ "$lines" -le 2 ] || e2e_fail "$lines lines on stderr, not one or two"
! grep -Eiq 'abort|core|qt\.qpa|runtime error|Sanitizer' "$E2E_WORK/program.log" ||
  e2e_fail "not a plain message"
echo "wayland: ok"
