#pragma once
// The window's chain once it has come to rest, settled once per test program
// and copied, for the tests of the words that describe it.

#include "model/Chain.h"
#include "render/Session.h"

namespace chain::testing {

inline void Passes(SpringArray& springs, int n) {
  for (int i = 0; i < n; ++i) PhysicsPass(springs);
}

inline void Settled(SpringArray& springs) {
  static SpringArray rest;
  if (rest.Count() == 0) SetUpChain(rest, kLastIndex), Passes(rest, 12000);
  SetUpChain(springs, kLastIndex);
  for (int i = 0; i <= kLastIndex; ++i) {
    Spring& s = springs(i);
    const Spring& r = rest(i);
    s.xPos = r.xPos, s.yPos = r.yPos, s.Vx = r.Vx, s.Vy = r.Vy, s.Ax = r.Ax, s.Ay = r.Ay;
  }
}

}  // namespace chain::testing
