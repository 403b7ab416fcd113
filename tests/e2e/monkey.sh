#!/usr/bin/env bash
# Monkey test: the real program receives a seeded random stream of clicks,
# key presses (Tab, arrows, Page keys, Home/End, Space) and scroll-bar drags
# and wheel turns for a fixed time. It must stay alive, keep handling events
# and keep drawing; then Alt+X ends it with status 0.
#
#   monkey.sh [SECONDS] [SEED]     (or MONKEY_SECONDS, MONKEY_SEED)
#
# The seed is printed first; the same seed replays the same stream (the
# timing of the program's passes still differs from run to run).
#
# Every few seconds a probe checks that the loop still runs: the mouse is held
# down on "Nudge Left" (the button must show pressed, which needs the loop to
# dispatch and repaint) and released off the button (so it does not click);
# then "Nudge Right" is clicked, and the chain must move in the next
# screenshots, unless it has diverged and left the surface (a heavy centre
# mass does that, and the monkey may set one).
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

seconds=${1:-${MONKEY_SECONDS:-45}}
seed=${2:-${MONKEY_SEED:-$(($(date +%s%N) % 1000000))}}
echo "monkey seed: $seed (replay: MONKEY_SEED=$seed $0 $seconds)"
RANDOM=$seed

# Client-area rectangles (x y w h) of the layout, then of the places between.
PICTURE=$(e2e_rect surface)
NUDGE_LEFT=$(e2e_rect nudge-left)
NUDGE_RIGHT=$(e2e_rect nudge-right)
EXIT_BUTTON=$(e2e_rect exit)
HSCROLL1=$(e2e_rect mass)
HSCROLL2=$(e2e_rect scale)
readonly PICTURE NUDGE_LEFT NUDGE_RIGHT EXIT_BUTTON HSCROLL1 HSCROLL2
readonly LABELS="256 520 80 37"
readonly EMPTY="200 548 50 26"
readonly KEYS=(Tab shift+Tab Left Right Up Down Prior Next Home End)

# Every random number is drawn in this shell, never in a $(...) or <(...):
# bash reseeds RANDOM in subshells, and the stream would not replay.

# A random point inside rectangle "x y w h", in PX and PY.
point_in() {
  local x y w h
  read -r x y w h <<<"$1"
  PX=$((x + RANDOM % w))
  PY=$((y + RANDOM % h))
}
inside() {  # inside PX PY "x y w h"
  local x y w h
  read -r x y w h <<<"$3"
  [ "$1" -ge "$x" ] && [ "$1" -lt $((x + w)) ] && [ "$2" -ge "$y" ] && [ "$2" -lt $((y + h)) ]
}
centre_of() {
  local x y w h
  read -r x y w h <<<"$1"
  echo "$((x + w / 2)) $((y + h / 2))"
}

actions=0
declare -A tally=()
act() {
  tally[$1]=$((${tally[$1]:-0} + 1))
  actions=$((actions + 1))
  echo "$actions $*" >>"$E2E_WORK/actions.log"
}

# In the first half the mouse leaves the mass bar alone, so that the chain
# usually stays on the surface for a while (a heavy centre sends it off for
# good); in the second half everything goes.
gentle=yes
mass_bar() { if [ -n "$gentle" ]; then MASS_BAR=$HSCROLL2; else MASS_BAR=$HSCROLL1; fi; }

random_click() {
  mass_bar
  local targets=("$PICTURE" "$NUDGE_LEFT" "$NUDGE_RIGHT" "$MASS_BAR" "$HSCROLL2" "$LABELS" "$EMPTY")
  point_in "${targets[RANDOM % ${#targets[@]}]}"
  # Never on "E&xit" (nor its edge): that ends the program.
  local x y w h
  read -r x y w h <<<"$EXIT_BUTTON"
  if inside "$PX" "$PY" "$((x - 2)) $((y - 2)) $((w + 4)) $((h + 4))"; then return; fi
  act click "$PX" "$PY"
  e2e_click "$PX" "$PY"
}

random_drag() {
  local bars x y w h from to mid_dy end_dy
  mass_bar
  bars=("$MASS_BAR" "$HSCROLL2")
  read -r x y w h <<<"${bars[RANDOM % 2]}"
  from=$((x + RANDOM % w))
  to=$((x - 40 + RANDOM % (w + 80)))
  mid_dy=$((RANDOM % 20 - 10))
  end_dy=$((RANDOM % 30 - 15))
  act drag "$from" "$to" "$((y + h / 2))"
  xdotool mousemove --window "$E2E_WID" "$from" $((y + h / 2)) mousedown 1
  xdotool mousemove --window "$E2E_WID" $(((from + to) / 2)) $((y + h / 2 + mid_dy))
  xdotool mousemove --window "$E2E_WID" "$to" $((y + h / 2 + end_dy)) mouseup 1
}

