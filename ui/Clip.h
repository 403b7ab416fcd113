#pragma once
// Where a node's lines and circles, given in twips, land on a surface in
// logical pixels. Done in double precision before anything reaches a painter,
// so no coordinate handed to it is huge or not finite.

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <optional>

#include "ui/Settings.h"

namespace chain {

// A circle's outline, in logical pixels.
struct Ring {
  QPointF centre;
  double radius;
};

// The area lines and circles are cut to: a surface of that logical size, a
// little enlarged so that cut ends and the circles' edges stay out of sight.
[[nodiscard]] QRectF ClipArea(QSize size);

// The part of a segment (in logical pixels) that can reach the area, or nothing.
[[nodiscard]] std::optional<QLineF> ClipSegment(double x1, double y1, double x2, double y2,
                                                const QRectF& area);

// What a Line or Circle in twips puts on a surface, in logical pixels: the part
// of the segment that can reach the area, or the ring when its outline can
// touch the area; nothing otherwise.
[[nodiscard]] std::optional<QLineF> LineInPixels(double x1, double y1, double x2, double y2,
                                                 const QRectF& area);
[[nodiscard]] std::optional<Ring> CircleInPixels(double x, double y, double radius,
                                                 const QRectF& area);

}  // namespace chain
