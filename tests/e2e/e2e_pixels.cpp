// Reads screenshots of the window's client area for the end-to-end scripts.
// Only the drawing surface (the top 625 x 513 pixels) is looked at, except by
// `differ --all`. Its background is taken to be its most common colour.
//
//   e2e_pixels frame SHOT         blue circles at both fixed ends, red nodes
//                                 between them, background elsewhere
//   e2e_pixels differ A B [--all] number of pixels that differ
//   e2e_pixels asym SHOT          pixels that differ from their mirror image
//                                 about the middle of the fixed ends
//   e2e_pixels drawn SHOT         number of pixels that are not background
//   e2e_pixels ring A B X Y W H   pixels of that rectangle that differ on its
//                                 outermost two pixels (a focus frame) and within
//   e2e_pixels crop SCREEN OUT    finds the drawing surface (its top-left
//                                 corner of the program's background colour)
//                                 in a shot of the whole screen and writes the
//                                 client area from there; exits 1 if none
//   e2e_pixels rect ID            where the program's controls' description puts
//                                 the control ID: "x y w h" in client pixels
//
// Prints what it measured; exits 1 when a `frame` check fails, 2 on bad use.

#include <QColor>
#include <QImage>
#include <QString>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

#include "render/Controls.h"

namespace {

constexpr int kWidth = chain::kSurfacePlace.width;
constexpr int kHeight = chain::kSurfacePlace.height;
// The surface and the controls below it.
constexpr int kClientHeight = chain::kClientArea.height;
// Node i starts at x = 200 * (i + 1) twips, y = 2000 twips; 15 twips a pixel.
constexpr double kLeftEndX = 200.0 / 15;    // 13.3
constexpr double kRightEndX = 8200.0 / 15;  // 546.7
constexpr double kEndY = 2000.0 / 15;       // 133.3
constexpr double kMirror = kLeftEndX + kRightEndX;
constexpr int kFocusFrame = 2;

struct Shot {
  QImage image;
  QRgb background = 0;
  [[nodiscard]] bool IsBackground(int x, int y) const {
    return (image.pixel(x, y) & 0xFFFFFFu) == (background & 0xFFFFFFu);
  }
};

bool Load(const char* path, Shot& shot) {
  shot.image = QImage(QString::fromLocal8Bit(path)).convertToFormat(QImage::Format_RGB32);
  if (shot.image.width() < kWidth || shot.image.height() < kHeight) {
    std::fprintf(stderr, "%s: not a screenshot of the window (%dx%d)\n", path, shot.image.width(),
                 shot.image.height());
    return false;
  }
  std::map<QRgb, int> counts;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) ++counts[shot.image.pixel(x, y)];
  }
  int best = 0;
  for (const auto& [colour, n] : counts) {
    if (n > best) best = n, shot.background = colour;
  }
  // The surface's outermost pixels hold its focus frame while it has the
  // focus, never the chain: they count as background.
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if (x < kFocusFrame || y < kFocusFrame || x >= kWidth - kFocusFrame ||
          y >= kHeight - kFocusFrame) {
        shot.image.setPixel(x, y, shot.background);
      }
    }
  }
  return true;
}

// Blue or red must clearly dominate the other two components; an antialiased
// edge blends the colour with the background, so the level itself may be low.
bool IsBlue(QRgb c) { return qBlue(c) >= 64 && qBlue(c) > 2 * qMax(qRed(c), qGreen(c)); }
bool IsRed(QRgb c) { return qRed(c) >= 64 && qRed(c) > 2 * qMax(qGreen(c), qBlue(c)); }

int CountNear(const Shot& s, double cx, double cy, double radius, bool (*pred)(QRgb)) {
  int n = 0;
  for (int y = static_cast<int>(cy - radius); y <= static_cast<int>(cy + radius); ++y) {
    for (int x = static_cast<int>(cx - radius); x <= static_cast<int>(cx + radius); ++x) {
      if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) continue;
      if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= radius && pred(s.image.pixel(x, y))) ++n;
    }
  }
  return n;
}

