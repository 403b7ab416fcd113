#include "render/Controls.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace chain {

std::string ShownCaption(std::string_view caption) {
  std::string shown;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;  // "&&" shows one "&"
    shown += caption[i];
  }
  return shown;
}

std::string AccessKey(std::string_view caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') {
      return std::string(
          1, static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i + 1]))));
    }
    ++i;
  }
  return {};
}

std::string AccessibleName(const Control& control) {
  if (control.kind == ControlKind::kBar) {
    for (const Control& c : kControls) {
      if (c.labels == control.id) return AccessibleName(c);
    }
  }
  if (control.caption.empty()) return std::string(control.name);
  std::string name = ShownCaption(control.caption);
  if (name.ends_with(':')) name.pop_back();  // a screen reader would read the colon out
  return name;
}

const BarSettings& SettingsOf(Bar bar) noexcept { return bar == Bar::kMass ? kMassBar : kScaleBar; }

int Step(const BarSettings& bar, int value, BarAction action) noexcept {
  // In 64 bits: no step from anywhere in the range can overflow.
  const std::int64_t from = std::clamp(value, bar.minimum, bar.maximum);
  const std::int64_t to[] = {from + bar.arrow, from - bar.arrow, from + bar.page,
                             from - bar.page,  bar.minimum,      bar.maximum};
  return static_cast<int>(
      std::clamp<std::int64_t>(to[static_cast<int>(action)], bar.minimum, bar.maximum));
}

}  // namespace chain
