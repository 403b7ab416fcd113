// Fuzz target: a small chain built from arbitrary bytes, stepped and drawn.
//
// Input: a header (node count 1..8, passes 1..4, how the nodes are linked),
// then the twelve numbers of every node, then a byte per drawing that tells
// the target whether to fail it. Every number is either eight raw bytes (any
// double: huge, tiny, infinite, NaN), a small integer, or one of a table of
// values that matter (0, -0, rest lengths, the overflow edge, ...), so the
// fuzzer reaches both the ordinary and the extreme cases quickly.
//
// Besides the sanitizers' own checks, every call is held against the rules:
//  - Compute writes only Fx, Fy, Ax, Ay, Vx and Vy of its own node, with the
//    values the steps give, a faulted step leaving what the rules say;
//  - Move writes only xPos and yPos of its own node, and reports a fault;
//  - Draw changes no field of any node and asks the target for exactly the
//    lines and circle the rules give, however the target fails;
//  - a fixed node never changes at all.
// A broken rule aborts with a description of the node and the field.

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "fuzz/Oracle.h"
#include "model/Spring.h"
#include "render/Draw.h"

namespace chain::fuzz {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const double kSpecial[] = {0.0,      -0.0,  1.0,    -1.0,       0.5,   2.0,    200.0,   2000.0,
                           50.0,     -50.0, 0.0125, 9.80665,    0.3,   1e-310, DBL_MIN, DBL_MAX,
                           -DBL_MAX, 1e154, -1e154, 1.4e154,    1e200, -1e200, 1e300,   kInf,
                           -kInf,    kNaN,  -kNaN,  16777215.0, 245.0, 244.9,  255.0,   1e10,
                           -1e10,    2e300, 5.6e2,  1e-300};

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}
  std::uint8_t Byte() { return p_ < end_ ? *p_++ : 0; }
  double Number() {
    switch (Byte() % 3) {
      case 0: {
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits = bits << 8 | Byte();
        // The program never meets a signalling NaN (no operation makes one),
        // and one would make any operation invalid: keep NaNs quiet. The quiet
        // bit is set in the bits themselves; an arithmetic way (d + 0.0) is one
        // an optimiser may remove.
        constexpr std::uint64_t kExponent = 0x7ff0'0000'0000'0000U;
        constexpr std::uint64_t kQuiet = 0x0008'0000'0000'0000U;
        if ((bits & kExponent) == kExponent && (bits & ~(kExponent | 1ULL << 63U)) != 0) {
          bits |= kQuiet;
        }
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
      }
      case 1: {
        const auto v = static_cast<std::int16_t>(Byte() << 8 | Byte());
        return v;
      }
      default:
        return kSpecial[Byte() % (sizeof kSpecial / sizeof kSpecial[0])];
    }
  }

 private:
  const std::uint8_t* p_;
  const std::uint8_t* end_;
};

[[noreturn]] void Fail(const char* what, int node, const char* field, double got, double want) {
  std::fprintf(stderr, "broken rule: %s, node %d, %s: got %a, expected %a\n", what, node, field,
               got, want);
  std::abort();
}
[[noreturn]] void Fail(const char* what, int node) {
  std::fprintf(stderr, "broken rule: %s, node %d\n", what, node);
  std::abort();
}

bool SameBits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}
// Computed values: the same bits, or both NaN (a NaN's sign and payload are
// not part of the rules).
bool SameValue(double a, double b) { return SameBits(a, b) || (std::isnan(a) && std::isnan(b)); }

// Every field of a node, to tell which ones a call changed.
struct Fields {
  double d[12];
  bool hasPrev, hasNext;
  const Spring* prev;
  const Spring* next;
};
constexpr const char* kNames[12] = {"xPos", "yPos", "Vx",   "Vy",    "Ax",         "Ay",
                                    "Fx",   "Fy",   "Mass", "nextK", "nextLength", "ColScale"};

Fields Snap(const Spring& s) {
  return {{s.xPos, s.yPos, s.Vx, s.Vy, s.Ax, s.Ay, s.Fx, s.Fy, s.Mass, s.nextK, s.nextLength,
           s.ColScale},
          s.hasPrev,
          s.hasNext,
          s.prevSpring,
          s.nextSpring};
}

// Fields of `after` that differ from `before`, except those in `allowed` (a
// bit per index into kNames).
void ExpectUnchanged(const char* what, int node, const Fields& before, const Spring& s,
                     unsigned allowed) {
  const Fields after = Snap(s);
  for (int f = 0; f < 12; ++f) {
    if ((allowed >> f & 1u) == 0 && !SameBits(before.d[f], after.d[f])) {
      Fail(what, node, kNames[f], after.d[f], before.d[f]);
    }
  }
  if (before.hasPrev != after.hasPrev || before.hasNext != after.hasNext ||
      before.prev != after.prev || before.next != after.next) {
    Fail(what, node);
  }
}

std::vector<Fields> SnapAll(const std::vector<Spring>& nodes) {
  std::vector<Fields> all;
  all.reserve(nodes.size());
  for (const Spring& s : nodes) all.push_back(Snap(s));
  return all;
}

// A drawing surface that records what it is asked and fails the drawings the
// input tells it to.
class Target : public DrawTarget {
 public:
  explicit Target(Reader& in) : in_(in) {}
  std::vector<DrawCall> calls;
  void Line(double x1, double y1, double x2, double y2, ColourWord colour) override {
    calls.push_back({'L', x1, y1, x2, y2, colour});
    if (in_.Byte() == 0xFF) throw DrawError("line refused");
  }
  void Circle(double x, double y, double r, ColourWord colour) override {
    calls.push_back({'C', x, y, r, 0, colour});
    if (in_.Byte() == 0xFF) throw DrawError("circle refused");
  }

