#pragma once
// The drawing surface done the plain way: the same image size, background,
// pixel mapping and choice of what reaches the image as Picture1, but every
// Line and Circle opens its own painter and sets its own pen. Whatever
// Picture1 does to draw faster, its frames must equal this one's pixel for
// pixel; the benchmarks also use it as the cost of the plain way.

#include <QImage>
#include <QPainter>
#include <QPen>
#include <cmath>

#include "render/Clip.h"
#include "render/DrawTarget.h"
#include "ui/Picture1.h"
#include "ui/QtColour.h"

namespace chain::testing {

class StraightSurface : public DrawTarget {
 public:
  // A surface of `size` logical pixels on a screen of that device pixel ratio.
  explicit StraightSurface(QSize size, qreal devicePixelRatio = 1.0)
      : size_(size),
        image_(QSize(static_cast<int>(std::ceil(size.width() * devicePixelRatio)),
                     static_cast<int>(std::ceil(size.height() * devicePixelRatio))),
               QImage::Format_RGB32) {
    image_.setDevicePixelRatio(devicePixelRatio);
    Clear();
  }

  void Clear() override { image_.fill(Picture1::kBackground); }

  void Line(double x1, double y1, double x2, double y2, ColourWord colour) override {
    if (const std::optional<Segment> s = LineInPixels(x1, y1, x2, y2, ClipTo())) {
      QPainter p(&image_);
      Prepare(p, colour);
      p.drawLine(QLineF(s->p1.x, s->p1.y, s->p2.x, s->p2.y));
    }
  }

  void Circle(double x, double y, double radius, ColourWord colour) override {
    if (const std::optional<Ring> ring = CircleInPixels(x, y, radius, ClipTo())) {
      QPainter p(&image_);
      Prepare(p, colour);
      p.drawEllipse(QPointF(ring->centre.x, ring->centre.y), ring->radius, ring->radius);
    }
  }

  [[nodiscard]] const QImage& Image() const { return image_; }

 private:
  [[nodiscard]] Area ClipTo() const { return ClipArea(size_.width(), size_.height()); }

  static void Prepare(QPainter& p, ColourWord colour) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    QPen pen(ToQColor(colour));
    pen.setWidthF(p.device()->devicePixelRatio());  // one logical pixel, as Picture1
    pen.setCosmetic(true);
    p.setPen(pen);
  }

  QSize size_;
  QImage image_;
};

}  // namespace chain::testing
