#pragma once
// The page's drawing surface as the nodes see it: each Line and Circle, given
// in twips, is cut to the surface (render/Clip) and kept as a command in
// logical pixels for the page's script to paint on its canvas.

#include <vector>

#include "render/Clip.h"
#include "render/DrawTarget.h"

namespace chain::web {

// One command: kind, colour word, then four numbers: x1, y1, x2, y2 for a
// line; centre x, centre y, radius and 0 for a circle.
inline constexpr int kCommandSize = 6;
enum CommandKind { kLineCommand = 1, kCircleCommand = 2 };

class Surface final : public DrawTarget {
 public:
  Surface(double widthPixels, double heightPixels);

  void Clear() noexcept override { commands_.clear(); }
  void Line(double x1, double y1, double x2, double y2, ColourWord colour) override;
  void Circle(double x, double y, double radius, ColourWord colour) override;

  [[nodiscard]] const std::vector<double>& Commands() const noexcept { return commands_; }
  [[nodiscard]] int Count() const noexcept {
    return static_cast<int>(commands_.size()) / kCommandSize;
  }

 private:
  Area area_;
  std::vector<double> commands_;
};

}  // namespace chain::web
