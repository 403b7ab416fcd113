#!/usr/bin/env bash
# Divergence: with the centre mass at its maximum the chain flies off to
# astronomically large coordinates; passes stay short, every control keeps
# working, and E&xit still ends the process with status 0.
#   diverge.sh CHAIN_SOAK PASSES [untimed]
set -uo pipefail
work=$(mktemp -d "${TMPDIR:-/tmp}/chain-diverge.XXXXXX")
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$1" diverge "$2" ${3:-} >"$work/out" 2>&1
status=$?
cat "$work/out"
grep -q '^controls ok after divergence' "$work/out" || { echo "FAIL: the controls were not all checked" >&2; exit 1; }
[ "$status" = 0 ] || { echo "FAIL: E&xit ended the process with status $status" >&2; exit 1; }
if grep -Eq 'ERROR: AddressSanitizer|runtime error:' "$work/out"; then
  echo "FAIL: sanitizer report" >&2
  exit 1
fi
echo "divergence: ok"
