#!/usr/bin/env bash
# Passes per second of the page in headless chromium, headless Firefox ESR and
# WebKitGTK's MiniBrowser (on a private Xvfb) next to the desktop program's
# under Xvfb, in one run, alternating them ROUNDS times; with the page's time
# to its first frame in each engine and its weight. An engine that is not
# installed is left out.
#
#   bench/web.sh [--rounds 3] [--release DIR] [--web DIR]
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

rounds=3 release=$here/../build/release web=$here/../build/web
while [ $# -gt 0 ]; do
  case $1 in
    --rounds) rounds=$2; shift 2 ;;
    --release) release=$2; shift 2 ;;
    --web) web=$2; shift 2 ;;
    *) echo "usage: $0 [--rounds N] [--release DIR] [--web DIR]" >&2; exit 2 ;;
  esac
done
for ((r = 1; r <= rounds; ++r)); do
  bash "$here/with-xvfb.sh" bash "$here/web.sh" --inside "$release/bench/chain_passes"
  node "$here/web_passes.mjs" "$web/page" 3 chromium
  [ ! -x /usr/bin/firefox-esr ] || node "$here/web_passes.mjs" "$web/page" 3 firefox
  [ ! -x /usr/bin/WebKitWebDriver ] || /usr/bin/python3 "$here/web_passes_webkit.py" "$web/page" 3
done
