#!/usr/bin/env bash
# Memory: peak resident size (VmHWM) of the program's start-up and loop after
# 1,000 and after 100,000 passes, in one process, next to a minimal Qt program
# with one empty window of the same size that dispatches events as often.
# Runs under Xvfb, as the program does on a desktop.
#
#   bench/memory.sh [--passes "1000 100000"] [--build DIR]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if [ "${1:-}" = --inside ]; then
  build=$2 passes=$3
  # shellcheck disable=SC2086 # the checkpoints are separate arguments
  chain=$("$build/bench/chain_passes" $passes)
  # shellcheck disable=SC2086
  minimal=$("$build/bench/minimal_window" $passes)
  # shellcheck disable=SC2086
  captioned=$("$build/bench/minimal_window" --caption $passes)
  echo "program:"
  echo "$chain" | sed 's/^/  /'
  echo "minimal window:"
  echo "$minimal" | sed 's/^/  /'
  echo "minimal window with one caption:"
  echo "$captioned" | sed 's/^/  /'
  peak() { awk -F'[ =]' '{ for (i = 1; i < NF; ++i) if ($i == "peak_rss_kb") v = $(i + 1) } END { print v }'; }
  first() { echo "$1" | head -n 1 | peak; }
  last() { echo "$1" | tail -n 1 | peak; }
  awk -v c1="$(first "$chain")" -v cn="$(last "$chain")" -v m="$(last "$minimal")" \
    -v mc="$(last "$captioned")" 'BEGIN {
    printf "peak: program %d kB (first checkpoint %d kB, growth %+d kB)\n", cn, c1, cn - c1
    printf "  minimal window %d kB, ratio %.2f; with one caption %d kB, ratio %.2f\n",
      m, cn / m, mc, cn / mc }'
  exit 0
fi

passes="1000 100000"
build=$here/../build/release
while [ $# -gt 0 ]; do
  case $1 in
    --passes) passes=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    *) echo "usage: $0 [--passes \"N1 N2 ...\"] [--build DIR]" >&2; exit 2 ;;
  esac
done
build=$(cd "$build" && pwd)
for f in bench/chain_passes bench/minimal_window; do
  [ -x "$build/$f" ] || { echo "missing $build/$f: build the project first" >&2; exit 1; }
done
exec bash "$here/with-xvfb.sh" bash "$0" --inside "$build" "$passes"
