#include "ui/Picture1.h"

#include <QPaintEvent>
#include <QPen>
#include <algorithm>
#include <cmath>

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
  clipArea_ = ClipArea(size());
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

void Picture1::UsePen(ColourWord colour) {
  if (penColour_ == colour) return;
  FlushLines();
  QPen pen(ToQColor(colour));
  // A cosmetic pen's width counts device pixels: one logical pixel is as many
  // as the device pixel ratio, so lines look the same, only sharper, on a
  // high-density screen (at ratio 1 the painter's fast path for thin lines).
  pen.setWidthF(image_.devicePixelRatio());
  pen.setCosmetic(true);
  Painter().setPen(pen);
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
  image_.fill(kBackground);
}

std::optional<QLineF> Picture1::ClipSegment(double x1, double y1, double x2, double y2,
                                            const QRectF& area) {
  // Liang-Barsky against the area; anything not finite is left out.
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) {
    return std::nullopt;
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
  // a cut end takes the edge's own coordinate exactly, and every end is kept
  // inside the area whatever rounding did.
  const double edges[4] = {area.left(), area.right(), area.top(), area.bottom()};
  auto at = [&](double t, int edge) {
    double x = edge == 0 || edge == 1 ? edges[edge] : x1 + t * dx;
    double y = edge == 2 || edge == 3 ? edges[edge] : y1 + t * dy;
    x = std::clamp(x, area.left(), area.right());
    y = std::clamp(y, area.top(), area.bottom());
    return QPointF(x, y);
  };
  return QLineF(at(t0, edge0), at(t1, edge1));
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
  EnsureImage();
  const std::optional<QLineF> segment = LineInPixels(x1, y1, x2, y2, clipArea_);
  if (!segment) return;
  UsePen(colour);
  pendingLines_.push_back(*segment);
}

void Picture1::Circle(double x, double y, double radius, ColourWord colour) {
  EnsureImage();
  const std::optional<Ring> ring = CircleInPixels(x, y, radius, clipArea_);
  if (!ring) return;
  UsePen(colour);
  FlushLines();
  Painter().drawEllipse(ring->centre, ring->radius, ring->radius);
}

void Picture1::Present() {
  Finish();
  update();
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
  p.setClipRegion(event->region());
  p.drawImage(QPointF(0, 0), image_);  // the image carries the device pixel ratio
}

}  // namespace chain