int Frame(const Shot& s) {
  bool ok = true;
  const int leftBlue = CountNear(s, kLeftEndX, kEndY, 4, IsBlue);
  const int rightBlue = CountNear(s, kRightEndX, kEndY, 4, IsBlue);
  std::printf("background #%06x; blue pixels at the left end %d, at the right end %d\n",
              s.background & 0xFFFFFFu, leftBlue, rightBlue);
  if (leftBlue < 2 || rightBlue < 2) ok = false;

  // Red nodes between the ends: red pixels in most of the 39 node-wide columns
  // (a strained link, yellow, drawn over a circle may hide it), and the chain
  // unbroken from one end to the other: something drawn in every pixel column.
  int columns = 0;
  int red = 0;
  int blueElsewhere = 0;
  int drawn = 0;
  for (int node = 1; node <= 39; ++node) {
    const double cx = 200.0 * (node + 1) / 15;
    bool seen = false;
    for (int x = static_cast<int>(cx - 4); x <= static_cast<int>(cx + 4); ++x) {
      for (int y = 0; y < kHeight; ++y) {
        if (IsRed(s.image.pixel(x, y))) seen = true;
      }
    }
    if (seen) ++columns;
  }
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const QRgb c = s.image.pixel(x, y);
      if (!s.IsBackground(x, y)) ++drawn;
      if (IsRed(c)) ++red;
      const bool nearEnd = std::hypot(x + 0.5 - kLeftEndX, y + 0.5 - kEndY) < 5 ||
                           std::hypot(x + 0.5 - kRightEndX, y + 0.5 - kEndY) < 5;
      if (IsBlue(c) && !nearEnd) ++blueElsewhere;
    }
  }
  int gaps = 0;
  for (int x = static_cast<int>(kLeftEndX) + 1; x < static_cast<int>(kRightEndX); ++x) {
    bool any = false;
    for (int y = 0; y < kHeight && !any; ++y) any = !s.IsBackground(x, y);
    if (!any) ++gaps;
  }
  const double drawnShare = static_cast<double>(drawn) / (kWidth * kHeight);
  std::printf(
      "red pixels %d, in %d of the 39 inner node columns; empty columns between the ends %d; "
      "blue elsewhere %d; drawn %.2f%%\n",
      red, columns, gaps, blueElsewhere, 100 * drawnShare);
  if (columns < 26 || gaps > 0 || blueElsewhere > 0 || drawnShare > 0.2) ok = false;
  std::printf("%s\n", ok ? "frame ok" : "frame NOT as expected");
  return ok ? 0 : 1;
}

int Differ(const char* a, const char* b, bool all) {
  const QImage ia = QImage(QString::fromLocal8Bit(a)).convertToFormat(QImage::Format_RGB32);
  const QImage ib = QImage(QString::fromLocal8Bit(b)).convertToFormat(QImage::Format_RGB32);
  if (ia.size() != ib.size() || ia.isNull()) {
    std::fprintf(stderr, "screenshots of different sizes\n");
    return 2;
  }
  const int h = all ? ia.height() : qMin(kHeight, ia.height());
  const int w = all ? ia.width() : qMin(kWidth, ia.width());
  long n = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) n += ia.pixel(x, y) != ib.pixel(x, y);
  }
  std::printf("%ld\n", n);
  return 0;
}

// Within one rectangle of two screenshots, the pixels that differ on its
// outermost kFocusFrame pixels and those that differ inside them: "ring inner".
int Ring(const char* a, const char* b, const QRect& r) {
  const QImage ia = QImage(QString::fromLocal8Bit(a)).convertToFormat(QImage::Format_RGB32);
  const QImage ib = QImage(QString::fromLocal8Bit(b)).convertToFormat(QImage::Format_RGB32);
  if (ia.size() != ib.size() || !ia.rect().contains(r) || r.isEmpty()) {
    std::fprintf(stderr, "screenshots of different sizes, or the rectangle outside them\n");
    return 2;
  }
  const QRect inner = r.adjusted(kFocusFrame, kFocusFrame, -kFocusFrame, -kFocusFrame);
  long ring = 0;
  long in = 0;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      if (ia.pixel(x, y) == ib.pixel(x, y)) continue;
      ++(inner.contains(x, y) ? in : ring);
    }
  }
  std::printf("%ld %ld\n", ring, in);
  return 0;
}