 private:
  Reader& in_;
};

constexpr unsigned kComputeFields = 0b111111u << 2;  // Vx Vy Ax Ay Fx Fy
constexpr unsigned kMoveFields = 0b11u;              // xPos yPos

void CheckCompute(std::vector<Spring>& nodes, int i) {
  const std::vector<Fields> before = SnapAll(nodes);
  const ComputeResult want = ExpectedCompute(nodes[static_cast<std::size_t>(i)]);
  Spring& s = nodes[static_cast<std::size_t>(i)];
  s.Compute();
  const std::pair<const char*, std::pair<double, double>> owned[] = {
      {"Fx", {s.Fx, want.Fx}}, {"Fy", {s.Fy, want.Fy}}, {"Ax", {s.Ax, want.Ax}},
      {"Ay", {s.Ay, want.Ay}}, {"Vx", {s.Vx, want.Vx}}, {"Vy", {s.Vy, want.Vy}}};
  for (const auto& [name, v] : owned) {
    if (!SameValue(v.first, v.second)) Fail("Compute result", i, name, v.first, v.second);
  }
  for (std::size_t j = 0; j < nodes.size(); ++j) {
    ExpectUnchanged("Compute wrote a field it does not own", static_cast<int>(j), before[j],
                    nodes[j], static_cast<int>(j) == i && s.IsFree() ? kComputeFields : 0u);
  }
}

void CheckMove(std::vector<Spring>& nodes, int i) {
  const std::vector<Fields> before = SnapAll(nodes);
  Spring& s = nodes[static_cast<std::size_t>(i)];
  const MoveResult want = ExpectedMove(s);
  const bool ok = s.Move();
  if (ok != want.ok) Fail("Move's fault report", i);
  if (!SameValue(s.xPos, want.xPos)) Fail("Move result", i, "xPos", s.xPos, want.xPos);
  if (!SameValue(s.yPos, want.yPos)) Fail("Move result", i, "yPos", s.yPos, want.yPos);
  for (std::size_t j = 0; j < nodes.size(); ++j) {
    ExpectUnchanged("Move wrote a field it does not own", static_cast<int>(j), before[j], nodes[j],
                    static_cast<int>(j) == i && s.IsFree() ? kMoveFields : 0u);
  }
}

void CheckDraw(std::vector<Spring>& nodes, int i, Reader& in) {
  const std::vector<Fields> before = SnapAll(nodes);
  const Spring& s = nodes[static_cast<std::size_t>(i)];
  const std::vector<DrawCall> want = ExpectedDraw(s);
  Target target(in);
  Draw(s, target);
  for (std::size_t j = 0; j < nodes.size(); ++j) {
    ExpectUnchanged("Draw changed a field", static_cast<int>(j), before[j], nodes[j], 0u);
  }
  if (target.calls.size() != want.size()) {
    std::fprintf(stderr, "node %d drew %zu shapes, expected %zu\n", i, target.calls.size(),
                 want.size());
    Fail("Draw's drawings", i);
  }
  for (std::size_t k = 0; k < want.size(); ++k) {
    const DrawCall& g = target.calls[k];
    const DrawCall& w = want[k];
    if (g.kind != w.kind || g.colour != w.colour || !SameValue(g.a, w.a) || !SameValue(g.b, w.b) ||
        !SameValue(g.c, w.c) || !SameValue(g.d, w.d)) {
      std::fprintf(stderr,
                   "drawing %zu: got %c(%a %a %a %a #%06x), expected %c(%a %a %a %a #%06x)\n", k,
                   g.kind, g.a, g.b, g.c, g.d, g.colour, w.kind, w.a, w.b, w.c, w.d, w.colour);
      Fail("Draw's drawings", i);
    }
  }
}

}  // namespace
}  // namespace chain::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace chain;
  using namespace chain::fuzz;
  Reader in(data, size);
  const int count = 1 + in.Byte() % 8;
  const int passes = 1 + in.Byte() % 4;
  const std::uint8_t linking = in.Byte();

  std::vector<Spring> nodes(
      static_cast<std::size_t>(count));  // never resized: the links stay valid
  auto at = [&](int i) -> Spring& { return nodes[static_cast<std::size_t>(i)]; };
  if ((linking & 1) == 0) {  // a chain as start-up links it: both ends fixed
    for (int i = 0; i + 1 < count; ++i) {
      at(i).SetNext(at(i + 1));
      at(i + 1).SetPrev(at(i));
    }
  } else {  // any links at all, a node linked to itself included
    for (int i = 0; i < count; ++i) {
      const int prev = in.Byte() % (count + 1);
      const int next = in.Byte() % (count + 1);
      if (prev < count) at(i).SetPrev(at(prev));
      if (next < count) at(i).SetNext(at(next));
    }
  }
  for (Spring& s : nodes) {
    for (double* f : {&s.xPos, &s.yPos, &s.Vx, &s.Vy, &s.Ax, &s.Ay, &s.Fx, &s.Fy, &s.Mass, &s.nextK,
                      &s.nextLength, &s.ColScale}) {
      *f = in.Number();
    }
  }

  const std::vector<Fields> start = SnapAll(nodes);
  for (int pass = 0; pass < passes; ++pass) {
    for (int i = 0; i < count; ++i) CheckCompute(nodes, i);
    for (int i = 0; i < count; ++i) CheckMove(nodes, i);
    for (int i = 0; i < count; ++i) CheckDraw(nodes, i, in);
  }
  for (int i = 0; i < count; ++i) {
    if (!at(i).IsFree())
      ExpectUnchanged("a fixed node changed", i, start[static_cast<std::size_t>(i)], at(i), 0u);
  }
  return 0;
}
