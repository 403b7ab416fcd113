#include "ui/Picture1.h"

#include <QPaintEvent>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <limits>

namespace chain {

namespace {

// Colour words hold red in the low byte.
QColor ToQColor(ColourWord word) {
  return QColor(static_cast<int>(word & 0xFFu), static_cast<int>((word >> 8) & 0xFFu),
                static_cast<int>((word >> 16) & 0xFFu));
}

// Room around the surface so that clipped ends and the circles' edges stay
// outside the visible area.
constexpr double kClipMargin = 8.0;
// A circle with a larger radius (in pixels) is not drawn: its outline could
// only cross the surface as a practically straight line, far beyond any mass
// the controls can give a node.
constexpr double kMaxRadiusPixels = 1.0e5;
// How far an antialiased one-pixel outline can reach past its exact geometry
// (half the pen, the square cap, the pixel touched by the edge), with room.
constexpr double kInk = 2.0;

}  // namespace

Picture1::Picture1(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setAccessibleName(QStringLiteral("Chain drawing"));
  pendingLines_.reserve(128);
}

Picture1::~Picture1() { Finish(); }

void Picture1::EnsureImage() {
  const qreal dpr = devicePixelRatioF();
  const QSize device(static_cast<int>(std::ceil(width() * dpr)),
                     static_cast<int>(std::ceil(height() * dpr)));
  if (image_.size() == device && image_.devicePixelRatio() == dpr) return;
  Finish();
  image_ = QImage(device, QImage::Format_RGB32);
  image_.setDevicePixelRatio(dpr);
  image_.fill(kBackground);
  pens_.clear();  // their width follows the device pixel ratio
  clipArea_ = ClipArea(size());
  tilesX_ = (width() + kTile - 1) / kTile;
  tilesY_ = (height() + kTile - 1) / kTile;
  const auto tiles = static_cast<std::size_t>(tilesX_) * static_cast<std::size_t>(tilesY_);
  drawn_.assign(tiles, 0);
  changed_.assign(tiles, 1);  // a new image: the whole surface is to be shown
}

void Picture1::MarkDrawn(const QRectF& bounds) {
  // Bounds are finite here; clamping keeps tiles of ink beyond the surface out.
  const auto tile = [](double v, int count) {
    return static_cast<int>(std::clamp(std::floor(v / kTile), 0.0, count - 1.0));
  };
  if (bounds.right() < 0 || bounds.bottom() < 0 || bounds.left() >= width() ||
      bounds.top() >= height() || tilesX_ == 0 || tilesY_ == 0) {
    return;
  }
  const int x0 = tile(bounds.left(), tilesX_);
  const int x1 = tile(bounds.right(), tilesX_);
  const int y0 = tile(bounds.top(), tilesY_);
  const int y1 = tile(bounds.bottom(), tilesY_);
  for (int ty = y0; ty <= y1; ++ty) {
    const auto row = static_cast<std::size_t>(ty) * static_cast<std::size_t>(tilesX_);
    for (int tx = x0; tx <= x1; ++tx) {
      drawn_[row + static_cast<std::size_t>(tx)] = 1;
      changed_[row + static_cast<std::size_t>(tx)] = 1;
    }
  }
}

void Picture1::FillTiles(const std::vector<unsigned char>& tiles) {
  // Runs of tiles along each tile row, filled straight into the image rows.
  const qreal dpr = image_.devicePixelRatio();
  const auto device = [dpr](int logical) { return static_cast<int>(std::ceil(logical * dpr)); };
  auto* const bits = reinterpret_cast<QRgb*>(image_.bits());
  const auto stride = static_cast<std::size_t>(image_.bytesPerLine()) / sizeof(QRgb);
  for (int ty = 0; ty < tilesY_; ++ty) {
    const auto row = static_cast<std::size_t>(ty) * static_cast<std::size_t>(tilesX_);
    for (int tx = 0; tx < tilesX_;) {
      if (tiles[row + static_cast<std::size_t>(tx)] == 0) {
        ++tx;
        continue;
      }
      const int start = tx;
      while (tx < tilesX_ && tiles[row + static_cast<std::size_t>(tx)] != 0) ++tx;
      const int left = std::min(device(start * kTile), image_.width());
      const int right = std::min(device(tx * kTile), image_.width());
      const int top = std::min(device(ty * kTile), image_.height());
      const int bottom = std::min(device((ty + 1) * kTile), image_.height());
      for (int y = top; y < bottom; ++y) {
        QRgb* const line = bits + static_cast<std::size_t>(y) * stride;
        std::fill(line + left, line + right, kBackground);
      }
    }
  }
}

QRegion Picture1::TileRegion(const std::vector<unsigned char>& tiles) const {
  std::vector<QRect> rects;  // y-x banded: runs of one tile row, rows in order
  for (int ty = 0; ty < tilesY_; ++ty) {
    const auto row = static_cast<std::size_t>(ty) * static_cast<std::size_t>(tilesX_);
    for (int tx = 0; tx < tilesX_;) {
      if (tiles[row + static_cast<std::size_t>(tx)] == 0) {
        ++tx;
        continue;
      }
      const int start = tx;
      while (tx < tilesX_ && tiles[row + static_cast<std::size_t>(tx)] != 0) ++tx;
      rects.emplace_back(start * kTile, ty * kTile, (tx - start) * kTile, kTile);
    }
  }
  QRegion region;
  region.setRects(rects.data(), static_cast<int>(rects.size()));
  return region & rect();
}

QRectF Picture1::ClipArea(QSize size) {
  return QRectF(-kClipMargin, -kClipMargin, size.width() + 2 * kClipMargin,
                size.height() + 2 * kClipMargin);
}

QPainter& Picture1::Painter() {
  if (!painter_.isActive()) {
    EnsureImage();
    painter_.begin(&image_);
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setBrush(Qt::NoBrush);
    penColour_.reset();
  }
  return painter_;
}

const QPen& Picture1::PenFor(ColourWord colour) {
  for (const auto& [word, pen] : pens_) {
    if (word == colour) return pen;
  }
  QPen pen(ToQColor(colour));
  // A cosmetic pen's width counts device pixels: one logical pixel is as many
  // as the device pixel ratio, so lines look the same, only sharper, on a
  // high-density screen (at ratio 1 the painter's fast path for thin lines).
  pen.setWidthF(image_.devicePixelRatio());
  pen.setCosmetic(true);
  if (pens_.size() >= 512) pens_.clear();  // arbitrary colours: keep the list short
  pens_.emplace_back(colour, pen);
  return pens_.back().second;
}

void Picture1::UsePen(ColourWord colour) {
  if (penColour_ == colour) return;
  FlushLines();
  Painter().setPen(PenFor(colour));
  penColour_ = colour;
}

void Picture1::FlushLines() {
  if (pendingLines_.empty()) return;
  Painter().drawLines(pendingLines_.data(), static_cast<int>(pendingLines_.size()));
  pendingLines_.clear();
}

void Picture1::Finish() {
  FlushLines();
  if (painter_.isActive()) painter_.end();
  penColour_.reset();
}

void Picture1::Clear() {
  Finish();
  EnsureImage();
  FillTiles(drawn_);
  for (std::size_t i = 0; i < drawn_.size(); ++i) {
    changed_[i] = static_cast<unsigned char>(changed_[i] | drawn_[i]);
  }
  std::fill(drawn_.begin(), drawn_.end(), 0);
}

void Picture1::ClearWhole() {
  Finish();
  EnsureImage();
  image_.fill(kBackground);
  std::fill(drawn_.begin(), drawn_.end(), 0);
  std::fill(changed_.begin(), changed_.end(), 1);
}

std::optional<QLineF> Picture1::ClipSegment(double x1, double y1, double x2, double y2,
                                            const QRectF& area) {
  // Liang-Barsky against the area; anything not finite is left out.
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) {
    return std::nullopt;
  }
  // Cut points are computed from the first end: let that be the one nearer the
  // area, where x1 + t * dx keeps its precision.
  const QPointF middle = area.center();
  auto distance = [&](double x, double y) {
    return std::max(std::fabs(x - middle.x()), std::fabs(y - middle.y()));
  };
  if (distance(x2, y2) < distance(x1, y1)) {
    const std::optional<QLineF> back = ClipSegment(x2, y2, x1, y1, area);
    if (!back) return std::nullopt;
    return QLineF(back->p2(), back->p1());
  }
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  if (!std::isfinite(dx) || !std::isfinite(dy)) return std::nullopt;
  double t0 = 0.0;
  double t1 = 1.0;
  int edge0 = -1;  // which edge cut each end off, if any
  int edge1 = -1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1 - area.left(), area.right() - x1, y1 - area.top(), area.bottom() - y1};
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
  const double edges[4] = {area.left(), area.right(), area.top(), area.bottom()};
  bool placed = true;
  auto at = [&](double t, int edge, double endX, double endY) {
    if (edge < 0)
      return QPointF(std::clamp(endX, area.left(), area.right()),
                     std::clamp(endY, area.top(), area.bottom()));
    const bool vertical = edge == 0 || edge == 1;
    double x = vertical ? edges[edge] : x1 + t * dx;
    double y = vertical ? y1 + t * dy : edges[edge];
    const double error = vertical ? kUncertainty * (std::fabs(y1) + std::fabs(t * dy))
                                  : kUncertainty * (std::fabs(x1) + std::fabs(t * dx));
    if (!(error <= 0.05)) placed = false;
    x = std::clamp(x, area.left(), area.right());
    y = std::clamp(y, area.top(), area.bottom());
    return QPointF(x, y);
  };
  const QLineF line(at(t0, edge0, x1, y1), at(t1, edge1, x2, y2));
  if (!placed) return std::nullopt;
  return line;
}

