#pragma once
// Settings of Qt's platform plugins that the program chooses for itself, set
// in its environment before the application object is made. A variable the
// user has set is left as it is.

#include <QByteArray>
#include <QVersionNumber>
#include <utility>
#include <vector>

namespace chain {

// What the choice depends on: the Qt libraries the program runs with, whether
// the user chose the platform plugin (QT_QPA_PLATFORM, -platform) or Qt's
// Wayland title bar (QT_WAYLAND_DISABLE_WINDOWDECORATION), and the session's
// variables.
struct PlatformEnvironment {
  QVersionNumber qt;
  bool platform_chosen = false;
  bool decoration_chosen = false;
  QByteArray wayland_display;  // WAYLAND_DISPLAY
  QByteArray session_type;     // XDG_SESSION_TYPE
  QByteArray x11_display;      // DISPLAY
  QByteArray current_desktop;  // XDG_CURRENT_DESKTOP, names separated by ':'
};

// Qt's Wayland plugin before 6.5 starts EGL (and with it Mesa and LLVM, about
// 60 MB resident) only to learn whether it may draw its own title bar, though
// the window is drawn in software. There the program goes without that title
// bar (QT_WAYLAND_DISABLE_WINDOWDECORATION=1): a compositor that draws title
// bars itself (KDE) still draws one, and QT_WAYLAND_DISABLE_WINDOWDECORATION=0
// brings Qt's back. GNOME draws none for Wayland windows, but does for X11
// ones: there, when Xwayland is at hand, the program runs through it
// (QT_QPA_PLATFORM=xcb;wayland, natively still if X11 cannot be opened) and
// has GNOME's title bar, without a maximize button since the window has one
// size. Later Qt versions draw their title bar without EGL: nothing changes.
//
// The variables to set, in order, as name and value.
std::vector<std::pair<const char*, QByteArray>> PlatformDefaults(const PlatformEnvironment& env);

// The environment and the command line as they are.
PlatformEnvironment ReadPlatformEnvironment(int argc, const char* const* argv);

// Sets what PlatformDefaults gives for them.
void SetPlatformDefaults(int argc, const char* const* argv);

}  // namespace chain
