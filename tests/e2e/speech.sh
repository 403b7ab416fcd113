# Shared by the Orca scripts (source it after lib.sh and a11y.sh): a speech
# server whose only voice writes each utterance, with the time, to a
# transcript, Orca on the private accessibility bus with its settings and its
# debug log in the test's folder, and helpers to read the transcript.
#
#   e2e_require_orca   skips (77) when Orca or the speech server is missing
#   e2e_start_orca     after e2e_start_a11y: starts both, returns once Orca speaks
#   heard SINCE REGEX  the utterances since SINCE (seconds since the epoch) that match
#   expect_heard SINCE SECONDS REGEX   waits for one, or fails showing the transcript
#   e2e_orca_log_clean fails when Orca dropped an event to a flood or was given
#                      something it cannot speak

E2E_TRANSCRIPT=
E2E_ORCA_DEBUG=

e2e_require_orca() {
  local t
  e2e_require_a11y
  for t in orca speech-dispatcher espeak-ng; do
    command -v "$t" >/dev/null || { echo "SKIP: $t is missing (scripts/setup.sh test installs it)"; exit "$E2E_SKIP"; }
  done
  (cd / && "$E2E_PYTHON" -c 'import importlib.util as u, sys; sys.exit(u.find_spec("orca.orca") is None)') ||
    { echo "SKIP: Orca's modules do not load"; exit "$E2E_SKIP"; }
}

e2e_start_orca() {
  # Everything the speech server and the screen reader keep, in this test's folder.
  export HOME=$E2E_WORK/home XDG_CONFIG_HOME=$E2E_WORK/home/config XDG_DATA_HOME=$E2E_WORK/home/data
  export XDG_CACHE_HOME=$E2E_WORK/home/cache GSETTINGS_BACKEND=memory
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/orca" "$XDG_CACHE_HOME"
  # No sound device: the voice only writes.
  echo "default_driver=null" >"$HOME/.libao"

  E2E_TRANSCRIPT=$E2E_WORK/transcript.txt
  E2E_ORCA_DEBUG=$E2E_WORK/orca-debug.txt
  local speechd=$E2E_WORK/speechd socket=$E2E_WORK/speechd.sock
  mkdir -p "$speechd/modules" "$speechd/log"
  : >"$E2E_TRANSCRIPT"
  # The only voice (voice.py) writes the words with the time they begin, then
  # takes as long as espeak-ng would to say them, so that Orca's queue and
  # interruptions run as with a real voice.
  cat >"$speechd/speechd.conf" <<CONF
AddModule "transcript" "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/voice.py" "transcript.conf"
DefaultModule transcript
LanguageDefaultModule "en" "transcript"
AudioOutputMethod "libao"
CONF
  echo "$E2E_TRANSCRIPT" >"$speechd/modules/transcript.conf"
  speech-dispatcher -s -t 0 -C "$speechd" -S "$socket" -c unix_socket \
    -L "$speechd/log" >"$E2E_WORK/speechd.log" 2>&1 &
  E2E_MORE_PIDS+=($!)
  e2e_wait_for 10 test -S "$socket" || e2e_fail "no speech server: $(tail -n 5 "$E2E_WORK/speechd.log")"
  export SPEECHD_ADDRESS=unix_socket:$socket

  "$E2E_PYTHON" "$(dirname "${BASH_SOURCE[0]}")/run_orca.py" "$XDG_DATA_HOME/orca" "$E2E_ORCA_DEBUG" \
    >"$E2E_WORK/orca.log" 2>&1 &
  E2E_MORE_PIDS=($! "${E2E_MORE_PIDS[@]}")
  e2e_wait_for 30 grep -q . "$E2E_TRANSCRIPT" || e2e_fail "Orca says nothing: $(tail -n 20 "$E2E_WORK/orca.log")"
  e2e_log "Orca speaks: $(head -n 3 "$E2E_TRANSCRIPT" | cut -f2 | tr '\n' '|')"
}

# Orca 43 says "notification" before the words of a notification; where Qt
# sends an announcement instead, the words come alone.
readonly NEWS='^(notification )?'
# Orca's echo of a key, which the counts of what the program said leave out.
readonly KEY_ECHO='^(tab|space|left shift|shift|right|left|page down|page up|alt|left alt|x) ?$'
now() { date +%s.%N; }
# plus T S: the time S seconds after T; until_time T returns at time T.
plus() { awk -v t="$1" -v s="$2" 'BEGIN { printf "%.3f", t + s }'; }
until_time() { while awk -v t="$1" -v n="$(now)" 'BEGIN { exit !(n < t) }'; do sleep 0.05; done; }
# Matched regardless of case: Orca says news in a notification ("at rest")
# and in the focused surface's description ("At rest") alike.
heard() { awk -F'\t' -v t="$1" -v re="$2" '$1 >= t && tolower($2) ~ tolower(re) { print $2 }' "$E2E_TRANSCRIPT"; }
has_heard() { [ -n "$(heard "$@")" ]; }
# heard_between FROM TO: the utterances from FROM to TO, key echo left out, one a line.
heard_between() {
  awk -F'\t' -v a="$1" -v b="$2" -v re="$KEY_ECHO" '$1 >= a && $1 < b && $2 !~ re { print $2 }' "$E2E_TRANSCRIPT"
}
heard_within() { e2e_wait_for "$2" has_heard "$1" "$3"; }
expect_heard() {
  heard_within "$@" || { show_transcript; e2e_fail "not heard within $2 s: \"$3\""; }
  e2e_log "heard: $(heard "$1" "$3" | head -n 1)"
}
show_transcript() { echo "--- transcript:" >&2; cat "$E2E_TRANSCRIPT" >&2; }

# Qt 6.4 sends a description change with the object where Orca 43 expects the
# words, so Orca cannot say the focused surface's new description (the
# announcement says the same); anything else it cannot speak is a fault.
e2e_orca_log_clean() {
  local bad
  bad=$(grep -i -E -e 'Not processing this event due to flood' -e 'bad content sent to speak' "$E2E_ORCA_DEBUG" |
    grep -v -F "speak(): '[animation | " | head -n 3 || true)
  [ -z "$bad" ] || { show_transcript; e2e_fail "Orca's debug log: $bad"; }
}
