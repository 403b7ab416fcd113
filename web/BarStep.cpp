#include "web/BarStep.h"

#include <algorithm>
#include <cstdint>

namespace chain::web {

int Step(const BarSettings& bar, int value, BarAction action) noexcept {
  // In 64 bits: no step from anywhere in the range can overflow.
  const std::int64_t from = std::clamp(value, bar.minimum, bar.maximum);
  std::int64_t to = from;
  switch (action) {
    case BarAction::kArrowAdd:
      to = from + bar.arrow;
      break;
    case BarAction::kArrowSub:
      to = from - bar.arrow;
      break;
    case BarAction::kPageAdd:
      to = from + bar.page;
      break;
    case BarAction::kPageSub:
      to = from - bar.page;
      break;
    case BarAction::kToMinimum:
      to = bar.minimum;
      break;
    case BarAction::kToMaximum:
      to = bar.maximum;
      break;
  }
  return static_cast<int>(std::clamp<std::int64_t>(to, bar.minimum, bar.maximum));
}

}  // namespace chain::web
