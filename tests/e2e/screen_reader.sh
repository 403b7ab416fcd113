#!/usr/bin/env bash
# The window as a screen reader meets it: a private session bus, the
# accessibility bus and its registry (at-spi2-core), the program with its
# accessibility bridge on, and screen_reader.py reading it through pyatspi.
# Skipped (77) when any of those tools is missing.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

launcher=/usr/libexec/at-spi-bus-launcher
registry=/usr/libexec/at-spi2-registryd
python=
for p in /usr/bin/python3 python3; do
  if command -v "$p" >/dev/null && "$p" -c 'import pyatspi' 2>/dev/null; then python=$p; break; fi
done
for t in dbus-daemon dbus-send "$launcher" "$registry"; do
  command -v "$t" >/dev/null || { echo "SKIP: $t is missing (scripts/setup.sh test installs it)"; exit "$E2E_SKIP"; }
done
[ -n "$python" ] || { echo "SKIP: python3-pyatspi is missing (scripts/setup.sh test installs it)"; exit "$E2E_SKIP"; }

e2e_start_x

# A session bus of this test's own, so nothing outlives it.
dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$E2E_WORK/bus" \
  >"$E2E_WORK/dbus.log" 2>&1 &
E2E_MORE_PIDS+=($!)
e2e_wait_for 10 grep -q . "$E2E_WORK/bus" || e2e_fail "no session bus: $(cat "$E2E_WORK/dbus.log")"
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$E2E_WORK/bus")
export DBUS_SESSION_BUS_ADDRESS

# The accessibility bus (the launcher starts a bus daemon of its own: ended
# with it, by its id) and the registry on it.
"$launcher" --launch-immediately --a11y=1 >"$E2E_WORK/launcher.log" 2>&1 &
launcher_pid=$!
E2E_MORE_PIDS+=("$launcher_pid")
a11y_address() {
  dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus org.a11y.Bus.GetAddress \
    2>/dev/null | sed -n 's/^ *string "\(.*\)"$/\1/p' | grep .
}
e2e_wait_for 10 a11y_address >/dev/null || e2e_fail "no accessibility bus: $(cat "$E2E_WORK/launcher.log")"
a11y=$(a11y_address)
for child in $(command -v pgrep >/dev/null && pgrep -P "$launcher_pid" || true); do E2E_MORE_PIDS=("$child" "${E2E_MORE_PIDS[@]}"); done
AT_SPI_BUS_ADDRESS=$a11y "$registry" >"$E2E_WORK/registry.log" 2>&1 &
E2E_MORE_PIDS=($! "${E2E_MORE_PIDS[@]}")
e2e_log "session bus $DBUS_SESSION_BUS_ADDRESS, accessibility bus $a11y"

# The program finds the accessibility bus through the session bus: with
# AT_SPI_BUS_ADDRESS set, Qt 6.4's bridge connects but never registers the
# application.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
e2e_start_program
read -r px py pw ph < <(e2e_rect Picture1)
read -r m1x m1y m1w m1h < <(e2e_rect HScroll1)
read -r m2x m2y m2w m2h < <(e2e_rect HScroll2)
AT_SPI_BUS_ADDRESS=$a11y E2E_SHOT_DIR=$E2E_WORK "$python" "$here/screen_reader.py" --window "$E2E_WID" \
  --pixels "$E2E_PIXELS" --rect "Chain drawing=$px,$py,$pw,$ph" \
  --rect "Mass of Center=$m1x,$m1y,$m1w,$m1h" --rect "FEA Color Scale=$m2x,$m2y,$m2w,$m2h" ||
  { e2e_show_log; e2e_fail "the screen reader's view is wrong (above)"; }

# E&xit was pressed through the Action interface.
e2e_expect_exit_within 3000 "Exit by its action" "$(date +%s%N)"
[ "$E2E_STATUS" = 0 ] || e2e_fail "exit status $E2E_STATUS"
e2e_check_log_clean
echo "screen reader: ok"