std::optional<QLineF> Picture1::LineInPixels(double x1, double y1, double x2, double y2,
                                             const QRectF& area) {
  return ClipSegment(x1 / kTwipsPerPixel, y1 / kTwipsPerPixel, x2 / kTwipsPerPixel,
                     y2 / kTwipsPerPixel, area);
}

std::optional<Picture1::Ring> Picture1::CircleInPixels(double x, double y, double radius,
                                                       const QRectF& area) {
  const double cx = x / kTwipsPerPixel;
  const double cy = y / kTwipsPerPixel;
  const double r = radius / kTwipsPerPixel;
  if (!std::isfinite(cx) || !std::isfinite(cy) || !(r >= 0.0) || r > kMaxRadiusPixels) {
    return std::nullopt;
  }
  // Leave out circles whose outline cannot touch the area: wholly outside it,
  // or so large that the whole area lies inside them.
  const double nearX = std::clamp(cx, area.left(), area.right());
  const double nearY = std::clamp(cy, area.top(), area.bottom());
  if (std::hypot(cx - nearX, cy - nearY) > r) return std::nullopt;
  const double farX = std::max(std::fabs(cx - area.left()), std::fabs(cx - area.right()));
  const double farY = std::max(std::fabs(cy - area.top()), std::fabs(cy - area.bottom()));
  if (std::hypot(farX, farY) < r) return std::nullopt;
  return Ring{QPointF(cx, cy), r};
}

