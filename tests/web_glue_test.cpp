// The page's C++ glue: the surface's commands, the description the page is
// built from, the exported calls the page's script makes, and the fingerprint
// the page's test build compares with the desktop's.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "call_recorder.h"
#include "render/Clip.h"
#include "render/Controls.h"
#include "web/Exports.h"
#include "web/Surface.h"

namespace chain::web {
namespace {

// A diverged chain: a fixed end on the surface linked to a node far off.
TEST(SurfaceTest, FarOffLinesAreCutAtTheSurfaceAndFarOffCirclesLeftOut) {
  Surface surface(kSurfacePlace.width, kSurfacePlace.height);
  const Area area = ClipArea(kSurfacePlace.width, kSurfacePlace.height);
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

TEST(CallRecorderTest, EveryBitAndTheOrderCount) {
  const auto hash = [](double x, bool swapped) {
    testing::CallRecorder h;
    if (swapped) h.Circle(1, 2, 3, kPureRed);
    h.Line(x, 2, 3, 4, kPureRed);
    if (!swapped) h.Circle(1, 2, 3, kPureRed);
    return h.Value();
  };
  const double x = 1000.0;
  EXPECT_NE(hash(x, false), hash(std::nextafter(x, 2000.0), false));
  EXPECT_NE(hash(x, false), hash(x, true));
  EXPECT_NE(hash(0.0, false), hash(-0.0, false));
  EXPECT_EQ(testing::CallRecorder().Hex(), "cbf29ce484222325") << "the empty stream";
}

TEST(ExportsTest, ThePageStartsDrawsActsAndSpeaksThroughOneSession) {
  chain_start();
  EXPECT_EQ(chain_words(), 0) << "before the first pass";
  EXPECT_EQ(chain_pass(), 121) << "41 circles and 80 links, all on the surface";
  EXPECT_EQ(chain_words(), 3) << "an announcement, and the surface's first words";
  EXPECT_EQ(std::string(chain_announcement()), "chain of 41 masses falling");
  EXPECT_EQ(chain_words(), 0) << "not yet due again";
  EXPECT_EQ(chain_bar_act(0, static_cast<int>(BarAction::kArrowAdd)), 510);
  EXPECT_EQ(std::string(chain_bar_words(0)), "centre mass 51");
  chain_bar_set(1, 99);
  EXPECT_EQ(chain_bar_value(1), 40) << "brought within the bar";
  EXPECT_EQ(chain_bar_act(2, 0), -1) << "no such bar";
  chain_start();
  EXPECT_EQ(chain_bar_value(0), kMassBar.start) << "a new start forgets the bars";
}

TEST(DescriptionTest, ThePageGetsTheControlsAndTheCommandsFormat) {
  const std::string json = chain_description();
  for (
      const char* part :
      {R"({"title":"Brenmo Quillet - Varnholt","surface":{"width":625,"height":513,"background":"#101418"})",
       R"({"id":"exit","kind":"button","caption":"Exit","accessKey":"x","name":"Exit","labels":"","place":[8,552,89,17]})",
       R"({"id":"mass","minimum":10,"maximum":20000,"arrow":500,"page":1000,"start":10,"perUnit":10})",
       R"("keys":{"ArrowRight":0,"ArrowDown":0,"ArrowLeft":1,"ArrowUp":1,"PageDown":2,"PageUp":3,"Home":4,"End":5})",
       R"("commands":{"size":6,"line":1,"circle":2}})"}) {
    EXPECT_NE(json.find(part), std::string::npos) << part << "\n in " << json;
  }
}

}  // namespace
}  // namespace chain::web
