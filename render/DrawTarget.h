#pragma once
// A drawing surface as a node sees it: two operations and nothing else (the
// loop also clears it before each frame).
// Coordinates and radii are twips, origin top-left, y downward. Colours are
// colour words: red + 256 * green + 65536 * blue (red in the low byte).

#include <cstdint>
#include <stdexcept>

namespace chain {

using ColourWord = std::uint32_t;

inline constexpr ColourWord kPureRed = 0x0000FF;
inline constexpr ColourWord kPureBlue = 0xFF0000;

// Raised by a target for an operation it does not offer, or that failed.
class DrawError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class DrawTarget {
 public:
  virtual ~DrawTarget() = default;
  // Erases everything drawn, before a frame is drawn anew; nodes never call it.
  virtual void Clear() {}
  // A straight segment between two absolute points. A target that does not
  // offer lines keeps this default, which fails.
  virtual void Line(double x1, double y1, double x2, double y2, ColourWord colour) {
    (void)x1, (void)y1, (void)x2, (void)y2, (void)colour;
    throw DrawError("this target draws no lines");
  }
  // A whole circle, aspect ratio 1, no fill asked for.
  virtual void Circle(double x, double y, double radius, ColourWord colour) {
    (void)x, (void)y, (void)radius, (void)colour;
    throw DrawError("this target draws no circles");
  }

 protected:
  DrawTarget() = default;
  DrawTarget(const DrawTarget&) = default;
  DrawTarget& operator=(const DrawTarget&) = default;
};

}  // namespace chain
