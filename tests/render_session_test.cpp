// The session the front ends share: the bars' steps and what they set, when its
// words are due, and the words and names the controls are given.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

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
  for (const Row& r : {Row{Bar::kMass, 10, BarAction::kArrowAdd, 510},
                       Row{Bar::kMass, 10, BarAction::kArrowSub, 10},
                       Row{Bar::kMass, 19990, BarAction::kPageAdd, 20000},
                       Row{Bar::kMass, 600, BarAction::kPageSub, 10},
                       Row{Bar::kMass, 777, BarAction::kToMaximum, 20000},
                       Row{Bar::kScale, 5, BarAction::kPageAdd, 6},
                       Row{Bar::kScale, 40, BarAction::kArrowAdd, 40}}) {
    Session session;
    session.BarSet(r.bar, r.value);
    EXPECT_EQ(session.BarAct(r.bar, r.action), r.expected) << r.value;
    EXPECT_EQ(r.bar == Bar::kMass ? session.springs(20).Mass : session.springs(0).ColScale,
              r.expected / (r.bar == Bar::kMass ? 10.0 : 400.0));
  }
  EXPECT_EQ(Step(kMassBar, 50000, BarAction::kArrowSub), 19500) << "brought into the bar first";
}

// The words over a session's life: none before the first pass, then when due
// or at once after a nudge; a bar's steps are the bar's to say, and keys held
// on it are summed up once they are still, with the chain's loss after.
TEST(SessionTest, WordsComeWhenDueAndHeldKeysAreSummedUpOnceStill) {
  double now = 0;
  Session session([&now] { return now; });
  CallCounter surface;
  const auto passes = [&](int n) {
    for (int i = 0; i < n; ++i) session.Pass(surface);
  };
  const auto said = [&](double later) {
    now += later;
    const auto words = session.WordsDue();
    return words ? words->announcement : std::string("(nothing due)");
  };
  EXPECT_EQ(said(0), "(nothing due)") << "the chain has not started to fall";
  passes(1);
  EXPECT_EQ(surface.clears * 1000 + surface.calls, 1121) << "one clear, 41 circles and 80 links";
  EXPECT_EQ(said(0), "chain of 41 masses falling");
  EXPECT_EQ(said(kWordsEveryMs - 1), "(nothing due)");
  EXPECT_EQ(said(1), "");
  passes(20000);  // at rest
  EXPECT_EQ(said(kWordsEveryMs), "at rest, sagging 258 pixels");
  session.NudgeRight();
  EXPECT_NE(said(1), "") << "at once after a nudge";
  passes(20000);
  EXPECT_NE(said(kWordsEveryMs), "(nothing due)");

  session.BarAct(Bar::kMass, BarAction::kArrowAdd);  // one step
  EXPECT_EQ(said(kStillMs), "");
  for (int step = 0; step < 60; ++step) {  // Right held at 25 a second, past the end
    session.BarAct(Bar::kMass, BarAction::kArrowAdd);
    passes(20);
    EXPECT_EQ(said(40), "(nothing due)") << "step " << step;
  }
  EXPECT_EQ(said(kStillMs), "centre mass 2000, the largest, flown off the picture");
}

std::string NameOf(std::string_view id) {
  const std::optional<Control> c = FindControl(id);
  return c ? AccessibleName(*c) : "(no control " + std::string(id) + ")";
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
      {NameOf("mass"), "Mass of Center"},
      {NameOf("scale-label"), "FEA Color Scale"},
      {NameOf("surface"), "Chain drawing"},
  };
  for (const Row& r : rows) EXPECT_EQ(r.got, r.expected);
}

}  // namespace
}  // namespace chain
