#pragma once
// What the chain's nodes say about the chain as a whole, counted once for the
// words that describe the surface and for the announcements: whether it moves,
// how far it sags, how much of it lies outside the surface, its centre mass
// and colour scale. Reads only.

#include <optional>

#include "model/Chain.h"

namespace chain {

// The surface the chain is drawn on, in logical pixels, and the scale of the
// node coordinates.
struct SurfaceSize {
  double widthPixels = 0;
  double heightPixels = 0;
  double twipsPerPixel = 15;
};

enum class Phase {
  kNoChain,
  kMoving,
  kAtRest,
  kFlownOff,    // every free node has left the surface
  kBrokenDown,  // some position is no longer a number
};

struct ChainSurvey {
  Phase phase = Phase::kNoChain;
  int masses = 0;
  int fixed = 0;
  bool fixedEnds = false;  // exactly the first and the last node are fixed
  int notFinite = 0;       // nodes whose position is not a number
  int offSurface = 0;      // nodes with a position outside the surface
  // How far, in pixels, the liveliest free node would travel over one swing.
  double reachPixels = 0;
  // How far the centre node hangs below the midpoint of the ends, in pixels.
  std::optional<double> sagPixels;
  bool centreBelowSurface = false;
  std::optional<double> centreMass;
  std::optional<double> colourScale;  // the centre node's
};

// A chain counts as moving while any free node's speed or acceleration would
// carry it more than this many pixels over a swing of the chain's slowest period.
inline constexpr double kStillPixels = 0.5;

[[nodiscard]] ChainSurvey SurveyChain(const SpringArray& springs, const SurfaceSize& surface);

}  // namespace chain
