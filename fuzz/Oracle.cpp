#include "fuzz/Oracle.h"

#include <cfenv>
#include <cmath>

#pragma STDC FENV_ACCESS ON

namespace chain::fuzz {

namespace {

// One statement: its operations run one at a time between a clear and a test
// of the status flags. The operands are read from volatile copies after the
// clear and the result is written to a volatile before the test, so the
// compiler cannot move an operation out from between the two.
class Statement {
 public:
  double Add(double a, double b) { return Op(a, b, '+'); }
  double Sub(double a, double b) { return Op(a, b, '-'); }
  double Mul(double a, double b) { return Op(a, b, '*'); }
  double Div(double a, double b) { return Op(a, b, '/'); }
  double Sqrt(double a) {
    volatile double va = a;
    std::feclearexcept(FE_ALL_EXCEPT);
    volatile double r = std::sqrt(va);
    Note();
    return r;
  }
  [[nodiscard]] bool faulted() const { return faulted_; }

 private:
  double Op(double a, double b, char op) {
    volatile double va = a;
    volatile double vb = b;
    std::feclearexcept(FE_ALL_EXCEPT);
    volatile double r = 0;
    switch (op) {
      case '+':
        r = va + vb;
        break;
      case '-':
        r = va - vb;
        break;
      case '*':
        r = va * vb;
        break;
      default:
        r = va / vb;
        break;
    }
    Note();
    return r;
  }
  void Note() {
    if (std::fetestexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID) != 0) faulted_ = true;
  }
  bool faulted_ = false;
};

// The current length of the link that starts at `s`, inside statement `st`.
double DistNext(const Spring& s, Statement& st) {
  if (!s.hasNext) return 0;
  const Spring& n = *s.nextSpring;
  const double dx = st.Sub(s.xPos, n.xPos);
  const double dy = st.Sub(s.yPos, n.yPos);
  return st.Sqrt(st.Add(st.Mul(dx, dx), st.Mul(dy, dy)));
}

// A comparison with a NaN is an invalid operation: the sign step faults and
// the sign keeps its start value, 0.
double Sign(double rest, double length, double start) {
  if (std::isnan(rest) || std::isnan(length)) return start;
  return rest < length ? 1.0 : -1.0;
}

// One link term, steps 4 to 7: ((d * (|L - R| / R)) * K) * sign, with L
// obtained again inside the step. Stays 0 when anything in the step faults.
double Term(const Spring& owner, double neighbourCoord, double ownCoord, double rest, double k,
            double sign) {
  Statement st;
  const double length = DistNext(owner, st);
  const double d = st.Sub(neighbourCoord, ownCoord);
  const double strain = st.Div(std::fabs(st.Sub(length, rest)), rest);
  const double term = st.Mul(st.Mul(st.Mul(d, strain), k), sign);
  return st.faulted() ? 0.0 : term;
}

bool IsColourWord(double v) { return v >= 0 && v <= 16777215.0 && std::floor(v) == v; }

}  // namespace

ComputeResult ExpectedCompute(const Spring& s) {
  ComputeResult r{s.Fx, s.Fy, s.Ax, s.Ay, s.Vx, s.Vy};
  if (!s.hasPrev || !s.hasNext) return r;
  const Spring& p = *s.prevSpring;
  const Spring& n = *s.nextSpring;

  double sn = 0;
  {  // 2
    Statement st;
    const double ln = DistNext(s, st);
    if (!st.faulted()) sn = Sign(s.nextLength, ln, sn);
  }
  double sp = 0;
  {  // 3
    Statement st;
    const double lp = DistNext(p, st);
    if (!st.faulted()) sp = Sign(p.nextLength, lp, sp);
  }
  const double fxn = Term(s, n.xPos, s.xPos, s.nextLength, s.nextK, sn);  // 4
  const double fyn = Term(s, n.yPos, s.yPos, s.nextLength, s.nextK, sn);  // 5
  const double fxp = Term(p, p.xPos, s.xPos, p.nextLength, p.nextK, sp);  // 6
  const double fyp = Term(p, p.yPos, s.yPos, p.nextLength, p.nextK, sp);  // 7
  {                                                                       // 8
    Statement st;
    const double v = st.Add(fxn, fxp);
    if (!st.faulted()) r.Fx = v;
  }
  {  // 9
    Statement st;
    const double v = st.Add(st.Add(fyn, fyp), st.Mul(s.Mass, 9.80665));
    if (!st.faulted()) r.Fy = v;
  }
  {  // 10
    Statement st;
    const double v = st.Div(r.Fx, s.Mass);
    if (!st.faulted()) r.Ax = v;
  }
  {  // 11: stored, then the fault is noticed
    Statement st;
    r.Ay = st.Div(r.Fy, s.Mass);
  }
  {  // 12
    Statement st;
    const double v = st.Mul(st.Add(r.Vx, st.Mul(r.Ax, 0.3)), 0.998);
    if (!st.faulted()) r.Vx = v;
  }
  {  // 13: stored, then the fault is noticed
    Statement st;
    r.Vy = st.Mul(st.Add(r.Vy, st.Mul(r.Ay, 0.3)), 0.998);
  }
  return r;
}

MoveResult ExpectedMove(const Spring& s) {
  if (!s.hasPrev || !s.hasNext) return {s.xPos, s.yPos, true};
  Statement sx;
  const double x = sx.Add(s.xPos, sx.Mul(s.Vx, 0.3));
  if (sx.faulted()) return {s.xPos, s.yPos, false};
  Statement sy;
  const double y = sy.Add(s.yPos, sy.Mul(s.Vy, 0.3));
  return {x, y, !sy.faulted()};
}

std::vector<DrawCall> ExpectedDraw(const Spring& s) {
  std::vector<DrawCall> calls;
  double linkValue = 0;  // empty at the start of every call

  // The strain step (1a, 2a) and the colour step (1b, 2b) of the link that
  // starts at `owner`, then its line (1c, 2c) from s to `other`.
  auto link = [&](const Spring& owner, const Spring& other) {
    {
      Statement st;
      const double rest = owner.nextLength;
      const double length = DistNext(owner, st);
      const double v =
          st.Add(st.Mul(st.Mul(std::fabs(st.Sub(rest, length)), owner.nextK), s.ColScale), 10);
      if (!st.faulted()) linkValue = std::floor(v);
    }
    {
      Statement st;
      const double green = linkValue > 255 ? 255 : linkValue;
      const double v = st.Add(255, st.Mul(256, green));
      if (!st.faulted()) linkValue = v;
    }
    if (IsColourWord(linkValue)) {
      calls.push_back(
          {'L', s.xPos, s.yPos, other.xPos, other.yPos, static_cast<std::uint32_t>(linkValue)});
    }
  };
  if (s.hasPrev) link(*s.prevSpring, *s.prevSpring);
  if (s.hasNext) link(s, *s.nextSpring);

  Statement st;
  const double radius = st.Add(st.Mul(s.Mass, 0.02), 20);
  if (!st.faulted())
    calls.push_back(
        {'C', s.xPos, s.yPos, radius, 0, s.hasNext && s.hasPrev ? 0x0000FFu : 0xFF0000u});
  return calls;
}

}  // namespace chain::fuzz