random_wheel() {
  mass_bar
  local targets=("$MASS_BAR" "$HSCROLL2" "$PICTURE") button
  point_in "${targets[RANDOM % ${#targets[@]}]}"
  button=$((4 + RANDOM % 2))
  act wheel "$button" "$PX" "$PY"
  xdotool mousemove --window "$E2E_WID" "$PX" "$PY" click "$button"
}

random_key() {
  local key=${KEYS[RANDOM % ${#KEYS[@]}]}
  act key "$key"
  xdotool key --clearmodifiers "$key"
}

# Space only where the focus is known: on a nudge button just clicked.
click_then_space() {
  local buttons=("$NUDGE_LEFT" "$NUDGE_RIGHT")
  point_in "${buttons[RANDOM % 2]}"
  act click+space "$PX" "$PY"
  e2e_click "$PX" "$PY"
  xdotool key --clearmodifiers space
}

probes=0
moving=0
diverged=0
probe() {
  probes=$((probes + 1))
  e2e_alive || {
    e2e_show_log
    e2e_fail "the program died after $actions actions (seed $seed)"
  }
  local nx ny released pressed a b changed
  read -r nx ny < <(centre_of "$NUDGE_LEFT")
  xdotool mousemove --window "$E2E_WID" 400 300
  sleep 0.1
  released=$(e2e_shot "probe${probes}_up")
  xdotool mousemove --window "$E2E_WID" "$nx" "$ny" mousedown 1
  local tries
  for tries in 1 2 3 4 5 6 7 8 9 10; do  # up to about 3 s on a busy machine
    sleep 0.2
    pressed=$(e2e_shot "probe${probes}_down")
    changed=$("$E2E_PIXELS" differ "$released" "$pressed" --all)
    [ "$changed" -gt 0 ] && break
  done
  xdotool mousemove --window "$E2E_WID" 400 300 mouseup 1
  [ "$changed" -gt 0 ] || e2e_fail "probe $probes: the window stopped responding (seed $seed)"

  read -r nx ny < <(centre_of "$NUDGE_RIGHT")
  local attempt
  for attempt in 1 2 3; do  # a busy machine may take the shots late
    e2e_click "$nx" "$ny"
    sleep 0.05
    a=$(e2e_shot "probe${probes}_a")
    sleep 0.15
    b=$(e2e_shot "probe${probes}_b")
    changed=$("$E2E_PIXELS" differ "$a" "$b")
    [ "$changed" -gt 0 ] && break
  done
  if [ "$changed" -gt 0 ]; then
    moving=$((moving + 1))
  elif ! "$E2E_PIXELS" frame "$b" >"$E2E_WORK/frame.log"; then
    diverged=$((diverged + 1))  # the chain has left the surface: nothing there to move
  else
    cat "$E2E_WORK/frame.log"
    e2e_fail "probe $probes: a nudged chain did not move (seed $seed)"
  fi
  e2e_check_log_clean
  e2e_log "probe $probes after $actions actions: responding; chain $([ "$changed" -gt 0 ] && echo moving || echo 'off the surface')"
}

e2e_start_x
e2e_start_program
probe

end=$((SECONDS + seconds))
next_probe=$((SECONDS + 5))
half=$((SECONDS + seconds / 2))
while [ $SECONDS -lt $end ]; do
  [ $SECONDS -ge $half ] && gentle=
  r=$((RANDOM % 100))
  if [ $r -lt 25 ]; then
    random_click
  elif [ $r -lt 35 ]; then
    random_drag
  elif [ $r -lt 40 ]; then
    random_wheel
  elif [ $r -lt 85 ]; then
    random_key
  elif [ $r -lt 90 ]; then
    click_then_space
  else
    act pause
    pause=$((5 + RANDOM % 15))  # hundredths of a second
    sleep "$(printf "0.%02d" "$pause")"
  fi
  if [ $SECONDS -ge $next_probe ]; then
    probe
    next_probe=$((SECONDS + 5))
  fi
done
probe

summary=""
for k in "${!tally[@]}"; do summary+="$k=${tally[$k]} "; done
e2e_log "$actions actions ($summary), $probes probes: $moving with the chain moving, $diverged with it off the surface"

e2e_end_by alt-x "after the monkey (seed $seed)"
echo "monkey: ok (seed $seed)"
