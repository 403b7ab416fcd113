#pragma once
// Checked double arithmetic.
//
// A statement of the time step or of the drawing is abandoned when one of its
// operations divides by zero, overflows or is invalid. Those faults are told
// apart from ordinary results by looking at each result next to its operands:
//  - a NaN made from operands that are not NaN is an invalid operation
//    (0/0, inf - inf, 0 * inf, sqrt of a negative number);
//  - an infinity made from finite operands is an overflow or a division by zero.
// A NaN or an infinity that merely travels on from an operand is no fault.
// Floating-point status flags are not used: the compiler may move operations
// across the reads of those flags.

#if defined(__FAST_MATH__) || (defined(__FINITE_MATH_ONLY__) && __FINITE_MATH_ONLY__)
#error \
    "The chain's arithmetic must be plain IEEE double precision: build without -ffast-math / -Ofast."
#endif

#include <cmath>

namespace chain {

[[nodiscard]] constexpr bool IsFault(double result, double a, double b) noexcept {
  if (std::isnan(result)) return !std::isnan(a) && !std::isnan(b);
  if (std::isinf(result)) return std::isfinite(a) && std::isfinite(b);
  return false;
}

[[nodiscard]] constexpr bool IsFault(double result, double a) noexcept {
  if (std::isnan(result)) return !std::isnan(a);
  if (std::isinf(result)) return std::isfinite(a);
  return false;
}

// Evaluates the operations of one statement and remembers whether any faulted.
// Every operation still yields its IEEE result, so a statement whose rule is
// "store, then notice the fault" can store what it computed.
class Checked {
 public:
  [[nodiscard]] double Add(double a, double b) noexcept { return Note(a + b, a, b); }
  [[nodiscard]] double Sub(double a, double b) noexcept { return Note(a - b, a, b); }
  [[nodiscard]] double Mul(double a, double b) noexcept { return Note(a * b, a, b); }
  [[nodiscard]] double Div(double a, double b) noexcept { return Note(a / b, a, b); }
  [[nodiscard]] double Sqrt(double a) noexcept {
    const double r = std::sqrt(a);
    faulted_ = faulted_ || IsFault(r, a);
    return r;
  }
  [[nodiscard]] bool Ok() const noexcept { return !faulted_; }
  [[nodiscard]] bool Faulted() const noexcept { return faulted_; }

 private:
  double Note(double r, double a, double b) noexcept {
    faulted_ = faulted_ || IsFault(r, a, b);
    return r;
  }
  bool faulted_ = false;
};

}  // namespace chain
