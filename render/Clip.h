#pragma once
// Where a node's lines and circles, given in twips, land on a surface in
// logical pixels. Done in double precision before anything reaches a painter
// or a canvas, so no coordinate handed to one is huge or not finite: both
// silently drop a line that reaches out near the end of the double range.

#include <optional>

#include "render/Controls.h"

namespace chain {

struct Point {
  double x = 0;
  double y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Segment {
  Point p1;
  Point p2;
};

// A circle's outline, in logical pixels.
struct Ring {
  Point centre;
  double radius = 0;
};

// A rectangle given by its edges, in logical pixels.
struct Area {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
};

// The area lines and circles are cut to: a surface of that logical size, a
// little enlarged so that cut ends and the circles' edges stay out of sight.
[[nodiscard]] Area ClipArea(double widthPixels, double heightPixels);

// The part of a segment (in logical pixels) that can reach the area, or nothing.
[[nodiscard]] std::optional<Segment> ClipSegment(double x1, double y1, double x2, double y2,
                                                 const Area& area);

// What a Line or Circle in twips puts on a surface, in logical pixels: the part
// of the segment that can reach the area, or the ring when its outline can
// touch the area; nothing otherwise.
[[nodiscard]] std::optional<Segment> LineInPixels(double x1, double y1, double x2, double y2,
                                                  const Area& area);
[[nodiscard]] std::optional<Ring> CircleInPixels(double x, double y, double radius,
                                                 const Area& area);

}  // namespace chain
