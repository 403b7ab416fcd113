#include "model/Spring.h"

#include <cmath>

#include "model/Checked.h"

namespace chain {

namespace {

// One component of one link's pull on a node:
//   ((d * (|L - R| / R)) * K) * sign,  d = neighbour's coordinate - own coordinate.
// The whole vector to the neighbour is the direction factor, so the pull grows
// with the link's length. A faulted term counts as zero.
double LinkTerm(double neighbourCoord, double ownCoord, double length, double restLength,
                double stiffness, double sign) noexcept {
  Checked c;
  const double d = c.Sub(neighbourCoord, ownCoord);
  const double strain = c.Div(std::fabs(c.Sub(length, restLength)), restLength);
  const double term = c.Mul(c.Mul(c.Mul(d, strain), stiffness), sign);
  return c.Ok() ? term : 0.0;
}

// A stretched link pulls (+1); a link at or below its rest length gives -1.
// With a NaN on either side the comparison is invalid, but then every term of
// that link is NaN whatever the sign, so the sign chosen here does not matter.
double LinkSign(double restLength, double length) noexcept {
  return restLength < length ? 1.0 : -1.0;
}

}  // namespace

std::optional<double> Spring::distNext() const noexcept {
  if (!hasNext) return 0.0;
  const Spring& n = *nextSpring;
  Checked c;
  const double dx = c.Sub(xPos, n.xPos);
  const double dy = c.Sub(yPos, n.yPos);
  const double length = c.Sqrt(c.Add(c.Mul(dx, dx), c.Mul(dy, dy)));
  if (c.Faulted()) return std::nullopt;
  return length;
}

void Spring::Compute() noexcept {
  if (!hasPrev || !hasNext) return;
  const Spring& p = *prevSpring;
  const Spring& n = *nextSpring;

  // The lengths are obtained once: nothing moves during the compute phase, and
  // a length that cannot be obtained leaves both terms of its link at zero.
  const std::optional<double> ln = distNext();
  const double sn = ln ? LinkSign(nextLength, *ln) : -1.0;
  const std::optional<double> lp = p.distNext();
  const double rp = p.nextLength;
  const double sp = lp ? LinkSign(rp, *lp) : -1.0;

  double fxn = 0;
  double fyn = 0;
  double fxp = 0;
  double fyp = 0;
  if (ln) {
    fxn = LinkTerm(n.xPos, xPos, *ln, nextLength, nextK, sn);
    fyn = LinkTerm(n.yPos, yPos, *ln, nextLength, nextK, sn);
  }
  if (lp) {
    fxp = LinkTerm(p.xPos, xPos, *lp, rp, p.nextK, sp);
    fyp = LinkTerm(p.yPos, yPos, *lp, rp, p.nextK, sp);
  }

  {  // Fx keeps its old value when the sum overflows.
    Checked c;
    const double fx = c.Add(fxn, fxp);
    if (c.Ok()) Fx = fx;
  }
  {
    Checked c;
    const double fy = c.Add(c.Add(fyn, fyp), c.Mul(Mass, Gravity));
    if (c.Ok()) Fy = fy;
  }
  {  // A zero mass keeps the old Ax ...
    Checked c;
    const double ax = c.Div(Fx, Mass);
    if (c.Ok()) Ax = ax;
  }
  Ay = Fy / Mass;  // ... but Ay takes the IEEE result: the fault is noticed after the store.
  {
    Checked c;
    const double vx = c.Mul(c.Add(Vx, c.Mul(Ax, TimeStep)), Damping);
    if (c.Ok()) Vx = vx;
  }
  Vy = (Vy + Ay * TimeStep) * Damping;  // stored whatever it is, like Ay
}

bool Spring::Move() noexcept {
  if (!hasPrev || !hasNext) return true;
  Checked cx;
  const double x = cx.Add(xPos, cx.Mul(Vx, TimeStep));
  if (cx.Faulted()) return false;
  xPos = x;
  Checked cy;
  yPos = cy.Add(yPos, cy.Mul(Vy, TimeStep));
  return cy.Ok();
}

void Spring::SetNext(Spring& obj) noexcept {
  nextSpring = &obj;
  hasNext = true;
}

void Spring::SetPrev(Spring& obj) noexcept {
  prevSpring = &obj;
  hasPrev = true;
}

}  // namespace chain
