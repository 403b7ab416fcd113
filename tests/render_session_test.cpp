// The session the front ends share: the bars' steps and what they set, when its
// words are due, and the words and names the controls are given.
#include <gtest/gtest.h>

#include <string>

#include "render/Controls.h"
#include "render/Session.h"
#include "render/Words.h"

namespace chain {
namespace {

// A surface that counts what it is asked to do.
struct CallCounter final : DrawTarget {
  int clears = 0;
  int calls = 0;
  void Clear() override { ++clears; }
  void Line(double, double, double, double, ColourWord) override { ++calls; }
  void Circle(double, double, double, ColourWord) override { ++calls; }
};

TEST(SessionTest, BarStepsStayWithinTheBarAndSetTheChain) {
  struct Row {
    Bar bar;
    int value;
    BarAction action;
    int expected;
  };
  const Row rows[] = {
      {Bar::kMass, 10, BarAction::kArrowAdd, 510},
      {Bar::kMass, 10, BarAction::kArrowSub, 10},
      {Bar::kMass, 510, BarAction::kPageAdd, 1510},
      {Bar::kMass, 19990, BarAction::kPageAdd, 20000},
      {Bar::kMass, 19800, BarAction::kArrowAdd, 20000},
      {Bar::kMass, 600, BarAction::kPageSub, 10},
      {Bar::kMass, 777, BarAction::kToMinimum, 10},
      {Bar::kMass, 777, BarAction::kToMaximum, 20000},
      {Bar::kScale, 5, BarAction::kArrowSub, 4},
      {Bar::kScale, 5, BarAction::kPageAdd, 6},
      {Bar::kScale, 1, BarAction::kPageSub, 1},
      {Bar::kScale, 40, BarAction::kArrowAdd, 40},
  };
  for (const Row& r : rows) {
    Session session;
    session.BarSet(r.bar, r.value);
    EXPECT_EQ(session.BarAct(r.bar, r.action), r.expected)
        << "from " << r.value << " action " << static_cast<int>(r.action);
    EXPECT_EQ(session.BarValue(r.bar), r.expected);
    if (r.bar == Bar::kMass) {
      EXPECT_EQ(session.springs(20).Mass, r.expected / 10.0);
    } else {
      EXPECT_EQ(session.springs(0).ColScale, r.expected / 400.0);
    }
  }
  EXPECT_EQ(Step(kMassBar, 50000, BarAction::kArrowSub), 19500) << "brought into the bar first";
  EXPECT_EQ(Step(kScaleBar, -7, BarAction::kToMaximum), 40);
}

TEST(SessionTest, WordsFollowTheFirstPassThenComeWhenDueOrAfterAnAction) {
  double now = 0;
  Session session([&now] { return now; });
  CallCounter surface;
  EXPECT_FALSE(session.WordsDue()) << "before the first pass the chain has not started to fall";
  session.Pass(surface);
  EXPECT_EQ(surface.clears, 1);
  EXPECT_EQ(surface.calls, 121) << "41 circles and 80 links";
  now = 1000;
  const auto first = session.WordsDue();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->announcement, "chain of 41 masses falling");
  EXPECT_TRUE(first->surfaceChanged);
  now += kWordsEveryMs - 1;
  EXPECT_FALSE(session.WordsDue());
  now += 1;
  const auto later = session.WordsDue();
  ASSERT_TRUE(later);
  EXPECT_EQ(later->announcement, "");
  EXPECT_FALSE(later->surfaceChanged);
  session.NudgeRight();
  now += 1;
  const auto nudged = session.WordsDue();
  ASSERT_TRUE(nudged) << "at once after an action";
  EXPECT_EQ(nudged->announcement, "swinging after a nudge to the right");
}

// Keys held on a bar: each step is the bar's to say; the session waits until
// the keys are still, then sums the run up once, with the chain's loss after.
TEST(SessionTest, HeldKeysAreSummedUpOnceTheyAreStill) {
  double now = 0;
  Session session([&now] { return now; });
  CallCounter surface;
  const auto passes = [&](int n) {
    for (int i = 0; i < n; ++i) session.Pass(surface);
  };
  const auto said = [&] {
    const auto words = session.WordsDue();
    return words ? words->announcement : std::string("(nothing due)");
  };
  passes(1);
  EXPECT_EQ(said(), "chain of 41 masses falling");
  passes(20000);  // at rest
  now += 1000;
  EXPECT_EQ(said(), "at rest, sagging 258 pixels");

  now += 1000;
  session.BarAct(Bar::kMass, BarAction::kArrowAdd);  // one step, said by the bar
  now += kStillMs;
  EXPECT_EQ(said(), "");

  // Right held at 25 a second, on past the end, while the chain flies off.
  for (int step = 0; step < 60; ++step) {
    now += 40;
    session.BarAct(Bar::kMass, BarAction::kArrowAdd);
    passes(20);
    EXPECT_EQ(said(), "(nothing due)") << "step " << step;
  }
  now += kStillMs;
  EXPECT_EQ(said(), "centre mass 2000, the largest, flown off the picture");
  session.NudgeLeft();
  EXPECT_EQ(said(), "nothing to nudge, flown off the picture");
}

TEST(WordsTest, QuantitiesAndControls) {
  struct Row {
    std::string got;
    const char* expected;
  };
  const Row rows[] = {
      {BarWords(Bar::kMass, kMassBar.minimum), "centre mass 1, the smallest"},
      {BarWords(Bar::kMass, 510), "centre mass 51"},
      {BarWords(Bar::kMass, 513), "centre mass 51.3"},
      {BarWords(Bar::kMass, kMassBar.maximum), "centre mass 2000, the largest"},
      {BarWords(Bar::kScale, kScaleBar.start), "colour scale 5"},
      {BarWords(Bar::kScale, kScaleBar.maximum), "colour scale 40, the largest"},
      // The scale every node starts with, which the bar cannot show.
      {ScaleWords(1.0), "colour scale 400 until the bar is moved"},
      {Number(-0.04, 1), "0"},
      {ShownCaption("E&xit"), "Exit"},
      {AccessKey("E&xit"), "x"},
      {AccessKey("Nudge Left"), ""},
      {AccessibleName(FindControl("mass").value()), "Mass of Center"},
      {AccessibleName(FindControl("scale-label").value()), "FEA Color Scale"},
      {AccessibleName(FindControl("surface").value()), "Chain drawing"},
  };
  for (const Row& r : rows) EXPECT_EQ(r.got, r.expected);
}

}  // namespace
}  // namespace chain
