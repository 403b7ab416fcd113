// Faults the sanitizer build must catch, and the one it must let through, so
// a sanitizer flag that went missing shows up as a failing test.
//   canary cast    a double too large for an int      (must be reported)
//   canary heap    a write past the end of an array    (must be reported)
//   canary leak    memory never freed                  (must be reported)
//   canary divide  a double divided by zero            (must pass: the time
//                  step relies on it and checks the result itself)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {
volatile double huge = 1e300;
volatile double zero = 0.0;
volatile int past_end = 4;
}  // namespace

int main(int argc, char** argv) {
  const char* what = argc > 1 ? argv[1] : "";
  if (std::strcmp(what, "cast") == 0) {
    const int i = static_cast<int>(huge);
    std::printf("cast gave %d\n", i);
  } else if (std::strcmp(what, "heap") == 0) {
    const auto a = std::make_unique<int[]>(4);
    a[static_cast<std::size_t>(past_end)] = 1;
    std::printf("wrote past the end\n");
  } else if (std::strcmp(what, "leak") == 0) {
    void* p = std::malloc(64);
    std::printf("allocated %p\n", p);
    p = nullptr;
  } else if (std::strcmp(what, "divide") == 0) {
    const double d = 1.0 / zero;
    std::printf("divided: %g\n", d);
  } else {
    return 2;
  }
  return 0;
}
