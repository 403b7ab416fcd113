#pragma once
// What one call of Compute, Move or Draw must do, worked out step by step from
// the rules of the time step and of the drawing, independently of model/ and
// render/. A step faults when the processor raises division by zero, overflow
// or invalid operation for one of its operations (read from the floating-point
// status flags, not from the results), and a faulted step leaves what the rules
// say it leaves.

#include <cstdint>
#include <vector>

#include "model/Spring.h"

namespace chain::fuzz {

// The six fields Compute owns.
struct ComputeResult {
  double Fx, Fy, Ax, Ay, Vx, Vy;
};
[[nodiscard]] ComputeResult ExpectedCompute(const Spring& s);

struct MoveResult {
  double xPos, yPos;
  bool ok;
};
[[nodiscard]] MoveResult ExpectedMove(const Spring& s);

// One drawing asked of the target: a line (x1, y1, x2, y2) or a circle (x, y, r).
struct DrawCall {
  char kind;  // 'L' or 'C'
  double a, b, c, d;
  std::uint32_t colour;
};
// The drawings Draw asks for, in their order. A link whose colour is no colour
// word (NaN, negative, above 0xFFFFFF) asks for no line.
[[nodiscard]] std::vector<DrawCall> ExpectedDraw(const Spring& s);

}  // namespace chain::fuzz
