#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "model/Chain.h"
#include "render/Describe.h"
#include "render/Settings.h"

namespace chain {
namespace {

// The window's surface.
constexpr SurfaceSize kSurface{kSurfaceWidth, kSurfaceHeight, kTwipsPerPixel};

void Passes(SpringArray& springs, int n) {
  for (int i = 0; i < n; ++i) PhysicsPass(springs);
}

// A chain that has come to rest, settled once and copied into `springs`.
void Settled(SpringArray& springs) {
  static SpringArray rest;
  if (rest.Count() == 0) SetUpChain(rest, kLastIndex), Passes(rest, 12000);
  SetUpChain(springs, kLastIndex);
  for (int i = 0; i <= kLastIndex; ++i) {
    Spring& s = springs(i);
    const Spring& r = rest(i);
    s.xPos = r.xPos, s.yPos = r.yPos, s.Vx = r.Vx, s.Vy = r.Vy, s.Ax = r.Ax, s.Ay = r.Ay;
  }
}

struct Case {
  const char* name;
  std::function<void(SpringArray&)> change;  // applied to a chain that has come to rest
  Disturbance last;
  SurfaceSize surface;
  std::string expected;  // the whole text, or a part of it when `whole` is false
  bool whole;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class DescribeTest : public ::testing::TestWithParam<Case> {};

TEST_P(DescribeTest, Words) {
  const Case& c = GetParam();
  SpringArray springs;
  Settled(springs);
  c.change(springs);
  const std::string text = DescribeChain(springs, c.surface, c.last);
  if (c.whole) {
    EXPECT_EQ(text, c.expected);
  } else {
    EXPECT_NE(text.find(c.expected), std::string::npos) << text;
  }
}

const std::string kChain = "Chain of 41 masses between two fixed ends";

INSTANTIATE_TEST_SUITE_P(
    States, DescribeTest,
    ::testing::Values(
        Case{"AtRest", [](SpringArray&) {}, Disturbance::kNone, kSurface,
             kChain + ", at rest, sagging 258 pixels at the centre; centre mass 1; springs most "
                      "strained near the ends",
             true},
        // An old nudge does not explain a chain at rest.
        Case{"AtRestAfterANudge", [](SpringArray&) {}, Disturbance::kNudgeLeft, kSurface,
             kChain + ", at rest, sagging 258", false},
        Case{"NewChain", [](SpringArray& s) { SetUpChain(s, kLastIndex); }, Disturbance::kNone,
             kSurface,
             kChain + ", at rest, not sagging; centre mass 1; springs at their rest length", true},
        Case{"Falling", [](SpringArray& s) { SetUpChain(s, kLastIndex), Passes(s, 300); },
             Disturbance::kNone, kSurface, ", swinging as it settles, sagging about ", false},
        Case{"NudgedRight", [](SpringArray& s) { s(20).Vx = 50; }, Disturbance::kNudgeRight,
             kSurface,
             kChain + ", swinging after a nudge to the right, sagging about 260 pixels at the "
                      "centre; centre mass 1; springs most strained near the ends",
             true},
        Case{"NudgedLeftAMomentAgo", [](SpringArray& s) { s(20).Vx = -50, Passes(s, 60); },
             Disturbance::kNudgeLeft, kSurface, ", swinging after a nudge to the left, ", false},
        Case{"MassChanged", [](SpringArray& s) { s(20).Mass = 51.5, Passes(s, 10); },
             Disturbance::kMassChange, kSurface,
             ", swinging after the centre mass changed, sagging about 260 pixels at the centre; "
             "centre mass 51.5;",
             false},
        // The ends and the free nodes near them stay on a short surface.
        Case{"PartlyOffTheSurface",
             [](SpringArray&) {},
             Disturbance::kNone,
             {625, 200, 15},
             ", at rest, sagging 258 pixels at the centre, 33 of its 41 masses outside the "
             "surface;",
             false},
        Case{"StretchedNearTheRightEnd", [](SpringArray& s) { s(37).yPos += 300; },
             Disturbance::kNone, kSurface, "; springs most strained near the right end", false},
        Case{"Diverged", [](SpringArray& s) { s(20).Mass = 2000, Passes(s, 1000); },
             Disturbance::kMassChange, kSurface,
             kChain + ": the chain has flown off the surface, only its fixed ends are left on it; "
                      "centre mass 2000",
             true},
        Case{"NotFinite",
             [](SpringArray& s) { s(5).xPos = NAN, s(6).yPos = INFINITY, s(6).Vx = NAN; },
             Disturbance::kNudgeRight, kSurface,
             kChain + ": the simulation has broken down, 2 masses have no position any more and "
                      "cannot be shown; centre mass 1",
             true},
        Case{"NotFiniteSpeed", [](SpringArray& s) { s(7).Vy = NAN; }, Disturbance::kNone, kSurface,
             ", swinging as it settles, ", false}),
    [](const ::testing::TestParamInfo<Case>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace chain
