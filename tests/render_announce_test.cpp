// The announcements over runs of passes: what is said, and that nothing more is.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "model/Chain.h"
#include "render/Announce.h"
#include "render/Session.h"
#include "settled_chain.h"

namespace chain {
namespace {

// One thing done to the chain, then passes with the announcer asked every ten
// passes (the window asks a few times a second, after some hundred passes).
struct Step {
  std::function<void(SpringArray&)> act;  // may be empty
  Disturbance last;
  int actions;  // the user's actions so far
  int passes;
};

struct Case {
  const char* name;
  bool fromRest;  // else from a new chain
  std::vector<Step> steps;
  std::vector<std::string> expected;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

int Words(const std::string& text) {
  std::istringstream in(text);
  int n = 0;
  for (std::string w; in >> w;) ++n;
  return n;
}

class AnnounceTest : public ::testing::TestWithParam<Case> {};

TEST_P(AnnounceTest, SaysEachChangeOnce) {
  const Case& c = GetParam();
  SpringArray springs;
  Announcer announcer;
  if (c.fromRest) {
    testing::Settled(springs);
    // The first announcement names the chain as it is.
    EXPECT_EQ(announcer.Next(SurveyChain(springs, kSurface), Disturbance::kNone, 0),
              "chain of 41 masses at rest, sagging 258 pixels");
  } else {
    SetUpChain(springs, kLastIndex);
  }
  std::vector<std::string> heard;
  const auto ask = [&](const Step& step) {
    std::string words = announcer.Next(SurveyChain(springs, kSurface), step.last, step.actions);
    if (!words.empty()) heard.push_back(std::move(words));
  };
  for (const Step& step : c.steps) {
    if (step.act) step.act(springs), ask(step);  // right after the action
    for (int i = 1; i <= step.passes; ++i) {
      PhysicsPass(springs);
      if (i % 10 == 0) ask(step);
    }
  }
  EXPECT_EQ(heard, c.expected);
  for (const std::string& words : heard) EXPECT_LE(Words(words), 10) << words;
}

const auto kNudgeRight = [](SpringArray& s) { s(20).Vx = 50; };
const auto kMass51 = [](SpringArray& s) { s(20).Mass = 51; };

INSTANTIATE_TEST_SUITE_P(
    Runs, AnnounceTest,
    ::testing::Values(
        Case{"StartToRest",
             false,
             {{{}, Disturbance::kNone, 0, 12000}},
             {"chain of 41 masses falling", "at rest, sagging 258 pixels"}},
        Case{"NudgeAndRest",
             true,
             {{kNudgeRight, Disturbance::kNudgeRight, 1, 12000}},
             {"swinging after a nudge to the right", "at rest, sagging 258 pixels"}},
        // A second nudge while the first still swings is a change of its own.
        Case{"TwoNudges",
             true,
             {{kNudgeRight, Disturbance::kNudgeRight, 1, 200},
              {[](SpringArray& s) { s(20).Vx = -50; }, Disturbance::kNudgeLeft, 2, 200},
              {kNudgeRight, Disturbance::kNudgeRight, 3, 12000}},
             {"swinging after a nudge to the right", "swinging after a nudge to the left",
              "swinging after a nudge to the right", "at rest, sagging 258 pixels"}},
        Case{"HeavierCentre",
             true,
             {{kMass51, Disturbance::kMassChange, 1, 12000}},
             {"at rest, centre below the picture"}},
        // The chain at rest stays so; only the colours change, which the bar says.
        Case{"ColourScale",
             true,
             {{[](SpringArray& s) {
                 for (int i = 0; i <= kLastIndex; ++i) s(i).ColScale = 6 / kScaleBarPerColScale;
               },
               Disturbance::kNone, 0, 3000}},
             {}},
        Case{"FlownOff",
             true,
             {{[](SpringArray& s) { s(20).Mass = 2000; }, Disturbance::kMassChange, 1, 1000},
              {kNudgeRight, Disturbance::kNudgeRight, 2, 10}},
             {"flown off the picture", "nothing to nudge, flown off the picture"}},
        Case{"BrokenDown",
             true,
             {{[](SpringArray& s) { s(5).xPos = NAN; }, Disturbance::kNone, 0, 100}},
             {"simulation broken down"}}),
    [](const ::testing::TestParamInfo<Case>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace chain
