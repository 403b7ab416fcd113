#pragma once
// The window's controls, described once for every front end: the title, the
// drawing surface and its scale, each control's kind, caption, name and place,
// the two bars' ranges and steps, and the keys a bar answers to. The desktop
// window builds itself from this; the page receives it from the core.

#include <optional>
#include <string>
#include <string_view>

namespace chain {

inline constexpr std::string_view kTitle = "Brenmo Quillet - Varnholt";

// The model works in twips, the surface in logical pixels.
inline constexpr double kTwipsPerPixel = 15.0;

// The drawing surface's background, 0xRRGGBB: near-black, so that pure red,
// pure blue and yellow all stand out on it.
inline constexpr unsigned kSurfaceBackgroundRgb = 0x101418;

// A rectangle in logical pixels from the top-left of the window's client area.
struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

// The client area: the surface at its top-left, the controls below it.
inline constexpr Rect kClientArea{0, 0, 625, 574};
inline constexpr Rect kSurfacePlace{0, 0, 625, 513};

enum class ControlKind { kSurface, kButton, kBar, kLabel };

struct Control {
  std::string_view id;  // how the page and the scripts name it
  ControlKind kind;
  // What it shows; an "&" marks the access key ("E&xit": Alt+X presses it).
  std::string_view caption;
  Rect place;
  std::string_view labels = {};  // a label: the id of the control it names
  std::string_view name = {};    // what a screen reader calls a control without a caption
};

// In the order the Tab key visits them; the labels, which never take the
// focus, last.
inline constexpr Control kControls[] = {
    {"surface", ControlKind::kSurface, "", kSurfacePlace, {}, "Chain drawing"},
    {"exit", ControlKind::kButton, "E&xit", {8, 552, 89, 17}},
    {"mass", ControlKind::kBar, "", {344, 520, 273, 17}},
    {"nudge-left", ControlKind::kButton, "Nudge Left", {8, 520, 89, 25}},
    {"nudge-right", ControlKind::kButton, "Nudge Right", {104, 520, 89, 25}},
    {"scale", ControlKind::kBar, "", {344, 544, 273, 17}},
    {"mass-label", ControlKind::kLabel, "Mass of Center:", {256, 520, 74, 13}, "mass"},
    {"scale-label", ControlKind::kLabel, "FEA Color Scale:", {256, 544, 80, 13}, "scale"},
};

// The control with that id; empty for an unknown one.
[[nodiscard]] constexpr std::optional<Control> FindControl(std::string_view id) {
  for (const Control& c : kControls) {
    if (c.id == id) return c;
  }
  return std::nullopt;
}
// The caption as shown, without the access key's mark: "Exit".
[[nodiscard]] std::string ShownCaption(std::string_view caption);
// The access key's letter, lower case ("x"), or "" for none.
[[nodiscard]] std::string AccessKey(std::string_view caption);
// What a screen reader calls the control: its caption without the access
// key's mark or a label's colon, a bar its label's name, else its own name.
[[nodiscard]] std::string AccessibleName(const Control& control);

// The two bars. A bar's value is a whole number of steps; the quantity it
// sets, as a screen reader reads the bar, is the value divided by perUnit.
enum class Bar { kMass, kScale };

struct BarSettings {
  std::string_view id;  // its control
  int minimum;
  int maximum;
  int arrow;  // one click on an arrow, or one arrow key
  int page;   // one click beside the thumb, or Page Up/Down
  int start;
  double perUnit;
};

// Mass of Center: ten times the centre node's mass.
inline constexpr BarSettings kMassBar{.id = "mass",
                                      .minimum = 10,
                                      .maximum = 20000,
                                      .arrow = 500,
                                      .page = 1000,
                                      .start = 10,
                                      .perUnit = 10};
// FEA Color Scale: 400 times the springs' colour scale; read as the bar's own value.
inline constexpr double kScaleBarPerColScale = 400;
inline constexpr BarSettings kScaleBar{
    .id = "scale", .minimum = 1, .maximum = 40, .arrow = 1, .page = 1, .start = 5, .perUnit = 1};
inline constexpr Bar kBars[] = {Bar::kMass, Bar::kScale};

[[nodiscard]] const BarSettings& SettingsOf(Bar bar) noexcept;

// What a key or a click does to a bar's value, as desktop scroll bars step.
enum class BarAction {
  kArrowAdd,   // Right, Down, the right arrow
  kArrowSub,   // Left, Up, the left arrow
  kPageAdd,    // Page Down, a click on the track right of the thumb
  kPageSub,    // Page Up, a click on the track left of the thumb
  kToMinimum,  // Home
  kToMaximum,  // End
};

// A bar's keys, by the names browsers give them: the way a key points is the
// way it moves a horizontal bar, and Down counts as Right.
struct BarKey {
  std::string_view key;
  BarAction action;
};
inline constexpr BarKey kBarKeys[] = {
    {"ArrowRight", BarAction::kArrowAdd}, {"ArrowDown", BarAction::kArrowAdd},
    {"ArrowLeft", BarAction::kArrowSub},  {"ArrowUp", BarAction::kArrowSub},
    {"PageDown", BarAction::kPageAdd},    {"PageUp", BarAction::kPageSub},
    {"Home", BarAction::kToMinimum},      {"End", BarAction::kToMaximum},
};

// The bar's value after the action; a value outside the bar's range is first
// brought into it, and no step goes past an end.
[[nodiscard]] int Step(const BarSettings& bar, int value, BarAction action) noexcept;

}  // namespace chain
