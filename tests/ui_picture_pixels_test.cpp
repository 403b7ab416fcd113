// Picture1 draws fast, but its frames must be exactly what the plain way of
// drawing makes: a painter and a pen for every Line and Circle, in call order.
// Each case builds a chain, draws several frames in a row on one Picture1
// (so nothing from an earlier frame may be left), and compares every frame,
// the image and what was presented on the screen, pixel for pixel.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>

#include "model/Chain.h"
#include "render/Draw.h"
#include "straight_surface.h"
#include "ui/Picture1.h"
#include "ui_test_support.h"

namespace chain {
namespace {

// Where two images first differ, or an empty string when they are equal.
std::string Difference(const QImage& got, const QImage& want) {
  if (got.size() != want.size()) {
    return "sizes differ: " + std::to_string(got.width()) + "x" + std::to_string(got.height()) +
           " against " + std::to_string(want.width()) + "x" + std::to_string(want.height());
  }
  const QImage a = got.convertToFormat(QImage::Format_RGB32);
  const QImage b = want.convertToFormat(QImage::Format_RGB32);
  int count = 0;
  std::string first;
  for (int y = 0; y < a.height(); ++y) {
    const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x) {
      if ((ra[x] & 0xFFFFFFu) == (rb[x] & 0xFFFFFFu)) continue;
      if (count++ == 0) {
        first = "first at (" + std::to_string(x) + "," + std::to_string(y) + "): got " +
                QString::number(ra[x] & 0xFFFFFFu, 16).toStdString() + ", want " +
                QString::number(rb[x] & 0xFFFFFFu, 16).toStdString();
      }
    }
  }
  return count == 0 ? std::string() : std::to_string(count) + " pixels differ, " + first;
}

// A chain and how it changes from one frame to the next.
struct Scene {
  const char* name;
  int last;                                         // last index of the chain
  std::function<void(SpringArray&, int)> setFrame;  // set up frame number f
};

void PrintTo(const Scene& scene, std::ostream* os) { *os << scene.name; }

// Moves every node by up to `spread` twips around where the chain lies.
void Scatter(SpringArray& springs, std::mt19937_64& rng, double spread) {
  std::uniform_real_distribution<double> d(-spread, spread);
  for (int i = springs.LBound(); i <= springs.UBound(); ++i) {
    springs(i).xPos += d(rng);
    springs(i).yPos += d(rng);
  }
}

const Scene kScenes[] = {
    {"StartUpAndFirstPasses", 40, [](SpringArray& s, int) { PhysicsPass(s); }},
    {"SwingingAfterANudge", 40,
     [](SpringArray& s, int f) {
       if (f == 0) {
         for (int i = 0; i < 400; ++i) PhysicsPass(s);
         s(20).Vx = 50;
       }
       for (int i = 0; i < 7; ++i) PhysicsPass(s);
     }},
    {"HeavyCentreAndColourScales", 40,
     [](SpringArray& s, int f) {
       s(20).Mass = 2000.0 - 700.0 * f;  // radius 60 twips, then smaller
       for (int i = 0; i <= 40; ++i) s(i).ColScale = (5 + 17 * f) / 400.0;
       for (int i = 0; i < 150; ++i) PhysicsPass(s);
     }},
    {"RandomShapesAndStrains", 40,
     [](SpringArray& s, int f) {
       std::mt19937_64 rng(1234 + static_cast<unsigned>(f));
       Scatter(s, rng, 300.0 * (f + 1));
       std::uniform_real_distribution<double> scale(0.0, 3.0);
       for (int i = 0; i <= 40; ++i) s(i).ColScale = scale(rng);
     }},
    {"PartlyOffTheSurface", 40,
     [](SpringArray& s, int f) {
       std::mt19937_64 rng(99 + static_cast<unsigned>(f));
       for (int i = 0; i <= 40; ++i) {
         s(i).xPos = -3000.0 + 400.0 * i + 37.0 * f;
         s(i).yPos = (i % 2 == 0 ? -40.0 : 7720.0) + 11.0 * f;
       }
       Scatter(s, rng, 50);
       s(7).xPos = 1e12;  // far out: clipped, still a line towards it
       s(8).yPos = -1e9;
       s(30).Mass = 5e5;  // a ring far larger than the surface, crossing it
       // A ring of 50,000 pixels whose edge just crosses the left of the surface.
       s(33).Mass = (50000.0 * 15 - 20) / 0.02;
       s(33).xPos = (40.0 + 4.0 * f - 50000.0) * 15;
       s(33).yPos = 3000;
     }},
    {"JumpingAndVanishing", 40,
     [](SpringArray& s, int f) {
       // Every other frame the whole chain is far off the surface, so nothing of
       // the frame before may stay; in between it jumps across the surface.
       for (int i = 0; i <= 40; ++i) {
         s(i).xPos = 200.0 * (i + 1) + (f % 2 == 1 ? 1e6 : 0.0);
         s(i).yPos = 1000.0 + 2500.0 * f / 2 + 30.0 * (i % 3);
       }
     }},
    {"NotFiniteNodes", 40,
     [](SpringArray& s, int f) {
       for (int i = 0; i < 30; ++i) PhysicsPass(s);
       s(5 + f).xPos = std::numeric_limits<double>::quiet_NaN();
       s(12).yPos = std::numeric_limits<double>::infinity();
       s(13).Mass = -std::numeric_limits<double>::infinity();
     }},
    {"LongChain", 400,
     [](SpringArray& s, int f) {
       std::mt19937_64 rng(7 + static_cast<unsigned>(f));
       for (int i = 0; i <= 400; ++i) {  // folded back and forth over the surface
         const int row = i / 40;
         const int col = row % 2 == 0 ? i % 40 : 39 - i % 40;
         s(i).xPos = 200.0 + 220.0 * col;
         s(i).yPos = 300.0 + 700.0 * row;
       }
       Scatter(s, rng, 90);
     }},
};

class PicturePixels : public ::testing::TestWithParam<Scene> {};

TEST_P(PicturePixels, EveryFrameEqualsThePlainDrawing) {
  const Scene& scene = GetParam();
  QWidget window;
  auto* picture = new Picture1(&window);
  picture->setGeometry(testing::PlaceOf("surface"));
  window.resize(testing::PlaceOf("surface").size());
  window.show();
  QCoreApplication::processEvents();
  picture->clearFocus();  // the frames as they are without the focus frame

  SpringArray springs;
  SetUpChain(springs, scene.last);
  for (int frame = 0; frame < 4; ++frame) {
    SCOPED_TRACE("frame " + std::to_string(frame));
    scene.setFrame(springs, frame);

    picture->Clear();
    DrawChain(springs, *picture);
    testing::StraightSurface plain(picture->size(), picture->devicePixelRatioF());
    DrawChain(springs, plain);
    ASSERT_EQ(Difference(picture->Image(), plain.Image()), "");

    // What reaches the screen is the same frame. (The offscreen platform grabs
    // at one pixel per logical pixel; at another ratio only the image is compared.)
    picture->Present();
    QCoreApplication::processEvents();
    QImage shown = QGuiApplication::primaryScreen()->grabWindow(window.winId()).toImage();
    if (shown.size() == plain.Image().size()) {
      ASSERT_EQ(Difference(shown, plain.Image()), "");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Scenes, PicturePixels, ::testing::ValuesIn(kScenes),
                         [](const ::testing::TestParamInfo<Scene>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
}  // namespace chain
