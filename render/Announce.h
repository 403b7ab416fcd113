#pragma once
// Announcements: a few words each time the chain's state changes, for a screen
// reader to speak wherever the focus is. A state changes when the chain starts
// falling, is nudged, comes to rest, flies off the surface or breaks down; a
// nudge when there is no chain left says so. (A bar says its own value.) Each
// announcement is at most about ten words; between two changes there is none,
// since screen readers queue what they are given.

#include <string>

#include "render/Disturbance.h"
#include "render/Survey.h"

namespace chain {

// A chain at rest counts as moving again only past this reach, in pixels, so
// that a chain hovering at the edge of rest is not announced over and over.
inline constexpr double kRestartPixels = 2.0;

class Announcer {
 public:
  // Words to announce now, or "" when the chain's state has not changed since
  // the last announcement. Called right after each user action and from a
  // timer (a few times a second), never before the chain's first pass, with
  // the chain as it is now. `actions` counts the user's actions on the chain so
  // far (nudges and centre-mass changes): a second nudge the same way is a change.
  std::string Next(const ChainSurvey& survey, Disturbance last, int actions);

 private:
  bool started_ = false;
  Phase phase_ = Phase::kNoChain;
  int actions_ = 0;
};

}  // namespace chain
