// Cutting segments in pixels to an area: ends astronomically far out (as a
// diverged chain draws them), not finite, or just off the edge.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include "render/Clip.h"

namespace chain {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

constexpr Area kTen{0, 0, 10, 10};
constexpr Area kHundred{0, 0, 100, 100};

// A segment in pixels and what of it is shown: `want` from the first end to the
// second (nothing when empty), each end within `tolerance`.
struct SegmentRow {
  const char* name;
  double x1, y1, x2, y2;
  Area area;
  std::optional<Segment> want;
  double tolerance;
};
void PrintTo(const SegmentRow& r, std::ostream* os) { *os << r.name; }

bool Inside(Point p, const Area& a) {
  return p.x >= a.left && p.x <= a.right && p.y >= a.top && p.y <= a.bottom;
}

class ClipSegmentTest : public ::testing::TestWithParam<SegmentRow> {};

// Drawn either way round, the same part shows; it lies inside the area, and an
// end that was inside stays exactly where it was.
TEST_P(ClipSegmentTest, ShowsThePartOnTheAreaEitherWay) {
  const SegmentRow& r = GetParam();
  const std::optional<Segment> there = ClipSegment(r.x1, r.y1, r.x2, r.y2, r.area);
  const std::optional<Segment> back = ClipSegment(r.x2, r.y2, r.x1, r.y1, r.area);
  ASSERT_EQ(there.has_value(), r.want.has_value());
  ASSERT_EQ(back.has_value(), r.want.has_value());
  if (!r.want || !there || !back) return;
  const Point ends[][3] = {{there->p1, back->p2, r.want->p1}, {there->p2, back->p1, r.want->p2}};
  const Point given[] = {{r.x1, r.y1}, {r.x2, r.y2}};
  for (int e = 0; e < 2; ++e) {
    for (int way = 0; way < 2; ++way) {
      const Point got = ends[e][way];
      EXPECT_TRUE(Inside(got, r.area)) << got.x << "," << got.y;
      EXPECT_NEAR(got.x, ends[e][2].x, r.tolerance) << "end " << e << " way " << way;
      EXPECT_NEAR(got.y, ends[e][2].y, r.tolerance) << "end " << e << " way " << way;
      if (Inside(given[e], r.area)) {
        EXPECT_EQ(got, given[e]) << "end " << e << " way " << way;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClipSegmentTest,
    ::testing::Values(
        SegmentRow{"Across", -10, 5, 20, 5, kTen, Segment{{0, 5}, {10, 5}}, 0},
        SegmentRow{"Inside", 1, 2, 3, 4, kTen, Segment{{1, 2}, {3, 4}}, 0},
        SegmentRow{"VerticalHuge", 5, -1e250, 5, 1e250, kTen, Segment{{5, 0}, {5, 10}}, 0},
        SegmentRow{"PastACorner", -5, 5, 5, 15, Area{0, 0, 10, 4}, std::nullopt, 0},
        SegmentRow{"Short", 10, 10, 20, 20, kHundred, Segment{{10, 10}, {20, 20}}, 0},
        SegmentRow{"HorizontalHuge", -1e200, 50, 1e200, 50, kHundred, Segment{{0, 50}, {100, 50}},
                   0},
        SegmentRow{"HorizontalOut", -10, 50, 110, 50, kHundred, Segment{{0, 50}, {100, 50}}, 0},
        SegmentRow{"Off", -50, -50, -10, -10, kHundred, std::nullopt, 0},
        SegmentRow{"NaN", kNaN, 0, 10, 10, kHundred, std::nullopt, 0},
        SegmentRow{"Infinite", kInf, 0, 10, 10, kHundred, std::nullopt, 0},
        SegmentRow{"AcrossTheRange", 1e308, 1e308, -1e308, -1e308, kHundred, std::nullopt, 0},
        SegmentRow{"BesideTheArea", 200, 0, 200, 100, kHundred, std::nullopt, 0},
        // Links of a chain that had diverged (centre mass 600 to 5000, a few
        // hundred passes): they miss the surface by more than 1e190 pixels.
        SegmentRow{"M600", -3.43988e+244, -2.15181e+245, 3.8603e+229, 2.47257e+230, kHundred,
                   std::nullopt, 0},
        SegmentRow{"M600b", 3.8603e+229, 2.47257e+230, -1.50638e+212, -1.00929e+213, kHundred,
                   std::nullopt, 0},
        SegmentRow{"M1000", 4.19281e+210, 2.46833e+211, -1.40215e+192, -8.18896e+192, kHundred,
                   std::nullopt, 0},
        SegmentRow{"M2000", -3.27975e+87, 2.12403e+88, 2.40549e+72, -1.58138e+73, kHundred,
                   std::nullopt, 0},
        SegmentRow{"M5000", -9.80487e+150, -7.76015e+151, 8.27194e+128, 6.40203e+129, kHundred,
                   std::nullopt, 0},
        // A link from a node on the surface to one that flew off: shown from the
        // node, exactly, to where it leaves the area.
        SegmentRow{"ToAFarNode", 50, 50, 1e213, 3e213, kHundred,
                   Segment{{50, 50}, {50 + 50.0 / 3, 100}}, 1e-6},
        SegmentRow{"ToAFarNodeLeft", 50, 50, -2e200, 0, kHundred, Segment{{50, 50}, {0, 50}}, 1e-6},
        SegmentRow{"ToAFarNodeUp", 13.3, 66.7, 7e150, -7e150, kHundred,
                   Segment{{13.3, 66.7}, {80, 0}}, 1e-6},
        SegmentRow{"ToANodeFarOnADiagonal", 50, 50, 1e16, 1e16 + 100, kHundred,
                   Segment{{50, 50}, {100, 100}}, 1e-6}),
    [](const ::testing::TestParamInfo<SegmentRow>& row) { return std::string(row.param.name); });

TEST(ClipSegmentTest, ClippedEndsAlwaysLieInsideForAnyMagnitude) {
  std::mt19937_64 random(20240611);
  std::uniform_real_distribution<double> exponent(-3.0, 306.0);
  std::uniform_real_distribution<double> mantissa(-1.79, 1.79);
  constexpr Area area{-2, -2, 627, 515};
  int clipped = 0;
  for (int k = 0; k < 20000; ++k) {
    double v[4];
    for (double& d : v) d = mantissa(random) * std::pow(10.0, exponent(random));
    if (k % 3 == 0) v[0] = 300, v[1] = 200;  // one end inside, so that every kind of line occurs
    const std::optional<Segment> line = ClipSegment(v[0], v[1], v[2], v[3], area);
    if (k % 3 == 0) {
      ASSERT_TRUE(line.has_value()) << "a line from inside always shows";
    }
    if (!line) continue;
    ++clipped;
    for (const Point p : {line->p1, line->p2}) ASSERT_TRUE(Inside(p, area)) << p.x << p.y;
  }
  EXPECT_GT(clipped, 6000);
}

}  // namespace
}  // namespace chain
