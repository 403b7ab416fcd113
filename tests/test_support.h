#pragma once
// Small helpers shared by the model and drawing tests.

#include <bit>
#include <cstdint>
#include <cstring>

#include "model/Spring.h"

namespace chain::testing {

[[nodiscard]] inline std::uint64_t Bits(double d) {
#if defined(__cpp_lib_bit_cast)
  return std::bit_cast<std::uint64_t>(d);
#else  // a standard library without bit_cast (the WebAssembly build's)
  std::uint64_t bits = 0;
  std::memcpy(&bits, &d, sizeof bits);
  return bits;
#endif
}

// Three nodes p - s - n, linked as start-up links them: s is free, p and n fixed.
struct Triple {
  Spring p, s, n;
  Triple(double px, double py, double sx, double sy, double nx, double ny) {
    p.SetNext(s);
    s.SetPrev(p);
    s.SetNext(n);
    n.SetPrev(s);
    p.xPos = px, p.yPos = py, s.xPos = sx, s.yPos = sy, n.xPos = nx, n.yPos = ny;
    for (Spring* node : {&p, &s, &n}) {
      node->Mass = 1.0;
      node->nextK = 1.0;
    }
    p.nextLength = p.distNext().value_or(0);
    s.nextLength = s.distNext().value_or(0);
  }
  Triple(const Triple&) = delete;
  Triple& operator=(const Triple&) = delete;
};

}  // namespace chain::testing
