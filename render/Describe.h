#pragma once
// What the drawing surface shows, in plain words for a screen reader: how many
// masses and fixed ends, whether the chain moves and why, how far it sags, the
// centre mass and where the springs are most strained; or that it has flown off
// the surface, or that its positions are no longer numbers. Reads only.

#include <string>

#include "model/Chain.h"

namespace chain {

// The last thing the user did to the chain; it explains a chain that moves.
enum class Disturbance { kNone, kNudgeLeft, kNudgeRight, kMassChange };

// The surface the chain is drawn on, in logical pixels, and the scale of the
// node coordinates.
struct SurfaceSize {
  double widthPixels = 0;
  double heightPixels = 0;
  double twipsPerPixel = 15;
};

// A chain counts as moving while any free node's speed or acceleration would
// carry it more than half a pixel over a swing of the chain's slowest period;
// the words then round the sag to ten pixels, so small swings keep them still.
[[nodiscard]] std::string DescribeChain(const SpringArray& springs, const SurfaceSize& surface,
                                        Disturbance last);

}  // namespace chain
