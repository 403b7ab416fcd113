#pragma once
// The phrases a screen reader is given, each written once: a number as it is
// read out, one formatter per quantity, and one way of joining phrases, with
// commas, which a speech synthesizer pauses at rather than reads out.

#include <initializer_list>
#include <string>

#include "render/Controls.h"
#include "render/Disturbance.h"
#include "render/Survey.h"

namespace chain {

// A number as words read it, without the locale's separators: at most
// `decimals` decimals, none when it is whole ("1", "51.5").
[[nodiscard]] std::string Number(double value, int decimals);

// The phrases that are not empty, joined by commas.
[[nodiscard]] std::string Join(std::initializer_list<std::string> phrases);
// The text with its first letter in capitals, as a description starts.
[[nodiscard]] std::string Capitalised(std::string text);

// "centre mass 51".
[[nodiscard]] std::string MassWords(double mass);
// "colour scale 6", in the bar's units. The nodes start with a colour scale
// no position of the bar gives: then the words say so.
[[nodiscard]] std::string ScaleWords(double colourScale);
// The quantity a bar at `value` sets, and whether that is an end of the bar:
// "centre mass 51", "colour scale 40, the largest".
[[nodiscard]] std::string BarWords(Bar bar, int value);

// "swinging after a nudge to the right", "falling"; "at rest" when not moving.
[[nodiscard]] std::string MotionWords(bool moving, Disturbance last);
// Where a chain at rest hangs: "sagging 258 pixels", "centre below the picture".
[[nodiscard]] std::string HangWords(const ChainSurvey& survey);
// "flown off the picture", "simulation broken down"; "" for a chain still there.
[[nodiscard]] std::string LostWords(const ChainSurvey& survey);

}  // namespace chain
