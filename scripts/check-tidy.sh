#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) on the project's own sources, as they are
# compiled in the given build trees, two files at a time; any finding fails.
#
#   scripts/check-tidy.sh BUILD_DIR [BUILD_DIR...]
#
# A source compiled in several trees is checked once, with the first tree's
# flags. Generated sources (inside a build tree) are left out; the project's
# headers are checked where they are included.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
[ $# -gt 0 ] || set -- "$here/build/release"

tidy=$(command -v clang-tidy || true)
[ -n "$tidy" ] || { echo "clang-tidy not found (Debian package clang-tidy)" >&2; exit 1; }

jobs=${TIDY_JOBS:-2}
list=$(mktemp)
trap 'rm -f "$list"' EXIT
declare -A seen=()
for build in "$@"; do
  db=$build/compile_commands.json
  [ -f "$db" ] || continue
  build_abs=$(cd "$build" && pwd)
  while IFS= read -r file; do
    case $file in
      "$here"/build/* | "$build_abs"/*) continue ;;
      "$here"/*) ;;
      *) continue ;;
    esac
    [ -n "${seen[$file]:-}" ] && continue
    seen[$file]=1
    printf '%s\t%s\n' "$build_abs" "$file" >>"$list"
  done < <(sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$db")
done
count=$(wc -l <"$list")
[ "$count" -gt 0 ] || { echo "tidy: no compile database with sources in: $*" >&2; exit 1; }

# One clang-tidy per file; its output comes out whole.
export tidy
if ! tr '\t' '\n' <"$list" | xargs -d '\n' -n 2 -P "$jobs" sh -c \
    'out=$("$tidy" -p "$0" --quiet --warnings-as-errors="*" "$1" 2>&1) || { printf "%s\n" "$out"; exit 1; }'; then
  echo "tidy: findings above (fix them, or tune .clang-tidy where a finding is noise)" >&2
  exit 1
fi
echo "tidy: $count files clean"
