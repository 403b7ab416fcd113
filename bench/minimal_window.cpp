// The yardstick for start-up and memory: a Qt program that shows one empty
// window with the client size of the chain's window and nothing else.
//
//   minimal_window [--caption]              shows the window and runs Qt's event loop
//   minimal_window [--caption] N1 N2 ...    shows it, then dispatches events N times
//                               in a row like the chain's loop does, printing the
//                               resident size after each checkpoint N1, N2, ...
//
// With --caption the window also shows one line of text, so that it loads the
// fonts as any window with a caption must.
#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "bench/peak_memory.h"
#include "render/Controls.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("minimal"));
  window.setFixedSize(chain::kClientArea.width, chain::kClientArea.height);
  int first = 1;
  if (argc > 1 && std::strcmp(argv[1], "--caption") == 0) {
    auto* label = new QLabel(QStringLiteral("Mass of Center:"), &window);
    if (const std::optional<chain::Control> c = chain::FindControl("mass-label")) {
      label->setGeometry(c->place.x, c->place.y, c->place.width, c->place.height);
    }
    first = 2;
  }
  window.show();
  if (argc <= first) return QApplication::exec();
  long done = 0;
  for (int a = first; a < argc; ++a) {
    const long until = std::atol(argv[a]);
    for (; done < until; ++done) QCoreApplication::processEvents();
    chain::bench::PrintMemory(done);
  }
  return 0;
}
