// Prints the fingerprint of the drawing calls of a scripted session
// (tests/draw_session.h), as the desktop build makes them.
//
//   draw_session_calls SESSION_FILE
#include <fstream>
#include <iostream>

#include "draw_session.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::cerr << "usage: draw_session_calls SESSION_FILE\n";
    return 2;
  }
  std::ifstream script(argv[1]);
  if (!script) {
    std::cerr << "cannot read " << argv[1] << "\n";
    return 2;
  }
  const std::string hash = chain::testing::DrawSessionHash(script);
  std::cout << hash << "\n";
  return hash.starts_with("error") ? 2 : 0;
}
