#!/usr/bin/env bash
# The page as a user of the Orca screen reader hears it in chromium: the same
# private buses, speech server and Orca as orca.sh (speech.sh), the page served
# by web/serve.mjs and opened in Debian's chromium with its accessibility on.
# Keys go through the X server as a user types them; the transcript is checked.
#
#   PAGE_DIR=build/web/page bash tests/e2e/orca_page.sh
#
# Skipped (77) when the page is not built or a tool is missing.
E2E_NO_PROGRAM=1
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/a11y.sh"
source "$here/speech.sh"

PAGE_DIR=${PAGE_DIR:-$here/../../build/web/page}
CHROMIUM=${CHROMIUM:-chromium}
NODE=${NODE:-node}
[ -f "$PAGE_DIR/chain.wasm" ] || { echo "SKIP: no page in $PAGE_DIR (cmake --preset web && cmake --build --preset web)"; exit "$E2E_SKIP"; }
for t in "$CHROMIUM" "$NODE"; do
  command -v "$t" >/dev/null || { echo "SKIP: $t is missing (scripts/setup.sh test installs it)"; exit "$E2E_SKIP"; }
done
e2e_require_orca

e2e_start_x -ardelay 250 -arinterval 33
e2e_start_a11y
e2e_start_orca

# The page's server, on a free port; its first line is the page's address.
"$NODE" "$here/../../web/serve.mjs" "$PAGE_DIR" 0 >"$E2E_WORK/serve.log" 2>&1 &
E2E_MORE_PIDS+=($!)
e2e_wait_for 10 grep -q '^http' "$E2E_WORK/serve.log" || e2e_fail "no server: $(cat "$E2E_WORK/serve.log")"
url=$(grep -m 1 '^http' "$E2E_WORK/serve.log")

# chromium in a process group of its own, ended with its helpers; a fresh
# profile, nothing fetched but the page.
start=$(now)
setsid "$CHROMIUM" --user-data-dir="$E2E_WORK/profile" --force-renderer-accessibility --no-sandbox \
  --no-first-run --no-default-browser-check --disable-gpu --disable-quic --disable-background-networking \
  --disable-component-update --disable-sync --password-store=basic --window-size=800,760 "$url" \
  >"$E2E_WORK/chromium.log" 2>&1 &
DISPLAYS_PIDS+=("-$!")
page_window() {
  E2E_WID=$(xdotool search --onlyvisible --name "^${E2E_TITLE} - Chromium\$" 2>/dev/null | head -n 1) && [ -n "$E2E_WID" ]
}
e2e_wait_for 30 page_window || { tail -n 20 "$E2E_WORK/chromium.log" >&2; e2e_fail "no chromium window with the page"; }
e2e_focus
e2e_log "chromium's window $E2E_WID"

# quiet SECONDS: waits (at most 90 s) until Orca has begun nothing for SECONDS.
last_words() { tail -n 1 "$E2E_TRANSCRIPT" | cut -f1; }
silent_for() { awk -v t="$(last_words)" -v n="$(now)" -v s="$1" 'BEGIN { exit !(n - t >= s) }'; }
quiet() { e2e_wait_for 90 silent_for "$1" || { show_transcript; e2e_fail "Orca never fell quiet"; }; }
# press KEY: the key through the X server into the page; sets `since`.
press() {
  e2e_focus
  since=$(now)
  xdotool key --clearmodifiers "$1"
}
said() { heard_between "$1" "$(now)"; }

# Start-up: the page's words of the chain as it is, and of its coming to rest,
# each heard once, and nothing of its falling once it has come to rest.
expect_heard "$start" 90 "${NEWS}at rest, sagging"
quiet 4
falling=$(heard "$start" '^(Falling|chain of [0-9]+ masses falling)' | wc -l)
rested=$(awk -F'\t' -v t="$start" '$1 >= t && $2 ~ /^(At rest|at rest)/ { print $1; exit }' "$E2E_TRANSCRIPT")
e2e_log "start-up: $(said "$start" | wc -l) utterances, $falling of falling"
[ "$falling" -le 1 ] && [ -z "$(heard "$rested" '^(Falling|chain of [0-9]+ masses falling)')" ] &&
  [ "$(heard "$start" '^(At rest|at rest)' | wc -l)" -le 1 ] ||
  { show_transcript; e2e_fail "the start-up says a state more than once, or a past one"; }

# The page read whole (Orca's Say All from the top): the captions are not read
# beside their bars' names, and nothing is "clickable".
press ctrl+Home
quiet 2
press KP_Add
expect_heard "$since" 60 '^colour scale [0-9]'
quiet 3
if said "$since" | grep -E -i 'clickable|:$|colon'; then show_transcript; e2e_fail "captions read as text"; fi

# A step of the mass slider: its value said once, by the slider (not again
# by the live region).
for _ in 1 2 3 4 5 6; do
  press Tab
  heard_within "$since" 5 '^Mass of Center' && break
done
expect_heard "$since" 1 '^Mass of Center'
quiet 2
press Right
expect_heard "$since" 3 '^(centre mass )?51'
quiet 2
[ "$(said "$since" | grep -c -E '^(centre mass )?51' || true)" = 1 ] ||
  { show_transcript; e2e_fail "a slider step said more than once: $(said "$since" | tr '\n' '|')"; }

# A nudge is heard.
press Tab
expect_heard "$since" 5 '^Nudge Left'
press Tab
expect_heard "$since" 5 '^Nudge Right'
quiet 1
press space
expect_heard "$since" 3 "${NEWS}swinging after a nudge to the right"

# The ending reaches the user reading in browse mode, where Orca does not
# follow a focus the page moves.
press ctrl+Home
expect_heard "$since" 5 'heading (level )?1'
quiet 1
press alt+x
expect_heard "$since" 3 'simulation has ended'

echo "--- transcript, seconds after the page's first words:"
awk -F'\t' -v t="$start" '$1 >= t && !o { o = $1 } o { printf "%6.1f  %s\n", $1 - o, $2 }' "$E2E_TRANSCRIPT"
e2e_orca_log_clean
echo "orca page: ok"
