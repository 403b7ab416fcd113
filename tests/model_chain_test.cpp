#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "model/Chain.h"
#include "test_support.h"

namespace chain {
namespace {

using testing::Bits;

TEST(SetUpChainTest, StartValues) {
  SpringArray springs;
  SetUpChain(springs, 40);
  ASSERT_EQ(springs.LBound(), 0);
  ASSERT_EQ(springs.UBound(), 40);
  for (int i = 0; i <= 40; ++i) {
    const Spring& s = springs(i);
    SCOPED_TRACE(i);
    EXPECT_EQ(s.xPos, 200.0 * (i + 1));
    EXPECT_EQ(s.yPos, 2000.0);
    EXPECT_EQ(s.Mass, 1.0);
    EXPECT_EQ(s.nextK, 1.0);
    EXPECT_EQ(s.nextLength, i < 40 ? 200.0 : 0.0);
    EXPECT_EQ(s.hasPrev, i > 0);
    EXPECT_EQ(s.hasNext, i < 40);
    EXPECT_EQ(s.prevSpring, i > 0 ? &springs(i - 1) : nullptr);
    EXPECT_EQ(s.nextSpring, i < 40 ? &springs(i + 1) : nullptr);
    EXPECT_EQ(s.Vx, 0.0);
    EXPECT_EQ(s.Vy, 0.0);
    EXPECT_EQ(s.ColScale, 1.0);
    if (i < 40) {
      EXPECT_EQ(s.distNext(), s.nextLength) << "every link starts at its rest length";
    }
  }
  EXPECT_EQ(springs(20).xPos, 4200.0);
}

TEST(SetUpChainTest, AnyLength) {
  for (int last : {0, 1, 2, 409, 4099}) {
    SpringArray springs;
    SetUpChain(springs, last);
    EXPECT_EQ(springs.Count(), last + 1);
    EXPECT_FALSE(springs(0).hasPrev);
    EXPECT_FALSE(springs(last).hasNext);
    for (int pass = 0; pass < 3; ++pass) PhysicsPass(springs);
    EXPECT_EQ(springs(0).yPos, 2000.0);
    EXPECT_EQ(springs(last).yPos, 2000.0);
    if (last >= 2) {
      EXPECT_GT(springs(1).yPos, 2000.0);
    }
  }
}

// Compute on every node, then Move on every node, visiting them last to first.
void ReversePass(SpringArray& springs) {
  for (int i = springs.UBound(); i >= springs.LBound(); --i) springs(i).Compute();
  for (int i = springs.UBound(); i >= springs.LBound(); --i) (void)springs(i).Move();
}

std::vector<std::uint64_t> State(SpringArray& springs) {
  std::vector<std::uint64_t> bits;
  for (int i = 0; i <= springs.UBound(); ++i) {
    const Spring& s = springs(i);
    for (double v : {s.xPos, s.yPos, s.Vx, s.Vy, s.Ax, s.Ay, s.Fx, s.Fy}) bits.push_back(Bits(v));
  }
  return bits;
}

TEST(PassTest, VisitingOrderWithinEachPhaseDoesNotMatter) {
  SpringArray forward, backward;
  SetUpChain(forward, 40);
  SetUpChain(backward, 40);
  for (SpringArray* s : {&forward, &backward}) {
    (*s)(20).Vx = 50;
    (*s)(20).Mass = 51;
  }
  for (int pass = 0; pass < 2000; ++pass) {
    PhysicsPass(forward);
    ReversePass(backward);
  }
  EXPECT_EQ(State(forward), State(backward));
}

TEST(PassTest, AMoveFaultCostsOnlyThatNode) {
  SpringArray springs;
  SetUpChain(springs, 40);
  ComputePass(springs);
  springs(10).Vx = std::numeric_limits<double>::max();
  springs(10).xPos = std::numeric_limits<double>::max();
  EXPECT_EQ(MovePass(springs), 1);
  EXPECT_EQ(springs(10).yPos, 2000.0);
  EXPECT_GT(springs(11).yPos, 2000.0);
}

// The force balance of a free node, with the link force (d * (L - R) / R) * K, computed
// independently of the time step in long double.
using Vec = std::vector<long double>;

Vec Residual(const Vec& pos, const SpringArray& ref, int last) {
  auto x = [&](int i) {
    return i == 0 || i == last ? 0.0L : pos[2 * static_cast<std::size_t>(i - 1)];
  };
  auto y = [&](int i) {
    return i == 0 || i == last ? 0.0L : pos[2 * static_cast<std::size_t>(i - 1) + 1];
  };
  (void)ref;
  const long double r = 200, k = 1, g = 9.80665L;
  auto px = [&](int i) { return i == 0 ? 200.0L : i == last ? 200.0L * (last + 1) : x(i); };
  auto py = [&](int i) { return i == 0 || i == last ? 2000.0L : y(i); };
  Vec res(pos.size());
  for (int i = 1; i < last; ++i) {
    long double fx = 0, fy = g;
    for (int j : {i - 1, i + 1}) {
      const long double dx = px(j) - px(i), dy = py(j) - py(i);
      const long double l = std::sqrt(dx * dx + dy * dy);
      fx += dx * (l - r) / r * k;
      fy += dy * (l - r) / r * k;
    }
    res[2 * static_cast<std::size_t>(i - 1)] = fx;
    res[2 * static_cast<std::size_t>(i - 1) + 1] = fy;
  }
  return res;
}

long double Norm(const Vec& v) {
  long double s = 0;
  for (long double e : v) s += e * e;
  return std::sqrt(s);
}

// Damped Newton with a finite-difference Jacobian, from a parabola that knows nothing of
// the simulation.
Vec StaticSolution(int last) {
  const auto n = 2 * static_cast<std::size_t>(last - 1);
  Vec pos(n);
  for (int i = 1; i < last; ++i) {
    const long double u = (i - last / 2.0L) / (last / 2.0L);
    pos[2 * static_cast<std::size_t>(i - 1)] = 200.0L * (i + 1);
    pos[2 * static_cast<std::size_t>(i - 1) + 1] = 2000.0L + 500.0L * (1 - u * u);
  }
  SpringArray unused;
  for (int iter = 0; iter < 100 && Norm(Residual(pos, unused, last)) > 1e-12L; ++iter) {
    const Vec f = Residual(pos, unused, last);
    std::vector<Vec> jac(n, Vec(n + 1));
    for (std::size_t c = 0; c < n; ++c) {
      Vec p = pos;
      const long double h = 1e-6L;
      p[c] += h;
      const Vec fp = Residual(p, unused, last);
      for (std::size_t r = 0; r < n; ++r) jac[r][c] = (fp[r] - f[r]) / h;
    }
    for (std::size_t r = 0; r < n; ++r) jac[r][n] = -f[r];
    for (std::size_t c = 0; c < n; ++c) {  // Gaussian elimination, partial pivoting
      std::size_t piv = c;
      for (std::size_t r = c + 1; r < n; ++r)
        if (std::fabs(jac[r][c]) > std::fabs(jac[piv][c])) piv = r;
      std::swap(jac[c], jac[piv]);
      for (std::size_t r = c + 1; r < n; ++r) {
        const long double m = jac[r][c] / jac[c][c];
        for (std::size_t k = c; k <= n; ++k) jac[r][k] -= m * jac[c][k];
      }
    }
    Vec step(n);
    for (std::size_t r = n; r-- > 0;) {
      long double s = jac[r][n];
      for (std::size_t k = r + 1; k < n; ++k) s -= jac[r][k] * step[k];
      step[r] = s / jac[r][r];
    }
    long double t = 1;
    const long double before = Norm(f);
    for (;;) {
      Vec trial = pos;
      for (std::size_t k = 0; k < n; ++k) trial[k] += t * step[k];
      if (Norm(Residual(trial, unused, last)) < before || t < 1e-6L) {
        pos = trial;
        break;
      }
      t /= 2;
    }
  }
  return pos;
}

TEST(PhysicsTest, ChainSettlesIntoTheStaticSagSymmetrically) {
  constexpr int kLast = 40;
  SpringArray springs;
  SetUpChain(springs, kLast);
  for (int pass = 0; pass < 30000; ++pass) PhysicsPass(springs);

  double maxSpeed = 0;
  for (int i = 0; i <= kLast; ++i)
    maxSpeed = std::max({maxSpeed, std::fabs(springs(i).Vx), std::fabs(springs(i).Vy)});
  EXPECT_LT(maxSpeed, 1e-9) << "the damping brings the chain to rest";

  for (int i = 0; i <= kLast; ++i) {
    SCOPED_TRACE(i);
    const Spring& s = springs(i);
    const Spring& mirror = springs(kLast - i);
    EXPECT_NEAR(s.xPos - 4200.0, 4200.0 - mirror.xPos, 1e-9);
    EXPECT_NEAR(s.yPos, mirror.yPos, 1e-9);
  }
  EXPECT_GT(springs(20).yPos, 2500.0) << "the chain sags well below its start";

  const Vec exact = StaticSolution(kLast);
  ASSERT_LT(Norm(Residual(exact, springs, kLast)), 1e-9L) << "Newton converged";
  for (int i = 1; i < kLast; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(springs(i).xPos, static_cast<double>(exact[2 * static_cast<std::size_t>(i - 1)]),
                1e-6);
    EXPECT_NEAR(springs(i).yPos,
                static_cast<double>(exact[2 * static_cast<std::size_t>(i - 1) + 1]), 1e-6);
  }
}

}  // namespace
}  // namespace chain
