// The drawing surface, read back from its image at whatever device pixel ratio
// the screen has: colour words, rings, drawing order, and clipping.
#include <gtest/gtest.h>

#include <QImage>
#include <QLineF>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "ui/Picture1.h"

namespace chain {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMax = std::numeric_limits<double>::max();

// Twips of the centre of logical pixel n, so that one-pixel lines cover whole pixels.
constexpr double kTwipsPerPixel = Picture1::kTwipsPerPixel;
constexpr double Mid(int n) { return (n + 0.5) * kTwipsPerPixel; }

// A surface at the window's size, cleared.
struct Surface {
  Picture1 picture;
  Surface() {
    picture.resize(625, 513);
    picture.Clear();
  }
  // The colour at logical pixel (x, y), whatever the device pixel ratio.
  QRgb At(int x, int y) {
    const QImage& image = picture.Image();
    const double dpr = image.devicePixelRatio();
    return image.pixel(static_cast<int>(x * dpr), static_cast<int>(y * dpr)) & 0xFFFFFFu;
  }
  int CountNotBackground() {
    const QImage& image = picture.Image();
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if ((image.pixel(x, y) & 0xFFFFFFu) != (Picture1::kBackground & 0xFFFFFFu)) ++n;
      }
    }
    return n;
  }
};

QRgb Rgb(int r, int g, int b) { return qRgb(r, g, b) & 0xFFFFFFu; }

TEST(Picture1Test, ImageIsAtDeviceResolutionAndClearErasesEverything) {
  Surface s;
  const QImage& image = s.picture.Image();
  const double dpr = s.picture.devicePixelRatioF();
  EXPECT_EQ(image.devicePixelRatio(), dpr);
  EXPECT_EQ(image.width(), qRound(625 * dpr));
  EXPECT_EQ(image.height(), qRound(513 * dpr));
  EXPECT_EQ(s.CountNotBackground(), 0);

  s.picture.Line(0, Mid(10), 9375, Mid(10), 0x00FFFF);
  s.picture.Circle(Mid(300), Mid(300), 600, kPureBlue);
  EXPECT_GT(s.CountNotBackground(), 0);
  s.picture.Clear();
  EXPECT_EQ(s.CountNotBackground(), 0);
}

TEST(Picture1Test, BackgroundContrastsWithRedBlueAndYellow) {
  const QColor bg = QColor::fromRgb(Picture1::kBackground);
  for (const QColor c :
       {QColor(255, 0, 0), QColor(0, 0, 255), QColor(255, 255, 0), QColor(255, 10, 0)}) {
    const int distance = std::abs(c.red() - bg.red()) + std::abs(c.green() - bg.green()) +
                         std::abs(c.blue() - bg.blue());
    EXPECT_GT(distance, 200) << c.name().toStdString();
  }
}

struct WordCase {
  ColourWord word;
  QRgb rgb;
};

TEST(Picture1Test, ColourWordsHaveRedInTheLowByte) {
  const std::vector<WordCase> cases = {
      {0x0000FF, Rgb(255, 0, 0)},  {0xFF0000, Rgb(0, 0, 255)},   {0x00FFFF, Rgb(255, 255, 0)},
      {0x000AFF, Rgb(255, 10, 0)}, {0x00FEFF, Rgb(255, 254, 0)}, {0x123456, Rgb(0x56, 0x34, 0x12)}};
  Surface s;
  for (std::size_t k = 0; k < cases.size(); ++k) {
    const int row = 20 + 10 * static_cast<int>(k);
    s.picture.Line(Mid(50), Mid(row), Mid(500), Mid(row), cases[k].word);
  }
  for (std::size_t k = 0; k < cases.size(); ++k) {
    const int row = 20 + 10 * static_cast<int>(k);
    EXPECT_EQ(s.At(200, row), cases[k].rgb) << "word 0x" << std::hex << cases[k].word;
    EXPECT_EQ(s.At(200, row + 2), Picture1::kBackground & 0xFFFFFFu) << "one pixel wide";
  }
}

TEST(Picture1Test, CircleIsARingInTwipsAroundItsCentre) {
  Surface s;
  s.picture.Circle(Mid(200), Mid(100), 20 * kTwipsPerPixel, kPureBlue);
  const QColor right = QColor::fromRgb(s.At(220, 100));
  const QColor left = QColor::fromRgb(s.At(180, 100));
  const QColor top = QColor::fromRgb(s.At(200, 80));
  for (const QColor& c : {right, left, top}) {
    EXPECT_GT(c.blue(), 100);
    EXPECT_LT(c.red(), 40);
  }
  EXPECT_EQ(s.At(200, 100), Picture1::kBackground & 0xFFFFFFu) << "no fill";
  EXPECT_EQ(s.At(230, 100), Picture1::kBackground & 0xFFFFFFu);
}

TEST(Picture1Test, DrawingOrderIsKeptAcrossColoursAndKinds) {
  // A later line lies over an earlier circle, even when a line of the same
  // colour came before the circle.
  Surface s;
  s.picture.Line(Mid(100), Mid(50), Mid(300), Mid(50), kPureRed);
  s.picture.Circle(Mid(200), Mid(40), 10 * kTwipsPerPixel, kPureBlue);
  s.picture.Line(Mid(100), Mid(50), Mid(300), Mid(50), kPureRed);
  EXPECT_EQ(s.At(200, 50), Rgb(255, 0, 0));
  // And a circle drawn last covers the line where they cross.
  s.picture.Line(Mid(100), Mid(150), Mid(300), Mid(150), 0x00FFFF);
  s.picture.Circle(Mid(200), Mid(140), 10 * kTwipsPerPixel, kPureBlue);
  const QColor crossing = QColor::fromRgb(s.At(200, 150));
  EXPECT_GT(crossing.blue(), crossing.green());
}

