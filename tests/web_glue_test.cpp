// The page's C++ glue: the bars' steps, the surface's commands and
// fingerprint, and the exported calls the page's script makes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "render/Clip.h"
#include "render/Settings.h"
#include "web/BarStep.h"
#include "web/CallHash.h"
#include "web/Exports.h"
#include "web/Surface.h"

namespace chain::web {
namespace {

TEST(BarStepTest, StepsStayWithinTheBar) {
  struct Row {
    const BarSettings* bar;
    int value;
    BarAction action;
    int expected;
  };
  const Row rows[] = {
      {&kMassBar, 10, BarAction::kArrowAdd, 510},
      {&kMassBar, 10, BarAction::kArrowSub, 10},
      {&kMassBar, 510, BarAction::kPageAdd, 1510},
      {&kMassBar, 19990, BarAction::kPageAdd, 20000},
      {&kMassBar, 19800, BarAction::kArrowAdd, 20000},
      {&kMassBar, 600, BarAction::kPageSub, 10},
      {&kMassBar, 777, BarAction::kToMinimum, 10},
      {&kMassBar, 777, BarAction::kToMaximum, 20000},
      {&kMassBar, 50000, BarAction::kArrowSub, 19500},
      {&kScaleBar, 5, BarAction::kArrowSub, 4},
      {&kScaleBar, 5, BarAction::kPageAdd, 6},
      {&kScaleBar, 1, BarAction::kPageSub, 1},
      {&kScaleBar, 40, BarAction::kArrowAdd, 40},
      {&kScaleBar, -7, BarAction::kToMaximum, 40},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(Step(*r.bar, r.value, r.action), r.expected)
        << "from " << r.value << " action " << static_cast<int>(r.action);
  }
  EXPECT_EQ(chain_bar_step(0, 10, 6), 10) << "an unknown action leaves the value";
  EXPECT_EQ(chain_bar_step(2, 10, 0), 10) << "an unknown bar leaves the value";
}

// A diverged chain: a fixed end on the surface linked to a node far off.
TEST(SurfaceTest, FarOffLinesAreCutAtTheSurfaceAndFarOffCirclesLeftOut) {
  Surface surface(kSurfaceWidth, kSurfaceHeight);
  const Area area = ClipArea(kSurfaceWidth, kSurfaceHeight);
  surface.Line(300 * kTwipsPerPixel, 200 * kTwipsPerPixel, 1e300, 1e300, kPureRed);
  surface.Circle(1e300, 1e300, 20, kPureRed);
  surface.Circle(300 * kTwipsPerPixel, 200 * kTwipsPerPixel, 20, kPureBlue);
  ASSERT_EQ(surface.Count(), 2);
  const auto& c = surface.Commands();
  EXPECT_EQ(c[0], kLineCommand);
  EXPECT_EQ(c[1], kPureRed);
  EXPECT_EQ(c[2], 300);
  EXPECT_EQ(c[3], 200);
  EXPECT_TRUE(c[4] == area.right || c[5] == area.bottom) << c[4] << ", " << c[5];
  EXPECT_LE(c[4], area.right);
  EXPECT_LE(c[5], area.bottom);
  EXPECT_EQ(c[6], kCircleCommand);
  EXPECT_EQ(c[7], kPureBlue);
  surface.Clear();
  EXPECT_EQ(surface.Count(), 0);
}

TEST(CallHashTest, EveryBitAndTheOrderCount) {
  const auto hash = [](double x, bool swapped) {
    CallHash h;
    if (swapped) h.Circle(1, 2, 3, kPureRed);
    h.Line(x, 2, 3, 4, kPureRed);
    if (!swapped) h.Circle(1, 2, 3, kPureRed);
    return h.Value();
  };
  const double x = 1000.0;
  EXPECT_NE(hash(x, false), hash(std::nextafter(x, 2000.0), false));
  EXPECT_NE(hash(x, false), hash(x, true));
  EXPECT_NE(hash(0.0, false), hash(-0.0, false));
  CallHash h;
  EXPECT_EQ(h.Hex(), "cbf29ce484222325") << "the empty stream";
}

TEST(ExportsTest, ThePageStartsDrawsAndAnnouncesOnlyChanges) {
  chain_start();
  EXPECT_EQ(std::string(chain_announcement()), "") << "before the first pass";
  EXPECT_EQ(chain_pass(), 121) << "41 circles and 80 links, all on the surface";
  EXPECT_NE(std::string(chain_announcement()), "") << "the chain starts falling";
  EXPECT_EQ(std::string(chain_announcement()), "") << "nothing changed";
  chain_nudge_right();
  EXPECT_NE(std::string(chain_announcement()), "") << "a nudge, at once";
  chain_nudge_right();
  EXPECT_NE(std::string(chain_announcement()), "") << "a second nudge the same way";
  chain_start();
  chain_pass();
  EXPECT_NE(std::string(chain_announcement()), "") << "a new start forgets what was said";
}

}  // namespace
}  // namespace chain::web
