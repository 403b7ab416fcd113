// The program's own start-up and loop, stopped after a given number of passes
// so that its memory can be read: exactly what main() runs, with the endless
// loop cut at the last checkpoint.
//
//   chain_passes N1 N2 ...   start-up, then passes; prints the resident size
//                            after N1, N2, ... passes in all
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "bench/peak_memory.h"
#include "ui/Form1.h"
#include "ui/PlatformDefaults.h"

int main(int argc, char* argv[]) {
  chain::SetPlatformDefaults(argc, argv);
  QApplication app(argc, argv);
  chain::Form1 form;
  form.StartUp();
  long done = 0;
  for (int a = 1; a < argc; ++a) {
    const long until = std::atol(argv[a]);
    for (; done < until; ++done) form.Pass();
    chain::bench::PrintMemory(done);
  }
  // Ends as the program does, without tearing Qt down: Qt 6.4's Wayland
  // plugin can wait forever for its event thread there once EGL has started.
  std::fflush(nullptr);
  std::_Exit(0);
}
