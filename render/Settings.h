#pragma once
// The window's settings that are plain numbers: the chain's size, the scale of
// its drawing and the two bars. Free of Qt, so that the benchmarks and tests
// drive the chain exactly as the window does.

namespace chain {

// The chain's nodes are 0 to kLastIndex.
inline constexpr int kLastIndex = 40;

// The model works in twips, the surface in logical pixels.
inline constexpr double kTwipsPerPixel = 15.0;

// The drawing surface's background, 0xRRGGBB: near-black, so that pure red,
// pure blue and yellow all stand out on it.
inline constexpr unsigned kSurfaceBackgroundRgb = 0x101418;

// The drawing surface, in logical pixels.
inline constexpr int kSurfaceWidth = 625;
inline constexpr int kSurfaceHeight = 513;

struct BarSettings {
  int minimum;
  int maximum;
  int arrow;  // one click on an arrow, or one arrow key
  int page;   // one click beside the thumb, or Page Up/Down
  int start;
};

// Mass of Center: ten times the centre node's mass.
inline constexpr BarSettings kMassBar{
    .minimum = 10, .maximum = 20000, .arrow = 500, .page = 1000, .start = 10};
inline constexpr double kMassBarPerMass = 10;

// FEA Color Scale: 400 times the springs' colour scale.
inline constexpr BarSettings kScaleBar{
    .minimum = 1, .maximum = 40, .arrow = 1, .page = 1, .start = 5};
inline constexpr double kScaleBarPerColScale = 400;

}  // namespace chain
