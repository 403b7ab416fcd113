// The chain over a long session of nudges and centre-mass changes, compared bit for bit
// with an independent reference written in Python (tests/reference/chain_reference.py).
// Any change to the order or grouping of the arithmetic shows up here.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>

#include "model/Chain.h"
#include "test_support.h"

namespace chain {
namespace {

using testing::Bits;

TEST(ReferenceSessionTest, FinalStateMatchesTheReferenceBitForBit) {
  // The reference's session: after pass n, the centre node gets the velocity or mass.
  std::map<int, std::pair<std::string, double>> events;
  std::ifstream session(CHAIN_REFERENCE_DIR "/session_events.txt");
  ASSERT_TRUE(session) << "session events missing";
  for (std::string line; std::getline(session, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    int done = 0;
    std::string what;
    double value = 0;
    ASSERT_TRUE(fields >> done >> what >> value) << line;
    ASSERT_TRUE(what == "vx" || what == "mass") << line;
    events[done] = {what, value};
  }
  ASSERT_FALSE(events.empty());
  constexpr int kPasses = 12000;

  SpringArray springs;
  SetUpChain(springs, 40);
  Spring& centre = springs(CentreIndex(springs));
  for (int done = 1; done <= kPasses; ++done) {
    PhysicsPass(springs);
    if (const auto it = events.find(done); it != events.end()) {
      (it->second.first == "vx" ? centre.Vx : centre.Mass) = it->second.second;
    }
  }

  std::ifstream in(CHAIN_REFERENCE_DIR "/session_41.txt");
  ASSERT_TRUE(in) << "reference file missing";
  std::string line;
  std::getline(in, line);  // header
  int i = 0;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string hex[4];
    fields >> hex[0] >> hex[1] >> hex[2] >> hex[3];
    ASSERT_LE(i, 40);
    const Spring& s = springs(i);
    const double actual[4] = {s.xPos, s.yPos, s.Vx, s.Vy};
    for (int f = 0; f < 4; ++f) {
      const double expected = std::strtod(hex[f].c_str(), nullptr);
      EXPECT_EQ(Bits(actual[f]), Bits(expected))
          << "node " << i << " field " << f << ": " << actual[f] << " vs " << expected;
    }
    ++i;
  }
  EXPECT_EQ(i, 41);
}

}  // namespace
}  // namespace chain
