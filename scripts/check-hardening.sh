#!/usr/bin/env bash
# Checks that a Release build is hardened as Debian hardens its packages.
#
#   scripts/check-hardening.sh BUILD_DIR [EXECUTABLE...]
#
# Each executable (default: the program) must be a position-independent
# executable with full RELRO (a GNU_RELRO segment and BIND_NOW) and must use
# the stack protector. Fortify leaves no mark in a program that calls no
# checked libc function, so the compile database is read instead: every
# compile command must carry the hardening and floating-point flags and none
# may carry -ffast-math.
set -euo pipefail

build=${1:?usage: check-hardening.sh BUILD_DIR [EXECUTABLE...]}
shift
[ $# -gt 0 ] || set -- "$build/ui/hanging-chain"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

for exe in "$@"; do
  [ -f "$exe" ] || { fail "$exe: no such file"; continue; }
  header=$(readelf -hW "$exe")
  segments=$(readelf -lW "$exe")
  dynamic=$(readelf -dW "$exe")
  symbols=$(readelf --dyn-syms -W "$exe")
  grep -q 'Type:[[:space:]]*DYN' <<<"$header" || fail "$exe: not position-independent"
  grep -Eq 'FLAGS_1\).*PIE' <<<"$dynamic" || fail "$exe: no PIE flag"
  grep -q 'GNU_RELRO' <<<"$segments" || fail "$exe: no RELRO segment"
  grep -Eq 'BIND_NOW|FLAGS_1\).* NOW' <<<"$dynamic" || fail "$exe: relocations not bound at start (-z now)"
  grep -q '__stack_chk_fail' <<<"$symbols" || fail "$exe: no stack protector"
  grep -q 'TEXTREL' <<<"$dynamic" && fail "$exe: text relocations"
  echo "checked $exe"
done

db=$build/compile_commands.json
if [ ! -f "$db" ]; then
  fail "$db missing (configure with CMAKE_EXPORT_COMPILE_COMMANDS=ON)"
else
  commands=$(grep '"command":' "$db" || true)
  count=$(grep -c . <<<"$commands" || true)
  [ "$count" -gt 0 ] || fail "$db lists no compile command"
  for flag in -D_FORTIFY_SOURCE=2 -fstack-protector-strong -ffp-contract=off -Werror=format-security; do
    missing=$(grep -vc -e " $flag " <<<"$commands" || true)
    [ "$missing" -eq 0 ] || fail "$missing of $count compile commands lack $flag"
  done
  # Fortify needs an optimised build to take effect.
  missing=$(grep -Evc ' -O[123s] ' <<<"$commands" || true)
  [ "$missing" -eq 0 ] || fail "$missing of $count compile commands are not optimised"
  for flag in -ffast-math -Ofast -funsafe-math-optimizations; do
    grep -q -e " $flag " <<<"$commands" && fail "a compile command carries $flag"
  done
  echo "checked $count compile commands in $db"
fi

if [ "$failures" -gt 0 ]; then
  echo "hardening: $failures problem(s)" >&2
  exit 1
fi
echo "hardening: all checks passed"
