#include "ui/PlatformDefaults.h"

#include <QLibraryInfo>
#include <QtGlobal>
#include <cstring>

namespace chain {
namespace {

bool IsGnome(const QByteArray& current_desktop) {
  for (const QByteArray& name : current_desktop.split(':')) {
    if (name.compare("GNOME", Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

// Qt reads "-platform NAME", and "--platform NAME" too.
bool PlatformArgument(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "-platform") == 0 || std::strcmp(arg, "--platform") == 0) return true;
  }
  return false;
}

}  // namespace

std::vector<std::pair<const char*, QByteArray>> PlatformDefaults(const PlatformEnvironment& env) {
  std::vector<std::pair<const char*, QByteArray>> set;
  if (env.qt >= QVersionNumber(6, 5) || env.decoration_chosen) return set;
  const bool wayland = !env.wayland_display.isEmpty() || env.session_type == "wayland";
  if (!env.platform_chosen && wayland && !env.x11_display.isEmpty() &&
      IsGnome(env.current_desktop)) {
    set.emplace_back("QT_QPA_PLATFORM", "xcb;wayland");
  }
  set.emplace_back("QT_WAYLAND_DISABLE_WINDOWDECORATION", "1");
  return set;
}

PlatformEnvironment ReadPlatformEnvironment(int argc, const char* const* argv) {
  PlatformEnvironment env;
  // The version of the Qt libraries the program runs with, not the one it was
  // built with.
  env.qt = QLibraryInfo::version();
  // Qt takes an empty QT_QPA_PLATFORM as unset.
  env.platform_chosen =
      !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || PlatformArgument(argc, argv);
  env.decoration_chosen = qEnvironmentVariableIsSet("QT_WAYLAND_DISABLE_WINDOWDECORATION");
  env.wayland_display = qgetenv("WAYLAND_DISPLAY");
  env.session_type = qgetenv("XDG_SESSION_TYPE");
  env.x11_display = qgetenv("DISPLAY");
  env.current_desktop = qgetenv("XDG_CURRENT_DESKTOP");
  return env;
}

void SetPlatformDefaults(int argc, const char* const* argv) {
  for (const auto& [name, value] : PlatformDefaults(ReadPlatformEnvironment(argc, argv))) {
    qputenv(name, value);
  }
}

}  // namespace chain
