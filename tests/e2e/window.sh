#!/usr/bin/env bash
# The real window under Xvfb and openbox: its caption and client size, a
# frame with blue fixed ends and red nodes between, and an animation (two
# screenshots a moment apart differ). Alt+X then ends it with status 0.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_start_x
e2e_start_program

title=$(xdotool getwindowname "$E2E_WID")
[ "$title" = "$E2E_TITLE" ] || e2e_fail "caption is \"$title\""
read -r w h < <(e2e_client_size)
e2e_log "client area ${w} x ${h}"
[ "$w" = 625 ] && [ "$h" = 574 ] || e2e_fail "client area is ${w} x ${h}, not 625 x 574"

# The chain falls and swings for a few seconds: a shot taken a moment after
# another differs from it (on a busy machine it may take a few tries).
sleep 0.5
first=$(e2e_shot first)
"$E2E_PIXELS" frame "$first" || e2e_fail "the first screenshot is not a frame of the chain"
moved() {
  sleep 0.3
  second=$(e2e_shot second)
  changed=$("$E2E_PIXELS" differ "$first" "$second")
  [ "$changed" -gt 50 ]
}
e2e_wait_for 5 moved || e2e_fail "the picture does not move ($changed pixels changed)"
e2e_log "$changed pixels changed"
"$E2E_PIXELS" frame "$second" || e2e_fail "the second screenshot is not a frame of the chain"
e2e_end_by alt-x
echo "window: ok"
