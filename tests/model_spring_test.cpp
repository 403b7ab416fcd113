#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "model/Chain.h"
#include "model/Checked.h"
#include "test_support.h"

namespace chain {
namespace {

using testing::Bits;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(SpringTest, CreationValues) {
  const Spring s;
  for (double v :
       {s.xPos, s.yPos, s.Vx, s.Vy, s.Ax, s.Ay, s.Fx, s.Fy, s.Mass, s.nextK, s.nextLength}) {
    EXPECT_EQ(Bits(v), Bits(0.0));
  }
  EXPECT_EQ(s.ColScale, 1.0);
  EXPECT_FALSE(s.hasPrev);
  EXPECT_FALSE(s.hasNext);
  EXPECT_EQ(s.prevSpring, nullptr);
  EXPECT_EQ(s.nextSpring, nullptr);
  EXPECT_EQ(s.distNext(), 0.0);
}

struct DistCase {
  const char* name;
  double x, y, nx, ny;
  std::optional<double> expected;
};
void PrintTo(const DistCase& c, std::ostream* os) { *os << c.name; }

class DistNextTest : public ::testing::TestWithParam<DistCase> {};

TEST_P(DistNextTest, LengthOrFault) {
  const DistCase& c = GetParam();
  Spring a, b;
  a.SetNext(b);
  a.xPos = c.x, a.yPos = c.y, b.xPos = c.nx, b.yPos = c.ny;
  const std::optional<double> d = a.distNext();
  ASSERT_EQ(d.has_value(), c.expected.has_value());
  if (!d || !c.expected) return;
  if (std::isnan(*c.expected)) {
    EXPECT_TRUE(std::isnan(*d));
  } else {
    EXPECT_EQ(Bits(*d), Bits(*c.expected));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DistNextTest,
    ::testing::Values(DistCase{"horizontal", 200, 2000, 400, 2000, 200.0},
                      DistCase{"same_point", 7, 7, 7, 7, 0.0},
                      DistCase{"pythagoras", 0, 0, 300, 400, 500.0},
                      DistCase{"negative_side", 0, 0, -300, -400, 500.0},
                      // The square overflows the double range: reported, no result.
                      DistCase{"square_overflows", 0, 0, 1e200, 0, std::nullopt},
                      DistCase{"difference_overflows", -DBL_MAX, 0, DBL_MAX, 0, std::nullopt},
                      // Infinities from an infinite operand are no fault...
                      DistCase{"infinite_position", kInf, 0, 0, 0, kInf},
                      // ... but inf - inf is invalid.
                      DistCase{"inf_minus_inf", kInf, 0, kInf, 0, std::nullopt},
                      // A NaN that travels in from a position is no fault either.
                      DistCase{"nan_position", kNaN, 0, 0, 0, kNaN}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(SpringTest, SetNextReplacesAndSetPrevLinksBack) {
  Spring a, b, c;
  a.SetNext(b);
  b.xPos = 3;
  EXPECT_EQ(a.nextSpring, &b);
  a.SetNext(c);
  c.xPos = 4;
  EXPECT_EQ(a.nextSpring, &c);
  EXPECT_TRUE(a.hasNext);
  EXPECT_EQ(a.distNext(), 4.0);
  EXPECT_FALSE(a.hasPrev);
  a.SetPrev(b);
  EXPECT_EQ(a.prevSpring, &b);
  EXPECT_TRUE(a.hasPrev);
  // Linking touches no other field.
  EXPECT_EQ(a.Mass, 0.0);
  EXPECT_EQ(a.ColScale, 1.0);
  EXPECT_FALSE(b.hasNext);
}

TEST(CheckedTest, FaultsAreNewNaNsAndNewInfinities) {
  struct Row {
    double r, a, b;
    bool fault;
  };
  const Row rows[] = {
      {0.0 / 1.0, 0, 1, false},
      {kInf, 1, 0, true},              // 1 / 0
      {kNaN, 0, 0, true},              // 0 / 0
      {kInf, DBL_MAX, DBL_MAX, true},  // overflow
      {kInf, kInf, 1, false},
      {kNaN, kNaN, 1, false},
      {kNaN, kInf, kInf, true},        // inf - inf
      {1e-320, 1e-300, 1e-20, false},  // underflow is no fault
  };
  for (const Row& row : rows)
    EXPECT_EQ(IsFault(row.r, row.a, row.b), row.fault) << row.a << " " << row.b;
  Checked c;
  (void)c.Mul(2, 3);
  EXPECT_TRUE(c.Ok());
  (void)c.Mul(0, kInf);
  (void)c.Add(1, 1);
  EXPECT_TRUE(c.Faulted()) << "a fault stays noticed for the rest of the statement";
  Checked s;
  EXPECT_TRUE(std::isnan(s.Sqrt(-1.0)));
  EXPECT_TRUE(s.Faulted());
}

TEST(SpringArrayTest, FillsEmptyElementsOnFirstAccessAndKeepsThem) {
  SpringArray a;
  a.ReDim(0, 40);
  EXPECT_EQ(a.LBound(), 0);
  EXPECT_EQ(a.UBound(), 40);
  EXPECT_EQ(a.Count(), 41);
  Spring& first = a(7);
  EXPECT_EQ(first.ColScale, 1.0);
  first.xPos = 12;
  EXPECT_EQ(&a(7), &first);
  EXPECT_EQ(a(7).xPos, 12.0);
  EXPECT_THROW((void)a(41), std::out_of_range);
  EXPECT_THROW((void)a(-1), std::out_of_range);

  SpringArray shifted;
  shifted.ReDim(5, 9);
  EXPECT_EQ(shifted.UBound(), 9);
  EXPECT_NO_THROW((void)shifted(5));
  EXPECT_THROW((void)shifted(4), std::out_of_range);
  EXPECT_EQ(CentreIndex(shifted), 2) << "the centre index is not offset by the first index";
  EXPECT_EQ(CentreIndex(a), 20);
}

}  // namespace
}  // namespace chain
