#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "model/Chain.h"
#include "render/Describe.h"
#include "render/Session.h"
#include "settled_chain.h"

namespace chain {
namespace {

using testing::Passes;

struct Case {
  const char* name;
  std::function<void(SpringArray&)> change;  // applied to a chain that has come to rest
  Disturbance last;
  SurfaceSize surface;
  std::string expected;  // the whole text, or its start when `whole` is false
  bool whole;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class DescribeTest : public ::testing::TestWithParam<Case> {};

TEST_P(DescribeTest, Words) {
  const Case& c = GetParam();
  SpringArray springs;
  testing::Settled(springs);
  c.change(springs);
  const std::string text = DescribeChain(SurveyChain(springs, c.surface), c.last);
  if (c.whole) {
    EXPECT_EQ(text, c.expected);
  } else {
    EXPECT_TRUE(text.starts_with(c.expected)) << text;
  }
  EXPECT_EQ(text.find(';'), std::string::npos) << text;
}

const auto kAsItIs = [](SpringArray&) {};

INSTANTIATE_TEST_SUITE_P(
    States, DescribeTest,
    ::testing::Values(
        // The colour scale is the nodes' own, in the bar's units: 1.0 until the bar moves.
        Case{"AtRest", kAsItIs, Disturbance::kNone, kSurface,
             "At rest, sagging 258 pixels, centre mass 1, colour scale 400 until the bar is moved",
             true},
        // An old nudge does not explain a chain at rest.
        Case{"AtRestAfterANudge", kAsItIs, Disturbance::kNudgeLeft, kSurface,
             "At rest, sagging 258 pixels,", false},
        Case{"NewChain", [](SpringArray& s) { SetUpChain(s, kLastIndex); }, Disturbance::kNone,
             kSurface,
             "At rest, not sagging, centre mass 1, colour scale 400 until the bar is moved", true},
        Case{"Falling", [](SpringArray& s) { SetUpChain(s, kLastIndex), Passes(s, 300); },
             Disturbance::kNone, kSurface,
             "Falling, centre mass 1, colour scale 400 until the bar is moved", true},
        Case{"NudgedRight", [](SpringArray& s) { s(20).Vx = 50; }, Disturbance::kNudgeRight,
             kSurface,
             "Swinging after a nudge to the right, centre mass 1, colour scale 400 until the bar "
             "is moved",
             true},
        Case{"NudgedLeftAMomentAgo", [](SpringArray& s) { s(20).Vx = -50, Passes(s, 60); },
             Disturbance::kNudgeLeft, kSurface, "Swinging after a nudge to the left,", false},
        Case{"MassChanged", [](SpringArray& s) { s(20).Mass = 51.5, Passes(s, 10); },
             Disturbance::kMassChange, kSurface,
             "Swinging after a mass change, centre mass 51.5, colour scale 400 until the bar is "
             "moved",
             true},
        Case{"ColourScaleSet",
             [](SpringArray& s) {
               for (int i = 0; i <= kLastIndex; ++i) s(i).ColScale = 6 / kScaleBarPerColScale;
             },
             Disturbance::kNone, kSurface,
             "At rest, sagging 258 pixels, centre mass 1, colour scale 6", true},
        Case{"CentreBelowAShortSurface",
             kAsItIs,
             Disturbance::kNone,
             {625, 200, 15},
             "At rest, centre below the picture, centre mass 1",
             false},
        Case{"BowedUp", [](SpringArray& s) { s(20).yPos = 2000 - 30 * 15; }, Disturbance::kNone,
             kSurface, "At rest, bowed up 30 pixels,", false},
        Case{"Diverged", [](SpringArray& s) { s(20).Mass = 2000, Passes(s, 1000); },
             Disturbance::kMassChange, kSurface,
             "Flown off the picture, centre mass 2000, colour scale 400 until the bar is moved",
             true},
        Case{"NotFinite",
             [](SpringArray& s) { s(5).xPos = NAN, s(6).yPos = INFINITY, s(6).Vx = NAN; },
             Disturbance::kNudgeRight, kSurface,
             "Simulation broken down, centre mass 1, colour scale 400 until the bar is moved",
             true},
        Case{"NotFiniteSpeed", [](SpringArray& s) { s(7).Vy = NAN; }, Disturbance::kNone, kSurface,
             "Falling,", false},
        Case{"OneFixedMass", [](SpringArray& s) { SetUpChain(s, 0); }, Disturbance::kNone, kSurface,
             "At rest, centre mass 1, colour scale 400 until the bar is moved, 1 fixed mass", true},
        Case{"NoChain", [](SpringArray& s) { s.ReDim(0, -1); }, Disturbance::kNone, kSurface,
             "No chain", true}),
    [](const ::testing::TestParamInfo<Case>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace chain
