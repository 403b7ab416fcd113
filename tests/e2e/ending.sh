#!/usr/bin/env bash
# Every way of ending the real program under Xvfb and openbox ends the
# process within a second, with status 0:
#   ending.sh alt-x        Alt+X presses "E&xit"
#   ending.sh alt-f4       the window manager's close key
#   ending.sh wmctrl       a close request from another program (wmctrl -c)
#   ending.sh destroyed    the window destroyed without a close request
#                          (xdotool windowclose)
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
how=${1:?alt-x, alt-f4, wmctrl or destroyed}

e2e_start_x
e2e_start_program
# A few hundred passes first: the loop is running when the request comes.
sleep 0.5
e2e_alive || e2e_fail "the program ended by itself"

start=$(date +%s%N)
case $how in
  alt-x) xdotool key --window "$E2E_WID" --clearmodifiers alt+x ;;
  alt-f4)
    xdotool windowactivate --sync "$E2E_WID" 2>/dev/null || true
    xdotool key --clearmodifiers alt+F4
    ;;
  wmctrl) wmctrl -c "$E2E_TITLE" ;;
  destroyed) xdotool windowclose "$E2E_WID" ;;
  *) e2e_fail "unknown way of ending: $how" ;;
esac
e2e_expect_exit_within 1000 "$how" "$start"
[ "$E2E_STATUS" = 0 ] || {
  e2e_show_log
  e2e_fail "$how: exit status $E2E_STATUS"
}
e2e_check_log_clean
echo "ending by $how: ok (${E2E_EXIT_MS} ms)"