// Lines with coordinates far outside the surface, or not finite, against the
// same line given with in-range coordinates (or against nothing at all).
struct ClipCase {
  const char* name;
  double x1, y1, x2, y2;
  bool drawsSomething;
  double rx1, ry1, rx2, ry2;  // the same visible segment, in range
};

class Picture1ClipTest : public ::testing::TestWithParam<ClipCase> {};

TEST_P(Picture1ClipTest, FarOrNonFiniteEndsNeitherCrashNorDrawGarbage) {
  const ClipCase& c = GetParam();
  Surface far, reference;
  far.picture.Line(c.x1, c.y1, c.x2, c.y2, 0x00FFFF);
  if (!c.drawsSomething) {
    EXPECT_EQ(far.CountNotBackground(), 0);
    return;
  }
  reference.picture.Line(c.rx1, c.ry1, c.rx2, c.ry2, 0x00FFFF);
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

const double W = 9375, H = 7695, Y = Mid(200), X = Mid(300);
INSTANTIATE_TEST_SUITE_P(
    Table, Picture1ClipTest,
    ::testing::Values(
        ClipCase{"HorizontalThroughHuge", -1e200, Y, 1e200, Y, true, -3000, Y, W + 3000, Y},
        ClipCase{"HorizontalThroughTheDoubleRange", -kMax, Y, kMax, Y, true, -3000, Y, W + 3000, Y},
        ClipCase{"VerticalThroughHuge", X, 1e250, X, -1e250, true, X, H + 3000, X, -3000},
        ClipCase{"FromInsideToHuge", Mid(100), Y, 1e300, Y, true, Mid(100), Y, W + 3000, Y},
        ClipCase{"DiagonalToHuge", 0, 0, 1e200, 1e200, true, 0, 0, H + 3000, H + 3000},
        ClipCase{"HugeNeverCrossing", 1e200, 1e200, 2e200, -1e200, false, 0, 0, 0, 0},
        ClipCase{"OutsideBothEndsOneSide", -500, -500, 90000, -300, false, 0, 0, 0, 0},
        ClipCase{"Infinite", Mid(100), Y, kInf, Y, false, 0, 0, 0, 0},
        ClipCase{"MinusInfinite", -kInf, -kInf, kInf, kInf, false, 0, 0, 0, 0},
        ClipCase{"NaN", Mid(100), Y, kNaN, Y, false, 0, 0, 0, 0},
        ClipCase{"NaNBoth", kNaN, kNaN, kNaN, kNaN, false, 0, 0, 0, 0}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(Picture1Test, FarOrNonFiniteCirclesDrawNothing) {
  Surface s;
  s.picture.Circle(1e200, 1e200, 20, kPureRed);
  s.picture.Circle(-kMax, Mid(100), 20, kPureRed);
  s.picture.Circle(kNaN, Mid(100), 20, kPureRed);
  s.picture.Circle(Mid(100), kInf, 20, kPureRed);
  s.picture.Circle(Mid(100), Mid(100), kInf, kPureRed);
  s.picture.Circle(Mid(100), Mid(100), kNaN, kPureRed);
  s.picture.Circle(Mid(100), Mid(100), 1e200, kPureRed);
  s.picture.Circle(Mid(100), Mid(100), -20, kPureRed);
  EXPECT_EQ(s.CountNotBackground(), 0);
  // Just off the edge, a circle still shows the part that reaches in.
  s.picture.Circle(-5 * kTwipsPerPixel, Mid(100), 10 * kTwipsPerPixel, kPureRed);
  EXPECT_GT(s.CountNotBackground(), 0);
}

TEST(ClipSegmentTest, KnownCases) {
  const QRectF area(0, 0, 10, 10);
  EXPECT_EQ(Picture1::ClipSegment(-10, 5, 20, 5, area), QLineF(0, 5, 10, 5));
  EXPECT_EQ(Picture1::ClipSegment(1, 2, 3, 4, area), QLineF(1, 2, 3, 4)) << "inside: unchanged";
  EXPECT_EQ(Picture1::ClipSegment(5, -1e250, 5, 1e250, area), QLineF(5, 0, 5, 10));
  EXPECT_EQ(Picture1::ClipSegment(-5, 5, 5, 15, QRectF(0, 0, 10, 4)), std::nullopt)
      << "passes outside a corner";
}

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
    const std::optional<QLineF> line = Picture1::ClipSegment(v[0], v[1], v[2], v[3], area);
    if (k % 3 == 0) {
      ASSERT_TRUE(line.has_value()) << "a line from inside always shows";
    }
    if (!line) continue;
    ++clipped;
    for (const QPointF p : {line->p1(), line->p2()}) {
      ASSERT_TRUE(p.x() >= area.left() && p.x() <= area.right()) << p.x();
      ASSERT_TRUE(p.y() >= area.top() && p.y() <= area.bottom()) << p.y();
    }
  }
  EXPECT_GT(clipped, 6000);
}

TEST(Picture1Test, PresentsTheWholeImageWhenItRepaints) {
  Surface s;
  s.picture.Line(0, Mid(100), 9375, Mid(300), 0x00FFFF);
  s.picture.Circle(Mid(400), Mid(400), 300, kPureBlue);
  const QImage shown = s.picture.grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QImage& drawn = s.picture.Image();
  ASSERT_EQ(shown.size(), drawn.size());
  EXPECT_TRUE(shown == drawn.convertToFormat(QImage::Format_RGB32));
}

}  // namespace
}  // namespace chain
