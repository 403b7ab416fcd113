#include "ui/StartChecks.h"

#include <unistd.h>

#include <QBackingStore>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QRegion>
#include <QRegularExpression>
#include <QScreen>
#include <QStringList>
#include <QWindow>
#include <cstdio>

namespace chain {

namespace {

constexpr const char* kWhatToDo =
    "Run it inside a desktop session, or set DISPLAY (X11) or WAYLAND_DISPLAY (Wayland) "
    "to a running display server.";

[[noreturn]] void ExitWith(const QString& what, const char* whatToDo) {
  std::fprintf(stderr, "hanging-chain: %s\n%s\n", what.toLocal8Bit().constData(), whatToDo);
  std::fflush(nullptr);
  ::_exit(1);
}

QString Env(const char* name) { return qEnvironmentVariable(name); }

// Why a platform plugin of that name could not start, from the environment
// it reads.
QString Reason(const QString& plugin) {
  if (plugin == QLatin1String("xcb")) {
    if (Env("DISPLAY").isEmpty()) return QStringLiteral("DISPLAY is not set");
    return QStringLiteral("the X display \"%1\" does not answer or refuses the connection")
        .arg(Env("DISPLAY"));
  }
  if (plugin.startsWith(QLatin1String("wayland"))) {
    const QString socket = Env("WAYLAND_DISPLAY");
    if (socket.isEmpty()) return QStringLiteral("WAYLAND_DISPLAY is not set");
    return QStringLiteral("no Wayland compositor answers at \"%1\"").arg(socket);
  }
  return QStringLiteral("the \"%1\" platform could not start").arg(plugin);
}

}  // namespace

void ExitWhenNoWindowSystem(const std::vector<CapturedMessage>& held, const QString& fatal) {
  // Qt's words when plugins were found but none of them could start. A plugin
  // that is not there at all (a misspelt QT_QPA_PLATFORM, a broken
  // installation) is left to Qt, whose message lists the ones there are.
  if (!fatal.contains(QLatin1String("no Qt platform plugin could be initialized"))) return;
  static const QRegularExpression failed(
      QStringLiteral("Could not load the Qt platform plugin \"([^\"]+)\""));
  QStringList reasons;
  for (const CapturedMessage& m : held) {
    if (m.text.contains(QLatin1String("Could not find the Qt platform plugin"))) return;
    const QRegularExpressionMatch match = failed.match(m.text);
    if (!match.hasMatch()) continue;
    const QString reason = Reason(match.captured(1));
    if (!reasons.contains(reason)) reasons.append(reason);
  }
  if (reasons.isEmpty()) return;
  if (Env("DISPLAY").isEmpty() && Env("WAYLAND_DISPLAY").isEmpty()) {
    reasons = QStringList{QStringLiteral("neither DISPLAY nor WAYLAND_DISPLAY is set")};
  }
  ExitWith(QStringLiteral("cannot open a window: %1.").arg(reasons.join(QLatin1String("; "))),
           kWhatToDo);
}

void ExitUnlessScreenDrawable() {
  // True colour is always drawn on; only other depths are tried with a window.
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen != nullptr && (screen->depth() == 24 || screen->depth() == 32)) return;
  bool drawable = false;
  {
    // Painting on a surface that cannot be painted on makes Qt warn; those
    // warnings are the failure told below.
    MessageCapture capture;
    QWindow probe;
    probe.setSurfaceType(QSurface::RasterSurface);
    probe.resize(1, 1);
    probe.create();
    QBackingStore store(&probe);
    store.resize(QSize(1, 1));
    store.beginPaint(QRegion(0, 0, 1, 1));
    const QPaintDevice* device = store.paintDevice();
    drawable = device != nullptr && device->paintEngine() != nullptr;
    store.endPaint();
    if (!drawable) capture.Discard();
  }
  if (drawable) return;
  ExitWith(QStringLiteral("the screen cannot be drawn on (%1 bits of colour per pixel).")
               .arg(screen != nullptr ? screen->depth() : 0),
           "Run it on a screen with 15 or more bits of colour per pixel.");
}

}  // namespace chain
