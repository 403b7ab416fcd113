// The drawing surface, read back from its image at whatever device pixel ratio
// the screen has: colour words, rings and drawing order.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <string>
#include <vector>

#include "ui/Picture1.h"
#include "ui_test_support.h"

namespace chain {
namespace {

// Twips of the centre of logical pixel n, so that one-pixel lines cover whole pixels.
constexpr double Mid(int n) { return (n + 0.5) * kTwipsPerPixel; }

using testing::Surface;

QRgb Rgb(int r, int g, int b) { return qRgb(r, g, b) & 0xFFFFFFu; }

TEST(Picture1Test, ImageIsAtDeviceResolutionAndClearErasesEverything) {
  Surface s;
  const QImage& image = s.picture.Image();
  const double dpr = s.picture.devicePixelRatioF();
  EXPECT_EQ(image.devicePixelRatio(), dpr);
  EXPECT_EQ(image.width(), qRound(kSurfacePlace.width * dpr));
  EXPECT_EQ(image.height(), qRound(kSurfacePlace.height * dpr));
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
