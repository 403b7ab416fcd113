#pragma once
// What the drawing surface shows, in plain words for a screen reader: the
// present state first (moving and why, at rest and where the centre hangs,
// flown off or broken down), then the centre mass and the colour scale.
// Phrases are joined by commas, which a speech synthesizer pauses at rather
// than reads out; the whole takes at most about six seconds to say. Reads only.

#include <string>

#include "model/Chain.h"
#include "render/Survey.h"

namespace chain {

// The last thing the user did to the chain; it explains a chain that moves.
// Before any, a moving chain is still falling from its start.
enum class Disturbance { kNone, kNudgeLeft, kNudgeRight, kMassChange };

[[nodiscard]] std::string DescribeChain(const SpringArray& springs, const SurfaceSize& surface,
                                        Disturbance last);

// Phrases the announcements share with the description.
// "swinging after a nudge to the right", "falling"; "at rest" when not moving.
[[nodiscard]] std::string MotionWords(bool moving, Disturbance last);
// Where a chain at rest hangs: "sagging 258 pixels", "centre below the picture".
[[nodiscard]] std::string HangWords(const ChainSurvey& survey);
[[nodiscard]] std::string CentreMassWords(double mass);          // "centre mass 51"
[[nodiscard]] std::string ColourScaleWords(double colourScale);  // "colour scale 5"
// "flown off the picture", "simulation broken down"; "" for a chain still there.
[[nodiscard]] std::string LostWords(const ChainSurvey& survey);

}  // namespace chain
