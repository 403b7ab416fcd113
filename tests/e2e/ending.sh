#!/usr/bin/env bash
# Every way of ending the real program under Xvfb and openbox ends the
# process within a second, with status 0 (see e2e_end_by in lib.sh):
#   ending.sh alt-x|alt-f4|wmctrl|destroyed
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
how=${1:?alt-x, alt-f4, wmctrl or destroyed}

e2e_start_x
e2e_start_program
# A few hundred passes first: the loop is running when the request comes.
sleep 0.5
e2e_end_by "$how"
echo "ending by $how: ok (${E2E_EXIT_MS} ms)"
