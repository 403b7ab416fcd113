#include "web/Surface.h"

namespace chain::web {

Surface::Surface(double widthPixels, double heightPixels)
    : area_(ClipArea(widthPixels, heightPixels)) {
  commands_.reserve(static_cast<std::size_t>(kCommandSize) * 128);
}

void Surface::Line(double x1, double y1, double x2, double y2, ColourWord colour) {
  const std::optional<Segment> s = LineInPixels(x1, y1, x2, y2, area_);
  if (!s) return;
  commands_.insert(commands_.end(), {static_cast<double>(kLineCommand), static_cast<double>(colour),
                                     s->p1.x, s->p1.y, s->p2.x, s->p2.y});
}

void Surface::Circle(double x, double y, double radius, ColourWord colour) {
  const std::optional<Ring> r = CircleInPixels(x, y, radius, area_);
  if (!r) return;
  commands_.insert(commands_.end(),
                   {static_cast<double>(kCircleCommand), static_cast<double>(colour), r->centre.x,
                    r->centre.y, r->radius, 0.0});
}

}  // namespace chain::web
