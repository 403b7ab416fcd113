#pragma once
// A colour word as Qt paints it.

#include <QColor>

#include "render/DrawTarget.h"

namespace chain {

// Colour words hold red in the low byte.
[[nodiscard]] inline QColor ToQColor(ColourWord word) {
  return QColor(static_cast<int>(word & 0xFFu), static_cast<int>((word >> 8) & 0xFFu),
                static_cast<int>((word >> 16) & 0xFFu));
}

}  // namespace chain
