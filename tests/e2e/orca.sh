#!/usr/bin/env bash
# The window as a user of the Orca screen reader hears it. A private session
# bus, accessibility bus, speech server and screen reader (speech.sh): the
# speech server's only voice writes each utterance, with the time, to a
# transcript. Keys go through the X server as a user types them, single
# presses and then keys held down; the transcript and Orca's debug log are
# checked. Skipped (77) when any of those tools is missing.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/a11y.sh"
source "$here/speech.sh"

e2e_require_orca
# Keys held down repeat as on a desktop: after 250 ms, 30 times a second.
e2e_start_x -ardelay 250 -arinterval 33
e2e_start_a11y
e2e_start_orca
transcript=$E2E_TRANSCRIPT

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
count=$(heard_between "$nudged" "$(plus "$nudged" 18)" | wc -l)
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

# Keys held down on a bar: the X server repeats them until they are let go.
# Orca says each step as the bar's value; the program's own words wait until
# the keys have stopped, then say where the run ended and what the chain did
# meanwhile, once.
# app_events FROM: the events Orca queued from the program since line FROM of
# its debug log (as Orca 43 and Orca 48 write it), their types one a line, up
# to the last step of a bar (the words after the keys are not the steps' own).
app_events() {
  tail -n "+$1" "$E2E_ORCA_DEBUG" |
    sed -n -e 's/^.*EVENT MANAGER: Queueing \([^ ]*\) .* from \[application | hanging-chain\]$/\1/p' \
      -e 's/^.*EVENT MANAGER: Queueing \([^ ]*\) for .* in hanging-chain (.*$/\1/p' |
    awk '{ line[NR] = $0 } /accessible-value/ { last = NR } END { for (i = 1; i <= last; ++i) print line[i] }'
}
# hold KEY STEPS: KEY held down until Orca has been sent STEPS steps of the bar
# (its end) and 3 s have passed (at most 15 s); sets held_from and let_go
# (transcript times) and log_from (the debug log's first line since).
stepped() { [ "$(app_events "$log_from" | grep -c 'accessible-value' || true)" -ge "$1" ]; }
hold() {
  e2e_focus
  log_from=$(($(wc -l <"$E2E_ORCA_DEBUG") + 1))
  held_from=$(now)
  xdotool keydown "$1"
  e2e_wait_for 15 stepped "$2" ||
    { xdotool keyup "$1"; show_transcript; e2e_fail "$1 held: the repeats did not reach the bar's end"; }
  until_time "$(plus "$held_from" 3)"
  xdotool keyup "$1"
  let_go=$(now)
}
# after_hold WHAT SUMMARY: each step sent Orca at most two
# events (the bar's value; it used to be five); the run is summed up once,
# within 3 s of the keys let go, and after that Orca is quiet.
after_hold() {
  local steps events quiet
  expect_heard "$let_go" 3 "$2"
  [ "$(heard "$held_from" "$2" | wc -l)" = 1 ] || { show_transcript; e2e_fail "$1: summed up more than once"; }
  steps=$(app_events "$log_from" | grep -c 'accessible-value' || true)
  events=$(app_events "$log_from" | wc -l)
  e2e_log "$1: held $(plus "$let_go" "-$held_from") s, $steps steps, $events events from the program:" \
    "$(app_events "$log_from" | sort | uniq -c | sort -rn | tr -s ' \n' ' ')"
  [ "$events" -le $((2 * steps)) ] || e2e_fail "$1: $events events for $steps steps"
  # What is said after the keys are let go, key echo and all, comes within
  # 3 s: at most the last values and the summary.
  quiet=$(plus "$let_go" 3)
  until_time "$(plus "$let_go" 7)"
  [ -z "$(heard "$quiet" .)" ] && [ "$(heard_between "$let_go" "$quiet" | wc -l)" -le 3 ] ||
    { show_transcript; e2e_fail "$1: after the keys: $(heard "$let_go" . | tr '\n' '|')"; }
}

key Tab '^Exit (push )?button'
key Tab '^Mass of Center scroll bar 51( [0-9]+ percent)?\.?$'
# Right held: the mass runs to its largest and the chain flies off.
hold Right 39  # 51 to 2000
after_hold "Right on the mass" "${NEWS}centre mass 2000, the largest"
expect_heard "$held_from" 10 "flown off the picture"
# Nothing left to nudge, and the user hears so.
key Tab '^Nudge Left (push )?button'
e2e_focus
nudged=$(now)
xdotool key space
expect_heard "$nudged" 2 "${NEWS}nothing to nudge, flown off the picture"
key Tab '^Nudge Right (push )?button'
key Tab '^FEA Color Scale scroll bar 5( [0-9]+ percent)?\.?$'
# Page Down held: the colour scale runs to its largest.
hold Page_Down 35  # 5 to 40
after_hold "Page Down on the colour scale" "${NEWS}colour scale 40, the largest"
e2e_orca_log_clean

# The transcript as the README gives it: seconds after the window's first words.
echo "--- transcript, seconds after the window appeared:"
awk -F'\t' -v t="$start" '$1 >= t && !o { o = $1 } o { printf "%6.1f  %s\n", $1 - o, $2 }' "$transcript"
e2e_end_by alt-x
echo "orca: ok"
