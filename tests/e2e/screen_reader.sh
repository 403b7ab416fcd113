#!/usr/bin/env bash
# The window as a screen reader meets it: a private session bus, the
# accessibility bus and its registry (at-spi2-core), the program with its
# accessibility bridge on, and screen_reader.py reading it through pyatspi.
# Skipped (77) when any of those tools is missing.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

source "$here/a11y.sh"
e2e_require_a11y
e2e_start_x
e2e_start_a11y
e2e_start_program
read -r px py pw ph < <(e2e_rect surface)
read -r m1x m1y m1w m1h < <(e2e_rect mass)
read -r m2x m2y m2w m2h < <(e2e_rect scale)
AT_SPI_BUS_ADDRESS=$E2E_A11Y E2E_SHOT_DIR=$E2E_WORK "$E2E_PYTHON" "$here/screen_reader.py" --window "$E2E_WID" \
  --pixels "$E2E_PIXELS" --rect "Chain drawing=$px,$py,$pw,$ph" \
  --rect "Mass of Center=$m1x,$m1y,$m1w,$m1h" --rect "FEA Color Scale=$m2x,$m2y,$m2w,$m2h" ||
  { e2e_show_log; e2e_fail "the screen reader's view is wrong (above)"; }

# E&xit was pressed through the Action interface.
e2e_expect_exit_within 3000 "Exit by its action" "$(date +%s%N)"
[ "$E2E_STATUS" = 0 ] || e2e_fail "exit status $E2E_STATUS"
e2e_check_log_clean
echo "screen reader: ok"
