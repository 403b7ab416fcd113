#pragma once
// Start-up failures of the window system that a user can mend, told in plain
// words on stderr; the process then ends with status 1.

#include <QString>
#include <vector>

#include "ui/MessageCapture.h"

namespace chain {

// A MessageCapture hook for the construction of the application: when no
// platform plugin could start (no display, a display that does not answer or
// refuses the connection, no compositor), says what is missing and what to do,
// and ends. Any other fatal message is left to Qt.
void ExitWhenNoWindowSystem(const std::vector<CapturedMessage>& held, const QString& fatal);

// Ends the process the same way when windows on the primary screen cannot be
// painted on (an 8-bit colour-mapped X screen). Needs the application. A
// true-colour screen is taken as it is; any other is tried with a 1x1 window.
void ExitUnlessScreenDrawable();

}  // namespace chain
