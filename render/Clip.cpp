#include "render/Clip.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace chain {

namespace {

// Room around the surface so that clipped ends and the circles' edges stay
// outside the visible area.
constexpr double kClipMargin = 8.0;
// A circle with a larger radius (in pixels) is not drawn: its outline could
// only cross the surface as a practically straight line, far beyond any mass
// the controls can give a node.
constexpr double kMaxRadiusPixels = 1.0e5;

}  // namespace

Area ClipArea(double widthPixels, double heightPixels) {
  return Area{-kClipMargin, -kClipMargin, widthPixels + kClipMargin, heightPixels + kClipMargin};
}

std::optional<Segment> ClipSegment(double x1, double y1, double x2, double y2, const Area& area) {
  // Liang-Barsky against the area; anything not finite is left out.
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) {
    return std::nullopt;
  }
  // Cut points are computed from the first end: let that be the one nearer the
  // area, where x1 + t * dx keeps its precision.
  const Point middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
  auto distance = [&](double x, double y) {
    return std::max(std::fabs(x - middle.x), std::fabs(y - middle.y));
  };
  if (distance(x2, y2) < distance(x1, y1)) {
    const std::optional<Segment> back = ClipSegment(x2, y2, x1, y1, area);
    if (!back) return std::nullopt;
    return Segment{back->p2, back->p1};
  }
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  if (!std::isfinite(dx) || !std::isfinite(dy)) return std::nullopt;
  double t0 = 0.0;
  double t1 = 1.0;
  int edge0 = -1;  // which edge cut each end off, if any
  int edge1 = -1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1 - area.left, area.right - x1, y1 - area.top, area.bottom - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return std::nullopt;  // parallel and outside
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0.0) {
      if (t > t1) return std::nullopt;
      if (t > t0) t0 = t, edge0 = i;
    } else {
      if (t < t0) return std::nullopt;
      if (t < t1) t1 = t, edge1 = i;
    }
  }
  // x1 + t * dx loses everything to cancellation when the ends lie far out, so
  // a cut end takes the edge's own coordinate exactly, an end that was not cut
  // stays exactly where it is, and every end is kept inside the area whatever
  // rounding did. Where rounding leaves the place of a cut end uncertain by
  // more than a twentieth of a pixel (both ends astronomically far out), the
  // segment cannot be placed on the area at all and is left out: otherwise it
  // would show up in some arbitrary place.
  constexpr double kUncertainty = 8 * std::numeric_limits<double>::epsilon();
  const double edges[4] = {area.left, area.right, area.top, area.bottom};
  bool placed = true;
  auto at = [&](double t, int edge, double endX, double endY) {
    if (edge < 0)
      return Point{std::clamp(endX, area.left, area.right),
                   std::clamp(endY, area.top, area.bottom)};
    const bool vertical = edge == 0 || edge == 1;
    double x = vertical ? edges[edge] : x1 + t * dx;
    double y = vertical ? y1 + t * dy : edges[edge];
    const double error = vertical ? kUncertainty * (std::fabs(y1) + std::fabs(t * dy))
                                  : kUncertainty * (std::fabs(x1) + std::fabs(t * dx));
    if (!(error <= 0.05)) placed = false;
    x = std::clamp(x, area.left, area.right);
    y = std::clamp(y, area.top, area.bottom);
    return Point{x, y};
  };
  const Segment line{at(t0, edge0, x1, y1), at(t1, edge1, x2, y2)};
  if (!placed) return std::nullopt;
  return line;
}

std::optional<Segment> LineInPixels(double x1, double y1, double x2, double y2, const Area& area) {
  return ClipSegment(x1 / kTwipsPerPixel, y1 / kTwipsPerPixel, x2 / kTwipsPerPixel,
                     y2 / kTwipsPerPixel, area);
}

std::optional<Ring> CircleInPixels(double x, double y, double radius, const Area& area) {
  const double cx = x / kTwipsPerPixel;
  const double cy = y / kTwipsPerPixel;
  const double r = radius / kTwipsPerPixel;
  if (!std::isfinite(cx) || !std::isfinite(cy) || !(r >= 0.0) || r > kMaxRadiusPixels) {
    return std::nullopt;
  }
  // Leave out circles whose outline cannot touch the area: wholly outside it,
  // or so large that the whole area lies inside them.
  const double nearX = std::clamp(cx, area.left, area.right);
  const double nearY = std::clamp(cy, area.top, area.bottom);
  if (std::hypot(cx - nearX, cy - nearY) > r) return std::nullopt;
  const double farX = std::max(std::fabs(cx - area.left), std::fabs(cx - area.right));
  const double farY = std::max(std::fabs(cy - area.top), std::fabs(cy - area.bottom));
  if (std::hypot(farX, farY) < r) return std::nullopt;
  return Ring{Point{cx, cy}, r};
}

}  // namespace chain
