// What the page's test build adds to the page: the fingerprint of the scripted
// session's drawing calls, made by the WebAssembly core in the browser, for
// the page tests to compare with the desktop build's.
#include <sstream>
#include <string>

#include "draw_session.h"
#include "draw_session_script.h"

// Exported by name (the link options list it).
extern "C" const char* chain_test_draw_session() {
  static std::string hash;
  std::istringstream script{std::string(chain::testing::kDrawSessionScript)};
  hash = chain::testing::DrawSessionHash(script);
  return hash.c_str();
}
