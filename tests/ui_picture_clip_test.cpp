// Lines between points astronomically far apart, as a diverged chain draws
// them: the part that is shown starts exactly at its end on the surface, and a
// segment whose place on the surface the arithmetic cannot tell is not shown.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <optional>

#include "ui/Picture1.h"

namespace chain {
namespace {

const QRectF kArea(0, 0, 100, 100);

struct FarRow {
  const char* name;
  double x1, y1, x2, y2;
};
void PrintTo(const FarRow& r, std::ostream* os) { *os << r.name; }

// Each link of a chain that had diverged (centre mass 600 to 5000, a few hundred
// passes), in pixels: both ends so far out that the line misses the surface by
// more than 1e190 pixels.
class FarApart : public ::testing::TestWithParam<FarRow> {};

TEST_P(FarApart, IsNotShownEitherWay) {
  const FarRow& r = GetParam();
  const std::optional<QLineF> there = Picture1::ClipSegment(r.x1, r.y1, r.x2, r.y2, kArea);
  const std::optional<QLineF> back = Picture1::ClipSegment(r.x2, r.y2, r.x1, r.y1, kArea);
  EXPECT_FALSE(there) << there->x1() << "," << there->y1() << " " << there->x2() << ","
                      << there->y2();
  EXPECT_FALSE(back) << back->x1() << "," << back->y1() << " " << back->x2() << "," << back->y2();
}

INSTANTIATE_TEST_SUITE_P(
    DivergedLinks, FarApart,
    ::testing::Values(FarRow{"m600", -3.43988e+244, -2.15181e+245, 3.8603e+229, 2.47257e+230},
                      FarRow{"m600b", 3.8603e+229, 2.47257e+230, -1.50638e+212, -1.00929e+213},
                      FarRow{"m1000", 4.19281e+210, 2.46833e+211, -1.40215e+192, -8.18896e+192},
                      FarRow{"m2000", -3.27975e+87, 2.12403e+88, 2.40549e+72, -1.58138e+73},
                      FarRow{"m5000", -9.80487e+150, -7.76015e+151, 8.27194e+128, 6.40203e+129}),
    [](const ::testing::TestParamInfo<FarRow>& row) { return std::string(row.param.name); });

// A link from a node on the surface to one that flew off: shown from the node,
// exactly, towards the far one, whichever end the line is drawn from.
TEST(PictureClipTest, ALinkToAFarNodeStartsExactlyAtTheNearOne) {
  struct Row {
    double nearX, nearY, farX, farY;
    double cutX, cutY;  // where the line leaves the area
  };
  const Row rows[] = {{50, 50, 1e213, 3e213, 50 + 50.0 / 3, 100},
                      {50, 50, -2e200, 0, 0, 50},
                      {13.3, 66.7, 7e150, -7e150, 80, 0},
                      {50, 50, 1e16, 1e16 + 100, 100, 100}};
  for (const Row& r : rows) {
    const std::optional<QLineF> there =
        Picture1::ClipSegment(r.nearX, r.nearY, r.farX, r.farY, kArea);
    const std::optional<QLineF> back =
        Picture1::ClipSegment(r.farX, r.farY, r.nearX, r.nearY, kArea);
    ASSERT_TRUE(there && back) << r.farX << "," << r.farY;
    EXPECT_EQ(there->p1(), QPointF(r.nearX, r.nearY));
    EXPECT_EQ(back->p2(), QPointF(r.nearX, r.nearY));
    for (const QPointF cut : {there->p2(), back->p1()}) {
      EXPECT_NEAR(cut.x(), r.cutX, 1e-6) << r.farX << "," << r.farY;
      EXPECT_NEAR(cut.y(), r.cutY, 1e-6) << r.farX << "," << r.farY;
    }
  }
}

TEST(PictureClipTest, FarApartLinksLeaveTheSurfaceBlank) {
  Picture1 surface;
  surface.resize(625, 513);
  surface.Clear();
  // In twips, as Draw hands them over: 15 to a pixel.
  surface.Line(3.8603e+229 * 15, 2.47257e+230 * 15, -1.50638e+212 * 15, -1.00929e+213 * 15,
               0x00FFFF);
  surface.Line(-9.80487e+150 * 15, -7.76015e+151 * 15, 8.27194e+128 * 15, 6.40203e+129 * 15,
               0x00FFFF);
  const QImage& image = surface.Image();
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      ASSERT_EQ(image.pixel(x, y), Picture1::kBackground) << "at " << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace chain
