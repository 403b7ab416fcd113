#!/usr/bin/env bash
# Renders an installed (gzipped) manual page as man does, with every groff
# warning on, and fails on any message:
#
#   scripts/check-manual.sh PAGE.gz
set -euo pipefail

page=${1:?usage: check-manual.sh PAGE.gz}
[ -f "$page" ] || { echo "FAIL: no $page" >&2; exit 1; }
status=0
# man's own run: its preprocessors and the terminal device, warnings on.
if ! out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=all -l "$page" 2>&1 >/dev/null) || [ -n "$out" ]; then
  echo "FAIL: man -l: $out" >&2
  status=1
fi
# groff with every warning, no output, as Debian's checker does.
if ! out=$(zcat "$page" | groff -ww -z -man 2>&1) || [ -n "$out" ]; then
  echo "FAIL: groff -ww -z -man: $out" >&2
  status=1
fi
lines=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null | wc -l)
[ "$lines" -gt 20 ] || { echo "FAIL: the page renders to $lines lines" >&2; status=1; }
[ "$status" -eq 0 ] && echo "manual page: renders without warnings ($lines lines)"
exit "$status"
