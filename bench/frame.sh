#!/usr/bin/env bash
# The pass of the window's loop, part by part, on the offscreen platform and
# under Xvfb: runs bench/frame_bench on each (repetitions interleaved at random,
# medians of wall-clock time) and prints the ratios that matter. Under Xvfb it
# also runs the program's own loop for a number of passes and prints what a
# pass costs in processor time, the program's and the X server's.
#
#   bench/frame.sh [--repetitions N] [--min-time SECONDS] [--build DIR] [--platform offscreen|xvfb|both]
#                  [--loop-passes N]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if [ "${1:-}" = --loop-inside ]; then  # under with-xvfb.sh: $2 the program, $3 passes
  ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }  # user + system, in clock ticks
  x0=$(ticks "$XVFB_PID")
  TIMEFORMAT='%R %U %S'
  times=$({ time "$2" "$3" >/dev/null 2>&1; } 2>&1)
  x1=$(ticks "$XVFB_PID")
  read -r wall user sys <<<"$times"
  awk -v n="$3" -v wall="$wall" -v p="$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')" \
    -v x=$((x1 - x0)) -v hz="$(getconf CLK_TCK)" 'BEGIN {
      printf "Xvfb, the loop of the program, %d passes (per pass):\n", n
      printf "  wall-clock             %10.1f us\n", 1e6 * wall / n
      printf "  program processor      %10.1f us\n", 1e6 * p / n
      printf "  X server processor     %10.1f us\n", 1e6 * x / hz / n
      printf "  both / wall-clock      %6.2f\n", (p + x / hz) / wall }'
  exit 0
fi
reps=9
min_time=0.2
build=$here/../build/release
platform=both
loop_passes=20000
while [ $# -gt 0 ]; do
  case $1 in
    --repetitions) reps=$2; shift 2 ;;
    --min-time) min_time=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --platform) platform=$2; shift 2 ;;
    --loop-passes) loop_passes=$2; shift 2 ;;
    *) echo "usage: $0 [--repetitions N] [--min-time SECONDS] [--build DIR] [--platform offscreen|xvfb|both] [--loop-passes N]" >&2
       exit 2 ;;
  esac
done
bench=$build/bench/frame_bench
loop=$build/bench/chain_passes
for f in "$bench" "$loop"; do
  [ -x "$f" ] || { echo "missing $f: build the project first" >&2; exit 1; }
done
args=(--benchmark_repetitions="$reps" --benchmark_min_time="$min_time"
  --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
  --benchmark_format=csv)

# Median wall-clock time in ns of each benchmark, as "name value" lines.
medians() {
  awk -F, '$1 ~ /_median"$/ {
      name = $1; gsub(/"/, "", name); sub(/\/real_time_median$/, "", name); sub(/_median$/, "", name)
      unit = $5; v = $3
      if (unit == "us") v *= 1e3; else if (unit == "ms") v *= 1e6; else if (unit == "s") v *= 1e9
      print name, v }'
}

report() {  # $1: platform name; stdin: medians
  awk -v platform="$1" '{ t[$1] = $2 } END {
    printf "%s (median wall-clock time of a pass part):\n", platform
    n = split("BM_BareClear BM_DrawPass BM_StraightDraw BM_PhysicsPass BM_EmptyFrame BM_FullPass BM_WholeSurfacePass BM_Describe", k, " ")
    for (i = 1; i <= n; ++i) printf "  %-20s %10.1f us\n", k[i], t[k[i]] / 1000
    printf "  draw pass / bare clear      %6.2f\n", t["BM_DrawPass"] / t["BM_BareClear"]
    printf "  plain draw / bare clear     %6.2f\n", t["BM_StraightDraw"] / t["BM_BareClear"]
    printf "  full pass / empty frame     %6.2f\n", t["BM_FullPass"] / t["BM_EmptyFrame"]
    printf "  whole-surface pass / empty  %6.2f\n", t["BM_WholeSurfacePass"] / t["BM_EmptyFrame"]
    printf "  physics / full pass         %6.2f %%\n", 100 * t["BM_PhysicsPass"] / t["BM_FullPass"]
    # The window describes the surface at most twice a second.
    printf "  description / full pass     %6.2f %%\n", 100 * t["BM_Describe"] / t["BM_FullPass"]
    printf "  description, twice a second %8.4f %% of the loop\n", 100 * 2 * t["BM_Describe"] / 1e9
  }'
}

if [ "$platform" = offscreen ] || [ "$platform" = both ]; then
  QT_QPA_PLATFORM=offscreen "$bench" "${args[@]}" 2>/dev/null | medians | report offscreen
fi
if [ "$platform" = xvfb ] || [ "$platform" = both ]; then
  bash "$here/../scripts/with-xvfb.sh" "$bench" "${args[@]}" 2>/dev/null | medians | report Xvfb
  bash "$here/../scripts/with-xvfb.sh" bash "$0" --loop-inside "$loop" "$loop_passes"
fi
