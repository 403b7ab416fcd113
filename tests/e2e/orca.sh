#!/usr/bin/env bash
# The window as a user of the Orca screen reader hears it. A private session
# bus, accessibility bus, speech server and screen reader: the speech server's
# only voice writes each utterance, with the time, to a transcript. Keys go
# through the X server as a user types them; the transcript is checked.
# Skipped (77) when any of those tools is missing.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/a11y.sh"

# Where speech-dispatcher keeps its output modules differs between releases.
SD_MODULES=
for d in /usr/lib/speech-dispatcher-modules /usr/lib/*/speech-dispatcher-modules; do
  if [ -x "$d/sd_generic" ]; then SD_MODULES=$d; break; fi
done
e2e_require_a11y
for t in orca speech-dispatcher espeak-ng "$SD_MODULES/sd_generic"; do
  command -v "$t" >/dev/null || { echo "SKIP: $t is missing (scripts/setup.sh test installs it)"; exit "$E2E_SKIP"; }
done
(cd / && "$E2E_PYTHON" -c 'import importlib.util as u, sys; sys.exit(u.find_spec("orca.orca") is None)') ||
  { echo "SKIP: Orca's modules do not load"; exit "$E2E_SKIP"; }

e2e_start_x
e2e_start_a11y

# Everything the speech server and the screen reader keep, in this test's folder.
export HOME=$E2E_WORK/home XDG_CONFIG_HOME=$E2E_WORK/home/config XDG_DATA_HOME=$E2E_WORK/home/data
export XDG_CACHE_HOME=$E2E_WORK/home/cache GSETTINGS_BACKEND=memory
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/orca" "$XDG_CACHE_HOME"
# No sound device: the voice only writes.
echo "default_driver=null" >"$HOME/.libao"

transcript=$E2E_WORK/transcript.txt
speechd=$E2E_WORK/speechd
mkdir -p "$speechd/modules" "$speechd/log"
: >"$transcript"
cat >"$speechd/speechd.conf" <<CONF
AddModule "transcript" "sd_generic" "transcript.conf"
DefaultModule transcript
LanguageDefaultModule "en" "transcript"
AudioOutputMethod "libao"
CONF
cat >"$speechd/modules/transcript.conf" <<CONF
GenericExecuteSynth "printf '%s\\\\t%s\\\\n' \\"\$(date +%s.%N)\\" \\'\$DATA\\' >> $transcript"
GenericDelimiters ""
GenericLanguage "en" "en" "utf-8"
AddVoice "en" "MALE1" "en"
CONF
socket=$E2E_WORK/speechd.sock
speech-dispatcher -s -t 0 -C "$speechd" -m "$SD_MODULES" -S "$socket" -c unix_socket \
  -L "$speechd/log" >"$E2E_WORK/speechd.log" 2>&1 &
E2E_MORE_PIDS+=($!)
e2e_wait_for 10 test -S "$socket" || e2e_fail "no speech server: $(tail -n 5 "$E2E_WORK/speechd.log")"
export SPEECHD_ADDRESS=unix_socket:$socket

"$E2E_PYTHON" "$here/run_orca.py" "$XDG_DATA_HOME/orca" >"$E2E_WORK/orca.log" 2>&1 &
E2E_MORE_PIDS=($! "${E2E_MORE_PIDS[@]}")
e2e_wait_for 30 grep -q . "$transcript" || e2e_fail "Orca says nothing: $(tail -n 20 "$E2E_WORK/orca.log")"
e2e_log "Orca speaks: $(head -n 3 "$transcript" | cut -f2 | tr '\n' '|')"

# Orca 43 says "notification" before the words of a notification; where Qt
# sends an announcement instead, the words come alone.
readonly NEWS='^(notification )?'
# heard SINCE REGEX: the utterances heard since SINCE (seconds since the epoch), one a line,
# that match REGEX; heard_within SINCE SECONDS REGEX waits for one.
heard() { awk -F'\t' -v t="$1" -v re="$2" '$1 >= t && $2 ~ re { print $2 }' "$transcript"; }
has_heard() { [ -n "$(heard "$@")" ]; }
heard_within() { e2e_wait_for "$2" has_heard "$1" "$3"; }
expect_heard() {
  heard_within "$@" || { show_transcript; e2e_fail "not heard within $2 s: \"$3\""; }
  e2e_log "heard: $(heard "$1" "$3" | head -n 1)"
}
show_transcript() { echo "--- transcript:" >&2; cat "$transcript" >&2; }
now() { date +%s.%N; }
# key KEY EXPECTED: the key through the X server, then what Orca must say to it.
key() {
  local since
  e2e_focus
  since=$(now)
  xdotool key --clearmodifiers "$1"
  expect_heard "$since" 10 "$2"
}
# How long the synthesizer takes to say WORDS at its default rate, in seconds.
seconds_to_say() { espeak-ng --stdout "$1" | wc -c | awk '{ printf "%.1f", ($1 - 44) / 44100 }'; }

start=$(now)
e2e_start_program
# The window appears with the focus on the surface: words of the chain as it is.
expect_heard "$start" 30 '^(Falling|At rest), '
# The chain falls and comes to rest; the user hears it without pressing a key.
expect_heard "$start" 60 "${NEWS}at rest"

# Tab to Nudge Right and press it: words within 2 s, though the focus stays on the button.
key Tab '^Exit (push )?button'
key Tab '^Mass of Center scroll bar 1( 0 percent)?\.?$'
key Tab '^Nudge Left (push )?button'
key Tab '^Nudge Right (push )?button'
e2e_focus
xdotool key space
nudged=$(now)
expect_heard "$nudged" 2 "${NEWS}swinging after a nudge to the right"
# Announcements come only as the state changes: with no key pressed, at most
# four utterances in the 18 s after.
sleep 18
count=$(awk -F'\t' -v t="$nudged" '$1 >= t && $1 < t + 18 && $2 !~ /^space/' "$transcript" | wc -l)
[ "$count" -le 4 ] || { show_transcript; e2e_fail "$count announcements in the 18 s after a nudge"; }
expect_heard "$nudged" 60 "${NEWS}at rest"

# The mass bar reads and sets the mass itself.
key shift+Tab '^Nudge Left (push )?button'
key shift+Tab '^Mass of Center scroll bar 1( 0 percent)?\.?$'
key Right '^51( [0-9]+ percent)?\.?$'

# The focused surface: short utterances, no spoken punctuation.
key shift+Tab '^Exit (push )?button'
surface=$(now)
key shift+Tab '^Chain drawing'
sleep 3
while IFS= read -r words; do
  took=$(seconds_to_say "$words")
  e2e_log "the surface: \"$words\" (${took} s)"
  awk -v s="$took" 'BEGIN { exit !(s <= 6) }' || { show_transcript; e2e_fail "longer than 6 s: \"$words\""; }
  case $words in *semi* | *colon*) show_transcript; e2e_fail "punctuation spoken: \"$words\"" ;; esac
done < <(heard "$surface" '.' | grep -v -E -e '^notification' -e "${NEWS}(at rest|swinging|centre mass)" \
  -e '^left shift' -e '^tab')

echo "--- transcript:"
cat "$transcript"
e2e_end_by alt-x
echo "orca: ok"
