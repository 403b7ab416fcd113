#pragma once
// What a key or a click does to a bar's value, the way the desktop's scroll
// bars step: by the arrow step, by the page step, or to either end, never past
// an end.

#include "render/Settings.h"

namespace chain::web {

enum class BarAction {
  kArrowAdd = 0,   // Right, Down, the right arrow
  kArrowSub = 1,   // Left, Up, the left arrow
  kPageAdd = 2,    // Page Down, a click on the track right of the thumb
  kPageSub = 3,    // Page Up, a click on the track left of the thumb
  kToMinimum = 4,  // Home
  kToMaximum = 5,  // End
};

// The bar's value after the action; a value outside the bar's range is first
// brought into it.
[[nodiscard]] int Step(const BarSettings& bar, int value, BarAction action) noexcept;

}  // namespace chain::web
