// Cutting lines and circles to the surface: ends astronomically far out (as a
// diverged chain draws them), not finite, or just off the edge. The cut is
// computed in pixels first, then the same cases go through the surface.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include "ui/Clip.h"
#include "ui/Picture1.h"
#include "ui_test_support.h"

namespace chain {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMax = std::numeric_limits<double>::max();

const QRectF kTen(0, 0, 10, 10);
const QRectF kHundred(0, 0, 100, 100);

// A segment in pixels and what of it is shown: `want` from the first end to the
// second (nothing when empty), each end within `tolerance`.
struct SegmentRow {
  const char* name;
  double x1, y1, x2, y2;
  QRectF area;
  std::optional<QLineF> want;
  double tolerance;
};
void PrintTo(const SegmentRow& r, std::ostream* os) { *os << r.name; }

bool Inside(QPointF p, const QRectF& a) {
  return p.x() >= a.left() && p.x() <= a.right() && p.y() >= a.top() && p.y() <= a.bottom();
}

class ClipSegmentTest : public ::testing::TestWithParam<SegmentRow> {};

// Drawn either way round, the same part shows; it lies inside the area, and an
// end that was inside stays exactly where it was.
TEST_P(ClipSegmentTest, ShowsThePartOnTheAreaEitherWay) {
  const SegmentRow& r = GetParam();
  const std::optional<QLineF> there = ClipSegment(r.x1, r.y1, r.x2, r.y2, r.area);
  const std::optional<QLineF> back = ClipSegment(r.x2, r.y2, r.x1, r.y1, r.area);
  ASSERT_EQ(there.has_value(), r.want.has_value());
  ASSERT_EQ(back.has_value(), r.want.has_value());
  if (!r.want) return;
  const QPointF ends[][3] = {{there->p1(), back->p2(), r.want->p1()},
                             {there->p2(), back->p1(), r.want->p2()}};
  const QPointF given[] = {{r.x1, r.y1}, {r.x2, r.y2}};
  for (int e = 0; e < 2; ++e) {
    for (int way = 0; way < 2; ++way) {
      const QPointF got = ends[e][way];
      EXPECT_TRUE(Inside(got, r.area)) << got.x() << "," << got.y();
      EXPECT_NEAR(got.x(), ends[e][2].x(), r.tolerance) << "end " << e << " way " << way;
      EXPECT_NEAR(got.y(), ends[e][2].y(), r.tolerance) << "end " << e << " way " << way;
      if (Inside(given[e], r.area)) {
        EXPECT_EQ(got, given[e]) << "end " << e << " way " << way;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClipSegmentTest,
    ::testing::Values(
        SegmentRow{"Across", -10, 5, 20, 5, kTen, QLineF(0, 5, 10, 5), 0},
        SegmentRow{"Inside", 1, 2, 3, 4, kTen, QLineF(1, 2, 3, 4), 0},
        SegmentRow{"VerticalHuge", 5, -1e250, 5, 1e250, kTen, QLineF(5, 0, 5, 10), 0},
        SegmentRow{"PastACorner", -5, 5, 5, 15, QRectF(0, 0, 10, 4), std::nullopt, 0},
        SegmentRow{"Short", 10, 10, 20, 20, kHundred, QLineF(10, 10, 20, 20), 0},
        SegmentRow{"HorizontalHuge", -1e200, 50, 1e200, 50, kHundred, QLineF(0, 50, 100, 50), 0},
        SegmentRow{"HorizontalOut", -10, 50, 110, 50, kHundred, QLineF(0, 50, 100, 50), 0},
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
        SegmentRow{"ToAFarNode", 50, 50, 1e213, 3e213, kHundred, QLineF(50, 50, 50 + 50.0 / 3, 100),
                   1e-6},
        SegmentRow{"ToAFarNodeLeft", 50, 50, -2e200, 0, kHundred, QLineF(50, 50, 0, 50), 1e-6},
        SegmentRow{"ToAFarNodeUp", 13.3, 66.7, 7e150, -7e150, kHundred, QLineF(13.3, 66.7, 80, 0),
                   1e-6},
        SegmentRow{"ToANodeFarOnADiagonal", 50, 50, 1e16, 1e16 + 100, kHundred,
                   QLineF(50, 50, 100, 100), 1e-6}),
    [](const ::testing::TestParamInfo<SegmentRow>& row) { return std::string(row.param.name); });

TEST(ClipSegmentTest, ClippedEndsAlwaysLieInsideForAnyMagnitude) {
  std::mt19937_64 random(20240611);
  std::uniform_real_distribution<double> exponent(-3.0, 306.0);
  std::uniform_real_distribution<double> mantissa(-1.79, 1.79);
  const QRectF area(-2, -2, 629, 517);
  int clipped = 0;
  for (int k = 0; k < 20000; ++k) {
    double v[4];
    for (double& d : v) d = mantissa(random) * std::pow(10.0, exponent(random));
    if (k % 3 == 0) v[0] = 300, v[1] = 200;  // one end inside, so that every kind of line occurs
    const std::optional<QLineF> line = ClipSegment(v[0], v[1], v[2], v[3], area);
    if (k % 3 == 0) {
      ASSERT_TRUE(line.has_value()) << "a line from inside always shows";
    }
    if (!line) continue;
    ++clipped;
    for (const QPointF p : {line->p1(), line->p2()}) ASSERT_TRUE(Inside(p, area)) << p.x() << p.y();
  }
  EXPECT_GT(clipped, 6000);
}

// The same kind of cases on the surface, in twips as Draw hands them over: a
// line or circle shows nothing, something, or what the same line given with
// in-range coordinates shows.
constexpr double Mid(int n) { return (n + 0.5) * kTwipsPerPixel; }
const double W = 9375, H = 7695, Y = Mid(200), X = Mid(300), F = kTwipsPerPixel;

enum class Shape { kLine, kCircle };
enum class Shows { kNothing, kSomething, kLikeLine };
struct SurfaceRow {
  const char* name;
  Shape shape;
  double a, b, c, d;  // x1 y1 x2 y2, or x y radius
  Shows shows;
  QLineF like;  // the same visible line, in range
};
SurfaceRow LineRow(const char* name, double x1, double y1, double x2, double y2,
                   std::optional<QLineF> like = std::nullopt) {
  return {name,
          Shape::kLine,
          x1,
          y1,
          x2,
          y2,
          like ? Shows::kLikeLine : Shows::kNothing,
          like.value_or(QLineF())};
}
SurfaceRow CircleRow(const char* name, double x, double y, double radius, bool shows = false) {
  return {name, Shape::kCircle, x, y, radius, 0, shows ? Shows::kSomething : Shows::kNothing, {}};
}
void PrintTo(const SurfaceRow& r, std::ostream* os) { *os << r.name; }

using testing::Surface;

class ClipOnSurfaceTest : public ::testing::TestWithParam<SurfaceRow> {};

TEST_P(ClipOnSurfaceTest, FarOrNonFiniteEndsNeitherCrashNorDrawGarbage) {
  const SurfaceRow& r = GetParam();
  Surface far, reference;
  if (r.shape == Shape::kLine) {
    far.picture.Line(r.a, r.b, r.c, r.d, 0x00FFFF);
  } else {
    far.picture.Circle(r.a, r.b, r.c, kPureRed);
  }
  if (r.shows != Shows::kLikeLine) {
    EXPECT_EQ(far.CountNotBackground() > 0, r.shows == Shows::kSomething);
    return;
  }
  reference.picture.Line(r.like.x1(), r.like.y1(), r.like.x2(), r.like.y2(), 0x00FFFF);
  const QImage& a = far.picture.Image();
  const QImage& b = reference.picture.Image();
  ASSERT_EQ(a.size(), b.size());
  int differing = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QColor pa = QColor::fromRgb(a.pixel(x, y)), pb = QColor::fromRgb(b.pixel(x, y));
      if (std::abs(pa.red() - pb.red()) + std::abs(pa.green() - pb.green()) > 24) ++differing;
    }
  }
  EXPECT_GT(reference.CountNotBackground(), 100);
  EXPECT_LE(differing, 4) << "of " << reference.CountNotBackground() << " lit pixels";
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClipOnSurfaceTest,
    ::testing::Values(
        LineRow("HorizontalThroughHuge", -1e200, Y, 1e200, Y, QLineF(-3000, Y, W + 3000, Y)),
        LineRow("HorizontalThroughTheDoubleRange", -kMax, Y, kMax, Y,
                QLineF(-3000, Y, W + 3000, Y)),
        LineRow("AlongAPixelRow", -1e200, 1500, 1e200, 1500, QLineF(-3000, 1500, W + 3000, 1500)),
        LineRow("VerticalThroughHuge", X, 1e250, X, -1e250, QLineF(X, H + 3000, X, -3000)),
        LineRow("FromInsideToHuge", Mid(100), Y, 1e300, Y, QLineF(Mid(100), Y, W + 3000, Y)),
        LineRow("DiagonalToHuge", 0, 0, 1e200, 1e200, QLineF(0, 0, H + 3000, H + 3000)),
        LineRow("HugeNeverCrossing", 1e200, 1e200, 2e200, -1e200),
        LineRow("HugerNeverCrossing", 1e300, 1e300, 2e300, -1e300),
        LineRow("OutsideBothEndsOneSide", -500, -500, 90000, -300),
        LineRow("Infinite", Mid(100), Y, kInf, Y),
        LineRow("MinusInfinite", -kInf, -kInf, kInf, kInf), LineRow("NaN", Mid(100), Y, kNaN, Y),
        LineRow("NaNFirst", kNaN, 0, 100, 100), LineRow("NaNBoth", kNaN, kNaN, kNaN, kNaN),
        LineRow("DivergedLink", 3.8603e+229 * F, 2.47257e+230 * F, -1.50638e+212 * F,
                -1.00929e+213 * F),
        LineRow("DivergedLinkB", -9.80487e+150 * F, -7.76015e+151 * F, 8.27194e+128 * F,
                6.40203e+129 * F),
        CircleRow("CircleHuge", 1e200, 1e200, 20), CircleRow("CircleMax", -kMax, Mid(100), 20),
        CircleRow("CircleNaN", kNaN, Mid(100), 20), CircleRow("CircleInfinite", Mid(100), kInf, 20),
        CircleRow("CircleInfiniteX", kInf, 0, 20),
        CircleRow("RadiusInfinite", Mid(100), Mid(100), kInf),
        CircleRow("RadiusNaN", Mid(100), Mid(100), kNaN),
        CircleRow("RadiusNaNOnTheSurface", 4000, 4000, kNaN),
        CircleRow("RadiusHuge", Mid(100), Mid(100), 1e200),
        CircleRow("SurfaceInsideTheCircle", 4000, 4000, 1e200),
        CircleRow("RadiusNegative", Mid(100), Mid(100), -20),
        // Just off the edge, a circle still shows the part that reaches in.
        CircleRow("CircleJustOffTheEdge", -5 * F, Mid(100), 10 * F, true)),
    [](const ::testing::TestParamInfo<SurfaceRow>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace chain
