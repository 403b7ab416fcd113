#include "ui/Picture1.h"

#include <QPaintEvent>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "ui/FocusFrame.h"
#include "ui/QtColour.h"

namespace chain {

namespace {

// How far an antialiased one-pixel outline can reach past its exact geometry
// (half the pen, the square cap, the pixel touched by the edge), with room.
constexpr double kInk = 2.0;

}  // namespace

Picture1::Picture1(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
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
  clipArea_ = ClipArea(width(), height());
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

const std::vector<QRect>& Picture1::TileRuns(const std::vector<unsigned char>& tiles) {
  runs_.clear();  // y-x banded: runs of one tile row, rows in order
  for (int ty = 0; ty < tilesY_; ++ty) {
    const auto row = static_cast<std::size_t>(ty) * static_cast<std::size_t>(tilesX_);
    for (int tx = 0; tx < tilesX_;) {
      if (tiles[row + static_cast<std::size_t>(tx)] == 0) {
        ++tx;
        continue;
      }
      const int start = tx;
      while (tx < tilesX_ && tiles[row + static_cast<std::size_t>(tx)] != 0) ++tx;
      runs_.emplace_back(start * kTile, ty * kTile, (tx - start) * kTile, kTile);
    }
  }
  return runs_;
}

void Picture1::FillTiles(const std::vector<unsigned char>& tiles) {
  // Filled straight into the image rows.
  const qreal dpr = image_.devicePixelRatio();
  const auto device = [dpr](int logical) { return static_cast<int>(std::ceil(logical * dpr)); };
  auto* const bits = reinterpret_cast<QRgb*>(image_.bits());
  const auto stride = static_cast<std::size_t>(image_.bytesPerLine()) / sizeof(QRgb);
  for (const QRect& run : TileRuns(tiles)) {
    const int left = std::min(device(run.left()), image_.width());
    const int right = std::min(device(run.left() + run.width()), image_.width());
    const int top = std::min(device(run.top()), image_.height());
    const int bottom = std::min(device(run.top() + run.height()), image_.height());
    for (int y = top; y < bottom; ++y) {
      QRgb* const line = bits + static_cast<std::size_t>(y) * stride;
      std::fill(line + left, line + right, kBackground);
    }
  }
}

QRegion Picture1::TileRegion(const std::vector<unsigned char>& tiles) {
  const std::vector<QRect>& runs = TileRuns(tiles);
  QRegion region;
  region.setRects(runs.data(), static_cast<int>(runs.size()));
  return region & rect();
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
  std::ranges::fill(drawn_, 0);
}

void Picture1::Line(double x1, double y1, double x2, double y2, ColourWord colour) {
  if (!painter_.isActive()) EnsureImage();  // while painting, the image is current
  const std::optional<Segment> segment = LineInPixels(x1, y1, x2, y2, clipArea_);
  if (!segment) return;
  UsePen(colour);
  const QLineF line(segment->p1.x, segment->p1.y, segment->p2.x, segment->p2.y);
  pendingLines_.push_back(line);
  MarkDrawn(QRectF(line.p1(), line.p2()).normalized().adjusted(-kInk, -kInk, kInk, kInk));
}

void Picture1::Circle(double x, double y, double radius, ColourWord colour) {
  if (!painter_.isActive()) EnsureImage();
  const std::optional<Ring> ring = CircleInPixels(x, y, radius, clipArea_);
  if (!ring) return;
  UsePen(colour);
  FlushLines();
  Painter().drawEllipse(QPointF(ring->centre.x, ring->centre.y), ring->radius, ring->radius);
  // The curves that make up a circle bulge out by up to about 0.03 % of its radius.
  const double reach = ring->radius * 1.001 + kInk;
  MarkDrawn(QRectF(ring->centre.x - reach, ring->centre.y - reach, 2 * reach, 2 * reach));
}

void Picture1::Present() {
  Finish();
  EnsureImage();
  if (std::ranges::find(changed_, 1) == changed_.end()) return;
  update(TileRegion(changed_));
  std::ranges::fill(changed_, 0);
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
  // On the widget only: the image, and so every frame of the chain, stays as drawn.
  if (hasFocus()) DrawFocusFrame(p, *this);
}

}  // namespace chain
