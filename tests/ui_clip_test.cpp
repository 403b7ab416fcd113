// Cutting lines and circles to the surface: ends astronomically far out (as a
// diverged chain draws them), not finite, or just off the edge, drawn through
// the surface.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "render/Controls.h"
#include "ui/Picture1.h"
#include "ui_test_support.h"

namespace chain {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMax = std::numeric_limits<double>::max();

// In twips as Draw hands them over, a line or circle shows nothing, something, or what the same
// line given with in-range coordinates shows.
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