// Pixels whose mirror image about the chain's middle (the middle of its two
// fixed ends, x = 280) differs clearly in colour: none, give or take the odd
// rounding, for a chain hanging or falling straight; many while it swings.
int Asym(const Shot& s) {
  const int axis2 = static_cast<int>(std::lround(kMirror));  // x + mirror(x) + 1
  long differing = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; 2 * x + 1 < axis2; ++x) {
      const int mx = axis2 - 1 - x;
      if (mx >= kWidth) continue;
      const QRgb a = s.image.pixel(x, y);
      const QRgb b = s.image.pixel(mx, y);
      const int d = qMax(qAbs(qRed(a) - qRed(b)),
                         qMax(qAbs(qGreen(a) - qGreen(b)), qAbs(qBlue(a) - qBlue(b))));
      if (d > 48) ++differing;
    }
  }
  std::printf("%ld\n", differing);
  return 0;
}

// Where the bottom of the chain is across: the brightness-weighted mean x of
// the drawn pixels in the lowest 8 rows of the chain's middle third.
int Centre(const Shot& s) {
  int lowest = -1;
  for (int y = kHeight - 1; y >= 0 && lowest < 0; --y) {
    for (int x = 190; x < 370; ++x) {
      if (!s.IsBackground(x, y)) lowest = y;
    }
  }
  double sum = 0;
  double weight = 0;
  for (int y = qMax(0, lowest - 8); y <= lowest; ++y) {
    for (int x = 190; x < 370; ++x) {
      const QRgb c = s.image.pixel(x, y);
      const QRgb b = s.background;
      const double w =
          qAbs(qRed(c) - qRed(b)) + qAbs(qGreen(c) - qGreen(b)) + qAbs(qBlue(c) - qBlue(b));
      sum += w * (x + 0.5);
      weight += w;
    }
  }
  std::printf("%.3f %d\n", weight > 0 ? sum / weight : -1.0, lowest);
  return 0;
}

int Drawn(const Shot& s) {
  long n = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) n += !s.IsBackground(x, y);
  }
  std::printf("%ld\n", n);
  return 0;
}

// The surface's background is this exact colour; its four corners are never
// drawn on while the chain hangs, and the pixels left of and above it are not.
int Crop(const char* in, const char* out) {
  constexpr QRgb kSurface = chain::kSurfaceBackgroundRgb;
  const QImage screen = QImage(QString::fromLocal8Bit(in)).convertToFormat(QImage::Format_RGB32);
  const auto is = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < screen.width() && y < screen.height() &&
           (screen.pixel(x, y) & 0xFFFFFFu) == kSurface;
  };
  for (int y = 0; y + kHeight <= screen.height(); ++y) {
    for (int x = 0; x + kWidth <= screen.width(); ++x) {
      if (is(x, y) && !is(x - 1, y) && !is(x, y - 1) && is(x + kWidth - 1, y) &&
          is(x, y + kHeight - 1) && is(x + kWidth - 1, y + kHeight - 1)) {
        std::printf("surface at %d,%d\n", x, y);
        return screen.copy(x, y, kWidth, kClientHeight).save(QString::fromLocal8Bit(out)) ? 0 : 2;
      }
    }
  }
  std::printf("no drawing surface in %s\n", in);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "differ") == 0 && argc >= 4) {
    return Differ(argv[2], argv[3], argc >= 5 && std::strcmp(argv[4], "--all") == 0);
  }
  if (argc == 4 && std::strcmp(argv[1], "crop") == 0) return Crop(argv[2], argv[3]);
  if (argc == 3 && std::strcmp(argv[1], "rect") == 0) {
    const std::optional<chain::Control> c = chain::FindControl(argv[2]);
    if (!c) return 2;
    std::printf("%d %d %d %d\n", c->place.x, c->place.y, c->place.width, c->place.height);
    return 0;
  }
  if (argc == 8 && std::strcmp(argv[1], "ring") == 0) {
    const auto n = [&](int i) { return std::atoi(argv[i]); };
    return Ring(argv[2], argv[3], QRect(n(4), n(5), n(6), n(7)));
  }
  if (argc == 3) {
    Shot shot;
    if (!Load(argv[2], shot)) return 2;
    if (std::strcmp(argv[1], "frame") == 0) return Frame(shot);
    if (std::strcmp(argv[1], "asym") == 0) return Asym(shot);
    if (std::strcmp(argv[1], "drawn") == 0) return Drawn(shot);
    if (std::strcmp(argv[1], "centre") == 0) return Centre(shot);
  }
  std::fprintf(stderr,
               "usage: e2e_pixels frame|asym|drawn SHOT | differ A B [--all] | crop SCREEN OUT | "
               "ring A B X Y W H | rect ID\n");
  return 2;
}
