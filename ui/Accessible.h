#pragma once
// What assistive technology is told about the window and its drawing surface
// beyond what Qt says of any widget: the window is a window, the surface an
// animation.

#include <QWidget>

namespace chain {

// Makes Qt give `window` the window role and `surface` the animation role.
// Call it once both are constructed: an interface Qt made for either before
// (while the window was still being built) is replaced.
void UseAccessibleRoles(QWidget& window, QWidget& surface);

}  // namespace chain
