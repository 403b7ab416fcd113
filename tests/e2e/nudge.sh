#!/usr/bin/env bash
# A real click on "Nudge Right" (client pixels 104,520, 89 x 25) swings the
# centre of the chain: it hangs mirror-symmetric before the click and is
# clearly lopsided in the screenshots right after it.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_start_x
e2e_start_program
sleep 0.5

before=$(e2e_shot before)
"$E2E_PIXELS" frame "$before" || e2e_fail "no chain to nudge"
asym_before=$("$E2E_PIXELS" asym "$before")
e2e_log "asymmetry before the click: $asym_before"
awk -v a="$asym_before" 'BEGIN { exit !(a < 0.02) }' || e2e_fail "the chain is lopsided before any nudge"

e2e_click $((104 + 44)) $((520 + 12))
most=0
for i in 1 2 3 4 5; do
  shot=$(e2e_shot "after$i")
  a=$("$E2E_PIXELS" asym "$shot")
  e2e_log "asymmetry after the click, shot $i: $a"
  most=$(awk -v a="$a" -v m="$most" 'BEGIN { print (a > m ? a : m) }')
done
awk -v m="$most" 'BEGIN { exit !(m > 0.10) }' ||
  e2e_fail "the centre did not visibly move (largest asymmetry $most)"
e2e_alive || e2e_fail "the program ended"
start=$(date +%s%N)
xdotool key --window "$E2E_WID" --clearmodifiers alt+x
e2e_expect_exit_within 1000 "Alt+X" "$start"
[ "$E2E_STATUS" = 0 ] || e2e_fail "exit status $E2E_STATUS"
e2e_check_log_clean
echo "nudge: ok (largest asymmetry $most)"
