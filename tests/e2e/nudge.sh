#!/usr/bin/env bash
# A real click in the middle of "Nudge Right" swings the
# centre of the chain: it falls mirror-symmetric before the click and is
# lopsided in the screenshots right after it.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_start_x
e2e_start_program
sleep 0.5

# The chain falls straight down: it stays mirror-symmetric about its middle,
# but for rounding in the drawing. Two shots give that baseline.
asym_of() {  # asym_of NAME: a screenshot's pixels off their mirror image
  local shot
  shot=$(e2e_shot "$1")
  "$E2E_PIXELS" frame "$shot" >/dev/null || e2e_fail "no chain in screenshot $1"
  "$E2E_PIXELS" asym "$shot"
}

# One nudge swings the centre by a pixel or two for a few hundred passes; it
# shows as a burst of asymmetry: past 400 pixels and twice the baseline (which
# a busy machine's late repaints raise to about 250). On a machine so busy that
# the screenshots come only after the swing has died down, the click is tried
# again, up to three times.
read -r nx ny nw nh < <(e2e_rect nudge-right)
moved=
for attempt in 1 2 3; do
  base=0
  for i in 1 2; do
    a=$(asym_of "before${attempt}_$i")
    [ "$a" -gt "$base" ] && base=$a
  done
  e2e_click $((nx + nw / 2)) $((ny + nh / 2))
  most=0
  for i in 1 2 3; do
    a=$(asym_of "after${attempt}_$i")
    [ "$a" -gt "$most" ] && most=$a
  done
  e2e_log "click $attempt: $most pixels off their mirror image after it, at most $base before"
  if [ "$most" -gt 400 ] && [ "$most" -gt $((2 * base)) ]; then
    moved=yes
    break
  fi
done
[ -n "$moved" ] || e2e_fail "the centre did not visibly move after three clicks"
e2e_end_by alt-x
echo "nudge: ok (click $attempt: $most pixels off their mirror image after it, at most $base before)"
