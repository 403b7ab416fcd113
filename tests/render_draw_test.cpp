#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "model/Chain.h"
#include "render/Draw.h"
#include "test_support.h"

namespace chain {
namespace {

using testing::Triple;

struct Call {
  char kind;  // 'L' or 'C'
  double a, b, c, d;
  ColourWord colour;
  bool operator==(const Call&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Call& c) {
  return os << c.kind << "(" << c.a << "," << c.b << "," << c.c << "," << c.d << ",0x" << std::hex
            << c.colour << std::dec << ")";
}

// Records what a node draws. Either operation can be made to fail.
class Recorder : public DrawTarget {
 public:
  bool failLines = false;
  bool failCircles = false;
  std::vector<Call> calls;
  void Line(double x1, double y1, double x2, double y2, ColourWord colour) override {
    if (failLines) throw DrawError("no lines here");
    calls.push_back({'L', x1, y1, x2, y2, colour});
  }
  void Circle(double x, double y, double r, ColourWord colour) override {
    if (failCircles) throw DrawError("no circles here");
    calls.push_back({'C', x, y, r, 0, colour});
  }
};

// A target that offers circles only: its Line is the failing default.
class CirclesOnly : public DrawTarget {
 public:
  int circles = 0;
  void Circle(double, double, double, ColourWord) override { ++circles; }
};

TEST(DrawTest, InnerNodeAtRestDrawsTwoLinesThenARedCircle) {
  Triple t(200, 2000, 400, 2000, 600, 2000);
  t.s.Mass = 1;
  Recorder r;
  Draw(t.s, r);
  const std::vector<Call> expected = {{'L', 400, 2000, 200, 2000, 0x000AFF},
                                      {'L', 400, 2000, 600, 2000, 0x000AFF},
                                      {'C', 400, 2000, 1 * 0.02 + 20, 0, kPureRed}};
  EXPECT_EQ(r.calls, expected);
}

TEST(DrawTest, EndsAndLoneNodesAreBlue) {
  Triple t(200, 2000, 400, 2000, 600, 2000);
  Recorder first, last, lone;
  Draw(t.p, first);
  Draw(t.n, last);
  Spring alone;
  alone.Mass = 1000;
  Draw(alone, lone);
  EXPECT_EQ(first.calls, (std::vector<Call>{{'L', 200, 2000, 400, 2000, 0x000AFF},
                                            {'C', 200, 2000, 20.02, 0, kPureBlue}}));
  EXPECT_EQ(last.calls, (std::vector<Call>{{'L', 600, 2000, 400, 2000, 0x000AFF},
                                           {'C', 600, 2000, 20.02, 0, kPureBlue}}));
  EXPECT_EQ(lone.calls, (std::vector<Call>{{'C', 0, 0, 40, 0, kPureBlue}}));
}

struct ColourCase {
  const char* name;
  double strain;  // |rest - current| in twips, nextK 1
  double colScale;
  ColourWord colour;
};
void PrintTo(const ColourCase& c, std::ostream* os) { *os << c.name; }

class LinkColourTest : public ::testing::TestWithParam<ColourCase> {};

TEST_P(LinkColourTest, ColourOfTheStrain) {
  const ColourCase& c = GetParam();
  Spring a, b;
  a.SetNext(b);
  b.SetPrev(a);
  b.xPos = 1000;
  a.nextK = 1;
  a.nextLength = 1000 + c.strain;  // compressed by the strain
  a.ColScale = b.ColScale = c.colScale;
  Recorder ra, rb;
  Draw(a, ra);
  Draw(b, rb);
  ASSERT_EQ(ra.calls.size(), 2u);
  ASSERT_EQ(rb.calls.size(), 2u);
  EXPECT_EQ(ra.calls[0].colour, c.colour);
  EXPECT_EQ(rb.calls[0].colour, c.colour) << "both ends of a link draw it in the same colour";
  a.nextLength = 1000 - c.strain;  // and stretched by as much
  Recorder rs;
  Draw(a, rs);
  EXPECT_EQ(rs.calls[0].colour, c.colour);
}

INSTANTIATE_TEST_SUITE_P(Table, LinkColourTest,
                         ::testing::Values(ColourCase{"unstrained", 0, 1, 0x000AFF},
                                           ColourCase{"red_orange", 55.5, 1, 0x0041FF},
                                           ColourCase{"orange", 118, 1, 0x0080FF},
                                           ColourCase{"all_but_yellow", 244.9, 1, 0x00FEFF},
                                           ColourCase{"yellow", 245, 1, 0x00FFFF},
                                           ColourCase{"far_past_yellow", 300, 1, 0x00FFFF},
                                           ColourCase{"millions", 999, 5000, 0x00FFFF},
                                           ColourCase{"colscale_zero", 300, 0, 0x000AFF},
                                           ColourCase{"colscale_scales", 240, 0.5, 0x0082FF}),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(DrawTest, StrainUsesTheDrawingNodesOwnColScale) {
  Spring a, b;
  a.SetNext(b);
  b.SetPrev(a);
  b.xPos = 100;
  a.nextK = 1;
  a.nextLength = 200;  // 100 twips of strain
  a.ColScale = 1;
  b.ColScale = 0;
  Recorder ra, rb;
  Draw(a, ra);
  Draw(b, rb);
  EXPECT_EQ(ra.calls[0].colour, 0x006EFFu);
  EXPECT_EQ(rb.calls[0].colour, 0x000AFFu);
}

TEST(DrawTest, FailedStrainStepsLeaveTheLinkValue) {
  // Zero stiffness times an infinite strain is invalid: the strain step fails.
  Triple t(200, 2000, 400, 2000, 600, 2000);
  t.s.nextLength = std::numeric_limits<double>::infinity();
  t.s.nextK = 0;
  {
    Recorder r;
    Draw(t.s, r);  // previous link fine (red-ish), next link keeps the colour word: yellow
    ASSERT_EQ(r.calls.size(), 3u);
    EXPECT_EQ(r.calls[0].colour, 0x000AFFu);
    EXPECT_EQ(r.calls[1].colour, 0x00FFFFu);
  }
  {
    // A first node whose own link fails: the empty value gives pure red, and so does the
    // failed first step of the node at the link's other end.
    Spring a, b;
    a.SetNext(b);
    b.SetPrev(a);
    b.xPos = 100;
    a.nextLength = std::numeric_limits<double>::infinity();
    a.nextK = 0;
    Recorder ra, rb;
    Draw(a, ra);
    Draw(b, rb);
    EXPECT_EQ(ra.calls.at(0).colour, kPureRed);
    EXPECT_EQ(rb.calls.at(0).colour, kPureRed);
  }
  // A distance that overflows fails the same way.
  Triple far(0, 0, 1e200, 0, 2e200, 0);
  Recorder r;
  Draw(far.s, r);
  ASSERT_EQ(r.calls.size(), 3u);
  EXPECT_EQ(r.calls[0].colour, kPureRed);
  EXPECT_EQ(r.calls[1].colour, 0x00FFFFu);
}

TEST(DrawTest, AFailingOperationCostsOnlyThatDrawing) {
  Triple t(200, 2000, 400, 2000, 600, 2000);
  Recorder noLines;
  noLines.failLines = true;
  Draw(t.s, noLines);
  EXPECT_EQ(noLines.calls.size(), 1u);
  EXPECT_EQ(noLines.calls[0].kind, 'C');
  Recorder noCircles;
  noCircles.failCircles = true;
  Draw(t.s, noCircles);
  EXPECT_EQ(noCircles.calls.size(), 2u);
  CirclesOnly circles;
  Draw(t.s, circles);
  EXPECT_EQ(circles.circles, 1);
}

TEST(DrawTest, DrawChangesNoFieldAndAFrameHas80LinesAnd41Circles) {
  SpringArray springs;
  SetUpChain(springs, 40);
  for (int pass = 0; pass < 50; ++pass) PhysicsPass(springs);
  std::vector<unsigned char> before(41 * sizeof(Spring));
  for (int i = 0; i <= 40; ++i)
    std::memcpy(&before[static_cast<std::size_t>(i) * sizeof(Spring)], &springs(i), sizeof(Spring));
  Recorder r;
  for (int i = 0; i <= 40; ++i) Draw(springs(i), r);
  for (int i = 0; i <= 40; ++i) {
    // Byte for byte on purpose: the copy was taken with memcpy, padding included, and Draw
    // only reads the node.
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
    EXPECT_EQ(std::memcmp(&before[static_cast<std::size_t>(i) * sizeof(Spring)], &springs(i),
                          sizeof(Spring)),
              0)
        << i;
  }
  int lines = 0, circles = 0;
  for (const Call& c : r.calls) (c.kind == 'L' ? lines : circles)++;
  EXPECT_EQ(lines, 80);
  EXPECT_EQ(circles, 41);
  // Node order, and within a node: previous link, next link, circle.
  EXPECT_EQ(r.calls[0].kind, 'L');
  EXPECT_EQ(r.calls[1].kind, 'C');
  EXPECT_EQ(r.calls[2].kind, 'L');
  EXPECT_EQ(r.calls[2].c, springs(0).xPos);
  EXPECT_EQ(r.calls.back().kind, 'C');
  EXPECT_EQ(r.calls.back().a, springs(40).xPos);
}

TEST(DrawTest, NonFiniteValuesNeverGiveAColour) {
  EXPECT_EQ(ToColourWord(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
  EXPECT_EQ(ToColourWord(-1), std::nullopt);
  EXPECT_EQ(ToColourWord(LinkColour(1e300)), 0x00FFFFu);
  EXPECT_EQ(StrainNumber(0, std::numeric_limits<double>::infinity(), 1, 1),
            std::numeric_limits<double>::infinity());
}

}  // namespace
}  // namespace chain
