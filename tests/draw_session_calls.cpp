// Runs the scripted session of tests/reference/draw_session.txt through the
// chain the way the desktop window does (a physics pass, then every node drawn,
// then the controls' handlers) and prints the fingerprint of every drawing call.
//
//   draw_session_calls SESSION_FILE
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "model/Chain.h"
#include "render/Controls.h"
#include "render/Draw.h"
#include "render/Settings.h"
#include "web/CallHash.h"

namespace {

class Recorder final : public chain::DrawTarget {
 public:
  void Line(double x1, double y1, double x2, double y2, chain::ColourWord colour) override {
    hash.Line(x1, y1, x2, y2, colour);
  }
  void Circle(double x, double y, double radius, chain::ColourWord colour) override {
    hash.Circle(x, y, radius, colour);
  }
  chain::web::CallHash hash;
};

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::cerr << "usage: draw_session_calls SESSION_FILE\n";
    return 2;
  }
  std::ifstream session(argv[1]);
  if (!session) {
    std::cerr << "cannot read " << argv[1] << "\n";
    return 2;
  }
  chain::SpringArray springs;
  chain::SetUpChain(springs, chain::kLastIndex);
  Recorder recorder;
  long done = 0;
  for (std::string line; std::getline(session, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    long after = 0;
    std::string what;
    int value = 0;
    if (!(fields >> after >> what >> value) || after < done) {
      std::cerr << "bad line: " << line << "\n";
      return 2;
    }
    for (; done < after; ++done) {
      chain::PhysicsPass(springs);
      chain::DrawChain(springs, recorder);
    }
    if (what == "left") {
      chain::NudgeLeft(springs);
    } else if (what == "right") {
      chain::NudgeRight(springs);
    } else if (what == "mass") {
      chain::SetCentreMass(springs, value);
    } else if (what == "scale") {
      chain::SetColourScale(springs, value);
    } else if (what == "end") {
      std::cout << recorder.hash.Hex() << "\n";
      return 0;
    } else {
      std::cerr << "unknown control: " << what << "\n";
      return 2;
    }
  }
  std::cerr << "the session has no end\n";
  return 2;
}
