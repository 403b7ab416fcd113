// The yardstick for start-up and memory: a Qt program that shows one empty
// window with the client size of the chain's window and nothing else.
//
//   minimal_window              shows the window and runs Qt's event loop
//   minimal_window N1 N2 ...    shows it, then dispatches events N times in a
//                               row like the chain's loop does, printing the
//                               resident size after each checkpoint N1, N2, ...
#include <QApplication>
#include <QWidget>
#include <cstdlib>

#include "bench/peak_memory.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("minimal"));
  window.setFixedSize(625, 574);
  window.show();
  if (argc < 2) return QApplication::exec();
  long done = 0;
  for (int a = 1; a < argc; ++a) {
    const long until = std::atol(argv[a]);
    for (; done < until; ++done) QCoreApplication::processEvents();
    chain::bench::PrintMemory(done);
  }
  return 0;
}