void Picture1::Line(double x1, double y1, double x2, double y2, ColourWord colour) {
  if (!painter_.isActive()) EnsureImage();  // while painting, the image is current
  const std::optional<QLineF> segment = LineInPixels(x1, y1, x2, y2, clipArea_);
  if (!segment) return;
  UsePen(colour);
  pendingLines_.push_back(*segment);
  MarkDrawn(QRectF(segment->p1(), segment->p2()).normalized().adjusted(-kInk, -kInk, kInk, kInk));
}

void Picture1::Circle(double x, double y, double radius, ColourWord colour) {
  if (!painter_.isActive()) EnsureImage();
  const std::optional<Ring> ring = CircleInPixels(x, y, radius, clipArea_);
  if (!ring) return;
  UsePen(colour);
  FlushLines();
  Painter().drawEllipse(ring->centre, ring->radius, ring->radius);
  // The curves that make up a circle bulge out by up to about 0.03 % of its radius.
  const double reach = ring->radius * 1.001 + kInk;
  MarkDrawn(QRectF(ring->centre.x() - reach, ring->centre.y() - reach, 2 * reach, 2 * reach));
}

void Picture1::Present() {
  Finish();
  EnsureImage();
  if (std::find(changed_.begin(), changed_.end(), 1) == changed_.end()) return;
  update(TileRegion(changed_));
  std::fill(changed_.begin(), changed_.end(), 0);
}

const QImage& Picture1::Image() {
  Finish();
  EnsureImage();
  return image_;
}

void Picture1::paintEvent(QPaintEvent* event) {
  Finish();
  EnsureImage();
  QPainter p(this);
  // Rectangle by rectangle: a plain copy each, where a clip of many rectangles
  // would slow every pixel down.
  const qreal dpr = image_.devicePixelRatio();
  for (const QRect& r : event->region()) {
    const QRectF source(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr);
    p.drawImage(QRectF(r), image_, source);
  }
}

}  // namespace chain
