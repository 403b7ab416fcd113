#!/usr/bin/env bash
# Passes per second of the page in each browser given (bench/web_engines.mjs;
# headless chromium, headless Firefox ESR and WebKitGTK's MiniBrowser, those
# installed, by default) next to the desktop program's under Xvfb, in one run,
# alternating them ROUNDS times; with the page's time to its first frame, its
# passes a batch, a pass of the core alone and the empty tasks a second, and
# in chromium its weight and its main thread's load while shown and hidden
# (bench/web_passes.mjs).
#
#   bench/web.sh [--rounds 3] [--release DIR] [--web DIR] [--engines "chromium webkit"]
#
# The desktop's figure is the program's own start-up and loop (chain_passes):
# the passes from 1,000 to 21,000, so that start-up is left out.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if [ "${1:-}" = --inside ]; then
  passes=$2
  start=$(date +%s.%N)
  "$passes" 1000 >/dev/null
  middle=$(date +%s.%N)
  "$passes" 21000 >/dev/null
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$middle" -v c="$end" \
    'BEGIN { printf "desktop: %d passes/s\n", 20000 / ((c - b) - (b - a)) }'
  exit 0
fi

rounds=3 release=$here/../build/release web=$here/../build/web engines=chromium
[ ! -x /usr/bin/firefox-esr ] || engines+=" firefox"
! command -v WebKitWebDriver >/dev/null || engines+=" webkit"
while [ $# -gt 0 ]; do
  case $1 in
    --rounds) rounds=$2; shift 2 ;;
    --release) release=$2; shift 2 ;;
    --web) web=$2; shift 2 ;;
    --engines) engines=$2; shift 2 ;;
    *) echo "usage: $0 [--rounds N] [--release DIR] [--web DIR] [--engines LIST]" >&2; exit 2 ;;
  esac
done
for ((r = 1; r <= rounds; ++r)); do
  bash "$here/../scripts/with-xvfb.sh" bash "$here/web.sh" --inside "$release/bench/chain_passes"
  # shellcheck disable=SC2086 # one word an engine
  bash "$here/../scripts/with-xvfb.sh" node "$here/web_passes.mjs" "$web/page" 3 $engines
done
