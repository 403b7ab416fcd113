#!/usr/bin/env bash
# Fails when a tracked C++ file differs from the layout in .clang-format.
#   scripts/check-format.sh          check every tracked C++ file
#   scripts/check-format.sh --fix    rewrite them in place instead
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

cf=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$cf" ]; then
  echo "clang-format not found (Debian package clang-format)" >&2
  exit 1
fi

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -- '*.cpp' '*.cc' '*.cxx' '*.h' '*.hpp' '*.hh')
else
  mapfile -t files < <(find . -path ./build -prune -o -type f \( -name '*.cpp' -o -name '*.cc' \
    -o -name '*.cxx' -o -name '*.h' -o -name '*.hpp' -o -name '*.hh' \) -print | sort)
fi
[ ${#files[@]} -gt 0 ] || { echo "no C++ files"; exit 0; }

if [ "${1:-}" = --fix ]; then
  "$cf" -i --style=file "${files[@]}"
  exit 0
fi
if "$cf" --dry-run --Werror --style=file "${files[@]}"; then
  echo "format: ${#files[@]} files match .clang-format"
else
  echo "format: run scripts/check-format.sh --fix" >&2
  exit 1
fi
