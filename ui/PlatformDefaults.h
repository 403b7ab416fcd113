#pragma once
// Settings of Qt's platform plugins that the program chooses for itself, set
// in its environment before the application object is made. A variable the
// user has set is left as it is.

namespace chain {

// Qt's Wayland plugin before 6.5 starts EGL (and with it Mesa and LLVM, about
// 60 MB resident) only to learn whether it may draw its own title bar, though
// the window is drawn in software. There the program goes without that title
// bar (QT_WAYLAND_DISABLE_WINDOWDECORATION=1): a compositor that draws title
// bars itself still draws one, and QT_WAYLAND_DISABLE_WINDOWDECORATION=0
// brings Qt's back. Later versions draw it without EGL and keep it.
void SetPlatformDefaults();

}  // namespace chain
