#pragma once
// One point mass of the hanging chain and its time step.
//
// A node is a plain record with public fields: start-up, the neighbouring
// nodes' time step, drawing and the window's handlers read and write them
// directly. A link belongs to the node at its start: the link between node i
// and node i+1 is node i's nextK and nextLength, and its current length is
// node i's distNext(). Node i+1 reaches the same values through prevSpring.

#include <optional>

namespace chain {

class Spring {
 public:
  // Simulated time of one pass; multiplies the acceleration and the velocity.
  static constexpr double TimeStep = 0.3;
  // Applied to the whole new velocity in every pass.
  static constexpr double Damping = 0.998;
  // Mass * Gravity is added to Fy; y grows downward.
  static constexpr double Gravity = 9.80665;

  Spring() noexcept { Class_Initialize(); }

  // Fields, in their declared order. Positions are in twips.
  double xPos = 0;
  double yPos = 0;
  double Vx = 0;
  double Vy = 0;
  double Ax = 0;
  double Ay = 0;
  double Fx = 0;
  double Fy = 0;
  double Mass = 0;
  double nextK = 0;       // stiffness of the link to the next node
  double nextLength = 0;  // rest length of the link to the next node
  bool hasPrev = false;
  bool hasNext = false;
  Spring* prevSpring = nullptr;  // not owned
  Spring* nextSpring = nullptr;  // not owned
  double ColScale = 1.0;         // colour-scale factor of the strain display

  // Current length of the link that starts at this node; 0 without a next
  // node. Empty when the arithmetic overflows or is invalid: the caller
  // abandons the statement that asked for it.
  [[nodiscard]] std::optional<double> distNext() const noexcept;

  // Forces of both links and gravity, acceleration, damped new velocity.
  // Absorbs its faults statement by statement and never reports one.
  // A fixed node (one lacking either neighbour) is left untouched.
  void Compute() noexcept;

  // Position from the new velocity. Returns false when an arithmetic fault
  // ended it: a fault in x leaves xPos as it was and y unmoved; a fault in y
  // is reported after yPos holds the IEEE result.
  [[nodiscard]] bool Move() noexcept;

  // Linking. A second call replaces the neighbour; nothing ever unlinks.
  void SetNext(Spring& obj) noexcept;
  void SetPrev(Spring& obj) noexcept;

  [[nodiscard]] bool IsFree() const noexcept { return hasPrev && hasNext; }

 private:
  void Class_Initialize() noexcept {
    ColScale = 1.0;
    hasPrev = false;
    hasNext = false;
  }
};

}  // namespace chain
