#pragma once
// A scripted session (tests/reference/draw_session.txt) run through a session
// as a front end runs it, with the fingerprint of every drawing call: the
// desktop build and the page's test build must give the same one.
//
// A line: PASS WHAT VALUE. After pass PASS, a control acts: a nudge (left,
// right), a bar let go at VALUE (mass, scale), or the session ends (end).

#include <istream>
#include <sstream>
#include <string>

#include "call_recorder.h"
#include "render/Session.h"

namespace chain::testing {

// The fingerprint as 16 hexadecimal digits, or a line starting "error: ".
inline std::string DrawSessionHash(std::istream& script) {
  Session session;
  CallRecorder recorder;
  long done = 0;
  for (std::string line; std::getline(script, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    long after = 0;
    std::string what;
    int value = 0;
    if (!(fields >> after >> what >> value) || after < done) return "error: bad line: " + line;
    for (; done < after; ++done) session.Pass(recorder);
    if (what == "left") {
      session.NudgeLeft();
    } else if (what == "right") {
      session.NudgeRight();
    } else if (what == "mass") {
      session.BarSet(Bar::kMass, value);
    } else if (what == "scale") {
      session.BarSet(Bar::kScale, value);
    } else if (what == "end") {
      return recorder.Hex();
    } else {
      return "error: unknown control: " + what;
    }
  }
  return "error: the session has no end";
}

}  // namespace chain::testing
