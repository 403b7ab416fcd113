#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "model/Chain.h"
#include "test_support.h"

namespace chain {
namespace {

using testing::Bits;
using testing::Triple;
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ComputeTest, OneStepFromRestMatchesTheFigures) {
  Triple t(200, 2000, 400, 2000, 600, 2000);
  t.s.Compute();
  EXPECT_EQ(t.s.Fx, 0.0);
  EXPECT_EQ(t.s.Fy, 9.80665);
  EXPECT_EQ(t.s.Ax, 0.0);
  EXPECT_EQ(t.s.Ay, 9.80665);
  EXPECT_EQ(t.s.Vx, 0.0);
  EXPECT_EQ(Bits(t.s.Vy), Bits(0x1.77d27c4eb0115p+1));  // 2.93611101
  ASSERT_TRUE(t.s.Move());
  EXPECT_EQ(t.s.xPos, 400.0);
  EXPECT_EQ(Bits(t.s.yPos), Bits(0x1.f4385f92a5673p+10));  // 2000.880833303
}

TEST(ComputeTest, MassTwoDoublesTheForceNotTheAcceleration) {
  Triple t(200, 2000, 400, 2000, 600, 2000);
  t.s.Mass = 2;
  t.s.Compute();
  EXPECT_EQ(Bits(t.s.Fy), Bits(19.6133));
  EXPECT_EQ(Bits(t.s.Ay), Bits(9.80665));
}

TEST(ComputeTest, NudgedVelocityIsDampedThenMoves) {
  Triple t(0, 0, 100, 0, 200, 0);
  t.s.Mass = 1;
  t.s.Vx = 50;
  t.s.Compute();
  EXPECT_EQ(Bits(t.s.Vx), Bits(49.9));
  ASSERT_TRUE(t.s.Move());
  EXPECT_EQ(Bits(t.s.xPos), Bits(100 + 49.9 * 0.3));
  EXPECT_EQ(Bits(t.s.xPos - 100), Bits(0x1.cbe147ae147aep+6 - 100));  // 14.97 to double precision
}

// The pull of one link, read off Fx and Fy while the other link is at rest and gravity is
// taken out again: Fy = fyn + fyp + Mass * g.
struct LinkCase {
  const char* name;
  double nx, ny, rest;
  double fxn, fyn;
};
void PrintTo(const LinkCase& c, std::ostream* os) { *os << c.name; }

class LinkTermTest : public ::testing::TestWithParam<LinkCase> {};

TEST_P(LinkTermTest, TermOfTheNextLink) {
  const LinkCase& c = GetParam();
  // The previous node sits at rest length 100 to the left.
  Triple t(-100, 0, 0, 0, c.nx, c.ny);
  t.s.nextLength = c.rest;
  t.s.Mass = 1;
  t.s.Compute();
  EXPECT_EQ(t.s.Fx, c.fxn);
  EXPECT_EQ(t.s.Fy - 9.80665, c.fyn);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LinkTermTest,
    ::testing::Values(LinkCase{"stretched_pulls", 300, 400, 400, 75, 100},
                      LinkCase{"compressed_pushes", 0, 300, 400, 0, -75},
                      LinkCase{"at_rest_length_nothing", 300, 400, 500, 0, 0},
                      // The direction factor is the whole vector, not a unit one.
                      LinkCase{"doubled_length", 0, 800, 400, 0, 800}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(ComputeTest, BothNodesOfALinkGetExactlyOppositeTerms) {
  // a - b - c - d with b and c free; the b-c link is strained and skewed, the outer links at rest.
  Spring a, b, c, d;
  a.SetNext(b), b.SetPrev(a), b.SetNext(c), c.SetPrev(b), c.SetNext(d), d.SetPrev(c);
  a.xPos = 0, a.yPos = 0, b.xPos = 100, b.yPos = 0, c.xPos = 317.3, c.yPos = 91.7, d.xPos = 417.3,
  d.yPos = 91.7;
  const std::optional<double> ab = a.distNext();
  const std::optional<double> cd = c.distNext();
  if (!ab || !cd) GTEST_FAIL() << "the outer links have no length";
  a.nextLength = *ab;
  c.nextLength = *cd;
  b.nextLength = 173.1;
  b.nextK = 0.7;
  a.nextK = c.nextK = 1;
  b.Mass = c.Mass = 0;  // no gravity; Fx and Fy are the link terms alone
  b.Compute();
  c.Compute();
  EXPECT_NE(b.Fx, 0.0);
  EXPECT_EQ(Bits(b.Fx), Bits(-c.Fx));
  EXPECT_EQ(Bits(b.Fy), Bits(-c.Fy));
}

TEST(ComputeTest, FixedNodesAreNeverTouched) {
  Spring lone, start, end;
  start.SetNext(end);
  end.SetPrev(start);
  for (Spring* s : {&lone, &start, &end}) {
    s->xPos = 5, s->yPos = 6, s->Vx = 7, s->Vy = 8, s->Mass = 1, s->nextLength = 3, s->nextK = 1;
    s->Compute();
    EXPECT_TRUE(s->Move());
    EXPECT_EQ(s->xPos, 5.0);
    EXPECT_EQ(s->yPos, 6.0);
    EXPECT_EQ(s->Vx, 7.0);
    EXPECT_EQ(s->Vy, 8.0);
    EXPECT_EQ(s->Fx, 0.0);
    EXPECT_EQ(s->Fy, 0.0);
    EXPECT_EQ(s->Ax, 0.0);
    EXPECT_EQ(s->Ay, 0.0);
  }
}

TEST(ComputeFaultTest, ZeroRestLengthLinkExertsNothingTheOtherStillActs) {
  // Next link at zero rest length (both its terms divide by zero); previous link stretched.
  Triple t(-150, 0, 0, 0, 300, 400);
  t.p.nextLength = 100;
  t.s.nextLength = 0;
  t.s.Mass = 0.5;
  t.s.Compute();
  // Only the previous link: ((-150 * 0.5) * 1) * 1 = -75, and no y part.
  EXPECT_EQ(t.s.Fx, -75.0);
  EXPECT_EQ(t.s.Fy, 0.5 * 9.80665);
  EXPECT_EQ(t.s.Ax, -150.0);
  // The node at the far end of a zero-length link gets nothing from it either.
  Spring a, b, c;
  a.SetNext(b), b.SetPrev(a), b.SetNext(c), c.SetPrev(b);
  a.xPos = 0, b.xPos = 10, c.xPos = 20;
  a.nextLength = 0;  // b's previous link
  b.nextLength = 10;
  a.nextK = b.nextK = 1;
  b.Mass = 1;
  b.Compute();
  EXPECT_EQ(b.Fx, 0.0);
  EXPECT_EQ(b.Fy, 9.80665);
}

TEST(ComputeFaultTest, ZeroMassKeepsAxButStoresNonFiniteAyAndVy) {
  Triple t(200, 2000, 400, 2000, 600, 2000);
  t.s.Mass = 0;
  t.s.Ax = 1.25;  // from an earlier pass
  t.s.Vy = 3;
  t.s.Fx = 0;
  t.s.Compute();
  EXPECT_EQ(Bits(t.s.Ax), Bits(1.25)) << "0 / 0 faults before the store";
  EXPECT_TRUE(std::isnan(t.s.Ay)) << "Fy is 0, so Fy / Mass is NaN and is stored";
  EXPECT_TRUE(std::isnan(t.s.Vy));
  EXPECT_EQ(Bits(t.s.Vx), Bits((0 + 1.25 * 0.3) * 0.998)) << "Vx goes on with the kept Ax";
  EXPECT_TRUE(t.s.Move()) << "a NaN that travels in from Vy is no new fault";
  EXPECT_TRUE(std::isnan(t.s.yPos));
  EXPECT_EQ(t.s.xPos, 400 + t.s.Vx * 0.3);

  Triple down(200, 2000, 400, 2100, 600, 2000);  // both links stretched: Fy < 0 pulls up
  down.p.nextLength = down.s.nextLength = 100;
  down.s.Mass = 0;
  down.s.Compute();
  EXPECT_EQ(down.s.Ay, -kInf);
  EXPECT_EQ(down.s.Vy, -kInf);
}

TEST(ComputeFaultTest, OverflowingLengthLeavesThatLinkOut) {
  // The next node stands so far off that the square of the distance overflows.
  Triple t(-100, 0, 0, 0, 1, 0);
  t.s.nextLength = 1;
  t.n.xPos = 1e200;
  t.s.Mass = 1;
  t.s.Fx = 42;
  t.s.Compute();
  EXPECT_EQ(t.s.Fx, 0.0) << "the faulted link adds nothing, the previous one is at rest";
  EXPECT_EQ(t.s.Fy, 9.80665);
}

TEST(ComputeFaultTest, OverflowingForceSumKeepsTheOldFx) {
  // Both terms are finite and point left; their sum overflows. Fx keeps its old value, and Ax
  // and Vx go on from it.
  Triple t(-1e154, 0, 0, 0, 1e154, 0);
  t.p.nextLength = 1;      // stretched: about -1e308
  t.s.nextLength = 1e308;  // compressed, and very stiff: about -1.5e308
  t.s.nextK = 1.5e154;
  t.s.Fx = 42;
  t.s.Vx = 1;
  t.s.Compute();
  EXPECT_EQ(t.s.Fx, 42.0);
  EXPECT_EQ(t.s.Ax, 42.0);
  EXPECT_EQ(Bits(t.s.Vx), Bits((1 + 42.0 * 0.3) * 0.998));
  EXPECT_EQ(t.s.Fy, 9.80665);
}

TEST(MoveFaultTest, FaultInXLeavesBothCoordinates) {
  Triple t(0, 0, 1, 1, 2, 2);
  t.s.xPos = DBL_MAX;
  t.s.Vx = DBL_MAX;
  t.s.yPos = 5;
  t.s.Vy = 10;
  EXPECT_FALSE(t.s.Move());
  EXPECT_EQ(t.s.xPos, DBL_MAX);
  EXPECT_EQ(t.s.yPos, 5.0) << "the y step is not performed";
}

TEST(MoveFaultTest, FaultInYIsStoredThenReported) {
  Triple t(0, 0, 1, 1, 2, 2);
  t.s.xPos = 5;
  t.s.Vx = 10;
  t.s.yPos = DBL_MAX;
  t.s.Vy = DBL_MAX;
  EXPECT_FALSE(t.s.Move());
  EXPECT_EQ(t.s.xPos, 8.0);
  EXPECT_EQ(t.s.yPos, kInf);
}

TEST(MoveFaultTest, InfinityThatTravelsIsNoFault) {
  Triple t(0, 0, 1, 1, 2, 2);
  t.s.Vy = kInf;
  EXPECT_TRUE(t.s.Move());
  EXPECT_EQ(t.s.yPos, kInf);
}

}  // namespace
}  // namespace chain
