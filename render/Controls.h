#pragma once
// What the window's controls do to the chain, and the words that tell a
// screen reader a bar's quantity. Every front end calls these, so a button or
// a bar acts the same wherever it is drawn.

#include <string>

#include "model/Chain.h"

namespace chain {

// The push a nudge gives the centre node, in twips per time unit.
inline constexpr double kNudgeSpeed = 50;

void NudgeLeft(SpringArray& springs);
void NudgeRight(SpringArray& springs);

// The centre node's mass from the Mass of Center bar's value.
void SetCentreMass(SpringArray& springs, int massBarValue);

// Every node's colour scale from the FEA Color Scale bar's value.
void SetColourScale(SpringArray& springs, int scaleBarValue);

// The quantity each bar sets, in words: "centre mass 51", "colour scale 6 of 40".
[[nodiscard]] std::string MassWords(int massBarValue);
[[nodiscard]] std::string ScaleWords(int scaleBarValue);

}  // namespace chain
