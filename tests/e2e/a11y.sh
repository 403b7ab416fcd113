# Shared by the screen-reader scripts (source it after lib.sh): a private
# session bus, the accessibility bus and its registry (at-spi2-core), each
# ended on exit with the rest of the test's processes.
#
#   e2e_require_a11y   skips (77) when a tool is missing; sets E2E_PYTHON, a
#                      python3 that has pyatspi
#   e2e_start_a11y     after e2e_start_x: exports DBUS_SESSION_BUS_ADDRESS, sets
#                      E2E_A11Y to the accessibility bus's address and exports
#                      QT_LINUX_ACCESSIBILITY_ALWAYS_ON for the program

readonly E2E_LAUNCHER=/usr/libexec/at-spi-bus-launcher
readonly E2E_REGISTRY=/usr/libexec/at-spi2-registryd
E2E_PYTHON=
E2E_A11Y=

e2e_require_a11y() {
  local p t
  for p in /usr/bin/python3 python3; do
    if command -v "$p" >/dev/null && "$p" -c 'import pyatspi' 2>/dev/null; then E2E_PYTHON=$p; break; fi
  done
  for t in dbus-daemon dbus-send "$E2E_LAUNCHER" "$E2E_REGISTRY"; do
    command -v "$t" >/dev/null || { echo "SKIP: $t is missing (scripts/setup.sh test installs it)"; exit "$E2E_SKIP"; }
  done
  [ -n "$E2E_PYTHON" ] || { echo "SKIP: python3-pyatspi is missing (scripts/setup.sh test installs it)"; exit "$E2E_SKIP"; }
}

e2e_a11y_address() {
  dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus org.a11y.Bus.GetAddress \
    2>/dev/null | sed -n 's/^ *string "\(.*\)"$/\1/p' | grep .
}

e2e_start_a11y() {
  e2e_start_session_bus

  # The accessibility bus (the launcher starts a bus daemon of its own: ended
  # with it, by its id) and the registry on it.
  local launcher_pid child
  "$E2E_LAUNCHER" --launch-immediately --a11y=1 >"$E2E_WORK/launcher.log" 2>&1 &
  launcher_pid=$!
  E2E_MORE_PIDS+=("$launcher_pid")
  e2e_wait_for 10 e2e_a11y_address >/dev/null ||
    e2e_fail "no accessibility bus: $(cat "$E2E_WORK/launcher.log")"
  E2E_A11Y=$(e2e_a11y_address)
  for child in $(command -v pgrep >/dev/null && pgrep -P "$launcher_pid" || true); do
    E2E_MORE_PIDS=("$child" "${E2E_MORE_PIDS[@]}")
  done
  AT_SPI_BUS_ADDRESS=$E2E_A11Y "$E2E_REGISTRY" >"$E2E_WORK/registry.log" 2>&1 &
  E2E_MORE_PIDS=($! "${E2E_MORE_PIDS[@]}")
  e2e_log "session bus $DBUS_SESSION_BUS_ADDRESS, accessibility bus $E2E_A11Y"

  # The program finds the accessibility bus through the session bus: with
  # AT_SPI_BUS_ADDRESS set, Qt 6.4's bridge connects but never registers the
  # application.
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}
