#include "ui/PlatformDefaults.h"

#include <QLibraryInfo>
#include <QVersionNumber>
#include <QtGlobal>

namespace chain {

void SetPlatformDefaults() {
  // The version of the Qt libraries the program runs with, not the one it was
  // built with.
  const QVersionNumber qt = QLibraryInfo::version();
  if (qt < QVersionNumber(6, 5) &&
      !qEnvironmentVariableIsSet("QT_WAYLAND_DISABLE_WINDOWDECORATION")) {
    qputenv("QT_WAYLAND_DISABLE_WINDOWDECORATION", "1");
  }
}

}  // namespace chain
