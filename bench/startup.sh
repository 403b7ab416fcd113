#!/usr/bin/env bash
# Start-up time: from process start to the first frame presented, under Xvfb,
# for the program and for a minimal Qt program with one empty window of the same
# size (also with one line of text, which makes it load the fonts), run in turn
# on one server. Prints every run, the medians and their ratios.
#
#   bench/startup.sh [--runs N] [--build DIR] [--chain-colour RRGGBB] [--chain-tolerance N]
#
# The program's first frame is the first read-back of its window that shows the
# chain: a pixel that is clearly red (red at least 145, green and blue at most
# 110; the links and circles are antialiased on a near-black surface). The
# minimal window's is the first read-back that shows its background.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

if [ "${1:-}" = --inside ]; then  # on the server: alternate the two programs
  runs=$2 build=$3 chain_colour=$4 chain_tolerance=$5 minimal_colour=$6
  chain_ms=() minimal_ms=() caption_ms=()
  for i in $(seq "$runs"); do
    c=$("$build/bench/first_frame" --colour "$chain_colour" --tolerance "$chain_tolerance" --timeout 20 -- \
      "$build/ui/hanging-chain")
    m=$("$build/bench/first_frame" --colour "$minimal_colour" --tolerance 8 --timeout 20 -- \
      "$build/bench/minimal_window")
    t=$("$build/bench/first_frame" --colour "$minimal_colour" --tolerance 8 --timeout 20 -- \
      "$build/bench/minimal_window" --caption)
    printf 'run %2d: program %8.2f ms   minimal window %8.2f ms   with one caption %8.2f ms\n' \
      "$i" "$c" "$m" "$t"
    chain_ms+=("$c") minimal_ms+=("$m") caption_ms+=("$t")
  done
  cm=$(printf '%s\n' "${chain_ms[@]}" | median)
  mm=$(printf '%s\n' "${minimal_ms[@]}" | median)
  tm=$(printf '%s\n' "${caption_ms[@]}" | median)
  printf 'median: program %.2f ms, minimal window %.2f ms (ratio %.2f), with one caption %.2f ms (ratio %.2f)\n' \
    "$cm" "$mm" "$(awk -v a="$cm" -v b="$mm" 'BEGIN { print a / b }')" \
    "$tm" "$(awk -v a="$cm" -v b="$tm" 'BEGIN { print a / b }')"
  exit 0
fi

runs=11
build=$here/../build/release
chain_colour=ff0000    # RRGGBB
chain_tolerance=110
minimal_colour=efefef  # the window background of Qt's Fusion style
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --chain-colour) chain_colour=$2; shift 2 ;;
    --chain-tolerance) chain_tolerance=$2; shift 2 ;;
    *) echo "usage: $0 [--runs N] [--build DIR] [--chain-colour RRGGBB] [--chain-tolerance N]" >&2
       exit 2 ;;
  esac
done
build=$(cd "$build" && pwd)
for f in bench/first_frame ui/hanging-chain bench/minimal_window; do
  [ -x "$build/$f" ] || { echo "missing $build/$f: build the project first" >&2; exit 1; }
done
exec bash "$here/../scripts/with-xvfb.sh" bash "$0" --inside "$runs" "$build" "$chain_colour" \
  "$chain_tolerance" "$minimal_colour"
