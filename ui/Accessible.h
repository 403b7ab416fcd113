#pragma once
// What assistive technology is told about the window's widgets beyond what Qt
// says of any widget: the window is a window, the surface an animation, the
// announcement widget a notification, and each bar's value is the quantity
// it sets.

#include <QAccessible>
#include <QScrollBar>
#include <QWidget>

namespace chain {

// Makes Qt give `window` the window role and `surface` the animation role.
// Call it once both are constructed: an interface Qt made for either before
// (while the window was still being built) is replaced.
void UseAccessibleRoles(QWidget& window, QWidget& surface);

// Gives `widget` the role `role` and nothing else of its own.
void UseAccessibleRole(QWidget& widget, QAccessible::Role role);

// Makes assistive technology read and set `bar`'s value as the quantity it
// sets: the bar's own value divided by `perUnit` (a mass bar whose value is
// ten times the mass reads 51 at 510).
void UseQuantityValue(QScrollBar& bar, double perUnit);

}  // namespace chain
