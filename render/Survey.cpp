#include "render/Survey.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace chain {

namespace {

// About how fast the hanging chain swings back and forth, per unit of
// simulated time: one period of its slowest swing takes some 280 passes.
constexpr double kSwingRate = 0.075;

bool Finite(const Spring& s) { return std::isfinite(s.xPos) && std::isfinite(s.yPos); }

bool OnSurface(const Spring& s, const SurfaceSize& surface) {
  const double x = s.xPos / surface.twipsPerPixel;
  const double y = s.yPos / surface.twipsPerPixel;
  return x >= 0 && x < surface.widthPixels && y >= 0 && y < surface.heightPixels;
}

// How far a node would travel over a swing, judged from its speed and its
// acceleration (so a node at the turning point of its swing counts too).
double Reach(const Spring& s) {
  const double speed = std::hypot(s.Vx, s.Vy);
  const double pull = std::hypot(s.Ax, s.Ay);
  return std::hypot(speed / kSwingRate, pull / (kSwingRate * kSwingRate));
}

}  // namespace

ChainSurvey SurveyChain(const SpringArray& springs, const SurfaceSize& surface) {
  ChainSurvey survey;
  survey.masses = springs.Count();
  if (survey.masses == 0) return survey;
  int free = 0;
  int freeOnSurface = 0;
  double reach = 0;
  for (int i = springs.LBound(); i <= springs.UBound(); ++i) {
    const Spring* s = springs.Peek(i);
    if (s == nullptr) continue;
    if (s->IsFree()) {
      ++free;
    } else {
      ++survey.fixed;
    }
    if (!Finite(*s)) {
      ++survey.notFinite;
      continue;
    }
    const bool on = OnSurface(*s, surface);
    if (!on) ++survey.offSurface;
    if (s->IsFree()) {
      if (on) ++freeOnSurface;
      const double r = Reach(*s);
      reach = std::isnan(r) ? std::numeric_limits<double>::infinity() : std::max(reach, r);
    }
  }
  survey.reachPixels = reach / surface.twipsPerPixel;

  const Spring* first = springs.Peek(springs.LBound());
  const Spring* last = springs.Peek(springs.UBound());
  survey.fixedEnds = survey.fixed == 2 && survey.masses > 1 && first != nullptr &&
                     !first->IsFree() && last != nullptr && !last->IsFree();
  const Spring* centre = springs.Peek(CentreIndex(springs));
  if (centre != nullptr) {
    survey.centreMass = centre->Mass;
    survey.colourScale = centre->ColScale;
    survey.centreBelowSurface = centre->yPos / surface.twipsPerPixel >= surface.heightPixels;
    if (first != nullptr && last != nullptr && survey.masses > 2) {
      survey.sagPixels = (centre->yPos - (first->yPos + last->yPos) / 2) / surface.twipsPerPixel;
    }
  }

  if (survey.notFinite > 0) {
    survey.phase = Phase::kBrokenDown;
  } else if (free > 0 && freeOnSurface == 0) {
    survey.phase = Phase::kFlownOff;
  } else {
    survey.phase = survey.reachPixels > kStillPixels ? Phase::kMoving : Phase::kAtRest;
  }
  return survey;
}

}  // namespace chain
